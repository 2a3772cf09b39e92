// The shared look's Cairo steps: colours, fonts, text widths and tick labels.
#include "plot/draw_kit.h"

namespace tavrin::plot {

void SetColour(cairo_t* cr, Colour c) {
  cairo_set_source_rgb(cr, c.r, c.g, c.b);
}

void SetFont(cairo_t* cr, double size, bool bold) {
  cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
}

double TextWidth(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  return extents.x_advance;
}

void StrokeLine(cairo_t* cr, double x0, double y0, double x1, double y1) {
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  cairo_stroke(cr);
}

double TickLabelWidth(cairo_t* cr, const Tick& tick) {
  SetFont(cr, kTickLabelSize);
  const double baseWidth = TextWidth(cr, tick.label);
  SetFont(cr, kTickLabelSize * kSuperscriptShrink);
  return baseWidth + (tick.exponent.empty() ? 0 : TextWidth(cr, tick.exponent));
}

double TickLabelHeight(const Tick& tick) {
  return kTickLabelSize * (tick.exponent.empty() ? 1 : 1 + kSuperscriptRise);
}

void DrawTickLabel(cairo_t* cr, const Tick& tick, double x, double baseline, double align) {
  const double left = x - align * TickLabelWidth(cr, tick);
  SetFont(cr, kTickLabelSize);
  cairo_move_to(cr, left, baseline);
  cairo_show_text(cr, tick.label.c_str());
  if (!tick.exponent.empty()) {
    const double baseWidth = TextWidth(cr, tick.label);
    SetFont(cr, kTickLabelSize * kSuperscriptShrink);
    cairo_move_to(cr, left + baseWidth, baseline - kSuperscriptRise * kTickLabelSize);
    cairo_show_text(cr, tick.exponent.c_str());
  }
}

}  // namespace tavrin::plot
