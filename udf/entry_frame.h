// The frame every exported function runs in.
//
// Frame(call) takes the client lock, hands GlobalClient to call, and turns any error into -1:
// nothing raised inside the library reaches the server. Argument readers raise on memory that
// cannot be read, so a bad pointer ends in -1 too. Processor faults inside the library's own code
// are not trapped: recovering from one could leave the lock held or the client half-changed, and
// such a fault is a bug that the sanitizer and fuzzing runs exist to find.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "client/WLIntf.h"
#include "platform/safe_memory.h"

namespace wl::udf {

// The owned copy of a text argument; nullptr gives empty text.
inline std::string Text(const char* text) {
  std::string copy;
  if (!platform::CopyTextArgument(text, copy)) Raise<Exception>("Access violation reading text");
  return copy;
}

// The integer an argument points to; a null or unreadable pointer is an error.
inline std::int32_t Integer(const std::int32_t* value) {
  std::int32_t copy = 0;
  if (!platform::ReadArgument(value, &copy, sizeof copy))
    Raise<Exception>("Invalid integer argument");
  return copy;
}

// The double an argument points to, widened exactly to the client's extended float.
inline long double Float(const double* value) {
  double copy = 0;
  if (!platform::ReadArgument(value, &copy, sizeof copy))
    Raise<Exception>("Invalid double argument");
  return static_cast<long double>(copy);
}

// Runs call(GlobalClient) under the client lock; its result, or 0 when it returns nothing.
// Any error gives -1, as does a call made while no client exists.
template <class Call>
std::int32_t Frame(Call&& call) noexcept {
  try {
    std::lock_guard guard(GlobalClientLock());
    if (GlobalClient == nullptr) return -1;
    if constexpr (std::is_void_v<decltype(call(*GlobalClient))>) {
      call(*GlobalClient);
      return 0;
    } else {
      return call(*GlobalClient);
    }
  } catch (...) {
    return -1;
  }
}

}  // namespace wl::udf
