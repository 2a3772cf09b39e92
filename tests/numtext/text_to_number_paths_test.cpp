// TextToNumber reads plain digit texts by one-pass paths of its own (digits
// eight at a time, one rounded operation with an exact power of ten, on the
// software backend a quotient from a reciprocal); every text must give the
// bits of the general decimal scan, ScanDecimal after the blanks. Generated
// texts, family by family, aim at where the paths give way or could go
// wrong. TAVRIN_DIFFERENTIAL_TEXTS sets how many texts are tried in all
// (10,000,000 by default, 2,000,000 under the sanitizers), shared out by the
// families' weights; half as many quotients from reciprocals are checked
// against the division itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>
#include <string_view>

#include "extended_testing.h"
#include "numtext/numtext.h"
#include "numtext/power_of_ten.h"
#include "numtext/power_of_ten_quotient.h"
#include "numtext/text_scan.h"
#include "numtext/wide_integer.h"

namespace tavrin {
namespace {

using testing_support::ExtendedHex;

// splitmix64: fast, and the same sequence on every target.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform enough in [0, n) for the small n used here.
  unsigned Below(unsigned n) { return static_cast<unsigned>(Next() % n); }
  bool OneIn(unsigned n) { return Below(n) == 0; }
  char Digit() { return static_cast<char>('0' + Below(10)); }

 private:
  std::uint64_t state_;
};

// `digits` digits, the first one not "0", with a point before digit
// `point` (none for point > digits; at the very end for point == digits).
std::string Significand(Random& random, unsigned digits, unsigned point) {
  std::string text;
  for (unsigned d = 0; d < digits; ++d) {
    if (d == point) text += '.';
    text += d == 0 ? static_cast<char>('1' + random.Below(9)) : random.Digit();
  }
  if (point == digits) text += '.';
  return text;
}

// An exponent part with any of the letters and an optional sign.
void AppendExponent(std::string& text, Random& random, long long exponent) {
  text += "eEdD"[random.Below(4)];
  if (exponent < 0) {
    text += '-';
  } else if (random.OneIn(2)) {
    text += '+';
  }
  text += std::to_string(exponent < 0 ? -exponent : exponent);
}

// Bytes of digits, points, signs, exponent letters and blanks in any order.
std::string AnyText(Random& random) {
  constexpr std::string_view kAlphabet = "0123456789012345678900..+-eEdD x \t\n\r";
  std::string text(random.Below(27), ' ');
  for (char& c : text) c = kAlphabet[random.Below(kAlphabet.size())];
  return text;
}

// Up to 20 digits after up to two leading zeros (and now and then blanks), a
// point anywhere or none, sometimes an exponent part below 40.
std::string NumberText(Random& random) {
  std::string text;
  if (random.OneIn(8)) text.assign(1 + random.Below(3), " \t\n"[random.Below(3)]);
  text.append(random.Below(3), '0');
  const unsigned digits = 1 + random.Below(20);
  const unsigned point = random.Below(digits + 2);
  for (unsigned d = 0; d < digits; ++d) {
    if (d == point) text += '.';
    text += random.Digit();
  }
  if (random.OneIn(2)) AppendExponent(text, random, static_cast<long long>(random.Below(40)));
  return text;
}

// 17 to 19 significant digits (18 is the most the long path takes), after
// "0.", zeros or nothing, with exponents around the exact powers' reach.
std::string FullPrecisionText(Random& random) {
  static constexpr std::string_view kPrefixes[] = {"", "", "0.", "0.0", "00", "."};
  const unsigned digits = 17 + random.Below(3);
  std::string text(kPrefixes[random.Below(6)]);
  const bool pointed = text.find('.') != std::string::npos;
  text += Significand(random, digits, pointed ? digits + 1 : random.Below(digits + 2));
  if (!random.OneIn(3)) {
    AppendExponent(text, random, static_cast<long long>(random.Below(81)) - 40);
  }
  return text;
}

// Texts of 15, 16, 23 and 24 bytes, the lengths where the paths change.
std::string LengthEdgeText(Random& random) {
  static constexpr unsigned kLengths[] = {15, 16, 23, 24};
  const unsigned length = kLengths[random.Below(4)];
  std::string text;
  if (random.OneIn(3)) {
    const std::string exponent = "e-" + std::to_string(random.Below(30));
    const unsigned digits = length - static_cast<unsigned>(exponent.size()) - 1;
    text = Significand(random, digits, random.Below(digits + 1)) + exponent;
  } else {
    text = Significand(random, length - 1, random.Below(length));
  }
  return text.substr(0, length);
}

// Digit runs broken by bytes just outside "0".."9" and by bytes whose sums
// and differences carry into their neighbours in eight-byte words.
std::string EdgeByteText(Random& random) {
  static constexpr char kEdges[] = {'/',    ':',    '\0',   '\x80', '\xB9', '\xBA', '\xC6',
                                    '\xF9', '\xFA', '\xFF', '.',    'e',    '0',    '9'};
  const unsigned length = 8 + random.Below(19);
  std::string text;
  for (unsigned i = 0; i < length; ++i) {
    text += random.OneIn(6) ? kEdges[random.Below(sizeof kEdges)] : random.Digit();
  }
  return text;
}

// Decimal exponents near the overflow and underflow thresholds (D = +-4933),
// the denormal results above the latter, and capped exponents.
std::string RangeEndText(Random& random) {
  const unsigned digits = 1 + random.Below(19);
  std::string text = Significand(random, digits, random.Below(digits + 2));
  const long long d = static_cast<long long>(random.Below(40));
  long long exponent = 0;
  switch (random.Below(3)) {
    case 0:
      exponent = 4910 + d;
      break;
    case 1:
      exponent = -4910 - d;
      break;
    default:
      exponent = (random.OneIn(2) ? 1 : -1) * (9990 + d * 1000);
      break;
  }
  AppendExponent(text, random, exponent);
  return text;
}

// a * b mod m for a, b < m < 2^63.
std::uint64_t MultiplyModulo(std::uint64_t a, std::uint64_t b, std::uint64_t m) {
  return soft::Divide(soft::Multiply(a, b), m).remainder;
}

constexpr unsigned kMostHalvings = 128;

// 5^k, and 2^-g modulo 5^k for g < kMostHalvings, for k up to the exact powers.
class FivePowers {
 public:
  FivePowers() {
    std::uint64_t five = 1;
    for (unsigned k = 1; k <= kLargestExactPowerOfTen; ++k) {
      five *= 5;
      five_[k] = five;
      const std::uint64_t half = (five + 1) / 2;  // 1/2 modulo 5^k
      std::uint64_t power = 1;
      for (unsigned g = 0; g < kMostHalvings; ++g) {
        halves_[k][g] = power;
        power = MultiplyModulo(power, half, five);
      }
    }
  }
  std::uint64_t Five(unsigned k) const { return five_[k]; }
  std::uint64_t Halves(unsigned k, unsigned g) const { return halves_[k][g]; }

