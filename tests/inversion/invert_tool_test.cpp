// The tool's invert command: a fit written as CSV and JSON, the model file
// it writes, and wrong input refused with one line and its exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
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
// --model-out writes the fitted model as forward --model reads it: forward
// then gives the modelled values of the readings section, and CSV and JSON
// carry the same numbers.
TEST(InvertCommand, ModelFileAndReadingsAgreeWithForward) {
  const std::string modelPath = ::testing::TempDir() + "invert_model_out.csv";
  const ToolRun csv =
      RunTool({"invert", "--layers", "2", "--model-out=" + modelPath}, TwoLayerSounding());
  ASSERT_EQ(csv.status, 0) << csv.err;
  const ToolRun json = RunTool({"invert", "--layers", "2", "--json"}, TwoLayerSounding());
  ASSERT_EQ(json.status, 0) << json.err;
  const std::size_t section = csv.out.find("reading,ab2,mn2,observed,modelled,residual_percent\n");
  ASSERT_NE(section, std::string::npos) << csv.out;
  std::istringstream readings(csv.out.substr(section));
  std::string line;
  std::getline(readings, line);
  int checked = 0;
  while (std::getline(readings, line) && !line.empty()) {
    double k = 0, ab2 = 0, mn2 = 0, observed = 0, modelled = 0, residual = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "%lf,%lf,%lf,%lf,%lf,%lf", &k, &ab2, &mn2, &observed,
                          &modelled, &residual),
              6)
        << line;
    const ToolRun forward = RunTool({"forward", "--model", modelPath, std::to_string(ab2)});
    ASSERT_EQ(forward.status, 0) << forward.err;
    const double rho = std::strtod(forward.out.c_str() + forward.out.rfind(',') + 1, nullptr);
    EXPECT_NEAR(rho / modelled, 1, 1e-5) << line;
    EXPECT_NEAR(residual, 100 * (observed - modelled) / observed, 1e-3) << line;
    char member[160];
    std::snprintf(member, sizeof member, "\"observed\":%.6g,\"modelled\":%.6g", observed, modelled);
    EXPECT_NE(json.out.find(member), std::string::npos) << member;
    ++checked;
  }
  EXPECT_EQ(checked, 19);  // 1 to 1000 at 6 a decade
  std::remove(modelPath.c_str());
}

TEST(InvertCommand, ExtremeReadingsFitAndSayWhatTheDataDoNotBound) {
  for (const std::string rho : {"1e+170", "1e-200", "1e+120"}) {
    SCOPED_TRACE(rho);
    std::string sounding = "ab2,rho\n";
    for (const char* ab2 : {"1", "2", "4", "8", "16"}) sounding += ab2 + ("," + rho) + "\n";
    const ToolRun run = RunTool({"invert", "--layers", "2"}, sounding);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\n1," + rho + ",unresolved,"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("the prior's spread"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("nan"), std::string::npos) << run.out;
  }
}

TEST(InvertCommand, WrongInputIsOneLineAndItsStatus) {
  const std::string sounding = "ab2,rho\n1,10\n2,12\n4,15\n";
  const struct {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string message;
  } cases[] = {
      {{"invert"}, sounding, 2, "--layers is required"},
      {{"invert", "--layers", "0"}, sounding, 2, "--layers '0' must be a whole number from 1 to 8"},
      {{"invert", "--layers", "9"}, sounding, 2, "--layers '9' must be a whole number from 1 to 8"},
      {{"invert", "--layers"}, sounding, 2, "--layers: 1 required N|auto missing"},
      {{"invert", "--layers", "2", "--error", "0"},
       sounding,
       2,
       "--error '0' must be a percentage"},
      {{"invert", "--layers", "2", "--plot", "x.gif"},
       sounding,
       2,
       "cannot tell the plot's format"},
      {{"invert", "--layers", "2", "--fast"}, sounding, 2, "unknown option '--fast'"},
      {{"invert", "--layers", "2", "/nonexistent/s.csv"},
       "",
       3,
       "cannot open '/nonexistent/s.csv'"},
      {{"invert", "--layers", "3"},
       sounding,
       4,
       "stdin: 3 readings cannot determine 5 free parameters of 3 layers; at least 5 needed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const ToolRun run = RunTool(c.args, c.input);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("tavrin: " + c.message, 0), 0u) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  }
}

}  // namespace
}  // namespace tavrin::test
