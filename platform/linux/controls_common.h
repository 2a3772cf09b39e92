// What the standard controls share: per-window state found by handle, the
// notifications they send their parent, painting in the colours the parent
// hands back, and their font. Internal to controls_*.cpp.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "platform/linux/gdi_hooks.h"
#include "platform/win32.h"

namespace tavrin::platform::controls {

// State of the controls of one class, keyed by window handle. A handler
// keeps the shared_ptr while it sends messages out, so the state outlives a
// control that is destroyed by the receiver of a notification.
template <typename State>
class StateTable {
 public:
  std::shared_ptr<State> Make(HWND window) {
    auto state = std::make_shared<State>();
    std::lock_guard guard(lock_);
    states_[window] = state;
    return state;
  }
  std::shared_ptr<State> Get(HWND window) {
    std::lock_guard guard(lock_);
    auto it = states_.find(window);
    return it == states_.end() ? nullptr : it->second;
  }
  void Drop(HWND window) {
    std::lock_guard guard(lock_);
    states_.erase(window);
  }
  // The state of `window` for `message` to its window procedure: made on
  // WM_NCCREATE, null when the window has none (before WM_NCCREATE, after
  // WM_NCDESTROY), and the procedure then leaves the message to
  // DefWindowProcA.
  std::shared_ptr<State> For(HWND window, UINT message) {
    return message == WM_NCCREATE ? Make(window) : Get(window);
  }

 private:
  std::mutex lock_;
  std::unordered_map<HWND, std::shared_ptr<State>> states_;
};

// The window style of `control`.
inline DWORD Style(HWND control) {
  return static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
}

// Which of the messages the standard controls share a control answers in
// the shared way (bits, or-ed together):
enum SharedMessages : unsigned {
  kOnlyDestroy = 0,
  // WM_SETFONT keeps the font in `font`, repainting when LOWORD(lParam)
  // asks; WM_GETFONT gives it.
  kKeepsFont = 1u << 0,
  // WM_SETTEXT: DefWindowProcA keeps the text, then the control repaints.
  kRepaintsOnText = 1u << 1,
  // WM_ENABLE: the control repaints (it paints differently when disabled).
  kRepaintsOnEnable = 1u << 2,
  // Buttons and statics: a font, and a repaint on new text and on enabling.
  kLabelMessages = kKeepsFont | kRepaintsOnText | kRepaintsOnEnable,
};

// The shared answers but WM_NCDESTROY's: the result for a message `shared`
// names, nullopt for the others. `font` may be null without kKeepsFont.
std::optional<LRESULT> SharedAnswer(HWND control, unsigned shared, HFONT* font, UINT message,
                                    WPARAM wParam, LPARAM lParam);

// Forgets the paint record of a control that is gone.
void ForgetPaint(HWND control);

// What every standard control does first with a message: on WM_NCDESTROY it
// drops its state from `table` and its paint record and lets DefWindowProcA
// finish; the messages `shared` names it answers as SharedAnswer says.
// Returns nullopt for a message the control's own procedure is to handle.
template <typename State>
std::optional<LRESULT> HandleShared(StateTable<State>& table, HWND control, unsigned shared,
                                    HFONT* font, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCDESTROY) {
    table.Drop(control);
    ForgetPaint(control);
    return DefWindowProcA(control, message, wParam, lParam);
  }
  return SharedAnswer(control, shared, font, message, wParam, lParam);
}

// Sends `to` WM_COMMAND with the control's id and `code`, lParam the control.
LRESULT Notify(HWND control, HWND to, int code);
// The same to the control's parent.
LRESULT NotifyParent(HWND control, int code);

// Asks `colorTarget` for the colours of `control` with `message` (a
// WM_CTLCOLOR* message, wParam the DC, lParam `colorTarget`-side handle
// `control`), falling back to DefWindowProcA's answer when it gives 0, as
// Win32's controls do. Records what came back for LastPaint.
HBRUSH AskColors(HWND control, HWND colorTarget, UINT message, HDC dc);

// Paints `control`: BeginPaint, the colour message to `colorTarget`, the
// client area filled with the brush, then `draw` (may be null) with the DC,
// and EndPaint.
using DrawFn = void (*)(HWND control, HDC dc, const RECT& client);
void Paint(HWND control, HWND colorTarget, UINT message, DrawFn draw);

// Sends the parent WM_DRAWITEM for an owner-drawn control of `type`
// (ODT_BUTTON, ODT_STATIC), whole item, with `state` (ODS_* bits).
void SendDrawItem(HWND control, HDC dc, const RECT& client, UINT type, UINT state);

// Registers a system control class.
void RegisterControlClass(const char* name, WNDPROC proc);

// True when the point in lParam of a mouse message lies in the client area.
bool InClient(HWND control, LPARAM point);

// The window procedures of the standard controls.
LRESULT CALLBACK ButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK StaticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ListBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ComboBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ScrollBarProc(HWND, UINT, WPARAM, LPARAM);

// The class of a combo box's drop-down list.
inline constexpr const char* kComboListClass = "ComboLBox";

// A combo box's drop-down list belongs to the combo box: it sends its
// colour messages and notifications there, not to a parent (it has none).
// Set by the combo box right after it makes the list.
void SetListOwner(HWND list, HWND combo);
// The combo box that owns `list`, or null for an ordinary list box.
HWND ListOwner(HWND list);
// A click in the open drop-down list of `combo` chose its selected item.
void ComboListChosen(HWND combo);

}  // namespace tavrin::platform::controls
