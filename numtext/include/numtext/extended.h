// The extended real every conversion and the formula compute in: 64-bit
// significand, 15-bit exponent, rounded to nearest even at every operation,
// with the x87 unit's results under the start-up control word in every case
// (denormals, infinities, signed zeros, NaNs).
//
// Two backends give the same bits: the x87 unit itself through long double
// (x86 and x86-64 with GCC or Clang), and integer arithmetic (soft_extended.h)
// everywhere else, or where TAVRIN_EXTENDED_SOFT is defined.
#pragma once

#include <cfloat>
#include <compare>
#include <concepts>
#include <cstdint>
#include <cstring>
#include <limits>

#include "numtext/bit_cast.h"
#include "numtext/extended_layout.h"
#include "numtext/soft_extended.h"

#if !defined(TAVRIN_EXTENDED_SOFT) && \
    !((defined(__i386__) || defined(__x86_64__)) && defined(__GNUC__))
#define TAVRIN_EXTENDED_SOFT 1
#endif

namespace tavrin {

class Extended {
 public:
  constexpr Extended() = default;
  // Every integer up to 64 bits and every double convert exactly.
  template <std::integral T>
  constexpr Extended(T v) : rep_(FromInteger(v)) {}      // NOLINT: implicit, exact
  constexpr Extended(double v) : rep_(FromDouble(v)) {}  // NOLINT: implicit, exact
#if LDBL_MANT_DIG == 64
  // Where long double is the 80-bit format itself: the same value, bit for bit.
#ifdef TAVRIN_EXTENDED_SOFT
  Extended(long double v) {  // NOLINT: implicit, exact
    std::memcpy(&rep_.significand, &v, sizeof rep_.significand);
    std::memcpy(&rep_.signExponent, reinterpret_cast<const char*>(&v) + sizeof rep_.significand,
                sizeof rep_.signExponent);
  }
#else
  constexpr Extended(long double v) : rep_(v) {}  // NOLINT: implicit, exact
#endif
#elif LDBL_MANT_DIG == 113 && defined(__SIZEOF_INT128__)
  // Where long double is IEEE binary128: rounded to nearest even at 64 bits
  // (to the denormal grid below 2^-16382); a NaN keeps the top of its payload.
  Extended(long double v)  // NOLINT: implicit
      : rep_(soft::FromQuadBits(BitCast<soft::NativeU128>(v))) {}
  // Exact: every extended real is a binary128 value.
  explicit operator long double() const {
    return BitCast<long double>(soft::ToQuadBits(rep_));
  }
#endif

  // The value with the given fields (any encoding).
  static Extended FromFields(ExtendedFields fields) {
    Extended x;
#ifdef TAVRIN_EXTENDED_SOFT
    x.rep_ = fields;
#else
    std::memcpy(&x.rep_, &fields.significand, sizeof fields.significand);
    std::memcpy(reinterpret_cast<char*>(&x.rep_) + sizeof fields.significand, &fields.signExponent,
                sizeof fields.signExponent);
#endif
    return x;
  }
  ExtendedFields Fields() const {
#ifdef TAVRIN_EXTENDED_SOFT
    return rep_;
#else
    ExtendedFields fields{0, 0};
    std::memcpy(&fields.significand, &rep_, sizeof fields.significand);
    std::memcpy(&fields.signExponent,
                reinterpret_cast<const char*>(&rep_) + sizeof fields.significand,
                sizeof fields.signExponent);
    return fields;
#endif
  }

  // Rounded to nearest even at double's precision, with its denormals.
  constexpr explicit operator double() const {
#ifdef TAVRIN_EXTENDED_SOFT
    return BitCast<double>(soft::ToDoubleBits(rep_));
#else
    return static_cast<double>(rep_);
#endif
  }

