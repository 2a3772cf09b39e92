// Reading soundings: the layouts, their numbers against the calculator's,
// repeats, segments and the lines that cannot make a reading.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
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
      {"1", "50", "2.0", "2.0"}, {"3", "10", "0.125", "0.5"}, {" 2", "1.5e1", "1,", "7"},
      {"10", "3.3", "0.2", "1"}, {"&H3", "20", "1", "4"},     {"2", "5", "1D2", "3"},
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
  const Sounding s = ParseSounding(
      "ab2,mn2,r1,r2,r3\n10,1,2,2.2,1.8\n20,1,4,,\n30,1,,3,5\n40,1,,-3,-5\n50,1,1,-1,3\n");
  ASSERT_EQ(s.errors.size(), 1u);
  EXPECT_EQ(s.errors[0].line, 5);
  EXPECT_EQ(s.errors[0].reason, "resistance not above 0");
  // Line 6: the negative repeat left out, the other two a factor 3 apart.
  ASSERT_EQ(s.warnings.size(), 2u);
  EXPECT_EQ(s.warnings[0].line, 6);
  EXPECT_EQ(s.warnings[0].reason, "repeat 2 (-1) has resistance not above 0; left out of the mean");
  EXPECT_EQ(s.warnings[1].reason, "repeats 1 and 3 differ by more than a factor of two");
  ASSERT_EQ(s.readings.size(), 4u);
  EXPECT_EQ(s.readings[3].repeats, 2);
  EXPECT_TRUE(s.hasRepeats);
  const double k10 = kPi * 99 / 2;
  EXPECT_DOUBLE_EQ(s.readings[0].rho, k10 * 2);
  EXPECT_EQ(s.readings[0].repeats, 3);
  EXPECT_NEAR(s.readings[0].spread, 0.1, 1e-12);  // s = 0.2 around the mean 2
  EXPECT_EQ(s.readings[1].repeats, 1);
  EXPECT_TRUE(std::isnan(s.readings[1].spread));
  EXPECT_EQ(s.readings[2].repeats, 2);
  EXPECT_NEAR(s.readings[2].spread, std::sqrt(2.0) / 4, 1e-12);  // 3, 5: s = sqrt 2, mean 4
  EXPECT_NEAR(s.readings[2].error, s.readings[2].spread / std::sqrt(2.0), 1e-15);
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
      {"station,x,ab2,rho\nA,12x,10,10\nA,12,10,10\n", {2}, "x: '12x' is not a number", 1},
      {"ab2,rho,elevation\n10,10,inf\n", {2}, "elevation: 'inf' is not a number", 0},
      {"depth,value\n1,2\n",
       {1},
       "the columns name no layout: the header names no column; a layout needs ab2 mn2 v i, "
       "ab2 mn2 r, ab2 rho or n a v i (ab and mn: the whole spacings, halved); name other "
       "columns with --column ROLE=NAME",
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

// A profile's sheet: each reading keeps its station, position and
// elevation, in the sheet's units; without those columns they are empty.
TEST(ParseSounding, StationColumnsGoWithEachReading) {
  const Sounding s = ParseSounding(
      "Stn;X (m);Z (m);AB/2 (m);rho\nVES 1;0;342,5;1;10\nVES 2;25;343;1;12\n;;;2;11\n");
  ASSERT_EQ(s.readings.size(), 3u);
  EXPECT_EQ(s.unit, LengthUnit::kMetres);
  EXPECT_EQ(s.readings[0].station, "VES 1");
  EXPECT_EQ(s.readings[0].elevation, 342.5);
  EXPECT_EQ(s.readings[1].x, 25);
  EXPECT_EQ(s.readings[2].station, "");
  EXPECT_TRUE(std::isnan(s.readings[2].x));
  EXPECT_TRUE(std::isnan(ParseSounding("ab2,rho\n1,10\n").readings[0].x));
}

// Sheets as spreadsheets export them: each is read to the same first
// reading as its plain form would give.
struct SheetCase {
  std::string name;
  std::string text;
  std::vector<ColumnMap> columns;
  std::size_t readings;
  double ab2, mn2, rho;  // of the first reading; NaN where none
  std::optional<LengthUnit> unit;
  std::size_t notes;
};

TEST(ParseSounding, SheetStyles) {
  const double nan = std::nan("");
  const double k15 = kPi * (1.5 * 1.5 - 0.25) / 1.0;  // AB/2 1.5, MN/2 0.5
  const auto metres = std::optional<LengthUnit>(LengthUnit::kMetres);
  const std::vector<SheetCase> cases = {
      {"units in the names, own K and rho beside the raw readings",
       "AB/2 (m),MN/2 (m),K,V (mV),I (mA),V/I,App. Res. (Ohm m)\n"
       "1.5,0.5,6.283,350,100,3.5,21.99\n3,0.5,27.49,80,100,0.8,21.99\n",
       {},
       2,
       1.5,
       0.5,
       k15 * 3.5,
       metres,
       0},
      {"tabs, CR LF, the whole MN",
       "AB/2\tMN\tRo_a\r\n1\t0.5\t10\r\n2\t0.5\t12\r\n",
       {},
       2,
       1,
       0.25,
       10,
       std::nullopt,
       1},
      {"an unnamed index column first",
       ",ab2,roa\n0,1,10\n1,2,12\n",
       {},
       2,
       1,
       nan,
       10,
       std::nullopt,
       0},
      {"byte-order mark, title and date, semicolons and decimal commas",
       "\xEF\xBB\xBFSite: north "
       "field\n12.03.2026\nAB/2;MN/2;V;I\n1,5;0,5;0,35;0,1\n3;0,5;0,08;0,1\n",
       {},
       2,
       1.5,
       0.5,
       k15 * 3.5,
       std::nullopt,
       2},
      {"a comma-separated header with blanks in its names",
       "AB/2 (m),MN/2,V,I,Rho_a\n1.5,0.5,0.35,0.1,21.99\n",
       {},
       1,
       1.5,
       0.5,
       k15 * 3.5,
       metres,
       0},
      {"columns mapped by hand, R in two repeats",
       "c,p,m1,m2\n1.5,0.5,3,4\n",
       {{"ab2", "c"}, {"mn2", "p"}, {"r", "m1"}, {"r", "m2"}},
       1,
       1.5,
       0.5,
       k15 * 3.5,
       std::nullopt,
       0},
      {"spacings in cm, resistance in mOhm",
       "AB/2 [cm],MN/2 [cm],R (mOhm)\n150,50,3500\n",
       {},
       1,
       1.5,
       0.5,
       k15 * 3.5,
       metres,
       0},
      {"decimal commas in quotes",
       "ab2,rho\n\"1,5\",\"10,25\"\n",
       {},
       1,
       1.5,
       nan,
       10.25,
       std::nullopt,
       1},
      {"two V and I pairs",
       "ab2,mn2,V1,I1,V2,I2\n1.5,0.5,0.3,0.1,0.4,0.1\n",
       {},
       1,
       1.5,
       0.5,
       k15 * 3.5,
       std::nullopt,
       0},
      {"AB and MN whole, in feet",
       "AB (ft),MN (ft),rho (ohm-ft)\n3,1,50\n",
       {},
       1,
       1.5,
       0.5,
       50,
       LengthUnit::kFeet,
       0},
  };
  for (const SheetCase& c : cases) {
    SCOPED_TRACE(c.name);
    ReadOptions options;
    options.columns = c.columns;
    const Sounding s = ParseSounding(c.text, options);
    ASSERT_TRUE(s.layoutKnown) << s.errors.front().reason;
    EXPECT_TRUE(s.errors.empty()) << s.errors.front().reason;
    EXPECT_TRUE(s.warnings.empty()) << s.warnings.front().reason;
    EXPECT_EQ(s.notes.size(), c.notes);
    EXPECT_EQ(s.unit, c.unit);
    ASSERT_EQ(s.readings.size(), c.readings);
    ExpectSameOrBothNaN(s.readings[0].ab2, c.ab2, "ab2");
    ExpectSameOrBothNaN(s.readings[0].mn2, c.mn2, "mn2");
    EXPECT_NEAR(s.readings[0].rho, c.rho, 1e-12 * c.rho);
  }
}

// Sheets and lines refused, each with the reason a user can act on.
struct RefusalCase {
  std::string text;
  std::optional<LengthUnit> unit;
  bool readable;
  long line;
  std::string reason;
};

TEST(ParseSounding, RefusedSheetsAndLines) {
  const std::vector<RefusalCase> cases = {
      {"ab2,rho\n1 250,10\n2,20\n",
       {},
       true,
       2,
       "'1 250' holds two numbers (or a thousands separator)"},
      {"ab2;rho\n1,5;10,5\n2.5;20\n",
       {},
       true,
       3,
       "'2.5' has a decimal point in a sheet that writes decimal commas"},
      {"ab2,rho\n\"1,500\",10\n",
       {},
       true,
       2,
       "'1,500' is ambiguous: a decimal comma or a thousands separator"},
      {"ab2;rho\n1.234,5;10\n",
       {},
       true,
       2,
       "'1.234,5' has thousands separators; write the number without them"},
      {"ab2,mn2,v,i\n10,1,-0.5,0.1\n", {}, true, 2, "potential difference below 0"},
      {"ab2,mn2,v,i\n10,1,0,0.1\n", {}, true, 2, "V/I not above 0"},
      {"1,50,2,2\nab2,rho\n1,10\n", {}, true, 1, "numbers above the header (line 2)"},
      {"AB/2 (m),rho\n1,10\n", LengthUnit::kFeet, false, 1,
       "the header gives lengths in m ('AB/2 (m)'), --units says ft"},
      {"ab2,V (kV),I,mn2\n1,10,1,0.1\n",
       {},
       false,
       1,
       "column 'V (kV)': the unit 'kV' is not one of V, mV, uV"},
      {"L,AB/2,rho\n1,1,10\n",
       {},
       false,
       1,
       "columns 'L' and 'AB/2' both name ab2; choose one with --column ab2=NAME"},
      {"AB/2 (ft),MN/2 (m),R\n10,1,2\n",
       {},
       false,
       1,
       "columns 'AB/2 (ft)' and 'MN/2 (m)' name different length units"},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.text);
    ReadOptions options;
    options.unit = c.unit;
    const Sounding s = ParseSounding(c.text, options);
    EXPECT_EQ(s.layoutKnown, c.readable);
    ASSERT_FALSE(s.errors.empty());
    EXPECT_EQ(s.errors[0].line, c.line);
    EXPECT_EQ(s.errors[0].reason, c.reason);
  }
}

