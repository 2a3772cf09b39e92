// The apparent resistivity a Schlumberger array measures over a layered
// earth. mn2 == 0 is the ideal array (MN/2 tending to 0); mn2 > 0 the finite
// array with potential electrodes at +-mn2, which needs mn2 < ab2. Lengths
// are in any one unit; the result is in the model's resistivity unit.
#pragma once

#include <optional>
#include <stdexcept>

#include "sounding/layered_model.h"

namespace tavrin::sounding {

// How the fast forward model reached its value.
enum class ForwardPath {
  kFilter,       // the digital filter on T - rho_1 (the half-space subtracted)
  kTwoLayer,     // the top two layers' image series, exact, plus the filter on
                 // the rest of T (nothing more for a two-layer model)
  kIntegration,  // the filter could not be trusted: the numerical integration
};

struct ForwardResult {
  double value;          // rho_a: positive and finite for a positive finite model
  ForwardPath path;      // the path the value came from
  double errorEstimate;  // its estimated relative error
  bool trusted;          // errorEstimate within kTrustedError (0.01 %)
};

// The relative error up to which a value is called trusted.
inline constexpr double kTrustedError = 1e-4;

// Fast path: the digital linear filter, or where its estimated error is too
// large for this model and spacing, the two-layer image series with the
// filter on the rest; where neither can be trusted, the numerical
// integration if it converges within its bounded work (else the better of
// the two, not trusted). Within 0.1 % of the exact solution where trusted.
ForwardResult ApparentResistivityChecked(const LayeredModel& model, double ab2, double mn2 = 0);

// ApparentResistivityChecked(model, ab2, mn2).value.
double ApparentResistivity(const LayeredModel& model, double ab2, double mn2 = 0);

// Thrown by ApparentResistivityExact for a spacing whose integral did not
// settle within its bounded work.
class ExactNotConverged : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reference path: the Hankel transform integrated numerically between the
// zeros of the Bessel function (forward_exact.cpp), to about 1e-9 relative.
// Thousands of times slower than the filter; its work per spacing is bounded
// (about 1e6 evaluations of the resistivity transform), and a spacing that
// does not converge within it gives std::nullopt.
std::optional<double> TryApparentResistivityExact(const LayeredModel& model, double ab2,
                                                  double mn2 = 0);

// TryApparentResistivityExact's value; throws ExactNotConverged (a
// std::runtime_error) where it has none.
double ApparentResistivityExact(const LayeredModel& model, double ab2, double mn2 = 0);

}  // namespace tavrin::sounding
