// Shared helpers of the dialog engine tests.
#include "dialog_testing.h"

namespace tavrin::testing {
namespace {

std::int32_t Record(const char* who, std::int32_t result, HWND dialog, UINT message, WPARAM wParam,
                    LPARAM lParam) {
  Recorder& r = Recorded();
  if (r.only == 0 || r.only == message) r.calls.push_back({who, dialog, message, wParam, lParam});
  return result;
}

}  // namespace

Recorder& Recorded() {
  static Recorder recorder;
  return recorder;
}

std::int32_t ControlRecorder(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  const std::int32_t result =
      Record("control", Recorded().controlResult, dialog, message, wParam, lParam);
  if (Recorded().controlEnds) DialogEnd(dialog, Recorded().endResult);
  return result;
}

std::int32_t DialogRecorder(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return Record("dialog", Recorded().dialogResult, dialog, message, wParam, lParam);
}

std::int32_t MenuRecorder(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return Record("menu", Recorded().menuResult, dialog, message, wParam, lParam);
}

HWND NewUnitsDialog(std::string_view caption, HWND parent) {
  const TextValue text = Text(caption);
  return DialogNew(Units, parent, text, 10, 10, 110, 100, 0, 0);
}

void DrainMessages() {
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace tavrin::testing
