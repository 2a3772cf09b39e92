// The profile figures' shared drawing: colour bar, frame and ticks,
// stations, title, and the checks of their input.
#include "plot/profile_draw.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tavrin::plot::profile {

namespace {

constexpr double kMajorTick = 5;
constexpr double kMinorTick = 3;
constexpr double kFrameWidth = 0.9;
constexpr double kTickLabelOffset = 5;
constexpr double kYTitleClearance = 8;
constexpr double kStationMark = 4;  // the triangle's half width over a station

}  // namespace

void SetRgb(cairo_t* cr, Rgb c) {
  cairo_set_source_rgb(cr, c.r, c.g, c.b);
}

std::string OhmUnit(const std::string& unit) {
  return "\u03A9\u00B7" + unit;  // ohm-m, ohm-ft
}

std::vector<Tick> BarTicks(const ColourScale& scale, double length) {
  return AxisTicks(scale.scale, scale.range, length, TickLabelHeight);
}

void DrawColourBar(cairo_t* cr, const ColourScale& scale, const Box& area) {
  const Box bar{area.right() + kBarGap, area.top, kBarWidth, area.height};
  cairo_pattern_t* gradient = cairo_pattern_create_linear(0, bar.bottom(), 0, bar.top);
  for (const ColourStop& stop : scale.stops) {
    const Rgb c = ColourAt(scale.stops, stop.t);
    cairo_pattern_add_color_stop_rgb(gradient, stop.t, c.r, c.g, c.b);
  }
  cairo_rectangle(cr, bar.left, bar.top, bar.width, bar.height);
  cairo_set_source(cr, gradient);
  cairo_fill(cr);
  cairo_pattern_destroy(gradient);
  SetColour(cr, kInk);
  cairo_set_line_width(cr, kFrameWidth * 0.8);
  cairo_rectangle(cr, bar.left, bar.top, bar.width, bar.height);
  cairo_stroke(cr);
  double widest = 0;
  for (const Tick& t : BarTicks(scale, bar.height)) {
    const double y = bar.bottom() - AxisFraction(scale.scale, scale.range, t.value) * bar.height;
    StrokeLine(cr, bar.right(), y, bar.right() + (t.major ? kMajorTick : kMinorTick) * 0.8, y);
    if (t.label.empty()) continue;
    DrawTickLabel(cr, t, bar.right() + kMajorTick + 2, y + 0.36 * kTickLabelSize, 0);
    widest = std::max(widest, TickLabelWidth(cr, t));
  }
  SetFont(cr, kAxisTitleSize);
  cairo_save(cr);
  cairo_move_to(cr, bar.right() + kMajorTick + 2 + widest + kYTitleClearance + 0.8 * kAxisTitleSize,
                bar.top + (bar.height + TextWidth(cr, scale.title)) / 2);
  cairo_rotate(cr, -std::numbers::pi / 2);
  cairo_show_text(cr, scale.title.c_str());
  cairo_restore(cr);
}

PlotAxis MakeAxis(Scale scale, Range range, double start, double end) {
  const auto f = [scale](double v) { return scale == Scale::kLog ? std::log10(v) : v; };
  return {scale, range, {f(range.min), f(range.max), start, end}};
}

void DrawAxes(cairo_t* cr, const Box& area, const PlotAxis& x, const PlotAxis& y,
              const std::string& xTitle, const std::string& yTitle) {
  const std::vector<Tick> xTicks = AxisTicks(x.scale, x.range, area.width,
                                             [cr](const Tick& t) { return TickLabelWidth(cr, t); });
  const std::vector<Tick> yTicks = AxisTicks(y.scale, y.range, area.height, TickLabelHeight);
  SetColour(cr, kInk);
  cairo_set_line_width(cr, kFrameWidth);
  cairo_rectangle(cr, area.left, area.top, area.width, area.height);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 0.7);
  for (const Tick& t : xTicks) {
    const double px = x.Page(t.value);
    const double length = t.major ? kMajorTick : kMinorTick;
    StrokeLine(cr, px, area.bottom(), px, area.bottom() + length);
    if (!t.label.empty()) DrawTickLabel(cr, t, px, area.bottom() + kMajorTick + 11, 0.5);
  }
  double widest = 0;
  for (const Tick& t : yTicks) {
    const double py = y.Page(t.value);
    const double length = t.major ? kMajorTick : kMinorTick;
    StrokeLine(cr, area.left, py, area.left - length, py);
    if (t.label.empty()) continue;
    DrawTickLabel(cr, t, area.left - kMajorTick - 3, py + 0.36 * kTickLabelSize, 1);
    widest = std::max(widest, TickLabelWidth(cr, t));
  }
  SetFont(cr, kAxisTitleSize);
  if (!xTitle.empty()) {
    cairo_move_to(cr, area.left + (area.width - TextWidth(cr, xTitle)) / 2,
                  area.bottom() + kTickBand + kXTitleBand - 4);
    cairo_show_text(cr, xTitle.c_str());
  }
  cairo_save(cr);
  cairo_move_to(cr, area.left - kMajorTick - kTickLabelOffset - widest - kYTitleClearance,
                area.top + (area.height + TextWidth(cr, yTitle)) / 2);
  cairo_rotate(cr, -std::numbers::pi / 2);
  cairo_show_text(cr, yTitle.c_str());
  cairo_restore(cr);
}

void DrawStations(cairo_t* cr, const Box& area, const PlotAxis& x,
                  const std::vector<StationMark>& marks) {
  SetFont(cr, kStationLabelSize);
  double lastEnd = -INFINITY;
  for (const StationMark& m : marks) {
    const double px = x.Page(m.x);
    SetColour(cr, kInk);
    cairo_move_to(cr, px, area.top);
    cairo_line_to(cr, px - kStationMark, area.top - 1.6 * kStationMark);
    cairo_line_to(cr, px + kStationMark, area.top - 1.6 * kStationMark);
    cairo_close_path(cr);
    cairo_fill(cr);
    const double width = TextWidth(cr, m.label);
    const double left = px - width / 2;
    if (left < lastEnd + kLabelGap) continue;
    cairo_move_to(cr, left, area.top - 1.6 * kStationMark - 3);
    cairo_show_text(cr, m.label.c_str());
    lastEnd = left + width;
  }
}

bool Positive(double v) {
  return std::isfinite(v) && v > 0;
}

void Require(bool ok, const std::string& what, const std::string& reason) {
  if (!ok) throw PlotError("cannot draw the " + what + ": " + reason);
}

void CheckUnit(const std::string& unit, const std::string& what) {
  Require(unit == "m" || unit == "ft", what, "the length unit must be m or ft, not '" + unit + "'");
}

double DrawTitle(cairo_t* cr, const std::string& title, double width) {
  if (title.empty()) return kOuterPad;
  SetColour(cr, kInk);
  SetFont(cr, kTitleSize, true);
  cairo_move_to(cr, (width - TextWidth(cr, title)) / 2, 21);
  cairo_show_text(cr, title.c_str());
  return kTitleBand;
}

}  // namespace tavrin::plot::profile
