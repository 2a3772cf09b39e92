// DefWindowProcA: the default handling of window messages (text, close,
// system commands, painting, size and move reports, default control
// colours) and CallWindowProcA.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/wrap32.h"
#include "user32_state.h"
#include "user_internal.h"

namespace tavrin::platform::user {
namespace {

constexpr UINT kNoClientSize = 0x0800;  // see SetWindowPos
constexpr UINT kNoClientMove = 0x1000;
constexpr UINT kSystemCommandMask = 0xFFF0;          // the low 4 bits of SC_* are Win32's own
constexpr LPARAM kAltDownBit = 0x20000000;           // context code of WM_SYSKEYDOWN
constexpr std::uintptr_t kLastColorIndexBrush = 31;  // (HBRUSH)(COLOR_x + 1) class brushes

struct ControlColor {
  UINT message;
  int textIndex;
  int backIndex;
};
// Default colours of WM_CTLCOLOR* in DefWindowProcA: edit fields and lists
// in window colours, everything else on the button face.
constexpr ControlColor kControlColors[] = {
    {WM_CTLCOLORMSGBOX, COLOR_WINDOWTEXT, COLOR_BTNFACE},
    {WM_CTLCOLOREDIT, COLOR_WINDOWTEXT, COLOR_WINDOW},
    {WM_CTLCOLORLISTBOX, COLOR_WINDOWTEXT, COLOR_WINDOW},
    {WM_CTLCOLORBTN, COLOR_WINDOWTEXT, COLOR_BTNFACE},
    {WM_CTLCOLORDLG, COLOR_WINDOWTEXT, COLOR_BTNFACE},
    {WM_CTLCOLORSCROLLBAR, COLOR_WINDOWTEXT, COLOR_SCROLLBAR},
    {WM_CTLCOLORSTATIC, COLOR_WINDOWTEXT, COLOR_BTNFACE},
};

LRESULT DefaultControlColor(UINT message, HDC dc) {
  for (const auto& c : kControlColors) {
    if (c.message != message) continue;
    SetTextColor(dc, GetSysColor(c.textIndex));
    SetBkColor(dc, GetSysColor(c.backIndex));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(c.backIndex));
  }
  return 0;
}

LRESULT EraseBackground(const WindowPtr& w, HDC dc) {
  HBRUSH brush = w->windowClass->background;
  if (brush == nullptr) return 0;
  const auto value = reinterpret_cast<std::uintptr_t>(brush);
  // A class brush of (HBRUSH)(COLOR_x + 1) names a system colour.
  if (value <= kLastColorIndexBrush) brush = GetSysColorBrush(static_cast<int>(value) - 1);
  const SIZE s = ClientSize(*w);
  const RECT r{0, 0, s.cx, s.cy};
  FillRect(dc, &r, brush);
  return 1;
}

WPARAM SizeType(const Window& w) {
  if (w.style & WS_MAXIMIZE) return SIZE_MAXIMIZED;
  if (w.style & WS_MINIMIZE) return SIZE_MINIMIZED;
  return SIZE_RESTORED;
}

void ReportPositionChange(const WindowPtr& w, const WINDOWPOS& wp) {
  if (!(wp.flags & kNoClientMove)) {
    const RECT in = (w->style & WS_MINIMIZE) ? RECT{} : WindowInsets(*w);
    Deliver(
        w, WM_MOVE, 0,
        MAKELPARAM(tavrin::WrapAdd(w->rect.left, in.left), tavrin::WrapAdd(w->rect.top, in.top)));
  }
  if (!(wp.flags & kNoClientSize) && !w->gone) {
    const SIZE s = ClientSize(*w);
    Deliver(w, WM_SIZE, SizeType(*w), MAKELPARAM(s.cx, s.cy));
  }
}

LRESULT SystemCommand(HWND h, WPARAM command) {
  switch (command & kSystemCommandMask) {
    case SC_CLOSE:
      SendMessageA(h, WM_CLOSE, 0, 0);
      break;
    case SC_MINIMIZE:
      ShowWindow(h, SW_MINIMIZE);
      break;
    case SC_MAXIMIZE:
      ShowWindow(h, SW_MAXIMIZE);
      break;
    case SC_RESTORE:
      ShowWindow(h, SW_RESTORE);
      break;
    default:
      break;
  }
  return 0;
}

}  // namespace
}  // namespace tavrin::platform::user

using namespace tavrin::platform::user;

LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  auto w = Find(hWnd);
  if (!w) return 0;
  if (tavrin::platform::IsColorMessage(Msg))
    return DefaultControlColor(Msg, reinterpret_cast<HDC>(wParam));
  switch (Msg) {
    case WM_NCCREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) w->text = cs->lpszName;
      return TRUE;
    }
    case WM_SETTEXT:
      w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      return TRUE;
    case WM_GETTEXT: {
      if (wParam == 0 || lParam == 0) return 0;
      auto* buffer = reinterpret_cast<char*>(lParam);
      const std::size_t n = std::min<std::size_t>(w->text.size(), wParam - 1);
      std::memcpy(buffer, w->text.data(), n);
      buffer[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    case WM_SYSCOMMAND:
      return SystemCommand(hWnd, wParam);
    case WM_SYSKEYDOWN:
      // Alt+F4 asks the top-level window to close.
      if (wParam == VK_F4 && (lParam & kAltDownBit))
        PostMessageA(TopLevelOf(hWnd), WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (BeginPaint(hWnd, &ps)) EndPaint(hWnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return EraseBackground(w, reinterpret_cast<HDC>(wParam));
    case WM_WINDOWPOSCHANGED:
      if (lParam) ReportPositionChange(w, *reinterpret_cast<const WINDOWPOS*>(lParam));
      return 0;
    case WM_NCACTIVATE:
      return TRUE;
    case WM_NCHITTEST:
      return HTCLIENT;
    default:
      return 0;
  }
}

LRESULT CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return lpPrevWndFunc ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}
