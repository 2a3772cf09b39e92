// End-to-end tests of the tavrin tool: the built binary is run with
// arguments and standard input; its output, error output and exit status are
// checked against the calculator's documented results.
#include <gtest/gtest.h>

#include <cfloat>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "numtext/extended.h"
#include "plot/figure.h"
#include "run_tool.h"

namespace tavrin::test {
namespace {

// The "###.#" text of +infinity: nineteen "9"s, 980 "0"s and the point.
std::string InfinityText() {
  return std::string(19, '9') + std::string(980, '0') + ".";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Printf17(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::string Printf21(long double value) {
#if LDBL_MANT_DIG != 64
  // Where long double is wider, the tool computes in the literal rounded to
  // the extended real; printed exactly, as the unit's own value would be.
  value = static_cast<long double>(Extended(value));
#endif
  char text[64];
  std::snprintf(text, sizeof text, "%.21Lg", value);
  return text;
}

// `item` `count` times, separated by commas.
std::string CommaList(const std::string& item, int count) {
  std::string list = item;
  for (int k = 1; k < count; ++k) list += "," + item;
  return list;
}

struct OutputCase {
  std::vector<std::string> args;
  std::string expected;  // the whole of stdout, without the final line feed
};

void ExpectOutputs(const std::vector<OutputCase>& cases) {
  for (const OutputCase& c : cases) {
    std::string joined;
    for (const std::string& arg : c.args) joined += " [" + arg + "]";
    SCOPED_TRACE("tavrin" + joined);
    const ToolRun run = RunTool(c.args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, c.expected + "\n");
  }
}

TEST(CalcCommand, ResultTextAsTheWindowShowsIt) {
  ExpectOutputs({
      {{"calc", "1", "50", "2.0", "2.0"}, "314.2"},
      {{"calc", "2", "10", "0.5", "0.1"}, "942.5"},
      {{"calc", "0", "50", "2.0", "2.0"}, "0."},
      {{"calc", "-1", "50", "2.0", "2.0"}, "0."},
      {{"calc", "-1", "50", "2.0", "0"}, "0."},  // NaN
      {{"calc", "-0.5", "50", "2.0", "2.0"}, "-39.3"},
      {{"calc", "16", "50", "2.0", "2.0"}, "42725.6"},
      {{"calc", "&H10", "50", "2.0", "2.0"}, "42725.6"},
      {{"calc", "1", "50", "2.0V", "2.0"}, "314.2"},
      {{"calc", " 1", "50ft", "2.0", "2,0"}, "314.2"},
      {{"calc", "1", "50", "2.0", "0"}, InfinityText()},
      {{"calc", "1", "50", "2.0", ""}, InfinityText()},
      {{"calc", "1", "50", "-2.0", "0"}, "-" + InfinityText()},
      {{"calc", "1e400", "50", "2.0", "2.0"}, InfinityText()},
      {{"calc", "", "", "", ""}, "0."},
      {{"calc", "--", "1", "50", "2.0", "2.0"}, "314.2"},
      // "--raw" after "--" is an input text (it reads as negative zero).
      {{"calc", "--", "--raw", "50", "2.0", "2.0"}, "0."},
  });
}

TEST(CalcCommand, RawResistivity) {
  ExpectOutputs({
      {{"calc", "--raw", "1", "50", "2.0", "2.0"}, "314.15901184082031"},
      {{"calc", "--raw", "--", "1", "50", "2.0", "2.0"}, "314.15901184082031"},
      {{"calc", "--raw", "2", "10", "0.5", "0.1"}, Printf17(942.4770355224609)},
      {{"calc", "--raw", "1", "50", "2.0", "0"}, "inf"},
      {{"calc", "--raw", "1", "50", "-2.0", "0"}, "-inf"},
      {{"calc", "--raw", "", "", "", ""}, "nan"},
      {{"calc", "--raw", "-1", "50", "2.0", "0"}, "nan"},
      {{"calc", "--raw", "0", "50", "2.0", "2.0"}, "0"},
  });
}

TEST(NumberCommand, ConvertsAsATextBox) {
  struct Case {
    std::string text;
    long double value;
  };
  const std::vector<Case> cases = {
      {"2.0", 2},
      {" 50", 50},
      {"\t7", 7},
      {"\n7", 7},
      {"\r7", 0},
      {"1,5", 1},
      {"2.0V", 2},
      {"-3", -3},
      {"+5", 5},
      {"-", -0.0L},
      {"- 5", -0.0L},
      {"+-5", 0},
      {".", 0},
      {".5", 0.5L},
      {"5.", 5},
      {"1.2.3", 1.2L},
      {"0.005", 0.005L},
      {"000", 0},
      {"1e3", 1000},
      {"1D2", 100},
      {"1d-2", 0.01L},
      {"2.5E+3x", 2500},
      {"1e", 1},
      {"1e+", 1},
      {"1ex", 1},
      {"12345678901234567890", 12345678901234567800.0L},
      {"1e4932", 0x1p127L},
      {"-1e5000", -0x1p127L},
      {"1e65540", 0x1p127L},
      {"1e-5000", 0},
      {"", 0},
      {"abc", 0},
      {"&H10", 16},
      {"&h1f", 31},
      {"&B101", 5},
      {"&O17", 15},
      {"&Q17", 15},
      {"&17", 15},
      {"&18", 1},
      {"&", 0},
      {"&H", 0},
      {"&HG", 0},
      {"& H10", 0},
      {"-&H10", -0.0L},
      {"&H7FFF", 32767},
      {"&H8000", -32768},
      {"&HFFFF", -1},
      {"&HFFFF&", 65535},
      {"&H0FFFF", 65535},
      {"&HFFFF?", 65535},
      {"&HFFFF%", -1},
      {"&HFFFFFFFF", -1},
      {"&HFFFFFFFF&", -1},
      {"&HFFFFFFFF&&", 4294967295.0L},
      {"&H80000000", -2147483648.0L},
      {"&H100000000", 4294967296.0L},
      {"&HFFFFFFFFFFFFFFFF", -1},
      {"&HFFFFFFFFFFFFFFFF?", 0},
      {"&H10000000000000000", 0},
      {"&H00000000000000001", 1},
  };
  std::vector<std::string> args = {"number"};
  for (const Case& c : cases) args.push_back(c.text);
  const ToolRun run = RunTool(args);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), cases.size());
  for (std::size_t k = 0; k < cases.size(); ++k) {
    SCOPED_TRACE("text [" + cases[k].text + "]");
    EXPECT_EQ(lines[k], Printf21(cases[k].value));
  }
}

TEST(NumberCommand, BeyondTheDoubleRangeStaysFinite) {
  const ToolRun run = RunTool({"number", "1e400", "-1e-400"});
  ASSERT_EQ(run.status, 0);
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 2u);
  // 10^400 built from the power table: within a few units of the last place.
  const long double big = std::strtold(lines[0].c_str(), nullptr);
  EXPECT_NEAR(static_cast<double>(big / 1e400L), 1.0, 1e-17);
  const long double small = std::strtold(lines[1].c_str(), nullptr);
  EXPECT_NEAR(static_cast<double>(small / -1e-400L), 1.0, 1e-17);
}

TEST(FormatCommand, MasksAndValues) {
  const std::string infinity = InfinityText();
  const std::string e300 = "1" + std::string(16, '0') + "5" + std::string(283, '0') + ".";
  ExpectOutputs({
      {{"format", "###.#", "314.1590118408203", "942.4770355224609", "0", "-0"},
       "314.2\n942.5\n0.\n0."},
      {{"format", "###.#", "0.04", "0.05", "0.25", "0.5", "0.75", "0.96", "1"},
       "0.\n0.1\n0.2\n0.5\n0.8\n1.\n1."},
      {{"format", "###.#", "5.04", "5.25", "5.35", "12.25", "99.95", "123.45", "999.95"},
       "5.\n5.2\n5.3\n12.2\n100.\n123.5\n1000."},
      {{"format", "###.#", "1234.56", "12345.678", "-0.01", "-0.05", "-5.25", "-123.4", "-1234.56"},
       "1234.6\n12345.7\n-0.\n-0.1\n-5.2\n-123.4\n-1234.6"},
      {{"format", "###.#", "1e20", "123456789012345678901", "1e-300"},
       "100000000000000000000.\n123456789012345684000.\n0."},
      {{"format", "###.#", "1e300", "inf", "-inf", "nan"},
       e300 + "\n" + infinity + "\n-" + infinity + "\n0."},
      {{"format", "#,##0.00", "1234567.891"}, "1,234,567.89"},
      {{"format", "0.00", "-0.001"}, "-0.00"},
      {{"format", "$#,##0.00;($#,##0.00)", "-5"}, "($5.00)"},
      {{"format", "0.0;-0.0;\"zero\"", "0"}, "zero"},
      {{"format", "0%", "0.5"}, "50%"},
      {{"format", "**##", "5", "-5"}, "***5\n**-5"},
      {{"format", "000", "-5"}, "-005"},
      {{"format", "0##", "5"}, "005"},
      {{"format", "#0", "5"}, "5"},
      {{"format", "0,000", "5"}, "0,005"},
      {{"format", "#.#0", "1"}, "1.0"},
      {{"format", "#.#,", "12345"}, "12,345."},
      {{"format", "0.00E+00", "1234567.891", "0.5", "0.9999", "0"},
       "1.23E+6\n5.00E-1\n1.00E+0\n0.00E+0"},
      {{"format", "0.00E-00", "1234567.891", "0.5"}, "1.23E06\n5.00E-1"},
      {{"format", "##0.0E+0", "5"}, "500.0E-2"},
      {{"format", "A#B", "5"}, "5"},
      {{"format", "\"abc\"#", "5"}, "abc5"},
      {{"format", "#;;#", "-5"}, "-5"},
      {{"format", "", "0.5", "-2.5", "1e20"}, ".5\n-2.5\n1E+20"},
  });
}

TEST(DigitsCommand, DigitsExponentAndSign) {
  ExpectOutputs({
      {{"digits", "18", "1", "5", "12.5"},
       "100000000000000000 1 +\n500000000000000000 1 +\n125000000000000000 2 +"},
      {{"digits", "18", "0.05", "314.1590118408203"},
       "500000000000000028 -1 +\n314159011840820312 3 +"},
      {{"digits", "18", "1e300", "1.7976931348623157e308", "4.94e-324"},
       "100000000000000005 301 +\n179769313486231571 309 +\n494065645841246544 -323 +"},
      {{"digits", "15", "0.30000000000000004"}, "300000000000000 0 +"},
      {{"digits", "5", "0", "-0", "nan", "-nan"}, "00000 1 +\n00000 1 +\n00000 1 +\n00000 1 +"},
      {{"digits", "5", "inf", "-inf"}, "99999 999 +\n99999 999 -"},
      {{"digits", "3", "-12.5"}, "125 2 -"},
      // Rounding at the count: above, carry through, and exact halves to even.
      {{"digits", "1", "0.96", "0.125"}, "1 1 +\n1 0 +"},
      {{"digits", "2", "0.96", "0.125", "0.375"}, "96 0 +\n12 0 +\n38 0 +"},
      // Beyond 19 digits the generator gives 18 digits and one "0".
      {{"digits", "25", "1"}, "1000000000000000000 1 +"},
      {{"digits", "4932", "-2"}, "2000000000000000000 1 -"},
  });
}

TEST(DigitsCommand, EstimateCorrectedFromBelow) {
  // 2^-877 is about 9.92e-265: the first estimate of the exponent is one too
  // high and the scaling step corrects it.
  const ToolRun run = RunTool({"digits", "18", "0x1p-877"});
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(run.out.substr(0, 3), "992");
  EXPECT_NE(run.out.find(" -264 +\n"), std::string::npos) << run.out;
}

// Each failure is one line on stderr, with nothing on stdout, and its exit
// status: 2 wrong usage, 3 input that cannot be read, 4 no result.
TEST(Usage, FailuresExitWithTheirStatusAndOneLineOnStderr) {
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const std::vector<Case> cases = {
      {{}, 2},
      {{"frobnicate"}, 2},
      {{"--frobnicate"}, 2},
      {{"calc", "1", "50", "2.0"}, 2},
      {{"calc", "1", "50", "2.0", "2.0", "7"}, 2},
      {{"calc", "--raw"}, 2},
      {{"number"}, 2},
      {{"format"}, 2},
      {{"format", "###.#"}, 2},
      {{"format", "###.#", "1", "abc"}, 2},
      {{"format", "###.#", "2x"}, 2},
      {{"format", "###.#", ""}, 2},
      {{"digits", "5"}, 2},
      {{"digits", "0", "1"}, 2},
      {{"digits", "-3", "1"}, 2},
      {{"digits", "4933", "1"}, 2},
      {{"digits", "99999999999999999999", "1"}, 2},
      {{"digits", "x", "1"}, 2},
      {{"digits", "5x", "1"}, 2},
      {{"digits", "5", "1", "one"}, 2},
      {{"batch", "a", "b"}, 2},
      {{"batch", "/nonexistent/tavrin/readings.txt"}, 3},
      {{"sounding", "a", "b"}, 2},
      {{"sounding", "--units", "km"}, 2},
      {{"sounding", "--units"}, 2},
      {{"sounding", "--plot", "curve.jpg"}, 2},
      {{"forward", "--rho", "100", "--plot", "/nonexistent/tavrin/curve.svg", "10"}, 2},
      {{"forward", "--rho", "100", "--plot", "/nonexistent/tavrin/curve.png", "10"}, 2},
      {{"forward", "--rho", "100", "--plot", "/nonexistent/tavrin/curve.pdf", "10"}, 2},
      {{"sounding", "--frobnicate"}, 2},
      {{"sounding", "/nonexistent/tavrin/sounding.csv"}, 3},
      {{"forward", "--rho", "100,0", "--thick", "5", "10"}, 2},
      {{"forward", "--rho", "100,10", "--thick", "-5", "10"}, 2},
      {{"forward", "--rho", "100,10", "--thick", "5,5", "10"}, 2},
      {{"forward", "--rho", "100,10", "10"}, 2},
      {{"forward", "--rho", "100,10", "--thick", "5", "0"}, 2},
      {{"forward", "--rho", "100,10", "--thick", "5", "--mn2", "10", "10"}, 2},
      {{"forward", "--rho", "100,10", "--thick", "5"}, 2},
      {{"forward", "--rho", "100,10", "--thick", "5", "--ab2", "10:1:5"}, 2},
      {{"forward", "--rho", CommaList("1", 31), "--thick", CommaList("1", 30), "10"}, 2},
      {{"forward", "--rho", "100", "--fast", "10"}, 2},
      {{"forward", "--model", "/nonexistent/tavrin/model.csv", "10"}, 3},
      {{"forward", "--rho", "7.5", "--ab2", "1e-300:1e300:1000"}, 2},
  };
  for (const auto& [args, status] : cases) {
    std::string joined;
    for (const std::string& arg : args) joined += " [" + arg + "]";
    SCOPED_TRACE("tavrin" + joined);
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, status);
    // Only wrong usage points to the help.
    if (status != 2) {
      EXPECT_EQ(run.err.find("--help"), std::string::npos) << run.err;
    }
    EXPECT_EQ(run.out, "");  // nothing is written before the arguments are checked
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  }
}

