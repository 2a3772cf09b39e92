// The dialog manager: CreateDialogIndirectParamA from an in-memory
// DLGTEMPLATE (font, size from dialog units, placement and the creation
// messages as Win32 sends them), DefDlgProcA, MapDialogRect and the
// dialog-item helpers.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "gdi_internal.h"
#include "platform/linux/hooks.h"
#include "user32_state.h"
#include "user_internal.h"

namespace tavrin::platform::user {
namespace {

// Screen resolution of the dialog font's point size: Wine's 96 dpi.
constexpr int kLogPixels = 96;
constexpr int kPointsPerInch = 72;
// Base units when the font gives none: GetDialogBaseUnits of Wine's system
// font (9, 16).
constexpr SIZE kSystemBaseUnits{9, 16};
// The first DWORD of an extended template (DLGTEMPLATEEX): version 1 and
// the signature 0xFFFF.
constexpr DWORD kExtendedTemplateSignature = 0xFFFF0001;
// Longest text read from a template: guards against a template without its
// terminating zero word.
constexpr std::size_t kMaxTemplateText = 4096;

struct PredefinedClass {
  WORD ordinal;
  const char* name;
};
// Class ordinals of dialog templates.
constexpr PredefinedClass kPredefinedClasses[] = {
    {0x0080, "BUTTON"},  {0x0081, "EDIT"},      {0x0082, "STATIC"},
    {0x0083, "LISTBOX"}, {0x0084, "SCROLLBAR"}, {0x0085, "COMBOBOX"},
};

// Reads the 16-bit words that follow a DLGTEMPLATE, without assuming any
// alignment of the caller's buffer.
class TemplateReader {
 public:
  explicit TemplateReader(const unsigned char* at) : at_(at) {}

  WORD Word() {
    WORD w;
    std::memcpy(&w, at_, sizeof w);
    at_ += sizeof w;
    return w;
  }
  DWORD DoubleWord() {
    DWORD d;
    std::memcpy(&d, at_, sizeof d);
    at_ += sizeof d;
    return d;
  }
  short Short() { return static_cast<short>(Word()); }

  // A zero-terminated text of 16-bit code units, narrowed unit by unit: a
  // unit below 256 becomes the byte of the same value, any other '?'.
  std::string Text() {
    std::string s;
    for (WORD w = Word(); w != 0 && s.size() < kMaxTemplateText; w = Word())
      s.push_back(w < 0x100 ? static_cast<char>(w) : '?');
    return s;
  }
  // A name-or-ordinal field: 0x0000 none, 0xFFFF then an ordinal, or a text.
  void NameOrOrdinal(std::string& name, WORD& ordinal) {
    name.clear();
    ordinal = 0;
    WORD first;
    std::memcpy(&first, at_, sizeof first);
    if (first == 0) {
      at_ += sizeof first;
    } else if (first == 0xFFFF) {
      at_ += sizeof first;
      ordinal = Word();
    } else {
      name = Text();
    }
  }
  void AlignToDoubleWord(const unsigned char* base) {
    const auto offset = static_cast<std::size_t>(at_ - base);
    at_ += (4 - offset % 4) % 4;
  }
  const unsigned char* Position() const { return at_; }
  void Skip(std::size_t bytes) { at_ += bytes; }

