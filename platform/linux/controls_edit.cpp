// The EDIT class, single line: its text, caret and selection, typing
// through WM_CHAR and the editing keys, the text limit, read-only mode, and
// EN_UPDATE then EN_CHANGE to the parent whenever the text changes.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "controls_common.h"
#include "user_internal.h"

namespace tavrin::platform::controls {
namespace {

// Wine: a new single-line edit takes up to 30000 characters from the keyboard;
// EM_LIMITTEXT with 0 lifts the limit to 0x7FFFFFFE.
constexpr std::size_t kDefaultLimit = 30000;
constexpr std::size_t kNoLimit = 0x7FFFFFFE;

struct EditState {
  std::string text;
  std::size_t anchor = 0;  // where the selection started
  std::size_t caret = 0;   // where it ends; the caret
  std::size_t limit = kDefaultLimit;
  bool modified = false;
  HFONT font = nullptr;
};

StateTable<EditState>& States() {
  static StateTable<EditState> table;
  return table;
}

std::size_t SelStart(const EditState& s) {
  return std::min(s.anchor, s.caret);
}
std::size_t SelEnd(const EditState& s) {
  return std::max(s.anchor, s.caret);
}

// Keeps the window's own copy of the text (DefWindowProcA's) equal to the
// control's, so every road to the text gives the same answer.
void SyncWindowText(HWND w, const EditState& s) {
  DefWindowProcA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.text.c_str()));
}

// A change of the text: EN_UPDATE, then EN_CHANGE, as Wine sends them.
void Changed(HWND w, EditState& s) {
  s.modified = true;
  SyncWindowText(w, s);
  InvalidateWindow(w);
  NotifyParent(w, EN_UPDATE);
  if (IsWindow(w)) NotifyParent(w, EN_CHANGE);
}

// The bytes of `in` that this edit's style lets through, cased as it asks.
std::string Filtered(HWND w, std::string in) {
  const DWORD style = Style(w);
  for (char& c : in) {
    const auto u = static_cast<unsigned char>(c);
    if (style & ES_UPPERCASE) c = static_cast<char>(std::toupper(u));
    if (style & ES_LOWERCASE) c = static_cast<char>(std::tolower(u));
  }
  return in;
}

// Replaces the selection with `insert`, cut to what the limit leaves room
// for. Returns false when some of it did not fit (EN_MAXTEXT).
bool ReplaceSelection(EditState& s, const std::string& insert) {
  const std::size_t start = SelStart(s);
  const std::size_t end = SelEnd(s);
  const std::size_t kept = s.text.size() - (end - start);
  const std::size_t room = s.limit > kept ? s.limit - kept : 0;
  const std::size_t n = std::min(room, insert.size());
  s.text.replace(start, end - start, insert, 0, n);
  s.anchor = s.caret = start + n;
  return n == insert.size();
}

bool IsTypeable(unsigned char c) {
  return c >= 0x20 && c != 0x7F;
}

void Type(HWND w, EditState& s, unsigned char c) {
  if (Style(w) & ES_READONLY) return;  // Wine: typing into a read-only edit does nothing
  if (c == '\b') {
    if (SelStart(s) == SelEnd(s)) {
      if (s.caret == 0) return;
      s.anchor = s.caret - 1;
    }
    ReplaceSelection(s, {});
    Changed(w, s);
    return;
  }
  // Wine: control characters (Tab, Enter, Ctrl+letters) and DEL are not text.
  if (!IsTypeable(c)) return;
  if ((Style(w) & ES_NUMBER) && !std::isdigit(c)) return;
  const std::string insert = Filtered(w, std::string(1, static_cast<char>(c)));
  if (s.text.size() - (SelEnd(s) - SelStart(s)) >= s.limit) {
    NotifyParent(w, EN_MAXTEXT);
    return;
  }
  ReplaceSelection(s, insert);
  Changed(w, s);
}

void MoveCaret(HWND w, EditState& s, std::size_t to) {
  const bool extend = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  s.caret = std::min(to, s.text.size());
  if (!extend) s.anchor = s.caret;
  InvalidateWindow(w);
}

void Key(HWND w, EditState& s, WPARAM vk) {
  switch (vk) {
    case VK_LEFT:
      MoveCaret(w, s, s.caret > 0 ? s.caret - 1 : 0);
      break;
    case VK_RIGHT:
      MoveCaret(w, s, s.caret + 1);
      break;
    case VK_HOME:
      MoveCaret(w, s, 0);
      break;
    case VK_END:
      MoveCaret(w, s, s.text.size());
      break;
    case VK_DELETE:
      if (Style(w) & ES_READONLY) break;
      if (SelStart(s) == SelEnd(s)) {
        if (s.caret >= s.text.size()) break;
        s.anchor = s.caret + 1;
      }
      ReplaceSelection(s, {});
      Changed(w, s);
      break;
    default:
      break;
  }
}

