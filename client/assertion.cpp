// The module's assertion handler.
#include "client/WLIntf.h"

namespace wl {

void InstallAssertionHook() {}

}  // namespace wl
