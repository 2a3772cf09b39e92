// The pieces of the inversion shared between its files: the parameter
// vector and the problem it is fitted to, the data's forward evaluation, the starting models, one
// damped least-squares run and the linearised uncertainty.
#pragma once

#include <Eigen/Dense>
#include <cmath>
#include <span>
#include <vector>

#include "inversion/inversion.h"
#include "sounding/portable_math.h"

namespace tavrin::inversion::internal {

// Free parameters of an N-layer model: N resistivities and N - 1 thicknesses.
constexpr int ParameterCount(int layers) {
  return 2 * layers - 1;
}

// The trial the layer-count rule takes: the fewest layers whose BIC is
// within kBicMargin of the least. `trials` is not empty.
std::size_t ChosenTrial(std::span<const LayerTrial> trials);

// Limits on the logarithmic parameters that keep every trial model finite:
// resistivities within a factor kRhoMargin of the data's range, thicknesses
// from kThinFactor times the shortest AB/2 to kThickFactor times the longest.
struct Bounds {
  double lowLogRho, highLogRho;
  double lowLogH, highLogH;
};
Bounds BoundsFor(std::span<const Datum> data);

// The model of a parameter vector's first 2 N - 1 entries (x as in
// inversion.h), clamped to `bounds`.
void SetModel(const Eigen::VectorXd& x, int layers, const Bounds& bounds,
              sounding::LayeredModel& model);

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
inline const double kPriorWeight = 1 / sounding::Log(kPriorFactor);

// A segment's shift is taken before the data as 1 within a factor of 2:
// the offsets a change of MN/2 brings (ground near the potential electrodes
// that differs from the average beneath the array) are commonly some
// percent to some tens of percent, rarely a factor of 2. Overlapping
// readings weigh far more (one at 3 % carries about 500 times the prior's
// information); where the segments barely overlap, the prior keeps a shift
// from taking up a whole layer's contrast.
inline constexpr double kShiftPriorFactor = 2;
inline const double kShiftPriorWeight = 1 / sounding::Log(kShiftPriorFactor);

// What a run fits. x holds the layers' 2 N - 1 log parameters, then with
// fitted shifts ln s_k for each segment k with readings other than the
// reference, in order of k. Reading i has the weighted residual
//   r_i = (ln m_i(x) + ln s_k(i) - ln d_i) * w_i,   w_i = 1 / ln(1 + e_i),
// e_i = max(its own error, the fit's error), ln s of the reference 0.
struct Problem {
  std::span<const Datum> data;
  std::vector<double> weights;          // w_i
  std::vector<Eigen::Index> shiftOf;    // per datum: index of its ln s in x, or -1
  std::vector<Eigen::Index> ofSegment;  // per segment 0 .. max: the same, or -1
  int layers;
  Eigen::Index shifts;  // fitted shifts in x
  Bounds bounds;

  Eigen::Index Size() const { return ParameterCount(layers) + shifts; }
  // The prior's weight for parameter p, kPriorWeight or kShiftPriorWeight,
  // and its spread, the log of the factor.
  double PriorWeight(Eigen::Index p) const {
    return p < ParameterCount(layers) ? kPriorWeight : kShiftPriorWeight;
  }
  double PriorSpread(Eigen::Index p) const {
    return sounding::Log(p < ParameterCount(layers) ? kPriorFactor : kShiftPriorFactor);
  }
};
// Preconditions: data not empty, and data and options through the checks
// of CheckedProblem (invert.cpp).
Problem ProblemOf(std::span<const Datum> data, const Options& options);

// One Levenberg-Marquardt run from x (updated in place) minimising
// chi^2 + sum_p ((x_p - reference_p) * w_p * prior.scale)^2, w_p the
// problem's PriorWeight (no prior without a reference), and with a
// constraint keeping x on the plane direction . x = target. `objective` is the whole sum, `chi2`
// the data's part.
struct RunResult {
  double objective;
  double chi2;
  int iterations;
  bool atLimit = false;  // stopped by maxEvaluations, not by its tolerances
};
struct Prior {
  const Eigen::VectorXd* reference = nullptr;
  double scale = 1;
};
// How far a run goes: to the solution's full precision, or as far as a
// search comparing misfits needs.
enum class Precision { kSolution, kSearch };
struct Constraint {
  Eigen::VectorXd direction;
  double target;
};
RunResult Minimise(const Problem& problem, const Prior& prior, Eigen::VectorXd& x,
                   int maxEvaluations, const Constraint* constraint = nullptr,
                   Precision precision = Precision::kSolution);

// The weighted residuals' Jacobian with respect to x.
Eigen::MatrixXd Jacobian(const Problem& problem, const Eigen::VectorXd& x);

// A value is resolved while its factor stays at or below 1.5: it is known
// to within half its size.
inline constexpr double kResolvedFactor = 1.5;

// The covariance with each parameter's standard deviation widened to what
// its misfit profile allows where that is wider (profiles.cpp), for the
// parameters the linearisation calls resolved.
Eigen::MatrixXd WidenByProfiles(const Problem& problem, const Eigen::VectorXd& x, double chi2,
                                double scale, const Eigen::MatrixXd& covariance);

// Layer estimates and warnings from the covariance of x at the solution.
void DescribeUncertainty(const Eigen::VectorXd& x, const Eigen::MatrixXd& covariance, Fit& fit);

// Each segment's fitted shift from x and its covariance: the reference's
// {1, 1}, a segment without readings NaN.
std::vector<Estimate> ShiftEstimates(const Problem& problem, const Eigen::VectorXd& x,
                                     const Eigen::MatrixXd& covariance);

// A separate fit's final state, for a fit that goes on from it (the
// laterally constrained one, lateral.cpp): the data in the fit's unit (their
// resistivities divided by exp(logUnit)), the prior's reference and scale
// as the final run weighed them, and x at the solution, ln rho in that unit.
struct FitState {
  std::vector<Datum> scaled;
  double logUnit = 0;
  Eigen::VectorXd reference;
  double priorScale = 1;
  Eigen::VectorXd x;
  int starts = 0;
  int iterations = 0;
};
// Invert's fit up to its solution, without the uncertainty (its fit.layers,
// covariance and warnings stay empty); the state goes to `state`.
Fit InvertToState(std::span<const Datum> data, const Options& options, FitState& state);

}  // namespace tavrin::inversion::internal
