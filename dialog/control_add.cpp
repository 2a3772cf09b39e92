// ControlAdd: one child window of an engine dialog, with its class and style
// from the kind table, geometry in the dialog's mode, the dialog's font, a
// record with its callback, initial items, and what its kind needs after
// creation (default button, image, drawing surface).
#include "dialog/control_kinds.h"
#include "dialog/engine.h"
#include "dialog/registry.h"
#include "dialog/resource_lookup.h"
#include "engine_instance.h"
#include "platform/wrap32.h"

namespace tavrin {
namespace {

constexpr std::uint32_t kDefaultPushButton = 0x0001;  // BS_DEFPUSHBUTTON
constexpr UINT kLoadMap3DColors = 0x1000;             // LR_LOADMAP3DCOLORS
// The graphic surface's font: 8-point "MS Sans Serif" at normal weight.
constexpr int kGraphicFontPoints = 8;
constexpr int kPointsPerInch = 72;
constexpr LONG kNormalWeight = 400;  // FW_NORMAL
constexpr char kGraphicFontFace[] = "MS Sans Serif";

// Pixel geometry of a new control.
struct Geometry {
  std::int32_t x, y, width, height;
};

// The caller's geometry in pixels: in dialog units the whole rectangle is
// converted (so the size is the difference of the converted edges).
Geometry ToPixels(HWND dialog, bool units, Geometry g) {
  if (!units) return g;
  RECT r{g.x, g.y, WrapAdd(g.x, g.width), WrapAdd(g.y, g.height)};
  MapDialogRect(dialog, &r);
  return {r.left, r.top, WrapSub(r.right, r.left), WrapSub(r.bottom, r.top)};
}

// Releases an image the control handed back.
void ReleaseImage(HANDLE image, bool icon) {
  if (image == nullptr) return;
  if (icon) {
    DestroyIcon(static_cast<HICON>(image));
  } else {
    DeleteObject(image);
  }
}

// Loads the image of an image control and attaches it.
void AttachImage(Record& r, HWND control, ControlKind kind, TextRef caption, const Geometry& px) {
  const bool icon = (r.flags & RecordFlag::IconImage) != 0;
  int cx = 0;
  int cy = 0;
  if (kind == ControlKind::FittedImage) {
    RECT client{};
    GetClientRect(control, &client);
    cx = client.right - client.left;
    cy = client.bottom - client.top;
  } else if (kind == ControlKind::FittedImageButton) {
    cx = px.width;
    cy = px.height;
  }
  const UINT type = icon ? IMAGE_ICON : IMAGE_BITMAP;
  HANDLE image = LoadImageA(EngineInstance(), caption.data(), type, cx, cy, kLoadMap3DColors);
  if (image == nullptr) return;
  r.image = image;
  const bool isStatic = kind == ControlKind::Image || kind == ControlKind::FittedImage;
  const LRESULT previous = SendMessageA(control, isStatic ? STM_SETIMAGE : BM_SETIMAGE, type,
                                        reinterpret_cast<LPARAM>(image));
  HANDLE handedBack = reinterpret_cast<HANDLE>(previous);
  if (handedBack != image) ReleaseImage(handedBack, icon);
}

// Selects the graphic's own font into its memory DC and takes its metrics,
// text alignment and colours. Without the font (not made, or not selected)
// it is deleted and nothing else is set.
void PrepareGraphicFont(Record& r) {
  LOGFONTA font{};
  font.lfHeight = -(GetDeviceCaps(r.memDC, LOGPIXELSY) * kGraphicFontPoints / kPointsPerInch);
  font.lfWeight = kNormalWeight;
  static_assert(sizeof(kGraphicFontFace) <= sizeof(font.lfFaceName));
  for (std::size_t i = 0; i < sizeof(kGraphicFontFace); ++i)
    font.lfFaceName[i] = kGraphicFontFace[i];
  HFONT own = CreateFontIndirectA(&font);
  HGDIOBJ previous = own != nullptr ? SelectObject(r.memDC, own) : nullptr;
  if (previous == nullptr || previous == HGDI_ERROR) {
    if (own != nullptr) DeleteObject(own);
    return;
  }
  r.savedFont = static_cast<HFONT>(previous);
  TEXTMETRICA metrics{};
  GetTextMetricsA(r.memDC, &metrics);
  r.charWidth = metrics.tmAveCharWidth;
  r.lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
  SetTextAlign(r.memDC, TA_UPDATECP);
  SetTextColor(r.memDC, r.drawColor);
  SetBkColor(r.memDC, r.fillColor);
  SetBkMode(r.memDC, OPAQUE);
}

// The memory picture behind a graphic control: a bitmap of the control's
// client size filled with the button-face colour, in a memory DC of its own.
// Whatever is made here belongs to the record; what cannot be made is left
// null (a bitmap that cannot be selected is deleted at once).
void PrepareGraphic(Record& r, HWND control, bool units, std::int32_t unitWidth,
                    std::int32_t unitHeight) {
  if (HDC dc = GetDC(control)) {
    RECT client{};
    GetClientRect(control, &client);
    r.graphicWidth = client.right - client.left;
    r.graphicHeight = client.bottom - client.top;
    r.memDC = CreateCompatibleDC(dc);
    if (r.memDC != nullptr) {
      HBITMAP bitmap = CreateCompatibleBitmap(dc, r.graphicWidth, r.graphicHeight);
      HGDIOBJ previous = bitmap != nullptr ? SelectObject(r.memDC, bitmap) : nullptr;
      if (previous == nullptr || previous == HGDI_ERROR) {
        if (bitmap != nullptr) DeleteObject(bitmap);
      } else {
        r.savedBitmap = static_cast<HBITMAP>(previous);
      }
      RECT whole{0, 0, r.graphicWidth, r.graphicHeight};
      FillRect(r.memDC, &whole, GetSysColorBrush(COLOR_BTNFACE));
    }
    ReleaseDC(control, dc);
    if (r.memDC != nullptr) PrepareGraphicFont(r);
  }
  // A size of -1 unit would divide by zero: its scale stays 0.
  if (units && unitWidth != -1) {
    r.scaleX = static_cast<float>(r.graphicWidth) / static_cast<float>(std::int64_t{unitWidth} + 1);
  }
  if (units && unitHeight != -1) {
    r.scaleY =
        static_cast<float>(r.graphicHeight) / static_cast<float>(std::int64_t{unitHeight} + 1);
  }
}

}  // namespace

HWND ControlAdd(ControlKind kind, TextRef className, HWND dialog, std::int32_t id, TextRef caption,
                std::span<const TextRef> items, std::int32_t x, std::int32_t y, std::int32_t width,
                std::int32_t height, std::uint32_t style, std::uint32_t exStyle,
                ControlCallback callback) {
  const Record* owner = RegistryFind(dialog);
  if (owner == nullptr) return nullptr;
  const ControlKindInfo* info = FindControlKind(kind);
  if (info == nullptr) return nullptr;
  std::uint32_t flags = RecordFlag::Control | (owner->flags & RecordFlag::GeometryMask);
  const bool units = (owner->flags & RecordFlag::Units) != 0;
  HFONT font = owner->font;

  const Geometry px = ToPixels(dialog, units, {x, y, width, height});
  ControlStyles styles;
  if (!ControlWindowStyles(kind, style, exStyle, px.width, px.height, styles)) return nullptr;
  std::uint32_t finalStyle = styles.style;
  const char* windowClass = info->className != nullptr ? info->className : className.data();

  const bool image = IsImageKind(kind);
  if (image) {
    if (HasBitmapResource(EngineInstance(), caption.view())) {
      flags |= RecordFlag::BitmapImage;
    } else {
      flags |= RecordFlag::IconImage;
      finalStyle = IconImageStyle(kind, finalStyle);
    }
  }

  HWND control =
      CreateWindowExA(styles.exStyle, windowClass, image ? nullptr : caption.data(), finalStyle,
                      px.x, px.y, px.width, px.height, dialog,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), EngineInstance(), nullptr);
  if (control == nullptr) return nullptr;
  // Every message sent from here on can reach a callback or a custom
  // control's procedure, which may end the dialog (and with it the control
  // and its record): after each one the control is looked for again.
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (!IsWindow(control)) return nullptr;

