// Wrenbridge.dll as the server loads it: LoadLibraryA, the exports by name, a recorder as the
// dispatcher, and FreeLibrary or the end of the process as the unload.
//
// The program also runs as its own child ("--exit-child DLL MODE PACKETS") to show what the
// library does when its host process ends without unloading it.
#include <gtest/gtest.h>
#include <optional>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "tests/wine/wine_test_support.h"

namespace wl::wine_test {
namespace {

constexpr std::int32_t kMessage = 0, kConnect = 41, kDisconnect = 42;
constexpr DWORD kChildExitCode = 7;

using TextExport = std::int32_t(__cdecl*)(const char*);
using PlainExport = std::int32_t(__cdecl*)();

std::string FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value ? WindowsPath(value) : std::string();
}

// The library's exports that these tests call.
struct Exports {
  TextExport wlSendMsg = nullptr;
  PlainExport wlEnable = nullptr, wlDisable = nullptr, wlEnabled = nullptr;
};

// GetProcAddress's type says nothing of the real one; the cast goes through void*.
template <class Function>
Function Lookup(HMODULE dll, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(dll, name)));
}

Exports Resolve(HMODULE dll) {
  Exports e;
  e.wlSendMsg = Lookup<TextExport>(dll, "wlSendMsg");
  e.wlEnable = Lookup<PlainExport>(dll, "wlEnable");
  e.wlDisable = Lookup<PlainExport>(dll, "wlDisable");
  e.wlEnabled = Lookup<PlainExport>(dll, "wlEnabled");
  return e;
}

// Packets of the given kind.
std::vector<RecordedPacket> OfKind(const std::vector<RecordedPacket>& all, std::int32_t kind) {
  std::vector<RecordedPacket> some;
  for (const auto& p : all) {
    if (static_cast<std::int32_t>(p.kind) == kind) some.push_back(p);
  }
  return some;
}

// A NUL-terminated field of a packet.
std::string TextField(const RecordedPacket& p, std::size_t offset, std::size_t size) {
  if (p.bytes.size() < offset + size) return "<short packet>";
  const char* field = reinterpret_cast<const char*>(p.bytes.data() + offset);
  return std::string(field, strnlen(field, size));
}
std::string ConnectionId(const RecordedPacket& p) { return TextField(p, 32, 42); }
std::string ComputerName(const RecordedPacket& p) { return TextField(p, 74, 16); }

std::string MessageText(const RecordedPacket& p) {
  const auto length = static_cast<std::size_t>(PacketInt(p, 16));
  if (p.bytes.size() < 217 + length) return "<short packet>";
  return std::string(p.bytes.begin() + 217, p.bytes.begin() + 217 + length);
}

// A recorder as the dispatcher and the library loaded, unloaded at the end unless a test did.
class Library : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(FindDispatcherWindow(), nullptr) << "a dispatcher window is left over";
    recorder_ = std::make_unique<Recorder>(FromEnvironment("WL_RECORDER_EXE"));
    ASSERT_TRUE(recorder_->Ready());
    dll_ = ::LoadLibraryA(FromEnvironment("WL_DLL").c_str());
    ASSERT_NE(dll_, nullptr) << "cannot load " << FromEnvironment("WL_DLL");
    lib_ = Resolve(dll_);
  }
  void TearDown() override { Unload(); }
  bool Unload() { return dll_ != nullptr && ::FreeLibrary(std::exchange(dll_, nullptr)); }

  // Messages the recorder got, after checking that every other packet is a connect.
  std::vector<RecordedPacket> Messages() const {
    const auto all = recorder_->Packets();
    for (const auto& p : all) {
      EXPECT_TRUE(p.kind == kMessage || p.kind == kConnect) << "unexpected kind " << p.kind;
    }
    return OfKind(all, kMessage);
  }

  std::unique_ptr<Recorder> recorder_;
  HMODULE dll_ = nullptr;
  Exports lib_;
};

