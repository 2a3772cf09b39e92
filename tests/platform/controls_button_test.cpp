// The BUTTON class as Win32 (Wine) has it: what a click does to each button
// type, which check states each accepts, its dialog code, radio groups, the
// mouse and Space, and images. Runs on the Linux platform and under Wine.
#include "controls_fixture.h"

namespace tavrin::test {
namespace {

using ButtonTest = ControlTest;

// Per button type: the check state after each of three BM_CLICKs, the
// states BM_SETCHECK(1), (2) and (7) leave, and WM_GETDLGCODE.
struct TypeCase {
  const char* name;
  DWORD type;
  int afterClicks[3];
  int afterSet[3];
  LRESULT dlgCode;
};
constexpr TypeCase kTypes[] = {
    {"push", BS_PUSHBUTTON, {0, 0, 0}, {0, 0, 0}, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
    {"default push", BS_DEFPUSHBUTTON, {0, 0, 0}, {0, 0, 0}, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
    {"check box", BS_CHECKBOX, {0, 0, 0}, {1, 1, 1}, DLGC_BUTTON},
    {"auto check box", BS_AUTOCHECKBOX, {1, 0, 1}, {1, 1, 1}, DLGC_BUTTON},
    {"radio", BS_RADIOBUTTON, {0, 0, 0}, {1, 1, 1}, DLGC_BUTTON | DLGC_RADIOBUTTON},
    {"3-state", BS_3STATE, {0, 0, 0}, {1, 2, 2}, DLGC_BUTTON},
    {"auto 3-state", BS_AUTO3STATE, {1, 2, 0}, {1, 2, 2}, DLGC_BUTTON},
    {"group box", BS_GROUPBOX, {0, 0, 0}, {0, 0, 0}, DLGC_STATIC},
    {"auto radio", BS_AUTORADIOBUTTON, {1, 1, 1}, {1, 1, 1}, DLGC_BUTTON | DLGC_RADIOBUTTON},
    {"owner-drawn", BS_OWNERDRAW, {0, 0, 0}, {0, 0, 0}, DLGC_BUTTON},
};

TEST_F(ButtonTest, EachTypeClicksChecksAndAnswersAsWin32) {
  int id = 100;
  for (const auto& c : kTypes) {
    SCOPED_TRACE(c.name);
    HWND b = Make("BUTTON", c.type, ++id, "B");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Send(b, WM_GETDLGCODE), c.dlgCode);
    EXPECT_EQ(Send(b, BM_GETCHECK), BST_UNCHECKED);
    for (int i = 0; i < 3; ++i) {
      Clear();
      Send(b, BM_CLICK);
      PumpMessages();
      // Every click, whatever the type, tells the parent BN_CLICKED once.
      EXPECT_EQ(Codes(id), std::vector<int>{BN_CLICKED});
      EXPECT_EQ(Send(b, BM_GETCHECK), c.afterClicks[i]) << "click " << i;
    }
    const WPARAM asked[] = {1, 2, 7};
    for (int i = 0; i < 3; ++i) {
      Send(b, BM_SETCHECK, BST_UNCHECKED);
      EXPECT_EQ(Send(b, BM_SETCHECK, asked[i]), 0);
      EXPECT_EQ(Send(b, BM_GETCHECK), c.afterSet[i]) << "set " << asked[i];
    }
    DestroyWindow(b);
  }
}

TEST_F(ButtonTest, ClickCarriesTheButtonAndItsIdToTheParent) {
  HWND b = Make("BUTTON", BS_PUSHBUTTON, 107, "CALC");
  Send(b, BM_CLICK);
  const auto commands = Of(WM_COMMAND);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].id, 107);
  EXPECT_EQ(commands[0].code, BN_CLICKED);
  EXPECT_EQ(commands[0].from, b);
  EXPECT_EQ(ControlParent::Instance().texts[0], "CALC");
  // The click gives the button the focus, as a mouse press does.
  EXPECT_EQ(GetFocus(), b);
}

TEST_F(ButtonTest, MouseAndSpaceClickOnlyWhenReleasedOverTheButton) {
  HWND b = Make("BUTTON", BS_AUTOCHECKBOX, 5, "x", 100, 20);
  struct Case {
    const char* name;
    UINT down;
    WPARAM downParam;
    LPARAM downPoint;
    UINT up;
    WPARAM upParam;
    LPARAM upPoint;
    bool clicks;
  };
  const Case cases[] = {
      {"mouse inside", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5), WM_LBUTTONUP, 0,
       MAKELPARAM(5, 5), true},
      {"mouse released outside", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5), WM_LBUTTONUP, 0,
       MAKELPARAM(300, 5), false},
      {"space", WM_KEYDOWN, VK_SPACE, 0, WM_KEYUP, VK_SPACE, 0, true},
      {"up without down", WM_NULL, 0, 0, WM_LBUTTONUP, 0, MAKELPARAM(5, 5), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const LRESULT before = Send(b, BM_GETCHECK);
    Clear();
    if (c.down != WM_NULL) Send(b, c.down, c.downParam, c.downPoint);
    Send(b, c.up, c.upParam, c.upPoint);
    PumpMessages();
    EXPECT_EQ(Codes(5).size(), c.clicks ? 1u : 0u);
    EXPECT_EQ(Send(b, BM_GETCHECK), c.clicks ? 1 - before : before);
  }
}

