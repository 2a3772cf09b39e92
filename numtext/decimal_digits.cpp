// GenerateDecimalDigits: the significant decimal digits of an extended real,
// from one 18-digit integer obtained by a single power-of-ten scaling.
#include <cstdint>
#include <cstring>

#include "numtext/decimal_numeral.h"
#include "numtext/decimal_significand.h"
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

// "00" to "99": the two characters of n at 2 * n.
struct DigitPairTable {
  char text[200];
  constexpr DigitPairTable() : text{} {
    for (int n = 0; n < 100; ++n) {
      text[2 * n] = static_cast<char>('0' + n / 10);
      text[2 * n + 1] = static_cast<char>('0' + n % 10);
    }
  }
};
constexpr DigitPairTable kDigitPairs;

// The 18-digit integer is written as two halves of nine digits, each of
// which fits 32-bit arithmetic (10^9 < 2^32).
constexpr std::uint64_t kHalfModulus = 1000000000;
constexpr int kHalfDigits = 9;
constexpr std::uint64_t kIntegerLimit = kHalfModulus * kHalfModulus;  // 10^18
// Below 2^62, rint of a value fits int64 even after rounding up (the largest
// such value rounds to at most 2^62), and converts back to an extended real
// exactly.
constexpr Extended kIntegerRoundingLimit = std::uint64_t{1} << 62;

// Writes the nine digits of n < 10^9, leading zeros included, to out[0..9).
void WriteNineDigits(std::uint32_t n, char* out) {
  for (int i = kHalfDigits - 2; i >= 1; i -= 2) {
    std::memcpy(out + i, kDigitPairs.text + 2 * (n % 100), 2);
    n /= 100;
  }
  out[0] = static_cast<char>('0' + n);  // n < 10 after four pairs
}

// x * 10^p as ScaleByPowerOfTen gives it, without the call when the power is
// one of the exact ones (one rounded multiplication or division either way).
Extended ScaleForDigits(Extended x, int p) {
  if (p >= 0 && p <= kLargestExactPowerOfTen) return x * ExactPowerOfTen(p);
  if (p < 0 && -p <= kLargestExactPowerOfTen) return x / ExactPowerOfTen(-p);
  return ScaleByPowerOfTen(x, static_cast<std::int16_t>(p));
}

// The scaled value as an 18-digit integer: y = rint(scaled), then one decade
// of correction (y >= 10^18: y / 10, rounded again; y < 10^17: y * 10) that
// moves the decimal exponent k to match. Only the last 18 digits are kept (a
// correction rounded up to exactly 10^18 leaves "000000000000000000").
std::uint64_t ScaledInteger(Extended scaled, int& k) {
  std::uint64_t integer;
  if (scaled < kIntegerRoundingLimit) {
    // One rounding to integer gives rint(scaled) exactly, and the comparisons and the
    // multiplication by ten are then exact in integers.
    const auto whole = static_cast<std::uint64_t>(RoundToInt64(scaled));
    if (whole >= kIntegerLimit) {
      integer = static_cast<std::uint64_t>(RoundToInt64(static_cast<Extended>(whole) / 10));
      ++k;
    } else if (whole < kIntegerLimit / 10) {
      integer = whole * 10;
      --k;
    } else {
      integer = whole;
    }
  } else {  // in extended arithmetic throughout (also a NaN from an unnormal operand)
    Extended y = RoundToIntegral(scaled);
    if (y >= PowerOfTen18()) {
      y /= 10;
      ++k;
    } else if (y < PowerOfTen18() / 10) {
      y *= 10;
      --k;
    }
    integer = static_cast<std::uint64_t>(RoundToInt64(y));
  }
  return integer >= kIntegerLimit ? integer % kIntegerLimit : integer;
}

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

}  // namespace

bool ScaleToDecimalSignificand(const Extended& x, DecimalSignificand& out) {
  const ExtendedFields fields = SplitExtended(x);
  const std::uint16_t exponentField = fields.exponentField();
  if (exponentField == 0 || exponentField == kExtendedExponentMask) return false;
  int k = EstimateDecimalExponent(static_cast<int>(exponentField) - kExtendedExponentBias);
  // Scale into [10^17, 10^18) (or one decade either side), round to integer.
  const Extended scaled = ScaleForDigits(Abs(x), 17 - k);
  out.digits = ScaledInteger(scaled, k);
  out.exponent = k + 1;
  out.negative = fields.negative();
  return true;
}

DecimalDigits GenerateDecimalDigits(Extended x, int count, char* buffer) {
  DecimalSignificand significand;
  if (!ScaleToDecimalSignificand(x, significand)) {
    const ExtendedFields fields = SplitExtended(x);
    if (fields.exponentField() == kExtendedExponentMask &&
        fields.significand == kExtendedIntegerBit) {
      return FillSpecial(buffer, count, '9', kInfinityExponent, fields.negative());
    }
    return FillSpecial(buffer, count, '0', kZeroExponent, false);  // zeros and every NaN
  }
  const std::uint64_t integer = significand.digits;
  int k = significand.exponent - 1;
  const bool negative = significand.negative;

  if (count < 1) {  // no digits wanted: only the exponent and the sign
    buffer[0] = '\0';
    return {k + 1, negative};
  }
  // The sequence S goes straight into the buffer (its first 20 bytes are
  // always there): count digits, then the rounding digit r; 19 characters
  // when more are wanted.
  // One 64-bit division; the low half is exact in 32 bits (it is below 10^9).
  const auto high = static_cast<std::uint32_t>(integer / kHalfModulus);
  const auto low =
      static_cast<std::uint32_t>(integer) - high * static_cast<std::uint32_t>(kHalfModulus);
  WriteNineDigits(high, buffer);
  WriteNineDigits(low, buffer + kHalfDigits);
  buffer[kIntegerDigits] = '0';
  buffer[kIntegerDigits + 1] = '0';
  const int kept = count < kSequenceLength - 1 ? count : kSequenceLength - 1;
  const char rounding = buffer[kept];
  buffer[kept] = '\0';

  const bool lastKeptOdd = ((buffer[kept - 1] - '0') & 1) != 0;
  if (rounding > '5' || (rounding == '5' && lastKeptOdd)) {
    if (IncrementDecimalNumeral(buffer, kept)) {
      buffer[0] = '1';
      ++k;
    }
  }
  return {k + 1, negative};
}

}  // namespace tavrin
