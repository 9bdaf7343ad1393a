// Win32Services for the registry, identity and time, memory figures and the locale.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_services.h"

namespace wl::platform {
namespace {

constexpr const char* kTestKey = "Software\\Tolvane\\WrenbridgeServicesTest";

// A key of its own under HKEY_LOCAL_MACHINE, deleted at the end.
class MachineKey {
 public:
  MachineKey() {
    HKEY key = nullptr;
    ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr);
    key_.reset(key);
  }
  ~MachineKey() {
    key_.reset();
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kTestKey);
  }
  void Set(const char* name, DWORD type, const void* data, DWORD size) {
    ::RegSetValueExA(key_.get(), name, 0, type, static_cast<const BYTE*>(data), size);
  }

 private:
  win32::unique_hkey key_;
};

TEST(Registry, ReadsTypeAndRawBytesOrSaysWhatIsMissing) {
  MachineKey key;
  const DWORD number = 7;
  key.Set("Text", REG_SZ, "WLDispatcher.exe", 17);
  key.Set("Expand", REG_EXPAND_SZ, "%TEMP%\\d.exe", 13);
  key.Set("Number", REG_DWORD, &number, 4);
  key.Set("Empty", REG_SZ, "", 0);
  const struct {
    const char* name;
    RegistryRead::Status status;
    std::uint32_t type;
    std::string data;
  } cases[] = {
      {"Text", RegistryRead::Status::Found, kRegString, std::string("WLDispatcher.exe\0", 17)},
      {"Expand", RegistryRead::Status::Found, kRegExpandString, std::string("%TEMP%\\d.exe\0", 13)},
      {"Number", RegistryRead::Status::Found, kRegDword, std::string("\7\0\0\0", 4)},
      {"Empty", RegistryRead::Status::Found, kRegString, ""},
      {"Missing", RegistryRead::Status::ValueMissing, 0, ""},
  };
  Win32Services services;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const RegistryRead read = services.ReadMachineValue(kTestKey, c.name);
    EXPECT_EQ(read.status, c.status);
    EXPECT_EQ(read.type, c.type);
    EXPECT_EQ(read.data, c.data);
  }
  const RegistryRead noKey = services.ReadMachineValue("Software\\Tolvane\\NoSuchKey", "Text");
  EXPECT_EQ(noKey.status, RegistryRead::Status::KeyNotOpened);
}

bool IsGuidText(const std::string& text) {
  static const char kPattern[] = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
  if (text.size() != sizeof kPattern - 1) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool hex =
        std::isdigit(static_cast<unsigned char>(text[i])) || (text[i] >= 'A' && text[i] <= 'F');
    if (kPattern[i] == 'X' ? !hex : text[i] != kPattern[i]) return false;
  }
  return true;
}

TEST(Identity, GuidTextsAreFreshAndInTheSystemsForm) {
  Win32Services services;
  const std::string first = services.NewGuidText(), second = services.NewGuidText();
  EXPECT_TRUE(IsGuidText(first)) << first;
  EXPECT_TRUE(IsGuidText(second)) << second;
  EXPECT_NE(first, second);
}

TEST(Identity, NamesAndIdsAreThoseOfThisProcess) {
  Win32Services services;
  EXPECT_EQ(services.CurrentProcessId(), ::GetCurrentProcessId());
  EXPECT_EQ(services.CurrentThreadId(), ::GetCurrentThreadId());
  const auto computer = services.ComputerName();
  ASSERT_TRUE(computer.has_value());
  EXPECT_FALSE(computer->empty());
  EXPECT_LE(computer->size(), 15u);
  const std::string exe = services.MainModuleFileName();
  EXPECT_NE(exe.find("wine_platform_tests.exe"), std::string::npos) << exe;
  // Linked into this program, the library's module is the program itself.
  EXPECT_EQ(services.LibraryFileName(), exe);
}

void CodeInThisModule() {}

TEST(Identity, LocateCodeNamesTheModuleThatHoldsAnAddress) {
  Win32Services services;
  const CodeLocation here =
      services.LocateCode(reinterpret_cast<std::uintptr_t>(&CodeInThisModule));
  EXPECT_TRUE(here.inModule);
  EXPECT_EQ(here.moduleBase, reinterpret_cast<std::uintptr_t>(::GetModuleHandleA(nullptr)));
  EXPECT_EQ(here.moduleFileName, services.MainModuleFileName());
  const CodeLocation kernel =
      services.LocateCode(reinterpret_cast<std::uintptr_t>(&::GetCurrentProcessId));
  EXPECT_TRUE(kernel.inModule);
  EXPECT_NE(kernel.moduleFileName.find("kernel"), std::string::npos) << kernel.moduleFileName;
  EXPECT_FALSE(services.LocateCode(0x10).inModule);
}

