// The Win32 program around the dispatcher core: its window, views, output and the modes of its
// command line.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/win32/unique_handle.h"
#include "platform/win32/windows_include.h"
#include "tools/dispatcher/core/dispatcher.h"
#include "tools/dispatcher/core/options.h"

namespace wl::dispatcher::win32 {

inline constexpr const char* kWindowClass = "TFrmDispatcher";
inline constexpr const char* kWindowTitle = "Wrenlog Dispatcher";

// How far Output goes to find somewhere to print.
enum class ConsoleUse {
  kConsoleOnly,    // only a standard output that is a console (started from one)
  kAttach,         // else the console of the parent process
  kAttachOrAlloc,  // else a console of its own
};

// Where printed text goes: the standard output the process was given, or else a console.
class Output {
 public:
  explicit Output(ConsoleUse use);
  bool ok() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  void Write(std::string_view bytes);

 private:
  HANDLE handle_ = nullptr;
  platform::win32::unique_handle owned_;  // CONOUT$ when opened here
};

// The view as a sink: records printed to an output.
class OutputView : public Sink {
 public:
  explicit OutputView(Output& out) : out_(out) {}
  void Write(const Record& r) override { out_.Write(FormatText(r)); }
  void Clear() override {}

 private:
  Output& out_;
};

// The view in the window: a read-only multi-line edit that fills the client area and keeps the
// last megabytes of records.
class EditView : public Sink {
 public:
  void Attach(HWND edit) { edit_ = edit; }
  void Write(const Record& r) override;
  void Clear() override;

 private:
  void DropOldest();
  HWND edit_ = nullptr;
};

// Several views at once.
class BothViews : public Sink {
 public:
  BothViews(Sink& first, Sink* second) : first_(first), second_(second) {}
  void Write(const Record& r) override;
  void Clear() override;

 private:
  Sink& first_;
  Sink* second_;
};

// The dispatcher's defaults and identity.
std::string DefaultLogPath();
bool MakeParentDirectory(const std::string& path);
Stamp Now();
Self SelfIdentity();

// The three modes; each returns the process's exit code.
int RunDispatcher(const Options& options, int show);
int RunTailMode(const Options& options);
int RunStopMode(const Options& options);

}  // namespace wl::dispatcher::win32
