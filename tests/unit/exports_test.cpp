// The exported functions: what each one sends, its result, null arguments, the Enabled guard,
// the properties set by wlCategory and wlCategoryColor, and the calls through the virtual table.
#include <gtest/gtest.h>

#include <functional>
#include <mutex>

#include "tests/fake/client_fixture.h"
#include "tests/unit/message_record.h"
#include "tests/unit/scripted_client.h"
#include "udf/exports.h"

namespace wl {
namespace {

using fake::ClientTest;
using fake::Sent;
using Export = std::function<std::int32_t()>;

const std::int32_t k42 = 42, kMinus1 = -1;
const double k2_5 = 2.5, k2_675 = 2.675, kBig = 123456789012345678.0;

struct ExportCase {
  const char* what;
  Export call;
  std::vector<Sent> sent;
};

const std::vector<ExportCase>& ExportCases() {
  static const std::vector<ExportCase> cases = {
      {"wlSendMsg", [] { return wlSendMsg("hello"); }, {{mkMessage, "hello"}}},
      {"wlEnterMethod", [] { return wlEnterMethod("Load"); }, {{mkEnterMethod, "Load"}}},
      {"wlExitMethod", [] { return wlExitMethod("Load"); }, {{mkExitMethod, "Load"}}},
      {"wlSendString", [] { return wlSendString("City", "Oslo"); }, {{mkMessage, "City = 'Oslo'"}}},
      {"wlSendString nulls", [] { return wlSendString(nullptr, nullptr); }, {{mkMessage, " = ''"}}},
      {"wlAddSeparator", [] { return wlAddSeparator(); }, {{mkSeparator, ""}}},
      {"wlAddCheckpoint",
       [] { return wlCategory("Orders") + wlAddCheckpoint(); },
       {{mkCheckPoint, "Orders: Check Point #1"}}},
      {"wlClear", [] { return wlClear(); }, {{mkClear, ""}}},
      {"wlSendInteger", [] { return wlSendInteger("Rows", &k42); }, {{mkMessage, "Rows = 42"}}},
      {"wlSendFloat", [] { return wlSendFloat("Rate", &k2_5); }, {{mkMessage, "Rate = 2.50"}}},
      // The exact binary value of the double is rounded, not its shortest decimal form.
      {"wlSendFloat exact", [] { return wlSendFloat("v", &k2_675); }, {{mkMessage, "v = 2.67"}}},
      {"wlSendFloat large",
       [] { return wlSendFloat("v", &kBig); },
       {{mkMessage, "v = 123,456,789,012,345,680.00"}}},
      {"wlSendNote", [] { return wlSendNote("note"); }, {{mkNote, "note"}}},
      {"wlWriteInteger",
       [] { return wlWriteInteger("a", "b", &kMinus1); },
       {{mkWrite, "a@b = -1"}}},
      {"wlWriteFloat", [] { return wlWriteFloat("a", "b", &k2_5); }, {{mkWrite, "a@b = 2.50"}}},
      {"wlWriteString", [] { return wlWriteString("a", "b", "c"); }, {{mkWrite, "a@b = c"}}},
      {"wlWriteMsg", [] { return wlWriteMsg("a", "b"); }, {{mkWrite, "a@b"}}},
      {"wlSendMemoryStatus",
       [] { return wlSendMemoryStatus(); },
       {{mkMemoryStatus, "Memory Status"}}},
      {"wlSendString2",
       [] {
         wlSendString2("Size", "large");
         return 0;
       },
       {{mkMessage, "Size = 'large'"}}},
      {"wlResetCheckpoint", [] { return wlResetCheckpoint(); }, {}},
      {"wlCategory", [] { return wlCategory("Sales"); }, {}},
      {"wlCategoryColor", [] { return wlCategoryColor("clRed"); }, {}},
      {"wlDestinationDetails", [] { return wlDestinationDetails("Viewer"); }, {}},
  };
  return cases;
}

class ExportsTest : public ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    os->AddDispatcher();
  }
  std::vector<Sent> Messages() const { return fake::MessagesOf(packets()); }
};

