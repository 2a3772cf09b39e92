// Bit-level access to extended reals: from ten stored bytes, and to the two
// fields of a value.
#pragma once

#include "numtext/extended.h"
#include "numtext/extended_layout.h"

namespace tavrin {

// Loads ten stored bytes into an extended real.
inline Extended LoadExtended(const PackedExtended& bytes) {
  return Extended::FromFields(UnpackExtended(bytes));
}

// The fields of `value`.
inline ExtendedFields SplitExtended(Extended value) {
  return value.Fields();
}

}  // namespace tavrin
