// TWrenlog: construction, destruction and the identity of the sender.
#include <algorithm>

#include "client/WLIntf.h"

namespace wl {

std::string JoinLines(const TStringList& lines) {
  std::size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string joined;
  joined.reserve(size);
  for (const auto& line : lines) {
    joined += line;
    joined += "\r\n";
  }
  return joined;
}

std::int32_t DayNumber(int year, int month, int day) {
  // Days before this year in the proleptic Gregorian calendar, then days before this month.
  static constexpr int kDaysBefore[2][12] = {
      {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
      {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335}};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const std::int32_t y = year - 1;
  return y * 365 + y / 4 - y / 100 + y / 400 + kDaysBefore[leap][month - 1] + day;
}

TWrenlog::TWrenlog(TComponent* owner) : TComponent(owner) {
  // The fields start at their declared defaults; the zone's bias is read once, here.
  TimeZoneBias = sys().TimeZoneBias().value_or(0);
  ObjectManager->AddInstance(this);
}

TWrenlog::~TWrenlog() {
  // A connected client says goodbye; this never starts a dispatcher.
  try {
    Disconnect();
  } catch (...) {
    // A destructor cannot report; the connection is gone with the client either way.
  }
  if (ObjectManager) ObjectManager->RemoveInstance(this);
}

TWLTimeStamp TWrenlog::QueryTimeStamp() {
  const platform::LocalTime t = sys().GetLocalTime();
  TWLTimeStamp stamp;
  stamp.Time = ((t.hour * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond;
  stamp.Date = DayNumber(t.year, t.month, t.day);
  return stamp;
}

std::uint32_t TWrenlog::QueryProcessId() { return sys().CurrentProcessId(); }

std::uint32_t TWrenlog::QueryThreadId() { return sys().CurrentThreadId(); }

std::string TWrenlog::QueryComputerName() {
  std::optional<std::string> name = sys().ComputerName();
  if (!name || name->size() > 15) return std::string();
  return *name;
}

std::string TWrenlog::QueryAppName() {
  const std::string path = sys().MainModuleFileName();
  const std::size_t slash = path.find_last_of("\\:");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  if (name.size() > 40) name.resize(40);
  return name;
}

// Built once, on first use, and never destroyed: a client may look its dispatcher up while the
// module's statics are being torn down.
const std::string& TWrenlog::GetDispatcherClass() {
  static const std::string& name = *new std::string("TFrmDispatcher");
  return name;
}
const std::string& TWrenlog::GetDispatcherTitle() {
  static const std::string& name = *new std::string("Wrenlog Dispatcher");
  return name;
}
const std::string& TWrenlog::GetDispatcherPathValue() {
  static const std::string& name = *new std::string("DispatcherPath");
  return name;
}
const std::string& TWrenlog::GetDispatcherExe() {
  static const std::string& name = *new std::string("WLDispatcher.exe");
  return name;
}

}  // namespace wl
