// Building and destroying the calculator's window through the dialog engine
// against the same window built with plain Win32 calls (a dialog from an
// in-memory template, seventeen CreateWindowExA, one white brush), both on
// the platform this program runs on.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <vector>

#include "dialog/engine.h"
#include "platform/win32.h"
#include "runtime/text_value.h"

namespace tavrin::bench {
namespace {

struct ControlRow {
  ControlKind kind;
  const char* className;
  std::int32_t id;
  const char* text;
  std::int32_t x, y, width;
  std::uint32_t style;    // final window style
  std::uint32_t exStyle;  // final extended style
  bool coloured;
};

constexpr std::int32_t kRowHeight = 10;
constexpr std::uint32_t kLabel = 0x50000000;
constexpr std::uint32_t kInput = 0x50010080;
constexpr std::uint32_t kResult = 0x50000800;
constexpr std::uint32_t kButton = 0x50010000;
constexpr std::uint32_t kEdge = 0x200;

constexpr std::array<ControlRow, 17> kControls{{
    {ControlKind::Label, "STATIC", -1, "n", 10, 5, 30, kLabel, 0, false},
    {ControlKind::Label, "STATIC", -1, "a", 10, 15, 30, kLabel, 0, false},
    {ControlKind::Label, "STATIC", -1, "v", 10, 25, 30, kLabel, 0, false},
    {ControlKind::Label, "STATIC", -1, "i", 10, 35, 30, kLabel, 0, false},
    {ControlKind::Label, "STATIC", -1, "Rho", 10, 55, 30, kLabel, 0, false},
    {ControlKind::Label, "STATIC", -1, "--", 70, 5, 30, kLabel, 0, false},
    {ControlKind::Label, "STATIC", -1, "FT", 70, 15, 30, kLabel, 0, false},
    {ControlKind::Label, "STATIC", -1, "Volts", 70, 25, 30, kLabel, 0, false},
    {ControlKind::Label, "STATIC", -1, "Amps", 70, 35, 30, kLabel, 0, false},
    {ControlKind::Label, "STATIC", -1, "OHM-FT", 70, 55, 30, kLabel, 0, false},
    {ControlKind::TextBox, "EDIT", 101, "1", 40, 5, 25, kInput, kEdge, true},
    {ControlKind::TextBox, "EDIT", 102, "50", 40, 15, 25, kInput, kEdge, true},
    {ControlKind::TextBox, "EDIT", 103, "2.0", 40, 25, 25, kInput, kEdge, true},
    {ControlKind::TextBox, "EDIT", 104, "2.0", 40, 35, 25, kInput, kEdge, true},
    {ControlKind::TextBox, "EDIT", 106, "", 40, 55, 25, 0x800, kEdge, true},
    {ControlKind::Button, "BUTTON", 107, "CALC", 35, 75, 30, kButton, 0, false},
    {ControlKind::Button, "BUTTON", 108, "DONE", 35, 85, 30, kButton, 0, false},
}};

// The controls' texts as the program's own texts, made once.
std::vector<TextValue> ControlTexts() {
  std::vector<TextValue> texts;
  for (const ControlRow& c : kControls) texts.push_back(TextValue::Copy(c.text));
  return texts;
}

void CalculatorWindow_BuildDestroy_Ours(benchmark::State& state) {
  DialogSetDefaultFont(TextValue::Copy("tahoma"), 10);
  const TextValue caption = TextValue::Copy("TAVRIN Schlumberger");
  const std::vector<TextValue> texts = ControlTexts();
  for (auto _ : state) {
    HWND dialog = DialogNew(Units, nullptr, caption, 100, 50, 110, 100, 0, 0);
    for (std::size_t i = 0; i < kControls.size(); ++i) {
      const ControlRow& c = kControls[i];
      ControlAdd(c.kind, TextRef(), dialog, c.id, texts[i], {}, c.x, c.y, c.width, kRowHeight,
                 c.kind == ControlKind::TextBox ? (c.style & 0x800) : 0, c.exStyle, nullptr);
    }
    for (std::int32_t box : {101, 102, 103, 104}) ControlSetColor(dialog, box, 0x0000FF, 0xFFFFFF);
    ControlSetColor(dialog, 106, 0xFF0000, 0xFFFFFF);
    DialogEnd(dialog, 1);
    benchmark::DoNotOptimize(dialog);
  }
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) {
  return 0;
}

// The calculator's template, widened by hand.
std::vector<WORD> PlainTemplate() {
  std::vector<WORD> t{0x00D4, 0x80C0, 0, 0, 0, 100, 50, 110, 100, 0, 0};
  for (const char* c = "TAVRIN Schlumberger"; *c != '\0'; ++c) t.push_back(static_cast<WORD>(*c));
  t.push_back(0);
  t.push_back(10);
  for (const char* c = "tahoma"; *c != '\0'; ++c) t.push_back(static_cast<WORD>(*c));
  t.push_back(0);
  return t;
}

void CalculatorWindow_BuildDestroy_Win32(benchmark::State& state) {
  const std::vector<WORD> words = PlainTemplate();
  const auto* dialogTemplate = reinterpret_cast<const DLGTEMPLATE*>(words.data());
  HINSTANCE instance = GetModuleHandleA(nullptr);
  for (auto _ : state) {
    HWND dialog = CreateDialogIndirectParamA(instance, dialogTemplate, nullptr, PlainDialogProc, 0);
    const WPARAM font = static_cast<WPARAM>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    HBRUSH white = CreateSolidBrush(0xFFFFFF);
    for (const ControlRow& c : kControls) {
      RECT r{c.x, c.y, c.x + c.width, c.y + kRowHeight};
      MapDialogRect(dialog, &r);
      HWND control =
          CreateWindowExA(c.exStyle, c.className, c.text, c.style, r.left, r.top, r.right - r.left,
                          r.bottom - r.top, dialog,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
      SendMessageA(control, WM_SETFONT, font, TRUE);
    }
    DestroyWindow(dialog);
    DeleteObject(white);
    benchmark::DoNotOptimize(dialog);
  }
}

BENCHMARK(CalculatorWindow_BuildDestroy_Ours);
BENCHMARK(CalculatorWindow_BuildDestroy_Win32);

}  // namespace
}  // namespace tavrin::bench
