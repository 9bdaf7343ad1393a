// Message composition: the text and kind each operation sends, the Enabled guard, checkpoint
// numbering, the method marks, and the guarded formatting of the Fmt operations.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <stdexcept>

#include "tests/fake/client_fixture.h"
#include "tests/unit/message_record.h"
#include "tests/unit/scripted_client.h"

namespace wl {
namespace {

using fake::ClientTest;
using fake::ScriptedClient;
using fake::Sent;

class TOrderForm : public TComponent {
 public:
  const char* ClassName() const override { return "TOrderForm"; }
};

class TCursorState : public TObject {
 public:
  const char* ClassName() const override { return "TCursorState"; }
};

struct ComposeCase {
  const char* what;
  std::function<void(TWrenlog&)> call;
  Sent expected;
};

std::vector<ComposeCase> ComposeCases() {
  static TOrderForm named, unnamed;
  named.Name = "OrderForm1";
  static TCursorState cursor;
  const FormatArg three[] = {std::int32_t{3}};
  const FormatArg pair[] = {"x", std::int32_t{-7}};
  return {
      {"SendMsg", [](TWrenlog& c) { c.SendMsg("plain"); }, {mkMessage, "plain"}},
      {"SendMsgEx", [](TWrenlog& c) { c.SendMsgEx(mkNote, "as note"); }, {mkNote, "as note"}},
      {"SendError", [](TWrenlog& c) { c.SendError("bad"); }, {mkError, "bad"}},
      {"SendNote", [](TWrenlog& c) { c.SendNote("n"); }, {mkNote, "n"}},
      {"SendFmtMsgEx",
       [=](TWrenlog& c) { c.SendFmtMsgEx(mkMessage, "%s=%d", pair); },
       {mkMessage, "x=-7"}},
      {"SendFmtError", [=](TWrenlog& c) { c.SendFmtError("%d!", three); }, {mkError, "3!"}},
      {"SendInteger", [](TWrenlog& c) { c.SendInteger("Count", -12); }, {mkMessage, "Count = -12"}},
      {"SendIntegerEx",
       [](TWrenlog& c) { c.SendIntegerEx(mkError, "Rows", 42); },
       {mkError, "Rows = 42"}},
      {"SendFloat grouped",
       [](TWrenlog& c) { c.SendFloat("Total", 1234567.891L); },
       {mkMessage, "Total = 1,234,567.89"}},
      {"SendFloat negative",
       [](TWrenlog& c) { c.SendFloat("Total", -0.5L); },
       {mkMessage, "Total = -0.50"}},
      {"SendFloat zero",
       [](TWrenlog& c) { c.SendFloat("Total", 0.0L); },
       {mkMessage, "Total = 0.00"}},
      {"SendFloat 1E20",
       [](TWrenlog& c) { c.SendFloat("Total", 1e20L); },
       {mkMessage, "Total = 1E20"}},
      {"SendFloatEx",
       [](TWrenlog& c) { c.SendFloatEx(mkNote, "Rate", 2.5L); },
       {mkNote, "Rate = 2.50"}},
      {"SendString",
       [](TWrenlog& c) { c.SendString("City", "Oslo"); },
       {mkMessage, "City = 'Oslo'"}},
      {"SendString empty value",
       [](TWrenlog& c) { c.SendString("City", ""); },
       {mkMessage, "City = ''"}},
      {"SendString unescaped",
       [](TWrenlog& c) { c.SendString("Who", "O'Neil"); },
       {mkMessage, "Who = 'O'Neil'"}},
      {"SendString directive in value",
       [](TWrenlog& c) { c.SendString("F", "%d"); },
       {mkMessage, "F = '%d'"}},
      {"SendStringEx",
       [](TWrenlog& c) { c.SendStringEx(mkError, "A", "b"); },
       {mkError, "A = 'b'"}},
      {"AddSeparator", [](TWrenlog& c) { c.AddSeparator(); }, {mkSeparator, ""}},
      {"Clear", [](TWrenlog& c) { c.Clear(); }, {mkClear, ""}},
      {"EnterMethod", [](TWrenlog& c) { c.EnterMethod("Load"); }, {mkEnterMethod, "Load"}},
      {"ExitMethod", [](TWrenlog& c) { c.ExitMethod("Load"); }, {mkExitMethod, "Load"}},
      {"EnterMethod component",
       [](TWrenlog& c) { c.EnterMethod(&named, "Show"); },
       {mkEnterMethod, "TOrderForm( OrderForm1 ).Show"}},
      {"ExitMethod unnamed component",
       [](TWrenlog& c) { c.ExitMethod(&unnamed, "Show"); },
       {mkExitMethod, "TOrderForm(  ).Show"}},
      {"EnterMethod object",
       [](TWrenlog& c) { c.EnterMethod(&cursor, "Next"); },
       {mkEnterMethod, "TCursorState.Next"}},
      {"ExitMethod null object",
       [](TWrenlog& c) { c.ExitMethod(nullptr, "Next"); },
       {mkExitMethod, "Next"}},
      {"EnterMethodFmt",
       [=](TWrenlog& c) { c.EnterMethodFmt("Load", "%d rows", three); },
       {mkEnterMethod, "Load - 3 rows"}},
      {"ExitMethodFmt",
       [=](TWrenlog& c) { c.ExitMethodFmt("Load", "", three); },
       {mkExitMethod, "Load - "}},
      {"WriteMsg", [](TWrenlog& c) { c.WriteMsg("a", "b"); }, {mkWrite, "a@b"}},
      {"WriteMsg empty", [](TWrenlog& c) { c.WriteMsg("", ""); }, {mkWrite, "@"}},
      {"WriteString", [](TWrenlog& c) { c.WriteString("a", "b", "c"); }, {mkWrite, "a@b = c"}},
      {"WriteInteger", [](TWrenlog& c) { c.WriteInteger("a", "b", -1); }, {mkWrite, "a@b = -1"}},
      {"WriteFloat", [](TWrenlog& c) { c.WriteFloat("a", "b", 2.5L); }, {mkWrite, "a@b = 2.50"}},
  };
}

class ComposeTest : public ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    os->AddDispatcher();
  }
  std::vector<Sent> Messages() const { return fake::MessagesOf(packets()); }
};

