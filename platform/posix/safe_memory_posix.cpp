// Fault-free reads on Linux: process_vm_readv on our own process reports EFAULT for an
// unreadable range instead of raising SIGSEGV.
#include <sys/uio.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "platform/safe_memory.h"

namespace wl::platform {
namespace {

std::size_t PageSize() {
  static const std::size_t size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  return size;
}

bool ReadOwn(const void* source, void* target, std::size_t size) {
  iovec local{target, size};
  iovec remote{const_cast<void*>(source), size};
  const ssize_t got = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
  return got == static_cast<ssize_t>(size);
}

}  // namespace

bool ReadArgument(const void* source, void* target, std::size_t size) {
  if (source == nullptr) return false;
  return ReadOwn(source, target, size);
}

bool CopyTextArgument(const char* text, std::string& out) {
  out.clear();
  if (text == nullptr) return true;
  // Read page by page so that a text ending just before an unreadable page is still copied.
  char chunk[4096];
  auto address = reinterpret_cast<std::uintptr_t>(text);
  for (;;) {
    const std::size_t toPageEnd = PageSize() - (address % PageSize());
    const std::size_t want = toPageEnd < sizeof chunk ? toPageEnd : sizeof chunk;
    if (!ReadOwn(reinterpret_cast<const void*>(address), chunk, want)) return false;
    const void* nul = std::memchr(chunk, '\0', want);
    if (nul != nullptr) {
      out.append(chunk, static_cast<const char*>(nul) - chunk);
      return true;
    }
    out.append(chunk, want);
    address += want;
  }
}

}  // namespace wl::platform
