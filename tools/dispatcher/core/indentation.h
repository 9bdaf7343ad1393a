// Per-thread nesting of method marks.
//
// Every sending thread (process id and thread id) has a stack of the methods it entered. An
// enter mark is shown at the thread's depth and then pushes its name; an exit mark that names
// a method on the stack pops down to it and is shown at the depth it restores, so an exit that
// was never sent (an error path that skipped it) costs only the levels it skipped. An exit that
// names no entered method changes nothing and is shown as unmatched.
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
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace wl::dispatcher {

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
