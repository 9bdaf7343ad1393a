// The exported functions: each one is a single call on GlobalClient inside the frame.
#include "udf/entry_frame.h"
#include "udf/exports.h"

using wl::TWrenlog;
using wl::udf::Frame;
using wl::udf::Text;

WL_UDF std::int32_t wlSendMsg(const char* Msg) noexcept {
  return Frame([&](TWrenlog& c) { c.SendMsg(Text(Msg)); });
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
