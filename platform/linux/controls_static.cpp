// The STATIC class: text labels, frames, icon and bitmap images, and
// owner-drawn statics that ask their parent to draw them.
#include "controls_common.h"
#include "user_internal.h"

namespace tavrin::platform::controls {
namespace {

struct StaticState {
  // The image stays the caller's: STM_SETIMAGE hands it over only to show,
  // and the static does not destroy it when it goes.
  HANDLE image = nullptr;
  WPARAM imageType = IMAGE_BITMAP;
  HFONT font = nullptr;
};

StateTable<StaticState>& States() {
  static StateTable<StaticState> table;
  return table;
}

// The image type a static of this style shows, or -1 for a static that shows
// no image: SS_BITMAP takes bitmaps, SS_ICON icons and cursors.
bool Accepts(DWORD style, WPARAM type) {
  switch (style & SS_TYPEMASK) {
    case SS_BITMAP:
      return type == IMAGE_BITMAP;
    case SS_ICON:
      return type == IMAGE_ICON || type == IMAGE_CURSOR;
    default:
      return false;
  }
}

// Wine: a bitmap or icon static takes the size of its new image unless
// SS_CENTERIMAGE or SS_REALSIZECONTROL keeps the control's own size.
void FitToImage(HWND w, HANDLE image) {
  if (image == nullptr || (Style(w) & (SS_CENTERIMAGE | SS_REALSIZECONTROL))) return;
  const SIZE size = ImageSize(image);
  if (size.cx <= 0 || size.cy <= 0) return;
  SetWindowPos(w, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT SetImage(HWND w, StaticState& s, WPARAM type, HANDLE image) {
  if (!Accepts(Style(w), type)) return 0;
  const HANDLE previous = s.image;
  s.image = image;
  s.imageType = type;
  FitToImage(w, image);
  InvalidateWindow(w);
  return reinterpret_cast<LRESULT>(previous);
}

void DrawOwnerDrawn(HWND w, HDC dc, const RECT& client) {
  if ((Style(w) & SS_TYPEMASK) != SS_OWNERDRAW) return;
  SendDrawItem(w, dc, client, ODT_STATIC, IsWindowEnabled(w) ? 0 : ODS_DISABLED);
}

}  // namespace

LRESULT CALLBACK StaticProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  auto s = States().For(w, message);
  if (!s) return DefWindowProcA(w, message, wParam, lParam);
  if (auto r = HandleShared(States(), w, kLabelMessages, &s->font, message, wParam, lParam))
    return *r;
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case WM_PAINT:
      // Wine: every static, owner-drawn ones included, asks with
      // WM_CTLCOLORSTATIC before it draws.
      Paint(w, GetParent(w), WM_CTLCOLORSTATIC, DrawOwnerDrawn);
      return 0;
    case WM_LBUTTONUP:
      if (Style(w) & SS_NOTIFY) NotifyParent(w, STN_CLICKED);
      return 0;
    case STM_SETIMAGE:
      return SetImage(w, *s, wParam, reinterpret_cast<HANDLE>(lParam));
    case STM_GETIMAGE:
      return wParam == s->imageType ? reinterpret_cast<LRESULT>(s->image) : 0;
    case STM_SETICON:
      return SetImage(w, *s, IMAGE_ICON, reinterpret_cast<HANDLE>(wParam));
    case STM_GETICON:
      return s->imageType == IMAGE_ICON ? reinterpret_cast<LRESULT>(s->image) : 0;
    default:
      return DefWindowProcA(w, message, wParam, lParam);
  }
}

}  // namespace tavrin::platform::controls
