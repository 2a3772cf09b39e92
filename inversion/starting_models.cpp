// Starting models read from the sounding curve. The curve's first branch
// gives the top layer's resistivity, its last branch the half-space's, and
// its turning points (maxima and minima) the layers between; a layer
// boundary lies near the AB/2 where the curve passes between the levels of
// two neighbouring layers. Each start scales those depths by one of a few
// factors and, for the layers between, may exaggerate their level (a thin
// layer's own resistivity lies beyond the curve's extreme), so that the fit
// does not depend on one guess.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "inversion_internal.h"
#include "sounding/portable_math.h"

namespace tavrin::inversion::internal {

namespace {

// A layer boundary at depth z shows on the curve at about AB/2 = z / scale;
// the scales tried span the range seen over rising and falling curves.
constexpr std::array kDepthScales{0.7, 0.3, 1.5};  // the plainest first
// Exaggeration of the inner layers' log levels beyond the curve's own.
constexpr std::array kExaggerations{0.0, 1.0};

// The curve as ln AB/2 against ln rho_a, sorted by AB/2, readings at one
// AB/2 (two MN/2 segments) averaged.
struct Curve {
  std::vector<double> u, v;
};

Curve CurveOf(std::span<const Datum> data) {
  std::vector<Datum> sorted(data.begin(), data.end());
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Datum& a, const Datum& b) { return a.ab2 < b.ab2; });
  Curve curve;
  for (std::size_t i = 0; i < sorted.size();) {
    std::size_t end = i;
    double sum = 0;
    while (end < sorted.size() && sorted[end].ab2 == sorted[i].ab2)
      sum += sounding::Log(sorted[end++].rho);
    curve.u.push_back(sounding::Log(sorted[i].ab2));
    curve.v.push_back(sum / static_cast<double>(end - i));
    i = end;
  }
  return curve;
}

// How far the curve (in ln rho_a) falls from its maximum at i (sign 1), or
// rises from its minimum (sign -1), on the side where it does so less,
// before it passes the extreme's level again or ends: a broad maximum stands
// out by the whole height of its branches, a wiggle of the noise by the
// noise alone.
double Prominence(const Curve& curve, std::size_t i, double sign) {
  const auto drop = [&](std::size_t j) { return sign * (curve.v[i] - curve.v[j]); };
  double left = 0, right = 0;
  for (std::size_t j = i; j-- > 0 && drop(j) >= 0;) left = std::max(left, drop(j));
  for (std::size_t j = i + 1; j < curve.v.size() && drop(j) >= 0; ++j)
    right = std::max(right, drop(j));
  return std::min(left, right);
}

// Indices of the curve's characteristic points: its ends and up to
// `inner` turning points (the most prominent first), then points evenly
// spread in ln AB/2 while there are fewer; in order of AB/2.
std::vector<std::size_t> CharacteristicPoints(const Curve& curve, int inner) {
  const std::size_t n = curve.u.size();
  std::vector<std::size_t> points{0, n - 1};
  std::vector<std::pair<double, std::size_t>> turns;  // prominence, index
  for (std::size_t i = 1; i + 1 < n; ++i) {
    const double left = curve.v[i] - curve.v[i - 1], right = curve.v[i + 1] - curve.v[i];
    if (left * right < 0) turns.push_back({Prominence(curve, i, left > 0 ? 1.0 : -1.0), i});
  }
  std::sort(turns.rbegin(), turns.rend());
  for (std::size_t t = 0; t < turns.size() && points.size() < static_cast<std::size_t>(inner) + 2;
       ++t) {
    points.push_back(turns[t].second);
  }
  // Fill with points evenly spaced in ln AB/2, nearest reading to each.
  for (int k = 1; points.size() < static_cast<std::size_t>(inner) + 2 && k <= 4 * inner; ++k) {
    const double target =
        curve.u.front() + (curve.u.back() - curve.u.front()) * k / (2.0 * inner + 1);
    std::size_t nearest = 0;
    for (std::size_t i = 0; i < n; ++i) {
      if (std::abs(curve.u[i] - target) < std::abs(curve.u[nearest] - target)) nearest = i;
    }
    if (std::find(points.begin(), points.end(), nearest) == points.end()) points.push_back(nearest);
  }
  std::sort(points.begin(), points.end());
  return points;
}

// ln AB/2 where the curve, between points a < b, passes the mean of their
// levels; the midpoint of their ln AB/2 if it does not.
double CrossingBetween(const Curve& curve, std::size_t a, std::size_t b) {
  const double level = 0.5 * (curve.v[a] + curve.v[b]);
  for (std::size_t i = a; i < b; ++i) {
    const double d0 = curve.v[i] - level, d1 = curve.v[i + 1] - level;
    if (d0 == 0) return curve.u[i];
    if (d0 * d1 < 0) return curve.u[i] + (curve.u[i + 1] - curve.u[i]) * d0 / (d0 - d1);
  }
  return 0.5 * (curve.u[a] + curve.u[b]);
}

}  // namespace

std::vector<Eigen::VectorXd> StartingModels(std::span<const Datum> data, int layers) {
  const Curve curve = CurveOf(data);
  const Eigen::Index count = ParameterCount(layers);
  if (layers == 1) {
    const double mean =
        std::accumulate(curve.v.begin(), curve.v.end(), 0.0) / static_cast<double>(curve.v.size());
    return {Eigen::VectorXd::Constant(1, mean)};
  }
  std::vector<std::size_t> points = CharacteristicPoints(curve, layers - 2);
  // A short curve has fewer distinct points than layers: repeat the last.
  while (points.size() < static_cast<std::size_t>(layers)) points.push_back(points.back());

  std::vector<Eigen::VectorXd> starts;
  for (const double exaggeration : kExaggerations) {
    if (exaggeration != 0 && layers < 3) continue;
    for (const double scale : kDepthScales) {
      Eigen::VectorXd x(count);
      for (int j = 0; j < layers; ++j) {
        double level = curve.v[points[j]];
        if (j > 0 && j + 1 < layers) {
          const double around = 0.5 * (curve.v[points[j - 1]] + curve.v[points[j + 1]]);
          level += exaggeration * (level - around);
        }
        x[j] = level;
      }
      double top = 0;
      for (int j = 0; j + 1 < layers; ++j) {
        const double crossing = points[j] < points[j + 1]
                                    ? CrossingBetween(curve, points[j], points[j + 1])
                                    : curve.u[points[j]] + sounding::Log(1.0 + j);
        const double depth = std::max(sounding::Exp(crossing) * scale, top * 1.5);
        x[layers + j] = sounding::Log(depth - top);
        top = depth;
      }
      starts.push_back(std::move(x));
    }
  }
  return starts;
}

}  // namespace tavrin::inversion::internal
