// The profile's two figures drawn with Cairo: the pseudo-section (observed,
// modelled and misfit panels, each filled by interpolation between the
// stations' readings, contoured and coloured on a colour bar) and the
// resistivity section (each station's layered model as a coloured column,
// the part the readings cannot resolve hatched).
#include "plot/profile_figures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <span>

#include "plot/cairo_file.h"
#include "plot/draw_kit.h"
#include "plot/section_grid.h"
#include "plot/ticks.h"

namespace tavrin::plot {

namespace {

// Page sizes in points.
constexpr double kPseudoWidth = 760;
constexpr double kPseudoHeight = 920;
constexpr double kSectionWidth = 760;
constexpr double kSectionHeight = 500;
// Bands of the page: the title's, the pad at the page's edges, the plot
// area's left (y labels and title) and right (the colour bar, its labels and
// title), a pseudo-section panel's heading, the station labels above a plot
// and the x labels below it (and the x title under the last plot).
constexpr double kTitleBand = 30;
constexpr double kOuterPad = 6;
constexpr double kAreaLeft = 72;
constexpr double kAreaRight = 100;
constexpr double kHeadingBand = 16;
constexpr double kStationBand = 20;
constexpr double kTickBand = 22;
constexpr double kXTitleBand = 18;

constexpr double kMajorTick = 5;
constexpr double kMinorTick = 3;
constexpr double kFrameWidth = 0.9;
constexpr double kTickLabelOffset = 5;
constexpr double kYTitleClearance = 8;
constexpr double kStationLabelSize = 8;
constexpr double kStationMark = 4;  // the triangle's half width over a station
constexpr double kBarGap = 12;
constexpr double kBarWidth = 11;
constexpr double kNoteSize = 10;
// The interpolation grid's cell, in points: fine enough that a contour's
// corners do not show.
constexpr double kCell = 1.5;
constexpr double kDotRadius = 1.2;
constexpr double kContourWidth = 0.6;
constexpr double kContourAlpha = 0.6;
constexpr double kContourLabelPad = 2;
constexpr double kLabelBoxAlpha = 0.8;
// Each contour level is labelled near these shares of the plot's width,
// shifted by kLabelStagger a level so that neighbouring levels' labels do
// not line up; a label stays within kLabelReach of the width from its aim.
constexpr std::array kLabelAims{0.22, 0.72};
constexpr double kLabelStagger = 0.09;
constexpr double kLabelReach = 0.2;
// The pseudo-section's axes reach this share of the data's span beyond it
// across, and this factor beyond its AB/2 down.
constexpr double kXPad = 0.03;
constexpr double kAb2Pad = 1.12;
// The depth axis reaches this factor below the deepest resolved depth or
// boundary.
constexpr double kDepthMargin = 1.15;
// The hatching of what the readings cannot resolve.
constexpr double kHatchStep = 5;
constexpr double kColumnOverlap = 0.75;
constexpr double kHatchWash = 0.45;
constexpr Colour kHatch = Hex(0x555555);
constexpr Colour kBoundary = Hex(0x1A1A1A);
constexpr Colour kTopography = Hex(0x6B4423);
constexpr Colour kNoteInk = Hex(0x707070);

double Lerp(double a, double b, double w) {
  return a + w * (b - a);
}

// Values along one axis to page positions, linearly (a log axis maps the
// values' log10).
struct Map {
  double v0, v1, p0, p1;
  double operator()(double v) const { return p0 + (v - v0) / (v1 - v0) * (p1 - p0); }
  double Inverse(double p) const { return v0 + (p - p0) / (p1 - p0) * (v1 - v0); }
};

// A colour scale: the quantity's range, mapped through its log10 (log) or
// itself (linear) onto the colour map.
struct ColourScale {
  Scale scale;
  Range range;
  std::span<const ColourStop> stops;
  std::string title;
  // The field's value for a quantity: what the interpolation works on.
  double Field(double q) const { return scale == Scale::kLog ? std::log10(q) : q; }
  Rgb ColourOfField(double f) const {
    return ColourAt(stops, (f - Field(range.min)) / (Field(range.max) - Field(range.min)));
  }
};

void SetRgb(cairo_t* cr, Rgb c) {
  cairo_set_source_rgb(cr, c.r, c.g, c.b);
}

std::string Unicode(const std::string& unit) {
  return "\u03A9\u00B7" + unit;  // ohm-m, ohm-ft
}

// The labelled ticks of `scale` along a bar `length` long.
std::vector<Tick> BarTicks(const ColourScale& scale, double length) {
  return AxisTicks(scale.scale, scale.range, length, TickLabelHeight);
}

// The colour bar right of `area`, as tall, low values at the bottom; its
// ticks labelled at its right and its title beyond them.
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

// One axis of a plot: its scale and range of values, and the page map of
// the values (or of their log10).
struct PlotAxis {
  Scale scale;
  Range range;
  Map map;
  double Page(double value) const { return map(scale == Scale::kLog ? std::log10(value) : value); }
};

PlotAxis MakeAxis(Scale scale, Range range, double start, double end) {
  const auto f = [scale](double v) { return scale == Scale::kLog ? std::log10(v) : v; };
  return {scale, range, {f(range.min), f(range.max), start, end}};
}

// The frame, ticks on its four sides, labels left and below, the y title,
// and the x title when it is not empty.
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

// A small triangle above the plot at each station and its label above it;
// a label that would touch the one before it is left out.
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

// A note in the middle of an empty plot.
void DrawNote(cairo_t* cr, const Box& area, const std::string& note) {
  cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_ITALIC, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, kNoteSize);
  SetColour(cr, kNoteInk);
  cairo_move_to(cr, area.left + (area.width - TextWidth(cr, note)) / 2,
                area.top + area.height / 2 + 0.36 * kNoteSize);
  cairo_show_text(cr, note.c_str());
}

bool Overlap(const Box& a, const Box& b) {
  return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

// One panel of the pseudo-section.
struct PseudoPanel {
  std::string heading;
  std::vector<ColumnSample> samples;  // (x, log10 AB/2, the scale's field value)
  const ColourScale* scale;
  std::string emptyNote;  // said when fewer than two stations have a value
};

// The interpolated field on the plot's grid of kCell cells, node (i, j) in
// the middle of cell (i, j); values taken up to the hull's edge (and clipped
// to it when drawn).
struct PanelGrid {
  Grid grid;
  double cellWidth, cellHeight;
  Point Page(const Box& area, Point node) const {
    return {area.left + (node.x + 0.5) * cellWidth, area.top + (node.y + 0.5) * cellHeight};
  }
};

PanelGrid SampleGrid(const ColumnField& field, const Box& area, const PlotAxis& x,
                     const PlotAxis& u) {
  PanelGrid g;
  g.grid.nx = static_cast<std::size_t>(std::ceil(area.width / kCell));
  g.grid.ny = static_cast<std::size_t>(std::ceil(area.height / kCell));
  g.cellWidth = area.width / static_cast<double>(g.grid.nx);
  g.cellHeight = area.height / static_cast<double>(g.grid.ny);
  g.grid.values.resize(g.grid.nx * g.grid.ny);
  for (std::size_t j = 0; j < g.grid.ny; ++j) {
    for (std::size_t i = 0; i < g.grid.nx; ++i) {
      const Point p = g.Page(area, {static_cast<double>(i), static_cast<double>(j)});
      g.grid.values[j * g.grid.nx + i] = field.AtClamped(x.map.Inverse(p.x), u.map.Inverse(p.y));
    }
  }
  return g;
}

void HullPath(cairo_t* cr, const ColumnField& field, const PlotAxis& x, const PlotAxis& u) {
  cairo_new_path(cr);
  for (const Point& p : field.Outline()) cairo_line_to(cr, x.map(p.x), u.map(p.y));
  cairo_close_path(cr);
}

// The grid as an image, one pixel a cell, smoothed between them.
void PaintGrid(cairo_t* cr, const PanelGrid& g, const ColourScale& scale, const Box& area) {
  const int width = static_cast<int>(g.grid.nx);
  const int height = static_cast<int>(g.grid.ny);
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_surface_flush(image);
  unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  for (int j = 0; j < height; ++j) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + j * stride);
    for (int i = 0; i < width; ++i) {
      const double v = g.grid.at(static_cast<std::size_t>(i), static_cast<std::size_t>(j));
      const Rgb c = scale.ColourOfField(v);
      const auto byte = [](double f) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(f, 0.0, 1.0) * 255));
      };
      row[i] = byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
    }
  }
  cairo_surface_mark_dirty(image);
  cairo_save(cr);
  cairo_translate(cr, area.left, area.top);
  cairo_scale(cr, g.cellWidth, g.cellHeight);
  cairo_set_source_surface(cr, image, 0, 0);
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_surface_destroy(image);
}

