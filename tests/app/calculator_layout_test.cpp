// The calculator's real window, as StartProcess and RunCalculator show it:
// the font of the window and of every control, and the position and size of
// the window's client area and of all 17 controls, in pixels of the font's
// own base units. Runs on the Linux platform and under Wine alike.
#include <gtest/gtest.h>
#include <strings.h>

#include <array>
#include <cstdint>
#include <cstdio>

#include "app/calculator.h"
#include "death_testing.h"
#include "platform/win32.h"
#include "runtime/start_process.h"

namespace tavrin {
namespace {

// A rectangle in dialog units: left, top, width, height.
struct Units {
  int x, y, width, height;
};

// The window's client area: placed at 100, 50 and 110 x 100 units large.
constexpr Units kClientUnits = {100, 50, 110, 100};

// The children in creation order, a column of the window per line: names on
// the left, units on the right, boxes in the middle, CALC and DONE below.
// clang-format off
constexpr std::array<Units, 17> kControlUnits = {{
    {10, 5, 30, 10},  {10, 15, 30, 10}, {10, 25, 30, 10}, {10, 35, 30, 10}, {10, 55, 30, 10},
    {70, 5, 30, 10},  {70, 15, 30, 10}, {70, 25, 30, 10}, {70, 35, 30, 10}, {70, 55, 30, 10},
    {40, 5, 25, 10},  {40, 15, 25, 10}, {40, 25, 25, 10}, {40, 35, 25, 10}, {40, 55, 25, 10},
    {35, 75, 30, 10}, {35, 85, 30, 10},
}};
// clang-format on

constexpr char kFontFace[] = "tahoma";
constexpr int kFontPoints = 10;
constexpr int kPointsPerInch = 72;
constexpr int kCalcId = 107;
constexpr int kDoneId = 108;

// The exit code: the number of mismatches, or one of these.
constexpr int kNoWindow = 200;
constexpr int kMaxTicks = 500;  // 10 ms ticks to wait for the window
constexpr UINT kTickMilliseconds = 10;

int g_mismatches = kNoWindow;
int g_ticks = 0;

void Mismatch(const char* what, int index, long got, long want) {
  std::fprintf(stderr, "%s %d: %ld, expected %ld\n", what, index, got, want);
  ++g_mismatches;
}

void Expect(const char* what, int index, long got, long want) {
  if (got != want) Mismatch(what, index, got, want);
}

// value * numerator / denominator rounded to nearest, halves up, as Win32's
// MulDiv rounds the positive values used here.
constexpr long ScaleRounded(long value, long numerator, long denominator) {
  return (2 * value * numerator + denominator) / (2 * denominator);
}

// Dialog base units of a font as Windows derives them: the average width of
// the 52 letters, rounded, and the font's height.
SIZE BaseUnitsOf(HWND window, HFONT font) {
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SIZE letters{};
  GetTextExtentPoint32A(dc, kLetters, 52, &letters);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return {(letters.cx / 26 + 1) / 2, metrics.tmHeight};
}

// Checks the window's font, then every rectangle against its units.
void CheckLayout(HWND calculator) {
  g_mismatches = 0;
  const auto font = reinterpret_cast<HFONT>(SendMessageA(calculator, WM_GETFONT, 0, 0));
  LOGFONTA logical{};
  if (font == nullptr || GetObjectA(font, sizeof logical, &logical) != sizeof logical) {
    Mismatch("window font", 0, 0, 1);
    return;
  }
  if (strcasecmp(logical.lfFaceName, kFontFace) != 0) {
    std::fprintf(stderr, "font face \"%s\"\n", logical.lfFaceName);
    ++g_mismatches;
  }
  HDC screen = GetDC(nullptr);
  const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  Expect("font height", 0, logical.lfHeight,
         -ScaleRounded(kFontPoints, pixelsPerInch, kPointsPerInch));

  const SIZE base = BaseUnitsOf(calculator, font);
  const auto px = [&](int x) { return ScaleRounded(x, base.cx, 4); };
  const auto py = [&](int y) { return ScaleRounded(y, base.cy, 8); };

  POINT origin{0, 0};
  ClientToScreen(calculator, &origin);
  RECT client{};
  GetClientRect(calculator, &client);
  Expect("client left", 0, origin.x, px(kClientUnits.x));
  Expect("client top", 0, origin.y, py(kClientUnits.y));
  Expect("client width", 0, client.right, px(kClientUnits.width));
  Expect("client height", 0, client.bottom, py(kClientUnits.height));

  // A control's whole rectangle is converted, so its size is the difference
  // of its converted edges.
  int k = 0;
  for (HWND child = GetWindow(calculator, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT), ++k) {
    if (k >= static_cast<int>(kControlUnits.size())) {
      Mismatch("children", k + 1, k + 1, static_cast<long>(kControlUnits.size()));
      break;
    }
    const Units& u = kControlUnits[k];
    RECT r{};
    GetWindowRect(child, &r);
    POINT topLeft{r.left, r.top};
    ScreenToClient(calculator, &topLeft);
    Expect("control left", k + 1, topLeft.x, px(u.x));
    Expect("control top", k + 1, topLeft.y, py(u.y));
    Expect("control width", k + 1, r.right - r.left, px(u.x + u.width) - px(u.x));
    Expect("control height", k + 1, r.bottom - r.top, py(u.y + u.height) - py(u.y));
    const auto childFont = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
    if (childFont != font) Mismatch("control font is the window's", k + 1, 0, 1);
  }
  Expect("children", 0, k, static_cast<long>(kControlUnits.size()));
}

// Runs inside the calculator's modal loop: checks the window, then DONE.
void CALLBACK CheckAndDone(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND calculator = GetActiveWindow();
  if (calculator == nullptr || GetDlgItem(calculator, kCalcId) == nullptr) {
    if (++g_ticks > kMaxTicks) ExitProcess(kNoWindow);
    return;
  }
  KillTimer(nullptr, timer);
  CheckLayout(calculator);
  SendMessageA(GetDlgItem(calculator, kDoneId), BM_CLICK, 0, 0);
}

std::int32_t CheckLayoutOnce(HINSTANCE instance, std::int32_t previous, const char* tail,
                             std::int32_t showState) {
  SetTimer(nullptr, 0, kTickMilliseconds, CheckAndDone);
  RunCalculator(instance, previous, tail, showState);
  return g_mismatches;
}

TEST(CalculatorLayoutDeathTest, WindowAndControlsSitWhereTheirUnitsPutThem) {
  GTEST_FLAG_SET(death_test_style, TAVRIN_DEATH_TEST_STYLE);
  TAVRIN_EXPECT_EXIT_CODE(StartProcess(CheckLayoutOnce), 0);
}

}  // namespace
}  // namespace tavrin
