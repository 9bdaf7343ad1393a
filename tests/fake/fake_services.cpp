#include "tests/fake/fake_services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace wl::fake {
namespace {

constexpr const char* kDispatcherKey = "Software\\Tolvane\\Wrenlog\\2.0";

class FakeProcess final : public platform::StartedProcess {
 public:
  FakeProcess(FakeServices& os, std::uint32_t threadId) : os_(os), threadId_(threadId) {}
  ~FakeProcess() override {
    os_.RecordEvent("CloseThread");
    os_.RecordEvent("CloseProcess");
  }
  void WaitForInputIdle() override { os_.RecordEvent("WaitForInputIdle"); }
  std::uint32_t MainThreadId() const override { return threadId_; }

 private:
  FakeServices& os_;
  std::uint32_t threadId_;
};

std::string Field(std::string_view view) { return std::string(view); }

}  // namespace

FakeServices::FakeServices() = default;

WindowHandle FakeServices::AddWindow(const std::string& className, const std::string& title,
                                     std::uint32_t threadId, WindowHandle parent, WindowProc proc) {
  std::lock_guard guard(lock_);
  Window w{nextHandle_, className, title, parent, threadId, std::move(proc)};
  nextHandle_ += 4;
  windows_.push_back(std::move(w));
  return windows_.back().handle;
}

WindowHandle FakeServices::AddDispatcher(std::int32_t answer) {
  std::uint32_t thread;
  {
    std::lock_guard guard(lock_);
    thread = nextThread_++;
  }
  return AddDispatcherWindow(thread, answer);
}

WindowHandle FakeServices::AddDispatcherWindow(std::uint32_t threadId, std::int32_t answer) {
  const WindowHandle wnd = AddWindow("TFrmDispatcher", "Wrenlog Dispatcher", threadId);
  std::lock_guard guard(lock_);
  for (Window& w : windows_)
    if (w.handle == wnd) w.answer = answer;
  return wnd;
}

void FakeServices::RemoveWindow(WindowHandle wnd) {
  std::lock_guard guard(lock_);
  std::erase_if(windows_, [wnd](const Window& w) { return w.handle == wnd; });
}

bool FakeServices::HasWindow(WindowHandle wnd) const {
  std::lock_guard guard(lock_);
  return Find(wnd) != nullptr;
}

void FakeServices::SetTitle(WindowHandle wnd, const std::string& title) {
  std::lock_guard guard(lock_);
  for (Window& w : windows_)
    if (w.handle == wnd) w.title = title;
}

void FakeServices::MakeTitleUnreadable(WindowHandle wnd) {
  std::lock_guard guard(lock_);
  unreadableTitles_.push_back(wnd);
}

const Window* FakeServices::Find(WindowHandle wnd) const {
  for (const Window& w : windows_)
    if (w.handle == wnd) return &w;
  return nullptr;
}

void FakeServices::SetRegistryValue(const std::string& subKey, const std::string& name,
                                    std::uint32_t type, const std::string& data) {
  std::lock_guard guard(lock_);
  registry_[subKey][name] = Value{type, data};
}

void FakeServices::SetDispatcherPath(const std::string& commandLine, std::uint32_t type) {
  SetRegistryValue(kDispatcherKey, "DispatcherPath", type, commandLine + std::string(1, '\0'));
}

void FakeServices::DenyKey(const std::string& subKey) {
  std::lock_guard guard(lock_);
  deniedKeys_.push_back(subKey);
}

void FakeServices::AddProgram(const std::string& commandLine, Program program) {
  std::lock_guard guard(lock_);
  programs_[commandLine] = std::move(program);
}

void FakeServices::AddDispatcherProgram(const std::string& commandLine, std::int32_t answer) {
  AddProgram(commandLine, [answer](FakeServices& os, std::uint32_t thread) {
    os.AddDispatcherWindow(thread, answer);
  });
}

std::vector<Delivery> FakeServices::Deliveries() const {
  std::lock_guard guard(lock_);
  return deliveries_;
}

std::vector<Packet> FakeServices::Packets() const {
  std::vector<Packet> packets;
  for (const Delivery& d : Deliveries()) packets.push_back(Decode(d));
  return packets;
}

std::vector<std::string> FakeServices::Events() const {
  std::lock_guard guard(lock_);
  return events_;
}

void FakeServices::ClearRecord() {
  std::lock_guard guard(lock_);
  deliveries_.clear();
  events_.clear();
  createProcessCalls_ = 0;
}

int FakeServices::CreateProcessCalls() const {
  std::lock_guard guard(lock_);
  return createProcessCalls_;
}

void FakeServices::RecordEvent(std::string event) {
  std::lock_guard guard(lock_);
  events_.push_back(std::move(event));
}

WindowHandle FakeServices::FindWindow(const char* className, const char* title) {
  // Plain comparisons of terminated texts: the lookup runs for every packet and stands for the
  // system's, so it must not weigh on the client's figures.
  std::lock_guard guard(lock_);
  for (const Window& w : windows_)
    if (w.parent == 0 && std::strcmp(w.className.c_str(), className) == 0 &&
        std::strcmp(w.title.c_str(), title) == 0)
      return w.handle;
  return 0;
}

WindowHandle FakeServices::GetParent(WindowHandle wnd) {
  std::lock_guard guard(lock_);
  const Window* w = Find(wnd);
  return w ? w->parent : 0;
}