 private:
  const unsigned char* at_;
};

std::string ClassFromField(const std::string& name, WORD ordinal, const char* fallback) {
  if (!name.empty()) return name;
  for (const auto& c : kPredefinedClasses)
    if (c.ordinal == ordinal) return c.name;
  return fallback;
}

int UnitsToPixelsX(int x, SIZE base) {
  return MulDivRound(x, base.cx, 4);
}
int UnitsToPixelsY(int y, SIZE base) {
  return MulDivRound(y, base.cy, 8);
}

HFONT MakeTemplateFont(WORD points, const std::string& face) {
  LOGFONTA lf{};
  lf.lfHeight = -MulDivRound(points, kLogPixels, kPointsPerInch);
  lf.lfWeight = FW_DONTCARE;
  lf.lfCharSet = DEFAULT_CHARSET;
  const std::size_t n = std::min(face.size(), sizeof lf.lfFaceName - 1);
  std::memcpy(lf.lfFaceName, face.data(), n);
  lf.lfFaceName[n] = '\0';
  return CreateFontIndirectA(&lf);
}

// Where the dialog's window rectangle goes. The template's x and y place
// the client area, relative to the owner's client area when there is one;
// DS_CENTER centres the whole window in the work area. A top-level dialog
// is then kept inside the work area less a dialog frame on the right and
// bottom, as Wine does (a dialog at x 500, y 400 units of 226x213 pixels
// lands at 815, 552).
POINT PlaceDialog(DWORD style, POINT client, SIZE window, RECT insets, HWND parent) {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  POINT p{client.x - insets.left, client.y - insets.top};
  if (style & WS_CHILD) return p;
  if (style & DS_CENTER) {
    p.x = (work.left + work.right - window.cx) / 2;
    p.y = (work.top + work.bottom - window.cy) / 2;
  } else if (parent && !(style & DS_ABSALIGN)) {
    POINT origin{0, 0};
    ClientToScreen(parent, &origin);
    p.x += origin.x;
    p.y += origin.y;
  }
  const LONG frame = GetSystemMetrics(SM_CXDLGFRAME);
  if (p.x + window.cx > work.right - frame) p.x = work.right - frame - window.cx;
  if (p.y + window.cy > work.bottom - frame) p.y = work.bottom - frame - window.cy;
  p.x = std::max(p.x, work.left);
  p.y = std::max(p.y, work.top);
  return p;
}

// Creates the controls of a template with items (cdit > 0).
bool CreateItems(HWND dialog, TemplateReader& r, const unsigned char* base, int count,
                 HINSTANCE instance, SIZE units, HFONT font) {
  for (int i = 0; i < count; ++i) {
    r.AlignToDoubleWord(base);
    // An item keeps its template style as it is (Wine): DS_3DLOOK is the
    // dialog's alone, and its bit would make a push button a radio button.
    const DWORD style = r.DoubleWord();
    const DWORD exStyle = r.DoubleWord();
    const int x = r.Short();
    const int y = r.Short();
    const int cx = r.Short();
    const int cy = r.Short();
    const WORD id = r.Word();
    std::string className, title;
    WORD classOrdinal = 0, titleOrdinal = 0;
    r.NameOrOrdinal(className, classOrdinal);
    r.NameOrOrdinal(title, titleOrdinal);
    const WORD extraBytes = r.Word();
    LPVOID creationData = extraBytes ? const_cast<unsigned char*>(r.Position()) : nullptr;
    r.Skip(extraBytes);
    const std::string cls = ClassFromField(className, classOrdinal, "STATIC");
    // Position and size are converted apart (Wine: an item of 3x3 units at
    // 3,3 on an 8x15 font is 6x6 pixels, not the 6x5 between its edges).
    HWND item = CreateWindowExA(
        exStyle | WS_EX_NOPARENTNOTIFY, cls.c_str(), title.c_str(), style | WS_CHILD,
        UnitsToPixelsX(x, units), UnitsToPixelsY(y, units), UnitsToPixelsX(cx, units),
        UnitsToPixelsY(cy, units), dialog, reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)),
        instance, creationData);
    if (!item) return false;
    if (font) SendMessageA(item, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (!IsWindow(dialog)) return false;
  }
  return true;
}

bool ReturnsValueDirectly(UINT message) {
  // For these messages a dialog procedure's return value is the result
  // itself; for every other one it only says "handled" and the result is
  // DWL_MSGRESULT.
  if (IsColorMessage(message)) return true;
  switch (message) {
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}

void SaveFocus(const WindowPtr& dialog) {
  const HWND focus = GetFocus();
  if (focus && IsChild(dialog->handle, focus)) dialog->dialog.savedFocus = focus;
}

void RestoreFocus(const WindowPtr& dialog) {
  HWND target = dialog->dialog.savedFocus;
  if (!target || !IsChild(dialog->handle, target) || !IsWindowEnabled(target) ||
      !IsWindowVisible(target))
    target = GetNextDlgTabItem(dialog->handle, nullptr, FALSE);
  if (target) FocusDialogControl(target);
}

// DM_SETDEFID: the new default id; push buttons follow with BM_SETSTYLE.
void SetDefaultId(const WindowPtr& dialog, WORD id) {
  dialog->dialog.defId = id;
  const auto children = dialog->children;
  for (HWND child : children) {
    const LRESULT code = SendMessageA(child, WM_GETDLGCODE, 0, 0);
    const bool isNew = GetDlgCtrlID(child) == id;
    if ((code & DLGC_DEFPUSHBUTTON) && !isNew)
      SendMessageA(child, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    else if ((code & DLGC_UNDEFPUSHBUTTON) && isNew)
      SendMessageA(child, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  }
}

LRESULT EraseDialog(const WindowPtr& dialog, HDC dc) {
  const HWND h = dialog->handle;
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageA(h, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h)));
  if (!brush)
    brush = reinterpret_cast<HBRUSH>(DefWindowProcA(h, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                                                    reinterpret_cast<LPARAM>(h)));
  if (!brush || dialog->gone) return 0;
  const SIZE s = ClientSize(*dialog);
  const RECT r{0, 0, s.cx, s.cy};
  FillRect(dc, &r, brush);
  return 1;
}

}  // namespace

LRESULT DialogDefault(const WindowPtr& dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND h = dialog->handle;
  auto& d = dialog->dialog;
  switch (message) {
    case WM_ERASEBKGND:
      return EraseDialog(dialog, reinterpret_cast<HDC>(wParam));
    case WM_NCDESTROY:
      if (d.ownedFont) {
        DeleteObject(d.ownedFont);
        if (d.font == d.ownedFont) d.font = nullptr;
        d.ownedFont = nullptr;
      }
      return DefWindowProcA(h, message, wParam, lParam);
    case WM_SHOWWINDOW:
      if (!wParam) SaveFocus(dialog);
      return DefWindowProcA(h, message, wParam, lParam);
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) SaveFocus(dialog);
      return 0;
    case WM_SETFOCUS:
      RestoreFocus(dialog);
      return 0;
    case DM_SETDEFID:
      SetDefaultId(dialog, LOWORD(wParam));
      return TRUE;
    case DM_GETDEFID:
      return d.defId ? MAKELONG(d.defId, DC_HASDEFID) : 0;
    case WM_NEXTDLGCTL: {
      const HWND target = lParam ? reinterpret_cast<HWND>(wParam)
                                 : GetNextDlgTabItem(h, GetFocus(), wParam ? TRUE : FALSE);
      if (target) FocusDialogControl(target);
      return 0;
    }
    case WM_CLOSE:
      // A dialog is not destroyed by WM_CLOSE: the dialog manager posts the
      // Cancel command instead, with the IDCANCEL control (or none) as lParam.
      PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(h, IDCANCEL)));
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(d.font);
    case WM_SETFONT:
      d.font = reinterpret_cast<HFONT>(wParam);
      return 0;
    default:
      return DefWindowProcA(h, message, wParam, lParam);
  }
}

}  // namespace tavrin::platform::user

