// The fitted layers and shifts with their uncertainty, and what the data
// cannot resolve. The linearised covariance C of x (see invert.cpp) gives
// for a parameter p = ln q (a resistivity, thickness or shift) the factor
// exp(sqrt(C_pp)); for the depth D_j = sum of the thicknesses above layer
// j, d ln D_j / d ln h_k = h_k / D_j, so var ln D_j = g^T C g with those
// g_k. A layer's conductance S = h / rho and transverse resistance T = h rho
// have var ln S = C_hh + C_rr - 2 C_hr and var ln T = C_hh + C_rr + 2 C_hr:
// when h and rho are strongly correlated one of them is much smaller than
// C_hh and C_rr, and only that product is resolved.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "inversion_internal.h"
#include "sounding/portable_math.h"

namespace tavrin::inversion::internal {

namespace {

double FactorOf(double variance) {
  return sounding::Exp(std::sqrt(std::max(variance, 0.0)));
}

std::string Format(const char* format, double a, double b) {
  char text[200];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

std::string Format(const char* format, const char* what, double value) {
  char text[200];
  std::snprintf(text, sizeof text, format, what, value);
  return text;
}

// A layer's factor is the prior's spread, not something the data measured,
// when ln factor is at least this fraction of ln kPriorFactor: with the
// variances adding as informations, 1 / sigma^2 = 1 / sigma_prior^2 + I_data,
// the data then carry under 1 / 0.9^2 - 1 = 23 % of the prior's information.
constexpr double kPriorShare = 0.9;

// True when a factor is no measurement: not finite, or the prior's spread
// `priorFactor` (within the share above).
bool OnlyPrior(double factor, double priorFactor) {
  return !std::isfinite(factor) ||
         sounding::Log(factor) >= kPriorShare * sounding::Log(priorFactor);
}

// "<what> <value> not resolved" and why: the factor the data leave, the
// prior's own spread where they do not bound the value, or that the factor
// could not be determined (not finite).
std::string NotResolved(const char* what, const Estimate& e) {
  const std::string head = Format("%s %.4g not resolved", what, e.value);
  if (!std::isfinite(e.factor)) return head + " (factor not determined)";
  if (OnlyPrior(e.factor, kPriorFactor)) {
    return head + Format(": the data do not bound it, and its factor %.3g is the prior's spread",
                         e.factor, 0);
  }
  return head + Format(" (factor %.3g)", e.factor, 0);
}

std::string LayerPrefix(int layer) {
  return "layer " + std::to_string(layer) + ": ";
}

// Warnings about one layer (0-based j; index of its ln h is hIndex, or -1
// for the half-space).
void WarnAboutLayer(const LayerEstimate& layer, int j, Eigen::Index rIndex, Eigen::Index hIndex,
                    const Eigen::MatrixXd& c, std::vector<Warning>& warnings) {
  const bool rhoResolved = layer.resistivity.factor <= kResolvedFactor;
  const bool hResolved = hIndex < 0 || layer.thickness.factor <= kResolvedFactor;
  if (rhoResolved && hResolved) return;
  if (hIndex >= 0) {
    const double both = c(hIndex, hIndex) + c(rIndex, rIndex);
    const double conductance = FactorOf(both - 2 * c(hIndex, rIndex));
    const double resistance = FactorOf(both + 2 * c(hIndex, rIndex));
    const bool isConductance = conductance <= resistance;
    const double factor = isConductance ? conductance : resistance;
    if (factor <= kResolvedFactor) {
      const double h = layer.thickness.value, rho = layer.resistivity.value;
      const Estimate product{isConductance ? h / rho : h * rho, factor};
      warnings.push_back(
          {isConductance ? WarningKind::kConductanceOnly : WarningKind::kTransverseResistanceOnly,
           j + 1, product,
           LayerPrefix(j + 1) +
               Format(isConductance ? "only the conductance h/rho = %.4g (factor %.3g) is resolved"
                                    : "only the transverse resistance h*rho = %.4g (factor %.3g) "
                                      "is resolved",
                      product.value, product.factor) +
               ", not h and rho apart"});
      return;
    }
  }
  if (!rhoResolved) {
    warnings.push_back({WarningKind::kNotResolved, j + 1, layer.resistivity,
                        LayerPrefix(j + 1) + NotResolved("resistivity", layer.resistivity)});
  }
  if (!hResolved) {
    warnings.push_back({WarningKind::kNotResolved, j + 1, layer.thickness,
                        LayerPrefix(j + 1) + NotResolved("thickness", layer.thickness)});
  }
}

}  // namespace

void DescribeUncertainty(const Eigen::VectorXd& x, const Eigen::MatrixXd& c, Fit& fit) {
  const int layers = static_cast<int>(fit.model.resistivity.size());
  const double nan = std::numeric_limits<double>::quiet_NaN();
  fit.layers.clear();
  double top = 0;
  for (int j = 0; j < layers; ++j) {
    LayerEstimate layer{};
    layer.resistivity = {fit.model.resistivity[j], FactorOf(c(j, j))};
    const Eigen::Index hIndex = j + 1 < layers ? layers + j : -1;
    layer.thickness = hIndex < 0 ? Estimate{nan, nan}
                                 : Estimate{fit.model.thickness[j], FactorOf(c(hIndex, hIndex))};
    if (j == 0) {
      layer.top = {0, 1};
    } else {
      Eigen::VectorXd g = Eigen::VectorXd::Zero(x.size());
      for (int k = 0; k < j; ++k) g[layers + k] = fit.model.thickness[k] / top;
      layer.top = {top, FactorOf(g.dot(c * g))};
    }
    for (Estimate* e : {&layer.resistivity, &layer.thickness, &layer.top}) {
      e->unresolved = !std::isnan(e->value) && OnlyPrior(e->factor, kPriorFactor);
    }
    WarnAboutLayer(layer, j, j, hIndex, c, fit.warnings);
    fit.layers.push_back(layer);
    if (hIndex >= 0) top += fit.model.thickness[j];
  }
}

std::vector<Estimate> ShiftEstimates(const Problem& problem, const Eigen::VectorXd& x,
                                     const Eigen::MatrixXd& c) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<Estimate> shifts;
  for (std::size_t k = 0; k < problem.ofSegment.size(); ++k) {
    const Eigen::Index p = problem.ofSegment[k];
    if (p >= 0) {
      const double factor = FactorOf(c(p, p));
      shifts.push_back({sounding::Exp(x[p]), factor, OnlyPrior(factor, kShiftPriorFactor)});
    } else {
      const bool read = std::any_of(problem.data.begin(), problem.data.end(), [&](const Datum& d) {
        return d.segment == static_cast<int>(k);
      });
      shifts.push_back(read ? Estimate{1, 1} : Estimate{nan, nan});
    }
  }
  return shifts;
}

}  // namespace tavrin::inversion::internal
