// Where records go, and the log files they go to.
//
// Every record goes to the main log. A record whose destination is "Viewer" (in any letter case)
// also goes to the live view; a record for any other destination goes to that destination's own
// log instead, made on first use by a factory from a file-name key. At most a few destination
// logs are open at a time; the one used least recently is closed to make room (the logs append,
// so a reopened one loses nothing).
//
// The log files: plain text always, JSON Lines beside it on request. Each file is opened for
// appending in binary mode, shared for reading (so that a follower in another session can read it
// while it grows), and flushed after every record: what the dispatcher has answered for is on its
// way to the disk before the next packet is taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tools/dispatcher/core/record.h"

namespace wl::dispatcher {

class Sink {
 public:
  virtual ~Sink() = default;
  virtual void Write(const Record& r) = 0;
  // The view empties itself before it shows an mkClear record; a log keeps everything.
  virtual void Clear() {}
};

// Makes the log of a destination from its key; nullptr when it cannot be opened.
using DestinationSinkFactory = std::function<std::unique_ptr<Sink>(const std::string& key)>;

// A destination as a file-name part: letters, digits, "-" and "_" kept (letters in lower case,
// as destinations that differ only in case are one), every other byte "_", at most 40
// characters; never empty.
std::string DestinationKey(std::string_view destination);

class Router {
 public:
  static constexpr std::size_t kMaxOpenDestinations = 16;

  // view and log may be null (no view, no log file).
  Router(Sink* view, Sink* log, DestinationSinkFactory factory)
      : view_(view), log_(log), factory_(std::move(factory)) {}

  void Route(const Record& r);

 private:
  struct OpenDestination {
    std::string key;
    std::unique_ptr<Sink> sink;
    std::uint64_t lastUse = 0;
  };
  void ToView(const Record& r);
  Sink* DestinationSink(std::string_view destination);
  void CloseLeastRecent();

  Sink* view_;
  Sink* log_;
  DestinationSinkFactory factory_;
  std::vector<OpenDestination> open_;
  std::uint64_t useCounter_ = 0;
};

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
