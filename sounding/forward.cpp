// The fast forward model: the digital linear filter applied to the
// resistivity transform, with a reference whose apparent resistivity is known
// exactly taken out first and added back:
//   rho_a(s) = rho_ref(s) + sum_i c_i (T(b_i / s) - T_ref(b_i / s))
// (the filter of s^2 integral T(lambda) lambda J1(lambda s) d lambda, which
// is linear in T). The plain path's reference is the half-space rho_1; the
// two-layer path's is the top layer over a half-space of rho_2, whose rho_a is
// the image series (two_layer_series.cpp), exact for any contrast.
//
// The filter's error is about FilterErrorPerInput() times the largest
// |T - T_ref| over its taps. With rho_1 far above the layers below, the plain
// input is near -rho_1 while rho_a is near the lower resistivity, so the
// error relative to rho_a grows with the contrast (0.8 % at 1e5:1, a negative
// rho_a at 1e8:1); the two-layer reference takes that part out exactly.
// The finite array is the weighted mean of the ideal one over AB/2 from
// AB/2 - MN/2 to AB/2 + MN/2 (forward_paths.h), so it inherits the ideal
// array's accuracy and never subtracts two nearly equal potentials.
#include "sounding/forward.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "forward_cuts.h"
#include "forward_paths.h"
#include "gauss_legendre.h"
#include "hankel_filter.h"
#include "sounding/portable_math.h"
#include "sounding/resistivity_transform.h"
#include "two_layer_series.h"

