// ControlSetColor: text and background colours of a control or of the
// dialog itself, with background brushes shared by colour across records.
#include "dialog/engine.h"
#include "dialog/registry.h"

namespace tavrin {
namespace {

constexpr std::int32_t kColorRefMask = 0x00FFFFFF;

// A negative text colour is the system's; any other keeps its 24 colour bits.
std::int32_t NormalTextColor(std::int32_t color) {
  return color < 0 ? ColorDefault : (color & kColorRefMask);
}
// Background: transparent stays, any other negative value is the system's.
std::int32_t NormalBackColor(std::int32_t color) {
  if (color == ColorTransparent) return ColorTransparent;
  return color < 0 ? ColorDefault : (color & kColorRefMask);
}

// The brush for a COLORREF background: the one already shared for that
// colour, or a new one. Without one `color` falls back to ColorDefault.
HBRUSH BrushFor(std::int32_t& color) {
  if (!IsColorRef(color)) return nullptr;
  if (const Record* sharing = RegistryBrushForColor(color)) return sharing->backBrush;
  HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(color));
  if (brush == nullptr) color = ColorDefault;
  return brush;
}

}  // namespace

void ControlSetColor(HWND dialog, std::int32_t id, std::int32_t textColor, std::int32_t backColor) {
  const std::int32_t text = NormalTextColor(textColor);
  std::int32_t back = NormalBackColor(backColor);
  HWND target = id == DialogSelfId ? dialog : GetDlgItem(dialog, id);
  const Record* owner = RegistryFind(dialog);
  if (owner == nullptr) return;
  const std::int32_t dialogBack = owner->backColor;
  Record* r = RegistryFind(target);
  if (r == nullptr) return;

  // A scroll bar takes the dialog's background rather than a system one.
  if (r->kind == static_cast<std::int32_t>(ControlKind::ScrollBar) && !IsColorRef(back)) {
    back = dialogBack;
  }
  HBRUSH brush = BrushFor(back);

  HBRUSH oldBrush = r->backBrush;
  const std::int32_t oldBack = r->backColor;
  r->backBrush = brush;
  r->textColor = text;
  r->backColor = back;
  if (oldBrush != nullptr && oldBrush != brush && RegistryBrushForColor(oldBack) == nullptr) {
    DeleteObject(oldBrush);
  }
}

}  // namespace tavrin