  Record* r = RegistryAdd(flags, control, dialog, static_cast<std::int32_t>(kind));
  if (r != nullptr) r->callback = callback;

  const UINT addMessage = kind == ControlKind::ComboBox ? CB_ADDSTRING : LB_ADDSTRING;
  for (const TextRef& item : items) {
    if (item.empty()) break;
    SendMessageA(control, addMessage, 0, reinterpret_cast<LPARAM>(item.data()));
    if (!IsWindow(control)) return nullptr;
  }

  const bool pushButton = kind == ControlKind::Button || kind == ControlKind::ImageButton ||
                          kind == ControlKind::FittedImageButton;
  if (pushButton && (finalStyle & kDefaultPushButton) != 0) {
    SendMessageA(dialog, DM_SETDEFID, static_cast<WPARAM>(id), 0);
    if (!IsWindow(control)) return nullptr;
  }
  // Without a record there is nothing to keep an image or a surface in; a
  // record that went while the control stayed is not made again. Only these
  // two kinds use the record from here on, so only they look for it again.
  const bool graphic = kind == ControlKind::Graphic;
  if (r == nullptr || (!image && !graphic)) return control;
  r = RegistryFind(control);
  if (r != nullptr && image) AttachImage(*r, control, kind, caption, px);
  if (r != nullptr && graphic) PrepareGraphic(*r, control, units, width, height);
  return control;
}

}  // namespace tavrin
