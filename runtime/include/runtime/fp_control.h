// The x87 floating-point control word of the run-time frame. Start-up sets
// 0x133F: all six exceptions masked, 64-bit significand, rounding to nearest.
// Windows starts processes at 53-bit precision, so test programs set it too.
#pragma once

#include <cstdint>

namespace tavrin {

// 0x003F masks the six exceptions, 0x0300 selects the 64-bit significand,
// rounding bits 0x0C00 stay 0 (nearest), 0x1000 is the legacy infinity bit.
inline constexpr std::uint16_t kStartupControlWord = 0x133F;
// The bits of the control word that mean something: exception masks 0-5,
// precision 8-9, rounding 10-11, infinity 12. The others are reserved; bit 6
// reads back as 1 on current processors, so 0x133F reads back as 0x137F.
inline constexpr std::uint16_t kFpuControlDefinedBits = 0x1F3F;

std::uint16_t ReadFpuControlWord();
void WriteFpuControlWord(std::uint16_t word);
// Sets the start-up control word.
inline void SetStartupFpuControl() {
  WriteFpuControlWord(kStartupControlWord);
}

}  // namespace tavrin
