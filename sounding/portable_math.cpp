// Exp and Log by fdlibm's method (argument reduction by ln 2 split in two
// parts, then a minimax polynomial on the reduced range), the rest built on
// them. See portable_math.h for the accuracy and why.
#include "sounding/portable_math.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace tavrin::sounding {

namespace {

// ln 2 as a head with 32 significant bits (so that k ln2Head is exact for
// every |k| < 2^21) and the rest.
constexpr double kLn2Head = 6.93147180369123816490e-01;
constexpr double kLn2Tail = 1.90821492927058770002e-10;
constexpr double kInvLn2 = 1.44269504088896338700e+00;
constexpr double kSqrtHalf = 0.70710678118654752440;

// Beyond these e^x is no finite double / rounds to zero.
constexpr double kExpOverflow = 7.09782712893383973096e+02;
constexpr double kExpUnderflow = -7.45133219101941108420e+02;

// exp(r) = 1 + r + r^2 / (2 - c) form: R(r^2) = r - c(r) approximates
// r (e^r + 1) / (e^r - 1) - 2 on |r| <= ln 2 / 2 within 2^-59.
constexpr double kP1 = 1.66666666666666019037e-01;
constexpr double kP2 = -2.77777777770155933842e-03;
constexpr double kP3 = 6.61375632143793436117e-05;
constexpr double kP4 = -1.65339022054652515390e-06;
constexpr double kP5 = 4.13813679705723846039e-08;

// log(1 + f) = 2s + s R(s^2), s = f / (2 + f): the minimax R on
// |s| <= 0.1716 within 2^-58.45.
constexpr double kLg1 = 6.666666666666735130e-01;
constexpr double kLg2 = 3.999999999940941908e-01;
constexpr double kLg3 = 2.857142874366239149e-01;
constexpr double kLg4 = 2.222219843214978396e-01;
constexpr double kLg5 = 1.818357216161805012e-01;
constexpr double kLg6 = 1.531383769920937332e-01;
constexpr double kLg7 = 1.479819860511658591e-01;

// 1 / ln 10 and 1 / ln 2 with their tails (the double nearest, and the
// rest), ln 10 as head and tail.
constexpr double kInvLn10Head = 0.4342944819032518;
constexpr double kInvLn10Tail = 1.098319650216765e-17;
constexpr double kInvLn2Tail = 2.0355273740931033e-17;
constexpr double kLn10Head = 2.302585092994046;
constexpr double kLn10Tail = -2.1707562233822494e-16;

// The powers of ten a double holds exactly.
constexpr int kExactPowers = 23;
constexpr double kPowersOfTen[kExactPowers] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

constexpr double kRoundingShift = 6755399441055744.0;  // 1.5 * 2^52

// y 2^k for y in [1/2, 2]: a multiplication by 2^k made from its bits where
// y 2^k is a normal double (exact, and no call), ldexp near the ends.
double ScaleByPowerOfTwo(double y, int k) {
  constexpr int kExponentBias = 1023;
  constexpr int kMantissaBits = 52;
  if (k > -kExponentBias + 1 && k < kExponentBias) {
    const auto bits = static_cast<std::uint64_t>(k + kExponentBias) << kMantissaBits;
    double power = 0;
    std::memcpy(&power, &bits, sizeof power);
    return y * power;
  }
  return std::ldexp(y, k);
}

// Splits a double into two halves of 26 bits (Veltkamp), so that products of
// halves are exact.
void Split(double a, double& head, double& tail) {
  constexpr double kSplitter = 134217729.0;  // 2^27 + 1
  const double t = kSplitter * a;
  head = t - (t - a);
  tail = a - head;
}

// a b as head + tail exactly (Dekker), for |a b| far from overflow.
void TwoProduct(double a, double b, double& product, double& error) {
  product = a * b;
  double aHead, aTail, bHead, bTail;
  Split(a, aHead, aTail);
  Split(b, bHead, bTail);
  error = ((aHead * bHead - product) + aHead * bTail + aTail * bHead) + aTail * bTail;
}

}  // namespace

