// Decoding date-time values and writing them with a pattern.
#include "client/datetime_format.h"

#include <cctype>
#include <cmath>
#include <cstring>

namespace wl {
namespace {

constexpr std::int64_t kDayOf18991230 = 693594;  // day number, 1 January of year 1 being 1
constexpr std::int64_t kDayOf19700101 = 719163;
constexpr std::int64_t kLastDay = 3652059;  // 31 December 9999
constexpr std::int64_t kMsPerDay = 86400000;

constexpr const char* kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};
constexpr const char* kMonthNames[] = {"January",   "February", "March",    "April",
                                       "May",       "June",     "July",     "August",
                                       "September", "October",  "November", "December"};

// Year, month and day of a day number (1 January of year 1 being 1).
void CivilFromDayNumber(std::int64_t dayNumber, DateTimeParts& parts) {
  const std::int64_t z = dayNumber - kDayOf19700101 + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  parts.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  parts.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  parts.year = static_cast<int>(yoe + era * 400 + (parts.month <= 2 ? 1 : 0));
  parts.dayOfWeek = static_cast<int>(dayNumber % 7);
}

void AppendNumber(std::string& out, int value, int width) {
  const std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width) out.append(width - digits.size(), '0');
  out += digits;
}

// Writes one pattern: the tokens of the header's table, quoted texts and other characters.
class PatternWriter {
 public:
  PatternWriter(const DateTimeParts& parts, const FormatSettings& settings)
      : p_(parts), s_(settings) {}

  std::string Write(std::string_view pattern) {
    for (std::size_t i = 0; i < pattern.size();) i = Step(pattern, i);
    return std::move(out_);
  }

 private:
  std::size_t Step(std::string_view pattern, std::size_t i) {
    const char c = pattern[i];
    if (c == '\'') return Quoted(pattern, i);
    if (pattern.size() - i >= 4 && EqualsNoCase(pattern.substr(i, 4), "AMPM")) {
      out_ += AmPm();
      return i + 4;
    }
    if (c == '/' || c == ':') {
      out_ += c == '/' ? s_.dateSeparator : s_.timeSeparator;
      return i + 1;
    }
    std::size_t run = 1;
    while (i + run < pattern.size() && SameLetter(pattern[i + run], c)) ++run;
    if (!Token(c, static_cast<int>(run))) {
      out_ += c;
      return i + 1;
    }
    return i + run;
  }

  std::size_t Quoted(std::string_view pattern, std::size_t i) {
    if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
      out_ += '\'';
      return i + 2;
    }
    for (++i; i < pattern.size(); ++i) {
      if (pattern[i] != '\'') {
        out_ += pattern[i];
      } else if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
        out_ += '\'';
        ++i;
      } else {
        return i + 1;
      }
    }
    return i;
  }

  // Writes the token of count letters c; false when c begins no token.
  bool Token(char c, int count) {
    switch (c) {
      case 'd':
      case 'D':
        return Named(p_.day, count, kDayNames[p_.dayOfWeek]);
      case 'M':
        return Named(p_.month, count, kMonthNames[p_.month - 1]);
      case 'y':
      case 'Y':
        return Year(count);
      case 'h':
        return Number(p_.hour % 12 == 0 ? 12 : p_.hour % 12, count);
      case 'H':
        return Number(p_.hour, count);
      case 'm':
        return Number(p_.minute, count);
      case 's':
      case 'S':
        return Number(p_.second, count);
      case 'f':
      case 'F':
        return Fraction(count);
      case 't':
      case 'T':
        return AmPmToken(count);
      default:
        return false;
    }
  }

  bool Number(int value, int count) {
    AppendNumber(out_, value, count >= 2 ? 2 : 1);
    return true;
  }

  // d and M: a number for one or two letters, an abbreviated name for three, else the name.
  bool Named(int value, int count, std::string_view name) {
    if (count <= 2) return Number(value, count);
    out_ += count == 3 ? name.substr(0, 3) : name;
    return true;
  }

  bool Year(int count) {
    if (count <= 2) return Number(p_.year % 100, count);
    AppendNumber(out_, p_.year, 4);
    return true;
  }

  bool Fraction(int count) {
    static constexpr int kDivisor[] = {100, 10, 1};
    const int digits = count > 3 ? 3 : count;
    AppendNumber(out_, p_.millisecond / kDivisor[digits - 1], digits);
    return true;
  }

  bool AmPmToken(int count) {
    const std::string& text = AmPm();
    out_ += count == 1 ? text.substr(0, 1) : text;
    return true;
  }

  const std::string& AmPm() const { return p_.hour < 12 ? s_.timeAmString : s_.timePmString; }

  static bool SameLetter(char a, char b) {
    if (a == b) return true;
    const bool caseless = std::strchr("dysft", std::tolower(static_cast<unsigned char>(b)));
    return caseless && std::tolower(static_cast<unsigned char>(a)) ==
                           std::tolower(static_cast<unsigned char>(b));
  }

  static bool EqualsNoCase(std::string_view a, std::string_view b) {
    for (std::size_t i = 0; i < a.size(); ++i)
      if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
    return true;
  }

  const DateTimeParts& p_;
  const FormatSettings& s_;
  std::string out_;
};

}  // namespace

std::optional<DateTimeParts> DecodeDateTime(long double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const long double whole = std::trunc(value);
  if (whole < 1 - kDayOf18991230 || whole > kLastDay - kDayOf18991230) return std::nullopt;
  std::int64_t dayNumber = static_cast<std::int64_t>(whole) + kDayOf18991230;
  std::int64_t ms = std::llround(std::fabs(value - whole) * kMsPerDay);
  if (ms >= kMsPerDay) {  // rounded up to the next midnight
    ms -= kMsPerDay;
    if (++dayNumber > kLastDay) return std::nullopt;
  }
  DateTimeParts parts;
  CivilFromDayNumber(dayNumber, parts);
  parts.hour = static_cast<int>(ms / 3600000);
  parts.minute = static_cast<int>(ms / 60000 % 60);
  parts.second = static_cast<int>(ms / 1000 % 60);
  parts.millisecond = static_cast<int>(ms % 1000);
  return parts;
}

std::string FormatDateTime(std::string_view pattern, const DateTimeParts& parts,
                           const FormatSettings& settings) {
  return PatternWriter(parts, settings).Write(pattern);
}

std::string FormatDateTime(std::string_view pattern, long double value,
                           const FormatSettings& settings) {
  const std::optional<DateTimeParts> parts = DecodeDateTime(value);
  if (!parts) return FormatFloatGeneral(value, settings);
  return FormatDateTime(pattern, *parts, settings);
}

std::string DateTimeToText(long double value, std::string_view pattern,
                           const FormatSettings& settings) {
  if (!pattern.empty()) return FormatDateTime(pattern, value, settings);
  const std::optional<DateTimeParts> parts = DecodeDateTime(value);
  if (!parts) return FormatFloatGeneral(value, settings);
  std::string text = FormatDateTime(settings.shortDateFormat, *parts, settings);
  if (parts->hour != 0 || parts->minute != 0 || parts->second != 0)
    text += " " + FormatDateTime(settings.longTimeFormat, *parts, settings);
  return text;
}

}  // namespace wl
