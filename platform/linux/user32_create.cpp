// Window creation and destruction: CreateWindowExA with Win32's creation
// messages, DestroyWindow with Win32's order of WM_DESTROY and WM_NCDESTROY,
// IsWindow, and the test hook that clears a thread's windows.
#include <algorithm>
#include <cstdint>

#include "platform/linux/hooks.h"
#include "platform/linux/user_hooks.h"
#include "platform/wrap32.h"
#include "user32_state.h"

namespace tavrin::platform::user {
namespace {

// Default size of an overlapped window given CW_USEDEFAULT: Wine on a
// 1024x768 screen makes it 768x576 at 0,0; a popup gets 0x0.
constexpr int kDefaultOverlappedWidth = 768;
constexpr int kDefaultOverlappedHeight = 576;

// WM_DESTROY goes to the window first and then to its children, parent
// before child, in creation order.
void SendDestroy(const WindowPtr& window) {
  if (window->gone) return;
  window->destroying = true;
  Deliver(window, WM_DESTROY, 0, 0);
  const auto children = window->children;
  for (HWND h : children)
    if (auto child = Find(h)) SendDestroy(child);
}

void ForgetThreadReferences(HWND handle) {
  auto& t = CurrentThread();
  if (t.focus == handle) t.focus = nullptr;
  if (t.active == handle) t.active = nullptr;
  if (t.capture == handle) t.capture = nullptr;
}

// WM_NCDESTROY goes to the children first (depth first, creation order)
// and last to the window itself; then the handle dies.
void Free(const WindowPtr& window) {
  if (window->gone) return;
  const auto children = window->children;
  for (HWND h : children)
    if (auto child = Find(h)) Free(child);
  Deliver(window, WM_NCDESTROY, 0, 0);
  if (window->gone) return;
  if ((window->style & WS_CHILD) && window->parent) {
    if (auto parent = Find(window->parent)) std::erase(parent->children, window->handle);
  }
  PurgeMessages(*window);
  KillWindowTimers(window->handle);
  if (window->menu) DestroyMenuTree(window->menu);  // the menu bar goes with its window
  window->menu = nullptr;
  ForgetThreadReferences(window->handle);
  RemoveWindow(window);
}

// Hides a window that is being destroyed, as Win32 does before WM_DESTROY:
// a child through WM_SHOWWINDOW, a top-level window through SetWindowPos.
void HideForDestroy(const WindowPtr& window) {
  if (!(window->style & WS_VISIBLE)) return;
  if (window->style & WS_CHILD) {
    ShowWindow(window->handle, SW_HIDE);
  } else {
    SetWindowPos(window->handle, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace
}  // namespace tavrin::platform::user

using namespace tavrin::platform::user;

HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X,
                     int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                     HINSTANCE hInstance, LPVOID lpParam) {
  if (tavrin::platform::ConsumeFailure(tavrin::platform::Fail::CreateWindowExA)) return nullptr;
  auto cls = FindClass(lpClassName);
  if (!cls) return nullptr;  // ERROR_CANNOT_FIND_WND_CLASS

  WindowPtr parent;
  if (dwStyle & WS_CHILD) {
    parent = Find(hWndParent);
    if (!parent) return nullptr;  // a child needs a parent (ERROR_TLW_WITH_WSCHILD)
  }
  DWORD style = dwStyle & ~static_cast<DWORD>(WS_VISIBLE);
  DWORD exStyle = dwExStyle;
  if (!(style & WS_CHILD)) {
    style |= WS_CLIPSIBLINGS;                      // every top-level window gets it
    if (!(style & WS_POPUP)) style |= WS_CAPTION;  // an overlapped window always has a caption
  }
  if ((exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_DLGFRAME | WS_THICKFRAME)))
    exStyle |= WS_EX_WINDOWEDGE;

  const bool overlapped = !(style & (WS_CHILD | WS_POPUP));
  if (X == CW_USEDEFAULT) X = Y = 0;
  if (nWidth == CW_USEDEFAULT) {
    nWidth = overlapped ? kDefaultOverlappedWidth : 0;
    nHeight = overlapped ? kDefaultOverlappedHeight : 0;
  }
  nWidth = std::max(nWidth, 0);
  nHeight = std::max(nHeight, 0);

  auto w = AddWindow();
  w->windowClass = cls;
  w->proc = cls->proc;
  w->style = style;
  w->exStyle = exStyle;
  w->instance = hInstance;
  w->extra.assign(static_cast<std::size_t>(cls->windowExtra), 0);
  // Windows of a class with the dialog manager's extra bytes keep the
  // DWL_* values (the dialog procedure, message result, user value).
  w->isDialog = cls->windowExtra >= DLGWINDOWEXTRA;
  w->rect = RECT{X, Y, tavrin::WrapAdd(X, nWidth), tavrin::WrapAdd(Y, nHeight)};
  w->normalRect = w->rect;
  if (parent) {
    w->parent = parent->handle;
    w->id = static_cast<LONG>(reinterpret_cast<std::intptr_t>(hMenu));
    parent->children.push_back(w->handle);
  } else {
    w->owner = hWndParent ? TopLevelOf(hWndParent) : nullptr;
    RegisterTopLevel(w->handle);
  }
  const HWND handle = w->handle;

  CREATESTRUCTA cs{lpParam,
                   hInstance,
                   hMenu,
                   hWndParent,
                   nHeight,
                   nWidth,
                   Y,
                   X,
                   static_cast<LONG>(dwStyle),
                   lpWindowName,
                   lpClassName,
                   dwExStyle};
  if (!Deliver(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    // A refused WM_NCCREATE ends the window at once; it still gets WM_NCDESTROY.
    Free(w);
    return nullptr;
  }
  RECT calc = w->rect;
  Deliver(w, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&calc));
  if (Deliver(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  if (w->gone) return nullptr;
  // After WM_CREATE Win32 reports the size and position: WM_SIZE, WM_MOVE.
  const SIZE client = ClientSize(*w);
  Deliver(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.cx, client.cy));
  {
    RECT in = WindowInsets(*w);
    Deliver(
        w, WM_MOVE, 0,
        MAKELPARAM(tavrin::WrapAdd(w->rect.left, in.left), tavrin::WrapAdd(w->rect.top, in.top)));
  }
  // The parent learns of a new child unless the child asks otherwise.
  if (parent && !(exStyle & WS_EX_NOPARENTNOTIFY) && !parent->gone)
    Deliver(parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, static_cast<WORD>(w->id)),
            reinterpret_cast<LPARAM>(handle));
  if (w->gone) return nullptr;
  if (dwStyle & WS_VISIBLE) ShowWindow(handle, SW_SHOW);
  return Find(handle) ? handle : nullptr;
}

BOOL DestroyWindow(HWND hWnd) {
  auto w = Find(hWnd);
  if (!w) return FALSE;                                       // ERROR_INVALID_WINDOW_HANDLE
  if (w->thread != std::this_thread::get_id()) return FALSE;  // ERROR_ACCESS_DENIED
  if (w->destroying) return TRUE;  // already on its way: WM_NCDESTROY will follow

  // Windows that this one owns go first.
  if (!(w->style & WS_CHILD)) {
    for (HWND owned : OwnedWindows(hWnd)) DestroyWindow(owned);
    if (w->gone) return TRUE;
  }
  HideForDestroy(w);
  if (w->gone) return TRUE;
  auto& t = CurrentThread();
  // The owner takes over the activation when it can.
  if (t.active == hWnd) ActivateOwnerOf(*w);
  if (IsSelfOrDescendant(hWnd, t.focus)) {
    ChangeFocus((w->style & WS_CHILD) ? w->parent : nullptr);
  }
  if (w->gone) return TRUE;
  SendDestroy(w);
  Free(w);
  return TRUE;
}

BOOL IsWindow(HWND hWnd) {
  return Exists(hWnd) ? TRUE : FALSE;
}

namespace tavrin::platform {

void ResetThreadWindows() {
  for (HWND h : user::ThreadTopLevelWindows()) DestroyWindow(h);
  auto& t = user::CurrentThread();
  {
    std::lock_guard guard(t.queue->lock);
    t.queue->posted.clear();
    t.queue->quit = false;
    t.queue->quitCode = 0;
  }
  t.keys.fill(false);
  t.timers.clear();
  t.idleHook = nullptr;
  t.inIdleHook = false;
  t.focus = t.active = t.capture = nullptr;
}

}  // namespace tavrin::platform
