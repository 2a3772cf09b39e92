// ComputeResistivity: the calculator's formula on typical readings, on the
// zero, negative and missing readings, and where extended intermediates give
// a different double than plain double arithmetic would.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "app/calculator.h"
#include "death_testing.h"
#include "numtext/numtext.h"
#include "platform/win32.h"
#include "runtime/fp_control.h"
#include "runtime/start_process.h"

namespace tavrin {
namespace {

// The single-precision pi of the calculator, exactly.
constexpr double kPiSingle = 3.141590118408203125;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

double Compute(const std::string& n, const std::string& a, const std::string& v,
               const std::string& i) {
  const TextValue tn = TextValue::Copy(n), ta = TextValue::Copy(a), tv = TextValue::Copy(v),
                  ti = TextValue::Copy(i);
  return ComputeResistivity(tn, ta, tv, ti);
}

struct Case {
  const char* what;
  const char* n;
  const char* a;
  const char* v;
  const char* i;
  double expected;
};

// Same double, bit for bit (NaN matches any NaN; -0 and +0 are told apart
// only where the table says so through the sign of `expected`).
void ExpectSameDouble(double got, double expected, const char* what) {
  if (std::isnan(expected)) {
    EXPECT_TRUE(std::isnan(got)) << what << ": got " << got;
    return;
  }
  std::uint64_t g = 0, e = 0;
  std::memcpy(&g, &got, sizeof g);
  std::memcpy(&e, &expected, sizeof e);
  EXPECT_EQ(g, e) << what << ": got " << got << ", expected " << expected;
}

TEST(ComputeResistivityTest, Readings) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {"window defaults", "1", "50", "2.0", "2.0", 314.1590118408203},
      {"second example", "2", "10", "0.5", "0.1", 942.4770355224609},
      {"trailing text ignored", "1", "50", "2.0V", "2.0", 314.1590118408203},
      {"leading blanks", " 1", "\t50", "\n2.0", "  2.0", 314.1590118408203},
      {"n between -1 and 0", "-0.5", "50", "2", "2", -12.5 * kPiSingle},
      {"negative current", "1", "50", "2.0", "-2.0", -314.1590118408203},
      {"n zero", "0", "50", "2.0", "2.0", 0.0},
      {"n -1: t is negative, times 0", "-1", "50", "2.0", "2.0", -0.0},
      {"n -1 and no current", "-1", "50", "2.0", "0", nan},
      {"empty current", "1", "50", "2.0", "", kInfinity},
      {"zero current", "1", "50", "2.0", "0", kInfinity},
      {"negative zero current", "1", "50", "2.0", "-0", -kInfinity},
      {"zero over zero", "1", "50", "0", "0", nan},
      {"all empty", "", "", "", "", nan},
      {"spacing too large for a double", "1", "1e400", "2.0", "2.0", kInfinity},
      {"voltage too large for a double", "1", "50", "1e400", "1e400", nan},
      {"hexadecimal spacing", "1", "&H32", "2.0", "2.0", 314.1590118408203},
  };
  for (const Case& c : cases) ExpectSameDouble(Compute(c.n, c.a, c.v, c.i), c.expected, c.what);
}

TEST(ComputeResistivityTest, IntermediatesCarryTheExtendedSignificand) {
  // Worked out with exact rational arithmetic, rounding to a 64-bit
  // significand after every step; plain double arithmetic would give the
  // neighbouring double in each of these.
  const Case cases[] = {
      {"four", "4", "12.5", "0.037", "0.013", 2235.362199636606},
      {"one and a half", "1.5", "33.3", "1.7", "0.9", 741.0225691795348},
      {"seven", "7", "2.2", "0.33", "0.29", 440.4292684620825},
  };
  for (const Case& c : cases) ExpectSameDouble(Compute(c.n, c.a, c.v, c.i), c.expected, c.what);
}

// Readings whose shown result needs the 64-bit significand: at 53 bits, the
// precision Windows starts a process with, the calculator would show the
// other text.
constexpr std::array<const char*, 4> kPrecisionReadings = {"7", "160", "64.0", "1.25"};
constexpr const char* kExtendedShown = "1441210.8";
constexpr const char* kDoubleShown = "1441210.7";
// Where the extended real is the x87 unit, its precision control can take it
// down to 53 bits.
#if defined(TAVRIN_HAS_X87) && !defined(TAVRIN_EXTENDED_SOFT)
// x87 control words: exceptions masked, rounding to nearest, 53-bit significand.
constexpr std::uint16_t kDoublePrecisionWord = 0x123F;
#endif

std::string Shown(double rho) {
  const TextValue mask = TextValue::Copy("###.#");
  return FormatNumber(rho, mask).str();
}

TEST(ComputeResistivityTest, TheShownResultOfSomeReadingsNeedsTheExtendedSignificand) {
  const auto& r = kPrecisionReadings;
#if defined(TAVRIN_HAS_X87) && !defined(TAVRIN_EXTENDED_SOFT)
  WriteFpuControlWord(kDoublePrecisionWord);
  const std::string atDouble = Shown(Compute(r[0], r[1], r[2], r[3]));
  WriteFpuControlWord(kStartupControlWord);
  EXPECT_EQ(atDouble, kDoubleShown);
#endif
  EXPECT_EQ(Shown(Compute(r[0], r[1], r[2], r[3])), kExtendedShown);
}

// What the routine below saw; the process's exit code.
enum Verdict : std::int32_t { kExtendedText = 0, kDoubleText, kOtherText, kNoWindow };
std::int32_t g_verdict = kNoWindow;
int g_ticks = 0;
// Ticks to wait for the calculator's window before giving up.
constexpr int kMaxTicks = 500;
constexpr UINT kTickMilliseconds = 10;

// Runs inside the calculator's modal loop: types the readings into the
// window, clicks CALC, reads the result box and clicks DONE.
void CALLBACK TypeCalcAndDone(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND calculator = GetActiveWindow();
  if (calculator == nullptr || GetDlgItem(calculator, 107) == nullptr) {
    if (++g_ticks > kMaxTicks) ExitProcess(kNoWindow);
    return;
  }
  KillTimer(nullptr, timer);
  for (int k = 0; k < 4; ++k) SetDlgItemTextA(calculator, 101 + k, kPrecisionReadings[k]);
  SendMessageA(GetDlgItem(calculator, 107), BM_CLICK, 0, 0);
  char shown[64] = {};
  GetDlgItemTextA(calculator, 106, shown, sizeof shown);
  g_verdict = std::strcmp(shown, kExtendedShown) == 0 ? kExtendedText
              : std::strcmp(shown, kDoubleShown) == 0 ? kDoubleText
                                                      : kOtherText;
  SendMessageA(GetDlgItem(calculator, 108), BM_CLICK, 0, 0);
}

std::int32_t CalculateOnce(HINSTANCE instance, std::int32_t previous, const char* tail,
                           std::int32_t showState) {
  SetTimer(nullptr, 0, kTickMilliseconds, TypeCalcAndDone);
  RunCalculator(instance, previous, tail, showState);
  return g_verdict;
}

// The real start-up, window and CALC: the result shown is the one of the
// 64-bit significand that StartProcess puts in force.
TEST(ComputeResistivityDeathTest, CalcThroughStartProcessShowsTheExtendedResult) {
  GTEST_FLAG_SET(death_test_style, TAVRIN_DEATH_TEST_STYLE);
  TAVRIN_EXPECT_EXIT_CODE(StartProcess(CalculateOnce), kExtendedText);
}

}  // namespace
}  // namespace tavrin
