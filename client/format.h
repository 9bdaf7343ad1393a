// Typed argument lists and the formatting routine.
//
// Format() knows %s, %d, %n and %p exactly as the viewer expects them, plus the wider language
// that caller-given formats may use (see format.cpp). A directive that does not fit its argument
// raises EConvertError "Format '%s' invalid or incompatible with argument"; a directive with no
// argument left raises "No argument for format '%s'" (the directive cut to 31 characters).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace wl {

// One value of an argument list: a tag and the value it names.
class FormatArg {
 public:
  enum class Type : std::uint8_t { Text, Char, Integer, Float, Pointer };

  FormatArg(std::string_view text) : type_(Type::Text), text_(text) {}
  FormatArg(const std::string& text) : type_(Type::Text), text_(text) {}
  FormatArg(const char* text) : type_(Type::Text), text_(text ? text : "") {}
  FormatArg(char ch) : type_(Type::Char), char_(ch) {}
  FormatArg(std::int32_t value) : type_(Type::Integer), int_(value) {}
  FormatArg(long double value) : type_(Type::Float), float_(value) {}
  FormatArg(double value) : type_(Type::Float), float_(value) {}
  FormatArg(const void* pointer) : type_(Type::Pointer), pointer_(pointer) {}

  Type type() const { return type_; }
  std::string_view text() const { return text_; }
  char character() const { return char_; }
  std::int32_t integer() const { return int_; }
  long double floating() const { return float_; }
  const void* pointer() const { return pointer_; }

 private:
  Type type_;
  union {
    std::string_view text_;
    char char_;
    std::int32_t int_;
    long double float_;
    const void* pointer_;
  };
};

using FormatArgs = std::span<const FormatArg>;

// The locale figures that formatting uses, taken once when the library starts.
struct FormatSettings {
  char thousandSeparator = ',';  // '\0': no grouping
  char decimalSeparator = '.';
  char dateSeparator = '/';
  char timeSeparator = ':';
  std::string shortDateFormat = "M/d/yyyy";
  std::string longTimeFormat = "h:mm:ss AMPM";
  std::string timeAmString = "AM";
  std::string timePmString = "PM";
};

// The process-wide settings; LoadFormatSettings fills them from the user locale at load.
const FormatSettings& CurrentFormatSettings();
void SetFormatSettings(const FormatSettings& settings);

// Formats fmt with args. Raises EConvertError as described above.
std::string Format(std::string_view fmt, FormatArgs args);
std::string Format(std::string_view fmt, FormatArgs args, const FormatSettings& settings);
// Appends the formatted text to out (no temporary for the whole text).
void FormatTo(std::string& out, std::string_view fmt, FormatArgs args,
              const FormatSettings& settings);

// Convenience: Format(fmt, {a, b, c}).
inline std::string Format(std::string_view fmt, std::initializer_list<FormatArg> args) {
  return Format(fmt, FormatArgs(args.begin(), args.size()));
}

// "#,#0": digits grouped in threes with the thousands separator (none when it is '\0').
std::string FormatGrouped(std::uint64_t value, const FormatSettings& settings);

// The %n rendering of a float: two decimals, grouped; scientific from 1E18; INF, -INF, NAN.
std::string FormatNumber2(long double value, const FormatSettings& settings);

// The general number format: 15 significant digits, plain for exponents -3..15, else "E" form.
std::string FormatFloatGeneral(long double value, const FormatSettings& settings);

}  // namespace wl
