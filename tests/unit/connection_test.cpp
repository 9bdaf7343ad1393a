// The connection: the packets a client sends to open, re-announce and close it, against scripted
// dispatchers.
#include <functional>

#include "tests/unit/link_scenario.h"
#include "udf/exports.h"

namespace wl::fake {
namespace {

using Lines = std::vector<std::string>;

// Script the world, run one step, expect the packets, the starts and the switch.
struct Case {
  const char* name;
  std::function<void(LinkTest&)> script;
  Lines packets;
  int starts;
  bool enabled;
};

const Case kFirstMessage[] = {
    {"dispatcher running",
     [](LinkTest& t) { t.Dispatcher("D"); },
     {"connect id1 'Viewer' >D -names", "msg id1 'hello' >D +names"},
     0,
     true},
    {"dispatcher started",
     [](LinkTest& t) { t.WindowProgram(kDefaultExe, "P"); },
     {"connect id1 'Viewer' >P1 -names", "msg id1 'hello' >P1 +names"},
     1,
     true},
    {"dispatcher cannot be started",
     nullptr,
     {"connect id1 'Viewer' >0 -names", "msg id1 'hello' >0 +names"},
     2,
     false},
    // The second start's Connect fills the names inside the connect packet's own check.
    {"started, but no window",
     [](LinkTest& t) { t.SilentProgram(kDefaultExe); },
     {"connect id1 'Viewer' >0 +names", "msg id1 'hello' >0 +names"},
     2,
     false},
};

// Each case: connected to D1 by a first message, then the world changes, then a message.
const Case kLaterMessage[] = {
    {"same window", nullptr, {"msg id1 'again' >D1 +names"}, 0, true},
    {"replaced by another dispatcher",
     [](LinkTest& t) {
       t.Os().RemoveWindow(t.Os().FindWindow(kDispatcherClass, kDispatcherTitle));
       t.Dispatcher("D2");
     },
     {"connect id1 'Viewer' >D2 +names", "msg id1 'again' >D2 +names"},
     0,
     true},
    {"gone, the client starts a new one",
     [](LinkTest& t) {
       t.Os().RemoveWindow(t.Os().FindWindow(kDispatcherClass, kDispatcherTitle));
       t.WindowProgram(kDefaultExe, "P");
     },
     {"connect id1 'Viewer' >P1 +names", "msg id1 'again' >P1 +names"},
     1,
     true},
    {"gone, and cannot be started",
     [](LinkTest& t) {
       t.Os().RemoveWindow(t.Os().FindWindow(kDispatcherClass, kDispatcherTitle));
     },
     {"msg id1 'again' >0 +names"},
     1,
     false},
};

struct Destination {
  const char* name;
  bool connected, enabled;
  std::vector<std::string> values;  // set in order; the record starts before the last
  Lines packets;
  std::string kept;
};

const Destination kDestination[] = {
    {"new client", false, true, {"Files"}, {"connect id1 'Files' >D -names"}, "Files"},
    {"new client, switched off",
     false,
     false,
     {"Files"},
     {"connect id1 'Files' >D -names"},
     "Files"},
    {"new client, empty", false, true, {""}, {}, ""},
    {"connected, other value",
     true,
     true,
     {"Files"},
     {"disconnect id1 '' >D +names", "connect id2 'Files' >D +names"},
     "Files"},
    {"connected, case only", true, true, {"Files", "fILES"}, {}, "Files"},
    {"connected, one blank more",
     true,
     true,
     {"Files", "Files "},
     {"disconnect id2 '' >D +names", "connect id3 'Files ' >D +names"},
     "Files "},
    {"connected, non-ASCII letter case",
     true,
     true,
     {"Fil\xC9s", "Fil\xE9s"},
     {"disconnect id2 '' >D +names", "connect id3 'Fil\xE9s' >D +names"},
     "Fil\xE9s"},
    {"connected, back to empty",
     true,
     true,
     {"Files", ""},
     {"disconnect id2 '' >D +names", "connect id3 'Viewer' >D +names"},
     ""},
};

class ConnectionTest : public LinkTest {
 protected:
  void Run(const Case& c, const std::function<void()>& step) {
    SCOPED_TRACE(c.name);
    NewRecord();
    if (c.script) c.script(*this);
    step();
    EXPECT_EQ(Sent(), c.packets);
    EXPECT_EQ(os->CreateProcessCalls(), c.starts);
    EXPECT_EQ(client().Enabled, c.enabled);
  }
  // Each case on a freshly loaded library.
  void RunFresh(const Case& c, const std::function<void()>& step) {
    Reload();
    Run(c, step);
  }
  void FirstMessage() { ASSERT_EQ(wlSendMsg("hello"), 0); }
};

TEST_F(ConnectionTest, FirstMessageOpensTheConnectionBeforeItIsDelivered) {
  for (const Case& c : kFirstMessage) RunFresh(c, [this] { FirstMessage(); });
}

TEST_F(ConnectionTest, FirstConnectCarriesTheClientsFieldsAndANewGuid) {
  Dispatcher("D");
  client().Category = "Orders";
  FirstMessage();
  const auto sent = packets();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].connectionId, "{00000001-0000-4000-8000-000000000007}");
  EXPECT_EQ(sent[0].connectionId.size(), 38u);
  EXPECT_EQ(sent[0].category, "Orders");
  EXPECT_EQ(sent[0].objectClass, "");
  EXPECT_EQ(sent[0].details, "");
  EXPECT_EQ(sent[1].computerName, "BUILDHOST");
  EXPECT_EQ(sent[1].appName, "dbserver");
  EXPECT_TRUE(client().Registered);
  EXPECT_FALSE(client().Connecting);
}

