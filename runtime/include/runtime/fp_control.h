// The x87 floating-point control word of the run-time frame. Start-up sets
// 0x133F: all six exceptions masked, 64-bit significand, rounding to nearest.
// Windows starts processes at 53-bit precision, so test programs set it too.
// Processors without the x87 unit have no such word: there the extended real
// is the software one, which computes that way by itself, and TAVRIN_HAS_X87
// stays undefined.
#pragma once

#include <cstdint>

#if defined(__i386__) || defined(__x86_64__)
#define TAVRIN_HAS_X87 1
#endif

namespace tavrin {

// 0x003F masks the six exceptions, 0x0300 selects the 64-bit significand,
// rounding bits 0x0C00 stay 0 (nearest), 0x1000 is the legacy infinity bit.
inline constexpr std::uint16_t kStartupControlWord = 0x133F;
// The bits of the control word that mean something: exception masks 0-5,
// precision 8-9, rounding 10-11, infinity 12. The others are reserved; bit 6
// reads back as 1 on current processors, so 0x133F reads back as 0x137F.
inline constexpr std::uint16_t kFpuControlDefinedBits = 0x1F3F;

#ifdef TAVRIN_HAS_X87
std::uint16_t ReadFpuControlWord();
void WriteFpuControlWord(std::uint16_t word);
#endif
// Sets the start-up control word where there is one.
inline void SetStartupFpuControl() {
#ifdef TAVRIN_HAS_X87
  WriteFpuControlWord(kStartupControlWord);
#endif
}

}  // namespace tavrin
