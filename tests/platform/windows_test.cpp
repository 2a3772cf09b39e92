// Windows and messages as Win32 has them: the creation and destruction
// messages and their order, the window tree and ids, enabling, text, the
// queue's order and WM_PAINT. Runs on the Linux platform and under Wine.
#include <gtest/gtest.h>

#include "platform/win32.h"
#include "windows_recorder.h"

namespace tavrin::test {
namespace {

class WindowsTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(RecorderClass(), nullptr);
    top_ = MakeRecorder(nullptr, 0, WS_POPUP, 50, 60, 300, 200);
    ASSERT_NE(top_, nullptr);
    Pump();
  }
  void TearDown() override {
    if (IsWindow(top_)) DestroyWindow(top_);
    Pump();
    Watch({});
  }
  HWND top_ = nullptr;
};

TEST_F(WindowsTest, ChildCreationSendsWin32sMessagesInOrder) {
  Watch({WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_PARENTNOTIFY, WM_SHOWWINDOW});
  HWND kid = MakeRecorder(top_, 7, WS_CHILD | WS_VISIBLE, 1, 2, 30, 40);
  ASSERT_NE(kid, nullptr);
  struct Expected {
    bool toParent;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;  // checked unless kAny
  };
  constexpr LPARAM kAny = -12345;
  const Expected expected[] = {
      {false, WM_NCCREATE, 0, kAny},
      {false, WM_NCCALCSIZE, 0, kAny},
      {false, WM_CREATE, 0, kAny},
      {false, WM_SIZE, SIZE_RESTORED, MAKELPARAM(30, 40)},
      {false, WM_MOVE, 0, MAKELPARAM(1, 2)},
      {true, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, 7), reinterpret_cast<LPARAM>(kid)},
      {false, WM_SHOWWINDOW, TRUE, 0},
  };
  const auto& log = Log();
  ASSERT_EQ(log.size(), std::size(expected));
  for (std::size_t i = 0; i < log.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(log[i].hwnd, expected[i].toParent ? top_ : kid);
    EXPECT_EQ(log[i].message, expected[i].message);
    EXPECT_EQ(log[i].wParam, expected[i].wParam);
    if (expected[i].lParam != kAny) {
      EXPECT_EQ(log[i].lParam, expected[i].lParam);
    }
  }
}

TEST_F(WindowsTest, DestroySendsDestroyParentFirstAndNcDestroyChildrenFirst) {
  HWND a = MakeRecorder(top_, 1, WS_CHILD);
  HWND g = MakeRecorder(a, 9, WS_CHILD);
  HWND b = MakeRecorder(top_, 2, WS_CHILD);
  HWND c = MakeRecorder(top_, 3, WS_CHILD);
  Watch({WM_DESTROY, WM_NCDESTROY});
  ASSERT_TRUE(DestroyWindow(top_));
  const Event expected[] = {
      {top_, WM_DESTROY, 0, 0},   {a, WM_DESTROY, 0, 0},   {g, WM_DESTROY, 0, 0},
      {b, WM_DESTROY, 0, 0},      {c, WM_DESTROY, 0, 0},   {g, WM_NCDESTROY, 0, 0},
      {a, WM_NCDESTROY, 0, 0},    {b, WM_NCDESTROY, 0, 0}, {c, WM_NCDESTROY, 0, 0},
      {top_, WM_NCDESTROY, 0, 0},
  };
  const auto& log = Log();
  ASSERT_EQ(log.size(), std::size(expected));
  for (std::size_t i = 0; i < log.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(log[i].hwnd, expected[i].hwnd);
    EXPECT_EQ(log[i].message, expected[i].message);
  }
  for (HWND h : {top_, a, g, b, c}) EXPECT_FALSE(IsWindow(h));
}

TEST_F(WindowsTest, DestroyingAnOwnerDestroysItsOwnedWindows) {
  HWND owned = MakeRecorder(top_, 0, WS_POPUP);
  ASSERT_NE(owned, nullptr);
  EXPECT_EQ(GetWindowLongA(owned, GWL_HWNDPARENT),
            static_cast<LONG>(reinterpret_cast<INT_PTR>(top_)));
  DestroyWindow(top_);
  EXPECT_FALSE(IsWindow(owned));
}

