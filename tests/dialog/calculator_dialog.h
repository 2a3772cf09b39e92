// The calculator's window as the engine builds it: the dialog, its ten
// labels, five text boxes and two buttons, and the colours of the boxes.
// Used by the leak test to build and destroy it many times.
#pragma once

#include "dialog/engine.h"
#include "platform/win32.h"

namespace tavrin::testing {

// Builds the calculator's dialog (hidden); null when the dialog could not
// be made. `callback` goes to both buttons.
HWND BuildCalculatorDialog(ControlCallback callback);

}  // namespace tavrin::testing