TEST(Usage, HelpAndVersion) {
  const ToolRun help = RunTool({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* command :
       {"calc", "number", "format", "digits", "batch", "sounding", "forward"}) {
    EXPECT_NE(help.out.find(command), std::string::npos) << command;
  }
  const ToolRun version = RunTool({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("tavrin ", 0), 0u) << version.out;
}

// The command-line conventions every command follows: its own help, values
// as --opt=value or --opt value, "--" before a value that looks like an
// option, an option given twice, a mistyped name answered with the closest.
TEST(Usage, CommandLineConventions) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;  // stdout contains it
    std::string err;  // stderr contains it ("": stderr is empty)
  };
  const std::string fwd = "ab2,rho\n10,";
  const std::vector<Case> cases = {
      {{"forward", "--help"}, 0, "Exit status: 0 done", ""},
      {{"invert", "-h"}, 0, "reading,ab2,mn2,observed,modelled,residual_percent", ""},
      {{"sounding", "--help"}, 0, "Column names", ""},
      {{"calc", "--help"}, 0, "Exit status", ""},
      {{"number", "--", "--help"}, 0, "0\n", ""},
      {{"calc", "--", "-2", "50", "2.0", "2.0"}, 0, "314.2\n", ""},
      {{"forward", "--rho=100,10", "--thick=5", "10"}, 0, fwd, ""},
      {{"forward", "--rho", "100,10", "--thick", "5", "--", "10"}, 0, fwd, ""},
      {{"forward", "--rho", "1", "--rho", "2", "10"}, 2, "", "--rho is given 2 times"},
      {{"forward", "--rho", "1", "--exact", "--exact", "10"}, 2, "", "--exact is given 2 times"},
      {{"forward", "--rh", "1", "10"}, 2, "", "did you mean '--rho'?"},
      {{"forward", "--rho", "1", "--plt=x.svg", "10"}, 2, "", "did you mean '--plot'?"},
      {{"sounding", "--join-too", "1"}, 2, "", "did you mean '--join-to'?"},
      {{"invrt"}, 2, "", "did you mean 'invert'?"},
      {{"invert"}, 2, "", "--layers"},
      {{"calc", "1", "50", "2.0", "2.0", "--raw"}, 2, "", "try 'tavrin calc --help'"},
      {{"sounding", "."}, 3, "", "'.' is a directory"},
      {{"batch", "."}, 3, "", "'.' is a directory"},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const std::string& arg : c.args) joined += " [" + arg + "]";
    SCOPED_TRACE("tavrin" + joined);
    const ToolRun run = RunTool(c.args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_NE(run.out.find(c.out), std::string::npos) << run.out;
    if (c.err.empty()) {
      EXPECT_EQ(run.err, "");
    } else {
      EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    }
  }
}

