// The record's stamp, labels and plain-text form.
#include "tools/dispatcher/core/record.h"

#include <cstdio>

#include "client/message_kinds.h"

namespace wl::dispatcher {
namespace {

constexpr std::int32_t kMsPerDay = 86'400'000;
constexpr std::int32_t kLastDay = 3'652'059;  // 31 December 9999
constexpr std::int32_t kDayOf1970 = 719'163;  // day number of 1 January 1970
constexpr std::size_t kKindWidth = 14;        // the longest name, "mkMemoryStatus"
constexpr int kMaxShownDepth = 32;
constexpr std::string_view kSeparatorLine = "----------------------------------------";
constexpr std::string_view kClearLine = "======== clear ========";

struct Civil {
  int year, month, day;
};

// Days since 1 January 1970 to a proleptic Gregorian date (the well-known era algorithm).
Civil CivilFromDays(std::int64_t z) {
  z += 719'468;
  const std::int64_t era = (z >= 0 ? z : z - 146'096) / 146'097;
  const std::int64_t doe = z - era * 146'097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36'524 - doe / 146'096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
  return {year, month, day};
}

// A proleptic Gregorian date to days since 1 January 1970 (the inverse of the above).
std::int64_t DaysFromCivil(int year, int month, int day) {
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146'097 + doe - 719'468;
}

std::string PadRight(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

std::string OrDash(const std::string& text) { return text.empty() ? "-" : EscapeForView(text); }

std::string Header(const Record& r) {
  std::string h = FormatStamp(r.stamp);
  h += " | " + PadRight(KindLabel(r), kKindWidth) + " | " + OrDash(r.category) + " | ";
  h += OrDash(r.app) + " " + std::to_string(r.processId) + ":" + std::to_string(r.threadId);
  return h + " | ";
}

std::string Indent(int depth) {
  const int shown = depth < 0 ? 0 : (depth > kMaxShownDepth ? kMaxShownDepth : depth);
  return std::string(static_cast<std::size_t>(shown) * 2, ' ');
}

// The record's first text line with its mark.
std::string MarkedText(const Record& r, std::string_view firstLine) {
  const std::string text = EscapeForView(firstLine);
  switch (r.mark) {
    case Mark::kEnter:
      return "> " + text;
    case Mark::kExit:
      return "< " + text;
    case Mark::kUnmatchedExit:
      return "< " + text + "  (no matching enter)";
    case Mark::kSeparator:
      return text.empty() ? std::string(kSeparatorLine) : std::string(kSeparatorLine) + " " + text;
    case Mark::kClear:
      return text.empty() ? std::string(kClearLine) : std::string(kClearLine) + " " + text;
    case Mark::kNone:
      break;
  }
  return text;
}

}  // namespace

std::string FormatStamp(Stamp stamp) {
  if (stamp.date < 1 || stamp.date > kLastDay || stamp.time < 0 || stamp.time >= kMsPerDay)
    return std::string(kStampWidth, '?');
  const Civil c = CivilFromDays(std::int64_t{stamp.date} - kDayOf1970);
  const int t = stamp.time;
  char buffer[96];  // room for any int the compiler cannot rule out
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%03d", c.year, c.month, c.day,
                t / 3'600'000, t / 60'000 % 60, t / 1000 % 60, t % 1000);
  return buffer;
}

Stamp StampOf(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  const std::int64_t date = DaysFromCivil(year, month, day) + kDayOf1970;
  const std::int32_t time = ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
  return {static_cast<std::int32_t>(date), time};
}

std::string KindLabel(const Record& r) {
  if (r.own) return "Dispatcher";
  if (const char* name = MessageKindName(r.kind)) return name;
  return "kind " + std::to_string(r.kind);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::string EscapeForView(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if ((byte >= 0x20 && byte != 0x7F) || byte == '\t') {
      out += ch;
      continue;
    }
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
  }
  return out;
}

std::string FormatText(const Record& r) {
  const std::string header = Header(r);
  const std::string indent = Indent(r.depth);
  const std::vector<std::string_view> msgLines = SplitLines(r.msg);
  std::string out = header + indent + MarkedText(r, msgLines.empty() ? "" : msgLines[0]);
  out += "\r\n";
  const std::string continuation = std::string(header.size(), ' ') + indent + "  ";
  for (std::size_t i = 1; i < msgLines.size(); ++i)
    out += continuation + EscapeForView(msgLines[i]) + "\r\n";
  for (const std::string_view line : SplitLines(r.details))
    out += continuation + EscapeForView(line) + "\r\n";
  return out;
}

bool IsStopLine(std::string_view line) {
  constexpr std::string_view kTextKind = " | Dispatcher     | ";
  constexpr std::string_view kJsonKind = "\",\"kind\":\"Dispatcher\"";
  if (line.size() < kStampWidth + kJsonKind.size() + 9) return false;
  if (line.substr(kStampWidth, kTextKind.size()) == kTextKind)
    return line.find(" | stopped") != std::string_view::npos;
  constexpr std::size_t kJsonKindAt = 9 + kStampWidth;  // after {"time":" and the stamp
  if (line.substr(0, 9) == "{\"time\":\"" &&
      line.substr(kJsonKindAt, kJsonKind.size()) == kJsonKind)
    return line.find("\"text\":\"stopped") != std::string_view::npos;
  return false;
}

}  // namespace wl::dispatcher
