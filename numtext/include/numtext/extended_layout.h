// The 80-bit extended real format: the 64-bit significand (with its explicit
// integer bit) and the 16-bit sign/exponent word, as they lie in the first ten
// bytes of the value (little-endian) on every target.
#pragma once

#include <array>
#include <cstdint>

namespace tavrin {

// Ten bytes of an extended real: significand (8 bytes), then sign/exponent.
using PackedExtended = std::array<std::uint8_t, 10>;

inline constexpr int kExtendedExponentBias = 16383;
inline constexpr std::uint16_t kExtendedExponentMask = 0x7FFF;  // 15-bit biased exponent
inline constexpr std::uint16_t kExtendedSignBit = 0x8000;
inline constexpr std::uint64_t kExtendedIntegerBit = 0x8000000000000000ull;

// The two fields of an extended real, in the order they are stored.
struct ExtendedFields {
  std::uint64_t significand;
  std::uint16_t signExponent;

  constexpr std::uint16_t exponentField() const { return signExponent & kExtendedExponentMask; }
  constexpr bool negative() const { return (signExponent & kExtendedSignBit) != 0; }
  friend constexpr bool operator==(const ExtendedFields&, const ExtendedFields&) = default;
};

// Packs a significand and a sign/exponent word into the ten-byte format.
constexpr PackedExtended PackExtended(std::uint64_t significand, std::uint16_t signExponent) {
  PackedExtended bytes{};
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(significand >> (8 * i));
  bytes[8] = static_cast<std::uint8_t>(signExponent);
  bytes[9] = static_cast<std::uint8_t>(signExponent >> 8);
  return bytes;
}

// The fields of ten stored bytes.
constexpr ExtendedFields UnpackExtended(const PackedExtended& bytes) {
  ExtendedFields fields{0, 0};
  for (int i = 0; i < 8; ++i) fields.significand |= std::uint64_t{bytes[i]} << (8 * i);
  fields.signExponent = static_cast<std::uint16_t>(bytes[8] | (bytes[9] << 8));
  return fields;
}

}  // namespace tavrin
