// The Linux platform's window half through its test hooks: live window
// counts, injected failures, the idle hook that feeds a running modal loop,
// the key state and the characters TranslateMessage makes, and the reset
// between tests.
#include <gtest/gtest.h>

#include <thread>

#include "platform/linux/hooks.h"
#include "platform/linux/user_hooks.h"
#include "platform/win32.h"
#include "windows_recorder.h"

namespace tavrin::test {
namespace {

using platform::Fail;
using platform::Live;
using platform::LiveCount;

constexpr DWORD kDefaultStyle = 0x80C000D4;

class WindowsHooksTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(RecorderClass(), nullptr);
    platform::ResetThreadWindows();
    windows_ = LiveCount(Live::Window);
    fonts_ = LiveCount(Live::Font);
    doubles_ = platform::DoubleReleases();
  }
  void TearDown() override {
    platform::ResetThreadWindows();
    platform::ClearFailures();
    EXPECT_EQ(LiveCount(Live::Window), windows_);
    EXPECT_EQ(LiveCount(Live::Font), fonts_);
    EXPECT_EQ(platform::DoubleReleases(), doubles_);
    Watch({});
  }
  std::int64_t windows_ = 0, fonts_ = 0, doubles_ = 0;
};

TEST_F(WindowsHooksTest, WindowsAreCountedWhileTheyLive) {
  HWND top = MakeRecorder(nullptr, 0, WS_POPUP);
  MakeRecorder(top, 1, WS_CHILD);
  MakeRecorder(top, 2, WS_CHILD);
  EXPECT_EQ(LiveCount(Live::Window), windows_ + 3);
  DestroyWindow(top);
  EXPECT_EQ(LiveCount(Live::Window), windows_);
}

TEST_F(WindowsHooksTest, InjectedFailuresMakeNothing) {
  struct Case {
    Fail which;
    int skip;
  };
  const Case cases[] = {{Fail::CreateWindowExA, 0},
                        {Fail::CreateDialogIndirectParamA, 0},
                        {Fail::CreateWindowExA, 1}};
  DialogTemplate t(kDefaultStyle, 0, 0, 50, 50);
  for (const auto& c : cases) {
    platform::FailNext(c.which, 1, c.skip);
    if (c.which == Fail::CreateDialogIndirectParamA) {
      EXPECT_EQ(t.Create(), nullptr);
    } else {
      // Only the call after `skip` others fails.
      HWND first = MakeRecorder(nullptr, 0, WS_POPUP);
      HWND second = MakeRecorder(nullptr, 0, WS_POPUP);
      EXPECT_EQ(first != nullptr, c.skip == 1);
      EXPECT_EQ(second != nullptr, c.skip == 0);
      for (HWND h : {first, second})
        if (h) DestroyWindow(h);
    }
    EXPECT_EQ(LiveCount(Live::Window), windows_);
    EXPECT_EQ(LiveCount(Live::Font), fonts_);
  }
}

TEST_F(WindowsHooksTest, AFailedDialogWindowReleasesItsFont) {
  // The dialog's own CreateWindowExA fails after the template font exists.
  platform::FailNext(Fail::CreateWindowExA);
  EXPECT_EQ(DialogTemplate(kDefaultStyle, 0, 0, 50, 50).Create(), nullptr);
  EXPECT_EQ(LiveCount(Live::Font), fonts_);
}

TEST_F(WindowsHooksTest, TheDialogFontGoesWithTheDialog) {
  HWND d = DialogTemplate(kDefaultStyle, 0, 0, 50, 50).Create();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(LiveCount(Live::Font), fonts_ + 1);
  DestroyWindow(d);
  EXPECT_EQ(LiveCount(Live::Font), fonts_);
}

TEST_F(WindowsHooksTest, RefusedCreationEndsTheWindow) {
  struct Case {
    UINT refused;
    LRESULT answer;
  };
  static Case current{};
  const Case cases[] = {{WM_NCCREATE, FALSE}, {WM_CREATE, -1}};
  WNDCLASSA wc{};
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    Record(h, m, w, l);
    if (m == current.refused) return current.answer;
    return DefWindowProcA(h, m, w, l);
  };
  wc.lpszClassName = "TavrinRefusing";
  ASSERT_NE(RegisterClassA(&wc), 0);
  for (const auto& c : cases) {
    current = c;
    Watch({WM_DESTROY, WM_NCDESTROY});
    EXPECT_EQ(CreateWindowExA(0, "tavrinrefusing", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);
    EXPECT_EQ(EventsOf(WM_NCDESTROY).size(), 1u);
    EXPECT_EQ(LiveCount(Live::Window), windows_);
  }
  EXPECT_TRUE(UnregisterClassA("TavrinRefusing", nullptr));
}

