// The dispatcher's handling of packets: answers, refusals, connections, routing, indentation.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "tests/unit/dispatcher_test_packets.h"
#include "tools/dispatcher/core/dispatcher.h"

namespace wl::dispatcher {
namespace {

using test::Bytes;
using test::kIdA;
using test::kIdB;
using test::MemorySink;
using test::PutInt;
using test::Spec;

// A sink owned by the router that forwards to one the test keeps.
class Forward : public Sink {
 public:
  explicit Forward(MemorySink& to) : to_(to) {}
  void Write(const Record& r) override { to_.Write(r); }

 private:
  MemorySink& to_;
};

class DispatcherCore : public ::testing::Test {
 protected:
  std::int32_t Send(const Spec& s) { return Send(Bytes(s), static_cast<std::uint32_t>(s.kind)); }
  std::int32_t Send(const std::vector<std::uint8_t>& b, std::uint64_t dwData) {
    return dispatcher.Handle(dwData, b.data(), b.size());
  }
  void Connect(const char* id, std::string destination) {
    ASSERT_EQ(Send({.kind = mkConnect, .id = id, .msg = std::move(destination)}), 1);
  }
  const Record& LastViewed() { return view.records.back(); }

  MemorySink view, log;
  std::map<std::string, MemorySink> destinations;
  int destinationsMade = 0;
  Router router{&view, &log, [this](const std::string& key) {
                  ++destinationsMade;
                  return std::make_unique<Forward>(destinations[key]);
                }};
  Dispatcher dispatcher{router, [] { return Stamp{5, 6}; }, Self{"WLDispatcher", "ME", 9, 1}};
};

TEST_F(DispatcherCore, RefusesWhatDoesNotParseAndStaysUsable) {
  const auto good = Bytes({.msg = "abc"});
  auto with = [&](auto change) {
    auto b = good;
    change(b);
    return b;
  };
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::uint64_t dwData;
    Refusal reason;
  } cases[] = {
      {"short", std::vector<std::uint8_t>(good.begin(), good.begin() + 219), 0, Refusal::kTooShort},
      {"one byte more", with([](auto& b) { b.push_back(0); }), 0, Refusal::kBadLengths},
      {"message length too big", with([](auto& b) { PutInt(b, packet::kMsgLength, 4); }), 0,
       Refusal::kBadLengths},
      {"negative details length", with([](auto& b) { PutInt(b, packet::kDetailsLength, ~0u); }), 0,
       Refusal::kBadLengths},
      {"lengths that wrap", with([](auto& b) {
         PutInt(b, packet::kMsgLength, 0x80000000u);
         PutInt(b, packet::kDetailsLength, 0x80000003u);
       }),
       0, Refusal::kBadLengths},
      {"text without its NUL", with([](auto& b) { b[220] = 'x'; }), 0, Refusal::kUnterminated},
      {"last byte not zero", with([](auto& b) { b.back() = 1; }), 0, Refusal::kUnterminated},
      {"connection id without NUL",
       with([](auto& b) { std::fill_n(&b[packet::kConnectionId], 42, 'A'); }), 0,
       Refusal::kUnterminated},
      {"category without NUL", with([](auto& b) { std::fill_n(&b[packet::kCategory], 41, 'C'); }),
       0, Refusal::kUnterminated},
      {"dwData not the kind", good, 8, Refusal::kKindMismatch},
      {"unsupported control kind", Bytes({.kind = 43}), 43, Refusal::kUnsupportedControl},
      {"connect without id", Bytes({.kind = mkConnect, .id = ""}), mkConnect,
       Refusal::kConnectWithoutId},
  };
  std::uint64_t refused = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto before = dispatcher.counters().refusedBy[static_cast<std::size_t>(c.reason)];
    EXPECT_EQ(Send(c.bytes, c.dwData), Dispatcher::kRefused);
    EXPECT_EQ(dispatcher.counters().refusedBy[static_cast<std::size_t>(c.reason)], before + 1);
    EXPECT_EQ(dispatcher.counters().refused, ++refused);
    EXPECT_TRUE(LastViewed().own);
    EXPECT_EQ(LastViewed().msg.rfind("refused packet: " + std::string(RefusalText(c.reason)), 0),
              0u)
        << LastViewed().msg;
  }
  EXPECT_EQ(dispatcher.counters().accepted, 0u);
  EXPECT_EQ(Send(good, mkMessage), Dispatcher::kAccepted);
}