TEST_F(ExportsTest, EachExportSendsItsMessageAndReturnsZero) {
  for (const ExportCase& c : ExportCases()) {
    os->ClearRecord();
    EXPECT_EQ(c.call(), 0) << c.what;
    EXPECT_EQ(Messages(), c.sent) << c.what;
  }
}

TEST_F(ExportsTest, DisabledExportsSendNothingAndReturnZero) {
  wlDisable();
  for (const ExportCase& c : ExportCases()) EXPECT_EQ(c.call(), 0) << c.what;
  // Only a new destination's reconnect may still talk to the dispatcher.
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(client().Category, "Sales");  // the property setters still work
  EXPECT_EQ(client().CategoryColor, 0x000000FF);
}

TEST_F(ExportsTest, NullNumberPointerGivesMinusOneAndSendsNothing) {
  const std::pair<const char*, Export> cases[] = {
      {"wlSendInteger", [] { return wlSendInteger("x", nullptr); }},
      {"wlSendFloat", [] { return wlSendFloat("x", nullptr); }},
      {"wlWriteInteger", [] { return wlWriteInteger("a", "b", nullptr); }},
      {"wlWriteFloat", [] { return wlWriteFloat("a", "b", nullptr); }},
  };
  for (const auto& [what, call] : cases) EXPECT_EQ(call(), -1) << what;
  EXPECT_TRUE(os->Deliveries().empty());
  EXPECT_EQ(wlSendMsg("after"), 0);  // nothing was left locked or half-done
  EXPECT_EQ(Messages(), (std::vector<Sent>{{mkMessage, "after"}}));
}

struct ColorCase {
  const char* name;
  std::int32_t result;
  std::uint32_t colorAfter;
};

TEST_F(ExportsTest, CategoryColorTakesOnlyAnIdentifierAndKeepsItsValueOtherwise) {
  const ColorCase cases[] = {
      {"clRed", 0, 0x000000FF},   {"clBlue", 0, 0x00FF0000}, {"CLRED", 0, 0x000000FF},
      {"clRed ", -1, 0x000000FF}, {"", -1, 0x000000FF},      {"$000000FF", -1, 0x000000FF},
      {nullptr, -1, 0x000000FF},  {"clred", 0, 0x000000FF},  {"clWindow", 0, 0x80000005},
      {"clNone", 0, 0x1FFFFFFF},
  };
  for (const ColorCase& c : cases) {
    EXPECT_EQ(wlCategoryColor(c.name), c.result) << (c.name ? c.name : "null");
    EXPECT_EQ(client().CategoryColor, static_cast<std::int32_t>(c.colorAfter))
        << (c.name ? c.name : "null");
  }
  EXPECT_TRUE(os->Deliveries().empty());
  wlCategoryColor("clTeal");
  wlSendMsg("coloured");
  EXPECT_EQ(packets().back().categoryColor, 0x00808000);  // the next packet carries it
}

TEST_F(ExportsTest, CategoryIsStoredUnchanged) {
  const std::string long_(100, 'c');
  const char* cases[] = {" padded ", long_.c_str(), "", "%d"};
  for (const char* text : cases) {
    EXPECT_EQ(wlCategory(text), 0);
    EXPECT_EQ(client().Category, text);
  }
  wlCategory("x");
  EXPECT_EQ(wlCategory(nullptr), 0);
  EXPECT_EQ(client().Category, "");
  EXPECT_TRUE(os->Deliveries().empty());
}

TEST_F(ExportsTest, MarksAndDestinationGoThroughTheVirtualTable) {
  fake::ScriptedClient scripted;
  TWrenlog* const real = GlobalClient;
  {
    std::lock_guard guard(GlobalClientLock());
    GlobalClient = &scripted;
  }
  EXPECT_EQ(wlEnterMethod("Open"), 0);
  EXPECT_EQ(wlExitMethod("Open"), 0);
  EXPECT_EQ(wlDestinationDetails("Archive"), 0);
  {
    std::lock_guard guard(GlobalClientLock());
    GlobalClient = real;
  }
  EXPECT_EQ(scripted.overrideCalls, (std::vector<std::string>{"EnterMethod Open", "ExitMethod Open",
                                                              "SetDestinationDetails Archive"}));
}

}  // namespace
}  // namespace wl
