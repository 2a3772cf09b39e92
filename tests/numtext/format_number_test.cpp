// FormatNumber and DefaultNumberText: the calculator's mask over every kind
// of value it can produce, the mask language, sections, exponents, and the
// limits of very long masks and very large values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>

#include "fp_mode_testing.h"
#include "numtext/mask_template.h"
#include "numtext/numtext.h"

namespace tavrin {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string Format(Extended value, const std::string& mask) {
  const TextValue m = TextValue::Copy(mask);
  return FormatNumber(value, m).str();
}

std::string Repeat(char c, std::size_t count) {
  return std::string(count, c);
}

// The pieces joined into one text.
std::string Concat(std::initializer_list<std::string_view> pieces) {
  std::string joined;
  for (std::string_view piece : pieces) joined.append(piece);
  return joined;
}

struct CalcCase {
  Extended value;
  std::string expected;
};

TEST(FormatNumberTest, CalculatorMask) {
  const CalcCase cases[] = {
      {314.1590118408203, "314.2"},
      {942.4770355224609, "942.5"},
      {0.0, "0."},
      {-0.0, "0."},
      {0.04, "0."},
      {0.05, "0.1"},
      {0.25, "0.2"},
      {0.5, "0.5"},
      {0.75, "0.8"},
      {0.96, "1."},
      {1.0, "1."},
      {5.04, "5."},
      {5.25, "5.2"},
      {5.35, "5.3"},
      {12.25, "12.2"},
      {99.95, "100."},
      {123.45, "123.5"},
      {999.95, "1000."},
      {1234.56, "1234.6"},
      {12345.678, "12345.7"},
      {-0.01, "-0."},
      {-0.05, "-0.1"},
      {-5.25, "-5.2"},
      {-123.4, "-123.4"},
      {-1234.56, "-1234.6"},
      {1e20, "100000000000000000000."},
      {123456789012345678901.0, "123456789012345684000."},
      {1e300, Concat({"1", Repeat('0', 16), "5", Repeat('0', 283), "."})},
      {1e-300, "0."},
      {kInf, Concat({Repeat('9', 19), Repeat('0', 980), "."})},
      {-kInf, Concat({"-", Repeat('9', 19), Repeat('0', 980), "."})},
      {kNaN, "0."},
      {-kNaN, "0."},
  };
  for (const CalcCase& c : cases) {
    EXPECT_EQ(Format(c.value, "###.#"), c.expected) << static_cast<double>(c.value);
  }
  EXPECT_EQ(Format(1e300, "###.#").size(), 302u);
  EXPECT_EQ(Format(kInf, "###.#").size(), 1000u);
  EXPECT_EQ(Format(-kInf, "###.#").size(), 1001u);
}

struct MaskCase {
  std::string mask;
  Extended value;
  std::string expected;
};

void ExpectAll(const MaskCase* begin, const MaskCase* end) {
  for (const MaskCase* c = begin; c != end; ++c) {
    EXPECT_EQ(Format(c->value, c->mask), c->expected)
        << "mask \"" << c->mask << "\", value " << static_cast<double>(c->value);
  }
}

TEST(FormatNumberTest, MaskLanguage) {
  const MaskCase cases[] = {
      {"#,##0.00", 1234567.891, "1,234,567.89"},
      {"#,##0.00", 0, "0.00"},
      {"#,##0.00", 999.999, "1,000.00"},
      {"#,##0", 123, "123"},
      {"#,##0", 1234, "1,234"},
      {"#,###", 1e4, "10,000"},
      {"0.00", -0.001, "-0.00"},
      {"0%", 0.5, "50%"},
      {"0.0%", 0.1234, "12.3%"},
      {"%0", 0.5, "0"},  // no digit before the "%": dropped, no scaling
      {"**##", 5, "***5"},
      {"**##", -5, "**-5"},
      {"*x#", 7, "xx7"},
      {"*", 7, "*"},
      {"000", -5, "-005"},
      {"0##", 5, "005"},
      {"#0", 5, "5"},
      {"#0", 0, "0"},
      {"##", 0, "0"},
      {"0,000", 5, "0,005"},
      {"#.#0", 1, "1.0"},
      {"#.##", 1.5, "1.5"},
      {"#.00", 0.5, "0.50"},
      {"#.#,", 12345, "12,345."},
      {"#.#.#", 1.25, "1.2.5"},
      {"A#B", 5, "5"},
      {"\"abc\"#", 5, "abc5"},
      {"\\A#", 5, "A5"},
      {"#\\", 5, "5"},
      {"\"open#", 5, "open#"},
      {"$(#) -+", 5, "$(5) -+"},
      {"# ;x", 5, "5 "},
      {"##", 123456, "123456"},
      {"#", -0.4, "0"},  // a lone "0" is never negative
      {"#", 0.5, "0"},   // exact half with nothing before it rounds down
      {"#", 1.5, "2"},
      {"#", 2.5, "2"},
      {"#", -2.5, "-2"},
  };
  ExpectAll(std::begin(cases), std::end(cases));
}

TEST(FormatNumberTest, Sections) {
  const MaskCase cases[] = {
      {"$#,##0.00;($#,##0.00)", -5, "($5.00)"},
      {"$#,##0.00;($#,##0.00)", 5, "$5.00"},
      {"0.0;-0.0;\"zero\"", 0, "zero"},
      {"0.0;-0.0;\"zero\"", -0.0, "zero"},
      {"0.0;-0.0;\"zero\"", -1.25, "-1.2"},
      {"0.0;<0.0>", kNaN, "0.0"},  // NaN takes the negative section, unsigned
      {"#;;#", -5, "-5"},
      {"#;;", 0, "0"},
      {"#;n#;z#;ignored", 0, "0"},
      {"#;\"n\"#;\"z\"#;ignored", 0, "z0"},
      {"#;\"n\"#;\"z\"#;ignored", -3, "n3"},
      {"\"a;b\"#;\"neg\"#", -2, "neg2"},
      {"\"a;b\"#;\"neg\"#", 2, "a;b2"},
      {"\\;#;-#", 2, ";2"},
      {";#", 5, "5"},  // empty first section: the mask-free text
      {";#", -5, "5"},
      {"", 0.5, ".5"},
      {"", -2.5, "-2.5"},
      {"", 1e20, "1E+20"},
      {"X", 5, ""},  // only dropped characters
      {"#;X", -5, ""},
  };
  ExpectAll(std::begin(cases), std::end(cases));
}

TEST(FormatNumberTest, ExponentForms) {
  const MaskCase cases[] = {
      {"0.00E+00", 1234567.891, "1.23E+6"},
      {"0.00E+00", 0.5, "5.00E-1"},
      {"0.00E+00", 0.9999, "1.00E+0"},
      {"0.00E+00", 0, "0.00E+0"},
      {"0.00E+00", 1e15, "1.00E+15"},
      {"0.00E+00", -1234567.891, "-1.23E+6"},
      {"0.00E-00", 1234567.891, "1.23E06"},
      {"0.00E-00", 0.5, "5.00E-1"},
      {"##0.0E+0", 5, "500.0E-2"},
      {"0e+0", 12, "1e+1"},
      {"0.0E", 5, "5.0E"},      // no sign after E: a literal
      {"0E+", 5, "5E"},         // exponent without digits: cancelled
      {"E+0", 5, "+5"},         // no digit before E: dropped
      {"0E+0E+0", 5, "5E++0"},  // a second E is dropped, its "+" is a literal
      {"0E+0,0", 5, "5E+,0"},   // "," is a literal in the exponent
      {"0E+##", 5, "5E+0"},
      {"0E+#00", 5, "5E+0"},
      {"0.0E+00", kInf, "1.0E+999"},
      {"0.0E+00", -kInf, "-1.0E+999"},
      {"0E+0", 1e-300, "1E-300"},
      // A signed exponent shorter than the positions: the sign stays in
      // front of the zeros.
      {"0E+000", 5, "5E+00"},
      {"0.00E+000", 1234567.891, "1.23E+06"},
      {"0.00E-000", 0.5, "5.00E-01"},
      {"0.00E-000", 5, "5.00E000"},
      {".##E+00", -5, "-.5E+1"},
  };
  ExpectAll(std::begin(cases), std::end(cases));
}

TEST(FormatNumberTest, DecimalsWithoutIntegerPositions) {
  // Integer digits and the sign are written in front rather than lost.
  const MaskCase cases[] = {
      {".#", 12.5, "12.5"}, {".#", 0.5, ".5"},   {".#", -0.5, "-.5"},
      {".#", 0.96, "1."},   {".##", 0.004, "."},
  };
  ExpectAll(std::begin(cases), std::end(cases));
}

TEST(FormatNumberTest, LongMasksAndLargeValues) {
  // A section beyond 4998 characters is cut there.
  EXPECT_EQ(Format(5, Repeat('0', 6000)), Concat({Repeat('0', 4997), "5"}));
  // More than 68 decimal positions: the digits past the 18th read "0".
  EXPECT_EQ(Format(1.0 / 3, Concat({"0.", Repeat('0', 100)})),
            Concat({"0.333333333333333315", Repeat('0', 82)}));
  // A layout far beyond 5000 characters.
  const std::string big = Format(1e4000L, "#,###");
  EXPECT_EQ(big.size(), 4001u + 1333u);
  EXPECT_EQ(big.substr(0, 7), "10,000,");  // 4001 digits: a group of two first
  EXPECT_EQ(big.substr(big.size() - 8), ",000,000");
  // The largest extended value, in percent: 4935 integer digits.
  const Extended largest = std::numeric_limits<Extended>::max();
  const std::string percent = Format(largest, "#,##0.00%");
  EXPECT_EQ(percent.substr(0, 11), "118,973,149");
  EXPECT_EQ(percent.size(), 4935u + 1644u + 4u);
  // The longest section, all "0" positions with grouping: 4933 digits padded
  // with zeros to 4996, and a "," per three.
  const std::string padded = Format(largest, Concat({"#,", Repeat('0', 4996)}));
  EXPECT_EQ(padded.size(), 4996u + 1665u);
  EXPECT_EQ(padded.substr(0, 9), "0,000,000");
  // Extended values between the double range and the extended limit.
  EXPECT_EQ(Format(1e4932L, "0").size(), 4933u);
  EXPECT_EQ(Format(1e-4940L, "0.0"), "0.0");
}

TEST(FormatNumberTest, RandomMasksStayWithinBounds) {
  // Masks made of the mask language's characters, of every length up to a
  // few thousand, with values across the extended range.
  const char alphabet[] = "#0*.,%Ee+-\"\\;()$ ?x";
  const Extended values[] = {
      0.0L,          -0.0L,    1.5L,     -2.5e-7L,
      1e300L,        -1e4900L, 1e-4940L, std::numeric_limits<Extended>::infinity(),
      123456789.125L};
  std::uint32_t state = 12345;
  const auto next = [&state]() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  };
  for (int round = 0; round < 300; ++round) {
    const std::size_t length = next() % (round < 250 ? 40 : 6000);
    std::string mask;
    for (std::size_t i = 0; i < length; ++i) mask += alphabet[next() % (sizeof alphabet - 1)];
    for (Extended v : values) {
      const std::string text = Format(v, mask);
      EXPECT_LE(text.size(), 16384u) << mask;
    }
  }
}

