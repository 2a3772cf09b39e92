// The window registry: a singly linked list of records, newest first, guarded
// by a spin lock word. Records live in blocks of their own from the C++ heap;
// removal releases every GDI object a record owns and keeps the block for a
// later record.
#include "dialog/registry.h"

#include <atomic>
#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

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
// True once a control record has been linked while its parent had no record
// in the list; read and written only under the lock, false again when the
// list is empty. While it is false, every control record lies in the list
// before (is newer than) the record of its parent:
//  - a control record linked while its parent P has a record is newer than
//    that record, and a new record for P can only be linked once the old
//    one is gone;
//  - P's record is unlinked only by a removal step of P that found no
//    control record of P before it (below), so by then every control of P
//    is gone, and a control of P linked later, when P has no record, sets
//    this flag.
// Removal relies on it to stop its walks at a record's own place.
bool g_unordered = false;

// Blocks of removed records, kept for the records added next (a dialog's
// eighteen or so records would otherwise go through the general heap's
// slower bins every time), linked through `next`; at most kKeptBlocks of
// them. Read and written only under the lock.
constexpr int kKeptBlocks = 64;
Record* g_keptBlocks = nullptr;
int g_keptCount = 0;

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

// First record from `from` on, before `end`, for which `test` holds; null
// for none. The caller holds the lock.
template <typename Test>
Record* FirstLocked(Test test, Record* from = g_head, const Record* end = nullptr) {
  for (Record* r = from; r != end; r = r->next) {
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

// The test for a control record under `dialog`. A record naming itself as
// parent would make removal recurse forever, so it is not one.
auto IsControlOf(HWND dialog) {
  return [dialog](const Record& c) {
    return (c.flags & RecordFlag::Control) != 0 && c.parent == dialog && c.window != dialog;
  };
}

// The test for a record that holds a brush for `color`.
auto HoldsBrushFor(std::int32_t color) {
  return [color](const Record& r) { return r.backColor == color && r.backBrush != nullptr; };
}

// Keeps the block `r` for a later record, or frees it when enough are kept.
// The caller holds the lock.
void KeepBlockLocked(Record* r) {
  if (g_keptCount >= kKeptBlocks) {
    ::operator delete(r);
    return;
  }
  r->next = g_keptBlocks;
  g_keptBlocks = r;
  ++g_keptCount;
}

// A kept block, or null when none is kept. The caller holds the lock.
Record* TakeBlockLocked() {
  Record* r = g_keptBlocks;
  if (r != nullptr) {
    g_keptBlocks = r->next;
    --g_keptCount;
  }
  return r;
}

// What a new record starts from besides its key: the caller's values and
// the system colours, read before the lock is taken.
struct NewRecord {
  HWND window;
  HWND parent;
  std::uint32_t flags;
  std::int32_t kind;
  COLORREF drawColor;
  COLORREF fillColor;
};

void Blank(Record& r, const NewRecord& fields);

// Links a new record for `fields.window` at the head, in a kept block or in
// `spare`, unless the window already has a record: the look-up and the link
// are one hold of the lock, so two threads adding one window cannot both
// succeed. The same walk tells whether a control's parent has a record (see
// g_unordered). kLinked: `linked` is the new record. kPresent: the window
// has one (and `spare`, when given, is kept). kNoBlock: `spare` was null and
// no block was kept; the caller brings one and tries again.
enum class LinkResult { kLinked, kPresent, kNoBlock };
LinkResult LinkNew(const NewRecord& fields, Record* spare, Record*& linked) {
  ListLock lock;
  const bool control = (fields.flags & RecordFlag::Control) != 0;
  bool parentSeen = !control || fields.parent == fields.window;
  for (const Record* r = g_head; r != nullptr; r = r->next) {
    if (r->window == fields.window) {
      if (spare != nullptr) KeepBlockLocked(spare);
      return LinkResult::kPresent;
    }
    if (r->window == fields.parent) parentSeen = true;
  }
  Record* record = spare != nullptr ? spare : TakeBlockLocked();
  if (record == nullptr) return LinkResult::kNoBlock;
  // Every field is written before the record is published: another thread
  // may find it the moment it is linked (and only stores happen here).
  Blank(*record, fields);
  if (!parentSeen) g_unordered = true;
  record->next = g_head;
  g_head = record;
  linked = record;
  return LinkResult::kLinked;
}

// One step of removing `window`: a control under it that has controls of
// its own (to be removed first, by the same procedure), or an unlinked
// record: the newest control under it when that has no controls, or else
// its own; none of these when it has no record.
struct RemovalStep {
  HWND control;      // a control to remove first
  Record* unlinked;  // a record taken out of the list, to be released
  bool own;          // `unlinked` is the record of `window` itself
  bool deleteBrush;  // no record left in the list shares its brush
};

// Takes `*link` out of the list and tells whether any record left holds a
// brush for its colour. The caller holds the lock.
RemovalStep UnlinkLocked(Record** link, bool own) {
  Record* r = *link;
  *link = r->next;
  r->next = nullptr;
  if (r == g_recentDialog) g_recentDialog = nullptr;
  if (g_head == nullptr) g_unordered = false;
  const bool deleteBrush = IsColorRef(r->backColor) && r->backBrush != nullptr &&
                           FirstLocked(HoldsBrushFor(r->backColor)) == nullptr;
  return {nullptr, r, own, deleteBrush};
}

// The step as one walk and one hold of the lock, which also keeps the block
// `released` (or nothing when null). The newest control under
// `window` is the first one the walk meets; while the list is ordered (see
// g_unordered) its own controls all lie before it, so it is removed in the
// same hold when none of those is one, and the walk ends at `window`'s own
// record, since none of its controls lies behind it. Unordered, both walks
// go to the end of the list. The brush test of the unlinked record is made
// in the same hold too, once it is out of the list.
RemovalStep NextRemoval(HWND window, Record* released) {
  const auto isControl = IsControlOf(window);
  ListLock lock;
  // The block of the record the step before released: kept in this hold
  // rather than in one of its own.
  if (released != nullptr) KeepBlockLocked(released);
  Record** own = nullptr;
  for (Record** link = &g_head; *link != nullptr; link = &(*link)->next) {
    Record* r = *link;
    if (isControl(*r)) {
      const bool leaf = !g_unordered && FirstLocked(IsControlOf(r->window), g_head, r) == nullptr;
      if (leaf) return UnlinkLocked(link, false);
      return {r->window, nullptr, false, false};
    }
    if (own == nullptr && r->window == window) {
      own = link;
      if (!g_unordered) break;
    }
  }
  if (own == nullptr) return {};
  return UnlinkLocked(own, true);
}

// Puts `original` back into `dc` and deletes the object that was selected
// there in its place (a graphic control's own bitmap or font).
void RestoreAndDelete(HDC dc, HGDIOBJ original) {
  HGDIOBJ own = SelectObject(dc, original);
  if (own != nullptr && own != HGDI_ERROR) DeleteObject(own);
}

// Releases the GDI objects of an unlinked record, in the fixed order: shared
// brush (when no record left in the list holds it), image, icons, the
// graphic's bitmap and font, its memory DC.
void ReleaseObjects(Record& r, bool deleteBrush) {
  if (deleteBrush) DeleteObject(r.backBrush);
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

// Writes every field of a new record, in the record's order: zero but for
// the key, the parent, the flags and the kind from `fields`, the unset
// colour values and the graphic colours `fields` read from the system. Field by field,
// rather than a value-initialised record, because the compiler clears a
// whole record with a string store whose start-up costs more than the
// stores themselves.
void Blank(Record& r, const NewRecord& fields) {
  // Thirteen fields of pointer width, fourteen of 32 bits and the user
  // values: a field added to the record must be added here too.
  constexpr std::size_t kPointerFields = 13;
  constexpr std::size_t kWordFields = 14;
  static_assert(std::is_trivially_copyable_v<Record>);
  static_assert(sizeof(Record) == kPointerFields * sizeof(void*) +
                                      kWordFields * sizeof(std::int32_t) + sizeof(r.userValues));
  r.next = nullptr;
  r.window = fields.window;
  r.parent = fields.parent;
  r.flags = fields.flags;
  r.showCommand = 0;
  r.font = nullptr;
  r.callback = nullptr;
  r.resultTarget = nullptr;
  r.backBrush = nullptr;
  r.backColor = ColorUnset;
  r.textColor = ColorUnset;
  r.memDC = nullptr;
  r.savedBitmap = nullptr;
  r.scaleX = 0.0F;
  r.scaleY = 0.0F;
  r.graphicWidth = 0;
  r.graphicHeight = 0;
  r.savedFont = nullptr;
  r.charWidth = 0;
  r.lineHeight = 0;
  r.drawColor = fields.drawColor;
  r.fillColor = fields.fillColor;
  r.kind = fields.kind;
  r.style = 0;
  r.image = nullptr;
  r.bigIcon = nullptr;
  r.smallIcon = nullptr;
  for (std::int32_t& value : r.userValues) value = 0;
}

}  // namespace

Record* RegistryAdd(std::uint32_t flags, HWND window, HWND parent, std::int32_t kind) {
  // Null is never a window: a record keyed by it could be found by lookups
  // of "no window" (the lParam of a dialog's own scroll bars, for one).
  // A window that has a record already is turned away by LinkNew, in the
  // same walk that links a new one (a second walk first would double the
  // cost of every add for a case that does not happen in use). A block
  // comes from those kept, or else from the C++ heap (a record is the
  // engine's own data), allocated outside the lock, after which the walk is
  // made again.
  if (window == nullptr) return nullptr;
  const NewRecord fields{
      window, parent, flags, kind, GetSysColor(kColorWindowText), GetSysColor(kColorButtonFace)};
  Record* linked = nullptr;
  Record* spare = nullptr;
  while (LinkNew(fields, spare, linked) == LinkResult::kNoBlock) {
    spare = static_cast<Record*>(::operator new(sizeof(Record), std::nothrow));
    if (spare == nullptr) return nullptr;
  }
  return linked;
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
  return FindFirst(HoldsBrushFor(color));
}

ColorRecords RegistryFindForColor(HWND dialog, HWND target, std::int32_t color) {
  // One walk under one hold of the lock, until each of the three is found.
  ListLock lock;
  ColorRecords found{};
  // The dialog's record is as a rule the one remembered (see g_recentDialog).
  if (g_recentDialog != nullptr && g_recentDialog->window == dialog) found.dialog = g_recentDialog;
  const bool wantBrush = IsColorRef(color);
  for (Record* r = g_head; r != nullptr; r = r->next) {
    if (found.dialog == nullptr && r->window == dialog) found.dialog = r;
    if (found.target == nullptr && r->window == target) found.target = r;
    if (wantBrush && found.sharing == nullptr && r->backColor == color && r->backBrush != nullptr)
      found.sharing = r;
    if (found.dialog != nullptr && found.target != nullptr &&
        (!wantBrush || found.sharing != nullptr))
      break;
  }
  return found;
}

bool RegistryRemove(HWND window) {
  // A released record's block is kept by the next step's hold of the lock,
  // the last one in a hold of its own.
  Record* released = nullptr;
  for (;;) {
    const RemovalStep step = NextRemoval(window, released);
    released = nullptr;
    if (step.control != nullptr) {
      if (!RegistryRemove(step.control)) return false;
      continue;
    }
    if (step.unlinked == nullptr) return false;
    ReleaseObjects(*step.unlinked, step.deleteBrush);
    if (step.own) {
      ListLock lock;
      KeepBlockLocked(step.unlinked);
      return true;
    }
    released = step.unlinked;
  }
}

void RegistryFreeKeptBlocks() {
  Record* blocks = nullptr;
  {
    ListLock lock;
    blocks = std::exchange(g_keptBlocks, nullptr);
    g_keptCount = 0;
  }
  while (blocks != nullptr) ::operator delete(std::exchange(blocks, blocks->next));
}

int RegistryCount() {
  ListLock lock;
  int count = 0;
  for (const Record* r = g_head; r != nullptr; r = r->next) ++count;
  return count;
}

}  // namespace tavrin
