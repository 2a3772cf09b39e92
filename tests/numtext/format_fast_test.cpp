// FormatNumber (the cached masks and the integer rounding of the decimal
// significand) against FormatNumberReference (the general path) over random
// masks and values: every text the same, byte for byte. The masks come from
// a pool larger than the mask cache, so entries are found, kept and replaced.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "extended_testing.h"
#include "numtext/bit_cast.h"
#include "numtext/format_reference.h"
#include "numtext/numtext.h"

namespace tavrin {
namespace {

// Pieces of masks: the mask language and a few characters outside it.
constexpr std::array<std::string_view, 30> kMaskPieces = {
    "#",  "#", "#",       "0",   "0",  ".", ".", ",", "%", "E+", "E-", "e+", "e-", "E", "*x",
    "**", "*", "\"a.b\"", "\\#", "\\", ";", ";", "-", "+", "(",  ")",  "$",  " ",  "x", "?"};
// The calculator's mask and other common ones, always in the pool.
constexpr std::array<std::string_view, 6> kCommonMasks = {
    "###.#", "0.00", "#,##0.00", "#,##0.00;(#,##0.00)", "0.0E+00", "##0.0%"};

// A random index below `count`.
std::size_t Below(std::mt19937_64& random, std::size_t count) {
  return static_cast<std::size_t>(random() % count);
}

std::string RandomMask(std::mt19937_64& random) {
  // Mostly short masks (cached), now and then one too long to be cached.
  const std::size_t pieces =
      Below(random, 16) == 0 ? 20 + Below(random, 30) : 1 + Below(random, 10);
  std::string mask;
  for (std::size_t i = 0; i < pieces; ++i) mask += kMaskPieces[Below(random, kMaskPieces.size())];
  return mask;
}

Extended RandomValue(std::mt19937_64& random) {
  const auto sign = [&random](Extended v) { return random() % 2 == 0 ? v : -v; };
  switch (random() % 8) {
    case 0:  // any double
      return BitCast<double>(random());
    case 1:  // any normal extended real
      return Extended::FromFields(
          {random() | kExtendedIntegerBit, static_cast<std::uint16_t>(random() % 0xFFFF)});
    case 2: {  // a typed decimal, up to eight digits
      const auto digits = static_cast<double>(random() % 100000000);
      return sign(digits / std::pow(10.0, static_cast<double>(random() % 9)));
    }
    case 3: {  // a half at some decimal place: the ties of rounding
      const auto digits = static_cast<double>(random() % 100000) + 0.5;
      return sign(digits / std::pow(10.0, static_cast<double>(random() % 5)));
    }
    case 4: {  // just below a power of ten: carries out of every digit
      const double power = std::pow(10.0, static_cast<double>(random() % 40) - 20);
      return sign(power * (1 - std::ldexp(1.0, -static_cast<int>(random() % 60))));
    }
    case 5:  // a calculator result's size
      return sign(std::ldexp(static_cast<double>(random() % (1u << 30)), -20));
    case 6: {  // the special values and the extremes
      constexpr std::array<double, 6> kSpecial = {0.0,
                                                  std::numeric_limits<double>::infinity(),
                                                  std::numeric_limits<double>::quiet_NaN(),
                                                  std::numeric_limits<double>::denorm_min(),
                                                  std::numeric_limits<double>::max(),
                                                  1e-300};
      return sign(kSpecial[Below(random, kSpecial.size())]);
    }
    default: {  // a small integer
      return sign(static_cast<double>(random() % 2000));
    }
  }
}

TEST(FormatNumberFastPath, SameTextAsTheGeneralPath) {
  constexpr int kCases = 1000000;
  constexpr int kPoolSize = 40;        // larger than the cache
  constexpr int kPoolRefresh = 20000;  // cases before the pool changes
  std::mt19937_64 random(11);
  std::vector<TextValue> pool;
  std::string appended;
  for (int n = 0; n < kCases; ++n) {
    if (n % kPoolRefresh == 0) {
      pool.clear();
      for (std::string_view mask : kCommonMasks) pool.push_back(TextValue::Copy(mask));
      while (pool.size() < kPoolSize) pool.push_back(TextValue::Copy(RandomMask(random)));
    }
    const TextValue& mask = pool[Below(random, pool.size())];
    const Extended value = RandomValue(random);
    const TextValue fast = FormatNumber(value, mask);
    const TextValue reference = FormatNumberReference(value, mask);
    ASSERT_EQ(fast.view(), reference.view()) << "mask \"" << mask.view() << "\", value " << value;
    if (n % 16 == 0) {
      appended.clear();
      AppendFormattedNumber(value, mask, appended);
      ASSERT_EQ(appended, reference.view()) << "mask \"" << mask.view() << "\", value " << value;
    }
  }
}

// Plain masks (padding, grouping, "0" and "#" decimals, no integer
// positions) at binary fractions n / 2^j: exact decimal ties at the mask's
// last place when j is one more than its decimals, and the neighbours of
// each value; magnitudes from 2^-40 to 2^80 put the cut before the first
// digit, at every one of the 18 after it and beyond the integer rounding.
TEST(FormatNumberFastPath, PlainMasksAtAndNearTies) {
  constexpr std::array<std::string_view, 11> kPlainMasks = {
      "#.##", ".00", "#.#0", "000.0#", "0,000.0", "#,###", "#,##0.000#", "0", "#", "00.", ".#"};
  constexpr std::array<std::uint64_t, 8> kNumerators = {
      1, 3, 5, 125, 999, 12345, 987654321, (std::uint64_t{1} << 40) - 1};
  constexpr int kLargestShift = 40;
  for (std::string_view maskText : kPlainMasks) {
    const TextValue mask = TextValue::Copy(maskText);
    for (int j = -kLargestShift; j <= kLargestShift; ++j) {
      for (std::uint64_t n : kNumerators) {
        const double v = std::ldexp(static_cast<double>(n), -j);
        const double inf = std::numeric_limits<double>::infinity();
        for (double x : {v, std::nextafter(v, 0.0), std::nextafter(v, inf), -v}) {
          const Extended value = x;
          ASSERT_EQ(FormatNumber(value, mask).view(), FormatNumberReference(value, mask).view())
              << "mask \"" << maskText << "\", value " << value;
        }
      }
    }
  }
}

}  // namespace
}  // namespace tavrin
