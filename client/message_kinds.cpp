#include "client/message_kinds.h"

namespace wl {

const char* MessageKindName(std::int32_t kind) {
  switch (kind) {
    case mkMessage:
      return "mkMessage";
    case mkError:
      return "mkError";
    case mkCheckPoint:
      return "mkCheckPoint";
    case mkObject:
      return "mkObject";
    case mkNote:
      return "mkNote";
    case mkEnterMethod:
      return "mkEnterMethod";
    case mkExitMethod:
      return "mkExitMethod";
    case mkSeparator:
      return "mkSeparator";
    case mkClear:
      return "mkClear";
    case mkWrite:
      return "mkWrite";
    case mkMemoryStatus:
      return "mkMemoryStatus";
    case mkConnect:
      return "mkConnect";
    case mkDisconnect:
      return "mkDisconnect";
    default:
      return nullptr;
  }
}

}  // namespace wl
