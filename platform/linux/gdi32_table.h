// The GDI object table of the Linux platform: every brush, font, bitmap,
// icon and device context lives here under a handle of its own. Handles are
// never reused, so a release of a dead handle is recognised as a double
// release rather than hitting some newer object. Internal to gdi32_*.cpp and
// controls_*.cpp; not part of the Win32 surface.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/linux/hooks.h"
#include "platform/win32.h"

namespace tavrin::platform::gdi {

enum class Kind { Brush, Font, Bitmap, Icon, MemoryDC, WindowDC, Pen };

// A drawing surface: 32-bit pixels, row by row, each a COLORREF.
struct Surface {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;
  void Resize(int w, int h, COLORREF fill);
  void Fill(const RECT& rect, COLORREF color);
  COLORREF At(int x, int y) const;  // CLR_INVALID outside
};

struct DeviceContext {
  HWND window = nullptr;  // WindowDC: the window it paints
  COLORREF textColor = 0x000000;
  COLORREF backColor = 0xFFFFFF;
  int backMode = OPAQUE;
  UINT textAlign = TA_NOUPDATECP;
  POINT position{0, 0};
  HGDIOBJ brush = nullptr;
  HGDIOBJ font = nullptr;
  HGDIOBJ bitmap = nullptr;  // MemoryDC only
  HGDIOBJ pen = nullptr;
};

struct Object {
  Kind kind = Kind::Brush;
  bool stock = false;          // stock and system-colour objects: never deleted
  bool deletePending = false;  // DeleteObject while selected: goes when deselected
  int selectedIn = 0;          // number of DCs that have it selected
  // Brush
  UINT brushStyle = BS_SOLID;
  COLORREF color = 0;
  // Font
  LOGFONTA font{};
  // Bitmap and icon
  int width = 0;
  int height = 0;
  int bitsPerPixel = 32;
  std::shared_ptr<Surface> surface;  // bitmaps: their pixels
  // Device context
  DeviceContext dc;
};

using ObjectPtr = std::shared_ptr<Object>;

// The live-count category of an object of `kind`, for objects that the
// program made (stock objects are not counted).
Live LiveKind(Kind kind);

// Enters `object` under a new handle and counts it live unless it is stock.
HGDIOBJ Add(ObjectPtr object);
// The object of `handle`, or null when the handle is not (or no longer) one.
ObjectPtr Find(HGDIOBJ handle);
// The object of `handle` when it is of `kind`, else null.
ObjectPtr FindKind(HGDIOBJ handle, Kind kind);
// True when `handle` was handed out once and has been removed since.
bool WasRemoved(HGDIOBJ handle);
// Takes `handle` out of the table and counts it released. False when it was
// not in the table (a double release is then counted when it had been).
bool Remove(HGDIOBJ handle);

// Stock objects by GetStockObject index, and system-colour brushes by
// colour index; made on first use. Null for indexes without an object.
HGDIOBJ Stock(int index);
HBRUSH SystemColorBrush(int index);
// The 1 by 1 monochrome bitmap that a new memory DC holds.
HGDIOBJ DefaultBitmap();

// The surface a DC draws on: the selected bitmap's for a memory DC, the
// window's for a window DC; null when it has none.
std::shared_ptr<Surface> TargetSurface(const Object& dc);
// The surface of `window`'s client area, made or resized to the client size
// on each call; null when the window does not exist.
std::shared_ptr<Surface> WindowSurface(HWND window);
// Dialog base units of a font: average character width as dialog managers
// measure it, and character height.
SIZE BaseUnitsOf(const LOGFONTA& font);
// Takes `handle` out of a DC's slot (a deleted object goes once no DC holds
// it), and empties every slot of a DC before it goes.
void Deselect(HGDIOBJ handle);
void DeselectAll(DeviceContext& dc);
// The colour a brush paints with; false for the null brush and non-brushes.
bool BrushColor(HGDIOBJ brush, COLORREF* color);

}  // namespace tavrin::platform::gdi
