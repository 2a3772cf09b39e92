// forward: the apparent resistivities of a horizontally layered earth at the
// AB/2 spacings asked for, as CSV ab2,rho, optionally with the plot of the
// model's curve (and a sounding's readings) beside its step profile.
//
// The model comes from --rho and --thick or from --model FILE (one layer a
// line: resistivity, thickness; the last layer's thickness empty; separators
// and comments as batch, an optional first line of names). The spacings are the AB2
// arguments and --ab2 FROM:TO:PER_DECADE, in that order. The fast filter
// computes them, or with --exact the reference integration.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/forward_plot.h"
#include "cli/forward_values.h"
#include "cli/model_file.h"
#include "cli/output.h"
#include "cli/sheet_input.h"
#include "cli/survey_options.h"
#include "numtext/double_chars.h"
#include "sounding/csv.h"
#include "sounding/forward.h"
#include "sounding/portable_math.h"

namespace tavrin::cli {

namespace {

constexpr int kMaxPerDecade = 1000;
constexpr int kMaxSpacings = 100000;  // in one --ab2 range

// What the note on stderr says of the spacings each path other than the
// filter computed.
struct PathNote {
  sounding::ForwardPath path;
  const char* text;
};
constexpr PathNote kPathNotes[] = {
    {sounding::ForwardPath::kTwoLayer,
     "computed with the top two layers' image series: the filter alone is not within "
     "1e-6 there (a high contrast)"},
    {sounding::ForwardPath::kIntegration,
     "computed by numerical integration: neither the filter nor the image series is "
     "within 0.01 % there"},
};
constexpr int kPathCount = 3;

struct ForwardOptions {
  sounding::LayeredModel model;
  std::vector<double> ab2;
  double mn2 = 0;
  bool exact = false;
  std::optional<plot::LengthUnit> unit;
  std::string plot;
  std::string data;
  SheetOptions sheet;
};

// The options as given on the command line.
struct ForwardArguments {
  std::string rho, thick, model, mn2, units, plot, data;
  std::vector<std::string> ranges;    // --ab2, each
  std::vector<std::string> spacings;  // the AB2 arguments
  bool exact = false;
  SheetArguments sheet;
};

std::vector<double> PositiveList(std::string_view text, std::string_view what) {
  std::vector<double> values;
  for (const std::string& field : sounding::SplitFields(text)) {
    values.push_back(PositiveNumber<UsageError>(field, what));
  }
  return values;
}

// FROM:TO:PER_DECADE: log-spaced, both ends included, exact at whole decades.
std::vector<double> SpacingRange(std::string_view text) {
  const std::size_t first = text.find(':');
  const std::size_t second = first == std::string_view::npos ? first : text.find(':', first + 1);
  if (second == std::string_view::npos) {
    throw UsageError("--ab2 '" + std::string(text) + "' must be FROM:TO:PER_DECADE");
  }
  const double from = PositiveNumber<UsageError>(text.substr(0, first), "--ab2 FROM");
  const double to =
      PositiveNumber<UsageError>(text.substr(first + 1, second - first - 1), "--ab2 TO");
  const std::string perText(text.substr(second + 1));
  const int perDecade = ParseIntArgument(perText, 1, kMaxPerDecade, "--ab2 PER_DECADE");
  if (to < from) throw UsageError("--ab2 '" + std::string(text) + "': TO is below FROM");
  const double decades = sounding::Log10(to) - sounding::Log10(from);
  const double stepCount = std::round(decades * perDecade);
  if (stepCount > kMaxSpacings) {
    throw UsageError("--ab2 '" + std::string(text) + "' asks for more than " +
                     std::to_string(kMaxSpacings) + " spacings");
  }
  // At least one step when TO is above FROM, so that TO is always there.
  return LogSpacing(from, to, std::max(static_cast<int>(stepCount), to > from ? 1 : 0));
}

ForwardOptions OptionsOf(const ForwardArguments& a) {
  ForwardOptions options;
  std::optional<std::vector<double>> rho;
  std::optional<std::vector<double>> thick;
  if (!a.rho.empty()) rho = PositiveList(a.rho, "resistivity");
  if (!a.thick.empty()) thick = PositiveList(a.thick, "thickness");
  const std::string& modelPath = a.model;
  if (!a.mn2.empty()) options.mn2 = PositiveNumber<UsageError>(a.mn2, "--mn2");
  if (!a.units.empty()) options.unit = ParseUnits(a.units);
  options.plot = a.plot;
  if (!options.plot.empty()) CheckPlotPath(options.plot);
  options.data = a.data;
  options.exact = a.exact;
  options.sheet = SheetOptionsOf(a.sheet);
  for (const std::string& spacing : a.spacings) {
    options.ab2.push_back(PositiveNumber<UsageError>(spacing, "AB/2"));
  }
  std::vector<double> range;
  for (const std::string& text : a.ranges) {
    const std::vector<double> values = SpacingRange(text);
    range.insert(range.end(), values.begin(), values.end());
  }
  options.ab2.insert(options.ab2.end(), range.begin(), range.end());
  if (!modelPath.empty() && (rho || thick)) {
    throw UsageError("--model and --rho/--thick exclude each other");
  }
  if (!modelPath.empty()) {
    options.model = ParseModelFile(ReadInput(modelPath), InputName(modelPath));
  } else {
    if (!rho) throw UsageError("--rho or --model is needed");
    options.model.resistivity = *rho;
    if (thick) options.model.thickness = *thick;
    if (options.model.thickness.size() + 1 != options.model.resistivity.size()) {
      throw UsageError("--thick needs one value less than --rho (here " +
                       std::to_string(options.model.thickness.size()) + " and " +
                       std::to_string(options.model.resistivity.size()) + ")");
    }
  }
  CheckLayerCount(options.model);
  if (options.ab2.empty()) {
    throw UsageError("no AB/2 given (AB2 arguments or --ab2 FROM:TO:PER_DECADE)");
  }
  for (const double ab2 : options.ab2) {
    if (!(options.mn2 < ab2)) {
      throw UsageError("--mn2 " + ShortestText(options.mn2) + " must be below every AB/2 (" +
                       ShortestText(ab2) + ")");
    }
  }
  if (!options.data.empty() && options.plot.empty()) throw UsageError("--data needs --plot");
  if (AnySheetOption(a.sheet) && options.data.empty()) {
    throw UsageError("--column, --drop and --join read a sheet: they need --data");
  }
  return options;
}

}  // namespace

CommandRun DeclareForward(CLI::App& app) {
  app.description(
      "The apparent resistivities of a horizontally layered earth (1 to 30 layers, the\n"
      "last a half-space) at each AB/2: the AB2 arguments, then each --ab2 range. The\n"
      "Schlumberger array is ideal, or has MN/2 = L with --mn2.");
  auto a = std::make_shared<ForwardArguments>();
  AddPositionals(app, "AB2", a->spacings, "the spacings AB/2");
  AddValue(app, "--rho", a->rho, "R1,...,RN", "the layers' resistivities, top down");
  AddValue(app, "--thick", a->thick, "H1,...,H(N-1)", "the layers' thicknesses, top down");
  AddValue(app, "--model", a->model, "FILE",
           "the model from FILE instead: one layer a line, resistivity and thickness,\n"
           "the last thickness empty (separators as batch; a first line of words is a\n"
           "header)");
  AddRepeated(app, "--ab2", a->ranges, "FROM:TO:PER_DECADE",
              "log-spaced AB/2 from FROM to TO, both ends included (repeatable)");
  AddValue(app, "--mn2", a->mn2, "L", "the array's MN/2 (default: the ideal array)");
  AddValue(app, "--units", a->units, "ft|m", "the length unit of the plot (default ft)");
  AddFlag(app, "--exact", a->exact,
          "numerical integration (about 1e-9, at most 1e6 integrand values a spacing; one "
          "it cannot converge is exit status 4) instead of the filter (1e-5)");
  AddValue(app, "--plot", a->plot, "OUT",
           "the model's curve and step profile to OUT.svg, .png or .pdf");
  AddValue(app, "--data", a->data, "FILE",
           "a field sheet's readings drawn with the curve (read as sounding reads it, with\n"
           "the sheet options below)");
  DeclareSheetOptions(app, a->sheet);
  app.footer(std::string("Output: CSV ab2,rho. Where the filter's estimated error is above 1e-6\n"
                         "(high contrasts), the top two layers' image series, and where that\n"
                         "is not within 0.01 % the integration, computes the value; a note\n"
                         "says how many. A value no computation can trust is warned of, with\n"
                         "exit status 4.\n") +
             std::string(kExitStatusHelp));
  return [a] {
    const ForwardOptions options = OptionsOf(*a);
    std::vector<double> rho;
    rho.reserve(options.ab2.size());
    int byPath[kPathCount] = {};
    bool untrusted = false;
    for (const double ab2 : options.ab2) {
      const sounding::ForwardResult result =
          ForwardValue(options.model, ab2, options.mn2, options.exact);
      if (!result.trusted) {
        std::fprintf(stderr, "tavrin: %s\n", UntrustedWarning(ab2, result).c_str());
        untrusted = true;
      }
      ++byPath[static_cast<int>(result.path)];
      rho.push_back(result.value);
    }
    // Where the filter alone was not trusted, the other paths are named.
    if (!options.exact) {
      for (const PathNote& note : kPathNotes) {
        const int count = byPath[static_cast<int>(note.path)];
        if (count > 0) {
          std::fprintf(stderr, "tavrin: note: %d of %zu spacings %s\n", count, options.ab2.size(),
                       note.text);
        }
      }
    }
    int skipped = 0;
    if (!options.plot.empty()) {
      skipped = WriteForwardPlot({&options.model, options.mn2, options.ab2, options.unit,
                                  options.plot, options.data, options.sheet});
    }
    WriteLine(stdout, "ab2,rho");
    for (std::size_t k = 0; k < rho.size(); ++k) {
      WriteLine(stdout, ShortestText(options.ab2[k]) + ',' + ShortestText(rho[k]));
    }
    if (untrusted) return kExitNotComputable;
    return skipped == 0 ? kExitOk : kExitSkippedLines;
  };
}

}  // namespace tavrin::cli
