// Test host that talks to a running dispatcher window directly with SendMessageA(WM_COPYDATA).
//
//   dispatcher_raw_host --no-window          exits 1 when a dispatcher window exists
//   dispatcher_raw_host --wait-window SECS   exits 0 once one exists, 1 when none came
//   dispatcher_raw_host --refused            sends the refused shapes between good packets and
//                                            checks every answer; exits 0 when all matched and
//                                            the window is still there
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "client/link/packet.h"
#include "client/message_kinds.h"
#include "platform/win32/windows_include.h"

namespace {

constexpr const char* kId = "{7E57C0DE-0000-4000-8000-000000000001}";

HWND Dispatcher() { return FindWindowA("TFrmDispatcher", "Wrenlog Dispatcher"); }

std::vector<std::uint8_t> Packet(std::int32_t kind, const std::string& msg, const char* id = kId) {
  wl::packet::Fields f;
  f.kind = kind;
  f.time = 1000;
  f.date = 739961;
  f.processId = GetCurrentProcessId();
  f.threadId = GetCurrentThreadId();
  f.connectionId = id;
  f.appName = "dispatcher_raw_host";
  f.category = "Raw";
  f.msg = msg;
  std::vector<std::uint8_t> b(wl::packet::PacketSize(msg.size(), 0), 0);
  wl::packet::Encode(f, b.data());
  return b;
}

void PutInt(std::vector<std::uint8_t>& b, std::size_t offset, std::uint32_t v) {
  std::memcpy(b.data() + offset, &v, 4);
}

struct Case {
  const char* name;
  ULONG_PTR dwData;
  std::vector<std::uint8_t> bytes;
  bool nullData;
  LRESULT expected;
};

std::vector<Case> Cases() {
  using namespace wl;
  auto good = Packet(mkMessage, "between refusals");
  auto longer = Packet(mkMessage, "abc");
  longer.push_back(0);
  auto lengths = Packet(mkMessage, "abc");
  PutInt(lengths, packet::kMsgLength, 40);
  auto unterminated = Packet(mkMessage, "abc");
  unterminated.back() = 'x';
  unterminated[unterminated.size() - 3] = 'x';
  auto idNoNul = Packet(mkMessage, "abc");
  std::memset(&idNoNul[packet::kConnectionId], 'A', packet::kConnectionIdSize);
  return {
      {"connect", mkConnect, Packet(mkConnect, "Viewer"), false, 1},
      {"zero size", mkMessage, {}, false, 0},
      {"good", mkMessage, good, false, 1},
      {"null data", mkMessage, good, true, 0},
      {"wrong size", mkMessage, longer, false, 0},
      {"short", mkMessage, std::vector<std::uint8_t>(good.begin(), good.begin() + 100), false, 0},
      {"bad lengths", mkMessage, lengths, false, 0},
      {"no terminators", mkMessage, unterminated, false, 0},
      {"unterminated id", mkMessage, idNoNul, false, 0},
      {"dwData not the kind", mkNote, good, false, 0},
      {"good again", mkMessage, good, false, 1},
      {"disconnect", mkDisconnect, Packet(mkDisconnect, ""), false, 1},
  };
}

LRESULT Send(HWND window, const Case& c) {
  COPYDATASTRUCT data = {};
  data.dwData = c.dwData;
  data.cbData = static_cast<DWORD>(c.bytes.size());
  data.lpData = c.nullData || c.bytes.empty() ? nullptr : const_cast<std::uint8_t*>(c.bytes.data());
  return SendMessageA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

int Refused() {
  HWND window = Dispatcher();
  if (window == nullptr) return std::printf("no dispatcher window\n"), 1;
  int wrong = 0;
  for (const Case& c : Cases()) {
    const LRESULT answer = Send(window, c);
    std::printf("%-20s answer %ld%s\n", c.name, static_cast<long>(answer),
                answer == c.expected ? "" : "  WRONG");
    if (answer != c.expected) ++wrong;
  }
  if (Dispatcher() != window) return std::printf("the dispatcher window is gone\n"), 1;
  return wrong == 0 ? 0 : 1;
}

int WaitWindow(int seconds) {
  for (int waited = 0; waited <= seconds * 10; ++waited) {
    if (Dispatcher() != nullptr) return 0;
    Sleep(100);
  }
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "--no-window") return Dispatcher() == nullptr ? 0 : 1;
  if (mode == "--wait-window") return WaitWindow(argc > 2 ? std::atoi(argv[2]) : 10);
  if (mode == "--refused") return Refused();
  std::printf("usage: dispatcher_raw_host --no-window | --wait-window SECS | --refused\n");
  return 2;
}
