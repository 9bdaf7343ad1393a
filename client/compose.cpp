// Composing messages: plain texts, values, marks, checkpoints and write messages.
#include "client/WLIntf.h"

namespace wl {

void TWrenlog::SendMsg(const std::string& Msg) {
  if (!Enabled) return;
  SendStr(mkMessage, Msg, std::string());
}

void TWrenlog::EnterMethod(const std::string&) {}
void TWrenlog::EnterMethod(TObject*, const std::string&) {}
void TWrenlog::EnterMethodFmt(const std::string&, const std::string&, FormatArgs) {}
void TWrenlog::ExitMethod(const std::string&) {}
void TWrenlog::ExitMethod(TObject*, const std::string&) {}
void TWrenlog::ExitMethodFmt(const std::string&, const std::string&, FormatArgs) {}

}  // namespace wl
