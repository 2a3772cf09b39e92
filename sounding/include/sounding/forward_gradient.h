// The forward model's apparent resistivity together with its derivatives by
// the logarithms of the model's parameters, for fitting a model to data.
#pragma once

#include <span>

#include "sounding/layered_model.h"

namespace tavrin::sounding {

// The same value as ApparentResistivity(model, ab2, mn2), and in `gradient`
// (2 N - 1 entries for N layers) its derivatives by ln rho_1 .. ln rho_N,
// ln h_1 .. ln h_(N-1). `scratch` needs 3 N entries.
double ApparentResistivityGradient(const LayeredModel& model, double ab2, double mn2,
                                   std::span<double> gradient, std::span<double> scratch);

}  // namespace tavrin::sounding
