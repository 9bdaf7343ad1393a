// Encoding and validating decoding of message packets.
#include "client/link/packet.h"

#include <cstring>

namespace wl::packet {
namespace {

void PutInt(std::uint8_t* block, std::size_t offset, std::uint32_t value) {
  block[offset] = static_cast<std::uint8_t>(value);
  block[offset + 1] = static_cast<std::uint8_t>(value >> 8);
  block[offset + 2] = static_cast<std::uint8_t>(value >> 16);
  block[offset + 3] = static_cast<std::uint8_t>(value >> 24);
}

std::uint32_t GetInt(const std::uint8_t* bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes[offset]) |
         static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

// Copies at most capacity - 1 characters, up to the first NUL; the terminator stays inside.
void PutText(std::uint8_t* block, std::size_t offset, std::size_t capacity, std::string_view text) {
  std::size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
  if (n == 0) return;  // an empty view may carry no data pointer at all
  const void* nul = std::memchr(text.data(), '\0', n);
  if (nul != nullptr) n = static_cast<std::size_t>(static_cast<const char*>(nul) - text.data());
  std::memcpy(block + offset, text.data(), n);
}

// A bounded field is valid when its terminator lies inside it.
std::optional<std::string_view> GetText(const std::uint8_t* bytes, std::size_t offset,
                                        std::size_t capacity) {
  const void* nul = std::memchr(bytes + offset, '\0', capacity);
  if (nul == nullptr) return std::nullopt;
  const auto* begin = reinterpret_cast<const char*>(bytes + offset);
  return std::string_view(begin, static_cast<const char*>(nul) - begin);
}

}  // namespace

std::size_t MessageLength(std::string_view msg) {
  const std::size_t n = msg.size();
  if (n >= 2 && msg[n - 2] == '\r' && msg[n - 1] == '\n') return n - 2;
  return n;
}

void Encode(const Fields& f, std::uint8_t* block) {
  // Every byte is written: the fixed part is cleared first, the text follows, then its NUL and
  // the two zero bytes. The block needs no clearing beforehand, so the texts are written once.
  std::memset(block, 0, kText);
  PutInt(block, kKind, static_cast<std::uint32_t>(f.kind));
  PutInt(block, kTime, static_cast<std::uint32_t>(f.time));
  PutInt(block, kDate, static_cast<std::uint32_t>(f.date));
  PutInt(block, kTimeZoneBias, static_cast<std::uint32_t>(f.timeZoneBias));
  PutInt(block, kMsgLength, static_cast<std::uint32_t>(f.msg.size()));
  PutInt(block, kDetailsLength, static_cast<std::uint32_t>(f.details.size()));
  PutInt(block, kProcessId, f.processId);
  PutInt(block, kThreadId, f.threadId);
  PutText(block, kConnectionId, kConnectionIdSize, f.connectionId);
  PutText(block, kComputerName, kComputerNameSize, f.computerName);
  PutText(block, kAppName, kAppNameSize, f.appName);
  PutText(block, kCategory, kCategorySize, f.category);
  PutInt(block, kCategoryColor, static_cast<std::uint32_t>(f.categoryColor));
  PutText(block, kObjectClass, kObjectClassSize, f.objectClass);
  if (!f.msg.empty()) std::memcpy(block + kText, f.msg.data(), f.msg.size());
  if (!f.details.empty())
    std::memcpy(block + kText + f.msg.size(), f.details.data(), f.details.size());
  std::memset(block + kText + f.msg.size() + f.details.size(), 0, kFixedSize - kText);
}

std::optional<Fields> Decode(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kFixedSize) return std::nullopt;
  const std::uint8_t* b = bytes.data();
  const std::uint32_t msgLength = GetInt(b, kMsgLength);
  const std::uint32_t detailsLength = GetInt(b, kDetailsLength);
  // Compare in 64 bits: two lengths near 2^32 must not wrap into a plausible size.
  const std::uint64_t expected = std::uint64_t{kFixedSize} + msgLength + detailsLength;
  if (expected != bytes.size()) return std::nullopt;
  const std::size_t textEnd = kText + msgLength + detailsLength;
  if (b[textEnd] != 0 || b[textEnd + 1] != 0 || b[textEnd + 2] != 0) return std::nullopt;

  auto connectionId = GetText(b, kConnectionId, kConnectionIdSize);
  auto computerName = GetText(b, kComputerName, kComputerNameSize);
  auto appName = GetText(b, kAppName, kAppNameSize);
  auto category = GetText(b, kCategory, kCategorySize);
  auto objectClass = GetText(b, kObjectClass, kObjectClassSize);
  if (!connectionId || !computerName || !appName || !category || !objectClass) return std::nullopt;

  Fields f;
  f.kind = static_cast<std::int32_t>(GetInt(b, kKind));
  f.time = static_cast<std::int32_t>(GetInt(b, kTime));
  f.date = static_cast<std::int32_t>(GetInt(b, kDate));
  f.timeZoneBias = static_cast<std::int32_t>(GetInt(b, kTimeZoneBias));
  f.processId = GetInt(b, kProcessId);
  f.threadId = GetInt(b, kThreadId);
  f.connectionId = *connectionId;
  f.computerName = *computerName;
  f.appName = *appName;
  f.category = *category;
  f.categoryColor = static_cast<std::int32_t>(GetInt(b, kCategoryColor));
  f.objectClass = *objectClass;
  const auto* text = reinterpret_cast<const char*>(b + kText);
  f.msg = std::string_view(text, msgLength);
  f.details = std::string_view(text + msgLength, detailsLength);
  return f;
}

}  // namespace wl::packet
