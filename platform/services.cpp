#include "platform/services.h"

#include <cstdlib>

namespace wl {
namespace {
platform::Services* installed = nullptr;
}

platform::Services& sys() {
  // The library installs its services before it creates any client; reaching here without them
  // is a programming error that must not limp on.
  if (!installed) std::abort();
  return *installed;
}

void InstallServices(platform::Services* services) { installed = services; }
bool ServicesInstalled() { return installed != nullptr; }

}  // namespace wl
