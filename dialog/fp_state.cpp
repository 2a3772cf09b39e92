// Saving and restoring the floating-point state with FNSAVE/FRSTOR (all of
// the x87 unit: control, status, tags and the eight registers) and
// STMXCSR/LDMXCSR for the SSE unit; fegetenv/fesetenv elsewhere.
#include "dialog/fp_state.h"

namespace tavrin {

#ifdef TAVRIN_HAS_X87

FloatingPointState::FloatingPointState() : x87_{}, mxcsr_(0) {
  // FNSAVE re-initialises the unit after storing it; FRSTOR at once puts the
  // caller's state back, so the call that follows runs in it unchanged.
  asm volatile("fnsave %0\n\tfrstor %0" : "+m"(x87_));
#if defined(__SSE__)
  asm volatile("stmxcsr %0" : "=m"(mxcsr_));
#endif
}

void FloatingPointState::Restore() const {
  asm volatile("frstor %0" : : "m"(x87_));
#if defined(__SSE__)
  asm volatile("ldmxcsr %0" : : "m"(mxcsr_));
#endif
}

#else

FloatingPointState::FloatingPointState() {
  std::fegetenv(&env_);
}
void FloatingPointState::Restore() const {
  std::fesetenv(&env_);
}

#endif

}  // namespace tavrin
