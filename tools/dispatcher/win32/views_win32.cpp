// Output, the window's edit view, and the dispatcher's defaults and identity.
#include <string>

#include "tools/dispatcher/win32/win32_shell.h"

namespace wl::dispatcher::win32 {
namespace {

constexpr int kViewKeepChars = 2 * 1024 * 1024;  // past this the older half is dropped
constexpr const char* kLogFileName = "WLDispatcher.log";

bool Usable(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

std::string ExeDirectory() {
  char path[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, n < MAX_PATH ? n : 0);
  const std::size_t slash = dir.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : dir.substr(0, slash);
}

std::string Environment(const char* name) {
  char value[MAX_PATH + 1] = {};
  const DWORD n = GetEnvironmentVariableA(name, value, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(value, n) : std::string();
}

}  // namespace

Output::Output(ConsoleUse use) {
  handle_ = GetStdHandle(STD_OUTPUT_HANDLE);
  if (use == ConsoleUse::kConsoleOnly) {
    if (Usable(handle_) && GetFileType(handle_) != FILE_TYPE_CHAR) handle_ = nullptr;
    return;
  }
  if (Usable(handle_)) return;
  const bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != 0;
  if (!attached && !(use == ConsoleUse::kAttachOrAlloc && AllocConsole())) return;
  HANDLE console =
      CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (!Usable(console)) return;
  owned_.reset(console);
  handle_ = console;
}

void Output::Write(std::string_view bytes) {
  if (!ok()) return;
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = bytes.size() > 65536 ? 65536 : static_cast<DWORD>(bytes.size());
    if (!WriteFile(handle_, bytes.data(), chunk, &written, nullptr) || written == 0) return;
    bytes.remove_prefix(written);
  }
}

void EditView::Write(const Record& r) {
  if (edit_ == nullptr) return;
  const std::string text = FormatText(r);
  if (GetWindowTextLengthA(edit_) > kViewKeepChars) DropOldest();
  const int end = GetWindowTextLengthA(edit_);
  SendMessageA(edit_, EM_SETSEL, end, end);
  SendMessageA(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void EditView::Clear() {
  if (edit_ != nullptr) SetWindowTextA(edit_, "");
}

// Drops the older half of the view, up to the start of a line.
void EditView::DropOldest() {
  const int half = GetWindowTextLengthA(edit_) / 2;
  const LRESULT line = SendMessageA(edit_, EM_LINEFROMCHAR, half, 0);
  const LRESULT start = SendMessageA(edit_, EM_LINEINDEX, line, 0);
  SendMessageA(edit_, EM_SETSEL, 0, start > 0 ? start : half);
  SendMessageA(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
}

void BothViews::Write(const Record& r) {
  first_.Write(r);
  if (second_ != nullptr) second_->Write(r);
}

void BothViews::Clear() {
  first_.Clear();
  if (second_ != nullptr) second_->Clear();
}

// Shared by every session and user, so a follower anywhere finds the log of a dispatcher that a
// service started; beside the program when the system names no such folder.
std::string DefaultLogPath() {
  const std::string shared = Environment("ProgramData");
  if (!shared.empty()) return shared + "\\Wrenlog\\" + kLogFileName;
  return ExeDirectory() + "\\" + kLogFileName;
}

bool MakeParentDirectory(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos || slash == 0) return true;
  const std::string dir = path.substr(0, slash);
  if (GetFileAttributesA(dir.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  return CreateDirectoryA(dir.c_str(), nullptr) != 0;
}

Stamp Now() {
  SYSTEMTIME t;
  ::GetLocalTime(&t);
  return StampOf(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
}

Self SelfIdentity() {
  Self self;
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof name;
  if (GetComputerNameA(name, &size)) self.computer.assign(name, size);
  self.processId = GetCurrentProcessId();
  self.threadId = GetCurrentThreadId();
  return self;
}

}  // namespace wl::dispatcher::win32
