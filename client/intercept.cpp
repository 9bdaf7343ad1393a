// Offering messages to a host's OnSendMsg handler.
#include "client/WLIntf.h"

namespace wl {

bool TWrenlog::DoSendMsg(std::int32_t, const char*, const char*, const std::string&,
                         const TWLTimeStamp&, bool&) {
  return false;
}

}  // namespace wl
