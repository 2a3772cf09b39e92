// GenerateDecimalDigits: the significant decimal digits of an extended real,
// from one 18-digit integer obtained by a single power-of-ten scaling.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "numtext/extended_bits.h"
#include "numtext/numtext.h"
#include "numtext/power_of_ten.h"

namespace tavrin {
namespace {

// Digits the scaled integer holds, and the sequence S built from it: the 18
// digits followed by two "0"s.
constexpr int kIntegerDigits = 18;
constexpr int kSequenceLength = kIntegerDigits + 2;

// The decimal exponent of the special values: infinities read 0.999... x 10^999,
// zero and NaN 0.000... x 10^1.
constexpr int kInfinityExponent = 999;
constexpr int kZeroExponent = 1;

// floor(log10 2) estimate as a 16.16 fixed-point factor: 19728 / 65536 =
// 0.30103 (log10 2 to five places).
constexpr std::int32_t kLog10Of2Fixed = 19728;

// Writes `count` copies of `digit` and the terminating zero byte.
DecimalDigits FillSpecial(char* buffer, int count, char digit, int exponent, bool negative) {
  if (count > 0) std::memset(buffer, digit, static_cast<std::size_t>(count));
  buffer[count > 0 ? count : 0] = '\0';
  return {exponent, negative};
}

// floor(e * log10 2) for a binary exponent e, as the upper half of the signed
// 16-by-16-bit product e * 19728 (an arithmetic shift keeps the floor for
// negative e).
int EstimateDecimalExponent(int binaryExponent) {
  const std::int32_t product = static_cast<std::int32_t>(binaryExponent) * kLog10Of2Fixed;
  return static_cast<int>(product >> 16);
}

// Adds one to the decimal numeral digits[0..length); returns true when the
// carry ran out of the leftmost digit (the digits are then all "0").
bool IncrementDigits(char* digits, int length) {
  for (int i = length - 1; i >= 0; --i) {
    if (digits[i] != '9') {
      ++digits[i];
      return false;
    }
    digits[i] = '0';
  }
  return true;
}

}  // namespace

DecimalDigits GenerateDecimalDigits(Extended x, int count, char* buffer) {
  const ExtendedFields fields = SplitExtended(x);
  const std::uint16_t exponentField = fields.exponentField();
  if (exponentField == 0) return FillSpecial(buffer, count, '0', kZeroExponent, false);
  if (exponentField == kExtendedExponentMask) {
    if (fields.significand == kExtendedIntegerBit) {
      return FillSpecial(buffer, count, '9', kInfinityExponent, fields.negative());
    }
    return FillSpecial(buffer, count, '0', kZeroExponent, false);  // any NaN
  }

  const bool negative = fields.negative();
  const Extended magnitude = std::fabs(x);
  int k = EstimateDecimalExponent(static_cast<int>(exponentField) - kExtendedExponentBias);

  // Scale into [10^17, 10^18) (or one decade either side), round to integer.
  Extended y = std::rint(ScaleByPowerOfTen(magnitude, static_cast<std::int16_t>(17 - k)));
  if (y >= PowerOfTen18()) {
    y /= 10;
    ++k;
  } else if (y < PowerOfTen18() / 10) {
    y *= 10;
    --k;
  }
  std::uint64_t integer = static_cast<std::uint64_t>(std::llrint(y));

  char sequence[kSequenceLength];
  for (int i = kIntegerDigits - 1; i >= 0; --i) {
    sequence[i] = static_cast<char>('0' + integer % 10);
    integer /= 10;
  }
  sequence[kIntegerDigits] = '0';
  sequence[kIntegerDigits + 1] = '0';

  if (count < 1) {  // no digits wanted: only the exponent and the sign
    buffer[0] = '\0';
    return {k + 1, negative};
  }
  // count digits and the rounding digit r; 19 characters when more are wanted.
  const int written = count + 1 < kSequenceLength ? count + 1 : kSequenceLength;
  const int kept = written - 1;
  std::memcpy(buffer, sequence, static_cast<std::size_t>(kept));
  buffer[kept] = '\0';
  const char rounding = sequence[kept];

  const bool lastKeptOdd = ((buffer[kept - 1] - '0') & 1) != 0;
  if (rounding > '5' || (rounding == '5' && lastKeptOdd)) {
    if (IncrementDigits(buffer, kept)) {
      buffer[0] = '1';
      ++k;
    }
  }
  return {k + 1, negative};
}

}  // namespace tavrin
