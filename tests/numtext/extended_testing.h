// Test helpers for extended reals: bit-exact comparison and printing.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>

#include "numtext/extended_bits.h"

namespace tavrin::testing_support {

// The ten significant bytes of `x` as "sign/exponent:significand" in hex,
// so that failures show both values bit for bit.
inline std::string ExtendedHex(Extended x) {
  const ExtendedFields f = SplitExtended(x);
  char text[40];
  std::snprintf(text, sizeof text, "%04X:%016llX", static_cast<unsigned>(f.signExponent),
                static_cast<unsigned long long>(f.significand));
  return text;
}

// The same, for a value given by its fields.
inline std::string FieldsHex(std::uint64_t significand, std::uint16_t signExponent) {
  char text[40];
  std::snprintf(text, sizeof text, "%04X:%016llX", static_cast<unsigned>(signExponent),
                static_cast<unsigned long long>(significand));
  return text;
}

}  // namespace tavrin::testing_support

namespace tavrin {
// Test failures show an extended real as its fields.
inline std::ostream& operator<<(std::ostream& out, Extended x) {
  return out << testing_support::ExtendedHex(x);
}
}  // namespace tavrin
