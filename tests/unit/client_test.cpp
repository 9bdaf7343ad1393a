// A client's defaults, its identity getters and the object manager.
#include <gtest/gtest.h>

#include "tests/fake/client_fixture.h"

namespace wl {
namespace {

using fake::ClientTest;

TEST_F(ClientTest, NewClientStartsAtItsDefaultsAndIsCounted) {
  const TWrenlog& c = client();
  EXPECT_TRUE(c.Enabled);
  EXPECT_EQ(c.CategoryColor, static_cast<std::int32_t>(0x80000005));
  EXPECT_EQ(c.HexViewWidth, 8);
  EXPECT_EQ(c.HexNumPrefix, "$");
  EXPECT_EQ(c.QuoteChar, '\'');
  EXPECT_EQ(c.CheckPointCount, 0);
  EXPECT_EQ(c.DispatcherWnd, 0u);
  EXPECT_TRUE(c.ConnectionId.empty());
  EXPECT_TRUE(c.ComputerName.empty());
  EXPECT_TRUE(c.AppName.empty());
  EXPECT_TRUE(c.DestinationDetails().empty());
  EXPECT_FALSE(c.Connecting);
  EXPECT_FALSE(c.Registered);
  EXPECT_FALSE(static_cast<bool>(c.OnSendMsg));
  EXPECT_EQ(c.TimeZoneBias, -60);
  EXPECT_EQ(ObjectManager->InstanceCount(), 1);
  EXPECT_EQ(ObjectManager->DefaultDestination, "Viewer");
  EXPECT_EQ(ObjectManager->AssertionMode, 0);
}

TEST_F(ClientTest, LoadingSendsNothingAndStartsNothing) {
  EXPECT_TRUE(os->Deliveries().empty());
  EXPECT_EQ(os->CreateProcessCalls(), 0);
}

struct StampCase {
  platform::LocalTime at;
  std::int32_t time;
  std::int32_t date;
};

TEST_F(ClientTest, TimeStampCountsMillisecondsAndDays) {
  const StampCase cases[] = {
      {{1899, 12, 30, 0, 0, 0, 0}, 0, 693594},
      {{1899, 12, 31, 23, 59, 59, 999}, 86399999, 693595},
      {{1, 1, 1, 0, 0, 0, 1}, 1, 1},
      {{1900, 3, 1, 12, 0, 0, 0}, 43200000, 693594 + 61},  // 1900 is not a leap year
      {{2000, 3, 1, 0, 0, 1, 0}, 1000, DayNumber(2000, 2, 29) + 1},
      {{2024, 1, 1, 0, 0, 0, 0}, 0, 738886},
  };
  for (const StampCase& c : cases) {
    os->now = c.at;
    const TWLTimeStamp s = client().QueryTimeStamp();
    EXPECT_EQ(s.Time, c.time) << c.at.year << "-" << c.at.month << "-" << c.at.day;
    EXPECT_EQ(s.Date, c.date) << c.at.year << "-" << c.at.month << "-" << c.at.day;
  }
}

struct AppNameCase {
  const char* path;
  const char* name;
};

TEST_F(ClientTest, AppNameIsTheFileNameBeforeItsLastDot) {
  const std::string base45(45, 'n');
  const std::string path45 = "C:\\bin\\" + base45 + ".exe";
  const AppNameCase cases[] = {
      {"C:\\srv\\bin\\dbserver.exe", "dbserver"},
      {"C:\\srv\\my.server.exe", "my.server"},
      {"C:\\srv\\noext", "noext"},
      {"C:\\srv\\.exe", ""},
      {"D:server.exe", "server"},
      {"plain.exe", "plain"},
      {"C:\\dir.d\\prog", "prog"},
      {path45.c_str(), "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn"},
  };
  for (const AppNameCase& c : cases) {
    os->mainModuleFileName = c.path;
    EXPECT_EQ(client().QueryAppName(), c.name) << c.path;
  }
}

TEST_F(ClientTest, ComputerNameIsEmptyWhenTheSystemCannotSay) {
  EXPECT_EQ(client().QueryComputerName(), "BUILDHOST");
  os->computerName.reset();
  EXPECT_EQ(client().QueryComputerName(), "");
}

class ZoneTest : public ClientTest, public ::testing::WithParamInterface<std::optional<int>> {
  void Configure(fake::FakeServices& fake) override { fake.timeZoneBias = GetParam(); }
};

TEST_P(ZoneTest, BiasIsTheZonesBiasAloneAndZeroWhenUnknown) {
  EXPECT_EQ(client().TimeZoneBias, GetParam().value_or(0));
}

INSTANTIATE_TEST_SUITE_P(Zones, ZoneTest,
                         ::testing::Values(std::optional<int>(-600), std::optional<int>(300),
                                           std::optional<int>(0), std::nullopt));

// A client that counts its own destruction.
struct CountedClient : TWrenlog {
  explicit CountedClient(int& destroyed) : destroyed_(destroyed) {}
  ~CountedClient() override { ++destroyed_; }
  int& destroyed_;
};

TEST_F(ClientTest, ManagerListsEachClientOnceAndFreesLeftovers) {
  int destroyed = 0;
  auto* a = new CountedClient(destroyed);
  auto* b = new CountedClient(destroyed);
  EXPECT_EQ(ObjectManager->InstanceCount(), 3);
  ObjectManager->AddInstance(a);
  EXPECT_EQ(ObjectManager->InstanceCount(), 3);
  ObjectManager->RemoveInstance(b);
  EXPECT_EQ(ObjectManager->InstanceCount(), 2);
  delete b;  // its own removal finds no entry: nothing changes
  EXPECT_EQ(ObjectManager->InstanceCount(), 2);
  EXPECT_EQ(destroyed, 1);
  Unload();  // the manager frees the client still registered
  EXPECT_EQ(destroyed, 2);  // a, freed by the manager
  EXPECT_EQ(ObjectManager, nullptr);
  EXPECT_EQ(GlobalClient, nullptr);
}

TEST_F(ClientTest, SetDefaultDestinationReachesEveryClient) {
  int destroyed = 0;
  auto* other = new CountedClient(destroyed);
  ObjectManager->SetDefaultDestination("Audit");
  EXPECT_EQ(ObjectManager->DefaultDestination, "Audit");
  EXPECT_EQ(client().DestinationDetails(), "Audit");
  EXPECT_EQ(other->DestinationDetails(), "Audit");
  delete other;
}

// An item that reports when it is freed.
struct Item : TObject {
  Item(int id, std::vector<int>& freed) : id_(id), freed_(freed) {}
  ~Item() override { freed_.push_back(id_); }
  const char* ClassName() const override { return "Item"; }
  int id_;
  std::vector<int>& freed_;
};

TEST_F(ClientTest, FormatterListOwnsItsItems) {
  std::vector<int> freed;
  TWLFormatterList* list = ObjectManager->FormatterList();
  EXPECT_EQ(ObjectManager->FormatterList(), list);
  for (int i = 0; i < 4; ++i) list->Add(new Item(i, freed));
  list->Delete(1);
  EXPECT_EQ(freed, std::vector<int>{1});
  EXPECT_EQ(static_cast<Item*>(list->Items(1))->id_, 2);
  EXPECT_THROW(list->Delete(3), EListError);
  EXPECT_THROW(list->Items(-1), EListError);
  EXPECT_EQ(list->Count(), 3);
  Unload();  // the manager frees the list and what is left in it
  EXPECT_EQ(freed, (std::vector<int>{1, 0, 2, 3}));
}

TEST(ObjectManager, TakesItsAssertionModeAtConstruction) {
  TWLObjectManager manager(2);
  EXPECT_EQ(manager.AssertionMode, 2);
  EXPECT_EQ(manager.InstanceCount(), 0);
}

}  // namespace
}  // namespace wl
