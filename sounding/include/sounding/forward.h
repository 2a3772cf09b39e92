// The apparent resistivity a Schlumberger array measures over a layered
// earth. mn2 == 0 is the ideal array (MN/2 tending to 0); mn2 > 0 the finite
// array with potential electrodes at +-mn2, which needs mn2 < ab2. Lengths
// are in any one unit; the result is in the model's resistivity unit.
#pragma once

#include "sounding/layered_model.h"

namespace tavrin::sounding {

// Fast path: the digital linear filter. Within 0.1 % of the exact solution.
double ApparentResistivity(const LayeredModel& model, double ab2, double mn2 = 0);

// Reference path: the Hankel transform integrated numerically between the
// zeros of the Bessel function (forward_exact.cpp), to about 1e-9 relative.
// Thousands of times slower than the filter; throws std::runtime_error in the
// unlikely case that the integral does not settle.
double ApparentResistivityExact(const LayeredModel& model, double ab2, double mn2 = 0);

}  // namespace tavrin::sounding
