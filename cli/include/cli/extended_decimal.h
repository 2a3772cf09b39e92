// The exact decimal text of an extended real, computed from its bits, for the
// targets whose C library cannot print the 80-bit format.
#pragma once

#include <string>

#include "numtext/extended_layout.h"

namespace tavrin::cli {

// The non-NaN value with the fields `f` as C's "%.21Lg" prints it: 21
// significant digits correctly rounded (ties to even), trailing zeros dropped,
// exponent form below 1e-4 and from 1e21; "inf", "-inf", "-0".
std::string ExtendedDecimal21(ExtendedFields f);

}  // namespace tavrin::cli
