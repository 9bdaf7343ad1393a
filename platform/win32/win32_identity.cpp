// Identity and time: GUID text, local time, zone bias, ids, computer and module names.
#include "platform/win32/win32_services.h"
#include "platform/win32/windows_include.h"

namespace wl::platform {
namespace {

constexpr DWORD kModuleNameSize = MAX_PATH;  // 260

std::string ModuleFileName(HMODULE module) {
  char name[kModuleNameSize] = {};
  const DWORD length = ::GetModuleFileNameA(module, name, kModuleNameSize);
  return std::string(name, length < kModuleNameSize ? length : kModuleNameSize - 1);
}

// The module that holds a code address, without taking a reference on it; null when none.
HMODULE ModuleAt(const void* address) {
  HMODULE module = nullptr;
  const DWORD flags =
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
  if (!::GetModuleHandleExA(flags, static_cast<LPCSTR>(address), &module)) return nullptr;
  return module;
}

// Plain narrowing: the GUID text holds only ASCII characters.
std::string Narrow(const wchar_t* text, int length) {
  std::string narrow;
  for (int i = 0; i < length && text[i] != L'\0'; ++i) narrow += static_cast<char>(text[i]);
  return narrow;
}

}  // namespace

std::string Win32Services::NewGuidText() {
  GUID guid{};
  if (FAILED(::CoCreateGuid(&guid))) return {};
  wchar_t text[256] = {};
  const int length = ::StringFromGUID2(guid, text, 255);
  return length > 0 ? Narrow(text, length) : std::string();
}

LocalTime Win32Services::GetLocalTime() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return LocalTime{now.wYear,   now.wMonth,  now.wDay,         now.wHour,
                   now.wMinute, now.wSecond, now.wMilliseconds};
}

std::optional<std::int32_t> Win32Services::TimeZoneBias() {
  TIME_ZONE_INFORMATION zone{};
  if (::GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) return std::nullopt;
  return static_cast<std::int32_t>(zone.Bias);
}

std::uint32_t Win32Services::CurrentProcessId() { return ::GetCurrentProcessId(); }
std::uint32_t Win32Services::CurrentThreadId() { return ::GetCurrentThreadId(); }

std::optional<std::string> Win32Services::ComputerName() {
  char name[16] = {};
  DWORD size = 16;
  if (!::GetComputerNameA(name, &size)) return std::nullopt;
  return std::string(name, size < 16 ? size : 15);
}

std::string Win32Services::MainModuleFileName() { return ModuleFileName(nullptr); }

std::string Win32Services::LibraryFileName() {
  // Any code address inside this module names it: the DLL when linked into it.
  const HMODULE self = ModuleAt(reinterpret_cast<const void*>(&ModuleAt));
  return self != nullptr ? ModuleFileName(self) : std::string();
}

CodeLocation Win32Services::LocateCode(std::uintptr_t address) {
  const HMODULE module = ModuleAt(reinterpret_cast<const void*>(address));
  if (module == nullptr) return CodeLocation{};
  return CodeLocation{ModuleFileName(module), reinterpret_cast<std::uintptr_t>(module), true};
}

}  // namespace wl::platform
