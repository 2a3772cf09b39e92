// Window classes: RegisterClassA and its companions, class lookup by name
// (case-insensitive, as Win32) or atom, and the platform's own classes.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>

#include "gdi_internal.h"
#include "user32_state.h"

namespace tavrin::platform::user {
namespace {

// Atoms of registered classes start at 0xC000, as Win32's string atoms do.
constexpr ATOM kFirstClassAtom = 0xC000;

struct ClassTable {
  std::mutex lock;
  std::vector<std::shared_ptr<const WindowClass>> classes;
  ATOM nextAtom = kFirstClassAtom;
};

ClassTable& Classes() {
  static ClassTable table;
  return table;
}

bool SameName(const std::string& a, const char* b) {
  const std::size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

std::shared_ptr<const WindowClass> FindLocked(ClassTable& t, LPCSTR nameOrAtom) {
  if (nameOrAtom == nullptr) return nullptr;
  if (IS_INTRESOURCE(nameOrAtom)) {
    const auto atom = static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(nameOrAtom));
    for (const auto& c : t.classes)
      if (c->atom == atom) return c;
    return nullptr;
  }
  for (const auto& c : t.classes)
    if (SameName(c->name, nameOrAtom)) return c;
  return nullptr;
}

ATOM Register(const WNDCLASSA& wc, bool system) {
  if (wc.lpszClassName == nullptr || wc.lpfnWndProc == nullptr) return 0;
  if (IS_INTRESOURCE(wc.lpszClassName) || *wc.lpszClassName == '\0') return 0;
  if (wc.cbWndExtra < 0 || wc.cbClsExtra < 0) return 0;
  auto& t = Classes();
  std::lock_guard guard(t.lock);
  if (FindLocked(t, wc.lpszClassName)) return 0;  // ERROR_CLASS_ALREADY_EXISTS
  auto c = std::make_shared<WindowClass>();
  c->name = wc.lpszClassName;
  c->atom = t.nextAtom++;
  c->style = wc.style;
  c->proc = wc.lpfnWndProc;
  c->classExtra = wc.cbClsExtra;
  c->windowExtra = wc.cbWndExtra;
  c->instance = wc.hInstance;
  c->icon = wc.hIcon;
  c->cursor = wc.hCursor;
  c->background = wc.hbrBackground;
  c->system = system;
  t.classes.push_back(c);
  return c->atom;
}

}  // namespace

std::shared_ptr<const WindowClass> FindClass(LPCSTR nameOrAtom) {
  EnsureSystemClasses();
  auto& t = Classes();
  std::lock_guard guard(t.lock);
  return FindLocked(t, nameOrAtom);
}

void EnsureSystemClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASSA dialog{};
    dialog.style = CS_DBLCLKS | CS_SAVEBITS;
    dialog.lpfnWndProc = DefDlgProcA;
    dialog.cbWndExtra = DLGWINDOWEXTRA;
    dialog.lpszClassName = kDialogClassName;
    Register(dialog, true);
    RegisterStandardControls();
  });
}

}  // namespace tavrin::platform::user

using namespace tavrin::platform::user;

ATOM RegisterClassA(const WNDCLASSA* lpWndClass) {
  if (lpWndClass == nullptr) return 0;
  // No EnsureSystemClasses here: the standard controls register themselves
  // through this very call while the platform's classes are being set up.
  return Register(*lpWndClass, false);
}

BOOL UnregisterClassA(LPCSTR lpClassName, HINSTANCE) {
  auto& t = Classes();
  std::shared_ptr<const WindowClass> c;
  {
    std::lock_guard guard(t.lock);
    c = FindLocked(t, lpClassName);
    if (!c || c->system) return FALSE;
  }
  // A class that still has windows cannot go (ERROR_CLASS_HAS_WINDOWS).
  for (HWND h : ThreadTopLevelWindows()) {
    std::vector<HWND> stack{h};
    while (!stack.empty()) {
      auto w = Find(stack.back());
      stack.pop_back();
      if (!w) continue;
      if (w->windowClass == c) return FALSE;
      stack.insert(stack.end(), w->children.begin(), w->children.end());
    }
  }
  std::lock_guard guard(t.lock);
  std::erase(t.classes, c);
  return TRUE;
}

BOOL GetClassInfoA(HINSTANCE, LPCSTR lpClassName, LPWNDCLASSA lpWndClass) {
  auto c = FindClass(lpClassName);
  if (!c || lpWndClass == nullptr) return FALSE;
  lpWndClass->style = c->style;
  lpWndClass->lpfnWndProc = c->proc;
  lpWndClass->cbClsExtra = c->classExtra;
  lpWndClass->cbWndExtra = c->windowExtra;
  lpWndClass->hInstance = c->instance;
  lpWndClass->hIcon = c->icon;
  lpWndClass->hCursor = c->cursor;
  lpWndClass->hbrBackground = c->background;
  lpWndClass->lpszMenuName = nullptr;
  lpWndClass->lpszClassName = c->name.c_str();
  return TRUE;
}

int GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount) {
  auto w = Find(hWnd);
  if (!w || lpClassName == nullptr || nMaxCount <= 0) return 0;
  const auto& name = w->windowClass->name;
  const int n = std::min(static_cast<int>(name.size()), nMaxCount - 1);
  std::memcpy(lpClassName, name.data(), static_cast<std::size_t>(n));
  lpClassName[n] = '\0';
  return n;
}
