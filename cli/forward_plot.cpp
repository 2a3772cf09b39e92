// The forward command's plot: the model's curve sampled densely on a log
// scale, the sounding's readings per MN/2 segment, the step profile.
#include "cli/forward_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "cli/args.h"
#include "cli/sheet_input.h"
#include "cli/survey_options.h"
#include "sounding/forward.h"
#include "sounding/sounding.h"

namespace tavrin::cli {

namespace {

constexpr int kCurvePointsPerDecade = 40;
// A finite array's curve starts this much above its MN/2 (AB/2 > MN/2).
constexpr double kFiniteStart = 1.05;

// The curve's points from `low` to `high`, log-spaced.
std::vector<plot::Point> ModelCurve(const sounding::LayeredModel& model, double mn2, double low,
                                    double high) {
  std::vector<plot::Point> points;
  if (mn2 > 0) low = std::max(low, mn2 * kFiniteStart);
  if (!(low > 0) || !(high >= low)) return points;
  const double decades = std::log10(high / low);
  const int steps = std::max(1, static_cast<int>(std::ceil(decades * kCurvePointsPerDecade)));
  for (int k = 0; k <= steps; ++k) {
    const double ab2 = low * std::pow(10.0, decades * k / steps);
    points.push_back({ab2, sounding::ApparentResistivity(model, ab2, mn2)});
  }
  return points;
}

}  // namespace

int WriteForwardPlot(const ForwardPlotRequest& request) {
  sounding::Sounding data;
  int skipped = 0;
  double low = INFINITY;
  double high = -INFINITY;
  for (const double ab2 : request.ab2) {
    low = std::min(low, ab2);
    high = std::max(high, ab2);
  }
  if (!request.dataPath.empty()) {
    SheetInput input = ReadSheet(request.dataPath, request.sheet, request.unit);
    data = std::move(input.sounding);
    skipped = input.skipped;
    for (const sounding::Reading& r : data.readings) {
      low = std::min(low, r.ab2);
      high = std::max(high, r.ab2);
    }
  }
  plot::SoundingFigureInput figure;
  figure.unit = request.unit.value_or(data.unit.value_or(plot::LengthUnit::kFeet));
  figure.model = request.model;
  if (!request.dataPath.empty()) figure.data = &data;
  for (const sounding::Reading& r : data.dropped) figure.dropped.push_back(&r);
  figure.curves.push_back({"model", ModelCurve(*request.model, request.mn2, low, high)});
  WritePlot(plot::SoundingFigure(figure), request.plotPath);
  return skipped;
}

}  // namespace tavrin::cli
