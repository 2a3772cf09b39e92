// Painting of the standard controls as Win32 (Wine) does it: which colour
// message each kind sends its parent, with which window, the brush it then
// paints with, owner-drawn statics, images of statics and scroll bars. Runs
// on the Linux platform and under Wine.
#include "controls_fixture.h"

namespace tavrin::test {
namespace {

using PaintTest = ControlTest;

struct KindCase {
  const char* name;
  const char* cls;
  DWORD style;
  UINT message;
};
constexpr KindCase kKinds[] = {
    {"label", "STATIC", SS_LEFT, WM_CTLCOLORSTATIC},
    {"etched frame", "STATIC", SS_ETCHEDFRAME, WM_CTLCOLORSTATIC},
    {"bitmap static", "STATIC", SS_BITMAP, WM_CTLCOLORSTATIC},
    {"push button", "BUTTON", BS_PUSHBUTTON, WM_CTLCOLORBTN},
    {"default push button", "BUTTON", BS_DEFPUSHBUTTON, WM_CTLCOLORBTN},
    {"bitmap button", "BUTTON", BS_PUSHBUTTON | BS_BITMAP, WM_CTLCOLORBTN},
    {"check box", "BUTTON", BS_AUTOCHECKBOX, WM_CTLCOLORSTATIC},
    {"3-state box", "BUTTON", BS_AUTO3STATE, WM_CTLCOLORSTATIC},
    {"radio button", "BUTTON", BS_AUTORADIOBUTTON, WM_CTLCOLORSTATIC},
    {"group box", "BUTTON", BS_GROUPBOX, WM_CTLCOLORSTATIC},
    {"disabled check box", "BUTTON", BS_AUTOCHECKBOX | WS_DISABLED, WM_CTLCOLORSTATIC},
    {"edit", "EDIT", ES_AUTOHSCROLL, WM_CTLCOLOREDIT},
    {"read-only edit", "EDIT", ES_READONLY, WM_CTLCOLORSTATIC},
    {"disabled edit", "EDIT", WS_DISABLED, WM_CTLCOLORSTATIC},
    {"list box", "LISTBOX", LBS_NOTIFY | LBS_SORT, WM_CTLCOLORLISTBOX},
    {"vertical scroll bar", "SCROLLBAR", SBS_VERT, WM_CTLCOLORSCROLLBAR},
    {"horizontal scroll bar", "SCROLLBAR", SBS_HORZ, WM_CTLCOLORSCROLLBAR},
    {"combo box", "COMBOBOX", CBS_DROPDOWN | CBS_SORT, WM_CTLCOLOREDIT},
    {"drop-down list combo box", "COMBOBOX", CBS_DROPDOWNLIST, WM_CTLCOLOREDIT},
};

TEST_F(PaintTest, EachKindAsksItsParentWithItsOwnColourMessage) {
  int id = 100;
  for (const auto& k : kKinds) {
    SCOPED_TRACE(k.name);
    HWND c = Make(k.cls, k.style, ++id, "", 60, 40);
    ASSERT_NE(c, nullptr);
    PaintNow(c);
    bool asked = false;
    for (const auto& s : ControlParent::Instance().log) {
      if (s.message < WM_CTLCOLORMSGBOX || s.message > WM_CTLCOLORSTATIC || s.from != c) continue;
      EXPECT_EQ(s.message, k.message);
      asked = true;
    }
    EXPECT_TRUE(asked);
    DestroyWindow(c);
  }
}

TEST_F(PaintTest, TheBackgroundIsPaintedWithTheParentsBrush) {
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  ControlParent::Instance().answers[WM_CTLCOLORSTATIC] = {RGB(0, 0, 255), RGB(255, 0, 0), 0, red};
  HWND label = Make("STATIC", SS_LEFT, 5, "", 80, 30);
  PaintNow(label);
  HDC dc = GetDC(label);
  EXPECT_EQ(GetPixel(dc, 40, 15), RGB(255, 0, 0));
  ReleaseDC(label, dc);
  DestroyWindow(label);
  DeleteObject(red);
}

TEST_F(PaintTest, OwnerDrawnStaticAsksItsParentToDrawTheWholeItem) {
  HWND graphic = Make("STATIC", SS_OWNERDRAW, 14, "", 60, 40);
  PaintNow(graphic);
  const auto draws = Of(WM_DRAWITEM);
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].id, 14);
  EXPECT_EQ(draws[0].itemType, static_cast<UINT>(ODT_STATIC));
  EXPECT_NE(draws[0].code & ODA_DRAWENTIRE, 0);
  EXPECT_EQ(draws[0].from, graphic);
  // Its colour request comes first.
  ASSERT_FALSE(ControlParent::Instance().log.empty());
  EXPECT_EQ(ControlParent::Instance().log.front().message, static_cast<UINT>(WM_CTLCOLORSTATIC));
}

