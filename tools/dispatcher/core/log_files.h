// The log files: plain text always, JSON Lines beside it on request.
//
// Each file is opened for appending in binary mode, shared for reading (so that a follower in
// another session can read it while it grows), and flushed after every record: what the
// dispatcher has answered for is on its way to the disk before the next packet is taken.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "tools/dispatcher/core/router.h"

namespace wl::dispatcher {

class AppendFile {
 public:
  explicit AppendFile(const std::string& path);
  bool ok() const { return file_ != nullptr; }
  // Writes and flushes; false when either failed.
  bool Write(std::string_view bytes);

 private:
  struct Closer {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
};

// A log: the text file, and the JSON Lines file when asked for.
class LogSink : public Sink {
 public:
  LogSink(const std::string& textPath, bool withJson);
  bool ok() const;
  void Write(const Record& r) override;
  std::uint64_t failures() const { return failures_; }

 private:
  AppendFile text_;
  std::unique_ptr<AppendFile> json_;
  std::uint64_t failures_ = 0;
};

// "dir/WLDispatcher.log" gives "dir/WLDispatcher.jsonl"; a path without ".log" gets ".jsonl"
// appended.
std::string JsonPathFor(std::string_view textPath);
// The text log of a destination beside the main log: "dir/WLDispatcher.orders.log".
std::string DestinationLogPath(std::string_view mainTextPath, std::string_view key);

// Makes the destination logs beside a main log, with or without JSON.
DestinationSinkFactory LogFactoryBeside(std::string mainTextPath, bool withJson);

}  // namespace wl::dispatcher