using namespace tavrin::platform::user;

HWND CreateDialogIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA lpTemplate, HWND hWndParent,
                                DLGPROC lpDialogFunc, LPARAM dwInitParam) {
  if (tavrin::platform::ConsumeFailure(tavrin::platform::Fail::CreateDialogIndirectParamA))
    return nullptr;
  if (lpTemplate == nullptr) return nullptr;
  const auto* base = reinterpret_cast<const unsigned char*>(lpTemplate);
  TemplateReader r(base);
  if (r.DoubleWord() == kExtendedTemplateSignature) return nullptr;  // DLGTEMPLATEEX: not supported
  r = TemplateReader(base);
  // Every dialog gets DS_3DLOOK (a template style of 0x80000040 reads back
  // as 0x84000044 under Wine: WS_CLIPSIBLINGS and DS_3DLOOK added).
  const DWORD style = r.DoubleWord() | DS_3DLOOK;
  DWORD exStyle = r.DoubleWord();
  const int itemCount = r.Word();
  const int x = r.Short();
  const int y = r.Short();
  const int cx = r.Short();
  const int cy = r.Short();
  std::string menuName, className;
  WORD menuOrdinal = 0, classOrdinal = 0;
  r.NameOrOrdinal(menuName, menuOrdinal);  // our windows have no menus
  r.NameOrOrdinal(className, classOrdinal);
  const std::string title = r.Text();
  HFONT font = nullptr;
  if (style & DS_SETFONT) {
    const WORD points = r.Word();
    font = MakeTemplateFont(points, r.Text());
  }
  SIZE units = tavrin::platform::DialogBaseUnits(
      font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
  if (units.cx <= 0 || units.cy <= 0) units = kSystemBaseUnits;

  // Every dialog is a control parent; a modal frame shows in the extended style.
  exStyle |= WS_EX_CONTROLPARENT;
  if (style & DS_MODALFRAME) exStyle |= WS_EX_DLGMODALFRAME;
  const RECT insets = FrameInsets(style, exStyle);
  const SIZE client{UnitsToPixelsX(cx, units), UnitsToPixelsY(cy, units)};
  const SIZE window{client.cx + insets.left + insets.right, client.cy + insets.top + insets.bottom};
  const POINT at = PlaceDialog(style, POINT{UnitsToPixelsX(x, units), UnitsToPixelsY(y, units)},
                               window, insets, hWndParent);

  const std::string cls = ClassFromField(className, classOrdinal, kDialogClassName);
  const HWND h =
      CreateWindowExA(exStyle, cls.c_str(), title.c_str(), style & ~WS_VISIBLE, at.x, at.y,
                      window.cx, window.cy, hWndParent, nullptr, hInstance, nullptr);
  auto dialog = Find(h);
  if (!dialog) {
    if (font) DeleteObject(font);
    return nullptr;
  }
  dialog->isDialog = true;
  dialog->dialog.font = font;
  dialog->dialog.ownedFont = font;
  dialog->dialog.baseUnits = units;
  // The dialog procedure is attached after the window exists, so it never
  // sees WM_NCCREATE or WM_CREATE; its first messages are WM_SETFONT (with
  // DS_SETFONT) and WM_INITDIALOG.
  dialog->dialog.proc = lpDialogFunc;
  if (style & DS_SETFONT) SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  if (!IsWindow(h)) return nullptr;
  if (itemCount > 0 && !CreateItems(h, r, base, itemCount, hInstance, units, font)) {
    if (IsWindow(h) && !(style & DS_NOFAILCREATE)) DestroyWindow(h);
    if (!IsWindow(h)) return nullptr;
  }
  const HWND first = GetNextDlgTabItem(h, nullptr, FALSE);
  const LRESULT setFocus =
      SendMessageA(h, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), dwInitParam);
  if (!IsWindow(h)) return nullptr;
  // A TRUE from WM_INITDIALOG asks for the focus on the first control,
  // which it gets when the dialog is activated.
  if (setFocus && first) dialog->dialog.savedFocus = first;
  if (style & WS_VISIBLE) ShowWindow(h, SW_SHOWNORMAL);
  return IsWindow(h) ? h : nullptr;
}

