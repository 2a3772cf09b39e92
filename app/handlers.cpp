// The handlers of the calculator's two buttons: CALC computes and shows the
// resistivity, DONE ends the window.
#include "app/calculator.h"
#include "calculator_state.h"
#include "dialog/engine.h"
#include "numtext/numtext.h"
#include "runtime/errors.h"

namespace tavrin {
namespace {

constexpr ConstText kMask(kResultMask);
constexpr std::int32_t kBoxN = 101;
constexpr std::int32_t kBoxA = 102;
constexpr std::int32_t kBoxV = 103;
constexpr std::int32_t kBoxI = 104;
constexpr std::int32_t kResultBox = 106;
constexpr std::int32_t kDoneResult = 1;  // modal result of an end by DONE

// True for a click notification: WM_COMMAND with BN_CLICKED in the high word.
bool IsClick(UINT message, WPARAM wParam) {
  return message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED;
}

}  // namespace

std::int32_t OnCalc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  RoutineFrame frame;
  if (!IsClick(message, wParam)) return 0;
  calculator::ProgramValues& values = calculator::Program();

  values.n = ControlGetText(dialog, kBoxN);
  values.a = ControlGetText(dialog, kBoxA);
  values.v = ControlGetText(dialog, kBoxV);
  values.i = ControlGetText(dialog, kBoxI);
  const double rho = ComputeResistivity(values.n, values.a, values.v, values.i);
  values.result = FormatNumber(rho, TextRef(kMask.bytes));
  ControlSetText(values.dialog, kResultBox, values.result);
  return 0;
}

std::int32_t OnDone(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  RoutineFrame frame;
  if (!IsClick(message, wParam)) return 0;
  DialogEnd(dialog, kDoneResult);
  return 1;
}

}  // namespace tavrin
