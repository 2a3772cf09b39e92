// Drawing a figure: frames, grids, ticks and labels of each panel, then its
// series clipped to the plot area, then a legend in the emptiest corner.
#include "plot/draw.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "plot/draw_kit.h"
#include "plot/ticks.h"

namespace tavrin::plot {

namespace {

// Space around each panel's plot area, and the figure title's band.
constexpr double kMarginLeft = 64;
constexpr double kMarginRight = 14;
constexpr double kMarginTop = 10;
constexpr double kMarginBottom = 44;
constexpr double kTitleBand = 30;
constexpr double kOuterPad = 6;
// Y tick labels end this far left of the frame; the y title's baseline lies
// at least kYTitleOffset left of it, farther where the labels are wider, to
// keep kYTitleClearance from them. A rotated title's descent reaches toward
// the labels, its ascent away, about these shares of its size.
constexpr double kTickLabelOffset = 5;
constexpr double kYTitleOffset = 48;
constexpr double kYTitleClearance = 6;
constexpr double kTitleDescent = 0.25;
constexpr double kTitleAscent = 0.8;

constexpr double kMajorTick = 5;
constexpr double kMinorTick = 3;
constexpr double kFrameWidth = 0.9;
constexpr double kMarkerRadius = 3.6;
constexpr double kMarkerLine = 1.3;
constexpr double kCurveWidth = 1.7;
// Opacity of a step profile's uncertainty band.
constexpr double kBandAlpha = 0.18;
// A faint marker's colour: this share of the way from its series' colour to
// white.
constexpr double kFaintMix = 0.6;

// Measured data: a palette that stays distinct for colour-blind readers.
constexpr std::array kMarkerColours{Hex(0x0072B2), Hex(0xD55E00), Hex(0x009E73),
                                    Hex(0xCC79A7), Hex(0xE69F00), Hex(0x56B4E9)};
// Curves and profiles: darker tones, so that lines stand out from points.
constexpr std::array kLineColours{Hex(0xB2182B), Hex(0x2166AC), Hex(0x1B7837), Hex(0x762A83)};
constexpr Colour kLegendEdge = Hex(0xB0B0B0);
constexpr Colour kLeftOut = Hex(0x8C8C8C);
// A y band's shade (translucent, so that the grid shows through), its edge
// and its label.
constexpr Colour kBandShade = Hex(0x808080);
constexpr double kBandShadeAlpha = 0.15;
constexpr Colour kBandEdge = Hex(0x7A7A7A);
constexpr double kBandLabelSize = 8;
// Opacity of the legend's box over the plot.
constexpr double kBoxOpacity = 0.92;

// kHollowCross is for readings left out; no series takes it by its index.
enum class Marker { kCircle, kSquare, kTriangle, kDiamond, kTriangleDown, kCross, kHollowCross };
constexpr std::array kMarkers{Marker::kCircle,  Marker::kSquare,       Marker::kTriangle,
                              Marker::kDiamond, Marker::kTriangleDown, Marker::kCross};

// One axis mapped onto a stretch of the page from `start` (the range's min)
// to `end` (its max); reversed axes swap the ends.
class AxisMap {
 public:
  AxisMap(Scale scale, Range range, double start, double end)
      : scale_(scale), range_(range), start_(start), end_(end) {}

  // The page position of `value`; NaN where the scale has none (log of <= 0).
  double operator()(double value) const {
    const double t = AxisFraction(scale_, range_, value);
    if (std::isnan(t)) return t;
    // Far-off points stay far off without overflowing the page's numbers.
    return start_ + std::clamp(t, -4.0, 5.0) * (end_ - start_);
  }
  double length() const { return std::abs(end_ - start_); }
  Range range() const { return range_; }
  Scale scale() const { return scale_; }

