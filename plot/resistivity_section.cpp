// The profile's resistivity section: each station's layered model as a
// column of colours on a log scale, reaching halfway to its neighbours, the
// layer boundaries joined from station to station as lines, depth down (or
// elevation up, the ground drawn along the top), and what lies below the
// depth the readings resolve hatched.
#include <algorithm>
#include <array>
#include <cmath>

#include "plot/cairo_file.h"
#include "plot/profile_draw.h"
#include "plot/profile_figures.h"

namespace tavrin::plot {

using namespace profile;

namespace {

constexpr double kSectionWidth = 760;
constexpr double kSectionHeight = 500;
// The depth axis reaches this factor below the deepest resolved depth or
// boundary.
constexpr double kDepthMargin = 1.15;
// Each column reaches this far (points) under the next, so that no seam of
// smoothed edges shows between them.
constexpr double kColumnOverlap = 0.75;
// The hatching of what the readings cannot resolve: a wash lighter, and
// diagonals this far apart.
constexpr double kHatchStep = 5;
constexpr double kHatchWash = 0.45;
constexpr Colour kHatch = Hex(0x555555);
constexpr Colour kBoundary = Hex(0x1A1A1A);
constexpr Colour kTopography = Hex(0x6B4423);

double Lerp(double a, double b, double w) {
  return a + w * (b - a);
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
  const double top = DrawTitle(cr, s.title, kSectionWidth);
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
                          "Resistivity (" + OhmUnit(s.lengthUnit) + ")"};
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

void WriteResistivitySection(const ResistivitySection& section, const std::string& path) {
  CheckSection(section);
  WriteCairoFile(path, kSectionWidth, kSectionHeight,
                 [&section](cairo_t* cr) { DrawSection(cr, section); });
}

}  // namespace tavrin::plot
