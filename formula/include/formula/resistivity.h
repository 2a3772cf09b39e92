// The calculator's formula: the apparent resistivity and geometric factor of
// one Schlumberger reading from the texts of n, a (feet), v (volts) and i
// (amperes), read and computed exactly as the calculator's window does.
#pragma once

#include <string_view>

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

}  // namespace tavrin
