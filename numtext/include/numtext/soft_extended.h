// The extended real in integer arithmetic: the 80-bit format's values and
// operations as the x87 unit computes them under the start-up control word
// (64-bit precision, rounding to nearest even, every exception masked).
//
// A finite value is m * 2^(e - 16383 - 63) for the 64-bit significand m and
// the biased exponent e (e = 0 reads as e = 1: denormals and the
// pseudo-denormals the unit also accepts). Each operation forms its exact
// result, or enough of it (the significand plus a guard bit and a sticky bit
// that records whether anything below was non-zero), then rounds once to 64
// bits: to the denormal grid below the smallest normal exponent, to infinity
// above the largest. Special operands follow the unit:
//   - an invalid operation (inf - inf, 0 * inf, 0 / 0, inf / inf) and every
//     unsupported encoding (unnormals, pseudo-infinities, pseudo-NaNs) give
//     the default NaN, negative with significand C000000000000000;
//   - a NaN operand comes back quiet (bit 62 set); of two, a quiet NaN wins
//     over a signalling one, else the larger significand, and equal
//     significands give the positive one;
//   - an exact zero sum of non-zero operands is +0; (-0) + (-0) is -0.
#pragma once

#include <compare>
#include <cstdint>

#include "numtext/extended_layout.h"
#include "numtext/wide_integer.h"

