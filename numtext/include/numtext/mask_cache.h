// Compiled picture masks kept between FormatNumber calls, so that a mask
// used again (the calculator formats every result under one mask) is not
// split and compiled again.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "numtext/mask_template.h"
#include "numtext/plain_mask.h"

namespace tavrin {

// The longest mask that is kept; its every section fits the short form.
inline constexpr int kCachedMaskLength = kShortSectionLength;

// A mask with its sections split and compiled.
struct CompiledMask {
  std::array<char, kCachedMaskLength> bytes;
  std::size_t length;
  MaskSections sections;                       // views into `bytes`
  std::array<ShortMaskTemplate, 3> templates;  // section i compiled, when present
  std::array<PlainMask, 3> plain;              // whether section i is plain, and its shape
};

// The compiled form of `mask`: found in this thread's cache, or compiled and
// put there (in place of the entry least recently put there). Null for a
// mask longer than kCachedMaskLength. The cache is a fixed array per thread:
// bounded, shared with no other thread, and never allocated. The result
// stays valid until the thread's next call.
const CompiledMask* FindCompiledMask(std::string_view mask);

}  // namespace tavrin
