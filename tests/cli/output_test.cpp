// The tool's 17-digit double text is C's "%.17g" for every kind of double:
// it is made with std::to_chars, which the C++ library promises to give
// printf's text; this checks that promise where the forms change (fixed and
// exponent form, trailing zeros, denormals, the largest values).
#include "cli/output.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "numtext/bit_cast.h"

namespace tavrin::cli {
namespace {

std::string Printf17(double value) {
  char text[64];
  const int length = std::snprintf(text, sizeof text, "%.17g", value);
  return std::string(text, static_cast<std::size_t>(length));
}

TEST(DoubleText17, IsPrintfsText) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  std::vector<double> values = {0.0,
                                -0.0,
                                kInfinity,
                                -kInfinity,
                                std::numeric_limits<double>::denorm_min(),
                                std::numeric_limits<double>::min(),
                                std::numeric_limits<double>::max(),
                                314.1590118408203,
                                0.1,
                                1e16,
                                1e17,
                                123456789012345678.0,
                                1e-5,
                                9.9999999999999991e-5};
  // Powers of ten and their neighbours: the switch between the two forms
  // and the rounding of the 17th digit.
  for (int p = -330; p <= 310; ++p) {
    const double power = std::pow(10.0, p);
    values.insert(values.end(),
                  {power, std::nextafter(power, 0.0), std::nextafter(power, kInfinity), -power});
  }
  // Every binary exponent, random significands; short decimals as typed.
  constexpr int kRandomValues = 400000;
  std::mt19937_64 random(17);
  for (int n = 0; n < kRandomValues; ++n) values.push_back(BitCast<double>(random()));
  for (int n = 0; n < kRandomValues; ++n) {
    values.push_back(static_cast<double>(random() % 100000000) / std::pow(10.0, random() % 9));
  }
  for (const double value : values) {
    if (std::isnan(value)) continue;
    ASSERT_EQ(DoubleText17(value), Printf17(value)) << BitCast<std::uint64_t>(value);
  }
  EXPECT_EQ(DoubleText17(-std::numeric_limits<double>::quiet_NaN()), "nan");
}

}  // namespace
}  // namespace tavrin::cli
