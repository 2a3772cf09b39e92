// The power-of-ten table and ScaleByPowerOfTen.
//
// Each binary step is the extended real nearest to the exact power: with
// 2^e <= 10^N < 2^(e+1), the significand is 10^N / 2^(e-63) rounded to the
// nearest integer (ties to even) and the exponent word is e + 16383. The
// values were derived with exact integer arithmetic; the remark after each
// says whether the rounding went up or down (10^8, 10^16 and 10^18 are exact).
#include "numtext/power_of_ten.h"

#include <cstdlib>

namespace tavrin {

const PowerOfTenTableLayout PowerOfTenTable = {
    {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000},
    {{
        PackExtended(0xBEBC200000000000, 0x4019),  // 10^8    = 2^26 * 1.49..., exact
        PackExtended(0x8E1BC9BF04000000, 0x4034),  // 10^16   = 2^53 * 1.11..., exact
        PackExtended(0x9DC5ADA82B70B59E, 0x4069),  // 10^32,   e = 106,   rounded up
        PackExtended(0xC2781F49FFCFA6D5, 0x40D3),  // 10^64,   e = 212,   rounded down
        PackExtended(0x93BA47C980E98CE0, 0x41A8),  // 10^128,  e = 425,   rounded up
        PackExtended(0xAA7EEBFB9DF9DE8E, 0x4351),  // 10^256,  e = 850,   rounded up
        PackExtended(0xE319A0AEA60E91C7, 0x46A3),  // 10^512,  e = 1700,  rounded up
        PackExtended(0xC976758681750C17, 0x4D48),  // 10^1024, e = 3401,  rounded down
        PackExtended(0x9E8B3B5DC53D5DE5, 0x5A92),  // 10^2048, e = 6803,  rounded up
        PackExtended(0xC46052028A20979B, 0x7525),  // 10^4096, e = 13606, rounded up
    }},
    PackExtended(0xDE0B6B3A76400000, 0x403A),  // 10^18 = 2^59 * 1.73..., exact
};

namespace {

// Largest |p| whose factor the binary steps can build: (p / 8) must fit in
// kLargePowerSteps bits, so p / 8 <= 1023, p <= 8191.
constexpr int kLargestBuildablePower = 8 * ((1 << kLargePowerSteps) - 1) + 7;

// 10^a for 0 <= a <= kLargestBuildablePower, built from the table: the exact
// integer 10^(a mod 8) times the binary steps of a / 8, each product rounded.
Extended BuildPowerOfTen(int a) {
  Extended factor = PowerOfTenTable.small[a % 8];
  int steps = a / 8;
  for (int bit = 0; steps != 0; ++bit, steps >>= 1) {
    if ((steps & 1) != 0) factor *= LargePowerOfTen(bit);
  }
  return factor;
}

}  // namespace

Extended ScaleByPowerOfTen(Extended x, std::int16_t power) {
  int p = power;
  const Extended largest = LargePowerOfTen(kLargePowerSteps - 1);
  if (p > kLargestTablePower) {
    x *= largest;
    p -= kLargestTablePower;
  } else if (p < -kLargestTablePower) {
    x /= largest;
    p += kLargestTablePower;
  }
  // Beyond the documented range (|p| > 12287) the table cannot build the
  // factor; further whole steps of 10^4096 keep the result defined (it is an
  // infinity or zero for every finite non-zero x by then).
  while (p > kLargestBuildablePower) {
    x *= largest;
    p -= kLargestTablePower;
  }
  while (p < -kLargestBuildablePower) {
    x /= largest;
    p += kLargestTablePower;
  }
  if (p == 0) return x;
  const int a = std::abs(p);
  const Extended factor = a <= kLargestExactPowerOfTen ? ExactPowerOfTen(a) : BuildPowerOfTen(a);
  return p > 0 ? x * factor : x / factor;
}

}  // namespace tavrin