TEST_F(Library, ExportsEachFunctionByNameAtItsOrdinal) {
  const struct {
    const char* name;
    WORD ordinal;
  } exports[] = {{"wlSendMsg", 23}, {"wlEnable", 14}, {"wlDisable", 13}, {"wlEnabled", 12}};
  for (const auto& e : exports) {
    SCOPED_TRACE(e.name);
    const FARPROC byName = ::GetProcAddress(dll_, e.name);
    EXPECT_NE(byName, nullptr);
    EXPECT_EQ(byName, ::GetProcAddress(dll_, MAKEINTRESOURCEA(e.ordinal)));
  }
}

TEST_F(Library, LoadingSendsNothingAndLeavesTheClientEnabled) {
  EXPECT_EQ(lib_.wlEnabled(), 1);
  EXPECT_TRUE(recorder_->Packets().empty());
}

TEST_F(Library, SendMsgDeliversOneMessagePacket) {
  ASSERT_EQ(lib_.wlSendMsg("abc"), 0);
  const auto messages = Messages();
  ASSERT_EQ(messages.size(), 1u);
  const RecordedPacket& p = messages.front();
  ASSERT_EQ(p.bytes.size(), 223u);
  EXPECT_EQ(PacketInt(p, 0), kMessage);
  EXPECT_EQ(PacketInt(p, 16), 3);
  EXPECT_EQ(PacketInt(p, 20), 0);
  EXPECT_EQ(std::string(p.bytes.begin() + 217, p.bytes.begin() + 220), "abc");
  EXPECT_EQ(std::vector<std::uint8_t>(p.bytes.begin() + 220, p.bytes.end()),
            std::vector<std::uint8_t>(3, 0));
  EXPECT_EQ(static_cast<DWORD>(PacketInt(p, 24)), ::GetCurrentProcessId());
  EXPECT_EQ(static_cast<DWORD>(PacketInt(p, 28)), ::GetCurrentThreadId());
  char computer[16] = {};
  DWORD size = sizeof computer;
  ::GetComputerNameA(computer, &size);
  EXPECT_EQ(ComputerName(p), computer);
}

TEST_F(Library, TheFirstMessageIsPrecededByItsConnection) {
  ASSERT_EQ(lib_.wlSendMsg("first"), 0);
  const auto packets = recorder_->Packets();
  ASSERT_EQ(packets.size(), 2u);
  EXPECT_EQ(PacketInt(packets[0], 0), kConnect);
  EXPECT_EQ(MessageText(packets[0]), "Viewer");
  EXPECT_EQ(ConnectionId(packets[0]).size(), 38u);
  EXPECT_EQ(ConnectionId(packets[1]), ConnectionId(packets[0]));
  EXPECT_EQ(MessageText(packets[1]), "first");
}

