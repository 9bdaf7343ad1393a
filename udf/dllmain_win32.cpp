// Wrenbridge.dll's entry point: the module's load and unload on the system's notifications.
//
// Load runs under the loader lock on the thread that loads the library; it creates the client
// and sends nothing. Unload sends the connected client's one mkDisconnect and frees it.
//
// At process exit (lpReserved != NULL) the system has already ended every other thread. One of
// them may have died inside an exported function, holding the client lock with the client
// half-changed; waiting for that lock would hang the server's exit for ever. So at process exit
// the unload runs only when the lock can be taken at once: the dispatcher still hears the
// disconnect in the usual case, and a process whose client was caught mid-call just ends. On a
// FreeLibrary the other threads are alive, and the unload waits for a running call to finish.
#include <mutex>

#include "client/WLIntf.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/windows_include.h"
#include "udf/module.h"

namespace {

wl::platform::Win32Services services;
bool loaded = false;

void Load() noexcept {
  try {
    wl::udf::WrenbridgeLoad(services);
    loaded = true;
  } catch (...) {
    // A load that failed half-way releases what it made; the library then refuses to load.
    try {
      wl::udf::WrenbridgeUnload();
    } catch (...) {
    }
  }
}

void Unload(bool processExit) noexcept {
  if (!loaded) return;
  loaded = false;
  try {
    std::unique_lock lock(wl::GlobalClientLock(), std::defer_lock);
    if (processExit && !lock.try_lock()) return;
    if (!processExit) lock.lock();
    wl::udf::WrenbridgeUnload();
  } catch (...) {
  }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      ::DisableThreadLibraryCalls(instance);
      Load();
      return loaded ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
      Unload(reserved != nullptr);
      return TRUE;
    default:
      return TRUE;
  }
}
