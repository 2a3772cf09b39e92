// A snapshot of the caller's floating-point state, taken around Win32 calls
// that can run foreign code (control notifications, other callbacks): the
// x87 control word, status word, tag word and registers (FNSAVE/FRSTOR), and
// on SSE targets the MXCSR control and status bits.
#pragma once

#include <cstdint>

#include "runtime/fp_control.h"

#ifndef TAVRIN_HAS_X87
#include <cfenv>
#endif

namespace tavrin {

class FloatingPointState {
 public:
  // Takes the snapshot; the current state is left as it was.
  FloatingPointState();
  // Puts the snapshot back: control, status and registers as they were.
  void Restore() const;

 private:
#ifdef TAVRIN_HAS_X87
  // The 108-byte FNSAVE area of 32-bit protected mode.
  static constexpr int kX87AreaSize = 108;
  alignas(16) unsigned char x87_[kX87AreaSize];
  std::uint32_t mxcsr_;
#else
  std::fenv_t env_;
#endif
};

}  // namespace tavrin
