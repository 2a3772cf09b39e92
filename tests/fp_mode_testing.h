// The floating-point mode that foreign code can change under the program:
// the x87 control word where the unit exists, the rounding mode elsewhere.
// Tests that the engine and the conversions keep the caller's mode read it
// and change it through these.
#pragma once

#include <cfenv>
#include <cstdint>

#include "runtime/fp_control.h"

namespace tavrin::testing_support {

inline std::uint32_t ReadFpMode() {
#ifdef TAVRIN_HAS_X87
  return ReadFpuControlWord();
#else
  return static_cast<std::uint32_t>(std::fegetround());
#endif
}

// A mode no caller of the program uses: 24-bit precision and rounding toward
// zero on the x87 unit, rounding toward zero elsewhere.
inline void WriteForeignFpMode() {
#ifdef TAVRIN_HAS_X87
  constexpr std::uint16_t kSinglePrecisionTowardZero = 0x0C7F;
  WriteFpuControlWord(kSinglePrecisionTowardZero);
#else
  std::fesetround(FE_TOWARDZERO);
#endif
}

}  // namespace tavrin::testing_support
