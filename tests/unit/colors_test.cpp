// The colour identifiers: the table's shape, name lookup and value lookup.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "client/colors.h"
#include "client/errors.h"

namespace wl {
namespace {

TEST(Colors, TableHas49UniqueNamesAndValuesThatRoundTrip) {
  const auto idents = ColorIdents();
  ASSERT_EQ(idents.size(), 49u);
  std::set<std::string> names;
  std::set<std::int32_t> values;
  for (const ColorIdent& c : idents) {
    names.insert(c.name);
    values.insert(c.value);
    EXPECT_EQ(ColorFromName(c.name), c.value) << c.name;
    EXPECT_STREQ(ColorToName(c.value), c.name) << c.name;
  }
  EXPECT_EQ(names.size(), 49u);
  EXPECT_EQ(values.size(), 49u);
}

struct NameCase {
  const char* name;
  std::optional<std::uint32_t> value;
};

TEST(Colors, NamesMatchWholeWithAsciiLettersFoldedOnly) {
  const NameCase cases[] = {
      {"clRed", 0x000000FF},
      {"CLRED", 0x000000FF},
      {"clred", 0x000000FF},
      {"clBlack", 0x00000000},
      {"clScrollBar", 0x80000000},
      {"clWindow", 0x80000005},
      {"clNone", 0x1FFFFFFF},
      {"clDefault", 0x20000000},
      {"CL3DLIGHT", 0x80000016},
      {"clgradientinactivecaption", 0x8000001C},
      {"clMedGray", 0x00A4A0A0},
      {"clSkyBlue", 0x00F0CAA6},
      {"clRed ", std::nullopt},
      {" clRed", std::nullopt},
      {"clRe", std::nullopt},
      {"clRedd", std::nullopt},
      {"", std::nullopt},
      {"$000000FF", std::nullopt},
      {"0x000000FF", std::nullopt},
      {"255", std::nullopt},
      {"cl\x13"
       "DLight",
       std::nullopt},  // '3' with the case bit cleared is not '3'
      {"cl\xD2"
       "ed",
       std::nullopt},  // a non-ASCII byte never folds to a letter
  };
  for (const NameCase& c : cases) {
    const std::optional<std::int32_t> expected =
        c.value ? std::optional<std::int32_t>(static_cast<std::int32_t>(*c.value)) : std::nullopt;
    EXPECT_EQ(ColorFromName(c.name), expected) << '"' << c.name << '"';
  }
}

TEST(Colors, NamesWithANulInsideDoNotMatch) {
  EXPECT_EQ(ColorFromName(std::string_view("clRed\0", 6)), std::nullopt);
}

TEST(Colors, ColorByNameRaisesForAnUnknownName) {
  EXPECT_EQ(ColorByName("clAqua"), 0x00FFFF00);
  try {
    ColorByName("clAquamarine");
    FAIL() << "no error raised";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.ClassName(), "Exception");
    EXPECT_EQ(e.Message(), "No such color");
  }
}

TEST(Colors, ValuesWithoutAnIdentifierHaveNoName) {
  for (std::uint32_t value : {0x12345678u, 0x80000019u, 0x000000FEu, 0xFFFFFFFFu})
    EXPECT_EQ(ColorToName(static_cast<std::int32_t>(value)), nullptr) << std::hex << value;
}

}  // namespace
}  // namespace wl
