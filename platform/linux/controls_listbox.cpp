// The LISTBOX class, and the drop-down list of a combo box (ComboLBox): its
// items, sorted when LBS_SORT asks, the single selection, item data, finding
// by prefix, and LBN_* notifications for the mouse and the arrow keys.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "controls_common.h"
#include "user_internal.h"

namespace tavrin::platform::controls {
namespace {

// Wine: items are 16 pixels high (LB_GETITEMHEIGHT of a new list box).
constexpr int kDefaultItemHeight = 16;

struct Item {
  std::string text;
  ULONG_PTR data = 0;
};

struct ListState {
  std::vector<Item> items;
  int selected = LB_ERR;
  int itemHeight = kDefaultItemHeight;
  HWND owner = nullptr;  // the combo box of a drop-down list
  HFONT font = nullptr;
};

StateTable<ListState>& States() {
  static StateTable<ListState> table;
  return table;
}

// The order of a sorted list, as Wine's comparison sorts ASCII texts: case
// is ignored, hyphens and apostrophes are passed over at first, and other
// punctuation comes before digits, which come before letters.
int Rank(unsigned char c) {
  if (std::isalpha(c)) return 2;
  if (std::isdigit(c)) return 1;
  return 0;
}

bool Skipped(unsigned char c) {
  return c == '-' || c == '\'';
}

// Position of the first hyphen or apostrophe; the length when there is none,
// which ranks a text without one before any text with one.
std::size_t FirstSkipped(const std::string& s) {
  for (std::size_t i = 0; i < s.size(); ++i)
    if (Skipped(static_cast<unsigned char>(s[i]))) return i;
  return std::string::npos;
}

int Compare(const std::string& a, const std::string& b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (true) {
    while (i < a.size() && Skipped(static_cast<unsigned char>(a[i]))) ++i;
    while (j < b.size() && Skipped(static_cast<unsigned char>(b[j]))) ++j;
    if (i == a.size() || j == b.size()) break;
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[j]);
    if (Rank(x) != Rank(y)) return Rank(x) < Rank(y) ? -1 : 1;
    const int lx = std::tolower(x);
    const int ly = std::tolower(y);
    if (lx != ly) return lx < ly ? -1 : 1;
    ++i;
    ++j;
  }
  const bool aDone = i == a.size();
  const bool bDone = j == b.size();
  if (aDone != bDone) return aDone ? -1 : 1;
  // Equal but for hyphens and apostrophes: Wine puts a text without them
  // first, and of two with them the one whose first comes later ("x-"
  // before "-x").
  const std::size_t ha = FirstSkipped(a);
  const std::size_t hb = FirstSkipped(b);
  if (ha != hb) return ha > hb ? -1 : 1;
  return 0;
}

// Where a new item goes in a sorted list: before the first item that is not
// less than it (Wine puts "a" before an existing "A").
std::size_t SortedPosition(const ListState& s, const std::string& text) {
  std::size_t i = 0;
  while (i < s.items.size() && Compare(s.items[i].text, text) < 0) ++i;
  return i;
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  const std::size_t n = std::strlen(prefix);
  if (text.size() < n) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

// LB_FINDSTRING(EXACT): the first item after `after` (wrapping round; -1
// searches from the top) that starts with, or equals, the text.
LRESULT FindItem(const ListState& s, WPARAM after, const char* text, bool exact) {
  if (text == nullptr || s.items.empty()) return LB_ERR;
  const int count = static_cast<int>(s.items.size());
  int start = static_cast<int>(after);
  if (start < -1 || start >= count) start = -1;
  for (int k = 1; k <= count; ++k) {
    const int i = (start + k) % count;
    const std::string& item = s.items[static_cast<std::size_t>(i)].text;
    const bool hit = exact ? (item.size() == std::strlen(text) && StartsWithNoCase(item, text))
                           : StartsWithNoCase(item, text);
    if (hit) return i;
  }
  return LB_ERR;
}

bool Valid(const ListState& s, WPARAM index) {
  return static_cast<int>(index) >= 0 &&
         static_cast<std::size_t>(static_cast<int>(index)) < s.items.size();
}

LRESULT Insert(HWND w, ListState& s, std::size_t at, const char* text) {
  s.items.insert(s.items.begin() + static_cast<std::ptrdiff_t>(at), Item{text ? text : "", 0});
  // Wine: an item added at or before the selection moves the selection down.
  if (s.selected != LB_ERR && static_cast<int>(at) <= s.selected) ++s.selected;
  InvalidateWindow(w);
  return static_cast<LRESULT>(at);
}

// Notifications go to the parent of a list box, and to the combo box of a
// drop-down list.
HWND NotifyTarget(HWND w, const ListState& s) {
  return s.owner ? s.owner : GetParent(w);
}

void NotifySelection(HWND w, const ListState& s) {
  if (Style(w) & LBS_NOTIFY) Notify(w, NotifyTarget(w, s), LBN_SELCHANGE);
}

// Selects the item under a click or an arrow key, as the user does: the
// parent hears LBN_SELCHANGE when the list has LBS_NOTIFY.
void UserSelect(HWND w, ListState& s, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= s.items.size()) return;
  s.selected = index;
  InvalidateWindow(w);
  NotifySelection(w, s);
}

}  // namespace

void SetListOwner(HWND list, HWND combo) {
  if (auto s = States().Get(list)) s->owner = combo;
}

