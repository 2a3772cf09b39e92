// Bit-level access to the x87 extended real: the 64-bit significand (with its
// explicit integer bit) and the 16-bit sign/exponent word, as they lie in the
// first ten bytes of a long double (little-endian) on both targets.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "numtext/numtext.h"

namespace tavrin {

static_assert(sizeof(Extended) >= 10, "long double must hold the 80-bit extended format");

// Ten bytes of an extended real: significand (8 bytes), then sign/exponent.
using PackedExtended = std::array<std::uint8_t, 10>;

inline constexpr int kExtendedExponentBias = 16383;
inline constexpr std::uint16_t kExtendedExponentMask = 0x7FFF;  // 15-bit biased exponent
inline constexpr std::uint16_t kExtendedSignBit = 0x8000;
inline constexpr std::uint64_t kExtendedIntegerBit = 0x8000000000000000ull;

// The two fields of an extended real.
struct ExtendedFields {
  std::uint64_t significand;
  std::uint16_t signExponent;

  std::uint16_t exponentField() const { return signExponent & kExtendedExponentMask; }
  bool negative() const { return (signExponent & kExtendedSignBit) != 0; }
};

// Packs a significand and a sign/exponent word into the ten-byte format.
consteval PackedExtended PackExtended(std::uint64_t significand, std::uint16_t signExponent) {
  PackedExtended bytes{};
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(significand >> (8 * i));
  bytes[8] = static_cast<std::uint8_t>(signExponent);
  bytes[9] = static_cast<std::uint8_t>(signExponent >> 8);
  return bytes;
}

// Loads ten stored bytes into an extended real (the padding bytes stay zero).
inline Extended LoadExtended(const PackedExtended& bytes) {
  Extended value = 0;
  std::memcpy(&value, bytes.data(), bytes.size());
  return value;
}

// The fields of `value`.
inline ExtendedFields SplitExtended(Extended value) {
  std::uint8_t bytes[sizeof(Extended)];
  std::memcpy(bytes, &value, sizeof(Extended));
  ExtendedFields fields{};
  std::memcpy(&fields.significand, bytes, sizeof(fields.significand));
  std::memcpy(&fields.signExponent, bytes + 8, sizeof(fields.signExponent));
  return fields;
}

}  // namespace tavrin
