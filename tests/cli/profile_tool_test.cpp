// The tool's profile command: the three ways a profile's soundings come in
// give the same stations in the order of x, and what makes no profile is
// refused with one line and its exit status.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "run_tool.h"

namespace tavrin::test {
namespace {

// A two-layer sounding, 100 ohm-m over 10 ohm-m at `depth` m, as ab2,rho
// lines from the forward command (`unit` the AB/2 column's).
std::string Sounding(double depth, const std::string& unit = "m") {
  const ToolRun forward = RunTool({"forward", "--rho", "100,10", "--thick", std::to_string(depth),
                                   "--units", "m", "--ab2", "1:100:6"});
  EXPECT_EQ(forward.status, 0) << forward.err;
  std::string body = forward.out.substr(forward.out.find('\n') + 1);
  return "AB/2 (" + unit + "),rho\n" + body;
}

std::string Write(const std::string& name, const std::string& text) {
  const std::string path = ::testing::TempDir() + "profile_" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// A sounding placed by its metadata lines.
std::string Placed(const std::string& name, double x, double depth, const std::string& unit = "m") {
  return Write(name, "# station: " + name + "\n# x: " + std::to_string(x) + "\n# elevation: 100\n" +
                         Sounding(depth, unit));
}

// The station labels of the layers section, one per sounding, in order.
std::vector<std::string> Stations(const std::string& out) {
  std::vector<std::string> stations;
  std::size_t at = out.find('\n') + 1;
  while (at < out.size() && out[at] != '\n') {
    const std::size_t end = out.find('\n', at);
    const std::string line = out.substr(at, end - at);
    const std::string label = line.substr(0, line.find(','));
    if (stations.empty() || stations.back() != label) stations.push_back(label);
    at = end == std::string::npos ? out.size() : end + 1;
  }
  return stations;
}

// The second layer's depth_top and elevation_top at each station, rounded.
std::vector<int> SecondTops(const std::string& out) {
  std::vector<int> tops;
  std::size_t at = 0;
  while ((at = out.find('\n', at)) != std::string::npos && at + 1 < out.size() &&
         out[++at] != '\n') {
    char label[32];
    double x = 0, elevation = 0, rho = 0, rhoFactor = 0, depth = 0, top = 0;
    int layer = 0;
    if (std::sscanf(out.c_str() + at, "%31[^,],%lf,%lf,%d,%lf,%lf,,,%lf,%lf", label, &x, &elevation,
                    &layer, &rho, &rhoFactor, &depth, &top) == 8 &&
        layer == 2) {
      tops.push_back(static_cast<int>(std::lround(depth)));
      tops.push_back(static_cast<int>(std::lround(top)));
    }
  }
  return tops;
}

TEST(ProfileCommand, EachInputFormGivesTheStationsInOrder) {
  // One sheet with a station column; the stations out of order.
  std::string sheet = "station,x,elevation,ab2,rho\n";
  for (const auto& [name, x, depth] : {std::tuple{"B", 20, 6.0}, {"A", 0, 4.0}, {"C", 40, 8.0}}) {
    const std::string sounding = Sounding(depth);
    std::size_t at = sounding.find('\n') + 1;
    while (at < sounding.size()) {
      const std::size_t end = sounding.find('\n', at);
      sheet += std::string(name) + ',' + std::to_string(x) + ",100," +
               sounding.substr(at, end - at) + '\n';
      at = end == std::string::npos ? sounding.size() : end + 1;
    }
  }
  const std::string a = Placed("A", 0, 4), b = Placed("B", 20, 6), c = Placed("C", 40, 8);
  const std::string plainA = Write("plainA", Sounding(4)), plainB = Write("plainB", Sounding(6)),
                    plainC = Write("plainC", Sounding(8));
  const std::string list = Write("list", "file,x,elevation\n" + plainC + ",40,100\n" + plainA +
                                             ",0,100\n" + plainB + ",20,100\n");
  struct Case {
    const char* form;
    std::vector<std::string> args;
    std::vector<std::string> stations;
  };
  const Case cases[] = {
      {"station column", {Write("sheet", sheet)}, {"A", "B", "C"}},
      {"metadata lines", {c, a, b}, {"A", "B", "C"}},
      {"--stations", {plainC, plainA, plainB, "--stations", list}, {"0", "20", "40"}},
  };
  for (const Case& k : cases) {
    std::vector<std::string> args{"profile", "--layers", "2"};
    args.insert(args.end(), k.args.begin(), k.args.end());
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 0) << k.form << ": " << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
              "station,x,elevation,layer,rho,rho_factor,thickness,thickness_factor,depth_top,"
              "elevation_top")
        << k.form;
    EXPECT_EQ(Stations(run.out), k.stations) << k.form << "\n" << run.out;
    // The second layer's top at each station's depth, and that far below 100.
    EXPECT_EQ(SecondTops(run.out), (std::vector<int>{4, 96, 6, 94, 8, 92})) << k.form;
  }
}

TEST(ProfileCommand, RefusesWhatMakesNoProfile) {
  const std::string a = Placed("A", 0, 4), b = Placed("B", 20, 6);
  const std::string again = Placed("A2", 0, 5), feet = Placed("F", 40, 8, "ft");
  const std::string missing = ::testing::TempDir() + "profile_missing.csv";
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {{a}, 2, "a profile needs two soundings or more; 1 read"},
      {{a, again}, 2, "the same as station A"},
      {{a, b, feet}, 2, "a profile takes one length unit"},
      {{a, b, "--lateral", "-1"}, 2, "--lateral '-1' must be a finite number, 0 or above"},
      {{a, b, "--lateral", "inf"}, 2, "--lateral 'inf' must be a finite number, 0 or above"},
      {{a, Write("plain", Sounding(5))}, 2, "no position"},
      {{missing, missing + "2"}, 3, "no sounding could be read"},
      {{a, b, missing}, 1, "left out"},
      {{a, b, "--plot-section", "/nonexistent/x.svg"}, 2, "cannot write the plot"},
      {{a, b, "--plot-pseudo", "x.gif"}, 2, "cannot tell the plot's format from 'x.gif'"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"profile", "--layers", "2"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, c.status) << c.message << ": " << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace tavrin::test
