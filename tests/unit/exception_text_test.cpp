// SendException: the description of the exception being handled.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "tests/fake/client_fixture.h"
#include "tests/unit/message_record.h"

namespace wl {
namespace {

using fake::ClientTest;
using fake::Sent;

struct DescriptionCase {
  const char* what;
  std::function<void()> raise;
  std::string expected;
};

// The fake places every address in the library, loaded at the address's 64 KB boundary.
const DescriptionCase kDescriptions[] = {
    {"our error", [] { RaiseAt<EConvertError>(0x0043A2B4, "Bad"); },
     "Exception EConvertError in module Wrenbridge.dll at 0000A2B4.\nBad."},
    {"message ending in a full stop", [] { RaiseAt<Exception>(0x00410010, "Done."); },
     "Exception Exception in module Wrenbridge.dll at 00000010.\nDone."},
    {"empty message", [] { RaiseAt<EAssertionFailed>(0x0041FFFF, ""); },
     "Exception EAssertionFailed in module Wrenbridge.dll at 0000FFFF.\n"},
    {"error thrown without an address", [] { throw EConvertError("plain"); },
     "Exception EConvertError in module Wrenbridge.dll at 00000000.\nplain."},
    {"foreign std::exception", [] { throw std::out_of_range("index 9"); },
     "Exception std::out_of_range in module Wrenbridge.dll at 00000000.\nindex 9."},
    {"not a std::exception", [] { throw 42; },
     "Exception int in module Wrenbridge.dll at 00000000.\n"},
    {"NUL inside the message", [] { RaiseAt<Exception>(0x00410001, std::string("ab\0cd", 5)); },
     "Exception Exception in module Wrenbridge.dll at 00000001.\nab"},
};

class ExceptionTextTest : public ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    os->AddDispatcher();
  }
  // The one message SendException sent while handling what raise threw.
  std::vector<Sent> DescribeRaised(const std::function<void()>& raise) {
    os->ClearRecord();
    try {
      raise();
    } catch (...) {
      client().SendException();
    }
    return fake::MessagesOf(packets());
  }
};

TEST_F(ExceptionTextTest, DescribesClassModuleOffsetAndMessage) {
  for (const DescriptionCase& c : kDescriptions) {
    const std::vector<Sent> sent = DescribeRaised(c.raise);
    ASSERT_EQ(sent.size(), 1u) << c.what;
    EXPECT_EQ(sent[0].kind, mkError) << c.what;
    EXPECT_EQ(sent[0].text, c.expected) << c.what;
  }
}

TEST_F(ExceptionTextTest, RaiseRecordsTheRaisingCodeAddress) {
  const std::vector<Sent> sent = DescribeRaised([] { Raise<EListError>("x"); });
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_TRUE(sent[0].text.starts_with("Exception EListError in module Wrenbridge.dll at "));
  EXPECT_FALSE(sent[0].text.ends_with(" at 00000000.\nx.")) << sent[0].text;
}

// The fake's services, except that no code address lies in any module.
class NoModuleServices final : public platform::Services {
 public:
  explicit NoModuleServices(fake::FakeServices& os) : os_(os) {}
  platform::CodeLocation LocateCode(std::uintptr_t) override { return {}; }
  std::string LibraryFileName() override { return os_.LibraryFileName(); }
  platform::WindowHandle FindWindow(const char* c, const char* t) override {
    return os_.FindWindow(c, t);
  }
  platform::WindowHandle GetParent(platform::WindowHandle w) override { return os_.GetParent(w); }
  std::string GetWindowText(platform::WindowHandle w, int n) override {
    return os_.GetWindowText(w, n);
  }
  void EnumThreadWindows(std::uint32_t t,
                         const std::function<bool(platform::WindowHandle)>& v) override {
    os_.EnumThreadWindows(t, v);
  }
  std::int32_t SendCopyData(platform::WindowHandle w, std::int32_t k, const void* d,
                            std::uint32_t n) override {
    return os_.SendCopyData(w, k, d, n);
  }
  std::unique_ptr<platform::StartedProcess> CreateProcess(const char* c) override {
    return os_.CreateProcess(c);
  }
  platform::RegistryRead ReadMachineValue(const char* k, const char* v) override {
    return os_.ReadMachineValue(k, v);
  }
  std::string NewGuidText() override { return os_.NewGuidText(); }
  platform::LocalTime GetLocalTime() override { return os_.GetLocalTime(); }
  std::optional<std::int32_t> TimeZoneBias() override { return os_.TimeZoneBias(); }
  std::uint32_t CurrentProcessId() override { return os_.CurrentProcessId(); }
  std::uint32_t CurrentThreadId() override { return os_.CurrentThreadId(); }
  std::optional<std::string> ComputerName() override { return os_.ComputerName(); }
  std::string MainModuleFileName() override { return os_.MainModuleFileName(); }
  platform::MemoryFigures GlobalMemoryStatus() override { return os_.GlobalMemoryStatus(); }
  platform::HeapFigures HeapStatus() override { return os_.HeapStatus(); }
  platform::LocaleSettings UserLocale() override { return os_.UserLocale(); }

 private:
  fake::FakeServices& os_;
};

TEST_F(ExceptionTextTest, AddressInNoModuleIsShownLess0x1000InTheLibrary) {
  NoModuleServices noModules(*os);
  InstallServices(&noModules);
  const std::unique_ptr<void, std::function<void(void*)>> restore(
      &noModules, [this](void*) { InstallServices(os.get()); });
  const std::vector<Sent> sent = DescribeRaised([] { RaiseAt<Exception>(0x00005000, "m"); });
  EXPECT_EQ(sent, (std::vector<Sent>{
                      {mkError, "Exception Exception in module Wrenbridge.dll at 00004000.\nm."}}));
}

TEST_F(ExceptionTextTest, ModuleIsNamedWithoutItsDirectory) {
  os->libraryFileName = "D:\\udf\\lib\\Other.dll";
  const std::vector<Sent> sent = DescribeRaised([] { RaiseAt<Exception>(0x00420002, "m"); });
  EXPECT_EQ(
      sent,
      (std::vector<Sent>{{mkError, "Exception Exception in module Other.dll at 00000002.\nm."}}));
}

TEST_F(ExceptionTextTest, DescriptionIsCutTo1024Characters) {
  const std::vector<Sent> sent =
      DescribeRaised([] { RaiseAt<Exception>(0x00410000, std::string(3000, 'x')); });
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].text.size(), 1024u);
  EXPECT_EQ(sent[0].text.back(), 'x');
}

TEST_F(ExceptionTextTest, NothingIsSentWithoutACurrentExceptionOrWhileDisabled) {
  client().SendException();
  EXPECT_TRUE(os->Deliveries().empty());
  client().Enabled = false;
  EXPECT_TRUE(DescribeRaised([] { RaiseAt<Exception>(0x00410000, "m"); }).empty());
}

}  // namespace
}  // namespace wl
