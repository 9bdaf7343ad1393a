// Win32Services against real windows: lookup, parent, title, thread enumeration, WM_COPYDATA,
// and starting a GUI program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "platform/win32/win32_services.h"
#include "tests/wine/wine_test_support.h"

namespace wl::platform {
namespace {

// What the test window's procedure saw of the last WM_COPYDATA.
struct Delivery {
  ULONG_PTR dwData = 0;
  std::vector<std::uint8_t> bytes;
};
Delivery lastDelivery;

LRESULT CALLBACK TestWindowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return ::DefWindowProcA(wnd, message, wParam, lParam);
  const auto& cds = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  const auto* bytes = static_cast<const std::uint8_t*>(cds.lpData);
  lastDelivery = {cds.dwData, {bytes, bytes + cds.cbData}};
  return 77;
}

// A top-level window of this thread with a child, both destroyed at the end.
class Windows : public ::testing::Test {
 protected:
  static constexpr const char* kClass = "WLServicesTestWindow";
  static constexpr const char* kTitle = "Services test window";

  void SetUp() override {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClass;
    ::RegisterClassA(&windowClass);
    top_ = ::CreateWindowExA(0, kClass, kTitle, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                             nullptr, windowClass.hInstance, nullptr);
    child_ = ::CreateWindowExA(0, kClass, kTitle, WS_CHILD, 0, 0, 10, 10, top_, nullptr,
                               windowClass.hInstance, nullptr);
    ASSERT_NE(top_, nullptr);
    ASSERT_NE(child_, nullptr);
  }
  void TearDown() override { ::DestroyWindow(top_); }

  static WindowHandle H(HWND wnd) { return reinterpret_cast<WindowHandle>(wnd); }

  Win32Services services_;
  HWND top_ = nullptr;
  HWND child_ = nullptr;
};

TEST_F(Windows, FindWindowMatchesClassAndTitleOfTopLevelWindows) {
  EXPECT_EQ(services_.FindWindow(kClass, kTitle), H(top_));
  EXPECT_EQ(services_.FindWindow(kClass, "Services test"), 0u);
  EXPECT_EQ(services_.FindWindow("NoSuchClass", kTitle), 0u);
}

TEST_F(Windows, GetParentTellsChildrenFromTopLevelWindows) {
  EXPECT_EQ(services_.GetParent(H(top_)), 0u);
  EXPECT_EQ(services_.GetParent(H(child_)), H(top_));
}

TEST_F(Windows, GetWindowTextReadsAtMostMaxCountMinusOneCharacters) {
  const struct {
    int maxCount;
    const char* expected;
  } cases[] = {{255, kTitle}, {21, kTitle}, {8, "Service"}, {1, ""}, {0, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.maxCount);
    EXPECT_EQ(services_.GetWindowText(H(top_), c.maxCount), c.expected);
  }
}

TEST_F(Windows, EnumThreadWindowsVisitsTopLevelWindowsUntilToldToStop) {
  std::vector<WindowHandle> seen;
  services_.EnumThreadWindows(::GetCurrentThreadId(), [&](WindowHandle wnd) {
    seen.push_back(wnd);
    return true;
  });
  EXPECT_NE(std::find(seen.begin(), seen.end(), H(top_)), seen.end());
  EXPECT_EQ(std::find(seen.begin(), seen.end(), H(child_)), seen.end());

  int visits = 0;
  services_.EnumThreadWindows(::GetCurrentThreadId(), [&](WindowHandle) { return ++visits > 5; });
  EXPECT_EQ(visits, 1);
}

TEST_F(Windows, EnumThreadWindowsRethrowsWhatTheVisitorThrew) {
  int visits = 0;
  auto throwing = [&](WindowHandle) -> bool {
    ++visits;
    throw std::runtime_error("from the visitor");
  };
  EXPECT_THROW(services_.EnumThreadWindows(::GetCurrentThreadId(), throwing), std::runtime_error);
  EXPECT_EQ(visits, 1);
}

TEST_F(Windows, SendCopyDataDeliversKindAndBytesAndReturnsTheAnswer) {
  const char bytes[] = "packet\0bytes";
  EXPECT_EQ(services_.SendCopyData(H(top_), -5, bytes, sizeof bytes), 77);
  EXPECT_EQ(lastDelivery.dwData, 0xFFFFFFFBu);
  EXPECT_EQ(lastDelivery.bytes, std::vector<std::uint8_t>(bytes, bytes + sizeof bytes));
  EXPECT_EQ(services_.SendCopyData(0, 0, bytes, sizeof bytes), 0);
}

std::string RecorderExe() {
  const char* exe = std::getenv("WL_RECORDER_EXE");
  return exe ? wine_test::WindowsPath(exe) : std::string();
}

TEST(StartProcess, StartsAGuiProgramAndFindsItsWindowOnceIdle) {
  ASSERT_FALSE(RecorderExe().empty()) << "WL_RECORDER_EXE is not set";
  const wine_test::ScratchDir dir;
  Win32Services services;
  const std::string line = "\"" + RecorderExe() + "\" \"" + dir.File("p.bin") +
                           "\" --class WLStartTest --title \"Started by the test\"";
  auto started = services.CreateProcess(line.c_str());
  ASSERT_NE(started, nullptr);
  started->WaitForInputIdle();
  WindowHandle found = 0;
  services.EnumThreadWindows(started->MainThreadId(), [&](WindowHandle wnd) {
    if (services.GetWindowText(wnd, 255) == "Started by the test") found = wnd;
    return found == 0;
  });
  ASSERT_NE(found, 0u);
  DWORD processId = 0;
  ::GetWindowThreadProcessId(reinterpret_cast<HWND>(found), &processId);
  const platform::win32::unique_handle process(
      ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId));
  ::PostMessageA(reinterpret_cast<HWND>(found), WM_CLOSE, 0, 0);
  const DWORD ended = ::WaitForSingleObject(process.get(), 10000);
  if (ended != WAIT_OBJECT_0) ::TerminateProcess(process.get(), 1);
  EXPECT_EQ(ended, WAIT_OBJECT_0) << "the recorder did not end on WM_CLOSE";
}

TEST(StartProcess, ReportsAProgramThatCannotBeStarted) {
  Win32Services services;
  EXPECT_EQ(services.CreateProcess("wl-no-such-program.exe"), nullptr);
}

}  // namespace
}  // namespace wl::platform
