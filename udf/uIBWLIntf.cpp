// The exported functions: each one is a single call on GlobalClient inside the frame.
//
// Text arguments are copied, integers and doubles read once (doubles widened exactly); a null
// or unreadable pointer raises inside the frame, so the call gives -1 and sends nothing.
#include "client/colors.h"
#include "udf/entry_frame.h"
#include "udf/exports.h"

using wl::TWrenlog;
using wl::udf::Float;
using wl::udf::Frame;
using wl::udf::Integer;
using wl::udf::Text;

WL_UDF std::int32_t wlSendMsg(const char* Msg) noexcept {
  return Frame([&](TWrenlog& c) { c.SendMsg(Text(Msg)); });
}

WL_UDF std::int32_t wlEnterMethod(const char* Name) noexcept {
  return Frame([&](TWrenlog& c) { c.EnterMethod(Text(Name)); });
}

WL_UDF std::int32_t wlExitMethod(const char* Name) noexcept {
  return Frame([&](TWrenlog& c) { c.ExitMethod(Text(Name)); });
}

WL_UDF std::int32_t wlCategory(const char* Category) noexcept {
  return Frame([&](TWrenlog& c) { c.Category = Text(Category); });
}

WL_UDF std::int32_t wlCategoryColor(const char* ColorName) noexcept {
  return Frame([&](TWrenlog& c) { c.CategoryColor = wl::ColorByName(Text(ColorName)); });
}

WL_UDF std::int32_t wlSendString(const char* Name, const char* Value) noexcept {
  return Frame([&](TWrenlog& c) { c.SendString(Text(Name), Text(Value)); });
}

WL_UDF std::int32_t wlAddSeparator() noexcept {
  return Frame([](TWrenlog& c) { c.AddSeparator(); });
}

WL_UDF std::int32_t wlAddCheckpoint() noexcept {
  return Frame([](TWrenlog& c) { c.AddCheckPoint(); });
}

WL_UDF std::int32_t wlClear() noexcept {
  return Frame([](TWrenlog& c) { c.Clear(); });
}

WL_UDF std::int32_t wlEnable() noexcept {
  return Frame([](TWrenlog& c) { c.Enabled = true; });
}

WL_UDF std::int32_t wlDisable() noexcept {
  return Frame([](TWrenlog& c) { c.Enabled = false; });
}

WL_UDF std::int32_t wlEnabled() noexcept {
  return Frame([](TWrenlog& c) { return c.Enabled ? 1 : 0; });
}

WL_UDF std::int32_t wlSendInteger(const char* Name, const std::int32_t* Value) noexcept {
  return Frame([&](TWrenlog& c) { c.SendInteger(Text(Name), Integer(Value)); });
}

WL_UDF std::int32_t wlSendFloat(const char* Name, const double* Value) noexcept {
  return Frame([&](TWrenlog& c) { c.SendFloat(Text(Name), Float(Value)); });
}

WL_UDF std::int32_t wlSendNote(const char* Msg) noexcept {
  return Frame([&](TWrenlog& c) { c.SendNote(Text(Msg)); });
}

WL_UDF std::int32_t wlDestinationDetails(const char* Value) noexcept {
  return Frame([&](TWrenlog& c) { c.SetDestinationDetails(Text(Value)); });
}

WL_UDF std::int32_t wlWriteInteger(const char* Left, const char* Right,
                                   const std::int32_t* Value) noexcept {
  return Frame([&](TWrenlog& c) { c.WriteInteger(Text(Left), Text(Right), Integer(Value)); });
}

WL_UDF std::int32_t wlWriteFloat(const char* Left, const char* Right,
                                 const double* Value) noexcept {
  return Frame([&](TWrenlog& c) { c.WriteFloat(Text(Left), Text(Right), Float(Value)); });
}

WL_UDF std::int32_t wlWriteString(const char* Left, const char* Right, const char* Value) noexcept {
  return Frame([&](TWrenlog& c) { c.WriteString(Text(Left), Text(Right), Text(Value)); });
}

WL_UDF std::int32_t wlWriteMsg(const char* Left, const char* Right) noexcept {
  return Frame([&](TWrenlog& c) { c.WriteMsg(Text(Left), Text(Right)); });
}

WL_UDF std::int32_t wlSendMemoryStatus() noexcept {
  return Frame([](TWrenlog& c) { c.SendMemoryStatus(); });
}

WL_UDF std::int32_t wlResetCheckpoint() noexcept {
  return Frame([](TWrenlog& c) { c.ResetCheckPoint(); });
}

WL_UDF void wlSendString2(const char* Name, const char* Value) noexcept {
  Frame([&](TWrenlog& c) { c.SendString(Text(Name), Text(Value)); });
}
