// The fast forward model: the digital linear filters applied to the
// resistivity transform, with the half-space part rho_1 taken out exactly.
//
// Ideal array:  rho_a(s) = rho_1 + sum_i c_i (T(b_i / s) - rho_1)
//   (the filter of s^2 integral T(lambda) lambda J1(lambda s) d lambda).
// Finite array: with G(r) = integral (T(lambda) - rho_1) J0(lambda r) d lambda
//   = (1/r) sum_i w_i (T(b_i / r) - rho_1), the potential of a unit source is
//   (1 / 2 pi) (rho_1 / r + G(r)), and with K = pi (L^2 - l^2) / (2 l)
//   rho_a = rho_1 + (L^2 - l^2) / (2 l) (G(L - l) - G(L + l)).
#include "sounding/forward.h"

#include <cmath>

#include "forward_cuts.h"
#include "hankel_filter.h"
#include "sounding/resistivity_transform.h"

namespace tavrin::sounding {

namespace {

// sum_i weight_i (T(b_i / r) - rho_1), the taps beyond kTopOpaque skipped.

template <std::size_t N>
double FilterSum(const HankelFilter<N>& filter, const LayeredModel& model, double r) {
  const double rho1 = model.resistivity.front();
  if (model.thickness.empty()) return 0;
  const double lambdaEnd = kTopOpaque / model.thickness.front();
  double sum = 0;
  for (const FilterTap& tap : filter.taps) {
    const double lambda = tap.abscissa / r;
    if (lambda > lambdaEnd) break;
    sum += tap.weight * (ResistivityTransform(model, lambda) - rho1);
  }
  return sum;
}

}  // namespace

double ApparentResistivity(const LayeredModel& model, double ab2, double mn2) {
  const double rho1 = model.resistivity.front();
  if (mn2 == 0) return rho1 + FilterSum(kSchlumbergerFilter, model, ab2);
  const double near = ab2 - mn2;
  const double far = ab2 + mn2;
  const double g = FilterSum(kPotentialFilter, model, near) / near -
                   FilterSum(kPotentialFilter, model, far) / far;
  return rho1 + (ab2 * ab2 - mn2 * mn2) / (2 * mn2) * g;
}

}  // namespace tavrin::sounding
