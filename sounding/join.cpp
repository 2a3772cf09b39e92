// Joining the MN/2 segments of a sounding, and the mismatches between them.
//
// Each segment s is a curve ln rho_s(x) of x = ln AB/2: its readings, those
// at one AB/2 averaged in the log, joined by straight lines between them.
// Two segments a and b overlap where a reading of one lies within the other's
// AB/2 range (ends included). Over every such reading, of a in b's range and
// of b in a's, the difference
//   d_i = ln rho_b(x_i) - ln rho_a(x_i),
// one side the reading and the other its curve, gives the least-squares
// shift of the logarithms,
//   D(a, b) = (1 / n) sum_i d_i = argmin_D sum_i (ln rho_a(x_i) + D - ln rho_b(x_i))^2,
// and D(b, a) = -D(a, b) because both directions are taken.
//
// Neighbours are adjacent in MN/2 order. From the reference r (factor 1),
// the factors chain outward: a segment s next to its already joined
// neighbour n, on the side away from r, has
//   ln f_s = ln f_n + D(s, n),
// so that f_s rho_s meets f_n rho_n. A neighbour pair without overlap stops
// the chain: s and every segment beyond it keep factor 1, not joined.
// The ratio a mismatch reports is exp(D(smaller MN/2, larger MN/2)).
//
// Preconditions: every reading has AB/2 > 0 and rho > 0 (the reader gives
// no others), and a segment index below segmentCount. A NaN MN/2 sorts
// before every other; a sheet without MN/2 has one segment.
#include "sounding/join.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numeric>
#include <string>

#include "sounding/portable_math.h"

