// Exact decimal digits of an 80-bit extended float, for the number renderers of format.cpp.
//
// Every float rendering starts from these digits, so that the native and the 32-bit Windows builds
// agree byte for byte: nothing here depends on the C library's conversions or on the locale.
#pragma once

namespace wl::detail {

// A finite value written as 0.d1d2...dn × 10^exponent with d1 not zero and no trailing zeros.
// Zero has no digits and exponent 0; negative still tells the sign the value had.
struct Decimal {
  static constexpr int kMaxDigits = 20;
  bool negative = false;
  int exponent = 0;
  int count = 0;
  char digits[kMaxDigits];
};

enum class FloatClass { Finite, Infinite, NaN };

FloatClass Classify(long double value);

// Fills out with the finite value rounded to `significant` digits (1 to 18), half away from zero;
// the rounding is decided on the exact binary value.
void ToDecimal(long double value, int significant, Decimal& out);

// Keeps the first `keep` digits of d and rounds half away from zero on the next one. keep may be
// zero or negative (the value then becomes 1 × 10^exponent or zero).
void RoundAt(Decimal& d, int keep);

// Rounds d to `decimals` places after the decimal point, half away from zero, on its digits.
inline void RoundToDecimals(Decimal& d, int decimals) { RoundAt(d, d.exponent + decimals); }

}  // namespace wl::detail
