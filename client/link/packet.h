// The byte layout of a message packet, its encoder and a validating decoder.
//
// A packet is 220 + MsgLength + DetailsLength bytes, zero-filled, little-endian:
//   0 Kind | 4 Time | 8 Date | 12 TimeZoneBias | 16 MsgLength | 20 DetailsLength | 24 ProcessId
//   28 ThreadId | 32 ConnectionId[42] | 74 ComputerName[16] | 90 AppName[41] | 131 Category[41]
//   172 CategoryColor | 176 ObjectClass[41] | 217 Text: message, details, NUL, two zero bytes
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace wl::packet {

constexpr std::size_t kKind = 0, kTime = 4, kDate = 8, kTimeZoneBias = 12, kMsgLength = 16,
                      kDetailsLength = 20, kProcessId = 24, kThreadId = 28;
constexpr std::size_t kConnectionId = 32, kConnectionIdSize = 42;
constexpr std::size_t kComputerName = 74, kComputerNameSize = 16;
constexpr std::size_t kAppName = 90, kAppNameSize = 41;
constexpr std::size_t kCategory = 131, kCategorySize = 41;
constexpr std::size_t kCategoryColor = 172;
constexpr std::size_t kObjectClass = 176, kObjectClassSize = 41;
constexpr std::size_t kText = 217;
constexpr std::size_t kFixedSize = 220;

// What a packet says, with every text field up to its terminator.
struct Fields {
  std::int32_t kind = 0;
  std::int32_t time = 0;
  std::int32_t date = 0;
  std::int32_t timeZoneBias = 0;
  std::uint32_t processId = 0;
  std::uint32_t threadId = 0;
  std::string_view connectionId;
  std::string_view computerName;
  std::string_view appName;
  std::string_view category;
  std::int32_t categoryColor = 0;
  std::string_view objectClass;
  std::string_view msg;      // MsgLength characters
  std::string_view details;  // DetailsLength characters
};

// The message length the packet carries: a final CR LF is dropped.
std::size_t MessageLength(std::string_view msg);

// Bytes needed for a packet with these texts.
inline std::size_t PacketSize(std::size_t msgLength, std::size_t detailsLength) {
  return kFixedSize + msgLength + detailsLength;
}

// Writes the packet into block, which must hold PacketSize(...) bytes; every byte is written, so
// the result is the same whatever the block held before (the zero-filled packet of the layout).
// f.msg must already be cut to MessageLength; bounded fields are cut to their capacity.
void Encode(const Fields& f, std::uint8_t* block);

// Reads a packet from untrusted bytes. Empty when the size, the lengths or the terminators do
// not add up. The views point into bytes.
std::optional<Fields> Decode(std::span<const std::uint8_t> bytes);

}  // namespace wl::packet
