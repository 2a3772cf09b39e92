// The engine's smaller operations on dialogs and controls: show state,
// enabling, focus, callbacks, images, check and option states, sizes and
// locations in either geometry mode, unit conversions, user values, icons,
// redraw, and the items of combo boxes and list boxes.
//
// Operations that take a dialog and an id work on GetDlgItem(dialog, id);
// where noted, DialogSelfId names the dialog itself. Item numbers count from
// 1. Texts handed in are only read; texts handed out are new and the
// caller's. With no such control the Win32 call fails and nothing changes.
#pragma once

#include <cstdint>

#include "dialog/engine.h"
#include "platform/win32.h"
#include "runtime/text_value.h"

namespace tavrin {

// A pair of values in a dialog's geometry mode (units or pixels).
struct Extent {
  std::int32_t x;
  std::int32_t y;
  friend bool operator==(const Extent&, const Extent&) = default;
};

// Show state: shows a shown dialog or a control at once; for a dialog not yet
// shown, keeps SW_HIDE, SW_MAXIMIZE or SW_MINIMIZE (anything else becomes
// SW_SHOW) for its first showing and gives 0. 0 for a window without record.
std::int32_t DialogSetShowState(HWND window, std::int32_t command);

// EnableWindow on the control (or the dialog, with DialogSelfId).
void ControlEnable(HWND dialog, std::int32_t id, bool enable);
// SetFocus on the control.
void ControlSetFocus(HWND dialog, std::int32_t id);
// Stores `callback` in the control's record.
void ControlSetCallback(HWND dialog, std::int32_t id, ControlCallback callback);
// Replaces the image of an image control of kind 10 + `variant` (0..3).
void ControlSetImage(HWND dialog, std::int32_t id, TextRef name, std::int32_t variant);

// Removes a control: DestroyWindow, then its record (not for DialogSelfId).
void ControlRemove(HWND dialog, std::int32_t id);
// BM_GETCHECK / BM_SETCHECK.
std::int32_t ControlGetCheck(HWND dialog, std::int32_t id);
void ControlSetCheck(HWND dialog, std::int32_t id, std::int32_t state);
// CheckRadioButton(dialog, first, last, checked).
void ControlSetOption(HWND dialog, std::int32_t firstId, std::int32_t lastId,
                      std::int32_t checkedId);

// Client size, window size and location (relative to the parent's or
// owner's client area), in the dialog's geometry mode.
Extent ControlGetClientSize(HWND dialog, std::int32_t id);
void ControlSetClientSize(HWND dialog, std::int32_t id, Extent size);
Extent ControlGetSize(HWND dialog, std::int32_t id);
void ControlSetSize(HWND dialog, std::int32_t id, Extent size);
Extent ControlGetLocation(HWND dialog, std::int32_t id);
void ControlSetLocation(HWND dialog, std::int32_t id, Extent location);

// Dialog units of `dialog` to pixels (MapDialogRect of (0, 0, x, y)); 0, 0
// when the conversion fails.
Extent UnitsToPixels(HWND dialog, Extent units);
// Pixels to dialog units through the pixels per 1024 units, rounded half up
// (down for negative values); 0, 0 when the conversion fails.
Extent PixelsToUnits(HWND dialog, Extent pixels);

// User value n (1..8, taken modulo 8) of a window's record; 0 without record.
std::int32_t WindowGetUserValue(HWND window, std::int32_t n);
void WindowSetUserValue(HWND window, std::int32_t n, std::int32_t value);
// Loads the named icon at 32x32 and 16x16 as the dialog's big and small icon.
void DialogSetIcon(HWND dialog, TextRef name);
// Invalidates, erases and repaints the window and its children at once.
void WindowRedraw(HWND window);

// Items of combo boxes and list boxes.
void ComboAddText(HWND dialog, std::int32_t id, TextRef text);
void ComboDeleteItem(HWND dialog, std::int32_t id, std::int32_t item);
TextValue ComboGetSelectedText(HWND dialog, std::int32_t id);
void ComboReset(HWND dialog, std::int32_t id);
void ComboSelect(HWND dialog, std::int32_t id, std::int32_t item);
void ListAddText(HWND dialog, std::int32_t id, TextRef text);
void ListDeleteItem(HWND dialog, std::int32_t id, std::int32_t item);
TextValue ListGetSelectedText(HWND dialog, std::int32_t id);
void ListReset(HWND dialog, std::int32_t id);
void ListSelect(HWND dialog, std::int32_t id, std::int32_t item);

}  // namespace tavrin
