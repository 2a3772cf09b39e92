// The standard controls' shared parts: notifications, painting in the
// parent's colours with the record that LastPaint reads, class registration.
#include "controls_common.h"

#include "gdi_internal.h"
#include "user_internal.h"

namespace tavrin::platform::controls {
namespace {

struct PaintRecords {
  std::mutex lock;
  std::unordered_map<HWND, PaintResult> byControl;
};

PaintRecords& Records() {
  static PaintRecords r;
  return r;
}

}  // namespace

std::optional<LRESULT> SharedAnswer(HWND control, unsigned shared, HFONT* font, UINT message,
                                    WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFONT:
      if (!(shared & kKeepsFont)) return std::nullopt;
      *font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateWindow(control);
      return 0;
    case WM_GETFONT:
      if (!(shared & kKeepsFont)) return std::nullopt;
      return reinterpret_cast<LRESULT>(*font);
    case WM_SETTEXT: {
      if (!(shared & kRepaintsOnText)) return std::nullopt;
      const LRESULT r = DefWindowProcA(control, message, wParam, lParam);
      InvalidateWindow(control);
      return r;
    }
    case WM_ENABLE:
      if (!(shared & kRepaintsOnEnable)) return std::nullopt;
      InvalidateWindow(control);
      return 0;
    default:
      return std::nullopt;
  }
}

LRESULT Notify(HWND control, HWND to, int code) {
  if (to == nullptr) return 0;
  const int id = GetDlgCtrlID(control);
  return SendMessageA(to, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

LRESULT NotifyParent(HWND control, int code) {
  return Notify(control, GetParent(control), code);
}

// Wine's controls: when the parent answers a colour message with 0, the
// control asks DefWindowProc of the parent for the system colours instead.
HBRUSH AskColors(HWND control, HWND colorTarget, UINT message, HDC dc) {
  const WPARAM wParam = reinterpret_cast<WPARAM>(dc);
  const LPARAM lParam = reinterpret_cast<LPARAM>(control);
  HBRUSH brush = nullptr;
  if (colorTarget != nullptr)
    brush = reinterpret_cast<HBRUSH>(SendMessageA(colorTarget, message, wParam, lParam));
  const bool defaults = brush == nullptr;
  if (defaults)
    brush = reinterpret_cast<HBRUSH>(DefWindowProcA(colorTarget, message, wParam, lParam));
  PaintResult r;
  r.painted = true;
  r.message = message;
  r.brush = brush;
  r.textColor = GetTextColor(dc);
  r.backColor = GetBkColor(dc);
  r.backMode = GetBkMode(dc);
  r.defaultColors = defaults;
  auto& records = Records();
  std::lock_guard guard(records.lock);
  records.byControl[control] = r;
  return brush;
}

void Paint(HWND control, HWND colorTarget, UINT message, DrawFn draw) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(control, &ps);
  if (dc == nullptr) {
    // Nothing to paint with: mark the control painted all the same, so the
    // queue does not hand out WM_PAINT for it again and again.
    ValidateWindow(control);
    return;
  }
  HBRUSH brush = AskColors(control, colorTarget, message, dc);
  // The colour message may have destroyed the control; paint only a live one.
  if (IsWindow(control)) {
    RECT client{};
    GetClientRect(control, &client);
    FillRect(dc, &client, brush);
    if (draw != nullptr) draw(control, dc, client);
  }
  EndPaint(control, &ps);
}

void SendDrawItem(HWND control, HDC dc, const RECT& client, UINT type, UINT state) {
  DRAWITEMSTRUCT item{};
  item.CtlType = type;
  item.CtlID = static_cast<UINT>(GetDlgCtrlID(control));
  item.itemID = 0;
  item.itemAction = ODA_DRAWENTIRE;
  item.itemState = state;
  item.hwndItem = control;
  item.hDC = dc;
  item.rcItem = client;
  SendMessageA(GetParent(control), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
}

void ForgetPaint(HWND control) {
  auto& records = Records();
  std::lock_guard guard(records.lock);
  records.byControl.erase(control);
}

void RegisterControlClass(const char* name, WNDPROC proc) {
  WNDCLASSA wc{};
  wc.style = CS_DBLCLKS | CS_GLOBALCLASS;
  wc.lpfnWndProc = proc;
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

bool InClient(HWND control, LPARAM point) {
  RECT client{};
  if (!GetClientRect(control, &client)) return false;
  const int x = static_cast<short>(LOWORD(point));
  const int y = static_cast<short>(HIWORD(point));
  return x >= client.left && x < client.right && y >= client.top && y < client.bottom;
}

}  // namespace tavrin::platform::controls

namespace tavrin::platform {

PaintResult LastPaint(HWND control) {
  auto& records = controls::Records();
  std::lock_guard guard(records.lock);
  auto it = records.byControl.find(control);
  return it == records.byControl.end() ? PaintResult{} : it->second;
}

void RegisterStandardControls() {
  static std::once_flag once;
  std::call_once(once, [] {
    // Class names spelt as Wine reports them through GetClassNameA; lookup
    // ignores case, so "BUTTON" finds "Button".
    using namespace controls;
    RegisterControlClass("Button", ButtonProc);
    RegisterControlClass("Static", StaticProc);
    RegisterControlClass("Edit", EditProc);
    RegisterControlClass("ListBox", ListBoxProc);
    RegisterControlClass("ComboBox", ComboBoxProc);
    RegisterControlClass("ScrollBar", ScrollBarProc);
    RegisterControlClass(kComboListClass, ListBoxProc);
  });
}

}  // namespace tavrin::platform
