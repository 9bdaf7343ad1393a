// The formatting routine and the process-wide format settings.
//
// A directive is "%" [index ":"] ["-"] [width] ["." precision] letter; "%%" writes "%".
// - index: a number or "*", the zero-based argument the directive takes; directives without one
//   go on from the argument after the last one taken.
// - width and precision: a number or "*" (the next argument, which must be an integer). The field
//   is padded with blanks to the width, on the left, or on the right after "-". A negative width
//   from "*" pads on the right; a negative precision from "*" counts as none. A width or a
//   precision above 65535 makes the directive invalid, so that a caller's format cannot make the
//   routine claim memory without bound.
// - letters, in either case:
//   s  a text unchanged, or a character as that one character; a precision cuts the text.
//   d  an integer in decimal, "-" before a negative; a precision gives the least number of digits
//      (zeros after the sign). No grouping.
//   u  an integer read as unsigned 32 bits, in decimal; precision as for d.
//   x  an integer read as unsigned 32 bits, in upper-case hexadecimal; precision as for d.
//   p  a pointer in upper-case hexadecimal, at least 8 digits (exactly 8 on the 32-bit build,
//      the whole value on a 64-bit one); precision ignored.
//   e  a float as "-d.ddd...E+ddd": precision = significant digits (default 15, 1 to 18).
//   f  a float in fixed notation: precision = decimals (default 2, at most 18); no grouping.
//   g  a float in the general format: precision = significant digits (default 15, 1 to 18);
//      plain notation for decimal exponents from -3 to the precision, else "1.5E20", "1E-5".
//   n  as f, with the integer digits grouped by the thousands separator.
//   m  as n: the client takes no currency settings, so amounts are written as numbers.
//   The fixed notations (f, n, m) write magnitudes of 1E18 or more in the "E" form of g with 18
//   significant digits. Every float directive writes "INF", "-INF" and "NAN".
// Errors raise EConvertError with the directive (from its "%" through its letter, at most 31
// characters): "invalid or incompatible" for an unknown letter, an argument of the wrong type, or
// a directive that the format ends inside of (its text then runs to the end of the format), and
// "No argument" when the argument a directive needs lies beyond the list. A directive's form is
// checked before its arguments. Arguments beyond the last one used are ignored.
#include "client/format.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "client/errors.h"
#include "client/format_number.h"

