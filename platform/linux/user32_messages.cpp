// Messages: SendMessageA as a direct call, the per-thread queue of posted
// messages with PeekMessageA/GetMessageA, WM_QUIT, WM_PAINT synthesized for
// windows that need painting once nothing is posted, TranslateMessage and
// DispatchMessageA, and the test hooks that feed input into the queue.
#include <algorithm>
#include <chrono>

#include "platform/linux/user_hooks.h"
#include "user32_state.h"
#include "user_internal.h"

namespace tavrin::platform::user {
namespace {

// How long GetMessageA waits for a post from another thread before it looks
// at the paint state and the idle hook again.
constexpr auto kGetMessagePoll = std::chrono::milliseconds(5);

DWORD NowMilliseconds() {
  using namespace std::chrono;
  return static_cast<DWORD>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// PeekMessageA's window filter: null takes every message of the thread,
// (HWND)-1 only messages posted to no window, anything else the window and
// its descendants.
bool MatchesWindow(HWND filter, HWND target) {
  if (filter == nullptr) return true;
  if (filter == reinterpret_cast<HWND>(-1)) return target == nullptr;
  return IsSelfOrDescendant(filter, target);
}

bool MatchesRange(UINT first, UINT last, UINT message) {
  if (first == 0 && last == 0) return true;
  return message >= first && message <= last;
}

bool TakePosted(MessageQueue& q, HWND filter, UINT first, UINT last, bool remove, MSG& out) {
  std::lock_guard guard(q.lock);
  for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
    if (!MatchesRange(first, last, it->message)) continue;
    if (!MatchesWindow(filter, it->hwnd)) continue;
    out = *it;
    if (remove) q.posted.erase(it);
    return true;
  }
  return false;
}

// The first visible window of the thread that needs painting, parents
// before children, top-level windows in creation order.
HWND FindPaintTarget(HWND filter) {
  std::vector<HWND> stack;
  auto roots = ThreadTopLevelWindows();
  for (auto it = roots.rbegin(); it != roots.rend(); ++it) stack.push_back(*it);
  while (!stack.empty()) {
    auto w = Find(stack.back());
    stack.pop_back();
    if (!w || !(w->style & WS_VISIBLE)) continue;
    if (w->needsPaint && MatchesWindow(filter, w->handle)) return w->handle;
    for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) stack.push_back(*it);
  }
  return nullptr;
}

bool Post(MessageQueue& q, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG m{hwnd, message, wParam, lParam, NowMilliseconds(), POINT{0, 0}};
  {
    std::lock_guard guard(q.lock);
    q.posted.push_back(m);
  }
  q.arrived.notify_all();
  return true;
}

struct KeyChar {
  int vk;
  char plain;
  char shifted;
};
// Characters of the non-letter keys on a US keyboard; letters are handled
// apart (case from Shift, control codes from Ctrl).
constexpr KeyChar kKeyChars[] = {
    {'0', '0', ')'},           {'1', '1', '!'},          {'2', '2', '@'},
    {'3', '3', '#'},           {'4', '4', '$'},          {'5', '5', '%'},
    {'6', '6', '^'},           {'7', '7', '&'},          {'8', '8', '*'},
    {'9', '9', '('},           {VK_SPACE, ' ', ' '},     {VK_RETURN, '\r', '\r'},
    {VK_BACK, '\b', '\b'},     {VK_TAB, '\t', '\t'},     {VK_ESCAPE, 27, 27},
    {VK_NUMPAD0, '0', '0'},    {VK_NUMPAD1, '1', '1'},   {VK_NUMPAD2, '2', '2'},
    {VK_NUMPAD3, '3', '3'},    {VK_NUMPAD4, '4', '4'},   {VK_NUMPAD5, '5', '5'},
    {VK_NUMPAD6, '6', '6'},    {VK_NUMPAD7, '7', '7'},   {VK_NUMPAD8, '8', '8'},
    {VK_NUMPAD9, '9', '9'},    {VK_MULTIPLY, '*', '*'},  {VK_ADD, '+', '+'},
    {VK_SUBTRACT, '-', '-'},   {VK_DECIMAL, '.', '.'},   {VK_DIVIDE, '/', '/'},
    {VK_OEM_PLUS, '=', '+'},   {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'},
    {VK_OEM_PERIOD, '.', '>'},
};

// The character that key `vk` types with the current Shift and Ctrl state;
// 0 for keys that type none.
int CharForKey(int vk) {
  const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  if (vk >= 'A' && vk <= 'Z') {
    if (control) return vk - 'A' + 1;
    return shift ? vk : vk - 'A' + 'a';
  }
  if (control) return 0;
  for (const auto& k : kKeyChars)
    if (k.vk == vk) return static_cast<unsigned char>(shift ? k.shifted : k.plain);
  return 0;
}

}  // namespace

LRESULT Deliver(const WindowPtr& window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!window || window->gone || window->proc == nullptr) return 0;
  return window->proc(window->handle, message, wParam, lParam);
}

void PurgeMessages(const Window& window) {
  if (!window.queue) return;
  std::lock_guard guard(window.queue->lock);
  std::erase_if(window.queue->posted, [&](const MSG& m) { return m.hwnd == window.handle; });
}

}  // namespace tavrin::platform::user

using namespace tavrin::platform::user;
using tavrin::platform::InvalidateWindow;
using tavrin::platform::ValidateWindow;

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  auto w = Find(hWnd);
  if (!w) return 0;
  return Deliver(w, Msg, wParam, lParam);
}

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (hWnd == nullptr) return Post(*CurrentThread().queue, nullptr, Msg, wParam, lParam);
  auto w = Find(hWnd);
  if (!w) return FALSE;
  return Post(*w->queue, hWnd, Msg, wParam, lParam) ? TRUE : FALSE;
}

