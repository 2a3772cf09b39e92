// The standard controls through the Linux platform's hooks: the colours a
// control painted with after its parent answered (or did not), the parts of
// a combo box, and that painting and destroying leave no DC or window
// behind. Native only.
#include "controls_fixture.h"
#include "platform/linux/gdi_hooks.h"
#include "platform/linux/hooks.h"

namespace tavrin::test {
namespace {

using platform::LastPaint;
using platform::Live;
using platform::LiveCount;
using ControlHooks = ControlTest;

TEST_F(ControlHooks, AControlPaintsWithWhatItsParentAnswered) {
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  struct Case {
    const char* name;
    const char* cls;
    DWORD style;
    UINT message;
    ColorAnswer answer;
  };
  const Case cases[] = {
      {"red on white edit",
       "EDIT",
       ES_AUTOHSCROLL,
       WM_CTLCOLOREDIT,
       {RGB(255, 0, 0), RGB(255, 255, 255), 0, white}},
      {"blue on white read-only edit",
       "EDIT",
       ES_READONLY,
       WM_CTLCOLORSTATIC,
       {RGB(0, 0, 255), RGB(255, 255, 255), 0, white}},
      {"transparent label",
       "STATIC",
       SS_LEFT,
       WM_CTLCOLORSTATIC,
       {RGB(0, 128, 0), RGB(1, 1, 1), TRANSPARENT,
        static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))}},
      {"button", "BUTTON", BS_PUSHBUTTON, WM_CTLCOLORBTN, {RGB(9, 9, 9), RGB(8, 8, 8), 0, white}},
      {"list", "LISTBOX", LBS_NOTIFY, WM_CTLCOLORLISTBOX, {RGB(7, 7, 7), RGB(6, 6, 6), 0, white}},
      {"scroll bar",
       "SCROLLBAR",
       SBS_VERT,
       WM_CTLCOLORSCROLLBAR,
       {RGB(5, 5, 5), RGB(4, 4, 4), 0, white}},
  };
  int id = 10;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ControlParent::Instance().answers.clear();
    ControlParent::Instance().answers[c.message] = c.answer;
    HWND control = Make(c.cls, c.style, ++id, "", 60, 40);
    PaintNow(control);
    const auto r = LastPaint(control);
    ASSERT_TRUE(r.painted);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(r.brush, c.answer.brush);
    EXPECT_EQ(r.textColor, c.answer.text);
    EXPECT_EQ(r.backColor, c.answer.back);
    EXPECT_EQ(r.backMode, c.answer.mode ? c.answer.mode : OPAQUE);
    EXPECT_FALSE(r.defaultColors);
    DestroyWindow(control);
    EXPECT_FALSE(LastPaint(control).painted);
  }
  DeleteObject(white);
}

TEST_F(ControlHooks, AParentThatAnswersNothingGetsTheSystemColours) {
  struct Case {
    const char* name;
    const char* cls;
    DWORD style;
    UINT message;
    int textIndex, backIndex;
  };
  const Case cases[] = {
      {"edit", "EDIT", ES_AUTOHSCROLL, WM_CTLCOLOREDIT, COLOR_WINDOWTEXT, COLOR_WINDOW},
      {"label", "STATIC", SS_LEFT, WM_CTLCOLORSTATIC, COLOR_WINDOWTEXT, COLOR_BTNFACE},
      {"list", "LISTBOX", 0, WM_CTLCOLORLISTBOX, COLOR_WINDOWTEXT, COLOR_WINDOW},
      {"check box", "BUTTON", BS_AUTOCHECKBOX, WM_CTLCOLORSTATIC, COLOR_WINDOWTEXT, COLOR_BTNFACE},
  };
  int id = 20;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // The parent sets odd colours and answers with no brush.
    ControlParent::Instance().answers.clear();
    ControlParent::Instance().answers[c.message] = {RGB(1, 2, 3), RGB(4, 5, 6), 0, nullptr};
    HWND control = Make(c.cls, c.style, ++id, "", 60, 40);
    PaintNow(control);
    const auto r = LastPaint(control);
    ASSERT_TRUE(r.painted);
    EXPECT_TRUE(r.defaultColors);
    EXPECT_EQ(r.brush, GetSysColorBrush(c.backIndex));
    EXPECT_EQ(r.textColor, GetSysColor(c.textIndex));
    EXPECT_EQ(r.backColor, GetSysColor(c.backIndex));
  }
}

