// The dispatcher's command line.
//
//   WLDispatcher.exe [--log PATH] [--jsonl] [--console]
//       Runs the dispatcher: the window, the live view, the log (PATH, or the default log path).
//   WLDispatcher.exe --tail [FILE] [--until-idle SECONDS] [--until-stopped]
//       Prints the log's records and follows appended ones, until Ctrl-C, until no record came
//       for SECONDS, or until the dispatcher's stop record.
//   WLDispatcher.exe --stop [--wait SECONDS]
//       Asks the running dispatcher to close and waits until it has (10 seconds by default).
//   WLDispatcher.exe --help
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wl::dispatcher {

enum class Mode { kRun, kTail, kStop, kHelp };

struct Options {
  Mode mode = Mode::kRun;
  std::string logPath;  // empty: the default log path
  bool jsonl = false;
  bool console = false;
  std::string tailPath;  // empty: the default log path
  int untilIdleSeconds = -1;
  bool untilStopped = false;
  int waitSeconds = 10;
  std::vector<std::string> problems;  // what could not be understood, in order
};

// Reads the arguments after the program name. Problems are collected, never fatal here: the
// dispatcher started by a library must come up even with a mistyped registry value.
Options ParseOptions(const std::vector<std::string>& args);

// The usage text printed by --help and after a problem in --tail or --stop.
std::string_view UsageText();

}  // namespace wl::dispatcher
