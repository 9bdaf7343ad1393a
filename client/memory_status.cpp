// The memory report: the library heap's figures, then the system's, as twenty label=value
// lines; SendMemoryStatus sends them as the details of one mkMemoryStatus message.
#include "client/WLIntf.h"
#include "client/format_number.h"

namespace wl {
namespace {

using platform::HeapFigures;
using platform::MemoryFigures;

struct HeapLine {
  const char* label;
  std::uint32_t HeapFigures::*figure;
};

constexpr HeapLine kHeapLines[] = {
    {"Total Address Space=", &HeapFigures::totalAddrSpace},
    {"Total Uncommitted=", &HeapFigures::totalUncommitted},
    {"Total Committed=", &HeapFigures::totalCommitted},
    {"Total Allocated=", &HeapFigures::totalAllocated},
    {"TotalFree=", &HeapFigures::totalFree},
    {"FreeSmall=", &HeapFigures::freeSmall},
    {"FreeBig=", &HeapFigures::freeBig},
    {"Unused=", &HeapFigures::unused},
    {"Overhead=", &HeapFigures::overhead},
    {"Heap Error Code=", &HeapFigures::heapErrorCode},
};

struct SystemLine {
  const char* label;
  std::uint32_t MemoryFigures::*figure;
};

constexpr SystemLine kSystemLines[] = {
    {"Total Physical Memory=", &MemoryFigures::totalPhys},
    {"Avail Physical Memory=", &MemoryFigures::availPhys},
    {"Total Page File=", &MemoryFigures::totalPageFile},
    {"Avail Page File=", &MemoryFigures::availPageFile},
    {"Total Virtual Memory=", &MemoryFigures::totalVirtual},
    {"Avail Virtual Memory=", &MemoryFigures::availVirtual},
};

// The report groups by the locale's thousands separator, and by "," when the locale gives none.
char GroupSeparator() {
  const char separator = CurrentFormatSettings().thousandSeparator;
  return separator != '\0' ? separator : ',';
}

// label followed by the count grouped in threes ("#,#0"); the count is never read as signed.
void AddCount(TStringList& lines, const char* label, std::uint32_t count) {
  std::string& line = lines.emplace_back(label);
  detail::AppendGrouped(line, count, GroupSeparator());
}

void AddHeapLines(TStringList& lines) {
  const HeapFigures heap = sys().HeapStatus();
  lines.emplace_back("Heap Status=");
  for (const HeapLine& line : kHeapLines) AddCount(lines, line.label, heap.*line.figure);
}

// Read after the heap lines are built, so the system figures follow the heap snapshot.
void AddSystemLines(TStringList& lines) {
  const MemoryFigures memory = sys().GlobalMemoryStatus();
  lines.emplace_back("=");
  lines.emplace_back("Global Memory Status=");
  std::string& load = lines.emplace_back("Memory Load=");
  detail::AppendDecimal(load, memory.memoryLoad, false, 1);
  load += '%';
  for (const SystemLine& line : kSystemLines) AddCount(lines, line.label, memory.*line.figure);
}

}  // namespace

void TWrenlog::GetMemoryStatus(TStringList& Lines) {
  Lines.reserve(Lines.size() + 20);
  AddHeapLines(Lines);
  AddSystemLines(Lines);
}

void TWrenlog::SendMemoryStatus() {
  if (!Enabled) return;
  TStringList lines;
  GetMemoryStatus(lines);
  const std::string details = JoinLines(lines);
  SendPacket(mkMemoryStatus, "Memory Status", details.c_str(), std::string());
}

}  // namespace wl