TEST_F(WindowsTest, GetDlgItemFindsTheFirstChildWithAllBitsOfTheId) {
  const int ids[] = {5, 5, 6, -1, 0xFFFF};
  HWND kids[std::size(ids)];
  for (std::size_t i = 0; i < std::size(ids); ++i) kids[i] = MakeRecorder(top_, ids[i], WS_CHILD);
  struct Case {
    int query;
    int expectedIndex;  // -1: no control
  };
  const Case cases[] = {{5, 0}, {6, 2}, {-1, 3}, {0xFFFF, 4}, {7, -1}, {0x1FFFF, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.query);
    EXPECT_EQ(GetDlgItem(top_, c.query), c.expectedIndex < 0 ? nullptr : kids[c.expectedIndex]);
  }
  EXPECT_EQ(GetDlgCtrlID(kids[3]), -1);
  EXPECT_EQ(GetWindow(top_, GW_CHILD), kids[0]);
  EXPECT_EQ(GetWindow(kids[0], GW_HWNDNEXT), kids[1]);
}

TEST_F(WindowsTest, ParentAndOwnerAsWin32ReportsThem) {
  HWND child = MakeRecorder(top_, 1, WS_CHILD);
  HWND owned = MakeRecorder(top_, 0, WS_POPUP);
  HWND lone = MakeRecorder(nullptr, 0, WS_POPUP);
  struct Case {
    HWND window;
    HWND parent;      // GetParent
    HWND hwndParent;  // GetWindowLongA(GWL_HWNDPARENT)
  };
  const Case cases[] = {{child, top_, top_}, {owned, top_, top_}, {lone, nullptr, nullptr}};
  for (const auto& c : cases) {
    EXPECT_EQ(GetParent(c.window), c.parent);
    EXPECT_EQ(GetWindowLongA(c.window, GWL_HWNDPARENT),
              static_cast<LONG>(reinterpret_cast<INT_PTR>(c.hwndParent)));
  }
  EXPECT_TRUE(IsChild(top_, child));
  EXPECT_FALSE(IsChild(top_, owned));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(lone, GWL_STYLE)), WS_POPUP | WS_CLIPSIBLINGS);
  DestroyWindow(lone);
}

TEST_F(WindowsTest, EnableWindowReturnsThePreviousDisabledStateAndNotifiesOnChange) {
  HWND kid = MakeRecorder(top_, 1, WS_CHILD | WS_VISIBLE);
  Watch({WM_ENABLE});
  struct Step {
    BOOL enable;
    BOOL expectedResult;
    bool notified;
  };
  const Step steps[] = {
      {FALSE, FALSE, true}, {FALSE, TRUE, false}, {TRUE, TRUE, true}, {TRUE, FALSE, false}};
  for (const auto& s : steps) {
    Log().clear();
    EXPECT_EQ(EnableWindow(kid, s.enable) != 0, s.expectedResult != 0);
    ASSERT_EQ(Log().size(), s.notified ? 1u : 0u);
    if (s.notified) {
      EXPECT_EQ(Log()[0].wParam, static_cast<WPARAM>(s.enable));
    }
    EXPECT_EQ(IsWindowEnabled(kid) != 0, s.enable != 0);
  }
}

TEST_F(WindowsTest, WindowTextIsCutToTheBuffer) {
  ASSERT_TRUE(SetWindowTextA(top_, "hello"));
  EXPECT_EQ(GetWindowTextLengthA(top_), 5);
  struct Case {
    int size;
    int expected;
    const char* text;
  };
  const Case cases[] = {{1, 0, ""}, {3, 2, "he"}, {6, 5, "hello"}, {100, 5, "hello"}};
  for (const auto& c : cases) {
    char buffer[100];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetWindowTextA(top_, buffer, c.size), c.expected);
    EXPECT_STREQ(buffer, c.text);
  }
  HWND gone = MakeRecorder(nullptr, 0, WS_POPUP);
  DestroyWindow(gone);
  char buffer[4] = "abc";
  EXPECT_EQ(GetWindowTextA(gone, buffer, 4), 0);
  EXPECT_EQ(GetWindowTextLengthA(gone), 0);
  EXPECT_FALSE(SetWindowTextA(gone, "x"));
}

