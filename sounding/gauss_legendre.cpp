// The Gauss-Legendre rules: the nodes are the roots of P_n, found by
// Newton's method from cos(pi (i + 3/4) / (n + 1/2)) (the portable cosine, so
// that every target starts, and ends, at the same doubles); the weights are
// w = 2 / ((1 - x^2) P_n'(x)^2).
#include "gauss_legendre.h"

#include <cassert>
#include <cmath>
#include <numbers>

#include "sounding/portable_math.h"

namespace tavrin::sounding {

namespace {

constexpr int kNewtonSteps = 100;

GaussRule MakeGaussRule(std::size_t points) {
  GaussRule rule;
  const int n = static_cast<int>(points);
  for (int i = 0; i < n; ++i) {
    double x = Cos(std::numbers::pi * (i + 0.75) / (n + 0.5));
    double derivative = 1;
    for (int step = 0; step < kNewtonSteps; ++step) {
      double p0 = 1;
      double p1 = x;
      for (int k = 2; k <= n; ++k) {
        const double p2 = ((2 * k - 1) * x * p1 - (k - 1) * p0) / k;
        p0 = p1;
        p1 = p2;
      }
      derivative = n == 1 ? 1 : n * (x * p1 - p0) / (x * x - 1);
      const double dx = p1 / derivative;
      x -= dx;
      if (std::fabs(dx) < 1e-16) break;
    }
    rule.node[static_cast<std::size_t>(i)] = x;
    rule.weight[static_cast<std::size_t>(i)] = 2 / ((1 - x * x) * derivative * derivative);
  }
  return rule;
}

}  // namespace

const GaussRule& GaussLegendre(std::size_t points) {
  assert(points >= 1 && points <= kMaxGaussPoints);
  static const std::array<GaussRule, kMaxGaussPoints + 1> rules = [] {
    std::array<GaussRule, kMaxGaussPoints + 1> all{};
    for (std::size_t n = 1; n <= kMaxGaussPoints; ++n) all[n] = MakeGaussRule(n);
    return all;
  }();
  return rules[points];
}

}  // namespace tavrin::sounding
