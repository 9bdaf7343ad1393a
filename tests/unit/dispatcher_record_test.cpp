// How the dispatcher writes a record: the stamp, the lines, the view's escaping, the text and the
// JSON forms.
#include <gtest/gtest.h>

#include "tests/unit/dispatcher_test_packets.h"
#include "tools/dispatcher/core/json.h"
#include "tools/dispatcher/core/record.h"

namespace wl::dispatcher {
namespace {

using test::kAt133015250;
using test::kDec11th2026;

TEST(DispatcherStamp, CalendarDatesAndTheirEdges) {
  const std::string unknown(kStampWidth, '?');
  const struct {
    Stamp stamp;
    std::string expected;
  } cases[] = {
      {{1, 0}, "0001-01-01 00:00:00.000"},
      {{693594, 1}, "1899-12-30 00:00:00.001"},
      {{738945, 86'399'999}, "2024-02-29 23:59:59.999"},
      {{kDec11th2026, kAt133015250}, "2026-12-11 13:30:15.250"},
      {{3'652'059, 0}, "9999-12-31 00:00:00.000"},
      {{0, 0}, unknown},
      {{3'652'060, 0}, unknown},
      {{-5, 0}, unknown},
      {{kDec11th2026, -1}, unknown},
      {{kDec11th2026, 86'400'000}, unknown},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatStamp(c.stamp), c.expected) << c.stamp.date << " " << c.stamp.time;
}

TEST(DispatcherStamp, ClockDatesRoundTrip) {
  EXPECT_EQ(FormatStamp(StampOf(2026, 12, 11, 13, 30, 15, 250)), "2026-12-11 13:30:15.250");
  EXPECT_EQ(StampOf(1899, 12, 30, 0, 0, 0, 0).date, 693594);
  EXPECT_EQ(StampOf(1, 1, 1, 0, 0, 0, 0).date, 1);
  EXPECT_EQ(FormatStamp(StampOf(2000, 3, 1, 23, 59, 59, 999)), "2000-03-01 23:59:59.999");
}

TEST(DispatcherLines, EveryLineBreakEndsALine) {
  using Lines = std::vector<std::string_view>;
  const struct {
    std::string_view text;
    Lines expected;
  } cases[] = {
      {"", {}},         {"a", {"a"}},         {"a\r\nb", {"a", "b"}}, {"a\nb\rc", {"a", "b", "c"}},
      {"a\r\n", {"a"}}, {"a\n\r", {"a", ""}}, {"\r\n\r\n", {"", ""}}, {"a\n\nb", {"a", "", "b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLines(c.text), c.expected) << c.text;
}

TEST(DispatcherView, ControlBytesAreEscapedAndCodePageBytesKept) {
  const struct {
    std::string text, expected;
  } cases[] = {
      {"plain text", "plain text"},
      {"\x1b[31mred", "\\x1B[31mred"},
      {std::string("a\0b", 3), "a\\x00b"},
      {"tab\there", "tab\there"},
      {"del\x7f", "del\\x7F"},
      {"caf\xe9 \x80\xff", "caf\xe9 \x80\xff"},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeForView(c.text), c.expected);
}

Record Message(std::int32_t kind, std::string msg, int depth = 0, Mark mark = Mark::kNone) {
  Record r;
  r.stamp = {kDec11th2026, kAt133015250};
  r.kind = kind;
  r.category = "Orders";
  r.app = "server";
  r.processId = 100;
  r.threadId = 7;
  r.destination = "Viewer";
  r.depth = depth;
  r.mark = mark;
  r.msg = std::move(msg);
  return r;
}

TEST(DispatcherText, OneRecordPerKind) {
  const std::string at = "2026-12-11 13:30:15.250 | ";
  const std::string who = " | Orders | server 100:7 | ";
  Record own = Message(-1, "stopped: 3 accepted");
  own.own = true;
  Record anonymous = Message(mkMessage, "x");
  anonymous.category.clear();
  anonymous.app.clear();
  const struct {
    Record record;
    std::string expected;
  } cases[] = {
      {Message(mkMessage, "Rows = 42"), at + "mkMessage     " + who + "Rows = 42\r\n"},
      {Message(mkError, "failed", 2), at + "mkError       " + who + "    failed\r\n"},
      {Message(mkEnterMethod, "Load", 1, Mark::kEnter),
       at + "mkEnterMethod " + who + "  > Load\r\n"},
      {Message(mkExitMethod, "Load", 1, Mark::kExit), at + "mkExitMethod  " + who + "  < Load\r\n"},
      {Message(mkExitMethod, "Gone", 0, Mark::kUnmatchedExit),
       at + "mkExitMethod  " + who + "< Gone  (no matching enter)\r\n"},
      {Message(mkSeparator, "", 0, Mark::kSeparator),
       at + "mkSeparator   " + who + "----------------------------------------\r\n"},
      {Message(mkClear, "", 0, Mark::kClear),
       at + "mkClear       " + who + "======== clear ========\r\n"},
      {Message(mkWrite, "a@b = 2.50"), at + "mkWrite       " + who + "a@b = 2.50\r\n"},
      {Message(5, "odd"), at + "kind 5        " + who + "odd\r\n"},
      {own, at + "Dispatcher     | Orders | server 100:7 | stopped: 3 accepted\r\n"},
      {anonymous, at + "mkMessage      | - | - 100:7 | x\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatText(c.record), c.expected);
}

TEST(DispatcherText, FurtherLinesAndDetailsAreIndentedToTheText) {
  Record r = Message(mkMemoryStatus, "Memory Status\r\nsecond", 1);
  r.details = "Heap=\r\n  Total=10\r\n";
  const std::string header = "2026-12-11 13:30:15.250 | mkMemoryStatus | Orders | server 100:7 | ";
  const std::string pad = std::string(header.size(), ' ') + "    ";
  EXPECT_EQ(FormatText(r), header + "  Memory Status\r\n" + pad + "second\r\n" + pad + "Heap=\r\n" +
                               pad + "  Total=10\r\n");
}

TEST(DispatcherJson, EscapesEveryByteThatJsonCannotCarry) {
  const struct {
    std::string text, expected;
  } cases[] = {
      {"plain", "plain"},
      {"say \"hi\"", "say \\\"hi\\\""},
      {"C:\\dir", "C:\\\\dir"},
      {"\n\r\t\b\f", "\\n\\r\\t\\b\\f"},
      {std::string("\x01\0\x1f", 3), "\\u0001\\u0000\\u001f"},
      {"\x7f", "\\u007f"},
      {"caf\xe9", "caf\\u00e9"},
      {"\x80\xff", "\\u0080\\u00ff"},
      {"</script>", "</script>"},
  };
  for (const auto& c : cases) EXPECT_EQ(JsonEscaped(c.text), c.expected);
}

TEST(DispatcherJson, OneLinePerRecordWithEveryField) {
  Record r = Message(mkEnterMethod, "L\xf6sen", 1, Mark::kEnter);
  r.categoryColor = 0x000000FF;
  r.timeZoneBias = -60;
  r.computer = "DBHOST";
  r.connectionId = test::kIdA;
  r.details = "a\r\nb";
  EXPECT_EQ(FormatJson(r),
            "{\"time\":\"2026-12-11 13:30:15.250\",\"kind\":\"mkEnterMethod\",\"kindValue\":9,"
            "\"bias\":-60,\"category\":\"Orders\",\"color\":\"0x000000FF\","
            "\"computer\":\"DBHOST\",\"app\":\"server\",\"pid\":100,\"tid\":7,"
            "\"connection\":\"" +
                std::string(test::kIdA) +
                "\",\"destination\":\"Viewer\",\"known\":true,\"depth\":1,\"mark\":\"enter\","
                "\"text\":\"L\\u00f6sen\",\"details\":\"a\\r\\nb\"}\n");
}

TEST(DispatcherStopLine, OnlyTheDispatchersOwnStopRecord) {
  Record own = Message(-1, "stopped: 0 accepted");
  own.own = true;
  Record ownOther = Message(-1, "started");
  ownOther.own = true;
  const Record client = Message(mkMessage, "stopped: 0 accepted");
  const Record spoof = Message(mkMessage, "x | Dispatcher     | stopped");
  EXPECT_TRUE(IsStopLine(FormatText(own)));
  EXPECT_TRUE(IsStopLine(FormatJson(own)));
  EXPECT_FALSE(IsStopLine(FormatText(ownOther)));
  EXPECT_FALSE(IsStopLine(FormatJson(ownOther)));
  EXPECT_FALSE(IsStopLine(FormatText(client)));
  EXPECT_FALSE(IsStopLine(FormatJson(client)));
  EXPECT_FALSE(IsStopLine(FormatText(spoof)));
  EXPECT_FALSE(IsStopLine(""));
}

}  // namespace
}  // namespace wl::dispatcher
