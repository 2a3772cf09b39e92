// Keyboard handling of dialogs: IsDialogMessageA (Tab and Shift+Tab
// between tab stops, arrows within a group, Enter for the default command,
// Esc for Cancel, every other message of the dialog dispatched),
// GetNextDlgTabItem, GetNextDlgGroupItem and the focus move that dialog
// navigation makes.
#include <vector>

#include "user32_state.h"

namespace tavrin::platform::user {
namespace {

bool IsVisibleAndEnabled(HWND h) {
  const auto style = static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE));
  return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

bool StartsGroup(HWND h) {
  return (static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE)) & WS_GROUP) != 0;
}

bool IsTabStop(HWND h) {
  const auto style = static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE));
  return (style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

// Enter: the focused control when it is the default push button, otherwise
// the dialog's default id (DM_GETDEFID), whose control must not be
// disabled; IDOK when the dialog reports no default id. The command comes
// as WM_COMMAND with BN_CLICKED and the control (or null) as lParam.
void PressEnter(HWND dialog) {
  const HWND focus = GetFocus();
  if (focus && IsChild(dialog, focus) &&
      (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED),
                 reinterpret_cast<LPARAM>(focus));
    return;
  }
  const LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
  if (HIWORD(def) == DC_HASDEFID) {
    const WORD id = LOWORD(def);
    const HWND item = GetDlgItem(dialog, id);
    if (item && !IsWindowEnabled(item)) return;  // a disabled default button does nothing
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(item));
    return;
  }
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

// Handles a WM_KEYDOWN for the dialog; false when the key is to be
// dispatched to the control like any other message.
bool DialogKey(HWND dialog, MSG* msg) {
  const LRESULT code =
      SendMessageA(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
  if (code & DLGC_WANTMESSAGE) return false;
  switch (msg->wParam) {
    case VK_TAB:
      if (code & DLGC_WANTTAB) return false;
      // wParam of WM_NEXTDLGCTL is the Shift state: non-zero goes backwards.
      SendMessageA(dialog, WM_NEXTDLGCTL, static_cast<WPARAM>(GetKeyState(VK_SHIFT) & 0x8000), 0);
      return true;
    case VK_ESCAPE:
    case VK_CANCEL:
      // Esc sends IDCANCEL with the IDCANCEL control, even a disabled one.
      SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
      return true;
    case VK_RETURN:
      PressEnter(dialog);
      return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
      // Arrows move within the control's group, wrapping, unless it wants them.
      if (code & DLGC_WANTARROWS) return false;
      const BOOL back = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
      const HWND target = GetNextDlgGroupItem(dialog, msg->hwnd, back);
      if (target) SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

void FocusDialogControl(HWND control) {
  // The control's dialog code is asked before the focus moves; a control
  // with a selection gets all of its text selected.
  const LRESULT code = SendMessageA(control, WM_GETDLGCODE, 0, 0);
  SetFocus(control);
  if ((code & DLGC_HASSETSEL) && IsWindow(control)) SendMessageA(control, EM_SETSEL, 0, -1);
}

}  // namespace tavrin::platform::user

using namespace tavrin::platform::user;

HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
  auto dialog = Find(hDlg);
  if (!dialog) return nullptr;
  const std::vector<HWND> children = dialog->children;
  const auto n = static_cast<long>(children.size());
  if (n == 0) return nullptr;
  // Start from the control (or before the first / after the last one) and
  // walk in creation order, wrapping, to the next visible, enabled tab stop.
  long start = bPrevious ? n : -1;
  for (long i = 0; i < n; ++i)
    if (children[static_cast<std::size_t>(i)] == hCtl) start = i;
  const long step = bPrevious ? -1 : 1;
  for (long k = 1; k <= n; ++k) {
    const long i = ((start + step * k) % n + n) % n;
    const HWND h = children[static_cast<std::size_t>(i)];
    if (h != hCtl && IsTabStop(h)) return h;
  }
  return hCtl;
}

HWND GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
  auto dialog = Find(hDlg);
  if (!dialog) return nullptr;
  const std::vector<HWND> children = dialog->children;
  const auto n = static_cast<long>(children.size());
  long at = -1;
  for (long i = 0; i < n; ++i)
    if (children[static_cast<std::size_t>(i)] == hCtl) at = i;
  if (at < 0) return n ? children.front() : nullptr;
  // The group runs from the last WS_GROUP control at or before hCtl up to
  // the next WS_GROUP control (Wine: with groups 11-14 and 15-16, Down on 14
  // gives 11 and Up on 11 gives 14; disabled and hidden controls are passed).
  long first = at;
  while (first > 0 && !StartsGroup(children[static_cast<std::size_t>(first)])) --first;
  long end = first + 1;
  while (end < n && !StartsGroup(children[static_cast<std::size_t>(end)])) ++end;
  const long size = end - first;
  const long step = bPrevious ? -1 : 1;
  for (long k = 1; k < size; ++k) {
    const long i = first + ((at - first + step * k) % size + size) % size;
    const HWND h = children[static_cast<std::size_t>(i)];
    if (IsVisibleAndEnabled(h)) return h;
  }
  return hCtl;
}

BOOL IsDialogMessageA(HWND hDlg, LPMSG lpMsg) {
  if (lpMsg == nullptr || !IsWindow(hDlg)) return FALSE;
  if (lpMsg->hwnd != hDlg && !IsChild(hDlg, lpMsg->hwnd)) return FALSE;
  switch (lpMsg->message) {
    case WM_KEYDOWN:
      if (DialogKey(hDlg, lpMsg)) return TRUE;
      break;
    case WM_CHAR:
      // The control is asked for its dialog code and then gets the character.
      SendMessageA(lpMsg->hwnd, WM_GETDLGCODE, lpMsg->wParam, reinterpret_cast<LPARAM>(lpMsg));
      break;
    default:
      break;
  }
  TranslateMessage(lpMsg);
  DispatchMessageA(lpMsg);
  return TRUE;
}
