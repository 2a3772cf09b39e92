// The engine's per-window records and the process-wide list that holds them,
// keyed by window handle. One record layout serves dialogs and controls; the
// `flags` field tells them apart. The list is guarded by a spin lock that is
// held only while the list itself is walked or relinked.
#pragma once

#include <cstdint>

#include "dialog/engine.h"
#include "platform/win32.h"

namespace tavrin {

// Bits of a record's `flags`.
namespace RecordFlag {
inline constexpr std::uint32_t Units = 0x0001;         // geometry in dialog units
inline constexpr std::uint32_t Pixels = 0x0002;        // geometry in pixels
inline constexpr std::uint32_t GeometryMask = 0x0007;  // the bits a control copies from its dialog
inline constexpr std::uint32_t IconImage = 0x0100;     // `image` is an icon (DestroyIcon)
inline constexpr std::uint32_t BitmapImage = 0x0200;   // `image` is a bitmap (DeleteObject)
inline constexpr std::uint32_t Shown = 0x0400;         // the dialog has been shown
inline constexpr std::uint32_t Ending = 0x0800;        // DialogEnd is ending the dialog
inline constexpr std::uint32_t Control = 0x2000;       // a ControlRecord
inline constexpr std::uint32_t Dialog = 0x4000;        // a DialogRecord
}  // namespace RecordFlag

// Number of caller-kept values per record.
inline constexpr int kUserValueCount = 8;

// One record of the registry. Fields in their fixed order; which of them a
// dialog or a control uses is noted beside each.
struct Record {
  Record* next;                // next (older) record; null at the end
  HWND window;                 // the key
  HWND parent;                 // dialog: parent given to DialogNew; control: its dialog
  std::uint32_t flags;         // RecordFlag bits
  std::int32_t showCommand;    // dialog: ShowWindow command of its first showing
  HFONT font;                  // dialog: its font, given to each control added
  ControlCallback callback;    // dialog-wide or control callback, null for none
  std::int32_t* resultTarget;  // dialog: where DialogEnd stores the result
  HBRUSH backBrush;            // brush for backColor (shared by colour)
  std::int32_t backColor;      // colour value (COLORREF or ColorDefault/Transparent/Unset)
  std::int32_t textColor;      // colour value
  HDC memDC;                   // graphic: memory device context
  HBITMAP savedBitmap;         // graphic: bitmap memDC held before its own
  float scaleX;                // graphic: horizontal pixels per dialog unit
  float scaleY;                // graphic: vertical pixels per dialog unit
  std::int32_t graphicWidth;   // graphic: client width in pixels
  std::int32_t graphicHeight;  // graphic: client height in pixels
  HFONT savedFont;             // graphic: font memDC held before its own
  std::int32_t charWidth;      // graphic: average character width
  std::int32_t lineHeight;     // graphic: character height plus external leading
  COLORREF drawColor;          // graphic: drawing (text) colour
  COLORREF fillColor;          // graphic: fill (background) colour
  std::int32_t kind;           // ControlKind code; 0 for a dialog
  std::uint32_t style;         // dialog: style argument as given to DialogNew
  HANDLE image;                // image control: HBITMAP or HICON
  HICON bigIcon;               // dialog: large icon
  HICON smallIcon;             // dialog: small icon
  std::int32_t userValues[kUserValueCount];  // kept for the caller
};
using DialogRecord = Record;
using ControlRecord = Record;

// True when `color` is a plain COLORREF (0 to 0xFFFFFF) rather than one of
// the special colour values.
constexpr bool IsColorRef(std::int32_t color) {
  return color >= 0;
}

// Adds a record for `window`. Null when `window` already has one (which is
// left unchanged) or when no memory can be had.
Record* RegistryAdd(std::uint32_t flags, HWND window, HWND parent, std::int32_t kind);
// The record of `window`, or null. The caller uses the record without the lock.
Record* RegistryFind(HWND window);
// Removes the records of `window` and of its controls (newest first) and
// releases every GDI object they own. False when `window` has no record or a
// control's record could not be removed (then `window`'s own record stays).
bool RegistryRemove(HWND window);
// The window of the newest ControlRecord whose parent is `dialog`, or null.
HWND RegistryFirstControl(HWND dialog);
// The newest record whose backColor is `color` and which holds a brush, or
// null: the brush to share for that colour.
Record* RegistryBrushForColor(std::int32_t color);

// What a colour change works on, found in one walk under one hold of the
// lock: the records of `dialog` and of `target` (either null when it has
// none) and, for a COLORREF `color`, the newest record holding a brush for
// it (null for none, and always null for the special colour values).
struct ColorRecords {
  Record* dialog;
  Record* target;
  Record* sharing;
};
ColorRecords RegistryFindForColor(HWND dialog, HWND target, std::int32_t color);

// Number of records in the list (diagnostics and tests).
int RegistryCount();
// Gives the blocks kept from removed records back to the heap, so that the
// next records are allocated afresh.
void RegistryFreeKeptBlocks();

}  // namespace tavrin
