// The baselines, measured in the same run as the library: a synchronous logger of a widely used
// logging library writing to a sink that drops everything, and a plain snprintf of the same value
// texts. The logger gets the same NUL-terminated text the export gets, so both pay for finding
// its end.
#include <benchmark/benchmark.h>
#include <spdlog/logger.h>
#include <spdlog/sinks/null_sink.h>

#include <cstdio>
#include <memory>

#include "bench/steady_state.h"

namespace wl::bench {
namespace {

spdlog::logger& Logger() {
  static spdlog::logger logger("bench", std::make_shared<spdlog::sinks::null_sink_mt>());
  return logger;
}

void BM_spdlog_Text(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const char* text = TextOfSize(size);
  spdlog::logger& logger = Logger();
  AllocationScope scope;
  for (auto _ : state) logger.info("{}", text);
  ReportPerCall(state, scope, size);
}
BENCHMARK(BM_spdlog_Text)->Arg(16)->Arg(256)->Arg(4096)->Arg(65536);

// The value texts: "Rows = 1234567", "Ratio = 1234.57", "Bench: Check Point #n".
void BM_spdlog_Integer(benchmark::State& state) {
  spdlog::logger& logger = Logger();
  const char* name = "Rows";
  const int value = 1234567;
  AllocationScope scope;
  for (auto _ : state) logger.info("{} = {}", name, value);
  ReportPerCall(state, scope);
}
BENCHMARK(BM_spdlog_Integer);

void BM_spdlog_Float(benchmark::State& state) {
  spdlog::logger& logger = Logger();
  const char* name = "Ratio";
  const double value = 1234.5678;
  AllocationScope scope;
  for (auto _ : state) logger.info("{} = {:.2f}", name, value);
  ReportPerCall(state, scope);
}
BENCHMARK(BM_spdlog_Float);

void BM_spdlog_Checkpoint(benchmark::State& state) {
  spdlog::logger& logger = Logger();
  const char* label = "dbserver";
  int count = 0;
  AllocationScope scope;
  for (auto _ : state) logger.info("{}: Check Point #{}", label, ++count);
  ReportPerCall(state, scope);
}
BENCHMARK(BM_spdlog_Checkpoint);

void BM_snprintf_Integer(benchmark::State& state) {
  char out[64];
  AllocationScope scope;
  const char* name = "Rows";
  const int value = 1234567;
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::snprintf(out, sizeof out, "%s = %d", name, value));
    benchmark::ClobberMemory();
  }
  ReportPerCall(state, scope);
}
BENCHMARK(BM_snprintf_Integer);

void BM_snprintf_Float(benchmark::State& state) {
  char out[64];
  AllocationScope scope;
  const char* name = "Ratio";
  const double value = 1234.5678;
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::snprintf(out, sizeof out, "%s = %.2f", name, value));
    benchmark::ClobberMemory();
  }
  ReportPerCall(state, scope);
}
BENCHMARK(BM_snprintf_Float);

void BM_snprintf_Checkpoint(benchmark::State& state) {
  char out[64];
  AllocationScope scope;
  const char* label = "dbserver";
  int count = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::snprintf(out, sizeof out, "%s: Check Point #%d", label, ++count));
    benchmark::ClobberMemory();
  }
  ReportPerCall(state, scope);
}
BENCHMARK(BM_snprintf_Checkpoint);

}  // namespace
}  // namespace wl::bench
