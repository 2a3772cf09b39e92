// Gauss-Legendre quadrature rules of 1 to kMaxGaussPoints points on [-1, 1],
// shared by the finite array's average and the exact integration.
#pragma once

#include <array>
#include <cstddef>

namespace tavrin::sounding {

inline constexpr std::size_t kMaxGaussPoints = 16;

struct GaussRule {
  std::array<double, kMaxGaussPoints> node{};  // on [-1, 1]; the first `points` used
  std::array<double, kMaxGaussPoints> weight{};
};

// The rule of `points` points, 1 to kMaxGaussPoints; made once.
const GaussRule& GaussLegendre(std::size_t points);

}  // namespace tavrin::sounding
