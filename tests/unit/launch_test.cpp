// Starting the dispatcher: the command line it is started with, the order of the steps, the
// window search among the new process's main-thread windows, and the bound on repeated starts.
#include <functional>

#include "tests/unit/link_scenario.h"
#include "udf/exports.h"

namespace wl::fake {
namespace {

using Lines = std::vector<std::string>;
constexpr const char* kKey = "Software\\Tolvane\\Wrenlog\\2.0";

struct Registry {
  const char* name;
  std::function<void(FakeServices&)> script;
  std::string started;  // the one command line started, empty for none
  std::int32_t result;
};
const Registry kRegistry[] = {
    {"string value", [](FakeServices& os) { os.SetDispatcherPath("\"C:\\WL\\d.exe\" /q"); },
     "\"C:\\WL\\d.exe\" /q", 0},
    {"expandable value, not expanded",
     [](FakeServices& os) { os.SetDispatcherPath("%X%\\d.exe", platform::kRegExpandString); },
     "%X%\\d.exe", 0},
    {"text ends at its first NUL",
     [](FakeServices& os) {
       os.SetRegistryValue(kKey, "DispatcherPath", platform::kRegString,
                           std::string("a.exe\0b", 7));
     },
     "a.exe", 0},
    {"key missing", nullptr, kDefaultExe, 0},
    {"key denied",
     [](FakeServices& os) {
       os.SetDispatcherPath("C:\\WL\\d.exe");
       os.DenyKey(kKey);
     },
     kDefaultExe, 0},
    {"value missing",
     [](FakeServices& os) { os.SetRegistryValue(kKey, "Other", platform::kRegString, "x.exe"); },
     kDefaultExe, 0},
    {"empty value", [](FakeServices& os) { os.SetDispatcherPath(""); }, kDefaultExe, 0},
    {"value of size 0",
     [](FakeServices& os) {
       os.SetRegistryValue(kKey, "DispatcherPath", platform::kRegString, "");
     },
     kDefaultExe, 0},
    {"number", [](FakeServices& os) { os.SetDispatcherPath("7", platform::kRegDword); }, "", -1},
};

struct Shown {
  const char* className;
  std::string title;
  bool child;
};
struct Search {
  const char* name;
  std::vector<Shown> windows;
  int found;  // index into windows, -1 for none
};
const Search kSearch[] = {
    {"the dispatcher", {{kDispatcherClass, kDispatcherTitle, false}}, 0},
    {"title alone counts", {{"TOther", kDispatcherTitle, false}}, 0},
    {"child or owned window", {{kDispatcherClass, kDispatcherTitle, true}}, -1},
    {"child skipped, next taken",
     {{kDispatcherClass, kDispatcherTitle, true}, {kDispatcherClass, kDispatcherTitle, false}},
     1},
    {"letter case differs", {{kDispatcherClass, "wrenlog dispatcher", false}}, -1},
    {"prefix", {{kDispatcherClass, std::string("The ") + kDispatcherTitle, false}}, -1},
    {"suffix", {{kDispatcherClass, std::string(kDispatcherTitle) + " ", false}}, -1},
    {"empty title, then the dispatcher",
     {{"TEmpty", "", false}, {kDispatcherClass, kDispatcherTitle, false}},
     1},
    {"two matches, first wins",
     {{"TOther", kDispatcherTitle, false}, {kDispatcherClass, kDispatcherTitle, false}},
     0},
    {"no windows", {}, -1},
};

class LaunchTest : public LinkTest {};

TEST_F(LaunchTest, TheCommandLineComesFromTheRegistryOrTheDefault) {
  for (const Registry& c : kRegistry) {
    SCOPED_TRACE(c.name);
    Reload();
    if (c.script) c.script(*os);
    if (!c.started.empty()) WindowProgram(c.started, "P");
    EXPECT_EQ(wlSendMsg("hello"), c.result);
    EXPECT_EQ(CreatedCommandLines(), c.started.empty() ? Lines{} : Lines{c.started});
    const Lines packets =
        c.started.empty() ? Lines{}
                          : Lines{"connect id1 'Viewer' >P1 -names", "msg id1 'hello' >P1 +names"};
    EXPECT_EQ(Sent(), packets);
    EXPECT_EQ(wlEnabled(), 1);
  }
}

TEST_F(LaunchTest, HandlesAreClosedBeforeTheConnectionOpens) {
  WindowProgram(kDefaultExe, "P", kDispatcherClass, [this](const Delivery& d) {
    os->RecordEvent("Deliver " + std::to_string(d.dwData));
    return 1;
  });
  ASSERT_EQ(wlSendMsg("hello"), 0);
  EXPECT_EQ(os->Events(),
            (Lines{"ReadRegistry DispatcherPath", "CreateProcess WLDispatcher.exe",
                   "WaitForInputIdle", "CloseThread", "CloseProcess", "Deliver 41", "Deliver 0"}));
}

TEST_F(LaunchTest, AFailedStartIsTriedOnceMoreForTheConnectPacketAndNothingIsClosed) {
  ASSERT_EQ(wlSendMsg("hello"), 0);
  EXPECT_EQ(os->Events(), (Lines{"ReadRegistry DispatcherPath", "CreateProcess WLDispatcher.exe",
                                 "ReadRegistry DispatcherPath", "CreateProcess WLDispatcher.exe"}));
  EXPECT_EQ(wlEnabled(), 0);
}

TEST_F(LaunchTest, ACommandLineTooLongForItsBufferIsRefusedLikeAFailedStart) {
  struct Length {
    std::size_t size;
    bool started;
  };
  for (const Length c : {Length{255, true}, Length{256, false}, Length{1000, false}}) {
    SCOPED_TRACE(c.size);
    Reload();
    const std::string path = "C:\\" + std::string(c.size - 9, 'd') + "\\d.exe";
    os->SetDispatcherPath(path);
    WindowProgram(path, "P");
    ASSERT_EQ(wlSendMsg("hello"), 0);
    EXPECT_EQ(CreatedCommandLines(), c.started ? Lines{path} : Lines{});
    EXPECT_EQ(wlEnabled(), c.started ? 1 : 0);
    const char* target = c.started ? ">P1" : ">0";
    EXPECT_EQ(Sent(), (Lines{std::string("connect id1 'Viewer' ") + target + " -names",
                             std::string("msg id1 'hello' ") + target + " +names"}));
  }
}

TEST_F(LaunchTest, LaunchReportsTheWindowOnlyWhenTheProcessWasCreated) {
  WindowHandle wnd = 0x77;
  client().LaunchDispatcher("missing.exe", wnd);
  EXPECT_EQ(wnd, 0x77u);
  EXPECT_FALSE(client().Enabled);
  EXPECT_TRUE(packets().empty());

  client().Enabled = true;
  SilentProgram("silent.exe");
  wnd = 0x77;
  client().LaunchDispatcher("silent.exe", wnd);
  EXPECT_EQ(wnd, 0u);
  EXPECT_FALSE(client().ConnectionId.empty()) << "Connect runs also without a window";

  WindowProgram("good.exe", "P");
  client().LaunchDispatcher("good.exe", wnd);
  EXPECT_EQ(wnd, os->FindWindow(kDispatcherClass, kDispatcherTitle));
}

TEST_F(LaunchTest, TheThreadWindowIsTheFirstTopLevelOneWithTheExactTitle) {
  for (const Search& c : kSearch) {
    SCOPED_TRACE(c.name);
    const std::uint32_t thread = 500;
    std::vector<WindowHandle> handles;
    for (const Shown& w : c.windows)
      handles.push_back(os->AddWindow(w.className, w.title, thread, w.child ? 0x10 : 0));
    os->AddWindow(kDispatcherClass, kDispatcherTitle, thread + 1);  // another thread's
    const WindowHandle expected = c.found < 0 ? 0 : handles[static_cast<std::size_t>(c.found)];
    EXPECT_EQ(client().FindThreadWindow(thread), expected);
    Reload();
  }
}

TEST_F(LaunchTest, ASearchKeepsNoEarlierResultAndPassesOverAnUnreadableTitle) {
  const WindowHandle unreadable = os->AddWindow("TBroken", "x", 600);
  os->MakeTitleUnreadable(unreadable);
  const WindowHandle d = os->AddWindow(kDispatcherClass, kDispatcherTitle, 600);
  EXPECT_EQ(client().FindThreadWindow(600), d);
  EXPECT_EQ(client().FindThreadWindow(601), 0u);
}

// A program that shows the dispatcher's title under another class is found after every start,
// but never by class and title: each message starts it at most twice, and the client ends off.
TEST_F(LaunchTest, AProgramWithTheTitleButAnotherClassIsStartedAtMostTwicePerMessage) {
  WindowProgram(kDefaultExe, "X", "TImpostor");
  ASSERT_EQ(wlSendMsg("one"), 0);
  EXPECT_EQ(os->CreateProcessCalls(), 2);
  EXPECT_EQ(Sent(), (Lines{"connect id1 'Viewer' >X2 +names", "connect id1 'Viewer' >0 +names",
                           "msg id1 'one' >X1 +names"}));
  EXPECT_EQ(wlEnabled(), 0);

  NewRecord();
  ASSERT_EQ(wlEnable(), 0);
  ASSERT_EQ(wlSendMsg("two"), 0);
  EXPECT_EQ(os->CreateProcessCalls(), 2);
  EXPECT_EQ(Sent(), (Lines{"connect id1 'Viewer' >X4 +names", "msg id1 'two' >X3 +names"}));
  EXPECT_FALSE(client().Connecting);
}

}  // namespace
}  // namespace wl::fake
