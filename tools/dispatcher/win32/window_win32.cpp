// The dispatcher's main window: class "TFrmDispatcher", title "Wrenlog Dispatcher", top-level,
// created on the main thread before the first wait for input. WM_COPYDATA goes to the core;
// WM_CLOSE (from --stop, the window's close box or Ctrl-C in its console) ends it after the stop
// record is written. Every record is flushed to the log as it comes, so nothing received is lost.
#include <atomic>
#include <memory>
#include <string>

#include "tools/dispatcher/core/log_files.h"
#include "tools/dispatcher/win32/win32_shell.h"

namespace wl::dispatcher::win32 {
namespace {

constexpr int kEditId = 1;
std::atomic<HWND> g_window{nullptr};

// Everything the window works with, made before the window and living until the loop ends.
struct App {
  explicit App(const Options& o)
      : options(o),
        logPath(o.logPath.empty() ? DefaultLogPath() : o.logPath),
        out(o.console ? ConsoleUse::kAttachOrAlloc : ConsoleUse::kConsoleOnly),
        outView(out),
        views(editView, out.ok() ? &outView : nullptr),
        log(OpenLog()),
        router(&views, log.get(), LogFactoryBeside(logPath, o.jsonl)),
        dispatcher(router, Now, SelfIdentity()) {}

  std::unique_ptr<LogSink> OpenLog() {
    if (options.logPath.empty()) MakeParentDirectory(logPath);
    auto sink = std::make_unique<LogSink>(logPath, options.jsonl);
    return sink->ok() ? std::move(sink) : nullptr;
  }

  void ReportStopped() {
    if (stopped) return;
    stopped = true;
    dispatcher.ReportStopped();
  }

  Options options;
  std::string logPath;
  Output out;
  OutputView outView;
  EditView editView;
  BothViews views;
  std::unique_ptr<LogSink> log;
  Router router;
  Dispatcher dispatcher;
  bool stopped = false;
};

void ReportStart(App& app) {
  const std::string log = app.log ? app.logPath : "none (cannot open " + app.logPath + ")";
  app.dispatcher.Report("started: log " + log + ", code page " + std::to_string(GetACP()));
  for (const std::string& problem : app.options.problems)
    app.dispatcher.Report("ignored argument: " + problem);
}

LRESULT CreateView(HWND window, App& app) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                      ES_AUTOVSCROLL | ES_AUTOHSCROLL;
  HWND edit = CreateWindowExA(0, "EDIT", "", style, 0, 0, 0, 0, window,
                              reinterpret_cast<HMENU>(kEditId), GetModuleHandleA(nullptr), nullptr);
  if (edit == nullptr) return 0;  // the window still works, the records still reach the log
  SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), 0);
  SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);
  app.editView.Attach(edit);
  return 0;
}

LRESULT CopyData(App& app, LPARAM lParam) {
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  try {
    if (data == nullptr) return app.dispatcher.Handle(0, nullptr, 0);
    return app.dispatcher.Handle(data->dwData, data->lpData, data->cbData);
  } catch (...) {  // out of memory for a huge packet: refused, the dispatcher stays up
    return Dispatcher::kRefused;
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  App* app = reinterpret_cast<App*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (app == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      return CreateView(window, *app);
    case WM_SIZE:
      MoveWindow(GetDlgItem(window, kEditId), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_COPYDATA:
      return CopyData(*app, lParam);
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_ENDSESSION:
      if (wParam) app->ReportStopped();
      return 0;
    case WM_DESTROY:
      app->ReportStopped();
      g_window = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

// The registered window class, unregistered when the program ends.
class WindowClass {
 public:
  WindowClass() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    registered_ = RegisterClassA(&wc) != 0;
  }
  ~WindowClass() {
    if (registered_) UnregisterClassA(kWindowClass, GetModuleHandleA(nullptr));
  }
  WindowClass(const WindowClass&) = delete;
  WindowClass& operator=(const WindowClass&) = delete;
  bool ok() const { return registered_; }

 private:
  bool registered_ = false;
};

BOOL WINAPI CloseOnCtrlC(DWORD) {
  if (HWND window = g_window.load()) PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

int MessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

}  // namespace

int RunDispatcher(const Options& options, int show) {
  if (FindWindowA(kWindowClass, kWindowTitle) != nullptr) return 0;  // one per desktop
  WindowClass windowClass;
  if (!windowClass.ok()) return 1;
  App app(options);
  HWND window =
      CreateWindowExA(0, kWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                      CW_USEDEFAULT, 900, 500, nullptr, nullptr, GetModuleHandleA(nullptr), &app);
  if (window == nullptr) return 1;
  g_window = window;
  ShowWindow(window, show);
  ReportStart(app);
  if (app.out.ok()) SetConsoleCtrlHandler(CloseOnCtrlC, TRUE);
  return MessageLoop();
}

}  // namespace wl::dispatcher::win32
