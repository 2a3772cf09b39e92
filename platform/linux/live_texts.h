// The live count of the Linux platform's texts, which the text storage keeps
// itself (per thread) rather than in the shared live counts of hooks.cpp.
#pragma once

#include <cstdint>

namespace tavrin::platform {

// Number of texts made by SysAllocStringByteLen and not yet freed.
std::int64_t LiveTexts();

}  // namespace tavrin::platform
