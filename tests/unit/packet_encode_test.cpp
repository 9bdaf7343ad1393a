// The encoder writes every byte of the packet, so a block needs no clearing before it: whatever
// the block held, the bytes come out as those of a zero-filled block with the fields written in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/link/packet.h"

namespace wl {
namespace {

struct EncodeCase {
  const char* name;
  packet::Fields fields;
};

packet::Fields With(std::string_view msg, std::string_view details, std::string_view category,
                    std::string_view objectClass) {
  packet::Fields f;
  f.kind = 3;
  f.time = 49530250;
  f.date = 739023;
  f.timeZoneBias = -60;
  f.processId = 4242;
  f.threadId = 7001;
  f.connectionId = "{00000001-0000-4000-8000-000000000007}";
  f.computerName = "BUILDHOST";
  f.appName = "dbserver";
  f.category = category;
  f.categoryColor = 0x00FF8000;
  f.objectClass = objectClass;
  f.msg = msg;
  f.details = details;
  return f;
}

std::vector<std::uint8_t> EncodeOver(const packet::Fields& f, std::uint8_t fill) {
  std::vector<std::uint8_t> block(packet::PacketSize(f.msg.size(), f.details.size()), fill);
  packet::Encode(f, block.data());
  return block;
}

TEST(PacketEncodeTest, EveryByteIsWrittenWhateverTheBlockHeld) {
  const std::string fifty(50, 'c');
  const std::string withNul("ab\0cd", 5);
  const std::string big(5000, 'm');
  const EncodeCase cases[] = {
      {"all empty", packet::Fields{}},
      {"short texts", With("abc", "", "Orders", "TForm1")},
      {"message and details", With("head", "a=1\r\nb=2\r\n", "", "")},
      {"bounded fields over their capacity", With("x", "", fifty, fifty)},
      {"a bounded field with a NUL inside", With("y", "", withNul, withNul)},
      {"a long message", With(big, "tail", "c", "o")},
  };
  for (const EncodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<std::uint8_t> zeroed = EncodeOver(c.fields, 0x00);
    for (std::uint8_t fill : {0xA5, 0xFF, 0x01}) {
      EXPECT_EQ(EncodeOver(c.fields, fill), zeroed) << "fill " << int{fill};
    }
    ASSERT_TRUE(packet::Decode(zeroed).has_value());
    EXPECT_EQ(packet::Decode(zeroed)->msg, c.fields.msg);
    EXPECT_EQ(packet::Decode(zeroed)->details, c.fields.details);
  }
}

TEST(PacketEncodeTest, TheTextEndsInThreeZeroBytes) {
  const packet::Fields f = With("message", "details", "c", "o");
  const std::vector<std::uint8_t> block = EncodeOver(f, 0xEE);
  const std::size_t end = packet::kText + f.msg.size() + f.details.size();
  ASSERT_EQ(block.size(), end + 3);
  EXPECT_EQ(block[end], 0);
  EXPECT_EQ(block[end + 1], 0);
  EXPECT_EQ(block[end + 2], 0);
}

}  // namespace
}  // namespace wl
