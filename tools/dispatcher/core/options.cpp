#include "tools/dispatcher/core/options.h"

#include <charconv>
#include <cstddef>

namespace wl::dispatcher {
namespace {

constexpr int kMaxSeconds = 24 * 3600;

class Reader {
 public:
  explicit Reader(const std::vector<std::string>& args) : args_(args) {}
  bool Done() const { return next_ >= args_.size(); }
  const std::string& Take() { return args_[next_++]; }
  // The next argument if it is a value rather than an option.
  const std::string* TakeValue() {
    if (Done() || args_[next_].starts_with("--")) return nullptr;
    return &args_[next_++];
  }

 private:
  const std::vector<std::string>& args_;
  std::size_t next_ = 0;
};

bool ReadSeconds(const std::string* text, int& out) {
  if (text == nullptr) return false;
  int value = 0;
  const char* end = text->data() + text->size();
  const auto [ptr, ec] = std::from_chars(text->data(), end, value);
  if (ec != std::errc() || ptr != end || value < 0 || value > kMaxSeconds) return false;
  out = value;
  return true;
}

void ReadPath(Reader& in, const std::string& option, std::string& out, Options& o) {
  const std::string* value = in.TakeValue();
  if (value == nullptr || value->empty()) {
    o.problems.push_back(option + " needs a path");
    return;
  }
  out = *value;
}

void ReadSecondsOption(Reader& in, const std::string& option, int& out, Options& o) {
  if (!ReadSeconds(in.TakeValue(), out))
    o.problems.push_back(option + " needs a number of seconds");
}

void ReadOne(Reader& in, const std::string& arg, Options& o) {
  if (arg == "--log") return ReadPath(in, arg, o.logPath, o);
  if (arg == "--jsonl") return void(o.jsonl = true);
  if (arg == "--console") return void(o.console = true);
  if (arg == "--until-stopped") return void(o.untilStopped = true);
  if (arg == "--until-idle") return ReadSecondsOption(in, arg, o.untilIdleSeconds, o);
  if (arg == "--wait") return ReadSecondsOption(in, arg, o.waitSeconds, o);
  if (arg == "--stop") return void(o.mode = Mode::kStop);
  if (arg == "--help" || arg == "-h" || arg == "/?") return void(o.mode = Mode::kHelp);
  if (arg == "--tail") {
    o.mode = Mode::kTail;
    if (const std::string* file = in.TakeValue()) o.tailPath = *file;
    return;
  }
  o.problems.push_back("unknown argument '" + arg + "'");
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& args) {
  Options o;
  Reader in(args);
  while (!in.Done()) ReadOne(in, in.Take(), o);
  return o;
}

std::string_view UsageText() {
  return "usage:\r\n"
         "  WLDispatcher.exe [--log PATH] [--jsonl] [--console]\r\n"
         "  WLDispatcher.exe --tail [FILE] [--until-idle SECONDS] [--until-stopped]\r\n"
         "  WLDispatcher.exe --stop [--wait SECONDS]\r\n";
}

}  // namespace wl::dispatcher
