// WLDispatcher.exe: receives the messages of every Wrenbridge client on the desktop.
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/dispatcher/win32/win32_shell.h"

namespace {

std::vector<std::string> Arguments() {
  std::vector<std::string> args;
  for (int i = 1; i < __argc; ++i) args.emplace_back(__argv[i]);
  return args;
}

int PrintUsage(const wl::dispatcher::Options& options) {
  wl::dispatcher::win32::Output out(wl::dispatcher::win32::ConsoleUse::kAttachOrAlloc);
  for (const std::string& problem : options.problems) out.Write(problem + "\r\n");
  out.Write(wl::dispatcher::UsageText());
  return options.mode == wl::dispatcher::Mode::kHelp ? 0 : 2;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
  using wl::dispatcher::Mode;
  try {
    const wl::dispatcher::Options options = wl::dispatcher::ParseOptions(Arguments());
    const bool bad = !options.problems.empty() && options.mode != Mode::kRun;
    if (options.mode == Mode::kHelp || bad) return PrintUsage(options);
    if (options.mode == Mode::kTail) return wl::dispatcher::win32::RunTailMode(options);
    if (options.mode == Mode::kStop) return wl::dispatcher::win32::RunStopMode(options);
    return wl::dispatcher::win32::RunDispatcher(options, show);
  } catch (...) {
    return 3;
  }
}
