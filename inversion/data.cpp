// The readings of a sounding as data for the fit, the problem they make
// (each reading's weight, the place of the segments' shifts) and the limits
// its trial models keep to.
#include <algorithm>
#include <cassert>
#include <cmath>

#include "inversion_internal.h"
#include "sounding/forward.h"
#include "sounding/portable_math.h"

namespace tavrin::inversion {

namespace {

// Below this MN/2 : AB/2 ratio the ideal array differs from the finite one by
// a relative amount of the order of the ratio squared (1e-4 here), far below
// any field error, and the faster ideal evaluation is used.
constexpr double kIdealArrayRatio = 0.01;

constexpr double kRhoMargin = 1e3;
constexpr double kThinFactor = 1e-3;
constexpr double kThickFactor = 10;

}  // namespace

std::vector<Datum> DataOf(std::span<const sounding::Reading> readings) {
  std::vector<Datum> data;
  data.reserve(readings.size());
  for (const sounding::Reading& reading : readings) {
    const bool finite = std::isfinite(reading.mn2) && reading.mn2 > kIdealArrayRatio * reading.ab2;
    const double error = std::isnan(reading.error) ? 0.0 : reading.error;
    data.push_back({reading.ab2, finite ? reading.mn2 : 0.0, reading.rho, error, reading.segment});
  }
  return data;
}

double WeightOf(const Datum& datum, double relativeError) {
  return 1 / sounding::Log1p(std::max(datum.error, relativeError));
}

double RmsPercent(std::span<const Datum> data, std::span<const double> modelled) {
  assert(data.size() == modelled.size() && !data.empty());
  double sumSquares = 0;
  for (std::size_t i = 0; i < data.size(); ++i) {
    const double relative = (modelled[i] - data[i].rho) / data[i].rho;  // rho^2 would overflow
    sumSquares += relative * relative;
  }
  return 100 * std::sqrt(sumSquares / static_cast<double>(data.size()));
}

Misfit MisfitOf(std::span<const Datum> data, std::span<const double> modelled,
                double relativeError) {
  assert(data.size() == modelled.size() && !data.empty());
  double chi2 = 0;
  for (std::size_t i = 0; i < data.size(); ++i) {
    const double residual = (sounding::Log(modelled[i]) - sounding::Log(data[i].rho)) *
                            WeightOf(data[i], relativeError);
    chi2 += residual * residual;
  }
  return {RmsPercent(data, modelled), chi2};
}

namespace internal {

Bounds BoundsFor(std::span<const Datum> data) {
  double lowRho = data.front().rho, highRho = lowRho;
  double lowAb2 = data.front().ab2, highAb2 = lowAb2;
  for (const Datum& datum : data) {
    lowRho = std::min(lowRho, datum.rho);
    highRho = std::max(highRho, datum.rho);
    lowAb2 = std::min(lowAb2, datum.ab2);
    highAb2 = std::max(highAb2, datum.ab2);
  }
  return {sounding::Log(lowRho / kRhoMargin), sounding::Log(highRho * kRhoMargin),
          sounding::Log(lowAb2 * kThinFactor), sounding::Log(highAb2 * kThickFactor)};
}

Problem ProblemOf(std::span<const Datum> data, const Options& options) {
  Problem problem{data, {}, {}, {}, options.layers, 0, BoundsFor(data)};
  problem.weights.reserve(data.size());
  for (const Datum& datum : data) {
    problem.weights.push_back(WeightOf(datum, options.relativeError));
  }
  problem.shiftOf.assign(data.size(), -1);
  if (!options.fitShifts) return problem;
  int segments = 0;
  for (const Datum& datum : data) segments = std::max(segments, datum.segment + 1);
  std::vector<bool> read(static_cast<std::size_t>(segments));
  for (const Datum& datum : data) read[static_cast<std::size_t>(datum.segment)] = true;
  problem.ofSegment.assign(read.size(), -1);
  for (std::size_t k = 0; k < read.size(); ++k) {
    if (read[k] && static_cast<int>(k) != options.referenceSegment) {
      problem.ofSegment[k] = ParameterCount(options.layers) + problem.shifts++;
    }
  }
  for (std::size_t i = 0; i < data.size(); ++i) {
    problem.shiftOf[i] = problem.ofSegment[static_cast<std::size_t>(data[i].segment)];
  }
  return problem;
}

void SetModel(const Eigen::VectorXd& x, int layerCount, const Bounds& bounds,
              sounding::LayeredModel& model) {
  const auto layers = static_cast<std::size_t>(layerCount);
  model.resistivity.resize(layers);
  model.thickness.resize(layers - 1);
  for (std::size_t j = 0; j < layers; ++j) {
    model.resistivity[j] = sounding::Exp(
        std::clamp(x[static_cast<Eigen::Index>(j)], bounds.lowLogRho, bounds.highLogRho));
  }
  for (std::size_t j = 0; j + 1 < layers; ++j) {
    model.thickness[j] = sounding::Exp(
        std::clamp(x[static_cast<Eigen::Index>(layers + j)], bounds.lowLogH, bounds.highLogH));
  }
}

double Modelled(const sounding::LayeredModel& model, const Datum& datum) {
  return sounding::ApparentResistivity(model, datum.ab2, datum.mn2);
}

}  // namespace internal
}  // namespace tavrin::inversion