TEST_F(WindowsTest, PostedMessagesComeInOrderWithFiltersAndQuitLast) {
  PostMessageA(top_, WM_USER + 1, 1, 0);
  PostMessageA(nullptr, WM_USER + 2, 2, 0);
  PostMessageA(top_, WM_USER + 3, 3, 0);
  PostQuitMessage(42);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 1));
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
  EXPECT_EQ(m.wParam, 3u);
  ASSERT_TRUE(PeekMessageA(&m, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 2));
  EXPECT_EQ(m.hwnd, nullptr);
  const UINT expected[] = {WM_USER + 1, WM_QUIT};
  for (UINT e : expected) {
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, e);
  }
  EXPECT_EQ(m.wParam, 42u);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowsTest, PaintComesAfterPostedMessagesAndStaysUntilValidated) {
  ShowWindow(top_, SW_SHOWNA);
  Pump();
  InvalidateRect(top_, nullptr, TRUE);
  PostMessageA(top_, WM_USER + 5, 0, 0);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 5));
  for (int i = 0; i < 2; ++i) {  // removing does not validate
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
    EXPECT_EQ(m.hwnd, top_);
  }
  DispatchMessageA(&m);  // DefWindowProcA paints and validates
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowsTest, MovingAndSizingReportOnlyWhatChanged) {
  HWND kid = MakeRecorder(top_, 1, WS_CHILD, 1, 2, 30, 40);
  struct Case {
    int x, y, cx, cy;
    bool moved, sized;
  };
  // Win32 sends WM_WINDOWPOSCHANGING for every call but WM_WINDOWPOSCHANGED
  // only when something changed.
  const Case cases[] = {
      {5, 5, 30, 40, true, false}, {5, 5, 50, 60, false, true}, {5, 5, 50, 60, false, false}};
  for (const auto& c : cases) {
    Watch({WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE});
    ASSERT_TRUE(MoveWindow(kid, c.x, c.y, c.cx, c.cy, TRUE));
    EXPECT_EQ(EventsOf(WM_WINDOWPOSCHANGING).size(), 1u);
    EXPECT_EQ(EventsOf(WM_WINDOWPOSCHANGED).size(), c.moved || c.sized ? 1u : 0u);
    EXPECT_EQ(EventsOf(WM_MOVE).size(), c.moved ? 1u : 0u);
    ASSERT_EQ(EventsOf(WM_SIZE).size(), c.sized ? 1u : 0u);
    if (c.sized) {
      EXPECT_EQ(EventsOf(WM_SIZE)[0].lParam, MAKELPARAM(c.cx, c.cy));
    }
  }
  RECT r;
  GetWindowRect(kid, &r);
  POINT origin{0, 0};
  ClientToScreen(top_, &origin);
  EXPECT_EQ(r.left, origin.x + 5);
  EXPECT_EQ(r.bottom - r.top, 60);
}

TEST_F(WindowsTest, FrameWidthsFollowTheStyle) {
  struct Case {
    DWORD style, exStyle;
    LONG left, top;  // client origin within the window
    LONG cx, cy;     // client size of a 100x100 window
  };
  const Case cases[] = {
      {WS_CHILD, 0, 0, 0, 100, 100},
      {WS_CHILD | WS_BORDER, 0, 1, 1, 98, 98},
      {WS_CHILD, WS_EX_CLIENTEDGE, 2, 2, 96, 96},
      {WS_CHILD, WS_EX_STATICEDGE, 1, 1, 98, 98},
      {WS_CHILD | WS_BORDER, WS_EX_CLIENTEDGE, 3, 3, 94, 94},
      {WS_POPUP | WS_CAPTION, 0, 3, 22, 94, 75},
      {WS_POPUP | WS_THICKFRAME, 0, 3, 3, 94, 94},
      {WS_POPUP, WS_EX_DLGMODALFRAME, 3, 3, 94, 94},
      {WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW, 3, 19, 94, 78},
      {WS_POPUP | WS_CAPTION, WS_EX_CLIENTEDGE, 5, 24, 90, 71},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.style);
    HWND h = CreateWindowExA(c.exStyle, RecorderClass(), "", c.style, 10, 10, 100, 100,
                             (c.style & WS_CHILD) ? top_ : nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    RECT client, window;
    GetClientRect(h, &client);
    GetWindowRect(h, &window);
    POINT origin{0, 0};
    ClientToScreen(h, &origin);
    EXPECT_EQ(origin.x - window.left, c.left);
    EXPECT_EQ(origin.y - window.top, c.top);
    EXPECT_EQ(client.right, c.cx);
    EXPECT_EQ(client.bottom, c.cy);
    RECT adjusted{0, 0, 100, 100};
    AdjustWindowRectEx(&adjusted, c.style, FALSE, c.exStyle);
    EXPECT_EQ(adjusted.left, -c.left);
    EXPECT_EQ(adjusted.top, -c.top);
    DestroyWindow(h);
  }
}

