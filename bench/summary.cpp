#include "bench/summary.h"

#include <sched.h>
#include <sys/utsname.h>

#include <cmath>
#include <ctime>
#include <fstream>
#include <thread>

#include "bench/steady_state.h"

namespace wl::bench {
namespace {

double ToNs(double adjusted, benchmark::TimeUnit unit) {
  return adjusted * 1e9 / benchmark::GetTimeUnitMultiplier(unit);
}

std::string CpuModel() {
  std::ifstream info("/proc/cpuinfo");
  std::string line;
  while (std::getline(info, line))
    if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
  return "unknown";
}

std::string FirstLine(const char* path) {
  std::ifstream file(path);
  std::string line;
  std::getline(file, line);
  return line;
}

std::string Affinity() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) != 0) return "unknown";
  std::string cpus;
  for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
    if (CPU_ISSET(cpu, &set)) cpus += (cpus.empty() ? "" : ",") + std::to_string(cpu);
  return cpus;
}

void PrintMachine(std::FILE* out) {
  char date[64];
  const std::time_t now = std::time(nullptr);
  std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S UTC", std::gmtime(&now));
  utsname system{};
  uname(&system);
  std::fprintf(out, "date:      %s\n", date);
  std::fprintf(out, "machine:   %s, %u hardware threads, %s %s %s\n", CpuModel().c_str(),
               std::thread::hardware_concurrency(), system.sysname, system.release, system.machine);
  std::fprintf(out, "pinned to: cpu %s; load average at the end: %s\n", Affinity().c_str(),
               FirstLine("/proc/loadavg").c_str());
  std::fprintf(out, "compiler:  g++ %s%s\n", __VERSION__,
#if defined(__OPTIMIZE__) && defined(NDEBUG)
               ", optimised, NDEBUG"
#else
               ", NOT an optimised release build: figures are not representative"
#endif
  );
}

class Table {
 public:
  explicit Table(const std::map<std::string, Figure>& figures) : figures_(figures) {}
  const Figure* Find(const std::string& name) const {
    auto it = figures_.find(name);
    return it == figures_.end() ? nullptr : &it->second;
  }

 private:
  const std::map<std::string, Figure>& figures_;
};

std::string Allocs(const Figure* f) {
  if (f == nullptr || !f->allocsPerCall) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", *f->allocsPerCall);
  return text;
}

std::string Ns(const Figure* f) {
  if (f == nullptr) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", f->cpuNs);
  return text;
}

std::string Ratio(const Figure* a, const Figure* b) {
  if (a == nullptr || b == nullptr || b->cpuNs <= 0) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.2fx", a->cpuNs / b->cpuNs);
  return text;
}

void PrintTexts(std::FILE* out, const Table& t) {
  std::fprintf(out,
               "\nText messages: ns per call (median CPU time), wlSendMsg against the synchronous\n"
               "logger writing \"{}\" with the same text to a null sink\n");
  std::fprintf(out, "%8s %12s %10s %8s %11s %12s %10s %12s\n", "bytes", "wlSendMsg", "spdlog",
               "ratio", "ns/byte", "slope ns/B", "allocs wl", "allocs spdlog");
  const Figure* previous = nullptr;
  long previousSize = 0;
  for (long size : {16L, 256L, 4096L, 65536L}) {
    const std::string arg = "/" + std::to_string(size);
    const Figure* wl = t.Find("BM_wlSendMsg" + arg);
    const Figure* spd = t.Find("BM_spdlog_Text" + arg);
    if (wl == nullptr && spd == nullptr) continue;
    char perByte[32] = "-", slope[32] = "-";
    if (wl != nullptr) std::snprintf(perByte, sizeof perByte, "%.3f", wl->cpuNs / size);
    if (wl != nullptr && previous != nullptr)
      std::snprintf(slope, sizeof slope, "%.3f",
                    (wl->cpuNs - previous->cpuNs) / static_cast<double>(size - previousSize));
    std::fprintf(out, "%8ld %12s %10s %8s %11s %12s %10s %12s\n", size, Ns(wl).c_str(),
                 Ns(spd).c_str(), Ratio(wl, spd).c_str(), perByte, slope, Allocs(wl).c_str(),
                 Allocs(spd).c_str());
    if (wl != nullptr) {
      previous = wl;
      previousSize = size;
    }
  }
  std::fprintf(out, "(slope: extra ns per extra byte from the size above; flat means linear)\n");

  std::fprintf(out,
               "\nInside wlSendMsg: the fault-free copy of the argument, and the client's\n"
               "SendMsg on an owned text under the client lock\n");
  std::fprintf(out, "%8s %18s %16s %14s\n", "bytes", "CopyTextArgument", "ClientSendMsg",
               "allocs client");
  for (long size : {16L, 256L, 4096L, 65536L}) {
    const std::string arg = "/" + std::to_string(size);
    const Figure* copy = t.Find("BM_CopyTextArgument" + arg);
    const Figure* client = t.Find("BM_ClientSendMsg" + arg);
    const Figure* spd = t.Find("BM_spdlog_Text" + arg);
    if (copy == nullptr && client == nullptr) continue;
    std::fprintf(out, "%8ld %18s %16s %14s   client/spdlog %s\n", size, Ns(copy).c_str(),
                 Ns(client).c_str(), Allocs(client).c_str(), Ratio(client, spd).c_str());
  }
}