// The contour levels: the colour bar's labelled ticks inside its range.
std::vector<Tick> ContourLevels(const ColourScale& scale, double barLength) {
  std::vector<Tick> levels;
  for (const Tick& t : BarTicks(scale, barLength)) {
    if (!t.label.empty() && t.value > scale.range.min && t.value < scale.range.max) {
      levels.push_back(t);
    }
  }
  return levels;
}

// Contours at the levels, and their labels: near each aim across the plot,
// the piece of contour nearest to it whose label's box stays inside the
// hull and clear of the other labels and of the readings' dots.
void DrawContours(cairo_t* cr, const PseudoPanel& panel, const ColumnField& field,
                  const PanelGrid& g, const Box& area, const PlotAxis& x, const PlotAxis& u,
                  const std::vector<Point>& dots) {
  const std::vector<Tick> levels = ContourLevels(*panel.scale, area.height);
  std::vector<std::vector<Segment>> pieces;
  cairo_save(cr);
  HullPath(cr, field, x, u);
  cairo_clip(cr);
  cairo_set_source_rgba(cr, kInk.r, kInk.g, kInk.b, kContourAlpha);
  cairo_set_line_width(cr, kContourWidth);
  for (const Tick& level : levels) {
    pieces.push_back(ContourSegments(g.grid, panel.scale->Field(level.value)));
    for (const Segment& s : pieces.back()) {
      const Point a = g.Page(area, s.a);
      const Point b = g.Page(area, s.b);
      cairo_move_to(cr, a.x, a.y);
      cairo_line_to(cr, b.x, b.y);
    }
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  std::vector<Box> placed;
  const auto inHull = [&](double px, double py) {
    return !std::isnan(field.At(x.map.Inverse(px), u.map.Inverse(py)));
  };
  for (std::size_t k = 0; k < levels.size(); ++k) {
    const double labelWidth = TickLabelWidth(cr, levels[k]) + 2 * kContourLabelPad;
    const double labelHeight = TickLabelHeight(levels[k]) + kContourLabelPad;
    for (const double aimShare : kLabelAims) {
      const double shift = kLabelStagger * (static_cast<double>(k % 3) - 1);
      const double aim = area.left + (aimShare + shift) * area.width;
      const Box* best = nullptr;
      Box candidate{};
      double bestDistance = kLabelReach * area.width;
      for (const Segment& s : pieces[k]) {
        const Point a = g.Page(area, s.a);
        const Point b = g.Page(area, s.b);
        const Point mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
        const double distance = std::abs(mid.x - aim);
        if (distance >= bestDistance) continue;
        const Box box{mid.x - labelWidth / 2, mid.y - labelHeight / 2, labelWidth, labelHeight};
        if (box.left < area.left || box.right() > area.right() || box.top < area.top ||
            box.bottom() > area.bottom()) {
          continue;
        }
        if (!inHull(box.left, box.top) || !inHull(box.right(), box.top) ||
            !inHull(box.left, box.bottom()) || !inHull(box.right(), box.bottom())) {
          continue;
        }
        if (std::any_of(placed.begin(), placed.end(),
                        [&](const Box& p) { return Overlap(p, box); })) {
          continue;
        }
        if (std::any_of(dots.begin(), dots.end(), [&](const Point& d) {
              return Overlap(box, {d.x - 2 * kDotRadius, d.y - 2 * kDotRadius, 4 * kDotRadius,
                                   4 * kDotRadius});
            })) {
          continue;
        }
        candidate = box;
        best = &candidate;
        bestDistance = distance;
      }
      if (best == nullptr) continue;
      placed.push_back(candidate);
      cairo_rectangle(cr, candidate.left, candidate.top, candidate.width, candidate.height);
      cairo_set_source_rgba(cr, 1, 1, 1, kLabelBoxAlpha);
      cairo_fill(cr);
      SetColour(cr, kInk);
      DrawTickLabel(cr, levels[k], candidate.left + candidate.width / 2,
                    candidate.bottom() - kContourLabelPad - 0.15 * kTickLabelSize, 0.5);
    }
  }
}

void DrawPseudoPanel(cairo_t* cr, const PseudoPanel& panel, const PseudoSection& section,
                     const Box& area, const PlotAxis& x, const PlotAxis& u, bool last) {
  SetColour(cr, kInk);
  SetFont(cr, kAxisTitleSize, true);
  cairo_move_to(cr, area.left, area.top - kStationBand - 5);
  cairo_show_text(cr, panel.heading.c_str());
  const ColumnField field(panel.samples);
  const std::string xTitle =
      last ? "Distance along the line (" + section.lengthUnit + ")" : std::string();
  const std::string yTitle = "AB/2 (" + section.lengthUnit + ")";
  if (field.Columns() < 2) {
    DrawNote(cr, area, panel.emptyNote);
  } else {
    std::vector<Point> dots;
    for (const ColumnSample& s : panel.samples) {
      if (!std::isnan(s.value)) dots.push_back({x.map(s.x), u.map(s.u)});
    }
    const PanelGrid g = SampleGrid(field, area, x, u);
    cairo_save(cr);
    HullPath(cr, field, x, u);
    cairo_clip(cr);
    PaintGrid(cr, g, *panel.scale, area);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_rectangle(cr, area.left, area.top, area.width, area.height);
    cairo_clip(cr);
    DrawContours(cr, panel, field, g, area, x, u, dots);
    SetColour(cr, kInk);
    for (const Point& d : dots) {
      cairo_new_sub_path(cr);
      cairo_arc(cr, d.x, d.y, kDotRadius, 0, 2 * std::numbers::pi);
    }
    cairo_fill(cr);
    cairo_restore(cr);
    DrawColourBar(cr, *panel.scale, area);
  }
  DrawAxes(cr, area, x, u, xTitle, yTitle);
  DrawStations(cr, area, x, section.stations);
}

// The least of 1, 1.5, 2, 3, 4, 5, 6 or 8 times a power of ten not below
// v > 0: a misfit scale's end, close above its largest misfit.
double RoundUp(double v) {
  const double decade = std::pow(10.0, std::floor(std::log10(v)));
  for (const double m : {1.0, 1.5, 2.0, 3.0, 4.0, 5.0, 6.0, 8.0}) {
    if (m * decade >= v * (1 - 1e-12)) return m * decade;
  }
  return 10 * decade;
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

void CheckPseudoSection(const PseudoSection& s) {
  const std::string what = "pseudo-section";
  CheckUnit(s.lengthUnit, what);
  Require(s.stations.size() >= 2, what,
          "it needs at least two stations, not " + std::to_string(s.stations.size()));
  for (const StationMark& m : s.stations) {
    Require(std::isfinite(m.x), what, "station '" + m.label + "' has no finite position");
  }
  for (std::size_t k = 0; k < s.readings.size(); ++k) {
    const ProfileReading& r = s.readings[k];
    Require(std::isfinite(r.x) && Positive(r.ab2) && Positive(r.observed) &&
                (std::isnan(r.modelled) || Positive(r.modelled)),
            what,
            "reading " + std::to_string(k + 1) +
                " needs a finite position, and a positive finite AB/2, observed and modelled "
                "(or no modelled) apparent resistivity");
  }
  const bool twoPositions =
      std::any_of(s.readings.begin(), s.readings.end(),
                  [&](const ProfileReading& r) { return r.x != s.readings.front().x; });
  Require(twoPositions, what, "its readings need at least two positions along the line");
}

void DrawPseudoSection(cairo_t* cr, const PseudoSection& s) {
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  double top = kOuterPad;
  if (!s.title.empty()) {
    SetColour(cr, kInk);
    SetFont(cr, kTitleSize, true);
    cairo_move_to(cr, (kPseudoWidth - TextWidth(cr, s.title)) / 2, 21);
    cairo_show_text(cr, s.title.c_str());
    top = kTitleBand;
  }
  double xLow = INFINITY, xHigh = -INFINITY, abLow = INFINITY, abHigh = -INFINITY;
  double rhoLow = INFINITY, rhoHigh = -INFINITY, misfitLimit = 0;
  for (const StationMark& m : s.stations) {
    xLow = std::min(xLow, m.x);
    xHigh = std::max(xHigh, m.x);
  }
  PseudoPanel observed{"Observed apparent resistivity", {}, nullptr, ""};
  PseudoPanel modelled{
      "Modelled apparent resistivity", {}, nullptr, "No modelled values for this profile"};
  PseudoPanel misfit{"Misfit: (modelled \u2212 observed) / observed",
                     {},
                     nullptr,
                     "No modelled values, so no misfit"};
  for (const ProfileReading& r : s.readings) {
    xLow = std::min(xLow, r.x);
    xHigh = std::max(xHigh, r.x);
    abLow = std::min(abLow, r.ab2);
    abHigh = std::max(abHigh, r.ab2);
    for (const double rho : {r.observed, r.modelled}) {
      if (std::isnan(rho)) continue;
      rhoLow = std::min(rhoLow, rho);
      rhoHigh = std::max(rhoHigh, rho);
    }
    const double u = std::log10(r.ab2);
    const double percent = 100 * (r.modelled - r.observed) / r.observed;
    if (!std::isnan(percent)) misfitLimit = std::max(misfitLimit, std::abs(percent));
    observed.samples.push_back({r.x, u, std::log10(r.observed)});
    modelled.samples.push_back({r.x, u, std::log10(r.modelled)});
    misfit.samples.push_back({r.x, u, percent});
  }
  if (rhoLow == rhoHigh) {
    rhoLow /= 1.2;
    rhoHigh *= 1.2;
  }
  misfitLimit = RoundUp(std::max(misfitLimit, 1.0));
  const ColourScale rhoScale{Scale::kLog,
                             {rhoLow, rhoHigh},
                             kSequentialColours,
                             "Apparent resistivity (" + Unicode(s.lengthUnit) + ")"};
  const ColourScale misfitScale{
      Scale::kLinear, {-misfitLimit, misfitLimit}, kDivergingColours, "Misfit (%)"};
  observed.scale = &rhoScale;
  modelled.scale = &rhoScale;
  misfit.scale = &misfitScale;

  const double pad = kXPad * (xHigh - xLow);
  const double left = kOuterPad + kAreaLeft;
  const double right = kPseudoWidth - kOuterPad - kAreaRight;
  const double areaHeights =
      kPseudoHeight - top - kOuterPad - kXTitleBand - 3 * (kHeadingBand + kStationBand + kTickBand);
  const double height = areaHeights / 3;
  double blockTop = top;
  const std::array<const PseudoPanel*, 3> panels{&observed, &modelled, &misfit};
  for (std::size_t k = 0; k < panels.size(); ++k) {
    const Box area{left, blockTop + kHeadingBand + kStationBand, right - left, height};
    const PlotAxis x = MakeAxis(Scale::kLinear, {xLow - pad, xHigh + pad}, area.left, area.right());
    const PlotAxis u =
        MakeAxis(Scale::kLog, {abLow / kAb2Pad, abHigh * kAb2Pad}, area.top, area.bottom());
    DrawPseudoPanel(cr, *panels[k], s, area, x, u, k + 1 == panels.size());
    blockTop = area.bottom() + kTickBand;
  }
}

void CheckSection(const ResistivitySection& s) {
  const std::string what = "resistivity section";
  CheckUnit(s.lengthUnit, what);
  Require(s.stations.size() >= 2, what,
          "it needs at least two stations, not " + std::to_string(s.stations.size()));
  const bool elevations = !std::isnan(s.stations.front().elevation);
  for (std::size_t k = 0; k < s.stations.size(); ++k) {
    const SectionStation& st = s.stations[k];
    const std::string name = "station '" + st.label + "' ";
    Require(std::isfinite(st.x), what, name + "has no finite position");
    Require(k == 0 || st.x > s.stations[k - 1].x, what,
            name + "is not beyond the station before it along the line");
    Require(std::isnan(st.elevation) != elevations, what,
            "either every station has an elevation or none has");
    Require(!elevations || std::isfinite(st.elevation), what, name + "has no finite elevation");
    Require(!st.resistivities.empty() && st.thicknesses.size() + 1 == st.resistivities.size(), what,
            name + "needs N resistivities and N - 1 thicknesses");
    Require(std::all_of(st.resistivities.begin(), st.resistivities.end(), Positive) &&
                std::all_of(st.thicknesses.begin(), st.thicknesses.end(), Positive) &&
                Positive(st.resolvedDepth),
            what, name + "needs positive finite resistivities, thicknesses and resolved depth");
  }
}

// Where a station's column reaches across: halfway to each neighbour, or as
// far beyond the end stations.
std::pair<double, double> ColumnSpan(const std::vector<SectionStation>& st, std::size_t k) {
  const double before = k > 0 ? st[k - 1].x : 2 * st[k].x - st[k + 1].x;
  const double after = k + 1 < st.size() ? st[k + 1].x : 2 * st[k].x - st[k - 1].x;
  return {(before + st[k].x) / 2, (st[k].x + after) / 2};
}

// The section's vertical coordinate at depth d below the ground at x:
// depth itself, or the ground's elevation (linear between stations) less d.
struct Ground {
  const std::vector<SectionStation>* stations;
  bool elevations;
  double Surface(double x) const {
    const std::vector<SectionStation>& st = *stations;
    if (!elevations) return 0;
    if (x <= st.front().x) return st.front().elevation;
    if (x >= st.back().x) return st.back().elevation;
    std::size_t k = 1;
    while (st[k].x < x) ++k;
    return Lerp(st[k - 1].elevation, st[k].elevation, (x - st[k - 1].x) / (st[k].x - st[k - 1].x));
  }
  double At(double x, double depth) const { return elevations ? Surface(x) - depth : depth; }
};

// The band from depth `from` to `to` below the ground across a station's
// column, from `left` through the station at `middle` to `right` (the ground
// straight between them), and `grow` points farther right; an infinite `to`
// reaches the axis' end.
void BandPath(cairo_t* cr, const Ground& ground, const PlotAxis& x, const PlotAxis& y,
              std::array<double, 3> at, double from, double to, double grow) {
  const double bottomEnd = ground.elevations ? y.range.min : y.range.max;
  const auto level = [&](double along, double d) {
    return y.Page(std::isinf(d) ? bottomEnd : ground.At(along, d));
  };
  for (std::size_t k = 0; k < at.size(); ++k) {
    cairo_line_to(cr, x.Page(at[k]) + (k == 2 ? grow : 0), level(at[k], from));
  }
  for (std::size_t k = at.size(); k-- > 0;) {
    cairo_line_to(cr, x.Page(at[k]) + (k == 2 ? grow : 0), level(at[k], to));
  }
  cairo_close_path(cr);
}

// The current path hatched: washed lighter and crossed by grey diagonals,
// drawn only where the path is.
void Hatch(cairo_t* cr) {
  cairo_save(cr);
  cairo_clip_preserve(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, kHatchWash);
  cairo_fill(cr);
  double x0, y0, x1, y1;
  cairo_clip_extents(cr, &x0, &y0, &x1, &y1);
  SetColour(cr, kHatch);
  cairo_set_line_width(cr, 0.5);
  // Diagonals x - y = const at whole steps, so that neighbouring paths'
  // hatching lines up.
  const double height = y1 - y0;
  for (double d = std::floor((x0 - y1) / kHatchStep) * kHatchStep; d < x1 - y0; d += kHatchStep) {
    cairo_move_to(cr, d + y1, y1);
    cairo_line_to(cr, d + y1 - height, y0);
  }
  cairo_stroke(cr);
  cairo_restore(cr);
}

void DrawSection(cairo_t* cr, const ResistivitySection& s) {
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  double top = kOuterPad;
  if (!s.title.empty()) {
    SetColour(cr, kInk);
    SetFont(cr, kTitleSize, true);
    cairo_move_to(cr, (kSectionWidth - TextWidth(cr, s.title)) / 2, 21);
    cairo_show_text(cr, s.title.c_str());
    top = kTitleBand;
  }
  const std::vector<SectionStation>& st = s.stations;
  const Ground ground{&st, !std::isnan(st.front().elevation)};
  double deepest = 0, rhoLow = INFINITY, rhoHigh = -INFINITY;
  double groundLow = INFINITY, groundHigh = -INFINITY;
  for (const SectionStation& station : st) {
    double depth = 0;
    for (const double t : station.thicknesses) depth += t;
    deepest = std::max({deepest, depth, station.resolvedDepth});
    for (const double rho : station.resistivities) {
      rhoLow = std::min(rhoLow, rho);
      rhoHigh = std::max(rhoHigh, rho);
    }
    groundLow = std::min(groundLow, ground.Surface(station.x));
    groundHigh = std::max(groundHigh, ground.Surface(station.x));
  }
  if (rhoLow == rhoHigh) {
    rhoLow /= 1.2;
    rhoHigh *= 1.2;
  }
  deepest *= kDepthMargin;
  const ColourScale scale{Scale::kLog,
                          {rhoLow, rhoHigh},
                          kSequentialColours,
                          "Resistivity (" + Unicode(s.lengthUnit) + ")"};
  const Box area{kOuterPad + kAreaLeft, top + kStationBand,
                 kSectionWidth - 2 * kOuterPad - kAreaLeft - kAreaRight,
                 kSectionHeight - top - kStationBand - kTickBand - kXTitleBand - kOuterPad};
  const PlotAxis x =
      MakeAxis(Scale::kLinear, {ColumnSpan(st, 0).first, ColumnSpan(st, st.size() - 1).second},
               area.left, area.right());
  Axis yAxis;
  yAxis.scale = Scale::kLinear;
  const PlotAxis y =
      ground.elevations
          ? MakeAxis(Scale::kLinear, AxisRange(yAxis, groundLow - deepest, groundHigh),
                     area.bottom(), area.top)
          : MakeAxis(Scale::kLinear, AxisRange(yAxis, 0, deepest), area.top, area.bottom());

  cairo_save(cr);
  cairo_rectangle(cr, area.left, area.top, area.width, area.height);
  cairo_clip(cr);
  for (std::size_t k = 0; k < st.size(); ++k) {
    const auto [from, to] = ColumnSpan(st, k);
    const std::array<double, 3> at{from, st[k].x, to};
    // Each column reaches a little under the next, so that no seam of
    // smoothed edges shows between them.
    const double grow = k + 1 < st.size() ? kColumnOverlap : 0;
    double depth = 0;
    for (std::size_t layer = 0; layer < st[k].resistivities.size(); ++layer) {
      const double next =
          layer < st[k].thicknesses.size() ? depth + st[k].thicknesses[layer] : INFINITY;
      BandPath(cr, ground, x, y, at, depth, next, grow);
      SetRgb(cr, scale.ColourOfField(scale.Field(st[k].resistivities[layer])));
      cairo_fill(cr);
      depth = next;
    }
  }
  for (std::size_t k = 0; k < st.size(); ++k) {
    const auto [from, to] = ColumnSpan(st, k);
    BandPath(cr, ground, x, y, {from, st[k].x, to}, st[k].resolvedDepth, INFINITY, 0);
    Hatch(cr);
  }
  // Each boundary joined from station to station while both have it, and
  // across the end stations' outer halves.
  SetColour(cr, kBoundary);
  cairo_set_line_width(cr, 1);
  const auto boundaryDepth = [&](std::size_t k, std::size_t b) {
    double depth = 0;
    for (std::size_t l = 0; l <= b; ++l) depth += st[k].thicknesses[l];
    return depth;
  };
  for (std::size_t k = 0; k < st.size(); ++k) {
    const auto [from, to] = ColumnSpan(st, k);
    for (std::size_t b = 0; b < st[k].thicknesses.size(); ++b) {
      const double depth = boundaryDepth(k, b);
      const double end = k + 1 < st.size() && b < st[k + 1].thicknesses.size() ? st[k + 1].x : to;
      const double endDepth = end == to ? depth : boundaryDepth(k + 1, b);
      const bool joinedBefore = k > 0 && b < st[k - 1].thicknesses.size();
      const double start = joinedBefore ? st[k].x : from;
      cairo_move_to(cr, x.Page(start), y.Page(ground.At(start, depth)));
      cairo_line_to(cr, x.Page(st[k].x), y.Page(ground.At(st[k].x, depth)));
      cairo_line_to(cr, x.Page(end), y.Page(ground.At(end, endDepth)));
      cairo_stroke(cr);
    }
  }
  if (ground.elevations) {
    SetColour(cr, kTopography);
    cairo_set_line_width(cr, 1.6);
    cairo_move_to(cr, x.Page(x.range.min), y.Page(ground.Surface(x.range.min)));
    for (const SectionStation& station : st) {
      cairo_line_to(cr, x.Page(station.x), y.Page(station.elevation));
    }
    cairo_line_to(cr, x.Page(x.range.max), y.Page(ground.Surface(x.range.max)));
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  DrawAxes(cr, area, x, y, "Distance along the line (" + s.lengthUnit + ")",
           (ground.elevations ? "Elevation (" : "Depth (") + s.lengthUnit + ")");
  std::vector<StationMark> marks;
  for (const SectionStation& station : st) marks.push_back({station.x, station.label});
  DrawStations(cr, area, x, marks);
  DrawColourBar(cr, scale, area);
  // The hatching's key, under the colour bar.
  const Box key{area.right() + kBarGap, area.bottom() + kTickBand - 6, kBarWidth, kBarWidth};
  cairo_rectangle(cr, key.left, key.top, key.width, key.height);
  SetRgb(cr, ColourAt(kSequentialColours, 0.5));
  cairo_fill_preserve(cr);
  Hatch(cr);
  cairo_new_path(cr);
  SetColour(cr, kInk);
  SetFont(cr, kStationLabelSize);
  cairo_move_to(cr, key.right() + 4, key.bottom() - 2);
  cairo_show_text(cr, "not resolved");
}

}  // namespace

void WritePseudoSection(const PseudoSection& section, const std::string& path) {
  CheckPseudoSection(section);
  WriteCairoFile(path, kPseudoWidth, kPseudoHeight,
                 [&section](cairo_t* cr) { DrawPseudoSection(cr, section); });
}

void WriteResistivitySection(const ResistivitySection& section, const std::string& path) {
  CheckSection(section);
  WriteCairoFile(path, kSectionWidth, kSectionHeight,
                 [&section](cairo_t* cr) { DrawSection(cr, section); });
}

}  // namespace tavrin::plot