TEST_F(PaintTest, OwnerDrawnButtonAsksItsParentToDraw) {
  HWND b = Make("BUTTON", BS_OWNERDRAW, 12, "", 60, 40);
  PaintNow(b);
  const auto draws = Of(WM_DRAWITEM);
  ASSERT_FALSE(draws.empty());
  EXPECT_EQ(draws.back().itemType, static_cast<UINT>(ODT_BUTTON));
  EXPECT_NE(draws.back().code & ODA_DRAWENTIRE, 0);
}

TEST_F(PaintTest, StaticImagesAreSwappedAndFitTheControl) {
  HDC screen = GetDC(nullptr);
  HBITMAP first = CreateCompatibleBitmap(screen, 4, 6);
  HBITMAP second = CreateCompatibleBitmap(screen, 4, 6);
  ReleaseDC(nullptr, screen);
  HWND image = Make("STATIC", SS_BITMAP, 10, "", 80, 20);
  EXPECT_EQ(Send(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(first)), 0);
  EXPECT_EQ(Send(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(second)),
            reinterpret_cast<LRESULT>(first));
  EXPECT_EQ(Send(image, STM_GETIMAGE, IMAGE_BITMAP), reinterpret_cast<LRESULT>(second));
  EXPECT_EQ(Send(image, STM_GETIMAGE, IMAGE_ICON), 0);
  RECT client{};
  GetClientRect(image, &client);
  EXPECT_EQ(client.right, 4);
  EXPECT_EQ(client.bottom, 6);
  // A text static shows no image, and a control that keeps its size stays.
  HWND label = Make("STATIC", SS_LEFT, 11, "", 80, 20);
  EXPECT_EQ(Send(label, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(first)), 0);
  EXPECT_EQ(Send(label, STM_GETIMAGE, IMAGE_BITMAP), 0);
  HWND fixed = Make("STATIC", SS_BITMAP | SS_REALSIZECONTROL, 12, "", 80, 20);
  Send(fixed, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(first));
  GetClientRect(fixed, &client);
  EXPECT_EQ(client.right, 80);
  DestroyWindow(image);
  DestroyWindow(label);
  DestroyWindow(fixed);
  // The statics did not take the bitmaps over: they are still the caller's.
  EXPECT_TRUE(DeleteObject(first));
  EXPECT_TRUE(DeleteObject(second));
}

TEST_F(PaintTest, StaticsAndScrollBarsAnswerAsWin32) {
  HWND label = Make("STATIC", SS_LEFT, 1, "text");
  EXPECT_EQ(Send(label, WM_GETDLGCODE), DLGC_STATIC);
  HWND bar = Make("SCROLLBAR", SBS_VERT, 2, "", 20, 80);
  EXPECT_EQ(Send(bar, WM_GETDLGCODE), DLGC_WANTARROWS);
  LOGFONTA lf{};
  lf.lfHeight = -13;
  HFONT font = CreateFontIndirectA(&lf);
  Send(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  Send(bar, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  EXPECT_EQ(Send(label, WM_GETFONT), reinterpret_cast<LRESULT>(font));
  EXPECT_EQ(Send(bar, WM_GETFONT), 0);
  DestroyWindow(label);
  DestroyWindow(bar);
  DeleteObject(font);
}

}  // namespace
}  // namespace tavrin::test
