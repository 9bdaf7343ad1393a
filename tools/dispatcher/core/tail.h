// Following a log file as it grows, from any session.
//
// The follower keeps a read offset into the file and hands out complete lines only (a line the
// dispatcher is still writing waits for its end). A file that shrank (a new log started at the
// same path) is read again from its start; a file that does not exist yet is waited for.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace wl::dispatcher {

using LineOut = std::function<void(std::string_view line)>;

class TailFollower {
 public:
  // A longer run of bytes without a line end is handed out as it is.
  static constexpr std::size_t kMaxLine = 1 << 20;

  explicit TailFollower(std::string path) : path_(std::move(path)) {}

  // Reads what was appended since the last poll; each complete line goes to out with its line
  // end. Returns the number of lines handed out.
  std::size_t Poll(const LineOut& out);
  // The dispatcher's stop record has been read.
  bool sawStop() const { return sawStop_; }

 private:
  struct Closer {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
  };
  bool Reopen();
  std::size_t HandOut(const LineOut& out);

  std::string path_;
  std::unique_ptr<std::FILE, Closer> file_;
  std::int64_t offset_ = 0;
  std::string partial_;
  bool sawStop_ = false;
};

struct TailSettings {
  int untilIdleMs = -1;       // stop after this long without a new line; -1: never
  bool untilStopped = false;  // stop after the dispatcher's stop record
  int pollMs = 100;
};

// Polls until told to stop (stopRequested), or until a condition of the settings holds.
// sleepMs waits between polls. Returns 0.
int RunTail(TailFollower& follower, const TailSettings& settings, const LineOut& out,
            const std::function<bool()>& stopRequested, const std::function<void(int)>& sleepMs);

}  // namespace wl::dispatcher