 private:
  Scale scale_;
  Range range_;
  double start_;
  double end_;
};

// The extent of a panel's values along x or y, over every series.
struct Extent {
  double low = INFINITY;
  double high = -INFINITY;
  void Add(double v, Scale scale) {
    if (!std::isfinite(v) || (scale == Scale::kLog && !(v > 0))) return;
    low = std::min(low, v);
    high = std::max(high, v);
  }
};

std::pair<Extent, Extent> PanelExtents(const Panel& panel) {
  Extent x, y;
  const auto addPoints = [&](const std::vector<Point>& points) {
    for (const Point& p : points) {
      x.Add(p.x, panel.x.scale);
      y.Add(p.y, panel.y.scale);
    }
  };
  for (const MarkerSeries& s : panel.markers) addPoints(s.points);
  for (const LineSeries& s : panel.lines) addPoints(s.points);
  for (const StepSeries& s : panel.steps) {
    for (const double v : s.values) x.Add(v, panel.x.scale);
    for (const double v : s.bandLow) x.Add(v, panel.x.scale);
    for (const double v : s.bandHigh) x.Add(v, panel.x.scale);
    for (const double b : s.boundaries) y.Add(b, panel.y.scale);
  }
  return {x, y};
}

std::vector<Tick> XTicks(cairo_t* cr, const AxisMap& map) {
  return AxisTicks(map.scale(), map.range(), map.length(),
                   [cr](const Tick& t) { return TickLabelWidth(cr, t); });
}

std::vector<Tick> YTicks(const AxisMap& map) {
  return AxisTicks(map.scale(), map.range(), map.length(), TickLabelHeight);
}

// How far left of the frame the y title's baseline lies, clear of `ticks`'
// labels.
double YTitleOffset(cairo_t* cr, const std::vector<Tick>& ticks) {
  double widest = 0;
  for (const Tick& t : ticks) {
    if (!t.label.empty()) widest = std::max(widest, TickLabelWidth(cr, t));
  }
  return std::max(kYTitleOffset,
                  kTickLabelOffset + widest + kYTitleClearance + kTitleDescent * kAxisTitleSize);
}

// Grid lines, ticks on all four sides and the labels on the bottom and left.
void DrawAxes(cairo_t* cr, const Panel& panel, const Box& area, const AxisMap& xMap,
              const AxisMap& yMap) {
  const std::vector<Tick> xTicks = XTicks(cr, xMap);
  const std::vector<Tick> yTicks = YTicks(yMap);
  cairo_set_line_width(cr, 0.5);
  for (const bool major : {false, true}) {
    SetColour(cr, major ? kMajorGrid : kMinorGrid);
    for (const Tick& t : xTicks) {
      if (t.major == major) StrokeLine(cr, xMap(t.value), area.top, xMap(t.value), area.bottom());
    }
    for (const Tick& t : yTicks) {
      if (t.major == major) StrokeLine(cr, area.left, yMap(t.value), area.right(), yMap(t.value));
    }
  }
  SetColour(cr, kInk);
  cairo_set_line_width(cr, kFrameWidth);
  cairo_rectangle(cr, area.left, area.top, area.width, area.height);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 0.7);
  for (const Tick& t : xTicks) {
    const double x = xMap(t.value);
    const double length = t.major ? kMajorTick : kMinorTick;
    StrokeLine(cr, x, area.bottom(), x, area.bottom() - length);
    StrokeLine(cr, x, area.top, x, area.top + length);
    if (!t.label.empty()) DrawTickLabel(cr, t, x, area.bottom() + 14, 0.5);
  }
  for (const Tick& t : yTicks) {
    const double y = yMap(t.value);
    const double length = t.major ? kMajorTick : kMinorTick;
    StrokeLine(cr, area.left, y, area.left + length, y);
    StrokeLine(cr, area.right(), y, area.right() - length, y);
    if (!t.label.empty()) {
      DrawTickLabel(cr, t, area.left - kTickLabelOffset, y + 0.36 * kTickLabelSize, 1);
    }
  }
  const double yTitleOffset = YTitleOffset(cr, yTicks);  // sets the labels' font
  SetFont(cr, kAxisTitleSize);
  cairo_move_to(cr, area.left + (area.width - TextWidth(cr, panel.x.title)) / 2,
                area.bottom() + 34);
  cairo_show_text(cr, panel.x.title.c_str());
  cairo_save(cr);
  cairo_move_to(cr, area.left - yTitleOffset,
                area.top + (area.height + TextWidth(cr, panel.y.title)) / 2);
  cairo_rotate(cr, -std::numbers::pi / 2);
  cairo_show_text(cr, panel.y.title.c_str());
  cairo_restore(cr);
}

void MarkerPath(cairo_t* cr, Marker marker, double x, double y, double r) {
  switch (marker) {
    case Marker::kCircle:
      cairo_new_sub_path(cr);
      cairo_arc(cr, x, y, r, 0, 2 * std::numbers::pi);
      break;
    case Marker::kSquare:
      cairo_rectangle(cr, x - 0.9 * r, y - 0.9 * r, 1.8 * r, 1.8 * r);
      break;
    case Marker::kTriangle:
    case Marker::kTriangleDown: {
      const double s = marker == Marker::kTriangle ? 1 : -1;
      cairo_move_to(cr, x, y - s * 1.2 * r);
      cairo_line_to(cr, x + 1.05 * r, y + s * 0.65 * r);
      cairo_line_to(cr, x - 1.05 * r, y + s * 0.65 * r);
      cairo_close_path(cr);
      break;
    }
    case Marker::kDiamond:
      cairo_move_to(cr, x, y - 1.25 * r);
      cairo_line_to(cr, x + r, y);
      cairo_line_to(cr, x, y + 1.25 * r);
      cairo_line_to(cr, x - r, y);
      cairo_close_path(cr);
      break;
    case Marker::kCross:
      cairo_move_to(cr, x - r, y - r);
      cairo_line_to(cr, x + r, y + r);
      cairo_move_to(cr, x - r, y + r);
      cairo_line_to(cr, x + r, y - r);
      break;
    case Marker::kHollowCross: {
      // The outline of a plus sign, arms w r wide each side of its middle and
      // a r long, turned by 45 degrees: (u, v) -> ((u - v) / sqrt 2,
      // (u + v) / sqrt 2). Each quarter turn (u, v) -> (v, -u) repeats its
      // first three corners.
      constexpr double w = 0.28;
      constexpr double a = 1.25;
      const double s = r / std::numbers::sqrt2;
      std::array<Point, 3> corners{{{w, a}, {w, w}, {a, w}}};
      cairo_new_sub_path(cr);
      for (int quarter = 0; quarter < 4; ++quarter) {
        for (Point& c : corners) {
          cairo_line_to(cr, x + s * (c.x - c.y), y + s * (c.x + c.y));
          c = {c.y, -c.x};
        }
      }
      cairo_close_path(cr);
      break;
    }
  }
}

// A marker of `series`, the panel's series of index `index`: open markers
// white inside and outlined in the series' colour, faint ones the same nearer
// white, left-out ones grey hollow crosses.
void DrawMarker(cairo_t* cr, const MarkerSeries& series, std::size_t index, double x, double y) {
  const std::size_t style = series.like >= 0 ? static_cast<std::size_t>(series.like) : index;
  const bool leftOut = series.look == MarkerLook::kLeftOut;
  const Marker marker = leftOut ? Marker::kHollowCross : kMarkers[style % kMarkers.size()];
  Colour colour = leftOut ? kLeftOut : kMarkerColours[style % kMarkerColours.size()];
  if (series.look == MarkerLook::kFaint) {
    colour = {colour.r + (1 - colour.r) * kFaintMix, colour.g + (1 - colour.g) * kFaintMix,
              colour.b + (1 - colour.b) * kFaintMix};
  }
  MarkerPath(cr, marker, x, y, kMarkerRadius);
  if (marker != Marker::kCross) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill_preserve(cr);
  }
  SetColour(cr, colour);
  cairo_set_line_width(cr, leftOut ? kMarkerLine * 0.75 : kMarkerLine);
  cairo_stroke(cr);
}

