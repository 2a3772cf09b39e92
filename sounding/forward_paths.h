// What the forward model's value (forward.cpp) and its derivatives
// (forward_gradient.cpp) share beyond the cuts: the error model that chooses
// between the filter and the two-layer reference, the reference's transform,
// and the quadrature that makes the finite array from the ideal one.
#pragma once

#include <array>
#include <cstddef>

#include "sounding/layered_model.h"

namespace tavrin::sounding {

// The filter's error, relative to the largest |input| over its taps: the
// design's worst error on the exponential pairs (hankel_filter_table.inc),
// with a margin of 2 for inputs that are sums of such terms.
double FilterErrorPerInput();

// Below this estimated relative error the filter's value is taken as it is;
// above it the two-layer reference is tried as well and the smaller estimate
// wins.
inline constexpr double kFilterTarget = 1e-6;

// The image series' own relative error (two_layer_series.cpp), with margin.
inline constexpr double kSeriesError = 1e-11;

// The top two layers' transform, rho_1 (a + e b) / (a - e b) with
// a = rho_2 + rho_1, b = rho_2 - rho_1, e = exp(-2 lambda h_1): the reference
// whose ideal apparent resistivity is rho_1 TwoLayerRatio(...).
inline double TwoLayerTransform(double rho1, double rho2, double e) {
  const double a = rho2 + rho1;
  const double b = rho2 - rho1;
  return rho1 * (a + e * b) / (a - e * b);
}

// The finite array as a weighted mean of the ideal one. With
// J0(lambda l1) - J0(lambda l2) = integral_l1^l2 lambda J1(lambda r) dr,
//   rho_a(finite) = F integral_l1^l2 rho_a(ideal, r) / r^2 dr,
//   F = l1 l2 / (l2 - l1), l1 = AB/2 - MN/2, l2 = AB/2 + MN/2,
// whose weight F / r^2 integrates to 1. In u = ln r the integrand
// rho_a(ideal, e^u) e^-u is analytic in the strip |Im u| < pi / 2 (the
// kernel x J1(x)'s Mellin transform falls off as exp(-pi |omega| / 2)), so
// Gauss-Legendre on panels of length L <= 1 in u converges like
// rho^(-2 n), rho = d + sqrt(1 + d^2), d = pi / L, times the integrand's
// size in the strip, up to the largest resistivity: n is chosen for 1e-10
// times the smallest over the largest resistivity (at most 16 points a panel,
// 8 panels).
// The weights are normalised to sum to 1, so that a half-space is exact.
inline constexpr std::size_t kMaxFiniteNodes = 64;
struct FiniteNodes {
  std::size_t count;
  std::array<double, kMaxFiniteNodes> r;
  std::array<double, kMaxFiniteNodes> weight;
};
FiniteNodes FiniteArrayNodes(const LayeredModel& model, double ab2, double mn2);

// The quadrature's own error, relative, that the finite array's estimate
// carries.
inline constexpr double kQuadratureTarget = 1e-10;

}  // namespace tavrin::sounding
