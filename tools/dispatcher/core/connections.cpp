#include "tools/dispatcher/core/connections.h"

namespace wl::dispatcher {
namespace {

char LowerAscii(char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch + 32) : ch; }

std::string DestinationOf(std::string_view text) {
  if (text.empty()) return std::string(kViewerDestination);
  return std::string(text.substr(0, ConnectionTable::kMaxDestinationLength));
}

}  // namespace

bool SameDestination(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

ConnectionTable::Opened ConnectionTable::Open(const Sender& sender, std::string_view destination) {
  auto it = entries_.find(sender.connectionId);
  const Opened result = it == entries_.end() ? Opened::kNew : Opened::kReannounced;
  if (it == entries_.end()) {
    if (entries_.size() >= capacity_) EvictLeastRecent();
    Connection fresh;
    fresh.id = std::string(sender.connectionId);
    fresh.firstSeen = sender.stamp;
    it = entries_.emplace(fresh.id, std::move(fresh)).first;
  }
  it->second.destination = DestinationOf(destination);
  ++it->second.announcements;
  Refresh(it->second, sender);
  return result;
}

const Connection* ConnectionTable::Touch(const Sender& sender) {
  const auto it = entries_.find(sender.connectionId);
  if (it == entries_.end()) return nullptr;
  Refresh(it->second, sender);
  return &it->second;
}

std::optional<Connection> ConnectionTable::Close(std::string_view id) {
  const auto it = entries_.find(id);
  if (it == entries_.end()) return std::nullopt;
  Connection closed = std::move(it->second);
  entries_.erase(it);
  return closed;
}

const Connection* ConnectionTable::Find(std::string_view id) const {
  const auto it = entries_.find(id);
  return it == entries_.end() ? nullptr : &it->second;
}

void ConnectionTable::Refresh(Connection& c, const Sender& sender) {
  if (!sender.computer.empty()) c.computer = std::string(sender.computer);
  if (!sender.app.empty()) c.app = std::string(sender.app);
  c.processId = sender.processId;
  c.lastSeen = sender.stamp;
  c.lastUse = ++useCounter_;
}

void ConnectionTable::EvictLeastRecent() {
  auto oldest = entries_.begin();
  for (auto it = entries_.begin(); it != entries_.end(); ++it)
    if (it->second.lastUse < oldest->second.lastUse) oldest = it;
  if (oldest == entries_.end()) return;
  entries_.erase(oldest);
  ++evicted_;
}

}  // namespace wl::dispatcher