void SetLineStyle(cairo_t* cr, std::size_t series) {
  SetColour(cr, kLineColours[series % kLineColours.size()]);
  cairo_set_line_width(cr, kCurveWidth);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
}

// A line through the points; points the scale cannot place break it.
void DrawLine(cairo_t* cr, const LineSeries& line, std::size_t series, const AxisMap& xMap,
              const AxisMap& yMap) {
  SetLineStyle(cr, series);
  bool drawing = false;
  for (const Point& p : line.points) {
    const double x = xMap(p.x);
    const double y = yMap(p.y);
    if (std::isnan(x) || std::isnan(y)) {
      drawing = false;
      continue;
    }
    if (drawing) {
      cairo_line_to(cr, x, y);
    } else {
      cairo_move_to(cr, x, y);
    }
    drawing = true;
  }
  cairo_stroke(cr);
}

// A step profile's band: one translucent box per layer in the line's colour.
void DrawBand(cairo_t* cr, const StepSeries& steps, std::size_t series, const AxisMap& xMap,
              const AxisMap& yMap) {
  const std::size_t n = steps.values.size();
  if (steps.bandLow.size() != n || steps.bandHigh.size() != n) return;
  const Colour c = kLineColours[series % kLineColours.size()];
  cairo_set_source_rgba(cr, c.r, c.g, c.b, kBandAlpha);
  for (std::size_t k = 0; k < n; ++k) {
    const double top = k == 0 ? yMap(yMap.range().min) : yMap(steps.boundaries[k - 1]);
    const double bottom = k + 1 < n && k < steps.boundaries.size() ? yMap(steps.boundaries[k])
                                                                   : yMap(yMap.range().max);
    // A band wider than the axis (an unresolved value) is cut at its ends.
    const Range range = xMap.range();
    const double left = xMap(std::clamp(steps.bandLow[k], range.min, range.max));
    const double right = xMap(std::clamp(steps.bandHigh[k], range.min, range.max));
    if (std::isnan(left) || std::isnan(right) || std::isnan(top) || std::isnan(bottom)) continue;
    cairo_rectangle(cr, std::min(left, right), std::min(top, bottom), std::abs(right - left),
                    std::abs(bottom - top));
    cairo_fill(cr);
  }
}

