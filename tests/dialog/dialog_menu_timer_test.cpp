// Routes that need menus and timers: the item data of a dialog's menu as a
// callback, and modal loops ended from a timer (a WM_QUIT in the queue, the
// owner's WM_ENTERIDLE, DS_NOIDLEMSG, a window destroyed without DialogEnd).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dialog/dialog_proc.h"
#include "dialog/engine.h"
#include "dialog/operations.h"
#include "dialog_testing.h"

namespace tavrin {
namespace {

using testing::Call;
using testing::DialogRecorder;
using testing::MenuRecorder;
using testing::Recorded;
using testing::ScopedDialog;
using testing::Text;

constexpr UINT kMenuItemId = 500;

TEST(MenuRoute, MenuItemDataIsACallback) {
  Recorded().Reset();
  ScopedDialog dialog(testing::NewUnitsDialog("menu"));
  ASSERT_NE(dialog.get(), nullptr);
  DialogSetShowState(dialog, SW_HIDE);
  DialogShowModeless(dialog, DialogRecorder, nullptr);
  HMENU menu = CreateMenu();
  ASSERT_NE(menu, nullptr);
  AppendMenuA(menu, MF_STRING, kMenuItemId, "item");
  AppendMenuA(menu, MF_STRING, kMenuItemId + 1, "no data");
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_DATA;
  info.dwItemData = reinterpret_cast<ULONG_PTR>(&MenuRecorder);
  ASSERT_TRUE(SetMenuItemInfoA(menu, kMenuItemId, FALSE, &info));
  ASSERT_TRUE(SetMenu(dialog, menu));

  struct Row {
    UINT id;
    std::int32_t menuResult;
    std::vector<std::string> order;
    INT_PTR result;
  };
  const Row rows[] = {
      {kMenuItemId, 0, {"menu", "dialog"}, 0},
      {kMenuItemId, 6, {"menu"}, 6},
      {kMenuItemId + 1, 6, {"dialog"}, 0},  // zero item data
      {kMenuItemId + 2, 6, {"dialog"}, 0},  // no such item
  };
  for (const Row& r : rows) {
    Recorded().Reset();
    Recorded().menuResult = r.menuResult;
    EXPECT_EQ(EngineDialogProc(dialog, WM_COMMAND, MAKEWPARAM(r.id, 0), 0), r.result) << r.id;
    EXPECT_EQ(Recorded().Order(), r.order) << r.id;
  }
}

std::int32_t g_timerEnd = 0;
bool g_timerDestroys = false;
std::int32_t EndOnTimer(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_TIMER) {
    KillTimer(dialog, 1);
    if (g_timerDestroys) {
      DestroyWindow(dialog);
    } else {
      DialogEnd(dialog, g_timerEnd);
    }
    return 1;
  }
  return 0;
}

std::vector<Call> g_ownerCalls;
std::int32_t OwnerRecorder(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ENTERIDLE || message == WM_CANCELMODE) {
    g_ownerCalls.push_back({"owner", dialog, message, wParam, lParam});
  }
  return 0;
}

TEST(ModalLoop, QuitMessageDoesNotEndTheLoopAndIdleReachesTheOwner) {
  ScopedDialog owner(testing::NewUnitsDialog("owner"));
  ASSERT_NE(owner.get(), nullptr);
  DialogSetShowState(owner, SW_HIDE);
  DialogShowModeless(owner, OwnerRecorder, nullptr);
  g_ownerCalls.clear();
  ScopedDialog dialog(testing::NewUnitsDialog("owned", owner));
  ASSERT_NE(dialog.get(), nullptr);
  DialogSetShowState(dialog, SW_HIDE);
  ASSERT_EQ(reinterpret_cast<HWND>(GetWindowLongPtrA(dialog, GWLP_HWNDPARENT)), owner.get());
  g_timerEnd = 4;
  g_timerDestroys = false;
  PostQuitMessage(0);
  SetTimer(dialog, 1, 30, nullptr);
  std::int32_t result = -1;
  DialogShowModal(dialog, EndOnTimer, &result);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(result, 4);
  EXPECT_TRUE(IsWindowEnabled(owner));
  ASSERT_FALSE(g_ownerCalls.empty());
  EXPECT_EQ(g_ownerCalls.front().message, static_cast<UINT>(WM_CANCELMODE));
  bool idle = false;
  for (const Call& c : g_ownerCalls) {
    if (c.message == WM_ENTERIDLE) {
      idle = true;
      EXPECT_EQ(c.wParam, static_cast<WPARAM>(MSGF_DIALOGBOX));
      EXPECT_EQ(c.lParam, reinterpret_cast<LPARAM>(dialog.get()));
    }
  }
  EXPECT_TRUE(idle);
}

TEST(ModalLoop, NoIdleStyleAndDestructionWithoutDialogEnd) {
  ScopedDialog owner(testing::NewUnitsDialog("owner"));
  DialogSetShowState(owner, SW_HIDE);
  DialogShowModeless(owner, OwnerRecorder, nullptr);
  g_ownerCalls.clear();
  const TextValue caption = Text("quiet");
  ScopedDialog dialog(
      DialogNew(Units, owner, caption, 10, 10, 50, 50, 0x80C000D4 | DS_NOIDLEMSG, 0));
  ASSERT_NE(dialog.get(), nullptr);
  DialogSetShowState(dialog, SW_HIDE);
  g_timerDestroys = true;
  SetTimer(dialog, 1, 30, nullptr);
  std::int32_t result = 55;
  DialogShowModal(dialog, EndOnTimer, &result);
  g_timerDestroys = false;
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(result, 55);
  for (const Call& c : g_ownerCalls) EXPECT_NE(c.message, static_cast<UINT>(WM_ENTERIDLE));
  // The loop gives the owner back its input, whoever destroyed the dialog.
  EXPECT_TRUE(IsWindowEnabled(owner));
}

// A timer procedure that ends its dialog: the message that ran it was
// handled, and the gone dialog's loop must not dispatch it once more (Win32
// would call the procedure again, window or not).
int g_timerProcRuns = 0;
void CALLBACK EndFromTimerProc(HWND dialog, UINT, UINT_PTR, DWORD) {
  ++g_timerProcRuns;
  DialogEnd(dialog, 6);
}

TEST(ModalLoop, MessageThatEndedTheDialogIsNotDispatchedAgain) {
  ScopedDialog dialog(testing::NewUnitsDialog("timer procedure"));
  ASSERT_NE(dialog.get(), nullptr);
  DialogSetShowState(dialog, SW_HIDE);
  g_timerProcRuns = 0;
  SetTimer(dialog, 1, 20, EndFromTimerProc);
  std::int32_t result = -1;
  DialogShowModal(dialog, nullptr, &result);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(result, 6);
  EXPECT_EQ(g_timerProcRuns, 1);
}

}  // namespace
}  // namespace tavrin
