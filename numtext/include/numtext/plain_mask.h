// Plain masks: sections made of "#" and "0" digit positions around at most
// one ".", perhaps grouped, with no percent, exponent, fill or other
// literal. Their layout is a few copies instead of a walk over the positions.
#pragma once

#include <cstdint>
#include <string_view>

#include "numtext/mask_layout.h"
#include "numtext/mask_template.h"
#include "platform/short_bytes.h"

namespace tavrin {

struct PlainMask {
  bool plain = false;     // the rest is meaningful only when true
  bool point = false;     // the section has its "."
  bool grouping = false;  // a "," between every three integer digits
  int integerPlaces = 0;
  int decimalPlaces = 0;
  // Integer positions from the right end up to the leftmost "0" one: the
  // width to which the integer digits are padded with "0"s.
  int zeroWidth = 0;
  // Bit j set: decimal position j (from the left) is a "0".
  std::uint64_t filledDecimals = 0;
};

// The room LayOutPlain needs beyond the length of a mantissa from
// FixedSignificandMantissa: a minus sign, the point, the padding "0"s and a
// "," per three integer digits.
inline constexpr int kPlainExtraCapacity =
    2 + kShortSectionLength + (kSignificandMantissaCapacity + kShortSectionLength) / 3;

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
  // The integer digits shown: padded to the leftmost "0" position, or none
  // for a lone "0" without integer positions.
  const bool shown = mask.integerPlaces > 0 || !(integerLength == 1 && integerDigits[0] == '0');
  const int padding =
      mask.integerPlaces > 0 && mask.zeroWidth > integerLength ? mask.zeroWidth - integerLength : 0;
  if (shown && mask.grouping) {
    const int width = padding + integerLength;
    for (int k = 0; k < width; ++k) {
      if (k > 0 && (width - k) % 3 == 0) *next++ = ',';
      *next++ = k < padding ? '0' : integerDigits[k - padding];
    }
  } else if (shown) {
    for (int k = 0; k < padding; ++k) *next++ = '0';
    platform::CopyShort(next, integerDigits, static_cast<std::size_t>(integerLength));
    next += integerLength;
  }
  if (mask.point) *next++ = '.';
  int kept = decimals;  // fraction digits before the final run of "0"s
  while (kept > 0 && fraction[kept - 1] == '0') --kept;
  platform::CopyShort(next, fraction, static_cast<std::size_t>(kept));
  next += kept;
  for (int j = kept; j < decimals; ++j) {
    if ((mask.filledDecimals >> j) & 1) *next++ = '0';
  }
  return static_cast<int>(next - out);
}

}  // namespace tavrin
