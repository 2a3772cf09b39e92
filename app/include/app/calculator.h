// The resistivity calculator: its window and its two buttons (the formula
// is formula/resistivity.h).
#pragma once

#include <cstdint>
#include <string_view>

#include "formula/resistivity.h"
#include "platform/win32.h"
#include "runtime/text_value.h"

namespace tavrin {

// The program's main routine: builds the window, runs it modally, returns 0.
std::int32_t RunCalculator(HINSTANCE instance, std::int32_t previous, const char* commandTail,
                           std::int32_t showState);

// The modal result of the calculator's window once it has ended: 1 after
// DONE, 0 after the close command (Alt+F4); 0 before the window has ended.
std::int32_t CalculatorModalResult();

// Button handlers of CALC and DONE.
std::int32_t OnCalc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
std::int32_t OnDone(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tavrin