TEST_F(DispatcherCore, NullOrEmptyDataIsRefusedWithoutReading) {
  EXPECT_EQ(dispatcher.Handle(mkMessage, nullptr, 0), 0);
  EXPECT_EQ(dispatcher.Handle(mkMessage, nullptr, 223), 0);
  const std::uint8_t byte = 0;
  EXPECT_EQ(dispatcher.Handle(mkMessage, &byte, 0), 0);
  const auto& by = dispatcher.counters().refusedBy;
  EXPECT_EQ(by[static_cast<std::size_t>(Refusal::kEmpty)], 2u);
  EXPECT_EQ(by[static_cast<std::size_t>(Refusal::kNullData)], 1u);
  EXPECT_EQ(LastViewed().msg, "refused packet: no data (dwData 0, 0 bytes)");
}

TEST_F(DispatcherCore, AcceptsEveryMessageKindKnownOrNot) {
  for (const std::int32_t kind : {0, 2, 3, 4, 8, 9, 10, 11, 13, 14, 20, 1, 5, 39, 100, -3}) {
    EXPECT_EQ(Send({.kind = kind}), Dispatcher::kAccepted) << kind;
    EXPECT_EQ(LastViewed().kind, kind);
  }
}

TEST_F(DispatcherCore, ConnectOpensReannouncesAndDisconnectCloses) {
  ASSERT_EQ(Send({.kind = mkConnect, .computer = "", .app = "", .msg = "Viewer"}), 1);
  EXPECT_EQ(LastViewed().msg, "open " + std::string(kIdA) + " to 'Viewer'");
  Send({.msg = "hello"});
  const Connection* c = dispatcher.connections().Find(kIdA);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->app, "server");  // the first connect carried no names; the message did
  EXPECT_EQ(c->computer, "DBHOST");
  ASSERT_EQ(Send({.kind = mkConnect, .msg = "Viewer"}), 1);
  EXPECT_EQ(LastViewed().msg, "re-announce " + std::string(kIdA) + " to 'Viewer'");
  EXPECT_EQ(dispatcher.connections().Find(kIdA)->announcements, 2u);
  ASSERT_EQ(Send({.kind = mkDisconnect, .msg = ""}), 1);
  EXPECT_EQ(LastViewed().msg, "close " + std::string(kIdA));
  EXPECT_EQ(dispatcher.connections().size(), 0u);
  const Counters& n = dispatcher.counters();
  EXPECT_EQ(n.opened, 1u);
  EXPECT_EQ(n.reannounced, 1u);
  EXPECT_EQ(n.closed, 1u);
}

TEST_F(DispatcherCore, ConnectWithoutDestinationMeansViewer) {
  Connect(kIdA, "");
  EXPECT_EQ(dispatcher.connections().Find(kIdA)->destination, "Viewer");
  EXPECT_EQ(LastViewed().msg, "open " + std::string(kIdA) + " to 'Viewer'");
}

TEST_F(DispatcherCore, UnknownConnectionsAreShownInTheViewer) {
  Send({.id = kIdB, .msg = "stray"});
  EXPECT_EQ(LastViewed().msg, "stray");
  EXPECT_FALSE(LastViewed().knownConnection);
  EXPECT_EQ(LastViewed().destination, "Viewer");
  Send({.id = "", .msg = "no id"});
  EXPECT_FALSE(LastViewed().knownConnection);
  ASSERT_EQ(Send({.kind = mkDisconnect, .id = kIdB, .msg = ""}), 1);
  EXPECT_EQ(LastViewed().msg, "close unknown " + std::string(kIdB));
  EXPECT_EQ(dispatcher.counters().closed, 0u);
}

