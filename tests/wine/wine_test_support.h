// Helpers for the tests that run under Wine: paths, a scratch directory, and the recorder
// started as a stand-in dispatcher inside a job object.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/windows_include.h"
#include "tests/wine/packet_file.h"

namespace wl::wine_test {

// A path as Windows programs take it: a Unix path "/a/b" becomes "Z:\a\b".
std::string WindowsPath(const std::string& path);

// Polls until done() holds or the time is up; true when it held.
bool WaitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(10));

// A fresh directory under the temporary folder, removed with its files at the end.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::string File(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// A program started with stdio on NUL, inside a job that kills it when the job closes.
class JobProcess {
 public:
  explicit JobProcess(const std::string& commandLine);
  ~JobProcess();  // ends the process if it still runs
  JobProcess(const JobProcess&) = delete;
  JobProcess& operator=(const JobProcess&) = delete;

  bool Started() const { return process_ != nullptr; }
  DWORD Id() const { return processId_; }
  DWORD MainThreadId() const { return threadId_; }
  // The exit code once the process has ended within the limit; empty while it runs.
  std::optional<DWORD> WaitForExit(DWORD milliseconds);

 private:
  platform::win32::unique_handle job_;
  platform::win32::unique_handle process_;
  DWORD processId_ = 0, threadId_ = 0;
};

// The recorder (recorder.exe) as the dispatcher, recording into a file of a scratch directory.
class Recorder {
 public:
  // Starts it and waits until its window exists (the packet file appears).
  Recorder(const std::string& recorderExe, const std::vector<std::string>& options = {});
  bool Ready() const { return ready_; }
  std::vector<RecordedPacket> Packets() const;
  const std::string& PacketFile() const { return packetFile_; }
  JobProcess& Process() { return process_; }

 private:
  ScratchDir dir_;
  std::string packetFile_;
  JobProcess process_;
  bool ready_ = false;
};

// The dispatcher's window by class and title, 0 when none.
HWND FindDispatcherWindow();

}  // namespace wl::wine_test
