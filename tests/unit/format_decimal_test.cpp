// The exact decimal digits of 80-bit floats, checked against the C library's exact printing.
#include "client/format_decimal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace wl::detail {
namespace {

long double Make(std::uint64_t mantissa, int biased, bool negative) {
  unsigned char bytes[sizeof(long double)] = {};
  const auto top = static_cast<std::uint16_t>(biased | (negative ? 0x8000 : 0));
  std::memcpy(bytes, &mantissa, sizeof mantissa);
  std::memcpy(bytes + 8, &top, sizeof top);
  long double value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

std::string Digits(const Decimal& d) { return std::string(d.digits, d.digits + d.count); }

struct Reference {
  std::string digits;
  int exponent = 0;
  bool decided = true;  // false: the printed digits cannot tell a tie from a near tie
};

// The value rounded half away from zero at `significant` digits, from its first 60 digits as the
// C library prints them (exactly, then rounded at the 60th).
Reference Expected(long double value, int significant) {
  char text[128];
  std::snprintf(text, sizeof text, "%.59Le", value < 0 ? -value : value);
  Reference ref;
  ref.digits = text[0];
  const char* p = text + 2;
  while (*p != 'e') ref.digits += *p++;
  ref.exponent = std::atoi(p + 1) + 1;
  const std::string rest = ref.digits.substr(static_cast<std::size_t>(significant));
  ref.decided = rest[0] != '5' || rest.find_first_not_of('0', 1) != std::string::npos;
  ref.digits.resize(static_cast<std::size_t>(significant));
  if (rest[0] >= '5') {
    std::size_t i = ref.digits.size();
    while (i > 0 && ref.digits[i - 1] == '9') ref.digits[--i] = '0';
    if (i == 0) {
      ref.digits.insert(ref.digits.begin(), '1');
      ++ref.exponent;
    } else {
      ++ref.digits[i - 1];
    }
  }
  ref.digits.erase(ref.digits.find_last_not_of('0') + 1);
  return ref;
}

// Draws values with a random mantissa and a biased exponent from [lowest, highest].
void ExpectAgreement(int lowest, int highest, int samples) {
  std::mt19937_64 random(0x57E1B71D);
  std::uniform_int_distribution<int> exponents(lowest, highest);
  for (int i = 0; i < samples; ++i) {
    const int biased = exponents(random);
    std::uint64_t mantissa = random();
    mantissa = biased == 0 ? mantissa >> 1 : mantissa | std::uint64_t{1} << 63;
    const long double value = Make(mantissa, biased, (i & 1) != 0);
    for (int significant : {1, 15, 18}) {
      const Reference want = Expected(value, significant);
      if (!want.decided || mantissa == 0) continue;
      Decimal d;
      ToDecimal(value, significant, d);
      ASSERT_EQ(Digits(d), want.digits) << "mantissa " << mantissa << " biased " << biased;
      ASSERT_EQ(d.exponent, want.exponent) << "mantissa " << mantissa << " biased " << biased;
      ASSERT_EQ(d.negative, value < 0);
    }
  }
}

TEST(ToDecimal, AgreesWithExactPrintingForEverydayMagnitudes) {
  ExpectAgreement(16383 - 80, 16383 + 80, 20000);  // about 1E-24 to 1E24
}

TEST(ToDecimal, AgreesWithExactPrintingAcrossTheWholeRange) {
  ExpectAgreement(0, 32766, 600);  // subnormals up to the largest finite value
}

TEST(ToDecimal, TiesRoundAwayFromZero) {
  const struct {
    long double value;
    int significant;
    const char* digits;
    int exponent;
  } rows[] = {
      {0.125L, 2, "13", 0},
      {-0.125L, 2, "13", 0},
      {2.5L, 1, "3", 1},
      {999999999999999999.5L, 18, "1", 19},
      {0.0L, 5, "", 0},
      {1.0L, 18, "1", 1},
      {100.0L, 18, "1", 3},
      {std::numeric_limits<long double>::denorm_min(), 18, "36451995318824746", -4950},
  };
  for (const auto& row : rows) {
    Decimal d;
    ToDecimal(row.value, row.significant, d);
    EXPECT_EQ(Digits(d), row.digits) << row.digits;
    EXPECT_EQ(d.exponent, row.exponent) << row.digits;
  }
}

TEST(RoundAt, KeepsDigitsAndCarries) {
  const struct {
    const char* digits;
    int exponent, keep;
    const char* wantDigits;
    int wantExponent;
  } rows[] = {
      {"5", 0, 0, "1", 1},    {"4", 0, 0, "", 0},     {"999", 3, 2, "1", 4},
      {"123", 1, -1, "", 0},  {"125", 0, 2, "13", 0}, {"1204", 2, 3, "12", 2},
      {"1999", 1, 2, "2", 1}, {"12", 5, 9, "12", 5},
  };
  for (const auto& row : rows) {
    Decimal d;
    d.count = static_cast<int>(std::strlen(row.digits));
    std::memcpy(d.digits, row.digits, static_cast<std::size_t>(d.count));
    d.exponent = row.exponent;
    RoundAt(d, row.keep);
    EXPECT_EQ(Digits(d), row.wantDigits) << row.digits << " keep " << row.keep;
    EXPECT_EQ(d.exponent, row.wantExponent) << row.digits << " keep " << row.keep;
  }
}

TEST(Classify, TellsFiniteInfiniteAndNaN) {
  EXPECT_EQ(Classify(0.0L), FloatClass::Finite);
  EXPECT_EQ(Classify(std::numeric_limits<long double>::max()), FloatClass::Finite);
  EXPECT_EQ(Classify(std::numeric_limits<long double>::denorm_min()), FloatClass::Finite);
  EXPECT_EQ(Classify(-std::numeric_limits<long double>::infinity()), FloatClass::Infinite);
  EXPECT_EQ(Classify(std::numeric_limits<long double>::quiet_NaN()), FloatClass::NaN);
  EXPECT_EQ(Classify(Make(std::uint64_t{1} << 62, 16383, false)), FloatClass::NaN);  // unnormal
}

}  // namespace
}  // namespace wl::detail
