// Runs the calculator as the program runs it, on the Linux platform: the
// real StartProcess, RunCalculator and modal loop, with input scripted from
// the platform's idle hook and ExitProcess caught, so a test can look at the
// window while it runs and at what was left alive when the process ends.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/linux/hooks.h"
#include "platform/win32.h"

namespace tavrin::testing {

// One scripted step; gets the calculator's dialog. Steps run one per idle
// turn of the modal loop, so whatever a step posts has been handled before
// the next step runs.
using Step = std::function<void(HWND dialog)>;

inline constexpr int kLiveKinds = static_cast<int>(platform::Live::kCount);

struct SessionOutcome {
  bool exited = false;              // StartProcess reached ExitProcess
  UINT exitCode = 0xFFFFFFFFu;      // the code it was given
  bool timedOut = false;            // the steps did not end the window
  bool loopOutlivedWindow = false;  // the modal loop kept polling without its window
  std::int32_t modalResult = -1;    // CalculatorModalResult() after the run
  // Objects alive at ExitProcess minus those alive before the run.
  std::array<std::int64_t, kLiveKinds> leaked{};
  std::int64_t doubleReleases = 0;  // double releases during the run
};

// Starts the calculator and runs `steps`; the last step is expected to end
// the window (DONE or the close command). A window still open long after
// the last step is closed, and the outcome says it timed out. `beforeStart`,
// when given, runs just before StartProcess (to inject failures).
SessionOutcome RunCalculatorSession(std::vector<Step> steps,
                                    const std::function<void()>& beforeStart = {});

// --- Helpers for steps -------------------------------------------------------

std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int id);
void SetControlText(HWND dialog, int id, const std::string& text);
// A mouse click on a button, as the button reports it: BM_CLICK, handled
// before Click returns.
void Click(HWND dialog, int id);
// The same click posted: it is handled when the modal loop dispatches it.
void PostClick(HWND dialog, int id);
// The id of the control with the keyboard focus, 0 for none.
int FocusedId();

}  // namespace tavrin::testing