// A step profile from the axis' start to its end along y.
void DrawSteps(cairo_t* cr, const StepSeries& steps, std::size_t series, const AxisMap& xMap,
               const AxisMap& yMap) {
  if (steps.values.empty()) return;
  DrawBand(cr, steps, series, xMap, yMap);
  SetLineStyle(cr, series);
  const double yStart = yMap(yMap.range().min);
  const double yEnd = yMap(yMap.range().max);
  cairo_move_to(cr, xMap(steps.values[0]), yStart);
  for (std::size_t k = 0; k + 1 < steps.values.size() && k < steps.boundaries.size(); ++k) {
    const double y = yMap(steps.boundaries[k]);
    cairo_line_to(cr, xMap(steps.values[k]), y);
    cairo_line_to(cr, xMap(steps.values[k + 1]), y);
  }
  cairo_line_to(cr, xMap(steps.values[std::min(steps.boundaries.size(), steps.values.size() - 1)]),
                yEnd);
  cairo_stroke(cr);
}

// A legend entry: what it shows (a marker series or a line's index) and its
// label.
struct LegendEntry {
  bool marker;
  std::size_t series;
  const std::string* label;
};

constexpr double kLegendRow = 15;
constexpr double kLegendSample = 22;
constexpr double kLegendPad = 7;
constexpr double kLegendInset = 8;
// The space a rule takes between the legend's entries and its notes.
constexpr double kLegendRuleSpace = 6;

// The legend's box at one of the four corners (0 top left, 1 top right,
// 2 bottom right, 3 bottom left).
Box LegendBox(const Box& area, double width, double height, int corner) {
  const double left =
      corner == 0 || corner == 3 ? area.left + kLegendInset : area.right() - kLegendInset - width;
  const double top = corner < 2 ? area.top + kLegendInset : area.bottom() - kLegendInset - height;
  return {left, top, width, height};
}

