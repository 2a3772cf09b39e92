// Fonts: CreateFontIndirectA, GetTextMetricsA, GetTextExtentPoint32A and the
// dialog base units of a font, with the metrics Wine 8 gives on these
// machines. Wine there has one font for every face (the metrics below hold
// for "MS Sans Serif", "tahoma", "Arial", "Courier New" and unknown faces
// alike), so the metrics depend on the height alone.
#include <algorithm>
#include <array>
#include <cstring>

#include "gdi32_table.h"
#include "gdi_internal.h"
#include "platform/linux/hooks.h"

namespace tavrin::platform::gdi {
namespace {

struct FontMetrics {
  LONG height;           // tmHeight
  LONG ascent;           // tmAscent
  LONG descent;          // tmDescent
  LONG internalLeading;  // tmInternalLeading (tmExternalLeading is always 0)
  LONG aveCharWidth;     // tmAveCharWidth
  LONG maxCharWidth;     // tmMaxCharWidth
  LONG alphabetWidth;    // GetTextExtentPoint32A of "A".."Z" "a".."z"
};

// Indexed by character height (lfHeight -1 to -40), measured under Wine.
constexpr std::array<FontMetrics, 40> kByCharHeight = {{
    {1, 1, 0, 0, 1, 3, 44},        {2, 2, 0, 0, 1, 6, 62},        {4, 3, 1, 0, 2, 8, 99},
    {5, 4, 1, 1, 2, 11, 129},      {6, 5, 1, 1, 3, 14, 156},      {7, 6, 1, 1, 3, 17, 197},
    {8, 6, 2, 1, 4, 20, 221},      {9, 7, 2, 1, 4, 23, 254},      {10, 8, 2, 1, 5, 25, 296},
    {11, 9, 2, 2, 5, 28, 322},     {13, 10, 3, 2, 6, 31, 359},    {14, 11, 3, 2, 6, 34, 385},
    {15, 12, 3, 2, 7, 37, 420},    {16, 13, 3, 2, 7, 39, 454},    {18, 14, 4, 2, 8, 42, 483},
    {19, 15, 4, 3, 8, 45, 513},    {20, 16, 4, 3, 9, 48, 549},    {21, 17, 4, 3, 9, 51, 573},
    {22, 18, 4, 3, 10, 53, 611},   {24, 19, 5, 3, 10, 56, 649},   {24, 19, 5, 3, 11, 59, 671},
    {25, 20, 5, 4, 11, 62, 703},   {26, 21, 5, 4, 12, 65, 744},   {28, 22, 6, 4, 12, 68, 770},
    {29, 23, 6, 4, 13, 70, 801},   {30, 24, 6, 4, 13, 73, 835},   {31, 25, 6, 4, 14, 76, 872},
    {33, 26, 7, 5, 14, 79, 904},   {34, 27, 7, 5, 15, 82, 929},   {35, 28, 7, 5, 15, 84, 967},
    {36, 29, 7, 5, 16, 87, 998},   {38, 30, 8, 5, 16, 90, 1028},  {39, 31, 8, 5, 17, 93, 1064},
    {40, 32, 8, 6, 17, 96, 1096},  {40, 32, 8, 6, 18, 98, 1122},  {41, 33, 8, 6, 18, 101, 1161},
    {43, 34, 9, 6, 19, 104, 1183}, {44, 35, 9, 6, 19, 107, 1219}, {45, 36, 9, 6, 20, 110, 1260},
    {46, 37, 9, 7, 20, 113, 1280},
}};

// A positive lfHeight asks for a cell height; Wine picks the character
// height whose font fits it. Indexed by cell height 1 to 40, measured.
constexpr std::array<int, 40> kCellToCharHeight = {
    1,  2,  3,  3,  4,  5,  6,  7,  8,  9,  9,  10, 11, 12, 13, 14, 15, 15, 16, 17,
    18, 19, 20, 21, 21, 22, 23, 24, 25, 26, 27, 27, 28, 29, 30, 31, 32, 33, 33, 34,
};

// lfHeight 0 (and the stock fonts) gives the system font, which measures
// as character height 14.
constexpr int kSystemCharHeight = 14;
constexpr int kLargestMeasured = 40;

// Scales the largest measured font for heights beyond the table.
FontMetrics Scaled(int charHeight) {
  const FontMetrics& top = kByCharHeight[kLargestMeasured - 1];
  auto scale = [charHeight](LONG v) {
    return static_cast<LONG>((static_cast<long long>(v) * charHeight + kLargestMeasured / 2) /
                             kLargestMeasured);
  };
  return {scale(top.height),          scale(top.ascent),       scale(top.descent),
          scale(top.internalLeading), scale(top.aveCharWidth), scale(top.maxCharWidth),
          scale(top.alphabetWidth)};
}

FontMetrics MetricsForHeight(LONG lfHeight) {
  int charHeight = kSystemCharHeight;
  if (lfHeight < 0) {
    charHeight = lfHeight < -100000 ? 100000 : static_cast<int>(-lfHeight);
  } else if (lfHeight > 0) {
    if (lfHeight <= kLargestMeasured) {
      charHeight = kCellToCharHeight[static_cast<std::size_t>(lfHeight - 1)];
    } else {
      // Beyond the table: the character height is about 7/8 of the cell.
      const long long cell = std::min<long long>(lfHeight, 100000);
      charHeight = static_cast<int>(cell * 7 / 8);
    }
  }
  if (charHeight > kLargestMeasured) return Scaled(charHeight);
  return kByCharHeight[static_cast<std::size_t>(charHeight - 1)];
}

// The font a DC draws with: its selected font, or the system font.
LOGFONTA SelectedFont(const Object& dc) {
  auto font = FindKind(dc.dc.font, Kind::Font);
  if (font) return font->font;
  LOGFONTA system{};
  system.lfWeight = FW_NORMAL;
  return system;
}

ObjectPtr FindDC(HDC dc) {
  auto o = Find(dc);
  return o && (o->kind == Kind::MemoryDC || o->kind == Kind::WindowDC) ? o : nullptr;
}

}  // namespace

// The average character width as dialog managers measure it: the width of
// the 52 letters, divided by 26, plus one, halved.
SIZE BaseUnitsOf(const LOGFONTA& font) {
  const FontMetrics m = MetricsForHeight(font.lfHeight);
  return {(m.alphabetWidth / 26 + 1) / 2, m.height};
}

}  // namespace tavrin::platform::gdi

