// The reference forward model: the Hankel transforms of the resistivity
// transform integrated numerically between the zeros of the Bessel function,
// the partial sums carried to their limit by Wynn's epsilon algorithm.
//
// With D(lambda) = T(lambda) - rho_1, which falls off like exp(-2 lambda h_1)
// so that every integral converges absolutely, and x = lambda r:
//   ideal array   rho_a(s) = rho_1 + integral_0^inf D(x / s) x J1(x) dx,
//   finite array  G(r) = integral_0^inf D(lambda) J0(lambda r) d lambda
//                      = (1 / r) integral_0^inf D(x / r) J0(x) dx,
//                 rho_a = rho_1 + (L^2 - l^2) / (2 l) (G(L - l) - G(L + l)).
// S_k, the integral up to the k-th zero j_k of J_nu, is a sequence whose
// steps alternate in sign and change in size slowly: the epsilon algorithm
//   e_{-1}^(i) = 0,  e_0^(i) = S_i,
//   e_{m+1}^(i) = e_{m-1}^(i+1) + 1 / (e_m^(i+1) - e_m^(i))
// extrapolates it (e_{2m}^(i) is the estimate) long before the integrand has
// died away. Each interval is integrated by 16-point Gauss-Legendre, bisected
// until the halves agree with the whole. The zeros come from McMahon's
// expansion
//   j_{nu,k} ~ b - (mu - 1) / (8 b) - 4 (mu - 1)(7 mu - 31) / (3 (8 b)^3),
//   b = (k + nu / 2 - 1/4) pi,  mu = 4 nu^2,
// polished by Newton's method (J0' = -J1, J1' = J0 - J1 / x).
// For the finite array the difference of two potentials loses about
// log10(L / l) of the digits; at l = L / 1000 it is still near 1e-11.
// The work is bounded: a spacing whose integrals have not settled after
// kMaxEvaluations values of the integrand has no value (std::nullopt).
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>
#include <span>
#include <vector>
#include <version>

#include "gauss_legendre.h"
#include "sounding/forward.h"
#include "sounding/portable_math.h"
#include "sounding/resistivity_transform.h"

