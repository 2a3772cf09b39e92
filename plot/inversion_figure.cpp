// The inversion figure: the sounding panel (readings and fitted curve) over
// a residual panel on the same AB/2 axis, beside the model's step profile
// whose band spans each layer's resistivity divided and multiplied by its
// uncertainty factor.
#include "plot/inversion_figure.h"

#include <algorithm>
#include <cmath>

namespace tavrin::plot {

namespace {

// The curve panel is this many times as tall as the residual panel, and the
// left column this many times as wide as the profile.
constexpr double kCurvePanelHeight = 3;
constexpr double kCurveColumnWidth = 2.1;

// Residuals (data over model, less 1) in percent, per MN/2 segment, with the
// zero line.
Panel ResidualPanel(const InversionFigureInput& input, const Axis& spacing) {
  Panel panel;
  panel.x = spacing;
  panel.y.title = "Residual (%)";
  panel.y.scale = Scale::kLinear;
  panel.markers.resize(static_cast<std::size_t>(input.data->segmentCount));
  const std::vector<sounding::Reading>& readings = input.data->readings;
  for (std::size_t i = 0; i < readings.size() && i < input.modelled.size(); ++i) {
    const sounding::Reading& r = readings[i];
    panel.markers[static_cast<std::size_t>(r.segment)].points.push_back(
        {r.ab2, 100 * (r.rho / input.modelled[i] - 1)});
  }
  panel.lines.push_back({"", {{spacing.min, 0}, {spacing.max, 0}}});
  return panel;
}

}  // namespace

Figure InversionFigure(const InversionFigureInput& input) {
  SoundingFigureInput base;
  base.title = input.title;
  base.unit = input.unit;
  base.data = input.data;
  if (input.data != nullptr) {
    for (const sounding::Reading& r : input.data->dropped) base.dropped.push_back(&r);
  }
  base.curves.push_back(input.curve);
  base.model = input.model;

  Panel curves = SoundingCurvePanel(base);
  curves.height = kCurvePanelHeight;
  // Both left panels share the AB/2 range of the readings and the curve.
  double low = INFINITY, high = -INFINITY;
  for (const sounding::Reading& r : input.data->readings) {
    low = std::min(low, r.ab2);
    high = std::max(high, r.ab2);
  }
  const Range spacings = AxisRange(curves.x, low, high);
  curves.x.min = spacings.min;
  curves.x.max = spacings.max;
  Panel residuals = ResidualPanel(input, curves.x);

  Figure figure = SoundingFigure(base);
  figure.columns.front().width = kCurveColumnWidth;
  figure.columns.front().panels = {std::move(curves), std::move(residuals)};
  if (figure.columns.size() > 1 && !figure.columns[1].panels.front().steps.empty()) {
    StepSeries& steps = figure.columns[1].panels.front().steps.front();
    for (std::size_t k = 0; k < steps.values.size() && k < input.resistivityFactors.size(); ++k) {
      steps.bandLow.push_back(steps.values[k] / input.resistivityFactors[k]);
      steps.bandHigh.push_back(steps.values[k] * input.resistivityFactors[k]);
    }
  }
  return figure;
}

}  // namespace tavrin::plot