namespace tavrin::platform {

// Wine: "MS Sans Serif" 8 pt (lfHeight -11) gives 7, 13; "tahoma" 10 pt
// (lfHeight -13) gives 8, 15. A null or unknown font gives the system font's.
SIZE DialogBaseUnits(HFONT font) {
  auto o = gdi::FindKind(font, gdi::Kind::Font);
  LOGFONTA lf{};
  if (o) lf = o->font;
  return gdi::BaseUnitsOf(lf);
}

}  // namespace tavrin::platform

using namespace tavrin::platform;
using namespace tavrin::platform::gdi;

HFONT CreateFontIndirectA(const LOGFONTA* font) {
  if (font == nullptr) return nullptr;
  auto o = std::make_shared<Object>();
  o->kind = Kind::Font;
  o->font = *font;
  o->font.lfFaceName[LF_FACESIZE - 1] = '\0';  // a face without its zero stays bounded
  return static_cast<HFONT>(Add(o));
}

BOOL GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics) {
  auto o = FindDC(dc);
  if (!o || metrics == nullptr) return FALSE;
  const LOGFONTA lf = SelectedFont(*o);
  const FontMetrics m = MetricsForHeight(lf.lfHeight);
  *metrics = TEXTMETRICA{};
  metrics->tmHeight = m.height;
  metrics->tmAscent = m.ascent;
  metrics->tmDescent = m.descent;
  metrics->tmInternalLeading = m.internalLeading;
  metrics->tmExternalLeading = 0;
  metrics->tmAveCharWidth = m.aveCharWidth;
  metrics->tmMaxCharWidth = m.maxCharWidth;
  metrics->tmWeight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : lf.lfWeight;
  metrics->tmDigitizedAspectX = 96;
  metrics->tmDigitizedAspectY = 96;
  // Wine's font covers bytes 30 to 255 and is a variable-pitch TrueType font.
  metrics->tmFirstChar = 30;
  metrics->tmLastChar = 255;
  metrics->tmDefaultChar = 31;
  metrics->tmBreakChar = 32;
  metrics->tmItalic = lf.lfItalic;
  metrics->tmUnderlined = lf.lfUnderline;
  metrics->tmStruckOut = lf.lfStrikeOut;
  metrics->tmPitchAndFamily = 39;
  metrics->tmCharSet = ANSI_CHARSET;
  return TRUE;
}

// Without glyph widths, a text is as wide as its share of the alphabet's
// width; exact for the 52 letters that dialog managers measure.
BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, SIZE* size) {
  auto o = FindDC(dc);
  if (!o || size == nullptr || count < 0 || (text == nullptr && count > 0)) return FALSE;
  const FontMetrics m = MetricsForHeight(SelectedFont(*o).lfHeight);
  const long long width = (static_cast<long long>(count) * m.alphabetWidth + 26) / 52;
  size->cx = static_cast<LONG>(std::min<long long>(width, 0x7FFFFFFF));
  size->cy = m.height;
  return TRUE;
}
