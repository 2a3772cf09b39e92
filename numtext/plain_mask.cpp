// Recognising a plain mask. Its layout (LayOutPlain, inline in the header)
// follows from the position walk of LayoutMantissa when every position is a
// "#", a "0" or the one ".":
//  - the decimal positions take the fraction digits in order, except that a
//    "#" in the run of "0"s that ends the fraction shows nothing;
//  - the integer positions take every integer digit (those no position took
//    go in front), and the "0"s up to the leftmost "0" position pad them;
//    grouping puts a "," between every three of these digits from the right;
//  - without integer positions, the integer digits go in front of the point
//    unless they are a lone "0";
//  - the minus sign goes in front of everything.
#include "numtext/plain_mask.h"

namespace tavrin {
namespace {

constexpr int kMaxPlainDecimals = 64;  // bits of PlainMask::filledDecimals

bool IsDigit(const MaskPosition& position) {
  return position.kind != PositionKind::kLiteral;
}

}  // namespace

PlainMask DescribePlainMask(const ShortMaskTemplate& mask) {
  PlainMask plain;
  if (mask.exponentMode != ExponentMode::kNone || mask.percent) return plain;
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
  plain.grouping = mask.grouping;
  plain.integerPlaces = integers;
  plain.decimalPlaces = decimals;
  return plain;
}

}  // namespace tavrin
