// The resistivity transform by the bottom-up recurrence.
#include "sounding/resistivity_transform.h"

#include <algorithm>
#include <cmath>

#include "forward_cuts.h"
#include "sounding/portable_math.h"

namespace tavrin::sounding {

namespace {
// The numerator and denominator of T stay within this factor of 1.
constexpr double kRescale = 1e100;
}  // namespace

int ResistivityScale(const LayeredModel& model, std::size_t bottom) {
  double largest = 0;
  for (std::size_t i = 0; i <= bottom && i < model.resistivity.size(); ++i) {
    largest = std::max(largest, model.resistivity[i]);
  }
  return largest > 0 && std::isfinite(largest) ? std::ilogb(largest) : 0;
}

double ResistivityTransform(const LayeredModel& model, double lambda) {
  const std::size_t bottom = OpaqueBottom(model, lambda);
  // T is homogeneous of degree 1 in the resistivities, so it is formed from
  // rho_i / 2^k, with 2^k the power of two at or below the largest of them,
  // and multiplied back by 2^k. Scaling by a power of two is exact (barring
  // underflow of a resistivity 2^1022 times below the largest), so the result
  // is the one unscaled arithmetic would give wherever that neither overflows
  // nor underflows: without it num, of the order of rho^2, overflows from
  // rho ~ 1e154 and underflows below rho ~ 1e-154.
  const int scale = ResistivityScale(model, bottom);
  // T is carried as the fraction num / den, so that the layers cost no
  // division but the last. With T = num / den, a = num + rho den and
  // b = num - rho den, the step above a layer is
  //   num' = rho (a + e b),  den' = a - e b
  // (the recurrence with t = (1 - e) / (1 + e), times (1 + e) den). Each step
  // scales both by about 2 rho; when that carries den far from 1 (extreme
  // resistivities over many layers), the fraction is brought back.
  double num = std::ldexp(model.resistivity[bottom], -scale);
  double den = 1;
  for (std::size_t i = bottom; i-- > 0;) {
    const double rho = std::ldexp(model.resistivity[i], -scale);
    const double e = Exp(-2 * lambda * model.thickness[i]);
    const double a = num + rho * den;
    const double b = num - rho * den;
    num = rho * (a + e * b);
    den = a - e * b;
    if (!(den < kRescale && den > 1 / kRescale)) {
      num /= den;
      den = 1;
    }
  }
  return std::ldexp(num / den, scale);
}

}  // namespace tavrin::sounding
