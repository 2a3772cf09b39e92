// The uncertainty from the misfit's profiles where the linearisation is too
// narrow. The linearised covariance takes chi^2 as a quadratic about the
// solution; along a poorly determined parameter it may rise much more
// slowly (a layer trading its thickness against its neighbour's as the
// neighbour thins), and the data then allow values further off than the
// quadratic says. For every parameter x_p the profile chi^2_p(t), the least
// chi^2 with x_p held at its fitted value + t, is followed each way until
// it has risen by nine times the variance scale (three standard deviations
// of a quadratic profile); where that takes a wider t than 3 sqrt(C_pp), the
// parameter's standard deviation is widened to t / 3, keeping its
// correlations with the others. Only parameters the linearisation calls
// resolved are followed (the others are reported as not resolved already),
// and only as far as shows whether they are.
#include <cmath>

#include "inversion_internal.h"
#include "sounding/portable_math.h"

namespace tavrin::inversion::internal {

namespace {

// The profile is read at three standard deviations, where a quadratic
// rises by kDeviations^2.
constexpr double kDeviations = 3;
// A rise within this fraction of the target is read as the crossing, taking
// sqrt(rise) as linear in t: the standard deviation is then right to within
// about 10 %.
constexpr double kNearlyThere = 0.8;
// Steps per side, and the evaluations of each constrained refit.
constexpr int kProfileSteps = 4;
constexpr int kProfileEvaluations = 20;
// Each step goes at least this much further than the last.
constexpr double kMinimumGrowth = 1.5;

// How far x_p can move one way (sign) before chi^2 rises by the target;
// `limit` when it does not within that.
double ProfileReach(const Problem& problem, const Eigen::VectorXd& x, double chi2,
                    const Eigen::MatrixXd& c, Eigen::Index p, double sign, double target,
                    double limit) {
  const double sd = std::sqrt(c(p, p));
  // The linearised path: the other parameters follow x_p by C e_p / C_pp.
  const Eigen::VectorXd path = c.col(p) / c(p, p);
  Eigen::VectorXd direction = Eigen::VectorXd::Zero(x.size());
  direction[p] = 1;
  double t = kDeviations * sd;
  Eigen::VectorXd trial = x;
  for (int step = 0; step < kProfileSteps; ++step) {
    // From the last refit, moved on along the linearised path.
    trial += (x[p] + sign * t - trial[p]) * path;
    const Constraint plane{direction, x[p] + sign * t};
    const RunResult run =
        Minimise(problem, {}, trial, kProfileEvaluations, &plane, Precision::kSearch);
    const double rise = std::max(run.chi2 - chi2, 0.0);
    if (rise >= kNearlyThere * target) return t * std::sqrt(target / rise);
    if (t >= limit) break;
    t = std::min(limit,
                 std::max(kMinimumGrowth * t, rise > 0 ? t * std::sqrt(target / rise) : limit));
  }
  return limit;
}

}  // namespace

Eigen::MatrixXd WidenByProfiles(const Problem& problem, const Eigen::VectorXd& x, double chi2,
                                double scale, const Eigen::MatrixXd& covariance) {
  const double target = kDeviations * kDeviations * scale;
  // Beyond this reach a parameter is not resolved (see kResolvedFactor),
  // and it is then given the prior's spread: the data bound it no better.
  const double resolvedSd = sounding::Log(kResolvedFactor);
  const double limit = kDeviations * resolvedSd;
  Eigen::VectorXd widen = Eigen::VectorXd::Ones(x.size());
  for (Eigen::Index p = 0; p < x.size(); ++p) {
    const double sd = std::sqrt(covariance(p, p));
    // A parameter already not resolved is said to be so.
    if (sd > resolvedSd) continue;
    double reach = 0;
    for (const double sign : {-1.0, 1.0}) {
      if (reach < limit) {
        reach = std::max(reach, ProfileReach(problem, x, chi2, covariance, p, sign, target, limit));
      }
    }
    const double widened = reach < limit ? reach / kDeviations : problem.PriorSpread(p);
    widen[p] = std::max(1.0, widened / sd);
  }
  return widen.asDiagonal() * covariance * widen.asDiagonal();
}

}  // namespace tavrin::inversion::internal
