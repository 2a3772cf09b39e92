// CALC as the user works it on the Linux platform: whatever the four boxes
// hold when CALC is clicked gives the text in the result box; editing alone
// changes nothing; the result box refuses typing; a huge input and many
// clicks neither hang nor leak.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "calculator_session.h"
#include "platform/linux/hooks.h"
#include "platform/linux/user_hooks.h"

namespace tavrin::testing {
namespace {

// DONE as the mouse clicks it: a posted click that the modal loop dispatches.
const Step kClickDone = [](HWND dialog) { PostClick(dialog, 108); };

void ExpectCleanExit(const SessionOutcome& outcome) {
  EXPECT_TRUE(outcome.exited);
  EXPECT_EQ(outcome.exitCode, 0u);
  EXPECT_FALSE(outcome.timedOut);
  EXPECT_FALSE(outcome.loopOutlivedWindow);
  EXPECT_EQ(outcome.modalResult, 1);
  for (int k = 0; k < kLiveKinds; ++k) {
    EXPECT_EQ(outcome.leaked[k], 0) << "objects of live kind " << k << " left alive";
  }
  EXPECT_EQ(outcome.doubleReleases, 0);
}

// +infinity under "###.#": nineteen 9s, 980 zeros and a point.
std::string InfinityText() {
  return std::string(19, '9') + std::string(980, '0') + ".";
}

struct CalcCase {
  const char* name;
  const char* n;
  const char* a;
  const char* v;
  const char* i;
  std::string shown;
};

TEST(CalculatorCalc, ShowsTheResistivityOfWhatTheBoxesHold) {
  const std::vector<CalcCase> cases = {
      {"defaults", "1", "50", "2.0", "2.0", "314.2"},
      {"n 2, a 10, v 0.5, i 0.1", "2", "10", "0.5", "0.1", "942.5"},
      {"n 0", "0", "50", "2.0", "2.0", "0."},
      {"n -1: the factor n + 1 is zero", "-1", "50", "2.0", "2.0", "0."},
      {"n -0.5: negative", "-0.5", "50", "2.0", "2.0", "-39.3"},
      {"about 5 (4.99999587)", "1", "1", "0.7957747", "1", "5."},
      {"1234.557: integer digits are never cut", "1", "100", "1.96486", "1", "1234.6"},
      {"zero current", "1", "50", "2.0", "0", InfinityText()},
      {"empty current", "1", "50", "2.0", "", InfinityText()},
      {"negative v, zero current", "1", "50", "-2.0", "0", "-" + InfinityText()},
      {"a too large for a double", "1", "1e400", "2.0", "2.0", InfinityText()},
      {"all four empty: NaN", "", "", "", "", "0."},
      {"trailing text ignored", "1", "50", "2.0V", "2.0 amps", "314.2"},
      {"no leading number reads as 0", "x1", "50", "2.0", "2.0", "0."},
  };
  std::vector<Step> steps;
  for (const CalcCase& c : cases) {
    steps.push_back([&c](HWND dialog) {
      SetControlText(dialog, 101, c.n);
      SetControlText(dialog, 102, c.a);
      SetControlText(dialog, 103, c.v);
      SetControlText(dialog, 104, c.i);
      Click(dialog, 107);
      EXPECT_EQ(ControlText(dialog, 106), c.shown) << c.name;
      // The inputs are read, not rewritten.
      EXPECT_EQ(ControlText(dialog, 103), c.v) << c.name;
    });
  }
  steps.push_back(kClickDone);
  ExpectCleanExit(RunCalculatorSession(steps));
}

TEST(CalculatorCalc, EditingWithoutCalcLeavesTheResult) {
  const SessionOutcome outcome = RunCalculatorSession({
      [](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, 106), "");
        Click(dialog, 107);
        EXPECT_EQ(ControlText(dialog, 106), "314.2");
        SetControlText(dialog, 101, "2");
      },
      [](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, 106), "314.2");
        // Typed characters reach the box, not the result.
        SetFocus(GetDlgItem(dialog, 102));
        platform::PostChars("0");
      },
      [](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, 106), "314.2");
        Click(dialog, 107);
        // n 2 and the typed a: the box holds "50" with "0" typed into it.
        const std::string a = ControlText(dialog, 102);
        EXPECT_NE(a, "50") << "the typed character did not reach box 102";
        EXPECT_NE(ControlText(dialog, 106), "314.2");
        // Twice with unchanged inputs: the same text.
        const std::string first = ControlText(dialog, 106);
        Click(dialog, 107);
        EXPECT_EQ(ControlText(dialog, 106), first);
      },
      kClickDone,
  });
  ExpectCleanExit(outcome);
}

