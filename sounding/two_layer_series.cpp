// The two-layer image series summed to its limit.
//
//   rho_a / rho_1 = S = 1 + 2 sum_{n>=1} k^n q(n),  k = (rho_2 - rho_1) / (rho_2 + rho_1),
//
// q(n) being the n-th image's share of the measured potential difference,
// q(0) = 1. The n-th image pair lies at depth z = 2 n h; with s = AB/2,
// l = MN/2, F = (s^2 - l^2) / (2 l) the potential difference
//   2 k^n F (1 / sqrt((s - l)^2 + z^2) - 1 / sqrt((s + l)^2 + z^2))
// is, with alpha = (z / (s - l))^2, beta = (z / (s + l))^2,
//   q = 1 / (sqrt((1 + alpha) (1 + beta)) (1 + sigma)),
//   sigma = ((s - l) (sqrt(1 + alpha) - 1) + (s + l) (sqrt(1 + beta) - 1)) / (2 s),
// free of the difference of nearly equal potentials; for l = 0 it is the
// ideal array's (1 + (z / s)^2)^(-3/2). q(x) is smooth and decreasing for real
// x >= 0, singular only at x = +-i (s +- l) / (2 h), and falls off as x^-3.
//
// With f(x) = |k|^x q(x) = exp(x ln|k| + ln q(x)), ln q formed by log1p so that
// f - 1 keeps its digits where f is near 1:
// - k < 0: S = 2 sum_{n>=0} (-1)^n u(n) with u = f - 1 = expm1(...), u(0) = 0
//   (Euler's sum of (-1)^n is 1/2): the series' leading 1 is cancelled
//   analytically, so that S ~ (1 - |k|) / 2 at k -> -1 (rho_a -> rho_2 << rho_1)
//   is not lost to rounding. The first kDirect terms are added, the rest by
//   Euler's transformation
//     sum_{n>=N} (-1)^n u(n) = (-1)^N sum_{j>=0} (-1)^j Delta^j u(N) / 2^(j+1).
// - k > 0: the terms are positive and at k -> 1 fall off only as n^-3 up to
//   n ~ 1 / (1 - k): the tail beyond kDirect by Van Wijngaarden's
//   transformation into the alternating series
//     sum_{n>=N} f(n) = sum_{r>=1} (-1)^(r-1) w_r,  w_r = sum_{p>=0} 2^p f(N - 1 + 2^p r),
//   and that by Euler's transformation.
// Euler's transformation of a sequence as smooth as these converges at least
// like 2^-j: kDifferences of them leave about 1e-12 of the tail's first term,
// each difference adds half an ulp of the terms, and so S is good to about
// 1e-12 relative, and to 1e-14 absolute where it is below 1 (k < 0).
#include "two_layer_series.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "sounding/portable_math.h"

namespace tavrin::sounding {

namespace {

constexpr int kDirect = 24;          // terms summed one by one
constexpr int kDifferences = 40;     // terms of Euler's transformation
constexpr int kMaxDoublings = 1100;  // 2^p r beyond every double: f is 0 there
constexpr double kNegligible = 1e-17;

// sqrt(1 + t^2) - 1 without cancellation, for t >= 0 (inf for t = inf).
double SqrtOnePlusSquareMinusOne(double t) {
  const double root = Hypot(1.0, t);
  return t < 1 ? t * t / (root + 1) : root - 1;
}

struct Images {
  double logK;  // ln |k| < 0
  double twoH;  // 2 h
  double near;  // s - l
  double far;   // s + l
  double s;

  // ln f(x) = x ln|k| + ln q(x).
  double LogTerm(double x) const {
    if (x == 0) return 0;
    const double z = twoH * x;
    const double ta = z / near;
    const double tb = z / far;
    const double sigma =
        (near * SqrtOnePlusSquareMinusOne(ta) + far * SqrtOnePlusSquareMinusOne(tb)) / (2 * s);
    const double logQ = -0.5 * (Log1p(ta * ta) + Log1p(tb * tb)) - Log1p(sigma);
    return x * logK + logQ;
  }
  double F(double x) const { return Exp(LogTerm(x)); }
  double U(double x) const { return Expm1(LogTerm(x)); }
};

// sum_{j>=0} (-1)^j Delta^j a(0) / 2^(j+1) over the values in `a` (which it
// overwrites with its differences).
double EulerSum(std::array<double, kDifferences>& a) {
  double sum = 0;
  double scale = 0.5;
  for (int j = 0; j < kDifferences; ++j) {
    sum += (j % 2 == 0 ? scale : -scale) * a[0];
    for (int i = 0; i + 1 < kDifferences - j; ++i) a[i] = a[i + 1] - a[i];
    scale /= 2;
  }
  return sum;
}

double AlternatingSeries(const Images& images) {
  double sum = 0;
  for (int n = 1; n < kDirect; ++n) sum += (n % 2 == 0 ? 1 : -1) * images.U(n);
  const double sign = kDirect % 2 == 0 ? 1 : -1;
  double tail = -0.5;  // Euler's sum of sum_{n>=N} (-1)^(n-N) (-1)
  if (images.F(kDirect) > kNegligible) {
    std::array<double, kDifferences> u{};
    for (int j = 0; j < kDifferences; ++j) u[j] = images.U(kDirect + j);
    tail = EulerSum(u);
  }
  return 2 * (sum + sign * tail);
}

double PositiveSeries(const Images& images) {
  double sum = 0;
  for (int n = 1; n < kDirect; ++n) sum += images.F(n);
  if (images.F(kDirect) > kNegligible * sum) {
    std::array<double, kDifferences> w{};
    for (int r = 1; r <= kDifferences; ++r) {
      double wr = 0;
      for (int p = 0; p < kMaxDoublings; ++p) {
        const double term = std::ldexp(images.F(kDirect - 1 + std::ldexp(r, p)), p);
        wr += term;
        if (term <= kNegligible * wr) break;
      }
      w[r - 1] = wr;
    }
    sum += EulerSum(w);
  }
  return 1 + 2 * sum;
}

}  // namespace

double TwoLayerRatio(double rho1, double rho2, double h, double ab2, double mn2) {
  if (rho1 == rho2) return 1;
  // |k| = (1 - c) / (1 + c) with c = the smaller over the larger resistivity:
  // no sum of resistivities to overflow, and ln|k| = log1p(-c) - log1p(c)
  // keeps its digits as c -> 0.
  const double c = std::min(rho1, rho2) / std::max(rho1, rho2);
  const Images images{Log1p(-c) - Log1p(c), 2 * h, ab2 - mn2, ab2 + mn2, ab2};
  return rho2 < rho1 ? AlternatingSeries(images) : PositiveSeries(images);
}

}  // namespace tavrin::sounding