TEST(Usage, OutputThatCannotBeWrittenIsAFailure) {
  // Standard output refuses every write: the tool must not report success.
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"calc", "1", "50", "2.0", "2.0"}, {"--help"}}) {
    const ToolRun run = RunTool(args, "", kUnwritableOutput);
    EXPECT_EQ(run.status, 2) << args[0];
    EXPECT_NE(run.err, "") << args[0];
  }
}

struct BatchCase {
  std::string name;
  std::string input;
  std::vector<std::string> rows;          // output lines after the header
  int status;                             // expected exit status
  std::vector<std::string> errorMarkers;  // texts stderr must contain
};

const std::string kRho314 = "314.15901184082031";

TEST(BatchCommand, ReadingsToCsv) {
  const std::string rho942 = Printf17(942.4770355224609);
  const std::string longV = "2." + std::string(30000, '0');
  const std::vector<BatchCase> cases = {
      {"empty input", "", {}, 0, {}},
      {"header, comment, blank lines",
       "n,a,v,i\n# first sounding\n\n   \n1,50,2.0,2.0\n2 10 0.5 0.1\n",
       {"1,50,2.0,2.0," + kRho314 + ",314.2", "2,10,0.5,0.1," + rho942 + ",942.5"},
       0,
       {}},
      {"a byte-order mark before the header",
       "\xEF\xBB\xBFn,a,v,i\n1,50,2.0,2.0\n",
       {"1,50,2.0,2.0," + kRho314 + ",314.2"},
       0,
       {}},
      {"header after comments",
       "# c\nN A V I\n1\t50\t2.0\t2.0\n",
       {"1,50,2.0,2.0," + kRho314 + ",314.2"},
       0,
       {}},
      {"only the first line can be a header",
       "1,50,2.0,2.0\nn,a,v,i\n",
       {"1,50,2.0,2.0," + kRho314 + ",314.2", "n,a,v,i,nan,0."},
       0,
       {}},
      {"short lines are skipped and reported",
       "1,50,2.0,2.0\n1,2,3\n2,10,0.5,0.1\n7\n",
       {"1,50,2.0,2.0," + kRho314 + ",314.2", "2,10,0.5,0.1," + rho942 + ",942.5"},
       1,
       {"stdin:2:", "stdin:4:"}},
      {"CRLF line ends and mixed separators",
       "1, 50,\t2.0 2.0\r\n2 ,10 , 0.5,0.1\r\n",
       {"1,50,2.0,2.0," + kRho314 + ",314.2", "2,10,0.5,0.1," + rho942 + ",942.5"},
       0,
       {}},
      // Text mode on Windows would end the input at a ^Z byte.
      {"a ^Z byte is a byte of its field",
       "1,50,2.0\x1a,2.0\n2,10,0.5,0.1\n",
       {"1,50,2.0\x1a,2.0," + kRho314 + ",314.2", "2,10,0.5,0.1," + rho942 + ",942.5"},
       0,
       {}},
      {"quoted fields keep commas and are quoted again",
       "\"1,5\",50,2.0,2.0\n1,50,\"2.0 V\",2.0\n",
       {"\"1,5\",50,2.0,2.0," + kRho314 + ",314.2", "1,50,\"2.0 V\",2.0," + kRho314 + ",314.2"},
       0,
       {}},
      {"a quote inside a field",
       "1,50,2.0\",2.0\n",
       {"1,50,\"2.0\"\"\",2.0," + kRho314 + ",314.2"},
       0,
       {}},
      {"empty fields are empty texts",
       "1,50,2.0,\n,,,\n",
       {"1,50,2.0,,inf," + InfinityText(), ",,,,nan,0."},
       0,
       {}},
      {"fields beyond the fourth are ignored",
       "1,50,2.0,2.0,station 4,x\n",
       {"1,50,2.0,2.0," + kRho314 + ",314.2"},
       0,
       {}},
      {"negative and radix inputs",
       "-0.5 50 2.0 2.0\n&H10 50 2.0 2.0\n",
       {"-0.5,50,2.0,2.0," + Printf17(-39.269876480102539) + ",-39.3",
        "&H10,50,2.0,2.0," + Printf17(42725.625610351562) + ",42725.6"},
       0,
       {}},
      {"a very long field",
       "1," + std::string("50") + "," + longV + ",2.0\n",
       {"1,50," + longV + ",2.0," + kRho314 + ",314.2"},
       0,
       {}},
      {"a very long line",
       "1,50,2.0,2.0," + std::string(1 << 20, 'x') + "\n1 2\n",
       {"1,50,2.0,2.0," + kRho314 + ",314.2"},
       1,
       {"stdin:2:"}},
      {"no final line feed", "1,50,2.0,2.0", {"1,50,2.0,2.0," + kRho314 + ",314.2"}, 0, {}},
  };
  for (const BatchCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ToolRun run = RunTool({"batch"}, c.input);
    EXPECT_EQ(run.status, c.status);
    std::vector<std::string> expected = {"n,a,v,i,rho,text"};
    expected.insert(expected.end(), c.rows.begin(), c.rows.end());
    EXPECT_EQ(Lines(run.out), expected);
    if (c.errorMarkers.empty()) {
      EXPECT_EQ(run.err, "");
    }
    for (const std::string& marker : c.errorMarkers) {
      EXPECT_NE(run.err.find(marker), std::string::npos) << marker << " in: " << run.err;
    }
  }
}

