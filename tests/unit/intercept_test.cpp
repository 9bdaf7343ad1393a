// OnSendMsg: the record a handler receives, and how handling interplays with the connection.
#include <optional>

#include "tests/unit/link_scenario.h"
#include "udf/exports.h"

namespace wl::fake {
namespace {

using Lines = std::vector<std::string>;

template <std::size_t N>
std::string Counted(const TWLCountedText<N>& field) {
  return std::string(field.Chars, field.Length);
}

// What a handler saw, copied out of the record during the call.
struct Seen {
  std::int32_t kind = 0;
  std::string msg;
  std::optional<Lines> details;
  std::uint32_t processId = 0, threadId = 0;
  std::string computerName, appName, objectClass, category;
  std::int32_t categoryColor = 0, time = 0, date = 0;
  TObject* sender = nullptr;
};

Seen Copy(TObject* sender, const TWrenlogMsgData& d) {
  Seen s{d.Kind,
         *d.Msg,
         std::nullopt,
         d.ProcessId,
         d.ThreadId,
         Counted(d.ComputerName),
         Counted(d.AppName),
         Counted(d.ObjectClass),
         Counted(d.Category),
         d.CategoryColor,
         d.Time,
         d.Date,
         sender};
  if (d.Details != nullptr) s.details = *d.Details;
  return s;
}

class InterceptTest : public LinkTest {
 protected:
  // A handler that records every message and answers with `let` (false keeps the message).
  void Handle(bool let) {
    client().OnSendMsg = [this, let](TObject* sender, TWrenlogMsgData& d, bool& handled) {
      seen.push_back(Copy(sender, d));
      if (let) handled = false;
    };
  }
  void Connected() {
    Dispatcher("D");
    ASSERT_EQ(wlSendMsg("first"), 0);
    NewRecord();
  }
  bool Offer(std::int32_t kind, const char* msg, const char* details, bool& handled,
             const std::string& objectClass = "") {
    return client().DoSendMsg(kind, msg, details, objectClass, TWLTimeStamp{5000, 739000}, handled);
  }
  Lines SeenTexts() const {
    Lines texts;
    for (const Seen& s : seen) texts.push_back(s.msg);
    return texts;
  }
  std::vector<Seen> seen;
};

TEST_F(InterceptTest, WithoutHandlerNothingIsOfferedAndTheConnectionStays) {
  Connected();
  const std::string id = client().ConnectionId;
  bool handled = true;
  EXPECT_FALSE(Offer(mkMessage, "m", "", handled));
  EXPECT_TRUE(handled);
  EXPECT_EQ(client().ConnectionId, id);
  EXPECT_TRUE(packets().empty());
}

TEST_F(InterceptTest, TheRecordCarriesTheMessageAndTheSender) {
  Connected();
  Handle(true);
  client().Category = std::string(50, 'c');
  client().CategoryColor = 0x00ABCDEF;
  bool handled = true;
  ASSERT_TRUE(Offer(mkNote, "text\r\n", "a\r\nb", handled, std::string(45, 'o')));
  EXPECT_FALSE(handled);
  ASSERT_EQ(seen.size(), 1u);
  const Seen& s = seen[0];
  EXPECT_EQ(s.sender, &client());
  EXPECT_EQ(s.kind, mkNote);
  EXPECT_EQ(s.msg, "text\r\n");
  EXPECT_EQ(s.details, (Lines{"a", "b"}));
  EXPECT_EQ(s.processId, 4242u);
  EXPECT_EQ(s.threadId, os->CurrentThreadId());
  EXPECT_EQ(s.computerName, "BUILDHOST");
  EXPECT_EQ(s.appName, "dbserver");
  EXPECT_EQ(s.objectClass, std::string(40, 'o'));
  EXPECT_EQ(s.category, std::string(40, 'c'));
  EXPECT_EQ(s.categoryColor, 0x00ABCDEF);
  EXPECT_EQ(s.time, 5000);
  EXPECT_EQ(s.date, 739000);
}

TEST_F(InterceptTest, DetailsAreSplitAtEveryKindOfLineBreak) {
  struct Case {
    const char* details;
    std::optional<Lines> lines;
  };
  const Case cases[] = {
      {"", Lines{}},
      {"last", Lines{"last"}},
      {"a\r\nb\r\n", Lines{"a", "b"}},
      {"a\rb\nc", Lines{"a", "b", "c"}},
      {"a\n\nb", Lines{"a", "", "b"}},
      {"a\n\r", Lines{"a", ""}},
      {"\r\n", Lines{""}},
      {nullptr, std::nullopt},
  };
  Handle(true);
  for (const Case& c : cases) {
    bool handled = true;
    ASSERT_TRUE(Offer(mkMessage, "m", c.details, handled));
    EXPECT_EQ(seen.back().details, c.lines) << (c.details ? c.details : "null");
  }
}

TEST_F(InterceptTest, ControlKindsAreNeverOffered) {
  Handle(true);
  for (std::int32_t kind : {39, 40, 41, 42, 99, 100}) {
    bool handled = true;
    EXPECT_EQ(Offer(kind, "m", "", handled), kind < 40 || kind > 99) << kind;
  }
  EXPECT_EQ(seen.size(), 2u);
}

TEST_F(InterceptTest, AHandlerThatKeepsEverythingEndsTheConnectionAndTheDispatcherSeesNoMore) {
  Connected();
  Handle(false);
  ASSERT_EQ(wlSendMsg("one"), 0);
  EXPECT_EQ(Sent(), (Lines{"disconnect id1 '' >D +names"}));
  // With no dispatcher window left, a lookup would start one: none is looked for.
  os->RemoveWindow(os->FindWindow(kDispatcherClass, kDispatcherTitle));
  NewRecord();
  ASSERT_EQ(wlSendMsg("two"), 0);
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(os->CreateProcessCalls(), 0);
  EXPECT_EQ(SeenTexts(), (Lines{"one", "two"}));
  EXPECT_TRUE(client().ConnectionId.empty());
}

TEST_F(InterceptTest, AHandlerThatLetsEverythingThroughGivesEachMessageItsOwnConnection) {
  Connected();
  Handle(true);
  ASSERT_EQ(wlSendMsg("one"), 0);
  ASSERT_EQ(wlSendMsg("two\r\n"), 0);
  EXPECT_EQ(Sent(), (Lines{"disconnect id1 '' >D +names", "connect id2 'Viewer' >D +names",
                           "msg id2 'one' >D +names", "disconnect id2 '' >D +names",
                           "connect id3 'Viewer' >D +names", "msg id3 'two' >D +names"}));
  EXPECT_EQ(SeenTexts(), (Lines{"one", "two\r\n"}));
}

TEST_F(InterceptTest, UnassigningTheHandlerConnectsAgainWithTheNextMessage) {
  Connected();
  Handle(false);
  ASSERT_EQ(wlSendMsg("kept"), 0);
  client().OnSendMsg = nullptr;
  ASSERT_EQ(wlSendMsg("delivered"), 0);
  EXPECT_EQ(Sent(), (Lines{"disconnect id1 '' >D +names", "connect id2 'Viewer' >D +names",
                           "msg id2 'delivered' >D +names"}));
}

TEST_F(InterceptTest, AnUnconnectedClientsHandlerSeesNoNamesAndNothingIsSent) {
  Dispatcher("D");
  Handle(false);
  ASSERT_EQ(wlSendMsg("quiet"), 0);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].computerName, "");
  EXPECT_EQ(seen[0].appName, "");
  EXPECT_TRUE(Sent().empty());
}

