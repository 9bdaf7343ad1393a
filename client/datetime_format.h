// Date-time values and the patterns they are written with.
//
// A date-time value is a floating-point number of days since 30 December 1899; its fraction is
// the time of day (for a negative value, the fraction's magnitude). It is rounded to the nearest
// millisecond, and values before 1 January 1 or after 31 December 9999, infinities and NaN have
// no calendar date.
//
// The pattern language is the Windows date and time picture syntax, so the locale's own short
// date and long time formats are patterns as they come, with three additions (f, AMPM, and the
// separators). Tokens, a run of one letter:
//   d     day of the month, 1-31         dd    two digits, 01-31
//   ddd   abbreviated day name, "Mon"    dddd  full day name, "Monday" (longer runs: the same)
//   M     month, 1-12                    MM    two digits, 01-12
//   MMM   abbreviated month, "Jan"       MMMM  full month name, "January"
//   y     year in the century, 0-99      yy    two digits, 00-99
//   yyyy  the full year, at least four digits (yyy and runs of five or more: the same)
//   h     hour on the 12-hour clock, 1-12      hh  two digits
//   H     hour on the 24-hour clock, 0-23      HH  two digits
//   m     minute, 0-59                   mm    two digits
//   s     second, 0-59                   ss    two digits
//   f     tenths of a second   ff  hundredths   fff  milliseconds, three digits (longer: the same)
//   t     first character of the AM or PM text      tt  the whole AM or PM text
//   AMPM  the whole AM or PM text (any letter case), as tt
//   /     the locale's date separator    :     the locale's time separator
//   'x'   the text x as it stands; two apostrophes, inside or outside quotes, write one
// Letters M, m, H and h are told apart by case; d, y, s, f and t are read in either case. Every
// other character is written as it stands. Day and month names are English: the client takes no
// locale names. A quote left open runs to the end of the pattern.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "client/format.h"

namespace wl {

struct DateTimeParts {
  int year = 1, month = 1, day = 1;
  int dayOfWeek = 0;  // 0 is Sunday
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  friend bool operator==(const DateTimeParts&, const DateTimeParts&) = default;
};

// The calendar parts of a date-time value; empty when it has no calendar date.
std::optional<DateTimeParts> DecodeDateTime(long double value);

// The parts written with pattern.
std::string FormatDateTime(std::string_view pattern, const DateTimeParts& parts,
                           const FormatSettings& settings);

// A value written with pattern; a value without calendar date is written as a general number.
std::string FormatDateTime(std::string_view pattern, long double value,
                           const FormatSettings& settings);

// A date-time value as the object dump shows it: with pattern when that is not empty; else the
// short date, followed by a blank and the long time when the hour, minute or second is not 0.
std::string DateTimeToText(long double value, std::string_view pattern,
                           const FormatSettings& settings);

}  // namespace wl
