// Painting bookkeeping of the window half: which windows need a WM_PAINT,
// BeginPaint/EndPaint over the GDI half's window DCs, InvalidateRect,
// UpdateWindow and RedrawWindow. The update region is always the whole
// client area; nothing here draws.
#include "gdi_internal.h"
#include "user32_state.h"
#include "user_internal.h"

namespace tavrin::platform {

void ValidateWindow(HWND window) {
  if (auto w = user::Find(window)) {
    w->needsPaint = false;
    w->needsErase = false;
  }
}

void InvalidateWindow(HWND window) {
  if (auto w = user::Find(window)) {
    w->needsPaint = true;
    w->needsErase = true;
  }
}

}  // namespace tavrin::platform

namespace tavrin::platform::user {
namespace {

bool Covers(const Window& w, const RECT* r) {
  if (r == nullptr) return true;
  const SIZE s = ClientSize(w);
  return r->left <= 0 && r->top <= 0 && r->right >= s.cx && r->bottom >= s.cy;
}

// Children take part in an invalidation with RDW_ALLCHILDREN, or unless
// RDW_NOCHILDREN is given or the parent clips its children.
bool IncludeChildren(const Window& w, UINT flags) {
  if (flags & RDW_ALLCHILDREN) return true;
  if (flags & RDW_NOCHILDREN) return false;
  return !(w.style & WS_CLIPCHILDREN);
}

void Mark(const WindowPtr& w, UINT flags) {
  if (flags & RDW_INVALIDATE) {
    w->needsPaint = true;
    if (flags & RDW_ERASE) w->needsErase = true;
  } else if (flags & RDW_VALIDATE) {
    w->needsPaint = false;
    if (flags & RDW_NOERASE) w->needsErase = false;
  }
  if (!IncludeChildren(*w, flags)) return;
  for (HWND h : w->children)
    if (auto c = Find(h)) Mark(c, flags);
}

void PaintNow(const WindowPtr& w, UINT flags) {
  if (w->gone || !IsWindowVisible(w->handle)) return;
  if (w->needsPaint) {
    Deliver(w, WM_PAINT, 0, 0);
    if (!w->gone && w->needsPaint) ValidateWindow(w->handle);
  } else if ((flags & RDW_ERASENOW) && w->needsErase) {
    HDC dc = AcquireWindowDC(w->handle);
    w->needsErase = false;
    Deliver(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseWindowDC(dc);
  }
  if (w->gone || !(flags & RDW_ALLCHILDREN)) return;
  const auto children = w->children;
  for (HWND h : children)
    if (auto c = Find(h)) PaintNow(c, flags);
}

}  // namespace
}  // namespace tavrin::platform::user

using namespace tavrin::platform::user;
using tavrin::platform::AcquireWindowDC;
using tavrin::platform::ReleaseWindowDC;

HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  auto w = Find(hWnd);
  if (!w || lpPaint == nullptr) return nullptr;
  HDC dc = AcquireWindowDC(hWnd);
  if (dc == nullptr) return nullptr;
  *lpPaint = PAINTSTRUCT{};
  lpPaint->hdc = dc;
  const SIZE s = ClientSize(*w);
  lpPaint->rcPaint = RECT{0, 0, s.cx, s.cy};
  const bool erase = w->needsErase;
  w->needsPaint = false;
  w->needsErase = false;
  // fErase tells the painter that the background still needs erasing: the
  // window procedure did not erase it on WM_ERASEBKGND.
  if (erase)
    lpPaint->fErase = Deliver(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
  return dc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* lpPaint) {
  if (lpPaint == nullptr || lpPaint->hdc == nullptr) return FALSE;
  ReleaseWindowDC(lpPaint->hdc);
  return TRUE;
}

BOOL InvalidateRect(HWND hWnd, const RECT*, BOOL bErase) {
  if (hWnd == nullptr) {
    for (HWND h : ThreadTopLevelWindows()) InvalidateRect(h, nullptr, bErase);
    return TRUE;
  }
  auto w = Find(hWnd);
  if (!w) return FALSE;
  w->needsPaint = true;
  if (bErase) w->needsErase = true;
  return TRUE;
}

BOOL ValidateRect(HWND hWnd, const RECT* lpRect) {
  auto w = Find(hWnd);
  if (!w) return FALSE;
  // The update region is the whole client area, so only a rectangle that
  // covers it validates the window.
  if (Covers(*w, lpRect)) {
    w->needsPaint = false;
    w->needsErase = false;
  }
  return TRUE;
}

BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL) {
  auto w = Find(hWnd);
  if (!w) return FALSE;
  if (lpRect) {
    const SIZE s = ClientSize(*w);
    *lpRect = w->needsPaint ? RECT{0, 0, s.cx, s.cy} : RECT{0, 0, 0, 0};
  }
  return w->needsPaint ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hWnd) {
  return RedrawWindow(hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

BOOL RedrawWindow(HWND hWnd, const RECT*, HRGN, UINT flags) {
  if (hWnd == nullptr) {
    for (HWND h : ThreadTopLevelWindows()) RedrawWindow(h, nullptr, nullptr, flags);
    return TRUE;
  }
  auto w = Find(hWnd);
  if (!w) return FALSE;
  Mark(w, flags);
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) PaintNow(w, flags);
  return TRUE;
}