double Exp(double x) {
  if (std::isnan(x)) return x;
  if (x > kExpOverflow) return std::numeric_limits<double>::infinity();
  if (x < kExpUnderflow) return 0;
  // x = k ln 2 + r, |r| <= ln 2 / 2; k ln2Head is exact, so hi - lo is r
  // to about 2^-80 relative.
  // k = x / ln 2 rounded to the nearest integer, ties to even: adding and
  // taking away 1.5 * 2^52 leaves no fraction (|x / ln 2| < 2^11), in the
  // default rounding, without a call.
  const double k = (x * kInvLn2 + kRoundingShift) - kRoundingShift;
  const double hi = x - k * kLn2Head;
  const double lo = k * kLn2Tail;
  const double r = hi - lo;
  const double t = r * r;
  const double c = r - t * (kP1 + t * (kP2 + t * (kP3 + t * (kP4 + t * kP5))));
  if (k == 0) return 1 - ((r * c) / (c - 2.0) - r);
  const double y = 1 - ((lo - (r * c) / (2.0 - c)) - hi);
  return ScaleByPowerOfTwo(y, static_cast<int>(k));
}

double Log(double x) {
  if (std::isnan(x) || x < 0) return std::numeric_limits<double>::quiet_NaN();
  if (x == 0) return -std::numeric_limits<double>::infinity();
  if (std::isinf(x)) return x;
  // x = 2^k m with m in [sqrt(1/2), sqrt(2)), f = m - 1.
  int k = 0;
  double m = std::frexp(x, &k);  // m in [1/2, 1)
  if (m < kSqrtHalf) {
    m *= 2;
    --k;
  }
  const double f = m - 1;
  const double s = f / (2.0 + f);
  const double z = s * s;
  const double w = z * z;
  const double t1 = w * (kLg2 + w * (kLg4 + w * kLg6));
  const double t2 = z * (kLg1 + w * (kLg3 + w * (kLg5 + w * kLg7)));
  const double r = t2 + t1;
  const double hfsq = 0.5 * f * f;
  const double dk = k;
  if (k == 0) return f - (hfsq - s * (hfsq + r));
  return dk * kLn2Head - ((hfsq - (s * (hfsq + r) + dk * kLn2Tail)) - f);
}

double Log1p(double x) {
  // u = 1 + x rounded; ln u (x / (u - 1)) corrects the rounding of u to
  // first order, which leaves about 2 ulp.
  const double u = 1 + x;
  if (u == 1) return x;
  if (std::isinf(u) || u <= 0) return Log(u);
  return Log(u) * (x / (u - 1));
}

double Log2(double x) {
  int k = 0;
  const double m = std::frexp(x, &k);
  if (std::isfinite(x) && m == 0.5) return k - 1;  // exact at powers of two
  const double l = Log(x);
  return l * kInvLn2 + l * kInvLn2Tail;
}

double Log10(double x) {
  for (int n = 0; n < kExactPowers; ++n) {
    if (x == kPowersOfTen[n]) return n;
  }
  const double l = Log(x);
  return l * kInvLn10Head + l * kInvLn10Tail;
}

double Pow10(double y) {
  if (y == std::floor(y) && std::fabs(y) < kExactPowers) {
    const int n = static_cast<int>(std::fabs(y));
    return y >= 0 ? kPowersOfTen[n] : 1 / kPowersOfTen[n];
  }
  // y ln 10 as head + tail; e^(head + tail) = e^head (1 + tail).
  double head, tail;
  TwoProduct(y, kLn10Head, head, tail);
  tail += y * kLn10Tail;
  const double e = Exp(head);
  if (e == 0 || std::isinf(e)) return e;
  return e + e * tail;
}

double Expm1(double x) {
  // u = e^x rounded; (u - 1) x / ln u corrects the rounding of u (Kahan).
  const double u = Exp(x);
  if (u == 1) return x;
  const double um1 = u - 1;
  if (um1 == -1 || std::isinf(u)) return um1;
  return um1 * x / Log(u);
}

double Hypot(double a, double b) {
  a = std::fabs(a);
  b = std::fabs(b);
  const double large = std::max(a, b), small = std::min(a, b);
  if (large == 0 || std::isinf(large)) return large + small;
  const double ratio = small / large;
  return large * std::sqrt(1 + ratio * ratio);
}

double Cos(double x) {
  // sum (-1)^k x^2k / (2k)!, the terms falling below 2^-60 of the first by
  // k = 20 for |x| <= 4.
  constexpr int kTerms = 20;
  const double x2 = x * x;
  double term = 1, sum = 1;
  for (int k = 1; k <= kTerms; ++k) {
    term *= -x2 / ((2 * k - 1) * (2 * k));
    sum += term;
  }
  return sum;
}

double Pow(double a, double b) {
  return Exp(b * Log(a));
}

}  // namespace tavrin::sounding