TEST_F(ComposeTest, EachOperationSendsItsKindAndText) {
  for (const ComposeCase& c : ComposeCases()) {
    os->ClearRecord();
    c.call(client());
    EXPECT_EQ(Messages(), std::vector<Sent>{c.expected}) << c.what;
  }
}

TEST_F(ComposeTest, DisabledClientSendsNothingAndCountsNothing) {
  client().Enabled = false;
  for (const ComposeCase& c : ComposeCases()) c.call(client());
  client().AddCheckPoint();
  client().SendMemoryStatus();
  EXPECT_TRUE(os->Deliveries().empty());
  EXPECT_EQ(client().CheckPointCount, 0);
}

TEST_F(ComposeTest, QuoteCharEnclosesTheValue) {
  client().QuoteChar = '"';
  client().SendString("City", "Oslo");
  EXPECT_EQ(Messages(), (std::vector<Sent>{{mkMessage, "City = \"Oslo\""}}));
}

TEST_F(ComposeTest, CheckPointsCountOnlyWhileEnabledAndResetAlways) {
  TWrenlog& c = client();
  c.Category = "Orders";
  c.AddCheckPoint();
  c.AddCheckPoint();
  c.Enabled = false;
  c.AddCheckPoint();  // not counted
  c.Enabled = true;
  c.AddCheckPoint();
  c.Enabled = false;
  c.ResetCheckPoint();  // works while disabled
  c.Enabled = true;
  c.AddCheckPoint();
  EXPECT_EQ(Messages(), (std::vector<Sent>{{mkCheckPoint, "Orders: Check Point #1"},
                                           {mkCheckPoint, "Orders: Check Point #2"},
                                           {mkCheckPoint, "Orders: Check Point #3"},
                                           {mkCheckPoint, "Orders: Check Point #1"}}));
}

