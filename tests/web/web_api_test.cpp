// The web interface against the tool: for the same sheets, options, models
// and typed texts, each function gives what the built tool prints (its
// output, its messages, its exit status), read back from the JSON.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "run_tool.h"
#include "web/api.h"

namespace tavrin::test {
namespace {

using Json = nlohmann::ordered_json;

std::string FileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string Example(const std::string& name) {
  return std::string(TAVRIN_EXAMPLES) + "/" + name;
}

Json Parsed(const std::string& text) {
  return Json::parse(text);
}

// The tool's stderr as the interface reports it: each line after "tavrin: ".
std::string ReportText(const Json& read) {
  std::string text;
  for (const Json& line : read["report"]) text += "tavrin: " + line.get<std::string>() + "\n";
  return text;
}

// A JSON number as the tool prints a double: the shortest text that reads
// back to it; null (NaN) as nothing.
std::string Shortest(const Json& value) {
  if (value.is_null()) return {};
  char text[64];
  const auto end = std::to_chars(text, text + sizeof text, value.get<double>()).ptr;
  return std::string(text, end);
}

// The first `count` fields of a CSV line, each with its comma after it.
std::string FirstFields(const std::string& line, int count) {
  std::string fields;
  std::size_t start = 0;
  for (int k = 0; k < count && start <= line.size(); ++k) {
    const std::size_t end = std::min(line.find(',', start), line.size());
    fields += line.substr(start, end - start) + ",";
    start = end + 1;
  }
  return fields;
}

std::string Sixg(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

// A sheet, given by its example file or as text on stdin, with the tool's
// options and the same as JSON fields.
struct SheetCase {
  std::string file;  // an example's name; empty: `text` on stdin
  std::string text;
  std::vector<std::string> options;
  Json fields;
};

const std::vector<SheetCase>& SheetCases() {
  static const std::vector<SheetCase> cases = {
      {"ves1.csv", "", {"--units", "m"}, {{"units", "m"}}},
      {"ves2-field-sheet.csv", "", {}, Json::object()},
      {"ves2-field-sheet.csv", "", {"--join"}, {{"join", true}}},
      {"ves2-field-sheet.csv",
       "",
       {"--join", "--join-to", "0.5"},
       {{"join", true}, {"join_to", 0.5}}},
      {"ves3-own-names.txt",
       "",
       {"--column", "ab2=c", "--column", "mn2=p", "--column", "r=m1", "--column", "r=m2"},
       {{"column", {"ab2=c", "mn2=p", "r=m1", "r=m2"}}}},
      {"ves1.csv", "", {"--drop", "4,6", "--units", "ft"}, {{"drop", {4, 6}}, {"units", "ft"}}},
      // Lines that make no reading, a sheet that names no layout, one
      // without a single reading, and a reference MN/2 that names no segment.
      {"", "ab2,rho\n1,100\nx,5\n3,-2\n10,50\n20;40\n", {}, Json::object()},
      {"", "hello,world\n1,2\n", {}, Json::object()},
      {"", "ab2,mn2,v,i\n1,0.5,x,1\n2,0.5,1,0\n", {}, Json::object()},
      {"ves1.csv", "", {"--join", "--join-to", "7"}, {{"join", true}, {"join_to", 7}}},
      // One MN/2 and an error column.
      {"",
       "ab2,mn2,rho,error\n1,0.3,100,5\n2,0.3,96,4\n4,0.3,80,5\n8,0.3,50,6\n16,0.3,35,5\n",
       {},
       Json::object()},
  };
  return cases;
}

Json SheetInput(const SheetCase& c) {
  Json in = c.fields;
  in["name"] = c.file.empty() ? "stdin" : Example(c.file);
  in["text"] = c.file.empty() ? c.text : FileText(Example(c.file));
  return in;
}

ToolRun RunSheet(const std::string& command, const SheetCase& c,
                 const std::vector<std::string>& more = {}) {
  std::vector<std::string> args{command, c.file.empty() ? "-" : Example(c.file)};
  args.insert(args.end(), c.options.begin(), c.options.end());
  args.insert(args.end(), more.begin(), more.end());
  return RunTool(args, c.text);
}

TEST(WebApiTest, ReadSheetGivesWhatSoundingPrints) {
  for (const SheetCase& c : SheetCases()) {
    SCOPED_TRACE(c.file + c.text);
    const ToolRun run = RunSheet("sounding", c);
    const Json read = Parsed(web::ReadSheet(SheetInput(c).dump()));
    if (run.status >= 2) {
      ASSERT_TRUE(read.contains("error"));
      EXPECT_EQ(run.err, ReportText(read) + "tavrin: " + read["error"].get<std::string>() + "\n");
      continue;
    }
    ASSERT_FALSE(read.contains("error")) << read["error"];
    EXPECT_EQ(read["csv"], run.out);
    EXPECT_EQ(ReportText(read), run.err);
    EXPECT_EQ(read["exit_status"], run.status);
    // Each line left out is one the tool reports so, with its reason.
    for (const Json& left : read["left_out"]) {
      const std::string reason = left["reason"];
      const std::string line = ":" + std::to_string(left["line"].get<long>()) + ": " + reason;
      EXPECT_NE(run.err.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(read["left_out"].size() != 0, run.status == 1 || !read["dropped"].empty());
    // The readings with every digit are the CSV's.
    std::string rows;
    for (const Json& r : read["readings"]) {
      rows += "\n" + Shortest(r["ab2"]) + "," + Shortest(r["mn2"]) + "," + Shortest(r["k"]) + "," +
              Shortest(r["rho"]) + ",";
    }
    std::string csvRows;
    std::istringstream csv(run.out);
    std::string line;
    for (std::getline(csv, line); std::getline(csv, line);) {
      csvRows += "\n" + FirstFields(line, 4);
    }
    EXPECT_EQ(rows, csvRows);
  }
}

TEST(WebApiTest, InvertGivesWhatInvertJsonPrints) {
  struct InvertCase {
    std::size_t sheet;  // into SheetCases()
    std::vector<std::string> options;
    Json fields;
  };
  const std::vector<InvertCase> cases = {
      {0, {"--layers", "3"}, {{"layers", 3}}},
      {0, {"--layers", "auto", "--error", "5"}, {{"layers", "auto"}, {"error", 5}}},
      {2, {"--layers", "2"}, {{"layers", 2}}},
      {1, {"--layers", "2", "--fit-shifts"}, {{"layers", 2}, {"fit_shifts", true}}},
      {6, {"--layers", "3"}, {{"layers", 3}}},  // too few readings: exit 4
      {0, {"--layers", "9"}, {{"layers", 9}}},  // usage
      {10, {"--layers", "2", "--fit-shifts"}, {{"layers", 2}, {"fit_shifts", true}}},  // 1 segment
      {10, {"--layers", "2"}, {{"layers", 2}}},
  };
  for (const InvertCase& c : cases) {
    const SheetCase& sheet = SheetCases()[c.sheet];
    SCOPED_TRACE(sheet.file + " " + c.fields.dump());
    std::vector<std::string> options = c.options;
    options.push_back("--json");
    const ToolRun run = RunSheet("invert", sheet, options);
    Json in = SheetInput(sheet);
    in.update(c.fields);
    Json out = Parsed(web::Invert(in.dump()));
    if (run.out.empty()) {
      ASSERT_TRUE(out.contains("error"));
      const std::string error = "tavrin: " + out["error"].get<std::string>();
      if (out.contains("read")) {  // the whole of stderr: the sheet's, the notes, the error
        std::string notes;
        for (const Json& note : out["notes"]) notes += "tavrin: " + note.get<std::string>() + "\n";
        EXPECT_EQ(run.err, ReportText(out["read"]) + notes + error + "\n");
      } else {  // a usage error: the tool adds where to find help
        EXPECT_EQ(run.err.rfind(error, 0), 0u) << run.err;
      }
      continue;
    }
    ASSERT_FALSE(out.contains("error")) << out["error"];
    const Json read = out["read"];
    const Json model = out["model_full"];
    for (const char* extra : {"read", "notes", "model_full"}) out.erase(extra);
    EXPECT_EQ(out, Parsed(run.out));
    // The fitted model with every digit is the one printed to six.
    for (std::size_t j = 0; j < out["layers"].size(); ++j) {
      EXPECT_EQ(Sixg(model["rho"][j].get<double>()), out["layers"][j]["rho"].dump());
    }
    // forward of the full model at the readings states the fit's misfit
    // (fitted shifts and joins aside, which forward does not model).
    if (c.fields.contains("fit_shifts")) continue;
    Json forward = {{"model", model},          {"ab2", Json::array()},
                    {"mn2", Json::array()},    {"observed", Json::array()},
                    {"errors", Json::array()}, {"error_percent", out["fit"]["error_percent"]}};
    const std::pair<const char*, const char*> fields[] = {
        {"ab2", "ab2"}, {"mn2", "mn2"}, {"rho", "observed"}, {"error", "errors"}};
    for (const Json& r : read["readings"]) {
      for (const auto& [from, to] : fields) forward[to].push_back(r[from]);
    }
    const Json misfit = Parsed(web::Forward(forward.dump()));
    EXPECT_EQ(Sixg(misfit["rms_percent"]), out["fit"]["rms_percent"].dump());
    // Its residuals are the fit's readings'.
    for (std::size_t k = 0; k < out["readings"].size(); ++k) {
      EXPECT_EQ(Sixg(misfit["residual_percent"][k].get<double>()),
                out["readings"][k]["residual_percent"].dump());
    }
    const double chi2 = out["fit"]["chi2_per_dof"].get<double>() * out["fit"]["dof"].get<int>();
    EXPECT_NEAR(misfit["chi2"].get<double>() / chi2, 1, 1e-4);
  }
}

TEST(WebApiTest, ForwardGivesWhatForwardPrints) {
  struct ForwardCase {
    std::vector<std::string> options;  // the model and MN/2 as the tool takes them
    Json fields;
    std::vector<double> ab2;
  };
  const std::vector<ForwardCase> cases = {
      {{"--rho", "180,20", "--thick", "6"},
       {{"model", {{"rho", {180, 20}}, {"thickness", {6}}}}},
       {1, 10, 100}},
      {{"--rho", "10,200,5", "--thick", "2,30", "--mn2", "0.5"},
       {{"model", {{"rho", {10, 200, 5}}, {"thickness", {2, 30}}}}, {"mn2", {0.5, 0.5, 0.5}}},
       {1.5, 20, 40}},
      // A contrast of a million: the image series' path.
      {{"--rho", "1,1e6", "--thick", "1"},
       {{"model", {{"rho", {1, 1e6}}, {"thickness", {1}}}}},
       {0.5, 3, 40}},
  };
  for (const ForwardCase& c : cases) {
    SCOPED_TRACE(c.fields.dump());
    std::vector<std::string> args{"forward"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    std::string expected = "ab2,rho\n";
    Json in = c.fields;
    in["ab2"] = c.ab2;
    const Json out = Parsed(web::Forward(in.dump()));
    for (std::size_t k = 0; k < c.ab2.size(); ++k) {
      args.push_back(Shortest(c.ab2[k]));
      expected += Shortest(c.ab2[k]) + "," + Shortest(out["rho_a"][k]) + "\n";
    }
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(out["rms_percent"], nullptr);
  }
  // The curve on 21 log-spaced AB/2 is --ab2 1:100:10's.
  const Json curve = Parsed(web::ForwardCurve(
      R"({"model":{"rho":[180,20],"thickness":[6]},"ab2_min":1,"ab2_max":100,"count":21})"));
  std::string expected = "ab2,rho\n";
  for (std::size_t k = 0; k < curve["ab2"].size(); ++k) {
    expected += Shortest(curve["ab2"][k]) + "," + Shortest(curve["rho_a"][k]) + "\n";
  }
  EXPECT_EQ(RunTool({"forward", "--rho", "180,20", "--thick", "6", "--ab2", "1:100:10"}).out,
            expected);
}

TEST(WebApiTest, CalcGivesWhatCalcPrints) {
  const std::vector<std::vector<std::string>> cases = {
      {"1", "50", "2.0", "2.0"},
      {"&H2", "50", "2.0V", "2"},
      {"1,5", "50", "2", "2"},
      {"", "", "", ""},
      {"-", "50", "2", "2"},
      {"1", "50", "1e400", "1"},
      {"1", "50", "2", "0"},
      {"1", "1e-400", "2", "2"},
      {"-3", "-50", "2", "2"},
      {" 2 ", "50", "2d3", "1"},
      {"1", "&O17", "&HFFFF", "3"},
      {"1", "5e4000", "-1e4000", "7"},
      {"2.5e", "50", "2,0", "2"},
      {"1", "50", "2", "-0"},
      {"é", "50", "2", "2"},
      {"1", "50", "--raw", "2"},
      {"99999", "99999", "99999", "1e-300"},
  };
  for (const std::vector<std::string>& texts : cases) {
    std::vector<std::string> args{"calc", "--"};
    args.insert(args.end(), texts.begin(), texts.end());
    const ToolRun run = RunTool(args);
    ASSERT_EQ(run.status, 0) << run.err;
    const Json in = {{"n", texts[0]}, {"a", texts[1]}, {"v", texts[2]}, {"i", texts[3]}};
    EXPECT_EQ(Parsed(web::Calc(in.dump()))["rho"].get<std::string>() + "\n", run.out) << in.dump();
  }
}

TEST(WebApiTest, FailuresAreOneLineErrors) {
  const struct {
    const char* function;
    const char* json;
    const char* error;
  } cases[] = {
      {"calc", R"({"n":"1","a":"50","v":"2"})", "\"i\" must be a string"},
      {"calc", "not json", "the input is not JSON"},
      {"calc", "[1]", "the input is not a JSON object"},
      {"read_sheet", R"({"text":"ab2,rho\n1,2\n","units":"yd"})", "--units 'yd' must be ft or m"},
      {"forward", R"({"model":{"rho":[1,2],"thickness":[]},"ab2":[1]})",
       "the model needs one thickness less than resistivities (here 0 and 2)"},
      {"forward", R"({"model":{"rho":[1],"thickness":[]},"ab2":[1],"mn2":[2]})",
       "MN/2 2 must be from 0 to below its AB/2 (1)"},
      {"forward_curve",
       R"({"model":{"rho":[1],"thickness":[]},"ab2_min":1,"ab2_max":10,"count":1})",
       "\"count\" must be a whole number from 2 to 10000"},
      {"invert", R"({"text":"ab2,rho\n1,2\n"})", "--layers N (1 to 8) or --layers auto is needed"},
      {"plot", "{}",
       "no function 'plot' (calc, read_sheet, invert, forward, forward_curve, version)"},
  };
  for (const auto& c : cases) {
    const Json out = Parsed(web::Call(c.function, c.json));
    EXPECT_EQ(out.value("error", ""), c.error) << c.function << " " << c.json;
  }
  EXPECT_EQ(Parsed(web::Call("version", "{}"))["version"].get<std::string>() + "\n",
            RunTool({"--version"}).out.substr(std::string("tavrin ").size()));
}

}  // namespace
}  // namespace tavrin::test
