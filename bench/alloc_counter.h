// Counting the heap allocations a thread makes.
//
// The benchmark binary replaces malloc, calloc, realloc and free with thin wrappers around the C
// library's own allocator that count every allocating call on the calling thread. Operator new
// and new[] reach malloc through the C++ run-time, and the shared libraries the binary loads
// (the C++ run-time, the reference loggers) bind to the same wrappers, so one count covers them
// all. realloc counts as one allocation whether or not the block moves.
#pragma once

#include <cstdint>

namespace wl::bench {

// Allocating calls made by this thread so far.
std::uint64_t ThreadAllocations();

// True when the wrappers are the ones the process uses (checked once, by allocating through
// calloc and through operator new and watching the count move).
bool AllocationCountingWorks();

// The allocations the calling thread makes between construction and Count().
class AllocationScope {
 public:
  AllocationScope() : start_(ThreadAllocations()) {}
  std::uint64_t Count() const { return ThreadAllocations() - start_; }

 private:
  std::uint64_t start_;
};

}  // namespace wl::bench