TEST(BatchCommand, FileArgumentAndDashForStdin) {
  const std::string path = ::testing::TempDir() + "tavrin_batch_readings.txt";
  const std::string input = "n a v i\n2 10 0.5 0.1\n";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(std::fwrite(input.data(), 1, input.size(), file), input.size());
  std::fclose(file);
  const std::string expected =
      "n,a,v,i,rho,text\n2,10,0.5,0.1," + Printf17(942.4770355224609) + ",942.5\n";
  const ToolRun fromFile = RunTool({"batch", path});
  const ToolRun fromStdin = RunTool({"batch", "-"}, input);
  std::remove(path.c_str());
  EXPECT_EQ(fromFile.status, 0);
  EXPECT_EQ(fromFile.out, expected);
  EXPECT_EQ(fromStdin.status, 0);
  EXPECT_EQ(fromStdin.out, expected);
}

// Each line of --args-from gives what its own command line gives, the escapes
// standing for their bytes; a wrong line is reported with its number and the
// lines after it still run.
TEST(ArgsFrom, EachLineAsItsOwnCommandLine) {
  const struct {
    std::string line;
    std::vector<std::string> args;
  } lines[] = {
      {"number\t 2.0V\t&HFFFF\t1\\\\", {"number", " 2.0V", "&HFFFF", "1\\"}},
      {"number\t\\t\\n7\\x09", {"number", "\t\n7\t"}},
      {"format\t#,##0.00;(#)\t-1234.5\t0", {"format", "#,##0.00;(#)", "-1234.5", "0"}},
      {"digits\t15\t0.1", {"digits", "15", "0.1"}},
      {"calc\t1\t50\t2.0\t2.0", {"calc", "1", "50", "2.0", "2.0"}},
  };
  std::string input, expected;
  for (const auto& l : lines) {
    input += l.line + "\n\n";  // empty lines are skipped
    const ToolRun direct = RunTool(l.args);
    ASSERT_EQ(direct.status, 0) << l.line;
    expected += direct.out;
  }
  const ToolRun all = RunTool({"--args-from", "-"}, input);
  EXPECT_EQ(all.status, 0);
  EXPECT_EQ(all.err, "");
  EXPECT_EQ(all.out, expected);

  const ToolRun wrong = RunTool({"--args-from", "-"},
                                "number\t1\nnumber\t\\q\nfrobnicate\ndigits\tx\t1\nnumber\t2\n");
  EXPECT_EQ(wrong.status, 2);
  EXPECT_EQ(wrong.out, "1\n2\n");
  EXPECT_EQ(Lines(wrong.err),
            (std::vector<std::string>{
                "tavrin: stdin:2: unknown or unfinished escape",
                "tavrin: stdin:3: unknown command 'frobnicate' (try 'tavrin --help')",
                "tavrin: stdin:4: COUNT 'x' must be a whole number from 1 to 4932 (try 'tavrin "
                "digits --help')"}));
}

