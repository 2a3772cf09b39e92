// The scaled 18-digit decimal integer behind GenerateDecimalDigits, for
// callers that round it themselves instead of reading its digit text.
#pragma once

#include <cstdint>

#include "numtext/extended.h"

namespace tavrin {

// A finite non-zero value's decimal significand: the digit text that
// GenerateDecimalDigits gives with 18 or more digits reads the 18 digits of
// `digits` (leading zeros included) followed by "0"s, as
// 0.d1d2...d18 x 10^exponent.
struct DecimalSignificand {
  std::uint64_t digits;  // below 10^18
  int exponent;
  bool negative;
};

// Digits of DecimalSignificand::digits.
inline constexpr int kSignificandDigits = 18;

// The significand of `x`; false (and nothing written) for zeros, infinities
// and NaNs, whose digit texts are fixed. By reference: an x87 extended real
// passed by value is stored to the stack and loaded again on each call.
bool ScaleToDecimalSignificand(const Extended& x, DecimalSignificand& out);

}  // namespace tavrin
