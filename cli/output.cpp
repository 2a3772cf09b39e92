// Number and text output of the tool.
#include "cli/output.h"

#include <charconv>
#include <cmath>

#include "cli/extended_decimal.h"
#include "numtext/double_chars.h"

namespace tavrin::cli {

namespace {
// Room for the longest "%.21Lg" text: sign, 21 digits, point, "e-4951", zero.
constexpr std::size_t kNumberTextCapacity = 48;
}  // namespace

std::string DoubleText17(double value) {
  std::string text;
  AppendDoubleText17(text, value);
  return text;
}

// std::to_chars with a precision converts as printf does with that precision
// and conversion ("%.17g" for general), in the C locale; the tests compare
// the two over many values. Only NaNs are printed apart (no sign).
void AppendDoubleText17(std::string& out, double value) {
  if (std::isnan(value)) {
    out += "nan";
    return;
  }
  constexpr int kSignificantDigits = 17;
  char text[kNumberTextCapacity];
  const std::to_chars_result written =
      GeneralChars(text, text + sizeof text, value, kSignificantDigits);
  out.append(text, written.ptr);
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
