// The dispatcher's bounded tables: client connections and the nesting of each thread.
//
// Connections are keyed by ConnectionId. mkConnect opens an entry, or re-announces one that exists
// (a client that found a new dispatcher window, or the same one again after a lookup that found
// none); mkDisconnect closes it. Every other packet of a known connection refreshes its last-seen
// stamp and fills the computer and application names, which a client's first mkConnect carries
// empty. The table is bounded: opening a connection in a full table evicts the one seen least
// recently.
//
// Nesting: every sending thread (process id and thread id) has a stack of the methods it entered.
// An enter mark is shown at the thread's depth and then pushes its name; an exit mark that names a
// method on the stack pops down to it and is shown at the depth it restores, so an exit that was
// never sent (an error path that skipped it) costs only the levels it skipped. An exit that names
// no entered method changes nothing and is shown as unmatched.
//
// The nesting belongs to the thread, not to its connection: a client that changes its
// destination reconnects inside a method and its marks still pair up.
//
// Everything is bounded: stored names are cut, a stack holds a limited number of levels, and a
// limited number of threads are tracked at a time (a thread whose stack empties is forgotten;
// in a full table the thread heard from least recently makes room).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

class Indentation {
 public:
  static constexpr std::size_t kMaxNameLength = 256;
  static constexpr std::size_t kMaxDepth = 64;
  static constexpr std::size_t kMaxThreads = 1024;

  struct Exit {
    int depth = 0;
    bool matched = false;
  };

  // The depth at which the enter mark is shown.
  int Enter(std::uint32_t processId, std::uint32_t threadId, std::string_view name);
  Exit Leave(std::uint32_t processId, std::uint32_t threadId, std::string_view name);
  // The depth of any other message of the thread.
  int Depth(std::uint32_t processId, std::uint32_t threadId) const;
  std::size_t ThreadCount() const { return stacks_.size(); }

 private:
  using Key = std::pair<std::uint32_t, std::uint32_t>;
  struct Stack {
    std::vector<std::string> names;
    std::uint64_t lastUse = 0;
  };
  std::map<Key, Stack>::iterator FindOrAdd(const Key& key);
  void EvictLeastRecent();

  std::map<Key, Stack> stacks_;
  std::uint64_t useCounter_ = 0;
};

}  // namespace wl::dispatcher
