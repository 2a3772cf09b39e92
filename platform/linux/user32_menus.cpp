// Menus: CreateMenu, AppendMenuA, the menu item information calls and the
// menu bar of a top-level window (SetMenu, GetMenu). Menus are data only;
// nothing draws them or tracks them with the mouse.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "user32_state.h"

namespace tavrin::platform::user {
namespace {

// Menu handles come from their own range, apart from window handles.
constexpr std::uintptr_t kFirstMenuHandle = 0x20000;
constexpr std::uintptr_t kMenuHandleStep = 2;
// MENUITEMINFOA sizes Win32 accepts: without hbmpItem (44 on 32-bit
// Windows) and anything larger, such as the full structure (48 there, more
// on a 64-bit host); 40 is refused.
constexpr UINT kSmallestMenuItemInfo = 44;

struct MenuItem {
  UINT id = 0;
  UINT type = MFT_STRING;
  UINT state = 0;
  HMENU submenu = nullptr;
  ULONG_PTR data = 0;
  std::string text;
};

struct Menus {
  std::mutex lock;
  std::uintptr_t next = kFirstMenuHandle;
  std::map<std::uintptr_t, std::vector<MenuItem>> menus;
};

Menus& Table() {
  static Menus menus;
  return menus;
}

std::uintptr_t Key(HMENU m) {
  return reinterpret_cast<std::uintptr_t>(m);
}

// Finds an item by position, or by command id in the menu and, as Win32
// does, in its submenus. Call with the lock held.
MenuItem* FindItem(Menus& t, HMENU menu, UINT item, bool byPosition, int depth = 0) {
  auto it = t.menus.find(Key(menu));
  if (it == t.menus.end() || depth > 16) return nullptr;
  auto& items = it->second;
  if (byPosition) return item < items.size() ? &items[item] : nullptr;
  for (auto& i : items)
    if (!i.submenu && i.id == item) return &i;
  for (auto& i : items) {
    if (!i.submenu) continue;
    if (i.id == item) return &i;
    if (MenuItem* found = FindItem(t, i.submenu, item, false, depth + 1)) return found;
  }
  return nullptr;
}

HMENU NewMenu() {
  auto& t = Table();
  std::lock_guard guard(t.lock);
  const std::uintptr_t h = t.next;
  t.next += kMenuHandleStep;
  t.menus.emplace(h, std::vector<MenuItem>{});
  return reinterpret_cast<HMENU>(h);
}

}  // namespace

void DestroyMenuTree(HMENU menu) {
  std::vector<HMENU> submenus;
  {
    auto& t = Table();
    std::lock_guard guard(t.lock);
    auto it = t.menus.find(Key(menu));
    if (it == t.menus.end()) return;
    for (const auto& i : it->second)
      if (i.submenu) submenus.push_back(i.submenu);
    t.menus.erase(it);
  }
  for (HMENU sub : submenus) DestroyMenuTree(sub);
}

}  // namespace tavrin::platform::user

using namespace tavrin::platform::user;

HMENU CreateMenu() {
  return NewMenu();
}
HMENU CreatePopupMenu() {
  return NewMenu();
}

BOOL IsMenu(HMENU hMenu) {
  auto& t = Table();
  std::lock_guard guard(t.lock);
  return t.menus.count(Key(hMenu)) ? TRUE : FALSE;
}

BOOL DestroyMenu(HMENU hMenu) {
  if (!IsMenu(hMenu)) return FALSE;
  DestroyMenuTree(hMenu);
  return TRUE;
}

BOOL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
  auto& t = Table();
  std::lock_guard guard(t.lock);
  auto it = t.menus.find(Key(hMenu));
  if (it == t.menus.end()) return FALSE;
  MenuItem item;
  item.type = uFlags & MF_SEPARATOR;
  item.state = uFlags & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
  if (uFlags & MF_POPUP) {
    item.submenu = reinterpret_cast<HMENU>(uIDNewItem);
    item.id = static_cast<UINT>(uIDNewItem);
  } else {
    item.id = static_cast<UINT>(uIDNewItem);
  }
  if (!(uFlags & MF_SEPARATOR) && lpNewItem) item.text = lpNewItem;
  it->second.push_back(std::move(item));
  return TRUE;
}