// Memory that cannot be read, all allocated up front (the next allocation after a release may
// reuse the address). Four pages: "end" as the last bytes of page 0, page 1 no-access, page 2
// all 'x' with no terminator, page 3 no-access; and a released page.
struct BadMemory {
  BadMemory() {
    pages = static_cast<char*>(::VirtualAlloc(nullptr, 4 * 4096, MEM_COMMIT, PAGE_READWRITE));
    released = static_cast<char*>(::VirtualAlloc(nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    std::memset(pages, 'x', 4 * 4096);
    std::strcpy(pages + 4096 - 4, "end");
    DWORD old = 0;
    ::VirtualProtect(pages + 4096, 4096, PAGE_NOACCESS, &old);
    ::VirtualProtect(pages + 3 * 4096, 4096, PAGE_NOACCESS, &old);
    ::VirtualFree(released, 0, MEM_RELEASE);
  }
  ~BadMemory() { ::VirtualFree(pages, 0, MEM_RELEASE); }
  char* pages = nullptr;
  char* released = nullptr;
};

TEST_F(Library, UnreadableTextGivesMinusOneAndTheHostLives) {
  const BadMemory bad;
  const struct {
    const char* name;
    const char* text;
    std::int32_t result;
  } cases[] = {
      {"no-access page", bad.pages + 4096, -1},
      {"runs into a no-access page", bad.pages + 2 * 4096, -1},
      {"released page", bad.released, -1},
      {"ends at the last readable byte", bad.pages + 4096 - 4, 0},
      {"null", nullptr, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(lib_.wlSendMsg(c.text), c.result);
  }
  const auto messages = Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(MessageText(messages[0]), "end");
  EXPECT_EQ(MessageText(messages[1]), "");
  EXPECT_EQ(messages[1].bytes.size(), 220u);
}

TEST_F(Library, UnreadableTextOnOtherThreadsGivesMinusOne) {
  const BadMemory bad;
  std::int32_t results[4] = {};
  std::vector<std::thread> threads;
  for (std::int32_t& result : results) {
    threads.emplace_back([&] { result = lib_.wlSendMsg(bad.pages + 4096); });
  }
  for (std::thread& thread : threads) thread.join();
  for (const std::int32_t result : results) EXPECT_EQ(result, -1);
  EXPECT_EQ(lib_.wlSendMsg("still alive"), 0);
}

TEST_F(Library, DisableStopsSendingAndEnableResumesIt) {
  EXPECT_EQ(lib_.wlDisable(), 0);
  EXPECT_EQ(lib_.wlEnabled(), 0);
  EXPECT_EQ(lib_.wlSendMsg("dropped"), 0);
  EXPECT_TRUE(recorder_->Packets().empty());
  EXPECT_EQ(lib_.wlEnable(), 0);
  EXPECT_EQ(lib_.wlEnabled(), 1);
  EXPECT_EQ(lib_.wlSendMsg("sent"), 0);
  const auto messages = Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(MessageText(messages[0]), "sent");
}

// A connected library says goodbye once when unloaded; one that never connected says nothing.
void ExpectGoodbye(const std::vector<RecordedPacket>& packets) {
  const bool connected = !OfKind(packets, kConnect).empty();
  EXPECT_EQ(OfKind(packets, kDisconnect).size(), connected ? 1u : 0u);
  if (connected) {
    EXPECT_EQ(static_cast<std::int32_t>(packets.back().kind), kDisconnect);
  }
}

TEST_F(Library, FreeLibraryUnloadsAndDisconnectsOnce) {
  ASSERT_EQ(lib_.wlSendMsg("before unload"), 0);
  EXPECT_TRUE(Unload());
  ExpectGoodbye(recorder_->Packets());
}

TEST_F(Library, FreeLibraryOfAnUnusedLibrarySendsNothing) {
  EXPECT_TRUE(Unload());
  EXPECT_TRUE(recorder_->Packets().empty());
}

// The dispatcher's registry value, set for one test and removed afterwards.
class DispatcherPath {
 public:
  explicit DispatcherPath(const std::string& commandLine, DWORD type = REG_SZ) {
    HKEY key = nullptr;
    ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr);
    const platform::win32::unique_hkey owned(key);
    ::RegSetValueExA(key, "DispatcherPath", 0, type,
                     reinterpret_cast<const BYTE*>(commandLine.c_str()),
                     static_cast<DWORD>(commandLine.size() + 1));
  }
  ~DispatcherPath() { ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey); }

 private:
  static constexpr const char* kKey = "Software\\Tolvane\\Wrenlog\\2.0";
};

// The process behind a window, closed at the end (ended if it does not go on WM_CLOSE).
class WindowOwner {
 public:
  explicit WindowOwner(HWND wnd) : wnd_(wnd) {
    DWORD id = 0;
    if (wnd != nullptr) ::GetWindowThreadProcessId(wnd, &id);
    process_.reset(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id));
  }
  ~WindowOwner() {
    if (!process_) return;
    ::PostMessageA(wnd_, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process_.get(), 5000) != WAIT_OBJECT_0) {
      ::TerminateProcess(process_.get(), 1);
    }
  }

 private:
  HWND wnd_;
  platform::win32::unique_handle process_;
};

