// Window state: the tree (GetParent, GetWindow, IsChild), window longs,
// window text, enabling, showing, focus, activation, capture and the key
// state of the Linux platform's window half.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "user32_state.h"
#include "user_internal.h"

namespace tavrin::platform::user {
namespace {

// The rectangle of an iconic (minimized) top-level window, as Wine puts it.
constexpr LONG kIconicPosition = -32000;
constexpr LONG kIconicWidth = 160;
constexpr LONG kIconicHeight = 24;

// The pseudo handle of the desktop: never given to a real window.
const HWND kDesktop = reinterpret_cast<HWND>(std::uintptr_t{0x10000});

// Reads a window long; `pointerSized` selects the *LongPtr form.
bool ReadLong(const Window& w, int index, bool pointerSized, LONG_PTR& out) {
  switch (index) {
    case GWL_STYLE:
      out = static_cast<LONG>(w.style);
      return true;
    case GWL_EXSTYLE:
      out = static_cast<LONG>(w.exStyle);
      return true;
    case GWL_ID:
      out = w.id;
      return true;
    case GWL_USERDATA:
      out = w.userData;
      return true;
    case GWL_HINSTANCE:
      out = reinterpret_cast<LONG_PTR>(w.instance);
      return true;
    case GWL_WNDPROC:
      out = reinterpret_cast<LONG_PTR>(w.proc);
      return true;
    case GWL_HWNDPARENT:
      out = reinterpret_cast<LONG_PTR>((w.style & WS_CHILD) ? w.parent : w.owner);
      return true;
    default:
      break;
  }
  if (index < 0) return false;
  if (w.isDialog) {
    switch (index) {
      case DWL_MSGRESULT:
        out = w.dialog.msgResult;
        return true;
      case DWL_DLGPROC:
        out = reinterpret_cast<LONG_PTR>(w.dialog.proc);
        return true;
      case DWL_USER:
        out = w.dialog.user;
        return true;
      default:
        break;
    }
  }
  const std::size_t size = pointerSized ? sizeof(LONG_PTR) : sizeof(LONG);
  if (static_cast<std::size_t>(index) + size > w.extra.size()) return false;  // ERROR_INVALID_INDEX
  if (pointerSized) {
    std::memcpy(&out, w.extra.data() + index, size);
  } else {
    LONG v = 0;
    std::memcpy(&v, w.extra.data() + index, size);
    out = v;
  }
  return true;
}

void ChangeStyle(const WindowPtr& w, int index, DWORD value) {
  DWORD& field = index == GWL_STYLE ? w->style : w->exStyle;
  STYLESTRUCT ss{field, value};
  Deliver(w, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
  if (w->gone) return;
  DWORD& again = index == GWL_STYLE ? w->style : w->exStyle;
  ss.styleOld = again;
  again = ss.styleNew;
  Deliver(w, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
}

// Writes a window long and gives back the old value; false when the index
// is not valid for this window.
bool WriteLong(const WindowPtr& w, int index, LONG_PTR value, bool pointerSized, LONG_PTR& old) {
  if (!ReadLong(*w, index, pointerSized, old)) return false;
  switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE:
      ChangeStyle(w, index, static_cast<DWORD>(value));
      return true;
    case GWL_ID:
      w->id = static_cast<LONG>(value);
      return true;
    case GWL_USERDATA:
      w->userData = value;
      return true;
    case GWL_HINSTANCE:
      w->instance = reinterpret_cast<HINSTANCE>(value);
      return true;
    case GWL_WNDPROC:
      // A 32-bit LONG cannot hold a procedure address on a 64-bit host.
      if (!pointerSized || value == 0) return false;
      w->proc = reinterpret_cast<WNDPROC>(value);
      return true;
    case GWL_HWNDPARENT:
      if (!(w->style & WS_CHILD)) w->owner = reinterpret_cast<HWND>(value);
      return true;
    default:
      break;
  }
  if (w->isDialog) {
    switch (index) {
      case DWL_MSGRESULT:
        w->dialog.msgResult = value;
        return true;
      case DWL_DLGPROC:
        if (!pointerSized && value != 0) return false;  // see GWL_WNDPROC
        w->dialog.proc = reinterpret_cast<DLGPROC>(value);
        return true;
      case DWL_USER:
        w->dialog.user = value;
        return true;
      default:
        break;
    }
  }
  const std::size_t size = pointerSized ? sizeof(LONG_PTR) : sizeof(LONG);
  if (pointerSized) {
    std::memcpy(w->extra.data() + index, &value, size);
  } else {
    const LONG v = static_cast<LONG>(value);
    std::memcpy(w->extra.data() + index, &v, size);
  }
  return true;
}

// Commands of ShowWindow that activate a top-level window.
bool Activates(int command) {
  switch (command) {
    case SW_SHOWNORMAL:
    case SW_SHOWMAXIMIZED:
    case SW_SHOW:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
    case SW_SHOWMINIMIZED:
      return true;
    default:
      return false;
  }
}

RECT MaximizedRect(const Window& w) {
  RECT area{};
  if ((w.style & WS_CHILD) && w.parent) {
    if (auto parent = Find(w.parent)) {
      SIZE s = ClientSize(*parent);
      area = RECT{0, 0, s.cx, s.cy};
    }
  } else {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  }
  // The side frame lies outside the area, the caption inside: a maximized
  // dialog of Wine's spans -3,-3 to 1027,771 on a 1024x768 work area.
  const LONG side = FrameInsets(w.style, w.exStyle).left;
  return RECT{area.left - side, area.top - side, area.right + side, area.bottom + side};
}

void HideWindow(const WindowPtr& w) {
  const HWND h = w->handle;
  if (w->style & WS_CHILD) {
    w->style &= ~static_cast<DWORD>(WS_VISIBLE);
    if (w->parent) InvalidateWindow(w->parent);
  } else {
    SetWindowPos(h, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (w->gone) return;
  auto& t = CurrentThread();
  if (IsSelfOrDescendant(h, t.focus)) ChangeFocus((w->style & WS_CHILD) ? w->parent : nullptr);
  if (t.active == h) ActivateOwnerOf(*w);
}

// Shows a hidden window or re-places a shown one at `rect` with `flags`.
void Place(const WindowPtr& w, const RECT* rect, UINT flags, bool activate) {
  const HWND h = w->handle;
  if (w->style & WS_CHILD) {
    w->style |= WS_VISIBLE;
    if (rect) {
      SetWindowPos(h, nullptr, rect->left, rect->top, rect->right - rect->left,
                   rect->bottom - rect->top, flags | SWP_NOACTIVATE);
    }
    InvalidateWindow(h);
    return;
  }
  if (!activate) flags |= SWP_NOACTIVATE;
  if (rect) {
    SetWindowPos(h, nullptr, rect->left, rect->top, rect->right - rect->left,
                 rect->bottom - rect->top, flags | SWP_SHOWWINDOW);
  } else {
    SetWindowPos(h, nullptr, 0, 0, 0, 0, flags | SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE);
  }
}

}  // namespace

HWND ChangeFocus(HWND handle) {
  auto& t = CurrentThread();
  const HWND previous = t.focus;
  if (previous == handle) return previous;
  if (auto old = Find(previous)) {
    Deliver(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
    if (t.focus != previous) return previous;  // the old window moved the focus itself
  }
  auto next = Find(handle);
  t.focus = next ? handle : nullptr;
  if (next)
    Deliver(next, WM_SETFOCUS, reinterpret_cast<WPARAM>(Find(previous) ? previous : nullptr), 0);
  return previous;
}

void Activate(HWND handle) {
  auto& t = CurrentThread();
  const HWND old = t.active;
  if (old == handle) return;
  auto oldWindow = Find(old);
  if (oldWindow) {
    Deliver(oldWindow, WM_NCACTIVATE, FALSE, 0);
    Deliver(oldWindow, WM_ACTIVATE,
            MAKEWPARAM(WA_INACTIVE, (oldWindow->style & WS_MINIMIZE) ? 1 : 0),
            reinterpret_cast<LPARAM>(handle));
  }
  auto w = Find(handle);
  t.active = w ? handle : nullptr;
  if (!w) {
    if (oldWindow) Deliver(oldWindow, WM_ACTIVATEAPP, FALSE, 0);
    if (t.focus) ChangeFocus(nullptr);
    return;
  }
  if (!oldWindow) Deliver(w, WM_ACTIVATEAPP, TRUE, 0);
  Deliver(w, WM_NCACTIVATE, TRUE, 0);
  Deliver(w, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, (w->style & WS_MINIMIZE) ? 1 : 0),
          reinterpret_cast<LPARAM>(oldWindow ? old : nullptr));
  // Activation gives the window the focus unless a window inside it has it
  // already; a dialog then passes it on to a control (WM_SETFOCUS).
  if (t.active == handle && !w->gone && !IsSelfOrDescendant(handle, t.focus)) ChangeFocus(handle);
}

void ActivateOwnerOf(const Window& window) {
  HWND next = nullptr;
  if (auto owner = Find(window.owner);
      owner && (owner->style & WS_VISIBLE) && !(owner->style & WS_DISABLED))
    next = owner->handle;
  Activate(next);
}

}  // namespace tavrin::platform::user

using namespace tavrin::platform::user;

BOOL IsChild(HWND hWndParent, HWND hWnd) {
  return hWndParent != hWnd && IsSelfOrDescendant(hWndParent, hWnd) ? TRUE : FALSE;
}

HWND GetParent(HWND hWnd) {
  auto w = Find(hWnd);
  if (!w) return nullptr;
  if (w->style & WS_CHILD) return w->parent;
  if (w->style & WS_POPUP) return w->owner;  // a popup's "parent" is its owner
  return nullptr;
}

HWND GetDesktopWindow() {
  return kDesktop;
}

HWND GetWindow(HWND hWnd, UINT uCmd) {
  auto w = Find(hWnd);
  if (!w) return nullptr;
  if (uCmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  if (uCmd == GW_OWNER) return (w->style & WS_CHILD) ? nullptr : w->owner;
  std::vector<HWND> siblings;
  if ((w->style & WS_CHILD) && w->parent) {
    if (auto parent = Find(w->parent)) siblings = parent->children;
  } else {
    siblings = ThreadTopLevelWindows();
  }
  auto it = std::find(siblings.begin(), siblings.end(), hWnd);
  if (it == siblings.end()) return nullptr;
  switch (uCmd) {
    case GW_HWNDFIRST:
      return siblings.front();
    case GW_HWNDLAST:
      return siblings.back();
    case GW_HWNDNEXT:
      return std::next(it) == siblings.end() ? nullptr : *std::next(it);
    case GW_HWNDPREV:
      return it == siblings.begin() ? nullptr : *std::prev(it);
    default:
      return nullptr;
  }
}

LONG GetWindowLongA(HWND hWnd, int nIndex) {
  auto w = Find(hWnd);
  LONG_PTR v = 0;
  if (!w || !ReadLong(*w, nIndex, false, v)) return 0;
  // A value that does not fit in a LONG (an address on a 64-bit host) is
  // reported as 0 rather than cut; GetWindowLongPtrA gives it whole.
  return v == static_cast<LONG>(v) ? static_cast<LONG>(v) : 0;
}

LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
  auto w = Find(hWnd);
  LONG_PTR old = 0;
  if (!w || !WriteLong(w, nIndex, dwNewLong, false, old)) return 0;
  return old == static_cast<LONG>(old) ? static_cast<LONG>(old) : 0;
}

LONG_PTR GetWindowLongPtrA(HWND hWnd, int nIndex) {
  auto w = Find(hWnd);
  LONG_PTR v = 0;
  if (!w || !ReadLong(*w, nIndex, true, v)) return 0;
  return v;
}

LONG_PTR SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  auto w = Find(hWnd);
  LONG_PTR old = 0;
  if (!w || !WriteLong(w, nIndex, dwNewLong, true, old)) return 0;
  return old;
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString) {
  if (!Find(hWnd)) return FALSE;
  return SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) ? TRUE : FALSE;
}

int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
  if (lpString == nullptr || nMaxCount <= 0) return 0;
  lpString[0] = '\0';
  if (!Find(hWnd)) return 0;
  return static_cast<int>(SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                       reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextLengthA(HWND hWnd) {
  if (!Find(hWnd)) return 0;
  return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
  auto w = Find(hWnd);
  if (!w) return FALSE;
  const bool wasDisabled = (w->style & WS_DISABLED) != 0;
  // WM_ENABLE only when the state changes; the result is the old disabled state.
  if (bEnable && wasDisabled) {
    w->style &= ~static_cast<DWORD>(WS_DISABLED);
    Deliver(w, WM_ENABLE, TRUE, 0);
  } else if (!bEnable && !wasDisabled) {
    w->style |= WS_DISABLED;
    if (IsSelfOrDescendant(hWnd, CurrentThread().focus)) ChangeFocus(nullptr);
    if (!w->gone) Deliver(w, WM_ENABLE, FALSE, 0);
  }
  return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hWnd) {
  auto w = Find(hWnd);
  return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hWnd) {
  auto w = Find(hWnd);
  while (w) {
    if (!(w->style & WS_VISIBLE)) return FALSE;
    if (!(w->style & WS_CHILD)) return TRUE;
    w = Find(w->parent);
  }
  return FALSE;
}

BOOL IsIconic(HWND hWnd) {
  auto w = Find(hWnd);
  return w && (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hWnd) {
  auto w = Find(hWnd);
  return w && (w->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
  auto w = Find(hWnd);
  if (!w) return FALSE;
  const bool wasVisible = (w->style & WS_VISIBLE) != 0;
  const bool topLevel = !(w->style & WS_CHILD);
  const bool activate = topLevel && Activates(nCmdShow);
  const UINT moveFlags = SWP_NOZORDER | SWP_FRAMECHANGED;

  switch (nCmdShow) {
    case SW_HIDE:
      if (!wasVisible) return FALSE;
      Deliver(w, WM_SHOWWINDOW, FALSE, 0);
      if (!w->gone) HideWindow(w);
      return TRUE;
    case SW_SHOWMAXIMIZED: {
      if (!wasVisible) Deliver(w, WM_SHOWWINDOW, TRUE, 0);
      if (w->gone) return wasVisible;
      if (!(w->style & (WS_MAXIMIZE | WS_MINIMIZE))) w->normalRect = w->rect;
      w->style = (w->style & ~static_cast<DWORD>(WS_MINIMIZE)) | WS_MAXIMIZE;
      const RECT r = MaximizedRect(*w);
      Place(w, &r, moveFlags, activate);
      return wasVisible;
    }
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE: {
      if (!wasVisible) Deliver(w, WM_SHOWWINDOW, TRUE, 0);
      if (w->gone) return wasVisible;
      if (!(w->style & (WS_MAXIMIZE | WS_MINIMIZE))) w->normalRect = w->rect;
      w->style = (w->style & ~static_cast<DWORD>(WS_MAXIMIZE)) | WS_MINIMIZE;
      RECT r{kIconicPosition, kIconicPosition, kIconicPosition + kIconicWidth,
             kIconicPosition + kIconicHeight};
      if (!topLevel) r = RECT{0, 0, kIconicWidth, kIconicHeight};
      Place(w, &r, moveFlags, activate);
      if (nCmdShow == SW_MINIMIZE && CurrentThread().active == hWnd) Activate(nullptr);
      return wasVisible;
    }
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
      if (w->style & (WS_MAXIMIZE | WS_MINIMIZE)) {
        if (!wasVisible) Deliver(w, WM_SHOWWINDOW, TRUE, 0);
        if (w->gone) return wasVisible;
        w->style &= ~static_cast<DWORD>(WS_MAXIMIZE | WS_MINIMIZE);
        const RECT r = w->normalRect;
        Place(w, &r, moveFlags, activate);
        return wasVisible;
      }
      [[fallthrough]];
    default:
      if (wasVisible) {
        if (activate) Activate(hWnd);
        return TRUE;
      }
      Deliver(w, WM_SHOWWINDOW, TRUE, 0);
      if (!w->gone) Place(w, nullptr, SWP_NOZORDER, activate);
      return FALSE;
  }
}

HWND SetFocus(HWND hWnd) {
  auto& t = CurrentThread();
  const HWND previous = t.focus;
  if (hWnd == nullptr) {
    ChangeFocus(nullptr);
    return previous;
  }
  auto w = Find(hWnd);
  if (!w || w->thread != std::this_thread::get_id()) return nullptr;
  const HWND top = TopLevelOf(hWnd);
  if (t.active != top) Activate(top);
  if (!Find(hWnd)) return nullptr;
  ChangeFocus(hWnd);
  return previous;
}

HWND GetFocus() {
  return CurrentThread().focus;
}

HWND SetActiveWindow(HWND hWnd) {
  const HWND previous = CurrentThread().active;
  if (hWnd && !Find(hWnd)) return nullptr;
  Activate(hWnd ? TopLevelOf(hWnd) : nullptr);
  return previous;
}

HWND GetActiveWindow() {
  return CurrentThread().active;
}
HWND GetForegroundWindow() {
  return CurrentThread().active;
}

BOOL SetForegroundWindow(HWND hWnd) {
  if (!Find(hWnd)) return FALSE;
  Activate(TopLevelOf(hWnd));
  return TRUE;
}

HWND SetCapture(HWND hWnd) {
  auto& t = CurrentThread();
  const HWND previous = t.capture;
  if (!Find(hWnd)) return previous;
  t.capture = hWnd;
  if (auto old = Find(previous); old && previous != hWnd)
    Deliver(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
  return previous;
}

HWND GetCapture() {
  return CurrentThread().capture;
}

BOOL ReleaseCapture() {
  auto& t = CurrentThread();
  const HWND previous = t.capture;
  t.capture = nullptr;
  if (auto old = Find(previous)) Deliver(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

SHORT GetKeyState(int nVirtKey) {
  // Win32 reports a held key with the high bit set (0xFF80).
  constexpr SHORT kDown = static_cast<SHORT>(-128);
  const auto& keys = CurrentThread().keys;
  const auto index = static_cast<std::size_t>(nVirtKey & 0xFF);
  bool down = keys[index];
  if (nVirtKey == VK_SHIFT) down = down || keys[VK_LSHIFT] || keys[VK_RSHIFT];
  if (nVirtKey == VK_CONTROL) down = down || keys[VK_LCONTROL] || keys[VK_RCONTROL];
  if (nVirtKey == VK_MENU) down = down || keys[VK_LMENU] || keys[VK_RMENU];
  return down ? kDown : SHORT{0};
}

SHORT GetAsyncKeyState(int vKey) {
  return GetKeyState(vKey);
}

namespace tavrin::platform {

void SetKeyDown(int vk, bool down) {
  user::CurrentThread().keys[static_cast<std::size_t>(vk & 0xFF)] = down;
}

void ReleaseAllKeys() {
  user::CurrentThread().keys.fill(false);
}

}  // namespace tavrin::platform
