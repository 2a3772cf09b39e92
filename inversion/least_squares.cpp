// One damped least-squares run: Eigen's Levenberg-Marquardt (the MINPACK
// trust-region method) over the weighted log residuals, with the forward
// model's analytic Jacobian.
#include <cmath>
#include <unsupported/Eigen/LevenbergMarquardt>

#include "inversion_internal.h"
#include "sounding/forward_gradient.h"
#include "sounding/portable_math.h"

namespace tavrin::inversion::internal {

namespace {

// Stopping tolerances on the relative change of the parameters and of
// chi^2: to the end of the arithmetic for the solution, and for a search
// that only compares misfits to a fraction of one (chi^2 of tens, read to
// 1e-5 of itself) far less.
constexpr double kParameterTolerance = 1e-10;
constexpr double kMisfitTolerance = 1e-12;
constexpr double kSearchParameterTolerance = 1e-6;
constexpr double kSearchMisfitTolerance = 1e-5;

// Weight of the constraint's row: a miss of 1e-4 costs as much as one
// datum off by its error.
constexpr double kConstraintWeight = 1e4;

// The data's weighted residuals r_i of the Problem (inversion_internal.h),
// then one row per parameter for its prior, (x_p - reference_p) times its
// weight, and a last row holding x on a plane (direction . x = target) when
// a constraint is given, zero otherwise.
struct ResidualFunctor : Eigen::DenseFunctor<double> {
  ResidualFunctor(const Problem& p, const Eigen::VectorXd& referenceModel)
      : Eigen::DenseFunctor<double>(static_cast<int>(referenceModel.size()),
                                    static_cast<int>(p.data.size() + referenceModel.size()) + 1),
        problem(p),
        reference(referenceModel),
        priorWeights(Eigen::VectorXd::Zero(referenceModel.size())),
        gradient(static_cast<std::size_t>(ParameterCount(p.layers))),
        scratch(3 * static_cast<std::size_t>(p.layers)) {}

  void SetPrior(double scale) {
    for (Eigen::Index p = 0; p < priorWeights.size(); ++p)
      priorWeights[p] = problem.PriorWeight(p) * scale;
  }

  int operator()(const InputType& x, ValueType& r) {
    SetModel(x, problem.layers, problem.bounds, model);
    const std::span<const Datum> data = problem.data;
    for (std::size_t i = 0; i < data.size(); ++i) {
      double misfit = sounding::Log(Modelled(model, data[i])) - sounding::Log(data[i].rho);
      if (problem.shiftOf[i] >= 0) misfit += x[problem.shiftOf[i]];
      r[static_cast<Eigen::Index>(i)] = misfit * problem.weights[i];
    }
    const auto n = static_cast<Eigen::Index>(data.size());
    r.segment(n, x.size()) = (x - reference).cwiseProduct(priorWeights);
    r[n + x.size()] =
        constraint ? kConstraintWeight * (constraint->direction.dot(x) - constraint->target) : 0.0;
    return 0;
  }

  // The analytic derivatives of the forward model (d r_i / d x_p =
  // w_i * (d m_i / d x_p) / m_i), and d r_i / d ln s_k = w_i for the
  // datum's own segment; a parameter held at its bound does not move the
  // model.
  int df(const InputType& x, JacobianType& jacobian) {
    SetModel(x, problem.layers, problem.bounds, model);
    const std::span<const Datum> data = problem.data;
    const Eigen::Index layers = problem.layers, count = ParameterCount(problem.layers);
    const auto n = static_cast<Eigen::Index>(data.size());
    jacobian.topRightCorner(n, x.size() - count).setZero();
    for (std::size_t i = 0; i < data.size(); ++i) {
      const auto row = static_cast<Eigen::Index>(i);
      const double weight = problem.weights[i];
      const double m =
          sounding::ApparentResistivityGradient(model, data[i].ab2, data[i].mn2, gradient, scratch);
      for (Eigen::Index p = 0; p < count; ++p) {
        jacobian(row, p) = weight * gradient[static_cast<std::size_t>(p)] / m;
      }
      if (problem.shiftOf[i] >= 0) jacobian(row, problem.shiftOf[i]) = weight;
    }
    for (Eigen::Index p = 0; p < count; ++p) {
      const double low = p < layers ? problem.bounds.lowLogRho : problem.bounds.lowLogH;
      const double high = p < layers ? problem.bounds.highLogRho : problem.bounds.highLogH;
      if (x[p] < low || x[p] > high) jacobian.col(p).setZero();
    }
    jacobian.middleRows(n, x.size()) = priorWeights.asDiagonal();
    if (constraint) {
      jacobian.row(n + x.size()) = kConstraintWeight * constraint->direction.transpose();
    } else {
      jacobian.row(n + x.size()).setZero();
    }
    return 0;
  }

  const Problem& problem;
  Eigen::VectorXd reference;
  Eigen::VectorXd priorWeights;
  const Constraint* constraint = nullptr;
  sounding::LayeredModel model;
  std::vector<double> gradient, scratch;
};

}  // namespace

RunResult Minimise(const Problem& problem, const Prior& prior, Eigen::VectorXd& x,
                   int maxEvaluations, const Constraint* constraint, Precision precision) {
  ResidualFunctor functor(problem, prior.reference ? *prior.reference : x);
  if (prior.reference) functor.SetPrior(prior.scale);
  functor.constraint = constraint;
  Eigen::LevenbergMarquardt<ResidualFunctor> method(functor);
  const bool search = precision == Precision::kSearch;
  method.setXtol(search ? kSearchParameterTolerance : kParameterTolerance);
  method.setFtol(search ? kSearchMisfitTolerance : kMisfitTolerance);
  method.setMaxfev(maxEvaluations);
  const Eigen::LevenbergMarquardtSpace::Status status = method.minimize(x);
  const double norm = method.fnorm();
  const double chi2 =
      method.fvec().head(static_cast<Eigen::Index>(problem.data.size())).squaredNorm();
  return {norm * norm, chi2, static_cast<int>(method.iterations()),
          status == Eigen::LevenbergMarquardtSpace::TooManyFunctionEvaluation};
}

Eigen::MatrixXd Jacobian(const Problem& problem, const Eigen::VectorXd& x) {
  ResidualFunctor functor(problem, x);
  Eigen::MatrixXd jacobian(functor.values(), x.size());
  functor.df(x, jacobian);
  return jacobian.topRows(static_cast<Eigen::Index>(problem.data.size()));
}

}  // namespace tavrin::inversion::internal
