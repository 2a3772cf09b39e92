// invert [FILE] --layers N|auto [--error PERCENT] [--units ft|m] [--plot OUT]
// [--json] [--fit-shifts] [sheet options]: a layered model fitted to one
// sounding (any sheet `sounding` reads), its uncertainty and its fit, as CSV
// or one JSON object (see invert_output.cpp), and optionally its picture.
// Readings with an error of their own (an error column, or the spread of
// their repeats) are weighted by it, never by less than --error.
//
// Lines that make no reading are reported on stderr and skipped (exit 1),
// as `sounding` does; input that cannot be fitted at all, and a fit that
// stopped at its limit, end with exit status 4.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/invert_fit.h"
#include "cli/invert_output.h"
#include "cli/output.h"
#include "cli/sheet_input.h"
#include "cli/survey_options.h"
#include "inversion/inversion.h"
#include "plot/inversion_figure.h"
#include "sounding/forward.h"
#include "sounding/portable_math.h"
#include "sounding/sounding.h"

namespace tavrin::cli {

namespace {

// The options as given on the command line.
struct InvertArguments {
  std::string path = "-";
  std::string layers, error, units, plot, modelOut;
  bool json = false;
  bool fitShifts = false;
  SheetArguments sheet;
};

struct InvertOptions {
  std::string path = "-";
  int layers = 0;  // 0: chosen by the information criterion
  double errorPercent = 100 * inversion::kDefaultRelativeError;
  std::optional<plot::LengthUnit> unit;
  std::string plot;
  std::string modelOut;
  bool json = false;
  bool fitShifts = false;
  SheetOptions sheet;
};

InvertOptions OptionsOf(const InvertArguments& a) {
  InvertOptions options;
  options.path = a.path;
  options.layers = ParseLayers(a.layers);
  if (!a.error.empty()) options.errorPercent = ParseErrorPercent(a.error);
  if (!a.units.empty()) options.unit = ParseUnits(a.units);
  options.plot = a.plot;
  if (!options.plot.empty()) CheckPlotPath(options.plot);
  options.modelOut = a.modelOut;
  options.json = a.json;
  options.fitShifts = a.fitShifts;
  options.sheet = SheetOptionsOf(a.sheet);
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
      std::max(1, static_cast<int>(std::ceil(sounding::Log10(high / low) * kCurvePointsPerDecade)));
  plot::ModelCurve curve{"fitted model", {}};
  for (int k = 0; k <= steps; ++k) {
    const double ab2 = low * sounding::Pow(high / low, static_cast<double>(k) / steps);
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
  figure.chi2PerDof = fit.chi2PerDof;
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

// The fitted model in the format forward --model reads: one layer a line,
// resistivity and thickness with every digit, the half-space's thickness
// empty.
void WriteModelFile(const sounding::LayeredModel& model, const std::string& path) {
  std::string text = "rho,thickness\n";
  for (std::size_t j = 0; j < model.resistivity.size(); ++j) {
    text += ShortestText(model.resistivity[j]) + ',';
    if (j < model.thickness.size()) text += ShortestText(model.thickness[j]);
    text += '\n';
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  const bool written =
      file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (file != nullptr && std::fclose(file) != 0)
    throw CommandError(kExitUsage, "could not write '" + path + "'");
  if (!written) throw CommandError(kExitUsage, "cannot write the model to '" + path + "'");
}

int Run(const InvertOptions& options) {
  const SheetInput input = ReadSheet(options.path, options.sheet, options.unit);
  const sounding::Sounding& sounding = input.sounding;
  const std::string name = InputName(options.path);
  const FitSettings settings{options.layers, options.errorPercent,
                             OutputUnit(options.unit, sounding), options.fitShifts};
  CheckShiftsFittable(sounding, settings, name);
  if (const auto note = WeightNote(sounding, settings)) {
    std::fprintf(stderr, "tavrin: %s\n", note->c_str());
  }
  const InversionReport report = FitSounding(sounding, settings, name);
  if (!options.plot.empty()) WriteFigure(options, sounding, report.fit);
  if (!options.modelOut.empty()) WriteModelFile(report.fit.model, options.modelOut);
  WriteLine(stdout, options.json ? InversionJson(report) : InversionCsv(report));
  // A fit stopped at its limit is written, but it is no result to rely on.
  if (const auto line = NotConvergedLine(report, name)) {
    std::fprintf(stderr, "tavrin: %s\n", line->c_str());
    return kExitNotComputable;
  }
  return input.skipped == 0 ? kExitOk : kExitSkippedLines;
}

}  // namespace

CommandRun DeclareInvert(CLI::App& app) {
  app.description(
      "A model of N horizontal layers (1 to 8, the last a half-space) fitted to one\n"
      "sounding (any sheet sounding reads) by Levenberg-Marquardt on ln rho and ln h\n"
      "from several starts read off the curve, each reading weighted by its own error\n"
      "(an error column, or the spread of its repeats), never by less than --error.\n"
      "Readings with MN/2 above 1 % of AB/2 are modelled as that finite array.");
  auto a = std::make_shared<InvertArguments>();
  AddPositional(app, "FILE", a->path, "the field sheet (default, or \"-\": stdin)");
  AddValue(app, "--layers", a->layers, "N|auto",
           "the number of layers, or auto: 1 to 6 tried, the fewest within 2 of the\n"
           "least BIC = chi2 + P ln n (the table of trials is written too)")
      ->required();
  AddValue(app, "--error", a->error, "PERCENT", "the data's relative error (default 3)");
  AddFlag(app, "--fit-shifts", a->fitShifts,
          "fit one factor per MN/2 segment with the layers (the largest MN/2's is 1)");
  AddValue(app, "--units", a->units, "ft|m", "the length unit (default: the sheet's, else ft)");
  AddFlag(app, "--json", a->json, "one JSON object instead of the CSV sections");
  AddValue(app, "--model-out", a->modelOut, "FILE",
           "the fitted model to FILE in the format forward --model reads");
  AddValue(app, "--plot", a->plot, "OUT",
           "data, fitted curve, residuals and the model with its uncertainty to OUT.svg,\n"
           ".png or .pdf");
  DeclareSheetOptions(app, a->sheet);
  app.footer(
      "Output: CSV sections, each with its header, a blank line between them:\n"
      "  layers,parameters,chi2,chi2_per_dof,rms_percent,bic,chosen   (--layers auto)\n"
      "  layer,rho,rho_factor,thickness,thickness_factor,top,top_factor\n"
      "  rms_percent,chi2_per_dof,dof,readings,iterations,starts,error_percent\n"
      "  segment,mn2,shift,shift_factor                               (--fit-shifts)\n"
      "  reading,ab2,mn2,observed,modelled,residual_percent\n"
      "  warning                                                      (when any)\n"
      "A factor is exp of the log standard deviation (the value is within x/ factor at\n"
      "one sigma); \"unresolved\" where the data do not bound the value. residual_percent\n"
      "is 100 (observed - modelled) / observed. Warnings: a poor fit, unresolved values,\n"
      "only h/rho or h*rho resolved, not converged. --json: the same as one object.\n"
      "The field sheet and its options: see 'tavrin sounding --help'.\n" +
      std::string(kExitStatusHelp) +
      "A fit that did not converge is written, with exit status 4.\n");
  return [a] { return Run(OptionsOf(*a)); };
}

}  // namespace tavrin::cli
