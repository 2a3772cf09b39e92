// m / 10^k for an integer m and an exact power of ten 10^k (1 <= k <= 27),
// rounded once to extended precision (nearest, ties to even), from integer
// multiplications with a reciprocal of 5^k instead of an extended division.
//
// Why it is the same value as Extended(m) / ExactPowerOfTen(k): m / 10^k is
// (m / 5^k) 2^-k, and every quotient with m < 2^64 and k <= 27 is a normal
// extended real far from both ends of the range, so the division's result is
// the 64-bit significand of m / 5^k rounded to nearest and an exponent. Both
// backends round divisions that way (the x87 unit under the start-up control
// word, 64-bit significand and rounding to nearest). The software backend's
// division works through a 128/64-bit integer division; this takes two
// 64x64-bit multiplications. (On the x87 unit its own division is as quick.)
//
// The reciprocal is R = floor(2^(127 + L) / 5^k), where 2^(L-1) < 5^k < 2^L,
// a 128-bit number with its top bit set. For the normalised m' = m 2^z
// (top bit set) the true value V = m' 2^(127+L) / 5^k and the 128 bits
// P = m' R.hi + floor(m' R.lo / 2^64) satisfy P < V / 2^64 < P + 2: R falls
// short of the exact reciprocal by less than 1, costing less than m' < 2^64
// in V, and the dropped low product costs less than 2^64. With P shifted so
// that its top bit is bit 127, the 64 bits below its significand hold the
// remainder r with the true one strictly between r and r + 4: it is above
// halfway when r is at least halfway (and should it reach a whole unit, the
// rounded-up significand is still the right one), below when r is 4 or more
// short of it. The few quotients in between are left to the division.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "numtext/extended.h"
#include "numtext/extended_layout.h"
#include "numtext/power_of_ten.h"
#include "numtext/wide_integer.h"

namespace tavrin {

// The reciprocal of 5^k, and the exponent word of a quotient whose P stops
// short of bit 127 and whose m needs no normalising shift.
struct FiveReciprocal {
  soft::U128 reciprocal;
  int exponentBase;
};

namespace quotient_detail {

// floor(2^n / d) for an odd d < 2^63, as 128 bits (the quotient fits them):
// binary long division over the n + 1 bits of 2^n.
constexpr soft::U128 PowerOfTwoOver(int n, std::uint64_t d) {
  soft::U128 q;
  std::uint64_t rest = 0;
  for (int bit = n; bit >= 0; --bit) {
    rest = rest * 2 + (bit == n ? 1 : 0);
    q = soft::ShiftLeft(q, 1);
    if (rest >= d) {
      rest -= d;
      q.lo |= 1;
    }
  }
  return q;
}

// The reciprocals for k = 1..27. The significand q is P's top 64 bits,
// P >> (63 + t) where t = 1 when P reaches bit 127, and m / 10^k =
// V 2^(-127-L-z-k) is about q 2^(t-L-z-k) = q 2^(E - bias - 63): so the
// exponent word E is bias + 63 - L - k, less z, plus t.
constexpr std::array<FiveReciprocal, kLargestExactPowerOfTen + 1> MakeFiveReciprocals() {
  std::array<FiveReciprocal, kLargestExactPowerOfTen + 1> table{};
  std::uint64_t five = 1;
  for (int k = 1; k <= kLargestExactPowerOfTen; ++k) {
    five *= 5;
    const int bits = static_cast<int>(std::bit_width(five));  // L
    table[k].reciprocal = PowerOfTwoOver(127 + bits, five);
    table[k].exponentBase = kExtendedExponentBias + 63 - bits - k;
  }
  return table;
}

}  // namespace quotient_detail

inline constexpr std::array<FiveReciprocal, kLargestExactPowerOfTen + 1> kFiveReciprocals =
    quotient_detail::MakeFiveReciprocals();

// m / 10^k into `quotient` for 1 <= m and 1 <= k <= kLargestExactPowerOfTen;
// false (and nothing written) when the remainder lies too close below the
// halfway point to decide here, or for m = 0.
[[gnu::always_inline]] inline bool QuotientByExactPowerOfTen(std::uint64_t m, int k,
                                                             Extended& quotient) {
  if (m == 0) return false;
  const FiveReciprocal& entry = kFiveReciprocals[static_cast<unsigned>(k)];
  const int z = std::countl_zero(m);
  const std::uint64_t normalised = m << z;
  const soft::U128 p = soft::Add(soft::Multiply(normalised, entry.reciprocal.hi),
                                 {0, soft::Multiply(normalised, entry.reciprocal.lo).hi});
  // Align P's top bit to bit 127: t = 1 when it is already there.
  const unsigned t = static_cast<unsigned>(p.hi >> 63);
  const unsigned shift = 1 - t;
  std::uint64_t significand = (p.hi << shift) | ((p.lo >> 63) & shift);
  const std::uint64_t rest = p.lo << shift;
  constexpr std::uint64_t kHalf = std::uint64_t{1} << 63;
  constexpr std::uint64_t kUndecided = 4;  // the remainder's error bound after the shift
  if (rest - (kHalf - kUndecided) < kUndecided) return false;
  int exponent = entry.exponentBase + static_cast<int>(t) - z;
  if (rest >= kHalf) {
    ++significand;
    if (significand == 0) {  // rounded up to 2^64
      significand = kExtendedIntegerBit;
      ++exponent;
    }
  }
  quotient = Extended::FromFields({significand, static_cast<std::uint16_t>(exponent)});
  return true;
}

}  // namespace tavrin
