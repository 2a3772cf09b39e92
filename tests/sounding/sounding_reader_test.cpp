// Reading soundings: the layouts, their numbers against the calculator's,
// repeats, segments and the lines that cannot make a reading.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "cli/reading.h"
#include "sounding/sounding.h"

namespace tavrin::sounding {
namespace {

constexpr double kPi = std::numbers::pi;

struct LayoutCase {
  std::string text;
  Layout layout;
  long line;
  double ab2, mn2, k, rho;  // NaN where the reading has none
};

void ExpectSameOrBothNaN(double actual, double expected, const char* what) {
  if (std::isnan(expected)) {
    EXPECT_TRUE(std::isnan(actual)) << what << " = " << actual;
  } else {
    EXPECT_DOUBLE_EQ(actual, expected) << what;
  }
}

TEST(ParseSounding, LayoutsByHeader) {
  const double nan = std::nan("");
  const double k10 = kPi * (100.0 - 1.0) / 2.0;  // AB/2 10, MN/2 1
  const std::vector<LayoutCase> cases = {
      {"ab2,mn2,v,i\n10,1,0.5,0.25\n", Layout::kFieldSheet, 2, 10, 1, k10, k10 * 2},
      {"# sheet 4\nAB/2\tMN/2\tV\tI\tnote\n10\t1\t0.5\t0.25\tdry\n", Layout::kFieldSheet, 3, 10, 1,
       k10, k10 * 2},
      {"station ab2 mn2 r\nS1 10 1 +2e0\n", Layout::kResistance, 2, 10, 1, k10, k10 * 2},
      {"AB2,Rho\n\n1.5,120.25\n", Layout::kApparent, 3, 1.5, nan, nan, 120.25},
      {"ab2,mn2,k,rho\n10,1,,99\n", Layout::kApparent, 2, 10, 1, k10, 99},
      {"ab2,mn2,k,rho\n10,,,99\n", Layout::kApparent, 2, 10, nan, nan, 99},
      {"i,v,a,n\n2,1,10,3\n", Layout::kCalculator, 2, 35, 5, nan, nan},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.text);
    const Sounding s = ParseSounding(c.text);
    EXPECT_TRUE(s.errors.empty());
    EXPECT_EQ(s.layout, c.layout);
    ASSERT_EQ(s.readings.size(), 1u);
    const Reading& r = s.readings[0];
    EXPECT_EQ(r.line, c.line);
    ExpectSameOrBothNaN(r.ab2, c.ab2, "ab2");
    ExpectSameOrBothNaN(r.mn2, c.mn2, "mn2");
    if (c.layout != Layout::kCalculator) {
      ExpectSameOrBothNaN(r.k, c.k, "k");
      ExpectSameOrBothNaN(r.rho, c.rho, "rho");
    }
  }
}

// n a v i lines (with and without a header) take the calculator's numbers
// for their texts; the same reading as AB/2 and MN/2 differs from them only
// by the calculator's single-precision pi.
TEST(ParseSounding, CalculatorLinesAreTheCalculatorsNumbers) {
  const std::vector<std::vector<std::string>> lines = {
      {"1", "50", "2.0", "2.0"},  {"3", "10", "0.125", "0.5"}, {" 2", "1.5e1", "1,", "7"},
      {"10", "3.3", "-0.2", "1"}, {"&H3", "20", "1", "4"},     {"2", "5", "1D2", "3"},
  };
  for (const std::string& header : {std::string(), std::string("n,a,v,i\n")}) {
    std::string text = header;
    for (const auto& f : lines)
      text += "\"" + f[0] + "\",\"" + f[1] + "\",\"" + f[2] + "\",\"" + f[3] + "\"\n";
    const Sounding s = ParseSounding(text);
    ASSERT_TRUE(s.errors.empty()) << s.errors[0].reason;
    ASSERT_EQ(s.readings.size(), lines.size());
    for (const Reading& r : s.readings) {
      const auto& f = lines[static_cast<std::size_t>(r.line - 1 - (header.empty() ? 0 : 1))];
      SCOPED_TRACE(f[0] + " " + f[1] + " " + f[2] + " " + f[3]);
      EXPECT_EQ(r.rho, cli::ComputeReading(f[0], f[1], f[2], f[3]).rho);
      const double relative = r.k / (kPi * (r.ab2 * r.ab2 - r.mn2 * r.mn2) / (2 * r.mn2)) - 1;
      EXPECT_NEAR(relative, -8.07e-7, 0.01e-7);
    }
  }
}

TEST(ParseSounding, RepeatsAreAveragedWithTheirSpread) {
  const Sounding s = ParseSounding("ab2,mn2,r1,r2,r3\n10,1,2,2.2,1.8\n20,1,4,,\n30,1,,-3,-5\n");
  ASSERT_TRUE(s.errors.empty());
  ASSERT_EQ(s.readings.size(), 3u);
  EXPECT_TRUE(s.hasRepeats);
  const double k10 = kPi * 99 / 2;
  EXPECT_DOUBLE_EQ(s.readings[0].rho, k10 * 2);
  EXPECT_EQ(s.readings[0].repeats, 3);
  EXPECT_NEAR(s.readings[0].spread, 0.1, 1e-12);  // s = 0.2 around the mean 2
  EXPECT_EQ(s.readings[1].repeats, 1);
  EXPECT_TRUE(std::isnan(s.readings[1].spread));
  EXPECT_EQ(s.readings[2].repeats, 2);
  EXPECT_NEAR(s.readings[2].spread, std::sqrt(2.0) / 4, 1e-12);  // -3, -5: s = sqrt 2, |mean| 4
  EXPECT_FALSE(ParseSounding("ab2,mn2,r\n10,1,2\n").hasRepeats);
}

// Readings of each MN/2 value stay together, segments in order of first
// appearance, the input's order within each.
TEST(ParseSounding, SegmentsByMn2) {
  const Sounding s =
      ParseSounding("ab2,mn2,r\n10,1,1\n15,1,1\n20,1,1\n20,5,1\n25,1,1\n25,5,1\n40,5,1\n60,10,1\n");
  ASSERT_TRUE(s.errors.empty());
  EXPECT_EQ(s.segmentCount, 3);
  std::vector<long> lines;
  std::vector<int> segments;
  for (const Reading& r : s.readings) {
    lines.push_back(r.line);
    segments.push_back(r.segment);
  }
  EXPECT_EQ(lines, (std::vector<long>{2, 3, 4, 6, 5, 7, 8, 9}));
  EXPECT_EQ(segments, (std::vector<int>{0, 0, 0, 0, 1, 1, 1, 2}));
  EXPECT_EQ(ParseSounding("ab2,rho\n1,10\n2,20\n").segmentCount, 1);
}

struct ErrorCase {
  std::string text;
  std::vector<long> lines;  // lines reported, in order
  std::string firstReason;  // the first one's reason, in full
  std::size_t readings;     // readings still made
};

TEST(ParseSounding, LinesThatCannotMakeAReading) {
  const std::vector<ErrorCase> cases = {
      {"1 50 2\n1 50 2 2\n", {1}, "3 fields, 4 needed (n a v i)", 1},
      {"n a v i\n1 0 2 2\n", {2}, "a not above 0 (MN/2 = a/2)", 0},
      {"0 10 2 2\n", {1}, "n not above 0 (AB/2 = (n + 1/2) a)", 0},
      {"1 10 2 0\n1 10 2 -1\n", {1, 2}, "current not above 0", 0},
      {"ab2,mn2,v,i\n10,0,1,1\n", {2}, "MN/2 not above 0", 0},
      {"ab2,mn2,v,i\n10,10,1,1\n5,10,1,1\n", {2, 3}, "AB/2 not above MN/2", 0},
      {"ab2,mn2,v,i\n10,1,1,0\n", {2}, "current not above 0", 0},
      {"ab2,mn2,v,i\n10,1,1V,1\n", {2}, "'1V' is not a number", 0},
      {"ab2,mn2,v,i\n10,1,1,nan\n10,1,inf,1\n10,1,1e999,1\n",
       {2, 3, 4},
       "'nan' is not a number",
       0},
      {"ab2,mn2,v,i\n10,1,1\n", {2}, "3 fields, 4 needed (ab2 mn2 v i)", 0},
      {"ab2,mn2,r1,r2\n10,1,,\n10,1,,3\n", {2}, "no resistance", 1},
      {"ab2,rho\n0,10\n", {2}, "AB/2 not above 0", 0},
      {"ab2,mn2,rho\n10,12,10\n", {2}, "AB/2 not above MN/2", 0},
      {"depth,value\n1,2\n",
       {1},
       "the columns name no layout (n,a,v,i or ab2,mn2,v,i or ab2,mn2,r or ab2,rho)",
       0},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.text);
    const Sounding s = ParseSounding(c.text);
    std::vector<long> lines;
    for (const LineError& e : s.errors) lines.push_back(e.line);
    EXPECT_EQ(lines, c.lines);
    if (!s.errors.empty()) {
      EXPECT_EQ(s.errors[0].reason, c.firstReason);
    }
    EXPECT_EQ(s.readings.size(), c.readings);
  }
  EXPECT_FALSE(ParseSounding("depth,value\n1,2\n").layoutKnown);
}

}  // namespace
}  // namespace tavrin::sounding
