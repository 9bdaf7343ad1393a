// The dispatcher's handling of one WM_COPYDATA packet, free of any window system.
//
// Every packet is untrusted: it comes from any process on the desktop. Handle decodes it with the
// packet decoder, checks that the delivery's dwData names the same kind, keeps the connection
// table and the per-thread indentation, turns the packet into a record and routes it.
//
// Answers: 1 for every packet taken (mkConnect included, so the client stays enabled), 0 for
// every packet refused. A refused packet is counted by reason and reported as a record of the
// dispatcher's own; nothing of its bytes is shown.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "client/link/packet.h"
#include "tools/dispatcher/core/connections.h"
#include "tools/dispatcher/core/indentation.h"
#include "tools/dispatcher/core/router.h"

namespace wl::dispatcher {

enum class Refusal {
  kEmpty,               // cbData 0
  kNullData,            // lpData null with a size
  kTooShort,            // fewer bytes than the fixed part
  kBadLengths,          // the size is not the fixed part plus both text lengths
  kUnterminated,        // a text field or the text without its terminators
  kKindMismatch,        // dwData is not the packet's Kind
  kUnsupportedControl,  // a control kind other than mkConnect and mkDisconnect
  kConnectWithoutId,    // mkConnect with an empty ConnectionId
};
inline constexpr std::size_t kRefusalCount = 8;
const char* RefusalText(Refusal reason);

struct Counters {
  std::uint64_t accepted = 0;
  std::uint64_t refused = 0;
  std::array<std::uint64_t, kRefusalCount> refusedBy{};
  std::uint64_t opened = 0;
  std::uint64_t reannounced = 0;
  std::uint64_t closed = 0;
};

// The dispatcher process itself, for its own records.
struct Self {
  std::string app = "WLDispatcher";
  std::string computer;
  std::uint32_t processId = 0;
  std::uint32_t threadId = 0;
};

using Clock = std::function<Stamp()>;

class Dispatcher {
 public:
  static constexpr std::int32_t kAccepted = 1;
  static constexpr std::int32_t kRefused = 0;

  Dispatcher(Router& router, Clock clock, Self self)
      : router_(router), clock_(std::move(clock)), self_(std::move(self)) {}

  // One WM_COPYDATA: dwData, lpData and cbData as delivered. Returns the answer.
  std::int32_t Handle(std::uint64_t dwData, const void* data, std::size_t size);

  // A record of the dispatcher's own (start, stop, trouble), shown in the view and logged.
  void Report(std::string text);
  void ReportStopped();

  const Counters& counters() const { return counters_; }
  const ConnectionTable& connections() const { return connections_; }

 private:
  std::int32_t Refuse(Refusal reason, std::uint64_t dwData, std::size_t size);
  std::int32_t HandleDecoded(std::uint64_t dwData, const packet::Fields& f, std::size_t size);
  std::int32_t HandleConnect(const packet::Fields& f, std::size_t size);
  std::int32_t HandleDisconnect(const packet::Fields& f);
  std::int32_t HandleMessage(const packet::Fields& f);
  void PlaceOnThread(const packet::Fields& f, Record& r);
  std::int32_t Accept(const Record& r);

  Router& router_;
  Clock clock_;
  Self self_;
  ConnectionTable connections_;
  Indentation indentation_;
  Counters counters_;
};

// A record of the packet's fields, before routing and indentation.
Record RecordOf(const packet::Fields& f);

}  // namespace wl::dispatcher