TEST_F(InterceptTest, AnErrorOfTheHandlerReachesTheComposerAndNothingIsDelivered) {
  Connected();
  client().OnSendMsg = [](TObject*, TWrenlogMsgData&, bool&) {
    Raise<Exception>("handler failed");
  };
  EXPECT_EQ(wlSendMsg("lost"), -1);
  EXPECT_EQ(Sent(), (Lines{"disconnect id1 '' >D +names"}));
  NewRecord();
  try {
    client().SendMsg("lost too");
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "handler failed");
  }
  EXPECT_TRUE(Sent().empty());
}

TEST_F(InterceptTest, AHandlerMayReplaceOrClearItselfWhileItRuns) {
  Dispatcher("D");
  Lines calls;
  // Each handler reads its own captured text after it has replaced itself.
  client().OnSendMsg = [&calls, name = std::string(40, '1')](TObject* sender, TWrenlogMsgData&,
                                                             bool&) {
    static_cast<TWrenlog*>(sender)->OnSendMsg = [&calls, name = std::string(40, '2')](
                                                    TObject* s, TWrenlogMsgData&, bool&) {
      static_cast<TWrenlog*>(s)->OnSendMsg = nullptr;
      calls.push_back(name);
    };
    calls.push_back(name);
  };
  ASSERT_EQ(wlSendMsg("one"), 0);
  ASSERT_EQ(wlSendMsg("two"), 0);
  ASSERT_EQ(wlSendMsg("three"), 0);
  EXPECT_EQ(calls, (Lines{std::string(40, '1'), std::string(40, '2')}));
  EXPECT_EQ(Sent(), (Lines{"connect id1 'Viewer' >D -names", "msg id1 'three' >D +names"}));
}

}  // namespace
}  // namespace wl::fake
