// The calculator's dialog, control by control, in creation order.
#include "calculator_dialog.h"

#include <array>

#include "runtime/text_value.h"

namespace tavrin::testing {
namespace {

struct ControlRow {
  ControlKind kind;
  std::int32_t id;
  const char* text;
  std::int32_t x, y;
  std::uint32_t style, exStyle;
  bool button;
};

constexpr std::int32_t kLabelWidth = 30;
constexpr std::int32_t kBoxWidth = 25;
constexpr std::int32_t kRowHeight = 10;
constexpr std::uint32_t kReadOnly = 0x800;
constexpr std::uint32_t kClientEdge = 0x200;

constexpr std::array<ControlRow, 17> kControls{{
    {ControlKind::Label, -1, "n", 10, 5, 0, 0, false},
    {ControlKind::Label, -1, "a", 10, 15, 0, 0, false},
    {ControlKind::Label, -1, "v", 10, 25, 0, 0, false},
    {ControlKind::Label, -1, "i", 10, 35, 0, 0, false},
    {ControlKind::Label, -1, "Rho", 10, 55, 0, 0, false},
    {ControlKind::Label, -1, "--", 70, 5, 0, 0, false},
    {ControlKind::Label, -1, "FT", 70, 15, 0, 0, false},
    {ControlKind::Label, -1, "Volts", 70, 25, 0, 0, false},
    {ControlKind::Label, -1, "Amps", 70, 35, 0, 0, false},
    {ControlKind::Label, -1, "OHM-FT", 70, 55, 0, 0, false},
    {ControlKind::TextBox, 101, "1", 40, 5, 0, kClientEdge, false},
    {ControlKind::TextBox, 102, "50", 40, 15, 0, kClientEdge, false},
    {ControlKind::TextBox, 103, "2.0", 40, 25, 0, kClientEdge, false},
    {ControlKind::TextBox, 104, "2.0", 40, 35, 0, kClientEdge, false},
    {ControlKind::TextBox, 106, "", 40, 55, kReadOnly, kClientEdge, false},
    {ControlKind::Button, 107, "CALC", 35, 75, 0, 0, true},
    {ControlKind::Button, 108, "DONE", 35, 85, 0, 0, true},
}};

}  // namespace

HWND BuildCalculatorDialog(ControlCallback callback) {
  DialogSetDefaultFont(TextValue::Copy("tahoma"), 10);
  const TextValue caption = TextValue::Copy("TAVRIN Schlumberger");
  HWND dialog = DialogNew(Units, nullptr, caption, 100, 50, 110, 100, 0, 0);
  if (dialog == nullptr) return nullptr;
  for (const ControlRow& c : kControls) {
    const TextValue text = TextValue::Copy(c.text);
    const std::int32_t width = c.kind == ControlKind::TextBox ? kBoxWidth : kLabelWidth;
    ControlAdd(c.kind, TextRef(), dialog, c.id, text, {}, c.x, c.y, width, kRowHeight, c.style,
               c.exStyle, c.button ? callback : nullptr);
    if (c.id == 106) {
      for (std::int32_t box : {101, 102, 103, 104})
        ControlSetColor(dialog, box, 0x0000FF, 0xFFFFFF);
      ControlSetColor(dialog, 106, 0xFF0000, 0xFFFFFF);
    }
  }
  return dialog;
}

}  // namespace tavrin::testing
