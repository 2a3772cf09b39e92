// Axis ranges and ticks, labels thinned until neighbours do not touch.
#include "plot/ticks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tavrin::plot {

namespace {

// Decades from 10^kPlainLow to 10^kPlainHigh are labelled as plain numbers
// (0.001, ..., 100000); the others as powers of ten.
constexpr int kPlainLow = -3;
constexpr int kPlainHigh = 5;
// Linear axes aim at about this many intervals, or fewer where the labels
// need the room.
constexpr double kLinearIntervals = 5;
// A log axis with fewer decades in range than kFewDecades also labels 2 and
// 5 times each decade where they fit; with fewer labels than kFewestLabels
// even so, it is labelled as a linear axis.
constexpr std::size_t kFewDecades = 3;
constexpr std::size_t kFewestLabels = 2;
// A log axis whose decades are shorter than this has no ticks between them,
// and grid lines only at its labelled decades: the rest would grey it over.
constexpr double kShortestDetailedDecade = 20;
// Relative slack when asking whether a value lies on a tick or in a range.
constexpr double kSlack = 1e-9;
// A span of less than this share of its ends' size has no round steps that
// doubles can count.
constexpr double kFinestSpan = 1e-12;
// Tick labels have at most this many decimals: past it, a double's steps
// are no longer round.
constexpr int kMostDecimals = 17;

// `value` with up to `decimals` digits after the point, trailing zeros
// dropped ("1", not "1.0"), never "-0".
std::string DecimalText(double value, int decimals) {
  if (value == 0) value = 0;  // turns -0 into 0
  decimals = std::clamp(decimals, 0, kMostDecimals);
  const int size = std::snprintf(nullptr, 0, "%.*f", decimals, value);
  std::string text(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
  text.pop_back();
  if (text.find('.') != std::string::npos) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
  }
  return text;
}

// The decimals that tell multiples of `step` apart.
int DecimalsOf(double step) {
  return std::max(0, -static_cast<int>(std::floor(std::log10(step) + kSlack)));
}

// mantissa * 10^exponent, if `labelled` labelled plainly or as "10" with
// the exponent raised ("2×10" for other mantissas).
Tick LogTick(int mantissa, int exponent, bool labelled) {
  const double value = mantissa * std::pow(10.0, exponent);
  Tick tick{value, false, {}, {}};
  if (!labelled) return tick;
  if (exponent >= kPlainLow && exponent <= kPlainHigh) {
    tick.label = DecimalText(value, -exponent);
  } else {
    tick.label = mantissa == 1 ? "10" : std::to_string(mantissa) + "\u00D710";
    tick.exponent = std::to_string(exponent);
  }
  return tick;
}

// 1, 2 or 5 times a power of ten, the least not below `rough`.
double RoundStep(double rough) {
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (const double m : {1.0, 2.0, 5.0}) {
    if (m * power >= rough * (1 - kSlack)) return m * power;
  }
  return 10 * power;
}

std::size_t LabelCount(const std::vector<Tick>& ticks) {
  return static_cast<std::size_t>(
      std::count_if(ticks.begin(), ticks.end(), [](const Tick& t) { return !t.label.empty(); }));
}

// Whether each labelled tick's label keeps kLabelGap from the previous one's.
bool LabelsFit(const std::vector<Tick>& ticks, Scale scale, Range range, double length,
               const LabelExtent& extent) {
  bool first = true;
  double previousEnd = 0;
  for (const Tick& t : ticks) {
    if (t.label.empty()) continue;
    const double centre = AxisFraction(scale, range, t.value) * std::abs(length);
    const double half = extent(t) / 2;
    if (!first && centre - half < previousEnd + kLabelGap) return false;
    first = false;
    previousEnd = centre + half;
  }
  return true;
}

// Every tick unlabelled but the first labelled one: what fits on any axis.
void KeepOneLabel(std::vector<Tick>& ticks) {
  bool kept = false;
  for (Tick& t : ticks) {
    if (t.label.empty()) continue;
    if (kept) t.label.clear(), t.exponent.clear();
    kept = true;
  }
}

// Multiples of `step` in range, all labelled.
std::vector<Tick> StepTicks(Range range, double step) {
  std::vector<Tick> ticks;
  const int decimals = DecimalsOf(step);
  for (double k = std::ceil(range.min / step - kSlack); k * step <= range.max + step * kSlack;
       ++k) {
    ticks.push_back({k * step, true, DecimalText(k * step, decimals), {}});
  }
  return ticks;
}

// Round steps from about kLinearIntervals to the range, coarser until the
// labels fit.
std::vector<Tick> LinearTicks(Range range, Scale scale, double length, const LabelExtent& extent) {
  std::vector<Tick> ticks = StepTicks(range, RoundStep((range.max - range.min) / kLinearIntervals));
  for (double step = RoundStep((range.max - range.min) / kLinearIntervals);
       !LabelsFit(ticks, scale, range, length, extent);) {
    step = RoundStep(step * 1.5);
    std::vector<Tick> coarser = StepTicks(range, step);
    if (coarser.empty()) {
      KeepOneLabel(ticks);
      break;
    }
    ticks = std::move(coarser);
  }
  return ticks;
}

// The log ticks in range: m * 10^e for m from 1 to 9, labelled where
// `labelled(m, e)`; where not `detailed`, only decades and labelled ticks,
// and only labelled ones major.
template <typename Labelled>
std::vector<Tick> LogTicks(Range range, int first, int last, bool detailed, Labelled labelled) {
  std::vector<Tick> ticks;
  for (int e = first; e <= last; ++e) {
    for (int m = 1; m <= 9; ++m) {
      const double value = m * std::pow(10.0, e);
      if (value < range.min * (1 - kSlack) || value > range.max * (1 + kSlack)) continue;
      const bool label = labelled(m, e);
      if (!detailed && m != 1 && !label) continue;
      Tick tick = LogTick(m, e, label);
      tick.major = label || (detailed && m == 1);
      ticks.push_back(std::move(tick));
    }
  }
  return ticks;
}

}  // namespace

