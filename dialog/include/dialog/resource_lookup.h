// Finding out whether an image name names one of the module's bitmap
// resources: "#123" stands for the numeric id 123 (at most five digits, up
// to the first non-digit); any other name is a text compared without regard
// to the case of ASCII letters.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/win32.h"

namespace tavrin {

// A resource name as the caller wrote it.
struct ResourceName {
  bool numeric;           // "#digits": an id
  std::uint32_t id;       // the id when numeric
  std::string_view text;  // the text otherwise
  bool valid;             // false for "#" without a digit: it names nothing
};

ResourceName ParseResourceName(std::string_view name);

// True when `wanted` names the resource called `candidate` (a numeric
// resource name is given as an integer resource pointer, as Win32 hands it).
bool ResourceNameMatches(const ResourceName& wanted, LPCSTR candidate);

// True when the module has an RT_BITMAP resource of that name. All names are
// enumerated (no early stop).
bool HasBitmapResource(HINSTANCE module, std::string_view name);

}  // namespace tavrin
