// Plain masks: sections made of "#" and "0" digit positions around at most
// one ".", with no grouping, percent, exponent, fill or other literal. Their
// layout is a few copies instead of a walk over the positions.
#pragma once

#include <cstdint>
#include <string_view>

#include "numtext/mask_template.h"
#include "platform/short_bytes.h"

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
// Inline: it is a few copies, and the call would cost as much.
inline int LayOutPlain(const PlainMask& mask, std::string_view mantissa, bool negative, char* out) {
  const int decimals = mask.decimalPlaces;
  const int integerLength = static_cast<int>(mantissa.size()) - decimals;
  const char* const integerDigits = mantissa.data();
  const char* const fraction = integerDigits + integerLength;
  char* next = out;
  if (negative) *next++ = '-';
  if (mask.integerPlaces > 0) {
    for (int padding = mask.zeroWidth - integerLength; padding > 0; --padding) *next++ = '0';
    platform::CopyShort(next, integerDigits, static_cast<std::size_t>(integerLength));
    next += integerLength;
  } else if (!(integerLength == 1 && integerDigits[0] == '0')) {
    platform::CopyShort(next, integerDigits, static_cast<std::size_t>(integerLength));
    next += integerLength;
  }
  if (mask.point) *next++ = '.';
  int shown = decimals;  // fraction digits before the final run of "0"s
  while (shown > 0 && fraction[shown - 1] == '0') --shown;
  platform::CopyShort(next, fraction, static_cast<std::size_t>(shown));
  next += shown;
  for (int j = shown; j < decimals; ++j) {
    if ((mask.filledDecimals >> j) & 1) *next++ = '0';
  }
  return static_cast<int>(next - out);
}

}  // namespace tavrin
