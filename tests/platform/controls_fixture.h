// Helpers of the standard-control tests: a parent window that records the
// notifications, colour requests and draw requests its controls send, and
// answers colour requests as a test tells it to. The same tests run on the
// Linux platform and on Win32 under Wine.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace tavrin::test {

struct Sent {
  UINT message;
  int id;         // WM_COMMAND: control id; WM_DRAWITEM: CtlID
  int code;       // WM_COMMAND: notification; WM_DRAWITEM: itemAction; scrolls: request
  HWND from;      // lParam as a window (WM_COMMAND, WM_CTLCOLOR*, scrolls); hwndItem
  UINT itemType;  // WM_DRAWITEM: CtlType
};

// How the parent answers one WM_CTLCOLOR* message; no answer set means
// DefWindowProcA's.
struct ColorAnswer {
  COLORREF text;
  COLORREF back;
  int mode;  // 0 leaves the DC's mode alone
  HBRUSH brush;
};

class ControlParent {
 public:
  static ControlParent& Instance() {
    static ControlParent parent;
    return parent;
  }
  std::vector<Sent> log;
  std::map<UINT, ColorAnswer> answers;
  // Text of the sender at the time of each WM_COMMAND.
  std::vector<std::string> texts;

  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto& self = Instance();
    switch (m) {
      case WM_COMMAND: {
        const HWND from = reinterpret_cast<HWND>(l);
        self.log.push_back({m, LOWORD(w), HIWORD(w), from, 0});
        char text[64] = "";
        if (from) GetWindowTextA(from, text, sizeof text);
        self.texts.emplace_back(text);
        return 0;
      }
      case WM_HSCROLL:
      case WM_VSCROLL:
        self.log.push_back({m, 0, LOWORD(w), reinterpret_cast<HWND>(l), 0});
        return 0;
      case WM_DRAWITEM: {
        const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
        self.log.push_back({m, static_cast<int>(d->CtlID), static_cast<int>(d->itemAction),
                            d->hwndItem, d->CtlType});
        return TRUE;
      }
      default:
        break;
    }
    if (m >= WM_CTLCOLORMSGBOX && m <= WM_CTLCOLORSTATIC) {
      self.log.push_back({m, 0, 0, reinterpret_cast<HWND>(l), 0});
      auto it = self.answers.find(m);
      if (it != self.answers.end()) {
        HDC dc = reinterpret_cast<HDC>(w);
        SetTextColor(dc, it->second.text);
        SetBkColor(dc, it->second.back);
        if (it->second.mode) SetBkMode(dc, it->second.mode);
        return reinterpret_cast<LRESULT>(it->second.brush);
      }
    }
    return DefWindowProcA(h, m, w, l);
  }

  static const char* Class() {
    static bool registered = [] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = Proc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "TavrinControlParent";
      return RegisterClassA(&wc) != 0;
    }();
    return registered ? "TavrinControlParent" : nullptr;
  }
};

// Dispatches every waiting message.
inline void PumpMessages() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

// A visible top-level parent, made once for the whole run (Wine takes about
// two seconds to make and take down a top-level window); each test's
// controls go after the test.
class ControlTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (IsWindow(shared_) || ControlParent::Class() == nullptr) return;
    shared_ = CreateWindowExA(0, ControlParent::Class(), "controls", WS_POPUP | WS_VISIBLE, 20, 20,
                              400, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    PumpMessages();
  }
  void SetUp() override {
    parent_ = shared_;
    ASSERT_NE(parent_, nullptr);
    PumpMessages();
    Clear();
    ControlParent::Instance().answers.clear();
  }
  void TearDown() override {
    if (IsWindow(parent_)) {
      while (HWND child = GetWindow(parent_, GW_CHILD)) {
        if (!DestroyWindow(child)) break;
      }
    }
    PumpMessages();
    ControlParent::Instance().answers.clear();
    Clear();
  }

  HWND Make(const char* cls, DWORD style, int id, const char* text = "", int cx = 100, int cy = 20,
            int x = 10, int y = 10) {
    HWND h = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, parent_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleA(nullptr), nullptr);
    PumpMessages();
    return h;
  }

  // Paints `control` now and forgets everything sent before.
  void PaintNow(HWND control) {
    PumpMessages();
    Clear();
    InvalidateRect(control, nullptr, TRUE);
    UpdateWindow(control);
    PumpMessages();
  }

  static void Clear() {
    ControlParent::Instance().log.clear();
    ControlParent::Instance().texts.clear();
  }
  static std::vector<Sent> Of(UINT message) {
    std::vector<Sent> out;
    for (const auto& s : ControlParent::Instance().log)
      if (s.message == message) out.push_back(s);
    return out;
  }
  // Notification codes of the WM_COMMANDs from `id`, in order.
  static std::vector<int> Codes(int id) {
    std::vector<int> out;
    for (const auto& s : ControlParent::Instance().log)
      if (s.message == WM_COMMAND && s.id == id) out.push_back(s.code);
    return out;
  }
  static LRESULT Send(HWND h, UINT m, WPARAM w = 0, LPARAM l = 0) {
    return SendMessageA(h, m, w, l);
  }
  static std::string Text(HWND h) {
    const int n = GetWindowTextLengthA(h);
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    const int got = GetWindowTextA(h, s.data(), n + 1);
    s.resize(static_cast<std::size_t>(got));
    return s;
  }

  HWND parent_ = nullptr;
  static inline HWND shared_ = nullptr;
};

}  // namespace tavrin::test
