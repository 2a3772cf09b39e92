// The forward model and its derivatives by the log parameters. The filters
// are linear in the resistivity transform, so the apparent resistivity's
// derivatives are the filter sums of the transform's, and those follow the
// recurrence (see resistivity_transform.h): each step
//   T_i = rho_i (T a + rho_i b) / (rho_i a + T b),  a = 1 + e, b = 1 - e,
//   e = exp(-2 lambda h_i), T = T_(i+1),
// has the partial derivatives
//   dT_i/dT     = 4 e rho_i^2 / D^2,            D = rho_i a + T b,
//   dT_i/drho_i = ((T a + 2 rho_i b) D - N a) / D^2,  N = rho_i (T a + rho_i b),
//   dT_i/de     = (rho_i (T - rho_i) D - N (rho_i - T)) / D^2,  de/dh_i = -2 lambda e,
// and the chain from the top down multiplies the dT_i/dT.
#include "sounding/forward_gradient.h"

#include <cmath>

#include "forward_cuts.h"
#include "hankel_filter.h"

namespace tavrin::sounding {

namespace {

// T(lambda), adding weight * dT/d ln p to gradient[p] for every parameter.
// `partial` holds per layer dT_i/dT_(i+1), dT_i/d ln rho_i, dT_i/d ln h_i.
double TransformGradient(const LayeredModel& model, double lambda, double weight,
                         std::span<double> gradient, std::span<double> partial) {
  const std::size_t layers = model.resistivity.size();
  const std::size_t bottom = OpaqueBottom(model, lambda);
  double t = model.resistivity[bottom];
  for (std::size_t i = bottom; i-- > 0;) {
    const double rho = model.resistivity[i];
    const double h = model.thickness[i];
    const double e = std::exp(-2 * lambda * h);
    const double a = 1 + e, b = 1 - e;
    const double numerator = rho * (t * a + rho * b);
    const double denominator = rho * a + t * b;
    const double inverseSquare = 1 / (denominator * denominator);
    partial[3 * i] = 4 * e * rho * rho * inverseSquare;
    partial[3 * i + 1] =
        rho * ((t * a + 2 * rho * b) * denominator - numerator * a) * inverseSquare;
    const double dByE = (rho * (t - rho) * denominator - numerator * (rho - t)) * inverseSquare;
    partial[3 * i + 2] = dByE * (-2 * lambda * e) * h;
    t = numerator / denominator;
  }
  // Down from the top: chain = dT_1 / dT_i.
  double chain = weight;
  for (std::size_t i = 0; i < bottom; ++i) {
    gradient[i] += chain * partial[3 * i + 1];
    gradient[layers + i] += chain * partial[3 * i + 2];
    chain *= partial[3 * i];
  }
  gradient[bottom] += chain * model.resistivity[bottom];
  return t;
}

// sum_i weight_i (T(b_i / r) - rho_1), adding `scale` times its derivatives
// to `gradient`.
template <std::size_t N>
double FilterSumGradient(const HankelFilter<N>& filter, const LayeredModel& model, double r,
                         double scale, std::span<double> gradient, std::span<double> partial) {
  const double rho1 = model.resistivity.front();
  if (model.thickness.empty()) return 0;
  const double lambdaEnd = kTopOpaque / model.thickness.front();
  double sum = 0, weights = 0;
  for (const FilterTap& tap : filter.taps) {
    const double lambda = tap.abscissa / r;
    if (lambda > lambdaEnd) break;
    sum += tap.weight *
           (TransformGradient(model, lambda, scale * tap.weight, gradient, partial) - rho1);
    weights += tap.weight;
  }
  gradient[0] -= scale * weights * rho1;
  return sum;
}

}  // namespace

double ApparentResistivityGradient(const LayeredModel& model, double ab2, double mn2,
                                   std::span<double> gradient, std::span<double> scratch) {
  for (double& g : gradient) g = 0;
  const double rho1 = model.resistivity.front();
  gradient[0] = rho1;
  if (mn2 == 0)
    return rho1 + FilterSumGradient(kSchlumbergerFilter, model, ab2, 1.0, gradient, scratch);
  const double near = ab2 - mn2;
  const double far = ab2 + mn2;
  // K / pi = (L^2 - l^2) / (2 l) as (L - l) / (2 l) * (L + l): no AB/2 squared.
  const double k = near / (2 * mn2) * far;
  const double g =
      FilterSumGradient(kPotentialFilter, model, near, k / near, gradient, scratch) / near -
      FilterSumGradient(kPotentialFilter, model, far, -k / far, gradient, scratch) / far;
  return rho1 + k * g;
}

}  // namespace tavrin::sounding
