// Test hooks of the Linux platform's GDI and standard controls: the module's
// bitmap and icon resources (a Linux program has none, so tests declare
// them), the colours a control painted with, and the size of a loaded image.
// Linux only; Windows builds have no equivalent.
#pragma once

#include "platform/win32.h"

namespace tavrin::platform {

// Declares a resource of the program's module: `type` is RT_BITMAP or
// RT_ICON (RT_GROUP_ICON is taken as RT_ICON), `name` a text or a numeric id
// made with MAKEINTRESOURCEA; the image has `width` by `height` pixels.
// EnumResourceNamesA lists the resources in the order they were declared,
// and LoadImageA loads them. Declaring a name again replaces its size.
void RegisterResource(LPCSTR type, LPCSTR name, int width, int height);
// Forgets every declared resource.
void ClearResources();

// What a control's last WM_PAINT got back from its parent's colour message.
struct PaintResult {
  bool painted = false;        // the control has painted since it was made
  UINT message = 0;            // the WM_CTLCOLOR message it sent
  HBRUSH brush = nullptr;      // the brush it painted its background with
  COLORREF textColor = 0;      // the DC's text colour after the message
  COLORREF backColor = 0;      // the DC's background colour after the message
  int backMode = 0;            // the DC's background mode (OPAQUE, TRANSPARENT)
  bool defaultColors = false;  // the parent answered 0: the system colours were used
};
// The last paint of `control`; `painted` is false when it has not painted.
PaintResult LastPaint(HWND control);

// Size of a bitmap or icon that LoadImageA gave or CreateCompatibleBitmap
// made; 0 by 0 for any other handle.
SIZE ImageSize(HANDLE image);

}  // namespace tavrin::platform
