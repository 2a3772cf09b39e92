// One damped least-squares run: Eigen's Levenberg-Marquardt (the MINPACK
// trust-region method) over the weighted log residuals, with the Jacobian by
// forward differences on the fast forward model.
#include <cmath>
#include <unsupported/Eigen/LevenbergMarquardt>

#include "inversion_internal.h"

namespace tavrin::inversion::internal {

namespace {

// Step of the forward differences in the logarithmic parameters: a relative
// change of 1e-6 is far above the forward model's rounding (about 1e-15
// relative) and far below the curvature's scale, so the difference quotient
// is good to about six digits.
constexpr double kDifferenceStep = 1e-6;

// Stopping tolerances on the relative change of the parameters and of chi^2.
constexpr double kParameterTolerance = 1e-10;
constexpr double kMisfitTolerance = 1e-12;

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

struct ResidualFunctor : Eigen::DenseFunctor<double> {
  ResidualFunctor(std::span<const Datum> d, double w, const Bounds& b, int parameters)
      : Eigen::DenseFunctor<double>(parameters, static_cast<int>(d.size())),
        data(d),
        weight(w),
        bounds(b) {}

  int operator()(const InputType& x, ValueType& r) {
    WeightedResiduals(data, weight, bounds, x, model, r);
    lastX = x;
    lastR = r;
    return 0;
  }

  // Forward differences about x; the residuals at x itself are those of the
  // last evaluation when it was at x, as the method usually asks.
  int df(const InputType& x, JacobianType& jacobian) {
    if (lastX.size() != x.size() || lastX != x) {
      lastR.resize(values());
      (*this)(x, lastR);
    }
    ValueType shifted(values());
    InputType trial = x;
    for (Eigen::Index j = 0; j < x.size(); ++j) {
      trial[j] = x[j] + kDifferenceStep;
      WeightedResiduals(data, weight, bounds, trial, model, shifted);
      jacobian.col(j) = (shifted - lastR) / kDifferenceStep;
      trial[j] = x[j];
    }
    return 0;
  }

  std::span<const Datum> data;
  double weight;
  Bounds bounds;
  sounding::LayeredModel model;
  InputType lastX;
  ValueType lastR;
};

}  // namespace

RunResult Minimise(std::span<const Datum> data, double weight, const Bounds& bounds,
                   Eigen::VectorXd& x, int maxEvaluations) {
  ResidualFunctor functor(data, weight, bounds, static_cast<int>(x.size()));
  Eigen::LevenbergMarquardt<ResidualFunctor> method(functor);
  method.setXtol(kParameterTolerance);
  method.setFtol(kMisfitTolerance);
  method.setMaxfev(maxEvaluations);
  method.minimize(x);
  const double norm = method.fnorm();
  return {norm * norm, static_cast<int>(method.iterations())};
}

Eigen::MatrixXd Jacobian(std::span<const Datum> data, double weight, const Bounds& bounds,
                         const Eigen::VectorXd& x) {
  ResidualFunctor functor(data, weight, bounds, static_cast<int>(x.size()));
  Eigen::MatrixXd jacobian(functor.values(), x.size());
  functor.df(x, jacobian);
  return jacobian;
}

}  // namespace tavrin::inversion::internal
