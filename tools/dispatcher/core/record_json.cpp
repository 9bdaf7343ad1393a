// The record's JSON Lines form.
//
// The texts are 8-bit system code page characters, which JSON cannot carry as they are. Every
// byte from 0x80 to 0xFF is written as \u0080 to \u00FF: the byte value becomes the code point
// (the Latin-1 mapping), so a reader gets the exact bytes back and decodes them with the sender's
// code page. Control bytes and 0x7F are escaped too; the output is plain ASCII.
#include <cstdio>

#include "tools/dispatcher/core/json.h"
#include "tools/dispatcher/core/record.h"

namespace wl::dispatcher {
namespace {

const char* MarkName(Mark mark) {
  switch (mark) {
    case Mark::kEnter:
      return "enter";
    case Mark::kExit:
      return "exit";
    case Mark::kUnmatchedExit:
      return "unmatched exit";
    case Mark::kSeparator:
      return "separator";
    case Mark::kClear:
      return "clear";
    case Mark::kNone:
      break;
  }
  return nullptr;
}

std::string Hex32(std::int32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(value));
  return buffer;
}

void AddText(std::string& out, std::string_view name, std::string_view value) {
  out += ",\"";
  out += name;
  out += "\":\"";
  AppendJsonEscaped(out, value);
  out += '"';
}

void AddNumber(std::string& out, std::string_view name, long long value) {
  out += ",\"";
  out += name;
  out += "\":";
  out += std::to_string(value);
}

void AddSender(std::string& out, const Record& r) {
  AddText(out, "category", r.category);
  AddText(out, "color", Hex32(r.categoryColor));
  AddText(out, "computer", r.computer);
  AddText(out, "app", r.app);
  AddNumber(out, "pid", r.processId);
  AddNumber(out, "tid", r.threadId);
  AddText(out, "connection", r.connectionId);
  AddText(out, "destination", r.destination);
  out += r.knownConnection ? ",\"known\":true" : ",\"known\":false";
}

}  // namespace

void AppendJsonEscaped(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    switch (byte) {
      case '"':
        out += "\\\"";
        continue;
      case '\\':
        out += "\\\\";
        continue;
      case '\b':
        out += "\\b";
        continue;
      case '\f':
        out += "\\f";
        continue;
      case '\n':
        out += "\\n";
        continue;
      case '\r':
        out += "\\r";
        continue;
      case '\t':
        out += "\\t";
        continue;
      default:
        break;
    }
    if (byte >= 0x20 && byte < 0x7F) {
      out += ch;
      continue;
    }
    out += "\\u00";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
  }
}

std::string JsonEscaped(std::string_view text) {
  std::string out;
  AppendJsonEscaped(out, text);
  return out;
}

std::string FormatJson(const Record& r) {
  std::string out = "{\"time\":\"" + FormatStamp(r.stamp) + "\"";
  AddText(out, "kind", KindLabel(r));
  AddNumber(out, "kindValue", r.kind);
  AddNumber(out, "bias", r.timeZoneBias);
  AddSender(out, r);
  AddNumber(out, "depth", r.depth);
  if (const char* mark = MarkName(r.mark)) AddText(out, "mark", mark);
  AddText(out, "text", r.msg);
  AddText(out, "details", r.details);
  return out + "}\n";
}

}  // namespace wl::dispatcher