namespace tavrin::sounding {

namespace {

// A reference MN/2 names a segment when it equals the segment's MN/2 to this
// relative difference.
constexpr double kSameMn2 = 1e-9;

// One segment's curve: its distinct AB/2 in increasing order.
struct Curve {
  double mn2 = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> lnAb2;
  std::vector<double> lnRho;  // the mean ln rho of the readings at each AB/2
  std::vector<int> readings;  // how many readings each point averages
};

std::vector<Curve> SegmentCurves(const Sounding& sounding) {
  std::vector<Curve> curves(static_cast<std::size_t>(sounding.segmentCount));
  std::vector<std::vector<std::pair<double, double>>> points(curves.size());
  for (const Reading& r : sounding.readings) {
    assert(r.segment >= 0 && r.segment < sounding.segmentCount);
    assert(r.ab2 > 0 && r.rho > 0);
    auto& segment = points[static_cast<std::size_t>(r.segment)];
    if (segment.empty()) curves[static_cast<std::size_t>(r.segment)].mn2 = r.mn2;
    segment.emplace_back(r.ab2, Log(r.rho));
  }
  for (std::size_t s = 0; s < curves.size(); ++s) {
    auto& segment = points[s];
    std::sort(segment.begin(), segment.end());
    Curve& curve = curves[s];
    for (std::size_t i = 0; i < segment.size();) {
      std::size_t end = i;
      double sum = 0;
      for (; end < segment.size() && segment[end].first == segment[i].first; ++end) {
        sum += segment[end].second;
      }
      const int count = static_cast<int>(end - i);
      curve.lnAb2.push_back(Log(segment[i].first));
      curve.lnRho.push_back(sum / count);
      curve.readings.push_back(count);
      i = end;
    }
  }
  return curves;
}

bool Within(const Curve& curve, double x) {
  return !curve.lnAb2.empty() && x >= curve.lnAb2.front() && x <= curve.lnAb2.back();
}

// The curve at x, which lies within its range.
double At(const Curve& curve, double x) {
  const auto upper = std::upper_bound(curve.lnAb2.begin(), curve.lnAb2.end(), x);
  if (upper == curve.lnAb2.end()) return curve.lnRho.back();  // x is the last AB/2
  const std::size_t k = static_cast<std::size_t>(upper - curve.lnAb2.begin());
  const double t = (x - curve.lnAb2[k - 1]) / (curve.lnAb2[k] - curve.lnAb2[k - 1]);
  return curve.lnRho[k - 1] + t * (curve.lnRho[k] - curve.lnRho[k - 1]);
}

struct Overlap {
  double shift = 0;   // D(a, b); 0 without overlap
  int terms = 0;      // the d_i; 0: no overlap
  int readingsA = 0;  // a's readings within b's range
  int readingsB = 0;  // b's readings within a's range
};

Overlap LogShift(const Curve& a, const Curve& b) {
  Overlap overlap;
  double sum = 0;
  for (std::size_t i = 0; i < a.lnAb2.size(); ++i) {
    if (!Within(b, a.lnAb2[i])) continue;
    sum += At(b, a.lnAb2[i]) - a.lnRho[i];
    ++overlap.terms;
    overlap.readingsA += a.readings[i];
  }
  for (std::size_t i = 0; i < b.lnAb2.size(); ++i) {
    if (!Within(a, b.lnAb2[i])) continue;
    sum += b.lnRho[i] - At(a, b.lnAb2[i]);
    ++overlap.terms;
    overlap.readingsB += b.readings[i];
  }
  if (overlap.terms > 0) overlap.shift = sum / overlap.terms;
  return overlap;
}

// Segment indices by increasing MN/2, NaN first, ties in input order.
std::vector<int> Mn2Order(const std::vector<Curve>& curves) {
  std::vector<int> order(curves.size());
  std::iota(order.begin(), order.end(), 0);
  const auto key = [&](int s) {
    const double mn2 = curves[static_cast<std::size_t>(s)].mn2;
    return std::pair(!std::isnan(mn2), std::isnan(mn2) ? 0.0 : mn2);
  };
  std::stable_sort(order.begin(), order.end(), [&](int x, int y) { return key(x) < key(y); });
  return order;
}

bool SameMn2(double a, double b) {
  return a == b || std::fabs(a - b) <= kSameMn2 * std::max(std::fabs(a), std::fabs(b));
}

std::string Mn2Text(double mn2) {
  if (std::isnan(mn2)) return "none";
  char text[32];
  std::snprintf(text, sizeof text, "%g", mn2);
  return text;
}

// The position in `order` of the reference segment.
std::size_t ReferencePosition(const std::vector<Curve>& curves, const std::vector<int>& order,
                              std::optional<double> referenceMn2) {
  if (!referenceMn2) return order.empty() ? 0 : order.size() - 1;
  for (std::size_t p = 0; p < order.size(); ++p) {
    if (SameMn2(curves[static_cast<std::size_t>(order[p])].mn2, *referenceMn2)) return p;
  }
  std::string message = "no segment has MN/2 = " + Mn2Text(*referenceMn2) + "; the segments' MN/2:";
  for (std::size_t p = 0; p < order.size(); ++p) {
    message += (p == 0 ? " " : ", ") + Mn2Text(curves[static_cast<std::size_t>(order[p])].mn2);
  }
  if (order.empty()) message += " none";
  throw JoinError(message);
}

}  // namespace

JoinResult JoinSegments(const Sounding& sounding, std::optional<double> referenceMn2) {
  const std::vector<Curve> curves = SegmentCurves(sounding);
  const std::vector<int> order = Mn2Order(curves);
  const std::size_t reference = ReferencePosition(curves, order, referenceMn2);

  JoinResult result;
  for (const Curve& c : curves) result.segments.push_back({c.mn2, 1, false, 0});
  if (order.empty()) return result;
  result.reference = order[reference];
  result.segments[static_cast<std::size_t>(result.reference)].joined = true;
  // Outward on each side, towards larger MN/2 and then towards smaller.
  for (const bool up : {true, false}) {
    double lnFactor = 0;
    for (std::size_t p = reference; up ? p + 1 < order.size() : p > 0;) {
      const std::size_t next = up ? p + 1 : p - 1;
      const int s = order[next];
      const Overlap overlap =
          LogShift(curves[static_cast<std::size_t>(s)], curves[static_cast<std::size_t>(order[p])]);
      if (overlap.terms == 0) break;
      lnFactor += overlap.shift;
      result.segments[static_cast<std::size_t>(s)] = {curves[static_cast<std::size_t>(s)].mn2,
                                                      Exp(lnFactor), true, overlap.readingsA};
      p = next;
    }
  }
  return result;
}

void ApplyJoin(Sounding& sounding, const JoinResult& join) {
  assert(join.segments.size() == static_cast<std::size_t>(sounding.segmentCount));
  for (Reading& r : sounding.readings) {
    const double factor = join.segments[static_cast<std::size_t>(r.segment)].factor;
    r.rho *= factor;
    // A sounding joined before keeps the whole factor since it was read.
    r.shift *= factor;
  }
}

std::vector<Mismatch> SegmentMismatches(const Sounding& sounding, double tolerance) {
  const std::vector<Curve> curves = SegmentCurves(sounding);
  const std::vector<int> order = Mn2Order(curves);
  std::vector<Mismatch> mismatches;
  for (std::size_t p = 0; p + 1 < order.size(); ++p) {
    const Overlap overlap = LogShift(curves[static_cast<std::size_t>(order[p])],
                                     curves[static_cast<std::size_t>(order[p + 1])]);
    if (overlap.terms == 0) continue;
    const double ratio = Exp(overlap.shift);
    if (std::max(ratio, 1 / ratio) - 1 > tolerance) {
      mismatches.push_back({order[p], order[p + 1], ratio});
    }
  }
  return mismatches;
}

}  // namespace tavrin::sounding
