// Dumping an object's published properties: SendObject, CheckObject and DumpProperties.
//
// Each readable property of a kind the dump knows gives one line "Name=value" (indented two
// blanks per nesting level), a set a head line and a line per element, and an object that is not
// a component a head line "Name=(DeclaredType)" with the object's own properties below it.
// Where the dump stops:
// - an enumeration value without identifier is written "<<Out Of Range: N>>", N its ordinal;
// - a reference to an object whose dump is already under way (a cycle) is written
//   "Name=<<Circular Reference>>" and not followed;
// - an object that would be dumped deeper than kMaxNesting levels is written
//   "Name=<<Nesting Too Deep>>", so that a long chain of objects cannot exhaust the stack;
// - a set lists at most the first 256 elements of its element type.
// A message text longer than 255 characters is cut to its first 255.
#include <algorithm>
#include <vector>

#include "client/WLIntf.h"
#include "client/colors.h"
#include "client/cursors.h"
#include "client/datetime_format.h"
#include "client/type_info.h"

namespace wl {

const ClassTypeInfo* TComponent::ClassInfo() const {
  return WL_PUBLISHED(TComponent, TObject, WL_PROP(Name), WL_PROP(Tag));
}

const ClassTypeInfo* TWrenlog::ClassInfo() const {
  return WL_PUBLISHED(TWrenlog, TComponent,         //
                      WL_PROP(DestinationDetails),  // read through DestinationDetails()
                      WL_PROP(Enabled),             //
                      WL_PROP(Category),            //
                      WL_PROP(CategoryColor, "TColor"),
                      WL_PROP(DateTimeFormat),  //
                      WL_PROP(HexNumPrefix),    //
                      WL_PROP(HexViewWidth),    //
                      WL_PROP(QuoteChar),       //
                      WL_PROP(OnSendMsg, "TWLSendMsgEvent"));
}

namespace {

constexpr std::size_t kMsgCapacity = 255;
constexpr std::int32_t kMaxNesting = 64;
constexpr std::int64_t kMaxSetElements = 256;
constexpr const char* kNotImplemented = "<<Not Implemented Yet>>";
constexpr const char* kCircular = "<<Circular Reference>>";
constexpr const char* kTooDeep = "<<Nesting Too Deep>>";

// The objects whose dump is under way on this thread, outermost first.
thread_local std::vector<const TObject*> dumpPath;

class PathEntry {
 public:
  explicit PathEntry(const TObject* obj) { dumpPath.push_back(obj); }
  ~PathEntry() { dumpPath.pop_back(); }
  PathEntry(const PathEntry&) = delete;
  PathEntry& operator=(const PathEntry&) = delete;
};

bool OnDumpPath(const TObject* obj) {
  return std::find(dumpPath.begin(), dumpPath.end(), obj) != dumpPath.end();
}

// Byte order with bit 0x20 cleared: letters without case, digits before letters, "_" after.
bool NameBefore(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(a[i] & ~0x20);
    const auto y = static_cast<unsigned char>(b[i] & ~0x20);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

bool SameName(std::string_view a, std::string_view b) {
  return !NameBefore(a, b) && !NameBefore(b, a);
}

// Every published property of the class, the nearest declaration of each name, sorted by name.
std::vector<const PropInfo*> SortedProperties(const ClassTypeInfo& info) {
  std::vector<const PropInfo*> props;
  for (const ClassTypeInfo* c = &info; c != nullptr; c = c->parent) {
    for (const PropInfo& p : c->properties) {
      auto same = [&](const PropInfo* q) { return SameName(q->name, p.name); };
      if (std::none_of(props.begin(), props.end(), same)) props.push_back(&p);
    }
  }
  std::stable_sort(props.begin(), props.end(), [](const PropInfo* a, const PropInfo* b) {
    return NameBefore(a->name, b->name);
  });
  return props;
}

void AddLine(TStringList& lines, std::int32_t level, std::string_view name,
             std::string_view value) {
  std::string line(static_cast<std::size_t>(std::max(level, 0)) * 2, ' ');
  line.append(name).append("=").append(value);
  lines.push_back(std::move(line));
}

std::string IntegerText(const std::string& typeName, std::int32_t value) {
  if (typeName == "TColor") {
    if (const char* name = ColorToName(value)) return name;
    return Format("%s%.8x", {"$", value});
  }
  if (typeName == "TCursor") return FormatCursor(static_cast<std::int16_t>(value));
  return std::to_string(value);
}

std::string EnumText(const OrdinalTypeInfo* values, std::int32_t value) {
  std::optional<std::string> ident = values ? values->Ident(value) : std::nullopt;
  if (ident) return *ident;
  return "<<Out Of Range: " + std::to_string(value) + ">>";
}

std::string FloatText(const std::string& typeName, long double value,
                      const std::string& dateTimeFormat) {
  const FormatSettings& s = CurrentFormatSettings();
  if (typeName == "TDateTime") return DateTimeToText(value, dateTimeFormat, s);
  if (typeName == "TDate") return FormatDateTime(s.shortDateFormat, value, s);
  if (typeName == "TTime") return FormatDateTime(s.longTimeFormat, value, s);
  return FormatFloatGeneral(value, s);
}

std::string QuotedText(const std::string& text) {
  return text.empty() ? std::string() : "'" + text + "'";
}

void AddSetLines(TStringList& lines, std::int32_t level, const PropInfo& prop, std::uint32_t mask) {
  AddLine(lines, level, prop.name, "[" + prop.type->name + "]");
  const OrdinalTypeInfo* element = prop.type->ordinal;
  if (element == nullptr) return;
  const std::int64_t count =
      std::min<std::int64_t>(std::int64_t{element->max} - element->min + 1, kMaxSetElements);
  for (std::int64_t i = 0; i < count; ++i) {
    const auto k = static_cast<std::int32_t>(element->min + i);
    const bool in = i < 32 && ((mask >> i) & 1u) != 0;
    AddLine(lines, level + 1, element->Ident(k).value_or(std::to_string(k)), in ? "True" : "False");
  }
}

// A class-typed value: nil, a component's name, or the object's dump one level deeper.
void DumpReference(TWrenlog& client, const PropInfo& prop, TObject* value, std::int32_t level,
                   TStringList& lines) {
  if (value == nullptr) return AddLine(lines, level, prop.name, "nil");
  if (const auto* component = dynamic_cast<const TComponent*>(value))
    return AddLine(lines, level, prop.name, component->Name);
  if (OnDumpPath(value)) return AddLine(lines, level, prop.name, kCircular);
  if (level + 1 > kMaxNesting) return AddLine(lines, level, prop.name, kTooDeep);
  AddLine(lines, level, prop.name, "(" + prop.type->name + ")");
  client.DumpProperties(true, value, level + 1, lines);
}

// The line or lines of one readable property of obj.
void DumpProperty(TWrenlog& client, const PropInfo& prop, const TObject& obj, std::int32_t level,
                  TStringList& lines) {
  const TypeInfo& type = *prop.type;
  switch (type.kind) {
    case TypeKind::Integer:
      return AddLine(lines, level, prop.name,
                     IntegerText(type.name, std::get<std::int32_t>(prop.read(obj))));
    case TypeKind::Enumeration:
      return AddLine(lines, level, prop.name,
                     EnumText(type.ordinal, std::get<std::int32_t>(prop.read(obj))));
    case TypeKind::Float:
      return AddLine(
          lines, level, prop.name,
          FloatText(type.name, std::get<long double>(prop.read(obj)), client.DateTimeFormat));
    case TypeKind::ShortString:
    case TypeKind::LongString:
    case TypeKind::WideString:
      return AddLine(lines, level, prop.name, QuotedText(std::get<std::string>(prop.read(obj))));
    case TypeKind::Set:
      return AddSetLines(lines, level, prop,
                         static_cast<std::uint32_t>(std::get<std::int32_t>(prop.read(obj))));
    case TypeKind::Class:
      return DumpReference(client, prop, std::get<TObject*>(prop.read(obj)), level, lines);
    default:
      return AddLine(lines, level, prop.name, kNotImplemented);
  }
}

bool Dumped(const PropInfo& prop) {
  return prop.read != nullptr && prop.type->kind != TypeKind::Unknown &&
         prop.type->kind != TypeKind::Method;
}

}  // namespace

void TWrenlog::SendObject(const std::string& Msg, TObject* Obj) {
  if (!Enabled) return;
  if (!CheckObject(Msg, Obj)) return;
  TStringList lines;
  DumpProperties(false, Obj, 0, lines);
  const std::string msg = Msg.substr(0, kMsgCapacity);
  const std::string details = JoinLines(lines);
  SendPacket(mkObject, msg.c_str(), details.c_str(), Obj->ClassName());
}

bool TWrenlog::CheckObject(const std::string& Msg, TObject* Obj) {
  if (Obj == nullptr) {
    SendStr(mkError, Msg + ": Call to SendObject with nil object", std::string());
    return false;
  }
  if (Obj->ClassInfo() == nullptr) {
    SendStr(mkError, Msg + ": Object has no RTTI", std::string());
    return false;
  }
  return true;
}

void TWrenlog::DumpProperties(bool Nested, TObject* Obj, std::int32_t Level, TStringList& Lines) {
  const ClassTypeInfo* info = Obj != nullptr ? Obj->ClassInfo() : nullptr;
  if (info == nullptr) {
    if (!Nested && Obj != nullptr) SendStr(mkError, "Object has no RTTI", std::string());
    return;
  }
  const PathEntry entry(Obj);
  for (const PropInfo* prop : SortedProperties(*info))
    if (Dumped(*prop)) DumpProperty(*this, *prop, *Obj, Level, Lines);
}

}  // namespace wl
