// The pieces of the inversion shared between its files: the parameter
// vector, the data's forward evaluation, the starting models, one damped
// least-squares run and the linearised uncertainty.
#pragma once

#include <Eigen/Dense>
#include <cmath>
#include <span>
#include <vector>

#include "inversion/inversion.h"

namespace tavrin::inversion::internal {

// Free parameters of an N-layer model: N resistivities and N - 1 thicknesses.
constexpr int ParameterCount(int layers) {
  return 2 * layers - 1;
}

// Limits on the logarithmic parameters that keep every trial model finite:
// resistivities within a factor kRhoMargin of the data's range, thicknesses
// from kThinFactor times the shortest AB/2 to kThickFactor times the longest.
struct Bounds {
  double lowLogRho, highLogRho;
  double lowLogH, highLogH;
};
Bounds BoundsFor(std::span<const Datum> data);

// The model of a parameter vector (x as in inversion.h), clamped to `bounds`.
void SetModel(const Eigen::VectorXd& x, const Bounds& bounds, sounding::LayeredModel& model);

// The model's apparent resistivity for one datum (ideal array when mn2 == 0).
double Modelled(const sounding::LayeredModel& model, const Datum& datum);

// Starting parameter vectors for `layers` layers read from the data's curve;
// the first is the curve's plainest reading, the reference of the prior.
std::vector<Eigen::VectorXd> StartingModels(std::span<const Datum> data, int layers);

// Before the data each log parameter is taken as known to within this
// factor (one standard deviation) of a reference model read from the curve:
// a decade, the range a layer's resistivity or thickness is commonly guessed
// to from the geology. Where the data determine a parameter this prior is
// negligible beside them (their information is hundreds of times larger);
// where they do not (a thin layer of which only a product shows) it keeps
// the fit from wandering along the undetermined direction to absurd values.
inline constexpr double kPriorFactor = 10;
inline const double kPriorWeight = 1 / std::log(kPriorFactor);

// One Levenberg-Marquardt run from x (updated in place) minimising
// chi^2 + sum_p ((x_p - reference_p) * prior.weight)^2 (no prior without a
// reference), and with a constraint keeping x on the plane
// direction . x = target. `objective` is the whole sum, `chi2` the data's
// part.
struct RunResult {
  double objective;
  double chi2;
  int iterations;
};
struct Prior {
  const Eigen::VectorXd* reference = nullptr;
  double weight = kPriorWeight;
};
// How far a run goes: to the solution's full precision, or as far as a
// search comparing misfits needs.
enum class Precision { kSolution, kSearch };
struct Constraint {
  Eigen::VectorXd direction;
  double target;
};
RunResult Minimise(std::span<const Datum> data, double weight, const Bounds& bounds,
                   const Prior& prior, Eigen::VectorXd& x, int maxEvaluations,
                   const Constraint* constraint = nullptr,
                   Precision precision = Precision::kSolution);

// The weighted residuals' Jacobian with respect to x.
Eigen::MatrixXd Jacobian(std::span<const Datum> data, double weight, const Bounds& bounds,
                         const Eigen::VectorXd& x);

// A value is resolved while its factor stays at or below 1.5: it is known
// to within half its size.
inline constexpr double kResolvedFactor = 1.5;

// The covariance with each parameter's standard deviation widened to what
// its misfit profile allows where that is wider (profiles.cpp), for the
// parameters the linearisation calls resolved.
Eigen::MatrixXd WidenByProfiles(std::span<const Datum> data, double weight, const Bounds& bounds,
                                const Eigen::VectorXd& x, double chi2, double scale,
                                const Eigen::MatrixXd& covariance);

// Layer estimates and warnings from the covariance of x at the solution.
void DescribeUncertainty(const Eigen::VectorXd& x, const Eigen::MatrixXd& covariance, Fit& fit);

}  // namespace tavrin::inversion::internal
