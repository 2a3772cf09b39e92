// A digital linear filter for a Hankel transform: weights at log-spaced
// abscissae b_i = exp(logFirst + i logStep), so that
//   integral_0^inf f(x) K(x) dx ~ sum_i weight_i f(b_i)
// for the filter's kernel K. The tables are designed by design/design_filter.
#pragma once

#include <array>
#include <cstddef>

namespace tavrin::sounding {

struct FilterTap {
  double abscissa;
  double weight;
};

template <std::size_t N>
struct HankelFilter {
  double logFirst;
  double logStep;
  std::array<FilterTap, N> taps;
};

#include "hankel_filter_table.inc"

}  // namespace tavrin::sounding
