// Method entry and exit marks, and SendException, which the guarded formatting of the Fmt
// operations calls to report a formatting error instead of the message.
//
// The mark forms with an object name the object's class (and a component's name) before the
// method; a null object goes to the one-argument form through the virtual table, so that an
// override of that form sees every mark.
//
// The exception description is "Exception <class> in module <file> at <offset>." LF <message>,
// with a "." after a message that lacks one. The class and message come from our own error
// classes, from any other std::exception (its C++ type name and what()), or, for anything else
// thrown, from its C++ type name alone. The module is the one holding the raise address; an
// address in no module is shown less 0x1000 under the library's own name, and an unknown one
// (an error that did not come through Raise) as offset 0 in the library.
#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <memory>
#include <typeinfo>

#include "client/WLIntf.h"

namespace wl {
namespace {

const std::string kNoClass;

// "TClass( Name ).Method" for a component, "TClass.Method" for any other object.
std::string MarkText(const TObject& instance, const std::string& methodName) {
  const std::string_view className = instance.ClassName();
  const auto* component = dynamic_cast<const TComponent*>(&instance);
  std::string text;
  text.reserve(className.size() + methodName.size() + (component ? component->Name.size() + 5 : 1));
  text += className;
  if (component != nullptr) {
    text += "( ";
    text += component->Name;
    text += " )";
  }
  text += '.';
  text += methodName;
  return text;
}

// "Method - " followed by fmt formatted with args.
std::string MarkFmtText(const std::string& methodName, std::string_view fmt, FormatArgs args) {
  std::string text;
  text.reserve(methodName.size() + 3 + fmt.size() + 32);
  text += methodName;
  text += " - ";
  FormatTo(text, fmt, args, CurrentFormatSettings());
  return text;
}

constexpr std::size_t kDescriptionSize = 1024;

struct Described {
  std::string className;
  std::string message;
  std::uintptr_t address = 0;
};

std::string TypeName(const std::type_info* type) {
  if (type == nullptr) return "Unknown";
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> name(
      abi::__cxa_demangle(type->name(), nullptr, nullptr, &status), &std::free);
  return status == 0 && name ? std::string(name.get()) : std::string(type->name());
}

Described Describe(const std::exception_ptr& current) {
  Described d;
  try {
    std::rethrow_exception(current);
  } catch (const Exception& e) {
    d = {e.ClassName(), e.Message(), e.RaiseAddress()};
  } catch (const std::exception& e) {
    d = {TypeName(&typeid(e)), e.what(), 0};
  } catch (...) {
    d.className = TypeName(abi::__cxa_current_exception_type());
  }
  return d;
}

std::string BaseName(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

// The file name of the module holding address, and address as an offset into it.
std::pair<std::string, std::uintptr_t> ModuleOffset(std::uintptr_t address) {
  if (address == 0) return {BaseName(sys().LibraryFileName()), 0};
  const platform::CodeLocation where = sys().LocateCode(address);
  if (!where.inModule) return {BaseName(sys().LibraryFileName()), address - 0x1000};
  return {BaseName(where.moduleFileName), address - where.moduleBase};
}

std::string HexOffset(std::uintptr_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (int shift = sizeof value * 8 - 4; shift >= 0; shift -= 4)
    if (shift < 32 || (value >> shift) != 0 || !hex.empty()) hex += kDigits[(value >> shift) & 15];
  return hex;
}

std::string Description(const Described& d) {
  const auto [module, offset] = ModuleOffset(d.address);
  std::string text;
  text.reserve(kDescriptionSize);
  text += "Exception " + d.className + " in module " + module + " at " + HexOffset(offset) + ".\n";
  text += d.message;
  if (!d.message.empty() && d.message.back() != '.') text += '.';
  // The text ends at its first NUL and never exceeds the description buffer.
  text.resize(std::min({text.size(), text.find('\0'), kDescriptionSize}));
  return text;
}

}  // namespace

void TWrenlog::EnterMethod(const std::string& MethodName) {
  if (!Enabled) return;
  SendStr(mkEnterMethod, MethodName, kNoClass);
}

void TWrenlog::EnterMethod(TObject* Instance, const std::string& MethodName) {
  if (!Enabled) return;
  if (Instance == nullptr) return EnterMethod(MethodName);
  SendStr(mkEnterMethod, MarkText(*Instance, MethodName), kNoClass);
}

void TWrenlog::EnterMethodFmt(const std::string& MethodName, const std::string& Fmt,
                              FormatArgs Args) {
  if (!Enabled) return;
  try {
    SendStr(mkEnterMethod, MarkFmtText(MethodName, Fmt, Args), kNoClass);
  } catch (const EConvertError&) {
    SendException();
  }
}

void TWrenlog::ExitMethod(const std::string& MethodName) {
  if (!Enabled) return;
  SendStr(mkExitMethod, MethodName, kNoClass);
}

void TWrenlog::ExitMethod(TObject* Instance, const std::string& MethodName) {
  if (!Enabled) return;
  if (Instance == nullptr) return ExitMethod(MethodName);
  SendStr(mkExitMethod, MarkText(*Instance, MethodName), kNoClass);
}

void TWrenlog::ExitMethodFmt(const std::string& MethodName, const std::string& Fmt,
                             FormatArgs Args) {
  if (!Enabled) return;
  try {
    SendStr(mkExitMethod, MarkFmtText(MethodName, Fmt, Args), kNoClass);
  } catch (const EConvertError&) {
    SendException();
  }
}

void TWrenlog::SendException() {
  if (!Enabled) return;
  const std::exception_ptr current = std::current_exception();
  if (!current) return;
  SendError(Description(Describe(current)));
}

}  // namespace wl
