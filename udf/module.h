// The library module's load and unload, in their fixed order.
#pragma once

#include "platform/services.h"

namespace wl::udf {

// Installs the services, reads the locale once, and starts the client unit. Sends nothing.
void WrenbridgeLoad(platform::Services& services, std::uint8_t assertionMode = 0);
// Stops the client unit: GlobalClient (one mkDisconnect if connected), then ObjectManager.
void WrenbridgeUnload();

}  // namespace wl::udf
