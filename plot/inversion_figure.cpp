// The inversion figure: the sounding panel (readings, fitted curve and a
// note of the fit) over a residual panel on the same AB/2 axis, beside the
// model's step profile whose band spans each layer's resistivity divided and
// multiplied by its uncertainty factor, its depths shaded below those the
// readings resolve.
#include "plot/inversion_figure.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tavrin::plot {

namespace {

// The curve panel is this many times as tall as the residual panel, and the
// left column this many times as wide as the profile.
constexpr double kCurvePanelHeight = 3;
constexpr double kCurveColumnWidth = 2.1;
constexpr const char* kUnresolvedLabel = "below the resolved depth";

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

// The fit's RMS misfit as the fit states it: the RMS of (model - reading) /
// reading over the readings, in percent; NaN without readings.
double RmsPercent(const InversionFigureInput& input) {
  const std::vector<sounding::Reading>& readings = input.data->readings;
  const std::size_t n = std::min(readings.size(), input.modelled.size());
  double sum = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double relative = (input.modelled[i] - readings[i].rho) / readings[i].rho;
    sum += relative * relative;
  }
  return n > 0 ? 100 * std::sqrt(sum / static_cast<double>(n)) : std::nan("");
}

std::string Significant(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3g", value);
  return text;
}

// A line each for the layer count, the RMS misfit and chi-squared per
// degree of freedom, those known.
std::vector<std::string> FitNotes(const InversionFigureInput& input) {
  std::vector<std::string> notes;
  if (input.model != nullptr) {
    const std::size_t layers = input.model->resistivity.size();
    notes.push_back(std::to_string(layers) + (layers == 1 ? " layer" : " layers"));
  }
  const double rms = RmsPercent(input);
  if (std::isfinite(rms)) notes.push_back("RMS misfit " + Significant(rms) + " %");
  if (std::isfinite(input.chi2PerDof)) {
    notes.push_back("\u03C7\u00B2/dof " + Significant(input.chi2PerDof));
  }
  return notes;
}

// The profile down to kDepthAxisMargin times the deeper of the resolved
// depth and the deepest boundary, from the decade at or above the shallowest
// of the narrowest AB/2, the first boundary and the resolved depth; the
// depths below the resolved one shaded.
Panel ModelPanel(const SoundingFigureInput& base, double narrowest, double widest) {
  const double resolved = kResolvedDepthShare * widest;
  double shallowest = std::min(narrowest, resolved);
  double deepest = resolved;
  double depth = 0;
  for (const double h : base.model->thickness) {
    depth += h;
    shallowest = std::min(shallowest, depth);
    deepest = std::max(deepest, depth);
  }
  const Range decade = AxisRange(Axis{}, shallowest, shallowest);
  Panel panel = StepProfilePanel(base, {decade.min, kDepthAxisMargin * deepest});
  panel.yBands.push_back({resolved, panel.y.max, kUnresolvedLabel});
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
  curves.notes = FitNotes(input);
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
    Panel& profile = figure.columns[1].panels.front();
    if (low <= high) profile = ModelPanel(base, low, high);
    StepSeries& steps = profile.steps.front();
    for (std::size_t k = 0; k < steps.values.size() && k < input.resistivityFactors.size(); ++k) {
      steps.bandLow.push_back(steps.values[k] / input.resistivityFactors[k]);
      steps.bandHigh.push_back(steps.values[k] * input.resistivityFactors[k]);
    }
  }
  return figure;
}

}  // namespace tavrin::plot
