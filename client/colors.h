// The colour identifiers: the names by which a caller picks a category colour, and the names
// under which the object dump shows colour values.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace wl {

struct ColorIdent {
  std::int32_t value;
  const char* name;
};

// The 49 identifiers, in the order they are searched. Names and values are unique.
std::span<const ColorIdent> ColorIdents();

// The value of the identifier whose name matches: same length, ASCII letters compared without
// case, every other byte equal. No blanks are trimmed and no numeric forms are read.
std::optional<std::int32_t> ColorFromName(std::string_view name);

// ColorFromName, raising Exception "No such color" when no identifier matches.
std::int32_t ColorByName(std::string_view name);

// The name of the identifier with this value; nullptr when there is none.
const char* ColorToName(std::int32_t value);

}  // namespace wl
