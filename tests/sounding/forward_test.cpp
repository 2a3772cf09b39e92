// The forward model against the exact two-layer solution, the image series,
// for the ideal and the finite Schlumberger array at contrasts up to 1e6:1
// both ways; the reference integration against it to 1e-8; the filter
// against the integration for models of up to six layers; positive values
// at any contrast; the filter's moments.
#include "sounding/forward.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "../../sounding/hankel_filter.h"

namespace tavrin::sounding {
namespace {

constexpr double kTolerance = 1e-3;  // 0.1 %
constexpr double kReferenceTolerance = 1e-8;
constexpr double kThickness = 10;

// The two-layer image series, summed here independently of the library's
// summation: rho_a / rho_1 = 1 + 2 sum k^n q(n), in long double, term by term
// up to N = 64 a + 64 (a = AB/2 / 2h, beyond which q(x) = q(N) (N / x)^3 to
// 1 part in 4096), and the tail by its leading Euler-Boole (k < 0) or
// Euler-Maclaurin (k > 0) terms, f(n) = |k|^n q(n):
//   sum_{n>=N} (-1)^n f(n) ~ (-1)^N (f(N) / 2 - f'(N) / 4),
//   sum_{n>=N} f(n) ~ integral_N^inf f + f(N) / 2, with
//   integral_N^inf |k|^x N^3 / x^3 dx = N E_3(N ln(1/|k|)),
//   E_3(z) = (e^-z (1 - z) + z^2 E_1(z)) / 2.
// q(n) is the n-th image's share of the potential difference, q(0) = 1:
// (1 + (z/s)^2)^(-3/2) for the ideal array, F (1/sqrt((s-l)^2 + z^2) -
// 1/sqrt((s+l)^2 + z^2)) with F = (s^2 - l^2) / (2 l) for MN/2 = l.
long double ImageShare(long double s, long double l, long double z) {
  if (l == 0) return std::pow(1 + (z / s) * (z / s), -1.5L);
  const long double a = std::sqrt((s - l) * (s - l) + z * z);
  const long double b = std::sqrt((s + l) * (s + l) + z * z);
  return (s * s - l * l) / (2 * l) * (4 * s * l) / (a * b * (a + b));  // b^2 - a^2 = 4 s l
}

// E1(z) = integral from z to inf of e^-t / t dt, z > 0 (the C++ library's
// std::expint(-z) is -E1(z), but not every library has it): the power series
// up to z = 1, the continued fraction beyond (modified Lentz), both to 1e-16.
double ExponentialIntegral(double z) {
  constexpr double kEulerGamma = 0.57721566490153286061;
  constexpr double kTiny = 1e-300;
  constexpr int kMaxTerms = 1000;
  if (z <= 1) {
    double sum = -kEulerGamma - std::log(z), term = 1;
    for (int k = 1; k < kMaxTerms; ++k) {
      term *= -z / k;
      sum -= term / k;
      if (std::fabs(term / k) < 1e-17 * std::fabs(sum)) break;
    }
    return sum;
  }
  double b = z + 1, c = 1 / kTiny, d = 1 / b, h = d;
  for (int i = 1; i < kMaxTerms; ++i) {
    const double a = -static_cast<double>(i) * i;
    b += 2;
    d = 1 / (a * d + b);
    c = b + a / c;
    const double delta = c * d;
    h *= delta;
    if (std::fabs(delta - 1) < 1e-16) break;
  }
  return h * std::exp(-z);
}

double ImageSeries(double rho1, double rho2, double s, double l) {
  const long double k =
      (static_cast<long double>(rho2) - rho1) / (static_cast<long double>(rho2) + rho1);
  // f(x) = |k|^x q(x), the terms' size.
  const auto f = [&](long x) {
    return std::pow(std::fabs(k), static_cast<long double>(x)) *
           ImageShare(s, l, 2 * static_cast<long double>(x) * kThickness);
  };
  const long n = static_cast<long>(64 * s / (2 * kThickness)) + 64;
  long double sum = 0, power = 1;
  for (long i = 1; i < n; ++i) {
    power *= k;
    sum += power * ImageShare(s, l, 2 * static_cast<long double>(i) * kThickness);
  }
  const long double last = f(n);
  if (k < 0) {
    // ... - f'(N) / 4, f' by the central difference; f'''(N) / 48 is below
    // 1e-12 of f(N).
    sum += (n % 2 == 0 ? 1 : -1) * (last / 2 - (f(n + 1) - f(n - 1)) / 8);
  } else if (last > 0) {  // else the tail is below the smallest long double
    const double z = static_cast<double>(n * -std::log(k));
    const double e3 = z == 0 ? 0.5 : (std::exp(-z) * (1 - z) + z * z * ExponentialIntegral(z)) / 2;
    sum += last / std::pow(k, static_cast<long double>(n)) * n * e3 + last / 2;
  }
  return static_cast<double>(rho1 * (1 + 2 * sum));
}

// Contrasts rho_1 : rho_2 both ways, each with the worst relative error
// allowed over AB/2 from h / 100 to 1e4 h, ideal and finite (MN/2 = 0.05 and
// 0.4 AB/2): 0.1 % to 1e6:1, 1e-5 to 1e4:1; every value trusted.
TEST(Forward, TwoLayersMatchTheImageSeries) {
  const struct {
    double rho1, rho2, tolerance;
  } cases[] = {
      {1e6, 1, kTolerance}, {1e4, 1, 1e-5}, {100, 1, 1e-5}, {2, 1, 1e-5},
      {1, 2, 1e-5},         {1, 100, 1e-5}, {1, 1e4, 1e-5}, {1, 1e6, kTolerance},
  };
  for (const auto& c : cases) {
    const LayeredModel model{{c.rho1, c.rho2}, {kThickness}};
    for (const double mn2Fraction : {0.0, 0.05, 0.4}) {
      for (double s = kThickness / 100; s <= 1e4 * kThickness; s *= std::sqrt(10.0)) {
        const double mn2 = mn2Fraction * s;
        const double exact = ImageSeries(c.rho1, c.rho2, s, mn2);
        const ForwardResult result = ApparentResistivityChecked(model, s, mn2);
        EXPECT_NEAR(result.value / exact, 1, c.tolerance)
            << "rho " << c.rho1 << ":" << c.rho2 << " ab2 " << s << " mn2 " << mn2;
        EXPECT_TRUE(result.trusted) << "rho " << c.rho1 << ":" << c.rho2 << " ab2 " << s;
      }
    }
  }
}

// The numerical integration against the image series, at contrasts where
// its tolerance is the rounding of the largest resistivity.
TEST(Forward, ExactIntegrationMatchesTheImageSeries) {
  for (const double k : {-0.98, -0.5, 0.5, 0.98}) {
    for (const double mn2Fraction : {0.0, 0.05}) {
      const double rho2 = 100 * (1 + k) / (1 - k);
      const LayeredModel model{{100, rho2}, {kThickness}};
      for (double s = kThickness / 100; s <= 1000 * kThickness; s *= 3) {
        const double mn2 = mn2Fraction * s;
        EXPECT_NEAR(ApparentResistivityExact(model, s, mn2) / ImageSeries(100, rho2, s, mn2), 1,
                    kReferenceTolerance)
            << "k " << k << " ab2 " << s << " mn2 " << mn2;
      }
    }
  }
  const LayeredModel steep{{1e6, 1}, {kThickness}};
  for (const double s : {1.0, 100.0, 1e4}) {
    const std::optional<double> value = TryApparentResistivityExact(steep, s);
    ASSERT_TRUE(value.has_value()) << s;
    EXPECT_NEAR(*value / ImageSeries(1e6, 1, s, 0), 1, 1e-6) << s;
  }
}

// Contrasts beyond any a survey meets, two and three layers: every value
// positive, finite, and within the model's resistivities.
TEST(Forward, ExtremeContrastsGivePositiveValues) {
  const LayeredModel models[] = {
      {{1e8, 1}, {kThickness}},        {{1e12, 1}, {kThickness}},  {{1, 1e8}, {kThickness}},
      {{1, 1e12}, {kThickness}},       {{1e12, 1, 1e12}, {5, 20}}, {{1, 1e12, 1}, {5, 20}},
      {{1e-150, 1e150}, {kThickness}},
  };
  for (const LayeredModel& model : models) {
    for (const double mn2Fraction : {0.0, 0.05, 0.4}) {
      for (double s = kThickness / 100; s <= 1e4 * kThickness; s *= std::sqrt(10.0)) {
        const double value = ApparentResistivity(model, s, mn2Fraction * s);
        EXPECT_TRUE(value > 0 && std::isfinite(value))
            << model.resistivity[0] << ":" << model.resistivity[1] << " ab2 " << s << " = "
            << value;
      }
    }
  }
}

// The weights' moments sum_i c_i b_i^mu against the kernel's
// M(mu) = integral x^mu x J1(x) dx: 1 for the constant and 1 / lambda,
// 0 for lambda (the fit holds these).
TEST(Forward, FilterMomentsHoldTheirAnalyticValues) {
  const struct { double mu, moment; } cases[] = {{-1, 1}, {0, 1}, {1, 0}};
  for (const auto& c : cases) {
    double sum = 0;
    for (const FilterTap& tap : kSchlumbergerFilter.taps)
      sum += tap.weight * std::pow(tap.abscissa, c.mu);
    EXPECT_NEAR(sum, c.moment, 1e-9) << "mu " << c.mu;
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
        const ForwardResult result = ApparentResistivityChecked(model, s, mn2);
        EXPECT_TRUE(result.trusted);
        EXPECT_NEAR(result.value / reference, 1, kTolerance)
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
