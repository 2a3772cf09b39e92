// The plot of the forward command: a model's apparent-resistivity curve,
// with a sounding's readings when one is given, beside the model's step
// profile.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "cli/sheet_input.h"
#include "plot/sounding_figure.h"
#include "sounding/layered_model.h"

namespace tavrin::cli {

struct ForwardPlotRequest {
  const sounding::LayeredModel* model = nullptr;
  double mn2 = 0;                        // the array of the curve: 0 ideal
  std::span<const double> ab2;           // the spacings asked for
  std::optional<plot::LengthUnit> unit;  // --units; else the sheet's, else ft
  std::string plotPath;                  // where to draw
  std::string dataPath;                  // a sounding to draw with it; empty: none
  SheetOptions sheet;                    // how to read it
};

// Draws the plot. The curve runs smoothly over the spacings asked for and the
// sounding's. Lines of the sounding that make no reading are reported on
// stderr; returns their count. Throws UsageError for a sounding that cannot
// be read or a plot that cannot be written.
int WriteForwardPlot(const ForwardPlotRequest& request);

}  // namespace tavrin::cli
