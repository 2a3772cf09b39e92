// Reading and writing the x87 control word (fnstcw / fldcw).
#include "runtime/fp_control.h"

#ifdef TAVRIN_HAS_X87
namespace tavrin {

std::uint16_t ReadFpuControlWord() {
  std::uint16_t word = 0;
  __asm__ volatile("fnstcw %0" : "=m"(word));
  return word;
}

void WriteFpuControlWord(std::uint16_t word) {
  __asm__ volatile("fldcw %0" : : "m"(word));
}

}  // namespace tavrin
#endif