namespace wl {
namespace {

constexpr int kNone = -1;                // no number given
constexpr int kStar = -2;                // "*": the number comes from the argument list
constexpr int kMaxFieldSize = 65535;     // largest width or precision accepted
constexpr std::size_t kMaxQuoted = 31;   // characters of a directive quoted in an error
constexpr int kDefaultDecimals = 2;      // f, n, m
constexpr int kDefaultSignificant = 15;  // e, g
constexpr int kMaxDigits = 18;           // what an 80-bit float holds in decimal

struct Directive {
  std::string_view text;  // from "%" through the letter
  char letter = '\0';     // lower case
  bool leftAlign = false;
  int index = kNone;
  int width = kNone;
  int precision = kNone;
};

[[noreturn]] void RaiseInvalid(std::string_view directive) {
  Raise<EConvertError>("Format '" + std::string(directive.substr(0, kMaxQuoted)) +
                       "' invalid or incompatible with argument");
}

[[noreturn]] void RaiseNoArgument(std::string_view directive) {
  Raise<EConvertError>("No argument for format '" + std::string(directive.substr(0, kMaxQuoted)) +
                       "'");
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char ToLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsLetter(char c) {
  return c != '\0' && std::string_view("duxpsefgnm").find(c) != std::string_view::npos;
}

// Reads a number (saturated just above kMaxFieldSize) or "*" at pos; kNone when neither is there.
int ReadCount(std::string_view fmt, std::size_t& pos) {
  if (pos < fmt.size() && fmt[pos] == '*') {
    ++pos;
    return kStar;
  }
  if (pos >= fmt.size() || !IsDigit(fmt[pos])) return kNone;
  int value = 0;
  for (; pos < fmt.size() && IsDigit(fmt[pos]); ++pos) {
    value = value * 10 + (fmt[pos] - '0');
    if (value > kMaxFieldSize) value = kMaxFieldSize + 1;
  }
  return value;
}

// Parses the directive that begins with the "%" at start.
Directive ParseDirective(std::string_view fmt, std::size_t start) {
  Directive d;
  std::size_t pos = start + 1;
  int count = ReadCount(fmt, pos);
  if (count != kNone && pos < fmt.size() && fmt[pos] == ':') {
    d.index = count;
    ++pos;
    count = kNone;
  }
  if (count == kNone) {
    d.leftAlign = pos < fmt.size() && fmt[pos] == '-';
    if (d.leftAlign) ++pos;
    count = ReadCount(fmt, pos);
  }
  d.width = count;
  if (pos < fmt.size() && fmt[pos] == '.') {
    ++pos;
    d.precision = ReadCount(fmt, pos);
    if (d.precision == kNone) d.precision = 0;
  }
  if (pos >= fmt.size()) RaiseInvalid(fmt.substr(start));
  d.text = fmt.substr(start, pos + 1 - start);
  d.letter = ToLower(fmt[pos]);
  if (!IsLetter(d.letter) || d.width > kMaxFieldSize || d.precision > kMaxFieldSize) {
    RaiseInvalid(d.text);
  }
  return d;
}

// Renders directives one by one, walking the argument list as they take arguments.
class Renderer {
 public:
  Renderer(std::string& out, FormatArgs args, const FormatSettings& settings)
      : out_(out), args_(args), settings_(settings) {}

  void Render(const Directive& d) {
    if (d.index == kStar) {
      const int index = TakeInteger(d);
      next_ = index < 0 ? args_.size() : static_cast<std::size_t>(index);
    } else if (d.index != kNone) {
      next_ = static_cast<std::size_t>(d.index);
    }
    bool leftAlign = d.leftAlign;
    const int width = TakeWidth(d, leftAlign);
    const int precision = TakePrecision(d);
    const FormatArg& arg = Take(d);
    const std::size_t start = out_.size();
    RenderValue(d, arg, precision);
    Pad(start, width, leftAlign);
  }

 private:
  const FormatArg& Take(const Directive& d) {
    if (next_ >= args_.size()) RaiseNoArgument(d.text);
    return args_[next_++];
  }

  int TakeInteger(const Directive& d) {
    const FormatArg& arg = Take(d);
    if (arg.type() != FormatArg::Type::Integer) RaiseInvalid(d.text);
    return arg.integer();
  }

  int TakeWidth(const Directive& d, bool& leftAlign) {
    if (d.width != kStar) return d.width;
    const std::int64_t width = TakeInteger(d);
    if (width < 0) leftAlign = true;
    const std::int64_t size = width < 0 ? -width : width;
    if (size > kMaxFieldSize) RaiseInvalid(d.text);
    return static_cast<int>(size);
  }

  int TakePrecision(const Directive& d) {
    if (d.precision != kStar) return d.precision;
    const int precision = TakeInteger(d);
    if (precision > kMaxFieldSize) RaiseInvalid(d.text);
    return precision < 0 ? kNone : precision;
  }

  void Pad(std::size_t start, int width, bool leftAlign) {
    const std::size_t length = out_.size() - start;
    if (width == kNone || static_cast<std::size_t>(width) <= length) return;
    const std::size_t fill = static_cast<std::size_t>(width) - length;
    if (leftAlign) {
      out_.append(fill, ' ');
    } else {
      out_.insert(start, fill, ' ');
    }
  }

  void RenderValue(const Directive& d, const FormatArg& arg, int precision);
  void RenderText(const Directive& d, const FormatArg& arg, int precision);
  void RenderInteger(const Directive& d, const FormatArg& arg, int precision);
  void RenderFloat(const Directive& d, const FormatArg& arg, int precision);

  std::string& out_;
  FormatArgs args_;
  const FormatSettings& settings_;
  std::size_t next_ = 0;
};

void Renderer::RenderValue(const Directive& d, const FormatArg& arg, int precision) {
  switch (d.letter) {
    case 's':
      RenderText(d, arg, precision);
      return;
    case 'd':
    case 'u':
    case 'x':
      RenderInteger(d, arg, precision);
      return;
    case 'p':
      if (arg.type() != FormatArg::Type::Pointer) RaiseInvalid(d.text);
      detail::AppendHex(out_, reinterpret_cast<std::uintptr_t>(arg.pointer()), 8);
      return;
    default:
      RenderFloat(d, arg, precision);
      return;
  }
}

void Renderer::RenderText(const Directive& d, const FormatArg& arg, int precision) {
  if (arg.type() == FormatArg::Type::Char) {
    if (precision != 0) out_ += arg.character();
    return;
  }
  if (arg.type() != FormatArg::Type::Text) RaiseInvalid(d.text);
  const std::string_view text = arg.text();
  out_.append(precision == kNone ? text : text.substr(0, static_cast<std::size_t>(precision)));
}

void Renderer::RenderInteger(const Directive& d, const FormatArg& arg, int precision) {
  if (arg.type() != FormatArg::Type::Integer) RaiseInvalid(d.text);
  const std::int32_t value = arg.integer();
  const auto bits = static_cast<std::uint32_t>(value);
  if (d.letter == 'x') {
    detail::AppendHex(out_, bits, precision);
  } else if (d.letter == 'u' || value >= 0) {
    detail::AppendDecimal(out_, bits, false, precision);
  } else {
    detail::AppendDecimal(out_, std::uint32_t{0} - bits, true, precision);
  }
}

void Renderer::RenderFloat(const Directive& d, const FormatArg& arg, int precision) {
  if (arg.type() != FormatArg::Type::Float) RaiseInvalid(d.text);
  const long double value = arg.floating();
  const char decimal = detail::DecimalSeparator(settings_);
  if (d.letter == 'e' || d.letter == 'g') {
    int digits = precision == kNone ? kDefaultSignificant : precision;
    digits = digits < 1 ? 1 : (digits > kMaxDigits ? kMaxDigits : digits);
    if (d.letter == 'e') {
      detail::AppendScientific(out_, value, digits, decimal);
    } else {
      detail::AppendGeneral(out_, value, digits, decimal);
    }
    return;
  }
  int decimals = precision == kNone ? kDefaultDecimals : precision;
  if (decimals > kMaxDigits) decimals = kMaxDigits;
  const char thousands = d.letter == 'f' ? '\0' : settings_.thousandSeparator;
  detail::AppendFixed(out_, value, decimals, thousands, decimal);
}

FormatSettings& SettingsObject() {
  static FormatSettings settings;
  return settings;
}

}  // namespace

const FormatSettings& CurrentFormatSettings() { return SettingsObject(); }

void SetFormatSettings(const FormatSettings& settings) { SettingsObject() = settings; }

void FormatTo(std::string& out, std::string_view fmt, FormatArgs args,
              const FormatSettings& settings) {
  Renderer renderer(out, args, settings);
  std::size_t pos = 0;
  while (pos < fmt.size()) {
    const std::size_t percent = fmt.find('%', pos);
    if (percent == std::string_view::npos) break;
    out.append(fmt.data() + pos, percent - pos);
    if (percent + 1 < fmt.size() && fmt[percent + 1] == '%') {
      out += '%';
      pos = percent + 2;
      continue;
    }
    const Directive d = ParseDirective(fmt, percent);
    renderer.Render(d);
    pos = percent + d.text.size();
  }
  if (pos < fmt.size()) out.append(fmt.data() + pos, fmt.size() - pos);
}

std::string Format(std::string_view fmt, FormatArgs args, const FormatSettings& settings) {
  std::string out;
  out.reserve(fmt.size() + 32);
  FormatTo(out, fmt, args, settings);
  return out;
}

std::string Format(std::string_view fmt, FormatArgs args) {
  return Format(fmt, args, CurrentFormatSettings());
}

}  // namespace wl
