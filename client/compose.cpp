// Composing messages: plain texts, errors and notes, name-and-value messages, checkpoints,
// separators, the clear command and the "@" write messages.
//
// Each operation builds its text once, in one string sized up front, and hands it to SendStr.
// The value operations format through SendFmtMsgEx, which turns a formatting error into the
// description of that error; the fixed formats of the checkpoint and write messages always fit
// their arguments and are not guarded.
#include "client/WLIntf.h"

namespace wl {
namespace {

const std::string kNoClass;
const std::string kFloatFormat = "%s = %n";
const std::string kIntegerFormat = "%s = %d";
const std::string kStringFormat = "%s = %s%s%s";

// Room for one rendered number or pointer: "-99,999,999,999,999,999.99" and the like.
constexpr std::size_t kNumberRoom = 32;

// fmt formatted with args into one string, reserved once for the usual rendering.
std::string Compose(std::string_view fmt, FormatArgs args) {
  std::size_t room = fmt.size();
  for (const FormatArg& arg : args)
    room += arg.type() == FormatArg::Type::Text ? arg.text().size() : kNumberRoom;
  std::string text;
  text.reserve(room);
  FormatTo(text, fmt, args, CurrentFormatSettings());
  return text;
}

}  // namespace

void TWrenlog::SendMsg(const std::string& Msg) {
  if (!Enabled) return;
  SendStr(mkMessage, Msg, kNoClass);
}

void TWrenlog::SendMsgEx(std::int32_t Kind, const std::string& Msg) {
  if (!Enabled) return;
  SendStr(Kind, Msg, kNoClass);
}

void TWrenlog::SendFmtMsgEx(std::int32_t Kind, const std::string& Fmt, FormatArgs Args) {
  if (!Enabled) return;
  try {
    SendStr(Kind, Compose(Fmt, Args), kNoClass);
  } catch (const EConvertError&) {
    SendException();
  }
}

void TWrenlog::SendError(const std::string& Msg) {
  if (!Enabled) return;
  SendMsgEx(mkError, Msg);
}

void TWrenlog::SendFmtError(const std::string& Fmt, FormatArgs Args) {
  if (!Enabled) return;
  SendFmtMsgEx(mkError, Fmt, Args);
}

void TWrenlog::SendNote(const std::string& Msg) {
  if (!Enabled) return;
  SendMsgEx(mkNote, Msg);
}

void TWrenlog::SendFloat(const std::string& Name, long double Value) {
  if (!Enabled) return;
  SendFloatEx(mkMessage, Name, Value);
}

void TWrenlog::SendFloatEx(std::int32_t Kind, const std::string& Name, long double Value) {
  if (!Enabled) return;
  const FormatArg args[] = {Name, Value};
  SendFmtMsgEx(Kind, kFloatFormat, args);
}

void TWrenlog::SendInteger(const std::string& Name, std::int32_t Value) {
  if (!Enabled) return;
  SendIntegerEx(mkMessage, Name, Value);
}

void TWrenlog::SendIntegerEx(std::int32_t Kind, const std::string& Name, std::int32_t Value) {
  if (!Enabled) return;
  const FormatArg args[] = {Name, Value};
  SendFmtMsgEx(Kind, kIntegerFormat, args);
}

void TWrenlog::SendString(const std::string& Name, const std::string& Value) {
  if (!Enabled) return;
  SendStringEx(mkMessage, Name, Value);
}

void TWrenlog::SendStringEx(std::int32_t Kind, const std::string& Name, const std::string& Value) {
  if (!Enabled) return;
  const FormatArg args[] = {Name, QuoteChar, Value, QuoteChar};
  SendFmtMsgEx(Kind, kStringFormat, args);
}

void TWrenlog::AddCheckPoint() {
  if (!Enabled) return;
  ++CheckPointCount;
  // AppName is empty until the first connect, which the send below may only now start.
  const std::string& label = Category.empty() ? AppName : Category;
  const FormatArg args[] = {label, CheckPointCount};
  SendStr(mkCheckPoint, Compose("%s: Check Point #%d", args), kNoClass);
}

void TWrenlog::ResetCheckPoint() { CheckPointCount = 0; }

void TWrenlog::AddSeparator() {
  if (!Enabled) return;
  SendStr(mkSeparator, kNoClass, kNoClass);
}

void TWrenlog::Clear() {
  if (!Enabled) return;
  SendStr(mkClear, kNoClass, kNoClass);
}

void TWrenlog::WriteMsg(const std::string& Left, const std::string& Right) {
  if (!Enabled) return;
  const FormatArg args[] = {Left, Right};
  SendStr(mkWrite, Compose("%s@%s", args), kNoClass);
}

void TWrenlog::WriteString(const std::string& Left, const std::string& Right,
                           const std::string& Value) {
  if (!Enabled) return;
  const FormatArg args[] = {Left, Right, Value};
  SendStr(mkWrite, Compose("%s@%s = %s", args), kNoClass);
}

void TWrenlog::WriteInteger(const std::string& Left, const std::string& Right, std::int32_t Value) {
  if (!Enabled) return;
  const FormatArg args[] = {Left, Right, Value};
  SendStr(mkWrite, Compose("%s@%s = %d", args), kNoClass);
}

void TWrenlog::WriteFloat(const std::string& Left, const std::string& Right, long double Value) {
  if (!Enabled) return;
  const FormatArg args[] = {Left, Right, Value};
  SendStr(mkWrite, Compose("%s@%s = %n", args), kNoClass);
}

}  // namespace wl
