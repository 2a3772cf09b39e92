// 32-bit coordinate arithmetic that wraps as a Win32 program's does: the sum
// or difference modulo 2^32, never the undefined behaviour of signed
// overflow. Sizes taken as differences of wrapped edges come out right.
#pragma once

#include <cstdint>

namespace tavrin {

constexpr std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

constexpr std::int32_t WrapSub(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

}  // namespace tavrin
