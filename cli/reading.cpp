// One calculator reading, as a CALC click computes and shows it.
#include "cli/reading.h"

#include "app/calculator.h"
#include "numtext/numtext.h"
#include "runtime/text_value.h"

namespace tavrin::cli {

namespace {
constexpr ConstText kMask = kResultMask;
}  // namespace

ReadingResult ComputeReading(std::string_view n, std::string_view a, std::string_view v,
                             std::string_view i) {
  const TextValue nText = TextValue::Copy(n);
  const TextValue aText = TextValue::Copy(a);
  const TextValue vText = TextValue::Copy(v);
  const TextValue iText = TextValue::Copy(i);
  const double rho = ComputeResistivity(nText, aText, vText, iText);
  const TextValue shown = FormatNumber(static_cast<Extended>(rho), kMask);
  return ReadingResult{rho, shown.str()};
}

}  // namespace tavrin::cli
