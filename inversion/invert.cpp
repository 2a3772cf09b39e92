// The fit of an N-layer model to a sounding, and the choice of N.
//
// Every starting model gets a Levenberg-Marquardt run, at a search's
// precision, with the prior of inversion_internal.h about the first of
// them; the one fitting the data best is then run to full precision, the
// prior weighed by the data's observed scatter. At the solution the
// linearised covariance of the parameters is C = (J^T J / s + P)^-1, J the
// Jacobian of the weighted residuals, with s = max(1, chi^2 / dof) (a fit
// worse than the stated error widens the uncertainty rather than hiding it)
// and P = diag(1 / sigma_p^2), sigma_p the prior's spread of parameter p,
// then widened along the misfit's profiles where they are flatter than that
// quadratic (profiles.cpp).
#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "inversion_internal.h"
#include "sounding/portable_math.h"

namespace tavrin::inversion {

namespace {

using internal::ParameterCount;

// chi^2 per degree of freedom above this is a poor fit: for 10 or more
// degrees of freedom its standard deviation sqrt(2 / dof) is under 0.45, so
// 3 is well beyond chance.
constexpr double kPoorFitChi2PerDof = 3;

// The problem the data and options make; InversionError when they cannot
// be fitted.
internal::Problem CheckedProblem(std::span<const Datum> data, const Options& options) {
  if (options.layers < 1 || options.layers > kMaxLayers) {
    throw InversionError("the number of layers must be from 1 to " + std::to_string(kMaxLayers));
  }
  if (!(options.relativeError > 0) || !std::isfinite(options.relativeError)) {
    throw InversionError("the data error must be above 0 %");
  }
  if (options.maxEvaluations < 1) {
    throw InversionError("the evaluation limit must be 1 or above");
  }
  for (const Datum& datum : data) {
    if (!(datum.ab2 > 0) || !std::isfinite(datum.ab2) || !(datum.rho > 0) ||
        !std::isfinite(datum.rho) || !(datum.mn2 >= 0) || !(datum.mn2 < datum.ab2)) {
      throw InversionError(
          "every reading needs AB/2 > MN/2 >= 0 and an apparent resistivity above 0");
    }
    if (!(datum.error >= 0) || !std::isfinite(datum.error)) {
      throw InversionError("a reading's error must be 0 % or above");
    }
    if (options.fitShifts && datum.segment < 0) {
      throw InversionError("a reading's segment must be 0 or above");
    }
  }
  if (options.fitShifts && std::none_of(data.begin(), data.end(), [&](const Datum& datum) {
        return datum.segment == options.referenceSegment;
      })) {
    throw InversionError("the reference segment " + std::to_string(options.referenceSegment) +
                         " has no readings");
  }
  const auto tooFew = [&](std::size_t parameters, std::size_t shifts) {
    const auto plural = [](std::size_t count, const std::string& noun) {
      return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
    };
    return InversionError(plural(data.size(), "reading") + " cannot determine " +
                          plural(parameters, "free parameter") + " of " +
                          plural(static_cast<std::size_t>(options.layers), "layer") +
                          (shifts > 0 ? " and " + plural(shifts, "shift") : "") + "; at least " +
                          std::to_string(parameters) + " needed");
  };
  // Without readings there are no segments to shift, nor bounds to keep to.
  if (data.empty()) throw tooFew(static_cast<std::size_t>(ParameterCount(options.layers)), 0);
  internal::Problem problem = internal::ProblemOf(data, options);
  if (data.size() < static_cast<std::size_t>(problem.Size())) {
    throw tooFew(static_cast<std::size_t>(problem.Size()),
                 static_cast<std::size_t>(problem.shifts));
  }
  return problem;
}

// The parameter covariance (J^T J + P)^-1 through the SVD of J R, with
// P = diag(w_p^2) the prior's information (w_p = 1 / sigma_p, the problem's
// PriorWeight) and R = diag(w_0 / w_p), w_0 the layers' kPriorWeight, so
// that P = w_0^2 R^-2 and (J^T J + P)^-1 = R ((J R)^T J R + w_0^2 I)^-1 R:
// the data's information plus that of knowing each log parameter to within
// its prior factor of the reference. A combination the data determine well
// (singular value s >> w_0) keeps its variance 1 / s^2; one they do not
// determine gets the prior's instead of a variance without bound, which
// through the linearisation would otherwise leak into every parameter that
// the combination touches even slightly.
// `scale` multiplies the data's variance (see the top of the file).
Eigen::MatrixXd Covariance(const internal::Problem& problem, const Eigen::MatrixXd& jacobian,
                           double scale) {
  Eigen::VectorXd r(jacobian.cols());
  for (Eigen::Index p = 0; p < r.size(); ++p)
    r[p] = internal::kPriorWeight / problem.PriorWeight(p);
  const Eigen::JacobiSVD<Eigen::MatrixXd> svd(jacobian * r.asDiagonal(), Eigen::ComputeFullV);
  const Eigen::VectorXd& s = svd.singularValues();
  const double priorInformation = internal::kPriorWeight * internal::kPriorWeight;
  Eigen::VectorXd variances = Eigen::VectorXd::Constant(jacobian.cols(), 1 / priorInformation);
  for (Eigen::Index k = 0; k < s.size(); ++k)
    variances[k] = 1 / (s[k] * s[k] / scale + priorInformation);
  const Eigen::MatrixXd scaled = svd.matrixV() * variances.asDiagonal() * svd.matrixV().transpose();
  return r.asDiagonal() * scaled * r.asDiagonal();
}

// The modelled values, each the model's times its segment's shift, and the
// misfit's statistics.
void SetStatistics(const internal::Problem& problem, const Eigen::VectorXd& x, Fit& fit) {
  const std::span<const Datum> data = problem.data;
  fit.modelled.clear();
  for (std::size_t i = 0; i < data.size(); ++i) {
    double m = internal::Modelled(fit.model, data[i]);
    if (problem.shiftOf[i] >= 0) m *= sounding::Exp(x[problem.shiftOf[i]]);
    fit.modelled.push_back(m);
  }
  fit.rmsPercent = RmsPercent(data, fit.modelled);
  fit.chi2PerDof = fit.dof > 0 ? fit.chi2 / fit.dof : std::numeric_limits<double>::quiet_NaN();
}

// The fit from the curve's starting models, every shift at 1, and any
// further starts (shifts included).
Fit InvertFrom(std::span<const Datum> data, const Options& options,
               const std::vector<Eigen::VectorXd>& moreStarts,
               internal::FitState* state = nullptr) {
  CheckedProblem(data, options);
  // The apparent resistivity is homogeneous of degree 1 in the layers'
  // resistivities, m(c rho, h) = c m(rho, h), so the fit is made on the
  // data in a unit U, the power of 2 nearest their geometric mean (the
  // division exact): x holds ln(rho / U), the residuals, shifts and the
  // covariance of x are unchanged, and the resistivities fitted in U are
  // then multiplied by U. The forward model forms products of two resistivities,
  // which overflow beyond about 1e154 ohm-m (and underflow below 1e-154)
  // but stay finite for data within that many decades of their mean.
  double meanLog2 = 0;
  for (const Datum& datum : data) meanLog2 += sounding::Log2(datum.rho);
  const int unitExponent =
      static_cast<int>(std::lround(meanLog2 / static_cast<double>(data.size())));
  const double unit = std::ldexp(1.0, unitExponent);
  const double logUnit = unitExponent * sounding::Log(2.0);
  std::vector<Datum> scaled(data.begin(), data.end());
  for (Datum& datum : scaled) datum.rho = std::ldexp(datum.rho, -unitExponent);

  const internal::Problem problem = internal::ProblemOf(scaled, options);
  std::vector<Eigen::VectorXd> starts = internal::StartingModels(scaled, options.layers);
  for (Eigen::VectorXd& x : starts) {
    x.conservativeResize(problem.Size());
    x.tail(problem.shifts).setZero();
  }
  for (Eigen::VectorXd x : moreStarts) {
    x.head(options.layers).array() -= logUnit;
    starts.push_back(std::move(x));
  }

  const Eigen::VectorXd& reference = starts.front();
  Eigen::VectorXd best;
  const double infinity = std::numeric_limits<double>::infinity();
  internal::RunResult bestRun{infinity, infinity, 0};
  for (Eigen::VectorXd x : starts) {
    const internal::RunResult run = internal::Minimise(
        problem, {&reference}, x, options.maxEvaluations, nullptr, internal::Precision::kSearch);
    if (run.chi2 < bestRun.chi2) {
      bestRun = run;
      best = x;
    }
  }
  const auto notFinite = [] {
    return InversionError(
        "no layered model with finite apparent resistivities fits the readings (they lie too many "
        "decades apart, or too near the largest number)");
  };
  if (best.size() == 0) throw notFinite();
  // The prior weighs against the data as their observed scatter allows:
  // data that fit far better than their stated error (chi^2 / dof << 1) are
  // barely pulled toward the reference.
  const int dof = static_cast<int>(data.size()) - static_cast<int>(problem.Size());
  const double variance = dof > 0 ? std::min(1.0, bestRun.chi2 / dof) : 0.0;
  const internal::RunResult final =
      internal::Minimise(problem, {&reference, std::sqrt(variance)}, best, options.maxEvaluations);
  if (!std::isfinite(final.chi2)) throw notFinite();

  Fit fit;
  internal::SetModel(best, options.layers, problem.bounds, fit.model);
  for (Eigen::Index p = 0; p < ParameterCount(options.layers); ++p) {
    best[p] = p < options.layers ? sounding::Log(fit.model.resistivity[p])
                                 : sounding::Log(fit.model.thickness[p - options.layers]);
  }
  fit.chi2 = final.chi2;
  fit.dof = dof;
  fit.iterations = bestRun.iterations + final.iterations;
  fit.starts = static_cast<int>(starts.size());
  SetStatistics(problem, best, fit);
  for (double& rho : fit.model.resistivity) rho *= unit;
  for (double& m : fit.modelled) m *= unit;
  for (const double rho : fit.model.resistivity) {
    if (!std::isfinite(rho)) throw notFinite();
  }
  if (state != nullptr) {
    *state = {std::move(scaled), logUnit,       reference, std::sqrt(variance), best,
              fit.starts,        fit.iterations};
    return fit;
  }

  const double scale = fit.dof > 0 ? std::max(1.0, fit.chi2PerDof) : 1.0;
  const Eigen::MatrixXd covariance =
      internal::WidenByProfiles(problem, best, fit.chi2, scale,
                                Covariance(problem, internal::Jacobian(problem, best), scale));
  fit.covariance.assign(covariance.data(), covariance.data() + covariance.size());
  if (fit.dof > 0 && fit.chi2PerDof > kPoorFitChi2PerDof) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "poor fit: chi-squared per degree of freedom %.3g (more layers, or a larger "
                  "error, may suit the data)",
                  fit.chi2PerDof);
    fit.warnings.push_back({WarningKind::kPoorFit, 0, {fit.chi2PerDof, 1}, text});
  }
  if (final.atLimit) {
    fit.warnings.push_back(
        {WarningKind::kNotConverged,
         0,
         {fit.chi2PerDof, 1},
         "not converged: the fit stopped at its limit of " +
             std::to_string(options.maxEvaluations) +
             " evaluations before its tolerance; the model may not be the best"});
  }
  internal::DescribeUncertainty(best, covariance, fit);
  if (options.fitShifts) fit.shifts = internal::ShiftEstimates(problem, best, covariance);
  return fit;
}

