// The figure of a sounding: apparent resistivity against AB/2 on log-log
// axes (each MN/2 segment with its own marker, joined readings also faintly
// where they were before, readings left out as grey crosses, model curves as
// lines) and,
// when there is a model, its resistivity-against-depth step profile in a
// second panel.
#pragma once

#include <string>
#include <vector>

#include "plot/figure.h"
#include "plot/ticks.h"
#include "sounding/layered_model.h"
#include "sounding/sounding.h"

namespace tavrin::plot {

// The length unit; it only names the axes (ohm-ft or ohm-m up).
using LengthUnit = sounding::LengthUnit;

struct ModelCurve {
  std::string label;
  std::vector<Point> points;  // (AB/2, apparent resistivity)
};

struct SoundingFigureInput {
  std::string title;
  LengthUnit unit = LengthUnit::kFeet;
  const sounding::Sounding* data = nullptr;       // the readings, if any
  std::vector<ModelCurve> curves;                 // model curves, if any
  const sounding::LayeredModel* model = nullptr;  // the step profile, if any
  std::vector<const sounding::Reading*> dropped;  // readings left out, if any
};

Figure SoundingFigure(const SoundingFigureInput& input);

// The panels on their own, for figures that add panels of their own.
Panel SoundingCurvePanel(const SoundingFigureInput& input);
Panel StepProfilePanel(const SoundingFigureInput& input, Range depths);

}  // namespace tavrin::plot