namespace tavrin::soft {

using Value = ExtendedFields;

inline constexpr int kBias = kExtendedExponentBias;
inline constexpr int kInfinityExponent = kExtendedExponentMask;
inline constexpr std::uint64_t kIntegerBit = kExtendedIntegerBit;
inline constexpr std::uint64_t kQuietBit = 0x4000000000000000ull;
inline constexpr Value kDefaultNaN{0xC000000000000000ull, 0xFFFF};
// The integer indefinite a store to a 64-bit integer gives for a NaN, an
// infinity or a value outside the int64 range.
inline constexpr std::int64_t kIntegerIndefinite = INT64_MIN;

enum class Kind { kZero, kFinite, kInfinity, kQuietNaN, kSignalingNaN, kUnsupported };

constexpr Kind Classify(Value v) {
  const int e = v.exponentField();
  const bool integerBit = (v.significand & kIntegerBit) != 0;
  if (e == kInfinityExponent) {
    if (!integerBit) return Kind::kUnsupported;
    if (v.significand == kIntegerBit) return Kind::kInfinity;
    return (v.significand & kQuietBit) != 0 ? Kind::kQuietNaN : Kind::kSignalingNaN;
  }
  if (e == 0) return v.significand == 0 ? Kind::kZero : Kind::kFinite;
  return integerBit ? Kind::kFinite : Kind::kUnsupported;
}

constexpr bool IsNaNKind(Kind k) {
  return k == Kind::kQuietNaN || k == Kind::kSignalingNaN || k == Kind::kUnsupported;
}

constexpr std::uint16_t SignWord(bool negative) {
  return negative ? kExtendedSignBit : 0;
}
constexpr Value Zero(bool negative) {
  return {0, SignWord(negative)};
}
constexpr Value Infinity(bool negative) {
  return {kIntegerBit, static_cast<std::uint16_t>(SignWord(negative) | kInfinityExponent)};
}
constexpr Value Quiet(Value v) {
  return {v.significand | kQuietBit, v.signExponent};
}

// A finite non-zero value as m * 2^(exponent - 16383 - 63) with bit 63 of m
// set; the exponent may be below 1 (a denormal).
struct Unpacked {
  bool negative;
  int exponent;
  std::uint64_t significand;
};

constexpr Unpacked Unpack(Value v) {
  const int e = v.exponentField() == 0 ? 1 : v.exponentField();
  const int shift = std::countl_zero(v.significand);
  return {v.negative(), e - shift, v.significand << shift};
}

// The value p * 2^(exponent - 16383 - 127) (p non-zero) rounded to nearest
// even at 64 bits, as a denormal below exponent 1, as infinity from 32767 up.
constexpr Value RoundAndPack(bool negative, int exponent, U128 p) {
  const int leading = CountLeadingZeros(p);
  p = ShiftLeft(p, leading);
  exponent -= leading;
  if (exponent < 1) {
    p = ShiftRightSticky(p, 1 - exponent);
    exponent = 1;
  }
  std::uint64_t m = p.hi;
  const bool up = p.lo > kIntegerBit || (p.lo == kIntegerBit && (m & 1) != 0);
  if (up && ++m == 0) {
    m = kIntegerBit;
    ++exponent;
  }
  if (exponent >= kInfinityExponent) return Infinity(negative);
  const int field = (m & kIntegerBit) != 0 ? exponent : 0;
  return {m, static_cast<std::uint16_t>(SignWord(negative) | field)};
}

// The canonical encoding of a finite non-zero value (a pseudo-denormal
// becomes the normal value it stands for).
constexpr Value Canonical(Value v) {
  const Unpacked u = Unpack(v);
  return RoundAndPack(u.negative, u.exponent, U128{u.significand, 0});
}

// The result of an operation with a NaN or unsupported operand.
constexpr Value PropagateNaN(Value a, Kind ka, Value b, Kind kb) {
  if (ka == Kind::kUnsupported || kb == Kind::kUnsupported) return kDefaultNaN;
  const bool aNaN = IsNaNKind(ka), bNaN = IsNaNKind(kb);
  if (!bNaN) return Quiet(a);
  if (!aNaN) return Quiet(b);
  if (ka != kb) return ka == Kind::kQuietNaN ? a : b;
  const Value qa = Quiet(a), qb = Quiet(b);
  if (qa.significand != qb.significand) return qa.significand > qb.significand ? qa : qb;
  return qa.negative() ? qb : qa;
}

constexpr Value Negate(Value v) {
  return {v.significand, static_cast<std::uint16_t>(v.signExponent ^ kExtendedSignBit)};
}
constexpr Value Abs(Value v) {
  return {v.significand, static_cast<std::uint16_t>(v.signExponent & kExtendedExponentMask)};
}

constexpr Value Add(Value a, Value b) {
  const Kind ka = Classify(a), kb = Classify(b);
  if (ka == Kind::kFinite && kb == Kind::kFinite) {
    Unpacked x = Unpack(a), y = Unpack(b);
    if (x.exponent < y.exponent || (x.exponent == y.exponent && x.significand < y.significand)) {
      const Unpacked t = x;
      x = y;
      y = t;
    }
    // Both significands at bits 62..125, leaving room for the carry.
    const U128 big = ShiftRightSticky(U128{x.significand, 0}, 2);
    const U128 small = ShiftRightSticky(U128{y.significand, 0}, 2 + (x.exponent - y.exponent));
    const U128 sum = x.negative == y.negative ? soft::Add(big, small) : Subtract(big, small);
    if (sum.IsZero()) return Zero(false);
    return RoundAndPack(x.negative, x.exponent + 2, sum);
  }
  if (IsNaNKind(ka) || IsNaNKind(kb)) return PropagateNaN(a, ka, b, kb);
  if (ka == Kind::kInfinity) {
    return kb == Kind::kInfinity && a.negative() != b.negative() ? kDefaultNaN : a;
  }
  if (kb == Kind::kInfinity) return b;
  if (ka == Kind::kZero)
    return kb == Kind::kZero ? Zero(a.negative() && b.negative()) : Canonical(b);
  return Canonical(a);
}

constexpr Value Subtract(Value a, Value b) {
  return IsNaNKind(Classify(b)) ? Add(a, b) : Add(a, Negate(b));
}

constexpr Value Multiply(Value a, Value b) {
  const Kind ka = Classify(a), kb = Classify(b);
  const bool negative = a.negative() != b.negative();
  if (ka == Kind::kFinite && kb == Kind::kFinite) {
    const Unpacked x = Unpack(a), y = Unpack(b);
    // m_x m_y 2^(e_x + e_y - 2*16383 - 126) = p 2^(E - 16383 - 127).
    return RoundAndPack(negative, x.exponent + y.exponent - kBias + 1,
                        soft::Multiply(x.significand, y.significand));
  }
  if (IsNaNKind(ka) || IsNaNKind(kb)) return PropagateNaN(a, ka, b, kb);
  if (ka == Kind::kInfinity || kb == Kind::kInfinity) {
    return ka == Kind::kZero || kb == Kind::kZero ? kDefaultNaN : Infinity(negative);
  }
  return Zero(negative);
}

constexpr Value Divide(Value a, Value b) {
  const Kind ka = Classify(a), kb = Classify(b);
  const bool negative = a.negative() != b.negative();
  if (ka == Kind::kFinite && kb == Kind::kFinite) {
    const Unpacked x = Unpack(a), y = Unpack(b);
    // q = floor(m_x 2^s / m_y) has exactly 64 bits for s = 64 (m_x < m_y) or
    // s = 63; then one guard bit and the sticky bit from the remainder.
    const bool smaller = x.significand < y.significand;
    const U128 numerator =
        smaller ? U128{x.significand, 0} : U128{x.significand >> 1, x.significand << 63};
    const Division d = soft::Divide(numerator, y.significand);
    const bool guard = d.remainder >= y.significand - d.remainder;
    const std::uint64_t rest = guard ? d.remainder - (y.significand - d.remainder) : d.remainder;
    const U128 p{d.quotient, (guard ? kIntegerBit : 0) | (rest != 0 ? 1u : 0u)};
    // (m_x / m_y) 2^(e_x - e_y) = p 2^(-64 - s + e_x - e_y) = p 2^(E - 16383 - 127).
    return RoundAndPack(negative, x.exponent - y.exponent + kBias + (smaller ? -1 : 0), p);
  }
  if (IsNaNKind(ka) || IsNaNKind(kb)) return PropagateNaN(a, ka, b, kb);
  if (ka == Kind::kInfinity) return kb == Kind::kInfinity ? kDefaultNaN : Infinity(negative);
  if (kb == Kind::kInfinity) return Zero(negative);
  if (ka == Kind::kZero) return kb == Kind::kZero ? kDefaultNaN : Zero(negative);
  return Infinity(negative);  // finite / 0
}

// The order of two values; any NaN or unsupported operand is unordered and
// the two zeros are equal.
constexpr std::partial_ordering Compare(Value a, Value b) {
  const Kind ka = Classify(a), kb = Classify(b);
  if (IsNaNKind(ka) || IsNaNKind(kb)) return std::partial_ordering::unordered;
  if (ka == Kind::kZero && kb == Kind::kZero) return std::partial_ordering::equivalent;
  // Magnitudes order as (exponent, significand); a pseudo-denormal's exponent reads 1.
  const auto key = [](Value v) {
    const int e =
        v.exponentField() == 0 && (v.significand & kIntegerBit) != 0 ? 1 : v.exponentField();
    return U128{static_cast<std::uint64_t>(e), v.significand};
  };
  const U128 x = key(a), y = key(b);
  const bool na = a.negative() && ka != Kind::kZero, nb = b.negative() && kb != Kind::kZero;
  if (na != nb) return na ? std::partial_ordering::less : std::partial_ordering::greater;
  if (x == y) return std::partial_ordering::equivalent;
  const bool less = Less(x, y) != na;
  return less ? std::partial_ordering::less : std::partial_ordering::greater;
}

constexpr Value FromUnsigned(std::uint64_t u, bool negative = false) {
  if (u == 0) return Zero(negative);
  const int shift = std::countl_zero(u);
  return {u << shift, static_cast<std::uint16_t>(SignWord(negative) | (kBias + 63 - shift))};
}

constexpr Value FromSigned(std::int64_t i) {
  const std::uint64_t magnitude =
      i < 0 ? 0 - static_cast<std::uint64_t>(i) : static_cast<std::uint64_t>(i);
  return i == 0 ? Zero(false) : FromUnsigned(magnitude, i < 0);
}

// Double's fields: 52-bit fraction, 11-bit exponent biased by 1023.
inline constexpr int kDoubleFractionBits = 52;
inline constexpr int kDoubleBias = 1023;
inline constexpr int kDoubleInfinityExponent = 0x7FF;
inline constexpr std::uint64_t kDoubleFractionMask = (std::uint64_t{1} << kDoubleFractionBits) - 1;
inline constexpr std::uint64_t kDoubleSignBit = std::uint64_t{1} << 63;
inline constexpr std::uint64_t kDoubleQuietBit = std::uint64_t{1} << 51;
// Significand bits an extended real has beyond a double's 53.
inline constexpr int kExtraBits = 64 - 53;

// A double (given by its bits) as an extended real: exact; a NaN keeps its
// payload and comes back quiet.
constexpr Value FromDoubleBits(std::uint64_t bits) {
  const bool negative = (bits & kDoubleSignBit) != 0;
  const int e = static_cast<int>(bits >> kDoubleFractionBits) & kDoubleInfinityExponent;
  const std::uint64_t fraction = bits & kDoubleFractionMask;
  const std::uint16_t sign = SignWord(negative);
  if (e == kDoubleInfinityExponent) {
    if (fraction == 0) return Infinity(negative);
    return {kIntegerBit | kQuietBit | (fraction << kExtraBits),
            static_cast<std::uint16_t>(sign | kInfinityExponent)};
  }
  if (e == 0) {
    if (fraction == 0) return Zero(negative);
    // fraction * 2^(1 - 1023 - 52), normalised.
    const int shift = std::countl_zero(fraction);
    return {fraction << shift,
            static_cast<std::uint16_t>(
                sign | (kBias + 63 - shift + 1 - kDoubleBias - kDoubleFractionBits))};
  }
  return {kIntegerBit | (fraction << kExtraBits),
          static_cast<std::uint16_t>(sign | (e - kDoubleBias + kBias))};
}

// An extended real rounded to nearest even at double's 53 bits, to double's
// denormal grid below 2^-1022 and to infinity beyond its range; a NaN keeps
// the top of its payload and comes back quiet.
constexpr std::uint64_t ToDoubleBits(Value v) {
  const Kind k = Classify(v);
  const std::uint64_t sign = v.negative() ? kDoubleSignBit : 0;
  constexpr std::uint64_t kInfinityBits = std::uint64_t{kDoubleInfinityExponent}
                                          << kDoubleFractionBits;
  switch (k) {
    case Kind::kZero:
      return sign;
    case Kind::kInfinity:
      return sign | kInfinityBits;
    case Kind::kUnsupported:
      return ToDoubleBits(kDefaultNaN);
    case Kind::kQuietNaN:
    case Kind::kSignalingNaN:
      return sign | kInfinityBits | kDoubleQuietBit |
             ((v.significand >> kExtraBits) & kDoubleFractionMask);
    case Kind::kFinite:
      break;
  }
  const Unpacked u = Unpack(v);
  int e = u.exponent - kBias + kDoubleBias;  // double's biased exponent
  if (e >= kDoubleInfinityExponent) return sign | kInfinityBits;
  U128 p{u.significand, 0};
  if (e < 1) {
    p = ShiftRightSticky(p, 1 - e);
    e = 1;
  }
  constexpr std::uint64_t kHalf = std::uint64_t{1} << (kExtraBits - 1);
  const std::uint64_t rest = p.hi & ((std::uint64_t{1} << kExtraBits) - 1);
  std::uint64_t m = p.hi >> kExtraBits;  // with the integer bit when normal
  const bool up = rest > kHalf || (rest == kHalf && (p.lo != 0 || (m & 1) != 0));
  if (up) ++m;
  // The integer bit adds one to the exponent field; a carry into bit 53, or
  // out of a denormal, adds one more, as it should.
  const std::uint64_t bits = (static_cast<std::uint64_t>(e - 1) << kDoubleFractionBits) + m;
  return sign | (bits >= kInfinityBits ? kInfinityBits : bits);
}

#ifdef __SIZEOF_INT128__
// IEEE binary128's fields: 112-bit fraction, the same 15-bit exponent and bias.
inline constexpr int kQuadFractionBits = 112;
// Bits a binary128 significand (113) leaves free in 128.
inline constexpr int kQuadSpareBits = 128 - kQuadFractionBits - 1;

// A binary128 value (given by its bits) rounded to nearest even at 64 bits,
// to the denormal grid below the smallest normal; a NaN keeps the top of its
// payload and comes back quiet.
constexpr Value FromQuadBits(NativeU128 bits) {
  const bool negative = (bits >> 127) != 0;
  const int e = static_cast<int>(bits >> kQuadFractionBits) & kInfinityExponent;
  const NativeU128 fraction = bits & ((NativeU128{1} << kQuadFractionBits) - 1);
  const auto top = static_cast<std::uint64_t>(fraction >> (kQuadFractionBits - 63));
  if (e == kInfinityExponent) {
    if (fraction == 0) return Infinity(negative);
    return {kIntegerBit | kQuietBit | top,
            static_cast<std::uint16_t>(SignWord(negative) | kInfinityExponent)};
  }
  if (e == 0 && fraction == 0) return Zero(negative);
  // m * 2^(e - 16383 - 112) with m = fraction (+ 2^112 when normal), as
  // p * 2^(E - 16383 - 127) with p = m << 15.
  const NativeU128 m = e == 0 ? fraction : fraction | (NativeU128{1} << kQuadFractionBits);
  const NativeU128 p = m << kQuadSpareBits;
  return RoundAndPack(negative, e == 0 ? 1 : e,
                      U128{static_cast<std::uint64_t>(p >> 64), static_cast<std::uint64_t>(p)});
}

// An extended real as binary128 bits: exact (a NaN keeps its payload).
constexpr NativeU128 ToQuadBits(Value v) {
  const NativeU128 sign = NativeU128{v.negative()} << 127;
  const Kind k = Classify(v);
  const auto field = [](int e) {
    return NativeU128(static_cast<unsigned>(e)) << kQuadFractionBits;
  };
  switch (k) {
    case Kind::kZero:
      return sign;
    case Kind::kInfinity:
      return sign | field(kInfinityExponent);
    case Kind::kUnsupported:
      return ToQuadBits(kDefaultNaN);
    case Kind::kQuietNaN:
    case Kind::kSignalingNaN:
      return sign | field(kInfinityExponent) |
             (NativeU128{v.significand & ~kIntegerBit} << (kQuadFractionBits - 63));
    case Kind::kFinite:
      break;
  }
  // A denormal here (or a pseudo-denormal) is m * 2^(1 - 16383 - 63), which
  // is m << 49 on binary128's denormal grid; a carry into bit 112 makes it
  // normal there with exponent 1, as it should.
  const int shift = kQuadFractionBits - 63;
  if (v.exponentField() == 0) return sign | (NativeU128{v.significand} << shift);
  return sign | field(v.exponentField()) | (NativeU128{v.significand & ~kIntegerBit} << shift);
}
#endif

// |v| rounded to an integer magnitude, nearest even, for a finite non-zero v
// below 2^63 in magnitude (the result may be 2^63).
constexpr std::uint64_t RoundedMagnitude(const Unpacked& u) {
  const int shift = 63 - (u.exponent - kBias);  // 1..64 here
  if (shift > 64) return 0;                     // below one half
  const std::uint64_t whole = shift == 64 ? 0 : u.significand >> shift;
  const std::uint64_t rest = shift == 64 ? u.significand : u.significand << (64 - shift);
  const bool up = rest > kIntegerBit || (rest == kIntegerBit && (whole & 1) != 0);
  return whole + (up ? 1 : 0);
}

// v rounded to a 64-bit integer, nearest even (a store to a 64-bit integer).
constexpr std::int64_t ToInt64(Value v) {
  const Kind k = Classify(v);
  if (k == Kind::kZero) return 0;
  if (k != Kind::kFinite) return kIntegerIndefinite;
  const Unpacked u = Unpack(v);
  if (u.exponent - kBias > 63) return kIntegerIndefinite;
  if (u.exponent - kBias == 63) {
    return u.negative && u.significand == kIntegerBit ? INT64_MIN : kIntegerIndefinite;
  }
  const std::uint64_t m = RoundedMagnitude(u);
  if (m >= kIntegerBit) return u.negative && m == kIntegerBit ? INT64_MIN : kIntegerIndefinite;
  const auto magnitude = static_cast<std::int64_t>(m);
  return u.negative ? -magnitude : magnitude;
}

// v rounded to an integral value, nearest even, keeping its sign (round to
// integer in place); NaNs come back quiet.
constexpr Value RoundToIntegral(Value v) {
  const Kind k = Classify(v);
  if (k == Kind::kUnsupported) return kDefaultNaN;
  if (k == Kind::kQuietNaN || k == Kind::kSignalingNaN) return Quiet(v);
  if (k != Kind::kFinite) return v;
  const Unpacked u = Unpack(v);
  if (u.exponent - kBias >= 63) return Canonical(v);
  return FromUnsigned(RoundedMagnitude(u), u.negative);
}

}  // namespace tavrin::soft
