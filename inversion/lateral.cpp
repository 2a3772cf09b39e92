// The laterally constrained fit of a profile's soundings.
//
// Stations s = 1 .. S, ordered by x, each with N layers and the parameters
// x_s = (ln rho_1 .. ln rho_N, ln h_1 .. ln h_(N-1)) of Invert (ln rho in
// the station's own unit U_s, see invert.cpp). The fit minimises
//   Phi = sum_s [ chi^2_s(x_s) + |W_s (x_s - x0_s)|^2 ]
//       + sum_(s<S) c_s^2 [ sum_j (ln rho_(s,j) - ln rho_(s+1,j))^2
//                         + sum_k (ln D_(s,k) - ln D_(s+1,k))^2 ],
// chi^2_s and the prior W_s, x0_s exactly those of the station's separate
// fit (its final run's reference and scale), ln rho_(s,j) = x_(s,j) + ln U_s,
// D_(s,k) = h_(s,1) + .. + h_(s,k) the depth to boundary k, and the pair's
// weight c_s = lateral * mean dx / dx_s (dx_s = x_(s+1) - x_s, mean dx over
// the line): a neighbour twice as far is held half as strongly, and with
// stations evenly spaced a difference of 1 / lateral in a log costs as much
// as one reading off by its error. d ln D_k / d ln h_i = h_i / D_k, i <= k.
//
// Levenberg-Marquardt from the separate fits: each step solves
//   (J^T J + lambda diag(J^T J)) dx = -J^T r
// by a sparse LDL^T factorisation (Eigen's SimplicialLDLT); J has a dense
// block per station and lateral rows that couple only neighbours, so J^T J
// is block tridiagonal and the work per step grows linearly with S. A step
// that lowers Phi is taken and lambda divided by 3, else lambda is
// multiplied by 8; the run ends when a step changes no parameter by more
// than 1e-10 (relative), Phi falls by less than 1e-14 of itself, or lambda
// passes 1e16. With lateral = 0 the stations are independent and each
// starts at its separate minimum, so the run stays there.
//
// Uncertainty: C = (sum_s J_s^T J_s / q_s + P + L^T L)^-1, J_s the data's
// Jacobian, q_s = max(1, chi^2_s / dof_s), P the prior's information (as
// invert.cpp's, unscaled) and L the lateral rows; each station's block of
// C (from P columns solved through the same factorisation) gives its
// factors as for one sounding. The misfit profiles that widen a separate
// fit's factors are not followed here.
#include "inversion/lateral.h"

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numeric>
#include <string>

#include "inversion_internal.h"
#include "sounding/forward_gradient.h"
#include "sounding/portable_math.h"

