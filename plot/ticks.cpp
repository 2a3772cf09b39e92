// Axis ranges and ticks.
#include "plot/ticks.h"

#include <cmath>
#include <cstdio>

namespace tavrin::plot {

namespace {

// Decades from 10^kPlainLow to 10^kPlainHigh are labelled as plain numbers
// (0.001, ..., 100000); the others as powers of ten.
constexpr int kPlainLow = -3;
constexpr int kPlainHigh = 5;
// Linear axes aim at about this many intervals.
constexpr double kLinearIntervals = 5;

std::string DecimalText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

Tick DecadeTick(int exponent) {
  const double value = std::pow(10.0, exponent);
  if (exponent >= kPlainLow && exponent <= kPlainHigh) return {value, true, DecimalText(value), {}};
  return {value, true, "10", std::to_string(exponent)};
}

// 1, 2 or 5 times a power of ten, the least not below `rough`.
double RoundStep(double rough) {
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (const double m : {1.0, 2.0, 5.0}) {
    if (m * power >= rough * (1 - 1e-9)) return m * power;
  }
  return 10 * power;
}

}  // namespace

Range AxisRange(const Axis& axis, double low, double high) {
  Range range{};
  if (axis.scale == Scale::kLog) {
    if (!(low <= high) || !(low > 0)) {
      low = 1;
      high = 10;
    }
    range.min = std::pow(10.0, std::floor(std::log10(low) + 1e-9));
    range.max = std::pow(10.0, std::ceil(std::log10(high) - 1e-9));
    if (range.max <= range.min) range.max = range.min * 10;
  } else {
    if (!(low <= high)) {
      low = 0;
      high = 1;
    }
    if (low == high) {
      low -= 1;
      high += 1;
    }
    const double step = RoundStep((high - low) / kLinearIntervals);
    range.min = std::floor(low / step + 1e-9) * step;
    range.max = std::ceil(high / step - 1e-9) * step;
  }
  if (!std::isnan(axis.min)) range.min = axis.min;
  if (!std::isnan(axis.max)) range.max = axis.max;
  return range;
}

std::vector<Tick> AxisTicks(Scale scale, Range range) {
  std::vector<Tick> ticks;
  if (scale == Scale::kLog) {
    const int first = static_cast<int>(std::floor(std::log10(range.min) + 1e-9));
    const int last = static_cast<int>(std::ceil(std::log10(range.max) - 1e-9));
    for (int e = first; e <= last; ++e) {
      const double decade = std::pow(10.0, e);
      for (int m = 1; m <= 9; ++m) {
        const double value = m * decade;
        if (value < range.min * (1 - 1e-9) || value > range.max * (1 + 1e-9)) continue;
        ticks.push_back(m == 1 ? DecadeTick(e) : Tick{value, false, {}, {}});
      }
    }
    return ticks;
  }
  const double step = RoundStep((range.max - range.min) / kLinearIntervals);
  for (double k = std::ceil(range.min / step - 1e-9); k * step <= range.max + step * 1e-9; ++k) {
    const double value = k * step == 0 ? 0.0 : k * step;  // no "-0"
    ticks.push_back({value, true, DecimalText(value), {}});
  }
  return ticks;
}

}  // namespace tavrin::plot
