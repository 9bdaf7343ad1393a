// The number renderers behind Format and the public number functions of format.h.
//
// Each appends to out, so that Format builds one text without temporaries per directive.
#pragma once

#include <cstdint>
#include <string>

#include "client/format.h"

namespace wl::detail {

// Decimal digits, at least minDigits of them (zeros in front), "-" first when negative.
void AppendDecimal(std::string& out, std::uint64_t magnitude, bool negative, int minDigits);

// Upper-case hexadecimal digits, at least minDigits of them (zeros in front).
void AppendHex(std::string& out, std::uint64_t value, int minDigits);

// "#,#0": decimal digits in groups of three joined by separator ('\0': no grouping).
void AppendGrouped(std::string& out, std::uint64_t value, char separator);

// Fixed notation with `decimals` places (0 to 18) and the integer digits grouped by thousands
// ('\0': none), after reducing the value to 18 significant digits. From 1E18 in magnitude the
// "E" form of the general format is written instead ("1.5E20").
void AppendFixed(std::string& out, long double value, int decimals, char thousands, char decimal);

// Scientific notation "-d.ddd...E+ddd" with `precision` significant digits (1 to 18) and an
// exponent of at least three digits.
void AppendScientific(std::string& out, long double value, int precision, char decimal);

// The general number format with `precision` significant digits (1 to 18): plain notation for
// decimal exponents from -3 to `precision`, else "d.dddE[-]x"; trailing zeros dropped.
void AppendGeneral(std::string& out, long double value, int precision, char decimal);

// The decimal separator to write: the locale's, or '.' when it gives none (a NUL would end the
// text early wherever it is read as a C string).
inline char DecimalSeparator(const FormatSettings& settings) {
  return settings.decimalSeparator != '\0' ? settings.decimalSeparator : '.';
}

}  // namespace wl::detail
