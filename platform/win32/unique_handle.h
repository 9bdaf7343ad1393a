// One owning type per kind of Win32 handle, each naming the function that closes it.
#pragma once

#include <memory>
#include <type_traits>

#include "platform/win32/windows_include.h"

namespace wl::platform::win32 {

struct CloseHandleDeleter {
  void operator()(HANDLE handle) const noexcept { ::CloseHandle(handle); }
};
// A kernel object handle (process, thread, file, job) closed with CloseHandle.
using unique_handle = std::unique_ptr<void, CloseHandleDeleter>;

struct RegCloseKeyDeleter {
  void operator()(HKEY key) const noexcept { ::RegCloseKey(key); }
};
// An open registry key closed with RegCloseKey.
using unique_hkey = std::unique_ptr<std::remove_pointer_t<HKEY>, RegCloseKeyDeleter>;

}  // namespace wl::platform::win32