TEST_F(ConnectionTest, LaterMessagesFollowTheDispatcherWindow) {
  for (const Case& c : kLaterMessage) {
    Reload();
    Dispatcher("D1");
    FirstMessage();
    Run(c, [] { ASSERT_EQ(wlSendMsg("again"), 0); });
  }
}

TEST_F(ConnectionTest, ALookupThatFindsNoneMakesTheSameWindowAnnouncedAgain) {
  const WindowHandle d = Dispatcher("D");
  SilentProgram(kDefaultExe);  // a start that succeeds but shows no window
  FirstMessage();
  os->SetTitle(d, "busy");
  Run({"none found", nullptr, {"msg id1 'gap' >0 +names"}, 1, true},
      [] { ASSERT_EQ(wlSendMsg("gap"), 0); });
  EXPECT_EQ(client().DispatcherWnd, 0u);
  os->SetTitle(d, kDispatcherTitle);
  Run({"found again",
       nullptr,
       {"connect id1 'Viewer' >D +names", "msg id1 'back' >D +names"},
       0,
       true},
      [] { ASSERT_EQ(wlSendMsg("back"), 0); });
}

TEST_F(ConnectionTest, AnAnswerOfZeroSwitchesTheClientOffButKeepsTheConnection) {
  const WindowHandle d =
      os->AddWindow(kDispatcherClass, kDispatcherTitle, 5, 0,
                    [](const Delivery& x) { return x.dwData == mkConnect ? 0 : 1; });
  Name(d, "D");
  FirstMessage();
  const auto sent = packets();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].answer, 0);
  EXPECT_EQ(sent[1].target, d);
  EXPECT_EQ(wlEnabled(), 0);
  EXPECT_EQ(client().ConnectionId, sent[0].connectionId);
  EXPECT_TRUE(client().Registered);
  NewRecord();
  ASSERT_EQ(wlSendMsg("while off"), 0);
  EXPECT_TRUE(packets().empty());
  ASSERT_EQ(wlEnable(), 0);
  ASSERT_EQ(wlSendMsg("on again"), 0);
  EXPECT_EQ(Sent(), Lines{"msg id1 'on again' >D +names"});
  NewRecord();
  Unload();
  EXPECT_EQ(Sent(), Lines{"disconnect id1 '' >D +names"});
}