  friend constexpr Extended operator+(Extended a, Extended b) {
    return Make(Op(a.rep_, b.rep_, '+'));
  }
  friend constexpr Extended operator-(Extended a, Extended b) {
    return Make(Op(a.rep_, b.rep_, '-'));
  }
  friend constexpr Extended operator*(Extended a, Extended b) {
    return Make(Op(a.rep_, b.rep_, '*'));
  }
  friend constexpr Extended operator/(Extended a, Extended b) {
    return Make(Op(a.rep_, b.rep_, '/'));
  }
  constexpr Extended& operator+=(Extended b) {
    return *this = *this + b;
  }
  constexpr Extended& operator-=(Extended b) {
    return *this = *this - b;
  }
  constexpr Extended& operator*=(Extended b) {
    return *this = *this * b;
  }
  constexpr Extended& operator/=(Extended b) {
    return *this = *this / b;
  }
  // The sign flipped (NaNs included).
  constexpr Extended operator-() const {
#ifdef TAVRIN_EXTENDED_SOFT
    return Make(soft::Negate(rep_));
#else
    return Make(-rep_);
#endif
  }

  friend constexpr bool operator==(Extended a, Extended b) {
    return (a <=> b) == 0;
  }
  friend constexpr std::partial_ordering operator<=>(Extended a, Extended b) {
#ifdef TAVRIN_EXTENDED_SOFT
    return soft::Compare(a.rep_, b.rep_);
#else
    return a.rep_ <=> b.rep_;
#endif
  }

  friend bool IsNaN(Extended x);
  friend bool IsInfinite(Extended x);
  friend bool SignBit(Extended x);
  friend Extended Abs(Extended x);
  friend std::int64_t RoundToInt64(Extended x);
  friend Extended RoundToIntegral(Extended x);

#ifdef TAVRIN_EXTENDED_SOFT
  using Rep = soft::Value;
#else
  using Rep = long double;
#endif
  constexpr Rep rep() const {
    return rep_;
  }
  static constexpr Extended FromRep(Rep r) {
    return Make(r);
  }

 private:
  template <std::integral T>
  static constexpr Rep FromInteger(T v) {
#ifdef TAVRIN_EXTENDED_SOFT
    if constexpr (std::is_signed_v<T>) {
      return soft::FromSigned(v);
    } else {
      return soft::FromUnsigned(v);
    }
#else
    return static_cast<long double>(v);
#endif
  }
  static constexpr Rep FromDouble(double v) {
#ifdef TAVRIN_EXTENDED_SOFT
    return soft::FromDoubleBits(BitCast<std::uint64_t>(v));
#else
    return v;
#endif
  }
  static constexpr Extended Make(Rep r) {
    Extended x;
    x.rep_ = r;
    return x;
  }
  [[gnu::always_inline]] static constexpr Rep Op(Rep a, Rep b, char op) {
#ifdef TAVRIN_EXTENDED_SOFT
    switch (op) {
      case '+':
        return soft::Add(a, b);
      case '-':
        return soft::Subtract(a, b);
      case '*':
        return soft::Multiply(a, b);
      default:
        return soft::Divide(a, b);
    }
#else
    switch (op) {
      case '+':
        return a + b;
      case '-':
        return a - b;
      case '*':
        return a * b;
      default:
        return a / b;
    }
#endif
  }

#ifdef TAVRIN_EXTENDED_SOFT
  Rep rep_{0, 0};
#else
  Rep rep_ = 0;
#endif
};

// True for every NaN encoding (and the unsupported ones, which compute as NaNs).
inline bool IsNaN(Extended x) {
#ifdef TAVRIN_EXTENDED_SOFT
  return soft::IsNaNKind(soft::Classify(x.rep_));
#else
  return __builtin_isnan(x.rep_);
#endif
}
// True for the two infinities.
inline bool IsInfinite(Extended x) {
#ifdef TAVRIN_EXTENDED_SOFT
  return soft::Classify(x.rep_) == soft::Kind::kInfinity;
#else
  return __builtin_isinf(x.rep_);
#endif
}
// True for zeros, denormals and normal values.
inline bool IsFinite(Extended x) {
  return !IsNaN(x) && !IsInfinite(x);
}
// True when the sign bit is set (-0 and negative NaNs included).
inline bool SignBit(Extended x) {
  return x.Fields().negative();
}
// The value with its sign cleared (NaNs included).
inline Extended Abs(Extended x) {
#ifdef TAVRIN_EXTENDED_SOFT
  return Extended::Make(soft::Abs(x.rep_));
#else
  return Extended::Make(__builtin_fabsl(x.rep_));
#endif
}
// x rounded to a 64-bit integer, nearest even, as a store to a 64-bit integer
// does it: a NaN, an infinity or a value outside the int64 range gives
// INT64_MIN (the integer indefinite).
inline std::int64_t RoundToInt64(Extended x) {
#ifdef TAVRIN_EXTENDED_SOFT
  return soft::ToInt64(x.rep_);
#else
  std::int64_t result;
  asm("fistpll %0" : "=m"(result) : "t"(x.rep_) : "st");
  return result;
#endif
}
// x rounded to an integral value, nearest even, sign kept (-0.25 gives -0).
inline Extended RoundToIntegral(Extended x) {
#ifdef TAVRIN_EXTENDED_SOFT
  return Extended::Make(soft::RoundToIntegral(x.rep_));
#else
  long double r;
  asm("frndint" : "=t"(r) : "0"(x.rep_));
  return Extended::Make(r);
#endif
}

}  // namespace tavrin

