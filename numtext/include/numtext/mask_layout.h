// Laying out a value's decimal digits under a compiled picture mask: the
// mantissa digits rounded to the mask's places, then the positions written
// from right to left.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "numtext/mask_template.h"
#include "numtext/significand_rounding.h"

namespace tavrin {

// Digits kept from the generator: 18 significant digits and a "0"; for an
// infinity nineteen "9"s. Every later character of the digit text reads "0".
inline constexpr int kKeptDigits = 19;

// The largest decimal exponent a finite extended real has (about 1.19e4932
// reads 0.119... x 10^4933), plus 2 for percent scaling.
inline constexpr int kLargestDecimalExponent = 4933 + 2;

// Room for the mantissa digits: the integer digits (one more after a carry)
// and one digit per decimal position.
inline constexpr int kMantissaCapacity = kLargestDecimalExponent + 1 + kMaxSectionLength;

// Characters written beyond the positions: at most once, the integer digits
// that no position took or the zeros up to the leftmost "0" position.
inline constexpr int kBeyondPositions = kLargestDecimalExponent + 1 > kMaxSectionLength
                                            ? kLargestDecimalExponent + 1
                                            : kMaxSectionLength;

// Room for a laid-out result: each position writes at most one character,
// then the characters beyond the positions, a minus sign, a "," per three of
// all these, and an exponent of up to five characters in front of its
// leftmost position.
inline constexpr int kLayoutCapacity = 16384;
static_assert(kLayoutCapacity >= kMaxSectionLength + kBeyondPositions + 1 +
                                     (kMaxSectionLength + kBeyondPositions) / 3 + 1 + 6);

// A value's digit text, read as 0.d1d2d3... x 10^d. It reads the generator's
// buffer in place; characters past the kept ones read "0" without being stored.
class DigitText {
 public:
  // `digits` holds at least kKeptDigits characters and outlives this object.
  explicit DigitText(const char* digits) : digits_(digits) {}
  // Character i of the digit text; "0" before its start and after the kept ones.
  char At(int i) const { return i >= 0 && i < kKeptDigits ? digits_[i] : '0'; }
  // True when a kept digit is not "0".
  bool NonZero() const;

 private:
  const char* digits_;
};

// Builds a text from its right end into caller storage.
class ReverseWriter {
 public:
  ReverseWriter(char* storage, int capacity) : begin_(storage), next_(storage + capacity) {}
  // Puts `c` to the left of everything written so far; a full writer drops it
  // and remembers that it overflowed.
  void Put(char c) {
    if (next_ == begin_) {
      overflowed_ = true;
      return;
    }
    *--next_ = c;
  }
  std::string_view text(const char* end) const {
    return {next_, static_cast<std::size_t>(end - next_)};
  }
  bool overflowed() const { return overflowed_; }

 private:
  char* begin_;
  char* next_;
  bool overflowed_ = false;
};

// The mantissa digits without an exponent part: the integer digits (at least
// "0") and `decimals` fraction digits, rounded at the last fraction digit.
// `out` has room for kMantissaCapacity characters; returns the text, which
// lies within `out` (at its start or one character in).
std::string_view FixedMantissa(const DigitText& digits, int exponent, int decimals, char* out);

// Room for FixedSignificandMantissa's text.
inline constexpr int kSignificandMantissaCapacity = kShortSectionLength + 24;

// "00" to "99": the two characters of n at 2 * n.
struct DigitPairText {
  char text[200];
  constexpr DigitPairText() : text{} {
    for (int n = 0; n < 100; ++n) {
      text[2 * n] = static_cast<char>('0' + n / 10);
      text[2 * n + 1] = static_cast<char>('0' + n % 10);
    }
  }
};
inline constexpr DigitPairText kDigitPairText;

// Writes the last `count` decimal digits of n (leading "0"s included) to the
// `count` characters before `end`, two at a time (each step's division
// waits for the one before); returns n without them.
inline std::uint64_t WriteLastDigits(std::uint64_t n, int count, char* end) {
  constexpr std::uint64_t kPair = 100;
  constexpr std::uint64_t kTen = 10;
  for (; count >= 2; count -= 2) {
    end -= 2;
    std::memcpy(end, kDigitPairText.text + 2 * (n % kPair), 2);
    n /= kPair;
  }
  if (count == 1) {
    *--end = static_cast<char>('0' + n % kTen);
    n /= kTen;
  }
  return n;
}

// FixedMantissa of a DecimalSignificand's digit text (its 18 digits, the
// first not "0", then "0"s), from the integer itself: the digits kept are
// the integer divided by a power of ten, rounded half to even on the
// remainder, as RoundsUp rounds the digit text. For at most
// kShortSectionLength decimals and a cut (exponent + decimals) at most one
// digit past the 18th (so the result fits 64 bits); false otherwise.
bool FixedSignificandMantissa(std::uint64_t digits, int exponent, int decimals, char* out,
                              std::string_view& text);

// The first `count` digits (1 <= count <= kMaxSectionLength) for an exponent
// form, rounded at the last one; a carry out of all of them raises *exponent.
int ExponentMantissa(const DigitText& digits, int count, int* exponent, char* out);

// Writes the mantissa part of the mask (every position without an exponent
// part, else those up to and including the E) from right to left. For
// MaskTemplate and ShortMaskTemplate.
template <class Template>
void LayoutMantissa(const Template& mask, std::string_view mantissa, bool negative,
                    ReverseWriter& out);

// Writes the exponent part of the mask (the positions after the E) from
// right to left, showing `exponent` in the mask's exponent mode.
template <class Template>
void LayoutExponent(const Template& mask, int exponent, ReverseWriter& out);

}  // namespace tavrin
