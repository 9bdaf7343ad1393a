// System memory figures, and a snapshot of the heap this module's C run-time allocates from.
//
// The heap is walked under its lock and its entries are mapped onto HeapFigures so:
//   totalAddrSpace    bytes the heap has reserved: its regions (committed and uncommitted) and
//                     the blocks it keeps outside any region (large blocks of their own)
//   totalUncommitted  uncommitted bytes of the regions
//   totalCommitted    committed bytes of the regions, plus the blocks outside any region
//   totalAllocated    data bytes of busy blocks (what the program holds)
//   freeSmall         data bytes of free blocks of at most 4096 bytes that lie between busy
//                     blocks (released memory ready for reuse)
//   freeBig           the same for free blocks larger than 4096 bytes
//   unused            data bytes of a free block that ends its region's committed part (next to
//                     uncommitted space or the region's end): committed but never handed out
//   totalFree         freeSmall + freeBig + unused, exactly
//   overhead          the heap's bookkeeping bytes (cbOverhead) of every block, busy or free
//   heapErrorCode     0, or the error the walk stopped with (anything but ERROR_NO_MORE_ITEMS)
#include <malloc.h>

#include <cstring>

#include "platform/win32/win32_services.h"
#include "platform/win32/windows_include.h"

namespace wl::platform {
namespace {

constexpr std::uint32_t kSmallBlockLimit = 4096;

// Holds a heap's lock for one walk.
class HeapLockGuard {
 public:
  explicit HeapLockGuard(HANDLE heap) : heap_(heap), locked_(::HeapLock(heap) != FALSE) {}
  ~HeapLockGuard() {
    if (locked_) ::HeapUnlock(heap_);
  }
  HeapLockGuard(const HeapLockGuard&) = delete;
  HeapLockGuard& operator=(const HeapLockGuard&) = delete;

 private:
  HANDLE heap_;
  bool locked_;
};

// Adds up the entries of one walk. A free block is classified when the entry after it shows
// whether it ends its region's committed part.
class HeapTally {
 public:
  void Add(const PROCESS_HEAP_ENTRY& entry) {
    if (entry.wFlags & PROCESS_HEAP_REGION) return AddRegion(entry);
    if (entry.wFlags & PROCESS_HEAP_UNCOMMITTED_RANGE) return SettleFree(true);
    SettleFree(false);
    figures_.overhead += entry.cbOverhead;
    if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) return AddBusy(entry);
    pendingFree_ = entry.cbData;
    hasPendingFree_ = true;
  }

  HeapFigures Finish(DWORD walkError) {
    SettleFree(true);
    figures_.totalFree = figures_.freeSmall + figures_.freeBig + figures_.unused;
    figures_.heapErrorCode = walkError;
    return figures_;
  }

 private:
  void AddRegion(const PROCESS_HEAP_ENTRY& entry) {
    SettleFree(true);
    figures_.totalCommitted += entry.Region.dwCommittedSize;
    figures_.totalUncommitted += entry.Region.dwUnCommittedSize;
    figures_.totalAddrSpace += entry.Region.dwCommittedSize + entry.Region.dwUnCommittedSize;
    regionFirst_ = reinterpret_cast<std::uintptr_t>(entry.Region.lpFirstBlock);
    regionLast_ = reinterpret_cast<std::uintptr_t>(entry.Region.lpLastBlock);
  }

  void AddBusy(const PROCESS_HEAP_ENTRY& entry) {
    figures_.totalAllocated += entry.cbData;
    const auto at = reinterpret_cast<std::uintptr_t>(entry.lpData);
    if (at >= regionFirst_ && at < regionLast_) return;
    figures_.totalCommitted += entry.cbData + entry.cbOverhead;
    figures_.totalAddrSpace += entry.cbData + entry.cbOverhead;
  }

  void SettleFree(bool endsCommittedPart) {
    if (!hasPendingFree_) return;
    if (endsCommittedPart) {
      figures_.unused += pendingFree_;
    } else if (pendingFree_ <= kSmallBlockLimit) {
      figures_.freeSmall += pendingFree_;
    } else {
      figures_.freeBig += pendingFree_;
    }
    hasPendingFree_ = false;
  }

  HeapFigures figures_;
  std::uintptr_t regionFirst_ = 0, regionLast_ = 0;
  std::uint32_t pendingFree_ = 0;
  bool hasPendingFree_ = false;
};

HeapFigures WalkHeap(HANDLE heap) {
  HeapTally tally;
  const HeapLockGuard lock(heap);
  PROCESS_HEAP_ENTRY entry;
  std::memset(&entry, 0, sizeof entry);
  while (::HeapWalk(heap, &entry)) tally.Add(entry);
  const DWORD error = ::GetLastError();
  return tally.Finish(error == ERROR_NO_MORE_ITEMS ? 0 : error);
}

}  // namespace

MemoryFigures Win32Services::GlobalMemoryStatus() {
  MEMORYSTATUS status;
  std::memset(&status, 0, sizeof status);
  status.dwLength = sizeof status;
  ::GlobalMemoryStatus(&status);
  return MemoryFigures{status.dwMemoryLoad,    status.dwTotalPhys,     status.dwAvailPhys,
                       status.dwTotalPageFile, status.dwAvailPageFile, status.dwTotalVirtual,
                       status.dwAvailVirtual};
}

HeapFigures Win32Services::HeapStatus() {
  const auto heap = reinterpret_cast<HANDLE>(::_get_heap_handle());
  if (heap == nullptr) {
    HeapFigures none;
    none.heapErrorCode = ERROR_INVALID_HANDLE;
    return none;
  }
  return WalkHeap(heap);
}

}  // namespace wl::platform
