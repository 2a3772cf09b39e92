// The look every figure shares: its font and sizes, its ink and grid colours,
// and the few Cairo steps that set them or draw text and tick labels.
#pragma once

#include <cairo.h>

#include <string>

#include "plot/ticks.h"

namespace tavrin::plot {

inline constexpr const char* kFont = "DejaVu Sans";
inline constexpr double kTitleSize = 13;
inline constexpr double kAxisTitleSize = 10.5;
inline constexpr double kTickLabelSize = 9;
inline constexpr double kLegendSize = 9;
inline constexpr double kSuperscriptShrink = 0.7;  // exponent size over label size
inline constexpr double kSuperscriptRise = 0.45;   // exponent baseline rise over label size

struct Colour {
  double r, g, b;
};

constexpr Colour Hex(unsigned rgb) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

inline constexpr Colour kInk = Hex(0x1A1A1A);
inline constexpr Colour kMajorGrid = Hex(0xBDBDBD);
inline constexpr Colour kMinorGrid = Hex(0xE8E8E8);

struct Box {
  double left, top, width, height;
  double right() const { return left + width; }
  double bottom() const { return top + height; }
};

void SetColour(cairo_t* cr, Colour c);
void SetFont(cairo_t* cr, double size, bool bold = false);
// The advance of `text` in the current font.
double TextWidth(cairo_t* cr, const std::string& text);
void StrokeLine(cairo_t* cr, double x0, double y0, double x1, double y1);

// A tick label's width: its text, and its raised exponent if any.
double TickLabelWidth(cairo_t* cr, const Tick& tick);
// A tick label's height, the raised exponent's included, with room to spare
// as the label is not quite centred on its tick.
double TickLabelHeight(const Tick& tick);
// A tick label, "10" with its exponent raised when it has one; `align` 0
// puts its left end at x, 0.5 its middle, 1 its right end.
void DrawTickLabel(cairo_t* cr, const Tick& tick, double x, double baseline, double align);

}  // namespace tavrin::plot
