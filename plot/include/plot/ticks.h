// Axis ranges and tick marks: whole decades with minor ticks at 2..9 times
// each decade on log axes, round steps of 1, 2 or 5 times a power of ten on
// linear ones, labelled only as densely as the labels fit side by side.
#pragma once

#include <functional>
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
  bool major;            // a long tick with a grid line
  std::string label;     // empty where none is drawn; "10" when `exponent` is set
  std::string exponent;  // a power of ten's exponent, drawn raised; else empty
};

// A label's length along its axis (its width on a horizontal axis, its
// height on a vertical one), in the unit of the axis' drawn length.
using LabelExtent = std::function<double(const Tick&)>;

// The least free space left between neighbouring labels, in that unit.
inline constexpr double kLabelGap = 4;

// The axis' range: its own min and max where set, else the data's extent
// [low, high] widened to whole decades (at least one) or round ticks. Data
// with no extent (low > high) gives 1 to 10 (log) or 0 to 1 (linear).
Range AxisRange(const Axis& axis, double low, double high);

// Where `value` lies along an axis over `range`: 0 at its min, 1 at its max;
// NaN where the scale has no place for it (log of <= 0).
double AxisFraction(Scale scale, Range range, double value);

// The ticks of an axis over `range`, from its start to its end, drawn
// `length` long. Labels are centred on their ticks and thinned (every
// second, third, ... decade; a coarser round step) until each pair of
// neighbours, `extent` long each, lies at least kLabelGap apart. A log axis
// with fewer than three decades in range also labels 2 and 5 times each
// decade where they fit, or, with fewer than two labels even so, round steps
// as a linear axis would.
std::vector<Tick> AxisTicks(Scale scale, Range range, double length, const LabelExtent& extent);

}  // namespace tavrin::plot
