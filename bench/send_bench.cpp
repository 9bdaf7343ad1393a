// The library's own calls in steady state: the exports as the server calls them, and the two
// halves of wlSendMsg (the fault-free argument copy, and the client's SendMsg) on their own.
#include <benchmark/benchmark.h>

#include <mutex>
#include <string>

#include "bench/steady_state.h"
#include "client/WLIntf.h"
#include "platform/safe_memory.h"
#include "udf/exports.h"

namespace wl::bench {
namespace {

// wlSendMsg with a text of state.range(0) characters.
void BM_wlSendMsg(benchmark::State& state) {
  Steady();
  const auto size = static_cast<std::size_t>(state.range(0));
  const char* text = TextOfSize(size);
  AllocationScope scope;
  for (auto _ : state)
    if (wlSendMsg(text) != 0) {
      state.SkipWithError("wlSendMsg failed");
      break;
    }
  ReportPerCall(state, scope, size);
}
BENCHMARK(BM_wlSendMsg)->Arg(16)->Arg(256)->Arg(4096)->Arg(65536);

// The owned copy that the frame makes of a text argument, alone.
void BM_CopyTextArgument(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const char* text = TextOfSize(size);
  AllocationScope scope;
  for (auto _ : state) {
    std::string copy;
    if (!platform::CopyTextArgument(text, copy)) {
      state.SkipWithError("copy failed");
      break;
    }
    benchmark::DoNotOptimize(copy.data());
  }
  ReportPerCall(state, scope, size);
}
BENCHMARK(BM_CopyTextArgument)->Arg(16)->Arg(256)->Arg(4096)->Arg(65536);

// TWrenlog::SendMsg with an owned text, under the client lock as the frame holds it: what the
// client costs once the argument is copied.
void BM_ClientSendMsg(benchmark::State& state) {
  Steady();
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::string text(TextOfSize(size));
  AllocationScope scope;
  for (auto _ : state) {
    std::lock_guard guard(GlobalClientLock());
    GlobalClient->SendMsg(text);
  }
  ReportPerCall(state, scope, size);
}
BENCHMARK(BM_ClientSendMsg)->Arg(16)->Arg(256)->Arg(4096)->Arg(65536);

#if WL_BENCH_HAVE_VALUE_EXPORTS
void BM_wlSendInteger(benchmark::State& state) {
  Steady();
  const std::int32_t value = 1234567;
  AllocationScope scope;
  for (auto _ : state)
    if (wlSendInteger("Rows", &value) != 0) {
      state.SkipWithError("wlSendInteger failed");
      break;
    }
  ReportPerCall(state, scope);
}
BENCHMARK(BM_wlSendInteger);

void BM_wlSendFloat(benchmark::State& state) {
  Steady();
  const double value = 1234.5678;
  AllocationScope scope;
  for (auto _ : state)
    if (wlSendFloat("Ratio", &value) != 0) {
      state.SkipWithError("wlSendFloat failed");
      break;
    }
  ReportPerCall(state, scope);
}
BENCHMARK(BM_wlSendFloat);

void BM_wlAddCheckpoint(benchmark::State& state) {
  Steady();
  AllocationScope scope;
  for (auto _ : state)
    if (wlAddCheckpoint() != 0) {
      state.SkipWithError("wlAddCheckpoint failed");
      break;
    }
  ReportPerCall(state, scope);
}
BENCHMARK(BM_wlAddCheckpoint);

void BM_wlSendMemoryStatus(benchmark::State& state) {
  Steady();
  AllocationScope scope;
  for (auto _ : state)
    if (wlSendMemoryStatus() != 0) {
      state.SkipWithError("wlSendMemoryStatus failed");
      break;
    }
  ReportPerCall(state, scope);
}
BENCHMARK(BM_wlSendMemoryStatus);
#endif

}  // namespace
}  // namespace wl::bench
