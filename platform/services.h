// The one seam between the logging client and the operating system.
//
// Every system service the client uses is a virtual function of `Services`, in plain types of our
// own. The library installs one implementation at load (the Win32 one in the DLL, a fake in the
// native tests, later a POSIX one) and the client reaches it through `wl::sys()`. Nothing outside
// an implementation includes a system header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace wl::platform {

// An opaque window identity; 0 is "no window".
using WindowHandle = std::uintptr_t;

struct LocalTime {
  int year = 1, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// The system-wide memory figures, as the system reports them (all unsigned 32-bit).
struct MemoryFigures {
  std::uint32_t memoryLoad = 0;
  std::uint32_t totalPhys = 0, availPhys = 0;
  std::uint32_t totalPageFile = 0, availPageFile = 0;
  std::uint32_t totalVirtual = 0, availVirtual = 0;
};

// A snapshot of the module's own heap. totalFree == freeSmall + freeBig + unused.
struct HeapFigures {
  std::uint32_t totalAddrSpace = 0, totalUncommitted = 0, totalCommitted = 0;
  std::uint32_t totalAllocated = 0, totalFree = 0;
  std::uint32_t freeSmall = 0, freeBig = 0, unused = 0;
  std::uint32_t overhead = 0, heapErrorCode = 0;
};

// The user locale's separators and formats. A separator of '\0' means "the locale gives none".
struct LocaleSettings {
  char thousandSeparator = ',';
  char decimalSeparator = '.';
  char dateSeparator = '/';
  char timeSeparator = ':';
  std::string shortDateFormat = "M/d/yyyy";
  std::string longTimeFormat = "h:mm:ss AMPM";
  std::string timeAmString = "AM";
  std::string timePmString = "PM";
};

// Registry value types we tell apart; any other type keeps its number.
constexpr std::uint32_t kRegString = 1;        // REG_SZ
constexpr std::uint32_t kRegExpandString = 2;  // REG_EXPAND_SZ
constexpr std::uint32_t kRegDword = 4;         // REG_DWORD

struct RegistryRead {
  enum class Status { KeyNotOpened, ValueMissing, Found };
  Status status = Status::KeyNotOpened;
  std::uint32_t type = 0;  // valid when Found
  std::string data;        // the raw bytes of the value, when Found
};

// A started process. Destroying it closes the thread handle, then the process handle; the
// process itself keeps running.
class StartedProcess {
 public:
  virtual ~StartedProcess() = default;
  // Blocks until the process is idle for input (no time-out); the result is not reported.
  virtual void WaitForInputIdle() = 0;
  virtual std::uint32_t MainThreadId() const = 0;
};

// Where a code address lies: the file name of its module (full path) and the module's base.
struct CodeLocation {
  std::string moduleFileName;
  std::uintptr_t moduleBase = 0;
  bool inModule = false;
};

class Services {
 public:
  virtual ~Services() = default;

  // --- windows and delivery
  // A top-level window whose class and title both match exactly, 0 when none.
  virtual WindowHandle FindWindow(const char* className, const char* title) = 0;
  virtual WindowHandle GetParent(WindowHandle wnd) = 0;
  // At most maxCount - 1 characters of the title (maxCount counts the terminator).
  virtual std::string GetWindowText(WindowHandle wnd, int maxCount) = 0;
  // Calls visit for each top-level window of the thread, in the system's order, until visit
  // returns false. An exception thrown by visit stops the enumeration and is rethrown here.
  virtual void EnumThreadWindows(std::uint32_t threadId,
                                 const std::function<bool(WindowHandle)>& visit) = 0;
  // Sends WM_COPYDATA synchronously; returns the window procedure's answer, 0 when refused.
  virtual std::int32_t SendCopyData(WindowHandle target, std::int32_t dwData, const void* data,
                                    std::uint32_t size) = 0;

  // --- processes
  // Starts a process from a whole command line, shown normally, inheriting no handles. Empty when
  // the system could not create it.
  virtual std::unique_ptr<StartedProcess> CreateProcess(const char* commandLine) = 0;

  // --- registry: one value under HKEY_LOCAL_MACHINE, key opened for full access, not created.
  virtual RegistryRead ReadMachineValue(const char* subKey, const char* valueName) = 0;

  // --- identity and time
  // The text form of a new GUID, as the system writes it.
  virtual std::string NewGuidText() = 0;
  virtual LocalTime GetLocalTime() = 0;
  // The zone's Bias member, in minutes (UTC = local + bias); empty when the system cannot say.
  virtual std::optional<std::int32_t> TimeZoneBias() = 0;
  virtual std::uint32_t CurrentProcessId() = 0;
  virtual std::uint32_t CurrentThreadId() = 0;
  // The computer name, read with a buffer of 16 characters; empty when the call fails.
  virtual std::optional<std::string> ComputerName() = 0;
  // Full path of the host process's executable (room for 260 characters).
  virtual std::string MainModuleFileName() = 0;
  // Full path of this library's own module.
  virtual std::string LibraryFileName() = 0;
  // Which module holds a code address.
  virtual CodeLocation LocateCode(std::uintptr_t address) = 0;

  // --- memory and locale
  virtual MemoryFigures GlobalMemoryStatus() = 0;
  virtual HeapFigures HeapStatus() = 0;
  virtual LocaleSettings UserLocale() = 0;
};

}  // namespace wl::platform

namespace wl {

// The services installed for this process. Installing nullptr removes them.
platform::Services& sys();
void InstallServices(platform::Services* services);
bool ServicesInstalled();

}  // namespace wl
