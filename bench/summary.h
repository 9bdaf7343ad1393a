// The figures of one run, gathered while the console reporter prints them, and the summary
// printed after the last benchmark: the library against the baselines of the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace wl::bench {

struct Figure {
  double cpuNs = 0;   // CPU time per call of the benchmark's thread(s)
  double realNs = 0;  // wall-clock time per call
  std::optional<double> allocsPerCall;
  double itemsPerSecond = 0;  // all threads together
  int threads = 1;
  bool median = false;  // taken from the median of repetitions
};

class CollectingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override;
  // By run name, e.g. "BM_wlSendMsg/256" or "BM_Scaling_wlSendMsg/real_time/threads:4".
  const std::map<std::string, Figure>& figures() const { return figures_; }

 private:
  std::map<std::string, Figure> figures_;
};

// Prints the machine, the date and the summary tables of what this run measured.
void PrintSummary(std::FILE* out, const std::map<std::string, Figure>& figures);

}  // namespace wl::bench
