// What the profile's two figures share: their page's bands, value-to-page
// maps, log or linear colour scales with their colour bar, the frame with
// its ticks and titles, the stations marked above a plot, and the checks of
// their input.
#pragma once

#include <cairo.h>

#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "plot/draw_kit.h"
#include "plot/profile_figures.h"
#include "plot/section_grid.h"
#include "plot/ticks.h"

namespace tavrin::plot::profile {

// Bands of the page: the title's, the pad at the page's edges, the plot
// area's left (y labels and title) and right (the colour bar, its labels and
// title), the station labels above a plot, the x labels below it and the x
// title under the last plot.
inline constexpr double kTitleBand = 30;
inline constexpr double kOuterPad = 6;
inline constexpr double kAreaLeft = 72;
inline constexpr double kAreaRight = 100;
inline constexpr double kStationBand = 20;
inline constexpr double kTickBand = 22;
inline constexpr double kXTitleBand = 18;
inline constexpr double kStationLabelSize = 8;
// The colour bar's distance right of the plot, and its width.
inline constexpr double kBarGap = 12;
inline constexpr double kBarWidth = 11;

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

// One axis of a plot: its scale and range of values, and the page map of
// the values (or of their log10).
struct PlotAxis {
  Scale scale;
  Range range;
  Map map;
  double Page(double value) const { return map(scale == Scale::kLog ? std::log10(value) : value); }
};

void SetRgb(cairo_t* cr, Rgb c);

// The resistivity unit of a length unit: "\u03A9\u00B7m" for "m".
std::string OhmUnit(const std::string& unit);

// The labelled ticks of `scale` along a bar `length` long.
std::vector<Tick> BarTicks(const ColourScale& scale, double length);

// The colour bar right of `area`, as tall, low values at the bottom; its
// ticks labelled at its right and its title beyond them.
void DrawColourBar(cairo_t* cr, const ColourScale& scale, const Box& area);

// The axis over `range` drawn from page position `start` (its min) to `end`.
PlotAxis MakeAxis(Scale scale, Range range, double start, double end);

// The frame, ticks and their labels left and below it, the y title, and
// the x title when it is not empty.
void DrawAxes(cairo_t* cr, const Box& area, const PlotAxis& x, const PlotAxis& y,
              const std::string& xTitle, const std::string& yTitle);

// A small triangle above the plot at each station and its label above it;
// a label that would touch the one before it is left out.
void DrawStations(cairo_t* cr, const Box& area, const PlotAxis& x,
                  const std::vector<StationMark>& marks);

// The input's checks: `what` names the figure in the one-line PlotError.
bool Positive(double v);  // finite and > 0
void Require(bool ok, const std::string& what, const std::string& reason);
void CheckUnit(const std::string& unit, const std::string& what);  // "m" or "ft"

// The figure's title centred at the top of a page `width` wide, if it has
// one; where the plots start below it.
double DrawTitle(cairo_t* cr, const std::string& title, double width);

}  // namespace tavrin::plot::profile
