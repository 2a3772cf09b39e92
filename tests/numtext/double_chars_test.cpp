// The printf and strtod replacements of the floating-point std::to_chars and
// std::from_chars: a table of texts every build checks, and where the C++
// library has the originals, the same bytes, values and stopping places as
// them over many doubles and texts.
#include "numtext/double_chars.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "numtext/bit_cast.h"

namespace tavrin {
namespace {

constexpr int kGeneralDigits = 17;

std::string Shortest(double value) {
  char text[400];
  return std::string(text, printf_chars::ShortestChars(text, text + sizeof text, value).ptr);
}

std::string General17(double value) {
  char text[400];
  return std::string(
      text, printf_chars::GeneralChars(text, text + sizeof text, value, kGeneralDigits).ptr);
}

struct Read {
  std::ptrdiff_t used;
  std::errc error;
  std::uint64_t bits;  // of the value after the call (it starts as -7)
};

constexpr double kUntouched = -7;

Read FromText(std::string_view text) {
  double value = kUntouched;
  const auto [stop, error] = printf_chars::FromChars(text.data(), text.data() + text.size(), value);
  return {stop - text.data(), error, BitCast<std::uint64_t>(value)};
}

struct ShortestCase {
  double value;
  const char* shortest;
  const char* general17;
};

// Where the two forms change places, the whole-number fixed form, denormals,
// the extremes and the powers of two (whose reading interval is lopsided).
constexpr ShortestCase kShortestCases[] = {
    {1e23, "1e+23", "9.9999999999999992e+22"},
    {123456789012345683968.0, "123456789012345683968", "1.2345678901234568e+20"},
    {1e21, "1e+21", "1e+21"},
    {9007199254740992.0, "9007199254740992", "9007199254740992"},
    {1e16, "1e+16", "10000000000000000"},
    {0.0001, "1e-04", "0.0001"},
    {1.5e-5, "1.5e-05", "1.5e-05"},
    {123456, "123456", "123456"},
    {0x1p-1074, "5e-324", "4.9406564584124654e-324"},
    {0x1.fffffffffffffp+1023, "1.7976931348623157e+308", "1.7976931348623157e+308"},
    {0.3, "0.3", "0.29999999999999999"},
    {-2.5, "-2.5", "-2.5"},
    {1e-7, "1e-07", "9.9999999999999995e-08"},
    {123.456, "123.456", "123.456"},
    {0x1p-1022, "2.2250738585072014e-308", "2.2250738585072014e-308"},
    {0x1p+60, "1152921504606846976", "1.152921504606847e+18"},
    {0x1p-60, "8.673617379884035e-19", "8.6736173798840355e-19"},
    {0.0, "0", "0"},
    {-0.0, "-0", "-0"},
    {std::numeric_limits<double>::infinity(), "inf", "inf"},
    {-std::numeric_limits<double>::infinity(), "-inf", "-inf"},
};

TEST(PrintfChars, ShortestAndGeneralTexts) {
  for (const ShortestCase& c : kShortestCases) {
    EXPECT_EQ(Shortest(c.value), c.shortest);
    EXPECT_EQ(General17(c.value), c.general17) << c.shortest;
  }
}

struct ReadCase {
  const char* text;
  std::ptrdiff_t used;
  std::errc error;
  double value;  // kUntouched when the call must leave it alone
};

constexpr std::errc kOk{};
constexpr std::errc kRange = std::errc::result_out_of_range;
constexpr std::errc kNoNumber = std::errc::invalid_argument;

// The edges the tool's readers rely on: no blank, '+' or hexadecimal; an
// exponent letter without digits is not read; a zero or an infinity for a
// text that is neither is out of range, a denormal is not.
constexpr ReadCase kReadCases[] = {
    {"1e-400", 6, kRange, kUntouched},
    {"1e-310", 6, kOk, 1e-310},
    {"2.4e-324", 8, kRange, kUntouched},
    {"2.5e-324", 8, kOk, 0x1p-1074},
    {"1e309", 5, kRange, kUntouched},
    {"1.7976931348623159e308", 22, kRange, kUntouched},
    {"1.7976931348623158e308", 22, kOk, 0x1.fffffffffffffp+1023},
    {"0e999999999", 11, kOk, 0},
    {"1e5000000000000000000", 21, kRange, kUntouched},
    {"-0", 2, kOk, -0.0},
    {".5", 2, kOk, 0.5},
    {"5.", 2, kOk, 5},
    {"1e", 1, kOk, 1},
    {"1e+", 1, kOk, 1},
    {"1e+5x", 4, kOk, 1e5},
    {"1..2", 2, kOk, 1},
    {"0x1", 1, kOk, 0},
    {"00012", 5, kOk, 12},
    {"1.0E5", 5, kOk, 1e5},
    {"-", 0, kNoNumber, kUntouched},
    {".", 0, kNoNumber, kUntouched},
    {"e5", 0, kNoNumber, kUntouched},
    {"-.e5", 0, kNoNumber, kUntouched},
    {"  1", 0, kNoNumber, kUntouched},
    {"+1", 0, kNoNumber, kUntouched},
    {"inf", 3, kOk, std::numeric_limits<double>::infinity()},
    {"infinit", 3, kOk, std::numeric_limits<double>::infinity()},
    {"-Infinity", 9, kOk, -std::numeric_limits<double>::infinity()},
};

TEST(PrintfChars, ReadsAsFromChars) {
  for (const ReadCase& c : kReadCases) {
    const Read read = FromText(c.text);
    EXPECT_EQ(read.used, c.used) << c.text;
    EXPECT_EQ(read.error, c.error) << c.text;
    EXPECT_EQ(read.bits, BitCast<std::uint64_t>(c.value)) << c.text;
  }
  for (const std::string_view nan : {"nan", "NaN", "-nan", "nan(123)", "nan("}) {
    const Read read = FromText(nan);
    EXPECT_EQ(read.used, nan == "nan(" ? 3 : static_cast<std::ptrdiff_t>(nan.size())) << nan;
    EXPECT_TRUE(std::isnan(BitCast<double>(read.bits))) << nan;
  }
}

// Doubles of every binary exponent and short decimals as typed.
std::vector<double> ManyDoubles() {
  constexpr int kEach = 50000;
  std::mt19937_64 random(29);
  std::vector<double> values;
  for (int n = 0; n < kEach; ++n) {
    const double value = BitCast<double>(random());
    if (!std::isnan(value)) values.push_back(value);
  }
  for (int n = 0; n < kEach; ++n) {
    values.push_back(static_cast<double>(random() % 100000000) / std::pow(10.0, random() % 12));
  }
  for (int e = -1074; e <= 1023; ++e) values.push_back(std::ldexp(1.0, e));
  return values;
}

TEST(PrintfChars, ShortestTextsReadBack) {
  for (const double value : ManyDoubles()) {
    const std::string text = Shortest(value);
    const Read read = FromText(text);
    ASSERT_EQ(read.bits, BitCast<std::uint64_t>(value)) << text;
    ASSERT_EQ(read.used, static_cast<std::ptrdiff_t>(text.size())) << text;
  }
}

#if defined(__cpp_lib_to_chars)
TEST(PrintfChars, SameAsTheLibrary) {
  for (const double value : ManyDoubles()) {
    char text[400];
    char* end = std::to_chars(text, text + sizeof text, value).ptr;
    ASSERT_EQ(Shortest(value), std::string(text, end));
    end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, kGeneralDigits)
              .ptr;
    ASSERT_EQ(General17(value), std::string(text, end));
  }
  for (const ReadCase& c : kReadCases) {
    double value = kUntouched;
    const std::string_view text = c.text;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_EQ(stop - text.data(), c.used) << text;
    EXPECT_EQ(error, c.error) << text;
    EXPECT_EQ(BitCast<std::uint64_t>(value), BitCast<std::uint64_t>(c.value)) << text;
  }
}
#endif

}  // namespace
}  // namespace tavrin
