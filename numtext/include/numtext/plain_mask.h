// Plain masks: sections made of "#" and "0" digit positions around at most
// one ".", with no grouping, percent, exponent, fill or other literal. Their
// layout is a few copies instead of a walk over the positions.
#pragma once

#include <cstdint>
#include <string_view>

#include "numtext/mask_template.h"

namespace tavrin {

struct PlainMask {
  bool plain = false;  // the rest is meaningful only when true
  bool point = false;  // the section has its "."
  int integerPlaces = 0;
  int decimalPlaces = 0;
  // Integer positions from the right end up to the leftmost "0" one: the
  // width to which the integer digits are padded with "0"s.
  int zeroWidth = 0;
  // Bit j set: decimal position j (from the left) is a "0".
  std::uint64_t filledDecimals = 0;
};

// The room LayOutPlain needs beyond the mantissa's length: a minus sign, the
// point and the padding "0"s.
inline constexpr int kPlainExtraCapacity = 2 + kShortSectionLength;

// Whether `mask` is plain, and its shape when it is.
PlainMask DescribePlainMask(const ShortMaskTemplate& mask);

// Writes the layout of `mantissa` (FixedMantissa's text: the integer digits,
// at least "0", then mask.decimalPlaces fraction digits) under the plain
// `mask` to `out` (mantissa.size() + kPlainExtraCapacity characters) and
// returns its length. The same text as LayoutMantissa gives.
int LayOutPlain(const PlainMask& mask, std::string_view mantissa, bool negative, char* out);

}  // namespace tavrin
