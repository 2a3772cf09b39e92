// Number and text output of the tool.
#include "cli/output.h"

#include <cmath>

#include "cli/extended_decimal.h"

namespace tavrin::cli {

namespace {
// Room for the longest "%.21Lg" text: sign, 21 digits, point, "e-4951", zero.
constexpr std::size_t kNumberTextCapacity = 48;
}  // namespace

std::string DoubleText17(double value) {
  if (std::isnan(value)) return "nan";
  char text[kNumberTextCapacity];
  const int length = std::snprintf(text, sizeof text, "%.17g", value);
  return std::string(text, static_cast<std::size_t>(length));
}

std::string ExtendedText21(Extended value) {
  if (IsNaN(value)) return "nan";
#ifdef TAVRIN_EXTENDED_SOFT
  return ExtendedDecimal21(value.Fields());
#else
  char text[kNumberTextCapacity];
  const int length = std::snprintf(text, sizeof text, "%.21Lg", value.rep());
  return std::string(text, static_cast<std::size_t>(length));
#endif
}

void WriteLine(std::FILE* out, std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), out);
  std::fputc('\n', out);
}

}  // namespace tavrin::cli
