// A drawing written to a file: the Cairo surface for the format the file's
// extension names (a page `width` by `height` points; PNG at kPngScale pixels
// a point), the drawing onto it, and any failure as a one-line PlotError.
#pragma once

#include <cairo.h>

#include <functional>
#include <string>

namespace tavrin::plot {

void WriteCairoFile(const std::string& path, double width, double height,
                    const std::function<void(cairo_t*)>& draw);

}  // namespace tavrin::plot
