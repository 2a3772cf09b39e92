// The pieces of the inversion shared between its files: the parameter
// vector, the data's forward evaluation, the starting models, one damped
// least-squares run and the linearised uncertainty.
#pragma once

#include <Eigen/Dense>
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

// Starting parameter vectors for `layers` layers read from the data's curve.
std::vector<Eigen::VectorXd> StartingModels(std::span<const Datum> data, int layers);

// One Levenberg-Marquardt run from x (updated in place).
struct RunResult {
  double chi2;
  int iterations;
};
RunResult Minimise(std::span<const Datum> data, double weight, const Bounds& bounds,
                   Eigen::VectorXd& x, int maxEvaluations);

// The weighted residuals' Jacobian with respect to x.
Eigen::MatrixXd Jacobian(std::span<const Datum> data, double weight, const Bounds& bounds,
                         const Eigen::VectorXd& x);

// Layer estimates and warnings from the covariance of x at the solution.
void DescribeUncertainty(const Eigen::VectorXd& x, const Eigen::MatrixXd& covariance, Fit& fit);

}  // namespace tavrin::inversion::internal
