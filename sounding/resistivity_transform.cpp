// The resistivity transform by the bottom-up recurrence.
#include "sounding/resistivity_transform.h"

#include <cmath>

namespace tavrin::sounding {

namespace {
// Beyond 2 lambda h = 40, exp(-2 lambda h) < 5e-18 is below half an ulp of 1:
// tanh is exactly 1 and the layers below cannot change T.
constexpr double kOpaqueExponent = 40;
}  // namespace

double ResistivityTransform(const LayeredModel& model, double lambda) {
  const std::size_t layers = model.resistivity.size();
  // The first layer (from the top) that hides everything under it.
  std::size_t bottom = layers - 1;
  for (std::size_t i = 0; i + 1 < layers; ++i) {
    if (2 * lambda * model.thickness[i] > kOpaqueExponent) {
      bottom = i;
      break;
    }
  }
  double t = model.resistivity[bottom];
  for (std::size_t i = bottom; i-- > 0;) {
    const double rho = model.resistivity[i];
    const double e = std::exp(-2 * lambda * model.thickness[i]);
    // rho (T + rho t) / (rho + T t) with t = (1 - e) / (1 + e), times (1 + e).
    t = rho * (t * (1 + e) + rho * (1 - e)) / (rho * (1 + e) + t * (1 - e));
  }
  return t;
}

}  // namespace tavrin::sounding
