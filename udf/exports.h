// The exported functions, as the server calls them: cdecl, every argument by reference,
// 0 on completion and -1 when an error was raised.
#pragma once

#include <cstdint>

#define WL_UDF extern "C"

WL_UDF std::int32_t wlSendMsg(const char* Msg) noexcept;
WL_UDF std::int32_t wlEnable() noexcept;
WL_UDF std::int32_t wlDisable() noexcept;
WL_UDF std::int32_t wlEnabled() noexcept;
