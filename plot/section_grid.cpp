// Interpolation between columns of readings, marching-squares contours and
// colour maps for the profile figures.
#include "plot/section_grid.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <map>

namespace tavrin::plot {

namespace {

double Lerp(double a, double b, double w) {
  return a + w * (b - a);
}

}  // namespace

ColumnField::ColumnField(std::span<const ColumnSample> samples) {
  // Per x, per u: the sum and count of the values there.
  std::map<double, std::map<double, std::pair<double, int>>> byX;
  for (const ColumnSample& s : samples) {
    assert(std::isfinite(s.x) && std::isfinite(s.u));
    if (std::isnan(s.value)) continue;
    auto& cell = byX[s.x][s.u];
    cell.first += s.value;
    ++cell.second;
  }
  for (const auto& [x, column] : byX) {
    Column c{x, {}, {}};
    for (const auto& [u, sum] : column) {
      c.u.push_back(u);
      c.v.push_back(sum.first / sum.second);
    }
    columns_.push_back(std::move(c));
  }
}

double ColumnField::Column::At(double at) const {
  if (at <= u.front()) return v.front();
  if (at >= u.back()) return v.back();
  const std::size_t k =
      static_cast<std::size_t>(std::upper_bound(u.begin(), u.end(), at) - u.begin());
  return Lerp(v[k - 1], v[k], (at - u[k - 1]) / (u[k] - u[k - 1]));
}

double ColumnField::Blend(std::size_t left, double x, double u, bool clamp) const {
  const Column& c0 = columns_[left];
  const Column& c1 = columns_[left + 1];
  const double w = (x - c0.x) / (c1.x - c0.x);
  const double a = Lerp(c0.top(), c1.top(), w);
  const double b = Lerp(c0.bottom(), c1.bottom(), w);
  // A rounding error's slack at the hull's edge.
  const double slack = 1e-12 * std::max({1.0, std::abs(a), std::abs(b)});
  if (!clamp && (u < a - slack || u > b + slack)) return NAN;
  const double s = b > a ? std::clamp((u - a) / (b - a), 0.0, 1.0) : 0;
  return Lerp(c0.At(Lerp(c0.top(), c0.bottom(), s)), c1.At(Lerp(c1.top(), c1.bottom(), s)), w);
}

double ColumnField::At(double x, double u) const {
  if (columns_.empty() || x < columns_.front().x || x > columns_.back().x) return NAN;
  if (columns_.size() == 1) {
    const Column& c = columns_.front();
    return u >= c.top() && u <= c.bottom() ? c.At(u) : NAN;
  }
  const auto right = std::upper_bound(columns_.begin(), columns_.end(), x,
                                      [](double at, const Column& c) { return at < c.x; });
  const std::size_t left =
      std::min(static_cast<std::size_t>(right - columns_.begin()) - 1, columns_.size() - 2);
  return Blend(left, x, u, false);
}

double ColumnField::AtClamped(double x, double u) const {
  if (columns_.empty()) return NAN;
  if (columns_.size() == 1) return columns_.front().At(u);
  x = std::clamp(x, columns_.front().x, columns_.back().x);
  const auto right = std::upper_bound(columns_.begin(), columns_.end(), x,
                                      [](double at, const Column& c) { return at < c.x; });
  const std::size_t left =
      std::min(static_cast<std::size_t>(right - columns_.begin()) - 1, columns_.size() - 2);
  return Blend(left, x, u, true);
}

std::vector<Point> ColumnField::Outline() const {
  std::vector<Point> outline;
  if (columns_.size() < 2) return outline;
  for (const Column& c : columns_) outline.push_back({c.x, c.top()});
  for (auto c = columns_.rbegin(); c != columns_.rend(); ++c)
    outline.push_back({c->x, c->bottom()});
  return outline;
}

namespace {

// A cell's corners counter-clockwise from (i, j): 0 (i, j), 1 (i+1, j),
// 2 (i+1, j+1), 3 (i, j+1); edge e runs from corner e to corner (e+1) % 4.
// For each set of corners at or above the level (bit c for corner c), the
// pairs of edges its contour joins. The saddles 5 and 10 list their pairs
// for a mean below the level; a mean at or above it joins the other way.
struct EdgePairs {
  int count;
  std::array<std::array<int, 2>, 2> pairs;
};
constexpr std::array<EdgePairs, 16> kCases{{
    {0, {}},
    {1, {{{3, 0}}}},
    {1, {{{0, 1}}}},
    {1, {{{3, 1}}}},
    {1, {{{1, 2}}}},
    {2, {{{3, 0}, {1, 2}}}},
    {1, {{{0, 2}}}},
    {1, {{{3, 2}}}},
    {1, {{{2, 3}}}},
    {1, {{{0, 2}}}},
    {2, {{{0, 1}, {2, 3}}}},
    {1, {{{1, 2}}}},
    {1, {{{3, 1}}}},
    {1, {{{0, 1}}}},
    {1, {{{3, 0}}}},
    {0, {}},
}};
constexpr std::array<Point, 4> kCorners{{{0, 0}, {1, 0}, {1, 1}, {0, 1}}};

}  // namespace

std::vector<Segment> ContourSegments(const Grid& grid, double level) {
  std::vector<Segment> segments;
  for (std::size_t j = 0; j + 1 < grid.ny; ++j) {
    for (std::size_t i = 0; i + 1 < grid.nx; ++i) {
      const std::array<double, 4> v{grid.at(i, j), grid.at(i + 1, j), grid.at(i + 1, j + 1),
                                    grid.at(i, j + 1)};
      if (std::any_of(v.begin(), v.end(), [](double x) { return std::isnan(x); })) continue;
      int index = 0;
      for (int c = 0; c < 4; ++c) index |= (v[c] >= level ? 1 : 0) << c;
      EdgePairs cell = kCases[index];
      if (cell.count == 2 && (v[0] + v[1] + v[2] + v[3]) / 4 >= level) {
        cell = index == 5 ? EdgePairs{2, {{{0, 1}, {2, 3}}}} : EdgePairs{2, {{{3, 0}, {1, 2}}}};
      }
      const auto crossing = [&](int edge) {
        const int c0 = edge;
        const int c1 = (edge + 1) % 4;
        const double t = (level - v[c0]) / (v[c1] - v[c0]);
        return Point{static_cast<double>(i) + Lerp(kCorners[c0].x, kCorners[c1].x, t),
                     static_cast<double>(j) + Lerp(kCorners[c0].y, kCorners[c1].y, t)};
      };
      for (int k = 0; k < cell.count; ++k) {
        segments.push_back({crossing(cell.pairs[k][0]), crossing(cell.pairs[k][1])});
      }
    }
  }
  return segments;
}

const std::array<ColourStop, 8> kSequentialColours{{{0.00, 0x2D0B4E},
                                                    {0.15, 0x403A8A},
                                                    {0.30, 0x30669C},
                                                    {0.45, 0x23908C},
                                                    {0.60, 0x2DB37B},
                                                    {0.75, 0x78CF55},
                                                    {0.90, 0xC6DF3C},
                                                    {1.00, 0xFBE626}}};
const std::array<ColourStop, 5> kDivergingColours{
    {{0.00, 0x2166AC}, {0.25, 0x6FA9D2}, {0.50, 0xF7F7F7}, {0.75, 0xEC8A64}, {1.00, 0xB2182B}}};

Rgb ColourAt(std::span<const ColourStop> stops, double t) {
  assert(!stops.empty());
  const auto rgb = [](unsigned c) {
    return Rgb{((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0};
  };
  if (!(t > stops.front().t)) return rgb(stops.front().rgb);
  for (std::size_t k = 1; k < stops.size(); ++k) {
    if (t <= stops[k].t) {
      const Rgb a = rgb(stops[k - 1].rgb);
      const Rgb b = rgb(stops[k].rgb);
      const double w = (t - stops[k - 1].t) / (stops[k].t - stops[k - 1].t);
      return {Lerp(a.r, b.r, w), Lerp(a.g, b.g, w), Lerp(a.b, b.b, w)};
    }
  }
  return rgb(stops.back().rgb);
}

}  // namespace tavrin::plot
