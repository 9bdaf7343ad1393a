#include "tools/dispatcher/core/routing.h"

#include "tools/dispatcher/core/tables.h"

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

namespace {

constexpr std::string_view kLogSuffix = ".log";

bool EndsWithLog(std::string_view path) {
  return path.size() >= kLogSuffix.size() &&
         path.substr(path.size() - kLogSuffix.size()) == kLogSuffix;
}

std::string_view Stem(std::string_view path) {
  return EndsWithLog(path) ? path.substr(0, path.size() - kLogSuffix.size()) : path;
}

}  // namespace

AppendFile::AppendFile(const std::string& path) : file_(std::fopen(path.c_str(), "ab")) {}

bool AppendFile::Write(std::string_view bytes) {
  if (!file_) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) == bytes.size();
  return std::fflush(file_.get()) == 0 && written;
}

LogSink::LogSink(const std::string& textPath, bool withJson) : text_(textPath) {
  if (withJson) json_ = std::make_unique<AppendFile>(JsonPathFor(textPath));
}

bool LogSink::ok() const { return text_.ok() && (!json_ || json_->ok()); }

void LogSink::Write(const Record& r) {
  if (!text_.Write(FormatText(r))) ++failures_;
  if (json_ && !json_->Write(FormatJson(r))) ++failures_;
}

std::string JsonPathFor(std::string_view textPath) {
  return std::string(Stem(textPath)) + ".jsonl";
}

std::string DestinationLogPath(std::string_view mainTextPath, std::string_view key) {
  return std::string(Stem(mainTextPath)) + "." + std::string(key) + std::string(kLogSuffix);
}

DestinationSinkFactory LogFactoryBeside(std::string mainTextPath, bool withJson) {
  return [mainTextPath = std::move(mainTextPath),
          withJson](const std::string& key) -> std::unique_ptr<Sink> {
    auto sink = std::make_unique<LogSink>(DestinationLogPath(mainTextPath, key), withJson);
    if (!sink->ok()) return nullptr;
    return sink;
  };
}

}  // namespace wl::dispatcher
