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

}  // namespace tavrin::platform
