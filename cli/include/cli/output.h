// Printing numbers and texts for the tool. Every NaN prints as "nan": the
// sign bit of a NaN (x87 arithmetic makes negative ones) carries no meaning.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "numtext/numtext.h"

namespace tavrin::cli {

// A double with 17 significant digits, as C's "%.17g" ("inf", "-inf", "nan").
std::string DoubleText17(double value);
// The same text appended to `out`.
void AppendDoubleText17(std::string& out, double value);

// An extended value with 21 significant digits, as C's "%.21Lg"; negative
// zero prints as "-0".
std::string ExtendedText21(Extended value);

// Writes `bytes` and a line feed to `out` (bytes may hold any value).
void WriteLine(std::FILE* out, std::string_view bytes);

}  // namespace tavrin::cli
