// Helpers of the dialog engine tests: texts from literals, a recorder of
// callback calls (callbacks are plain routines, so the recorder is global),
// and a dialog that is destroyed when the test ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dialog/engine.h"
#include "platform/win32.h"
#include "runtime/text_value.h"

namespace tavrin::testing {

// A new text holding `bytes` (zero bytes included).
inline TextValue Text(std::string_view bytes) {
  return TextValue::Copy(bytes);
}

// One call of a callback as the recorder saw it.
struct Call {
  std::string who;  // the callback's name
  HWND dialog;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Calls of the recording callbacks, in order, and what each returns.
struct Recorder {
  std::vector<Call> calls;
  std::int32_t controlResult = 0;
  std::int32_t dialogResult = 0;
  std::int32_t menuResult = 0;
  // When set, the control callback ends its dialog with this result.
  bool controlEnds = false;
  std::int32_t endResult = 0;
  // Only calls for this message are recorded (0: all).
  UINT only = 0;

  void Reset() { *this = Recorder{}; }
  std::vector<std::string> Order() const {
    std::vector<std::string> order;
    for (const Call& c : calls) order.push_back(c.who);
    return order;
  }
};
Recorder& Recorded();

// The recording callbacks.
std::int32_t ControlRecorder(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
std::int32_t DialogRecorder(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
std::int32_t MenuRecorder(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// A dialog made by DialogNew, destroyed at the end of the scope if it still
// exists.
class ScopedDialog {
 public:
  explicit ScopedDialog(HWND dialog) : dialog_(dialog) {}
  ~ScopedDialog() {
    if (dialog_ != nullptr && IsWindow(dialog_)) DestroyWindow(dialog_);
  }
  ScopedDialog(const ScopedDialog&) = delete;
  ScopedDialog& operator=(const ScopedDialog&) = delete;
  HWND get() const { return dialog_; }
  operator HWND() const { return dialog_; }  // NOLINT(google-explicit-constructor)

 private:
  HWND dialog_;
};

// A unit-mode dialog of the calculator's default style and font.
HWND NewUnitsDialog(std::string_view caption = "test", HWND parent = nullptr);

// Removes every message waiting in the thread's queue (dispatching them).
void DrainMessages();

}  // namespace tavrin::testing
