// The engine's smaller operations on dialogs and controls: removal, check
// and option states, sizes and locations in the dialog's geometry mode, unit
// conversions, user values, icons, images, focus, enabling and redraw.
#include <cstdlib>

#include "dialog/engine.h"
#include "dialog/operations.h"
#include "dialog/registry.h"
#include "dialog/resource_lookup.h"
#include "engine_instance.h"
#include "platform/wrap32.h"

namespace tavrin {
namespace {

constexpr UINT kSizeOnlyFlags = SWP_NOMOVE | SWP_NOZORDER;  // 6
constexpr UINT kMoveOnlyFlags = SWP_NOSIZE | SWP_NOZORDER;  // 5
constexpr UINT kRedrawFlags = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW;
constexpr std::uint32_t kChildStyle = 0x40000000;  // WS_CHILD
constexpr UINT kLoadMap3DColors = 0x1000;          // LR_LOADMAP3DCOLORS
// PixelsToUnits measures the dialog's scale over this many units.
constexpr LONG kScaleUnits = 1024;
constexpr int kBigIconSize = 32;
constexpr int kSmallIconSize = 16;

// The control named by `id`, or the dialog itself for DialogSelfId.
HWND Target(HWND dialog, std::int32_t id) {
  return id == DialogSelfId ? dialog : GetDlgItem(dialog, id);
}

// True when the dialog measures in dialog units.
bool InUnits(HWND dialog) {
  const Record* r = RegistryFind(dialog);
  return r != nullptr && (r->flags & RecordFlag::Units) != 0;
}

bool IsGraphic(HWND window) {
  const Record* r = RegistryFind(window);
  return r != nullptr && r->kind == static_cast<std::int32_t>(ControlKind::Graphic);
}

Extent ToPixels(HWND dialog, Extent e) {
  return InUnits(dialog) ? UnitsToPixels(dialog, e) : e;
}
Extent FromPixels(HWND dialog, Extent e) {
  return InUnits(dialog) ? PixelsToUnits(dialog, e) : e;
}

Extent SizeOf(const RECT& r) {
  return {WrapSub(r.right, r.left), WrapSub(r.bottom, r.top)};
}

// value * 1024 / perScale, rounded half up for a non-negative value and
// down for a negative one.
std::int32_t ScaleDown(std::int32_t value, LONG perScale) {
  const std::int64_t numerator = static_cast<std::int64_t>(value) * kScaleUnits;
  if (numerator >= 0) return static_cast<std::int32_t>((2 * numerator + perScale) / (2 * perScale));
  return static_cast<std::int32_t>(-((-numerator + perScale - 1) / perScale));
}

// Index of user value n (1..8; any other n is taken modulo 8).
std::size_t UserValueIndex(std::int32_t n) {
  const std::int64_t zeroBased = std::int64_t{n} - 1;
  return static_cast<std::size_t>((zeroBased % kUserValueCount + kUserValueCount) %
                                  kUserValueCount);
}

void ReleaseOwnImage(HANDLE image, bool bitmap) {
  if (bitmap) {
    DeleteObject(image);
  } else {
    DestroyIcon(static_cast<HICON>(image));
  }
}

// Loads one icon of the dialog and hands it to the window, then keeps it in
// the record (found afresh: the dialog's callback sees WM_SETICON); the icon
// that the field held before is destroyed.
void ReplaceIcon(HWND dialog, bool big, TextRef name) {
  const int size = big ? kBigIconSize : kSmallIconSize;
  HICON icon =
      static_cast<HICON>(LoadImageA(EngineInstance(), name.data(), IMAGE_ICON, size, size, 0));
  SendMessageA(dialog, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  Record* r = RegistryFind(dialog);
  if (r == nullptr) {
    if (icon != nullptr) DestroyIcon(icon);
    return;
  }
  HICON& field = big ? r->bigIcon : r->smallIcon;
  HICON old = field;
  field = icon;
  if (old != nullptr && old != icon) DestroyIcon(old);
}

}  // namespace

void ControlEnable(HWND dialog, std::int32_t id, bool enable) {
  EnableWindow(Target(dialog, id), enable ? TRUE : FALSE);
}

void ControlSetFocus(HWND dialog, std::int32_t id) {
  SetFocus(GetDlgItem(dialog, id));
}

void ControlSetCallback(HWND dialog, std::int32_t id, ControlCallback callback) {
  if (Record* r = RegistryFind(GetDlgItem(dialog, id))) r->callback = callback;
}

void ControlSetImage(HWND dialog, std::int32_t id, TextRef name, std::int32_t variant) {
  if (variant < 0 || variant > 3) return;
  HWND control = GetDlgItem(dialog, id);
  Record* r = RegistryFind(control);
  if (r == nullptr || r->kind != static_cast<std::int32_t>(ControlKind::Image) + variant) return;
  const bool bitmap = HasBitmapResource(EngineInstance(), name.view());
  const std::uint32_t needed = bitmap ? RecordFlag::BitmapImage : RecordFlag::IconImage;
  if ((r->flags & needed) == 0) return;
  int cx = 0;
  int cy = 0;
  if (variant == 1 || variant == 3) {
    RECT client{};
    GetClientRect(control, &client);
    cx = client.right - client.left;
    cy = client.bottom - client.top;
  }
  const UINT type = bitmap ? IMAGE_BITMAP : IMAGE_ICON;
  HANDLE image = LoadImageA(EngineInstance(), name.data(), type, cx, cy, kLoadMap3DColors);
  if (image == nullptr) return;  // the control keeps the image it has
  SendMessageA(control, variant <= 1 ? STM_SETIMAGE : BM_SETIMAGE, type,
               reinterpret_cast<LPARAM>(image));
  // Found afresh: the control's notifications may have changed the registry.
  r = RegistryFind(control);
  if (r == nullptr) {
    ReleaseOwnImage(image, bitmap);
    return;
  }
  HANDLE old = r->image;
  r->image = image;
  if (old != nullptr && old != image) ReleaseOwnImage(old, bitmap);
}

void ControlRemove(HWND dialog, std::int32_t id) {
  if (id == DialogSelfId) return;
  HWND control = GetDlgItem(dialog, id);
  if (control == nullptr) return;
  DestroyWindow(control);
  RegistryRemove(control);
}

std::int32_t ControlGetCheck(HWND dialog, std::int32_t id) {
  return static_cast<std::int32_t>(SendMessageA(Target(dialog, id), BM_GETCHECK, 0, 0));
}

void ControlSetCheck(HWND dialog, std::int32_t id, std::int32_t state) {
  SendMessageA(Target(dialog, id), BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

void ControlSetOption(HWND dialog, std::int32_t firstId, std::int32_t lastId,
                      std::int32_t checkedId) {
  CheckRadioButton(dialog, firstId, lastId, checkedId);
}

Extent ControlGetClientSize(HWND dialog, std::int32_t id) {
  RECT client{};
  if (!GetClientRect(Target(dialog, id), &client)) return {0, 0};
  return FromPixels(dialog, SizeOf(client));
}

void ControlSetClientSize(HWND dialog, std::int32_t id, Extent size) {
  HWND target = Target(dialog, id);
  if (IsGraphic(target)) return;
  const Extent px = ToPixels(dialog, size);
  RECT window{};
  RECT client{};
  GetWindowRect(target, &window);
  GetClientRect(target, &client);
  const Extent frame{WrapSub(SizeOf(window).x, SizeOf(client).x),
                     WrapSub(SizeOf(window).y, SizeOf(client).y)};
  SetWindowPos(target, nullptr, 0, 0, WrapAdd(px.x, frame.x), WrapAdd(px.y, frame.y),
               kSizeOnlyFlags);
}

Extent ControlGetSize(HWND dialog, std::int32_t id) {
  RECT window{};
  if (!GetWindowRect(Target(dialog, id), &window)) return {0, 0};
  return FromPixels(dialog, SizeOf(window));
}

void ControlSetSize(HWND dialog, std::int32_t id, Extent size) {
  HWND target = Target(dialog, id);
  if (IsGraphic(target)) return;
  const Extent px = ToPixels(dialog, size);
  SetWindowPos(target, nullptr, 0, 0, px.x, px.y, kSizeOnlyFlags);
}

Extent ControlGetLocation(HWND dialog, std::int32_t id) {
  HWND target = Target(dialog, id);
  RECT window{};
  if (!GetWindowRect(target, &window)) return {0, 0};
  POINT corner{window.left, window.top};
  HWND parent = reinterpret_cast<HWND>(GetWindowLongPtrA(target, GWLP_HWNDPARENT));
  if (parent != nullptr) ScreenToClient(parent, &corner);
  return FromPixels(dialog, {corner.x, corner.y});
}

void ControlSetLocation(HWND dialog, std::int32_t id, Extent location) {
  HWND target = Target(dialog, id);
  Extent px = ToPixels(dialog, location);
  if (target == dialog) {
    const Record* r = RegistryFind(dialog);
    HWND owner = reinterpret_cast<HWND>(GetWindowLongPtrA(dialog, GWLP_HWNDPARENT));
    if (owner != nullptr && r != nullptr && (r->style & kChildStyle) == 0) {
      POINT origin{0, 0};
      ClientToScreen(owner, &origin);
      px.x = WrapAdd(px.x, origin.x);
      px.y = WrapAdd(px.y, origin.y);
    }
  }
  SetWindowPos(target, nullptr, px.x, px.y, 0, 0, kMoveOnlyFlags);
}

Extent UnitsToPixels(HWND dialog, Extent units) {
  RECT r{0, 0, units.x, units.y};
  if (!MapDialogRect(dialog, &r)) return {0, 0};
  return {r.right, r.bottom};
}

Extent PixelsToUnits(HWND dialog, Extent pixels) {
  RECT r{0, 0, kScaleUnits, kScaleUnits};
  if (!MapDialogRect(dialog, &r) || r.right <= 0 || r.bottom <= 0) return {0, 0};
  return {ScaleDown(pixels.x, r.right), ScaleDown(pixels.y, r.bottom)};
}

std::int32_t WindowGetUserValue(HWND window, std::int32_t n) {
  const Record* r = RegistryFind(window);
  return r != nullptr ? r->userValues[UserValueIndex(n)] : 0;
}

void WindowSetUserValue(HWND window, std::int32_t n, std::int32_t value) {
  if (Record* r = RegistryFind(window)) r->userValues[UserValueIndex(n)] = value;
}

void DialogSetIcon(HWND dialog, TextRef name) {
  const Record* r = RegistryFind(dialog);
  if (r == nullptr || (r->flags & RecordFlag::Dialog) == 0) return;
  ReplaceIcon(dialog, true, name);
  ReplaceIcon(dialog, false, name);
}

void WindowRedraw(HWND window) {
  RedrawWindow(window, nullptr, nullptr, kRedrawFlags);
}

}  // namespace tavrin
