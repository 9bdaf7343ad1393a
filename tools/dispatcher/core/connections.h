// The dispatcher's table of client connections, keyed by ConnectionId.
//
// mkConnect opens an entry, or re-announces one that exists (a client that found a new
// dispatcher window, or the same one again after a lookup that found none); mkDisconnect closes
// it. Every other packet of a known connection refreshes its last-seen stamp and fills the
// computer and application names, which a client's first mkConnect carries empty. The table is
// bounded: opening a connection in a full table evicts the one seen least recently.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "tools/dispatcher/core/record.h"

namespace wl::dispatcher {

// The destination of a connection that names none, and of packets of unknown connections.
inline constexpr std::string_view kViewerDestination = "Viewer";

struct Connection {
  std::string id;
  std::string destination;
  std::string computer;
  std::string app;
  std::uint32_t processId = 0;
  Stamp firstSeen;
  Stamp lastSeen;
  std::uint32_t announcements = 0;  // mkConnect packets, the first included
  std::uint64_t lastUse = 0;        // order of use, for eviction
};

// What a packet says about its sender, as the table needs it.
struct Sender {
  std::string_view connectionId;
  std::string_view computer;
  std::string_view app;
  std::uint32_t processId = 0;
  Stamp stamp;
};

class ConnectionTable {
 public:
  static constexpr std::size_t kDefaultCapacity = 1024;
  static constexpr std::size_t kMaxDestinationLength = 128;

  explicit ConnectionTable(std::size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

  enum class Opened { kNew, kReannounced };
  // Opens or re-announces the sender's connection with this destination (empty: "Viewer").
  // The sender's id must not be empty.
  Opened Open(const Sender& sender, std::string_view destination);
  // Refreshes a known connection; nullptr when the id is unknown.
  const Connection* Touch(const Sender& sender);
  // Removes the connection and returns what it was.
  std::optional<Connection> Close(std::string_view id);
  const Connection* Find(std::string_view id) const;

  std::size_t size() const { return entries_.size(); }
  std::uint64_t evicted() const { return evicted_; }

 private:
  void Refresh(Connection& c, const Sender& sender);
  void EvictLeastRecent();

  std::size_t capacity_;
  std::map<std::string, Connection, std::less<>> entries_;
  std::uint64_t useCounter_ = 0;
  std::uint64_t evicted_ = 0;
};

// ASCII letters compare equal to their other case, every other byte exactly (as the client
// compares destinations).
bool SameDestination(std::string_view a, std::string_view b);

}  // namespace wl::dispatcher
