// The texts the object dump writes values with: cursor identifiers and date-time patterns.
#include <gtest/gtest.h>

#include <cmath>

#include "client/cursors.h"
#include "client/datetime_format.h"

namespace wl {
namespace {

TEST(Cursors, TableHasItsTwentyTwoRowsAndTheFirstOfTwoWins) {
  const auto table = CursorIdentTable();
  ASSERT_EQ(table.size(), 22u);
  EXPECT_STREQ(table.front().name, "crDefault");
  EXPECT_STREQ(table.back().name, "crSize");
  std::string ident = "kept";
  EXPECT_TRUE(FindCursorIdent(-22, ident));
  EXPECT_EQ(ident, "crSizeAll");
  ident = "kept";
  EXPECT_FALSE(FindCursorIdent(-5, ident));
  EXPECT_EQ(ident, "kept");
}

TEST(Cursors, FormatCursorNamesOrCounts) {
  struct Case {
    std::int16_t cursor;
    const char* text;
  };
  for (const Case& c : {Case{0, "crDefault"}, Case{-2, "crArrow"}, Case{-21, "crHandPoint"},
                        Case{-1, "-1"}, Case{-5, "-5"}, Case{5, "5"}, Case{-32768, "-32768"}})
    EXPECT_EQ(FormatCursor(c.cursor), c.text) << c.cursor;
}

// Monday 7 September 2009, 18:05:09.045.
constexpr DateTimeParts kEvening{2009, 9, 7, 1, 18, 5, 9, 45};
constexpr DateTimeParts kMidnight{2009, 9, 7, 1, 0, 0, 0, 0};

struct PatternCase {
  const char* pattern;
  DateTimeParts parts;
  const char* text;
};

TEST(DateTimePattern, WritesEveryToken) {
  FormatSettings s;
  s.timeAmString = "am";
  s.timePmString = "PM";
  const PatternCase cases[] = {
      {"d dd ddd dddd ddddd", kEvening, "7 07 Mon Monday Monday"},
      {"M MM MMM MMMM", kEvening, "9 09 Sep September"},
      {"y yy yyy yyyy", kEvening, "9 09 2009 2009"},
      {"h hh H HH", kEvening, "6 06 18 18"},
      {"h hh H HH", kMidnight, "12 12 0 00"},
      {"m mm s ss", kEvening, "5 05 9 09"},
      {"f ff fff ffff", kEvening, "0 04 045 045"},
      {"t tt AMPM ampm", kEvening, "P PM PM PM"},
      {"t tt AMPM", kMidnight, "a am am"},
      {"DD.MM.YYYY", kEvening, "07.09.2009"},
      {"dddd, MMMM d, yyyy", kEvening, "Monday, September 7, 2009"},
      {"M/d/yyyy h:mm:ss tt", kEvening, "9/7/2009 6:05:09 PM"},
      {"'at' HH 'o''clock'", kEvening, "at 18 o'clock"},
      {"HH''mm", kEvening, "18'05"},
      {"'d' open 'yy", kEvening, "d open yy"},
      {"x g, [] %", kEvening, "x g, [] %"},
      {"", kEvening, ""},
  };
  for (const PatternCase& c : cases) EXPECT_EQ(FormatDateTime(c.pattern, c.parts, s), c.text);
}

TEST(DateTimePattern, SlashAndColonAreTheLocaleSeparators) {
  FormatSettings s;
  s.dateSeparator = '-';
  s.timeSeparator = '.';
  EXPECT_EQ(FormatDateTime("d/M H:mm '/:'", kEvening, s), "7-9 18.05 /:");
}

struct DecodeCase {
  long double value;
  std::optional<DateTimeParts> parts;
};

TEST(DateTimeValue, DecodesDaysSince30December1899) {
  const DecodeCase cases[] = {
      {0, DateTimeParts{1899, 12, 30, 6, 0, 0, 0, 0}},
      {1.5, DateTimeParts{1899, 12, 31, 0, 12, 0, 0, 0}},
      {-1.25, DateTimeParts{1899, 12, 29, 5, 6, 0, 0, 0}},
      {45429, DateTimeParts{2024, 5, 17, 5, 0, 0, 0, 0}},
      {40063 + 65109.045L / 86400, kEvening},
      {59.9999999999L, DateTimeParts{1900, 2, 28, 3, 0, 0, 0, 0}},  // rounds up to midnight
      {-693593, DateTimeParts{1, 1, 1, 1, 0, 0, 0, 0}},
      {2958465.5L, DateTimeParts{9999, 12, 31, 5, 12, 0, 0, 0}},
      {-693594, std::nullopt},
      {2958466, std::nullopt},
      {2958465.9999999999L, std::nullopt},
      {1e300L, std::nullopt},
      {INFINITY, std::nullopt},
      {NAN, std::nullopt},
  };
  for (const DecodeCase& c : cases) EXPECT_EQ(DecodeDateTime(c.value), c.parts) << c.value;
}

TEST(DateTimeValue, DumpTextUsesTheLocaleWhenNoPatternIsGiven) {
  FormatSettings s;
  s.shortDateFormat = "dd.MM.yyyy";
  s.longTimeFormat = "HH:mm:ss";
  const long double may17 = 45429;
  EXPECT_EQ(DateTimeToText(may17, "", s), "17.05.2024");
  EXPECT_EQ(DateTimeToText(may17 + 0.999L / 86400, "", s), "17.05.2024");
  EXPECT_EQ(DateTimeToText(may17 + 60.0L / 86400, "", s), "17.05.2024 00:01:00");
  EXPECT_EQ(DateTimeToText(may17, "yyyy", s), "2024");
}

TEST(DateTimeValue, AValueWithoutCalendarDateIsWrittenAsANumber) {
  FormatSettings s;
  s.decimalSeparator = ',';
  EXPECT_EQ(DateTimeToText(1e10L, "", s), "10000000000");
  EXPECT_EQ(FormatDateTime("yyyy", -1e6L - 0.5L, s), "-1000000,5");
  EXPECT_EQ(FormatDateTime("yyyy", NAN, s), "NAN");
}

}  // namespace
}  // namespace wl
