// The numbers behind the profile figures, apart from any drawing: a field
// interpolated between columns of readings, its contours on a grid by
// marching squares, and colour maps as tables of stops.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include "plot/figure.h"

namespace tavrin::plot {

// A value read at position x along the line and at u down the column (the
// pseudo-section's u is log10 AB/2).
struct ColumnSample {
  double x;
  double u;
  double value;
};

// A field known on columns of samples (all samples at one x form a column).
//
// Within a column the field is linear in u between its samples (samples at
// equal u averaged). Between neighbouring columns c0 at x0 spanning u in
// [a0, b0] and c1 at x1 spanning [a1, b1], the point (x, u) with
// w = (x - x0) / (x1 - x0) lies at the relative height
// s = (u - a(w)) / (b(w) - a(w)), a(w) = a0 + w (a1 - a0), b likewise, and
//   f(x, u) = (1 - w) f0(a0 + s (b0 - a0)) + w f1(a1 + s (b1 - a1)),
// the two columns' profiles blended at the same relative height. The field
// is defined on the quadrilateral between the columns' ends (the hull of the
// two columns), continuous, equal to the samples at the samples, and a
// convex combination of them: never outside their least and greatest value.
// Outside the union of these quadrilaterals it is NaN. Preconditions:
// finite x and u.
class ColumnField {
 public:
  // Samples with a NaN value are left out; so are columns left empty.
  explicit ColumnField(std::span<const ColumnSample> samples);

  // NaN outside the columns' hull.
  double At(double x, double u) const;
  // The value at the nearest point of the hull (straight up or down, or to
  // the end column): for drawing up to the hull's edge, then clipped to it.
  double AtClamped(double x, double u) const;
  // The hull's outline: along the columns' tops, then back along their
  // bottoms. Empty when there are fewer than two columns.
  std::vector<Point> Outline() const;
  std::size_t Columns() const { return columns_.size(); }

 private:
  struct Column {
    double x;
    std::vector<double> u;  // increasing
    std::vector<double> v;
    double top() const { return u.front(); }
    double bottom() const { return u.back(); }
    double At(double at) const;
  };
  double Blend(std::size_t left, double x, double u, bool clamp) const;
  std::vector<Column> columns_;
};

// Values at the nodes of a grid, nx across by ny down, row by row; NaN where
// there is none.
struct Grid {
  std::size_t nx = 0;
  std::size_t ny = 0;
  std::vector<double> values;
  double at(std::size_t i, std::size_t j) const { return values[j * nx + i]; }
};

// A piece of a contour, in grid coordinates (node (i, j) at (i, j)).
struct Segment {
  Point a;
  Point b;
};

// The contour of `grid` at `level` by marching squares: in each cell whose
// four corners have values, the level crosses an edge with one corner at or
// above it and one below, at the linear interpolate
// t = (level - v0) / (v1 - v0) along it; the ambiguous saddles (diagonal
// corners alike) are joined as the cell's mean value says. Cells with a NaN
// corner have no contour.
std::vector<Segment> ContourSegments(const Grid& grid, double level);

struct Rgb {
  double r, g, b;
};
// A colour map: stops at increasing t from 0 to 1, linear between them.
struct ColourStop {
  double t;
  unsigned rgb;  // 0xRRGGBB
};
// Sequential, from dark violet through blue and green to yellow, lightness
// rising all the way: low resistivities dark.
extern const std::array<ColourStop, 8> kSequentialColours;
// Diverging, blue through white to red: negative, zero and positive misfit.
extern const std::array<ColourStop, 5> kDivergingColours;

// The map's colour at t, clamped to [0, 1].
Rgb ColourAt(std::span<const ColourStop> stops, double t);

}  // namespace tavrin::plot
