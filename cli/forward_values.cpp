// The forward command's values, warnings and spacings.
#include "cli/forward_values.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "cli/args.h"
#include "cli/survey_options.h"
#include "sounding/portable_math.h"

namespace tavrin::cli {

void CheckLayerCount(const sounding::LayeredModel& model) {
  if (model.resistivity.empty() || model.resistivity.size() > kMaxModelLayers) {
    throw UsageError("the model has " + std::to_string(model.resistivity.size()) +
                     " layers; 1 to " + std::to_string(kMaxModelLayers) + " are possible");
  }
}

sounding::ForwardResult ForwardValue(const sounding::LayeredModel& model, double ab2, double mn2,
                                     bool exact) {
  sounding::ForwardResult result{};
  try {
    result = exact ? sounding::ForwardResult{sounding::ApparentResistivityExact(model, ab2, mn2),
                                             sounding::ForwardPath::kIntegration, 0, true}
                   : sounding::ApparentResistivityChecked(model, ab2, mn2);
  } catch (const std::runtime_error& error) {
    throw ComputeError("AB/2 " + ShortestText(ab2) + ": " + error.what());
  }
  // A resistivity is above 0 and a double; anything else (an overflow) is
  // no result to print.
  if (!(result.value > 0 && std::isfinite(result.value))) {
    throw ComputeError("AB/2 " + ShortestText(ab2) +
                       ": the apparent resistivity is not a positive number in the range of "
                       "doubles");
  }
  return result;
}

std::string UntrustedWarning(double ab2, const sounding::ForwardResult& result) {
  char error[32];
  std::snprintf(error, sizeof error, "%.2g", 100 * result.errorEstimate);
  return "warning: AB/2 " + ShortestText(ab2) +
         ": no computation could be trusted (estimated error " + error +
         " %); the value is kept within the layers' resistivities";
}

std::vector<double> LogSpacing(double from, double to, int steps) {
  // The exponent whole: 10^1.5 is the double nearest sqrt(1000), which
  // 10 * 10^0.5 is not. The decades as a difference of logarithms: to / from
  // overflows for a range over 308 decades (1e-300:1e300).
  const double firstDecade = sounding::Log10(from);
  const double decades = sounding::Log10(to) - firstDecade;
  std::vector<double> values{from};
  for (int k = 1; k < steps; ++k) {
    values.push_back(sounding::Pow10(firstDecade + decades * k / steps));
  }
  if (steps > 0) values.push_back(to);
  return values;
}

}  // namespace tavrin::cli
