#include "tools/dispatcher/core/router.h"

#include "tools/dispatcher/core/connections.h"

namespace wl::dispatcher {
namespace {

constexpr std::size_t kMaxKeyLength = 40;

char KeyChar(char ch) {
  if (ch >= 'A' && ch <= 'Z') return static_cast<char>(ch + 32);
  if ((ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') || ch == '-' || ch == '_') return ch;
  return '_';
}

}  // namespace

std::string DestinationKey(std::string_view destination) {
  std::string key;
  for (const char ch : destination.substr(0, kMaxKeyLength)) key += KeyChar(ch);
  return key.empty() ? "_" : key;
}

void Router::Route(const Record& r) {
  if (log_ != nullptr) log_->Write(r);
  if (r.destination.empty() || SameDestination(r.destination, kViewerDestination)) {
    ToView(r);
    return;
  }
  if (Sink* sink = DestinationSink(r.destination)) sink->Write(r);
}

void Router::ToView(const Record& r) {
  if (view_ == nullptr) return;
  if (r.mark == Mark::kClear) view_->Clear();
  view_->Write(r);
}

Sink* Router::DestinationSink(std::string_view destination) {
  const std::string key = DestinationKey(destination);
  for (OpenDestination& open : open_) {
    if (open.key != key) continue;
    open.lastUse = ++useCounter_;
    return open.sink.get();
  }
  if (open_.size() >= kMaxOpenDestinations) CloseLeastRecent();
  open_.push_back({key, factory_ ? factory_(key) : nullptr, ++useCounter_});
  return open_.back().sink.get();
}

void Router::CloseLeastRecent() {
  auto oldest = open_.begin();
  for (auto it = open_.begin(); it != open_.end(); ++it)
    if (it->lastUse < oldest->lastUse) oldest = it;
  if (oldest != open_.end()) open_.erase(oldest);
}

}  // namespace wl::dispatcher