 private:
  std::uint64_t five_[kLargestExactPowerOfTen + 1] = {};
  std::uint64_t halves_[kLargestExactPowerOfTen + 1][kMostHalvings] = {};
};

struct Quotient {
  std::uint64_t m;
  unsigned k;  // 1 to 27
};

constexpr std::uint64_t kLargestMantissa = 999999999999999999ull;  // 18 digits

// Quotients M / 10^k, that is (M / 5^k) 2^-k, that are exact (M a multiple
// of 5^k) or fall right beside the halfway point between two extended reals.
// With 2^e <= M / 5^k < 2^(e+1), the rounding point of the 64-bit
// significand is at a multiple of 2^(e-64); M 2^(64-e) = J 5^k + r with J odd
// and a small odd r puts M / 5^k within r / (5^k 2^(64-e)) of a halfway
// point, r / (2 5^k) of the last place. So M = r / 2^(64-e) modulo 5^k,
// raised by multiples of 5^k into the binade of e, up to `largest`. (The
// closest of them, with k = 27 and r = 1, need M above 18 digits.)
Quotient HardQuotient(Random& random, std::uint64_t largest) {
  static const FivePowers powers;
  const bool exact = random.OneIn(4);
  for (;;) {
    const unsigned k = 1 + random.Below(kLargestExactPowerOfTen);
    const std::uint64_t five = powers.Five(k);
    if (exact) {
      const std::uint64_t most = largest / five;
      if (most != 0) return {five * (1 + random.Next() % most), k};
      continue;
    }
    const int e = static_cast<int>(random.Below(123)) - 63;
    const long double low = std::ldexp(static_cast<long double>(five), e);
    if (low >= static_cast<long double>(largest) || low * 2 < 1) continue;
    const std::uint64_t r = 2 * random.Below(4) + 1;
    const std::uint64_t residue = random.OneIn(2) ? r % five : five - r % five;  // r or -r
    std::uint64_t m =
        MultiplyModulo(residue, powers.Halves(k, static_cast<unsigned>(64 - e)), five);
    // The first value of that residue in the binade, then a later one.
    const auto first = static_cast<std::uint64_t>(std::ceil(low));
    if (m < first) m += (first - m + five - 1) / five * five;
    const long double end = std::min(low * 2, static_cast<long double>(largest) + 1);  // <= 2^64
    const auto last = static_cast<std::uint64_t>(std::ceil(end) - 1);
    if (m > last || m < first) continue;  // none there, or past 2^64
    const std::uint64_t later = (last - m) / five;
    if (later != 0) m += five * (random.Next() % (later + 1));
    return {m, k};
  }
}

// HardQuotient's M / 10^k as a text: M with k digits after the point, or M
// and the exponent -k.
std::string DivisionText(Random& random) {
  const Quotient q = HardQuotient(random, kLargestMantissa);
  const std::string digits = std::to_string(static_cast<unsigned long long>(q.m));
  if (random.OneIn(2) && digits.size() > q.k) {
    return digits.substr(0, digits.size() - q.k) + "." + digits.substr(digits.size() - q.k);
  }
  std::string text = digits;
  AppendExponent(text, random, -static_cast<long long>(q.k));
  return text;
}

// Under the sanitizers, which look for memory and undefined behaviour rather
// than for other bits, a fifth of them keeps the suite's time in bounds.
#ifdef __SANITIZE_ADDRESS__
constexpr std::uint64_t kDefaultTexts = 2000000;
#else
constexpr std::uint64_t kDefaultTexts = 10000000;
#endif

std::uint64_t TextsInAll() {
  const char* text = std::getenv("TAVRIN_DIFFERENTIAL_TEXTS");
  return text != nullptr ? std::strtoull(text, nullptr, 10) : kDefaultTexts;
}

TEST(TextToNumberPathsTest, EveryTextGivesTheGeneralScansBits) {
  const struct {
    const char* name;
    unsigned weight;  // of 100
    std::string (*make)(Random&);
  } families[] = {
      {"any bytes of numbers", 10, AnyText},
      {"up to 20 digits", 15, NumberText},
      {"17 to 19 significant digits", 25, FullPrecisionText},
      {"15, 16, 23 and 24 bytes", 10, LengthEdgeText},
      {"bytes next to the digits", 15, EdgeByteText},
      {"ends of the range", 10, RangeEndText},
      {"exact and nearly halfway quotients", 15, DivisionText},
  };
  const std::uint64_t total = TextsInAll();
  Random random(20261209);
  for (const auto& family : families) {
    const std::uint64_t count = total / 100 * family.weight;
    for (std::uint64_t n = 0; n < count; ++n) {
      const std::string text = family.make(random);
      const Extended got = TextToNumber(std::string_view(text));
      const Extended expected = ScanDecimal(SkipBlanks(text)).value;
      if (got.Fields() != expected.Fields()) {
        FAIL() << family.name << ": text \"" << text << "\" gave " << ExtendedHex(got)
               << ", the general scan " << ExtendedHex(expected);
      }
    }
  }
}

// QuotientByExactPowerOfTen against the extended division it stands for,
// whichever backend computes that: any mantissa of 18 digits, any 64-bit
// integer, and HardQuotient's exact and nearly halfway quotients, some of
// which must reach the few it leaves to the division.
TEST(TextToNumberPathsTest, QuotientsFromReciprocalsAreTheDivisions) {
  const auto anyMantissa = [](Random& random) {
    return Quotient{1 + random.Next() % 999999999999999999ull,
                    1 + random.Below(kLargestExactPowerOfTen)};
  };
  const auto anyInteger = [](Random& random) {
    return Quotient{random.Next() >> random.Below(64), 1 + random.Below(kLargestExactPowerOfTen)};
  };
  const auto nearlyHalfway = [](Random& random) { return HardQuotient(random, ~std::uint64_t{0}); };
  const struct {
    const char* name;
    Quotient (*make)(Random&);
    bool mustLeaveSome;
  } families[] = {
      {"18-digit mantissas", +anyMantissa, false},
      {"64-bit integers", +anyInteger, false},
      {"exact and nearly halfway", +nearlyHalfway, true},
  };
  const std::uint64_t count = TextsInAll() / 2 / std::size(families);
  Random random(20261210);
  for (const auto& family : families) {
    std::uint64_t left = 0;
    for (std::uint64_t n = 0; n < count; ++n) {
      const Quotient q = family.make(random);
      Extended got;
      if (!QuotientByExactPowerOfTen(q.m, static_cast<int>(q.k), got)) {
        ++left;
        continue;
      }
      const Extended expected = Extended(q.m) / ExactPowerOfTen(static_cast<int>(q.k));
      if (got.Fields() != expected.Fields()) {
        FAIL() << family.name << ": " << q.m << " / 10^" << q.k << " gave " << ExtendedHex(got)
               << ", the division " << ExtendedHex(expected);
      }
    }
    if (family.mustLeaveSome) {
      EXPECT_GT(left, 0u) << family.name;
    }
  }
}

}  // namespace
}  // namespace tavrin
