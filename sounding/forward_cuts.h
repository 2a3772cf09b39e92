// Where the forward model stops looking deeper: shared by the value
// (forward.cpp, resistivity_transform.cpp) and its derivatives
// (forward_gradient.cpp), so that both sum over the same taps and layers.
#pragma once

#include <cstddef>

#include "sounding/layered_model.h"

namespace tavrin::sounding {

// Filter taps with lambda h_1 beyond this are skipped: there
// |T - rho_1| < 2 rho_1 exp(-2 lambda h_1), below 1e-10 rho_1, far under the
// filter's own error.
inline constexpr double kTopOpaque = 12;

// Beyond 2 lambda h = 40, exp(-2 lambda h) < 5e-18 is below half an ulp of 1:
// tanh is exactly 1 and the layers below cannot change T.
inline constexpr double kOpaqueExponent = 40;

// The first layer from the top that hides everything under it at lambda:
// the first with 2 lambda h beyond kOpaqueExponent, else the half-space.
inline std::size_t OpaqueBottom(const LayeredModel& model, double lambda) {
  const std::size_t layers = model.resistivity.size();
  for (std::size_t i = 0; i + 1 < layers; ++i) {
    if (2 * lambda * model.thickness[i] > kOpaqueExponent) return i;
  }
  return layers - 1;
}

}  // namespace tavrin::sounding
