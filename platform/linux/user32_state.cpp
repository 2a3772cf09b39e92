// The window table, the class table, per-thread state and the frame
// geometry of the Linux platform's window half.
#include "user32_state.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "gdi_internal.h"
#include "platform/linux/hooks.h"
#include "platform/wrap32.h"
#include "window_table.h"

namespace tavrin::platform::user {
namespace {

// Window handles are small even numbers above 0x10000 (Win32's look like
// 0x0001004e), never reused, so a dead handle stays dead and every handle
// fits in a 32-bit LONG.
constexpr std::uintptr_t kFirstHandle = 0x10000;
constexpr std::uintptr_t kHandleStep = 2;

struct Tables {
  std::mutex lock;
  std::uintptr_t nextHandle = kFirstHandle + kHandleStep;
  HandleTable<WindowPtr, kHandleStep> windows;
  std::vector<HWND> topLevel;  // creation order
  std::map<std::thread::id, std::shared_ptr<MessageQueue>> queues;
};

Tables& Get() {
  static Tables tables;
  return tables;
}

std::uintptr_t Key(HWND handle) {
  return reinterpret_cast<std::uintptr_t>(handle);
}

}  // namespace

WindowPtr Find(HWND handle) {
  if (handle == nullptr) return nullptr;
  auto& t = Get();
  std::lock_guard guard(t.lock);
  const WindowPtr* window = t.windows.Find(Key(handle));
  return window == nullptr ? nullptr : *window;
}

bool Exists(HWND handle) {
  if (handle == nullptr) return false;
  auto& t = Get();
  std::lock_guard guard(t.lock);
  return t.windows.Find(Key(handle)) != nullptr;
}

HWND FirstChildWithId(HWND parent, int id) {
  if (parent == nullptr) return nullptr;
  auto& t = Get();
  std::lock_guard guard(t.lock);
  const WindowPtr* owner = t.windows.Find(Key(parent));
  if (owner == nullptr) return nullptr;
  for (HWND child : (*owner)->children) {
    // A window in the table stays alive while the lock is held.
    const WindowPtr* window = t.windows.Find(Key(child));
    if (window != nullptr && (*window)->id == id) return child;
  }
  return nullptr;
}

WindowPtr AddWindow() {
  auto window = std::make_shared<Window>();
  auto& t = Get();
  std::lock_guard guard(t.lock);
  window->handle = reinterpret_cast<HWND>(t.nextHandle);
  t.nextHandle += kHandleStep;
  window->thread = std::this_thread::get_id();
  auto& queue = t.queues[window->thread];
  if (!queue) queue = std::make_shared<MessageQueue>();
  window->queue = queue;
  t.windows.Insert(Key(window->handle), window);
  CountLive(Live::Window, 1);
  return window;
}

void RemoveWindow(const WindowPtr& window) {
  auto& t = Get();
  {
    std::lock_guard guard(t.lock);
    if (window->gone) return;
    window->gone = true;
    t.windows.Erase(Key(window->handle));
    std::erase(t.topLevel, window->handle);
  }
  CountLive(Live::Window, -1);
}

void RegisterTopLevel(HWND handle) {
  auto& t = Get();
  std::lock_guard guard(t.lock);
  t.topLevel.push_back(handle);
}

std::vector<HWND> ThreadTopLevelWindows() {
  auto& t = Get();
  std::lock_guard guard(t.lock);
  std::vector<HWND> result;
  const auto self = std::this_thread::get_id();
  for (HWND h : t.topLevel) {
    const WindowPtr* window = t.windows.Find(Key(h));
    if (window != nullptr && (*window)->thread == self) result.push_back(h);
  }
  return result;
}

std::vector<HWND> OwnedWindows(HWND owner) {
  auto& t = Get();
  std::lock_guard guard(t.lock);
  std::vector<HWND> result;
  for (HWND h : t.topLevel) {
    const WindowPtr* window = t.windows.Find(Key(h));
    if (window != nullptr && (*window)->owner == owner) result.push_back(h);
  }
  return result;
}

ThreadState& CurrentThread() {
  thread_local ThreadState state;
  if (!state.queue) {
    auto& t = Get();
    std::lock_guard guard(t.lock);
    auto& queue = t.queues[std::this_thread::get_id()];
    if (!queue) queue = std::make_shared<MessageQueue>();
    state.queue = queue;
  }
  return state;
}

// ---- Geometry ---------------------------------------------------------------

namespace {
// Frame widths measured under Wine 8 (no window manager): a dialog frame or
// a thick frame without caption is 3 px, a thick frame with a caption 4 px,
// a plain border 1 px; a client edge adds 2 px and a static edge 1 px; the
// caption is 19 px high (16 for a tool window).
constexpr LONG kDialogFrame = 3;
constexpr LONG kThickFrameWithCaption = 4;
constexpr LONG kBorder = 1;
constexpr LONG kClientEdge = 2;
constexpr LONG kStaticEdge = 1;
constexpr LONG kCaption = 19;
constexpr LONG kToolCaption = 16;
}  // namespace

RECT FrameInsets(DWORD style, DWORD exStyle) {
  const bool caption = (style & WS_CAPTION) == WS_CAPTION;
  LONG side = 0;
  if (style & WS_THICKFRAME) {
    side = caption ? kThickFrameWithCaption : kDialogFrame;
  } else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
    side = kDialogFrame;
  } else if (style & WS_BORDER) {
    side = kBorder;
  }
  if (exStyle & WS_EX_CLIENTEDGE) side += kClientEdge;
  if (exStyle & WS_EX_STATICEDGE) side += kStaticEdge;
  RECT insets{side, side, side, side};
  if (caption) insets.top += (exStyle & WS_EX_TOOLWINDOW) ? kToolCaption : kCaption;
  return insets;
}