LRESULT DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
  auto dialog = Find(hDlg);
  if (!dialog) return 0;
  if (dialog->dialog.proc) {
    // The message result starts at 0 for every message, as Win32 does.
    dialog->dialog.msgResult = 0;
    const INT_PTR handled = dialog->dialog.proc(hDlg, Msg, wParam, lParam);
    if (handled) return ReturnsValueDirectly(Msg) ? handled : dialog->dialog.msgResult;
    if (dialog->gone) return 0;
  }
  return DialogDefault(dialog, Msg, wParam, lParam);
}

BOOL MapDialogRect(HWND hDlg, LPRECT lpRect) {
  auto dialog = Find(hDlg);
  if (!dialog || !dialog->isDialog || lpRect == nullptr) return FALSE;
  SIZE units = dialog->dialog.baseUnits;
  if (units.cx <= 0 || units.cy <= 0) units = kSystemBaseUnits;
  lpRect->left = UnitsToPixelsX(lpRect->left, units);
  lpRect->right = UnitsToPixelsX(lpRect->right, units);
  lpRect->top = UnitsToPixelsY(lpRect->top, units);
  lpRect->bottom = UnitsToPixelsY(lpRect->bottom, units);
  return TRUE;
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
  // The first child in creation order with the id; all 32 bits must match
  // (Win32 finds no id -1 control under 0xFFFF).
  return FirstChildWithId(hDlg, nIDDlgItem);
}

int GetDlgCtrlID(HWND hWnd) {
  auto w = Find(hWnd);
  return w ? w->id : 0;
}

LRESULT SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam) {
  const HWND item = GetDlgItem(hDlg, nIDDlgItem);
  return item ? SendMessageA(item, Msg, wParam, lParam) : 0;
}

BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
  return SetWindowTextA(GetDlgItem(hDlg, nIDDlgItem), lpString);
}

UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax) {
  if (lpString && cchMax > 0) lpString[0] = '\0';
  const HWND item = GetDlgItem(hDlg, nIDDlgItem);
  if (!item) return 0;
  return static_cast<UINT>(GetWindowTextA(item, lpString, cchMax));
}

BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
  const HWND item = GetDlgItem(hDlg, nIDButton);
  if (!item) return FALSE;
  SendMessageA(item, BM_SETCHECK, uCheck, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND hDlg, int nIDButton) {
  return static_cast<UINT>(SendDlgItemMessageA(hDlg, nIDButton, BM_GETCHECK, 0, 0));
}

BOOL CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
  auto dialog = Find(hDlg);
  if (!dialog) return FALSE;
  const auto children = dialog->children;
  for (HWND child : children) {
    const int id = GetDlgCtrlID(child);
    if (id < nIDFirstButton || id > nIDLastButton) continue;
    SendMessageA(child, BM_SETCHECK, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  return TRUE;
}
