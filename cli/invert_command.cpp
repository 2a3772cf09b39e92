// invert [FILE] --layers N|auto [--error PERCENT] [--units ft|m] [--plot OUT]
// [--json] [--fit-shifts] [sheet options]: a layered model fitted to one
// sounding (any sheet `sounding` reads), its uncertainty and its fit, as CSV
// or one JSON object (see invert_output.cpp), and optionally its picture.
// Readings with an error of their own (an error column, or the spread of
// their repeats) are weighted by it, never by less than --error.
//
// Lines that make no reading are reported on stderr and skipped (exit 1),
// as `sounding` does; input that cannot be fitted at all is wrong usage
// (exit 2).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "cli/invert_output.h"
#include "cli/output.h"
#include "cli/sheet_input.h"
#include "cli/survey_options.h"
#include "inversion/inversion.h"
#include "plot/inversion_figure.h"
#include "sounding/forward.h"
#include "sounding/sounding.h"

namespace tavrin::cli {

namespace {

constexpr std::string_view kInvertUsage =
    "tavrin invert [FILE] --layers N|auto [--error PERCENT] [--units ft|m] [--plot OUT] [--json] "
    "[--fit-shifts] [--column ROLE=NAME]... [--drop LINE,...] [--join [--join-to MN2]]";
// --error is a percentage of each apparent resistivity.
constexpr double kLowestErrorPercent = 0.01;
constexpr double kHighestErrorPercent = 100;

struct InvertOptions {
  std::string path = "-";
  int layers = 0;  // 0: chosen by the information criterion
  bool layersGiven = false;
  double errorPercent = 100 * inversion::kDefaultRelativeError;
  std::optional<plot::LengthUnit> unit;
  std::string plot;
  bool json = false;
  bool fitShifts = false;
  SheetOptions sheet;
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
    if (TakeSheetOption(args, k, options.sheet)) {
      continue;
    } else if (argument == "--fit-shifts") {
      options.fitShifts = true;
    } else if (argument == "--layers") {
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
  CheckSheetOptions(options.sheet);
  if (options.fitShifts && options.sheet.join) {
    throw UsageError("--fit-shifts and --join exclude each other: fit the shifts, or join first");
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
  figure.unit = OutputUnit(options.unit, sounding);
  figure.data = &sounding;
  figure.model = &fit.model;
  figure.modelled = fit.modelled;
  // With fitted shifts each reading is drawn divided by its segment's shift,
  // onto the model's curve, and faintly where it was read.
  sounding::Sounding shifted;
  if (!fit.shifts.empty()) {
    shifted = sounding;
    for (std::size_t k = 0; k < shifted.readings.size(); ++k) {
      sounding::Reading& r = shifted.readings[k];
      const double shift = fit.shifts[static_cast<std::size_t>(r.segment)].value;
      r.rho /= shift;
      r.shift /= shift;
      figure.modelled[k] /= shift;
    }
    figure.data = &shifted;
  }
  for (const inversion::LayerEstimate& layer : fit.layers) {
    figure.resistivityFactors.push_back(layer.resistivity.factor);
  }
  figure.curve = FittedCurve(sounding, fit.model);
  WritePlot(plot::InversionFigure(figure), options.plot);
}

}  // namespace

int RunInvert(Args args) {
  const InvertOptions options = ParseOptions(args);
  const SheetInput input = ReadSheet(options.path, options.sheet, options.unit, "");
  const sounding::Sounding& sounding = input.sounding;
  const std::vector<inversion::Datum> data = inversion::DataOf(sounding.readings);
  inversion::Options fitOptions;
  fitOptions.relativeError = options.errorPercent / 100;
  fitOptions.fitShifts = options.fitShifts;
  InversionReport report;
  report.unit = OutputUnit(options.unit, sounding);
  report.errorPercent = options.errorPercent;
  report.segmentMn2.assign(static_cast<std::size_t>(sounding.segmentCount), NAN);
  for (const sounding::Reading& r : sounding.readings) {
    report.segmentMn2[static_cast<std::size_t>(r.segment)] = r.mn2;
  }
  if (options.fitShifts) {
    if (sounding.segmentCount < 2) throw UsageError("--fit-shifts needs two MN/2 segments or more");
    // The reference is the segment of the largest MN/2, as for --join.
    for (std::size_t s = 0; s < report.segmentMn2.size(); ++s) {
      if (report.segmentMn2[s] >
          report.segmentMn2[static_cast<std::size_t>(fitOptions.referenceSegment)]) {
        fitOptions.referenceSegment = static_cast<int>(s);
      }
    }
  }
  if (sounding.hasErrors) {
    std::fprintf(stderr,
                 "tavrin: note: readings weighted by their own errors, none by less than %g %%\n",
                 options.errorPercent);
  }
  try {
    if (options.layers == 0) {
      inversion::LayerChoice choice = inversion::InvertChoosingLayers(data, fitOptions);
      if (choice.trials.empty()) throw inversion::InversionError("no readings to fit");
      report.fit = std::move(choice.best);
      report.trials = std::move(choice.trials);
    } else {
      fitOptions.layers = options.layers;
      report.fit = inversion::Invert(data, fitOptions);
    }
  } catch (const inversion::InversionError& e) {
    throw UsageError(e.what());
  }
  report.readings = static_cast<int>(data.size());
  if (!options.plot.empty()) WriteFigure(options, sounding, report.fit);
  WriteLine(stdout, options.json ? InversionJson(report) : InversionCsv(report));
  return input.skipped == 0 ? kExitOk : kExitSkippedLines;
}

}  // namespace tavrin::cli
