// The invert command's output: the fitted layers with their uncertainty, the
// fit, the layer-count trials when the count was chosen, and the warnings,
// as CSV sections or as one JSON object.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "inversion/inversion.h"
#include "plot/sounding_figure.h"

namespace tavrin::cli {

struct InversionReport {
  inversion::Fit fit;
  std::vector<inversion::LayerTrial> trials;  // empty when --layers N was given
  plot::LengthUnit unit = plot::LengthUnit::kFeet;
  double errorPercent = 0;
  int readings = 0;
  std::vector<double> segmentMn2;      // each segment's MN/2, for fitted shifts
  std::vector<inversion::Datum> data;  // the readings fitted, as fit.modelled
};

// A number as both outputs write it: six significant digits, "" for NaN.
std::string OutputNumber(double value);
// A factor as both outputs write it: its number, or "unresolved" where the
// data do not bound the value.
std::string OutputFactor(const inversion::Estimate& estimate);
// The name of a warning's kind in the JSON output ("poor_fit", ...).
std::string_view WarningKindName(inversion::WarningKind kind);

// CSV: sections separated by a blank line, each with its own header:
//   [layers,parameters,chi2,chi2_per_dof,rms_percent,bic,chosen]  (auto only)
//   layer,rho,rho_factor,thickness,thickness_factor,top,top_factor
//   rms_percent,chi2_per_dof,dof,readings,iterations,starts,error_percent
//   segment,mn2,shift,shift_factor                       (fitted shifts only)
//   reading,ab2,mn2,observed,modelled,residual_percent
//   warning                                                       (if any)
// Without the final line feed.
std::string InversionCsv(const InversionReport& report);

// The same as one JSON object, without the final line feed.
std::string InversionJson(const InversionReport& report);

// A reading's residual in percent, 100 (observed - modelled) / observed,
// whose RMS is a fit's rms_percent.
double ResidualPercent(double observed, double modelled);

}  // namespace tavrin::cli