struct SoundingCase {
  std::string input;
  std::vector<std::string> lines;  // the whole of stdout
  int status;
  std::string err;  // the whole of stderr
};

// The numbers: K = pi (10^2 - 1^2) / 2 = 155.50883635269477 and
// pi (20^2 - 1) / 2 = 626.7477343911637 (double pi).
TEST(SoundingCommand, ReadingsToCsv) {
  const std::vector<SoundingCase> cases = {
      {"ab2,mn2,v,i\n10,1,0.5,0.25\n",
       {"ab2,mn2,k,rho", "10,1,155.50883635269477,311.01767270538954"},
       0,
       ""},
      {"ab2,mn2,r1,r2\n10,1,1,3\n20,1,4,\n",
       {"ab2,mn2,k,rho,repeats,spread,error",
        "10,1,155.50883635269477,311.01767270538954,2,0.7071067811865476,0.5",
        "20,1,626.7477343911637,2506.990937564655,1,,"},
       0,
       "tavrin: stdin:2: warning: repeats 1 and 3 differ by more than a factor of two\n"},
      {"AB/2 rhoa\n1.5 120\n", {"ab2,mn2,k,rho", "1.5,,,120"}, 0, ""},
      {"ab2,mn2,rho\n10,1,5\n10,5,6\n20,1,7\n",
       {"ab2,mn2,k,rho", "10,1,155.50883635269477,5", "20,1,626.7477343911637,7",
        "10,5,23.561944901923447,6"},
       0,
       "tavrin: stdin: warning: the segments of MN/2 1 and 5 differ by +20.0 % where they overlap; "
       "--join joins them\n"},
      {"ab2,mn2,v,i\n10,1,0.5,0\n10,1,0.5,0.25\n",
       {"ab2,mn2,k,rho", "10,1,155.50883635269477,311.01767270538954"},
       1,
       "tavrin: stdin:2: current not above 0; line skipped\n"},
      {"depth,value\n1,2\n",
       {},
       3,
       "tavrin: stdin:1: the columns name no layout: the header names no column; a layout needs "
       "ab2 mn2 v i, ab2 mn2 r, ab2 rho or n a v i (ab and mn: the whole spacings, halved); name "
       "other columns with --column ROLE=NAME\n"},
      {"# nothing yet\n", {}, 3, "tavrin: stdin: no readings\n"},
      {"Site 4\nAB/2 (m);MN/2 (m);R;rho\n10;1;2;311\n10;1;2;300\n",
       {"ab2,mn2,k,rho", "10,1,155.50883635269477,311.01767270538954",
        "10,1,155.50883635269477,311.01767270538954"},
       0,
       "tavrin: stdin: note: line 1 above the header: not readings, skipped\n"
       "tavrin: stdin: note: numbers read with decimal points\n"
       "tavrin: stdin:4: warning: the sheet's apparent resistivity 300 differs from the computed "
       "311.018 by -3.5 %\n"},
  };
  for (const SoundingCase& c : cases) {
    SCOPED_TRACE(c.input);
    const ToolRun run = RunTool({"sounding", "--units", "m"}, c.input);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(Lines(run.out), c.lines);
    EXPECT_EQ(run.err, c.err);
  }
}

