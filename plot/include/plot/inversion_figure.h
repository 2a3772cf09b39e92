// The figure of an inversion: the readings with the fitted model's curve
// and a note of the fit (layers, RMS misfit, chi-squared per degree of
// freedom), their residuals in a panel below, and the fitted model as a
// step profile with its uncertainty band beside them, down to a little below
// the depth the readings resolve.
#pragma once

#include <limits>
#include <vector>

#include "plot/figure.h"
#include "plot/sounding_figure.h"
#include "sounding/layered_model.h"
#include "sounding/sounding.h"

namespace tavrin::plot {

struct InversionFigureInput {
  std::string title;
  LengthUnit unit = LengthUnit::kFeet;
  const sounding::Sounding* data = nullptr;       // the readings fitted
  std::vector<double> modelled;                   // the model at each reading, in their order
  ModelCurve curve;                               // the model's curve across the readings
  const sounding::LayeredModel* model = nullptr;  // the fitted model
  std::vector<double> resistivityFactors;         // each layer's uncertainty factor
  // The fit's chi-squared per degree of freedom; not noted when NaN (as
  // when the fit has no degree of freedom).
  double chi2PerDof = std::numeric_limits<double>::quiet_NaN();
};

// The depth the readings resolve: kResolvedDepthShare of the widest AB/2
// fitted. A Schlumberger sounding's depth of investigation is by the common
// rule of thumb a half to a third of its widest AB/2; the figure takes the
// deeper end.
inline constexpr double kResolvedDepthShare = 0.5;
// The depth axis ends this many times the deeper of the resolved depth and
// the model's deepest boundary, so that the half-space shows below both.
inline constexpr double kDepthAxisMargin = 1.5;

Figure InversionFigure(const InversionFigureInput& input);

}  // namespace tavrin::plot
