// The resistivity transform by the bottom-up recurrence.
#include "sounding/resistivity_transform.h"

#include <cmath>

#include "forward_cuts.h"

namespace tavrin::sounding {

namespace {
// The numerator and denominator of T stay within this factor of 1.
constexpr double kRescale = 1e100;
}  // namespace

double ResistivityTransform(const LayeredModel& model, double lambda) {
  const std::size_t bottom = OpaqueBottom(model, lambda);
  // T is carried as the fraction num / den, so that the layers cost no
  // division but the last. With T = num / den, a = num + rho den and
  // b = num - rho den, the step above a layer is
  //   num' = rho (a + e b),  den' = a - e b
  // (the recurrence with t = (1 - e) / (1 + e), times (1 + e) den). Each step
  // scales both by about 2 rho; when that carries den far from 1 (extreme
  // resistivities over many layers), the fraction is brought back.
  double num = model.resistivity[bottom];
  double den = 1;
  for (std::size_t i = bottom; i-- > 0;) {
    const double rho = model.resistivity[i];
    const double e = std::exp(-2 * lambda * model.thickness[i]);
    const double a = num + rho * den;
    const double b = num - rho * den;
    num = rho * (a + e * b);
    den = a - e * b;
    if (!(den < kRescale && den > 1 / kRescale)) {
      num /= den;
      den = 1;
    }
  }
  return num / den;
}

}  // namespace tavrin::sounding