// The corner whose box covers the fewest of the panel's points.
int EmptiestCorner(const Panel& panel, const Box& area, double width, double height,
                   const AxisMap& xMap, const AxisMap& yMap) {
  int best = 0;
  std::size_t bestCount = SIZE_MAX;
  for (int corner = 0; corner < 4; ++corner) {
    const Box box = LegendBox(area, width, height, corner);
    std::size_t count = 0;
    const auto countPoints = [&](const std::vector<Point>& points) {
      for (const Point& p : points) {
        const double x = xMap(p.x);
        const double y = yMap(p.y);
        if (x >= box.left - kMarkerRadius && x <= box.right() + kMarkerRadius &&
            y >= box.top - kMarkerRadius && y <= box.bottom() + kMarkerRadius) {
          ++count;
        }
      }
    };
    for (const MarkerSeries& s : panel.markers) countPoints(s.points);
    for (const LineSeries& s : panel.lines) countPoints(s.points);
    if (count < bestCount) {
      best = corner;
      bestCount = count;
    }
  }
  return best;
}

// The legend's box: white, nearly opaque, with a thin edge.
void DrawBoxFrame(cairo_t* cr, const Box& box) {
  cairo_rectangle(cr, box.left, box.top, box.width, box.height);
  cairo_set_source_rgba(cr, 1, 1, 1, kBoxOpacity);
  cairo_fill_preserve(cr);
  SetColour(cr, kLegendEdge);
  cairo_set_line_width(cr, 0.6);
  cairo_stroke(cr);
}

// The legend in the emptiest corner: a row per labelled series, then the
// panel's notes below a rule, a row each.
void DrawLegend(cairo_t* cr, const Panel& panel, const Box& area, const AxisMap& xMap,
                const AxisMap& yMap) {
  std::vector<LegendEntry> entries;
  for (std::size_t k = 0; k < panel.markers.size(); ++k) {
    if (!panel.markers[k].label.empty()) entries.push_back({true, k, &panel.markers[k].label});
  }
  for (std::size_t k = 0; k < panel.lines.size(); ++k) {
    if (!panel.lines[k].label.empty()) entries.push_back({false, k, &panel.lines[k].label});
  }
  if (entries.empty() && panel.notes.empty()) return;
  SetFont(cr, kLegendSize);
  constexpr double kLabelLeft = kLegendSample + 6;  // a label's start past the pad
  double width = 0;
  for (const LegendEntry& e : entries)
    width = std::max(width, kLabelLeft + TextWidth(cr, *e.label));
  for (const std::string& note : panel.notes) width = std::max(width, TextWidth(cr, note));
  width += 2 * kLegendPad;
  const double rule = entries.empty() || panel.notes.empty() ? 0 : kLegendRuleSpace;
  const double height = 2 * kLegendPad +
                        kLegendRow * static_cast<double>(entries.size() + panel.notes.size()) +
                        rule - 4;
  const Box box =
      LegendBox(area, width, height, EmptiestCorner(panel, area, width, height, xMap, yMap));
  DrawBoxFrame(cr, box);
  const double left = box.left + kLegendPad;
  const auto rowMiddle = [&](std::size_t row) {
    return box.top + kLegendPad + 5 + kLegendRow * static_cast<double>(row);
  };
  for (std::size_t row = 0; row < entries.size(); ++row) {
    const LegendEntry& e = entries[row];
    const double y = rowMiddle(row);
    if (e.marker) {
      DrawMarker(cr, panel.markers[e.series], e.series, left + kLegendSample / 2, y);
    } else {
      SetLineStyle(cr, e.series);
      StrokeLine(cr, left, y, left + kLegendSample, y);
    }
    SetColour(cr, kInk);
    SetFont(cr, kLegendSize);
    cairo_move_to(cr, left + kLabelLeft, y + 0.35 * kLegendSize);
    cairo_show_text(cr, e.label->c_str());
  }
  if (rule > 0) {
    const double y = rowMiddle(entries.size()) - kLegendRow / 2 + rule / 2;
    SetColour(cr, kLegendEdge);
    cairo_set_line_width(cr, 0.6);
    StrokeLine(cr, left, y, box.right() - kLegendPad, y);
  }
  SetColour(cr, kInk);
  SetFont(cr, kLegendSize);
  for (std::size_t k = 0; k < panel.notes.size(); ++k) {
    const double y = rowMiddle(entries.size() + k) + rule;
    cairo_move_to(cr, left, y + 0.35 * kLegendSize);
    cairo_show_text(cr, panel.notes[k].c_str());
  }
}

