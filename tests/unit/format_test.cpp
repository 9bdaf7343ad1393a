// Format and FormatTo: the directives, the wider directive language, and the error texts.
#include "client/format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "client/errors.h"

namespace wl {
namespace {

struct Row {
  const char* fmt;
  std::vector<FormatArg> args;
  std::string expected;  // the text, or the EConvertError message
};

const FormatSettings kUs{};  // "," and "."

std::string Run(const Row& row, const FormatSettings& settings = kUs) {
  return Format(row.fmt, FormatArgs(row.args), settings);
}

void ExpectRows(const std::vector<Row>& rows, const FormatSettings& settings = kUs) {
  for (const Row& row : rows) EXPECT_EQ(Run(row, settings), row.expected) << row.fmt;
}

void ExpectErrors(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    try {
      Run(row);
      ADD_FAILURE() << row.fmt << ": no error";
    } catch (const EConvertError& error) {
      EXPECT_EQ(error.Message(), row.expected) << row.fmt;
    }
  }
}

const auto* Ptr(std::uintptr_t value) { return reinterpret_cast<const void*>(value); }

constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();

TEST(Format, TheViewerDirectives) {
  ExpectRows({
      {"%s", {"abc"}, "abc"},
      {"[%s]", {""}, "[]"},
      {"%s", {'x'}, "x"},
      {"%s = %s%s%s", {"City", '\'', "Oslo", '\''}, "City = 'Oslo'"},
      {"%s = %s%s%s", {"Q", '"', "it's", '"'}, "Q = \"it's\""},
      {"%s", {std::string(1, '\0')}, std::string(1, '\0')},
      {"%d", {0}, "0"},
      {"%s = %d", {"Count", -12}, "Count = -12"},
      {"%d", {1234567}, "1234567"},
      {"%d", {std::numeric_limits<std::int32_t>::max()}, "2147483647"},
      {"%d", {std::numeric_limits<std::int32_t>::min()}, "-2147483648"},
      {"%s = %n", {"Total", 1234567.891}, "Total = 1,234,567.89"},
      {"%n", {-0.5}, "-0.50"},
      {"%n", {0.0}, "0.00"},
      {"%n", {1e20L}, "1E20"},
      {"%n|%n|%n", {kInf, -kInf, kNaN}, "INF|-INF|NAN"},
      {"%p", {Ptr(0x1A2B)}, "00001A2B"},
      {"%p", {Ptr(0)}, "00000000"},
      {"%p", {Ptr(0xDEADBEEF)}, "DEADBEEF"},
      {"%s: Check Point #%d", {"Orders", 2}, "Orders: Check Point #2"},
      {"%s@%s", {"", ""}, "@"},
  });
}

TEST(Format, LiteralTextAndPercent) {
  ExpectRows({
      {"", {}, ""},
      {"no directives", {}, "no directives"},
      {"100%%", {}, "100%"},
      {"%%d%%", {}, "%d%"},
      {"a%db", {1, 2, 3}, "a1b"},  // extra arguments are ignored
      {"%D %S %X %N", {5, "t", 255, 1.5}, "5 t FF 1.50"},
  });
}

TEST(Format, IntegerDirectives) {
  ExpectRows({
      {"%.5d", {-12}, "-00012"},
      {"%.2d", {12345}, "12345"},
      {"%.0d", {0}, "0"},
      {"%u", {42}, "42"},
      {"%u", {-1}, "4294967295"},
      {"%.4u", {7}, "0007"},
      {"%x", {255}, "FF"},
      {"%x", {0}, "0"},
      {"%x", {-1}, "FFFFFFFF"},
      {"%.8x", {0x1A2B}, "00001A2B"},
      {"%s%.8x", {"$", -2}, "$FFFFFFFE"},
  });
}

TEST(Format, FloatDirectives) {
  ExpectRows({
      {"%e", {1000.0}, "1.00000000000000E+003"},
      {"%e", {0.0}, "0.00000000000000E+000"},
      {"%.3e", {-1234.5}, "-1.23E+003"},
      {"%.1e", {0.25}, "3E-001"},
      {"%.1e", {0.00015}, "1E-004"},  // the double lies just below 0.00015
      {"%.30e", {1.0}, "1.00000000000000000E+000"},
      {"%e", {kInf}, "INF"},
      {"%f", {2.5}, "2.50"},
      {"%.0f", {2.5}, "3"},
      {"%.3f", {-1234.5}, "-1234.500"},
      {"%.1f", {0.05}, "0.1"},
      {"%f", {1234567.0}, "1234567.00"},
      {"%f", {1.5e20L}, "1.5E20"},
      {"%.25f", {0.5}, "0.500000000000000000"},
      {"%g", {0.1}, "0.1"},
      {"%g", {100.0}, "100"},
      {"%g", {1e20L}, "1E20"},
      {"%g", {0.00001}, "1E-5"},
      {"%.3g", {1234.5}, "1.23E3"},
      {"%.2g", {123456789.123456789}, "1.2E8"},
      {"%.0g", {2.5}, "3"},
      {"%g", {-kInf}, "-INF"},
      {"%.3n", {1234.5678}, "1,234.568"},
      {"%.0n", {-0.5}, "-1"},
      {"%m", {1234.5}, "1,234.50"},
      {"%.0m", {1234.5}, "1,235"},
      {"%m", {kNaN}, "NAN"},
  });
}

TEST(Format, WidthPrecisionAndAlignment) {
  ExpectRows({
      {"[%5s]", {"ab"}, "[   ab]"},
      {"[%-5s]", {"ab"}, "[ab   ]"},
      {"[%1s]", {"abc"}, "[abc]"},
      {"[%.2s]", {"abcdef"}, "[ab]"},
      {"[%.s]", {"abc"}, "[]"},
      {"[%.0s]", {'x'}, "[]"},
      {"[%5.2s]", {"abcdef"}, "[   ab]"},
      {"[%5d]", {-12}, "[  -12]"},
      {"[%-6.3d]", {7}, "[007   ]"},
      {"[%10p]", {Ptr(0xFF)}, "[  000000FF]"},
      {"[%8n]", {1.5}, "[    1.50]"},
      {"[%-8n]", {-1.5}, "[-1.50   ]"},
      {"[%*d]", {4, 7}, "[   7]"},
      {"[%-*d]", {4, 7}, "[7   ]"},
      {"[%*d]", {-4, 7}, "[7   ]"},
      {"[%.*f]", {1, 2.25}, "[2.3]"},
      {"[%.*f]", {-1, 2.25}, "[2.25]"},
      {"[%*.*f]", {6, 1, 2.25}, "[   2.3]"},
  });
  EXPECT_EQ(Format("%65535d", {1}).size(), 65535u);
}

TEST(Format, ArgumentIndex) {
  ExpectRows({
      {"%1:s %0:s", {"a", "b"}, "b a"},
      {"%1:s %s", {"a", "b", "c"}, "b c"},
      {"%0:s%0:s", {"x"}, "xx"},
      {"%2:s %0:s %s", {"a", "b", "c"}, "c a b"},
      {"%*:s", {1, "x"}, "x"},
      {"%1:-4s|", {"a", "b"}, "b   |"},
  });
}

TEST(Format, MismatchedOrUnknownDirectives) {
  ExpectErrors({
      {"%d", {"abc"}, "Format '%d' invalid or incompatible with argument"},
      {"%d", {1.5}, "Format '%d' invalid or incompatible with argument"},
      {"%x", {'a'}, "Format '%x' invalid or incompatible with argument"},
      {"%s", {5}, "Format '%s' invalid or incompatible with argument"},
      {"%s", {Ptr(1)}, "Format '%s' invalid or incompatible with argument"},
      {"%n", {5}, "Format '%n' invalid or incompatible with argument"},
      {"%e", {"1"}, "Format '%e' invalid or incompatible with argument"},
      {"%p", {5}, "Format '%p' invalid or incompatible with argument"},
      {"%d rows", {"x"}, "Format '%d' invalid or incompatible with argument"},
      {"%y", {5}, "Format '%y' invalid or incompatible with argument"},
      {"%5.2y", {}, "Format '%5.2y' invalid or incompatible with argument"},
      {"%--5d", {1}, "Format '%--' invalid or incompatible with argument"},
      {"%*d", {"x", 5}, "Format '%*d' invalid or incompatible with argument"},
      {"%*:d", {1.0, 5}, "Format '%*:d' invalid or incompatible with argument"},
  });
}

TEST(Format, UnterminatedDirectiveRunsToTheEnd) {
  ExpectErrors({
      {"abc %", {}, "Format '%' invalid or incompatible with argument"},
      {"%5", {1}, "Format '%5' invalid or incompatible with argument"},
      {"x %1:", {"a", "b"}, "Format '%1:' invalid or incompatible with argument"},
      {"%-", {1}, "Format '%-' invalid or incompatible with argument"},
      {"%.*", {1, 2}, "Format '%.*' invalid or incompatible with argument"},
  });
}

TEST(Format, MissingArguments) {
  ExpectErrors({
      {"%s", {}, "No argument for format '%s'"},
      {"%d %d", {1}, "No argument for format '%d'"},
      {"%-10.4d", {}, "No argument for format '%-10.4d'"},
      {"%*d", {5}, "No argument for format '%*d'"},
      {"%.*f", {}, "No argument for format '%.*f'"},
      {"%2:s", {"a", "b"}, "No argument for format '%2:s'"},
      {"%*:s", {-1, "a"}, "No argument for format '%*:s'"},
      {"%1:s %s", {"a", "b"}, "No argument for format '%s'"},
  });
}

TEST(Format, UnboundedFieldsAreRejected) {
  ExpectErrors({
      {"%65536d", {1}, "Format '%65536d' invalid or incompatible with argument"},
      {"%.99999999999999999999d",
       {1},
       "Format '%.99999999999999999999d' invalid or incompatible with argument"},
      {"%*d", {70000, 1}, "Format '%*d' invalid or incompatible with argument"},
      {"%*d", {-70000, 1}, "Format '%*d' invalid or incompatible with argument"},
      {"%99999999999:s", {"a"}, "No argument for format '%99999999999:s'"},
  });
}

TEST(Format, QuotedDirectiveIsCutTo31Characters) {
  const std::string zeros29(29, '0');
  ExpectErrors({
      // 31 characters: quoted whole.
      {("%" + zeros29 + "d").c_str(), {}, "No argument for format '%" + zeros29 + "d'"},
      // 36 characters: "%", an index of 34 digits, and the letter.
      {("%" + zeros29 + "00001:s").c_str(), {"a"}, "No argument for format '%" + zeros29 + "0'"},
      {("%-" + zeros29 + "5y").c_str(),
       {1},
       "Format '%-" + zeros29 + "' invalid or incompatible with argument"},
  });
}

TEST(Format, ErrorCarriesClassAndRaiseAddress) {
  try {
    Format("%d", {"x"});
    FAIL() << "no error";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.ClassName(), "EConvertError");
    EXPECT_NE(error.RaiseAddress(), 0u);
  }
}

