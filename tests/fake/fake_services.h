// An in-process stand-in for the operating system, for the native tests.
//
// It holds windows (class, title, parent, owning thread, a window procedure), a registry,
// programs that a command line can start (each may create windows), a settable clock, zone,
// names, locale and memory figures. It records every delivery and the steps of every process
// start, and can be scripted to fail.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "client/link/packet.h"
#include "platform/services.h"

namespace wl::fake {

using platform::WindowHandle;

// One WM_COPYDATA as the fake saw it, with the answer it returned.
struct Delivery {
  WindowHandle target = 0;
  std::int32_t dwData = 0;
  std::vector<std::uint8_t> bytes;
  std::int32_t answer = 0;
};

// A decoded packet with owned texts, for assertions.
struct Packet {
  WindowHandle target = 0;
  std::int32_t answer = 0;
  std::int32_t dwData = 0;
  std::size_t size = 0;
  std::int32_t kind = 0, time = 0, date = 0, timeZoneBias = 0, categoryColor = 0;
  std::uint32_t processId = 0, threadId = 0;
  std::string connectionId, computerName, appName, category, objectClass, msg, details;
};

// The window procedure's answer to a delivery; the default answers 1.
using WindowProc = std::function<std::int32_t(const Delivery&)>;

struct Window {
  WindowHandle handle = 0;
  std::string className;
  std::string title;
  WindowHandle parent = 0;
  std::uint32_t threadId = 0;
  WindowProc proc;
  std::int32_t answer = 1;  // the answer of a window without a procedure
};

class FakeServices;
// What a started program does on its main thread before it first waits for input.
using Program = std::function<void(FakeServices& os, std::uint32_t mainThreadId)>;

class FakeServices final : public platform::Services {
 public:
  FakeServices();

  // --- scripting: windows
  WindowHandle AddWindow(const std::string& className, const std::string& title,
                         std::uint32_t threadId = 1, WindowHandle parent = 0,
                         WindowProc proc = nullptr);
  // A dispatcher window (the right class and title) on a thread of its own.
  WindowHandle AddDispatcher(std::int32_t answer = 1);
  void RemoveWindow(WindowHandle wnd);
  bool HasWindow(WindowHandle wnd) const;
  void SetTitle(WindowHandle wnd, const std::string& title);
  // Reading this window's title raises an error, as a failing text service would.
  void MakeTitleUnreadable(WindowHandle wnd);

  // --- scripting: registry (under HKEY_LOCAL_MACHINE)
  void SetRegistryValue(const std::string& subKey, const std::string& name, std::uint32_t type,
                        const std::string& data);
  void SetDispatcherPath(const std::string& commandLine, std::uint32_t type = platform::kRegString);
  void DenyKey(const std::string& subKey);  // the key exists but cannot be opened

  // --- scripting: programs. CreateProcess fails for a command line with no program.
  void AddProgram(const std::string& commandLine, Program program);
  // A program that creates a proper dispatcher window on its main thread.
  void AddDispatcherProgram(const std::string& commandLine, std::int32_t answer = 1);

  // --- the record
  std::vector<Delivery> Deliveries() const;
  std::vector<Packet> Packets() const;  // every delivery, decoded
  std::vector<std::string> Events() const;
  void ClearRecord();
  int CreateProcessCalls() const;

  // --- settable state (public for tests)
  platform::LocalTime now{2024, 5, 17, 13, 45, 30, 250};
  std::optional<std::int32_t> timeZoneBias = -60;
  std::uint32_t processId = 4242;
  std::optional<std::uint32_t> threadIdOverride;  // else a stable id per real thread
  std::optional<std::string> computerName = std::string("BUILDHOST");
  std::string mainModuleFileName = "C:\\Program Files\\Server\\bin\\dbserver.exe";
  std::string libraryFileName = "C:\\Program Files\\Server\\UDF\\Wrenbridge.dll";
  platform::MemoryFigures memory{42,          2147483647u, 1073741824u, 4294967295u,
                                 3000000000u, 2147352576u, 2000000000u};
  platform::HeapFigures heap{1048576, 524288, 524288, 300000, 200000,
                             120000,  60000,  20000,  4096,   0};
  platform::LocaleSettings locale;
  // When set, deliveries are answered but not recorded (for benchmarks).
  bool recordDeliveries = true;
  // When set, NewGuidText gives empty text, as a failed GUID creation would.
  bool guidFails = false;

  // --- platform::Services
  WindowHandle FindWindow(const char* className, const char* title) override;
  WindowHandle GetParent(WindowHandle wnd) override;
  std::string GetWindowText(WindowHandle wnd, int maxCount) override;
  void EnumThreadWindows(std::uint32_t threadId,
                         const std::function<bool(WindowHandle)>& visit) override;
  std::int32_t SendCopyData(WindowHandle target, std::int32_t dwData, const void* data,
                            std::uint32_t size) override;
  std::unique_ptr<platform::StartedProcess> CreateProcess(const char* commandLine) override;
  platform::RegistryRead ReadMachineValue(const char* subKey, const char* valueName) override;
  std::string NewGuidText() override;
  platform::LocalTime GetLocalTime() override { return now; }
  std::optional<std::int32_t> TimeZoneBias() override { return timeZoneBias; }
  std::uint32_t CurrentProcessId() override { return processId; }
  std::uint32_t CurrentThreadId() override;
  std::optional<std::string> ComputerName() override { return computerName; }
  std::string MainModuleFileName() override { return mainModuleFileName; }
  std::string LibraryFileName() override { return libraryFileName; }
  platform::CodeLocation LocateCode(std::uintptr_t address) override;
  platform::MemoryFigures GlobalMemoryStatus() override;
  platform::HeapFigures HeapStatus() override { return heap; }
  platform::LocaleSettings UserLocale() override { return locale; }

  void RecordEvent(std::string event);

 private:
  const Window* Find(WindowHandle wnd) const;
  // A dispatcher window that answers every delivery with answer, without a procedure: nothing
  // is copied for it unless deliveries are recorded.
  WindowHandle AddDispatcherWindow(std::uint32_t threadId, std::int32_t answer);

  mutable std::recursive_mutex lock_;
  std::vector<Window> windows_;
  WindowHandle nextHandle_ = 0x1000;
  std::uint32_t nextThread_ = 100;
  std::uint32_t nextProcess_ = 9000;
  std::uint32_t guidCounter_ = 0;
  struct Value {
    std::uint32_t type;
    std::string data;
  };
  std::map<std::string, std::map<std::string, Value>> registry_;
  std::vector<std::string> deniedKeys_;
  std::vector<WindowHandle> unreadableTitles_;
  std::map<std::string, Program> programs_;
  std::vector<Delivery> deliveries_;
  std::vector<std::string> events_;
  int createProcessCalls_ = 0;
};

// Decodes one delivery; a delivery that is not a well-formed packet fails the calling test.
Packet Decode(const Delivery& delivery);

}  // namespace wl::fake
