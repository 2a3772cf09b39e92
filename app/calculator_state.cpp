// Storage of the calculator's program-wide values and their registration with
// the run-time frame, which releases the texts at shutdown.
#include "calculator_state.h"

#include "runtime/runtime_state.h"

namespace tavrin::calculator {
namespace {

ProgramValues& RegisteredValues() {
  static ProgramValues values;
  for (TextValue* text : {&values.n, &values.a, &values.v, &values.i, &values.result}) {
    RegisterProgramText(text);
  }
  return values;
}

}  // namespace

ProgramValues& Program() {
  // Registered once, on first use, for the life of the process.
  static ProgramValues& values = RegisteredValues();
  return values;
}

}  // namespace tavrin::calculator

namespace tavrin {

std::int32_t CalculatorModalResult() {
  return calculator::Program().modalResult;
}

}  // namespace tavrin