// A start for one layer more that is the same earth as `fit`: its
// half-space split at the depth of its deepest boundary again (at the
// shortest AB/2 for one layer), and its shifts, so the larger model's fit
// is never worse.
Eigen::VectorXd SplitHalfSpace(const Fit& fit, std::span<const Datum> data,
                               const Options& options) {
  const sounding::LayeredModel& m = fit.model;
  const auto layers = static_cast<Eigen::Index>(m.resistivity.size());
  // The shifts in x: not the reference's, nor a segment's without readings.
  std::vector<double> shifts;
  for (std::size_t k = 0; k < fit.shifts.size(); ++k) {
    if (static_cast<int>(k) != options.referenceSegment && !std::isnan(fit.shifts[k].value))
      shifts.push_back(sounding::Log(fit.shifts[k].value));
  }
  Eigen::VectorXd x(ParameterCount(static_cast<int>(layers) + 1) +
                    static_cast<Eigen::Index>(shifts.size()));
  for (Eigen::Index j = 0; j < layers; ++j) x[j] = sounding::Log(m.resistivity[j]);
  x[layers] = x[layers - 1];
  double depth = 0;
  for (Eigen::Index j = 0; j + 1 < layers; ++j) {
    x[layers + 1 + j] = sounding::Log(m.thickness[j]);
    depth += m.thickness[j];
  }
  double shortest = data.front().ab2;
  for (const Datum& datum : data) shortest = std::min(shortest, datum.ab2);
  x[2 * layers] = sounding::Log(depth > 0 ? depth : shortest);
  for (std::size_t k = 0; k < shifts.size(); ++k)
    x[2 * layers + 1 + static_cast<Eigen::Index>(k)] = shifts[k];
  return x;
}

}  // namespace

