// The connection with the dispatcher.
#include "client/WLIntf.h"

namespace wl {

void TWrenlog::CheckDispatcher(bool AllowLaunch) { DispatcherWnd = FindDispatcher(AllowLaunch); }

void TWrenlog::DispatcherChanged(WindowHandle) {}
void TWrenlog::Connect() {}
void TWrenlog::Reregister() {}
void TWrenlog::Disconnect() {}

void TWrenlog::SetDestinationDetails(const std::string& Value) { FDestinationDetails = Value; }

std::string TWrenlog::Destination() const {
  return FDestinationDetails.empty() ? ObjectManager->DefaultDestination : FDestinationDetails;
}

}  // namespace wl
