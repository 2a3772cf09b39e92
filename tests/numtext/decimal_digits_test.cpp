// GenerateDecimalDigits: digits, decimal exponent and sign of typical,
// extreme and special values, and the rounding to fewer digits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "numtext/numtext.h"

namespace tavrin {
namespace {

struct Generated {
  std::string digits;
  int exponent;
  bool negative;
};

// Runs the generator with a buffer sized as its contract asks, plus a guard
// region that must stay untouched.
Generated Generate(Extended x, int count) {
  constexpr char kGuard = '\x5A';
  const std::size_t size = static_cast<std::size_t>(std::max(count + 1, kMinDigitBuffer));
  std::vector<char> buffer(size + 16, kGuard);
  const DecimalDigits d = GenerateDecimalDigits(x, count, buffer.data());
  for (std::size_t i = size; i < buffer.size(); ++i) {
    EXPECT_EQ(buffer[i], kGuard) << "wrote past the buffer at " << i;
  }
  return {std::string(buffer.data()), d.exponent, d.negative};
}

struct DigitsCase {
  const char* what;
  Extended value;
  int count;
  const char* digits;
  int exponent;
  bool negative;
};

TEST(GenerateDecimalDigitsTest, EighteenDigitsOfTypicalAndExtremeValues) {
  const DigitsCase cases[] = {
      {"one", 1, 18, "100000000000000000", 1, false},
      {"five", 5, 18, "500000000000000000", 1, false},
      {"twelve and a half", 12.5, 18, "125000000000000000", 2, false},
      {"0.05 as a double", 0.05, 18, "500000000000000028", -1, false},
      {"calculator default", 314.1590118408203, 18, "314159011840820312", 3, false},
      {"1e300 as a double", 1e300, 18, "100000000000000005", 301, false},
      {"largest double", std::numeric_limits<double>::max(), 18, "179769313486231571", 309, false},
      {"smallest double", std::numeric_limits<double>::denorm_min(), 18, "494065645841246544", -323,
       false},
      {"negative", -0.25, 18, "250000000000000000", 0, true},
      {"below one", 0.001, 18, "100000000000000002", -2, false},
      {"eighth", 0.125, 18, "125000000000000000", 0, false},
  };
  for (const DigitsCase& c : cases) {
    const Generated g = Generate(c.value, c.count);
    EXPECT_EQ(g.digits, c.digits) << c.what;
    EXPECT_EQ(g.exponent, c.exponent) << c.what;
    EXPECT_EQ(g.negative, c.negative) << c.what;
  }
}

TEST(GenerateDecimalDigitsTest, EstimateOffByOneIsCorrected) {
  // 2^-877 is about 9.92e-265: the exponent estimate is one too high here,
  // 2^-1000 about 9.33e-302, 2^1000 about 1.07e301.
  struct Case {
    int binaryExponent;
    int decimalExponent;
    const char* leading;
  };
  const Case cases[] = {{-877, -264, "992"}, {-1000, -301, "933"}, {1000, 302, "107"},
                        {0, 1, "100"},       {10, 4, "102"},       {-1, 0, "500"}};
  for (const Case& c : cases) {
    const Generated g = Generate(std::ldexp(1.0L, c.binaryExponent), 18);
    EXPECT_EQ(g.exponent, c.decimalExponent) << "2^" << c.binaryExponent;
    EXPECT_EQ(g.digits.substr(0, 3), c.leading) << "2^" << c.binaryExponent;
    EXPECT_EQ(g.digits.size(), 18u);
  }
}

TEST(GenerateDecimalDigitsTest, IntegersAtTheDecadeCorrection) {
  // Exact values whose scaled integer lands on 10^18 or just beside it; a
  // scaled value of 10^18 or more is divided by ten and rounded again, ties
  // to even.
  struct Case {
    Extended value;
    const char* digits;
    int exponent;
  };
  const Case cases[] = {
      {999999999999999999.0L, "999999999999999999", 18},  // no correction
      {1e18L, "100000000000000000", 19},                  // exactly 10^18
      {99999999999999999.5L, "999999999999999995", 17},   // scaled 10^18 - 5
      {100000000000000000.5L, "100000000000000000", 18},  // 10^18 + 5: tie, even stays
      {100000000000000001.5L, "100000000000000002", 18},  // tie, odd rounds up
      {12345678901234567.25L, "123456789012345672", 17},  // ...672.5 after the division
      {123456789012345678.0L, "123456789012345678", 18},
  };
  for (const Case& c : cases) {
    const Generated g = Generate(c.value, 18);
    EXPECT_EQ(g.digits, c.digits) << c.digits;
    EXPECT_EQ(g.exponent, c.exponent) << c.digits;
  }
}

TEST(GenerateDecimalDigitsTest, RoundingToFewerDigits) {
  const DigitsCase cases[] = {
      {"0.1 + 0.2, 16th digit 0", 0.1 + 0.2, 15, "300000000000000", 0, false},
      {"half after even digit rounds down", 123456789012342567.0L, 15, "123456789012342", 18,
       false},
      {"half after odd digit rounds up", 123456789012343500.0L, 15, "123456789012344", 18, false},
      {"above half rounds up", 123456789012342600.0L, 15, "123456789012343", 18, false},
      {"below half rounds down", 123456789012342499.0L, 15, "123456789012342", 18, false},
      {"carry through every digit", 999999999999999999.0L, 15, "100000000000000", 19, false},
      {"carry with one digit", 0.96, 1, "1", 1, false},
      {"one digit, no carry", 0.94, 1, "9", 0, false},
      {"negative keeps its sign", -2.5, 1, "2", 1, true},
      {"seventeen digits", 0.05, 17, "50000000000000003", -1, false},
  };
  for (const DigitsCase& c : cases) {
    const Generated g = Generate(c.value, c.count);
    EXPECT_EQ(g.digits, c.digits) << c.what;
    EXPECT_EQ(g.exponent, c.exponent) << c.what;
    EXPECT_EQ(g.negative, c.negative) << c.what;
  }
}

TEST(GenerateDecimalDigitsTest, LongRequestsStopAfterNineteenCharacters) {
  struct Case {
    int count;
    std::size_t length;
  };
  const Case cases[] = {{18, 18}, {19, 19}, {20, 19}, {4932, 19}};
  for (const Case& c : cases) {
    const Generated g = Generate(1234.5, c.count);
    EXPECT_EQ(g.digits.size(), c.length) << c.count;
    EXPECT_EQ(g.digits.substr(0, 18), "123450000000000000") << c.count;
    EXPECT_EQ(g.exponent, 4);
  }
}

TEST(GenerateDecimalDigitsTest, SpecialValues) {
  const Extended inf = std::numeric_limits<Extended>::infinity();
  const Extended nan = std::numeric_limits<Extended>::quiet_NaN();
  struct Case {
    const char* what;
    Extended value;
    char digit;
    int exponent;
    bool negative;
  };
  const Case cases[] = {
      {"zero", 0, '0', 1, false},
      {"negative zero", -0.0L, '0', 1, false},
      {"NaN", nan, '0', 1, false},
      {"negative NaN", -nan, '0', 1, false},
      {"extended denormal", std::numeric_limits<Extended>::denorm_min(), '0', 1, false},
      {"+infinity", inf, '9', 999, false},
      {"-infinity", -inf, '9', 999, true},
  };
  for (const Case& c : cases) {
    for (int count : {1, 15, 4932}) {
      const Generated g = Generate(c.value, count);
      EXPECT_EQ(g.digits, std::string(static_cast<std::size_t>(count), c.digit)) << c.what;
      EXPECT_EQ(g.exponent, c.exponent) << c.what;
      EXPECT_EQ(g.negative, c.negative) << c.what;
    }
  }
}

TEST(GenerateDecimalDigitsTest, ZeroCountGivesNoDigitsButTheExponent) {
  const Generated g = Generate(-314.159, 0);
  EXPECT_EQ(g.digits, "");
  EXPECT_EQ(g.exponent, 3);
  EXPECT_TRUE(g.negative);
  EXPECT_EQ(Generate(std::numeric_limits<Extended>::infinity(), 0).digits, "");
}

TEST(GenerateDecimalDigitsTest, MatchesTheExactExpansionOfDoubles) {
  // The first 18 significant digits of each double's exact decimal expansion,
  // correctly rounded (worked out with exact decimal arithmetic).
  const DigitsCase cases[] = {
      {"1/3", 1.0 / 3, 18, "333333333333333315", 0, false},
      {"2/3", 2.0 / 3, 18, "666666666666666630", 0, false},
      {"1e-5", 1e-5, 18, "100000000000000008", -4, false},
      {"123456.789", 123456.789, 18, "123456789000000004", 6, false},
      {"6.02214076e23", 6.02214076e23, 18, "602214075999999987", 24, false},
      {"1.602176634e-19", 1.602176634e-19, 18, "160217663399999989", -18, false},
      {"2^53", 9007199254740992.0, 18, "900719925474099200", 16, false},
      {"0.1", 0.1, 18, "100000000000000006", 0, false},
      {"0.7", 0.7, 18, "699999999999999956", 0, false},
      {"1e22", 1e22, 18, "100000000000000000", 23, false},
      {"1e23", 1e23, 18, "999999999999999916", 23, false},
      {"5e-310", 5e-310, 18, "499999999999998472", -309, false},
  };
  for (const DigitsCase& c : cases) {
    const Generated g = Generate(c.value, c.count);
    EXPECT_EQ(g.digits, c.digits) << c.what;
    EXPECT_EQ(g.exponent, c.exponent) << c.what;
  }
}

}  // namespace
}  // namespace tavrin