TEST_F(WindowsTest, FocusMovesWithKillAndSetFocus) {
  ShowWindow(top_, SW_SHOW);
  HWND a = MakeRecorder(top_, 1, WS_CHILD | WS_VISIBLE);
  HWND b = MakeRecorder(top_, 2, WS_CHILD | WS_VISIBLE);
  SetFocus(a);
  Watch({WM_KILLFOCUS, WM_SETFOCUS});
  EXPECT_EQ(SetFocus(b), a);
  EXPECT_EQ(GetFocus(), b);
  const Event expected[] = {{a, WM_KILLFOCUS, reinterpret_cast<WPARAM>(b), 0},
                            {b, WM_SETFOCUS, reinterpret_cast<WPARAM>(a), 0}};
  ASSERT_EQ(Log().size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(Log()[i].hwnd, expected[i].hwnd);
    EXPECT_EQ(Log()[i].message, expected[i].message);
    EXPECT_EQ(Log()[i].wParam, expected[i].wParam);
  }
  // Disabling the focused window takes the focus away.
  EnableWindow(b, FALSE);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowsTest, CloseCommandsDestroyAnOrdinaryWindow) {
  struct Case {
    UINT message;
    WPARAM wParam;
  };
  const Case cases[] = {{WM_CLOSE, 0}, {WM_SYSCOMMAND, SC_CLOSE}};
  for (const auto& c : cases) {
    HWND h = MakeRecorder(nullptr, 0, WS_POPUP);
    Watch({WM_CLOSE, WM_DESTROY});
    SendMessageA(h, c.message, c.wParam, 0);
    EXPECT_FALSE(IsWindow(h));
    ASSERT_EQ(Log().size(), 2u);
    EXPECT_EQ(Log()[0].message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(Log()[1].message, static_cast<UINT>(WM_DESTROY));
  }
}

}  // namespace
}  // namespace tavrin::test

