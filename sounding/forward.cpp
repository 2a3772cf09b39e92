// The fast forward model: the digital linear filters applied to the
// resistivity transform, with the half-space part rho_1 taken out exactly.
//
// Ideal array:  rho_a(s) = rho_1 + sum_i c_i (T(b_i / s) - rho_1)
//   (the filter of s^2 integral T(lambda) lambda J1(lambda s) d lambda).
// Finite array: with G(r) = integral (T(lambda) - rho_1) J0(lambda r) d lambda
//   = (1/r) sum_i w_i (T(b_i / r) - rho_1), the potential of a unit source is
//   (1 / 2 pi) (rho_1 / r + G(r)), and with K = pi (L - l) (L + l) / (2 l)
//   rho_a = rho_1 + (L - l) (L + l) / (2 l) (G(L - l) - G(L + l)).
#include "sounding/forward.h"

#include <cmath>

#include "forward_cuts.h"
#include "hankel_filter.h"
#include "sounding/resistivity_transform.h"

namespace tavrin::sounding {

namespace {

// sum_i weight_i (T(b_i / r) - rho_1) / 2^scale, the taps beyond kTopOpaque
// skipped. Dividing by 2^scale is exact; it keeps the sum near the model's
// largest resistivity / 2^scale, in [1, 2), whatever the resistivities are.

template <std::size_t N>
double FilterSum(const HankelFilter<N>& filter, const LayeredModel& model, double r, int scale) {
  const double rho1 = model.resistivity.front();
  if (model.thickness.empty()) return 0;
  const double lambdaEnd = kTopOpaque / model.thickness.front();
  double sum = 0;
  for (const FilterTap& tap : filter.taps) {
    const double lambda = tap.abscissa / r;
    if (lambda > lambdaEnd) break;
    sum += tap.weight * std::ldexp(ResistivityTransform(model, lambda) - rho1, -scale);
  }
  return sum;
}

}  // namespace

// rho_a is homogeneous of degree 1 in the resistivities: it is summed in
// units of 2^scale, and only the last step, back to the model's unit, can
// overflow (where rho_a itself does). For resistivities and spacings that
// overflow nowhere the scaling is exact and changes no bit.
//
// The factor (L^2 - l^2) / (2 l) is applied as (L - l) / (2 l) times
// (L + l) g: L - l and L + l carry half an ulp each, and the intermediates
// are of the size of L / l and of (rho_a - rho_1) l / L, where L^2 would
// overflow from L ~ 1e154.
double ApparentResistivity(const LayeredModel& model, double ab2, double mn2) {
  const int scale = ResistivityScale(model, model.resistivity.size() - 1);
  const double rho1 = std::ldexp(model.resistivity.front(), -scale);
  if (mn2 == 0) {
    return std::ldexp(rho1 + FilterSum(kSchlumbergerFilter, model, ab2, scale), scale);
  }
  const double near = ab2 - mn2;
  const double far = ab2 + mn2;
  const double g = FilterSum(kPotentialFilter, model, near, scale) / near -
                   FilterSum(kPotentialFilter, model, far, scale) / far;
  return std::ldexp(rho1 + near / (2 * mn2) * (far * g), scale);
}

}  // namespace tavrin::sounding
