// Number renderers: integers in decimal and hexadecimal, grouped counts, and the float notations.
//
// Float renderings work on the exact decimal digits of format_decimal.h. The fixed notations
// (%f, %n, %m) first reduce the value to 18 significant digits and then round at the last
// decimal place, both half away from zero; the scientific and general notations round once, at
// their last significant digit. A value that rounds to zero is written without a sign.
#include "client/format_number.h"

#include <cstdint>
#include <string>

#include "client/format_decimal.h"

namespace wl::detail {
namespace {

constexpr int kNumberDigits = 18;      // significant digits the fixed notations start from
constexpr int kGeneralPrecision = 15;  // significant digits of FormatFloatGeneral
constexpr int kMaxUint64Digits = 20;

// Writes the digits of value backwards ending at end; returns where they begin. 32-bit values
// take the short path, which matters on the 32-bit target where 64-bit division is a call.
template <unsigned Base>
char* WriteDigits(char* end, std::uint64_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  if (value <= UINT32_MAX) {
    auto small = static_cast<std::uint32_t>(value);
    do {
      *--end = kDigits[small % Base];
      small /= Base;
    } while (small != 0);
    return end;
  }
  do {
    *--end = kDigits[value % Base];
    value /= Base;
  } while (value != 0);
  return end;
}

template <unsigned Base>
void AppendDigits(std::string& out, std::uint64_t value, int minDigits) {
  char text[kMaxUint64Digits];
  char* const end = text + sizeof text;
  const char* begin = WriteDigits<Base>(end, value);
  const auto count = static_cast<int>(end - begin);
  if (minDigits > count) out.append(static_cast<std::size_t>(minDigits - count), '0');
  out.append(begin, static_cast<std::size_t>(count));
}

// Writes INF, -INF or NAN and answers true for a value that is not finite.
bool AppendNonFinite(std::string& out, long double value) {
  switch (Classify(value)) {
    case FloatClass::Finite:
      return false;
    case FloatClass::Infinite:
      out += value < 0 ? "-INF" : "INF";
      return true;
    case FloatClass::NaN:
      out += "NAN";
      return true;
  }
  return false;
}

char DigitAt(const Decimal& d, int i) { return i >= 0 && i < d.count ? d.digits[i] : '0'; }

// Appends n digits of d from position `from` (0 is d1), with zeros outside the digits held.
void AppendDigitRange(std::string& out, const Decimal& d, int from, int n) {
  for (int i = from; i < from + n; ++i) out += DigitAt(d, i);
}

void AppendSign(std::string& out, const Decimal& d) {
  if (d.negative && d.count > 0) out += '-';
}

// d1[.d2...]E[-]x with x = exponent - 1: the "E" form of the general format.
void AppendExponentForm(std::string& out, const Decimal& d, char decimal) {
  out += d.digits[0];
  if (d.count > 1) {
    out += decimal;
    out.append(d.digits + 1, static_cast<std::size_t>(d.count - 1));
  }
  out += 'E';
  const int exponent = d.exponent - 1;
  AppendDecimal(out, static_cast<std::uint64_t>(exponent < 0 ? -exponent : exponent), exponent < 0,
                1);
}

// The digits before the decimal point, "0" when there are none.
void AppendIntegerPart(std::string& out, const Decimal& d, char thousands) {
  const int count = d.exponent;
  if (count <= 0) {
    out += '0';
    return;
  }
  for (int i = 0; i < count; ++i) {
    if (thousands != '\0' && i > 0 && (count - i) % 3 == 0) out += thousands;
    out += DigitAt(d, i);
  }
}

}  // namespace

void AppendDecimal(std::string& out, std::uint64_t magnitude, bool negative, int minDigits) {
  if (negative) out += '-';
  AppendDigits<10>(out, magnitude, minDigits);
}

void AppendHex(std::string& out, std::uint64_t value, int minDigits) {
  AppendDigits<16>(out, value, minDigits);
}

void AppendGrouped(std::string& out, std::uint64_t value, char separator) {
  char text[kMaxUint64Digits];
  char* const end = text + sizeof text;
  const char* digit = WriteDigits<10>(end, value);
  for (auto left = end - digit; left > 0; --left) {
    out += *digit++;
    if (separator != '\0' && left > 1 && (left - 1) % 3 == 0) out += separator;
  }
}

void AppendFixed(std::string& out, long double value, int decimals, char thousands, char decimal) {
  if (AppendNonFinite(out, value)) return;
  Decimal d;
  ToDecimal(value, kNumberDigits, d);
  if (d.exponent <= kNumberDigits) {
    RoundToDecimals(d, decimals);
  }
  AppendSign(out, d);
  if (d.exponent > kNumberDigits) {  // 1E18 or more: the fixed notation would need more digits
    AppendExponentForm(out, d, decimal);
    return;
  }
  AppendIntegerPart(out, d, thousands);
  if (decimals > 0) {
    out += decimal;
    AppendDigitRange(out, d, d.exponent, decimals);
  }
}

void AppendScientific(std::string& out, long double value, int precision, char decimal) {
  if (AppendNonFinite(out, value)) return;
  Decimal d;
  ToDecimal(value, precision, d);
  AppendSign(out, d);
  out += DigitAt(d, 0);
  if (precision > 1) {
    out += decimal;
    AppendDigitRange(out, d, 1, precision - 1);
  }
  const int exponent = d.count > 0 ? d.exponent - 1 : 0;
  out += 'E';
  out += exponent < 0 ? '-' : '+';
  AppendDigits<10>(out, static_cast<std::uint64_t>(exponent < 0 ? -exponent : exponent), 3);
}

void AppendGeneral(std::string& out, long double value, int precision, char decimal) {
  if (AppendNonFinite(out, value)) return;
  Decimal d;
  ToDecimal(value, precision, d);
  if (d.count == 0) {
    out += '0';
    return;
  }
  AppendSign(out, d);
  const int e = d.exponent;
  if (e < -3 || e > precision) {
    AppendExponentForm(out, d, decimal);
  } else if (e > 0) {
    AppendDigitRange(out, d, 0, e);
    if (d.count > e) {
      out += decimal;
      out.append(d.digits + e, static_cast<std::size_t>(d.count - e));
    }
  } else {
    out += '0';
    out += decimal;
    out.append(static_cast<std::size_t>(-e), '0');
    out.append(d.digits, static_cast<std::size_t>(d.count));
  }
}

}  // namespace wl::detail

namespace wl {

std::string FormatGrouped(std::uint64_t value, const FormatSettings& settings) {
  std::string out;
  detail::AppendGrouped(out, value, settings.thousandSeparator);
  return out;
}

std::string FormatNumber2(long double value, const FormatSettings& settings) {
  std::string out;
  detail::AppendFixed(out, value, 2, settings.thousandSeparator,
                      detail::DecimalSeparator(settings));
  return out;
}

std::string FormatFloatGeneral(long double value, const FormatSettings& settings) {
  std::string out;
  detail::AppendGeneral(out, value, detail::kGeneralPrecision, detail::DecimalSeparator(settings));
  return out;
}

}  // namespace wl
