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
// colour (`sharing`, the record found holding one), or a new one. Without
// one `color` falls back to ColorDefault.
HBRUSH BrushFor(std::int32_t& color, const Record* sharing) {
  if (!IsColorRef(color)) return nullptr;
  if (sharing != nullptr) return sharing->backBrush;
  HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(color));
  if (brush == nullptr) color = ColorDefault;
  return brush;
}

}  // namespace

void ControlSetColor(HWND dialog, std::int32_t id, std::int32_t textColor, std::int32_t backColor) {
  const std::int32_t text = NormalTextColor(textColor);
  std::int32_t back = NormalBackColor(backColor);
  HWND target = id == DialogSelfId ? dialog : GetDlgItem(dialog, id);
  // Both records and the brush to share come from one walk of the list.
  const ColorRecords found = RegistryFindForColor(dialog, target, back);
  if (found.dialog == nullptr || found.target == nullptr) return;
  Record* r = found.target;
  const Record* sharing = found.sharing;

  // A scroll bar takes the dialog's background rather than a system one;
  // the brush to share is then the one for that colour.
  if (r->kind == static_cast<std::int32_t>(ControlKind::ScrollBar) && !IsColorRef(back)) {
    back = found.dialog->backColor;
    sharing = RegistryBrushForColor(back);
  }
  HBRUSH brush = BrushFor(back, sharing);

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
