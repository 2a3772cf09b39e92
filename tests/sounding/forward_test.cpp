// The forward model against the exact two-layer solution, the image series,
// for the ideal and the finite Schlumberger array: the filters to 0.1 %, the
// reference integration to 1e-8; and the filters against the reference for
// models of up to six layers.
#include "sounding/forward.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tavrin::sounding {
namespace {

constexpr double kTolerance = 1e-3;  // 0.1 %
constexpr double kReferenceTolerance = 1e-8;
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
        EXPECT_NEAR(ApparentResistivityExact(model, s, mn2) / exact, 1, kReferenceTolerance)
            << "reference, k " << k << " ab2 " << s << " mn2 " << mn2;
      }
    }
  }
}

// Models of three to six layers, contrasts up to 1:1000, thin and thick
// layers: the filters within 0.1 % of the reference from a tenth of the first
// thickness to a thousand times the depth of the half-space.
TEST(Forward, FiltersMatchTheReferenceForManyLayers) {
  const LayeredModel models[] = {
      {{100, 1, 100}, {5, 2}},                             // a thin conductor
      {{10, 10000, 10}, {5, 20}},                          // a resistor, 1:1000
      {{1000, 1, 1000, 1}, {3, 10, 30}},                   // alternating, 1:1000
      {{1, 3, 10, 30, 100, 1000}, {1, 2, 4, 8, 16}},       // rising
      {{1000, 300, 100, 30, 10, 1}, {2, 2, 20, 20, 200}},  // falling
      {{50, 500, 0.5, 200, 5, 100}, {0.5, 30, 1, 100, 3}},
  };
  for (const LayeredModel& model : models) {
    double depth = 0;
    for (const double h : model.thickness) depth += h;
    for (const double mn2Fraction : {0.0, 0.05, 0.4}) {
      for (double s = model.thickness.front() / 10; s <= 1000 * depth; s *= 2) {
        const double mn2 = mn2Fraction * s;
        const double reference = ApparentResistivityExact(model, s, mn2);
        EXPECT_NEAR(ApparentResistivity(model, s, mn2) / reference, 1, kTolerance)
            << "rho " << model.resistivity.front() << "... over " << model.resistivity.size()
            << " layers, ab2 " << s << " mn2 " << mn2;
      }
    }
  }
}

// rho_a is linear in the resistivities: every one times c gives rho_a times
// c, over the doubles' whole range. A power of two scales exactly, bit for
// bit; a decimal factor to its rounding. Large spacings need no AB/2 squared.
TEST(Forward, ScalesWithTheResistivitiesAndSpacings) {
  const LayeredModel model{{100, 10, 1000}, {2, 20}};
  const struct {
    double factor;
    double tolerance;  // relative; 0 for exact
  } cases[] = {{0x1p-1000, 0}, {0x1p+1000, 0}, {1e-300, 1e-13}, {1e300, 1e-13}};
  for (const auto& c : cases) {
    LayeredModel scaled = model;
    for (double& rho : scaled.resistivity) rho *= c.factor;
    for (const double mn2Fraction : {0.0, 0.05}) {
      for (const double s : {1.0, 10.0, 100.0, 1e200}) {
        const double expected = c.factor * ApparentResistivity(model, s, mn2Fraction * s);
        const double value = ApparentResistivity(scaled, s, mn2Fraction * s);
        ASSERT_TRUE(std::isfinite(expected) && expected > 0) << s;
        EXPECT_LE(std::fabs(value / expected - 1), c.tolerance)
            << "factor " << c.factor << " ab2 " << s << " mn2 " << mn2Fraction * s;
      }
    }
  }
  // Far beyond the layers the finite array sees the half-space.
  EXPECT_NEAR(ApparentResistivity(model, 1e200, 1e199) / 1000, 1, kTolerance);
}

}  // namespace
}  // namespace tavrin::sounding