namespace tavrin::inversion {

namespace {

using internal::ParameterCount;
using Triplets = std::vector<Eigen::Triplet<double>>;

constexpr double kStepTolerance = 1e-10;
constexpr double kObjectiveTolerance = 1e-14;
constexpr double kStartDamping = 1e-3;
constexpr double kLargestDamping = 1e16;
constexpr double kPoorFitChi2PerDof = 3;  // as invert.cpp

struct Block {
  internal::FitState state;
  internal::Problem problem;
  Eigen::Index offset;  // of x_s in the joint vector
  Eigen::Index row;     // of its first data row
};

// The joint problem: the blocks in order of x, and each pair's weight.
struct Joint {
  std::vector<Block> blocks;
  std::vector<double> pairWeights;  // c_s
  int layers;
  Eigen::Index size;
  Eigen::Index rows;
};

std::string Where(double x) {
  char text[64];
  std::snprintf(text, sizeof text, "the station at x %g: ", x);
  return text;
}

// ln D_k for k = 1 .. N-1 of x_s, and their derivatives by ln h_i
// (row k, column i) into `gradient`.
void LogDepths(const Block& block, const Eigen::VectorXd& x, int layers, Eigen::VectorXd& logDepth,
               Eigen::MatrixXd& gradient) {
  const int n = layers - 1;
  logDepth.resize(n);
  gradient.setZero(n, n);
  const internal::Bounds& b = block.problem.bounds;
  Eigen::VectorXd h(n);
  for (int i = 0; i < n; ++i) {
    h[i] = sounding::Exp(std::clamp(x[block.offset + layers + i], b.lowLogH, b.highLogH));
  }
  double depth = 0;
  for (int k = 0; k < n; ++k) {
    depth += h[k];
    logDepth[k] = sounding::Log(depth);
    for (int i = 0; i <= k; ++i) gradient(k, i) = h[i] / depth;
  }
}

// The residuals r of Phi at x and, when `triplets` is given, their Jacobian.
void Evaluate(const Joint& joint, const Eigen::VectorXd& x, Eigen::VectorXd& r,
              Triplets* triplets) {
  const int layers = joint.layers;
  const Eigen::Index count = ParameterCount(layers);
  r.resize(joint.rows);
  if (triplets) triplets->clear();
  sounding::LayeredModel model;
  std::vector<double> gradient(static_cast<std::size_t>(count)),
      scratch(3 * static_cast<std::size_t>(layers));
  for (const Block& block : joint.blocks) {
    const internal::Problem& problem = block.problem;
    const Eigen::VectorXd xs = x.segment(block.offset, count);
    internal::SetModel(xs, layers, problem.bounds, model);
    Eigen::Index row = block.row;
    for (std::size_t i = 0; i < problem.data.size(); ++i, ++row) {
      const Datum& datum = problem.data[i];
      const double w = problem.weights[i];
      if (!triplets) {
        r[row] = (sounding::Log(internal::Modelled(model, datum)) - sounding::Log(datum.rho)) * w;
        continue;
      }
      const double m =
          sounding::ApparentResistivityGradient(model, datum.ab2, datum.mn2, gradient, scratch);
      r[row] = (sounding::Log(m) - sounding::Log(datum.rho)) * w;
      for (Eigen::Index p = 0; p < count; ++p) {
        const double low = p < layers ? problem.bounds.lowLogRho : problem.bounds.lowLogH;
        const double high = p < layers ? problem.bounds.highLogRho : problem.bounds.highLogH;
        const bool held = xs[p] < low || xs[p] > high;
        triplets->emplace_back(row, block.offset + p,
                               held ? 0.0 : w * gradient[static_cast<std::size_t>(p)] / m);
      }
    }
    for (Eigen::Index p = 0; p < count; ++p, ++row) {
      const double weight = problem.PriorWeight(p) * block.state.priorScale;
      r[row] = (xs[p] - block.state.reference[p]) * weight;
      if (triplets) triplets->emplace_back(row, block.offset + p, weight);
    }
  }
  Eigen::Index row = joint.blocks.back().row +
                     static_cast<Eigen::Index>(joint.blocks.back().problem.data.size()) + count;
  Eigen::VectorXd depthA, depthB;
  Eigen::MatrixXd gradA, gradB;
  for (std::size_t s = 0; s + 1 < joint.blocks.size(); ++s) {
    const Block& a = joint.blocks[s];
    const Block& b = joint.blocks[s + 1];
    const double c = joint.pairWeights[s];
    for (int j = 0; j < layers; ++j, ++row) {
      r[row] = c * ((x[a.offset + j] + a.state.logUnit) - (x[b.offset + j] + b.state.logUnit));
      if (triplets) {
        triplets->emplace_back(row, a.offset + j, c);
        triplets->emplace_back(row, b.offset + j, -c);
      }
    }
    LogDepths(a, x, layers, depthA, gradA);
    LogDepths(b, x, layers, depthB, gradB);
    for (int k = 0; k + 1 < layers; ++k, ++row) {
      r[row] = c * (depthA[k] - depthB[k]);
      if (!triplets) continue;
      for (int i = 0; i <= k; ++i) {
        triplets->emplace_back(row, a.offset + layers + i, c * gradA(k, i));
        triplets->emplace_back(row, b.offset + layers + i, -c * gradB(k, i));
      }
    }
  }
}

Eigen::SparseMatrix<double> SparseOf(const Joint& joint, const Triplets& triplets) {
  Eigen::SparseMatrix<double> jacobian(joint.rows, joint.size);
  jacobian.setFromTriplets(triplets.begin(), triplets.end());
  return jacobian;
}

struct JointRun {
  int iterations = 0;
  bool converged = false;
};

JointRun Minimise(const Joint& joint, Eigen::VectorXd& x, int maxIterations) {
  Eigen::VectorXd r, trialR;
  Triplets triplets;
  Evaluate(joint, x, r, &triplets);
  Eigen::SparseMatrix<double> jacobian = SparseOf(joint, triplets);
  double objective = r.squaredNorm();
  double lambda = kStartDamping;
  Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>> solver;
  JointRun run;
  for (; run.iterations < maxIterations; ++run.iterations) {
    const Eigen::SparseMatrix<double> normal = jacobian.transpose() * jacobian;
    const Eigen::VectorXd gradient = jacobian.transpose() * r;
    Eigen::SparseMatrix<double> damped = normal;
    for (Eigen::Index p = 0; p < joint.size; ++p) {
      damped.coeffRef(p, p) += lambda * std::max(normal.coeff(p, p), 1e-12);
    }
    solver.compute(damped);
    if (solver.info() != Eigen::Success) {
      lambda *= 8;
      if (lambda > kLargestDamping) return {run.iterations, true};
      continue;
    }
    const Eigen::VectorXd step = -solver.solve(gradient);
    if (step.norm() <= kStepTolerance * (1 + x.norm())) return {run.iterations, true};
    const Eigen::VectorXd trial = x + step;
    Evaluate(joint, trial, trialR, nullptr);
    const double trialObjective = trialR.squaredNorm();
    if (trialObjective < objective) {
      const double fall = objective - trialObjective;
      x = trial;
      Evaluate(joint, x, r, &triplets);
      jacobian = SparseOf(joint, triplets);
      objective = r.squaredNorm();
      lambda = std::max(lambda / 3, 1e-12);
      if (fall <= kObjectiveTolerance * objective) return {run.iterations + 1, true};
    } else {
      lambda *= 8;
      if (lambda > kLargestDamping) return {run.iterations + 1, true};
    }
  }
  return run;
}

// The joint problem from the stations' separate fits; `order` the stations
// by x.
Joint JointOf(std::span<const Station> stations, const std::vector<std::size_t>& order,
              const LateralOptions& options, Eigen::VectorXd& x) {
  Joint joint;
  joint.layers = options.fit.layers;
  const Eigen::Index count = ParameterCount(joint.layers);
  joint.blocks.resize(stations.size());
  Eigen::Index row = 0;
  for (std::size_t k = 0; k < order.size(); ++k) {
    const Station& station = stations[order[k]];
    Block& block = joint.blocks[k];
    try {
      internal::InvertToState(station.data, options.fit, block.state);
    } catch (const InversionError& e) {
      throw InversionError(Where(station.x) + e.what());
    }
    block.offset = static_cast<Eigen::Index>(k) * count;
    block.row = row;
    row += static_cast<Eigen::Index>(station.data.size()) + count;
  }
  // The problems see their own data, placed now that the blocks stay put.
  for (Block& block : joint.blocks) {
    block.problem = internal::ProblemOf(block.state.scaled, options.fit);
  }
  const double meanDx = (stations[order.back()].x - stations[order.front()].x) /
                        static_cast<double>(order.size() - 1);
  for (std::size_t k = 0; k + 1 < order.size(); ++k) {
    const double dx = stations[order[k + 1]].x - stations[order[k]].x;
    joint.pairWeights.push_back(options.lateral * meanDx / dx);
  }
  joint.size = static_cast<Eigen::Index>(order.size()) * count;
  joint.rows = row + static_cast<Eigen::Index>(order.size() - 1) * count;
  x.resize(joint.size);
  for (const Block& block : joint.blocks) x.segment(block.offset, count) = block.state.x;
  return joint;
}

// Each station's fit at the joint solution, its covariance's block, and the
// profile's misfit.
LateralFit Describe(const Joint& joint, const Eigen::VectorXd& x, const JointRun& run,
                    const std::vector<std::size_t>& order) {
  const int layers = joint.layers;
  const Eigen::Index count = ParameterCount(layers);
  LateralFit result;
  result.fits.resize(order.size());
  result.iterations = run.iterations;
  result.converged = run.converged;
  Eigen::VectorXd r;
  Triplets triplets;
  Evaluate(joint, x, r, &triplets);
  // The information matrix: data rows divided by q_s, prior rows unscaled.
  Triplets information;
  double sumSquares = 0;
  std::vector<double> scales;
  for (std::size_t k = 0; k < joint.blocks.size(); ++k) {
    const Block& block = joint.blocks[k];
    Fit& fit = result.fits[order[k]];
    const Eigen::VectorXd xs = x.segment(block.offset, count);
    internal::SetModel(xs, layers, block.problem.bounds, fit.model);
    const auto n = static_cast<Eigen::Index>(block.problem.data.size());
    fit.chi2 = r.segment(block.row, n).squaredNorm();
    fit.dof = static_cast<int>(n - count);
    fit.chi2PerDof = fit.dof > 0 ? fit.chi2 / fit.dof : std::numeric_limits<double>::quiet_NaN();
    fit.iterations = block.state.iterations;
    fit.starts = block.state.starts;
    const double unit = sounding::Exp(block.state.logUnit);
    double squares = 0;
    for (const Datum& datum : block.problem.data) {
      const double m = internal::Modelled(fit.model, datum);
      fit.modelled.push_back(m * unit);
      const double relative = (m - datum.rho) / datum.rho;
      squares += relative * relative;
    }
    fit.rmsPercent = 100 * std::sqrt(squares / static_cast<double>(n));
    for (double& rho : fit.model.resistivity) rho *= unit;
    sumSquares += squares;
    result.chi2 += fit.chi2;
    result.readings += static_cast<int>(n);
    result.parameters += static_cast<int>(count);
    scales.push_back(fit.dof > 0 ? std::max(1.0, fit.chi2PerDof) : 1.0);
  }
  result.rmsPercent = 100 * std::sqrt(sumSquares / result.readings);
  // Rows of the Jacobian: the data's scaled by 1 / sqrt(q_s), the prior's by
  // 1 / priorScale (back to P's weights), the lateral rows as they are.
  Eigen::VectorXd rowScale = Eigen::VectorXd::Ones(joint.rows);
  for (std::size_t k = 0; k < joint.blocks.size(); ++k) {
    const Block& block = joint.blocks[k];
    const auto n = static_cast<Eigen::Index>(block.problem.data.size());
    rowScale.segment(block.row, n).setConstant(1 / std::sqrt(scales[k]));
    // The prior's rows hold w_p * priorScale; P wants w_p.
    for (Eigen::Index p = 0; p < count; ++p) {
      const double weight = block.problem.PriorWeight(p);
      triplets.emplace_back(block.row + n + p, block.offset + p,
                            weight - weight * block.state.priorScale);
    }
  }
  const Eigen::SparseMatrix<double> jacobian = rowScale.asDiagonal() * SparseOf(joint, triplets);
  const Eigen::SparseMatrix<double> normal = jacobian.transpose() * jacobian;
  Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>> solver(normal);
  Eigen::MatrixXd unitColumns = Eigen::MatrixXd::Zero(joint.size, count);
  for (std::size_t k = 0; k < joint.blocks.size(); ++k) {
    const Block& block = joint.blocks[k];
    Fit& fit = result.fits[order[k]];
    unitColumns.setZero();
    unitColumns.middleRows(block.offset, count).setIdentity();
    const Eigen::MatrixXd columns = solver.solve(unitColumns);
    const Eigen::MatrixXd covariance = columns.middleRows(block.offset, count);
    fit.covariance.assign(covariance.data(), covariance.data() + covariance.size());
    if (fit.dof > 0 && fit.chi2PerDof > kPoorFitChi2PerDof) {
      char text[160];
      std::snprintf(text, sizeof text,
                    "poor fit: chi-squared per degree of freedom %.3g (more layers, or a larger "
                    "error, may suit the data)",
                    fit.chi2PerDof);
      fit.warnings.push_back({WarningKind::kPoorFit, 0, {fit.chi2PerDof, 1}, text});
    }
    if (!run.converged) {
      fit.warnings.push_back({WarningKind::kNotConverged,
                              0,
                              {fit.chi2PerDof, 1},
                              "not converged: the joint fit stopped at its iteration limit"});
    }
    internal::DescribeUncertainty(x.segment(block.offset, count), covariance, fit);
  }
  return result;
}

void Check(std::span<const Station> stations, const LateralOptions& options,
           std::vector<std::size_t>& order) {
  if (stations.size() < 2) throw InversionError("a profile needs two soundings or more");
  if (!(options.lateral >= 0) || !std::isfinite(options.lateral)) {
    throw InversionError("the lateral weight must be a finite number, 0 or above");
  }
  order.resize(stations.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  for (const Station& station : stations) {
    if (!std::isfinite(station.x)) throw InversionError("a station's x is not a finite number");
  }
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return stations[a].x < stations[b].x; });
  for (std::size_t k = 0; k + 1 < order.size(); ++k) {
    if (stations[order[k]].x == stations[order[k + 1]].x) {
      char text[96];
      std::snprintf(text, sizeof text, "two soundings at the same x %g", stations[order[k]].x);
      throw InversionError(text);
    }
  }
}

}  // namespace

