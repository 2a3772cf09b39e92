// System colours: GetSysColor and GetSysColorBrush with the values that
// Wine 8 reports in a fresh prefix (its default theme, not the classic grey).
#include <array>

#include "gdi32_table.h"

namespace {

// Indexed by COLOR_* value; measured with GetSysColor(0..30) under Wine.
// Index 25 has no name but Wine answers it, as it does here.
constexpr std::array<COLORREF, 31> kSystemColors = {
    0xFFFFFF,  // COLOR_SCROLLBAR
    0x956F25,  // COLOR_BACKGROUND
    0xFA9632,  // COLOR_ACTIVECAPTION
    0x808080,  // COLOR_INACTIVECAPTION
    0xFFFFFF,  // COLOR_MENU
    0xFFFFFF,  // COLOR_WINDOW
    0x9E9E9E,  // COLOR_WINDOWFRAME
    0x000000,  // COLOR_MENUTEXT
    0x000000,  // COLOR_WINDOWTEXT
    0x000000,  // COLOR_CAPTIONTEXT
    0xFFFFFF,  // COLOR_ACTIVEBORDER
    0xFFFFFF,  // COLOR_INACTIVEBORDER
    0x808080,  // COLOR_APPWORKSPACE
    0xFA9630,  // COLOR_HIGHLIGHT
    0xFFFFFF,  // COLOR_HIGHLIGHTTEXT
    0xF5F5F5,  // COLOR_BTNFACE
    0xA6A6A6,  // COLOR_BTNSHADOW
    0xA6A6A6,  // COLOR_GRAYTEXT
    0x000000,  // COLOR_BTNTEXT
    0xC8C8C8,  // COLOR_INACTIVECAPTIONTEXT
    0xFFFFFF,  // COLOR_BTNHIGHLIGHT
    0x6A6A6A,  // COLOR_3DDKSHADOW
    0xE3E3E3,  // COLOR_3DLIGHT
    0x000000,  // COLOR_INFOTEXT
    0xFFFFFF,  // COLOR_INFOBK
    0xFFFFFF,  // (25)
    0xE0E0E0,  // COLOR_HOTLIGHT
    0xFA9632,  // COLOR_GRADIENTACTIVECAPTION
    0x808080,  // COLOR_GRADIENTINACTIVECAPTION
    0xFA9630,  // COLOR_MENUHILIGHT
    0xFFFFFF,  // COLOR_MENUBAR
};

}  // namespace

// Wine: an index outside 0..30 gives 0 (black).
DWORD GetSysColor(int index) {
  if (index < 0 || index >= static_cast<int>(kSystemColors.size())) return 0;
  return kSystemColors[static_cast<std::size_t>(index)];
}

// Wine: an index outside 0..30 gives no brush. The brushes are shared and
// survive DeleteObject, as Win32's do.
HBRUSH GetSysColorBrush(int index) {
  return tavrin::platform::gdi::SystemColorBrush(index);
}
