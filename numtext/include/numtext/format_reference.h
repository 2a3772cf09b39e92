// The general FormatNumber path, with nothing kept between calls: the mask
// split and compiled on every call, the value's digit text generated and
// then laid out. FormatNumber gives the same text by faster means for the
// masks and values it can; the tests compare the two.
#pragma once

#include "numtext/numtext.h"

namespace tavrin {

// FormatNumber by the general path alone.
TextValue FormatNumberReference(Extended value, TextRef mask);

}  // namespace tavrin