TEST_F(ControlHooks, TheComboBoxPartsPaintInTheParentsColours) {
  HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
  ControlParent::Instance().answers[WM_CTLCOLOREDIT] = {RGB(0, 0, 255), RGB(255, 255, 0), 0,
                                                        yellow};
  ControlParent::Instance().answers[WM_CTLCOLORLISTBOX] = {RGB(0, 0, 255), RGB(255, 255, 0), 0,
                                                           yellow};
  HWND combo = Make("COMBOBOX", CBS_DROPDOWN, 30, "", 100, 100);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo, &info));
  Send(combo, CB_SHOWDROPDOWN, TRUE);
  for (HWND part : {combo, info.hwndItem, info.hwndList}) {
    PaintNow(part);
    const auto r = LastPaint(part);
    ASSERT_TRUE(r.painted);
    EXPECT_EQ(r.brush, yellow);
    EXPECT_EQ(r.textColor, RGB(0, 0, 255));
  }
  EXPECT_EQ(LastPaint(info.hwndList).message, static_cast<UINT>(WM_CTLCOLORLISTBOX));
  EXPECT_EQ(LastPaint(info.hwndItem).message, static_cast<UINT>(WM_CTLCOLOREDIT));
  DestroyWindow(combo);
  DeleteObject(yellow);
}

TEST_F(ControlHooks, PaintingAndDestroyingLeaveNothingBehind) {
  PumpMessages();
  const auto windows = LiveCount(Live::Window);
  const auto dcs = LiveCount(Live::DeviceContext);
  const auto doubles = platform::DoubleReleases();
  const char* classes[] = {"BUTTON", "STATIC", "EDIT", "LISTBOX", "COMBOBOX", "SCROLLBAR"};
  std::vector<HWND> made;
  int id = 40;
  for (const char* cls : classes) made.push_back(Make(cls, 0, ++id, "x", 60, 40));
  // A combo box is three windows: itself, its edit field and its list.
  EXPECT_EQ(LiveCount(Live::Window) - windows, 8);
  for (HWND h : made) PaintNow(h);
  EXPECT_EQ(LiveCount(Live::DeviceContext), dcs);
  for (HWND h : made) DestroyWindow(h);
  PumpMessages();
  EXPECT_EQ(LiveCount(Live::Window), windows);
  EXPECT_EQ(platform::DoubleReleases(), doubles);
}

// The dialog engine's graphic control: an owner-drawn static whose parent
// copies a memory picture onto it in WM_DRAWITEM.
HDC g_picture = nullptr;
LRESULT CALLBACK CopyingParent(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_DRAWITEM) {
    const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
    if (d->itemAction & ODA_DRAWENTIRE) BitBlt(d->hDC, 0, 0, 30, 20, g_picture, 0, 0, SRCCOPY);
    return TRUE;
  }
  return DefWindowProcA(h, m, w, l);
}

TEST_F(ControlHooks, AGraphicShowsThePictureItsParentCopiesIn) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = CopyingParent;
  wc.lpszClassName = "TavrinCopyingParent";
  RegisterClassA(&wc);
  HWND parent = CreateWindowExA(0, "TavrinCopyingParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                                nullptr, nullptr, nullptr, nullptr);
  HWND graphic = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 5, 5, 30,
                                 20, parent, reinterpret_cast<HMENU>(14), nullptr, nullptr);
  HDC screen = GetDC(graphic);
  g_picture = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 30, 20);
  HGDIOBJ saved = SelectObject(g_picture, bitmap);
  ReleaseDC(graphic, screen);
  const RECT all{0, 0, 30, 20};
  FillRect(g_picture, &all, GetSysColorBrush(COLOR_BTNFACE));
  const RECT dot{10, 10, 12, 12};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(g_picture, &dot, red);
  InvalidateRect(graphic, nullptr, TRUE);
  UpdateWindow(graphic);
  HDC shown = GetDC(graphic);
  EXPECT_EQ(GetPixel(shown, 11, 11), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(shown, 2, 2), GetSysColor(COLOR_BTNFACE));
  ReleaseDC(graphic, shown);
  DestroyWindow(parent);
  SelectObject(g_picture, saved);
  DeleteObject(bitmap);
  DeleteObject(red);
  DeleteDC(g_picture);
}

}  // namespace
}  // namespace tavrin::test
