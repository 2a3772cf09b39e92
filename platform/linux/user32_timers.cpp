// Timers: SetTimer and KillTimer, and the WM_TIMER that PeekMessageA makes
// for a due timer once nothing else is waiting (after WM_PAINT, as Win32).
#include <algorithm>
#include <chrono>

#include "user32_state.h"

namespace tavrin::platform::user {
namespace {

// Win32 raises periods below USER_TIMER_MINIMUM (10 ms) to it.
constexpr UINT kMinimumElapse = 10;
// Ids of timers without a window count from 0x7FFF, as Wine's do.
constexpr UINT_PTR kFirstThreadTimerId = 0x7FFF;

}  // namespace

std::uint64_t SteadyMilliseconds() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool TakeDueTimer(HWND filter, bool remove, MSG& out) {
  auto& t = CurrentThread();
  const std::uint64_t now = SteadyMilliseconds();
  for (auto& timer : t.timers) {
    if (timer.due > now) continue;
    if (filter && filter != reinterpret_cast<HWND>(-1) && !IsSelfOrDescendant(filter, timer.hwnd))
      continue;
    if (filter == reinterpret_cast<HWND>(-1) && timer.hwnd != nullptr) continue;
    out = MSG{timer.hwnd,
              WM_TIMER,
              timer.id,
              reinterpret_cast<LPARAM>(timer.proc),
              static_cast<DWORD>(now),
              POINT{0, 0}};
    // One message per period however late it is taken, as Win32 does.
    if (remove) timer.due = now + timer.elapse;
    return true;
  }
  return false;
}

void KillWindowTimers(HWND handle) {
  std::erase_if(CurrentThread().timers, [&](const Timer& t) { return t.hwnd == handle; });
}

}  // namespace tavrin::platform::user

using namespace tavrin::platform::user;

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
  if (hWnd && !Find(hWnd)) return 0;
  auto& timers = CurrentThread().timers;
  const UINT elapse = std::max(uElapse, kMinimumElapse);
  UINT_PTR id = nIDEvent;
  if (hWnd == nullptr) {
    // A timer without a window gets a fresh id of its own.
    id = kFirstThreadTimerId;
    while (std::any_of(timers.begin(), timers.end(),
                       [&](const Timer& t) { return t.hwnd == nullptr && t.id == id; }))
      ++id;
  }
  Timer timer{hWnd, id, elapse, reinterpret_cast<void*>(lpTimerFunc),
              SteadyMilliseconds() + elapse};
  // Setting an existing timer again restarts it with the new period.
  for (auto& t : timers) {
    if (t.hwnd == hWnd && t.id == id) {
      t = timer;
      return hWnd ? (id ? id : 1) : id;
    }
  }
  timers.push_back(timer);
  return hWnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
  auto& timers = CurrentThread().timers;
  const auto before = timers.size();
  std::erase_if(timers, [&](const Timer& t) { return t.hwnd == hWnd && t.id == uIDEvent; });
  return timers.size() != before ? TRUE : FALSE;
}
