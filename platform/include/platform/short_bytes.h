// Copying and comparing a few bytes without a call: the texts the platform
// and the formatting move, and the masks they compare, are mostly shorter
// than 16 bytes, where a call to memcpy or memcmp costs more than the work.
#pragma once

#include <cstddef>
#include <cstdint>
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

// Whether the `n` bytes at `a` and at `b` are the same, read in the same
// overlapping pieces as CopyShort.
inline bool EqualShort(const char* a, const char* b, std::size_t n) {
  const auto same = [a, b]<class Word>(std::size_t at, Word) {
    Word x;
    Word y;
    std::memcpy(&x, a + at, sizeof(Word));
    std::memcpy(&y, b + at, sizeof(Word));
    return x == y;
  };
  constexpr std::size_t kWord = sizeof(std::uint64_t);
  constexpr std::size_t kHalfWord = sizeof(std::uint32_t);
  if (n > 2 * kWord) return std::memcmp(a, b, n) == 0;
  if (n >= kWord) return same(0, std::uint64_t{}) && same(n - kWord, std::uint64_t{});
  if (n >= kHalfWord) return same(0, std::uint32_t{}) && same(n - kHalfWord, std::uint32_t{});
  if (n == 0) return true;
  return a[0] == b[0] && a[n / 2] == b[n / 2] && a[n - 1] == b[n - 1];
}

}  // namespace tavrin::platform
