// Rounding a DecimalSignificand's 18 digits to a number of fraction digits
// in integer arithmetic, as FixedMantissa rounds its digit text. Inline:
// FormatNumber's fast path calls it for every value.
#pragma once

#include <cstdint>

#include "numtext/mask_template.h"
#include "numtext/wide_integer.h"

namespace tavrin {

// A DecimalSignificand's digit text rounded to `decimals` fraction digits:
// FixedMantissa's text is `kept` written in integerDigits + decimals digits,
// leading "0"s included.
struct RoundedFixed {
  std::uint64_t kept;
  int integerDigits;  // at least 1
  bool zeroInteger;   // the integer digits are a lone "0"
};

namespace rounding_detail {

inline constexpr int kSignificandDigitsShown = 18;
inline constexpr int kLargestWholePower = 19;
// Every significand is below 10^18 < 2^60.
inline constexpr int kDividendBits = 60;

// 10^0 to 10^19, every power of ten below 2^64.
struct PowersOfTen {
  std::uint64_t value[kLargestWholePower + 1];
  constexpr PowersOfTen() : value{} {
    std::uint64_t p = 1;
    for (std::uint64_t& v : value) {
      v = p;
      p *= 10;
    }
  }
};
inline constexpr PowersOfTen kPowers;

// n / 10^q for n < 2^60 and 1 <= q <= 18 as one multiplication: with
// L = ceil(log2 10^q), s = 60 + L and m = ceil(2^s / 10^q),
// floor(n * m / 2^s) = floor(n / 10^q), because m * 10^q - 2^s < 10^q <= 2^L
// makes the error of n * m / 2^s below n * 2^L / (10^q * 2^s) < 1 / 10^q,
// too little to reach the next integer. m < 2^61 fits 64 bits, and s >= 64,
// so the quotient is the high half of the product shifted by s - 64.
struct PowerReciprocals {
  std::uint64_t factor[kSignificandDigitsShown + 1];
  int shift[kSignificandDigitsShown + 1];  // s - 64
  constexpr PowerReciprocals() : factor{}, shift{} {
    for (int q = 1; q <= kSignificandDigitsShown; ++q) {
      const std::uint64_t d = kPowers.value[q];
      int bits = 0;
      while ((std::uint64_t{1} << bits) < d) ++bits;
      const int s = kDividendBits + bits;
      // ceil(2^s / d) by long division, one bit at a time (r < d < 2^60).
      std::uint64_t quotient = 0;
      std::uint64_t r = 0;
      for (int i = s; i >= 0; --i) {
        r = 2 * r + (i == s ? 1 : 0);
        const bool bit = r >= d;
        if (bit) r -= d;
        quotient = (quotient << 1) | (bit ? 1 : 0);
      }
      factor[q] = quotient + (r != 0 ? 1 : 0);
      shift[q] = s - 64;
    }
  }
};
inline constexpr PowerReciprocals kReciprocals;

constexpr std::uint64_t DivideByPowerOfTen(std::uint64_t n, int q) {
  return soft::Multiply(n, kReciprocals.factor[q]).hi >> kReciprocals.shift[q];
}
// The largest dividend and the ones each side of a multiple, for every power.
constexpr bool DividesExactly() {
  constexpr std::uint64_t kLargest = (std::uint64_t{1} << kDividendBits) - 1;
  for (int q = 1; q <= kSignificandDigitsShown; ++q) {
    const std::uint64_t d = kPowers.value[q];
    const std::uint64_t top = kLargest / d * d;
    for (std::uint64_t n : {kLargest, top, top - 1, d, d - 1}) {
      if (DivideByPowerOfTen(n, q) != n / d) return false;
    }
  }
  return true;
}
static_assert(DividesExactly());

}  // namespace rounding_detail

// The rounding of FixedSignificandMantissa, without writing the digits. For
// at most kShortSectionLength decimals and a cut (exponent + decimals) at
// most one digit past the 18th (so the result fits 64 bits); false otherwise.
inline bool RoundSignificandToPlaces(std::uint64_t digits, int exponent, int decimals,
                                     RoundedFixed& out) {
  using namespace rounding_detail;
  const int cut = exponent + decimals;
  if (cut > kLargestWholePower || decimals > kShortSectionLength) return false;
  // The kept digits as one integer: the digit text up to the cut.
  std::uint64_t kept = 0;
  if (cut >= kSignificandDigitsShown) {
    kept = digits * kPowers.value[cut - kSignificandDigitsShown];  // only "0"s are added
  } else if (cut >= 0) {
    const int droppedDigits = kSignificandDigitsShown - cut;
    const std::uint64_t dropped = kPowers.value[droppedDigits];
    kept = DivideByPowerOfTen(digits, droppedDigits);
    const std::uint64_t rest = digits - kept * dropped;
    const std::uint64_t half = dropped / 2;
    // Above half: the first dropped digit is above "5", or it is "5" and a
    // later one is not "0"; exactly half: up when the last kept digit is
    // odd (a cut at the start keeps nothing, which reads as an even "0").
    if (rest > half || (rest == half && (kept & 1) != 0)) ++kept;
  }  // a cut before the start keeps nothing and rounds nothing up
  const int integers = exponent > 0 ? exponent : 0;
  const int width = integers + decimals;
  out.kept = kept;
  if (width <= kLargestWholePower && kept == kPowers.value[width]) {
    // Every kept digit was a "9" and the carry ran out: "1" and width "0"s.
    out.integerDigits = integers + 1;
    out.zeroInteger = false;
  } else {
    // The first digit of the significand is not "0", so an integer part
    // from it has `integers` digits and no leading "0"; without one it is "0".
    out.integerDigits = integers > 0 ? integers : 1;
    out.zeroInteger = integers == 0;
  }
  return true;
}

}  // namespace tavrin
