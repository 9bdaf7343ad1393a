// A client whose packets stay in memory and whose overridable steps can be scripted: the next
// send can be made to raise, and the one-argument marks and the destination setter record
// their calls, so that tests can see what reaches the virtual table.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "client/WLIntf.h"
#include "tests/unit/message_record.h"

namespace wl::fake {

class ScriptedClient : public TWrenlog {
 public:
  using TWrenlog::EnterMethod;
  using TWrenlog::ExitMethod;

  // Runs once, at the start of the next send, before anything is recorded.
  std::function<void()> beforeNextSend;
  std::vector<Sent> sent;
  std::vector<std::string> overrideCalls;

  std::int32_t SendPacket(std::int32_t Kind, const char* Msg, const char*,
                          const std::string&) override {
    if (beforeNextSend) std::exchange(beforeNextSend, nullptr)();
    sent.push_back({Kind, Msg});
    return 1;
  }
  void EnterMethod(const std::string& MethodName) override {
    overrideCalls.push_back("EnterMethod " + MethodName);
    TWrenlog::EnterMethod(MethodName);
  }
  void ExitMethod(const std::string& MethodName) override {
    overrideCalls.push_back("ExitMethod " + MethodName);
    TWrenlog::ExitMethod(MethodName);
  }
  void SetDestinationDetails(const std::string& Value) override {
    overrideCalls.push_back("SetDestinationDetails " + Value);
  }
};

}  // namespace wl::fake
