// One damped least-squares run: Eigen's Levenberg-Marquardt (the MINPACK
// trust-region method) over the weighted log residuals, with the forward
// model's analytic Jacobian.
#include <cmath>
#include <unsupported/Eigen/LevenbergMarquardt>

#include "inversion_internal.h"
#include "sounding/forward_gradient.h"

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

// r_i = (ln m_i(x) - ln d_i) * weight for every datum.
void WeightedResiduals(std::span<const Datum> data, double weight, const Bounds& bounds,
                       const Eigen::VectorXd& x, sounding::LayeredModel& model,
                       Eigen::VectorXd& r) {
  SetModel(x, bounds, model);
  for (std::size_t i = 0; i < data.size(); ++i) {
    r[static_cast<Eigen::Index>(i)] =
        (std::log(Modelled(model, data[i])) - std::log(data[i].rho)) * weight;
  }
}

// The data's weighted residuals, then one row per parameter for its prior,
// (x_p - reference_p) / ln kPriorFactor, and a last row holding x on a plane
// (direction . x = target) when a constraint is given, zero otherwise.
struct ResidualFunctor : Eigen::DenseFunctor<double> {
  ResidualFunctor(std::span<const Datum> d, double w, const Bounds& b,
                  const Eigen::VectorXd& referenceModel)
      : Eigen::DenseFunctor<double>(static_cast<int>(referenceModel.size()),
                                    static_cast<int>(d.size() + referenceModel.size()) + 1),
        data(d),
        weight(w),
        bounds(b),
        reference(referenceModel),
        gradient(static_cast<std::size_t>(referenceModel.size())),
        scratch(3 * static_cast<std::size_t>(referenceModel.size() + 1) / 2) {}

  int operator()(const InputType& x, ValueType& r) {
    WeightedResiduals(data, weight, bounds, x, model, r);
    const auto n = static_cast<Eigen::Index>(data.size());
    r.segment(n, x.size()) = (x - reference) * priorWeight;
    r[n + x.size()] =
        constraint ? kConstraintWeight * (constraint->direction.dot(x) - constraint->target) : 0.0;
    return 0;
  }

  // The analytic derivatives of the forward model (d r_i / d x_p =
  // weight * (d m_i / d x_p) / m_i); a parameter held at its bound does not
  // move the model.
  int df(const InputType& x, JacobianType& jacobian) {
    SetModel(x, bounds, model);
    const Eigen::Index layers = (x.size() + 1) / 2;
    for (std::size_t i = 0; i < data.size(); ++i) {
      const double m =
          sounding::ApparentResistivityGradient(model, data[i].ab2, data[i].mn2, gradient, scratch);
      for (Eigen::Index p = 0; p < x.size(); ++p) {
        jacobian(static_cast<Eigen::Index>(i), p) =
            weight * gradient[static_cast<std::size_t>(p)] / m;
      }
    }
    for (Eigen::Index p = 0; p < x.size(); ++p) {
      const double low = p < layers ? bounds.lowLogRho : bounds.lowLogH;
      const double high = p < layers ? bounds.highLogRho : bounds.highLogH;
      if (x[p] < low || x[p] > high) jacobian.col(p).setZero();
    }
    const auto n = static_cast<Eigen::Index>(data.size());
    jacobian.middleRows(n, x.size()).setIdentity();
    jacobian.middleRows(n, x.size()) *= priorWeight;
    if (constraint) {
      jacobian.row(n + x.size()) = kConstraintWeight * constraint->direction.transpose();
    } else {
      jacobian.row(n + x.size()).setZero();
    }
    return 0;
  }

  std::span<const Datum> data;
  double weight;
  Bounds bounds;
  Eigen::VectorXd reference;
  double priorWeight = kPriorWeight;
  const Constraint* constraint = nullptr;
  sounding::LayeredModel model;
  std::vector<double> gradient, scratch;
};

}  // namespace

RunResult Minimise(std::span<const Datum> data, double weight, const Bounds& bounds,
                   const Prior& prior, Eigen::VectorXd& x, int maxEvaluations,
                   const Constraint* constraint, Precision precision) {
  ResidualFunctor functor(data, weight, bounds, prior.reference ? *prior.reference : x);
  functor.priorWeight = prior.reference ? prior.weight : 0.0;
  functor.constraint = constraint;
  Eigen::LevenbergMarquardt<ResidualFunctor> method(functor);
  const bool search = precision == Precision::kSearch;
  method.setXtol(search ? kSearchParameterTolerance : kParameterTolerance);
  method.setFtol(search ? kSearchMisfitTolerance : kMisfitTolerance);
  method.setMaxfev(maxEvaluations);
  method.minimize(x);
  const double norm = method.fnorm();
  const double chi2 = method.fvec().head(static_cast<Eigen::Index>(data.size())).squaredNorm();
  return {norm * norm, chi2, static_cast<int>(method.iterations())};
}

Eigen::MatrixXd Jacobian(std::span<const Datum> data, double weight, const Bounds& bounds,
                         const Eigen::VectorXd& x) {
  ResidualFunctor functor(data, weight, bounds, x);
  Eigen::MatrixXd jacobian(functor.values(), x.size());
  functor.df(x, jacobian);
  return jacobian.topRows(static_cast<Eigen::Index>(data.size()));
}

}  // namespace tavrin::inversion::internal
