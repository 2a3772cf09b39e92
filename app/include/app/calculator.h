// The resistivity calculator: its window, its two buttons and the formula.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/win32.h"
#include "runtime/text_value.h"

namespace tavrin {

// Apparent resistivity of one Schlumberger reading, in ohm-feet, from the
// texts of n, a (feet), v (volts) and i (amperes), in this order:
// rho = pi * n * (n + 1) * a * v / i, with the single-precision pi and the
// intermediate values in extended precision. Never fails.
double ComputeResistivity(TextRef n, TextRef a, TextRef v, TextRef i);
// The same from the bytes of the four texts, without making texts of them.
double ComputeResistivity(std::string_view n, std::string_view a, std::string_view v,
                          std::string_view i);

// The geometric factor of the same reading, K = pi * n * (n + 1) * a, with
// the same single-precision pi, the texts read the same way and the product
// formed in extended precision, rounded to double.
double ComputeGeometricFactor(TextRef n, TextRef a);

// The calculator's picture mask for the result box.
inline constexpr char kResultMask[] = "###.#";

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
