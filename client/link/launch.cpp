// Starting the dispatcher and finding its window.
#include "client/WLIntf.h"

namespace wl {

void TWrenlog::LaunchDispatcher(const std::string&, WindowHandle&) {}

WindowHandle TWrenlog::FindThreadWindow(std::uint32_t) { return 0; }

}  // namespace wl
