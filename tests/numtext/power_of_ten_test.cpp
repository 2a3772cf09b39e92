// The power-of-ten table against exact integer arithmetic, and the scaling
// built on it.
#include "numtext/power_of_ten.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "extended_testing.h"
#include "numtext/numtext.h"

namespace tavrin {
namespace {

using testing_support::ExtendedHex;
using testing_support::FieldsHex;

// An unsigned integer of any size, 32-bit limbs, least significant first.
class BigInteger {
 public:
  explicit BigInteger(std::uint32_t value) : limbs_{value} {}

  // 10^n, by n multiplications by ten.
  static BigInteger PowerOfTen(int n) {
    BigInteger result(1);
    for (int i = 0; i < n; ++i) result.MultiplySmall(10);
    return result;
  }

  void MultiplySmall(std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : limbs_) {
      const std::uint64_t product = static_cast<std::uint64_t>(limb) * factor + carry;
      limb = static_cast<std::uint32_t>(product);
      carry = product >> 32;
    }
    if (carry != 0) limbs_.push_back(static_cast<std::uint32_t>(carry));
  }

  int BitLength() const {
    int bits = static_cast<int>(limbs_.size() - 1) * 32;
    for (std::uint32_t top = limbs_.back(); top != 0; top >>= 1) ++bits;
    return bits;
  }

  bool Bit(int index) const {
    if (index < 0) return false;
    const auto limb = static_cast<std::size_t>(index / 32);
    return limb < limbs_.size() && ((limbs_[limb] >> (index % 32)) & 1u) != 0;
  }

  bool AnyBitBelow(int index) const {
    for (int i = 0; i < index; ++i) {
      if (Bit(i)) return true;
    }
    return false;
  }

 private:
  std::vector<std::uint32_t> limbs_;
};

struct NearestExtended {
  std::uint64_t significand;
  std::uint16_t exponentField;
};

// The extended real nearest to `value` (ties to even), found bit by bit.
NearestExtended RoundToExtended(const BigInteger& value) {
  const int top = value.BitLength() - 1;
  std::uint64_t significand = 0;
  for (int i = 0; i < 64; ++i) significand = (significand << 1) | (value.Bit(top - i) ? 1u : 0u);
  const int roundIndex = top - 64;
  int exponent = top;
  const bool roundBit = value.Bit(roundIndex);
  const bool sticky = value.AnyBitBelow(roundIndex);
  if (roundBit && (sticky || (significand & 1u) != 0)) {
    ++significand;
    if (significand == 0) {  // carried out of 64 bits
      significand = 0x8000000000000000ull;
      ++exponent;
    }
  }
  return {significand, static_cast<std::uint16_t>(exponent + 16383)};
}

TEST(PowerOfTenTableTest, SmallEntriesAreExactIntegers) {
  std::int32_t expected = 1;
  for (std::size_t i = 0; i < PowerOfTenTable.small.size(); ++i) {
    EXPECT_EQ(PowerOfTenTable.small[i], expected) << "10^" << i;
    expected *= 10;
  }
}

TEST(PowerOfTenTableTest, BinaryStepsAreNearestExtendedValues) {
  for (int i = 0; i < kLargePowerSteps; ++i) {
    const int power = 8 << i;
    const NearestExtended nearest = RoundToExtended(BigInteger::PowerOfTen(power));
    EXPECT_EQ(ExtendedHex(LargePowerOfTen(i)),
              FieldsHex(nearest.significand, nearest.exponentField))
        << "10^" << power;
  }
}

TEST(PowerOfTenTableTest, TenToTheEighteenIsExact) {
  const NearestExtended exact = RoundToExtended(BigInteger::PowerOfTen(18));
  EXPECT_EQ(ExtendedHex(PowerOfTen18()), FieldsHex(exact.significand, exact.exponentField));
  EXPECT_EQ(PowerOfTen18(), 1e18L);
}

TEST(PowerOfTenTableTest, ExactPowersAreTheExactIntegers) {
  for (int a = 0; a <= kLargestExactPowerOfTen; ++a) {
    const BigInteger exact = BigInteger::PowerOfTen(a);
    // Exact in 64 significand bits: 10^a has at most 64 significant bits
    // once its trailing zero bits (a of them) are dropped.
    ASSERT_LE(exact.BitLength() - a, 64) << a;
    const NearestExtended nearest = RoundToExtended(exact);
    EXPECT_EQ(ExtendedHex(ExactPowerOfTen(a)),
              FieldsHex(nearest.significand, nearest.exponentField))
        << "10^" << a;
  }
  // One more and the power needs a rounding: the table must stop here.
  EXPECT_GT(BigInteger::PowerOfTen(kLargestExactPowerOfTen + 1).BitLength() -
                (kLargestExactPowerOfTen + 1),
            64);
}

TEST(ScaleByPowerOfTenTest, FirstPowerPastTheExactOnesIsBuiltFromTheSteps) {
  // 10^28 = 10^4 * 10^8 * 10^16: exact factors, one rounding at the end.
  const Extended built =
      static_cast<Extended>(PowerOfTenTable.small[4]) * LargePowerOfTen(0) * LargePowerOfTen(1);
  EXPECT_EQ(ExtendedHex(ScaleByPowerOfTen(1, 28)), ExtendedHex(built));
  EXPECT_EQ(ExtendedHex(ScaleByPowerOfTen(3, -28)), ExtendedHex(3 / built));
}

TEST(ScaleByPowerOfTenTest, ExactPowersAndSingleRoundings) {
  struct Case {
    Extended x;
    int p;
    Extended expected;
  };
  // Powers up to 10^27 are exact in 64 bits (5^27 < 2^64), so each of these
  // is one correctly rounded operation and equals the literal.
  const Case cases[] = {
      {1, 0, 1},       {1, 1, 10},
      {1, 7, 1e7L},    {1, 8, 1e8L},
      {1, 19, 1e19L},  {1, 24, 1e24L},
      {1, 27, 1e27L},  {1, -1, 0.1L},
      {1, -3, 0.001L}, {1, -19, 1e-19L},
      {3, 2, 300},     {-2.5L, 3, -2500},
      {7, -2, 0.07L},  {123456789, -27, 123456789e-27L},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtendedHex(ScaleByPowerOfTen(c.x, static_cast<std::int16_t>(c.p))),
              ExtendedHex(c.expected))
        << c.x << " * 10^" << c.p;
  }
}

