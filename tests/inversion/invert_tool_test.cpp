// The tool's invert command: a fit written as CSV and JSON, and wrong input
// refused with one line and exit status 2.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_tool.h"

namespace tavrin::test {
namespace {

// A two-layer sounding (100 over 10 ohm-ft, 5 ft thick) as ab2,rho lines,
// made by the forward command's model.
std::string TwoLayerSounding() {
  const ToolRun forward =
      RunTool({"forward", "--rho", "100,10", "--thick", "5", "--ab2", "1:1000:6"});
  EXPECT_EQ(forward.status, 0) << forward.err;
  return forward.out;
}

TEST(InvertCommand, FitsTheModelAsCsvAndJson) {
  const std::string sounding = TwoLayerSounding();
  const ToolRun csv = RunTool({"invert", "--layers", "2"}, sounding);
  ASSERT_EQ(csv.status, 0) << csv.err;
  EXPECT_EQ(csv.out.substr(0, csv.out.find('\n')),
            "layer,rho,rho_factor,thickness,thickness_factor,top,top_factor");
  EXPECT_EQ(csv.out.substr(csv.out.find('\n') + 1, 4), "1,10");  // 100 to six digits
  const ToolRun json = RunTool({"invert", "--layers", "auto", "--json"}, sounding);
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_NE(json.out.find("\"criterion\":\"BIC = chi2 + P ln n\",\"chosen\":2"), std::string::npos)
      << json.out;
}

// Readings far beyond any earth's resistivity still fit, and a factor the
// data do not bound is said to be the prior's, never printed as nan.
TEST(InvertCommand, ExtremeReadingsFitAndSayWhatTheDataDoNotBound) {
  for (const std::string rho : {"1e+170", "1e-200", "1e+120"}) {
    SCOPED_TRACE(rho);
    std::string sounding = "ab2,rho\n";
    for (const char* ab2 : {"1", "2", "4", "8", "16"}) sounding += ab2 + ("," + rho) + "\n";
    const ToolRun run = RunTool({"invert", "--layers", "2"}, sounding);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\n1," + rho + ",10,"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("the prior's spread"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("nan"), std::string::npos) << run.out;
  }
}

TEST(InvertCommand, WrongInputIsOneLineAndStatusTwo) {
  const std::string sounding = "ab2,rho\n1,10\n2,12\n4,15\n";
  const struct {
    std::vector<std::string> args;
    std::string input;
    std::string message;
  } cases[] = {
      {{"invert"}, sounding, "--layers N (1 to 8) or --layers auto is needed"},
      {{"invert", "--layers", "0"}, sounding, "--layers '0' must be a whole number from 1 to 8"},
      {{"invert", "--layers", "9"}, sounding, "--layers '9' must be a whole number from 1 to 8"},
      {{"invert", "--layers"}, sounding, "--layers needs a value"},
      {{"invert", "--layers", "2", "--error", "0"}, sounding, "--error '0' must be a percentage"},
      {{"invert", "--layers", "2", "--plot", "x.gif"}, sounding, "cannot tell the plot's format"},
      {{"invert", "--layers", "2", "--fast"}, sounding, "unexpected argument '--fast'"},
      {{"invert", "--layers", "2", "/nonexistent/s.csv"}, "", "cannot open '/nonexistent/s.csv'"},
      {{"invert", "--layers", "3"},
       sounding,
       "3 readings cannot determine 5 free parameters of 3 layers; at least 5 needed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const ToolRun run = RunTool(c.args, c.input);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("tavrin: " + c.message, 0), 0u) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  }
}

}  // namespace
}  // namespace tavrin::test
