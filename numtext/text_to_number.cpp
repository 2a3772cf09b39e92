// TextToNumber and its steps: blanks, decimal numbers and radix literals.
//
// The counters (digit count, point position, decimal exponent) are 64-bit, so
// texts of any length follow the same rules: a point position far outside the
// extended range simply reaches the overflow or underflow threshold.
#include <cstdint>
#include <cstring>

#include "numtext/numtext.h"
#include "numtext/power_of_ten.h"
#include "numtext/power_of_ten_quotient.h"
#include "numtext/text_scan.h"

namespace tavrin {
namespace {

// Significant digits gathered into the 64-bit mantissa; 10^18 > M always.
constexpr std::int64_t kMantissaDigits = 18;
// Exponent digits beyond this magnitude are absorbed.
constexpr std::int64_t kExponentCap = 9999;
// A decimal exponent D = P + E at or beyond these gives the overflow value or
// zero; extended reals reach about 10^4932 and 10^-4951.
constexpr std::int64_t kOverflowDecimalExponent = 4933;
constexpr std::int64_t kUnderflowDecimalExponent = -4933;
// The overflow value: the single-precision constant 0x7F000000, 2^127.
constexpr float kOverflowValue = 0x1p127f;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
// Eight digit bytes at once (the text as little-endian 64-bit words, first
// byte lowest, on both targets).
constexpr int kChunkDigits = 8;
constexpr std::uint64_t kEachByte = 0x0101010101010101ull;
constexpr std::uint64_t kChunkScale = 100000000;  // 10^8

// The eight bytes at p as a word.
std::uint64_t LoadChunk(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// True when every byte of `word` is "0".."9". A word of digits makes neither
// a carry when 0x46 is added to each byte nor a borrow when "0" is
// subtracted, and the top bit of every byte stays clear in both. Otherwise
// the lowest other byte sets a top bit: the sum's for a byte from ":" to
// 0xB9, the difference's for one below "0" or from 0xBA on (carries and
// borrows only disturb the bytes above it).
bool AllDigits(std::uint64_t word) {
  constexpr std::uint64_t kAboveNine = 0x46 * kEachByte;  // 0x3A + 0x46 = 0x80
  constexpr std::uint64_t kTopBits = 0x80 * kEachByte;
  return (((word + kAboveNine) | (word - '0' * kEachByte)) & kTopBits) == 0;
}

// The number that eight digit bytes spell, first byte most significant:
// adjacent lanes merge pairwise by one multiplication each (bytes to
// two-digit numbers, then to four, then to eight: the lane below times 10,
// 100 or 10000 plus the lane above); every lane stays below its width (99,
// 9999, 99999999), and the odd lanes' sums are masked off or left out.
std::uint32_t ChunkValue(std::uint64_t word) {
  constexpr std::uint64_t kByteLanes = 0x00FF00FF00FF00FFull;
  word -= '0' * kEachByte;  // "0".."9" to 0..9, as AllDigits has it
  word = ((word * (10 * 0x100 + 1)) >> 8) & kByteLanes;
  word = (word * (100 * 0x10000 + 1)) >> 16;
  // The two four-digit lanes are bits 0..15 and 32..47.
  return static_cast<std::uint32_t>(static_cast<std::uint16_t>(word) * 10000u +
                                    static_cast<std::uint16_t>(word >> 32));
}

bool IsExponentLetter(char c) {
  return c == 'E' || c == 'e' || c == 'D' || c == 'd';
}

// Radix letters after "&", in table order, and their radixes.
struct RadixLetter {
  char letter;
  unsigned radix;
};
constexpr RadixLetter kRadixLetters[] = {{'B', 2}, {'b', 2}, {'H', 16}, {'h', 16},
                                         {'O', 8}, {'o', 8}, {'Q', 8},  {'q', 8}};
constexpr unsigned kDefaultRadix = 8;

// Bits one digit of each radix adds to the accumulator.
unsigned BitsPerDigit(unsigned radix) {
  return radix == 2 ? 1 : radix == 8 ? 3 : 4;
}

// The value of `c` as a digit of `radix`, or -1 when it is none.
int RadixDigitValue(char c, unsigned radix) {
  int value = -1;
  if (c >= '0' && c <= '9') {
    value = c - '0';
  } else if (c >= 'a' && c <= 'z') {
    value = c - 'a' + 10;
  } else if (c >= 'A' && c <= 'Z') {
    value = c - 'A' + 10;
  }
  return value >= 0 && static_cast<unsigned>(value) < radix ? value : -1;
}

// The suffixes that can follow the digits of a radix literal.
enum class RadixSuffix { kNone, kPercent, kUnsigned, kLong, kLongLong };

constexpr std::uint64_t kBit63 = 0x8000000000000000ull;
constexpr std::uint64_t kBit31 = 0x80000000ull;
constexpr std::uint64_t kBit15 = 0x8000ull;
constexpr std::uint64_t k2To16 = 0x10000ull;
constexpr std::uint64_t k2To32 = 0x100000000ull;

// The signed reading of an accumulated radix value (rules in order).
Extended SignedRadixValue(std::uint64_t a, bool leadingZero, RadixSuffix suffix) {
  if (suffix == RadixSuffix::kUnsigned) {
    return (a & kBit63) != 0 ? Extended{0} : static_cast<Extended>(a);
  }
  if (leadingZero || a >= k2To32) return static_cast<Extended>(static_cast<std::int64_t>(a));
  if (suffix == RadixSuffix::kLongLong) return static_cast<Extended>(a);
  if (a >= k2To16) {
    const std::int64_t wide = static_cast<std::int64_t>(a);
    return static_cast<Extended>((a & kBit31) != 0 ? wide - static_cast<std::int64_t>(k2To32)
                                                   : wide);
  }
  const std::int64_t wide = static_cast<std::int64_t>(a);
  if (suffix == RadixSuffix::kLong) return static_cast<Extended>(wide);
  return static_cast<Extended>((a & kBit15) != 0 ? wide - static_cast<std::int64_t>(k2To16) : wide);
}

}  // namespace

std::string_view SkipBlanks(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}

namespace {

// The digits of a decimal number before its exponent part.
struct DecimalMantissa {
  std::uint64_t mantissa = 0;    // M, the first 18 significant digits
  std::int64_t significant = 0;  // n, every significant digit
  std::int64_t point = 0;        // P, the point's place relative to the first significant digit
  bool anyDigit = false;
};

// Reads the run of digits at text[i..] into `m` once its first significant
// digit is reached (the run's first digit, if any, is not a leading "0"):
// whole chunks while all of their digits still go into M, then byte by byte.
[[gnu::always_inline]] inline void ReadSignificantDigits(std::string_view text, std::size_t& i,
                                                         DecimalMantissa& m) {
  const std::size_t size = text.size();
  while (m.significant <= kMantissaDigits - kChunkDigits && size - i >= kChunkDigits) {
    const std::uint64_t chunk = LoadChunk(text.data() + i);
    if (!AllDigits(chunk)) break;
    m.mantissa = m.mantissa * kChunkScale + ChunkValue(chunk);
    m.significant += kChunkDigits;
    m.anyDigit = true;
    i += kChunkDigits;
  }
  for (; i < size && IsDigit(text[i]); ++i) {
    m.anyDigit = true;
    if (++m.significant <= kMantissaDigits) {
      m.mantissa = m.mantissa * 10 + static_cast<unsigned>(text[i] - '0');
    }
  }
}

// Reads the digits and point at text[i..]; leaves i at the first byte that
// does not continue them. Leading zeros are not significant: those after the
// point move P left.
[[gnu::always_inline]] inline DecimalMantissa ReadMantissa(std::string_view text, std::size_t& i) {
  DecimalMantissa m;
  const std::size_t size = text.size();
  for (; i < size && text[i] == '0'; ++i) m.anyDigit = true;
  bool pointSeen = false;
  if (i < size && text[i] == '.') {
    pointSeen = true;
    for (++i; i < size && text[i] == '0'; ++i) {
      m.anyDigit = true;
      --m.point;
    }
  }
  // From here the first digit, if any, is significant (not "0").
  ReadSignificantDigits(text, i, m);
  if (!pointSeen && i < size && text[i] == '.') {
    pointSeen = true;
    m.point = m.significant;
    ++i;
    ReadSignificantDigits(text, i, m);
  }
  if (!pointSeen) m.point = m.significant;
  return m;
}

// Reads an exponent part (a letter, an optional sign, digits capped at 9999)
// at text[i..] when there is one; leaves i after it. Returns 0 without one.
[[gnu::always_inline]] inline std::int64_t ReadExponent(std::string_view text, std::size_t& i) {
  std::int64_t exponent = 0;
  if (i < text.size() && IsExponentLetter(text[i])) {
    ++i;
    bool exponentNegative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      exponentNegative = text[i] == '-';
      ++i;
    }
    for (; i < text.size() && IsDigit(text[i]); ++i) {
      exponent = exponent * 10 + (text[i] - '0');
      if (exponent > kExponentCap) exponent = kExponentCap;
    }
    if (exponentNegative) exponent = -exponent;
  }
  return exponent;
}

// M x 10^(D - min(n, 18)) for M > 0: one rounded multiplication or division
// by the power of ten, or the overflow value or zero beyond the thresholds.
[[gnu::always_inline]] inline Extended ScaledMantissa(const DecimalMantissa& m,
                                                      std::int64_t decimalExponent) {
  if (decimalExponent >= kOverflowDecimalExponent) return kOverflowValue;
  if (decimalExponent <= kUnderflowDecimalExponent) return 0;
  const std::int64_t taken = m.significant < kMantissaDigits ? m.significant : kMantissaDigits;
  const std::int64_t scale = decimalExponent - taken;  // k, within -4950..4931
  const Extended value = static_cast<Extended>(static_cast<std::int64_t>(m.mantissa));
  if (scale == 0) return value;
  const int magnitude = static_cast<int>(scale < 0 ? -scale : scale);
  // The exact powers are what ScaleByPowerOfTen(1, magnitude) gives for them.
  const Extended power = magnitude <= kLargestExactPowerOfTen
                             ? ExactPowerOfTen(magnitude)
                             : ScaleByPowerOfTen(1, static_cast<std::int16_t>(magnitude));
  return scale > 0 ? value * power : value / power;
}

// ScanDecimal's work, inlined into both of its callers so that the result
// stays in a register.
[[gnu::always_inline]] inline Extended ReadDecimal(std::string_view text, std::size_t& i) {
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const DecimalMantissa m = ReadMantissa(text, i);
  Extended value = 0;
  if (m.anyDigit) {
    const std::int64_t exponent = ReadExponent(text, i);
    if (m.significant != 0) value = ScaledMantissa(m, m.point + exponent);  // D = P + E
  }
  return negative ? -value : value;
}

}  // namespace

ScanResult ScanDecimal(std::string_view text) {
  std::size_t i = 0;
  const Extended value = ReadDecimal(text, i);
  return {value, i};
}

ScanResult ScanRadix(std::string_view text) {
  std::size_t i = 1;  // the "&"
  unsigned radix = kDefaultRadix;
  if (i < text.size()) {
    for (const RadixLetter& entry : kRadixLetters) {
      if (text[i] == entry.letter) {
        radix = entry.radix;
        ++i;
        break;
      }
    }
  }
  if (i >= text.size() || RadixDigitValue(text[i], radix) < 0) return {0, i};

  const bool leadingZero = text[i] == '0';
  const unsigned shift = BitsPerDigit(radix);
  std::uint64_t accumulator = 0;
  bool overflow = false;
  for (; i < text.size(); ++i) {
    const int digit = RadixDigitValue(text[i], radix);
    if (digit < 0) break;
    if ((accumulator >> (64 - shift)) != 0) overflow = true;
    accumulator <<= shift;
    const std::uint64_t sum = accumulator + static_cast<unsigned>(digit);
    if (sum < accumulator) overflow = true;
    accumulator = sum;
  }

  RadixSuffix suffix = RadixSuffix::kNone;
  if (i < text.size()) {
    if (text[i] == '%') {
      suffix = RadixSuffix::kPercent;
      ++i;
    } else if (text[i] == '?') {
      suffix = RadixSuffix::kUnsigned;
      ++i;
      for (int more = 0; more < 2 && i < text.size() && text[i] == '?'; ++more) ++i;
    } else if (text[i] == '&') {
      suffix = RadixSuffix::kLong;
      ++i;
      if (i < text.size() && text[i] == '&') {
        suffix = RadixSuffix::kLongLong;
        ++i;
      }
    }
  }
  if (overflow) return {0, i};
  return {SignedRadixValue(accumulator, leadingZero, suffix), i};
}

namespace {

// Texts shorter than this are read by ReadShortDecimal when they can be,
// longer ones by ReadLongDecimal.
constexpr std::size_t kShortTextLimit = 2 * kChunkDigits;
constexpr std::size_t kLongTextLimit = 3 * kChunkDigits;

// The scaling both readers below rely on: ReadDecimal's scale D - n is then
// the exponent minus the count of digits after the point (leading zeros
// count as digits here but add nothing to M, and P, counted from the first
// significant digit, makes up for them), so that the value is M multiplied
// or divided once by an exact power of ten, as ScaledMantissa does it (M
// itself for a scale of 0). The software extended real divides by an
// integer division; the quotient from a reciprocal is the same and quicker
// there (on the x87 unit its own division is as quick as the reciprocal).
[[gnu::always_inline]] inline Extended ScaledByExactPower(std::uint64_t mantissa,
                                                          std::int64_t scale) {
#ifdef TAVRIN_EXTENDED_SOFT
  Extended quotient;
  if (scale < 0 && QuotientByExactPowerOfTen(mantissa, static_cast<int>(-scale), quotient)) {
    return quotient;
  }
#endif
  const Extended value = static_cast<Extended>(static_cast<std::int64_t>(mantissa));
  if (scale < 0) return value / ExactPowerOfTen(static_cast<int>(-scale));
  if (scale > 0) return value * ExactPowerOfTen(static_cast<int>(scale));
  return value;
}

// The commonest short texts, "ddd" or "ddd.ddd" with no sign and no exponent
// part, read in one pass, byte by byte; at most 15 digits always fit M.
// False for any other text, which ReadDecimal then reads.
[[gnu::always_inline]] inline bool ReadShortDecimal(std::string_view text, Extended& value) {
  static_assert(kShortTextLimit <= kMantissaDigits);
  std::uint64_t mantissa = 0;
  std::int64_t digits = 0;
  std::int64_t point = -1;  // digits before the point, once there is one
  std::size_t i = 0;
  for (; i < text.size(); ++i) {
    const unsigned digit = static_cast<unsigned char>(text[i]) - static_cast<unsigned>('0');
    if (digit < 10) {
      mantissa = mantissa * 10 + digit;
      ++digits;
    } else if (text[i] == '.' && point < 0) {
      point = digits;
    } else {
      break;
    }
  }
  if (digits == 0 || (i < text.size() && IsExponentLetter(text[i]))) return false;
  value = ScaledByExactPower(mantissa, point < 0 ? 0 : -(digits - point));
  return true;
}

// Full-precision texts of kShortTextLimit bytes or more: "ddd" or "ddd.ddd"
// with no sign, at most 18 digits (which always fit M) and an optional
// exponent part of up to three digits, eight digits at once while they come
// in whole chunks. The decimal exponent then stays far from
// the overflow and underflow thresholds. False for any other text, and for a
// scale beyond the exact powers, which ReadDecimal then reads. (Beyond 18
// digits M may wrap; it is then not used.)
[[gnu::always_inline]] inline bool ReadLongDecimal(std::string_view text, Extended& value) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* point = nullptr;
  const char* p = begin;
  std::uint64_t mantissa = 0;
  const char* const lastChunk = end - kChunkDigits;
  for (;;) {
    while (p <= lastChunk) {
      const std::uint64_t chunk = LoadChunk(p);
      if (!AllDigits(chunk)) break;
      mantissa = mantissa * kChunkScale + ChunkValue(chunk);
      p += kChunkDigits;
    }
    for (; p != end; ++p) {
      const unsigned digit = static_cast<unsigned char>(*p) - static_cast<unsigned>('0');
      if (digit >= 10) break;
      mantissa = mantissa * 10 + digit;
    }
    if (point != nullptr || p == end || *p != '.') break;
    point = p++;
  }
  const std::int64_t fractionDigits = point != nullptr ? p - point - 1 : 0;
  const std::int64_t digits = (p - begin) - (point != nullptr ? 1 : 0);
  if (static_cast<std::uint64_t>(digits - 1) >= kMantissaDigits) return false;  // 0 or over 18
  std::int64_t exponent = 0;
  if (p != end && IsExponentLetter(*p)) {
    // An exponent of up to three digits; a longer one is left to ReadDecimal.
    ++p;
    const bool exponentNegative = p != end && *p == '-';
    if (p != end && (*p == '+' || *p == '-')) ++p;
    for (int count = 0; p != end; ++p, ++count) {
      const unsigned digit = static_cast<unsigned char>(*p) - static_cast<unsigned>('0');
      if (digit >= 10) break;
      if (count == 3) return false;
      exponent = exponent * 10 + digit;
    }
    if (exponentNegative) exponent = -exponent;
  }
  const std::int64_t scale = exponent - fractionDigits;
  if (scale < -kLargestExactPowerOfTen || scale > kLargestExactPowerOfTen) return false;
  value = ScaledByExactPower(mantissa, scale);
  return true;
}

Extended ReadLongNumber(std::string_view bytes);
Extended ReadShortNumber(std::string_view bytes);

// Every text the one-pass readers leave: blanks first (a number after them
// goes back to those readers), then a radix literal or the general decimal
// scan. Out of line, away from the readers' path.
[[gnu::noinline]] Extended ReadAnyNumber(std::string_view bytes) {
  const std::string_view rest = SkipBlanks(bytes);
  if (rest.empty()) return 0;
  if (rest.size() < bytes.size() && static_cast<unsigned char>(rest.front()) > ' ') {
    return rest.size() >= kShortTextLimit ? ReadLongNumber(rest) : ReadShortNumber(rest);
  }
  if (rest.front() == '&') return ScanRadix(rest).value;
  std::size_t i = 0;
  return ReadDecimal(rest, i);
}

// Texts of kShortTextLimit bytes or more: ReadLongDecimal's, or any other.
// Out of line, so that the registers its digit chunks need are saved on
// this path alone.
[[gnu::noinline]] Extended ReadLongNumber(std::string_view bytes) {
  Extended plain;
  if (bytes.size() < kLongTextLimit && ReadLongDecimal(bytes, plain)) return plain;
  return ReadAnyNumber(bytes);
}

// Shorter texts: ReadShortDecimal's, or any other.
[[gnu::noinline]] Extended ReadShortNumber(std::string_view bytes) {
  Extended plain;
  if (ReadShortDecimal(bytes, plain)) return plain;
  return ReadAnyNumber(bytes);
}

// TextToNumber's work, inlined into both of its forms: each kind of text
// goes on to its reader with a jump. Most texts start with their number and
// are plain digits: the one-pass readers take those. A first byte above the
// blanks (which are all below "!") can start one; the readers turn down any
// other text.
[[gnu::always_inline]] inline Extended ReadNumber(std::string_view bytes) {
  if (bytes.empty() || static_cast<unsigned char>(bytes.front()) <= ' ') {
    return ReadAnyNumber(bytes);
  }
  return bytes.size() >= kShortTextLimit ? ReadLongNumber(bytes) : ReadShortNumber(bytes);
}

}  // namespace

Extended TextToNumber(TextRef text) {
  return ReadNumber(text.view());
}

Extended TextToNumber(std::string_view bytes) {
  return ReadNumber(bytes);
}

}  // namespace tavrin
