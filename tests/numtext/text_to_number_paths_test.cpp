// TextToNumber reads plain digit texts by one-pass paths of its own (digits
// eight at a time, one rounded operation with an exact power of ten); every
// text must give the bits of the general decimal scan, ScanDecimal after the
// blanks. Generated texts, family by family, aim at where the paths give way
// or could go wrong. TAVRIN_DIFFERENTIAL_TEXTS sets how many texts are tried
// in all (10,000,000 by default), shared out by the families' weights.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "extended_testing.h"
#include "numtext/numtext.h"
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
  constexpr std::string_view kAlphabet = "0123456789012345678900..+-eEdD x";
  std::string text(random.Below(27), ' ');
  for (char& c : text) c = kAlphabet[random.Below(kAlphabet.size())];
  return text;
}

// Up to 20 digits after up to two leading zeros, a point anywhere or none,
// sometimes an exponent part below 40.
std::string NumberText(Random& random) {
  std::string text(random.Below(3), '0');
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

// Quotients M / 10^k, that is (M / 5^k) 2^-k, that are exact (M a multiple
// of 5^k) or fall right beside the halfway point between two extended reals.
// With 2^e <= M / 5^k < 2^(e+1), the rounding point of the 64-bit
// significand is at a multiple of 2^(e-64); M 2^(64-e) = J 5^k + r with J odd
// and a small odd r puts M / 5^k within r / (5^k 2^(64-e)) of a halfway
// point. So M = r / 2^(64-e) modulo 5^k, raised by multiples of 5^k into the
// binade of e (where it fits 18 digits). The texts write M with k digits
// after the point or with the exponent -k.
std::string DivisionText(Random& random) {
  constexpr std::uint64_t kLargestMantissa = 999999999999999999ull;  // 18 digits
  const bool exact = random.OneIn(4);
  for (;;) {
    const unsigned k = 1 + random.Below(27);
    std::uint64_t five = 1;
    for (unsigned i = 0; i < k; ++i) five *= 5;
    std::uint64_t m = 0;
    if (exact) {
      const std::uint64_t most = kLargestMantissa / five;
      if (most == 0) continue;
      m = five * (1 + random.Next() % most);
    } else {
      // A binade M / 5^k in [2^e, 2^(e+1)) that holds mantissas of 18 digits.
      const int e = static_cast<int>(random.Below(123)) - 63;
      const long double low = std::ldexp(static_cast<long double>(five), e);
      if (low * 2 > static_cast<long double>(kLargestMantissa) || low * 2 < 1) continue;
      const std::uint64_t half = (five + 1) / 2;  // 1/2 modulo 5^k
      std::uint64_t inverse = 1;                  // 2^-(64-e) modulo 5^k
      for (int i = 0; i < 64 - e; ++i) inverse = MultiplyModulo(inverse, half, five);
      const std::uint64_t r = 2 * random.Below(4) + 1;
      const std::uint64_t residue = random.OneIn(2) ? r : five - r;  // r or -r
      m = MultiplyModulo(residue % five, inverse, five);
      // The first value of that residue in the binade, then further ones.
      const auto first = static_cast<std::uint64_t>(std::ceil(low));
      if (m < first) m += (first - m + five - 1) / five * five;
      const auto last = static_cast<std::uint64_t>(low * 2);
      if (m >= last) continue;
      m += (last - m) / five == 0 ? 0 : five * (random.Next() % ((last - m) / five));
    }
    const std::string digits = std::to_string(static_cast<unsigned long long>(m));
    if (random.OneIn(2) && digits.size() > k) {
      return digits.substr(0, digits.size() - k) + "." + digits.substr(digits.size() - k);
    }
    std::string text = digits;
    AppendExponent(text, random, -static_cast<long long>(k));
    return text;
  }
}

std::uint64_t TextsInAll() {
  const char* text = std::getenv("TAVRIN_DIFFERENTIAL_TEXTS");
  return text != nullptr ? std::strtoull(text, nullptr, 10) : 10000000;
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

}  // namespace
}  // namespace tavrin
