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
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/sheet_input.h"
#include "cli/survey_options.h"
#include "plot/sounding_figure.h"
#include "sounding/sounding.h"

namespace tavrin::cli {

namespace {

struct SoundingArguments {
  std::string path = "-";
  std::string units;  // empty: not given
  std::string plot;   // empty: no plot
  SheetArguments sheet;
};

}  // namespace

CommandRun DeclareSounding(CLI::App& app) {
  app.description(
      "One sounding's field sheet read: each reading's AB/2, MN/2, geometric factor K and\n"
      "apparent resistivity.");
  auto arguments = std::make_shared<SoundingArguments>();
  AddPositional(app, "FILE", arguments->path, "the field sheet (default, or \"-\": stdin)");
  AddValue(app, "--units", arguments->units, "ft|m",
           "the length unit (default: the sheet's, else ft)");
  AddValue(app, "--plot", arguments->plot, "OUT", "the sounding curve to OUT.svg, .png or .pdf");
  DeclareSheetOptions(app, arguments->sheet);
  app.footer(SheetHelp() +
             "\nOutput: CSV ab2,mn2,k,rho (mn2, k empty without MN/2), each MN/2 segment\n"
             "together, in input order; with repeats also repeats,spread (sample standard\n"
             "deviation over the mean); error where the sheet gives one; shift with --join.\n"
             "Skipped lines, warnings and notes on stderr (FILE:LINE: reason).\n" +
             std::string(kExitStatusHelp));
  return [arguments] {
    const SoundingArguments& a = *arguments;
    std::optional<plot::LengthUnit> unit;
    if (!a.units.empty()) unit = ParseUnits(a.units);
    if (!a.plot.empty()) CheckPlotPath(a.plot);
    const SheetInput input = ReadSheet(a.path, SheetOptionsOf(a.sheet), unit);
    const sounding::Sounding& sounding = input.sounding;
    if (!a.plot.empty()) {
      plot::SoundingFigureInput figure;
      figure.unit = OutputUnit(unit, sounding);
      figure.data = &sounding;
      for (const sounding::Reading& r : sounding.dropped) figure.dropped.push_back(&r);
      // The file's name, without its folders, titles the plot.
      if (a.path != "-") figure.title = a.path.substr(a.path.rfind('/') + 1);
      WritePlot(plot::SoundingFigure(figure), a.plot);
    }
    const std::string csv = SoundingCsv(sounding, input.join.has_value());
    std::fwrite(csv.data(), 1, csv.size(), stdout);
    return input.skipped == 0 ? kExitOk : kExitSkippedLines;
  };
}

}  // namespace tavrin::cli
