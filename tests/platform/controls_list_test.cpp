// The LISTBOX class as Win32 (Wine) has it: sorted and unsorted adding, the
// selection as items come and go, reading items back, and LBN_* for the
// user's choices only. Runs on the Linux platform and under Wine.
#include <string>
#include <vector>

#include "controls_fixture.h"

namespace tavrin::test {
namespace {

using ListTest = ControlTest;

constexpr int kId = 600;

std::vector<std::string> Items(HWND list) {
  std::vector<std::string> out;
  const auto n = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    const auto len = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    std::string s(static_cast<std::size_t>(len) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<std::size_t>(len));
    out.push_back(s);
  }
  return out;
}

TEST_F(ListTest, SortedListsSortAsWin32) {
  struct Case {
    const char* name;
    std::vector<const char*> added;
    std::vector<LRESULT> indexes;  // what each LB_ADDSTRING returned
    std::vector<std::string> order;
  };
  const Case cases[] = {
      {"case is ignored; a new equal item goes first",
       {"b", "A", "a", "B"},
       {0, 0, 0, 2},
       {"a", "A", "B", "b"}},
      {"punctuation, then digits, then letters",
       {"b", "_x", "1", "Z", "[", "~"},
       {0, 0, 1, 3, 0, 2},
       {"[", "_x", "~", "1", "b", "Z"}},
      {"shorter first, a space before letters",
       {"ab", "a", "a b", "abc"},
       {0, 0, 1, 3},
       {"a", "a b", "ab", "abc"}},
      {"hyphens are passed over, then a later one ranks first",
       {"x-", "b", "-x", "c", "x"},
       {0, 0, 2, 1, 2},
       {"b", "c", "x", "x-", "-x"}},
  };
  int id = kId;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HWND l = Make("LISTBOX", LBS_NOTIFY | LBS_SORT, ++id, "", 100, 100);
    std::vector<LRESULT> indexes;
    for (const char* s : c.added)
      indexes.push_back(Send(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s)));
    EXPECT_EQ(indexes, c.indexes);
    EXPECT_EQ(Items(l), c.order);
    DestroyWindow(l);
  }
}

TEST_F(ListTest, UnsortedListsKeepTheirOrder) {
  HWND l = Make("LISTBOX", LBS_NOTIFY, kId, "", 100, 100);
  for (const char* s : {"b", "a", "c"}) Send(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  EXPECT_EQ(Send(l, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("z")), 1);
  EXPECT_EQ(Send(l, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("end")), 4);
  EXPECT_EQ(Send(l, LB_INSERTSTRING, 99, reinterpret_cast<LPARAM>("no")), LB_ERR);
  EXPECT_EQ(Items(l), (std::vector<std::string>{"b", "z", "a", "c", "end"}));
}

TEST_F(ListTest, SelectionFollowsItemsAsWin32) {
  HWND l = Make("LISTBOX", LBS_NOTIFY | LBS_SORT, kId, "", 100, 100);
  for (const char* s : {"d", "b", "a", "c", "e"})
    Send(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  struct Step {
    const char* name;
    UINT message;
    WPARAM wParam;
    const char* text;
    LRESULT result;
    LRESULT selectedAfter;
  };
  const Step steps[] = {
      {"nothing selected at first", LB_GETCURSEL, 0, nullptr, LB_ERR, LB_ERR},
      {"select 2", LB_SETCURSEL, 2, nullptr, 2, 2},
      {"past the end fails and keeps it", LB_SETCURSEL, 99, nullptr, LB_ERR, 2},
      {"-1 clears it", LB_SETCURSEL, static_cast<WPARAM>(-1), nullptr, LB_ERR, LB_ERR},
      {"select 3", LB_SETCURSEL, 3, nullptr, 3, 3},
      {"deleting above moves it up", LB_DELETESTRING, 1, nullptr, 4, 2},
      {"deleting it clears it", LB_DELETESTRING, 2, nullptr, 3, LB_ERR},
      {"select 1", LB_SETCURSEL, 1, nullptr, 1, 1},
      {"deleting below keeps it", LB_DELETESTRING, 2, nullptr, 2, 1},
      {"deleting past the end fails", LB_DELETESTRING, 99, nullptr, LB_ERR, 1},
      {"adding above moves it down", LB_ADDSTRING, 0, "0", 0, 2},
      {"emptying clears it", LB_RESETCONTENT, 0, nullptr, LB_OKAY, LB_ERR},
      {"an empty list has nothing to select", LB_SETCURSEL, 0, nullptr, LB_ERR, LB_ERR},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.name);
    EXPECT_EQ(Send(l, s.message, s.wParam, reinterpret_cast<LPARAM>(s.text)), s.result);
    EXPECT_EQ(Send(l, LB_GETCURSEL), s.selectedAfter);
  }
  EXPECT_EQ(Send(l, LB_GETCOUNT), 0);
}

TEST_F(ListTest, ReadingAnItemThatIsNotThereFails) {
  HWND l = Make("LISTBOX", LBS_NOTIFY, kId, "", 100, 100);
  Send(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
  char buffer[8] = "zz";
  EXPECT_EQ(Send(l, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(buffer)), LB_ERR);
  EXPECT_STREQ(buffer, "zz");
  EXPECT_EQ(Send(l, LB_GETTEXTLEN, 1), LB_ERR);
  EXPECT_EQ(Send(l, LB_GETTEXTLEN, static_cast<WPARAM>(-1)), LB_ERR);
  EXPECT_EQ(Send(l, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 3);
  EXPECT_STREQ(buffer, "one");
}

TEST_F(ListTest, OnlyTheUsersChoicesAreNotified) {
  HWND l = Make("LISTBOX", LBS_NOTIFY, kId, "", 100, 100);
  for (const char* s : {"one", "two", "three"})
    Send(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  SetFocus(parent_);
  PumpMessages();
  Clear();
  Send(l, LB_SETCURSEL, 0);
  EXPECT_TRUE(Codes(kId).empty());
  // Items are 16 pixels high: y 20 is the second item.
  Send(l, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 20));
  Send(l, WM_LBUTTONUP, 0, MAKELPARAM(5, 20));
  PumpMessages();
  EXPECT_EQ(Send(l, LB_GETCURSEL), 1);
  Send(l, WM_KEYDOWN, VK_DOWN, 0);
  PumpMessages();
  EXPECT_EQ(Send(l, LB_GETCURSEL), 2);
  EXPECT_EQ(Codes(kId), (std::vector<int>{LBN_SETFOCUS, LBN_SELCHANGE, LBN_SELCHANGE}));
  EXPECT_EQ(Send(l, LB_GETITEMHEIGHT), 16);
}

TEST_F(ListTest, ItemDataAndFinding) {
  HWND l = Make("LISTBOX", LBS_SORT, kId, "", 100, 100);
  for (const char* s : {"Apple", "apricot", "banana"})
    Send(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  EXPECT_TRUE(Send(l, LB_SETITEMDATA, 2, 77));
  EXPECT_EQ(Send(l, LB_GETITEMDATA, 2), 77);
  EXPECT_EQ(Send(l, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("AP")), 0);
  EXPECT_EQ(Send(l, LB_FINDSTRING, 0, reinterpret_cast<LPARAM>("ap")), 1);
  EXPECT_EQ(
      Send(l, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("BANANA")), 2);
  EXPECT_EQ(Send(l, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("ban")),
            LB_ERR);
}

}  // namespace
}  // namespace tavrin::test
