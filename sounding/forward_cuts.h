// Where the forward model stops looking deeper: shared by the value
// (forward.cpp, resistivity_transform.cpp) and its derivatives
// (forward_gradient.cpp), so that both sum over the same taps and layers.
#pragma once

namespace tavrin::sounding {

// Filter taps with lambda h_1 beyond this are skipped: there
// |T - rho_1| < 2 rho_1 exp(-2 lambda h_1), below 1e-10 rho_1, far under the
// filter's own error.
inline constexpr double kTopOpaque = 12;

// Beyond 2 lambda h = 40, exp(-2 lambda h) < 5e-18 is below half an ulp of 1:
// tanh is exactly 1 and the layers below cannot change T.
inline constexpr double kOpaqueExponent = 40;

}  // namespace tavrin::sounding
