#include "tools/dispatcher/core/indentation.h"

namespace wl::dispatcher {
namespace {

std::string_view Cut(std::string_view name) { return name.substr(0, Indentation::kMaxNameLength); }

}  // namespace

int Indentation::Enter(std::uint32_t processId, std::uint32_t threadId, std::string_view name) {
  const Key key{processId, threadId};
  auto it = stacks_.find(key);
  if (it == stacks_.end()) {
    if (stacks_.size() >= kMaxThreads) return 0;
    it = stacks_.emplace(key, std::vector<std::string>{}).first;
  }
  const int depth = static_cast<int>(it->second.size());
  if (it->second.size() < kMaxDepth) it->second.emplace_back(Cut(name));
  return depth;
}

Indentation::Exit Indentation::Leave(std::uint32_t processId, std::uint32_t threadId,
                                     std::string_view name) {
  const auto it = stacks_.find(Key{processId, threadId});
  if (it == stacks_.end()) return {0, false};
  std::vector<std::string>& stack = it->second;
  const std::string_view wanted = Cut(name);
  for (std::size_t level = stack.size(); level-- > 0;) {
    if (stack[level] != wanted) continue;
    stack.resize(level);
    if (stack.empty()) stacks_.erase(it);
    return {static_cast<int>(level), true};
  }
  return {static_cast<int>(stack.size()), false};
}

int Indentation::Depth(std::uint32_t processId, std::uint32_t threadId) const {
  const auto it = stacks_.find(Key{processId, threadId});
  return it == stacks_.end() ? 0 : static_cast<int>(it->second.size());
}

void Indentation::DropProcess(std::uint32_t processId) {
  auto it = stacks_.lower_bound(Key{processId, 0});
  while (it != stacks_.end() && it->first.first == processId) it = stacks_.erase(it);
}

}  // namespace wl::dispatcher
