// The library loaded against the fake in its steady state, and helpers shared by the benchmarks.
//
// Steady state: a dispatcher window exists, the client has opened its connection (the warm-up
// message did that), and the fake answers every delivery without recording it. Each benchmark
// then measures the cost of one more call and nothing of the set-up.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>

#include "bench/alloc_counter.h"
#include "tests/fake/fake_services.h"

namespace wl::bench {

class SteadyState {
 public:
  SteadyState();
  ~SteadyState();
  SteadyState(const SteadyState&) = delete;
  SteadyState& operator=(const SteadyState&) = delete;

  fake::FakeServices& os() { return os_; }
  // Fails loudly when the client is not connected and enabled: figures taken from a client that
  // sends nothing would be worthless.
  void Verify() const;

 private:
  fake::FakeServices os_;
};

// The one steady state of the process, made on first use and torn down at exit.
SteadyState& Steady();

// A NUL-terminated text of size letters that lives as long as the process; no final CR LF.
const char* TextOfSize(std::size_t size);

// Sets the counters every benchmark reports: allocations per call (from the calling thread's
// scope; the library sums the threads' counts and divides by all their calls) and, when bytes is
// not 0, the bytes of text handed over per call.
void ReportPerCall(benchmark::State& state, const AllocationScope& scope, std::size_t bytes = 0);

// The counter names, shared with the summary.
inline constexpr const char* kAllocsPerCall = "allocs/call";
inline constexpr const char* kBytesPerCall = "bytes/call";

}  // namespace wl::bench
