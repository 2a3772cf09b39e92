// Fitting a horizontally layered earth to a Schlumberger sounding.
//
// The parameters are x = (ln rho_1 .. ln rho_N, ln h_1 .. ln h_(N-1)), and
// with fitted shifts ln s_k for each MN/2 segment k with readings other than
// the reference (whose s is 1). Each reading i with apparent resistivity d_i
// gives the weighted residual
//   r_i = (ln (s_k m_i(x)) - ln d_i) / ln(1 + e_i),
// m_i the model's apparent resistivity, s_k the shift of the reading's
// segment (1 without fitted shifts), e_i = max(the reading's own relative
// error, the fit's error): the fit's error is a floor. The fit minimises
// chi^2 = sum r_i^2 by Levenberg-Marquardt from several starting models and
// keeps the best, a weak prior (each layer's log parameter known to a
// factor of 10 of the curve's plainest reading, each shift to a factor of 2
// of 1, weighed by the data's observed scatter) keeping it from wandering
// where the data do not determine the model. A reading with a known MN/2 of
// more than 1 % of its AB/2 is modelled as the finite array it was measured
// with; the others (MN/2 unknown, or so short that the ideal array differs
// from it by far less than any field error) as the ideal array.
#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "sounding/layered_model.h"
#include "sounding/sounding.h"

namespace tavrin::inversion {

inline constexpr int kMaxLayers = 8;
inline constexpr int kMaxAutoLayers = 6;
inline constexpr double kDefaultRelativeError = 0.03;

// Input that cannot be fitted; what() is a one-line message.
class InversionError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// One reading as the fit sees it; mn2 == 0 is the ideal array.
struct Datum {
  double ab2;
  double mn2;
  double rho;
  // The reading's own relative error; 0 when it has none (the fit's error
  // then stands). The fit never weighs a reading by less than its error.
  double error = 0;
  int segment = 0;  // the reading's MN/2 segment, for fitted shifts
};

// The readings of a sounding as data, each with the array it is modelled as.
std::vector<Datum> DataOf(std::span<const sounding::Reading> readings);

// The weight of a datum's log residual: w = 1 / ln(1 + e), e the larger of
// its own error and `relativeError` (both above 0 when the fit calls it).
double WeightOf(const Datum& datum, double relativeError);

// How far modelled values lie from the data, as a fit states it:
//   rmsPercent = 100 sqrt(mean(((m_i - d_i) / d_i)^2)),
//   chi2 = sum((ln m_i - ln d_i)^2 w_i^2)   (w_i as WeightOf)
// `modelled` holds one value per datum (with fitted shifts, already times
// its segment's shift), every d_i and m_i positive.
struct Misfit {
  double rmsPercent;
  double chi2;
};
Misfit MisfitOf(std::span<const Datum> data, std::span<const double> modelled,
                double relativeError);
// MisfitOf's rmsPercent alone.
double RmsPercent(std::span<const Datum> data, std::span<const double> modelled);

// A fitted value and its uncertainty as a factor: exp of the standard
// deviation of its logarithm (the value is uncertain "times or divided by"
// the factor). NaN for a value that does not exist (the half-space's
// thickness); factor 1 for one that is fixed (the surface's depth). The fit
// takes every layer's log parameter as known to a factor of 10 before the
// data (a shift to a factor of 2), so a value the data do not bound shows a
// factor near that: not resolved.
struct Estimate {
  double value;
  double factor;
  // The data do not bound the value: its factor is the prior's spread, or
  // could not be determined. The factor is then no measurement.
  bool unresolved = false;
};

struct LayerEstimate {
  Estimate resistivity;
  Estimate thickness;
  Estimate top;  // depth to the layer's top
};

enum class WarningKind {
  kPoorFit,                   // chi^2 per degree of freedom far above 1
  kNotResolved,               // a layer's resistivity or thickness has a large factor
  kConductanceOnly,           // only h / rho of a layer is resolved
  kTransverseResistanceOnly,  // only h * rho of a layer is resolved
  kNotConverged,              // the final run stopped at its evaluation limit
};

struct Warning {
  WarningKind kind;
  int layer;         // 1-based; 0 for the whole fit
  Estimate value;    // the unresolved parameter, the product resolved, or chi^2 per dof
  std::string text;  // one line saying what and why
};

struct Fit {
  sounding::LayeredModel model;
  std::vector<LayerEstimate> layers;
  // The model's apparent resistivity per datum, times its segment's shift
  // with fitted shifts: the residuals are against the shifted model.
  std::vector<double> modelled;
  double chi2 = 0;
  int dof = 0;                     // readings - parameters (the layers' and shifts')
  double chi2PerDof = 0;           // NaN when dof == 0
  double rmsPercent = 0;           // RMS of (m_i - d_i) / d_i, in percent
  int iterations = 0;              // LM iterations of the start kept
  int starts = 0;                  // starting models tried
  std::vector<double> covariance;  // of x (shifts included), row-major P x P
  std::vector<Warning> warnings;
  // With Options::fitShifts, each segment's fitted factor, segments 0 to
  // the highest (the data of segment s are taken as shift_s times the
  // model's); the reference's is {1, 1}, a segment without readings NaN.
  // Empty otherwise.
  std::vector<Estimate> shifts;
};

struct Options {
  int layers = 2;
  // The data's relative error, and the least any reading is taken to have.
  double relativeError = kDefaultRelativeError;
  // Fit one factor per segment with the layers, the reference segment's
  // fixed at 1.
  bool fitShifts = false;
  int referenceSegment = 0;
  // Most forward evaluations of each Levenberg-Marquardt run; a final run
  // stopped by it rather than by its tolerances is warned of.
  int maxEvaluations = 400;
};

// Fits `options.layers` layers to the data. Throws InversionError when the
// layer count or error is out of range, a datum is not positive and finite
// or has a negative error, with fitted shifts a segment is negative or the
// reference has no readings, there are fewer data than free parameters
// (2 N - 1, and one for each fitted shift), the evaluation limit is below 1,
// or no model with finite apparent resistivities fits (readings that lie
// hundreds of decades apart).
Fit Invert(std::span<const Datum> data, const Options& options);

// The number of layers chosen by the Bayesian information criterion
//   BIC = chi^2 + P ln n   (P = 2 N - 1 parameters and one for each fitted
// shift, n data, chi^2 with the data's stated error), over 1 .. maxLayers
// layers (those the data can carry): the fewest layers whose BIC is within
// 2 of the least. Each count is also started from the fit with one layer
// fewer, its half-space split, so that more layers never fit worse.
// More layers are taken only when they lower the BIC by more than this: a
// difference of up to 2 is, as odds between the two models, not worth more
// than a bare mention (under e : 1), and the simpler model stands.
inline constexpr double kBicMargin = 2;
inline constexpr const char* kLayerCountRule = "the fewest layers within 2 of the least BIC";

struct LayerTrial {
  int layers;
  double chi2;
  double chi2PerDof;
  double rmsPercent;
  double bic;
};

struct LayerChoice {
  Fit best;
  std::vector<LayerTrial> trials;
};

// The fits are as Invert's with `options` (its layer count aside).
LayerChoice InvertChoosingLayers(std::span<const Datum> data, const Options& options,
                                 int maxLayers = kMaxAutoLayers);
LayerChoice InvertChoosingLayers(std::span<const Datum> data, double relativeError,
                                 int maxLayers = kMaxAutoLayers);

}  // namespace tavrin::inversion
