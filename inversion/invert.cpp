// The fit of an N-layer model to a sounding, and the choice of N.
//
// Every starting model gets a Levenberg-Marquardt run, at a search's
// precision, with the prior of inversion_internal.h about the first of
// them; the one fitting the data best is then run to full precision, the
// prior weighed by the data's observed scatter. At the solution the
// linearised covariance of the parameters is C = (J^T J / s + I / sigma^2)^-1,
// J the Jacobian of the weighted residuals, with s = max(1, chi^2 / dof) (a
// fit worse than the stated error widens the uncertainty rather than hiding
// it) and sigma the prior's spread, then widened along the misfit's profiles
// where they are flatter than that quadratic (profiles.cpp).
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "inversion_internal.h"

namespace tavrin::inversion {

namespace {

using internal::ParameterCount;

// Most function evaluations for the run from each start and for the final
// run from the best of them (most runs stop at their tolerance well before).
constexpr int kStartEvaluations = 400;
constexpr int kFinalEvaluations = 400;

// chi^2 per degree of freedom above this is a poor fit: for 10 or more
// degrees of freedom its standard deviation sqrt(2 / dof) is under 0.45, so
// 3 is well beyond chance.
constexpr double kPoorFitChi2PerDof = 3;

void CheckInput(std::span<const Datum> data, const Options& options) {
  if (options.layers < 1 || options.layers > kMaxLayers) {
    throw InversionError("the number of layers must be from 1 to " + std::to_string(kMaxLayers));
  }
  if (!(options.relativeError > 0) || !std::isfinite(options.relativeError)) {
    throw InversionError("the data error must be above 0 %");
  }
  for (const Datum& datum : data) {
    if (!(datum.ab2 > 0) || !std::isfinite(datum.ab2) || !(datum.rho > 0) ||
        !std::isfinite(datum.rho) || !(datum.mn2 >= 0) || !(datum.mn2 < datum.ab2)) {
      throw InversionError(
          "every reading needs AB/2 > MN/2 >= 0 and an apparent resistivity above 0");
    }
  }
  const int parameters = ParameterCount(options.layers);
  if (static_cast<int>(data.size()) < parameters) {
    const auto plural = [](std::size_t count, const std::string& noun) {
      return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
    };
    throw InversionError(plural(data.size(), "reading") + " cannot determine " +
                         plural(static_cast<std::size_t>(parameters), "free parameter") + " of " +
                         plural(static_cast<std::size_t>(options.layers), "layer") + "; at least " +
                         std::to_string(parameters) + " needed");
  }
}

// The parameter covariance (J^T J + I / sigma^2)^-1 through the SVD of J:
// the data's information plus that of knowing each log parameter to within
// kPriorFactor of the reference (sigma = ln kPriorFactor). A combination the data
// determine well (singular value s >> 1 / sigma) keeps its variance 1 / s^2;
// one they do not determine gets sigma^2 instead of a variance without bound,
// which through the linearisation would otherwise leak into every parameter
// that the combination touches even slightly.
// `scale` multiplies the data's variance (see the top of the file).
Eigen::MatrixXd Covariance(const Eigen::MatrixXd& jacobian, double scale) {
  const Eigen::JacobiSVD<Eigen::MatrixXd> svd(jacobian, Eigen::ComputeFullV);
  const Eigen::VectorXd& s = svd.singularValues();
  const double priorInformation = internal::kPriorWeight * internal::kPriorWeight;
  Eigen::VectorXd variances = Eigen::VectorXd::Constant(jacobian.cols(), 1 / priorInformation);
  for (Eigen::Index k = 0; k < s.size(); ++k)
    variances[k] = 1 / (s[k] * s[k] / scale + priorInformation);
  return svd.matrixV() * variances.asDiagonal() * svd.matrixV().transpose();
}

void SetStatistics(std::span<const Datum> data, Fit& fit) {
  double sumSquares = 0;
  fit.modelled.clear();
  for (const Datum& datum : data) {
    const double m = internal::Modelled(fit.model, datum);
    fit.modelled.push_back(m);
    sumSquares += (m - datum.rho) * (m - datum.rho) / (datum.rho * datum.rho);
  }
  fit.rmsPercent = 100 * std::sqrt(sumSquares / static_cast<double>(data.size()));
  fit.chi2PerDof = fit.dof > 0 ? fit.chi2 / fit.dof : std::numeric_limits<double>::quiet_NaN();
}

// The fit from the curve's starting models and any further ones.
Fit InvertFrom(std::span<const Datum> data, const Options& options,
               const std::vector<Eigen::VectorXd>& moreStarts) {
  CheckInput(data, options);
  const double weight = 1 / std::log1p(options.relativeError);
  const internal::Bounds bounds = internal::BoundsFor(data);
  std::vector<Eigen::VectorXd> starts = internal::StartingModels(data, options.layers);
  starts.insert(starts.end(), moreStarts.begin(), moreStarts.end());

  const Eigen::VectorXd& reference = starts.front();
  Eigen::VectorXd best;
  const double infinity = std::numeric_limits<double>::infinity();
  internal::RunResult bestRun{infinity, infinity, 0};
  for (Eigen::VectorXd x : starts) {
    const internal::RunResult run =
        internal::Minimise(data, weight, bounds, {&reference}, x, kStartEvaluations, nullptr,
                           internal::Precision::kSearch);
    if (run.chi2 < bestRun.chi2) {
      bestRun = run;
      best = x;
    }
  }
  // The prior weighs against the data as their observed scatter allows:
  // data that fit far better than their stated error (chi^2 / dof << 1) are
  // barely pulled toward the reference.
  const int dof = static_cast<int>(data.size()) - ParameterCount(options.layers);
  const double variance = dof > 0 ? std::min(1.0, bestRun.chi2 / dof) : 0.0;
  const internal::RunResult final = internal::Minimise(
      data, weight, bounds, {&reference, internal::kPriorWeight * std::sqrt(variance)}, best,
      kFinalEvaluations);

  Fit fit;
  internal::SetModel(best, bounds, fit.model);
  for (Eigen::Index p = 0; p < best.size(); ++p) {
    best[p] = p < options.layers ? std::log(fit.model.resistivity[p])
                                 : std::log(fit.model.thickness[p - options.layers]);
  }
  fit.chi2 = final.chi2;
  fit.dof = dof;
  fit.iterations = bestRun.iterations + final.iterations;
  fit.starts = static_cast<int>(starts.size());
  SetStatistics(data, fit);

  const double scale = fit.dof > 0 ? std::max(1.0, fit.chi2PerDof) : 1.0;
  const Eigen::MatrixXd covariance =
      internal::WidenByProfiles(data, weight, bounds, best, fit.chi2, scale,
                                Covariance(internal::Jacobian(data, weight, bounds, best), scale));
  fit.covariance.assign(covariance.data(), covariance.data() + covariance.size());
  if (fit.dof > 0 && fit.chi2PerDof > kPoorFitChi2PerDof) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "poor fit: chi-squared per degree of freedom %.3g (more layers, or a larger "
                  "error, may suit the data)",
                  fit.chi2PerDof);
    fit.warnings.push_back({WarningKind::kPoorFit, 0, {fit.chi2PerDof, 1}, text});
  }
  internal::DescribeUncertainty(best, covariance, fit);
  return fit;
}

