// The scripted calculator session of calculator_session.h.
#include "calculator_session.h"

#include <vector>

#include "app/calculator.h"
#include "platform/linux/process_hooks.h"
#include "platform/linux/user_hooks.h"
#include "runtime/start_process.h"

namespace tavrin::testing {
namespace {

// Idle turns after the last step before the window counts as stuck, and
// after that before it is destroyed outright.
constexpr int kIdleTurnsToClose = 2000;
constexpr int kIdleTurnsToDestroy = 4000;
// Idle turns that the modal loop may go on polling after its window is gone.
constexpr int kIdleTurnsAfterWindowGone = 200;

struct ProcessExit {
  UINT code;
};

std::array<std::int64_t, kLiveKinds> LiveCounts() {
  std::array<std::int64_t, kLiveKinds> counts{};
  for (int k = 0; k < kLiveKinds; ++k)
    counts[k] = platform::LiveCount(static_cast<platform::Live>(k));
  return counts;
}

std::array<std::int64_t, kLiveKinds> g_liveAtExit{};

void CatchExitProcess(UINT exitCode) {
  g_liveAtExit = LiveCounts();
  throw ProcessExit{exitCode};
}

}  // namespace

SessionOutcome RunCalculatorSession(std::vector<Step> steps,
                                    const std::function<void()>& beforeStart) {
  platform::ResetThreadWindows();
  platform::ClearFailures();
  const auto before = LiveCounts();
  const std::int64_t doubleBefore = platform::DoubleReleases();

  SessionOutcome outcome;
  std::size_t next = 0;
  int idleAfterSteps = 0;
  int idleAfterWindowGone = 0;
  HWND lastDialog = nullptr;
  platform::SetIdleHook([&] {
    HWND dialog = GetActiveWindow();
    if (dialog != nullptr) lastDialog = dialog;
    if (lastDialog != nullptr && !IsWindow(lastDialog)) {
      if (++idleAfterWindowGone == kIdleTurnsAfterWindowGone) {
        // The loop should have ended with its window: wake it with a message
        // so the test ends, and report it.
        outcome.loopOutlivedWindow = true;
        PostMessageA(nullptr, WM_NULL, 0, 0);
      }
      return;
    }
    if (next < steps.size()) {
      if (dialog != nullptr) steps[next++](dialog);
      return;
    }
    if (dialog == nullptr) return;
    ++idleAfterSteps;
    if (idleAfterSteps == kIdleTurnsToClose) {
      outcome.timedOut = true;
      PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (idleAfterSteps == kIdleTurnsToDestroy) {
      DestroyWindow(dialog);
    }
  });
  platform::SetExitProcessHook(CatchExitProcess);
  if (beforeStart) beforeStart();
  try {
    StartProcess(RunCalculator);
  } catch (const ProcessExit& exit) {
    outcome.exited = true;
    outcome.exitCode = exit.code;
  }
  platform::SetExitProcessHook(nullptr);
  platform::SetIdleHook({});
  platform::ClearFailures();
  if (next < steps.size()) outcome.timedOut = true;  // the window ended too early

  outcome.modalResult = CalculatorModalResult();
  for (int k = 0; k < kLiveKinds; ++k) outcome.leaked[k] = g_liveAtExit[k] - before[k];
  outcome.doubleReleases = platform::DoubleReleases() - doubleBefore;
  return outcome;
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
  const int got = GetWindowTextA(window, buffer.data(), length + 1);
  return std::string(buffer.data(), static_cast<std::size_t>(got > 0 ? got : 0));
}

std::string ControlText(HWND dialog, int id) {
  return WindowText(GetDlgItem(dialog, id));
}

void SetControlText(HWND dialog, int id, const std::string& text) {
  SetWindowTextA(GetDlgItem(dialog, id), text.c_str());
}

void Click(HWND dialog, int id) {
  SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void PostClick(HWND dialog, int id) {
  PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

int FocusedId() {
  HWND focus = GetFocus();
  return focus != nullptr ? GetDlgCtrlID(focus) : 0;
}

}  // namespace tavrin::testing
