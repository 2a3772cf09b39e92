// The one dialog procedure of every engine dialog: routes each message to
// the control's callback, a menu item's callback or the dialog's callback,
// and finishes what none of them handles (colours from the records, graphic
// controls, the close command, removal of the records).
#pragma once

#include "platform/win32.h"

namespace tavrin {

// The dialog procedure handed to CreateDialogIndirectParamA.
INT_PTR CALLBACK EngineDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The combo box whose drop-down list is open, or null.
HWND DroppedCombo();

}  // namespace tavrin
