// The real services: every member calls the Win32 function of the same name (A variants).
#pragma once

#include "platform/services.h"

namespace wl::platform {

class Win32Services : public Services {
 public:
  // windows and delivery (win32_windows.cpp)
  WindowHandle FindWindow(const char* className, const char* title) override;
  WindowHandle GetParent(WindowHandle wnd) override;
  std::string GetWindowText(WindowHandle wnd, int maxCount) override;
  void EnumThreadWindows(std::uint32_t threadId,
                         const std::function<bool(WindowHandle)>& visit) override;
  std::int32_t SendCopyData(WindowHandle target, std::int32_t dwData, const void* data,
                            std::uint32_t size) override;

  // processes and registry (win32_process.cpp, win32_registry.cpp)
  std::unique_ptr<StartedProcess> CreateProcess(const char* commandLine) override;
  RegistryRead ReadMachineValue(const char* subKey, const char* valueName) override;

  // identity and time (win32_identity.cpp)
  std::string NewGuidText() override;
  LocalTime GetLocalTime() override;
  std::optional<std::int32_t> TimeZoneBias() override;
  std::uint32_t CurrentProcessId() override;
  std::uint32_t CurrentThreadId() override;
  std::optional<std::string> ComputerName() override;
  std::string MainModuleFileName() override;
  std::string LibraryFileName() override;
  CodeLocation LocateCode(std::uintptr_t address) override;

  // memory and locale (win32_memory.cpp, win32_locale.cpp)
  MemoryFigures GlobalMemoryStatus() override;
  HeapFigures HeapStatus() override;
  LocaleSettings UserLocale() override;
};

}  // namespace wl::platform
