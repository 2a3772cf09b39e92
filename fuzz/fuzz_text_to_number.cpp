// Fuzzes TextToNumber with arbitrary bytes. Beyond memory safety it checks
// properties every text has:
//  - the result is never a NaN (every text gives a number);
//  - blanks in front change nothing;
//  - bytes after a byte that can continue no number change nothing;
//  - a "-" in front of a text that starts with a digit or "." negates it.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "numtext/numtext.h"
#include "runtime/fp_control.h"

namespace {

using tavrin::Extended;
using tavrin::TextValue;

// Results are compared by their ten value bytes (the sign of zero counts).
constexpr std::size_t kExtendedBytes = 10;
// Texts longer than this leave the range the scan's 16-bit counters cover.
// The longest text below is twice the input and one byte.
constexpr std::size_t kLongestCheckedText = 16000;
// 0x01 is no blank, digit, sign, point, exponent letter or radix suffix.
constexpr char kStopByte = '\x01';

bool SameValue(Extended a, Extended b) {
  return std::memcmp(&a, &b, kExtendedBytes) == 0;
}

Extended Convert(std::string_view bytes) {
  return tavrin::TextToNumber(TextValue::Copy(bytes));
}

[[noreturn]] void Fail(const char* property) {
  std::fprintf(stderr, "property violated: %s\n", property);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  tavrin::SetStartupFpuControl();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const Extended value = Convert(text);
  if (IsNaN(value)) Fail("a text converted to NaN");
  if (size > kLongestCheckedText) return 0;

  if (!SameValue(Convert(" \t\n" + std::string(text)), value)) Fail("leading blanks changed it");

  std::string followed(text);
  followed += kStopByte;
  followed.append(text);  // any bytes at all after the stop byte
  if (!SameValue(Convert(followed), value)) Fail("bytes after the number changed it");

  const std::size_t start = text.find_first_not_of(" \t\n");
  if (start != std::string_view::npos) {
    const char first = text[start];
    if ((first >= '0' && first <= '9') || first == '.') {
      const Extended negated = Convert("-" + std::string(text.substr(start)));
      if (!SameValue(negated, -value)) Fail("a leading '-' did not negate the value");
    }
  }
  return 0;
}
