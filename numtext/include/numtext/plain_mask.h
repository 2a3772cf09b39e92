// Plain masks: sections made of "#" and "0" digit positions around at most
// one ".", perhaps grouped, with no percent, exponent, fill or other
// literal. Their layout is a few copies instead of a walk over the positions.
#pragma once

#include <cstdint>
#include <cstring>

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

// The room LayOutPlain needs beyond the length of the mantissa
// FixedSignificandMantissa would write: a minus sign, the point, the padding "0"s and a
// "," per three integer digits.
inline constexpr int kPlainExtraCapacity =
    2 + kShortSectionLength + (kSignificandMantissaCapacity + kShortSectionLength) / 3;

// Digits per group of a grouped integer, and the groups' modulus.
inline constexpr int kGroup = 3;
inline constexpr std::uint64_t kGroupModulus = 1000;

// ",000" to ",999": a group of three digits and the "," in front of it, for
// n < 1000 at kCommaGroupBytes * n.
inline constexpr int kCommaGroupBytes = kGroup + 1;
struct CommaGroupText {
  char text[kCommaGroupBytes * kGroupModulus];
  constexpr CommaGroupText() : text{} {
    for (int n = 0; n < static_cast<int>(kGroupModulus); ++n) {
      char* group = text + kCommaGroupBytes * n;
      group[0] = ',';
      group[1] = static_cast<char>('0' + n / 100);
      group[2] = static_cast<char>('0' + n / 10 % 10);
      group[3] = static_cast<char>('0' + n % 10);
    }
  }
};
inline constexpr CommaGroupText kCommaGroupText;

// Whether `mask` is plain, and its shape when it is.
PlainMask DescribePlainMask(const ShortMaskTemplate& mask);

// Writes the layout of the rounded mantissa `rounded` (as
// FixedSignificandMantissa would write it: the integer digits, then
// mask.decimalPlaces fraction digits) under the plain `mask` to `out`
// (kSignificandMantissaCapacity + kPlainExtraCapacity characters) and
// returns its length. The same text as LayoutMantissa gives for that
// mantissa; the digits go straight to their places, right to left, the
// fraction first and then the integer digits in front of the point.
// Inline: it is a few stores, and the call would cost as much.
[[gnu::always_inline]] inline int LayOutPlain(const PlainMask& mask, const RoundedFixed& rounded,
                                              bool negative, char* out) {
  constexpr int kFilledBits = 64;  // bits of PlainMask::filledDecimals
  const int decimals = mask.decimalPlaces;
  const int integerLength = rounded.integerDigits;
  char* next = out;
  if (negative) *next++ = '-';
  // The integer digits shown: padded to the leftmost "0" position, or none
  // for a lone "0" without integer positions.
  const bool shown = mask.integerPlaces > 0 || !rounded.zeroInteger;
  const int padding =
      mask.integerPlaces > 0 && mask.zeroWidth > integerLength ? mask.zeroWidth - integerLength : 0;
  const int width = shown ? padding + integerLength : 0;
  const int commas = mask.grouping && width > 0 ? (width - 1) / kGroup : 0;
  char* const point = next + width + commas;
  char* const fraction = point + (mask.point ? 1 : 0);
  const std::uint64_t whole = WriteLastDigits(rounded.kept, decimals, fraction + decimals);
  if (mask.point) *point = '.';
  if (mask.grouping) {
    // Three digits at a time from the right (one division each; the padding
    // reads the "0"s of a spent integer), each group but the leftmost stored
    // with its "," in front in one four-byte copy.
    std::uint64_t rest = whole;
    char* at = point;
    int left = width;
    for (; left > kGroup; left -= kGroup) {
      at -= kCommaGroupBytes;
      std::memcpy(at, kCommaGroupText.text + kCommaGroupBytes * (rest % kGroupModulus),
                  kCommaGroupBytes);
      rest /= kGroupModulus;
    }
    // The leftmost group's `left` digits (none when no integer is shown).
    const char* group = kCommaGroupText.text + kCommaGroupBytes * (rest % kGroupModulus);
    for (int i = 1; i <= left; ++i) at[-i] = group[kCommaGroupBytes - i];
  } else if (shown) {
    WriteLastDigits(whole, integerLength, point);
    for (int k = 0; k < padding; ++k) next[k] = '0';
  }
  // The fraction digits before its final run of "0"s, then one "0" for each
  // "0" position in that run (the run's characters are "0"s already).
  int kept = decimals;
  while (kept > 0 && fraction[kept - 1] == '0') --kept;
  int filled = 0;  // set bits counted one by one: a mask has few "0" decimals
  for (std::uint64_t bits = kept < kFilledBits ? mask.filledDecimals >> kept : 0; bits != 0;
       bits &= bits - 1) {
    ++filled;
  }
  return static_cast<int>(fraction + kept + filled - out);
}

}  // namespace tavrin