TEST(ScaleByPowerOfTenTest, EachBinaryStepAloneGivesTheTableEntry) {
  for (int i = 0; i < kLargePowerSteps; ++i) {
    const auto p = static_cast<std::int16_t>(8 << i);
    EXPECT_EQ(ExtendedHex(ScaleByPowerOfTen(1, p)), ExtendedHex(LargePowerOfTen(i))) << p;
  }
}

TEST(ScaleByPowerOfTenTest, LargePowersStayCloseToTheExactValue) {
  // A product of up to ten rounded steps stays within a few units in the last
  // place of the nearest value.
  const int powers[] = {100, 308, 400, 1000, 2999, 4095, 4932};
  for (int power : powers) {
    const NearestExtended nearest = RoundToExtended(BigInteger::PowerOfTen(power));
    const ExtendedFields got =
        SplitExtended(ScaleByPowerOfTen(1, static_cast<std::int16_t>(power)));
    ASSERT_EQ(got.signExponent, nearest.exponentField) << power;
    const std::uint64_t distance = got.significand > nearest.significand
                                       ? got.significand - nearest.significand
                                       : nearest.significand - got.significand;
    EXPECT_LE(distance, 8u) << "10^" << power;
  }
}

TEST(ScaleByPowerOfTenTest, OverflowUnderflowAndTheTwoStepRange) {
  struct Case {
    Extended x;
    int p;
    const char* what;
    bool (*check)(Extended);
  };
  const Case cases[] = {
      {1, 4933, "overflow", [](Extended v) { return IsInfinite(v) && v > 0; }},
      {-1, 4933, "negative overflow", [](Extended v) { return IsInfinite(v) && v < 0; }},
      {1, -4960, "underflow", [](Extended v) { return v == 0 && !SignBit(v); }},
      {1e-4000L, 4100, "first step then the rest",
       [](Extended v) { return v > 9e99L && v < 2e100L; }},
      {1e4000L, -4100, "first step down", [](Extended v) { return v > 9e-101L && v < 2e-100L; }},
      {0, 5000, "zero stays zero", [](Extended v) { return v == 0; }},
      {0, 12000, "zero times an infinite factor", [](Extended v) { return IsNaN(v); }},
      {1, 12287, "largest documented power", [](Extended v) { return IsInfinite(v); }},
      {1, -12287, "smallest documented power", [](Extended v) { return v == 0; }},
      {1, 32767, "beyond the documented range", [](Extended v) { return IsInfinite(v); }},
      {1, -32768, "beyond the documented range, down", [](Extended v) { return v == 0; }},
      {1e-4940L, 32767, "tiny value, huge power", [](Extended v) { return IsInfinite(v); }},
  };
  for (const Case& c : cases) {
    const Extended got = ScaleByPowerOfTen(c.x, static_cast<std::int16_t>(c.p));
    EXPECT_TRUE(c.check(got)) << c.what << ": got " << got;
  }
}

}  // namespace
}  // namespace tavrin
