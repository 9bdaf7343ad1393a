// The connection with the dispatcher: opening it, announcing it again to a new dispatcher
// window, closing it, and reconnecting when the destination changes.
//
// The control packets go through the same SendPacket as every message, whose CheckDispatcher
// may start a dispatcher and connect again, so these operations nest on one thread. The order
// of their steps keeps the nesting finite for a dispatcher that keeps its contract:
// - RegisterConnection sets ConnectionId before it sends, so a nested check never connects again
//   and a Connect nested in the send (after a start) sends nothing;
// - Connecting is True while any Connect or Reregister runs, so a nested check never
//   re-announces; it is a depth, not one flag, so the end of a nested Connect keeps it True;
// - mkDisconnect never starts a dispatcher.
// A program that shows the dispatcher's title under another window class is found after each
// start but never by class and title, so every nested check would start it again; the budget of
// starts per outermost check (CheckScope) bounds that case as well.
#include "client/WLIntf.h"

namespace wl {
namespace {

// At most this many dispatcher starts for one message with the control packets nested in it:
// the first start, and the one retry that the connect packet's own check makes.
constexpr int kMaxStartsPerCheck = 2;

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Equal but for the case of the ASCII letters; every other byte, and the length, must match.
bool SameIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

}  // namespace

// Marks a Connect or Reregister under way for as long as it lives, errors included.
struct ConnectScope {
  explicit ConnectScope(TWrenlog& client) : c(client) {
    ++c.connectDepth_;
    c.Connecting = true;
  }
  ~ConnectScope() {
    --c.connectDepth_;
    c.Connecting = c.connectDepth_ > 0;
  }
  ConnectScope(const ConnectScope&) = delete;
  ConnectScope& operator=(const ConnectScope&) = delete;
  TWrenlog& c;
};

// Marks a CheckDispatcher under way; the outermost one opens a fresh budget of starts.
struct CheckScope {
  explicit CheckScope(TWrenlog& client) : c(client) {
    if (c.checkDepth_++ == 0) c.startsThisCheck_ = 0;
  }
  ~CheckScope() { --c.checkDepth_; }
  CheckScope(const CheckScope&) = delete;
  CheckScope& operator=(const CheckScope&) = delete;
  bool MayStart() const { return c.startsThisCheck_ < kMaxStartsPerCheck; }
  TWrenlog& c;
};

std::string TWrenlog::NewConnectionId() { return sys().NewGuidText(); }

void TWrenlog::RegisterConnection() {
  if (!ConnectionId.empty()) return;
  ConnectionId = NewConnectionId();
  // Without an identifier the nested check would connect again, and again: announce nothing and
  // let Connect switch the client off.
  if (ConnectionId.empty()) return;
  if (SendPacket(mkConnect, Destination().c_str(), "", std::string()) == 0) Enabled = false;
}

void TWrenlog::Connect() {
  ConnectScope scope(*this);
  RegisterConnection();
  // Registered also when nothing was sent or the dispatcher answered 0: the identifier stands.
  Registered = true;
  CacheComputerName();
  CacheAppName();
  if (ConnectionId.empty()) Enabled = false;
}

void TWrenlog::Reregister() {
  ConnectScope scope(*this);
  Registered = true;
  if (SendPacket(mkConnect, Destination().c_str(), "", std::string()) == 0) Enabled = false;
}

void TWrenlog::Disconnect() {
  if (ConnectionId.empty()) return;
  // Cleared before the send, so that the send cannot lead back here.
  Registered = false;
  SendStr(mkDisconnect, std::string(), std::string());
  ConnectionId.clear();
}

void TWrenlog::DispatcherChanged(WindowHandle Wnd) {
  if (ConnectionId.empty()) {
    Connect();
    return;
  }
  if (!Connecting && Wnd != DispatcherWnd && Wnd != 0) Reregister();
}

void TWrenlog::CheckDispatcher(bool AllowLaunch) {
  CheckScope scope(*this);
  const WindowHandle wnd = FindDispatcher(AllowLaunch && scope.MayStart());
  // Compares with the window of the previous check, then remembers this one, 0 included.
  DispatcherChanged(wnd);
  DispatcherWnd = wnd;
}

void TWrenlog::SetDestinationDetails(const std::string& Value) {
  if (SameIgnoringAsciiCase(Value, FDestinationDetails)) return;
  Disconnect();
  FDestinationDetails = Value;
  // Also without a connection before: a new destination opens one at once, Enabled or not.
  Connect();
}

void TWrenlog::CacheComputerName() {
  if (ComputerName.empty()) ComputerName = QueryComputerName();
}

void TWrenlog::CacheAppName() {
  if (AppName.empty()) AppName = QueryAppName();
}

std::string TWrenlog::Destination() const {
  return FDestinationDetails.empty() ? ObjectManager->DefaultDestination : FDestinationDetails;
}

}  // namespace wl
