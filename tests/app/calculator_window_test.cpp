// The calculator's window as the program shows it on the Linux platform: its
// controls with their classes, ids, styles, texts and colours, the tab order,
// Esc and Enter, and the two ways to end it (DONE and the close command),
// each followed by exit code 0 with nothing left alive.
#include <gtest/gtest.h>
#include <strings.h>

#include <cstdint>
#include <string>
#include <vector>

#include "calculator_session.h"
#include "platform/linux/gdi_hooks.h"
#include "platform/linux/user_hooks.h"

namespace tavrin::testing {
namespace {

// What every session must end with: exit code 0 and nothing alive that the
// run made.
void ExpectCleanExit(const SessionOutcome& outcome, std::int32_t modalResult) {
  EXPECT_TRUE(outcome.exited);
  EXPECT_EQ(outcome.exitCode, 0u);
  EXPECT_FALSE(outcome.timedOut);
  EXPECT_FALSE(outcome.loopOutlivedWindow);
  EXPECT_EQ(outcome.modalResult, modalResult);
  for (int k = 0; k < kLiveKinds; ++k) {
    EXPECT_EQ(outcome.leaked[k], 0) << "objects of live kind " << k << " left alive";
  }
  EXPECT_EQ(outcome.doubleReleases, 0);
}

struct ExpectedControl {
  const char* className;
  int id;
  DWORD style;
  DWORD exStyle;
  const char* text;
};

// The window's children in creation order, as the user sees them.
const std::vector<ExpectedControl> kExpectedControls = {
    {"Static", -1, 0x50000000, 0, "n"},      {"Static", -1, 0x50000000, 0, "a"},
    {"Static", -1, 0x50000000, 0, "v"},      {"Static", -1, 0x50000000, 0, "i"},
    {"Static", -1, 0x50000000, 0, "Rho"},    {"Static", -1, 0x50000000, 0, "--"},
    {"Static", -1, 0x50000000, 0, "FT"},     {"Static", -1, 0x50000000, 0, "Volts"},
    {"Static", -1, 0x50000000, 0, "Amps"},   {"Static", -1, 0x50000000, 0, "OHM-FT"},
    {"Edit", 101, 0x50010080, 0x200, "1"},   {"Edit", 102, 0x50010080, 0x200, "50"},
    {"Edit", 103, 0x50010080, 0x200, "2.0"}, {"Edit", 104, 0x50010080, 0x200, "2.0"},
    {"Edit", 106, 0x50000800, 0x200, ""},    {"Button", 107, 0x50010000, 0, "CALC"},
    {"Button", 108, 0x50010000, 0, "DONE"},
};

const Step kNothing = [](HWND) {};
// DONE as the mouse clicks it: a posted click that the modal loop dispatches.
const Step kClickDone = [](HWND dialog) { PostClick(dialog, 108); };

TEST(CalculatorWindow, ShowsItsControlsInCreationOrder) {
  const SessionOutcome outcome = RunCalculatorSession({
      [](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), "TAVRIN Schlumberger");
        EXPECT_TRUE(IsWindowVisible(dialog));
        // Template style 0x80C000D4, shown: no system menu, so no close box.
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)), 0x94C000D4u);
        std::size_t k = 0;
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT), ++k) {
          ASSERT_LT(k, kExpectedControls.size()) << "more children than controls";
          const ExpectedControl& want = kExpectedControls[k];
          SCOPED_TRACE("control " + std::to_string(k + 1) + " \"" + want.text + "\"");
          char className[32] = {};
          GetClassNameA(child, className, sizeof(className));
          EXPECT_EQ(strcasecmp(className, want.className), 0) << className;
          EXPECT_EQ(GetDlgCtrlID(child), want.id);
          EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE)), want.style);
          EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(child, GWL_EXSTYLE)), want.exStyle);
          EXPECT_EQ(WindowText(child), want.text);
        }
        EXPECT_EQ(k, kExpectedControls.size());
        EXPECT_EQ(GetDlgItem(dialog, 105), nullptr);
      },
      kClickDone,
  });
  ExpectCleanExit(outcome, 1);
}

struct ExpectedColors {
  int id;
  UINT message;        // the colour message the control paints with
  COLORREF textColor;  // meaningful when the record's colours are used
  COLORREF backColor;
};

TEST(CalculatorWindow, PaintsBoxesInTheirColoursAndTheRestInSystemColours) {
  const std::vector<ExpectedColors> boxes = {
      {101, WM_CTLCOLOREDIT, 0x0000FF, 0xFFFFFF},   {102, WM_CTLCOLOREDIT, 0x0000FF, 0xFFFFFF},
      {103, WM_CTLCOLOREDIT, 0x0000FF, 0xFFFFFF},   {104, WM_CTLCOLOREDIT, 0x0000FF, 0xFFFFFF},
      {106, WM_CTLCOLORSTATIC, 0xFF0000, 0xFFFFFF},  // read-only boxes paint as statics
  };
  const SessionOutcome outcome = RunCalculatorSession({
      kNothing,  // a turn for the first paint
      [&](HWND dialog) {
        HBRUSH shared = nullptr;
        for (const ExpectedColors& box : boxes) {
          SCOPED_TRACE("box " + std::to_string(box.id));
          const platform::PaintResult paint = platform::LastPaint(GetDlgItem(dialog, box.id));
          ASSERT_TRUE(paint.painted);
          EXPECT_EQ(paint.message, box.message);
          EXPECT_FALSE(paint.defaultColors);
          EXPECT_EQ(paint.textColor, box.textColor);
          EXPECT_EQ(paint.backColor, box.backColor);
          EXPECT_NE(paint.brush, nullptr);
          if (shared == nullptr) shared = paint.brush;
          EXPECT_EQ(paint.brush, shared) << "the five boxes share one white brush";
        }
        // Labels and buttons keep the system colours: the dialog answers
        // their colour messages with Win32's defaults.
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
          const int id = GetDlgCtrlID(child);
          if (id >= 101 && id <= 106) continue;
          SCOPED_TRACE("control " + std::to_string(id) + " \"" + WindowText(child) + "\"");
          const platform::PaintResult paint = platform::LastPaint(child);
          ASSERT_TRUE(paint.painted);
          EXPECT_EQ(paint.message, id == -1 ? WM_CTLCOLORSTATIC : WM_CTLCOLORBTN);
          EXPECT_EQ(paint.brush, GetSysColorBrush(COLOR_BTNFACE));
          EXPECT_EQ(paint.backColor, face);
          EXPECT_TRUE(paint.textColor == GetSysColor(COLOR_WINDOWTEXT) ||
                      paint.textColor == GetSysColor(COLOR_BTNTEXT))
              << std::hex << paint.textColor;
        }
        EXPECT_EQ(platform::LiveCount(platform::Live::Brush), 1);
      },
      kClickDone,
  });
  ExpectCleanExit(outcome, 1);
}

