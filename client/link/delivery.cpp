// Building a packet, delivering it, and finding the dispatcher window.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "client/WLIntf.h"
#include "client/link/packet.h"

namespace wl {
namespace {

constexpr const char* kDispatcherKey = "Software\\Tolvane\\Wrenlog\\2.0";

struct FreeBlock {
  void operator()(std::uint8_t* block) const { std::free(block); }
};
using PacketBlock = std::unique_ptr<std::uint8_t, FreeBlock>;

// Encode writes every byte of the block, zeros included, so clearing it here as well would only
// pass over the texts a second time.
PacketBlock Allocate(std::size_t size) {
  auto* block = static_cast<std::uint8_t*>(std::malloc(size));
  if (block == nullptr) throw std::bad_alloc();
  return PacketBlock(block);
}

// The command line stored under DispatcherPath; empty when the key or the value is missing.
std::string ReadDispatcherCommandLine(const std::string& valueName) {
  const platform::RegistryRead read = sys().ReadMachineValue(kDispatcherKey, valueName.c_str());
  if (read.status != platform::RegistryRead::Status::Found) return std::string();
  if (read.type != platform::kRegString && read.type != platform::kRegExpandString)
    Raise<Exception>("Invalid data type for '" + valueName + "'");
  const std::size_t nul = read.data.find('\0');
  return nul == std::string::npos ? read.data : read.data.substr(0, nul);
}

}  // namespace

std::int32_t TWrenlog::SendPacket(std::int32_t Kind, const char* Msg, const char* Details,
                                  const std::string& ObjectClass) {
  const TWLTimeStamp stamp = QueryTimeStamp();
  bool handled = true;
  if (DoSendMsg(Kind, Msg, Details, ObjectClass, stamp, handled) && handled) return 0;
  CheckDispatcher(Kind != mkDisconnect);

  packet::Fields f;
  f.kind = Kind;
  f.time = stamp.Time;
  f.date = stamp.Date;
  f.timeZoneBias = TimeZoneBias;
  const std::string_view msg(Msg ? Msg : "");
  f.msg = msg.substr(0, packet::MessageLength(msg));
  f.details = std::string_view(Details ? Details : "");
  f.connectionId = ConnectionId;
  f.computerName = ComputerName;
  f.appName = AppName;
  f.category = Category;
  f.categoryColor = CategoryColor;
  f.objectClass = ObjectClass;

  const std::size_t size = packet::PacketSize(f.msg.size(), f.details.size());
  PacketBlock block = Allocate(size);
  f.processId = QueryProcessId();
  f.threadId = QueryThreadId();
  packet::Encode(f, block.get());
  return DeliverPacket(Kind, static_cast<std::int32_t>(size), block.get());
}

std::int32_t TWrenlog::DeliverPacket(std::int32_t Kind, std::int32_t Size, const void* Packet) {
  return sys().SendCopyData(DispatcherWnd, Kind, Packet, static_cast<std::uint32_t>(Size));
}

std::int32_t TWrenlog::SendText(std::int32_t Kind, const char* Msg,
                                const std::string& ObjectClass) {
  return SendPacket(Kind, Msg, "", ObjectClass);
}

std::int32_t TWrenlog::SendStr(std::int32_t Kind, const std::string& Msg,
                               const std::string& ObjectClass) {
  return SendText(Kind, Msg.c_str(), ObjectClass);
}

WindowHandle TWrenlog::FindDispatcher(bool AllowLaunch) {
  WindowHandle wnd = sys().FindWindow(GetDispatcherClass().c_str(), GetDispatcherTitle().c_str());
  if (wnd != 0 || !AllowLaunch) return wnd;
  std::string commandLine = ReadDispatcherCommandLine(GetDispatcherPathValue());
  if (commandLine.empty()) commandLine = GetDispatcherExe();
  if (!commandLine.empty()) LaunchDispatcher(commandLine, wnd);
  // A start whose own window was not found may still have brought a dispatcher up (the
  // connect inside it can start a second one): look once more, so the message that caused the
  // start reaches that window instead of none.
  if (wnd == 0) wnd = sys().FindWindow(GetDispatcherClass().c_str(), GetDispatcherTitle().c_str());
  return wnd;
}

}  // namespace wl
