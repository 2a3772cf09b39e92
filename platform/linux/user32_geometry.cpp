// Window geometry: rectangles, SetWindowPos and MoveWindow with their
// WM_WINDOWPOSCHANGING/CHANGED messages, coordinate mapping, the frame
// arithmetic of AdjustWindowRectEx, the work area and the system metrics.
#include <algorithm>
#include <utility>

#include "platform/wrap32.h"
#include "user32_state.h"
#include "user_internal.h"

namespace tavrin::platform::user {
namespace {

// Wine's private WINDOWPOS flags on WM_WINDOWPOSCHANGED: the client area
// kept its size / its position, so DefWindowProcA sends no WM_SIZE / WM_MOVE.
constexpr UINT kNoClientSize = 0x0800;
constexpr UINT kNoClientMove = 0x1000;

// Screen and work area of Wine on Xvfb's 1024x768 screen without a window
// manager: the work area is the whole screen.
constexpr LONG kScreenWidth = 1024;
constexpr LONG kScreenHeight = 768;

struct Metric {
  int index;
  int value;
};
// GetSystemMetrics as Wine 8 reports it on that screen.
constexpr Metric kMetrics[] = {
    {SM_CXSCREEN, 1024},     {SM_CYSCREEN, 768},     {SM_CXVSCROLL, 17}, {SM_CYHSCROLL, 17},
    {SM_CYCAPTION, 19},      {SM_CXBORDER, 1},       {SM_CYBORDER, 1},   {SM_CXDLGFRAME, 3},
    {SM_CYDLGFRAME, 3},      {SM_CYVTHUMB, 17},      {SM_CXHTHUMB, 17},  {SM_CXICON, 32},
    {SM_CYICON, 32},         {SM_CXCURSOR, 32},      {SM_CYCURSOR, 32},  {SM_CYMENU, 19},
    {SM_CXFULLSCREEN, 1024}, {SM_CYFULLSCREEN, 779}, {SM_CXFRAME, 4},    {SM_CYFRAME, 4},
    {SM_CXEDGE, 2},          {SM_CYEDGE, 2},         {SM_CXSMICON, 16},  {SM_CYSMICON, 16},
};

// Moves `point` by `sign` times the screen position of the client area of
// `window`: +1 maps client to screen coordinates, -1 back. False, leaving
// the point alone, for a window that does not exist or a null point.
BOOL ShiftByClientOrigin(HWND window, LPPOINT point, LONG sign) {
  auto w = Find(window);
  if (!w || point == nullptr) return FALSE;
  const POINT o = ClientOrigin(*w);
  point->x = sign > 0 ? tavrin::WrapAdd(point->x, o.x) : tavrin::WrapSub(point->x, o.x);
  point->y = sign > 0 ? tavrin::WrapAdd(point->y, o.y) : tavrin::WrapSub(point->y, o.y);
  return TRUE;
}

}  // namespace
}  // namespace tavrin::platform::user

