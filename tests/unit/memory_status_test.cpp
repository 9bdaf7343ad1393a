// The memory report: twenty lines of heap and system figures, grouped by the locale's
// thousands separator, and the one mkMemoryStatus message that carries them.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/fake/client_fixture.h"

namespace wl {
namespace {

using fake::ClientTest;
using fake::FakeServices;

// Figures that exercise zero, one group, the largest count and a number above 2^31, each
// distinct within its snapshot so that a figure on the wrong line shows.
void SetFigures(FakeServices& os) {
  os.heap = {0, 1234, 4294967295u, 1234567, 10, 4, 5, 1, 999, 7};
  os.memory = {1234, 4294967295u, 2147483648u, 0, 1000, 65536, 1};
}

class MemoryStatusTest : public ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    os->AddDispatcher();
    SetFigures(*os);
  }
};

class SeparatorCase : public ClientTest, public ::testing::WithParamInterface<char> {
 protected:
  void Configure(FakeServices& fake) override {
    fake.locale.thousandSeparator = GetParam();
    SetFigures(fake);
  }
};

std::vector<std::string> ExpectedReport(char sep) {
  const std::string s(1, sep);
  return {
      "Heap Status=",
      "Total Address Space=0",
      "Total Uncommitted=1" + s + "234",
      "Total Committed=4" + s + "294" + s + "967" + s + "295",
      "Total Allocated=1" + s + "234" + s + "567",
      "TotalFree=10",
      "FreeSmall=4",
      "FreeBig=5",
      "Unused=1",
      "Overhead=999",
      "Heap Error Code=7",
      "=",
      "Global Memory Status=",
      "Memory Load=1234%",  // never grouped
      "Total Physical Memory=4" + s + "294" + s + "967" + s + "295",
      "Avail Physical Memory=2" + s + "147" + s + "483" + s + "648",
      "Total Page File=0",
      "Avail Page File=1" + s + "000",
      "Total Virtual Memory=65" + s + "536",
      "Avail Virtual Memory=1",
  };
}

TEST_P(SeparatorCase, ReportHasTheTwentyLinesGroupedByTheLocale) {
  TStringList lines;
  client().GetMemoryStatus(lines);
  EXPECT_EQ(lines, ExpectedReport(GetParam() == '\0' ? ',' : GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Separators, SeparatorCase, ::testing::Values(',', '.', ' ', '\0'));

TEST_F(MemoryStatusTest, LinesAlreadyInTheListAreKept) {
  TStringList lines = {"one", "two", "three"};
  client().GetMemoryStatus(lines);
  ASSERT_EQ(lines.size(), 23u);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3),
            (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.end()), ExpectedReport(','));
}

TEST_F(MemoryStatusTest, SendsOneMessageWithTheReportAsDetails) {
  client().SendMemoryStatus();
  std::vector<fake::Packet> sent = packets();
  std::erase_if(sent, [](const fake::Packet& p) { return IsControlKind(p.kind); });
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].kind, mkMemoryStatus);
  EXPECT_EQ(sent[0].msg, "Memory Status");
  EXPECT_EQ(sent[0].details, JoinLines(ExpectedReport(',')));
  EXPECT_TRUE(sent[0].details.ends_with("Avail Virtual Memory=1\r\n"));
  EXPECT_TRUE(sent[0].objectClass.empty());
  const std::vector<std::string> events = os->Events();
  EXPECT_EQ(std::count(events.begin(), events.end(), "GlobalMemoryStatus"), 1);
}

TEST_F(MemoryStatusTest, DisabledClientTakesNoSnapshot) {
  client().Enabled = false;
  client().SendMemoryStatus();
  EXPECT_TRUE(os->Deliveries().empty());
  const std::vector<std::string> events = os->Events();
  EXPECT_EQ(std::count(events.begin(), events.end(), "GlobalMemoryStatus"), 0);
}

}  // namespace
}  // namespace wl