TEST(Launch, AMissingDispatcherIsStartedFromTheRegistryAndConnectedTo) {
  ASSERT_EQ(FindDispatcherWindow(), nullptr) << "a dispatcher window is left over";
  const ScratchDir dir;
  const std::string packetFile = dir.File("launched.bin");
  const DispatcherPath path("\"" + FromEnvironment("WL_RECORDER_EXE") + "\" \"" + packetFile +
                            "\"");
  const HMODULE dll = ::LoadLibraryA(FromEnvironment("WL_DLL").c_str());
  ASSERT_NE(dll, nullptr);
  EXPECT_EQ(Resolve(dll).wlSendMsg("after the start"), 0);
  const WindowOwner launched(FindDispatcherWindow());
  EXPECT_EQ(Resolve(dll).wlEnabled(), 1);
  EXPECT_TRUE(::FreeLibrary(dll));
  const auto packets = ReadPacketFile(packetFile).value_or(std::vector<RecordedPacket>{});
  ASSERT_EQ(packets.size(), 3u);
  EXPECT_EQ(PacketInt(packets[0], 0), kConnect);
  EXPECT_EQ(MessageText(packets[1]), "after the start");
  EXPECT_EQ(PacketInt(packets[2], 0), kDisconnect);
}

// The library loaded for one test and freed at its end.
class LoadedLibrary {
 public:
  LoadedLibrary() : dll_(::LoadLibraryA(FromEnvironment("WL_DLL").c_str())) {}
  ~LoadedLibrary() {
    if (dll_ != nullptr) ::FreeLibrary(dll_);
  }
  Exports Calls() const { return Resolve(dll_); }
  bool Loaded() const { return dll_ != nullptr; }

 private:
  HMODULE dll_;
};

struct FailedStartCase {
  const char* name;
  DWORD type;  // 0: no key at all
  std::string commandLine;
  std::int32_t sendResult;
  std::int32_t enabledAfter;
};

TEST(Launch, StartsThatCannotSucceedSwitchTheClientOffOrFailTheCall) {
  ASSERT_EQ(FindDispatcherWindow(), nullptr) << "a dispatcher window is left over";
  // A reference that would name the recorder if it were expanded: it must not be.
  const std::string recorder = FromEnvironment("WL_RECORDER_EXE");
  ::SetEnvironmentVariableA("WL_RECORDER_REF", recorder.c_str());
  const DWORD number = 7;
  const FailedStartCase cases[] = {
      {"no key, no WLDispatcher.exe on the search path", 0, "", 0, 0},
      {"expandable text passed unexpanded", REG_EXPAND_SZ, "%WL_RECORDER_REF%", 0, 0},
      {"a number", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 3), -1, 1},
  };
  for (const FailedStartCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<DispatcherPath> path;
    if (c.type != 0) path.emplace(c.commandLine, c.type);
    const LoadedLibrary library;
    ASSERT_TRUE(library.Loaded());
    EXPECT_EQ(library.Calls().wlSendMsg("nobody listens"), c.sendResult);
    EXPECT_EQ(library.Calls().wlEnabled(), c.enabledAfter);
    EXPECT_EQ(FindDispatcherWindow(), nullptr);
  }
}

TEST(Launch, AReplacedDispatcherHearsTheSameConnectionFirst) {
  ASSERT_EQ(FindDispatcherWindow(), nullptr) << "a dispatcher window is left over";
  const LoadedLibrary library;
  ASSERT_TRUE(library.Loaded());
  std::string firstId;
  {
    const Recorder first(FromEnvironment("WL_RECORDER_EXE"));
    ASSERT_TRUE(first.Ready());
    EXPECT_EQ(library.Calls().wlSendMsg("one"), 0);
    const auto packets = first.Packets();
    ASSERT_FALSE(OfKind(packets, kConnect).empty());
    firstId = ConnectionId(OfKind(packets, kConnect).front());
  }
  ASSERT_TRUE(WaitUntil([] { return FindDispatcherWindow() == nullptr; }));
  const Recorder second(FromEnvironment("WL_RECORDER_EXE"));
  ASSERT_TRUE(second.Ready());
  EXPECT_EQ(library.Calls().wlSendMsg("two"), 0);
  const auto packets = second.Packets();
  ASSERT_EQ(packets.size(), 2u);
  EXPECT_EQ(PacketInt(packets[0], 0), kConnect);
  EXPECT_EQ(ConnectionId(packets[0]), firstId);
  EXPECT_EQ(MessageText(packets[1]), "two");
  EXPECT_EQ(ConnectionId(packets[1]), firstId);
}

