// The window registry: a singly linked list of records, newest first, guarded
// by a spin lock word. Records live in GlobalAlloc blocks of their own and go
// back with GlobalFree; removal releases every GDI object a record owns.
#include "dialog/registry.h"

#include <atomic>

namespace tavrin {
namespace {

// System colour indexes a new record's graphic colours start from.
constexpr int kColorWindowText = 8;   // COLOR_WINDOWTEXT
constexpr int kColorButtonFace = 15;  // COLOR_BTNFACE

// The lock word: 0 when free, -1 while held.
std::atomic<std::int32_t> g_lockWord{0};
// Head of the list (newest record). Read and written only under the lock.
Record* g_head = nullptr;
// The dialog record found last, or null; read and written only under the
// lock, and cleared when that record is unlinked. A dialog's record is the
// oldest of its own and its controls' (it is added first, and the list is
// newest first), so without this every message to the dialog, and every
// control added to it, would walk past all of its controls to find it. A
// window has at most one record, so the one remembered is the one a walk
// from the head would find.
Record* g_recentDialog = nullptr;

// Holds the lock for one walk or relink of the list. Busy-waits by
// exchanging -1 in until 0 comes back; releases by storing 0. Never held
// across a Win32 call or a callback, and not re-entrant.
class ListLock {
 public:
  ListLock() {
    while (g_lockWord.exchange(-1, std::memory_order_acquire) != 0) {
    }
  }
  ~ListLock() { g_lockWord.store(0, std::memory_order_release); }
  ListLock(const ListLock&) = delete;
  ListLock& operator=(const ListLock&) = delete;
};

// First record, from the head, for which `test` holds; null for none. The
// caller holds the lock.
template <typename Test>
Record* FirstLocked(Test test) {
  for (Record* r = g_head; r != nullptr; r = r->next) {
    if (test(*r)) return r;
  }
  return nullptr;
}

// The same as one walk under the lock.
template <typename Test>
Record* FindFirst(Test test) {
  ListLock lock;
  return FirstLocked(test);
}

// The test for the record of `window`.
auto OfWindow(HWND window) {
  return [window](const Record& r) { return r.window == window; };
}

// Links `record` at the head unless its window already has a record: the
// look-up and the link are one hold of the lock, so two threads adding one
// window cannot both succeed.
bool LinkUnlessPresent(Record* record) {
  ListLock lock;
  if (FirstLocked(OfWindow(record->window)) != nullptr) return false;
  record->next = g_head;
  g_head = record;
  return true;
}

// The test for a control record under `dialog`. A record naming itself as
// parent would make removal recurse forever, so it is not one.
auto IsControlOf(HWND dialog) {
  return [dialog](const Record& c) {
    return (c.flags & RecordFlag::Control) != 0 && c.parent == dialog && c.window != dialog;
  };
}

// One step of removing `window`: the newest control record under it (to be
// removed first), or else its own record, unlinked; neither when it has none.
struct RemovalStep {
  HWND control;
  Record* unlinked;
};

// The step as one walk and one hold of the lock: the control looked for
// and the record to unlink are found in the same pass (a leaf control, the
// common case, would otherwise take a walk for its absent controls and a
// second one to unlink it).
RemovalStep NextRemoval(HWND window) {
  const auto isControl = IsControlOf(window);
  ListLock lock;
  Record** own = nullptr;
  for (Record** link = &g_head; *link != nullptr; link = &(*link)->next) {
    Record* r = *link;
    if (isControl(*r)) return {r->window, nullptr};
    if (own == nullptr && r->window == window) own = link;
  }
  if (own == nullptr) return {nullptr, nullptr};
  Record* r = *own;
  *own = r->next;
  r->next = nullptr;
  if (r == g_recentDialog) g_recentDialog = nullptr;
  return {nullptr, r};
}

// Puts `original` back into `dc` and deletes the object that was selected
// there in its place (a graphic control's own bitmap or font).
void RestoreAndDelete(HDC dc, HGDIOBJ original) {
  HGDIOBJ own = SelectObject(dc, original);
  if (own != nullptr && own != HGDI_ERROR) DeleteObject(own);
}

// Releases the GDI objects of an unlinked record, in the fixed order: shared
// brush (unless another record still uses it), image, icons, the graphic's
// bitmap and font, its memory DC.
void ReleaseObjects(Record& r) {
  if (IsColorRef(r.backColor) && r.backBrush != nullptr &&
      RegistryBrushForColor(r.backColor) == nullptr) {
    DeleteObject(r.backBrush);
  }
  if (r.image != nullptr) {
    if ((r.flags & RecordFlag::IconImage) != 0) {
      DestroyIcon(static_cast<HICON>(r.image));
    } else if ((r.flags & RecordFlag::BitmapImage) != 0) {
      DeleteObject(r.image);
    }
  }
  if (r.bigIcon != nullptr) DestroyIcon(r.bigIcon);
  if (r.smallIcon != nullptr) DestroyIcon(r.smallIcon);
  if (r.savedBitmap != nullptr) RestoreAndDelete(r.memDC, r.savedBitmap);
  if (r.savedFont != nullptr) RestoreAndDelete(r.memDC, r.savedFont);
  if (r.memDC != nullptr) DeleteDC(r.memDC);
}

}  // namespace

Record* RegistryAdd(std::uint32_t flags, HWND window, HWND parent, std::int32_t kind) {
  // Null is never a window: a record keyed by it could be found by lookups
  // of "no window" (the lParam of a dialog's own scroll bars, for one).
  // A window that has a record already is turned away by LinkUnlessPresent,
  // in the same walk that links a new one (a second walk first would double
  // the cost of every add for a case that does not happen in use).
  if (window == nullptr) return nullptr;
  auto* record = static_cast<Record*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof(Record)));
  if (record == nullptr) return nullptr;
  record->window = window;
  record->parent = parent;
  record->flags = flags;
  record->kind = kind;
  record->backColor = ColorUnset;
  record->textColor = ColorUnset;
  // Every field is written before the record is published: another thread
  // may find it the moment it is linked.
  record->drawColor = GetSysColor(kColorWindowText);
  record->fillColor = GetSysColor(kColorButtonFace);
  if (!LinkUnlessPresent(record)) {
    GlobalFree(record);
    return nullptr;
  }
  return record;
}

Record* RegistryFind(HWND window) {
  ListLock lock;
  if (g_recentDialog != nullptr && g_recentDialog->window == window) return g_recentDialog;
  Record* r = FirstLocked(OfWindow(window));
  if (r != nullptr && (r->flags & RecordFlag::Dialog) != 0) g_recentDialog = r;
  return r;
}

HWND RegistryFirstControl(HWND dialog) {
  Record* r = FindFirst(IsControlOf(dialog));
  return r != nullptr ? r->window : nullptr;
}

Record* RegistryBrushForColor(std::int32_t color) {
  return FindFirst(
      [color](const Record& r) { return r.backColor == color && r.backBrush != nullptr; });
}

bool RegistryRemove(HWND window) {
  for (;;) {
    const RemovalStep step = NextRemoval(window);
    if (step.control != nullptr) {
      if (!RegistryRemove(step.control)) return false;
      continue;
    }
    if (step.unlinked == nullptr) return false;
    ReleaseObjects(*step.unlinked);
    GlobalFree(step.unlinked);
    return true;
  }
}

int RegistryCount() {
  ListLock lock;
  int count = 0;
  for (const Record* r = g_head; r != nullptr; r = r->next) ++count;
  return count;
}

}  // namespace tavrin
