// Axis ranges and tick marks: whole decades with minor ticks at 2..9 times
// each decade on log axes, round steps of 1, 2 or 5 times a power of ten on
// linear ones.
#pragma once

#include <string>
#include <vector>

#include "plot/figure.h"

namespace tavrin::plot {

struct Range {
  double min;
  double max;
};

struct Tick {
  double value;
  bool major;            // labelled, with a grid line
  std::string label;     // empty for minor ticks; "10" when `exponent` is set
  std::string exponent;  // a power of ten's exponent, drawn raised; else empty
};

// The axis' range: its own min and max where set, else the data's extent
// [low, high] widened to whole decades (at least one) or round ticks. Data
// with no extent (low > high) gives 1 to 10 (log) or 0 to 1 (linear).
Range AxisRange(const Axis& axis, double low, double high);

// The ticks of an axis over `range`, from its start to its end.
std::vector<Tick> AxisTicks(Scale scale, Range range);

}  // namespace tavrin::plot
