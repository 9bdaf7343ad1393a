// The counting allocator wrappers: malloc, calloc, realloc and free over glibc's own entry
// points. The counter is a plain thread-local integer of the executable (initial-exec TLS), so
// touching it allocates nothing and needs no lock.
#include "bench/alloc_counter.h"

#include <cstddef>
#include <cstdlib>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void __libc_free(void* block);
}

namespace {
thread_local std::uint64_t allocations = 0;
}

extern "C" {

void* malloc(std::size_t size) noexcept {
  ++allocations;
  return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) noexcept {
  ++allocations;
  return __libc_calloc(count, size);
}

void* realloc(void* block, std::size_t size) noexcept {
  ++allocations;
  return __libc_realloc(block, size);
}

void free(void* block) noexcept { __libc_free(block); }

}  // extern "C"

namespace wl::bench {

std::uint64_t ThreadAllocations() { return allocations; }

bool AllocationCountingWorks() {
  static const bool works = [] {
    // Through volatile pointers, so that the compiler cannot drop the pairs.
    const std::uint64_t before = ThreadAllocations();
    void* volatile block = std::calloc(1, 300);
    std::free(block);
    const bool callocCounted = ThreadAllocations() == before + 1;
    auto* volatile object = new std::uint64_t[40];
    delete[] object;
    return callocCounted && ThreadAllocations() == before + 2;
  }();
  return works;
}

}  // namespace wl::bench
