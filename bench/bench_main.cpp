// The benchmark binary: the library's calls, the baselines and the scaling runs, then a summary.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "bench/alloc_counter.h"
#include "bench/steady_state.h"
#include "bench/summary.h"

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (!wl::bench::AllocationCountingWorks())
    std::fprintf(stderr, "warning: allocations are not counted in this build\n");
  wl::bench::Steady();  // before any benchmark thread starts
  wl::bench::CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::fflush(stdout);
  wl::bench::PrintSummary(stdout, reporter.figures());
  benchmark::Shutdown();
  return 0;
}