TEST(Launch, ADispatcherThatRefusesSwitchesTheClientOffAfterTheMessage) {
  ASSERT_EQ(FindDispatcherWindow(), nullptr) << "a dispatcher window is left over";
  const Recorder refusing(FromEnvironment("WL_RECORDER_EXE"), {"--answer", "0"});
  ASSERT_TRUE(refusing.Ready());
  const LoadedLibrary library;
  ASSERT_TRUE(library.Loaded());
  EXPECT_EQ(library.Calls().wlSendMsg("still delivered"), 0);
  EXPECT_EQ(library.Calls().wlEnabled(), 0);
  EXPECT_EQ(library.Calls().wlSendMsg("not sent"), 0);
  const auto messages = OfKind(refusing.Packets(), kMessage);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(MessageText(messages[0]), "still delivered");
}

// Starts this program as a child that loads the library, sends, and ends its process.
std::optional<DWORD> RunExitChild(const std::string& mode, const Recorder& recorder) {
  char self[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  JobProcess child("\"" + std::string(self) + "\" --exit-child \"" + FromEnvironment("WL_DLL") +
                   "\" " + mode + " \"" + recorder.PacketFile() + "\"");
  return child.WaitForExit(20000);
}

TEST(ProcessExit, TheLibraryStillDisconnectsWhenTheHostEnds) {
  ASSERT_EQ(FindDispatcherWindow(), nullptr) << "a dispatcher window is left over";
  const Recorder recorder(FromEnvironment("WL_RECORDER_EXE"));
  ASSERT_TRUE(recorder.Ready());
  EXPECT_EQ(RunExitChild("idle", recorder), std::optional<DWORD>(kChildExitCode));
  const auto packets = recorder.Packets();
  EXPECT_EQ(OfKind(packets, kMessage).size(), 1u);
  ExpectGoodbye(packets);
}

TEST(ProcessExit, AHostEndingWhileACallIsStuckStillEnds) {
  ASSERT_EQ(FindDispatcherWindow(), nullptr) << "a dispatcher window is left over";
  const Recorder recorder(FromEnvironment("WL_RECORDER_EXE"), {"--stall-kind", "0"});
  ASSERT_TRUE(recorder.Ready());
  EXPECT_EQ(RunExitChild("stuck", recorder), std::optional<DWORD>(kChildExitCode));
  EXPECT_EQ(OfKind(recorder.Packets(), kDisconnect).size(), 0u);
}

// The child: "idle" sends one message and exits; "stuck" sends from a second thread that the
// recorder never answers, waits until the message has arrived, and exits.
int ExitChild(const std::string& dll, const std::string& mode, const std::string& packetFile) {
  const HMODULE library = ::LoadLibraryA(dll.c_str());
  if (library == nullptr) return 1;
  const Exports lib = Resolve(library);
  if (mode == "idle" && lib.wlSendMsg("bye") != 0) return 2;
  if (mode == "stuck") {
    std::thread([&lib] { lib.wlSendMsg("stuck"); }).detach();
    const auto arrived = [&] {
      return !OfKind(ReadPacketFile(packetFile).value_or(std::vector<RecordedPacket>{}), kMessage)
                  .empty();
    };
    if (!WaitUntil(arrived)) return 3;
  }
  ::ExitProcess(kChildExitCode);
}

}  // namespace
}  // namespace wl::wine_test

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--exit-child") == 0)
    return wl::wine_test::ExitChild(argv[2], argv[3], argv[4]);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