void PostQuitMessage(int nExitCode) {
  auto& q = *CurrentThread().queue;
  {
    std::lock_guard guard(q.lock);
    q.quit = true;
    q.quitCode = nExitCode;
  }
  q.arrived.notify_all();
}

BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  if (lpMsg == nullptr) return FALSE;
  auto& t = CurrentThread();
  const bool remove = (wRemoveMsg & PM_REMOVE) != 0;
  MSG m{};
  if (TakePosted(*t.queue, hWnd, wMsgFilterMin, wMsgFilterMax, remove, m)) {
    *lpMsg = m;
    t.lastMessage = m;
    return TRUE;
  }
  {
    // WM_QUIT comes once the posted messages are gone, before any WM_PAINT.
    std::lock_guard guard(t.queue->lock);
    if (t.queue->quit && MatchesRange(wMsgFilterMin, wMsgFilterMax, WM_QUIT)) {
      *lpMsg = MSG{nullptr, WM_QUIT,           static_cast<WPARAM>(t.queue->quitCode),
                   0,       NowMilliseconds(), POINT{0, 0}};
      if (remove) t.queue->quit = false;
      t.lastMessage = *lpMsg;
      return TRUE;
    }
  }
  // WM_PAINT is never queued: it is made when nothing else is waiting, and
  // stays until the window is validated.
  if (MatchesRange(wMsgFilterMin, wMsgFilterMax, WM_PAINT)) {
    if (HWND target = FindPaintTarget(hWnd)) {
      *lpMsg = MSG{target, WM_PAINT, 0, 0, NowMilliseconds(), POINT{0, 0}};
      t.lastMessage = *lpMsg;
      return TRUE;
    }
  }
  // WM_TIMER comes last, once nothing else is waiting.
  if (MatchesRange(wMsgFilterMin, wMsgFilterMax, WM_TIMER) && TakeDueTimer(hWnd, remove, m)) {
    *lpMsg = m;
    t.lastMessage = m;
    return TRUE;
  }
  if (t.idleHook && !t.inIdleHook) {
    auto hook = t.idleHook;  // the hook may replace itself
    t.inIdleHook = true;
    hook();
    CurrentThread().inIdleHook = false;
  }
  return FALSE;
}

BOOL GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  if (lpMsg == nullptr) return -1;
  if (hWnd != nullptr && hWnd != reinterpret_cast<HWND>(-1) && !Find(hWnd)) return -1;
  for (;;) {
    if (PeekMessageA(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, PM_REMOVE))
      return lpMsg->message == WM_QUIT ? FALSE : TRUE;
    auto& q = *CurrentThread().queue;
    std::unique_lock lock(q.lock);
    q.arrived.wait_for(lock, kGetMessagePoll, [&] { return !q.posted.empty() || q.quit; });
  }
}

BOOL TranslateMessage(const MSG* lpMsg) {
  if (lpMsg == nullptr) return FALSE;
  switch (lpMsg->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      const int c = CharForKey(static_cast<int>(lpMsg->wParam));
      if (c != 0)
        PostMessageA(lpMsg->hwnd, lpMsg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR,
                     static_cast<WPARAM>(c), lpMsg->lParam);
      return TRUE;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return TRUE;
    default:
      return FALSE;
  }
}

LRESULT DispatchMessageA(const MSG* lpMsg) {
  if (lpMsg == nullptr) return 0;
  if (lpMsg->message == WM_TIMER && lpMsg->lParam != 0) {
    // A timer with a procedure calls it instead of the window procedure.
    // Win32 calls it whatever the window: gone, or its timer killed.
    auto proc = reinterpret_cast<TIMERPROC>(lpMsg->lParam);
    proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, lpMsg->time);
    return 0;
  }
  auto w = Find(lpMsg->hwnd);
  if (!w) return 0;
  const LRESULT result = Deliver(w, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
  // A window procedure that did not validate on WM_PAINT would get it
  // forever; the window counts as painted after the dispatch.
  if (lpMsg->message == WM_PAINT && !w->gone && w->needsPaint) ValidateWindow(w->handle);
  return result;
}

LONG GetMessageTime() {
  return static_cast<LONG>(CurrentThread().lastMessage.time);
}

DWORD GetMessagePos() {
  const POINT p = CurrentThread().lastMessage.pt;
  return static_cast<DWORD>(MAKELONG(p.x, p.y));
}

namespace tavrin::platform {

void SetIdleHook(std::function<void()> hook) {
  user::CurrentThread().idleHook = std::move(hook);
}

bool PostKeystroke(int vk) {
  const HWND focus = GetFocus();
  if (focus == nullptr) return false;
  // lParam: repeat count 1; the key-up also has the previous-state and
  // transition bits (30 and 31) set.
  constexpr LPARAM kKeyDownBits = 1;
  constexpr LPARAM kKeyUpBits = static_cast<LPARAM>(0xC0000001u);
  PostMessageA(focus, WM_KEYDOWN, static_cast<WPARAM>(vk), kKeyDownBits);
  PostMessageA(focus, WM_KEYUP, static_cast<WPARAM>(vk), kKeyUpBits);
  return true;
}

bool PostChars(const char* text) {
  const HWND focus = GetFocus();
  if (focus == nullptr || text == nullptr) return false;
  for (const char* p = text; *p; ++p)
    PostMessageA(focus, WM_CHAR, static_cast<unsigned char>(*p), 1);
  return true;
}

int PendingMessageCount() {
  auto& q = *user::CurrentThread().queue;
  std::lock_guard guard(q.lock);
  return static_cast<int>(q.posted.size());
}

}  // namespace tavrin::platform
