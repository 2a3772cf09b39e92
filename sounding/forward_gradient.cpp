// The forward model and its derivatives by the log parameters, along the
// same path as forward.cpp. The filter is linear in the resistivity
// transform, so the apparent resistivity's derivatives are the filter sums of
// the transform's (less the reference's), and those follow the
// recurrence (see resistivity_transform.h): each step
//   T_i = rho_i (T a + rho_i b) / (rho_i a + T b),  a = 1 + e, b = 1 - e,
//   e = exp(-2 lambda h_i), T = T_(i+1),
// has the partial derivatives
//   dT_i/dT     = 4 e rho_i^2 / D^2,            D = rho_i a + T b,
//   dT_i/drho_i = ((T a + 2 rho_i b) D - N a) / D^2,  N = rho_i (T a + rho_i b),
//   dT_i/de     = (rho_i (T - rho_i) D - N (rho_i - T)) / D^2,  de/dh_i = -2 lambda e,
// and the chain from the top down multiplies the dT_i/dT.
#include "sounding/forward_gradient.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "forward_cuts.h"
#include "forward_paths.h"
#include "hankel_filter.h"
#include "sounding/portable_math.h"
#include "two_layer_series.h"

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
    const double e = Exp(-2 * lambda * h);
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

// sum_i c_i (T - T_ref)(b_i / s), adding `scale` times its derivatives to
// `gradient`, and the largest |T - T_ref| over the taps: the same taps and
// reference as forward.cpp's FilterSum. T_ref is rho_1 or, for `twoLayer`,
// the top two layers' transform, whose derivatives by ln rho_1, ln rho_2 and
// ln h_1 are the recurrence's on the two-layer model.
struct FilterPass {
  double sum = 0;
  double largest = 0;
};

FilterPass FilterSumGradient(const LayeredModel& model, double s, double scale, bool twoLayer,
                             std::span<double> gradient, std::span<double> partial) {
  const std::size_t layers = model.resistivity.size();
  const double rho1 = model.resistivity[0];
  const double h1 = model.thickness.front();
  const double lambdaEnd = kTopOpaque / h1;
  const LayeredModel top{{rho1, model.resistivity[1]}, {h1}};
  std::array<double, 3> topGradient{};
  std::array<double, 6> topPartial{};
  FilterPass pass;
  double weights = 0;
  for (const FilterTap& tap : kSchlumbergerFilter.taps) {
    const double lambda = tap.abscissa / s;
    if (lambda > lambdaEnd) break;
    double input = TransformGradient(model, lambda, scale * tap.weight, gradient, partial);
    if (twoLayer) {
      input -= TransformGradient(top, lambda, -scale * tap.weight, topGradient, topPartial);
    } else {
      input -= rho1;
      weights += tap.weight;
    }
    pass.sum += tap.weight * input;
    pass.largest = std::max(pass.largest, std::fabs(input));
  }
  gradient[0] += scale * (topGradient[0] - weights * rho1);
  gradient[1] += scale * topGradient[1];
  gradient[layers] += scale * topGradient[2];
  return pass;
}

// rho_1 TwoLayerRatio and its derivatives by ln rho_1, ln rho_2, ln h_1, added
// times `scale`. The ratio depends on rho_2 / rho_1 and h_1 only; its
// derivatives are central differences over kLogStep, good to about
// 1e-8 of the ratio (its own error of 1e-12 over the step, and the step's
// square).
constexpr double kLogStep = 1e-4;

double TwoLayerGradient(const LayeredModel& model, double s, double scale,
                        std::span<double> gradient) {
  const double rho1 = model.resistivity[0];
  const double rho2 = model.resistivity[1];
  const double h = model.thickness[0];
  const double up = Exp(kLogStep), down = Exp(-kLogStep);
  const double ratio = TwoLayerRatio(rho1, rho2, h, s, 0);
  const double byRho2 =
      (TwoLayerRatio(rho1, rho2 * up, h, s, 0) - TwoLayerRatio(rho1, rho2 * down, h, s, 0)) /
      (2 * kLogStep);
  const double byH =
      (TwoLayerRatio(rho1, rho2, h * up, s, 0) - TwoLayerRatio(rho1, rho2, h * down, s, 0)) /
      (2 * kLogStep);
  gradient[0] += scale * rho1 * (ratio - byRho2);
  gradient[1] += scale * rho1 * byRho2;
  gradient[model.resistivity.size()] += scale * rho1 * byH;
  return rho1 * ratio;
}

// The ideal array at s with the path forward.cpp's IdealEstimate takes: the
// filter, or the two-layer reference where the filter's estimate is above
// kFilterTarget and the reference's is smaller. Adds `scale` times the
// derivatives to `gradient`; `spare` (as long) holds a path's derivatives
// until the path is chosen.
double IdealGradient(const LayeredModel& model, double s, double scale, std::span<double> gradient,
                     std::span<double> spare, std::span<double> partial) {
  const double rho1 = model.resistivity[0];
  if (model.thickness.empty()) {
    gradient[0] += scale * rho1;
    return rho1;
  }
  for (double& g : spare) g = 0;
  spare[0] = rho1;
  const FilterPass plain = FilterSumGradient(model, s, 1.0, false, spare, partial);
  const double filterValue = rho1 + plain.sum;
  const double filterError = FilterErrorPerInput() * plain.largest;
  const auto useSpare = [&](double value) {
    for (std::size_t p = 0; p < gradient.size(); ++p) gradient[p] += scale * spare[p];
    return value;
  };
  if (filterError <= kFilterTarget * filterValue) return useSpare(filterValue);
  std::vector<double> own(gradient.size(), 0.0);
  double value = TwoLayerGradient(model, s, 1.0, own);
  double error = kSeriesError * value;
  if (model.thickness.size() > 1) {
    const FilterPass rest = FilterSumGradient(model, s, 1.0, true, own, partial);
    value += rest.sum;
    error += FilterErrorPerInput() * rest.largest;
  }
  const double filterRelative = filterValue > 0 ? filterError / filterValue : INFINITY;
  const double relative = value > 0 ? error / value : INFINITY;
  if (!(relative <= filterRelative)) return useSpare(filterValue);
  for (std::size_t p = 0; p < gradient.size(); ++p) gradient[p] += scale * own[p];
  return value;
}

}  // namespace

double ApparentResistivityGradient(const LayeredModel& model, double ab2, double mn2,
                                   std::span<double> gradient, std::span<double> scratch) {
  for (double& g : gradient) g = 0;
  std::vector<double> spare(gradient.size());
  if (mn2 == 0) return IdealGradient(model, ab2, 1.0, gradient, spare, scratch);
  const FiniteNodes nodes = FiniteArrayNodes(model, ab2, mn2);
  double value = 0;
  for (std::size_t i = 0; i < nodes.count; ++i) {
    value += nodes.weight[i] *
             IdealGradient(model, nodes.r[i], nodes.weight[i], gradient, spare, scratch);
  }
  return value;
}

}  // namespace tavrin::sounding
