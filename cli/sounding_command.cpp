// sounding [FILE] [--units ft|m] [--plot OUT] [sheet options]: one sounding's
// field sheet in, its apparent resistivities out as CSV, and optionally its
// plot.
//
// Output: ab2,mn2,k,rho per reading (mn2 and k empty where the layout has no
// MN/2), the readings of each MN/2 segment together, segments in order of
// first appearance, the input's order within each. When some reading
// averages repeated R columns, two more columns: repeats (the count) and
// spread (their sample standard deviation over their mean, empty for one);
// when some reading has an error of its own, an error column (relative);
// with --join, a shift column (each reading's joining factor).
// Lines that make no reading are reported on stderr and skipped (exit 1).
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "cli/output.h"
#include "cli/sheet_input.h"
#include "cli/survey_options.h"
#include "plot/sounding_figure.h"
#include "sounding/sounding.h"

namespace tavrin::cli {

namespace {

constexpr std::string_view kSoundingUsage =
    "tavrin sounding [FILE] [--units ft|m] [--plot OUT] [--column ROLE=NAME]... [--drop "
    "LINE,...] [--join [--join-to MN2]]";

struct SoundingOptions {
  std::string path = "-";
  std::optional<plot::LengthUnit> unit;
  std::string plot;  // empty: no plot
  SheetOptions sheet;
};

SoundingOptions ParseOptions(Args args) {
  SoundingOptions options;
  bool havePath = false;
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string_view argument(args[k]);
    const bool takesValue = argument == "--units" || argument == "--plot";
    if (takesValue && k + 1 == args.size()) {
      throw UsageError(std::string(argument) +
                       " needs a value; usage: " + std::string(kSoundingUsage));
    }
    if (TakeSheetOption(args, k, options.sheet)) {
      continue;
    } else if (argument == "--units") {
      options.unit = ParseUnits(args[++k]);
    } else if (argument == "--plot") {
      options.plot = args[++k];
      CheckPlotPath(options.plot);
    } else if (!havePath && (argument == "-" || !argument.starts_with("--"))) {
      options.path = argument;
      havePath = true;
    } else {
      throw UsageError("unexpected argument '" + std::string(argument) +
                       "'; usage: " + std::string(kSoundingUsage));
    }
  }
  CheckSheetOptions(options.sheet);
  return options;
}

void WriteReadings(const sounding::Sounding& sounding, bool joined) {
  std::string header = "ab2,mn2,k,rho";
  if (sounding.hasRepeats) header += ",repeats,spread";
  if (sounding.hasErrors) header += ",error";
  if (joined) header += ",shift";
  WriteLine(stdout, header);
  std::string row;
  for (const sounding::Reading& r : sounding.readings) {
    row = ShortestText(r.ab2) + ',' + ShortestText(r.mn2) + ',' + ShortestText(r.k) + ',' +
          ShortestText(r.rho);
    if (sounding.hasRepeats) {
      row += ',' + std::to_string(r.repeats) + ',' + ShortestText(r.spread);
    }
    if (sounding.hasErrors) row += ',' + ShortestText(r.error);
    if (joined) row += ',' + ShortestText(r.shift);
    WriteLine(stdout, row);
  }
}

}  // namespace

int RunSounding(Args args) {
  const SoundingOptions options = ParseOptions(args);
  const SheetInput input = ReadSheet(options.path, options.sheet, options.unit, "");
  const sounding::Sounding& sounding = input.sounding;
  if (!options.plot.empty()) {
    plot::SoundingFigureInput figure;
    figure.unit = OutputUnit(options.unit, sounding);
    figure.data = &sounding;
    for (const sounding::Reading& r : sounding.dropped) figure.dropped.push_back(&r);
    // The file's name, without its folders, titles the plot.
    if (options.path != "-") figure.title = options.path.substr(options.path.rfind('/') + 1);
    WritePlot(plot::SoundingFigure(figure), options.plot);
  }
  WriteReadings(sounding, input.join.has_value());
  return input.skipped == 0 ? kExitOk : kExitSkippedLines;
}

}  // namespace tavrin::cli
