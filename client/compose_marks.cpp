// Method entry and exit marks: the six virtual mark operations of TWrenlog.
//
// The forms with an object name the object's class (and a component's name) before the method;
// a null object goes to the one-argument form through the virtual table, so that an override
// of that form sees every mark. The Fmt forms share the guarded formatting of SendFmtMsgEx.
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

}  // namespace wl
