// Drawing a figure with Cairo onto any surface: the one drawing code behind
// every output format.
#pragma once

#include <cairo.h>

#include "plot/figure.h"

namespace tavrin::plot {

// The figure's size in points (1/72 inch): SVG and PDF pages have it, PNG
// images have it times kPngScale in pixels.
inline constexpr double kFigureWidth = 760;
inline constexpr double kFigureHeight = 480;
inline constexpr double kPngScale = 2;

// Draws `figure` onto `cr`, which spans kFigureWidth by kFigureHeight user
// units.
void DrawFigure(cairo_t* cr, const Figure& figure);

}  // namespace tavrin::plot
