#include "tools/dispatcher/core/dispatcher.h"

#include <initializer_list>
#include <span>

#include "client/message_kinds.h"

namespace wl::dispatcher {
namespace {

std::uint32_t ReadInt(const std::uint8_t* bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes[offset]) |
         static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

// Why the decoder refused a packet of at least the fixed size: its lengths, or its terminators.
Refusal WhyUndecodable(const std::uint8_t* bytes, std::size_t size) {
  const std::uint64_t expected = std::uint64_t{packet::kFixedSize} +
                                 ReadInt(bytes, packet::kMsgLength) +
                                 ReadInt(bytes, packet::kDetailsLength);
  return expected == size ? Refusal::kUnterminated : Refusal::kBadLengths;
}

Sender SenderOf(const packet::Fields& f) {
  return {f.connectionId, f.computerName, f.appName, f.processId, {f.date, f.time}};
}

// Built by appending: gcc 12 at -O3 warns falsely (-Wrestrict) about chains of operator+.
std::string Joined(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (const std::string_view part : parts) out.append(part);
  return out;
}

}  // namespace

const char* RefusalText(Refusal reason) {
  switch (reason) {
    case Refusal::kEmpty:
      return "no data";
    case Refusal::kNullData:
      return "null data pointer";
    case Refusal::kTooShort:
      return "shorter than the fixed part";
    case Refusal::kBadLengths:
      return "text lengths do not match the size";
    case Refusal::kUnterminated:
      return "missing terminator";
    case Refusal::kKindMismatch:
      return "dwData differs from the kind";
    case Refusal::kUnsupportedControl:
      return "unsupported control kind";
    case Refusal::kConnectWithoutId:
      return "connect without a connection id";
  }
  return "refused";
}

Record RecordOf(const packet::Fields& f) {
  Record r;
  r.stamp = {f.date, f.time};
  r.timeZoneBias = f.timeZoneBias;
  r.kind = f.kind;
  r.category = std::string(f.category);
  r.categoryColor = f.categoryColor;
  r.computer = std::string(f.computerName);
  r.app = std::string(f.appName);
  r.processId = f.processId;
  r.threadId = f.threadId;
  r.connectionId = std::string(f.connectionId);
  r.msg = std::string(f.msg);
  r.details = std::string(f.details);
  return r;
}

std::int32_t Dispatcher::Handle(std::uint64_t dwData, const void* data, std::size_t size) {
  if (size == 0) return Refuse(Refusal::kEmpty, dwData, size);
  if (data == nullptr) return Refuse(Refusal::kNullData, dwData, size);
  if (size < packet::kFixedSize) return Refuse(Refusal::kTooShort, dwData, size);
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  const std::optional<packet::Fields> f = packet::Decode(std::span(bytes, size));
  if (!f) return Refuse(WhyUndecodable(bytes, size), dwData, size);
  return HandleDecoded(dwData, *f, size);
}

std::int32_t Dispatcher::HandleDecoded(std::uint64_t dwData, const packet::Fields& f,
                                       std::size_t size) {
  if (dwData != static_cast<std::uint32_t>(f.kind))
    return Refuse(Refusal::kKindMismatch, dwData, size);
  if (f.kind == mkConnect) return HandleConnect(f, size);
  if (f.kind == mkDisconnect) return HandleDisconnect(f);
  if (IsControlKind(f.kind)) return Refuse(Refusal::kUnsupportedControl, dwData, size);
  return HandleMessage(f);
}

std::int32_t Dispatcher::HandleConnect(const packet::Fields& f, std::size_t size) {
  if (f.connectionId.empty()) return Refuse(Refusal::kConnectWithoutId, mkConnect, size);
  const auto opened = connections_.Open(SenderOf(f), f.msg);
  const Connection& c = *connections_.Find(f.connectionId);
  const bool fresh = opened == ConnectionTable::Opened::kNew;
  ++(fresh ? counters_.opened : counters_.reannounced);
  Record r = RecordOf(f);
  r.destination = c.destination;
  r.msg = Joined({fresh ? "open " : "re-announce ", c.id, " to '", c.destination, "'"});
  if (r.app.empty()) r.app = c.app;
  return Accept(r);
}

std::int32_t Dispatcher::HandleDisconnect(const packet::Fields& f) {
  const std::optional<Connection> closed = connections_.Close(f.connectionId);
  Record r = RecordOf(f);
  r.knownConnection = closed.has_value();
  r.destination = closed ? closed->destination : std::string(kViewerDestination);
  r.msg = Joined({closed ? "close " : "close unknown ", f.connectionId});
  if (closed) ++counters_.closed;
  return Accept(r);
}

std::int32_t Dispatcher::HandleMessage(const packet::Fields& f) {
  const Connection* c = f.connectionId.empty() ? nullptr : connections_.Touch(SenderOf(f));
  Record r = RecordOf(f);
  r.knownConnection = c != nullptr;
  r.destination = c ? c->destination : std::string(kViewerDestination);
  if (r.app.empty() && c) r.app = c->app;
  PlaceOnThread(f, r);
  return Accept(r);
}

// The record's indentation and mark from the thread's method marks.
void Dispatcher::PlaceOnThread(const packet::Fields& f, Record& r) {
  switch (f.kind) {
    case mkEnterMethod:
      r.depth = indentation_.Enter(f.processId, f.threadId, f.msg);
      r.mark = Mark::kEnter;
      return;
    case mkExitMethod: {
      const Indentation::Exit exit = indentation_.Leave(f.processId, f.threadId, f.msg);
      r.depth = exit.depth;
      r.mark = exit.matched ? Mark::kExit : Mark::kUnmatchedExit;
      return;
    }
    case mkSeparator:
      r.mark = Mark::kSeparator;
      break;
    case mkClear:
      r.mark = Mark::kClear;
      break;
    default:
      break;
  }
  r.depth = indentation_.Depth(f.processId, f.threadId);
}

std::int32_t Dispatcher::Accept(const Record& r) {
  ++counters_.accepted;
  router_.Route(r);
  return kAccepted;
}

std::int32_t Dispatcher::Refuse(Refusal reason, std::uint64_t dwData, std::size_t size) {
  ++counters_.refused;
  ++counters_.refusedBy[static_cast<std::size_t>(reason)];
  Report("refused packet: " + std::string(RefusalText(reason)) + " (dwData " +
         std::to_string(dwData) + ", " + std::to_string(size) + " bytes)");
  return kRefused;
}

void Dispatcher::Report(std::string text) {
  Record r;
  r.own = true;
  r.kind = -1;
  r.stamp = clock_ ? clock_() : Stamp{};
  r.computer = self_.computer;
  r.app = self_.app;
  r.processId = self_.processId;
  r.threadId = self_.threadId;
  r.destination = std::string(kViewerDestination);
  r.msg = std::move(text);
  router_.Route(r);
}

void Dispatcher::ReportStopped() {
  Report(std::string(kStoppedText) + ": " + std::to_string(counters_.accepted) + " accepted, " +
         std::to_string(counters_.refused) + " refused, " + std::to_string(connections_.size()) +
         " connections open");
}

}  // namespace wl::dispatcher
