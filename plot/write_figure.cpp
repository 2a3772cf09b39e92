// Writing a figure to a file: the surface for the format the file name asks
// for, the drawing onto it, and any failure as a PlotError.
#include <cairo-pdf.h>
#include <cairo-svg.h>

#include <memory>

#include "plot/cairo_file.h"
#include "plot/draw.h"
#include "plot/figure.h"

namespace tavrin::plot {

namespace {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using ContextPtr = std::unique_ptr<cairo_t, ContextDeleter>;

void Check(cairo_status_t status, const std::string& path) {
  if (status != CAIRO_STATUS_SUCCESS) {
    throw PlotError("cannot write the plot '" + path + "': " + cairo_status_to_string(status));
  }
}

SurfacePtr MakeSurface(Format format, const std::string& path, double width, double height) {
  switch (format) {
    case Format::kSvg:
      return SurfacePtr(cairo_svg_surface_create(path.c_str(), width, height));
    case Format::kPdf:
      return SurfacePtr(cairo_pdf_surface_create(path.c_str(), width, height));
    case Format::kPng:
      return SurfacePtr(cairo_image_surface_create(CAIRO_FORMAT_RGB24,
                                                   static_cast<int>(width * kPngScale),
                                                   static_cast<int>(height * kPngScale)));
  }
  return nullptr;
}

}  // namespace

bool CanWriteFigures() {
  return true;
}

void WriteCairoFile(const std::string& path, double width, double height,
                    const std::function<void(cairo_t*)>& draw) {
  const std::optional<Format> format = FormatOf(path);
  if (!format) {
    throw PlotError("cannot tell the plot's format from '" + path + "' (use .svg, .png or .pdf)");
  }
  const SurfacePtr surface = MakeSurface(*format, path, width, height);
  Check(cairo_surface_status(surface.get()), path);
  {
    const ContextPtr cr(cairo_create(surface.get()));
    if (*format == Format::kPng) cairo_scale(cr.get(), kPngScale, kPngScale);
    draw(cr.get());
    Check(cairo_status(cr.get()), path);
  }
  if (*format == Format::kPng) {
    Check(cairo_surface_write_to_png(surface.get(), path.c_str()), path);
  }
  cairo_surface_finish(surface.get());
  Check(cairo_surface_status(surface.get()), path);
}

void WriteFigure(const Figure& figure, const std::string& path) {
  WriteCairoFile(path, kFigureWidth, kFigureHeight,
                 [&figure](cairo_t* cr) { DrawFigure(cr, figure); });
}

}  // namespace tavrin::plot