void PrintValues(std::FILE* out, const Table& t) {
  struct Row {
    const char* label;
    const char* wl;
    const char* spdlog;
    const char* snprintf;
  };
  const Row rows[] = {
      {"wlSendInteger", "BM_wlSendInteger", "BM_spdlog_Integer", "BM_snprintf_Integer"},
      {"wlSendFloat", "BM_wlSendFloat", "BM_spdlog_Float", "BM_snprintf_Float"},
      {"wlAddCheckpoint", "BM_wlAddCheckpoint", "BM_spdlog_Checkpoint", "BM_snprintf_Checkpoint"},
      {"wlSendMemoryStatus", "BM_wlSendMemoryStatus", nullptr, nullptr},
      {"SendObject", "BM_SendObject", nullptr, nullptr},
  };
  std::fprintf(out, "\nValue messages: ns per call (median CPU time)\n");
  std::fprintf(out, "%-20s %10s %10s %10s %9s %10s %9s %12s\n", "call", "library", "allocs",
               "spdlog", "ratio", "snprintf", "ratio", "allocs spdlog");
  for (const Row& r : rows) {
    const Figure* wl = t.Find(r.wl);
    const Figure* spd = r.spdlog ? t.Find(r.spdlog) : nullptr;
    const Figure* snp = r.snprintf ? t.Find(r.snprintf) : nullptr;
    if (wl == nullptr && spd == nullptr && snp == nullptr) continue;
    std::fprintf(out, "%-20s %10s %10s %10s %9s %10s %9s %12s\n", r.label,
                 wl ? Ns(wl).c_str() : "(absent)", Allocs(wl).c_str(), Ns(spd).c_str(),
                 Ratio(wl, spd).c_str(), Ns(snp).c_str(), Ratio(wl, snp).c_str(),
                 Allocs(spd).c_str());
  }
}

void PrintScaling(std::FILE* out, const Table& t) {
  const Figure* one = t.Find("Scaling_wlSendMsg/real_time/threads:1");
  bool any = false;
  for (int threads : {1, 2, 4, 8}) {
    const Figure* f = t.Find("Scaling_wlSendMsg/real_time/threads:" + std::to_string(threads));
    if (f == nullptr) continue;
    if (!any) {
      std::fprintf(out,
                   "\nScaling: wlSendMsg of a 64-byte text from n threads through the one client\n"
                   "(wall-clock throughput of all threads together)\n");
      std::fprintf(out, "%8s %14s %14s %12s\n", "threads", "calls/s", "x one thread",
                   "allocs/call");
      any = true;
    }
    char ratio[32] = "-";
    if (one != nullptr && one->itemsPerSecond > 0)
      std::snprintf(ratio, sizeof ratio, "%.2f", f->itemsPerSecond / one->itemsPerSecond);
    std::fprintf(out, "%8d %14.0f %14s %12s\n", threads, f->itemsPerSecond, ratio,
                 Allocs(f).c_str());
  }
}

}  // namespace

void CollectingReporter::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    if (run.error_occurred) continue;
    const bool median = run.run_type == Run::RT_Aggregate;
    if (median && run.aggregate_name != "median") continue;
    const std::string name = run.run_name.str();
    Figure& f = figures_[name];
    if (f.median && !median) continue;
    f.median = median;
    f.cpuNs = ToNs(run.GetAdjustedCPUTime(), run.time_unit);
    f.realNs = ToNs(run.GetAdjustedRealTime(), run.time_unit);
    f.threads = static_cast<int>(run.threads);
    f.allocsPerCall.reset();
    if (auto it = run.counters.find(kAllocsPerCall); it != run.counters.end())
      f.allocsPerCall = it->second.value;
    if (auto it = run.counters.find("items_per_second"); it != run.counters.end())
      f.itemsPerSecond = it->second.value;
  }
  ConsoleReporter::ReportRuns(runs);
}

void PrintSummary(std::FILE* out, const std::map<std::string, Figure>& figures) {
  std::fprintf(out, "\n==== Summary\n");
  PrintMachine(out);
  const Table table(figures);
  PrintTexts(out, table);
  PrintValues(out, table);
  PrintScaling(out, table);
  std::fprintf(out, "\n");
}

}  // namespace wl::bench
