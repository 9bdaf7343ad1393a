// FormatNumber2, FormatGrouped and FormatFloatGeneral: the number renderings on their own.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "client/format.h"

namespace wl {
namespace {

struct FloatRow {
  long double value;
  const char* expected;
};

FormatSettings Separators(char thousands, char decimal) {
  FormatSettings settings;
  settings.thousandSeparator = thousands;
  settings.decimalSeparator = decimal;
  return settings;
}

constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
constexpr long double kMax = std::numeric_limits<long double>::max();
constexpr long double kTiny = std::numeric_limits<long double>::denorm_min();

TEST(FormatNumber2, TwoDecimalsGrouped) {
  const std::vector<FloatRow> rows = {
      {1234567.891L, "1,234,567.89"},
      {1234567.891, "1,234,567.89"},
      {-0.5, "-0.50"},
      {0.0, "0.00"},
      {-0.0, "0.00"},
      {100.0, "100.00"},
      {999.0, "999.00"},
      {1000.0, "1,000.00"},
      {12.3, "12.30"},
      {-123456.0, "-123,456.00"},
      {0.001, "0.00"},
      {-0.001, "0.00"},  // rounds to zero: no sign
      {kTiny, "0.00"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(FormatNumber2(row.value, {}), row.expected) << row.expected;
}

TEST(FormatNumber2, RoundsHalfAwayFromZeroAfterReducingTo18Digits) {
  const std::vector<FloatRow> rows = {
      {0.005, "0.01"},  // the double lies above 0.005
      {-0.005, "-0.01"},
      {0.005L, "0.01"},  // 0.004999999999999999999898...: 18 digits make it 0.005
      {0.125, "0.13"},   // an exact tie
      {-0.125, "-0.13"},
      {12345678.125, "12,345,678.13"},
      {0.115, "0.12"},
      {2.675, "2.67"},         // 2.67499999999999982...: still below the half after 18 digits
      {999.995L, "1,000.00"},  // 999.99499999999999999955...: carries into a new group
      {0.995, "0.99"},         // 0.99499999999999999555...: likewise
  };
  for (const auto& row : rows)
    EXPECT_EQ(FormatNumber2(row.value, {}), row.expected) << row.expected;
}

TEST(FormatNumber2, ScientificFrom1E18) {
  const std::vector<FloatRow> rows = {
      {999999999999999999.0L, "999,999,999,999,999,999.00"},
      {999999999999999999.25L, "999,999,999,999,999,999.00"},
      {999999999999999999.5L, "1E18"},  // 18 digits round it up to 1E18
      {-999999999999999999.5L, "-1E18"},
      {1e18L, "1E18"},
      {1e20L, "1E20"},
      {1.5e20L, "1.5E20"},
      {-1.5e20L, "-1.5E20"},
      {1.25e30L, "1.25E30"},
      {123456789012345678901.0L, "1.23456789012345679E20"},
      {kMax, "1.18973149535723177E4932"},
      {kInf, "INF"},
      {-kInf, "-INF"},
      {kNaN, "NAN"},
      {-kNaN, "NAN"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(FormatNumber2(row.value, {}), row.expected) << row.expected;
}

TEST(FormatNumber2, Separators) {
  const struct {
    char thousands, decimal;
    long double value;
    const char* expected;
  } rows[] = {
      {'.', ',', 1234567.891, "1.234.567,89"},
      {'\0', '.', 1234567.891, "1234567.89"},
      {' ', ',', -1234567.891, "-1 234 567,89"},
      {'.', ',', 1.5e20L, "1,5E20"},
      {',', '\0', 1.5, "1.50"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FormatNumber2(row.value, Separators(row.thousands, row.decimal)), row.expected);
  }
}

TEST(FormatGrouped, GroupsOfThree) {
  const struct {
    std::uint64_t value;
    char separator;
    const char* expected;
  } rows[] = {
      {0, ',', "0"},
      {1, ',', "1"},
      {999, ',', "999"},
      {1000, ',', "1,000"},
      {1234, ',', "1,234"},
      {123456, ',', "123,456"},
      {4294967295u, ',', "4,294,967,295"},
      {1234567, '.', "1.234.567"},
      {1234567, '\0', "1234567"},
      {std::numeric_limits<std::uint64_t>::max(), ',', "18,446,744,073,709,551,615"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FormatGrouped(row.value, Separators(row.separator, '.')), row.expected);
  }
}

TEST(FormatFloatGeneral, FifteenDigitsPlainOrExponent) {
  const std::vector<FloatRow> rows = {
      {0.0, "0"},
      {-0.0, "0"},
      {0.5, "0.5"},
      {-2.5, "-2.5"},
      {100.0, "100"},
      {123.456, "123.456"},
      {0.1, "0.1"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {0.0001, "0.0001"},
      {0.00012345, "0.00012345"},
      {0.00001, "1E-5"},
      {-0.00001, "-1E-5"},
      {1.5e-10, "1.5E-10"},
      {123456789012345.0, "123456789012345"},
      {999999999999999.0, "999999999999999"},
      {999999999999999.9, "1E15"},  // rounds up to 16 integer digits
      {1e15, "1E15"},
      {1234567890123456.0, "1.23456789012346E15"},
      {9999999999999999.0, "1E16"},
      {1e100, "1E100"},
      {kMax, "1.18973149535723E4932"},
      {kTiny, "3.64519953188247E-4951"},
      {kInf, "INF"},
      {-kInf, "-INF"},
      {kNaN, "NAN"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FormatFloatGeneral(row.value, {}), row.expected) << row.expected;
  }
}

TEST(FormatFloatGeneral, DecimalSeparator) {
  EXPECT_EQ(FormatFloatGeneral(0.5, Separators('.', ',')), "0,5");
  EXPECT_EQ(FormatFloatGeneral(1.5e20L, Separators('.', ',')), "1,5E20");
  EXPECT_EQ(FormatFloatGeneral(1234.5, Separators(',', '\0')), "1234.5");
}

}  // namespace
}  // namespace wl
