// Fault-free reads on 32-bit Windows.
//
// The copy loop runs under a structured-exception registration record pushed on its own stack
// frame (the fs:[0] chain of the calling thread). On an access violation, a guard-page hit or
// an in-page error inside the loop, the handler redirects the faulting context to the loop's
// recovery point with the loop's own stack and frame pointers, and returns "continue
// execution"; the loop then unlinks its record and reports the fault. The record exists only
// while the loop runs, sees only faults raised while it is the innermost handler, and leaves
// nothing installed behind. The loop allocates nothing and calls nothing. The module carries
// no SafeSEH table and is not marked NO_SEH, so the system accepts a handler that lies in it.
//
// Neither ReadProcessMemory on the own process nor IsBadReadPtr can be trusted for this: under
// Wine the first reports success for freed and no-access pages, the second faults on guard pages.
#include <cstdint>

#include "platform/safe_memory.h"
#include "platform/win32/windows_include.h"

#if !defined(__i386__)
#error "the guarded copy is written for 32-bit x86"
#endif

extern "C" {

// Copies at most count bytes from source to target; with stopAtNul, stops after copying a NUL.
// Returns the number of bytes copied, or -1 when reading (or writing) one of them faulted.
int wl_guarded_copy(char* target, const char* source, unsigned count, int stopAtNul);

// The registration record, as laid out on wl_guarded_copy's stack: the two words the system
// reads, then the recovery point.
struct WlGuardRecord {
  WlGuardRecord* next;
  void* handler;
  std::uint32_t recoverEip, recoverEsp, recoverEbp;
};

EXCEPTION_DISPOSITION __cdecl wl_guard_handler(EXCEPTION_RECORD* exception, void* frame,
                                               CONTEXT* context, void* dispatcherContext);
}

EXCEPTION_DISPOSITION __cdecl wl_guard_handler(EXCEPTION_RECORD* exception, void* frame,
                                               CONTEXT* context, void*) {
  if (exception->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) {
    return ExceptionContinueSearch;
  }
  switch (exception->ExceptionCode) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_GUARD_PAGE:
    case EXCEPTION_IN_PAGE_ERROR:
      break;
    default:
      return ExceptionContinueSearch;
  }
  const auto* record = static_cast<const WlGuardRecord*>(frame);
  context->Eip = record->recoverEip;
  context->Esp = record->recoverEsp;
  context->Ebp = record->recoverEbp;
  return ExceptionContinueExecution;
}

// cdecl: target at 8(%ebp), source at 12, count at 16, stopAtNul at 20. The record occupies
// the 20 bytes at %esp while the loop runs; at the recovery point %esp points at it again.
asm(R"(
    .text
    .globl _wl_guarded_copy
    .def _wl_guarded_copy; .scl 2; .type 32; .endef
_wl_guarded_copy:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    pushl %ebx
    subl $20, %esp
    movl %fs:0, %eax
    movl %eax, 0(%esp)
    movl $_wl_guard_handler, 4(%esp)
    movl $L_wl_guard_recover, 8(%esp)
    movl %esp, 12(%esp)
    movl %ebp, 16(%esp)
    movl %esp, %fs:0
    movl 8(%ebp), %edi
    movl 12(%ebp), %esi
    movl 16(%ebp), %ecx
    movl 20(%ebp), %edx
    xorl %eax, %eax
L_wl_guard_loop:
    cmpl %ecx, %eax
    jae L_wl_guard_done
    movzbl (%esi,%eax), %ebx
    movb %bl, (%edi,%eax)
    incl %eax
    testl %edx, %edx
    jz L_wl_guard_loop
    testb %bl, %bl
    jnz L_wl_guard_loop
    jmp L_wl_guard_done
L_wl_guard_recover:
    movl $-1, %eax
L_wl_guard_done:
    movl 0(%esp), %ecx
    movl %ecx, %fs:0
    addl $20, %esp
    popl %ebx
    popl %edi
    popl %esi
    popl %ebp
    ret
)");

namespace wl::platform {
namespace {

// Texts are copied through a stack buffer of this size, one guarded loop per chunk.
constexpr unsigned kChunkSize = 4096;

}  // namespace

bool ReadArgument(const void* source, void* target, std::size_t size) {
  if (source == nullptr) return false;
  if (size == 0) return true;
  const int copied = wl_guarded_copy(static_cast<char*>(target), static_cast<const char*>(source),
                                     static_cast<unsigned>(size), 0);
  return copied == static_cast<int>(size);
}

bool CopyTextArgument(const char* text, std::string& out) {
  out.clear();
  if (text == nullptr) return true;
  char chunk[kChunkSize];
  for (const char* at = text;; at += kChunkSize) {
    const int copied = wl_guarded_copy(chunk, at, kChunkSize, 1);
    if (copied < 0) return false;
    if (copied > 0 && chunk[copied - 1] == '\0') {
      out.append(chunk, static_cast<std::size_t>(copied - 1));
      return true;
    }
    out.append(chunk, kChunkSize);
  }
}

}  // namespace wl::platform
