// The layout of a plain mask, which follows from the position walk of
// LayoutMantissa when every position is a "#", a "0" or the one ".":
//  - the decimal positions take the fraction digits in order, except that a
//    "#" in the run of "0"s that ends the fraction shows nothing;
//  - the integer positions take every integer digit (those no position took
//    go in front), and the "0"s up to the leftmost "0" position pad them;
//  - without integer positions, the integer digits go in front of the point
//    unless they are a lone "0";
//  - the minus sign goes in front of everything.
#include "numtext/plain_mask.h"

#include "platform/short_bytes.h"

namespace tavrin {
namespace {

constexpr int kMaxPlainDecimals = 64;  // bits of PlainMask::filledDecimals

bool IsDigit(const MaskPosition& position) {
  return position.kind != PositionKind::kLiteral;
}

}  // namespace

PlainMask DescribePlainMask(const ShortMaskTemplate& mask) {
  PlainMask plain;
  if (mask.exponentMode != ExponentMode::kNone || mask.grouping || mask.percent) return plain;
  const int integers = mask.integerPlaces;
  const int decimals = mask.decimalPlaces;
  if (integers + decimals == 0 || decimals > kMaxPlainDecimals) return plain;
  const bool point = mask.count > integers;
  if (mask.count != integers + decimals + (point ? 1 : 0)) return plain;
  if (point && !(mask.positions[integers].kind == PositionKind::kLiteral &&
                 mask.positions[integers].ch == '.')) {
    return plain;
  }
  // Every filled position is a "0" of the mask, none a fill ("*x" makes
  // filled positions that are not counted as "0"s).
  int filled = 0;
  for (int i = 0; i < mask.count; ++i) {
    if (mask.positions[i].kind == PositionKind::kFilledDigit) ++filled;
  }
  if (filled != mask.zeroPlaces) return plain;
  for (int i = 0; i < integers; ++i) {
    const MaskPosition& position = mask.positions[i];
    if (!IsDigit(position)) return plain;
    if (position.kind == PositionKind::kFilledDigit && plain.zeroWidth == 0) {
      plain.zeroWidth = integers - i;
    }
  }
  for (int j = 0; j < decimals; ++j) {
    const MaskPosition& position = mask.positions[integers + 1 + j];
    if (!IsDigit(position)) return plain;
    if (position.kind == PositionKind::kFilledDigit) plain.filledDecimals |= std::uint64_t{1} << j;
  }
  plain.plain = true;
  plain.point = point;
  plain.integerPlaces = integers;
  plain.decimalPlaces = decimals;
  return plain;
}

int LayOutPlain(const PlainMask& mask, std::string_view mantissa, bool negative, char* out) {
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
