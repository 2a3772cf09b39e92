// Test hooks of the Linux platform: failure injection for the Win32 calls
// that real Windows will not fail on demand, and live counts of the objects
// the platform hands out, so tests can prove that nothing leaked or was
// released twice. Linux only; Windows builds have no equivalent.
#pragma once

#include <atomic>
#include <cstdint>

namespace tavrin::platform {

// Calls whose failure a test can inject.
enum class Fail : int {
  TlsAlloc,
  GlobalAlloc,
  SysAllocStringByteLen,
  CreateDialogIndirectParamA,
  CreateWindowExA,
  CreateSolidBrush,
  LoadImageA,
  kCount,
};

// Objects the platform counts while they are alive.
enum class Live : int {
  Text,           // SysAllocStringByteLen storage
  GlobalBlock,    // GlobalAlloc blocks (thread records, engine records)
  TlsSlot,        // allocated thread-local slots
  Window,         // windows that exist
  Brush,          // brushes made by CreateSolidBrush (stock and system brushes are not counted)
  Font,           // fonts made by CreateFontIndirectA and by dialog creation
  Bitmap,         // bitmaps, whether loaded or created
  DeviceContext,  // memory device contexts and DCs from GetDC not yet released
  Icon,           // icons from LoadImageA
  kCount,
};

// Makes the calls of `which` after the next `skip` ones fail, `count` times.
void FailNext(Fail which, int count = 1, int skip = 0);
// Clears every pending failure.
void ClearFailures();
// Set by FailNext, cleared by ClearFailures: while it is clear no call is to
// fail, and ConsumeFailure answers without a call (the platform asks it on
// every text, window and record it makes).
inline std::atomic<bool> g_failures_armed{false};
// ConsumeFailure once a failure has been armed.
bool ConsumeArmedFailure(Fail which);
// True when this call of `which` is to fail; used by the platform itself.
inline bool ConsumeFailure(Fail which) {
  return g_failures_armed.load(std::memory_order_relaxed) && ConsumeArmedFailure(which);
}

// Number of objects of `what` alive now.
std::int64_t LiveCount(Live what);
// Adds `delta` to the count of `what`; used by the platform itself. A count
// that would fall below zero marks a double release, which DoubleReleases()
// reports.
void CountLive(Live what, int delta);
// Number of releases of an object that was not alive (double deletes).
std::int64_t DoubleReleases();
// Records one release of an object that was not alive; used by the platform
// when it can tell a bad release from a good one itself.
void CountDoubleRelease();

}  // namespace tavrin::platform
