// Starting the dispatcher and finding its window among the windows of its main thread.
#include <array>
#include <cstring>
#include <memory>

#include "client/WLIntf.h"

namespace wl {
namespace {

// The command line travels in a buffer of this many characters, its terminator included.
constexpr std::size_t kCommandLineSize = 256;
// GetWindowText's count, terminator included: at most 254 characters of a title are read.
constexpr int kTitleCount = 255;
// The title a started dispatcher gives its main window. Compared as it stands, not through
// GetDispatcherTitle: this is what the dispatcher program itself writes.
constexpr const char* kDispatcherWindowTitle = "Wrenlog Dispatcher";

using CommandLine = std::array<char, kCommandLineSize>;

// The command line in its buffer, or false when it does not fit. A longer value is refused
// rather than cut: a cut path or argument list may name another program, or the right one with
// the wrong arguments, while a refusal behaves like any start that failed (the client switches
// itself off) and leaves the registry value to be mended.
bool FillCommandLine(const std::string& path, CommandLine& buffer) {
  const std::size_t length = std::strlen(path.c_str());  // a text ends at its first NUL
  if (length >= buffer.size()) return false;
  buffer.fill('\0');
  std::memcpy(buffer.data(), path.c_str(), length);
  return true;
}

// One step of the enumeration: true to go on. The window found is stored in this search's own
// result. Nothing is raised to the enumerating system: a window that cannot be read is passed.
bool EnumDispatcherProc(WindowHandle wnd, WindowHandle& found) noexcept {
  try {
    if (sys().GetParent(wnd) != 0) return true;  // a child window or an owned pop-up
    const std::string title = sys().GetWindowText(wnd, kTitleCount);
    if (title.empty()) return true;
    if (title != kDispatcherWindowTitle) return true;
    found = wnd;
    return false;
  } catch (...) {
    return true;
  }
}

}  // namespace

void TWrenlog::LaunchDispatcher(const std::string& Path, WindowHandle& Wnd) {
  ++startsThisCheck_;
  CommandLine commandLine;
  std::unique_ptr<platform::StartedProcess> process;
  if (FillCommandLine(Path, commandLine)) process = sys().CreateProcess(commandLine.data());
  if (!process) {
    // Not started: nothing to wait on or close, nothing raised, Wnd as it was.
    Enabled = false;
    return;
  }
  process->WaitForInputIdle();
  Wnd = FindThreadWindow(process->MainThreadId());
  // Closes the thread handle, then the process handle; the dispatcher keeps running.
  process.reset();
  Connect();
}

WindowHandle TWrenlog::FindThreadWindow(std::uint32_t ThreadId) {
  WindowHandle found = 0;
  sys().EnumThreadWindows(ThreadId,
                          [&found](WindowHandle wnd) { return EnumDispatcherProc(wnd, found); });
  return found;
}

}  // namespace wl
