// BitCast: the bits of one trivially copyable value read as another type of
// the same size, as std::bit_cast does. C++ libraries without std::bit_cast
// get the compiler's builtin, which std::bit_cast itself is made of.
#pragma once

#include <bit>
#include <type_traits>
#include <version>

namespace tavrin {

template <class To, class From>
requires(sizeof(To) == sizeof(From) && std::is_trivially_copyable_v<To> &&
         std::is_trivially_copyable_v<From>) constexpr To BitCast(const From& from) noexcept {
#if defined(__cpp_lib_bit_cast)
  return std::bit_cast<To>(from);
#else
  return __builtin_bit_cast(To, from);
#endif
}

}  // namespace tavrin
