// Finding the dispatcher: the window lookup and the command line read from the registry.
#include <gtest/gtest.h>

#include "tests/fake/client_fixture.h"

namespace wl {
namespace {

using fake::ClientTest;
constexpr const char* kKey = "Software\\Tolvane\\Wrenlog\\2.0";

// A client that records the command line it would start instead of starting it.
struct LaunchRecorder : TWrenlog {
  void LaunchDispatcher(const std::string& Path, WindowHandle&) override { paths.push_back(Path); }
  std::vector<std::string> paths;
};

struct RegistryCase {
  const char* name;
  std::function<void(fake::FakeServices&)> script;
  std::vector<std::string> started;
  bool raises;
};

TEST_F(ClientTest, CommandLineComesFromTheRegistryOrTheDefault) {
  using platform::kRegDword;
  using platform::kRegExpandString;
  using platform::kRegString;
  const RegistryCase cases[] = {
      {"no key", [](auto&) {}, {"WLDispatcher.exe"}, false},
      {"key denied",
       [](auto& os) {
         os.SetDispatcherPath("C:\\x.exe");
         os.DenyKey(kKey);
       },
       {"WLDispatcher.exe"},
       false},
      {"no value",
       [](auto& os) { os.SetRegistryValue(kKey, "Other", kRegString, "y"); },
       {"WLDispatcher.exe"},
       false},
      {"empty value",
       [](auto& os) { os.SetRegistryValue(kKey, "DispatcherPath", kRegString, ""); },
       {"WLDispatcher.exe"},
       false},
      {"just a NUL", [](auto& os) { os.SetDispatcherPath(""); }, {"WLDispatcher.exe"}, false},
      {"string",
       [](auto& os) { os.SetDispatcherPath("\"C:\\Log Tools\\d.exe\" -q"); },
       {"\"C:\\Log Tools\\d.exe\" -q"},
       false},
      {"expandable, unexpanded",
       [](auto& os) { os.SetDispatcherPath("%ProgramFiles%\\d.exe", kRegExpandString); },
       {"%ProgramFiles%\\d.exe"},
       false},
      {"text up to its NUL",
       [](auto& os) {
         os.SetRegistryValue(kKey, "DispatcherPath", kRegString, std::string("a.exe\0b.exe", 11));
       },
       {"a.exe"},
       false},
      {"stored without a NUL",
       [](auto& os) { os.SetRegistryValue(kKey, "DispatcherPath", kRegString, "c.exe"); },
       {"c.exe"},
       false},
      {"a number",
       [](auto& os) {
         os.SetRegistryValue(kKey, "DispatcherPath", kRegDword, std::string("\1\0\0\0", 4));
       },
       {},
       true},
  };
  for (const RegistryCase& c : cases) {
    SCOPED_TRACE(c.name);
    os = std::make_unique<fake::FakeServices>();
    InstallServices(os.get());
    c.script(*os);
    LaunchRecorder recorder;
    if (c.raises) {
      try {
        recorder.FindDispatcher(true);
        ADD_FAILURE() << "no error raised";
      } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Invalid data type for 'DispatcherPath'");
      }
    } else {
      EXPECT_EQ(recorder.FindDispatcher(true), 0u);
    }
    EXPECT_EQ(recorder.paths, c.started);
  }
}

TEST_F(ClientTest, AWindowFoundOrNoLaunchAllowedReadsNoRegistry) {
  LaunchRecorder recorder;
  EXPECT_EQ(recorder.FindDispatcher(false), 0u);
  const WindowHandle wnd = os->AddDispatcher();
  os->AddWindow("TFrmDispatcher", "Wrenlog Dispatcher!", 9);
  EXPECT_EQ(recorder.FindDispatcher(true), wnd);
  EXPECT_TRUE(recorder.paths.empty());
  EXPECT_TRUE(os->Events().empty());
}

TEST_F(ClientTest, LookupNeedsBothClassAndTitle) {
  LaunchRecorder recorder;
  os->AddWindow("TFrmDispatcher", "wrenlog dispatcher", 5);
  os->AddWindow("Other", "Wrenlog Dispatcher", 6);
  EXPECT_EQ(recorder.FindDispatcher(false), 0u);
}

}  // namespace
}  // namespace wl

namespace wl {
namespace {

TEST_F(ClientTest, AMessageWhoseStartBroughtUpADispatcherLateStillReachesIt) {
  // The first start shows no window; the connect packet's start brings up a real dispatcher.
  int starts = 0;
  WindowHandle late = 0;
  os->AddProgram("WLDispatcher.exe", [&](fake::FakeServices& fake, std::uint32_t thread) {
    if (++starts == 2) late = fake.AddWindow("TFrmDispatcher", "Wrenlog Dispatcher", thread);
  });
  client().SendMsg("first");
  const std::vector<fake::Packet> sent = packets();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].kind, mkConnect);
  EXPECT_EQ(sent[0].target, late);
  EXPECT_EQ(sent[1].msg, "first");
  EXPECT_EQ(sent[1].target, late);
  EXPECT_EQ(starts, 2);
}

}  // namespace
}  // namespace wl
