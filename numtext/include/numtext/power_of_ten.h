// The constant powers of ten behind ScaleByPowerOfTen and the digit
// generator: exact integers 10^0..10^7, the ten binary steps
// 10^8, 10^16, ..., 10^4096 as extended reals, and 10^18.
#pragma once

#include <array>
#include <cstdint>

#include "numtext/extended_bits.h"

namespace tavrin {

struct PowerOfTenTableLayout {
  // small[i] = 10^i, exact.
  std::array<std::int32_t, 8> small;
  // large[i] = the extended real nearest to 10^(8 * 2^i), i = 0..9.
  std::array<PackedExtended, 10> large;
  // 10^18, exact.
  PackedExtended e18;
};

extern const PowerOfTenTableLayout PowerOfTenTable;

// Number of binary steps in the table; the largest is 10^4096.
inline constexpr int kLargePowerSteps = 10;
inline constexpr int kLargestTablePower = 4096;

// Entry i of the binary steps as an extended real.
inline Extended LargePowerOfTen(int i) {
  return LoadExtended(PowerOfTenTable.large[i]);
}
// 10^18 as an extended real.
inline Extended PowerOfTen18() {
  return LoadExtended(PowerOfTenTable.e18);
}

// The largest power of ten that is an exact extended real: 10^27 = 2^27 * 5^27
// and 5^27 < 2^64 <= 5^28, so 10^0..10^27 need at most 64 significand bits.
inline constexpr int kLargestExactPowerOfTen = 27;

// 10^0..10^27, exact. BuildPowerOfTen makes the same values for these
// exponents: its factors (10^(a mod 8), 10^8, 10^16) and every partial
// product are exact, so none of its roundings changes anything.
struct ExactPowersOfTen {
  Extended power[kLargestExactPowerOfTen + 1];
  constexpr ExactPowersOfTen() : power{} {
    Extended p = 1;
    for (Extended& entry : power) {
      entry = p;
      p *= 10;
    }
  }
};
inline constexpr ExactPowersOfTen kExactPowersOfTen;

// 10^a for 0 <= a <= kLargestExactPowerOfTen.
inline Extended ExactPowerOfTen(int a) {
  return kExactPowersOfTen.power[a];
}

}  // namespace tavrin
