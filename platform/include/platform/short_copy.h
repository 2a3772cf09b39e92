// A copy of a few bytes without a call: the texts the platform and the
// formatting move are mostly shorter than 16 bytes, where a call to memcpy
// costs more than the copy.
#pragma once

#include <cstddef>
#include <cstring>

namespace tavrin::platform {

// Copies `n` bytes from `source` to `target` (not overlapping). Up to 16
// bytes it moves two pieces of constant size that overlap in the middle and
// together cover the n bytes, reading and writing only inside them.
inline void CopyShort(char* target, const char* source, std::size_t n) {
  constexpr std::size_t kWord = 8;
  constexpr std::size_t kHalfWord = 4;
  if (n > 2 * kWord) {
    std::memcpy(target, source, n);
  } else if (n >= kWord) {
    std::memcpy(target, source, kWord);
    std::memcpy(target + n - kWord, source + n - kWord, kWord);
  } else if (n >= kHalfWord) {
    std::memcpy(target, source, kHalfWord);
    std::memcpy(target + n - kHalfWord, source + n - kHalfWord, kHalfWord);
  } else if (n > 0) {
    target[0] = source[0];
    target[n / 2] = source[n / 2];
    target[n - 1] = source[n - 1];
  }
}

}  // namespace tavrin::platform
