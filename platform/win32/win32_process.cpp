// Starting a process from a whole command line and waiting until it is idle for input.
#include <cstring>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/windows_include.h"

namespace wl::platform {
namespace {

// The command-line buffer: 255 characters and the terminator. The caller keeps the text
// within that; anything longer is cut here rather than overrun.
constexpr std::size_t kCommandLineSize = 256;

class Win32StartedProcess final : public StartedProcess {
 public:
  explicit Win32StartedProcess(const PROCESS_INFORMATION& info)
      : process_(info.hProcess), thread_(info.hThread), mainThreadId_(info.dwThreadId) {}

  void WaitForInputIdle() override { ::WaitForInputIdle(process_.get(), INFINITE); }
  std::uint32_t MainThreadId() const override { return mainThreadId_; }

 private:
  // Members are destroyed in reverse order: the thread handle is closed before the process one.
  win32::unique_handle process_;
  win32::unique_handle thread_;
  std::uint32_t mainThreadId_;
};

// Shown normally; every other member zero.
STARTUPINFOA NormalStartup() {
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  return startup;
}

}  // namespace

static_assert(sizeof(STARTUPINFOA) == 68, "STARTUPINFOA has the size the system expects");

std::unique_ptr<StartedProcess> Win32Services::CreateProcess(const char* commandLine) {
  char buffer[kCommandLineSize] = {};
  if (commandLine != nullptr) std::strncpy(buffer, commandLine, kCommandLineSize - 1);
  STARTUPINFOA startup = NormalStartup();
  PROCESS_INFORMATION info{};
  if (!::CreateProcessA(nullptr, buffer, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
    return nullptr;
  }
  return std::make_unique<Win32StartedProcess>(info);
}

}  // namespace wl::platform
