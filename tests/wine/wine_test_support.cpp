#include "tests/wine/wine_test_support.h"

#include <filesystem>
#include <thread>

namespace wl::wine_test {
namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string RecorderCommandLine(const std::string& exe, const std::string& packetFile,
                                const std::vector<std::string>& options) {
  std::string line = Quoted(exe) + " " + Quoted(packetFile);
  for (const std::string& option : options) line += " " + Quoted(option);
  return line;
}

platform::win32::unique_handle KillOnCloseJob() {
  platform::win32::unique_handle job(::CreateJobObjectA(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  ::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
  return job;
}

platform::win32::unique_handle OpenNul() {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return platform::win32::unique_handle(::CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                                      OPEN_EXISTING, 0, nullptr));
}

}  // namespace

std::string WindowsPath(const std::string& path) {
  if (path.empty() || path.front() != '/') return path;
  std::string windows = "Z:" + path;
  for (char& c : windows) c = c == '/' ? '\\' : c;
  return windows;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

ScratchDir::ScratchDir() {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  static int serial = 0;
  path_ = std::string(temp) + "wl-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
          std::to_string(++serial);
  std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

JobProcess::JobProcess(const std::string& commandLine) : job_(KillOnCloseJob()) {
  const platform::win32::unique_handle nul = OpenNul();
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = nul.get();
  PROCESS_INFORMATION info{};
  std::string line = commandLine;
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &info)) {
    return;
  }
  ::AssignProcessToJobObject(job_.get(), info.hProcess);
  ::ResumeThread(info.hThread);
  ::CloseHandle(info.hThread);
  process_.reset(info.hProcess);
  processId_ = info.dwProcessId;
  threadId_ = info.dwThreadId;
}

JobProcess::~JobProcess() {
  if (!process_) return;
  ::TerminateJobObject(job_.get(), 1);
  ::WaitForSingleObject(process_.get(), 5000);
}

std::optional<DWORD> JobProcess::WaitForExit(DWORD milliseconds) {
  if (!process_ || ::WaitForSingleObject(process_.get(), milliseconds) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  ::GetExitCodeProcess(process_.get(), &code);
  return code;
}

Recorder::Recorder(const std::string& recorderExe, const std::vector<std::string>& options)
    : packetFile_(dir_.File("packets.bin")),
      process_(RecorderCommandLine(recorderExe, packetFile_, options)) {
  ready_ = process_.Started() && WaitUntil([&] { return ReadPacketFile(packetFile_).has_value(); });
}

std::vector<RecordedPacket> Recorder::Packets() const {
  return ReadPacketFile(packetFile_).value_or(std::vector<RecordedPacket>{});
}

HWND FindDispatcherWindow() { return ::FindWindowA("TFrmDispatcher", "Wrenlog Dispatcher"); }

}  // namespace wl::wine_test
