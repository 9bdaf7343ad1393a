// Fuzz target: the packet decoder and the dispatcher's handling of one WM_COPYDATA.
//
// Input: one control byte, then the bytes delivered as lpData. Control byte:
//   bit 7 set: dwData is the low 7 bits; clear: dwData is the packet's own Kind (so that most
//   inputs get past the kind check);  bit 6 set: lpData is null (cbData stays the size).
// What must hold for any input: no crash and no read outside the bytes (AddressSanitizer); a
// packet the decoder refuses is answered 0; a decoded packet encodes back to the same fields;
// every record the dispatcher writes is escaped (its text form has no control bytes but line
// ends and tabs, its JSON form is printable ASCII).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "client/link/packet.h"
#include "tools/dispatcher/core/dispatcher.h"

namespace {

using namespace wl;
using namespace wl::dispatcher;

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

bool TextIsEscaped(const std::string& text) {
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if ((byte < 0x20 && ch != '\r' && ch != '\n' && ch != '\t') || byte == 0x7F) return false;
  }
  return text.size() >= 2 && text.ends_with("\r\n");
}

bool JsonIsAscii(const std::string& json) {
  for (std::size_t i = 0; i + 1 < json.size(); ++i)
    if (json[i] < 0x20 || json[i] > 0x7E) return false;
  return json.ends_with("}\n");
}

// Formats every record both ways and checks the escaping.
class CheckingSink : public Sink {
 public:
  void Write(const Record& r) override {
    Require(TextIsEscaped(FormatText(r)), "text form escaped");
    Require(JsonIsAscii(FormatJson(r)), "JSON form printable ASCII");
  }
};

bool SameFields(const packet::Fields& a, const packet::Fields& b) {
  return a.kind == b.kind && a.time == b.time && a.date == b.date &&
         a.timeZoneBias == b.timeZoneBias && a.processId == b.processId &&
         a.threadId == b.threadId && a.connectionId == b.connectionId &&
         a.computerName == b.computerName && a.appName == b.appName && a.category == b.category &&
         a.categoryColor == b.categoryColor && a.objectClass == b.objectClass && a.msg == b.msg &&
         a.details == b.details;
}

void CheckDecoder(std::span<const std::uint8_t> bytes) {
  const auto f = packet::Decode(bytes);
  if (!f) return;
  Require(packet::PacketSize(f->msg.size(), f->details.size()) == bytes.size(), "size adds up");
  std::vector<std::uint8_t> again(bytes.size(), 0);
  packet::Encode(*f, again.data());
  const auto g = packet::Decode(again);
  Require(g && SameFields(*f, *g), "decoded fields encode back to themselves");
}

Dispatcher& TheDispatcher() {
  static CheckingSink view, log;
  static Router router(&view, &log,
                       [](const std::string&) { return std::unique_ptr<Sink>(new CheckingSink); });
  static Dispatcher dispatcher(
      router,
      [] {
        return Stamp{739961, 0};
      },
      Self{});
  return dispatcher;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t control = data[0];
  const std::span<const std::uint8_t> bytes(data + 1, size - 1);
  CheckDecoder(bytes);
  std::uint64_t dwData = control & 0x7F;
  if ((control & 0x80) == 0 && bytes.size() >= 4) {
    std::uint32_t kind;
    std::memcpy(&kind, bytes.data(), 4);
    dwData = kind;
  }
  const void* lpData = (control & 0x40) != 0 ? nullptr : bytes.data();
  const std::int32_t answer = TheDispatcher().Handle(dwData, lpData, bytes.size());
  Require(answer == 0 || answer == 1, "answer is 0 or 1");
  if (lpData != nullptr && !packet::Decode(bytes)) Require(answer == 0, "undecodable refused");
  return 0;
}
