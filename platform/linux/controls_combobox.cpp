// The COMBOBOX class: an edit field (CBS_DROPDOWN, CBS_SIMPLE) or a fixed
// text (CBS_DROPDOWNLIST) over a list of items. The edit field is a child
// window with id 1001 and the drop-down list a window of class ComboLBox
// with id 1000 and no parent, as Wine makes them; both send their colour
// messages through the combo box to its parent, with their own handle.
#include <string>
#include <vector>

#include "controls_common.h"
#include "user_internal.h"

namespace tavrin::platform::controls {
namespace {

constexpr int kListId = 1000;
constexpr int kEditId = 1001;
// Wine: the edit field of a combo box has ES_NOHIDESEL and the style bit
// 0x200 that marks a combo box's edit (style 0x50000300).
constexpr DWORD kComboEditBit = 0x0200;
// Height of the open list below the combo box, in pixels.
constexpr int kDropHeight = 100;

struct ComboState {
  HWND edit = nullptr;
  HWND list = nullptr;
  bool dropped = false;
  bool settingText = false;  // the combo box itself is writing the edit field
  HFONT font = nullptr;
};

StateTable<ComboState>& States() {
  static StateTable<ComboState> table;
  return table;
}

bool HasEdit(HWND w) {
  return (Style(w) & 3) != CBS_DROPDOWNLIST;
}

// Writes the edit field (or, for a drop-down list box, the combo box's own
// text) without the edit's notifications reaching the parent: Wine's
// CB_SETCURSEL and WM_SETTEXT on a combo box send no CBN_EDITCHANGE.
void SetShownText(HWND w, ComboState& s, const char* text) {
  s.settingText = true;
  if (s.edit)
    SendMessageA(s.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  else
    DefWindowProcA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  s.settingText = false;
  InvalidateWindow(w);
}

void ShowSelected(HWND w, ComboState& s) {
  const LRESULT index = SendMessageA(s.list, LB_GETCURSEL, 0, 0);
  if (index == LB_ERR) return;
  const LRESULT length = SendMessageA(s.list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return;
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  SendMessageA(s.list, LB_GETTEXT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(text.data()));
  SetShownText(w, s, text.data());
}

// Opens the list: CBN_DROPDOWN first, then the list shows below the box.
void Drop(HWND w, const std::shared_ptr<ComboState>& s) {
  if (s->dropped || !s->list) return;
  NotifyParent(w, CBN_DROPDOWN);
  if (!IsWindow(w)) return;
  RECT box{};
  GetWindowRect(w, &box);
  s->dropped = true;
  SetWindowPos(s->list, nullptr, box.left, box.bottom, box.right - box.left, kDropHeight,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateWindow(s->list);
}

// Closes the list: Wine sends CBN_SELENDCANCEL (or CBN_SELENDOK when an
// item was chosen), hides the list, then sends CBN_CLOSEUP.
void CloseUp(HWND w, const std::shared_ptr<ComboState>& s, bool chosen) {
  if (!s->dropped) return;
  s->dropped = false;
  NotifyParent(w, chosen ? CBN_SELENDOK : CBN_SELENDCANCEL);
  if (s->list && IsWindow(s->list)) ShowWindow(s->list, SW_HIDE);
  if (IsWindow(w)) NotifyParent(w, CBN_CLOSEUP);
}

// Passes a CB_ message on to the list as its LB_ twin.
LRESULT ToList(const ComboState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  return s.list ? SendMessageA(s.list, message, wParam, lParam) : CB_ERR;
}

void Create(HWND w, ComboState& s) {
  const DWORD style = Style(w);
  const auto instance =
      reinterpret_cast<HINSTANCE>(static_cast<LONG_PTR>(GetWindowLongA(w, GWL_HINSTANCE)));
  RECT client{};
  GetClientRect(w, &client);
  if (HasEdit(w)) {
    DWORD editStyle = WS_CHILD | WS_VISIBLE | ES_NOHIDESEL | kComboEditBit;
    if (style & CBS_AUTOHSCROLL) editStyle |= ES_AUTOHSCROLL;
    s.edit =
        CreateWindowExA(0, "Edit", "", editStyle, 0, 0, client.right, client.bottom, w,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), instance, nullptr);
  }
  DWORD listStyle = WS_POPUP | WS_BORDER | WS_VSCROLL | LBS_COMBOBOX | LBS_HASSTRINGS | LBS_NOTIFY;
  if (style & CBS_SORT) listStyle |= LBS_SORT;
  s.list = CreateWindowExA(WS_EX_TOOLWINDOW, kComboListClass, "", listStyle, 0, 0, client.right,
                           kDropHeight, nullptr, nullptr, instance, nullptr);
  if (s.list) {
    SetWindowLongA(s.list, GWL_ID, kListId);
    SetListOwner(s.list, w);
  }
}

LRESULT FromChild(HWND w, const std::shared_ptr<ComboState>& s, WPARAM wParam, LPARAM lParam) {
  const HWND from = reinterpret_cast<HWND>(lParam);
  const int code = HIWORD(wParam);
  if (from == s->edit && from != nullptr) {
    switch (code) {
      case EN_UPDATE:
        if (!s->settingText) NotifyParent(w, CBN_EDITUPDATE);
        break;
      case EN_CHANGE:
        if (!s->settingText) NotifyParent(w, CBN_EDITCHANGE);
        break;
      case EN_SETFOCUS:
        NotifyParent(w, CBN_SETFOCUS);
        break;
      case EN_KILLFOCUS:
        CloseUp(w, s, false);
        if (IsWindow(w)) NotifyParent(w, CBN_KILLFOCUS);
        break;
      default:
        break;
    }
  } else if (from == s->list && from != nullptr && code == LBN_SELCHANGE) {
    ShowSelected(w, *s);
    if (IsWindow(w)) NotifyParent(w, CBN_SELCHANGE);
  }
  return 0;
}

}  // namespace

void ComboListChosen(HWND combo) {
  auto s = States().Get(combo);
  if (s) CloseUp(combo, s, true);
}

LRESULT CALLBACK ComboBoxProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  auto s = States().For(w, message);
  if (!s) return DefWindowProcA(w, message, wParam, lParam);
  // The edit field and the list take the combo box's font with it.
  if (message == WM_SETFONT) {
    if (s->edit) SendMessageA(s->edit, WM_SETFONT, wParam, lParam);
    if (s->list) SendMessageA(s->list, WM_SETFONT, wParam, 0);
  }
  if (auto r = HandleShared(States(), w, kKeepsFont, &s->font, message, wParam, lParam)) return *r;
  // Colour messages of the edit field and the list go on to the parent
  // unchanged: lParam stays the child that asks.
  if (IsColorMessage(message)) return SendMessageA(GetParent(w), message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      Create(w, *s);
      return s->list ? 0 : -1;
    case WM_DESTROY:
      // The list has no parent: it goes with the combo box (Wine).
      if (s->list && IsWindow(s->list)) DestroyWindow(s->list);
      s->list = nullptr;
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETTEXT:
      SetShownText(w, *s, lParam ? reinterpret_cast<const char*>(lParam) : "");
      return TRUE;
    case WM_GETTEXT:
      if (s->edit) return SendMessageA(s->edit, WM_GETTEXT, wParam, lParam);
      return DefWindowProcA(w, message, wParam, lParam);
    case WM_GETTEXTLENGTH:
      if (s->edit) return SendMessageA(s->edit, WM_GETTEXTLENGTH, 0, 0);
      return DefWindowProcA(w, message, wParam, lParam);
    case WM_SETFOCUS:
      // The edit field takes the focus of a combo box that has one.
      if (s->edit) {
        SetFocus(s->edit);
      } else {
        NotifyParent(w, CBN_SETFOCUS);
      }
      return 0;
    case WM_KILLFOCUS:
      if (!s->edit) {
        CloseUp(w, s, false);
        if (IsWindow(w)) NotifyParent(w, CBN_KILLFOCUS);
      }
      return 0;
    case WM_LBUTTONDOWN:
      if (GetFocus() != w && GetFocus() != s->edit) SetFocus(w);
      if (!IsWindow(w)) return 0;
      if (s->dropped)
        CloseUp(w, s, false);
      else
        Drop(w, s);
      return 0;
    case WM_KEYDOWN:
      // Wine: the arrow keys step the selection: CBN_SELENDOK, then
      // CBN_SELCHANGE.
      if ((wParam == VK_DOWN || wParam == VK_UP) && s->list) {
        const LRESULT count = SendMessageA(s->list, LB_GETCOUNT, 0, 0);
        LRESULT index = SendMessageA(s->list, LB_GETCURSEL, 0, 0);
        index = wParam == VK_DOWN ? (index == LB_ERR ? 0 : index + 1) : index - 1;
        if (index < 0 || index >= count) return 0;
        SendMessageA(s->list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        ShowSelected(w, *s);
        NotifyParent(w, CBN_SELENDOK);
        if (IsWindow(w)) NotifyParent(w, CBN_SELCHANGE);
      }
      return 0;
    case WM_COMMAND:
      return FromChild(w, s, wParam, lParam);
    case WM_PAINT:
      // Wine: a combo box paints itself with WM_CTLCOLOREDIT, whatever its kind.
      Paint(w, GetParent(w), WM_CTLCOLOREDIT, nullptr);
      return 0;
    case CB_ADDSTRING:
      return ToList(*s, LB_ADDSTRING, wParam, lParam);
    case CB_INSERTSTRING:
      return ToList(*s, LB_INSERTSTRING, wParam, lParam);
    case CB_DELETESTRING:
      return ToList(*s, LB_DELETESTRING, wParam, lParam);
    case CB_GETCOUNT:
      return ToList(*s, LB_GETCOUNT, wParam, lParam);
    case CB_GETCURSEL:
      return ToList(*s, LB_GETCURSEL, wParam, lParam);
    case CB_GETLBTEXT:
      return ToList(*s, LB_GETTEXT, wParam, lParam);
    case CB_GETLBTEXTLEN:
      return ToList(*s, LB_GETTEXTLEN, wParam, lParam);
    case CB_GETITEMDATA:
      return ToList(*s, LB_GETITEMDATA, wParam, lParam);
    case CB_SETITEMDATA:
      return ToList(*s, LB_SETITEMDATA, wParam, lParam);
    case CB_FINDSTRING:
      return ToList(*s, LB_FINDSTRING, wParam, lParam);
    case CB_FINDSTRINGEXACT:
      return ToList(*s, LB_FINDSTRINGEXACT, wParam, lParam);
    case CB_GETITEMHEIGHT:
      return ToList(*s, LB_GETITEMHEIGHT, wParam, lParam);
    case CB_RESETCONTENT:
      // Wine: the list empties, the edit field too, and the result is TRUE.
      ToList(*s, LB_RESETCONTENT, 0, 0);
      SetShownText(w, *s, "");
      return TRUE;
    case CB_SETCURSEL: {
      // Wine: -1 clears the selection and the text (result CB_ERR); an index
      // past the end fails and changes nothing; no notification either way.
      const LRESULT r = ToList(*s, LB_SETCURSEL, wParam, 0);
      if (static_cast<int>(wParam) == -1)
        SetShownText(w, *s, "");
      else if (r != LB_ERR)
        ShowSelected(w, *s);
      return r;
    }
    case CB_SELECTSTRING: {
      const LRESULT r = ToList(*s, LB_SELECTSTRING, wParam, lParam);
      if (r != LB_ERR) ShowSelected(w, *s);
      return r;
    }
    case CB_SHOWDROPDOWN:
      if (wParam)
        Drop(w, s);
      else
        CloseUp(w, s, false);
      return TRUE;
    case CB_GETDROPPEDSTATE:
      return s->dropped ? TRUE : FALSE;
    case CB_LIMITTEXT:
      if (s->edit) SendMessageA(s->edit, EM_LIMITTEXT, wParam, 0);
      return TRUE;
    case CB_GETEDITSEL:
      return s->edit ? SendMessageA(s->edit, EM_GETSEL, wParam, lParam) : CB_ERR;
    case CB_SETEDITSEL:
      if (!s->edit) return CB_ERR;
      SendMessageA(s->edit, EM_SETSEL, LOWORD(lParam), static_cast<short>(HIWORD(lParam)));
      return TRUE;
    default:
      return DefWindowProcA(w, message, wParam, lParam);
  }
}

}  // namespace tavrin::platform::controls

BOOL GetComboBoxInfo(HWND combo, PCOMBOBOXINFO info) {
  using namespace tavrin::platform::controls;
  auto s = States().Get(combo);
  if (!s || info == nullptr) return FALSE;
  RECT client{};
  GetClientRect(combo, &client);
  info->rcItem = client;
  info->rcButton = RECT{client.right, client.top, client.right, client.bottom};
  info->stateButton = 0;
  info->hwndCombo = combo;
  info->hwndItem = s->edit;
  info->hwndList = s->list;
  return TRUE;
}
