// Numeric text conversion: text to number, number to text under a picture
// mask, and the decimal digit generation and power-of-ten scaling under both.
// The working number is the extended real (64-bit significand, 15-bit
// exponent, extended.h); on the x87 backend the conversions expect the control
// word that start-up sets (64-bit precision, rounding to nearest, exceptions
// masked).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "numtext/extended.h"
#include "runtime/text_value.h"

namespace tavrin {

// --- Power-of-ten scaling and digit generation -------------------------------

// Returns x * 10^p in extended precision: the power is built from the table
// with at most nine roundings, then applied in one rounded operation (two when
// |p| > 4096). Callers stay within -12287..12287; beyond that, further whole
// steps of 10^4096 keep the result defined (an infinity, a zero or a NaN).
Extended ScaleByPowerOfTen(Extended x, std::int16_t p);

// The result of GenerateDecimalDigits: the digits read 0.d1d2d3... x 10^exponent.
struct DecimalDigits {
  int exponent;
  bool negative;
};

// Smallest buffer GenerateDecimalDigits accepts, whatever the count.
inline constexpr int kMinDigitBuffer = 20;

// Writes the significant decimal digits of x into `buffer` (at least
// max(count + 1, 20) bytes), zero-terminated: `count` digits when count <= 19,
// else 18 digits and a "0". The first 20 bytes are working space: those
// after the terminating zero may change too. Zero and NaN give "000..." with exponent 1;
// infinities "999..." with exponent 999. A count below 1 gives no digits
// (just the zero byte) but still the exponent and sign.
DecimalDigits GenerateDecimalDigits(Extended x, int count, char* buffer);

// --- Text to number --------------------------------------------------------

// Reads the number at the start of `text`: blanks, then a decimal number or a
// "&" radix literal. Never fails; whatever follows the number is ignored and a
// text without a leading number gives zero.
Extended TextToNumber(TextRef text);
// The same for bytes that are not a text (a text's bytes give its number).
Extended TextToNumber(std::string_view bytes);

// --- Picture-mask formatting ----------------------------------------------

// Formats `value` under the picture `mask` (up to three sections: positive;
// negative; zero). The result is a new text; when its storage cannot be had
// the result is empty and error 7 is recorded with RaiseError.
TextValue FormatNumber(Extended value, TextRef mask);
// FormatNumber's bytes appended to `out` instead of made a new text.
void AppendFormattedNumber(Extended value, TextRef mask, std::string& out);

// The mask-free text of a value (15 significant digits), used for an empty
// mask section.
TextValue DefaultNumberText(Extended value);

}  // namespace tavrin