TEST(Format, SeparatorsComeFromTheSettings) {
  FormatSettings european;
  european.thousandSeparator = '.';
  european.decimalSeparator = ',';
  ExpectRows(
      {
          {"%n", {1234567.891}, "1.234.567,89"},
          {"%m", {-1234.5}, "-1.234,50"},
          {"%f", {1234.5}, "1234,50"},
          {"%e", {1000.0}, "1,00000000000000E+003"},
          {"%g", {0.5}, "0,5"},
          {"%n", {1.5e20L}, "1,5E20"},
          {"%d", {1234567}, "1234567"},
      },
      european);
  FormatSettings none;
  none.thousandSeparator = '\0';
  none.decimalSeparator = '\0';  // taken as '.'
  ExpectRows({{"%n", {1234567.891}, "1234567.89"}}, none);
}

TEST(Format, FormatToAppends) {
  std::string out = "x=";
  const FormatArg args[] = {5};
  FormatTo(out, "%d;", args, kUs);
  FormatTo(out, "%d", args, kUs);
  EXPECT_EQ(out, "x=5;5");
}

TEST(Format, ProcessWideSettings) {
  EXPECT_EQ(CurrentFormatSettings().thousandSeparator, ',');
  EXPECT_EQ(CurrentFormatSettings().decimalSeparator, '.');
  FormatSettings european;
  european.thousandSeparator = '.';
  european.decimalSeparator = ',';
  SetFormatSettings(european);
  EXPECT_EQ(Format("%n", {1234.5}), "1.234,50");
  SetFormatSettings(FormatSettings{});
  EXPECT_EQ(Format("%n", {1234.5}), "1,234.50");
}

TEST(Format, PointerKeepsItsWholeValue) {
  if constexpr (sizeof(void*) == 8) {
    ExpectRows({{"%p", {Ptr(static_cast<std::uintptr_t>(0x123456789AB))}, "123456789AB"}});
  } else {
    GTEST_SKIP() << "32-bit pointers";
  }
}

}  // namespace
}  // namespace wl
