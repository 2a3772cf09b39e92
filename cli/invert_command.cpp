// invert [FILE] --layers N|auto [--error PERCENT] [--units ft|m] [--plot OUT]
// [--json]: a layered model fitted to one sounding (any layout `sounding`
// reads), its uncertainty and its fit, as CSV or one JSON object (see
// invert_output.cpp), and optionally its picture.
//
// Lines that make no reading are reported on stderr and skipped (exit 1),
// as `sounding` does; input that cannot be fitted at all is wrong usage
// (exit 2).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "cli/invert_output.h"
#include "cli/output.h"
#include "cli/survey_options.h"
#include "inversion/inversion.h"
#include "plot/inversion_figure.h"
#include "sounding/forward.h"
#include "sounding/sounding.h"

namespace tavrin::cli {

namespace {

constexpr std::string_view kInvertUsage =
    "tavrin invert [FILE] --layers N|auto [--error PERCENT] [--units ft|m] [--plot OUT] [--json]";
// --error is a percentage of each apparent resistivity.
constexpr double kLowestErrorPercent = 0.01;
constexpr double kHighestErrorPercent = 100;

struct InvertOptions {
  std::string path = "-";
  int layers = 0;  // 0: chosen by the information criterion
  bool layersGiven = false;
  double errorPercent = 100 * inversion::kDefaultRelativeError;
  plot::LengthUnit unit = plot::LengthUnit::kFeet;
  std::string plot;
  bool json = false;
};

[[noreturn]] void Unexpected(std::string_view argument) {
  throw UsageError("unexpected argument '" + std::string(argument) +
                   "'; usage: " + std::string(kInvertUsage));
}

InvertOptions ParseOptions(Args args) {
  InvertOptions options;
  bool havePath = false;
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string_view argument(args[k]);
    const bool takesValue = argument == "--layers" || argument == "--error" ||
                            argument == "--units" || argument == "--plot";
    if (takesValue && k + 1 == args.size()) {
      throw UsageError(std::string(argument) +
                       " needs a value; usage: " + std::string(kInvertUsage));
    }
    if (argument == "--layers") {
      const std::string_view value(args[++k]);
      options.layers =
          value == "auto" ? 0 : ParseIntArgument(args[k], 1, inversion::kMaxLayers, "--layers");
      options.layersGiven = true;
    } else if (argument == "--error") {
      options.errorPercent = ParseDoubleArgument(args[++k], "--error");
      if (!(options.errorPercent >= kLowestErrorPercent &&
            options.errorPercent <= kHighestErrorPercent)) {
        throw UsageError("--error '" + std::string(args[k]) +
                         "' must be a percentage from 0.01 to 100");
      }
    } else if (argument == "--units") {
      options.unit = ParseUnits(args[++k]);
    } else if (argument == "--plot") {
      options.plot = args[++k];
      CheckPlotPath(options.plot);
    } else if (argument == "--json") {
      options.json = true;
    } else if (!havePath && (argument == "-" || !argument.starts_with("--"))) {
      options.path = argument;
      havePath = true;
    } else {
      Unexpected(argument);
    }
  }
  if (!options.layersGiven) {
    throw UsageError("--layers N (1 to 8) or --layers auto is needed; usage: " +
                     std::string(kInvertUsage));
  }
  return options;
}

// The fitted model's ideal-array curve across the readings' AB/2, at
// kCurvePointsPerDecade points a decade.
plot::ModelCurve FittedCurve(const sounding::Sounding& sounding,
                             const sounding::LayeredModel& model) {
  constexpr double kCurvePointsPerDecade = 20;
  double low = sounding.readings.front().ab2, high = low;
  for (const sounding::Reading& r : sounding.readings) {
    low = std::min(low, r.ab2);
    high = std::max(high, r.ab2);
  }
  const int steps =
      std::max(1, static_cast<int>(std::ceil(std::log10(high / low) * kCurvePointsPerDecade)));
  plot::ModelCurve curve{"fitted model", {}};
  for (int k = 0; k <= steps; ++k) {
    const double ab2 = low * std::pow(high / low, static_cast<double>(k) / steps);
    curve.points.push_back({ab2, sounding::ApparentResistivity(model, ab2)});
  }
  return curve;
}

void WriteFigure(const InvertOptions& options, const sounding::Sounding& sounding,
                 const inversion::Fit& fit) {
  plot::InversionFigureInput figure;
  figure.unit = options.unit;
  figure.data = &sounding;
  figure.model = &fit.model;
  figure.modelled = fit.modelled;
  for (const inversion::LayerEstimate& layer : fit.layers) {
    figure.resistivityFactors.push_back(layer.resistivity.factor);
  }
  figure.curve = FittedCurve(sounding, fit.model);
  WritePlot(plot::InversionFigure(figure), options.plot);
}

}  // namespace

int RunInvert(Args args) {
  const InvertOptions options = ParseOptions(args);
  const sounding::Sounding sounding = sounding::ParseSounding(ReadInput(options.path));
  if (!sounding.layoutKnown) {
    const sounding::LineError& e = sounding.errors.front();
    throw UsageError("line " + std::to_string(e.line) + ": " + e.reason);
  }
  const std::vector<inversion::Datum> data = inversion::DataOf(sounding.readings);
  const double error = options.errorPercent / 100;
  InversionReport report;
  report.unit = options.unit;
  report.errorPercent = options.errorPercent;
  try {
    if (options.layers == 0) {
      inversion::LayerChoice choice = inversion::InvertChoosingLayers(data, error);
      if (choice.trials.empty()) throw inversion::InversionError("no readings to fit");
      report.fit = std::move(choice.best);
      report.trials = std::move(choice.trials);
    } else {
      report.fit = inversion::Invert(data, {options.layers, error});
    }
  } catch (const inversion::InversionError& e) {
    throw UsageError(e.what());
  }
  report.readings = static_cast<int>(data.size());
  if (!options.plot.empty()) WriteFigure(options, sounding, report.fit);
  WriteLine(stdout, options.json ? InversionJson(report) : InversionCsv(report));
  for (const sounding::LineError& e : sounding.errors) {
    std::fprintf(stderr, "tavrin: line %ld: %s; line skipped\n", e.line, e.reason.c_str());
  }
  return sounding.errors.empty() ? kExitOk : kExitSkippedLines;
}

}  // namespace tavrin::cli