TEST(FormatNumberTest, LeavesTheControlWordAlone) {
  const std::uint32_t before = testing_support::ReadFpMode();
  for (Extended v : {Extended{0.25}, Extended{kInf}, Extended{kNaN}, Extended{1e300}}) {
    Format(v, "###.#");
    Format(v, "");
    EXPECT_EQ(testing_support::ReadFpMode(), before);
  }
}

struct DefaultCase {
  Extended value;
  const char* expected;
};

TEST(DefaultNumberTextTest, PlainAndExponentForms) {
  const DefaultCase cases[] = {
      {0, "0"},
      {-0.0L, "0"},
      {kNaN, "0"},
      {0.5, ".5"},
      {-2.5, "-2.5"},
      {1e20, "1E+20"},
      {123, "123"},
      {1e14, "100000000000000"},
      {1e15, "1E+15"},
      {1.5e15, "1.5E+15"},
      {0.001, ".001"},
      {1e-15, ".000000000000001"},
      {1e-16, "1E-16"},
      {1.25e-20, "1.25E-20"},
      {123.456, "123.456"},
      {0.1 + 0.2, ".3"},
      {1.0 / 3, ".333333333333333"},
      {2.0 / 3, ".666666666666667"},
      {1.5e300, "1.5E+300"},
      {kInf, "9.99999999999999E+998"},
      {-kInf, "-9.99999999999999E+998"},
      {1e4000L, "1E+4000"},
      {314.1590118408203, "314.15901184082"},
  };
  for (const DefaultCase& c : cases) {
    EXPECT_EQ(DefaultNumberText(c.value).str(), c.expected) << static_cast<double>(c.value);
  }
}

