// profile FILE... [--layers N|auto] [--lateral WEIGHT] [--error PERCENT]
// [--join] [--units ft|m] [--stations LIST] [--plot-pseudo OUT]
// [--plot-section OUT] [--json]: the soundings of a
// line fitted together, each with the same number of layers, neighbours
// held alike by the lateral constraint (inversion/lateral.h), written as
// CSV or one JSON object (profile_output.cpp).
//
// Lines and soundings that cannot be read are reported on stderr and left
// out (exit 1); a profile that cannot be fitted, and a fit that stopped at
// its limit, end with exit status 4.
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "cli/profile_input.h"
#include "cli/profile_output.h"
#include "cli/profile_plots.h"
#include "cli/survey_options.h"
#include "inversion/lateral.h"

namespace tavrin::cli {

namespace {

constexpr double kLowestErrorPercent = 0.01;  // as invert
constexpr double kHighestErrorPercent = 100;
constexpr double kDefaultLateral = 10;

struct ProfileArguments {
  std::vector<std::string> files;
  std::string layers = "auto", lateral, error, units, stations, plotPseudo, plotSection;
  bool join = false;
  bool json = false;
};

struct ProfileOptions {
  ProfileReadOptions read;
  int layers = 0;  // 0: chosen by the information criterion
  double lateral = kDefaultLateral;
  double errorPercent = 100 * inversion::kDefaultRelativeError;
  bool json = false;
  std::string plotPseudo, plotSection;
};

ProfileOptions OptionsOf(const ProfileArguments& a) {
  ProfileOptions options;
  if (a.files.empty()) throw UsageError("the soundings' files are needed");
  options.read.files = a.files;
  options.read.stationList = a.stations;
  options.read.sheet.join = a.join;
  options.layers =
      a.layers == "auto" ? 0 : ParseIntArgument(a.layers, 1, inversion::kMaxLayers, "--layers");
  if (!a.lateral.empty()) {
    options.lateral = ParseDoubleArgument(a.lateral, "--lateral");
    if (!(options.lateral >= 0) || !std::isfinite(options.lateral)) {
      throw UsageError("--lateral '" + a.lateral + "' must be a finite number, 0 or above");
    }
  }
  if (!a.error.empty()) {
    options.errorPercent = ParseDoubleArgument(a.error, "--error");
    if (!(options.errorPercent >= kLowestErrorPercent &&
          options.errorPercent <= kHighestErrorPercent)) {
      throw UsageError("--error '" + a.error + "' must be a percentage from 0.01 to 100");
    }
  }
  if (!a.units.empty()) options.read.unit = ParseUnits(a.units);
  options.json = a.json;
  options.plotPseudo = a.plotPseudo;
  options.plotSection = a.plotSection;
  for (const std::string* plot : {&options.plotPseudo, &options.plotSection}) {
    if (!plot->empty()) CheckPlotPath(*plot);
  }
  return options;
}

int Run(const ProfileOptions& options) {
  const ProfileInput input = ReadProfile(options.read);
  std::vector<inversion::Station> stations;
  for (const ProfileSounding& s : input.soundings) {
    stations.push_back({s.x, inversion::DataOf(s.sounding.readings)});
  }
  inversion::LateralOptions fitOptions;
  fitOptions.fit.relativeError = options.errorPercent / 100;
  fitOptions.fit.layers = options.layers;
  fitOptions.lateral = options.lateral;
  ProfileReport report;
  report.input = &input;
  report.lateral = options.lateral;
  report.errorPercent = options.errorPercent;
  report.unit = input.unit.value_or(sounding::LengthUnit::kFeet);
  try {
    if (options.layers == 0) {
      inversion::LateralChoice choice =
          inversion::InvertLaterallyChoosingLayers(stations, fitOptions);
      report.fit = std::move(choice.best);
      report.trials = std::move(choice.trials);
    } else {
      report.fit = inversion::InvertLaterally(stations, fitOptions);
    }
  } catch (const inversion::InversionError& e) {
    throw ComputeError(e.what());
  }
  for (std::size_t k = 0; k < input.soundings.size(); ++k) {
    for (const inversion::Warning& w : report.fit.fits[k].warnings) {
      std::fprintf(stderr, "tavrin: %s: station %s: warning: %s\n", input.soundings[k].file.c_str(),
                   input.soundings[k].label.c_str(), w.text.c_str());
    }
  }
  if (!options.plotPseudo.empty()) WriteProfilePseudoSection(report, options.plotPseudo);
  if (!options.plotSection.empty()) WriteProfileSection(report, options.plotSection);
  WriteLine(stdout, options.json ? ProfileJson(report) : ProfileCsv(report));
  if (!report.fit.converged) return kExitNotComputable;
  return input.skipped == 0 ? kExitOk : kExitSkippedLines;
}

}  // namespace

CommandRun DeclareProfile(CLI::App& app) {
  app.description(
      "The soundings of a line fitted together (laterally constrained inversion): every\n"
      "sounding the same number of layers, its data weighted as invert weighs them,\n"
      "and neighbours held alike by a penalty on the differences of their log\n"
      "resistivities and of the logs of their depths to each boundary. Each sounding\n"
      "starts from its own fit (as invert's); with --lateral 0 the result is those fits.");
  auto a = std::make_shared<ProfileArguments>();
  AddPositionals(app, "FILE", a->files,
                 "one sheet with a station (or x) column, its lines grouped by station;\n"
                 "or one sounding a sheet, placed by lines above its header ('# x: 120',\n"
                 "'# elevation: 342.5', '# station: VES-4') or by --stations");
  AddValue(app, "--layers", a->layers, "N|auto",
           "the number of layers of every sounding (1 to 8), or auto (the default):\n"
           "1 to 6 tried, the fewest within 2 of the least BIC summed over soundings");
  AddValue(app, "--lateral", a->lateral, "WEIGHT",
           "the lateral constraint's weight (default 10; 0: the soundings apart): with\n"
           "evenly spaced stations a log difference of 1/WEIGHT between neighbours\n"
           "costs as much as one reading off by its error; a pair dx apart is held by\n"
           "WEIGHT * mean dx / dx");
  AddValue(app, "--error", a->error, "PERCENT", "the data's relative error (default 3)");
  AddFlag(app, "--join", a->join, "join each sounding's MN/2 segments, as sounding --join does");
  AddValue(app, "--units", a->units, "ft|m", "the length unit (default: the sheets', else ft)");
  AddValue(app, "--stations", a->stations, "LIST",
           "a file of lines 'FILE,x[,elevation]' placing each sheet");
  AddFlag(app, "--json", a->json, "one JSON object instead of the CSV sections");
  AddValue(app, "--plot-pseudo", a->plotPseudo, "OUT",
           "the pseudo-section (observed, modelled, misfit by x and AB/2) to OUT.svg,\n"
           ".png or .pdf");
  AddValue(app, "--plot-section", a->plotSection, "OUT",
           "the fitted layers side by side by x and depth (or elevation), shaded below\n"
           "the depth each sounding resolves, to OUT.svg, .png or .pdf");
  app.footer(
      "Positions are distances along the line in the sheets' length unit; the\n"
      "soundings are ordered by x. A sheet with a station column: columns station\n"
      "(a name or a number), x (when the station is a name), elevation (or z), y.\n"
      "Output: CSV sections, each with its header, a blank line between them:\n"
      "  layers,parameters,chi2,chi2_per_dof,rms_percent,bic,chosen   (--layers auto)\n"
      "  station,x,elevation,layer,rho,rho_factor,thickness,thickness_factor,\n"
      "    depth_top,elevation_top                   (one line per sounding and layer)\n"
      "  station,readings,rms_percent,chi2           (one line per sounding)\n"
      "  soundings,readings,rms_percent,chi2,chi2_per_dof,iterations,lateral,error_percent\n"
      "A factor is exp of the log standard deviation from the joint covariance\n"
      "(\"unresolved\" where the data and neighbours do not bound the value);\n"
      "elevation_top is the elevation less depth_top (empty without elevations).\n"
      "Warnings, per sounding, on stderr as FILE: station S: warning: ...\n"
      "--json: the same as one object. The sheets: see 'tavrin sounding --help'.\n" +
      std::string(kExitStatusHelp) +
      "Fewer than two soundings, two at the same x, soundings in different length\n"
      "units: status 2; a sounding that cannot be read is left out (status 1, or 3\n"
      "when none remains). A joint fit that did not converge is written, status 4.\n");
  return [a] { return Run(OptionsOf(*a)); };
}

}  // namespace tavrin::cli