// The sheet's own K and rho are checked against the raw readings; the
// reading stays.
TEST(ParseSounding, SheetValuesCrossChecked) {
  const Sounding s = ParseSounding(
      "ab2,mn2,K,V,I,rho\n1.5,0.5,6.283,0.35,0.1,21.99\n1.5,0.5,6.35,0.35,0.1,21.99\n"
      "1.5,0.5,6.283,0.35,0.1,22.5\n");
  EXPECT_EQ(s.readings.size(), 3u);
  ASSERT_EQ(s.warnings.size(), 2u);
  EXPECT_EQ(s.warnings[0].line, 3);
  EXPECT_EQ(s.warnings[0].reason, "the sheet's K 6.35 differs from the computed 6.28319 by +1.1 %");
  EXPECT_EQ(s.warnings[1].line, 4);
  EXPECT_EQ(s.warnings[1].reason,
            "the sheet's apparent resistivity 22.5 differs from the computed 21.9911 by +2.3 %");
}

// --drop leaves readings out; errors carry into the reading.
TEST(ParseSounding, DroppedLinesAndErrors) {
  ReadOptions options;
  options.drop = {3, 1};
  const Sounding s = ParseSounding("ab2,rho,err (%)\n1,10,5\n2,12,\n4,15,2\n", options);
  ASSERT_EQ(s.readings.size(), 2u);
  ASSERT_EQ(s.dropped.size(), 1u);
  EXPECT_EQ(s.dropped[0].line, 3);
  ASSERT_EQ(s.warnings.size(), 1u);
  EXPECT_EQ(s.warnings[0].line, 1);  // the header: nothing to leave out
  EXPECT_TRUE(s.hasErrors);
  EXPECT_DOUBLE_EQ(s.readings[0].error, 0.05);
  EXPECT_DOUBLE_EQ(s.readings[1].error, 0.02);
}

}  // namespace
}  // namespace tavrin::sounding
