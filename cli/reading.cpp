// One calculator reading, as a CALC click computes and shows it.
#include "cli/reading.h"

#include "formula/resistivity.h"
#include "numtext/numtext.h"

namespace tavrin::cli {

namespace {
constexpr ConstText kMask = kResultMask;
}  // namespace

ReadingResult ComputeReading(std::string_view n, std::string_view a, std::string_view v,
                             std::string_view i) {
  ReadingResult result{0, {}};
  result.rho = AppendReading(n, a, v, i, result.text);
  return result;
}

// The texts of the boxes are read from their bytes: TextToNumber of a text
// reads nothing but its bytes, so no text needs to be made of them.
double AppendReading(std::string_view n, std::string_view a, std::string_view v, std::string_view i,
                     std::string& text) {
  const double rho = ComputeResistivity(n, a, v, i);
  AppendFormattedNumber(static_cast<Extended>(rho), kMask, text);
  return rho;
}

}  // namespace tavrin::cli
