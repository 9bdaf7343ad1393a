// The two helper modes: --tail follows a log from any session, --stop closes the running
// dispatcher and waits until its process has ended.
#include <atomic>
#include <string>

#include "tools/dispatcher/core/tail.h"
#include "tools/dispatcher/win32/win32_shell.h"

namespace wl::dispatcher::win32 {
namespace {

constexpr int kPollMs = 100;
std::atomic<bool> g_stopTail{false};

BOOL WINAPI StopTailOnCtrlC(DWORD) {
  g_stopTail = true;
  return TRUE;
}

// Waits for the window's process to end, or, without access to the process, for the window to
// go. True when it did within the time.
bool WaitUntilGone(HWND window, DWORD processId, int seconds) {
  const DWORD ms = static_cast<DWORD>(seconds) * 1000;
  platform::win32::unique_handle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
  if (process) return WaitForSingleObject(process.get(), ms) == WAIT_OBJECT_0;
  for (DWORD waited = 0; waited < ms; waited += kPollMs) {
    if (!IsWindow(window)) return true;
    Sleep(kPollMs);
  }
  return !IsWindow(window);
}

}  // namespace

int RunTailMode(const Options& options) {
  Output out(ConsoleUse::kAttachOrAlloc);
  SetConsoleCtrlHandler(StopTailOnCtrlC, TRUE);
  TailFollower follower(options.tailPath.empty() ? DefaultLogPath() : options.tailPath);
  TailSettings settings;
  settings.untilIdleMs = options.untilIdleSeconds < 0 ? -1 : options.untilIdleSeconds * 1000;
  settings.untilStopped = options.untilStopped;
  settings.pollMs = kPollMs;
  return RunTail(
      follower, settings, [&out](std::string_view line) { out.Write(line); },
      [] { return g_stopTail.load(); }, [](int ms) { Sleep(static_cast<DWORD>(ms)); });
}

int RunStopMode(const Options& options) {
  Output out(ConsoleUse::kAttach);
  HWND window = FindWindowA(kWindowClass, kWindowTitle);
  if (window == nullptr) {
    out.Write("no dispatcher is running\r\n");
    return 1;
  }
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  PostMessageA(window, WM_CLOSE, 0, 0);
  if (!WaitUntilGone(window, processId, options.waitSeconds)) {
    out.Write("the dispatcher did not stop in time\r\n");
    return 2;
  }
  out.Write("dispatcher stopped\r\n");
  return 0;
}

}  // namespace wl::dispatcher::win32