using namespace tavrin::platform::user;
using tavrin::platform::InvalidateWindow;
using tavrin::platform::ValidateWindow;

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
  auto w = Find(hWnd);
  if (!w || lpRect == nullptr) return FALSE;
  const POINT o = WindowOrigin(*w);
  *lpRect = RECT{o.x, o.y, tavrin::WrapAdd(o.x, tavrin::WrapSub(w->rect.right, w->rect.left)),
                 tavrin::WrapAdd(o.y, tavrin::WrapSub(w->rect.bottom, w->rect.top))};
  return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
  auto w = Find(hWnd);
  if (!w || lpRect == nullptr) return FALSE;
  const SIZE s = ClientSize(*w);
  *lpRect = RECT{0, 0, s.cx, s.cy};
  return TRUE;
}

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  auto w = Find(hWnd);
  if (!w) return FALSE;
  WINDOWPOS wp{hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags};
  if (uFlags & SWP_NOMOVE) {
    wp.x = w->rect.left;
    wp.y = w->rect.top;
  }
  if (uFlags & SWP_NOSIZE) {
    wp.cx = tavrin::WrapSub(w->rect.right, w->rect.left);
    wp.cy = tavrin::WrapSub(w->rect.bottom, w->rect.top);
  }
  wp.cx = std::max(wp.cx, 0);
  wp.cy = std::max(wp.cy, 0);
  if (!(uFlags & SWP_NOSENDCHANGING)) {
    Deliver(w, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if (w->gone) return FALSE;
  }

  const RECT before = w->rect;
  const POINT oldClient = ClientOrigin(*w);
  const SIZE oldSize = ClientSize(*w);
  const bool wasVisible = (w->style & WS_VISIBLE) != 0;
  if (!(wp.flags & SWP_NOMOVE) || !(wp.flags & SWP_NOSIZE)) {
    w->rect = RECT{wp.x, wp.y, tavrin::WrapAdd(wp.x, wp.cx), tavrin::WrapAdd(wp.y, wp.cy)};
  }
  if (wp.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
  if (wp.flags & SWP_HIDEWINDOW) w->style &= ~static_cast<DWORD>(WS_VISIBLE);
  const POINT newClient = ClientOrigin(*w);
  const SIZE newSize = ClientSize(*w);
  const bool resized = newSize.cx != oldSize.cx || newSize.cy != oldSize.cy;
  if (!resized) wp.flags |= kNoClientSize;
  if (newClient.x == oldClient.x && newClient.y == oldClient.y) wp.flags |= kNoClientMove;

  const bool visible = (w->style & WS_VISIBLE) != 0;
  if (!(wp.flags & SWP_NOREDRAW)) {
    if (visible && (resized || !wasVisible || (wp.flags & SWP_FRAMECHANGED)))
      InvalidateWindow(hWnd);
    if ((w->style & WS_CHILD) && w->parent && (wasVisible != visible || resized))
      InvalidateWindow(w->parent);
  }
  if (visible && !(wp.flags & SWP_NOACTIVATE) && !(w->style & WS_CHILD)) Activate(hWnd);
  if (w->gone) return TRUE;
  // WM_WINDOWPOSCHANGED only when something changed (a MoveWindow to the
  // same place and size gets WM_WINDOWPOSCHANGING alone).
  const bool changed = !(wp.flags & kNoClientSize) || !(wp.flags & kNoClientMove) ||
                       wasVisible != visible || (wp.flags & SWP_FRAMECHANGED) ||
                       w->rect.left != before.left || w->rect.top != before.top ||
                       w->rect.right != before.right || w->rect.bottom != before.bottom;
  if (changed) Deliver(w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  return TRUE;
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (!bRepaint) flags |= SWP_NOREDRAW;
  return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight, flags);
}

BOOL AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL, DWORD dwExStyle) {
  // Our windows have no menus, so bMenu changes nothing.
  if (lpRect == nullptr) return FALSE;
  const RECT in = FrameInsets(dwStyle, dwExStyle);
  lpRect->left = tavrin::WrapSub(lpRect->left, in.left);
  lpRect->top = tavrin::WrapSub(lpRect->top, in.top);
  lpRect->right = tavrin::WrapAdd(lpRect->right, in.right);
  lpRect->bottom = tavrin::WrapAdd(lpRect->bottom, in.bottom);
  return TRUE;
}

BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  return ShiftByClientOrigin(hWnd, lpPoint, 1);
}

BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  return ShiftByClientOrigin(hWnd, lpPoint, -1);
}

int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
  POINT from{0, 0};
  POINT to{0, 0};
  if (hWndFrom) {
    auto w = Find(hWndFrom);
    if (!w) return 0;
    from = ClientOrigin(*w);
  }
  if (hWndTo) {
    auto w = Find(hWndTo);
    if (!w) return 0;
    to = ClientOrigin(*w);
  }
  const LONG dx = tavrin::WrapSub(from.x, to.x);
  const LONG dy = tavrin::WrapSub(from.y, to.y);
  for (UINT i = 0; lpPoints && i < cPoints; ++i) {
    lpPoints[i].x = tavrin::WrapAdd(lpPoints[i].x, dx);
    lpPoints[i].y = tavrin::WrapAdd(lpPoints[i].y, dy);
  }
  return MAKELONG(dx, dy);
}

BOOL SystemParametersInfoA(UINT uiAction, UINT, PVOID pvParam, UINT) {
  if (uiAction == SPI_GETWORKAREA && pvParam != nullptr) {
    *static_cast<RECT*>(pvParam) = RECT{0, 0, kScreenWidth, kScreenHeight};
    return TRUE;
  }
  return FALSE;
}

int GetSystemMetrics(int nIndex) {
  for (const auto& m : kMetrics)
    if (m.index == nIndex) return m.value;
  return 0;
}
