#include "tests/wine/packet_file.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace wl::wine_test {
namespace {

constexpr std::size_t kHeaderSize = 8;

std::uint32_t ReadLe32(const std::uint8_t* at) {
  return std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8 | std::uint32_t{at[2]} << 16 |
         std::uint32_t{at[3]} << 24;
}

void AppendLe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

}  // namespace

std::vector<std::uint8_t> EncodeRecord(std::uint32_t kind, const void* data, std::uint32_t size) {
  std::vector<std::uint8_t> record;
  AppendLe32(record, kind);
  AppendLe32(record, size);
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  record.insert(record.end(), bytes, bytes + size);
  return record;
}

std::optional<std::vector<RecordedPacket>> ReadPacketFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  const std::vector<std::uint8_t> all{std::istreambuf_iterator<char>(file), {}};
  std::vector<RecordedPacket> packets;
  for (std::size_t at = 0; all.size() - at >= kHeaderSize;) {
    const std::uint32_t size = ReadLe32(&all[at + 4]);
    if (all.size() - at - kHeaderSize < size) break;
    const auto first = all.begin() + static_cast<std::ptrdiff_t>(at + kHeaderSize);
    packets.push_back({ReadLe32(&all[at]), {first, first + size}});
    at += kHeaderSize + size;
  }
  return packets;
}

std::int32_t PacketInt(const RecordedPacket& packet, std::size_t offset) {
  if (packet.bytes.size() < offset + 4) return 0;
  return static_cast<std::int32_t>(ReadLe32(&packet.bytes[offset]));
}

}  // namespace wl::wine_test