TEST_F(WindowsHooksTest, TheIdleHookFeedsAModalLoop) {
  HWND d = DialogTemplate(kDefaultStyle, 0, 0, 100, 100)
               .Create(nullptr, [](HWND h, UINT m, WPARAM w, LPARAM) -> INT_PTR {
                 if (m == WM_COMMAND && LOWORD(w) == IDOK) {
                   DestroyWindow(h);
                   return TRUE;
                 }
                 return FALSE;
               });
  ASSERT_NE(d, nullptr);
  MakeRecorder(d, 12, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
  HWND second = MakeRecorder(d, 15, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
  ShowWindow(d, SW_SHOW);
  // The script: Tab to the second box, type into it, then Enter.
  int step = 0;
  HWND focusAfterTab = nullptr;
  platform::SetIdleHook([&] {
    switch (step++) {
      case 0:
        platform::PostKeystroke(VK_TAB);
        break;
      case 1:
        focusAfterTab = GetFocus();
        platform::PostChars("7.5");
        break;
      case 2:
        platform::PostKeystroke(VK_RETURN);
        break;
      default:
        break;
    }
  });
  Watch({WM_CHAR});
  int rounds = 0;
  while (IsWindow(d) && rounds++ < 100) {
    MSG m;
    if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) continue;
    if (IsDialogMessageA(d, &m)) continue;
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  platform::SetIdleHook(nullptr);
  EXPECT_FALSE(IsWindow(d));
  EXPECT_EQ(focusAfterTab, second);
  std::string typed;
  for (const auto& e : Log())
    if (e.hwnd == second) typed.push_back(static_cast<char>(e.wParam));
  EXPECT_EQ(typed, "7.5");
}

TEST_F(WindowsHooksTest, TranslateMessageTypesTheKeysCharacter) {
  HWND top = MakeRecorder(nullptr, 0, WS_POPUP);
  struct Case {
    int vk;
    bool shift, control;
    int expected;  // 0: no character
  };
  const Case cases[] = {
      {'A', false, false, 'a'},        {'A', true, false, 'A'},
      {'C', false, true, 3},           {'1', false, false, '1'},
      {'1', true, false, '!'},         {VK_OEM_PERIOD, false, false, '.'},
      {VK_DECIMAL, false, false, '.'}, {VK_OEM_MINUS, false, false, '-'},
      {VK_NUMPAD7, false, false, '7'}, {VK_RETURN, false, false, '\r'},
      {VK_BACK, false, false, '\b'},   {VK_LEFT, false, false, 0},
      {VK_F4, false, false, 0},        {'1', false, true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.vk);
    platform::SetKeyDown(VK_SHIFT, c.shift);
    platform::SetKeyDown(VK_CONTROL, c.control);
    EXPECT_EQ((GetKeyState(VK_SHIFT) & 0x8000) != 0, c.shift);
    MSG key{top, WM_KEYDOWN, static_cast<WPARAM>(c.vk), 1, 0, POINT{0, 0}};
    EXPECT_TRUE(TranslateMessage(&key));
    MSG m;
    const BOOL got = PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);
    EXPECT_EQ(got != 0, c.expected != 0);
    if (got) {
      EXPECT_EQ(m.message, static_cast<UINT>(WM_CHAR));
      EXPECT_EQ(m.wParam, static_cast<WPARAM>(c.expected));
    }
  }
  platform::ReleaseAllKeys();
  EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
}

TEST_F(WindowsHooksTest, ResetDestroysEveryWindowAndEmptiesTheQueue) {
  HWND top = MakeRecorder(nullptr, 0, WS_POPUP);
  MakeRecorder(top, 1, WS_CHILD);
  PostMessageA(top, WM_USER, 0, 0);
  PostMessageA(nullptr, WM_USER, 0, 0);
  PostQuitMessage(3);
  EXPECT_EQ(platform::PendingMessageCount(), 2);
  platform::ResetThreadWindows();
  EXPECT_EQ(LiveCount(Live::Window), windows_);
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowsHooksTest, PostedMessagesOfADestroyedWindowAreDropped) {
  HWND top = MakeRecorder(nullptr, 0, WS_POPUP);
  PostMessageA(top, WM_USER, 0, 0);
  DestroyWindow(top);
  EXPECT_EQ(platform::PendingMessageCount(), 0);
  EXPECT_FALSE(PostMessageA(top, WM_USER, 0, 0));
}

TEST_F(WindowsHooksTest, AnotherThreadCannotDestroyAWindowButCanPostToIt) {
  HWND top = MakeRecorder(nullptr, 0, WS_POPUP);
  BOOL destroyed = TRUE, posted = FALSE;
  std::thread other([&] {
    destroyed = DestroyWindow(top);
    posted = PostMessageA(top, WM_USER + 7, 0, 0);
  });
  other.join();
  EXPECT_FALSE(destroyed);
  EXPECT_TRUE(posted);
  MSG m;
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 7));
  EXPECT_TRUE(IsWindow(top));
}

TEST_F(WindowsHooksTest, WindowLongsReadAndWriteByIndex) {
  HWND d = DialogTemplate(kDefaultStyle, 0, 0, 50, 50).Create();
  ASSERT_NE(d, nullptr);
  struct Case {
    int index;
    LONG value;
  };
  const Case cases[] = {{DWL_MSGRESULT, 5}, {DWL_USER, 77}, {GWL_ID, 9}, {GWL_USERDATA, -4}};
  for (const auto& c : cases) {
    SetWindowLongA(d, c.index, c.value);
    EXPECT_EQ(GetWindowLongA(d, c.index), c.value);
  }
  // A procedure address only fits the pointer-sized form on this host.
  EXPECT_EQ(GetWindowLongPtrA(d, DWL_DLGPROC), reinterpret_cast<LONG_PTR>(RecorderDialogProc));
  EXPECT_EQ(GetWindowLongA(d, 1000), 0);  // past the extra bytes
}

}  // namespace
}  // namespace tavrin::test
