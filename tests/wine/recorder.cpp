// A stand-in dispatcher for the tests: a top-level window that records every WM_COPYDATA.
//
//   recorder.exe OUTPUT [--answer N] [--stall-kind K] [--class NAME] [--title TEXT] [--no-window]
//
// It creates its window (class "TFrmDispatcher", title "Wrenlog Dispatcher" unless told
// otherwise) on its main thread, then creates OUTPUT empty: once the file exists the window
// does too. Each WM_COPYDATA is appended to OUTPUT as one record (see packet_file.h) before the
// window procedure answers N (default 1). With --stall-kind, a packet of kind K is recorded and
// then never answered: the window procedure blocks for good, as a hung dispatcher would. With
// --no-window it makes no window and only waits. It ends on WM_CLOSE.
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "platform/win32/unique_handle.h"
#include "platform/win32/windows_include.h"
#include "tests/wine/packet_file.h"

namespace {

struct Options {
  std::string output;
  LRESULT answer = 1;
  std::optional<std::uint32_t> stallKind;
  std::string className = "TFrmDispatcher";
  std::string title = "Wrenlog Dispatcher";
  bool window = true;
};

struct Recorder {
  Options options;
  wl::platform::win32::unique_handle file;
};
Recorder recorder;

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--answer" && hasValue)
      options.answer = std::atol(argv[++i]);
    else if (arg == "--stall-kind" && hasValue)
      options.stallKind = std::strtoul(argv[++i], nullptr, 10);
    else if (arg == "--class" && hasValue)
      options.className = argv[++i];
    else if (arg == "--title" && hasValue)
      options.title = argv[++i];
    else if (arg == "--no-window")
      options.window = false;
    else if (options.output.empty())
      options.output = arg;
    else
      return std::nullopt;
  }
  if (options.output.empty()) return std::nullopt;
  return options;
}

bool CreateOutput() {
  const HANDLE file = ::CreateFileA(recorder.options.output.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  recorder.file.reset(file);
  return true;
}

// One unbuffered write per record, so a reader sees it as soon as the sender's call returns.
void Record(const COPYDATASTRUCT& cds) {
  const auto kind = static_cast<std::uint32_t>(cds.dwData);
  const auto record = wl::wine_test::EncodeRecord(kind, cds.lpData, cds.cbData);
  DWORD written = 0;
  ::WriteFile(recorder.file.get(), record.data(), static_cast<DWORD>(record.size()), &written,
              nullptr);
}

LRESULT CALLBACK WindowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COPYDATA: {
      const auto& cds = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      Record(cds);
      if (recorder.options.stallKind == static_cast<std::uint32_t>(cds.dwData)) ::Sleep(INFINITE);
      return recorder.options.answer;
    }
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcA(wnd, message, wParam, lParam);
  }
}

bool CreateMainWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = ::GetModuleHandleA(nullptr);
  windowClass.lpszClassName = recorder.options.className.c_str();
  if (!::RegisterClassA(&windowClass)) return false;
  const HWND wnd = ::CreateWindowExA(0, windowClass.lpszClassName, recorder.options.title.c_str(),
                                     WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 320, 200,
                                     nullptr, nullptr, windowClass.hInstance, nullptr);
  if (wnd == nullptr) return false;
  ::ShowWindow(wnd, SW_SHOWNORMAL);
  return true;
}

int RunMessageLoop() {
  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const auto options = ParseOptions(argc, argv);
  if (!options) return 2;
  recorder.options = *options;
  if (recorder.options.window && !CreateMainWindow()) return 3;
  if (!CreateOutput()) return 4;
  return RunMessageLoop();
}
