// Helpers of the window and dialog tests: a window class and a dialog
// procedure that record the messages they get, dialog templates built in
// memory, and the Shift key held the way each platform allows. The same
// tests run on the Linux platform and on Win32 under Wine.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32.h"
#ifndef _WIN32
#include "platform/linux/user_hooks.h"
#endif

namespace tavrin::test {

struct Event {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// The messages a test looks at; everything else (Wine's IME, non-client
// and activation chatter) is not recorded.
inline std::vector<UINT>& WatchedMessages() {
  static std::vector<UINT> watched;
  return watched;
}
inline std::vector<Event>& Log() {
  static std::vector<Event> log;
  return log;
}
inline void Watch(std::vector<UINT> messages) {
  WatchedMessages() = std::move(messages);
  Log().clear();
}
inline void Record(HWND h, UINT m, WPARAM w, LPARAM l) {
  for (UINT watched : WatchedMessages())
    if (watched == m) Log().push_back(Event{h, m, w, l});
}

// The dialog code that recorder windows answer WM_GETDLGCODE with.
inline LRESULT& RecorderDialogCode() {
  static LRESULT code = DLGC_WANTCHARS;
  return code;
}

inline LRESULT CALLBACK RecorderProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Record(h, m, w, l);
  if (m == WM_GETDLGCODE) return RecorderDialogCode();
  return DefWindowProcA(h, m, w, l);
}

inline INT_PTR CALLBACK RecorderDialogProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Record(h, m, w, l);
  return FALSE;
}

// Registers the "TavrinRecorder" class once.
inline const char* RecorderClass() {
  static bool registered = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecorderProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TavrinRecorder";
    return RegisterClassA(&wc) != 0;
  }();
  return registered ? "TavrinRecorder" : nullptr;
}

inline HWND MakeRecorder(HWND parent, int id, DWORD style, int x = 0, int y = 0, int cx = 10,
                         int cy = 10, const char* text = "") {
  return CreateWindowExA(0, RecorderClass(), text, style, x, y, cx, cy, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleA(nullptr), nullptr);
}

// A DLGTEMPLATE with no items: title and, with DS_SETFONT, the font block.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, short x, short y, short cx, short cy, const char* face = "tahoma",
                 WORD points = 10, const char* title = "T") {
    DLGTEMPLATE t{};
    t.style = style;
    t.x = x;
    t.y = y;
    t.cx = cx;
    t.cy = cy;
    words_.resize(sizeof t / 2);
    std::memcpy(words_.data(), &t, sizeof t);
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the system dialog class
    for (const char* p = title; *p; ++p) words_.push_back(static_cast<unsigned char>(*p));
    words_.push_back(0);
    if (style & DS_SETFONT) {
      words_.push_back(points);
      for (const char* p = face; *p; ++p) words_.push_back(static_cast<unsigned char>(*p));
      words_.push_back(0);
    }
  }
  // Appends a DLGITEMTEMPLATE (and counts it in cdit): `classOrdinal` 0x80
  // to 0x85 names a predefined class, 0 takes `className`.
  void AddItem(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classOrdinal,
               const char* className, const char* title) {
    if (words_.size() % 2) words_.push_back(0);  // DWORD alignment
    DLGITEMTEMPLATE item{style, 0, x, y, cx, cy, id};
    const std::size_t at = words_.size();
    words_.resize(at + sizeof item / 2);
    std::memcpy(words_.data() + at, &item, sizeof item);
    if (classOrdinal) {
      words_.push_back(0xFFFF);
      words_.push_back(classOrdinal);
    } else {
      for (const char* p = className; *p; ++p) words_.push_back(static_cast<unsigned char>(*p));
      words_.push_back(0);
    }
    for (const char* p = title; *p; ++p) words_.push_back(static_cast<unsigned char>(*p));
    words_.push_back(0);
    words_.push_back(0);  // no creation data
    DLGTEMPLATE header;
    std::memcpy(&header, words_.data(), sizeof header);
    ++header.cdit;
    std::memcpy(words_.data(), &header, sizeof header);
  }
  LPCDLGTEMPLATE Get() const { return reinterpret_cast<LPCDLGTEMPLATE>(words_.data()); }
  HWND Create(HWND owner = nullptr, DLGPROC proc = RecorderDialogProc, LPARAM param = 0) const {
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), Get(), owner, proc, param);
  }

 private:
  std::vector<WORD> words_;
};

inline void HoldShift(bool down) {
#ifdef _WIN32
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = down ? 0x80 : 0;
  SetKeyboardState(keys);
#else
  platform::SetKeyDown(VK_SHIFT, down);
#endif
}

// Dispatches every waiting message, through IsDialogMessageA for `dialog`.
inline void Pump(HWND dialog = nullptr) {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (dialog && IsWindow(dialog) && IsDialogMessageA(dialog, &m)) continue;
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

inline std::vector<Event> EventsOf(UINT message) {
  std::vector<Event> out;
  for (const auto& e : Log())
    if (e.message == message) out.push_back(e);
  return out;
}

}  // namespace tavrin::test
