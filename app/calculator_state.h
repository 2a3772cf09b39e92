// The calculator's program-wide values: the dialog, the texts of the four
// inputs and of the result, and the modal result. One instance for the
// process; RunCalculator fills it and the button handlers read and write it.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "runtime/text_value.h"

namespace tavrin::calculator {

struct ProgramValues {
  HWND dialog = nullptr;         // the calculator dialog, from DialogNew
  TextValue n;                   // array factor
  TextValue a;                   // electrode spacing, feet
  TextValue v;                   // potential difference, volts
  TextValue i;                   // current, amperes
  TextValue result;              // formatted resistivity shown in the result box
  std::int32_t modalResult = 0;  // written by DialogEnd through its address
};

// The process's one set of program-wide values. The first call registers its
// texts with the run-time, so shutdown releases them.
ProgramValues& Program();

}  // namespace tavrin::calculator
