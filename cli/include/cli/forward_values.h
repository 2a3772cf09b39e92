// The forward command's numbers: one spacing's apparent resistivity by the
// path the command takes, what it warns of, and the log-spaced AB/2 of
// --ab2. The tool and the web interface compute through these alone.
#pragma once

#include <string>
#include <vector>

#include "sounding/forward.h"
#include "sounding/layered_model.h"

namespace tavrin::cli {

// The most layers a model may have.
inline constexpr std::size_t kMaxModelLayers = 30;

// Throws UsageError unless the model has 1 to kMaxModelLayers layers.
void CheckLayerCount(const sounding::LayeredModel& model);

// The apparent resistivity at `ab2` (MN/2 `mn2`, 0 the ideal array): the
// checked filter path, or with `exact` the integration. Throws ComputeError
// ("AB/2 X: reason") where the integration does not converge or the value is
// not a positive double.
sounding::ForwardResult ForwardValue(const sounding::LayeredModel& model, double ab2, double mn2,
                                     bool exact);

// The warning for a value no path could trust, without "tavrin: ".
std::string UntrustedWarning(double ab2, const sounding::ForwardResult& result);

// `steps` + 1 AB/2 from `from` to `to` (0 < from <= to), log-spaced, both
// ends exact, and exact at whole decades: from, then 10^(log10 from + k d /
// steps) with d = log10 to - log10 from, then to. `steps` 0 gives `from`.
std::vector<double> LogSpacing(double from, double to, int steps);

}  // namespace tavrin::cli
