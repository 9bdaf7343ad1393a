// Offering messages to a host's OnSendMsg handler.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "client/WLIntf.h"

namespace wl {

// The record's layout is part of the host interface of the 32-bit library.
#if UINTPTR_MAX == 0xFFFFFFFF
static_assert(offsetof(TWrenlogMsgData, Kind) == 0);
static_assert(offsetof(TWrenlogMsgData, Msg) == 4);
static_assert(offsetof(TWrenlogMsgData, Details) == 8);
static_assert(offsetof(TWrenlogMsgData, ProcessId) == 12);
static_assert(offsetof(TWrenlogMsgData, ThreadId) == 16);
static_assert(offsetof(TWrenlogMsgData, ComputerName) == 20);
static_assert(offsetof(TWrenlogMsgData, AppName) == 36);
static_assert(offsetof(TWrenlogMsgData, ObjectClass) == 77);
static_assert(offsetof(TWrenlogMsgData, Category) == 118);
static_assert(offsetof(TWrenlogMsgData, Filler) == 159);
static_assert(offsetof(TWrenlogMsgData, CategoryColor) == 160);
static_assert(offsetof(TWrenlogMsgData, Time) == 164);
static_assert(offsetof(TWrenlogMsgData, Date) == 168);
static_assert(sizeof(TWrenlogMsgData) == 172);
#endif

namespace {

// The details text as lines: a line ends at CR LF, a lone CR or a lone LF; a final line break
// adds no empty line.
TStringList SplitDetails(std::string_view text) {
  TStringList lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

template <std::size_t N>
void PutCounted(TWLCountedText<N>& field, std::string_view text) {
  static_assert(N <= 255, "the count is one byte");
  const std::size_t n = std::min(text.size(), N);
  field.Length = static_cast<std::uint8_t>(n);
  std::memcpy(field.Chars, text.data(), n);
}

}  // namespace

bool TWrenlog::DoSendMsg(std::int32_t Kind, const char* Msg, const char* Details,
                         const std::string& ObjectClass, const TWLTimeStamp& Stamp, bool& Handled) {
  if (!OnSendMsg) return false;
  // A handler takes over from the dispatcher: the open connection ends first.
  if (Registered) Disconnect();
  if (IsControlKind(Kind)) return false;

  // The text and the list live until the end of this call, whichever way it ends.
  std::string msg(Msg != nullptr ? Msg : "");
  const TStringList details = Details != nullptr ? SplitDetails(Details) : TStringList();
  TWrenlogMsgData data{};
  data.Kind = Kind;
  data.Msg = &msg;
  data.Details = Details != nullptr ? &details : nullptr;
  data.ProcessId = QueryProcessId();
  data.ThreadId = QueryThreadId();
  PutCounted(data.ComputerName, ComputerName);
  PutCounted(data.AppName, AppName);
  PutCounted(data.ObjectClass, ObjectClass);
  PutCounted(data.Category, Category);
  data.CategoryColor = CategoryColor;
  data.Time = Stamp.Time;
  data.Date = Stamp.Date;

  // Called through a copy: a handler may assign or clear OnSendMsg while it runs.
  const TWLSendMsgEvent handler = OnSendMsg;
  handler(this, data, Handled);
  return true;
}

}  // namespace wl
