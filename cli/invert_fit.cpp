// Fitting a read sounding as the invert command does.
#include "cli/invert_fit.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "cli/args.h"

namespace tavrin::cli {

int ParseLayers(const std::string& text) {
  if (text.empty()) throw UsageError("--layers N (1 to 8) or --layers auto is needed");
  return text == "auto" ? 0 : ParseIntArgument(text, 1, inversion::kMaxLayers, "--layers");
}

double ParseErrorPercent(const std::string& text) {
  const double percent = ParseDoubleArgument(text, "--error");
  if (!(percent >= kLowestErrorPercent && percent <= kHighestErrorPercent)) {
    throw UsageError("--error '" + text + "' must be a percentage from 0.01 to 100");
  }
  return percent;
}

void CheckShiftsFittable(const sounding::Sounding& sounding, const FitSettings& settings,
                         const std::string& name) {
  if (settings.fitShifts && sounding.segmentCount < 2) {
    throw ComputeError(name + ": --fit-shifts needs two MN/2 segments or more");
  }
}

InversionReport FitSounding(const sounding::Sounding& sounding, const FitSettings& settings,
                            const std::string& name) {
  const std::vector<inversion::Datum> data = inversion::DataOf(sounding.readings);
  inversion::Options fitOptions;
  fitOptions.relativeError = settings.errorPercent / 100;
  fitOptions.fitShifts = settings.fitShifts;
  InversionReport report;
  report.unit = settings.unit;
  report.errorPercent = settings.errorPercent;
  report.segmentMn2.assign(static_cast<std::size_t>(sounding.segmentCount), NAN);
  for (const sounding::Reading& r : sounding.readings) {
    report.segmentMn2[static_cast<std::size_t>(r.segment)] = r.mn2;
  }
  CheckShiftsFittable(sounding, settings, name);
  if (settings.fitShifts) {
    // The reference is the segment of the largest MN/2, as for --join.
    for (std::size_t s = 0; s < report.segmentMn2.size(); ++s) {
      if (report.segmentMn2[s] >
          report.segmentMn2[static_cast<std::size_t>(fitOptions.referenceSegment)]) {
        fitOptions.referenceSegment = static_cast<int>(s);
      }
    }
  }
  try {
    if (settings.layers == 0) {
      inversion::LayerChoice choice = inversion::InvertChoosingLayers(data, fitOptions);
      if (choice.trials.empty()) throw inversion::InversionError("no readings to fit");
      report.fit = std::move(choice.best);
      report.trials = std::move(choice.trials);
    } else {
      fitOptions.layers = settings.layers;
      report.fit = inversion::Invert(data, fitOptions);
    }
  } catch (const inversion::InversionError& e) {
    throw ComputeError(name + ": " + e.what());
  }
  report.readings = static_cast<int>(data.size());
  report.data = data;
  return report;
}

std::optional<std::string> WeightNote(const sounding::Sounding& sounding,
                                      const FitSettings& settings) {
  if (!sounding.hasErrors) return std::nullopt;
  char text[128];
  std::snprintf(text, sizeof text,
                "note: readings weighted by their own errors, none by less than %g %%",
                settings.errorPercent);
  return std::string(text);
}

std::optional<std::string> NotConvergedLine(const InversionReport& report,
                                            const std::string& name) {
  for (const inversion::Warning& w : report.fit.warnings) {
    if (w.kind == inversion::WarningKind::kNotConverged) return name + ": " + w.text;
  }
  return std::nullopt;
}

}  // namespace tavrin::cli