TEST(Time, LocalTimeIsNow) {
  Win32Services services;
  SYSTEMTIME before;
  ::GetLocalTime(&before);
  const LocalTime now = services.GetLocalTime();
  EXPECT_EQ(now.year, before.wYear);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_GE(now.hour * 60 + now.minute, before.wHour * 60 + before.wMinute);
}

TEST(Memory, GlobalFiguresAreTheSystemsOwn) {
  Win32Services services;
  MEMORYSTATUS direct{};
  direct.dwLength = sizeof direct;
  ::GlobalMemoryStatus(&direct);
  const MemoryFigures figures = services.GlobalMemoryStatus();
  EXPECT_EQ(figures.totalPhys, direct.dwTotalPhys);
  EXPECT_EQ(figures.totalPageFile, direct.dwTotalPageFile);
  EXPECT_EQ(figures.totalVirtual, direct.dwTotalVirtual);
  EXPECT_LE(figures.memoryLoad, 100u);
}

void ExpectConsistent(const HeapFigures& f) {
  EXPECT_EQ(f.heapErrorCode, 0u);
  EXPECT_EQ(f.totalFree, f.freeSmall + f.freeBig + f.unused);
  EXPECT_EQ(f.totalAddrSpace, f.totalCommitted + f.totalUncommitted);
  EXPECT_GE(f.totalCommitted, f.totalAllocated + f.totalFree);
  EXPECT_GT(f.overhead, 0u);
}

TEST(Memory, HeapFiguresFollowTheRuntimesAllocations) {
  Win32Services services;
  const HeapFigures before = services.HeapStatus();
  ExpectConsistent(before);
  std::vector<std::unique_ptr<char[]>> held;
  for (int i = 0; i < 64; ++i) held.emplace_back(new char[1000]);
  const HeapFigures holding = services.HeapStatus();
  ExpectConsistent(holding);
  EXPECT_GE(holding.totalAllocated, before.totalAllocated + 64 * 1000);
  held.clear();
  const HeapFigures after = services.HeapStatus();
  ExpectConsistent(after);
  EXPECT_LE(after.totalAllocated + 64 * 1000, holding.totalAllocated);
}

std::string DirectLocaleText(LCTYPE item) {
  char text[256] = {};
  ::GetLocaleInfoA(LOCALE_USER_DEFAULT, item, text, sizeof text);
  return text;
}

// Run with LC_ALL=de_DE.UTF-8 and TZ=Asia/Kolkata (see CMakeLists.txt), a zone without
// daylight saving time.
TEST(PinnedEnvironment, LocaleAndZoneFollowTheEnvironment) {
  Win32Services services;
  const LocaleSettings locale = services.UserLocale();
  EXPECT_EQ(locale.thousandSeparator, '.');
  EXPECT_EQ(locale.decimalSeparator, ',');
  EXPECT_EQ(locale.dateSeparator, '.');
  EXPECT_EQ(locale.timeSeparator, ':');
  EXPECT_EQ(locale.shortDateFormat, DirectLocaleText(LOCALE_SSHORTDATE));
  EXPECT_NE(locale.shortDateFormat.find("yyyy"), std::string::npos);
  EXPECT_EQ(locale.longTimeFormat, DirectLocaleText(LOCALE_STIMEFORMAT));
  EXPECT_NE(locale.longTimeFormat.find("ss"), std::string::npos);
  EXPECT_EQ(locale.timeAmString, DirectLocaleText(LOCALE_S1159));
  EXPECT_EQ(locale.timePmString, DirectLocaleText(LOCALE_S2359));
  EXPECT_EQ(services.TimeZoneBias(), std::optional<std::int32_t>(-330));
}

// Under the default environment the figures still come through, whatever the locale says.
TEST(Locale, EveryFieldIsFilled) {
  Win32Services services;
  const LocaleSettings locale = services.UserLocale();
  EXPECT_NE(locale.decimalSeparator, '\0');
  EXPECT_FALSE(locale.shortDateFormat.empty());
  EXPECT_FALSE(locale.longTimeFormat.empty());
  EXPECT_TRUE(services.TimeZoneBias().has_value());
}

}  // namespace
}  // namespace wl::platform
