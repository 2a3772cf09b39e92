// The window half's own state: window classes, windows and their tree, the
// per-thread message queues and focus, shared by the user32_*.cpp and
// dialog_*.cpp files of the Linux platform. Not part of the Win32 surface.
//
// Windows live in a table keyed by handle and are handed around as
// shared_ptr, so code that sends a message (which may destroy the window)
// keeps a valid object and checks `gone` afterwards instead of touching
// freed memory. The table is guarded by one lock that is never held while a
// window procedure runs. A window is used only by the thread that made it.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32.h"

namespace tavrin::platform::user {

// Name of the system dialog class.
inline constexpr const char* kDialogClassName = "#32770";

struct WindowClass {
  std::string name;
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int classExtra = 0;
  int windowExtra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  bool system = false;  // registered by the platform itself
};

// A thread's posted messages. Shared with the windows of the thread so that
// other threads can post to them.
struct MessageQueue {
  std::mutex lock;
  std::condition_variable arrived;
  std::deque<MSG> posted;
  bool quit = false;
  int quitCode = 0;
};

// The dialog manager's per-dialog data (Win32 keeps it in the dialog's
// extra window bytes).
struct DialogState {
  DLGPROC proc = nullptr;
  LONG_PTR msgResult = 0;
  LONG_PTR user = 0;
  WORD defId = IDOK;          // DM_GETDEFID of a new dialog reports IDOK
  HFONT font = nullptr;       // WM_GETFONT: the template's font or a WM_SETFONT one
  HFONT ownedFont = nullptr;  // made from the template: deleted with the dialog
  SIZE baseUnits{0, 0};       // of the template's font, for MapDialogRect
  HWND savedFocus = nullptr;
};

struct Window {
  HWND handle = nullptr;
  std::shared_ptr<const WindowClass> windowClass;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;       // for WS_CHILD windows
  HWND owner = nullptr;        // for top-level windows
  std::vector<HWND> children;  // in creation order, the order of GW_CHILD
  LONG id = 0;
  LONG_PTR userData = 0;
  HINSTANCE instance = nullptr;
  RECT rect{};        // window rectangle: parent-client coordinates for a child, screen otherwise
  RECT normalRect{};  // the rectangle to restore after maximize or minimize
  std::string text;
  std::vector<unsigned char> extra;  // cbWndExtra bytes
  std::thread::id thread;
  std::shared_ptr<MessageQueue> queue;
  bool destroying = false;  // WM_DESTROY has been sent
  bool gone = false;        // removed from the table; the handle is dead
  bool needsPaint = false;
  bool needsErase = false;
  bool isDialog = false;
  DialogState dialog;
  HMENU menu = nullptr;  // the menu bar of a top-level window
};

using WindowPtr = std::shared_ptr<Window>;

// ---- Window table ---------------------------------------------------------
WindowPtr Find(HWND handle);
// Whether `handle` is a live window: one look-up, no reference taken.
bool Exists(HWND handle);
// The first of the children of the window `parent`, in creation order,
// whose id is `id`; null for none or when `parent` is no window. One hold
// of the table's lock for the parent and all of them, no reference taken to
// any.
HWND FirstChildWithId(HWND parent, int id);
// Makes a new window record with a fresh handle and enters it in the table.
WindowPtr AddWindow();
// Takes the window out of the table: its handle is dead from now on.
void RemoveWindow(const WindowPtr& window);
// Enters a new top-level window in the creation-order list.
void RegisterTopLevel(HWND handle);
// Top-level windows of the calling thread in creation order.
std::vector<HWND> ThreadTopLevelWindows();
// Every live window that `owner` owns.
std::vector<HWND> OwnedWindows(HWND owner);

// ---- Window classes -------------------------------------------------------
// Finds a class by name (case-insensitive) or by atom (MAKEINTATOM).
std::shared_ptr<const WindowClass> FindClass(LPCSTR nameOrAtom);
// Registers the platform's own classes once: the dialog class and the
// standard controls.
void EnsureSystemClasses();

// ---- Per-thread state -----------------------------------------------------
struct Timer {
  HWND hwnd;
  UINT_PTR id;
  UINT elapse;
  void* proc;         // TIMERPROC, handed on in lParam
  std::uint64_t due;  // steady clock, milliseconds
};

struct ThreadState {
  std::vector<Timer> timers;
  HWND focus = nullptr;
  HWND active = nullptr;
  HWND capture = nullptr;
  std::array<bool, 256> keys{};
  std::function<void()> idleHook;
  bool inIdleHook = false;
  std::shared_ptr<MessageQueue> queue;
  MSG lastMessage{};
};
ThreadState& CurrentThread();

// ---- Geometry -------------------------------------------------------------
// Width of the frame on each side and the caption, as Wine draws them
// without a window manager.
RECT FrameInsets(DWORD style, DWORD exStyle);
// Screen position of the window rectangle's top-left corner and of the
// client area's.
POINT WindowOrigin(const Window& window);
POINT ClientOrigin(const Window& window);
SIZE ClientSize(const Window& window);
// The frame of the window plus its menu bar, if it has one.
RECT WindowInsets(const Window& window);
// Win32's MulDiv: a * b / c rounded half away from zero; -1 when c is 0.
int MulDivRound(int a, int b, int c);

// ---- Helpers over messages --------------------------------------------------
// Calls the window procedure of `window` (SendMessageA without the lookup).
LRESULT Deliver(const WindowPtr& window, UINT message, WPARAM wParam, LPARAM lParam);
// Removes every posted message for `handle` from its thread's queue.
void PurgeMessages(const Window& window);
// Moves the focus to `handle` (may be null) with WM_KILLFOCUS/WM_SETFOCUS.
HWND ChangeFocus(HWND handle);
// Makes `handle` (a top-level window, or null) the active window, sending
// WM_NCACTIVATE and WM_ACTIVATE, and gives it the focus when it has none.
void Activate(HWND handle);
// Passes the activation on from `window`, which is being hidden or
// destroyed: to its owner when that is visible and enabled, else to none.
void ActivateOwnerOf(const Window& window);
// The top-level window that contains `handle` (itself when top-level).
HWND TopLevelOf(HWND handle);
// True when `descendant` is `ancestor` or lies inside it.
bool IsSelfOrDescendant(HWND ancestor, HWND descendant);

// ---- Menus and timers ------------------------------------------------------
// Destroys a menu and its submenus (DestroyWindow does this for the menu bar).
void DestroyMenuTree(HMENU menu);
// A WM_TIMER for the first due timer of the thread whose window passes the
// filter; with `remove` the timer starts its next period.
bool TakeDueTimer(HWND filter, bool remove, MSG& out);
// Stops every timer of `handle`.
void KillWindowTimers(HWND handle);
std::uint64_t SteadyMilliseconds();

// ---- Dialog manager ---------------------------------------------------------
// The default dialog procedure's handling after the dialog procedure
// declined a message; used by DefDlgProcA.
LRESULT DialogDefault(const WindowPtr& dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Moves the focus to a dialog control the way dialog navigation does:
// asks WM_GETDLGCODE and selects the whole text of a control that has a
// selection (EM_SETSEL 0, -1).
void FocusDialogControl(HWND control);

}  // namespace tavrin::platform::user