// Wine's EM_SETSEL: a start of -1 drops the selection and leaves the caret;
// other values are clamped to the text, and start may exceed end.
void SetSel(HWND w, EditState& s, WPARAM start, LPARAM end) {
  const auto length = s.text.size();
  if (static_cast<int>(start) == -1) {
    s.anchor = s.caret;
  } else {
    s.anchor = std::min<std::size_t>(static_cast<UINT>(start), length);
    s.caret = std::min<std::size_t>(static_cast<UINT>(end), length);
  }
  InvalidateWindow(w);
}

LRESULT GetSel(const EditState& s, WPARAM startOut, LPARAM endOut) {
  const auto start = static_cast<DWORD>(SelStart(s));
  const auto end = static_cast<DWORD>(SelEnd(s));
  if (startOut) *reinterpret_cast<DWORD*>(startOut) = start;
  if (endOut) *reinterpret_cast<DWORD*>(endOut) = end;
  // Win32: positions beyond 16 bits make the packed result -1.
  if (start > 0xFFFF || end > 0xFFFF) return -1;
  return static_cast<LRESULT>(MAKELONG(start, end));
}

LRESULT GetText(const EditState& s, WPARAM size, LPARAM buffer) {
  if (buffer == 0 || size == 0) return 0;
  const std::size_t n = std::min<std::size_t>(s.text.size(), size - 1);
  std::memcpy(reinterpret_cast<char*>(buffer), s.text.data(), n);
  reinterpret_cast<char*>(buffer)[n] = '\0';
  return static_cast<LRESULT>(n);
}

// The colour message of an edit: read-only and disabled edits paint as
// statics (Wine: WM_CTLCOLORSTATIC), others as edits.
UINT ColorMessage(HWND w) {
  if ((Style(w) & ES_READONLY) || !IsWindowEnabled(w)) return WM_CTLCOLORSTATIC;
  return WM_CTLCOLOREDIT;
}

}  // namespace

LRESULT CALLBACK EditProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  auto s = States().For(w, message);
  if (!s) return DefWindowProcA(w, message, wParam, lParam);
  if (message == WM_NCCREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    // The text given at creation is taken without notifications (Wine).
    if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) s->text = cs->lpszName;
  }
  if (auto r = HandleShared(States(), w, kKeepsFont | kRepaintsOnEnable, &s->font, message, wParam,
                            lParam))
    return *r;
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_SETTEXT:
      // Wine: any WM_SETTEXT, even of the same text or of null, replaces the
      // text whatever the limit, puts the caret at the start and notifies
      // EN_UPDATE then EN_CHANGE.
      s->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      s->anchor = s->caret = 0;
      Changed(w, *s);
      if (auto still = States().Get(w)) still->modified = false;
      return TRUE;
    case WM_GETTEXT:
      return GetText(*s, wParam, lParam);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(s->text.size());
    case WM_CHAR:
      Type(w, *s, static_cast<unsigned char>(wParam));
      return 0;
    case WM_KEYDOWN:
      Key(w, *s, wParam);
      return 0;
    case WM_LBUTTONDOWN:
      // Without glyph positions a click puts the caret at the end.
      if (GetFocus() != w) SetFocus(w);
      if (IsWindow(w)) s->anchor = s->caret = s->text.size();
      return 0;
    case WM_SETFOCUS:
      InvalidateWindow(w);
      NotifyParent(w, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      InvalidateWindow(w);
      NotifyParent(w, EN_KILLFOCUS);
      return 0;
    case WM_PAINT:
      Paint(w, GetParent(w), ColorMessage(w), nullptr);
      return 0;
    case WM_CLEAR:
      if ((Style(w) & ES_READONLY) || SelStart(*s) == SelEnd(*s)) return 0;
      ReplaceSelection(*s, {});
      Changed(w, *s);
      return 0;
    case EM_GETSEL:
      return GetSel(*s, wParam, lParam);
    case EM_SETSEL:
      SetSel(w, *s, wParam, lParam);
      return 0;
    case EM_REPLACESEL: {
      const char* text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      const bool whole = ReplaceSelection(*s, Filtered(w, text));
      if (!whole) NotifyParent(w, EN_MAXTEXT);
      if (IsWindow(w)) Changed(w, *s);
      return 0;
    }
    case EM_LIMITTEXT:
      s->limit = wParam == 0 ? kNoLimit : std::min<std::size_t>(wParam, kNoLimit);
      return 0;
    case EM_GETLIMITTEXT:
      return static_cast<LRESULT>(s->limit);
    case EM_SETREADONLY: {
      const DWORD style =
          wParam ? (Style(w) | ES_READONLY) : (Style(w) & ~static_cast<DWORD>(ES_READONLY));
      SetWindowLongA(w, GWL_STYLE, static_cast<LONG>(style));
      InvalidateWindow(w);
      return TRUE;
    }
    case EM_GETMODIFY:
      return s->modified ? TRUE : FALSE;
    case EM_SETMODIFY:
      s->modified = wParam != 0;
      return 0;
    case EM_GETLINECOUNT:
      return 1;
    case EM_LINELENGTH:
      return static_cast<LRESULT>(s->text.size());
    default:
      return DefWindowProcA(w, message, wParam, lParam);
  }
}

}  // namespace tavrin::platform::controls
