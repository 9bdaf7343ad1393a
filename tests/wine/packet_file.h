// The recorder's packet file: one record per WM_COPYDATA it received, appended in order.
//
// A record is the message's dwData (4 bytes), its cbData (4 bytes), then cbData bytes of
// lpData; integers little-endian. The file is created empty once the recorder's window exists.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace wl::wine_test {

struct RecordedPacket {
  std::uint32_t kind = 0;           // dwData
  std::vector<std::uint8_t> bytes;  // lpData, cbData bytes
};

// Encodes one record.
std::vector<std::uint8_t> EncodeRecord(std::uint32_t kind, const void* data, std::uint32_t size);

// All complete records of the file; a record still being written at the end is left out.
// Empty when the file does not exist.
std::optional<std::vector<RecordedPacket>> ReadPacketFile(const std::string& path);

// The 32-bit little-endian integer at offset of a packet.
std::int32_t PacketInt(const RecordedPacket& packet, std::size_t offset);

}  // namespace wl::wine_test
