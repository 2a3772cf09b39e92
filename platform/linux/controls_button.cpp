// The BUTTON class: push and default push buttons, check boxes, three-state
// boxes, radio buttons and group boxes; clicks by mouse, Space and BM_CLICK,
// check states, images, and painting in the parent's colours.
#include <array>
#include <vector>

#include "controls_common.h"
#include "user_internal.h"

namespace tavrin::platform::controls {
namespace {

struct ButtonState {
  int check = BST_UNCHECKED;
  bool pushed = false;    // held down by the mouse or Space
  bool tracking = false;  // the mouse went down on it and has not come up
  bool spaceDown = false;
  HANDLE image = nullptr;
  WPARAM imageType = IMAGE_BITMAP;
  HFONT font = nullptr;
};

StateTable<ButtonState>& States() {
  static StateTable<ButtonState> table;
  return table;
}

// What each button type (BS_TYPEMASK) is, measured under Wine: its
// WM_GETDLGCODE answer, the colour message it paints with, the highest
// check state BM_SETCHECK accepts (0: none), and what a click does to it.
enum class ClickAction { None, Toggle, Cycle3, CheckRadio };
struct ButtonType {
  LRESULT dlgCode;
  UINT colorMessage;
  int maxCheck;
  ClickAction click;
};
constexpr std::array<ButtonType, 16> kTypes = {{
    {DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON, WM_CTLCOLORBTN, 0, ClickAction::None},  // BS_PUSHBUTTON
    {DLGC_BUTTON | DLGC_DEFPUSHBUTTON, WM_CTLCOLORBTN, 0, ClickAction::None},    // BS_DEFPUSHBUTTON
    {DLGC_BUTTON, WM_CTLCOLORSTATIC, 1, ClickAction::None},                      // BS_CHECKBOX
    {DLGC_BUTTON, WM_CTLCOLORSTATIC, 1, ClickAction::Toggle},                    // BS_AUTOCHECKBOX
    {DLGC_BUTTON | DLGC_RADIOBUTTON, WM_CTLCOLORSTATIC, 1, ClickAction::None},   // BS_RADIOBUTTON
    {DLGC_BUTTON, WM_CTLCOLORSTATIC, 2, ClickAction::None},                      // BS_3STATE
    {DLGC_BUTTON, WM_CTLCOLORSTATIC, 2, ClickAction::Cycle3},                    // BS_AUTO3STATE
    {DLGC_STATIC, WM_CTLCOLORSTATIC, 0, ClickAction::None},                      // BS_GROUPBOX
    {DLGC_BUTTON, WM_CTLCOLORBTN, 0, ClickAction::None},                         // BS_USERBUTTON
    {DLGC_BUTTON | DLGC_RADIOBUTTON, WM_CTLCOLORSTATIC, 1,
     ClickAction::CheckRadio},                            // BS_AUTORADIOBUTTON
    {DLGC_BUTTON, WM_CTLCOLORBTN, 0, ClickAction::None},  // BS_PUSHBOX
    {DLGC_BUTTON, WM_CTLCOLORBTN, 0, ClickAction::None},  // BS_OWNERDRAW
    {DLGC_BUTTON, WM_CTLCOLORBTN, 0, ClickAction::None},  // 12 to 15: no such types
    {DLGC_BUTTON, WM_CTLCOLORBTN, 0, ClickAction::None},
    {DLGC_BUTTON, WM_CTLCOLORBTN, 0, ClickAction::None},
    {DLGC_BUTTON, WM_CTLCOLORBTN, 0, ClickAction::None},
}};

DWORD TypeOf(HWND w) {
  return Style(w) & BS_TYPEMASK;
}
const ButtonType& TypeInfo(HWND w) {
  return kTypes[TypeOf(w)];
}
bool IsRadio(DWORD type) {
  return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

// Wine: checking a radio button gives it WS_TABSTOP and unchecking takes it
// away, so Tab reaches a group at its checked button.
void SetCheck(HWND w, ButtonState& s, WPARAM wanted) {
  const ButtonType& t = TypeInfo(w);
  if (t.maxCheck == 0) return;
  const int check =
      static_cast<int>(wanted > static_cast<WPARAM>(t.maxCheck) ? t.maxCheck : wanted);
  if (IsRadio(TypeOf(w))) {
    const DWORD style = Style(w);
    const DWORD tabbed = check ? (style | WS_TABSTOP) : (style & ~static_cast<DWORD>(WS_TABSTOP));
    if (tabbed != style) SetWindowLongA(w, GWL_STYLE, static_cast<LONG>(tabbed));
  }
  if (s.check != check) {
    s.check = check;
    InvalidateWindow(w);
  }
}

// Unchecks the other automatic radio buttons of `w`'s group: the siblings
// from the last WS_GROUP window at or before it up to the next WS_GROUP one.
void UncheckGroup(HWND w) {
  const HWND parent = GetParent(w);
  if (parent == nullptr) return;
  std::vector<HWND> group;
  bool found = false;
  for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    if (Style(c) & WS_GROUP) {
      if (found) break;
      group.clear();
    }
    if (c == w) found = true;
    group.push_back(c);
  }
  for (HWND c : group) {
    if (c == w || TypeOf(c) != BS_AUTORADIOBUTTON) continue;
    SendMessageA(c, BM_SETCHECK, BST_UNCHECKED, 0);
  }
}

// A click: automatic types change their check state first, then the parent
// hears BN_CLICKED.
void Click(HWND w, const std::shared_ptr<ButtonState>& s) {
  switch (TypeInfo(w).click) {
    case ClickAction::Toggle:
      SendMessageA(w, BM_SETCHECK, s->check ? BST_UNCHECKED : BST_CHECKED, 0);
      break;
    case ClickAction::Cycle3:
      SendMessageA(w, BM_SETCHECK, static_cast<WPARAM>((s->check + 1) % 3), 0);
      break;
    case ClickAction::CheckRadio:
      SendMessageA(w, BM_SETCHECK, BST_CHECKED, 0);
      UncheckGroup(w);
      break;
    case ClickAction::None:
      break;
  }
  NotifyParent(w, BN_CLICKED);
}

void DrawOwnerDrawn(HWND w, HDC dc, const RECT& client) {
  if (TypeOf(w) != BS_OWNERDRAW) return;
  auto s = States().Get(w);
  UINT state = 0;
  if (s && s->pushed) state |= ODS_SELECTED;
  if (GetFocus() == w) state |= ODS_FOCUS;
  if (!IsWindowEnabled(w)) state |= ODS_DISABLED;
  SendDrawItem(w, dc, client, ODT_BUTTON, state);
}

void SetPushed(HWND w, ButtonState& s, bool pushed) {
  if (s.pushed == pushed) return;
  s.pushed = pushed;
  InvalidateWindow(w);
}

}  // namespace

LRESULT CALLBACK ButtonProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  auto s = States().For(w, message);
  if (!s) return DefWindowProcA(w, message, wParam, lParam);
  if (auto r = HandleShared(States(), w, kLabelMessages, &s->font, message, wParam, lParam))
    return *r;
  switch (message) {
    case WM_GETDLGCODE:
      return TypeInfo(w).dlgCode;
    case WM_PAINT:
      Paint(w, GetParent(w), TypeInfo(w).colorMessage, DrawOwnerDrawn);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // Wine: the button takes the focus and the mouse until the button is up.
      if (GetFocus() != w) SetFocus(w);
      SetCapture(w);
      s->tracking = true;
      SetPushed(w, *s, true);
      return 0;
    case WM_MOUSEMOVE:
      if (s->tracking) SetPushed(w, *s, InClient(w, lParam));
      return 0;
    case WM_LBUTTONUP: {
      if (!s->tracking) return 0;
      s->tracking = false;
      const bool inside = InClient(w, lParam);
      SetPushed(w, *s, false);
      if (GetCapture() == w) ReleaseCapture();
      // Wine: no click when the mouse comes up outside the button.
      if (inside) Click(w, s);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) {
        s->spaceDown = true;
        SetPushed(w, *s, true);
      }
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && s->spaceDown) {
        s->spaceDown = false;
        SetPushed(w, *s, false);
        Click(w, s);
      }
      return 0;
    case WM_KILLFOCUS:
      s->spaceDown = false;
      SetPushed(w, *s, false);
      return 0;
    case WM_SETFOCUS:
      InvalidateWindow(w);
      return 0;
    case BM_CLICK:
      // Wine: a mouse press and release at the button's corner, so the button
      // takes the focus; disabled buttons still report the click.
      SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, 0);
      if (IsWindow(w)) SendMessageA(w, WM_LBUTTONUP, 0, 0);
      return 0;
    case BM_GETCHECK:
      return TypeInfo(w).maxCheck == 0 ? BST_UNCHECKED : s->check;
    case BM_SETCHECK:
      SetCheck(w, *s, wParam);
      return 0;
    case BM_GETSTATE:
      return (TypeInfo(w).maxCheck == 0 ? 0 : s->check) | (s->pushed ? BST_PUSHED : 0) |
             (GetFocus() == w ? BST_FOCUS : 0);
    case BM_SETSTATE:
      SetPushed(w, *s, wParam != 0);
      return 0;
    case BM_SETSTYLE: {
      const DWORD style = (Style(w) & ~static_cast<DWORD>(BS_TYPEMASK)) |
                          (static_cast<DWORD>(wParam) & BS_TYPEMASK);
      SetWindowLongA(w, GWL_STYLE, static_cast<LONG>(style));
      if (LOWORD(lParam)) InvalidateWindow(w);
      return 0;
    }
    case BM_SETIMAGE: {
      if (wParam != IMAGE_BITMAP && wParam != IMAGE_ICON) return 0;
      const HANDLE previous = s->image;
      s->image = reinterpret_cast<HANDLE>(lParam);
      s->imageType = wParam;
      InvalidateWindow(w);
      return reinterpret_cast<LRESULT>(previous);
    }
    case BM_GETIMAGE:
      return wParam == s->imageType ? reinterpret_cast<LRESULT>(s->image) : 0;
    default:
      return DefWindowProcA(w, message, wParam, lParam);
  }
}

}  // namespace tavrin::platform::controls
