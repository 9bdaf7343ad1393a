#include "tools/dispatcher/core/indentation.h"

namespace wl::dispatcher {
namespace {

std::string_view Cut(std::string_view name) { return name.substr(0, Indentation::kMaxNameLength); }

}  // namespace

std::map<Indentation::Key, Indentation::Stack>::iterator Indentation::FindOrAdd(const Key& key) {
  auto it = stacks_.find(key);
  if (it != stacks_.end()) return it;
  if (stacks_.size() >= kMaxThreads) EvictLeastRecent();
  return stacks_.emplace(key, Stack{}).first;
}

void Indentation::EvictLeastRecent() {
  auto oldest = stacks_.begin();
  for (auto it = stacks_.begin(); it != stacks_.end(); ++it)
    if (it->second.lastUse < oldest->second.lastUse) oldest = it;
  if (oldest != stacks_.end()) stacks_.erase(oldest);
}

int Indentation::Enter(std::uint32_t processId, std::uint32_t threadId, std::string_view name) {
  Stack& stack = FindOrAdd(Key{processId, threadId})->second;
  stack.lastUse = ++useCounter_;
  const int depth = static_cast<int>(stack.names.size());
  if (stack.names.size() < kMaxDepth) stack.names.emplace_back(Cut(name));
  return depth;
}

Indentation::Exit Indentation::Leave(std::uint32_t processId, std::uint32_t threadId,
                                     std::string_view name) {
  const auto it = stacks_.find(Key{processId, threadId});
  if (it == stacks_.end()) return {0, false};
  std::vector<std::string>& names = it->second.names;
  it->second.lastUse = ++useCounter_;
  const std::string_view wanted = Cut(name);
  for (std::size_t level = names.size(); level-- > 0;) {
    if (names[level] != wanted) continue;
    names.resize(level);
    if (names.empty()) stacks_.erase(it);
    return {static_cast<int>(level), true};
  }
  return {static_cast<int>(names.size()), false};
}

int Indentation::Depth(std::uint32_t processId, std::uint32_t threadId) const {
  const auto it = stacks_.find(Key{processId, threadId});
  return it == stacks_.end() ? 0 : static_cast<int>(it->second.names.size());
}

}  // namespace wl::dispatcher
