// The sounding figure: the readings per MN/2 segment (joined ones also where
// they were before joining), the readings left out and the model curves on
// log-log axes, beside the model's step profile.
#include "plot/sounding_figure.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace tavrin::plot {

namespace {

// The sounding panel is this many times as wide as the profile panel.
constexpr double kCurveColumnWidth = 2.1;

const char* LengthName(LengthUnit unit) {
  return unit == LengthUnit::kFeet ? "ft" : "m";
}

std::string ResistivityTitle(const char* what, LengthUnit unit) {
  return std::string(what) + " (\u03A9\u00B7" + LengthName(unit) + ")";
}

std::string SegmentLabel(double mn2, LengthUnit unit) {
  if (std::isnan(mn2)) return "readings";
  char text[64];
  std::snprintf(text, sizeof text, "MN/2 = %g %s", mn2, LengthName(unit));
  return text;
}

// The AB/2 values of the readings and curves, as the depth panel's scale.
void AddSpacings(const SoundingFigureInput& input, double& low, double& high) {
  const auto add = [&](double v) {
    if (!(v > 0) || !std::isfinite(v)) return;
    low = std::min(low, v);
    high = std::max(high, v);
  };
  if (input.data != nullptr) {
    for (const sounding::Reading& r : input.data->readings) add(r.ab2);
  }
  for (const sounding::Reading* r : input.dropped) add(r->ab2);
  for (const ModelCurve& c : input.curves) {
    for (const Point& p : c.points) add(p.x);
  }
  if (input.model != nullptr) {
    double depth = 0;
    for (const double h : input.model->thickness) {
      depth += h;
      add(depth);
    }
  }
}

}  // namespace

Panel SoundingCurvePanel(const SoundingFigureInput& input) {
  Panel panel;
  panel.x.title = std::string("AB/2 (") + LengthName(input.unit) + ")";
  panel.y.title = ResistivityTitle("Apparent resistivity", input.unit);
  panel.equalDecades = true;
  if (input.data != nullptr) {
    const std::size_t segments = static_cast<std::size_t>(input.data->segmentCount);
    panel.markers.resize(segments);
    // A joined reading also faintly where it was, in its segment's marker;
    // one legend entry speaks for them all.
    std::vector<MarkerSeries> before(segments);
    for (const sounding::Reading& r : input.data->readings) {
      const std::size_t segment = static_cast<std::size_t>(r.segment);
      MarkerSeries& series = panel.markers[segment];
      if (series.points.empty()) series.label = SegmentLabel(r.mn2, input.unit);
      series.points.push_back({r.ab2, r.rho});
      if (r.shift != 1) before[segment].points.push_back({r.ab2, r.rho / r.shift});
    }
    bool labelled = false;
    for (std::size_t k = 0; k < segments; ++k) {
      if (before[k].points.empty()) continue;
      before[k].look = MarkerLook::kFaint;
      before[k].like = static_cast<int>(k);
      if (!labelled) before[k].label = "before joining";
      labelled = true;
      panel.markers.push_back(std::move(before[k]));
    }
  }
  if (!input.dropped.empty()) {
    MarkerSeries leftOut{"left out", {}, MarkerLook::kLeftOut};
    for (const sounding::Reading* r : input.dropped) leftOut.points.push_back({r->ab2, r->rho});
    panel.markers.push_back(std::move(leftOut));
  }
  for (const ModelCurve& c : input.curves) panel.lines.push_back({c.label, c.points});
  return panel;
}

Panel StepProfilePanel(const SoundingFigureInput& input, Range depths) {
  Panel panel;
  panel.x.title = ResistivityTitle("Resistivity", input.unit);
  panel.y.title = std::string("Depth (") + LengthName(input.unit) + ")";
  panel.y.reversed = true;
  panel.y.min = depths.min;
  panel.y.max = depths.max;
  if (input.model != nullptr) {
    StepSeries steps;
    steps.values = input.model->resistivity;
    double depth = 0;
    for (const double h : input.model->thickness) {
      depth += h;
      steps.boundaries.push_back(depth);
    }
    panel.steps.push_back(std::move(steps));
  }
  return panel;
}

Figure SoundingFigure(const SoundingFigureInput& input) {
  Figure figure;
  figure.title = input.title;
  Panel curves = SoundingCurvePanel(input);
  if (input.model == nullptr) {
    figure.columns.push_back({1, {std::move(curves)}});
    return figure;
  }
  // Depths on the same decades as the spacings, so that the two panels read
  // together; boundaries beyond them widen the range.
  double low = INFINITY;
  double high = -INFINITY;
  AddSpacings(input, low, high);
  Axis depthAxis;
  const Range depths = AxisRange(depthAxis, low, high);
  figure.columns.push_back({kCurveColumnWidth, {std::move(curves)}});
  figure.columns.push_back({1, {StepProfilePanel(input, depths)}});
  return figure;
}

}  // namespace tavrin::plot
