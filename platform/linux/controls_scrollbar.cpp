// The SCROLLBAR class: a scroll bar control (horizontal, or vertical with
// SBS_VERT) with a range and a position; arrow keys and clicks send the
// parent WM_HSCROLL or WM_VSCROLL with the control in lParam.
#include <algorithm>

#include "controls_common.h"
#include "user_internal.h"

namespace tavrin::platform::controls {
namespace {

struct ScrollState {
  int minimum = 0;
  int maximum = 100;
  int position = 0;
};

StateTable<ScrollState>& States() {
  static StateTable<ScrollState> table;
  return table;
}

bool Vertical(HWND w) {
  return (Style(w) & SBS_VERT) != 0;
}

void Scroll(HWND w, int request) {
  const UINT message = Vertical(w) ? WM_VSCROLL : WM_HSCROLL;
  SendMessageA(GetParent(w), message, MAKEWPARAM(request, 0), reinterpret_cast<LPARAM>(w));
}

}  // namespace

LRESULT CALLBACK ScrollBarProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  auto s = States().For(w, message);
  if (!s) return DefWindowProcA(w, message, wParam, lParam);
  if (auto r = HandleShared(States(), w, kOnlyDestroy, nullptr, message, wParam, lParam)) return *r;
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;  // Wine
    case WM_SETFONT:
      return 0;  // Wine: a scroll bar keeps no font (WM_GETFONT gives 0)
    case WM_PAINT:
      Paint(w, GetParent(w), WM_CTLCOLORSCROLLBAR, nullptr);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_UP || wParam == VK_LEFT) Scroll(w, SB_LINEUP);
      if (wParam == VK_DOWN || wParam == VK_RIGHT) Scroll(w, SB_LINEDOWN);
      if (wParam == VK_PRIOR) Scroll(w, SB_PAGEUP);
      if (wParam == VK_NEXT) Scroll(w, SB_PAGEDOWN);
      return 0;
    case WM_LBUTTONDOWN: {
      // The half nearer the start scrolls back a line, the other forward.
      RECT client{};
      GetClientRect(w, &client);
      const int along =
          Vertical(w) ? static_cast<short>(HIWORD(lParam)) : static_cast<short>(LOWORD(lParam));
      const int middle = Vertical(w) ? client.bottom / 2 : client.right / 2;
      Scroll(w, along < middle ? SB_LINEUP : SB_LINEDOWN);
      if (IsWindow(w)) Scroll(w, SB_ENDSCROLL);
      return 0;
    }
    case SBM_SETRANGE:
      s->minimum = static_cast<int>(wParam);
      s->maximum = static_cast<int>(lParam);
      s->position = std::clamp(s->position, s->minimum, std::max(s->minimum, s->maximum));
      return 0;
    case SBM_GETRANGE:
      if (wParam) *reinterpret_cast<int*>(wParam) = s->minimum;
      if (lParam) *reinterpret_cast<int*>(lParam) = s->maximum;
      return 0;
    case SBM_SETPOS: {
      const int previous = s->position;
      s->position =
          std::clamp(static_cast<int>(wParam), s->minimum, std::max(s->minimum, s->maximum));
      if (lParam) InvalidateWindow(w);
      return previous;
    }
    case SBM_GETPOS:
      return s->position;
    default:
      return DefWindowProcA(w, message, wParam, lParam);
  }
}

}  // namespace tavrin::platform::controls
