// Where records go.
//
// Every record goes to the main log. A record whose destination is "Viewer" (in any letter case)
// also goes to the live view; a record for any other destination goes to that destination's own
// log instead, made on first use by a factory from a file-name key. At most a few destination
// logs are open at a time; the one used least recently is closed to make room (the logs append,
// so a reopened one loses nothing).
#pragma once

#include <cstddef>
#include <cstdint>
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

}  // namespace wl::dispatcher
