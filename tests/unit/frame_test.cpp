// The export frame: argument copies that cannot fault, the trap, and the switch exports.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

#include "tests/fake/client_fixture.h"
#include "udf/exports.h"

namespace wl {
namespace {

using fake::ClientTest;

// Two pages: the first readable, the second not.
class GuardedPages {
 public:
  GuardedPages() {
    page_ = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    base_ = static_cast<char*>(
        mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    mprotect(base_ + page_, page_, PROT_NONE);
  }
  ~GuardedPages() { munmap(base_, 2 * page_); }
  // A text whose last byte is the last readable byte.
  const char* TextAtPageEnd(const char* text, bool terminated) {
    const std::size_t n = std::strlen(text) + (terminated ? 1 : 0);
    char* at = base_ + page_ - n;
    std::memcpy(at, text, n);
    return at;
  }
  const char* Unreadable() const { return base_ + page_; }

 private:
  std::size_t page_;
  char* base_;
};

class FrameTest : public ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    os->AddDispatcher();
  }
  std::vector<std::string> MessageTexts() {
    std::vector<std::string> texts;
    for (const fake::Packet& p : packets())
      if (p.kind == mkMessage) texts.push_back(p.msg);
    return texts;
  }
};

TEST_F(FrameTest, NullTextIsEmptyText) {
  EXPECT_EQ(wlSendMsg(nullptr), 0);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{""});
}

TEST_F(FrameTest, UnreadableTextGivesMinusOneAndTheNextCallWorks) {
  GuardedPages pages;
  EXPECT_EQ(wlSendMsg(pages.Unreadable()), -1);
  EXPECT_EQ(wlSendMsg(pages.TextAtPageEnd("edge", false)), -1);  // runs into the guard page
  EXPECT_TRUE(MessageTexts().empty());
  EXPECT_EQ(wlSendMsg(pages.TextAtPageEnd("edge", true)), 0);  // NUL is the last readable byte
  EXPECT_EQ(wlSendMsg("after"), 0);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"edge", "after"}));
}

TEST_F(FrameTest, LargeTextIsCopiedWhole) {
  const std::string big(1 << 20, 'x');
  EXPECT_EQ(wlSendMsg(big.c_str()), 0);
  EXPECT_EQ(MessageTexts().back().size(), big.size());
}

TEST_F(FrameTest, AnErrorRaisedInsideGivesMinusOne) {
  // A number stored as the dispatcher path is an error on the way to the dispatcher.
  os->RemoveWindow(os->FindWindow("TFrmDispatcher", "Wrenlog Dispatcher"));
  os->SetRegistryValue("Software\\Tolvane\\Wrenlog\\2.0", "DispatcherPath", platform::kRegDword,
                       std::string("\x05\0\0\0", 4));
  EXPECT_EQ(wlSendMsg("x"), -1);
  EXPECT_EQ(os->CreateProcessCalls(), 0);
}

TEST_F(FrameTest, CallsWithoutAClientGiveMinusOne) {
  Unload();
  EXPECT_EQ(wlSendMsg("x"), -1);
  EXPECT_EQ(wlEnable(), -1);
  EXPECT_EQ(wlEnabled(), -1);
}

TEST_F(FrameTest, DisableStopsSendingAndEnableResumes) {
  struct Step {
    std::int32_t (*call)();
    std::int32_t result;
    std::int32_t enabledAfter;
  };
  const Step steps[] = {{wlEnabled, 1, 1}, {wlDisable, 0, 0}, {wlDisable, 0, 0},
                        {wlEnabled, 0, 0}, {wlEnable, 0, 1},  {wlEnabled, 1, 1}};
  for (const Step& s : steps) {
    EXPECT_EQ(s.call(), s.result);
    EXPECT_EQ(wlEnabled(), s.enabledAfter);
  }
  EXPECT_TRUE(os->Deliveries().empty());  // switching sends nothing
  wlDisable();
  EXPECT_EQ(wlSendMsg("quiet"), 0);
  EXPECT_TRUE(MessageTexts().empty());
  wlEnable();
  EXPECT_EQ(wlSendMsg("loud"), 0);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"loud"});
}

}  // namespace
}  // namespace wl
