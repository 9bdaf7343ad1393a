// The colour identifier table and its two lookups.
#include "client/colors.h"

#include <cstring>

#include "client/errors.h"

namespace wl {
namespace {

constexpr std::int32_t System(std::uint32_t index) {
  return static_cast<std::int32_t>(0x80000000u | index);
}

constexpr ColorIdent kColors[] = {
    {0x00000000, "clBlack"},
    {0x00000080, "clMaroon"},
    {0x00008000, "clGreen"},
    {0x00008080, "clOlive"},
    {0x00800000, "clNavy"},
    {0x00800080, "clPurple"},
    {0x00808000, "clTeal"},
    {0x00808080, "clGray"},
    {0x00C0C0C0, "clSilver"},
    {0x000000FF, "clRed"},
    {0x0000FF00, "clLime"},
    {0x0000FFFF, "clYellow"},
    {0x00FF0000, "clBlue"},
    {0x00FF00FF, "clFuchsia"},
    {0x00FFFF00, "clAqua"},
    {0x00FFFFFF, "clWhite"},
    {0x00C0DCC0, "clMoneyGreen"},
    {0x00F0CAA6, "clSkyBlue"},
    {0x00F0FBFF, "clCream"},
    {0x00A4A0A0, "clMedGray"},
    {System(0x0A), "clActiveBorder"},
    {System(0x02), "clActiveCaption"},
    {System(0x0C), "clAppWorkSpace"},
    {System(0x01), "clBackground"},
    {System(0x0F), "clBtnFace"},
    {System(0x14), "clBtnHighlight"},
    {System(0x10), "clBtnShadow"},
    {System(0x12), "clBtnText"},
    {System(0x09), "clCaptionText"},
    {0x20000000, "clDefault"},
    {System(0x1B), "clGradientActiveCaption"},
    {System(0x1C), "clGradientInactiveCaption"},
    {System(0x11), "clGrayText"},
    {System(0x0D), "clHighlight"},
    {System(0x0E), "clHighlightText"},
    {System(0x0B), "clInactiveBorder"},
    {System(0x03), "clInactiveCaption"},
    {System(0x13), "clInactiveCaptionText"},
    {System(0x18), "clInfoBk"},
    {System(0x17), "clInfoText"},
    {System(0x04), "clMenu"},
    {System(0x07), "clMenuText"},
    {0x1FFFFFFF, "clNone"},
    {System(0x00), "clScrollBar"},
    {System(0x15), "cl3DDkShadow"},
    {System(0x16), "cl3DLight"},
    {System(0x05), "clWindow"},
    {System(0x06), "clWindowFrame"},
    {System(0x08), "clWindowText"},
};

// Only a to z fold; bytes of other alphabets stay as they are, whatever the code page.
constexpr char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool SameIdent(std::string_view name, const char* ident) {
  const std::size_t length = std::strlen(ident);
  if (name.size() != length) return false;
  for (std::size_t i = 0; i < length; ++i)
    if (FoldAscii(name[i]) != FoldAscii(ident[i])) return false;
  return true;
}

}  // namespace

std::span<const ColorIdent> ColorIdents() { return kColors; }

std::optional<std::int32_t> ColorFromName(std::string_view name) {
  for (const ColorIdent& ident : kColors)
    if (SameIdent(name, ident.name)) return ident.value;
  return std::nullopt;
}

std::int32_t ColorByName(std::string_view name) {
  const std::optional<std::int32_t> value = ColorFromName(name);
  if (!value) Raise<Exception>("No such color");
  return *value;
}

const char* ColorToName(std::int32_t value) {
  for (const ColorIdent& ident : kColors)
    if (ident.value == value) return ident.name;
  return nullptr;
}

}  // namespace wl
