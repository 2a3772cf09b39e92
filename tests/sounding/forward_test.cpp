// The forward model's filters against the exact two-layer solution, the
// image series, for the ideal and the finite Schlumberger array.
#include "sounding/forward.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tavrin::sounding {
namespace {

constexpr double kTolerance = 1e-3;  // 0.1 %
constexpr double kTopResistivity = 100;
constexpr double kThickness = 10;
constexpr int kMaxImages = 1'000'000;  // k = 0.98 needs about 2,000 at 1e-17

// Sums the terms term(n), n = 1, 2, ..., until they no longer change the sum.
template <class Term>
double ImageSum(Term term) {
  double sum = 0;
  for (int n = 1; n < kMaxImages; ++n) {
    const double t = term(n);
    sum += t;
    if (std::fabs(t) < 1e-17 * (1 + std::fabs(sum))) break;
  }
  return sum;
}

// Ideal array: rho_a(s) = rho_1 [1 + 2 sum k^n s^3 / (s^2 + (2 n h)^2)^(3/2)].
double ImageSeriesIdeal(double k, double s) {
  return kTopResistivity * (1 + 2 * ImageSum([&](int n) {
                                  const double depth = 2 * n * kThickness;
                                  return std::pow(k, n) * s * s * s /
                                         std::pow(s * s + depth * depth, 1.5);
                                }));
}

// Potential of a unit source times 2 pi / rho_1:
// 1/r + 2 sum k^n / sqrt(r^2 + (2 n h)^2).
double ImagePotential(double k, double r) {
  return 1 / r + 2 * ImageSum([&](int n) {
                   const double depth = 2 * n * kThickness;
                   return std::pow(k, n) / std::sqrt(r * r + depth * depth);
                 });
}

// Finite array: rho_a = rho_1 (L^2 - l^2) / (2 l) (P(L - l) - P(L + l)).
double ImageSeriesFinite(double k, double s, double l) {
  return kTopResistivity * (s * s - l * l) / (2 * l) *
         (ImagePotential(k, s - l) - ImagePotential(k, s + l));
}

TEST(Forward, TwoLayersMatchTheImageSeries) {
  // MN/2 as a fraction of AB/2; 0 is the ideal array.
  for (const double k : {-0.98, -0.5, 0.0, 0.5, 0.98}) {
    for (const double mn2Fraction : {0.0, 0.05, 0.4}) {
      const LayeredModel model{{kTopResistivity, kTopResistivity * (1 + k) / (1 - k)},
                               {kThickness}};
      for (double s = kThickness / 100; s <= 1000 * kThickness; s *= 1.25) {
        const double mn2 = mn2Fraction * s;
        const double exact = mn2 == 0 ? ImageSeriesIdeal(k, s) : ImageSeriesFinite(k, s, mn2);
        EXPECT_NEAR(ApparentResistivity(model, s, mn2) / exact, 1, kTolerance)
            << "k " << k << " ab2 " << s << " mn2 " << mn2;
      }
    }
  }
}

}  // namespace
}  // namespace tavrin::sounding