// --join multiplies the smaller MN/2's segment onto the larger's at their
// overlap and says so; --drop leaves a line out.
TEST(SoundingCommand, JoinAndDrop) {
  const std::string sheet = "ab2,mn2,rho\n1,0.2,10\n2,0.2,10\n2,1,12\n4,1,12\n";
  const ToolRun run = RunTool({"sounding", "--join", "--drop=5"}, sheet);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(RunTool({"sounding", "--join", "--drop", "5"}, sheet).out, run.out);
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "ab2,mn2,k,rho,shift");
  // Every reading at 12 after joining; the 0.2 segment by 12 / 10.
  for (std::size_t k = 1; k < lines.size(); ++k) {
    const std::size_t shift = lines[k].rfind(',');
    const std::size_t rho = lines[k].rfind(',', shift - 1);
    EXPECT_NEAR(std::strtod(lines[k].c_str() + rho + 1, nullptr), 12, 1e-12) << lines[k];
    EXPECT_NEAR(std::strtod(lines[k].c_str() + shift + 1, nullptr), k < 3 ? 1.2 : 1, 1e-12);
  }
  EXPECT_EQ(run.err,
            "tavrin: stdin:5: left out (--drop)\n"
            "tavrin: stdin: note: the segment of MN/2 0.2 multiplied by 1.2 (1 readings at the "
            "overlap)\n"
            "tavrin: stdin: note: joined to the segment of MN/2 1\n");
  EXPECT_EQ(RunTool({"sounding", "--join", "--join-to", "3"}, sheet).status, 3);
}