POINT WindowOrigin(const Window& window) {
  POINT p{window.rect.left, window.rect.top};
  if ((window.style & WS_CHILD) && window.parent) {
    if (auto parent = Find(window.parent)) {
      POINT base = ClientOrigin(*parent);
      p.x = tavrin::WrapAdd(p.x, base.x);
      p.y = tavrin::WrapAdd(p.y, base.y);
    }
  }
  return p;
}

RECT WindowInsets(const Window& window) {
  RECT in = FrameInsets(window.style, window.exStyle);
  // A menu bar takes SM_CYMENU (19) from the top of the client area; the
  // window keeps its size (measured with SetMenu on a dialog under Wine).
  if (window.menu && !(window.style & WS_CHILD)) in.top += GetSystemMetrics(SM_CYMENU);
  return in;
}

POINT ClientOrigin(const Window& window) {
  POINT p = WindowOrigin(window);
  if (window.style & WS_MINIMIZE) return p;
  RECT in = WindowInsets(window);
  return POINT{tavrin::WrapAdd(p.x, in.left), tavrin::WrapAdd(p.y, in.top)};
}

SIZE ClientSize(const Window& window) {
  if (window.style & WS_MINIMIZE) return SIZE{0, 0};  // an iconic window has no client area
  RECT in = WindowInsets(window);
  // In 64 bits: a size near the limit less the frame stays a size.
  const std::int64_t w =
      static_cast<std::int64_t>(tavrin::WrapSub(window.rect.right, window.rect.left)) - in.left -
      in.right;
  const std::int64_t h =
      static_cast<std::int64_t>(tavrin::WrapSub(window.rect.bottom, window.rect.top)) - in.top -
      in.bottom;
  return SIZE{static_cast<LONG>(std::max<std::int64_t>(w, 0)),
              static_cast<LONG>(std::max<std::int64_t>(h, 0))};
}

int MulDivRound(int a, int b, int c) {
  if (c == 0) return -1;
  const std::int64_t product = static_cast<std::int64_t>(a) * b;
  std::int64_t q = product / c;
  const std::int64_t r = product % c;
  // Round half away from zero: compare twice the remainder with the divisor.
  if (2 * (r < 0 ? -r : r) >= (c < 0 ? -static_cast<std::int64_t>(c) : c)) {
    q += ((product < 0) != (c < 0)) ? -1 : 1;
  }
  if (q > INT32_MAX || q < INT32_MIN) return -1;
  return static_cast<int>(q);
}

HWND TopLevelOf(HWND handle) {
  auto w = Find(handle);
  while (w && (w->style & WS_CHILD) && w->parent) {
    auto parent = Find(w->parent);
    if (!parent) break;
    w = parent;
  }
  return w ? w->handle : nullptr;
}

bool IsSelfOrDescendant(HWND ancestor, HWND descendant) {
  if (ancestor == nullptr) return false;
  auto w = Find(descendant);
  while (w) {
    if (w->handle == ancestor) return true;
    if (!(w->style & WS_CHILD)) return false;
    w = Find(w->parent);
  }
  return false;
}

}  // namespace tavrin::platform::user
