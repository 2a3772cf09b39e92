// The invert command's fit of a sounding that has been read: the data, the
// weighting, the layer count given or chosen, and the report its output is
// written from. The tool and the web interface fit through this alone.
#pragma once

#include <optional>
#include <string>

#include "cli/invert_output.h"
#include "inversion/inversion.h"
#include "sounding/sounding.h"

namespace tavrin::cli {

// --error is a percentage of each apparent resistivity.
inline constexpr double kLowestErrorPercent = 0.01;
inline constexpr double kHighestErrorPercent = 100;

// --layers N|auto: 1 to inversion::kMaxLayers, or 0 for auto; throws
// UsageError otherwise (and when `text` is empty: the option is required).
int ParseLayers(const std::string& text);

// --error PERCENT, from 0.01 to 100; throws UsageError otherwise.
double ParseErrorPercent(const std::string& text);

struct FitSettings {
  int layers = 0;  // 0: chosen by the information criterion
  double errorPercent = 100 * inversion::kDefaultRelativeError;
  plot::LengthUnit unit = plot::LengthUnit::kFeet;  // the output's
  bool fitShifts = false;
};

// Throws ComputeError when shifts are to be fitted to fewer than two MN/2
// segments.
void CheckShiftsFittable(const sounding::Sounding& sounding, const FitSettings& settings,
                         const std::string& name);

// The fit of `sounding` (reported by `name`), CheckShiftsFittable first. Throws ComputeError naming
// `name` when it cannot be fitted. The note that readings are weighted by
// their own errors, when they are, is WeightNote's.
InversionReport FitSounding(const sounding::Sounding& sounding, const FitSettings& settings,
                            const std::string& name);

// "readings weighted by their own errors, none by less than E %" when the
// sounding has errors of its own; nothing otherwise.
std::optional<std::string> WeightNote(const sounding::Sounding& sounding,
                                      const FitSettings& settings);

// The line that says the fit stopped at its limit (NAME: warning text), when
// it did: a result written, but not one to rely on (exit status 4).
std::optional<std::string> NotConvergedLine(const InversionReport& report, const std::string& name);

}  // namespace tavrin::cli
