// The exported functions, as the server calls them: cdecl, every argument by reference,
// 0 on completion and -1 when an error was raised (wlEnabled: 1 or 0; wlSendString2: nothing).
// The comment after each gives its ordinal in the export table.
#pragma once

#include <cstdint>

#define WL_UDF extern "C"

WL_UDF std::int32_t wlSendMsg(const char* Msg) noexcept;                                  // 23
WL_UDF std::int32_t wlEnterMethod(const char* Name) noexcept;                             // 22
WL_UDF std::int32_t wlExitMethod(const char* Name) noexcept;                              // 21
WL_UDF std::int32_t wlCategory(const char* Category) noexcept;                            // 20
WL_UDF std::int32_t wlCategoryColor(const char* ColorName) noexcept;                      // 19
WL_UDF std::int32_t wlSendString(const char* Name, const char* Value) noexcept;           // 18
WL_UDF std::int32_t wlAddSeparator() noexcept;                                            // 17
WL_UDF std::int32_t wlAddCheckpoint() noexcept;                                           // 16
WL_UDF std::int32_t wlClear() noexcept;                                                   // 15
WL_UDF std::int32_t wlEnable() noexcept;                                                  // 14
WL_UDF std::int32_t wlDisable() noexcept;                                                 // 13
WL_UDF std::int32_t wlEnabled() noexcept;                                                 // 12
WL_UDF std::int32_t wlSendInteger(const char* Name, const std::int32_t* Value) noexcept;  // 11
WL_UDF std::int32_t wlSendFloat(const char* Name, const double* Value) noexcept;          // 10
WL_UDF std::int32_t wlSendNote(const char* Msg) noexcept;                                 // 9
WL_UDF std::int32_t wlDestinationDetails(const char* Value) noexcept;                     // 8
WL_UDF std::int32_t wlWriteInteger(const char* Left, const char* Right,
                                   const std::int32_t* Value) noexcept;  // 7
WL_UDF std::int32_t wlWriteFloat(const char* Left, const char* Right,
                                 const double* Value) noexcept;  // 6
WL_UDF std::int32_t wlWriteString(const char* Left, const char* Right,
                                  const char* Value) noexcept;                 // 5
WL_UDF std::int32_t wlWriteMsg(const char* Left, const char* Right) noexcept;  // 4
WL_UDF std::int32_t wlSendMemoryStatus() noexcept;                             // 3
WL_UDF std::int32_t wlResetCheckpoint() noexcept;                              // 2
// No result: the declaration gives the server a dummy trailing argument to return instead.
WL_UDF void wlSendString2(const char* Name, const char* Value) noexcept;  // 1
