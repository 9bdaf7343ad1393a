// The cursor identifiers under which the object dump shows TCursor values.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace wl {

struct CursorIdent {
  const char* name;
  std::int32_t value;
};

// The 22 identifiers, in the order they are searched. -22 has two rows; the first wins.
std::span<const CursorIdent> CursorIdentTable();

// Looks Cursor up; on success stores the first matching row's identifier in Ident and returns
// true, otherwise leaves Ident as it was and returns false.
bool FindCursorIdent(std::int32_t Cursor, std::string& Ident);

// The identifier of Cursor, widened with its sign, else its signed decimal number.
std::string FormatCursor(std::int16_t Cursor);

}  // namespace wl