std::string FakeServices::GetWindowText(WindowHandle wnd, int maxCount) {
  std::lock_guard guard(lock_);
  if (std::find(unreadableTitles_.begin(), unreadableTitles_.end(), wnd) != unreadableTitles_.end())
    throw std::runtime_error("title of window cannot be read");
  const Window* w = Find(wnd);
  if (w == nullptr || maxCount <= 0) return std::string();
  return w->title.substr(0, static_cast<std::size_t>(maxCount - 1));
}

void FakeServices::EnumThreadWindows(std::uint32_t threadId,
                                     const std::function<bool(WindowHandle)>& visit) {
  std::vector<WindowHandle> handles;
  {
    std::lock_guard guard(lock_);
    for (const Window& w : windows_)
      if (w.threadId == threadId) handles.push_back(w.handle);
  }
  for (WindowHandle h : handles)
    if (!visit(h)) break;
}

std::int32_t FakeServices::SendCopyData(WindowHandle target, std::int32_t dwData, const void* data,
                                        std::uint32_t size) {
  std::unique_lock guard(lock_);
  Delivery d;
  d.target = target;
  d.dwData = dwData;
  WindowProc proc;
  std::int32_t fixedAnswer = 0;
  const Window* w = target != 0 ? Find(target) : nullptr;
  const bool alive = w != nullptr;
  if (alive) {
    proc = w->proc;
    fixedAnswer = w->answer;
  }
  if (recordDeliveries || proc) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    d.bytes.assign(bytes, bytes + size);
  }
  guard.unlock();
  // The procedure runs without the fake's lock, as a real window procedure runs in another
  // process; it may script the fake (close its window, start another).
  if (alive) d.answer = proc ? proc(d) : fixedAnswer;
  const std::int32_t answer = d.answer;
  if (!recordDeliveries) return answer;
  guard.lock();
  if (recordDeliveries) deliveries_.push_back(std::move(d));
  return answer;
}

std::unique_ptr<platform::StartedProcess> FakeServices::CreateProcess(const char* commandLine) {
  Program program;
  std::uint32_t thread;
  {
    std::lock_guard guard(lock_);
    ++createProcessCalls_;
    events_.push_back(std::string("CreateProcess ") + commandLine);
    auto it = programs_.find(commandLine);
    if (it == programs_.end()) return nullptr;
    program = it->second;
    thread = nextThread_++;
    ++nextProcess_;
  }
  program(*this, thread);
  return std::make_unique<FakeProcess>(*this, thread);
}

platform::RegistryRead FakeServices::ReadMachineValue(const char* subKey, const char* valueName) {
  std::lock_guard guard(lock_);
  events_.push_back(std::string("ReadRegistry ") + valueName);
  platform::RegistryRead read;
  if (std::find(deniedKeys_.begin(), deniedKeys_.end(), subKey) != deniedKeys_.end()) return read;
  auto key = registry_.find(subKey);
  if (key == registry_.end()) return read;
  read.status = platform::RegistryRead::Status::ValueMissing;
  auto value = key->second.find(valueName);
  if (value == key->second.end()) return read;
  read.status = platform::RegistryRead::Status::Found;
  read.type = value->second.type;
  read.data = value->second.data;
  return read;
}

std::string FakeServices::NewGuidText() {
  std::lock_guard guard(lock_);
  if (guidFails) return std::string();
  char text[64];
  const std::uint32_t n = ++guidCounter_;
  std::snprintf(text, sizeof text, "{%08X-0000-4000-8000-%012X}", n, n * 7u);
  return text;
}

std::uint32_t FakeServices::CurrentThreadId() {
  if (threadIdOverride) return *threadIdOverride;
  static std::atomic<std::uint32_t> next{7000};
  thread_local const std::uint32_t id = next++;
  return id;
}

platform::CodeLocation FakeServices::LocateCode(std::uintptr_t address) {
  // Every address counts as inside the library, loaded at a fixed base below it.
  platform::CodeLocation where;
  where.moduleFileName = libraryFileName;
  where.moduleBase = address & ~std::uintptr_t{0xFFFF};
  where.inModule = address != 0;
  return where;
}

platform::MemoryFigures FakeServices::GlobalMemoryStatus() {
  RecordEvent("GlobalMemoryStatus");
  return memory;
}

Packet Decode(const Delivery& delivery) {
  Packet p;
  p.target = delivery.target;
  p.answer = delivery.answer;
  p.dwData = delivery.dwData;
  p.size = delivery.bytes.size();
  std::optional<packet::Fields> f = packet::Decode(delivery.bytes);
  EXPECT_TRUE(f.has_value()) << "a delivery of " << delivery.bytes.size()
                             << " bytes is not a well-formed packet";
  if (!f) return p;
  p.kind = f->kind;
  p.time = f->time;
  p.date = f->date;
  p.timeZoneBias = f->timeZoneBias;
  p.categoryColor = f->categoryColor;
  p.processId = f->processId;
  p.threadId = f->threadId;
  p.connectionId = Field(f->connectionId);
  p.computerName = Field(f->computerName);
  p.appName = Field(f->appName);
  p.category = Field(f->category);
  p.objectClass = Field(f->objectClass);
  p.msg = Field(f->msg);
  p.details = Field(f->details);
  return p;
}

}  // namespace wl::fake