HWND ListOwner(HWND list) {
  auto s = States().Get(list);
  return s ? s->owner : nullptr;
}

LRESULT CALLBACK ListBoxProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  auto s = States().For(w, message);
  if (!s) return DefWindowProcA(w, message, wParam, lParam);
  if (auto r = HandleShared(States(), w, kKeepsFont, &s->font, message, wParam, lParam)) return *r;
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_PAINT:
      Paint(w, NotifyTarget(w, *s), WM_CTLCOLORLISTBOX, nullptr);
      return 0;
    case WM_SETFOCUS:
      if (Style(w) & LBS_NOTIFY) Notify(w, NotifyTarget(w, *s), LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      if (Style(w) & LBS_NOTIFY) Notify(w, NotifyTarget(w, *s), LBN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
      if (!s->owner && GetFocus() != w) SetFocus(w);
      if (IsWindow(w)) UserSelect(w, *s, static_cast<short>(HIWORD(lParam)) / s->itemHeight);
      return 0;
    case WM_LBUTTONUP:
      // A click in a drop-down list chooses the item: the combo box closes it.
      if (s->owner) ComboListChosen(s->owner);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_DOWN) UserSelect(w, *s, s->selected == LB_ERR ? 0 : s->selected + 1);
      if (wParam == VK_UP && s->selected > 0) UserSelect(w, *s, s->selected - 1);
      return 0;
    case LB_ADDSTRING: {
      const char* text = reinterpret_cast<const char*>(lParam);
      const bool sorted = (Style(w) & LBS_SORT) != 0;
      return Insert(w, *s, sorted ? SortedPosition(*s, text ? text : "") : s->items.size(), text);
    }
    case LB_INSERTSTRING: {
      const int at = static_cast<int>(wParam);
      if (at == -1) return Insert(w, *s, s->items.size(), reinterpret_cast<const char*>(lParam));
      if (at < 0 || static_cast<std::size_t>(at) > s->items.size()) return LB_ERR;
      return Insert(w, *s, static_cast<std::size_t>(at), reinterpret_cast<const char*>(lParam));
    }
    case LB_DELETESTRING: {
      if (!Valid(*s, wParam)) return LB_ERR;
      const int at = static_cast<int>(wParam);
      s->items.erase(s->items.begin() + at);
      // Wine: deleting the selected item leaves nothing selected; deleting
      // one above it moves the selection up.
      if (at == s->selected)
        s->selected = LB_ERR;
      else if (at < s->selected)
        --s->selected;
      InvalidateWindow(w);
      return static_cast<LRESULT>(s->items.size());
    }
    case LB_RESETCONTENT:
      s->items.clear();
      s->selected = LB_ERR;
      InvalidateWindow(w);
      return LB_OKAY;
    case LB_GETCOUNT:
      return static_cast<LRESULT>(s->items.size());
    case LB_SETCURSEL:
      // Wine: -1 clears the selection and reports LB_ERR; an index past the
      // end fails and keeps the selection.
      if (static_cast<int>(wParam) == -1) {
        s->selected = LB_ERR;
        InvalidateWindow(w);
        return LB_ERR;
      }
      if (!Valid(*s, wParam)) return LB_ERR;
      s->selected = static_cast<int>(wParam);
      InvalidateWindow(w);
      return s->selected;
    case LB_GETCURSEL:
      return s->selected;
    case LB_GETSEL:
      if (!Valid(*s, wParam)) return LB_ERR;
      return static_cast<int>(wParam) == s->selected ? 1 : 0;
    case LB_GETTEXT: {
      if (!Valid(*s, wParam)) return LB_ERR;
      const std::string& text = s->items[wParam].text;
      if (lParam) std::memcpy(reinterpret_cast<char*>(lParam), text.c_str(), text.size() + 1);
      return static_cast<LRESULT>(text.size());
    }
    case LB_GETTEXTLEN:
      if (!Valid(*s, wParam)) return LB_ERR;
      return static_cast<LRESULT>(s->items[wParam].text.size());
    case LB_GETITEMDATA:
      if (!Valid(*s, wParam)) return LB_ERR;
      return static_cast<LRESULT>(s->items[wParam].data);
    case LB_SETITEMDATA:
      if (!Valid(*s, wParam)) return LB_ERR;
      s->items[wParam].data = static_cast<ULONG_PTR>(lParam);
      return TRUE;
    case LB_FINDSTRING:
      return FindItem(*s, wParam, reinterpret_cast<const char*>(lParam), false);
    case LB_FINDSTRINGEXACT:
      return FindItem(*s, wParam, reinterpret_cast<const char*>(lParam), true);
    case LB_SELECTSTRING: {
      const LRESULT found = FindItem(*s, wParam, reinterpret_cast<const char*>(lParam), false);
      if (found != LB_ERR) s->selected = static_cast<int>(found);
      return found;
    }
    case LB_GETITEMHEIGHT:
      return s->itemHeight;
    case LB_SETITEMHEIGHT:
      if (LOWORD(lParam) == 0 || LOWORD(lParam) > 255) return LB_ERR;
      s->itemHeight = LOWORD(lParam);
      return LB_OKAY;
    default:
      return DefWindowProcA(w, message, wParam, lParam);
  }
}

}  // namespace tavrin::platform::controls
