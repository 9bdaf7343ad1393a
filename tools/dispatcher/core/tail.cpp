#include "tools/dispatcher/core/tail.h"

#include "tools/dispatcher/core/record.h"

namespace wl::dispatcher {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

int SeekTo(std::FILE* f, std::int64_t offset, int whence) {
#ifdef _WIN32
  return _fseeki64(f, offset, whence);
#else
  return fseeko(f, static_cast<off_t>(offset), whence);
#endif
}

std::int64_t Tell(std::FILE* f) {
#ifdef _WIN32
  return _ftelli64(f);
#else
  return static_cast<std::int64_t>(ftello(f));
#endif
}

}  // namespace

// Unbuffered: a buffer kept across polls would hand out stale bytes after the file was
// replaced, since seeking inside the buffer does not read again.
bool TailFollower::Reopen() {
  if (file_) return true;
  file_.reset(std::fopen(path_.c_str(), "rb"));
  if (file_) std::setvbuf(file_.get(), nullptr, _IONBF, 0);
  return file_ != nullptr;
}

std::size_t TailFollower::Poll(const LineOut& out) {
  if (!Reopen() || SeekTo(file_.get(), 0, SEEK_END) != 0) return 0;
  const std::int64_t size = Tell(file_.get());
  if (size < offset_) {  // a new file at the same path
    offset_ = 0;
    partial_.clear();
  }
  if (size <= offset_ || SeekTo(file_.get(), offset_, SEEK_SET) != 0) return 0;
  char buffer[kChunk];
  std::size_t lines = 0;
  while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, file_.get())) {
    offset_ += static_cast<std::int64_t>(n);
    partial_.append(buffer, n);
    lines += HandOut(out);
  }
  return lines;
}

// Hands out the complete lines of partial_ and keeps the rest.
std::size_t TailFollower::HandOut(const LineOut& out) {
  std::size_t start = 0, lines = 0;
  for (std::size_t end; (end = partial_.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string_view line = std::string_view(partial_).substr(start, end + 1 - start);
    if (IsStopLine(line)) sawStop_ = true;
    out(line);
    ++lines;
  }
  partial_.erase(0, start);
  if (partial_.size() >= kMaxLine) {
    out(partial_);
    partial_.clear();
    ++lines;
  }
  return lines;
}

int RunTail(TailFollower& follower, const TailSettings& settings, const LineOut& out,
            const std::function<bool()>& stopRequested, const std::function<void(int)>& sleepMs) {
  int idleMs = 0;
  while (!stopRequested()) {
    if (follower.Poll(out) > 0) idleMs = 0;
    if (settings.untilStopped && follower.sawStop()) break;
    if (settings.untilIdleMs >= 0 && idleMs >= settings.untilIdleMs) break;
    sleepMs(settings.pollMs);
    idleMs += settings.pollMs;
  }
  return 0;
}

}  // namespace wl::dispatcher