TEST(CalculatorCalc, TheResultBoxRefusesTyping) {
  const SessionOutcome outcome = RunCalculatorSession({
      [](HWND dialog) {
        Click(dialog, 107);
        SetFocus(GetDlgItem(dialog, 106));
      },
      [](HWND) {
        EXPECT_EQ(FocusedId(), 106);
        platform::PostChars("123");
        platform::PostKeystroke(VK_BACK);
        platform::PostKeystroke(VK_DELETE);
      },
      [](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, 106), "314.2");
        // CALC still overwrites it.
        SetControlText(dialog, 101, "2");
        SetControlText(dialog, 102, "10");
        SetControlText(dialog, 103, "0.5");
        SetControlText(dialog, 104, "0.1");
        Click(dialog, 107);
        EXPECT_EQ(ControlText(dialog, 106), "942.5");
      },
      kClickDone,
  });
  ExpectCleanExit(outcome);
}

TEST(CalculatorCalc, AHundredThousandCharacterInputNeitherHangsNorCrashes) {
  struct HugeCase {
    const char* name;
    std::string text;
  };
  std::string digits(100000, '0');
  for (std::size_t k = 0; k < digits.size(); k += 7) digits[k] = '9';
  const std::vector<HugeCase> cases = {
      {"digits", digits},
      {"a number, then junk", "2" + std::string(99999, 'x')},
      {"blanks, then a number", std::string(99998, ' ') + "50"},
  };
  std::vector<Step> steps;
  for (const HugeCase& c : cases) {
    steps.push_back([&c](HWND dialog) {
      SetControlText(dialog, 102, c.text);
      Click(dialog, 107);
      EXPECT_TRUE(IsWindow(dialog)) << c.name;
      EXPECT_FALSE(ControlText(dialog, 106).empty()) << c.name;
    });
  }
  steps.push_back(kClickDone);
  ExpectCleanExit(RunCalculatorSession(steps));
}

TEST(CalculatorCalc, TenThousandClicksLeaveTheLiveObjectsFlat) {
  constexpr int kClicks = 10000;
  constexpr int kWarmUp = 100;
  const SessionOutcome outcome = RunCalculatorSession({
      [](HWND dialog) {
        std::array<std::int64_t, kLiveKinds> atWarmUp{};
        std::vector<std::string> firstResults(9);
        for (int k = 0; k < kClicks; ++k) {
          if (k == kWarmUp) {
            for (int kind = 0; kind < kLiveKinds; ++kind) {
              atWarmUp[kind] = platform::LiveCount(static_cast<platform::Live>(kind));
            }
          }
          const int n = k % 9 + 1;
          SetControlText(dialog, 101, std::to_string(n));
          SetControlText(dialog, 104, k % 2 == 0 ? "2.0" : "0");
          Click(dialog, 107);
          if (k % 2 == 0) {
            const std::string shown = ControlText(dialog, 106);
            std::string& first = firstResults[static_cast<std::size_t>(n - 1)];
            if (first.empty()) first = shown;
            ASSERT_EQ(shown, first) << "click " << k;
          } else {
            ASSERT_EQ(GetWindowTextLengthA(GetDlgItem(dialog, 106)), 1000) << "click " << k;
          }
        }
        for (int kind = 0; kind < kLiveKinds; ++kind) {
          EXPECT_EQ(platform::LiveCount(static_cast<platform::Live>(kind)), atWarmUp[kind])
              << "live kind " << kind;
        }
      },
      kClickDone,
  });
  ExpectCleanExit(outcome);
}

TEST(CalculatorCalc, NoMemoryForTextsEmptiesTheResultAndTheWindowGoesOn) {
  // Every text allocation of one CALC fails: the inputs read as empty, the
  // formatted result cannot be stored, and the result box is emptied. The
  // next CALC, with memory again, shows the defaults' result.
  const SessionOutcome outcome = RunCalculatorSession({
      [](HWND dialog) {
        Click(dialog, 107);
        EXPECT_EQ(ControlText(dialog, 106), "314.2");
        platform::FailNext(platform::Fail::SysAllocStringByteLen, 1000);
        Click(dialog, 107);
        platform::ClearFailures();
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_EQ(ControlText(dialog, 106), "");
        EXPECT_EQ(ControlText(dialog, 101), "1") << "the inputs stay as typed";
        Click(dialog, 107);
        EXPECT_EQ(ControlText(dialog, 106), "314.2");
      },
      kClickDone,
  });
  ExpectCleanExit(outcome);
}

}  // namespace
}  // namespace tavrin::testing
