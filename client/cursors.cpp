// The cursor identifier table and its look-ups.
#include "client/cursors.h"

#include <array>

namespace wl {
namespace {

constexpr std::array<CursorIdent, 22> kCursorIdents{{
    {"crDefault", 0},   {"crArrow", -2},      {"crCross", -3},      {"crIBeam", -4},
    {"crSizeNESW", -6}, {"crSizeNS", -7},     {"crSizeNWSE", -8},   {"crSizeWE", -9},
    {"crUpArrow", -10}, {"crHourGlass", -11}, {"crDrag", -12},      {"crNoDrop", -13},
    {"crHSplit", -14},  {"crVSplit", -15},    {"crMultiDrag", -16}, {"crSQLWait", -17},
    {"crNo", -18},      {"crAppStart", -19},  {"crHelp", -20},      {"crHandPoint", -21},
    {"crSizeAll", -22}, {"crSize", -22},
}};

}  // namespace

std::span<const CursorIdent> CursorIdentTable() { return kCursorIdents; }

bool FindCursorIdent(std::int32_t Cursor, std::string& Ident) {
  for (const CursorIdent& row : kCursorIdents) {
    if (row.value == Cursor) {
      Ident = row.name;
      return true;
    }
  }
  return false;
}

std::string FormatCursor(std::int16_t Cursor) {
  std::string ident;
  if (FindCursorIdent(Cursor, ident)) return ident;
  return std::to_string(Cursor);
}

}  // namespace wl