TEST(MaskTemplateTest, SectionsAndCounts) {
  struct Case {
    std::string mask;
    int section;  // 0-based index of the section to compile
    int integers, decimals, exponents, zeros, count;
    bool grouping, percent;
    ExponentMode mode;
  };
  const Case cases[] = {
      {"###.#", 0, 3, 1, 0, 0, 5, false, false, ExponentMode::kNone},
      {"#,##0.00", 0, 4, 2, 0, 3, 7, true, false, ExponentMode::kNone},
      {"0.00E+00", 0, 1, 2, 2, 3, 7, false, false, ExponentMode::kPlus},
      {"0.00E-00", 0, 1, 2, 2, 3, 7, false, false, ExponentMode::kMinus},
      {"0E+", 0, 1, 0, 0, 1, 2, false, false, ExponentMode::kNone},
      {"**#", 0, 3, 0, 0, 0, 3, false, false, ExponentMode::kNone},
      {"0%", 0, 1, 0, 0, 1, 2, false, true, ExponentMode::kNone},
      {"x;\"a\"0;0", 1, 1, 0, 0, 1, 2, false, false, ExponentMode::kNone},
      {"x;y;##;zz", 2, 2, 0, 0, 0, 2, false, false, ExponentMode::kNone},
  };
  for (const Case& c : cases) {
    const MaskSections sections = SplitSections(c.mask);
    ASSERT_TRUE(sections.present[c.section]) << c.mask;
    MaskTemplate compiled;
    CompileSection(sections.text[c.section], compiled);
    EXPECT_EQ(compiled.integerPlaces, c.integers) << c.mask;
    EXPECT_EQ(compiled.decimalPlaces, c.decimals) << c.mask;
    EXPECT_EQ(compiled.exponentPlaces, c.exponents) << c.mask;
    EXPECT_EQ(compiled.zeroPlaces, c.zeros) << c.mask;
    EXPECT_EQ(compiled.count, c.count) << c.mask;
    EXPECT_EQ(compiled.grouping, c.grouping) << c.mask;
    EXPECT_EQ(compiled.percent, c.percent) << c.mask;
    EXPECT_EQ(compiled.exponentMode, c.mode) << c.mask;
  }
}

TEST(MaskTemplateTest, SplitsOnlyAtPlainSemicolons) {
  struct Case {
    std::string mask;
    std::string s1, s2, s3;
    bool present2, present3;
  };
  const Case cases[] = {
      {"a", "a", "", "", false, false},
      {"", "", "", "", false, false},
      {"a;b", "a", "b", "", true, false},
      {"a;;c", "a", "", "c", true, true},
      {"a;b;c;d;e", "a", "b", "c", true, true},
      {"\"x;y\";b", "\"x;y\"", "b", "", true, false},
      {"\\;a;b", "\\;a", "b", "", true, false},
      {"\"open;still", "\"open;still", "", "", false, false},
      {"a;b;", "a", "b", "", true, true},
  };
  for (const Case& c : cases) {
    const MaskSections s = SplitSections(c.mask);
    EXPECT_EQ(s.text[0], c.s1) << c.mask;
    EXPECT_EQ(s.present[1], c.present2) << c.mask;
    EXPECT_EQ(s.text[1], c.s2) << c.mask;
    EXPECT_EQ(s.present[2], c.present3) << c.mask;
    EXPECT_EQ(s.text[2], c.s3) << c.mask;
  }
}

}  // namespace
}  // namespace tavrin