Range AxisRange(const Axis& axis, double low, double high) {
  Range range{};
  if (axis.scale == Scale::kLog) {
    if (!(low <= high) || !(low > 0)) {
      low = 1;
      high = 10;
    }
    range.min = std::pow(10.0, std::floor(std::log10(low) + kSlack));
    range.max = std::pow(10.0, std::ceil(std::log10(high) - kSlack));
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
    range.min = std::floor(low / step + kSlack) * step;
    range.max = std::ceil(high / step - kSlack) * step;
  }
  if (!std::isnan(axis.min)) range.min = axis.min;
  if (!std::isnan(axis.max)) range.max = axis.max;
  return range;
}

double AxisFraction(Scale scale, Range range, double value) {
  if (scale == Scale::kLinear) return (value - range.min) / (range.max - range.min);
  if (!(value > 0)) return std::nan("");
  return std::log10(value / range.min) / std::log10(range.max / range.min);
}

std::vector<Tick> AxisTicks(Scale scale, Range range, double length, const LabelExtent& extent) {
  const double span = range.max - range.min;
  if (!(span > kFinestSpan * std::max(std::abs(range.min), std::abs(range.max))) ||
      !std::isfinite(span)) {
    return {};
  }
  if (scale == Scale::kLinear) return LinearTicks(range, scale, length, extent);
  if (!(range.min > 0)) return {};
  const int first = static_cast<int>(std::floor(std::log10(range.min) + kSlack));
  const int last = static_cast<int>(std::ceil(std::log10(range.max) - kSlack));
  const bool detailed =
      std::abs(length) / std::log10(range.max / range.min) >= kShortestDetailedDecade;
  std::vector<Tick> ticks =
      LogTicks(range, first, last, detailed, [](int m, int) { return m == 1; });
  if (LabelCount(ticks) < kFewDecades) {
    std::vector<Tick> richer = LogTicks(range, first, last, detailed,
                                        [](int m, int) { return m == 1 || m == 2 || m == 5; });
    if (LabelCount(richer) < kFewestLabels) {
      richer = LinearTicks(range, scale, length, extent);
      if (LabelCount(richer) < kFewestLabels) return richer;
    }
    if (LabelsFit(richer, scale, range, length, extent)) return richer;
  }
  // Every stride-th decade: a stride of the decades' count leaves one.
  for (int stride = 2; !LabelsFit(ticks, scale, range, length, extent) && LabelCount(ticks) > 1;
       ++stride) {
    ticks = LogTicks(range, first, last, detailed,
                     [&](int m, int e) { return m == 1 && e % stride == 0; });
  }
  return ticks;
}

}  // namespace tavrin::plot