namespace tavrin::sounding {

double FilterErrorPerInput() {
  return 2 * kSchlumbergerFilterError;
}

namespace {

// sum_i c_i (T - T_ref)(b_i / s) and the largest |T - T_ref| over the taps,
// in units of 2^scale; the taps beyond kTopOpaque skipped (T - rho_1 is
// below 1e-10 rho_1 there, and so is T_ref - rho_1).
struct FilterPass {
  double sum = 0;
  double largest = 0;
};

FilterPass FilterSum(const LayeredModel& model, double s, int scale, bool twoLayer) {
  const double rho1 = std::ldexp(model.resistivity[0], -scale);
  const double rho2 = std::ldexp(model.resistivity[1], -scale);
  const double h1 = model.thickness.front();
  const double lambdaEnd = kTopOpaque / h1;
  FilterPass pass;
  for (const FilterTap& tap : kSchlumbergerFilter.taps) {
    const double lambda = tap.abscissa / s;
    if (lambda > lambdaEnd) break;
    const double reference = twoLayer ? TwoLayerTransform(rho1, rho2, Exp(-2 * lambda * h1)) : rho1;
    const double input = std::ldexp(ResistivityTransform(model, lambda), -scale) - reference;
    pass.sum += tap.weight * input;
    pass.largest = std::max(pass.largest, std::fabs(input));
  }
  return pass;
}

// The ideal array by the filter, or by the two-layer reference where that
// promises a smaller error. Value and error in units of 2^scale.
struct Estimate {
  double value;
  double error;
  ForwardPath path;
};

Estimate IdealEstimate(const LayeredModel& model, double s, int scale) {
  const double rho1 = std::ldexp(model.resistivity[0], -scale);
  if (model.thickness.empty()) return {rho1, 0, ForwardPath::kFilter};
  const FilterPass plain = FilterSum(model, s, scale, false);
  const Estimate filter{rho1 + plain.sum, FilterErrorPerInput() * plain.largest,
                        ForwardPath::kFilter};
  if (filter.error <= kFilterTarget * filter.value) return filter;
  const double reference =
      rho1 * TwoLayerRatio(model.resistivity[0], model.resistivity[1], model.thickness[0], s, 0);
  Estimate twoLayer{reference, kSeriesError * reference, ForwardPath::kTwoLayer};
  if (model.thickness.size() > 1) {
    const FilterPass rest = FilterSum(model, s, scale, true);
    twoLayer.value += rest.sum;
    twoLayer.error += FilterErrorPerInput() * rest.largest;
  }
  // A value at or below 0 is wrong whatever its estimate.
  const auto relative = [](const Estimate& e) {
    return e.value > 0 ? e.error / e.value : INFINITY;
  };
  return relative(twoLayer) <= relative(filter) ? twoLayer : filter;
}

double SmallestResistivity(const LayeredModel& model) {
  return *std::min_element(model.resistivity.begin(), model.resistivity.end());
}
double LargestResistivity(const LayeredModel& model) {
  return *std::max_element(model.resistivity.begin(), model.resistivity.end());
}

}  // namespace

FiniteNodes FiniteArrayNodes(const LayeredModel& model, double ab2, double mn2) {
  // The integrand's size in the strip is up to the largest resistivity while
  // rho_a may be near the smallest: the target shrinks by their ratio.
  const double target =
      std::max(kQuadratureTarget * SmallestResistivity(model) / LargestResistivity(model), 1e-30);
  const double logNear = Log(ab2 - mn2);
  const double length = Log1p(2 * mn2 / (ab2 - mn2));  // ln(l2 / l1)
  const auto panels = static_cast<std::size_t>(std::clamp(std::ceil(length), 1.0, 8.0));
  const double panel = length / static_cast<double>(panels);
  const double d = std::numbers::pi / panel;
  const double rate = 2 * Log(d + std::sqrt(1 + d * d));
  const auto points = static_cast<std::size_t>(
      std::clamp(std::ceil(-Log(target) / rate), 2.0,
                 static_cast<double>(std::min(kMaxGaussPoints, kMaxFiniteNodes / panels))));
  const GaussRule& rule = GaussLegendre(points);
  FiniteNodes nodes{};
  double total = 0;
  for (std::size_t p = 0; p < panels; ++p) {
    const double centre = logNear + (static_cast<double>(p) + 0.5) * panel;
    for (std::size_t i = 0; i < points; ++i) {
      const double u = centre + 0.5 * panel * rule.node[i];
      // The weight e^-u relative to e^-ln(l1) keeps it near 1 for any AB/2.
      nodes.r[nodes.count] = Exp(u);
      nodes.weight[nodes.count] = rule.weight[i] * Exp(logNear - u);
      total += nodes.weight[nodes.count];
      ++nodes.count;
    }
  }
  for (std::size_t i = 0; i < nodes.count; ++i) nodes.weight[i] /= total;
  return nodes;
}

// rho_a is homogeneous of degree 1 in the resistivities: it is summed in
// units of 2^scale, and only the last step, back to the model's unit, can
// overflow (where rho_a itself does). For resistivities and spacings that
// overflow nowhere the scaling is exact and changes no bit.
ForwardResult ApparentResistivityChecked(const LayeredModel& model, double ab2, double mn2) {
  const int scale = ResistivityScale(model, model.resistivity.size() - 1);
  Estimate estimate{0, 0, ForwardPath::kFilter};
  if (mn2 == 0) {
    estimate = IdealEstimate(model, ab2, scale);
  } else {
    // The average is taken of rho_a - rho_1 and rho_1 added after, so that
    // an earth that is one half-space gives rho_1 to the bit (the weights
    // sum to 1 only to rounding).
    const FiniteNodes nodes = FiniteArrayNodes(model, ab2, mn2);
    const double rho1 = std::ldexp(model.resistivity.front(), -scale);
    double departure = 0;
    for (std::size_t i = 0; i < nodes.count; ++i) {
      const Estimate at = IdealEstimate(model, nodes.r[i], scale);
      departure += nodes.weight[i] * (at.value - rho1);
      estimate.error += nodes.weight[i] * at.error;
      estimate.path = std::max(estimate.path, at.path);
    }
    estimate.value = rho1 + departure;
    estimate.error += kQuadratureTarget * estimate.value;
  }
  ForwardResult result{std::ldexp(estimate.value, scale), estimate.path,
                       estimate.value > 0 ? estimate.error / estimate.value : INFINITY, false};
  result.trusted = result.errorEstimate <= kTrustedError && std::isfinite(result.value);
  if (result.trusted) return result;
  if (const std::optional<double> exact = TryApparentResistivityExact(model, ab2, mn2);
      exact && *exact > 0 && std::isfinite(*exact)) {
    return {*exact, ForwardPath::kIntegration, 1e-9, true};
  }
  // Neither path could be trusted. A last guard, so that no value is
  // negative or not finite: it is kept within the model's resistivities.
  const double smallest = SmallestResistivity(model);
  const double largest = LargestResistivity(model);
  if (!(result.value >= smallest)) result.value = smallest;
  if (!(result.value <= largest)) result.value = largest;
  return result;
}

double ApparentResistivity(const LayeredModel& model, double ab2, double mn2) {
  return ApparentResistivityChecked(model, ab2, mn2).value;
}

}  // namespace tavrin::sounding
