// The bounded tables behind the dispatcher: connections, destinations, per-thread nesting.
#include <gtest/gtest.h>

#include <memory>

#include "tests/unit/dispatcher_test_packets.h"
#include "tools/dispatcher/core/connections.h"
#include "tools/dispatcher/core/indentation.h"
#include "tools/dispatcher/core/router.h"

namespace wl::dispatcher {
namespace {

Sender From(std::string_view id, std::int32_t time = 0) { return {id, "PC", "app", 1, {1, time}}; }

TEST(DispatcherConnections, FullTableEvictsTheLeastRecentlySeen) {
  ConnectionTable table(2);
  table.Open(From("a"), "");
  table.Open(From("b"), "");
  ASSERT_NE(table.Touch(From("a")), nullptr);  // b is now the least recent
  EXPECT_EQ(table.Open(From("c"), "X"), ConnectionTable::Opened::kNew);
  EXPECT_EQ(table.size(), 2u);
  EXPECT_EQ(table.evicted(), 1u);
  EXPECT_EQ(table.Find("b"), nullptr);
  EXPECT_NE(table.Find("a"), nullptr);
  EXPECT_EQ(table.Open(From("a"), "Y"), ConnectionTable::Opened::kReannounced);
  EXPECT_EQ(table.evicted(), 1u);
}

TEST(DispatcherConnections, FirstAndLastSeenAndALongDestination) {
  ConnectionTable table;
  table.Open(From("a", 10), std::string(500, 'd'));
  table.Touch(From("a", 20));
  const Connection* c = table.Find("a");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->firstSeen.time, 10);
  EXPECT_EQ(c->lastSeen.time, 20);
  EXPECT_EQ(c->destination.size(), ConnectionTable::kMaxDestinationLength);
  EXPECT_FALSE(table.Close("missing").has_value());
  EXPECT_EQ(table.Close("a")->destination.size(), ConnectionTable::kMaxDestinationLength);
}

TEST(DispatcherDestinations, CaseOfAsciiLettersOnly) {
  EXPECT_TRUE(SameDestination("Viewer", "VIEWER"));
  EXPECT_TRUE(SameDestination("", ""));
  EXPECT_FALSE(SameDestination("Viewer", "Viewer "));
  EXPECT_FALSE(SameDestination("\xe9", "\xc9"));  // not ASCII letters
  EXPECT_FALSE(SameDestination("@", "`"));        // 0x40 and 0x60 are not letters
}

TEST(DispatcherDestinations, FileKeysAreSafeNames) {
  const struct {
    std::string destination, key;
  } cases[] = {
      {"Orders", "orders"},
      {"audit-2026_a", "audit-2026_a"},
      {"..\\..\\windows\\system32", "______windows_system32"},
      {"C:/x.log", "c__x_log"},
      {"CON", "con"},
      {"", "_"},
      {"caf\xe9", "caf_"},
      {std::string(60, 'a'), std::string(40, 'a')},
  };
  for (const auto& c : cases) EXPECT_EQ(DestinationKey(c.destination), c.key) << c.destination;
}

TEST(DispatcherRouter, KeepsAFewDestinationLogsOpen) {
  int made = 0;
  test::MemorySink log;
  Router router(nullptr, &log, [&made](const std::string&) {
    ++made;
    return std::make_unique<test::MemorySink>();
  });
  auto send = [&](std::string destination) {
    Record r;
    r.destination = std::move(destination);
    router.Route(r);
  };
  for (std::size_t i = 0; i < Router::kMaxOpenDestinations; ++i) send("d" + std::to_string(i));
  send("d0");
  EXPECT_EQ(made, 16);
  send("new");  // closes d1, the least recent
  send("d0");
  EXPECT_EQ(made, 17);
  send("d1");
  EXPECT_EQ(made, 18);
  send("Viewer");  // no view here: nothing made, nothing fails
  EXPECT_EQ(made, 18);
  EXPECT_EQ(log.records.size(), 21u);
}

TEST(DispatcherRouter, ADestinationThatCannotBeOpenedStillReachesTheLog) {
  test::MemorySink view, log;
  Router router(&view, &log, [](const std::string&) { return nullptr; });
  Record r;
  r.destination = "Orders";
  router.Route(r);
  router.Route(r);
  EXPECT_EQ(log.records.size(), 2u);
  EXPECT_TRUE(view.records.empty());
}

TEST(DispatcherIndentation, IsBoundedInThreadsLevelsAndNames) {
  Indentation ind;
  for (std::uint32_t t = 0; t < Indentation::kMaxThreads; ++t) ind.Enter(1, t, "m");
  EXPECT_EQ(ind.ThreadCount(), Indentation::kMaxThreads);
  ind.Enter(1, 0, "again");            // thread 1 is now the least recent
  EXPECT_EQ(ind.Enter(2, 0, "m"), 0);  // a new thread makes room
  EXPECT_EQ(ind.ThreadCount(), Indentation::kMaxThreads);
  EXPECT_EQ(ind.Depth(1, 1), 0);
  EXPECT_EQ(ind.Depth(1, 0), 2);
  EXPECT_EQ(ind.Depth(2, 0), 1);
  for (std::uint32_t t = 0; t < Indentation::kMaxThreads; ++t) ind.Leave(1, t, "m");
  ind.Leave(1, 0, "again");
  ind.Leave(2, 0, "m");
  EXPECT_EQ(ind.ThreadCount(), 0u);

  for (std::size_t i = 0; i < Indentation::kMaxDepth + 5; ++i) ind.Enter(3, 1, "deep");
  EXPECT_EQ(ind.Depth(3, 1), static_cast<int>(Indentation::kMaxDepth));

  const std::string longName(1000, 'n');
  ind.Enter(4, 1, longName);
  EXPECT_TRUE(ind.Leave(4, 1, longName).matched);
  EXPECT_EQ(ind.ThreadCount(), 1u);  // only 3/1: 4/1 is forgotten once its stack is empty
}

TEST(DispatcherIndentation, UnmatchedExitOnAnUnknownThread) {
  Indentation ind;
  const Indentation::Exit exit = ind.Leave(1, 1, "x");
  EXPECT_FALSE(exit.matched);
  EXPECT_EQ(exit.depth, 0);
  EXPECT_EQ(ind.ThreadCount(), 0u);
}

}  // namespace
}  // namespace wl::dispatcher