TEST_F(ButtonTest, AutoRadioClickUnchecksItsGroupOnly) {
  HWND r1 = Make("BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, 301, "r1");
  HWND r2 = Make("BUTTON", BS_AUTORADIOBUTTON, 302, "r2");
  HWND r3 = Make("BUTTON", BS_AUTORADIOBUTTON, 303, "r3");
  HWND other = Make("BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, 304, "x");
  Send(r1, BM_SETCHECK, BST_CHECKED);
  Send(other, BM_SETCHECK, BST_CHECKED);
  Send(r2, BM_CLICK);
  EXPECT_EQ(Send(r1, BM_GETCHECK), 0);
  EXPECT_EQ(Send(r2, BM_GETCHECK), 1);
  EXPECT_EQ(Send(r3, BM_GETCHECK), 0);
  EXPECT_EQ(Send(other, BM_GETCHECK), 1);
  Send(r3, BM_CLICK);
  EXPECT_EQ(Send(r2, BM_GETCHECK), 0);
  EXPECT_EQ(Send(r3, BM_GETCHECK), 1);
  EXPECT_EQ(Send(other, BM_GETCHECK), 1);
}

TEST_F(ButtonTest, CheckingARadioButtonGivesItTheTabStop) {
  HWND r = Make("BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP, 1, "r");
  HWND plain = Make("BUTTON", BS_RADIOBUTTON, 2, "p");
  HWND check = Make("BUTTON", BS_AUTOCHECKBOX, 3, "c");
  Send(r, BM_SETCHECK, BST_UNCHECKED);
  EXPECT_EQ(GetWindowLongA(r, GWL_STYLE) & WS_TABSTOP, 0);
  Send(plain, BM_SETCHECK, BST_CHECKED);
  EXPECT_NE(GetWindowLongA(plain, GWL_STYLE) & WS_TABSTOP, 0);
  Send(check, BM_SETCHECK, BST_CHECKED);
  EXPECT_EQ(GetWindowLongA(check, GWL_STYLE) & WS_TABSTOP, 0);
}

TEST_F(ButtonTest, CheckRadioButtonSetsTheRangeByIds) {
  HWND r[4];
  for (int i = 0; i < 4; ++i) r[i] = Make("BUTTON", BS_AUTORADIOBUTTON, 401 + i, "r");
  struct Case {
    int first, last, check;
    int expected[4];
  };
  const Case cases[] = {
      {401, 403, 403, {0, 0, 1, 0}},
      {401, 404, 402, {0, 1, 0, 0}},
      {401, 403, 999, {0, 0, 0, 0}},
      {404, 404, 404, {0, 0, 0, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.check);
    EXPECT_TRUE(CheckRadioButton(parent_, c.first, c.last, c.check));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Send(r[i], BM_GETCHECK), c.expected[i]) << i;
  }
}

TEST_F(ButtonTest, SetImageHandsBackThePreviousImage) {
  HDC screen = GetDC(nullptr);
  HBITMAP first = CreateCompatibleBitmap(screen, 4, 4);
  HBITMAP second = CreateCompatibleBitmap(screen, 4, 4);
  ReleaseDC(nullptr, screen);
  HWND b = Make("BUTTON", BS_PUSHBUTTON | BS_BITMAP, 9, "");
  EXPECT_EQ(Send(b, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(first)), 0);
  EXPECT_EQ(Send(b, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(second)),
            reinterpret_cast<LRESULT>(first));
  EXPECT_EQ(Send(b, BM_GETIMAGE, IMAGE_BITMAP), reinterpret_cast<LRESULT>(second));
  RECT client{};
  GetClientRect(b, &client);
  EXPECT_EQ(client.right, 100);  // a button keeps its size
  DestroyWindow(b);
  EXPECT_TRUE(DeleteObject(first));
  EXPECT_TRUE(DeleteObject(second));
}

TEST_F(ButtonTest, FontIsKeptForWmGetFont) {
  LOGFONTA lf{};
  lf.lfHeight = -13;
  HFONT font = CreateFontIndirectA(&lf);
  HWND b = Make("BUTTON", BS_PUSHBUTTON, 1, "B");
  EXPECT_EQ(Send(b, WM_GETFONT), 0);
  Send(b, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  EXPECT_EQ(Send(b, WM_GETFONT), reinterpret_cast<LRESULT>(font));
  DestroyWindow(b);
  DeleteObject(font);
}

}  // namespace
}  // namespace tavrin::test