TEST_F(ConnectionTest, DestructionClosesOnlyAnOpenConnectionAndNeverStartsADispatcher) {
  struct Goodbye {
    const char* name;
    bool connected, windowGone;
    Lines packets;
  };
  const Goodbye cases[] = {
      {"connected, window there", true, false, {"disconnect id1 '' >D +names"}},
      {"connected, window gone", true, true, {"disconnect id1 '' >0 +names"}},
      {"never connected", false, false, {}},
  };
  for (const Goodbye& c : cases) {
    SCOPED_TRACE(c.name);
    Reload();
    WindowProgram(kDefaultExe, "P");  // a start would show as a CreateProcess
    const WindowHandle d = Dispatcher("D");
    if (c.connected) FirstMessage();
    if (c.windowGone) os->RemoveWindow(d);
    NewRecord();
    Unload();
    EXPECT_EQ(Sent(), c.packets);
    EXPECT_EQ(os->CreateProcessCalls(), 0);
  }
}

TEST_F(ConnectionTest, ANewDestinationReconnectsAndACaseOnlyChangeDoesNothing) {
  for (const Destination& c : kDestination) {
    SCOPED_TRACE(c.name);
    Reload();
    Dispatcher("D");
    if (c.connected) FirstMessage();
    client().Enabled = c.enabled;
    for (std::size_t i = 0; i + 1 < c.values.size(); ++i)
      client().SetDestinationDetails(c.values[i]);
    NewRecord();
    client().SetDestinationDetails(c.values.back());
    EXPECT_EQ(Sent(), c.packets);
    EXPECT_EQ(client().DestinationDetails(), c.kept);
    EXPECT_EQ(client().Enabled, c.enabled);
  }
}

TEST_F(ConnectionTest, ANewDestinationStartsTheDispatcherWhenNoneRuns) {
  WindowProgram(kDefaultExe, "P");
  client().SetDestinationDetails("Files");
  // The start's own Connect fills the names before the connect packet is built.
  EXPECT_EQ(Sent(), Lines{"connect id1 'Files' >P1 +names"});
  EXPECT_EQ(os->CreateProcessCalls(), 1);
}

TEST_F(ConnectionTest, ANewDefaultDestinationReconnectsEveryClient) {
  Dispatcher("D");
  FirstMessage();
  auto* second = new TWrenlog(nullptr);  // freed by the object manager at unload
  NewRecord();
  ObjectManager->SetDefaultDestination("Files");
  EXPECT_EQ(Sent(), (Lines{"disconnect id1 '' >D +names", "connect id2 'Files' >D +names",
                           "connect id3 'Files' >D -names"}));
  EXPECT_EQ(client().DestinationDetails(), "Files");
  EXPECT_EQ(second->DestinationDetails(), "Files");
  NewRecord();
  Unload();
  EXPECT_EQ(Sent(), (Lines{"disconnect id2 '' >D +names", "disconnect id3 '' >D +names"}));
}

TEST_F(ConnectionTest, AFailedGuidLeavesTheClientOffInsteadOfConnectingWithoutEnd) {
  Dispatcher("D");
  os->guidFails = true;
  FirstMessage();
  EXPECT_EQ(Sent(), Lines{"msg - 'hello' >D +names"});
  EXPECT_EQ(wlEnabled(), 0);
  EXPECT_FALSE(client().Connecting);
}

TEST_F(ConnectionTest, AnErrorInsideConnectClearsConnectingAndKeepsTheIdentifier) {
  os->SetDispatcherPath("7", platform::kRegDword);
  EXPECT_THROW(client().SetDestinationDetails("Files"), Exception);
  EXPECT_FALSE(client().Connecting);
  EXPECT_EQ(client().ConnectionId.size(), 38u);
  EXPECT_FALSE(client().Registered);
  EXPECT_TRUE(packets().empty());
}

}  // namespace
}  // namespace wl::fake