LateralFit InvertLaterally(std::span<const Station> stations, const LateralOptions& options) {
  std::vector<std::size_t> order;
  Check(stations, options, order);
  Eigen::VectorXd x;
  const Joint joint = JointOf(stations, order, options, x);
  const JointRun run = Minimise(joint, x, options.maxIterations);
  return Describe(joint, x, run, order);
}

LateralChoice InvertLaterallyChoosingLayers(std::span<const Station> stations,
                                            const LateralOptions& options, int maxLayers) {
  std::vector<std::size_t> order;
  Check(stations, options, order);
  LateralChoice choice;
  std::vector<LateralFit> fits;
  for (int layers = 1; layers <= maxLayers; ++layers) {
    const bool carried = std::all_of(stations.begin(), stations.end(), [&](const Station& s) {
      return s.data.size() >= static_cast<std::size_t>(ParameterCount(layers));
    });
    if (!carried) break;
    LateralOptions withLayers = options;
    withLayers.fit.layers = layers;
    LateralFit fit = InvertLaterally(stations, withLayers);
    double bic = fit.chi2;
    for (const Fit& f : fit.fits) {
      const int n = f.dof + ParameterCount(layers);
      bic += ParameterCount(layers) * sounding::Log(static_cast<double>(n));
    }
    const int dof = fit.readings - fit.parameters;
    choice.trials.push_back({layers, fit.chi2,
                             dof > 0 ? fit.chi2 / dof : std::numeric_limits<double>::quiet_NaN(),
                             fit.rmsPercent, bic});
    fits.push_back(std::move(fit));
  }
  if (fits.empty()) throw InversionError("too few readings for one layer");
  choice.best = std::move(fits[internal::ChosenTrial(choice.trials)]);
  return choice;
}

}  // namespace tavrin::inversion
