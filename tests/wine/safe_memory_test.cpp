// The guarded copies against memory that faults: no-access, guard, decommitted and released
// pages, on the main thread and on others.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/safe_memory.h"
#include "platform/win32/windows_include.h"

namespace wl::platform {
namespace {

enum class Trap { NoAccess, Guard, Decommitted };
constexpr Trap kTraps[] = {Trap::NoAccess, Trap::Guard, Trap::Decommitted};
const char* Name(Trap trap) {
  return trap == Trap::NoAccess ? "no access" : trap == Trap::Guard ? "guard" : "decommitted";
}

// Two adjacent pages: the first readable (filled with 'x'), the second trapped.
class PagePair {
 public:
  explicit PagePair(Trap trap) {
    SYSTEM_INFO info;
    ::GetSystemInfo(&info);
    page_ = info.dwPageSize;
    base_ = static_cast<char*>(
        ::VirtualAlloc(nullptr, 2 * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    std::memset(base_, 'x', 2 * page_);
    DWORD old = 0;
    if (trap == Trap::NoAccess) ::VirtualProtect(Trapped(), page_, PAGE_NOACCESS, &old);
    if (trap == Trap::Guard) ::VirtualProtect(Trapped(), page_, PAGE_READWRITE | PAGE_GUARD, &old);
    if (trap == Trap::Decommitted) ::VirtualFree(Trapped(), page_, MEM_DECOMMIT);
  }
  ~PagePair() { ::VirtualFree(base_, 0, MEM_RELEASE); }
  PagePair(const PagePair&) = delete;
  PagePair& operator=(const PagePair&) = delete;

  char* Readable() const { return base_; }
  char* Trapped() const { return base_ + page_; }
  // A text whose terminator is the readable page's last byte.
  const char* TextAtPageEnd(const char* text) const {
    char* start = Trapped() - std::strlen(text) - 1;
    std::strcpy(start, text);
    return start;
  }

 private:
  std::size_t page_ = 0;
  char* base_ = nullptr;
};

std::uint32_t SehChainHead() {
  std::uint32_t head;
  asm volatile("movl %%fs:0, %0" : "=r"(head));
  return head;
}

TEST(CopyTextArgument, CopiesReadableTexts) {
  std::string out = "stale";
  EXPECT_TRUE(CopyTextArgument(nullptr, out));
  EXPECT_EQ(out, "");
  EXPECT_TRUE(CopyTextArgument("", out));
  EXPECT_EQ(out, "");
  EXPECT_TRUE(CopyTextArgument("abc", out));
  EXPECT_EQ(out, "abc");
  const std::string big(1 << 20, 'm');
  EXPECT_TRUE(CopyTextArgument(big.c_str(), out));
  EXPECT_EQ(out, big);
}

TEST(CopyTextArgument, StopsAtTheTerminatorBeforeATrappedPage) {
  for (const Trap trap : kTraps) {
    SCOPED_TRACE(Name(trap));
    const PagePair pages(trap);
    std::string out;
    EXPECT_TRUE(CopyTextArgument(pages.TextAtPageEnd("at the end"), out));
    EXPECT_EQ(out, "at the end");
  }
}

TEST(CopyTextArgument, FailsOnEveryKindOfUnreadableByte) {
  for (const Trap trap : kTraps) {
    SCOPED_TRACE(Name(trap));
    std::string out;
    const PagePair runsInto(trap);  // no terminator before the trapped page
    EXPECT_FALSE(CopyTextArgument(runsInto.Readable(), out));
    const PagePair startsIn(trap);
    EXPECT_FALSE(CopyTextArgument(startsIn.Trapped(), out));
  }
}

TEST(CopyTextArgument, FailsOnAReleasedPage) {
  char* page = static_cast<char*>(::VirtualAlloc(nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
  std::strcpy(page, "gone");
  ::VirtualFree(page, 0, MEM_RELEASE);
  std::string out;
  EXPECT_FALSE(CopyTextArgument(page, out));
}

TEST(CopyTextArgument, LeavesTheHandlerChainAsItWas) {
  const std::uint32_t before = SehChainHead();
  const PagePair pages(Trap::NoAccess);
  std::string out;
  EXPECT_FALSE(CopyTextArgument(pages.Trapped(), out));
  EXPECT_TRUE(CopyTextArgument("fine", out));
  EXPECT_EQ(SehChainHead(), before);
}

TEST(CopyTextArgument, WorksOnManyThreadsAtOnce) {
  std::vector<std::thread> threads;
  std::vector<int> results(8, -1);
  for (std::size_t i = 0; i < results.size(); ++i) {
    threads.emplace_back([&results, i] {
      const PagePair pages(kTraps[i % 3]);
      std::string out;
      const bool faulted = !CopyTextArgument(pages.Trapped(), out);
      const bool copied = CopyTextArgument(pages.TextAtPageEnd("ok"), out) && out == "ok";
      results[i] = faulted && copied ? 1 : 0;
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const int result : results) EXPECT_EQ(result, 1);
}

TEST(ReadArgument, ReadsOnlyWhollyReadableValues) {
  const std::int32_t stored = 42;
  // Each read gets fresh pages: touching a guard page once clears its guard.
  for (const Trap trap : kTraps) {
    SCOPED_TRACE(Name(trap));
    std::int32_t value = 0;
    const PagePair atEnd(trap);
    std::memcpy(atEnd.Trapped() - 4, &stored, 4);
    EXPECT_TRUE(ReadArgument(atEnd.Trapped() - 4, &value, 4));
    EXPECT_EQ(value, 42);
    const PagePair straddling(trap);
    EXPECT_FALSE(ReadArgument(straddling.Trapped() - 2, &value, 4));
    const PagePair inside(trap);
    EXPECT_FALSE(ReadArgument(inside.Trapped(), &value, 4));
  }
  std::int32_t value = 0;
  EXPECT_FALSE(ReadArgument(nullptr, &value, 4));
}

}  // namespace
}  // namespace wl::platform
