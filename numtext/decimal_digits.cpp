// GenerateDecimalDigits: the significant decimal digits of an extended real,
// from one 18-digit integer obtained by a single power-of-ten scaling.
#include <bit>
#include <cstdint>
#include <cstring>

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

// The 18-digit integer is written as two digits and two groups of eight:
// 10^18 = 100 * 10^8 * 10^8.
constexpr std::uint64_t kEightDigitModulus = 100000000;                                  // 10^8
constexpr std::uint64_t kSixteenDigitModulus = kEightDigitModulus * kEightDigitModulus;  // 10^16
constexpr std::uint64_t kIntegerLimit = 100 * kSixteenDigitModulus;                      // 10^18
// Below 2^62, rint of a value fits int64 even after rounding up (the largest
// such value rounds to at most 2^62), and converts back to an extended real
// exactly.
constexpr Extended kIntegerRoundingLimit = std::uint64_t{1} << 62;

// Writes the two digits of n < 100 to out[0..2).
void WriteTwoDigits(std::uint32_t n, char* out) {
  const std::uint32_t tens = (n * 103) >> 10;  // n / 10 for n < 179
  out[0] = static_cast<char>('0' + tens);
  out[1] = static_cast<char>('0' + (n - 10 * tens));
}

// Writes the eight digits of n < 10^8, leading zeros included, to out[0..8),
// splitting all lanes at once in one 64-bit word (byte i of the word is
// out[i]): n into two halves of four digits in 32-bit lanes, each half into
// two pairs in 16-bit lanes, each pair into two digits in bytes. Each
// quotient is a multiplication and a shift, exact in its range:
//   q / 100 = (q * 10486) >> 20 for q < 10^4 (10486 / 2^20 exceeds 1/100 by
//   less than 1 / 2^20, and q * that excess stays below 1/100), and
//   q / 10 = (q * 103) >> 10 for q < 100 (exact up to 178).
// No lane's product reaches the next lane: 9999 * 10486 < 2^27 and
// 99 * 103 < 2^14.
[[gnu::always_inline]] inline void WriteEightDigits(std::uint32_t n, char* out) {
  const std::uint64_t halves = (n / 10000) | (std::uint64_t{n % 10000} << 32);
  const std::uint64_t hundreds = ((halves * 10486) >> 20) & 0x0000007F0000007F;
  const std::uint64_t pairs = hundreds | ((halves - hundreds * 100) << 16);
  const std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000F;
  const std::uint64_t digits = tens | ((pairs - tens * 10) << 8);
  const std::uint64_t text = digits | 0x3030303030303030;  // '0' in every byte
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(out, &text, sizeof text);
  } else {
    for (int i = 0; i < 8; ++i) out[i] = static_cast<char>(text >> (8 * i));
  }
}

// Writes the 18 digits of n < 10^18, leading zeros included, to out[0..18).
void WriteEighteenDigits(std::uint64_t n, char* out) {
  const std::uint64_t lowSixteen = n % kSixteenDigitModulus;
  WriteTwoDigits(static_cast<std::uint32_t>(n / kSixteenDigitModulus), out);
  WriteEightDigits(static_cast<std::uint32_t>(lowSixteen / kEightDigitModulus), out + 2);
  WriteEightDigits(static_cast<std::uint32_t>(lowSixteen % kEightDigitModulus), out + 10);
}

// 10^0 to 10^17: one in each place of the 18-digit integer.
struct PowersOfTenTable {
  std::uint64_t value[kIntegerDigits];
  constexpr PowersOfTenTable() : value{} {
    std::uint64_t power = 1;
    for (std::uint64_t& v : value) {
      v = power;
      power *= 10;
    }
  }
  constexpr std::uint64_t operator[](int i) const { return value[i]; }
};
constexpr PowersOfTenTable kPowersOfTen;

// x * 10^p as ScaleByPowerOfTen gives it, without the call when the power is
// one of the exact ones (one rounded multiplication or division either way).
Extended ScaleForDigits(Extended x, int p) {
  if (p >= 0 && p <= kLargestExactPowerOfTen) return x * ExactPowerOfTen(p);
  if (p < 0 && -p <= kLargestExactPowerOfTen) return x / ExactPowerOfTen(-p);
  return ScaleByPowerOfTen(x, static_cast<std::int16_t>(p));
}

// rint(whole / 10) as the extended arithmetic gives it (the quotient rounded
// to the 64-bit significand, then to an integer, both to nearest even), for
// 10^18 <= whole <= 2^62, in integers. The quotient q + r/10 (r = whole mod
// 10) lies in [2^56, 2^59), so its significand keeps at least 5 fraction
// bits and its first rounding moves r/10 by at most 2^-6: not across 1/2
// unless r = 5, and 5/10 is exact. So the integer is q, plus one when r > 5
// or when r = 5 and q is odd.
std::uint64_t RoundedTenth(std::uint64_t whole) {
  const std::uint64_t q = whole / 10;
  const std::uint64_t r = whole - 10 * q;
  return q + ((r > 5 || (r == 5 && (q & 1) != 0)) ? 1 : 0);
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
      integer = RoundedTenth(whole);
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
  const int kept = count < kSequenceLength - 1 ? count : kSequenceLength - 1;
  std::uint64_t digits = integer;
  if (kept < kIntegerDigits) {
    // The rounding digit r and the last kept digit, read off the integer: with
    // P = 10^(18 - kept), the kept digits are q = integer / P and r is the
    // first digit of the remainder (the digits after r do not count). Rounding
    // up adds P; a carry out of all 18 digits leaves 10^18, whose first kept
    // digits read as 10^17's ("1" and zeros), one decade up. (From 18 digits
    // on, r is one of the two "0"s and nothing rounds.)
    const std::uint64_t place = kPowersOfTen[kIntegerDigits - kept];
    const std::uint64_t below = kPowersOfTen[kIntegerDigits - 1 - kept];  // P / 10
    const std::uint64_t keptDigits = integer / place;
    const std::uint64_t remainder = integer - keptDigits * place;
    const bool up = remainder >= 6 * below || (remainder >= 5 * below && (keptDigits & 1) != 0);
    if (up) digits += place;
    if (digits >= kIntegerLimit) {
      digits = kIntegerLimit / 10;
      ++k;
    }
  }
  WriteEighteenDigits(digits, buffer);
  buffer[kIntegerDigits] = '0';
  buffer[kIntegerDigits + 1] = '0';
  buffer[kept] = '\0';
  return {k + 1, negative};
}

}  // namespace tavrin