TEST(CalculatorWindow, TabVisitsTheInputBoxesThenTheButtons) {
  // After focusing box 101, each Tab moves on to the next of these.
  const std::vector<int> order = {102, 103, 104, 107, 108, 101, 102};
  std::vector<Step> steps = {[](HWND dialog) { SetFocus(GetDlgItem(dialog, 101)); }};
  steps.push_back([](HWND) {
    EXPECT_EQ(FocusedId(), 101);
    platform::PostKeystroke(VK_TAB);
  });
  for (std::size_t k = 0; k < order.size(); ++k) {
    const bool last = k + 1 == order.size();
    steps.push_back([want = order[k], last](HWND) {
      EXPECT_EQ(FocusedId(), want);
      if (!last) platform::PostKeystroke(VK_TAB);
    });
  }
  steps.push_back(kClickDone);
  ExpectCleanExit(RunCalculatorSession(steps), 1);
}

TEST(CalculatorWindow, EscAndEnterInATextBoxLeaveItOpen) {
  struct KeyCase {
    const char* name;
    int focusId;
    int key;
  };
  const std::vector<KeyCase> cases = {
      {"Esc in box 101", 101, VK_ESCAPE},
      {"Enter in box 101", 101, VK_RETURN},
      {"Esc in box 104", 104, VK_ESCAPE},
      {"Enter in box 104", 104, VK_RETURN},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.name);
    const SessionOutcome outcome = RunCalculatorSession({
        [&](HWND dialog) { SetFocus(GetDlgItem(dialog, c.focusId)); },
        [&](HWND) { platform::PostKeystroke(c.key); },
        [](HWND dialog) {
          EXPECT_TRUE(IsWindow(dialog));
          // Enter did not click CALC either: the result box is still empty.
          EXPECT_EQ(ControlText(dialog, 106), "");
        },
        kClickDone,
    });
    ExpectCleanExit(outcome, 1);
  }
}

TEST(CalculatorWindow, EndsWithExitCodeZeroEitherWay) {
  struct EndCase {
    const char* name;
    Step end;
    std::int32_t modalResult;
  };
  const std::vector<EndCase> cases = {
      {"DONE clicked", kClickDone, 1},
      {"close command (Alt+F4)",
       [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }, 0},
      {"DONE clicked after CALC",
       [](HWND dialog) {
         Click(dialog, 107);
         PostClick(dialog, 108);
       },
       1},
  };
  for (const EndCase& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectCleanExit(RunCalculatorSession({c.end}), c.modalResult);
  }
}

TEST(CalculatorWindow, MessagesOtherThanAClickDoNotEndIt) {
  // A WM_COMMAND from DONE with another notification code (BN_SETFOCUS = 6)
  // and other messages routed to its id are not clicks.
  const SessionOutcome outcome = RunCalculatorSession({
      [](HWND dialog) {
        HWND done = GetDlgItem(dialog, 108);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(108, 6), reinterpret_cast<LPARAM>(done));
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(107, 6),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, 107)));
      },
      [](HWND dialog) {
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_EQ(ControlText(dialog, 106), "") << "CALC ran on a non-click";
      },
      kClickDone,
  });
  ExpectCleanExit(outcome, 1);
}

TEST(CalculatorWindow, StartUpWithoutASlotOrARecordEndsWith255AndNoWindow) {
  struct StartFailure {
    const char* name;
    platform::Fail call;
  };
  const std::vector<StartFailure> cases = {
      {"no thread-local slot", platform::Fail::TlsAlloc},
      {"no memory for the thread record", platform::Fail::GlobalAlloc},
  };
  for (const StartFailure& c : cases) {
    SCOPED_TRACE(c.name);
    bool stepRan = false;
    const SessionOutcome outcome =
        RunCalculatorSession({[&](HWND) { stepRan = true; }}, [&] { platform::FailNext(c.call); });
    EXPECT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.exitCode, 255u);
    EXPECT_FALSE(stepRan) << "a window came up";
    // Nothing was made but, when only the record failed, the slot, which
    // the end of the process gives back.
    for (int k = 0; k < kLiveKinds; ++k) {
      if (static_cast<platform::Live>(k) == platform::Live::TlsSlot) continue;
      EXPECT_EQ(outcome.leaked[k], 0) << "live kind " << k;
    }
  }
}

}  // namespace
}  // namespace tavrin::testing
