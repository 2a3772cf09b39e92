// GDI32 as Win32 (Wine) has it: stock and system objects that outlive
// DeleteObject, brushes and bitmaps describing themselves, selection into
// device contexts, DC attributes, font metrics, and pixels through FillRect
// and BitBlt. Runs on the Linux platform and under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/win32.h"

namespace tavrin::test {
namespace {

TEST(GdiObjects, StockAndSystemObjectsSurviveDeleteObject) {
  struct Case {
    const char* name;
    HGDIOBJ object;
    DWORD type;
  };
  const Case cases[] = {
      {"NULL_BRUSH", GetStockObject(NULL_BRUSH), OBJ_BRUSH},
      {"WHITE_BRUSH", GetStockObject(WHITE_BRUSH), OBJ_BRUSH},
      {"SYSTEM_FONT", GetStockObject(SYSTEM_FONT), OBJ_FONT},
      {"COLOR_WINDOW brush", GetSysColorBrush(COLOR_WINDOW), OBJ_BRUSH},
      {"COLOR_BTNFACE brush", GetSysColorBrush(COLOR_BTNFACE), OBJ_BRUSH},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(c.object, nullptr);
    EXPECT_TRUE(DeleteObject(c.object));
    EXPECT_TRUE(DeleteObject(c.object));
    EXPECT_EQ(GetObjectType(c.object), c.type);
  }
  EXPECT_FALSE(DeleteObject(nullptr));
}

TEST(GdiObjects, SystemColourBrushesPaintTheSystemColours) {
  for (int index = COLOR_SCROLLBAR; index <= COLOR_MENUBAR; ++index) {
    SCOPED_TRACE(index);
    HBRUSH brush = GetSysColorBrush(index);
    ASSERT_NE(brush, nullptr);
    LOGBRUSH lb{};
    ASSERT_EQ(GetObjectA(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(lb.lbColor, GetSysColor(index));
  }
  EXPECT_EQ(GetSysColorBrush(31), nullptr);
  EXPECT_EQ(GetSysColorBrush(-1), nullptr);
}

TEST(GdiObjects, SolidBrushesKeepTheirColourUntilDeleted) {
  const COLORREF colours[] = {0x000000, 0xABCDEF, 0xFFFFFF, 0x12345678};
  for (COLORREF colour : colours) {
    SCOPED_TRACE(colour);
    HBRUSH brush = CreateSolidBrush(colour);
    ASSERT_NE(brush, nullptr);
    EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    LOGBRUSH lb{};
    EXPECT_EQ(GetObjectA(brush, 0, nullptr), static_cast<int>(sizeof lb));
    EXPECT_EQ(GetObjectA(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(lb.lbColor, colour);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_EQ(GetObjectType(brush), 0u);
  }
}

TEST(GdiObjects, SelectObjectHandsBackWhatTheSlotHeld) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  HBRUSH a = CreateSolidBrush(RGB(1, 2, 3));
  HBRUSH b = CreateSolidBrush(RGB(4, 5, 6));
  LOGFONTA lf{};
  lf.lfHeight = -11;
  HFONT font = CreateFontIndirectA(&lf);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(SelectObject(dc, a), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(SelectObject(dc, b), a);
  EXPECT_EQ(SelectObject(dc, font), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(SelectObject(dc, GetStockObject(SYSTEM_FONT)), font);
  EXPECT_EQ(SelectObject(dc, nullptr), nullptr);
  EXPECT_TRUE(DeleteObject(a));
  EXPECT_EQ(SelectObject(dc, a), nullptr);  // a deleted object cannot be selected
  EXPECT_EQ(SelectObject(dc, GetStockObject(NULL_BRUSH)), b);
  EXPECT_TRUE(DeleteObject(b));
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
}

TEST(GdiObjects, BitmapsTakeTheDepthOfTheirDc) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  struct Case {
    const char* name;
    HDC dc;
    int width, height;
    LONG expectedWidth, expectedHeight;
    WORD bits;
  };
  const Case cases[] = {
      {"screen", screen, 40, 30, 40, 30, 32},
      {"new memory DC", memory, 40, 30, 40, 30, 1},
      {"zero size is the 1 by 1 stock bitmap", screen, 0, 0, 1, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HBITMAP bitmap = CreateCompatibleBitmap(c.dc, c.width, c.height);
    ASSERT_NE(bitmap, nullptr);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, c.expectedWidth);
    EXPECT_EQ(bm.bmHeight, c.expectedHeight);
    EXPECT_EQ(bm.bmBitsPixel, c.bits);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
  EXPECT_EQ(ReleaseDC(nullptr, screen), 0);
}

TEST(GdiObjects, ABitmapDeletedWhileSelectedGoesWhenDeselected) {
  HDC screen = GetDC(nullptr);
  HDC first = CreateCompatibleDC(screen);
  HDC second = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 3, 3);
  HGDIOBJ original = SelectObject(first, bitmap);
  ASSERT_NE(original, nullptr);
  // One bitmap lives in one DC at a time.
  EXPECT_EQ(SelectObject(second, bitmap), nullptr);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
  EXPECT_EQ(SelectObject(first, original), bitmap);
  EXPECT_EQ(GetObjectType(bitmap), 0u);
  DeleteDC(first);
  DeleteDC(second);
  ReleaseDC(nullptr, screen);
}

TEST(GdiObjects, DcAttributesStartAsWin32sAndSettersHandBackTheOldValue) {
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetTextAlign(dc), static_cast<UINT>(TA_NOUPDATECP));
  EXPECT_EQ(SetTextColor(dc, 0x123456), RGB(0, 0, 0));
  EXPECT_EQ(SetTextColor(dc, 0x000001), 0x123456u);
  EXPECT_EQ(SetBkColor(dc, 0x654321), RGB(255, 255, 255));
  EXPECT_EQ(SetBkColor(dc, 0), 0x654321u);
  EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
  EXPECT_EQ(SetBkMode(dc, 5), 0);  // not a mode: refused
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_EQ(SetTextAlign(dc, TA_UPDATECP), static_cast<UINT>(TA_NOUPDATECP));
  EXPECT_EQ(GetTextAlign(dc), static_cast<UINT>(TA_UPDATECP));
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
  DeleteDC(dc);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
  ReleaseDC(nullptr, screen);
}

// value * numerator / denominator rounded to nearest, halves away from zero.
LONG Rounded(long long value, long long numerator, long long denominator) {
  const long long twice = 2 * value * numerator;
  const long long half = twice >= 0 ? twice + denominator : twice - denominator;
  return static_cast<LONG>(half / (2 * denominator));
}

// What a TrueType font says of its size, in units of its em square.
struct DesignMetrics {
  LONG unitsPerEm;                    // head
  LONG winAscent, winDescent;         // OS/2: the cell above and below the baseline
  LONG avgCharWidth;                  // OS/2 xAvgCharWidth
  LONG ascender, descender, lineGap;  // hhea: the typographic line
};

#ifdef _WIN32
// A big-endian 16-bit field of a font table.
LONG Field(const unsigned char* table, int at, bool isSigned) {
  const auto value = static_cast<unsigned>(table[at] << 8 | table[at + 1]);
  return isSigned ? static_cast<short>(value) : static_cast<LONG>(value);
}

// The design metrics of the font Wine chose for the DC's font, read from the
// font's own tables: Wine substitutes one of the machine's fonts for faces
// it lacks, so they depend on the fonts installed.
bool ReadDesignMetrics(HDC dc, DesignMetrics& design) {
  const auto tag = [](const char(&name)[5]) {
    return static_cast<DWORD>(name[0] | name[1] << 8 | name[2] << 16 | name[3] << 24);
  };
  unsigned char head[54], hhea[36], os2[78];
  if (GetFontData(dc, tag("head"), 0, head, sizeof head) != sizeof head ||
      GetFontData(dc, tag("hhea"), 0, hhea, sizeof hhea) != sizeof hhea ||
      GetFontData(dc, tag("OS/2"), 0, os2, sizeof os2) != sizeof os2)
    return false;
  design = {Field(head, 18, false), Field(os2, 74, false), Field(os2, 76, false),
            Field(os2, 2, true),    Field(hhea, 4, true),  Field(hhea, 6, true),
            Field(hhea, 8, true)};
  return true;
}
#else
// The Linux platform gives every face and weight the metrics Wine gives
// regular DejaVu Sans, its choice for all these faces on a machine whose
// only fonts are DejaVu's.
bool ReadDesignMetrics(HDC, DesignMetrics& design) {
  design = {2048, 1901, 483, 1038, 1901, -483, 0};
  return true;
}
#endif

// The pixels per em Wine gives a font asked for with `lfHeight`: a negative
// height is the em itself; a cell height (0 asks for 16) is scaled to the
// em by MulDiv, one pixel less when that em's cell comes back taller.
LONG PixelsPerEm(LONG lfHeight, const DesignMetrics& d) {
  if (lfHeight < 0) return -lfHeight;
  const LONG cell = lfHeight == 0 ? 16 : lfHeight;
  const LONG units = d.winAscent + d.winDescent;
  LONG em = Rounded(d.unitsPerEm, cell, units);
  if (em > 1 && Rounded(em, units, d.unitsPerEm) > cell) --em;
  return em;
}

// Each metric is its design value scaled to the em and rounded on its own;
// tmHeight is the sum of the rounded ascent and descent.
TEST(GdiObjects, FontMetricsAreWines) {
  struct Case {
    const char* face;
    LONG height;
    LONG weight;
  };
  const Case cases[] = {
      {"MS Sans Serif", -11, 400},  // 8 points, the default dialog font
      {"MS Sans Serif", -10, 400},  // -(96 * 8 / 72) as the graphic control asks
      {"tahoma", -13, 400},         // 10 points, the calculator's font
      {"tahoma", -13, 700},        {"tahoma", 13, 400},        // a cell height
      {"Arial", -16, 400},         {"MS Sans Serif", 0, 400},  // the default height
      {"tahoma", 39, 400},  // a cell its rounded em overfills with DejaVu Sans
  };
  HDC dc = CreateCompatibleDC(nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.face << " " << c.height << " " << c.weight);
    LOGFONTA lf{};
    lf.lfHeight = c.height;
    lf.lfWeight = c.weight;
    std::strcpy(lf.lfFaceName, c.face);
    HFONT font = CreateFontIndirectA(&lf);
    ASSERT_NE(font, nullptr);
    LOGFONTA back{};
    EXPECT_EQ(GetObjectA(font, sizeof back, &back), static_cast<int>(sizeof back));
    EXPECT_EQ(back.lfHeight, c.height);
    EXPECT_STREQ(back.lfFaceName, c.face);
    HGDIOBJ old = SelectObject(dc, font);
    DesignMetrics d{};
    ASSERT_TRUE(ReadDesignMetrics(dc, d)) << "the font chosen has no TrueType tables";
    const LONG em = PixelsPerEm(c.height, d);
    const LONG cell = d.winAscent + d.winDescent;
    const LONG ascent = Rounded(d.winAscent, em, d.unitsPerEm);
    const LONG descent = Rounded(d.winDescent, em, d.unitsPerEm);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(dc, &tm));
    EXPECT_EQ(tm.tmAscent, ascent);
    EXPECT_EQ(tm.tmDescent, descent);
    EXPECT_EQ(tm.tmHeight, ascent + descent);
    EXPECT_EQ(tm.tmInternalLeading, Rounded(cell - d.unitsPerEm, em, d.unitsPerEm));
    // The line gap less what the cell already has beyond the typographic line.
    const LONG gap = d.lineGap - (cell - (d.ascender - d.descender));
    EXPECT_EQ(tm.tmExternalLeading, std::max<LONG>(0, Rounded(gap, em, d.unitsPerEm)));
    EXPECT_EQ(tm.tmAveCharWidth, Rounded(d.avgCharWidth, em, d.unitsPerEm));
    EXPECT_EQ(tm.tmWeight, c.weight);
    SelectObject(dc, old);
    DeleteObject(font);
  }
  DeleteDC(dc);
}

TEST(GdiObjects, FillRectAndBitBltMovePixels) {
  HDC screen = GetDC(nullptr);
  HDC source = CreateCompatibleDC(screen);
  HDC target = CreateCompatibleDC(screen);
  HBITMAP a = CreateCompatibleBitmap(screen, 20, 10);
  HBITMAP b = CreateCompatibleBitmap(screen, 20, 10);
  HGDIOBJ oldA = SelectObject(source, a);
  HGDIOBJ oldB = SelectObject(target, b);
  HBRUSH green = CreateSolidBrush(RGB(0, 128, 0));
  const RECT all{0, 0, 20, 10};
  const RECT left{0, 0, 5, 10};
  EXPECT_TRUE(FillRect(source, &all, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)));
  EXPECT_TRUE(FillRect(source, &left, green));
  EXPECT_EQ(GetPixel(source, 2, 5), RGB(0, 128, 0));
  EXPECT_EQ(GetPixel(source, 10, 5), GetSysColor(COLOR_WINDOW));
  EXPECT_TRUE(FillRect(target, &all, GetSysColorBrush(COLOR_BTNFACE)));
  EXPECT_TRUE(BitBlt(target, 10, 0, 10, 10, source, 0, 0, SRCCOPY));
  struct Probe {
    int x, y;
    COLORREF expected;
  };
  const Probe probes[] = {
      {0, 0, GetSysColor(COLOR_BTNFACE)},
      {9, 9, GetSysColor(COLOR_BTNFACE)},
      {10, 0, RGB(0, 128, 0)},
      {14, 9, RGB(0, 128, 0)},
      {15, 5, GetSysColor(COLOR_WINDOW)},
      {19, 9, GetSysColor(COLOR_WINDOW)},
  };
  for (const auto& p : probes)
    EXPECT_EQ(GetPixel(target, p.x, p.y), p.expected) << p.x << "," << p.y;
  // A copy far larger than both bitmaps moves only what lies in both, and
  // takes no longer than that: source columns 15 to 19 onto columns 0 to 4.
  constexpr int kHuge = 0x40000000;
  EXPECT_TRUE(BitBlt(target, 0, 0, kHuge, kHuge, source, 15, 0, SRCCOPY));
  const Probe clipped[] = {
      {0, 0, GetSysColor(COLOR_WINDOW)},
      {4, 9, GetSysColor(COLOR_WINDOW)},
      {5, 0, GetSysColor(COLOR_BTNFACE)},
      {10, 0, RGB(0, 128, 0)},
  };
  for (const auto& p : clipped)
    EXPECT_EQ(GetPixel(target, p.x, p.y), p.expected) << p.x << "," << p.y;
  SelectObject(source, oldA);
  SelectObject(target, oldB);
  DeleteObject(a);
  DeleteObject(b);
  DeleteObject(green);
  DeleteDC(source);
  DeleteDC(target);
  ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace tavrin::test
