// A fixture for scripted dispatcher behaviour: windows and started programs get names, and the
// packets a call produced are written as short lines that tables can list.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/fake/client_fixture.h"

namespace wl::fake {

constexpr const char* kDispatcherClass = "TFrmDispatcher";
constexpr const char* kDispatcherTitle = "Wrenlog Dispatcher";
constexpr const char* kDefaultExe = "WLDispatcher.exe";

class LinkTest : public ClientTest {
 public:
  // For the scripting steps of case tables, which see the fixture from outside.
  FakeServices& Os() { return *os; }

  // A running dispatcher window, named for the packet lines.
  WindowHandle Dispatcher(const std::string& name, std::int32_t answer = 1) {
    const WindowHandle wnd = os->AddDispatcher(answer);
    Name(wnd, name);
    return wnd;
  }

  // A fresh library on a fresh fake, with the names of windows, runs and ids forgotten.
  void Reload() {
    Unload();
    names_.clear();
    runs_.clear();
    ids_.clear();
    Load();
  }

  // Starts a new record; the identifiers seen so far keep their names.
  void NewRecord() {
    Sent();
    os->ClearRecord();
  }

  // Names a window for the packet lines.
  void Name(WindowHandle wnd, const std::string& name) { names_[wnd] = name; }

  // A program whose every start creates a window of this class and title on its main thread,
  // named name1, name2, ... in the order of the starts.
  void WindowProgram(const std::string& commandLine, const std::string& name,
                     const std::string& className = kDispatcherClass, WindowProc proc = nullptr) {
    os->AddProgram(
        commandLine, [this, name, className, proc](FakeServices& fake, std::uint32_t thread) {
          const WindowHandle wnd = fake.AddWindow(className, kDispatcherTitle, thread, 0, proc);
          names_[wnd] = name + std::to_string(++runs_[name]);
        });
  }

  // A program that starts but creates no window.
  void SilentProgram(const std::string& commandLine) {
    os->AddProgram(commandLine, [](FakeServices&, std::uint32_t) {});
  }

  // The packets so far, one line each: kind, connection id (id1, id2, ... in order of first
  // appearance, "-" when empty), text, target window ("0" for none), and whether the names of
  // computer and application were filled (+names) or empty (-names).
  std::vector<std::string> Sent() {
    std::vector<std::string> lines;
    for (const Packet& p : packets()) lines.push_back(Describe(p));
    return lines;
  }

  // The connection id as the packet lines name it.
  std::string IdName(const std::string& id) {
    if (id.empty()) return "-";
    auto it = ids_.find(id);
    if (it == ids_.end()) it = ids_.emplace(id, "id" + std::to_string(ids_.size() + 1)).first;
    return it->second;
  }

  std::vector<std::string> CreatedCommandLines() const {
    std::vector<std::string> lines;
    const std::string prefix = "CreateProcess ";
    for (const std::string& e : os->Events())
      if (e.rfind(prefix, 0) == 0) lines.push_back(e.substr(prefix.size()));
    return lines;
  }

 private:
  static std::string KindName(std::int32_t kind) {
    switch (kind) {
      case mkConnect:
        return "connect";
      case mkDisconnect:
        return "disconnect";
      case mkMessage:
        return "msg";
      default:
        return std::to_string(kind);
    }
  }

  std::string Target(WindowHandle wnd) const {
    if (wnd == 0) return "0";
    auto it = names_.find(wnd);
    return it == names_.end() ? "?" : it->second;
  }

  std::string Describe(const Packet& p) {
    const bool named = !p.computerName.empty() && !p.appName.empty();
    const bool unnamed = p.computerName.empty() && p.appName.empty();
    return KindName(p.kind) + " " + IdName(p.connectionId) + " '" + p.msg + "' >" +
           Target(p.target) +
           (named     ? " +names"
            : unnamed ? " -names"
                      : " ?names");
  }

  std::map<WindowHandle, std::string> names_;
  std::map<std::string, int> runs_;
  std::map<std::string, std::string> ids_;
};

}  // namespace wl::fake
