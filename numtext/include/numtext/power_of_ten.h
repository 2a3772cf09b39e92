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

}  // namespace tavrin
