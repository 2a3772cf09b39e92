// Unsigned 128-bit integers for the software extended real: a pair of 64-bit
// halves with the few operations its arithmetic needs (shifts with a sticky
// bit, add, subtract, compare, 64x64->128 multiply, 128/64 divide). The
// compiler's unsigned __int128 does the multiply and divide where it exists;
// elsewhere portable 32-bit pieces and a bit-serial division do.
#pragma once

#include <bit>
#include <cstdint>

namespace tavrin::soft {

#ifdef __SIZEOF_INT128__
__extension__ typedef unsigned __int128 NativeU128;
#endif

struct U128 {
  std::uint64_t hi = 0;
  std::uint64_t lo = 0;

  constexpr bool IsZero() const { return (hi | lo) == 0; }
  friend constexpr bool operator==(const U128&, const U128&) = default;
};

constexpr bool Less(U128 a, U128 b) {
  return a.hi < b.hi || (a.hi == b.hi && a.lo < b.lo);
}

constexpr U128 Add(U128 a, U128 b) {
  const std::uint64_t lo = a.lo + b.lo;
  return {a.hi + b.hi + (lo < a.lo ? 1u : 0u), lo};
}

// a - b for a >= b.
constexpr U128 Subtract(U128 a, U128 b) {
  return {a.hi - b.hi - (a.lo < b.lo ? 1u : 0u), a.lo - b.lo};
}

// a << n for 0 <= n < 128.
constexpr U128 ShiftLeft(U128 a, int n) {
  if (n == 0) return a;
  if (n >= 64) return {a.lo << (n - 64), 0};
  return {(a.hi << n) | (a.lo >> (64 - n)), a.lo << n};
}

// a >> n for n >= 0, with every bit shifted out ORed into bit 0 (the sticky
// bit that keeps "above", "at" and "below" a rounding point apart).
constexpr U128 ShiftRightSticky(U128 a, int n) {
  if (n == 0) return a;
  if (n >= 128) return {0, a.IsZero() ? 0u : 1u};
  U128 r;
  std::uint64_t lost;
  if (n >= 64) {
    r = {0, n == 64 ? a.hi : a.hi >> (n - 64)};
    lost = a.lo | (n == 64 ? 0 : a.hi << (128 - n));
  } else {
    r = {a.hi >> n, (a.lo >> n) | (a.hi << (64 - n))};
    lost = a.lo << (64 - n);
  }
  if (lost != 0) r.lo |= 1;
  return r;
}

constexpr int CountLeadingZeros(U128 a) {
  return a.hi != 0 ? std::countl_zero(a.hi) : 64 + std::countl_zero(a.lo);
}

// The full product a * b.
constexpr U128 Multiply(std::uint64_t a, std::uint64_t b) {
#ifdef __SIZEOF_INT128__
  const NativeU128 p = static_cast<NativeU128>(a) * b;
  return {static_cast<std::uint64_t>(p >> 64), static_cast<std::uint64_t>(p)};
#else
  const std::uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32, b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
  const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const std::uint64_t middle = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
  return {p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32), (middle << 32) | (p00 & 0xFFFFFFFFu)};
#endif
}

// Quotient and remainder of a / d for a.hi < d (so the quotient fits 64 bits).
struct Division {
  std::uint64_t quotient;
  std::uint64_t remainder;
};
constexpr Division Divide(U128 a, std::uint64_t d) {
#ifdef __SIZEOF_INT128__
  const NativeU128 n = (static_cast<NativeU128>(a.hi) << 64) | a.lo;
  return {static_cast<std::uint64_t>(n / d), static_cast<std::uint64_t>(n % d)};
#else
  std::uint64_t r = a.hi, q = 0;
  for (int bit = 63; bit >= 0; --bit) {
    const bool carry = (r >> 63) != 0;
    r = (r << 1) | ((a.lo >> bit) & 1);
    q <<= 1;
    if (carry || r >= d) {
      r -= d;
      q |= 1;
    }
  }
  return {q, r};
#endif
}

}  // namespace tavrin::soft
