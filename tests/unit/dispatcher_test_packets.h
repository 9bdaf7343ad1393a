// Packets and sinks for the dispatcher's unit tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "client/link/packet.h"
#include "client/message_kinds.h"
#include "tools/dispatcher/core/router.h"

// Tests name only the fields of a Spec that matter to them; gcc 12 warns about the others even
// though every field has a default.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace wl::dispatcher::test {

inline constexpr const char* kIdA = "{0A1B2C3D-0000-4000-8000-00000000000A}";
inline constexpr const char* kIdB = "{0A1B2C3D-0000-4000-8000-00000000000B}";
inline constexpr std::int32_t kDec11th2026 = 739961;
inline constexpr std::int32_t kAt133015250 = ((13 * 60 + 30) * 60 + 15) * 1000 + 250;

// What a test packet says; the defaults make a plain message of a known connection.
struct Spec {
  std::int32_t kind = mkMessage;
  std::string id = kIdA;
  std::string computer = "DBHOST";
  std::string app = "server";
  std::string category = "Orders";
  std::uint32_t pid = 100;
  std::uint32_t tid = 7;
  std::string msg = "hello";
  std::string details;
};

inline std::vector<std::uint8_t> Bytes(const Spec& s) {
  packet::Fields f;
  f.kind = s.kind;
  f.time = kAt133015250;
  f.date = kDec11th2026;
  f.timeZoneBias = -60;
  f.processId = s.pid;
  f.threadId = s.tid;
  f.connectionId = s.id;
  f.computerName = s.computer;
  f.appName = s.app;
  f.category = s.category;
  f.categoryColor = 0x000000FF;
  f.msg = s.msg;
  f.details = s.details;
  std::vector<std::uint8_t> block(packet::PacketSize(s.msg.size(), s.details.size()), 0);
  packet::Encode(f, block.data());
  return block;
}

inline void PutInt(std::vector<std::uint8_t>& b, std::size_t offset, std::uint32_t v) {
  std::memcpy(b.data() + offset, &v, 4);
}

// Keeps what it is given.
class MemorySink : public Sink {
 public:
  void Write(const Record& r) override { records.push_back(r); }
  void Clear() override { ++clears; }
  std::vector<Record> records;
  int clears = 0;
};

}  // namespace wl::dispatcher::test
