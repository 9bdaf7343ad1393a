// Throughput of wlSendMsg when several server threads call it at once through the one client.
// The frame serialises the calls, so the best the threads can do together is what one thread
// does alone; what matters is that handing the lock from thread to thread does not cost more
// than the calls themselves.
#include <benchmark/benchmark.h>

#include "bench/steady_state.h"
#include "udf/exports.h"

namespace wl::bench {
namespace {

constexpr std::size_t kScalingText = 64;

void Scaling_wlSendMsg(benchmark::State& state) {
  const char* text = TextOfSize(kScalingText);
  AllocationScope scope;
  for (auto _ : state)
    if (wlSendMsg(text) != 0) {
      state.SkipWithError("wlSendMsg failed");
      break;
    }
  ReportPerCall(state, scope);
}
BENCHMARK(Scaling_wlSendMsg)->Threads(1)->Threads(2)->Threads(4)->Threads(8)->UseRealTime();

}  // namespace
}  // namespace wl::bench
