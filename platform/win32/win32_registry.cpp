// Reading one value under HKEY_LOCAL_MACHINE from a key opened for full access.
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/windows_include.h"

namespace wl::platform {
namespace {

// Empty when the key cannot be opened for any reason (missing, access denied).
win32::unique_hkey OpenMachineKey(const char* subKey) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
    return nullptr;
  }
  return win32::unique_hkey(key);
}

// One read of the value's type and bytes: the size first, then the bytes.
LONG QueryOnce(HKEY key, const char* valueName, RegistryRead& read) {
  DWORD type = 0, size = 0;
  LONG status = ::RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size);
  if (status != ERROR_SUCCESS) return status;
  read.data.assign(size, '\0');
  auto* bytes = reinterpret_cast<BYTE*>(read.data.data());
  status = ::RegQueryValueExA(key, valueName, nullptr, &type, bytes, &size);
  if (status != ERROR_SUCCESS) return status;
  read.data.resize(size);
  read.type = type;
  read.status = RegistryRead::Status::Found;
  return ERROR_SUCCESS;
}

// A value that grows between the two calls of a read is read again, a few times at most.
RegistryRead QueryValue(HKEY key, const char* valueName) {
  RegistryRead read;
  LONG status = ERROR_MORE_DATA;
  for (int attempt = 0; attempt < 4 && status == ERROR_MORE_DATA; ++attempt) {
    status = QueryOnce(key, valueName, read);
  }
  if (status == ERROR_SUCCESS) return read;
  RegistryRead missing;
  missing.status = RegistryRead::Status::ValueMissing;
  return missing;
}

}  // namespace

RegistryRead Win32Services::ReadMachineValue(const char* subKey, const char* valueName) {
  const win32::unique_hkey key = OpenMachineKey(subKey);
  if (!key) return RegistryRead{};
  return QueryValue(key.get(), valueName);
}

}  // namespace wl::platform