TEST_F(DispatcherCore, RoutesByDestination) {
  Connect(kIdA, "Orders");
  Connect(kIdB, "VIEWER");
  Send({.id = kIdA, .msg = "to orders"});
  Send({.id = kIdB, .msg = "to viewer"});
  Connect("{C}", "orders");
  Send({.id = "{C}", .msg = "orders again"});
  ASSERT_EQ(destinations.size(), 1u);
  const auto& orders = destinations["orders"].records;
  ASSERT_EQ(orders.size(), 4u);
  EXPECT_EQ(orders[1].msg, "to orders");
  EXPECT_EQ(orders[3].msg, "orders again");
  ASSERT_EQ(view.records.size(), 2u);
  EXPECT_EQ(view.records[1].msg, "to viewer");
  EXPECT_EQ(log.records.size(), 6u);  // the log has everything
  EXPECT_EQ(destinationsMade, 1);
}

TEST_F(DispatcherCore, ClearEmptiesTheViewButNotTheLog) {
  Send({.msg = "before"});
  Send({.kind = mkClear, .msg = ""});
  EXPECT_EQ(view.clears, 1);
  EXPECT_EQ(LastViewed().mark, Mark::kClear);
  EXPECT_EQ(log.records.size(), 2u);
}

TEST_F(DispatcherCore, MethodMarksIndentTheirThreadOnly) {
  const struct {
    std::uint32_t tid;
    std::int32_t kind;
    const char* text;
    int depth;
    Mark mark;
  } steps[] = {
      {7, mkEnterMethod, "Outer", 0, Mark::kEnter},
      {7, mkMessage, "in outer", 1, Mark::kNone},
      {8, mkMessage, "other thread", 0, Mark::kNone},
      {7, mkEnterMethod, "Inner", 1, Mark::kEnter},
      {8, mkEnterMethod, "Elsewhere", 0, Mark::kEnter},
      {7, mkSeparator, "", 2, Mark::kSeparator},
      {7, mkExitMethod, "Inner", 1, Mark::kExit},
      {7, mkExitMethod, "Never entered", 1, Mark::kUnmatchedExit},
      {7, mkEnterMethod, "Skipped", 1, Mark::kEnter},
      {7, mkExitMethod, "Outer", 0, Mark::kExit},  // Skipped's exit never came
      {7, mkMessage, "after", 0, Mark::kNone},
      {7, mkExitMethod, "Outer", 0, Mark::kUnmatchedExit},
      {8, mkMessage, "still inside", 1, Mark::kNone},
  };
  for (const auto& s : steps) {
    Send({.kind = s.kind, .tid = s.tid, .msg = s.text});
    EXPECT_EQ(LastViewed().depth, s.depth) << s.tid << " " << s.text;
    EXPECT_EQ(LastViewed().mark, s.mark) << s.tid << " " << s.text;
  }
}

TEST_F(DispatcherCore, NestingOutlivesAReconnectToAnotherDestination) {
  Connect(kIdA, "");
  Send({.kind = mkEnterMethod, .msg = "Open"});
  Send({.kind = mkDisconnect, .msg = ""});
  Connect(kIdB, "");
  Send({.id = kIdB, .msg = "inside"});
  EXPECT_EQ(LastViewed().depth, 1);
  Send({.kind = mkExitMethod, .id = kIdB, .msg = "Open"});
  EXPECT_EQ(LastViewed().mark, Mark::kExit);
}

TEST_F(DispatcherCore, OwnRecordsCarryTheDispatchersIdentity) {
  Send({.msg = "one"});
  dispatcher.Report("started");
  dispatcher.ReportStopped();
  const Record& r = LastViewed();
  EXPECT_TRUE(r.own);
  EXPECT_EQ(r.app, "WLDispatcher");
  EXPECT_EQ(r.processId, 9u);
  EXPECT_EQ(r.stamp.date, 5);
  EXPECT_EQ(r.msg, "stopped: 1 accepted, 0 refused, 0 connections open");
  EXPECT_EQ(log.records.size(), 3u);
}

}  // namespace
}  // namespace wl::dispatcher
