// One received message as the dispatcher shows and logs it, and its two written forms.
//
// A record is built from a decoded packet (or made by the dispatcher itself) and carries
// everything a reader needs: the sender's local time, the kind, category, application, process,
// thread, connection and destination, the indentation depth of its thread, the message text and
// the details. The plain-text form is one header line followed by continuation lines; the JSON
// form is one line per record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wl::dispatcher {

// A local time in the packet's units: milliseconds since midnight and a day number with
// 1 January of year 1 as day 1.
struct Stamp {
  std::int32_t date = 0;
  std::int32_t time = 0;
};

// "2026-12-11 13:02:15.123"; a date or time outside the calendar gives as many question marks.
std::string FormatStamp(Stamp stamp);
constexpr std::size_t kStampWidth = 23;

// The stamp of a local calendar date and time (the dispatcher's own clock).
Stamp StampOf(int year, int month, int day, int hour, int minute, int second, int millisecond);

// Marks that the view puts before a record's text.
enum class Mark { kNone, kEnter, kExit, kUnmatchedExit, kSeparator, kClear };

struct Record {
  Stamp stamp;
  std::int32_t timeZoneBias = 0;
  bool own = false;  // made by the dispatcher itself, not received
  std::int32_t kind = 0;
  std::string category;
  std::int32_t categoryColor = 0;
  std::string computer;
  std::string app;
  std::uint32_t processId = 0;
  std::uint32_t threadId = 0;
  std::string connectionId;
  std::string destination;
  bool knownConnection = true;
  int depth = 0;
  Mark mark = Mark::kNone;
  std::string msg;
  std::string details;
};

// "mkMessage", "kind 5" for a kind the library does not produce, "Dispatcher" for own records.
std::string KindLabel(const Record& r);

// The lines of a text: CR LF, a lone CR and a lone LF each end a line; a final line break does
// not start an empty line.
std::vector<std::string_view> SplitLines(std::string_view text);

// Bytes below 0x20 (tab excepted) and 0x7F become \xNN so that no record can move a terminal's
// cursor or change its colours; everything else passes as it is (system code page).
std::string EscapeForView(std::string_view text);

// The plain-text form: a header line, then the message's further lines and the details lines,
// each indented to the text column. Every line ends with CR LF.
std::string FormatText(const Record& r);

// The JSON Lines form: one object and a final LF.
std::string FormatJson(const Record& r);

// True for a text or JSON line of the record the dispatcher writes when it stops.
bool IsStopLine(std::string_view line);
inline constexpr std::string_view kStoppedText = "stopped";

}  // namespace wl::dispatcher