// The limits of the format, as for long double on x86.
template <>
class std::numeric_limits<tavrin::Extended> {
  using Extended = tavrin::Extended;
#ifdef TAVRIN_EXTENDED_SOFT
  static constexpr Extended Of(std::uint64_t significand, std::uint16_t signExponent) {
    return Extended::FromRep({significand, signExponent});
  }
#endif

 public:
  static constexpr bool is_specialized = true;
  static constexpr bool is_signed = true;
  static constexpr bool has_infinity = true;
  static constexpr bool has_quiet_NaN = true;
  static constexpr int digits = 64;
#ifdef TAVRIN_EXTENDED_SOFT
  static constexpr Extended infinity() {
    return Of(tavrin::kExtendedIntegerBit, 0x7FFF);
  }
  static constexpr Extended quiet_NaN() {
    return Of(0xC000000000000000ull, 0x7FFF);
  }
  static constexpr Extended signaling_NaN() {
    return Of(0xA000000000000000ull, 0x7FFF);
  }
  static constexpr Extended denorm_min() {
    return Of(1, 0);
  }
  static constexpr Extended min() {
    return Of(tavrin::kExtendedIntegerBit, 1);
  }
  static constexpr Extended max() {
    return Of(~std::uint64_t{0}, 0x7FFE);
  }
  static constexpr Extended lowest() {
    return Of(~std::uint64_t{0}, 0xFFFE);
  }
  static constexpr Extended epsilon() {
    return Of(tavrin::kExtendedIntegerBit, 0x3FFF - 63);
  }
#else
  static constexpr Extended infinity() {
    return std::numeric_limits<long double>::infinity();
  }
  static constexpr Extended quiet_NaN() {
    return std::numeric_limits<long double>::quiet_NaN();
  }
  static constexpr Extended signaling_NaN() {
    return std::numeric_limits<long double>::signaling_NaN();
  }
  static constexpr Extended denorm_min() {
    return std::numeric_limits<long double>::denorm_min();
  }
  static constexpr Extended min() {
    return std::numeric_limits<long double>::min();
  }
  static constexpr Extended max() {
    return std::numeric_limits<long double>::max();
  }
  static constexpr Extended lowest() {
    return std::numeric_limits<long double>::lowest();
  }
  static constexpr Extended epsilon() {
    return std::numeric_limits<long double>::epsilon();
  }
#endif
};
