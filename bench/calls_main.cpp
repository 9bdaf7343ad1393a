// wl_bench_calls: makes one kind of call a given number of times in the benchmarks' steady state,
// for counting instructions with callgrind (bench/run-callgrind.sh). Instruction counts do not
// depend on what else the machine is doing, so they show the effect of a change where timings on
// a busy machine cannot.
//
//   wl_bench_calls CALL COUNT     e.g. wl_bench_calls wlSendMsg/16 10000
//   wl_bench_calls --list
#include <spdlog/logger.h>
#include <spdlog/sinks/null_sink.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "bench/alloc_counter.h"
#include "bench/steady_state.h"
#include "client/WLIntf.h"
#include "platform/safe_memory.h"
#include "udf/exports.h"

namespace wl::bench {
namespace {

using Call = std::function<void()>;

std::map<std::string, Call> Calls() {
  static auto logger = std::make_shared<spdlog::logger>(
      "calls", std::make_shared<spdlog::sinks::null_sink_mt>());
  std::map<std::string, Call> calls;
  for (std::size_t size : {16, 256, 4096, 65536}) {
    const char* text = TextOfSize(size);
    const std::string suffix = "/" + std::to_string(size);
    calls["wlSendMsg" + suffix] = [text] { wlSendMsg(text); };
    calls["CopyTextArgument" + suffix] = [text] {
      std::string copy;
      platform::CopyTextArgument(text, copy);
    };
    calls["ClientSendMsg" + suffix] = [owned = std::string(text)] {
      std::lock_guard guard(GlobalClientLock());
      GlobalClient->SendMsg(owned);
    };
    calls["spdlog" + suffix] = [text] { logger->info("{}", text); };
  }
#if WL_BENCH_HAVE_VALUE_EXPORTS
  calls["wlSendInteger"] = [] {
    const std::int32_t value = 1234567;
    wlSendInteger("Rows", &value);
  };
  calls["wlSendFloat"] = [] {
    const double value = 1234.5678;
    wlSendFloat("Ratio", &value);
  };
  calls["wlAddCheckpoint"] = [] { wlAddCheckpoint(); };
  calls["wlSendMemoryStatus"] = [] { wlSendMemoryStatus(); };
#endif
  return calls;
}

// The loop that callgrind collects (--toggle-collect), and nothing else.
[[gnu::noinline]] void MeasuredLoop(const Call& call, long count) {
  for (long i = 0; i < count; ++i) call();
}

}  // namespace
}  // namespace wl::bench

int main(int argc, char** argv) {
  using namespace wl::bench;
  const std::map<std::string, Call> calls = Calls();
  if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
    for (const auto& [name, call] : calls) std::printf("%s\n", name.c_str());
    return 0;
  }
  if (argc != 3 || calls.count(argv[1]) == 0) {
    std::fprintf(stderr, "usage: %s CALL COUNT | --list\n", argv[0]);
    return 2;
  }
  const long count = std::atol(argv[2]);
  Steady();
  const Call& call = calls.at(argv[1]);
  call();  // first-use work (lazy statics) stays out of the count
  const AllocationScope scope;
  MeasuredLoop(call, count);
  std::printf("%s: %.2f allocations per call\n", argv[1],
              static_cast<double>(scope.Count()) / static_cast<double>(count));
  return 0;
}
