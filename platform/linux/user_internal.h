// What the window half of the Linux platform offers the GDI and control half:
// per-window bookkeeping that Win32 keeps inside USER32.
#pragma once

#include "platform/win32.h"

namespace tavrin::platform {

// Marks the whole client area of `window` as painted (BeginPaint does this).
void ValidateWindow(HWND window);
// Marks `window` as needing a paint; WM_PAINT follows when the thread's queue
// is empty, as Win32 does, or at once through UpdateWindow/RedrawWindow.
void InvalidateWindow(HWND window);

// True for the colour messages a control asks its parent with, WM_CTLCOLOR*
// (numbered in a row from WM_CTLCOLORMSGBOX to WM_CTLCOLORSTATIC).
constexpr bool IsColorMessage(UINT message) {
  return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

}  // namespace tavrin::platform