namespace tavrin::test {
namespace {

TEST_F(WindowsTest, MenuItemsKeepTheirDataAndTheBarTakesRoomFromTheClient) {
  HMENU menu = CreateMenu();
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(AppendMenuA(menu, MF_STRING, 5, "item"));
  ASSERT_TRUE(AppendMenuA(menu, MF_STRING, 6, "other"));
  MENUITEMINFOA set{};
  set.cbSize = sizeof set;
  set.fMask = MIIM_DATA;
  set.dwItemData = 0xABC;
  ASSERT_TRUE(SetMenuItemInfoA(menu, 5, FALSE, &set));
  struct Case {
    UINT cbSize;
    UINT item;
    BOOL found;
    ULONG_PTR data;
  };
  const Case cases[] = {{44, 5, TRUE, 0xABC},
                        {sizeof(MENUITEMINFOA), 5, TRUE, 0xABC},
                        {44, 6, TRUE, 0},
                        {40, 5, FALSE, 0},
                        {44, 77, FALSE, 0}};
  for (const auto& c : cases) {
    MENUITEMINFOA info{};
    info.cbSize = c.cbSize;
    info.fMask = MIIM_DATA;
    EXPECT_EQ(GetMenuItemInfoA(menu, c.item, FALSE, &info) != 0, c.found != 0)
        << c.cbSize << " " << c.item;
    EXPECT_EQ(info.dwItemData, c.data);
  }
  RECT before, after, client;
  GetWindowRect(top_, &before);
  ASSERT_TRUE(SetMenu(top_, menu));
  GetWindowRect(top_, &after);
  GetClientRect(top_, &client);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
  EXPECT_EQ(client.bottom, 200 - 19);
  MENUITEMINFOA info{};
  info.cbSize = 44;
  info.fMask = MIIM_DATA;
  ASSERT_TRUE(GetMenuItemInfoA(GetMenu(top_), 5, FALSE, &info));
  EXPECT_EQ(info.dwItemData, 0xABCu);
  DestroyWindow(top_);
  EXPECT_FALSE(IsMenu(menu));  // the menu bar goes with its window
}

std::vector<UINT_PTR> g_timerProcIds;
void CALLBACK RecordTimer(HWND, UINT, UINT_PTR id, DWORD) {
  g_timerProcIds.push_back(id);
}

TEST_F(WindowsTest, TimersComeAfterPaintWhichComesAfterQuit) {
  ShowWindow(top_, SW_SHOWNA);
  Pump();
  EXPECT_EQ(SetTimer(top_, 7, 10, nullptr), 7u);
  const UINT_PTR threadTimer = SetTimer(nullptr, 0, 10, RecordTimer);
  EXPECT_NE(threadTimer, 0u);
  Sleep(50);
  InvalidateRect(top_, nullptr, TRUE);
  PostQuitMessage(3);
  PostMessageA(top_, WM_USER, 0, 0);
  const Event expected[] = {
      {top_, WM_USER, 0, 0},
      {nullptr, WM_QUIT, 3, 0},
      {top_, WM_PAINT, 0, 0},
      {top_, WM_TIMER, 7, 0},
      {nullptr, WM_TIMER, threadTimer, reinterpret_cast<LPARAM>(RecordTimer)}};
  g_timerProcIds.clear();
  MSG threadTimerMessage{};
  for (const auto& e : expected) {
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.hwnd, e.hwnd);
    EXPECT_EQ(m.message, e.message);
    EXPECT_EQ(m.wParam, e.wParam);
    // A timer procedure's message carries a non-zero lParam (Wine puts a
    // handle of its own there, not the address).
    EXPECT_EQ(m.lParam != 0, e.lParam != 0);
    if (m.message != WM_QUIT) DispatchMessageA(&m);
    threadTimerMessage = m;
  }
  ASSERT_EQ(g_timerProcIds.size(), 1u);  // the procedure took the thread timer's message
  EXPECT_EQ(g_timerProcIds[0], threadTimer);
  EXPECT_TRUE(KillTimer(top_, 7));
  EXPECT_FALSE(KillTimer(top_, 7));
  EXPECT_TRUE(KillTimer(nullptr, threadTimer));
  // Dispatched again, the message runs the procedure of a timer that is gone.
  DispatchMessageA(&threadTimerMessage);
  EXPECT_EQ(g_timerProcIds.size(), 2u);
}

TEST_F(WindowsTest, AltF4PostsTheCloseCommandToTheTopLevelWindow) {
  HWND kid = MakeRecorder(top_, 1, WS_CHILD);
  Watch({WM_SYSCOMMAND, WM_CLOSE});
  constexpr LPARAM kAltDown = 0x20000001;  // context code: Alt held
  SendMessageA(kid, WM_SYSKEYDOWN, VK_F4, kAltDown);
  EXPECT_TRUE(IsWindow(top_));  // posted, not sent
  EXPECT_TRUE(Log().empty());
  Pump();
  EXPECT_FALSE(IsWindow(top_));
  ASSERT_EQ(Log().size(), 2u);
  EXPECT_EQ(Log()[0].hwnd, top_);
  EXPECT_EQ(Log()[0].message, static_cast<UINT>(WM_SYSCOMMAND));
  EXPECT_EQ(Log()[0].wParam, static_cast<WPARAM>(SC_CLOSE));
  EXPECT_EQ(Log()[1].message, static_cast<UINT>(WM_CLOSE));
}

}  // namespace
}  // namespace tavrin::test
