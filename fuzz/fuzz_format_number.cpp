// Fuzzes FormatNumber with arbitrary values and masks. The first input byte
// chooses how the value is read: even, a double from the next 8 bytes (what
// the calculator passes); odd, a raw extended real from the next 10 bytes
// (any encoding the x87 format can hold). The remaining bytes are the mask.
// Beyond memory safety it checks properties every value and mask have:
//  - every byte of the result is a digit, "-", "+", ",", "." or "E", or a
//    byte of the mask;
//  - the empty mask gives DefaultNumberText of the value;
//  - every NaN encoding gives the same text, and so do +0 and -0;
//  - the same call twice gives the same text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "numtext/numtext.h"
#include "runtime/fp_control.h"

namespace {

using tavrin::Extended;
using tavrin::TextValue;

constexpr std::size_t kDoubleBytes = 8;
constexpr std::size_t kExtendedBytes = 10;
// Bytes the layout itself writes, whatever the mask.
constexpr std::string_view kLayoutBytes = "0123456789-+,.E";

[[noreturn]] void Fail(const char* property, std::string_view mask) {
  std::fprintf(stderr, "property violated: %s (mask of %zu bytes)\n", property, mask.size());
  std::abort();
}

// A NaN by its encoding: exponent field all ones, significand other than the
// integer bit alone (that is an infinity). Unnormal encodings, which no
// double widens to, are left out.
bool IsNanEncoding(Extended value) {
  std::uint64_t significand = 0;
  std::uint16_t signAndExponent = 0;
  std::memcpy(&significand, &value, sizeof significand);
  std::memcpy(&signAndExponent, reinterpret_cast<const char*>(&value) + sizeof significand,
              sizeof signAndExponent);
  constexpr std::uint16_t kExponentMask = 0x7FFF;
  constexpr std::uint64_t kIntegerBit = std::uint64_t{1} << 63;
  return (signAndExponent & kExponentMask) == kExponentMask && significand != kIntegerBit;
}

std::string Format(Extended value, const TextValue& mask) {
  return tavrin::FormatNumber(value, mask).str();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  tavrin::SetStartupFpuControl();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool rawExtended = (data[0] & 1) != 0;
  const std::size_t valueBytes = rawExtended ? kExtendedBytes : kDoubleBytes;
  if (size < 1 + valueBytes) return 0;

  Extended value = 0;
  if (rawExtended) {
    std::memcpy(&value, data + 1, kExtendedBytes);
  } else {
    double d = 0;
    std::memcpy(&d, data + 1, kDoubleBytes);
    value = static_cast<Extended>(d);
  }
  const std::string_view maskBytes(reinterpret_cast<const char*>(data + 1 + valueBytes),
                                   size - 1 - valueBytes);
  const TextValue mask = TextValue::Copy(maskBytes);

  const std::string text = Format(value, mask);
  for (const char c : text) {
    if (kLayoutBytes.find(c) == std::string_view::npos &&
        maskBytes.find(c) == std::string_view::npos) {
      Fail("a result byte from neither the layout nor the mask", maskBytes);
    }
  }
  if (Format(value, mask) != text) Fail("two calls gave different texts", maskBytes);
  if (maskBytes.empty() && tavrin::DefaultNumberText(value).str() != text) {
    Fail("the empty mask differs from DefaultNumberText", maskBytes);
  }
  if (IsNanEncoding(value) && Format(std::numeric_limits<Extended>::quiet_NaN(), mask) != text) {
    Fail("two NaNs gave different texts", maskBytes);
  }
  if (value == 0 && Format(-value, mask) != text) Fail("+0 and -0 gave different texts", maskBytes);
  return 0;
}