// Each y band shaded across the plot, its edge at `from` dashed and its
// label inside it by that edge, at the right.
void DrawYBands(cairo_t* cr, const Panel& panel, const Box& area, const AxisMap& yMap) {
  for (const YBand& band : panel.yBands) {
    const double from = yMap(band.from);
    const double to = yMap(band.to);
    if (std::isnan(from) || std::isnan(to)) continue;
    cairo_set_source_rgba(cr, kBandShade.r, kBandShade.g, kBandShade.b, kBandShadeAlpha);
    cairo_rectangle(cr, area.left, std::min(from, to), area.width, std::abs(to - from));
    cairo_fill(cr);
    SetColour(cr, kBandEdge);
    cairo_set_line_width(cr, kFrameWidth);
    const std::array<double, 2> dash{4, 3};
    cairo_set_dash(cr, dash.data(), static_cast<int>(dash.size()), 0);
    StrokeLine(cr, area.left, from, area.right(), from);
    cairo_set_dash(cr, nullptr, 0, 0);
    if (band.label.empty()) continue;
    cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_ITALIC, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, kBandLabelSize);
    // Inside the band: below its edge when it runs down the page, above it
    // when up.
    const double baseline = to > from ? from + kBandLabelSize + 2 : from - 3;
    cairo_move_to(cr, area.right() - kLegendInset - TextWidth(cr, band.label), baseline);
    cairo_show_text(cr, band.label.c_str());
  }
}

// How many more decades an equal-decade panel may add to either axis.
constexpr int kMaxExtraDecades = 1;

double Decades(Range r) {
  return std::round(std::log10(r.max / r.min));
}

// Equal decades: the decade length d and the decade counts nx >= the x
// range's, ny >= the y range's that fill the most of the area with
// nx d by ny d; the ranges grow by whole decades (x at its end, y at both
// ends in turn) and the area shrinks to that size, centred.
void FitEqualDecades(Box& area, Range& x, Range& y) {
  const double nx = Decades(x);
  const double ny = Decades(y);
  double bestFill = 0;
  int bestX = 0;
  int bestY = 0;
  for (int ex = 0; ex <= kMaxExtraDecades; ++ex) {
    for (int ey = 0; ey <= kMaxExtraDecades; ++ey) {
      const double d = std::min(area.width / (nx + ex), area.height / (ny + ey));
      const double fill = (nx + ex) * (ny + ey) * d * d;
      if (fill > bestFill * (1 + 1e-9)) {
        bestFill = fill;
        bestX = ex;
        bestY = ey;
      }
    }
  }
  x.max *= std::pow(10.0, bestX);
  for (int k = 0; k < bestY; ++k) (k % 2 == 0 ? y.max *= 10 : y.min /= 10);
  const double d = std::min(area.width / (nx + bestX), area.height / (ny + bestY));
  const Box fitted{area.left + (area.width - d * (nx + bestX)) / 2,
                   area.top + (area.height - d * (ny + bestY)) / 2, d * (nx + bestX),
                   d * (ny + bestY)};
  area = fitted;
}

