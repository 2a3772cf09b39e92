// The resistivity transform T(lambda) of a layered earth, by the recurrence
// from the bottom layer up:
//   T_N = rho_N,
//   T_i = rho_i (T_{i+1} + rho_i t_i) / (rho_i + T_{i+1} t_i),  t_i = tanh(lambda h_i),
// and T(lambda) = T_1. tanh is formed from e = exp(-2 lambda h_i) as
// (1 - e) / (1 + e), so large lambda h_i is exact (t_i = 1) and never overflows.
#pragma once

#include <cstddef>

#include "sounding/layered_model.h"

namespace tavrin::sounding {

// T(lambda), for resistivities anywhere in the doubles' range: computed in
// units of 2^ResistivityScale, so it overflows only where T itself does.
double ResistivityTransform(const LayeredModel& model, double lambda);

// k with 2^k <= the largest resistivity of layers 0..bottom < 2^(k+1); 0 for
// a model without a positive finite one. Dividing by 2^k is exact.
int ResistivityScale(const LayeredModel& model, std::size_t bottom);

}  // namespace tavrin::sounding
