// EngineDialogProc: the fixed route of each message through the control
// stage, the menu item, the dialog stage and the engine's own defaults.
#include "dialog/dialog_proc.h"

#include <array>
#include <cstddef>

#include "dialog/engine.h"
#include "dialog/registry.h"

namespace tavrin {
namespace {

// The combo box whose drop-down list is open (CBN_DROPDOWN .. CBN_CLOSEUP).
HWND g_droppedCombo = nullptr;

// Notification codes that open and close a combo box's list.
constexpr WORD kComboDropDown = 7;  // CBN_DROPDOWN
constexpr WORD kComboCloseUp = 8;   // CBN_CLOSEUP
// Kinds the routing needs to know.
constexpr std::int32_t kGraphicKind = static_cast<std::int32_t>(ControlKind::Graphic);
constexpr std::int32_t kComboKind = static_cast<std::int32_t>(ControlKind::ComboBox);

// The item-data request: structure size of MENUITEMINFOA without the
// hbmpItem field of later versions (44 bytes on 32-bit Windows), MIIM_DATA.
#ifdef _WIN32
constexpr UINT kMenuItemInfoSize = offsetof(MENUITEMINFOA, hbmpItem);
static_assert(sizeof(void*) != 4 || kMenuItemInfoSize == 44);
#else
constexpr UINT kMenuItemInfoSize = sizeof(MENUITEMINFOA);
#endif

// System colour indexes of ColorDefault, per WM_CTLCOLOR message, from
// WM_CTLCOLORMSGBOX (0x0132) to WM_CTLCOLORSTATIC (0x0138).
struct CtlColorIndexes {
  int text;
  int back;
};
constexpr std::array<CtlColorIndexes, 7> kCtlColorIndexes{{
    {COLOR_MENUTEXT, COLOR_MENU},         // WM_CTLCOLORMSGBOX
    {COLOR_WINDOWTEXT, COLOR_WINDOW},     // WM_CTLCOLOREDIT
    {COLOR_WINDOWTEXT, COLOR_WINDOW},     // WM_CTLCOLORLISTBOX
    {COLOR_BTNTEXT, COLOR_BTNFACE},       // WM_CTLCOLORBTN
    {COLOR_WINDOWTEXT, COLOR_BTNFACE},    // WM_CTLCOLORDLG
    {COLOR_WINDOWTEXT, COLOR_SCROLLBAR},  // WM_CTLCOLORSCROLLBAR
    {COLOR_WINDOWTEXT, COLOR_BTNFACE},    // WM_CTLCOLORSTATIC
}};
// The indexes used for the edit field and list of a coloured combo box.
constexpr CtlColorIndexes kComboPartIndexes{COLOR_WINDOWTEXT, COLOR_WINDOW};

bool IsCtlColorMessage(UINT message) {
  return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

// Calls `callback` with the message's four values; 0 when there is none.
INT_PTR Offer(ControlCallback callback, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (callback == nullptr) return 0;
  return callback(dialog, message, wParam, lParam);
}

// The callback stored as item data of the menu item `id` of the dialog's
// menu, or null (no menu, no such item, zero data).
ControlCallback MenuItemCallback(HWND dialog, UINT id) {
  HMENU menu = GetMenu(dialog);
  if (menu == nullptr) return nullptr;
  MENUITEMINFOA info{};
  info.cbSize = kMenuItemInfoSize;
  info.fMask = MIIM_DATA;
  if (!GetMenuItemInfoA(menu, id, FALSE, &info)) return nullptr;
  return reinterpret_cast<ControlCallback>(info.dwItemData);
}

// The child window a command's 16-bit id names. Win32 compares the whole
// id, so the low word is tried as it is (ids up to 65535) and then sign
// extended (negative ids, such as the -1 that labels share).
HWND CommandControl(HWND dialog, WORD id) {
  if (HWND control = GetDlgItem(dialog, id)) return control;
  return GetDlgItem(dialog, static_cast<SHORT>(id));
}

// Handled: keeps the first non-zero result as the dialog's message result.
INT_PTR Handled(HWND dialog, INT_PTR result) {
  if (GetWindowLongPtrA(dialog, DWLP_MSGRESULT) == 0) {
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
  }
  return result;
}

// The engine's default: the close command ends the dialog with result 0.
INT_PTR Default(HWND dialog, UINT message, WPARAM wParam) {
  if (message == WM_SYSCOMMAND && LOWORD(wParam) == SC_CLOSE) {
    DialogEnd(dialog, 0);
    return 1;
  }
  return 0;
}

// Copies a graphic control's picture when it asks to be drawn whole.
INT_PTR DrawGraphic(HWND dialog, LPARAM lParam) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (item == nullptr) return 0;
  const Record* r = RegistryFind(GetDlgItem(dialog, static_cast<int>(item->CtlID)));
  if (r == nullptr || r->kind != kGraphicKind || (item->itemAction & ODA_DRAWENTIRE) == 0) {
    return 0;
  }
  BitBlt(item->hDC, 0, 0, r->graphicWidth, r->graphicHeight, r->memDC, 0, 0, SRCCOPY);
  return 1;
}

// Sets up `dc` from the record's colours and gives the background brush; 0
// when the record never had a text colour (the system colours it).
INT_PTR PaintWithRecord(const Record& r, HDC dc, CtlColorIndexes indexes) {
  if (r.textColor == ColorUnset) return 0;
  const COLORREF text =
      r.textColor == ColorDefault ? GetSysColor(indexes.text) : static_cast<COLORREF>(r.textColor);
  SetTextColor(dc, text);
  if (IsColorRef(r.backColor)) {
    SetBkColor(dc, static_cast<COLORREF>(r.backColor));
    return reinterpret_cast<INT_PTR>(r.backBrush);
  }
  if (r.backColor == ColorDefault) {
    HBRUSH brush = GetSysColorBrush(indexes.back);
    SetBkColor(dc, GetSysColor(indexes.back));
    return reinterpret_cast<INT_PTR>(brush);
  }
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

// Colours for a WM_CTLCOLOR message: from the control's record, or, for the
// edit field and list of a combo box (windows without records), from the
// combo box's record.
INT_PTR PaintColors(UINT message, WPARAM wParam, LPARAM lParam) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  HWND target = reinterpret_cast<HWND>(lParam);
  if (const Record* r = RegistryFind(target)) {
    return PaintWithRecord(*r, dc, kCtlColorIndexes[message - WM_CTLCOLORMSGBOX]);
  }
  if (message != WM_CTLCOLOREDIT && message != WM_CTLCOLORLISTBOX) return 0;
  HWND owner = reinterpret_cast<HWND>(GetWindowLongPtrA(target, GWLP_HWNDPARENT));
  if (owner == nullptr) owner = g_droppedCombo;
  const Record* combo = RegistryFind(owner);
  if (combo == nullptr || combo->kind != kComboKind) return 0;
  return PaintWithRecord(*combo, dc, kComboPartIndexes);
}

// The dialog stage and everything after it (the dialog callback, removal of
// the records, drawing, colours, defaults).
INT_PTR DialogStage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  const Record* own = RegistryFind(dialog);
  if (own == nullptr) return Default(dialog, message, wParam);
  const INT_PTR result = Offer(own->callback, dialog, message, wParam, lParam);
  // `own` may be gone now (the callback can end the dialog): not used again.
  if (message == WM_NCDESTROY) {
    RegistryRemove(dialog);
    // Win32 frees the font it made for the template in its own handling of
    // the window's last message, which a non-zero answer would skip (Wine:
    // the font then outlives the dialog). So this message always gets 0.
    return 0;
  }
  if (message == WM_DRAWITEM) return DrawGraphic(dialog, lParam);
  if (result != 0) return Handled(dialog, result);
  if (IsCtlColorMessage(message)) return PaintColors(message, wParam, lParam);
  return Default(dialog, message, wParam);
}

// The control stage: the control's callback first, then the dialog stage.
INT_PTR ControlStage(HWND dialog, HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  const Record* r = RegistryFind(control);
  if (r != nullptr) {
    const INT_PTR result = Offer(r->callback, dialog, message, wParam, lParam);
    if (result != 0) return Handled(dialog, result);
  }
  return DialogStage(dialog, message, wParam, lParam);
}

}  // namespace

HWND DroppedCombo() {
  return g_droppedCombo;
}

INT_PTR CALLBACK EngineDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) <= WA_CLICKACTIVE) return 1;
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      return ControlStage(dialog, reinterpret_cast<HWND>(lParam), message, wParam, lParam);
    case WM_COMMAND: {
      const WORD code = HIWORD(wParam);
      if (code == kComboDropDown) g_droppedCombo = reinterpret_cast<HWND>(lParam);
      if (code == kComboCloseUp) g_droppedCombo = nullptr;
      const WORD id = LOWORD(wParam);
      if (HWND control = CommandControl(dialog, id)) {
        return ControlStage(dialog, control, message, wParam, lParam);
      }
      if (ControlCallback item = MenuItemCallback(dialog, id)) {
        const INT_PTR result = item(dialog, message, wParam, lParam);
        if (result != 0) return Handled(dialog, result);
      }
      break;
    }
    default:
      break;
  }
  return DialogStage(dialog, message, wParam, lParam);
}

}  // namespace tavrin
