// TextToNumber: decimal numbers, radix literals, blanks, trailing text and
// the limits, compared bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>

#include "extended_testing.h"
#include "fp_mode_testing.h"
#include "numtext/numtext.h"
#include "numtext/text_scan.h"

namespace tavrin {
namespace {

using testing_support::ExtendedHex;

Extended Convert(const std::string& text) {
  const TextValue value = TextValue::Copy(text);
  return TextToNumber(value);
}

// The pieces joined into one text.
std::string Concat(std::initializer_list<std::string_view> pieces) {
  std::string joined;
  for (std::string_view piece : pieces) joined.append(piece);
  return joined;
}

struct Case {
  std::string text;
  Extended expected;
};

void ExpectAll(const Case* begin, const Case* end) {
  for (const Case* c = begin; c != end; ++c) {
    const Extended got = Convert(c->text);
    EXPECT_EQ(ExtendedHex(got), ExtendedHex(c->expected))
        << "text \"" << c->text << "\" gave " << got << ", expected " << c->expected;
  }
}

const Extended kOverflow = 0x1p127L;  // 1.7014118346046923e38

TEST(TextToNumberTest, DecimalNumbers) {
  const Case cases[] = {
      {"2.0", 2},
      {" 50", 50},
      {"\t7", 7},
      {"\n7", 7},
      {"  \t\n 8", 8},
      {"-3", -3},
      {"+5", 5},
      {".5", 0.5L},
      {"5.", 5},
      {"0.005", 0.005L},
      {"05.5", 5.5L},
      {"100", 100},
      {"1e3", 1000},
      {"1D2", 100},
      {"1d-2", 0.01L},
      {"2.5E+3x", 2500},
      {"1e", 1},
      {"1e+", 1},
      {"1ex", 1},
      {"1.5e-3", 0.0015L},
      {"0.1", 0.1L},
      {"3.14159", 3.14159L},
      {"123456789012345678", 123456789012345678.0L},
      {"12345678901234567890", 12345678901234567800.0L},
      {"1234567890123456789012345", 1234567890123456780000000.0L},
      {"0.000000000000000000000000001", 1e-27L},
      {"-0.25e2", -25},
      {"1e-5000", 0},
      {"-1e-5000", -0.0L},
      {"1e4932", kOverflow},
      {"-1e5000", -kOverflow},
      {"1e65540", kOverflow},
      {"1e99999999999999999999", kOverflow},
      {"0.0001e4937", kOverflow},
      {"100e-4935", 0},
  };
  ExpectAll(std::begin(cases), std::end(cases));
}

TEST(TextToNumberTest, LongDigitRuns) {
  // Runs of digits that are read eight at a time where they can be: the
  // first 18 significant digits form M, the rest only count, and a byte just
  // outside "0".."9" ends the number wherever it falls. Each expected value
  // is M and one rounded operation with an exact power of ten.
  const Case cases[] = {
      {"12345678.9", 123456789.0L / 10},
      {"1234567:89", 1234567},  // ":" follows "9"
      {"1234567/89", 1234567},  // "/" precedes "0"
      {"1234567\xFA"
       "12",
       1234567},
      {"12345678\xFF"
       "9",
       12345678},
      {"123456789012345678", 123456789012345678.0L},
      {"1234567890123456789", 123456789012345678.0L * 10},
      {"12345678123456781234", 123456781234567812.0L * 100},
      {"12345678901234567890123", 123456789012345678.0L * 1e5L},
      {"0.000000001234567890123", 1234567890123.0L / 1e21L},
      {"9999999999.99999999", 999999999999999999.0L / 1e8L},
      {"-1.2345678901234567e-5", -(12345678901234567.0L / 1e21L)},
      {"00000000012345678", 12345678},
      {"87654321.87654321.5", 8765432187654321.0L / 1e8L},
  };
  ExpectAll(std::begin(cases), std::end(cases));
}

TEST(TextToNumberTest, WhereTheNumberEnds) {
  const Case cases[] = {
      {"\r7", 0},
      {"\f7", 0},
      {std::string("\0"
                   "7",
                   2),
       0},
      {"\xA0"
       "7",
       0},
      {"1,5", 1},
      {"2.0V", 2},
      {"1.2.3", 1.2L},
      {"- 5", -0.0L},
      {"+-5", 0},
      {"-", -0.0L},
      {".", 0},
      {"", 0},
      {"abc", 0},
      {"000", 0},
      {"-000", -0.0L},
      {"0e5", 0},
      {"-0.0e-7", -0.0L},
      {"1.e2", 100},
      {"1 e2", 1},
      {"1e 2", 1},
      {"1e+-2", 1},
      {"1.2e3.4", 1200},
      {"-.", -0.0L},
      {"-&H10", -0.0L},
  };
  ExpectAll(std::begin(cases), std::end(cases));
}

TEST(TextToNumberTest, RadixLiterals) {
  const Case cases[] = {
      {"&H10", 16},
      {"&h1f", 31},
      {"&B101", 5},
      {"&b2", 0},
      {"&O17", 15},
      {"&Q17", 15},
      {"&q17", 15},
      {"&17", 15},
      {"&18", 1},
      {"  &H10", 16},
      {"&", 0},
      {"&H", 0},
      {"&HG", 0},
      {"& H10", 0},
      {"&H7FFF", 32767},
      {"&H8000", -32768},
      {"&HFFFF", -1},
      {"&HFFFF&", 65535},
      {"&H0FFFF", 65535},
      {"&HFFFF?", 65535},
      {"&HFFFF???", 65535},
      {"&HFFFF%", -1},
      {"&HFFFF&&", 65535},
      {"&H10000", 65536},
      {"&HFFFFFFFF", -1},
      {"&HFFFFFFFF&", -1},
      {"&HFFFFFFFF&&", 4294967295.0L},
      {"&H0FFFFFFFF", 4294967295.0L},
      {"&H80000000", -2147483648.0L},
      {"&H7FFFFFFF", 2147483647.0L},
      {"&H100000000", 4294967296.0L},
      {"&HFFFFFFFFFFFFFFFF", -1},
      {"&HFFFFFFFFFFFFFFFF?", 0},
      {"&H7FFFFFFFFFFFFFFF?", 9223372036854775807.0L},
      {"&H8000000000000000", -9223372036854775808.0L},
      {"&H10000000000000000", 0},
      {"&H00000000000000001", 1},
      {"&B1111111111111111", -1},
      {"&O177777", -1},
      {"&O1777777777777777777777", -1},
      {"&O2000000000000000000000", 0},
      {"&HFFx", 255},
      {"&hz", 0},
  };
  ExpectAll(std::begin(cases), std::end(cases));
}

TEST(TextToNumberTest, ScansReportWhereTheyStopped) {
  struct StopCase {
    std::string text;
    bool radix;
    std::size_t consumed;
  };
  const StopCase cases[] = {
      {"1.2.3", false, 3},   {"2.5E+3x", false, 6}, {"1ex", false, 2},      {"-", false, 1},
      {"+-5", false, 1},     {"12abc", false, 2},   {"&HFFFF&&x", true, 8}, {"&HFF???x", true, 7},
      {"&HFF????", true, 7}, {"&17%", true, 4},     {"&H", true, 2},        {"&18", true, 2},
  };
  for (const StopCase& c : cases) {
    const ScanResult r = c.radix ? ScanRadix(c.text) : ScanDecimal(c.text);
    EXPECT_EQ(r.consumed, c.consumed) << c.text;
  }
  EXPECT_EQ(SkipBlanks(" \t\n\rx"), "\rx");
}

TEST(TextToNumberTest, ReadsOnlyTheTextsOwnBytes) {
  // The byte after the counted bytes is the terminator; a text made from the
  // front of a longer buffer must not see the rest.
  const TextValue whole = TextValue::Copy("12345");
  const TextValue front = TextValue::Copy(whole.view().substr(0, 2));
  EXPECT_EQ(TextToNumber(front), 12);
  EXPECT_EQ(TextToNumber(TextRef()), 0);
}

TEST(TextToNumberTest, LargeValuesStayFiniteUntilStoredAsDouble) {
  const Extended big = Convert("1e400");
  EXPECT_TRUE(IsFinite(big));
  EXPECT_GT(big, 9.99e399L);
  EXPECT_LT(big, 1.001e400L);
  EXPECT_TRUE(IsInfinite(static_cast<double>(big)));
  EXPECT_EQ(static_cast<double>(Convert("12345678901234567890")), 12345678901234567168.0);
}

TEST(TextToNumberTest, VeryLongTextsFollowTheSameRules) {
  // Beyond 32,767 bytes the counters simply keep going.
  const auto run = [](char c, std::size_t count) { return std::string(count, c); };
  const Case cases[] = {
      {Concat({run(' ', 40000), "42"}), 42},
      {Concat({run('0', 40000), "7"}), 7},
      {Concat({"-", run('0', 40000)}), -0.0L},
      {Concat({"0.", run('0', 40000), "1"}), 0},              // D = -40000
      {run('1', 40000), kOverflow},                           // D = 40000
      {Concat({"0.", run('0', 30000), run('1', 40000)}), 0},  // D = -30000
      {Concat({"1", run('0', 5000), "e-5000"}), 1},           // P = 5001, D = 1
      {Concat({"0.", run('0', 5000), "1e5001"}), 1},          // P = -5000, D = 1
      // D = -4931 is inside the range, but 10^4933 itself overflows: 15 / inf.
      {Concat({"0.", run('0', 4931), "15"}), 0},
  };
  ExpectAll(std::begin(cases), std::end(cases));
}

TEST(TextToNumberTest, LeavesTheControlWordAlone) {
  const std::uint32_t before = testing_support::ReadFpMode();
  for (const char* text : {"1e400", "&HFFFF", "0.1", "1e-5000", "-"}) {
    Convert(text);
    EXPECT_EQ(testing_support::ReadFpMode(), before) << text;
  }
}

}  // namespace
}  // namespace tavrin
