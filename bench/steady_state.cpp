#include "bench/steady_state.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>

#include "client/WLIntf.h"
#include "udf/exports.h"
#include "udf/module.h"

namespace wl::bench {

SteadyState::SteadyState() {
  os_.recordDeliveries = false;
  os_.AddDispatcher();
  udf::WrenbridgeLoad(os_);
  // The first message opens the connection; every later one finds it open.
  if (wlSendMsg("warm-up") != 0) {
    std::fprintf(stderr, "the warm-up message failed\n");
    std::exit(1);
  }
  Verify();
}

SteadyState::~SteadyState() { udf::WrenbridgeUnload(); }

void SteadyState::Verify() const {
  std::lock_guard guard(GlobalClientLock());
  if (GlobalClient == nullptr || !GlobalClient->Enabled || GlobalClient->ConnectionId.empty() ||
      GlobalClient->DispatcherWnd == 0) {
    std::fprintf(stderr, "the client is not connected to the fake dispatcher\n");
    std::exit(1);
  }
}

SteadyState& Steady() {
  static SteadyState state;
  return state;
}

const char* TextOfSize(std::size_t size) {
  static std::mutex lock;
  static std::map<std::size_t, std::unique_ptr<std::string>> texts;
  std::lock_guard guard(lock);
  std::unique_ptr<std::string>& text = texts[size];
  if (!text) {
    text = std::make_unique<std::string>(size, 'x');
    // A little variety, so that no copy can be a fill.
    for (std::size_t i = 0; i < size; i += 61) (*text)[i] = static_cast<char>('a' + i % 26);
  }
  return text->c_str();
}

void ReportPerCall(benchmark::State& state, const AllocationScope& scope, std::size_t bytes) {
  using benchmark::Counter;
  if (AllocationCountingWorks())
    state.counters[kAllocsPerCall] =
        Counter(static_cast<double>(scope.Count()), Counter::kAvgIterations);
  if (bytes != 0) {
    state.counters[kBytesPerCall] = static_cast<double>(bytes);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace wl::bench