// n a v i lines give exactly the number `tavrin calc --raw` gives.
TEST(SoundingCommand, CalculatorLinesAsCalcRaw) {
  const std::vector<std::vector<std::string>> readings = {
      {"1", "50", "2.0", "2.0"}, {"3", "7.5", "0.125", "0.3"}, {"12", "2.5", "1e-3", "7"}};
  std::string input;
  for (const auto& r : readings) input += r[0] + " " + r[1] + " " + r[2] + " " + r[3] + "\n";
  const ToolRun run = RunTool({"sounding"}, input);
  EXPECT_EQ(run.status, 0);
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), readings.size() + 1);
  for (std::size_t k = 0; k < readings.size(); ++k) {
    const ToolRun calc =
        RunTool({"calc", "--raw", readings[k][0], readings[k][1], readings[k][2], readings[k][3]});
    const std::string rho = lines[k + 1].substr(lines[k + 1].rfind(',') + 1);
    EXPECT_EQ(std::strtod(rho.c_str(), nullptr), std::strtod(calc.out.c_str(), nullptr))
        << lines[k + 1];
  }
}

// The two-layer model 100 over 10 (h = 5): the spacings as arguments, as a
// range and from a model file give the same numbers; --exact agrees with the
// filter to its 0.1 %; a one-layer earth is its own resistivity.
TEST(ForwardCommand, SpacingsModelsAndPaths) {
  const std::string modelPath = ::testing::TempDir() + "forward_model.csv";
  std::FILE* file = std::fopen(modelPath.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("# two layers\nrho,thickness\n100,5\n10,\n", file);
  std::fclose(file);
  const std::vector<std::string> twoLayers = {"--rho", "100,10", "--thick", "5"};
  const ToolRun listed = RunTool({"forward", "--rho", "100,10", "--thick", "5", "1", "10", "100"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  const std::vector<std::string> lines = Lines(listed.out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "ab2,rho");
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> expected;  // the lines, the header included
  } cases[] = {
      {{"forward", "--rho", "100,10", "--thick", "5", "--ab2", "1:100:1"}, lines},
      {{"forward", "--model", modelPath, "1", "10", "100"}, lines},
      {{"forward", "--rho", "7.5", "0.5", "2e3"}, {"ab2,rho", "0.5,7.5", "2000,7.5"}},
      {{"forward", "--rho", "7.5", "--mn2", "1", "--ab2", "10:100:2"},
       {"ab2,rho", "10,7.5", "31.622776601683793,7.5", "100,7.5"}},
      {{"forward", "--rho", "7.5", "--ab2", "1:1.1:1"}, {"ab2,rho", "1,7.5", "1.1,7.5"}},
      {{"forward", "--rho", "7.5", "--mn2", "1e199", "1e200"}, {"ab2,rho", "1e+200,7.5"}},
      {{"forward", "--rho", "1e300,1e300", "--thick", "10", "10"}, {"ab2,rho", "10,1e+300"}},
      {{"forward", "--rho", "1e-300,1e-300", "--thick", "10", "10"}, {"ab2,rho", "10,1e-300"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[1] + " " + c.args.back());
    const ToolRun run = RunTool(c.args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Lines(run.out), c.expected);
  }
  for (const std::string mn2 : {"0", "0.5"}) {
    std::vector<std::string> fast = {"forward", "--rho", "100,10", "--thick", "5", "2", "20"};
    if (mn2 != "0") fast.insert(fast.begin() + 1, {"--mn2", mn2});
    std::vector<std::string> exact = fast;
    exact.push_back("--exact");
    const std::vector<std::string> fastLines = Lines(RunTool(fast).out);
    const std::vector<std::string> exactLines = Lines(RunTool(exact).out);
    ASSERT_EQ(fastLines.size(), 3u);
    ASSERT_EQ(exactLines.size(), 3u);
    for (std::size_t k = 1; k < 3; ++k) {
      const double a =
          std::strtod(fastLines[k].substr(fastLines[k].find(',') + 1).c_str(), nullptr);
      const double b =
          std::strtod(exactLines[k].substr(exactLines[k].find(',') + 1).c_str(), nullptr);
      EXPECT_NE(a, b) << fastLines[k];  // two different computations
      EXPECT_NEAR(a / b, 1, 1e-3) << fastLines[k] << " against " << exactLines[k];
    }
  }
  // An MN/2 far below AB/2 is the ideal array, not the first layer.
  const std::vector<std::string> tiny = Lines(
      RunTool({"forward", "--rho", "100,10", "--thick", "5", "--mn2", "1e-310", "1", "10", "100"})
          .out);
  ASSERT_EQ(tiny.size(), lines.size());
  for (std::size_t k = 1; k < lines.size(); ++k) {
    EXPECT_NEAR(std::strtod(tiny[k].c_str() + tiny[k].find(',') + 1, nullptr) /
                    std::strtod(lines[k].c_str() + lines[k].find(',') + 1, nullptr),
                1, 1e-12)
        << tiny[k];
  }
  // A range wider than the doubles' ratio keeps both ends.
  const std::vector<std::string> wide =
      Lines(RunTool({"forward", "--rho", "7.5", "--ab2", "1e-300:1e300:1"}).out);
  ASSERT_EQ(wide.size(), 602u);
  EXPECT_EQ(wide.back(), "1e+300,7.5");
  // A mistyped top layer is no header: the file, line and field are named.
  file = std::fopen(modelPath.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("# two layers\n1O0,5\n10,\n", file);
  std::fclose(file);
  const ToolRun typo = RunTool({"forward", "--model", modelPath, "10"});
  EXPECT_EQ(typo.status, 3);
  EXPECT_EQ(typo.out, "");
  EXPECT_NE(typo.err.find(modelPath + ":2: resistivity '1O0'"), std::string::npos) << typo.err;
  std::remove(modelPath.c_str());
}

// --plot with --data draws the curve and the readings into an SVG.
TEST(ForwardCommand, PlotsTheCurveWithTheData) {
  if (!plot::CanWriteFigures()) GTEST_SKIP() << "this build writes no plots";
  const std::string dataPath = ::testing::TempDir() + "forward_data.csv";
  const std::string plotPath = ::testing::TempDir() + "forward_plot.svg";
  std::FILE* file = std::fopen(dataPath.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("ab2,rho\n1,100\n10,52\nx\n100,10\n", file);
  std::fclose(file);
  const ToolRun plotted = RunTool({"forward", "--rho", "100,10", "--thick", "5", "--plot", plotPath,
                                   "--data", dataPath, "1", "100"});
  EXPECT_EQ(plotted.status, 1);  // the data's line 4 is skipped
  EXPECT_NE(plotted.err.find(dataPath + ":4:"), std::string::npos) << plotted.err;
  EXPECT_EQ(Lines(plotted.out).size(), 3u);
  file = std::fopen(plotPath.c_str(), "r");
  ASSERT_NE(file, nullptr);
  char head[64] = {};
  EXPECT_GT(std::fread(head, 1, sizeof head - 1, file), 0u);
  std::fclose(file);
  EXPECT_NE(std::string(head).find("<svg"), std::string::npos) << head;
  for (const std::string& path : {dataPath, plotPath}) std::remove(path.c_str());
}

// A build without plots refuses --plot before any work: one line, status 2,
// no output and no file.
TEST(ForwardCommand, PlotInABuildWithoutPlotsIsRefused) {
  if (plot::CanWriteFigures()) GTEST_SKIP() << "this build writes plots";
  const std::string plotPath = ::testing::TempDir() + "unwritten_plot.svg";
  std::remove(plotPath.c_str());
  const struct {
    std::vector<std::string> args;
    std::string input;
  } cases[] = {
      {{"forward", "--rho", "100,10", "--thick", "5", "--plot", plotPath, "1", "100"}, ""},
      {{"sounding", "--plot", plotPath}, "ab2,rho\n1,100\n10,52\n"},
      {{"invert", "--layers", "1", "--plot", plotPath}, "ab2,rho\n1,100\n10,100\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front());
    const ToolRun run = RunTool(c.args, c.input);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "tavrin: cannot write the plot '" + plotPath +
                           "': this build of tavrin has no plots\n");
    std::FILE* file = std::fopen(plotPath.c_str(), "r");
    EXPECT_EQ(file, nullptr) << plotPath;
    if (file != nullptr) std::fclose(file);
  }
}

}  // namespace
}  // namespace tavrin::test