TEST_F(ComposeTest, EmptyCategoryFallsBackToTheApplicationNameAsItStands) {
  // The first text is built before the send that opens the connection and learns the name.
  client().AddCheckPoint();
  const std::string appName = client().AppName;
  client().AddCheckPoint();
  const std::vector<Sent> sent = Messages();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].text, ": Check Point #1");
  EXPECT_EQ(sent[1].text, appName + ": Check Point #2");
}

TEST_F(ComposeTest, MarksWithoutAnObjectGoThroughTheVirtualTable) {
  ScriptedClient scripted;
  scripted.EnterMethod(nullptr, "Open");
  scripted.ExitMethod(nullptr, "Open");
  EXPECT_EQ(scripted.overrideCalls,
            (std::vector<std::string>{"EnterMethod Open", "ExitMethod Open"}));
  EXPECT_EQ(scripted.sent, (std::vector<Sent>{{mkEnterMethod, "Open"}, {mkExitMethod, "Open"}}));
}

struct GuardedCase {
  const char* what;
  std::function<void(TWrenlog&, FormatArgs)> call;
};

const GuardedCase kGuarded[] = {
    {"SendFmtMsgEx", [](TWrenlog& c, FormatArgs a) { c.SendFmtMsgEx(mkNote, "%d rows", a); }},
    {"SendFmtError", [](TWrenlog& c, FormatArgs a) { c.SendFmtError("%d rows", a); }},
    {"EnterMethodFmt", [](TWrenlog& c, FormatArgs a) { c.EnterMethodFmt("Load", "%d rows", a); }},
    {"ExitMethodFmt", [](TWrenlog& c, FormatArgs a) { c.ExitMethodFmt("Load", "%d rows", a); }},
};

struct BadArguments {
  std::vector<FormatArg> args;
  const char* ending;
};

TEST_F(ComposeTest, FormattingErrorIsSentAsItsDescriptionInstead) {
  const BadArguments bad[] = {
      {{FormatArg("three")}, "\nFormat '%d' invalid or incompatible with argument."},
      {{}, "\nNo argument for format '%d'."},
  };
  const std::string start = "Exception EConvertError in module Wrenbridge.dll at ";
  for (const GuardedCase& g : kGuarded)
    for (const BadArguments& b : bad) {
      os->ClearRecord();
      g.call(client(), b.args);
      const std::vector<Sent> sent = Messages();
      ASSERT_EQ(sent.size(), 1u) << g.what;
      EXPECT_EQ(sent[0].kind, mkError) << g.what;
      EXPECT_TRUE(sent[0].text.starts_with(start)) << g.what << ": " << sent[0].text;
      EXPECT_TRUE(sent[0].text.ends_with(b.ending)) << g.what << ": " << sent[0].text;
      EXPECT_EQ(sent[0].text.size(), start.size() + 9 + std::strlen(b.ending)) << g.what;
    }
}

TEST_F(ComposeTest, ConvertErrorFromTheSendIsDescribedOtherErrorsPass) {
  const FormatArg three[] = {std::int32_t{3}};
  for (const GuardedCase& g : kGuarded) {
    ScriptedClient c;
    c.beforeNextSend = [] { RaiseAt<EConvertError>(0x00431234, "Bad handler"); };
    EXPECT_NO_THROW(g.call(c, three)) << g.what;
    EXPECT_EQ(c.sent, (std::vector<Sent>{{mkError,
                                          "Exception EConvertError in module Wrenbridge.dll at "
                                          "00001234.\nBad handler."}}))
        << g.what;

    c.sent.clear();
    c.beforeNextSend = [] { Raise<Exception>("refused"); };
    EXPECT_THROW(g.call(c, three), Exception) << g.what;
    c.beforeNextSend = [] { throw std::runtime_error("foreign"); };
    EXPECT_THROW(g.call(c, three), std::runtime_error) << g.what;
    EXPECT_TRUE(c.sent.empty()) << g.what;
  }
}

}  // namespace
}  // namespace wl
