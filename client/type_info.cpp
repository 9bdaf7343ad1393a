// The parts of the type information that are not templates.
#include "client/type_info.h"

#include <cxxabi.h>

#include <cstdlib>
#include <limits>
#include <memory>

namespace wl {

std::optional<std::string> OrdinalTypeInfo::Ident(std::int32_t k) const {
  if (wideBoolean) return std::string(k != 0 ? "True" : "False");
  if (k < min || k > max) return std::nullopt;
  if (names.empty()) return std::to_string(k);
  const auto index = static_cast<std::size_t>(static_cast<std::int64_t>(k) - min);
  if (index >= names.size()) return std::nullopt;
  return names[index];
}

namespace rtti {

std::vector<std::string> SplitIdents(std::string_view commaSeparated) {
  std::vector<std::string> idents;
  std::string current;
  for (char c : commaSeparated) {
    if (c == ',') {
      idents.push_back(std::move(current));
      current.clear();
    } else if (c != ' ' && c != '\t' && c != '\n') {
      current += c;
    }
  }
  if (!current.empty()) idents.push_back(std::move(current));
  return idents;
}

std::string UnqualifiedName(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> demangled(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
  const std::string name = status == 0 && demangled ? demangled.get() : type.name();
  // Drop the qualifiers of the outermost name; those inside template arguments stay.
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '<' || name[i] == '(') ++depth;
    if (name[i] == '>' || name[i] == ')') --depth;
    if (depth == 0 && name.compare(i, 2, "::") == 0) start = i + 2;
  }
  return name.substr(start);
}

std::string Narrow(std::wstring_view text) {
  std::string narrow;
  narrow.reserve(text.size());
  for (wchar_t c : text) narrow += (static_cast<std::uint32_t>(c) < 0x80) ? static_cast<char>(c) : '?';
  return narrow;
}

OrdinalTypeInfo MakeOrdinal(std::int32_t min, std::int32_t max, std::vector<std::string> names) {
  OrdinalTypeInfo info;
  info.min = min;
  info.max = max;
  info.names = std::move(names);
  return info;
}

const OrdinalTypeInfo& BooleanValues() {
  static const OrdinalTypeInfo values = MakeOrdinal(0, 1, {"False", "True"});
  return values;
}

const OrdinalTypeInfo& LongBoolValues() {
  static const OrdinalTypeInfo values = [] {
    OrdinalTypeInfo v = MakeOrdinal(std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max(), {"False", "True"});
    v.wideBoolean = true;
    return v;
  }();
  return values;
}

}  // namespace rtti
}  // namespace wl