namespace tavrin::sounding {

namespace {

// Relative accuracy asked of each integral, against the smallest layer
// resistivity (the apparent resistivity is never far below it).
constexpr double kRelativeTolerance = 1e-12;
// Below this relative size a change of the estimate is rounding noise.
constexpr double kRoundingNoise = 2e-15;
// An interval's integral is good to this much of the integral of |f J|:
// std::cyl_bessel_j is accurate to about 1e-14 of the function's envelope,
// and bisecting further only chases its errors. The epsilon estimates carry
// that noise of the largest step.
constexpr double kQuadratureNoise = 1e-14;
// Partial sums the epsilon algorithm extrapolates from (odd: the last column
// is an even one, an estimate).
constexpr std::size_t kEpsilonWindow = 15;
// Consecutive agreeing estimates, or negligible steps, that end the sum.
constexpr int kSettledSteps = 3;
// Enough for exp(-2 x h_1 / r) to fall to nothing even at r = 1e4 h_1.
constexpr int kMaxIntervals = 200'000;
// Values of the integrand one spacing may take (about 0.1 s for a few
// layers); ordinary models need a few thousand.
constexpr long kMaxEvaluations = 1'000'000;
constexpr int kMaxBisections = 30;

constexpr int kNewtonSteps = 20;
constexpr std::size_t kGaussPoints = kMaxGaussPoints;

// The rule's value on [a, b] and the integral of |f| it implies, the size
// that rounding errors scale with.
struct Quadrature {
  double value;
  double magnitude;
};

// The integrand's values still allowed to this spacing.
struct Budget {
  long left = kMaxEvaluations;
};

template <class F>
Quadrature GaussIntegral(const F& f, double a, double b, Budget& budget) {
  const GaussRule& rule = GaussLegendre(kGaussPoints);
  budget.left -= static_cast<long>(kGaussPoints);
  const double half = (b - a) / 2;
  const double centre = (a + b) / 2;
  double sum = 0;
  double magnitude = 0;
  for (std::size_t i = 0; i < kGaussPoints; ++i) {
    const double term = rule.weight[i] * f(centre + half * rule.node[i]);
    sum += term;
    magnitude += std::fabs(term);
  }
  return {half * sum, std::fabs(half) * magnitude};
}

// Bisects [a, b] until the two halves' sum agrees with the whole to `tol`,
// or to `noise`, the rounding noise of the whole interval: that stays fixed
// as the pieces shrink, so that a step in the integrand at the level of its
// rounding is not chased down to nothing.
template <class F>
double AdaptiveIntegral(const F& f, double a, double b, double whole, double tol, double noise,
                        int depth, Budget& budget) {
  const double mid = (a + b) / 2;
  const double left = GaussIntegral(f, a, mid, budget).value;
  const double right = GaussIntegral(f, mid, b, budget).value;
  if (depth == 0 || budget.left <= 0 || std::fabs(left + right - whole) <= std::max(tol, noise)) {
    return left + right;
  }
  return AdaptiveIntegral(f, a, mid, left, tol / 2, noise, depth - 1, budget) +
         AdaptiveIntegral(f, mid, b, right, tol / 2, noise, depth - 1, budget);
}

// J_nu(x) for nu 0 or 1: the C++ library's special function, or POSIX's j0
// and j1 where the library has no special functions.
double BesselJ(int nu, double x) {
#if defined(__cpp_lib_math_special_functions)
  return std::cyl_bessel_j(static_cast<double>(nu), x);
#else
  return nu == 0 ? ::j0(x) : ::j1(x);
#endif
}

double BesselDerivative(int nu, double x) {
  const double j1 = BesselJ(1, x);
  return nu == 0 ? -j1 : BesselJ(0, x) - j1 / x;
}

// The k-th positive zero of J_nu (nu 0 or 1), k = 1, 2, ...
double BesselZero(int nu, int k) {
  const double mu = 4.0 * nu * nu;
  const double b = (k + nu / 2.0 - 0.25) * std::numbers::pi;
  const double b8 = 8 * b;
  double x = b - (mu - 1) / b8 - 4 * (mu - 1) * (7 * mu - 31) / (3 * b8 * b8 * b8);
  for (int step = 0; step < kNewtonSteps; ++step) {
    const double dx = BesselJ(nu, x) / BesselDerivative(nu, x);
    x -= dx;
    if (std::fabs(dx) <= 1e-15 * x) break;
  }
  return x;
}

// The last even column's entry of the epsilon table over `sums` (an odd
// count); where two entries coincide the sequence has settled and the entry
// so far is the answer.
double EpsilonEstimate(std::span<const double> sums) {
  std::vector<double> older(sums.size() + 1, 0.0);  // column m - 1
  std::vector<double> column(sums.begin(), sums.end());
  double estimate = column.back();
  for (std::size_t m = 0; column.size() > 1; ++m) {
    std::vector<double> next(column.size() - 1);
    for (std::size_t i = 0; i + 1 < column.size(); ++i) {
      const double difference = column[i + 1] - column[i];
      if (difference == 0) return estimate;
      next[i] = older[i + 1] + 1 / difference;
    }
    older = std::move(column);
    column = std::move(next);
    if (m % 2 == 1) estimate = column.back();
  }
  return estimate;
}

// integral_0^inf f(x) J_nu(x) dx, f smooth and falling off, to the absolute
// tolerance `tol` (or the rounding noise of the sums, if larger); nullopt
// where the budget runs out first.
template <class F>
std::optional<double> BesselIntegral(const F& f, int nu, double tol, Budget& budget) {
  const auto integrand = [&](double x) { return f(x) * BesselJ(nu, x); };
  std::vector<double> sums;
  double start = 0;
  double sum = 0;
  double previous = NAN;
  int settled = 0;
  int negligible = 0;
  double largestStep = 0;
  for (int k = 1; k <= kMaxIntervals; ++k) {
    const double end = BesselZero(nu, k);
    if (budget.left <= 0) return std::nullopt;
    const Quadrature whole = GaussIntegral(integrand, start, end, budget);
    const double step =
        AdaptiveIntegral(integrand, start, end, whole.value, tol / 8,
                         kQuadratureNoise * whole.magnitude, kMaxBisections, budget);
    sum += step;
    sums.push_back(sum);
    start = end;
    largestStep = std::max(largestStep, std::fabs(step));
    const double noise =
        std::max(kRoundingNoise * std::fabs(sum), kQuadratureNoise * kSettledSteps * largestStep);
    const double limit = std::max(tol, noise);
    negligible = std::fabs(step) <= limit ? negligible + 1 : 0;
    if (negligible == kSettledSteps) return sum;
    std::size_t count = std::min(sums.size(), kEpsilonWindow);
    if (count % 2 == 0) --count;
    const double estimate = EpsilonEstimate(std::span<const double>(sums).last(count));
    settled = std::fabs(estimate - previous) <= limit ? settled + 1 : 0;
    if (settled == kSettledSteps) return estimate;
    previous = estimate;
  }
  return std::nullopt;
}

double SmallestResistivity(const LayeredModel& model) {
  return *std::min_element(model.resistivity.begin(), model.resistivity.end());
}
double LargestResistivity(const LayeredModel& model) {
  return *std::max_element(model.resistivity.begin(), model.resistivity.end());
}

// r G(r) = integral_0^inf D(x / r) J0(x) dx.
std::optional<double> ScaledPotential(const LayeredModel& model, double r, double tol,
                                      Budget& budget) {
  const double rho1 = model.resistivity.front();
  return BesselIntegral([&](double x) { return ResistivityTransform(model, x / r) - rho1; }, 0, tol,
                        budget);
}

}  // namespace

std::optional<double> TryApparentResistivityExact(const LayeredModel& model, double ab2,
                                                  double mn2) {
  const double rho1 = model.resistivity.front();
  if (model.thickness.empty()) return rho1;
  // The integrand is of the size of the largest resistivity, and its sums
  // carry rounding of kRoundingNoise times that: a tolerance below it (at a
  // contrast of 1e6 and more) could never be met.
  const double tol = std::max(kRelativeTolerance * SmallestResistivity(model),
                              kRoundingNoise * LargestResistivity(model));
  Budget budget;
  if (mn2 == 0) {
    const std::optional<double> integral =
        BesselIntegral([&](double x) { return (ResistivityTransform(model, x / ab2) - rho1) * x; },
                       1, tol, budget);
    if (!integral) return std::nullopt;
    return rho1 + *integral;
  }
  // rho_a - rho_1 = F (G(near) - G(far)) with F = near far / (2 mn2): each
  // r G(r) needs tol r / F, that is tol 2 mn2 / far at near and tol 2 mn2 /
  // near at far. F is applied as near / (2 mn2) times far g, as the finite
  // array's factor is formed elsewhere, so that no ab2^2 overflows.
  const double near = ab2 - mn2;
  const double far = ab2 + mn2;
  const std::optional<double> atNear = ScaledPotential(model, near, tol * (2 * mn2) / far, budget);
  if (!atNear) return std::nullopt;
  const std::optional<double> atFar = ScaledPotential(model, far, tol * (2 * mn2) / near, budget);
  if (!atFar) return std::nullopt;
  const double g = *atNear / near - *atFar / far;
  return rho1 + near / (2 * mn2) * (far * g);
}

double ApparentResistivityExact(const LayeredModel& model, double ab2, double mn2) {
  const std::optional<double> value = TryApparentResistivityExact(model, ab2, mn2);
  if (!value) {
    throw ExactNotConverged("the Hankel transform did not converge within its bounded work");
  }
  return *value;
}

}  // namespace tavrin::sounding
