// The logging client: TWrenlog, the object manager that keeps track of clients, the formatter
// list, and the process-wide objects the library's entry points work on.
//
// This is the public header for a host that links the client directly.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "client/errors.h"
#include "client/format.h"
#include "client/message_kinds.h"
#include "client/object.h"
#include "platform/services.h"

namespace wl {

using WindowHandle = platform::WindowHandle;

// An ordered list of text lines; joined, every line ends with CR LF.
using TStringList = std::vector<std::string>;
std::string JoinLines(const TStringList& lines);

constexpr std::int32_t clWindow = static_cast<std::int32_t>(0x80000005);

// Local time: milliseconds since midnight and the day number (1 January of year 1 is day 1).
struct TWLTimeStamp {
  std::int32_t Time = 0;
  std::int32_t Date = 0;
};

// Day number of a proleptic Gregorian date; 30 December 1899 is 693594.
std::int32_t DayNumber(int year, int month, int day);

// A counted text: a length byte and room for N characters, no terminator.
template <std::size_t N>
struct TWLCountedText {
  std::uint8_t Length;
  char Chars[N];
};

class TWrenlog;

// The record a host's OnSendMsg handler receives. 172 bytes on the 32-bit build.
struct TWrenlogMsgData {
  std::int32_t Kind;
  std::string* Msg;            // the whole message text; released by the client after the call
  const TStringList* Details;  // the details split into lines; null when none was given
  std::uint32_t ProcessId;
  std::uint32_t ThreadId;
  TWLCountedText<15> ComputerName;
  TWLCountedText<40> AppName;
  TWLCountedText<40> ObjectClass;
  TWLCountedText<40> Category;
  std::uint8_t Filler;
  std::int32_t CategoryColor;
  std::int32_t Time;
  std::int32_t Date;
};

// A handler bound to its object: (Sender, MsgData, Handled). Handled is True on entry; the
// handler sets it False to let the message go on to the dispatcher.
using TWLSendMsgEvent =
    std::function<void(TObject* Sender, TWrenlogMsgData& MsgData, bool& Handled)>;

class TWrenlog : public TComponent {
 public:
  explicit TWrenlog(TComponent* owner = nullptr);
  ~TWrenlog() override;
  TWrenlog(const TWrenlog&) = delete;
  TWrenlog& operator=(const TWrenlog&) = delete;

  const char* ClassName() const override { return "TWrenlog"; }
  const ClassTypeInfo* ClassInfo() const override;

  // --- virtual operations, in slot order
  virtual TWLTimeStamp QueryTimeStamp();
  virtual std::uint32_t QueryProcessId();
  virtual std::uint32_t QueryThreadId();
  virtual std::string QueryComputerName();
  virtual std::string QueryAppName();
  virtual void CheckDispatcher(bool AllowLaunch);
  virtual void DispatcherChanged(WindowHandle Wnd);
  virtual void Connect();
  virtual void Reregister();
  virtual void Disconnect();
  virtual void SetDestinationDetails(const std::string& Value);
  // The four names FindDispatcher uses. Each is looked at once per packet, so they return a
  // reference instead of a new text; an override returns a text that outlives the call (a static
  // or a field of its own).
  virtual const std::string& GetDispatcherClass();
  virtual const std::string& GetDispatcherTitle();
  virtual const std::string& GetDispatcherPathValue();
  virtual const std::string& GetDispatcherExe();
  virtual void LaunchDispatcher(const std::string& Path, WindowHandle& Wnd);
  virtual WindowHandle FindThreadWindow(std::uint32_t ThreadId);
  virtual WindowHandle FindDispatcher(bool AllowLaunch);
  virtual std::int32_t DeliverPacket(std::int32_t Kind, std::int32_t Size, const void* Packet);
  virtual std::int32_t SendPacket(std::int32_t Kind, const char* Msg, const char* Details,
                                  const std::string& ObjectClass);
  virtual void SendObject(const std::string& Msg, TObject* Obj);
  virtual void EnterMethod(const std::string& MethodName);
  virtual void EnterMethod(TObject* Instance, const std::string& MethodName);
  virtual void EnterMethodFmt(const std::string& MethodName, const std::string& Fmt,
                              FormatArgs Args);
  virtual void ExitMethod(const std::string& MethodName);
  virtual void ExitMethod(TObject* Instance, const std::string& MethodName);
  virtual void ExitMethodFmt(const std::string& MethodName, const std::string& Fmt,
                             FormatArgs Args);

  // --- composition
  void SendMsg(const std::string& Msg);
  void SendMsgEx(std::int32_t Kind, const std::string& Msg);
  void SendFmtMsgEx(std::int32_t Kind, const std::string& Fmt, FormatArgs Args);
  void SendError(const std::string& Msg);
  void SendFmtError(const std::string& Fmt, FormatArgs Args);
  void SendNote(const std::string& Msg);
  void SendException();
  void SendFloat(const std::string& Name, long double Value);
  void SendFloatEx(std::int32_t Kind, const std::string& Name, long double Value);
  void SendInteger(const std::string& Name, std::int32_t Value);
  void SendIntegerEx(std::int32_t Kind, const std::string& Name, std::int32_t Value);
  void SendString(const std::string& Name, const std::string& Value);
  void SendStringEx(std::int32_t Kind, const std::string& Name, const std::string& Value);
  void AddCheckPoint();
  void ResetCheckPoint();
  void AddSeparator();
  void Clear();
  void WriteMsg(const std::string& Left, const std::string& Right);
  void WriteString(const std::string& Left, const std::string& Right, const std::string& Value);
  void WriteInteger(const std::string& Left, const std::string& Right, std::int32_t Value);
  void WriteFloat(const std::string& Left, const std::string& Right, long double Value);

