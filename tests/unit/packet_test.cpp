// The packet's bytes as the client writes them, and what the decoder refuses.
#include <gtest/gtest.h>

#include <cstring>

#include "client/link/packet.h"
#include "tests/fake/client_fixture.h"
#include "udf/exports.h"

namespace wl {
namespace {

using fake::ClientTest;

std::int32_t At(const std::vector<std::uint8_t>& b, std::size_t offset) {
  std::int32_t v;
  std::memcpy(&v, b.data() + offset, 4);
  return v;
}

class PacketTest : public ClientTest {
 protected:
  // The bytes of the one message packet a call produced, after any connection packets.
  std::vector<std::uint8_t> LastBytes() { return os->Deliveries().back().bytes; }
};

TEST_F(PacketTest, AbcIsTwoHundredTwentyThreeBytesWithEveryFieldInPlace) {
  os->AddDispatcher();
  client().Category = "Orders";
  ASSERT_EQ(wlSendMsg("abc"), 0);
  const auto b = LastBytes();
  ASSERT_EQ(b.size(), 223u);
  EXPECT_EQ(At(b, packet::kKind), mkMessage);
  EXPECT_EQ(At(b, packet::kTime), ((13 * 60 + 45) * 60 + 30) * 1000 + 250);
  EXPECT_EQ(At(b, packet::kDate), DayNumber(2024, 5, 17));
  EXPECT_EQ(At(b, packet::kTimeZoneBias), -60);
  EXPECT_EQ(At(b, packet::kMsgLength), 3);
  EXPECT_EQ(At(b, packet::kDetailsLength), 0);
  EXPECT_EQ(At(b, packet::kProcessId), 4242);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[packet::kCategory])), "Orders");
  EXPECT_EQ(At(b, packet::kCategoryColor), clWindow);
  EXPECT_EQ(std::string(b.begin() + 217, b.begin() + 220), "abc");
  EXPECT_EQ(b[220] | b[221] | b[222], 0);
  EXPECT_EQ(os->Deliveries().back().dwData, mkMessage);
}

TEST_F(PacketTest, EveryByteNoFieldWritesIsZero) {
  os->AddDispatcher();
  ASSERT_EQ(wlSendMsg(""), 0);
  const auto b = LastBytes();
  ASSERT_EQ(b.size(), 220u);
  // Text fields hold their text and then zeros to the end of the field.
  auto checkTail = [&](std::size_t offset, std::size_t size) {
    const std::size_t len = std::strlen(reinterpret_cast<const char*>(&b[offset]));
    for (std::size_t i = offset + len; i < offset + size; ++i) EXPECT_EQ(b[i], 0) << i;
  };
  checkTail(packet::kConnectionId, packet::kConnectionIdSize);
  checkTail(packet::kComputerName, packet::kComputerNameSize);
  checkTail(packet::kAppName, packet::kAppNameSize);
  checkTail(packet::kCategory, packet::kCategorySize);
  checkTail(packet::kObjectClass, packet::kObjectClassSize);
  for (std::size_t i = 217; i < 220; ++i) EXPECT_EQ(b[i], 0);
}

struct CrLfCase {
  const char* text;
  std::size_t msgLength;
  const char* sent;
};

TEST_F(PacketTest, OnlyAFinalCrLfIsDropped) {
  const CrLfCase cases[] = {
      {"line\r\n", 4, "line"},   {"\r\n", 0, ""},           {"\n", 1, "\n"},
      {"a\n\r", 3, "a\n\r"},     {"a\n", 2, "a\n"},         {"a\r", 2, "a\r"},
      {"a\r\n\r\n", 3, "a\r\n"}, {"\r\nmid", 5, "\r\nmid"},
  };
  os->AddDispatcher();
  for (const CrLfCase& c : cases) {
    os->ClearRecord();
    client().SendMsg(c.text);
    const fake::Packet p = packets().back();
    EXPECT_EQ(p.msg, c.sent) << c.text;
    EXPECT_EQ(p.size, 220 + c.msgLength) << c.text;
  }
}

TEST_F(PacketTest, DetailsKeepTheirCrLf) {
  os->AddDispatcher();
  client().SendPacket(mkMemoryStatus, "Memory Status\r\n", "a=1\r\nb=2\r\n", "");
  const fake::Packet p = packets().back();
  EXPECT_EQ(p.msg, "Memory Status");
  EXPECT_EQ(p.details, "a=1\r\nb=2\r\n");
  EXPECT_EQ(p.size, 220u + 13 + 10);
}

TEST_F(PacketTest, BoundedFieldsAreCutWithTheirTerminatorInside) {
  os->AddDispatcher();
  const std::string fifty(50, 'x');
  client().Category = fifty;
  client().SendPacket(mkObject, "m", "", fifty);
  const auto b = LastBytes();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[packet::kCategory]), 40),
            std::string(40, 'x'));
  EXPECT_EQ(b[packet::kCategory + 40], 0);
  EXPECT_EQ(b[packet::kObjectClass + 40], 0);
  EXPECT_EQ(packets().back().objectClass, std::string(40, 'x'));
}

TEST(PacketDecode, RefusesWhatDoesNotAddUp) {
  packet::Fields f;
  f.msg = "hello";
  f.details = "d\r\n";
  f.category = "cat";
  std::vector<std::uint8_t> good(packet::PacketSize(5, 3), 0);
  packet::Encode(f, good.data());
  ASSERT_TRUE(packet::Decode(good).has_value());
  EXPECT_EQ(packet::Decode(good)->details, "d\r\n");

  auto corrupt = [&](auto change) {
    auto bytes = good;
    change(bytes);
    return packet::Decode(bytes).has_value();
  };
  EXPECT_FALSE(corrupt([](auto& b) { b.pop_back(); }));
  EXPECT_FALSE(corrupt([](auto& b) { b.push_back(0); }));
  EXPECT_FALSE(corrupt([](auto& b) { b.resize(219); }));
  EXPECT_FALSE(corrupt([](auto& b) { b[packet::kMsgLength] = 6; }));
  EXPECT_FALSE(corrupt([](auto& b) { b[packet::kMsgLength + 3] = 0x80; }));
  EXPECT_FALSE(corrupt([](auto& b) { b[b.size() - 1] = 1; }));
  EXPECT_FALSE(
      corrupt([](auto& b) { std::memset(&b[packet::kCategory], 'c', packet::kCategorySize); }));
  EXPECT_FALSE(corrupt(
      [](auto& b) { std::memset(&b[packet::kConnectionId], '{', packet::kConnectionIdSize); }));
  // Lengths whose sum wraps around 32 bits must not pass for a small packet.
  EXPECT_FALSE(corrupt([](auto& b) {
    const std::uint32_t big = 0xFFFFFFFFu;
    std::memcpy(&b[packet::kMsgLength], &big, 4);
    const std::uint32_t rest = 9;
    std::memcpy(&b[packet::kDetailsLength], &rest, 4);
  }));
}

}  // namespace
}  // namespace wl
