// A figure: columns of panels, each panel a pair of axes with its series.
// One drawing code makes it as SVG, PNG or PDF, chosen by the file name.
//
// Series kinds: markers (measured points; each series of a panel gets its own
// marker shape and colour, or borrows another's to show it faintly), lines
// (curves) and steps (a layered model: one value per layer against depth).
// New kinds go beside them in Panel. A panel may also shade stretches of y
// across its width and add lines of text to its legend.
#pragma once

#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::plot {

struct Point {
  double x;
  double y;
};

// How a marker series is drawn.
enum class MarkerLook {
  kOpen,     // its shape and colour, white inside
  kFaint,    // the same, lighter and beneath the rest: points as they were
  kLeftOut,  // hollow grey crosses: points left out of the work
};

struct MarkerSeries {
  std::string label;  // legend entry; none when empty
  std::vector<Point> points;
  MarkerLook look = MarkerLook::kOpen;
  // The shape and colour of the panel's marker series of this index; its
  // own index when negative.
  int like = -1;
};

struct LineSeries {
  std::string label;
  std::vector<Point> points;  // joined in this order
};

// A step profile: values[k] holds from boundaries[k-1] to boundaries[k] along
// y (the first from the axis' start, the last to its end); x is the value.
struct StepSeries {
  std::string label;
  std::vector<double> values;      // N values
  std::vector<double> boundaries;  // N - 1 increasing positions
  // An uncertainty band, shaded behind the steps: each layer's value lies
  // from bandLow[k] to bandHigh[k] (both N values, or both empty).
  std::vector<double> bandLow;
  std::vector<double> bandHigh;
};

// A stretch of y shaded across the plot, from `from` to `to`, with a label
// drawn inside it next to `from` (none when empty).
struct YBand {
  double from;
  double to;
  std::string label;
};

enum class Scale { kLog, kLinear };

struct Axis {
  std::string title;
  Scale scale = Scale::kLog;
  bool reversed = false;  // values grow downward (y) or leftward (x), as depth
  // The range; NaN: from the series, widened to whole decades (log) or to
  // round ticks (linear).
  double min = std::numeric_limits<double>::quiet_NaN();
  double max = std::numeric_limits<double>::quiet_NaN();
};

struct Panel {
  Axis x;
  Axis y;
  double height = 1;  // share of its column's height
  // Log-log panels only: a decade has the same length across and up (as on
  // double-log sounding paper), each axis widened by whole decades to fill
  // the panel as well as it can.
  bool equalDecades = false;
  std::vector<MarkerSeries> markers;
  std::vector<LineSeries> lines;
  std::vector<StepSeries> steps;
  std::vector<YBand> yBands;       // beneath the series
  std::vector<std::string> notes;  // lines of text in the legend's box, below its entries
};

struct Column {
  double width = 1;           // share of the figure's width
  std::vector<Panel> panels;  // top to bottom
};

struct Figure {
  std::string title;
  std::vector<Column> columns;  // left to right
};

enum class Format { kSvg, kPng, kPdf };

// The format a file name asks for by its extension (.svg, .png, .pdf, any
// case); nullopt for any other.
std::optional<Format> FormatOf(std::string_view path);

// A plot that cannot be written; what() is a one-line message.
class PlotError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Whether this build can write figures at all: false where it was built
// without Cairo, and WriteFigure then always throws.
bool CanWriteFigures();

// Draws `figure` into the file `path` in the format its extension names.
// Throws PlotError for an unknown extension or a file that cannot be written.
void WriteFigure(const Figure& figure, const std::string& path);

}  // namespace tavrin::plot