  // --- memory report
  void GetMemoryStatus(TStringList& Lines);
  void SendMemoryStatus();

  // --- object dump
  bool CheckObject(const std::string& Msg, TObject* Obj);
  void DumpProperties(bool Nested, TObject* Obj, std::int32_t Level, TStringList& Lines);

  // --- interception
  bool DoSendMsg(std::int32_t Kind, const char* Msg, const char* Details,
                 const std::string& ObjectClass, const TWLTimeStamp& Stamp, bool& Handled);

  // --- connection
  std::string NewConnectionId();
  void RegisterConnection();
  void CacheComputerName();
  void CacheAppName();
  // The destination named when a connection opens: DestinationDetails, or the default.
  std::string Destination() const;

  // --- sending
  std::int32_t SendText(std::int32_t Kind, const char* Msg, const std::string& ObjectClass);
  std::int32_t SendStr(std::int32_t Kind, const std::string& Msg, const std::string& ObjectClass);

  // --- published DestinationDetails (written through SetDestinationDetails)
  const std::string& DestinationDetails() const { return FDestinationDetails; }

  // --- fields
  std::string ConnectionId;
  bool Connecting = false;
  bool Registered = false;
  std::string ComputerName;
  std::string AppName;
  bool Enabled = true;
  std::string DateTimeFormat;
  std::string Category;
  std::int32_t CategoryColor = clWindow;
  std::int32_t CheckPointCount = 0;
  std::int32_t TimeZoneBias = 0;
  std::int32_t HexViewWidth = 8;
  std::string HexNumPrefix = "$";
  char QuoteChar = '\'';
  TWLSendMsgEvent OnSendMsg;
  WindowHandle DispatcherWnd = 0;

 private:
  std::string FDestinationDetails;
  // Depth of Connect/Reregister calls under way on this client; Connecting is True while it is
  // above 0, so a connect nested inside another does not end the outer one's protection.
  int connectDepth_ = 0;
  friend struct ConnectScope;
  // Depth of CheckDispatcher calls under way, and the dispatcher starts made since the outermost
  // one began: one message (with the control packets nested in it) starts at most two.
  int checkDepth_ = 0;
  int startsThisCheck_ = 0;
  friend struct CheckScope;
};

// An owning list of objects: an item is freed when deleted, when cleared and with the list.
class TWLFormatterList {
 public:
  TWLFormatterList() = default;
  ~TWLFormatterList();
  TWLFormatterList(const TWLFormatterList&) = delete;
  TWLFormatterList& operator=(const TWLFormatterList&) = delete;

  std::int32_t Add(TObject* item);
  std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
  void Delete(std::int32_t Index);
  void Clear();
  TObject* Items(std::int32_t Index) const;

 private:
  std::vector<TObject*> items_;
};

class TWLObjectManager {
 public:
  explicit TWLObjectManager(std::uint8_t assertionMode = 0);
  virtual ~TWLObjectManager();
  TWLObjectManager(const TWLObjectManager&) = delete;
  TWLObjectManager& operator=(const TWLObjectManager&) = delete;

  virtual std::int32_t InstanceCount();
  virtual TWLFormatterList* FormatterList();
  virtual void SetDefaultDestination(const std::string& Value);

  void AddInstance(TWrenlog* Client);
  void RemoveInstance(TWrenlog* Client);

  std::string DefaultDestination = "Viewer";
  // 0 raise only, 1 send only, 2 send and raise; written only here, at construction.
  const std::uint8_t AssertionMode;

 private:
  std::recursive_mutex instancesLock_;
  std::vector<TWrenlog*> Instances;
  std::unique_ptr<TWLFormatterList> Formatters;
};

// --- the process-wide objects
extern TWLObjectManager* ObjectManager;
extern TWrenlog* GlobalClient;

// The lock that serialises calls on GlobalClient; the same thread may take it again.
std::recursive_mutex& GlobalClientLock();

// The client unit's start and stop: create ObjectManager, then GlobalClient, then install the
// assertion hook; destroy in reverse. Each variable is cleared only after its object is gone.
// The services must be installed before the start.
void ClientUnitStart(std::uint8_t assertionMode = 0);
void ClientUnitStop();

// Makes AssertionHook the module's assertion handler (see client/assertion.h).
void InstallAssertionHook();

// The library's assertion handler.
void AssertionHook(const std::string& Msg, const std::string& SourceFile, std::int32_t SourceLine,
                   std::uintptr_t FailAddr);

}  // namespace wl