void DrawPanel(cairo_t* cr, const Panel& panel, const Box& outer) {
  Box area{outer.left + kMarginLeft, outer.top + kMarginTop,
           outer.width - kMarginLeft - kMarginRight, outer.height - kMarginTop - kMarginBottom};
  const auto [xExtent, yExtent] = PanelExtents(panel);
  Range xRange = AxisRange(panel.x, xExtent.low, xExtent.high);
  Range yRange = AxisRange(panel.y, yExtent.low, yExtent.high);
  // Wide y labels widen the left margin to keep the y title inside it.
  const double margin = std::max(
      kMarginLeft, YTitleOffset(cr, YTicks(AxisMap(panel.y.scale, yRange, 0, area.height))) +
                       kTitleAscent * kAxisTitleSize);
  area.left = outer.left + margin;
  area.width = outer.width - margin - kMarginRight;
  if (panel.equalDecades && panel.x.scale == Scale::kLog && panel.y.scale == Scale::kLog) {
    FitEqualDecades(area, xRange, yRange);
  }
  const AxisMap xMap(panel.x.scale, xRange, panel.x.reversed ? area.right() : area.left,
                     panel.x.reversed ? area.left : area.right());
  const AxisMap yMap(panel.y.scale, yRange, panel.y.reversed ? area.top : area.bottom(),
                     panel.y.reversed ? area.bottom() : area.top);
  DrawAxes(cr, panel, area, xMap, yMap);

  cairo_save(cr);
  cairo_rectangle(cr, area.left, area.top, area.width, area.height);
  cairo_clip(cr);
  DrawYBands(cr, panel, area, yMap);
  for (std::size_t k = 0; k < panel.steps.size(); ++k) DrawSteps(cr, panel.steps[k], k, xMap, yMap);
  for (std::size_t k = 0; k < panel.lines.size(); ++k) DrawLine(cr, panel.lines[k], k, xMap, yMap);
  cairo_restore(cr);
  // Markers on the frame stay whole.
  cairo_save(cr);
  cairo_rectangle(cr, area.left - kMarkerRadius * 2, area.top - kMarkerRadius * 2,
                  area.width + kMarkerRadius * 4, area.height + kMarkerRadius * 4);
  cairo_clip(cr);
  // Faint markers beneath the left-out ones, both beneath the rest.
  for (const MarkerLook look : {MarkerLook::kFaint, MarkerLook::kLeftOut, MarkerLook::kOpen}) {
    for (std::size_t k = 0; k < panel.markers.size(); ++k) {
      if (panel.markers[k].look != look) continue;
      for (const Point& p : panel.markers[k].points) {
        const double x = xMap(p.x);
        const double y = yMap(p.y);
        if (!std::isnan(x) && !std::isnan(y)) DrawMarker(cr, panel.markers[k], k, x, y);
      }
    }
  }
  cairo_restore(cr);
  DrawLegend(cr, panel, area, xMap, yMap);
}

double TotalShare(const auto& items, auto share) {
  double total = 0;
  for (const auto& item : items) total += share(item);
  return total > 0 ? total : 1;
}

}  // namespace

void DrawFigure(cairo_t* cr, const Figure& figure) {
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  double top = kOuterPad;
  if (!figure.title.empty()) {
    SetColour(cr, kInk);
    SetFont(cr, kTitleSize, true);
    cairo_move_to(cr, (kFigureWidth - TextWidth(cr, figure.title)) / 2, 21);
    cairo_show_text(cr, figure.title.c_str());
    top = kTitleBand;
  }
  const double width = kFigureWidth - 2 * kOuterPad;
  const double height = kFigureHeight - top - kOuterPad;
  const double widthTotal = TotalShare(figure.columns, [](const Column& c) { return c.width; });
  double left = kOuterPad;
  for (const Column& column : figure.columns) {
    const double columnWidth = width * column.width / widthTotal;
    const double heightTotal = TotalShare(column.panels, [](const Panel& p) { return p.height; });
    double panelTop = top;
    for (const Panel& panel : column.panels) {
      const double panelHeight = height * panel.height / heightTotal;
      DrawPanel(cr, panel, {left, panelTop, columnWidth, panelHeight});
      panelTop += panelHeight;
    }
    left += columnWidth;
  }
}

}  // namespace tavrin::plot