// A start for one layer more that is the same earth as `fit`: its
// half-space split at the depth of its deepest boundary again (at the
// shortest AB/2 for one layer), so the larger model's fit is never worse.
Eigen::VectorXd SplitHalfSpace(const Fit& fit, std::span<const Datum> data) {
  const sounding::LayeredModel& m = fit.model;
  const auto layers = static_cast<Eigen::Index>(m.resistivity.size());
  Eigen::VectorXd x(ParameterCount(static_cast<int>(layers) + 1));
  for (Eigen::Index j = 0; j < layers; ++j) x[j] = std::log(m.resistivity[j]);
  x[layers] = x[layers - 1];
  double depth = 0;
  for (Eigen::Index j = 0; j + 1 < layers; ++j) {
    x[layers + 1 + j] = std::log(m.thickness[j]);
    depth += m.thickness[j];
  }
  double shortest = data.front().ab2;
  for (const Datum& datum : data) shortest = std::min(shortest, datum.ab2);
  x[2 * layers] = std::log(depth > 0 ? depth : shortest);
  return x;
}

}  // namespace

Fit Invert(std::span<const Datum> data, const Options& options) {
  return InvertFrom(data, options, {});
}

LayerChoice InvertChoosingLayers(std::span<const Datum> data, double relativeError, int maxLayers) {
  LayerChoice choice;
  std::vector<Fit> fits;
  double leastBic = std::numeric_limits<double>::infinity();
  for (int layers = 1; layers <= maxLayers; ++layers) {
    if (layers > 1 && ParameterCount(layers) > static_cast<int>(data.size())) break;
    std::vector<Eigen::VectorXd> split;
    if (!fits.empty()) split.push_back(SplitHalfSpace(fits.back(), data));
    Fit fit = InvertFrom(data, {layers, relativeError}, split);
    const int parameters = ParameterCount(layers);
    const double bic = fit.chi2 + parameters * std::log(static_cast<double>(data.size()));
    choice.trials.push_back({layers, fit.chi2, fit.chi2PerDof, fit.rmsPercent, bic});
    leastBic = std::min(leastBic, bic);
    fits.push_back(std::move(fit));
  }
  for (std::size_t k = 0; k < fits.size(); ++k) {
    if (choice.trials[k].bic <= leastBic + kBicMargin) {
      choice.best = std::move(fits[k]);
      break;
    }
  }
  return choice;
}

}  // namespace tavrin::inversion
