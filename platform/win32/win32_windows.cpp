// Window lookup, titles, thread window enumeration and WM_COPYDATA delivery.
#include <exception>

#include "platform/win32/win32_services.h"
#include "platform/win32/windows_include.h"

namespace wl::platform {
namespace {

HWND ToHwnd(WindowHandle wnd) { return reinterpret_cast<HWND>(wnd); }
WindowHandle FromHwnd(HWND wnd) { return reinterpret_cast<WindowHandle>(wnd); }

// One search's state, reached through the callback's LPARAM: no process-wide variable, so
// searches on several threads stay apart.
struct ThreadWindowSearch {
  const std::function<bool(WindowHandle)>* visit;
  std::exception_ptr error;
};

// No exception may leave through the system's frames: it is kept and rethrown by the caller.
BOOL CALLBACK VisitThreadWindow(HWND wnd, LPARAM param) {
  auto& search = *reinterpret_cast<ThreadWindowSearch*>(param);
  try {
    return (*search.visit)(FromHwnd(wnd)) ? TRUE : FALSE;
  } catch (...) {
    search.error = std::current_exception();
    return FALSE;
  }
}

}  // namespace

WindowHandle Win32Services::FindWindow(const char* className, const char* title) {
  return FromHwnd(::FindWindowA(className, title));
}

WindowHandle Win32Services::GetParent(WindowHandle wnd) {
  return FromHwnd(::GetParent(ToHwnd(wnd)));
}

std::string Win32Services::GetWindowText(WindowHandle wnd, int maxCount) {
  if (maxCount <= 0) return {};
  std::string title(static_cast<std::size_t>(maxCount), '\0');
  const int length = ::GetWindowTextA(ToHwnd(wnd), title.data(), maxCount);
  title.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return title;
}

void Win32Services::EnumThreadWindows(std::uint32_t threadId,
                                      const std::function<bool(WindowHandle)>& visit) {
  ThreadWindowSearch search{&visit, nullptr};
  ::EnumThreadWindows(threadId, VisitThreadWindow, reinterpret_cast<LPARAM>(&search));
  if (search.error) std::rethrow_exception(search.error);
}

std::int32_t Win32Services::SendCopyData(WindowHandle target, std::int32_t dwData, const void* data,
                                         std::uint32_t size) {
  COPYDATASTRUCT cds{};
  cds.dwData = static_cast<ULONG_PTR>(static_cast<std::uint32_t>(dwData));
  cds.cbData = size;
  cds.lpData = const_cast<void*>(data);
  const LRESULT answer =
      ::SendMessageA(ToHwnd(target), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
  return static_cast<std::int32_t>(answer);
}

}  // namespace wl::platform
