// The profile's pseudo-section: three panels stacked (observed apparent
// resistivity, modelled, and their misfit in percent), each by position
// along the line across and AB/2 down on a log axis. Each panel is filled by
// the field interpolated between the stations' columns of readings
// (ColumnField: per column linear in log10 AB/2, blended between neighbouring
// columns at the same relative height; nothing beyond the columns' hull),
// coloured on a log (resistivity) or diverging (misfit) scale, contoured at
// its colour bar's labelled ticks by marching squares, and dotted at each
// reading.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "plot/cairo_file.h"
#include "plot/profile_draw.h"
#include "plot/profile_figures.h"

namespace tavrin::plot {

using namespace profile;

namespace {

constexpr double kPseudoWidth = 760;
constexpr double kPseudoHeight = 920;
// A panel's heading above its station labels.
constexpr double kHeadingBand = 16;
constexpr double kNoteSize = 10;
constexpr Colour kNoteInk = Hex(0x707070);
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
// The axes reach this share of the data's span beyond it across, and this
// factor beyond its AB/2 down.
constexpr double kXPad = 0.03;
constexpr double kAb2Pad = 1.12;

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
  const double top = DrawTitle(cr, s.title, kPseudoWidth);
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
                             "Apparent resistivity (" + OhmUnit(s.lengthUnit) + ")"};
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

}  // namespace

void WritePseudoSection(const PseudoSection& section, const std::string& path) {
  CheckPseudoSection(section);
  WriteCairoFile(path, kPseudoWidth, kPseudoHeight,
                 [&section](cairo_t* cr) { DrawPseudoSection(cr, section); });
}

}  // namespace tavrin::plot