int GetMenuItemCount(HMENU hMenu) {
  auto& t = Table();
  std::lock_guard guard(t.lock);
  auto it = t.menus.find(Key(hMenu));
  return it == t.menus.end() ? -1 : static_cast<int>(it->second.size());
}

BOOL GetMenuItemInfoA(HMENU hmenu, UINT item, BOOL fByPosition, LPMENUITEMINFOA lpmii) {
  if (lpmii == nullptr || lpmii->cbSize < kSmallestMenuItemInfo) return FALSE;
  auto& t = Table();
  std::lock_guard guard(t.lock);
  const MenuItem* i = FindItem(t, hmenu, item, fByPosition != 0);
  if (!i) return FALSE;
  const UINT mask = lpmii->fMask;
  if (mask & (MIIM_FTYPE | MIIM_TYPE)) lpmii->fType = i->type;
  if (mask & MIIM_STATE) lpmii->fState = i->state;
  if (mask & MIIM_ID) lpmii->wID = i->id;
  if (mask & MIIM_SUBMENU) lpmii->hSubMenu = i->submenu;
  if (mask & MIIM_DATA) lpmii->dwItemData = i->data;
  if (mask & (MIIM_STRING | MIIM_TYPE)) {
    // Copies at most cch - 1 bytes and a zero; cch becomes the text length.
    if (lpmii->dwTypeData && lpmii->cch > 0) {
      const std::size_t n = std::min<std::size_t>(i->text.size(), lpmii->cch - 1);
      std::memcpy(lpmii->dwTypeData, i->text.data(), n);
      lpmii->dwTypeData[n] = '\0';
    }
    lpmii->cch = static_cast<UINT>(i->text.size());
  }
  return TRUE;
}

BOOL SetMenuItemInfoA(HMENU hmenu, UINT item, BOOL fByPositon, LPCMENUITEMINFOA lpmii) {
  if (lpmii == nullptr || lpmii->cbSize < kSmallestMenuItemInfo) return FALSE;
  auto& t = Table();
  std::lock_guard guard(t.lock);
  MenuItem* i = FindItem(t, hmenu, item, fByPositon != 0);
  if (!i) return FALSE;
  const UINT mask = lpmii->fMask;
  if (mask & (MIIM_FTYPE | MIIM_TYPE)) i->type = lpmii->fType;
  if (mask & MIIM_STATE) i->state = lpmii->fState;
  if (mask & MIIM_ID) i->id = lpmii->wID;
  if (mask & MIIM_SUBMENU) i->submenu = lpmii->hSubMenu;
  if (mask & MIIM_DATA) i->data = lpmii->dwItemData;
  if ((mask & (MIIM_STRING | MIIM_TYPE)) && lpmii->dwTypeData) i->text = lpmii->dwTypeData;
  return TRUE;
}

HMENU GetMenu(HWND hWnd) {
  auto w = Find(hWnd);
  return w && !(w->style & WS_CHILD) ? w->menu : nullptr;
}

BOOL SetMenu(HWND hWnd, HMENU hMenu) {
  auto w = Find(hWnd);
  if (!w || (w->style & WS_CHILD)) return FALSE;
  if (hMenu && !IsMenu(hMenu)) return FALSE;
  // The window keeps its rectangle; the client area gives room to the bar.
  const SIZE before = ClientSize(*w);
  w->menu = hMenu;
  const SIZE after = ClientSize(*w);
  if (before.cx != after.cx || before.cy != after.cy) {
    Deliver(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(after.cx, after.cy));
    InvalidateRect(hWnd, nullptr, TRUE);
  }
  return TRUE;
}