Fit internal::InvertToState(std::span<const Datum> data, const Options& options,
                            internal::FitState& state) {
  return InvertFrom(data, options, {}, &state);
}

Fit Invert(std::span<const Datum> data, const Options& options) {
  return InvertFrom(data, options, {});
}

LayerChoice InvertChoosingLayers(std::span<const Datum> data, double relativeError, int maxLayers) {
  Options options;
  options.relativeError = relativeError;
  return InvertChoosingLayers(data, options, maxLayers);
}

LayerChoice InvertChoosingLayers(std::span<const Datum> data, const Options& options,
                                 int maxLayers) {
  LayerChoice choice;
  std::vector<Fit> fits;
  for (int layers = 1; layers <= maxLayers; ++layers) {
    Options withLayers = options;
    withLayers.layers = layers;
    std::vector<Eigen::VectorXd> split;
    if (!fits.empty()) split.push_back(SplitHalfSpace(fits.back(), data, options));
    if (!split.empty() && split.front().size() > static_cast<Eigen::Index>(data.size())) break;
    Fit fit = InvertFrom(data, withLayers, split);
    const int parameters = static_cast<int>(data.size()) - fit.dof;  // the layers' and the shifts'
    const double bic = fit.chi2 + parameters * sounding::Log(static_cast<double>(data.size()));
    choice.trials.push_back({layers, fit.chi2, fit.chi2PerDof, fit.rmsPercent, bic});
    fits.push_back(std::move(fit));
  }
  if (!fits.empty()) choice.best = std::move(fits[internal::ChosenTrial(choice.trials)]);
  return choice;
}

std::size_t internal::ChosenTrial(std::span<const LayerTrial> trials) {
  assert(!trials.empty());
  double leastBic = std::numeric_limits<double>::infinity();
  for (const LayerTrial& t : trials) leastBic = std::min(leastBic, t.bic);
  for (std::size_t k = 0; k < trials.size(); ++k) {
    if (trials[k].bic <= leastBic + kBicMargin) return k;
  }
  return 0;
}

}  // namespace tavrin::inversion
