// The COMBOBOX class as Win32 (Wine) has it: its items, the text the
// selection shows, opening and closing the list, the edit field and the
// list as windows of their own, and where their colour messages go. Runs on
// the Linux platform and under Wine.
#include <string>
#include <vector>

#include "controls_fixture.h"

namespace tavrin::test {
namespace {

using ComboTest = ControlTest;

constexpr int kId = 700;

class ComboParts : public ComboTest {
 protected:
  HWND Combo(DWORD style) {
    HWND c = Make("COMBOBOX", style | WS_VSCROLL, kId, "", 100, 200);
    info_ = COMBOBOXINFO{};
    info_.cbSize = sizeof info_;
    EXPECT_TRUE(GetComboBoxInfo(c, &info_));
    return c;
  }
  COMBOBOXINFO info_{};
};

TEST_F(ComboParts, DropDownComboHasAnEditChildAndAParentlessList) {
  HWND c = Combo(CBS_DROPDOWN | CBS_SORT);
  ASSERT_NE(info_.hwndItem, nullptr);
  ASSERT_NE(info_.hwndList, nullptr);
  EXPECT_EQ(info_.hwndCombo, c);
  // The edit field is the combo box's child: GWL_HWNDPARENT gives the combo.
  EXPECT_EQ(
      reinterpret_cast<HWND>(static_cast<LONG_PTR>(GetWindowLongA(info_.hwndItem, GWL_HWNDPARENT))),
      c);
  EXPECT_EQ(GetParent(info_.hwndItem), c);
  EXPECT_EQ(GetDlgCtrlID(info_.hwndItem), 1001);
  EXPECT_EQ(GetDlgItem(c, 1001), info_.hwndItem);
  EXPECT_EQ(GetDlgItem(parent_, 1001), nullptr);
  EXPECT_EQ(Send(info_.hwndItem, WM_GETDLGCODE), DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS);
  // The list has no parent or owner that GWL_HWNDPARENT reports.
  EXPECT_EQ(GetWindowLongA(info_.hwndList, GWL_HWNDPARENT), 0);
  EXPECT_EQ(GetDlgCtrlID(info_.hwndList), 1000);
  EXPECT_FALSE(IsWindowVisible(info_.hwndList));
  char cls[32] = "";
  GetClassNameA(info_.hwndList, cls, sizeof cls);
  EXPECT_STREQ(cls, "ComboLBox");
  // The list goes with the combo box.
  const HWND list = info_.hwndList;
  const HWND edit = info_.hwndItem;
  DestroyWindow(c);
  EXPECT_FALSE(IsWindow(list));
  EXPECT_FALSE(IsWindow(edit));
}

TEST_F(ComboParts, DropDownListComboHasNoEditField) {
  HWND c = Combo(CBS_DROPDOWNLIST);
  EXPECT_EQ(info_.hwndItem, nullptr);
  ASSERT_NE(info_.hwndList, nullptr);
  Send(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
  EXPECT_EQ(Send(c, CB_SETCURSEL, 0), 0);
  EXPECT_EQ(Text(c), "one");
}

TEST_F(ComboParts, ItemsSortAndTheSelectionShowsWithoutNotifying) {
  HWND c = Combo(CBS_DROPDOWN | CBS_SORT);
  for (const char* s : {"d", "b", "a", "c", "e"})
    Send(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  Clear();
  struct Step {
    const char* name;
    UINT message;
    WPARAM wParam;
    LRESULT result;
    LRESULT selectedAfter;
    const char* textAfter;
  };
  const Step steps[] = {
      {"select 1", CB_SETCURSEL, 1, 1, 1, "b"},
      {"past the end fails", CB_SETCURSEL, 99, CB_ERR, 1, "b"},
      {"select 2", CB_SETCURSEL, 2, 2, 2, "c"},
      {"deleting above moves it", CB_DELETESTRING, 0, 4, 1, "c"},
      {"deleting it clears it, not the text", CB_DELETESTRING, 1, 3, CB_ERR, "c"},
      {"select 0", CB_SETCURSEL, 0, 0, 0, "b"},
      {"-1 clears selection and text", CB_SETCURSEL, static_cast<WPARAM>(-1), CB_ERR, CB_ERR, ""},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.name);
    EXPECT_EQ(Send(c, s.message, s.wParam), s.result);
    EXPECT_EQ(Send(c, CB_GETCURSEL), s.selectedAfter);
    EXPECT_EQ(Text(c), s.textAfter);
  }
  EXPECT_TRUE(Codes(kId).empty());
  EXPECT_EQ(Send(c, CB_GETLBTEXTLEN, 0), 1);
  EXPECT_EQ(Send(c, CB_GETLBTEXTLEN, 9), CB_ERR);
  char buffer[4] = "zz";
  EXPECT_EQ(Send(c, CB_GETLBTEXT, 9, reinterpret_cast<LPARAM>(buffer)), CB_ERR);
  Send(c, CB_RESETCONTENT);
  EXPECT_EQ(Send(c, CB_GETCOUNT), 0);
  EXPECT_EQ(Send(c, CB_GETCURSEL), CB_ERR);
}

TEST_F(ComboParts, ShowDropDownOpensAndClosesWithItsNotifications) {
  HWND c = Combo(CBS_DROPDOWN);
  Send(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
  struct Step {
    const char* name;
    BOOL show;
    std::vector<int> codes;
    bool droppedAfter;
  };
  const Step steps[] = {
      {"open", TRUE, {CBN_DROPDOWN}, true},
      {"open again: nothing", TRUE, {}, true},
      {"close", FALSE, {CBN_SELENDCANCEL, CBN_CLOSEUP}, false},
      {"close again: nothing", FALSE, {}, false},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.name);
    Clear();
    EXPECT_TRUE(Send(c, CB_SHOWDROPDOWN, static_cast<WPARAM>(s.show)));
    PumpMessages();
    EXPECT_EQ(Codes(kId), s.codes);
    for (const auto& sent : Of(WM_COMMAND)) EXPECT_EQ(sent.from, c);
    EXPECT_EQ(Send(c, CB_GETDROPPEDSTATE), s.droppedAfter ? TRUE : FALSE);
    EXPECT_EQ(IsWindowVisible(info_.hwndList) != FALSE, s.droppedAfter);
  }
}

TEST_F(ComboParts, TypingIntoTheEditFieldIsAnEditChange) {
  HWND c = Combo(CBS_DROPDOWN);
  Clear();
  SetWindowTextA(c, "zz");
  EXPECT_EQ(Text(info_.hwndItem), "zz");
  EXPECT_TRUE(Codes(kId).empty());
  Send(info_.hwndItem, WM_CHAR, 'k', 1);
  EXPECT_EQ(Text(c), "kzz");
  EXPECT_EQ(Codes(kId), (std::vector<int>{CBN_EDITUPDATE, CBN_EDITCHANGE}));
}

TEST_F(ComboParts, ColourMessagesOfThePartsReachTheParentWithThePart) {
  HWND c = Combo(CBS_DROPDOWN);
  Send(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
  PaintNow(info_.hwndItem);
  bool editAsked = false;
  for (const auto& s : Of(WM_CTLCOLOREDIT)) editAsked |= s.from == info_.hwndItem;
  EXPECT_TRUE(editAsked);
  Send(c, CB_SHOWDROPDOWN, TRUE);
  PaintNow(info_.hwndList);
  bool listAsked = false;
  for (const auto& s : Of(WM_CTLCOLORLISTBOX)) listAsked |= s.from == info_.hwndList;
  EXPECT_TRUE(listAsked);
  Send(c, CB_SHOWDROPDOWN, FALSE);
}

TEST_F(ComboParts, ArrowKeysStepTheSelection) {
  HWND c = Combo(CBS_DROPDOWNLIST);
  for (const char* s : {"one", "two"}) Send(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  Clear();
  Send(c, WM_KEYDOWN, VK_DOWN, 0);
  PumpMessages();
  EXPECT_EQ(Send(c, CB_GETCURSEL), 0);
  EXPECT_EQ(Text(c), "one");
  EXPECT_EQ(Codes(kId), (std::vector<int>{CBN_SELENDOK, CBN_SELCHANGE}));
}

}  // namespace
}  // namespace tavrin::test
