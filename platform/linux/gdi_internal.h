// What the GDI and standard-control half of the Linux platform offers the
// window half: the system control classes, device contexts for windows, and
// the dialog base units of a font.
#pragma once

#include "platform/win32.h"

namespace tavrin::platform {

// Registers the window classes "BUTTON", "STATIC", "EDIT", "LISTBOX",
// "COMBOBOX" and "SCROLLBAR" (case-insensitive names, as Win32). Called once
// by the window half before the first window is created; idempotent.
void RegisterStandardControls();

// A device context for painting `window` (used by GetDC and BeginPaint), and
// its release (ReleaseDC and EndPaint). The DC carries text colour,
// background colour and mode, and the selected objects, like a GDI DC.
HDC AcquireWindowDC(HWND window);
void ReleaseWindowDC(HDC dc);

// Dialog base units (x: average character width as dialog managers measure
// it, y: character height) of a font made by CreateFontIndirectA, matching
// what Wine gives for the same face and height.
SIZE DialogBaseUnits(HFONT font);

}  // namespace tavrin::platform
