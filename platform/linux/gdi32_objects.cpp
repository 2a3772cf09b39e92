// GDI objects: brushes and bitmaps, stock objects, deleting, selecting into
// device contexts and reading an object's description back.
#include <algorithm>
#include <cstring>

#include "gdi32_table.h"
#include "platform/linux/hooks.h"

using namespace tavrin::platform;
using namespace tavrin::platform::gdi;

namespace {

// Largest bitmap made, in pixels: 64 Mi pixels (256 MiB); Win32 fails
// larger requests too, for want of memory.
constexpr long long kMaxBitmapPixels = 64LL * 1024 * 1024;

bool IsDC(const ObjectPtr& o) {
  return o && (o->kind == Kind::MemoryDC || o->kind == Kind::WindowDC);
}

// Copies `value` into the caller's buffer as GetObjectA does: the whole
// description's size when `buffer` is null, else at most `size` bytes.
template <typename T>
int CopyOut(const T& value, int size, LPVOID buffer) {
  if (buffer == nullptr) return static_cast<int>(sizeof(T));
  if (size <= 0) return 0;
  const auto n = std::min<std::size_t>(static_cast<std::size_t>(size), sizeof(T));
  std::memcpy(buffer, &value, n);
  return static_cast<int>(n);
}

// The slot of a DC that an object of `kind` goes into; null for kinds that
// cannot be selected.
HGDIOBJ* SlotFor(DeviceContext& dc, Kind kind) {
  switch (kind) {
    case Kind::Brush:
      return &dc.brush;
    case Kind::Font:
      return &dc.font;
    case Kind::Bitmap:
      return &dc.bitmap;
    case Kind::Pen:
      return &dc.pen;
    default:
      return nullptr;
  }
}

}  // namespace

namespace tavrin::platform::gdi {

// Takes `handle` out of a DC's slot: when it was deleted while selected and
// no DC holds it any more, it goes now.
void Deselect(HGDIOBJ handle) {
  auto o = Find(handle);
  if (!o || o->stock) return;
  if (o->selectedIn > 0) --o->selectedIn;
  if (o->selectedIn == 0 && o->deletePending) Remove(handle);
}

// Deselects everything a DC holds, before the DC goes.
void DeselectAll(DeviceContext& dc) {
  for (HGDIOBJ* slot : {&dc.brush, &dc.font, &dc.bitmap, &dc.pen}) {
    Deselect(*slot);
    *slot = nullptr;
  }
}

}  // namespace tavrin::platform::gdi

HBRUSH CreateSolidBrush(COLORREF color) {
  if (ConsumeFailure(Fail::CreateSolidBrush)) return nullptr;
  auto o = std::make_shared<Object>();
  o->kind = Kind::Brush;
  o->brushStyle = BS_SOLID;
  o->color = color;  // Wine keeps all 32 bits (GetObjectA reports them back)
  return static_cast<HBRUSH>(Add(o));
}

HGDIOBJ GetStockObject(int index) {
  return Stock(index);
}

// Wine: DeleteObject of a stock or system-colour object succeeds and does
// nothing; of an object still selected into a DC succeeds and the object
// lives on until it is deselected; of a memory DC deletes the DC; of an
// icon fails (DestroyIcon releases icons).
BOOL DeleteObject(HGDIOBJ object) {
  if (object == nullptr) return FALSE;
  auto o = Find(object);
  if (!o) {
    Remove(object);  // counts the double release of a handle that was alive once
    return FALSE;
  }
  if (o->stock) return TRUE;
  if (o->kind == Kind::MemoryDC) return DeleteDC(static_cast<HDC>(object));
  if (o->kind == Kind::WindowDC || o->kind == Kind::Icon) return FALSE;
  if (o->selectedIn > 0) {
    if (o->deletePending) {
      CountDoubleRelease();
      return FALSE;
    }
    o->deletePending = true;
    return TRUE;
  }
  return Remove(object) ? TRUE : FALSE;
}

DWORD GetObjectType(HGDIOBJ object) {
  auto o = Find(object);
  if (!o) return 0;
  switch (o->kind) {
    case Kind::Brush:
      return OBJ_BRUSH;
    case Kind::Pen:
      return OBJ_PEN;
    case Kind::Font:
      return OBJ_FONT;
    case Kind::Bitmap:
      return OBJ_BITMAP;
    case Kind::MemoryDC:
      return OBJ_MEMDC;
    case Kind::WindowDC:
      return OBJ_DC;
    case Kind::Icon:
      return 0;  // Wine: an icon is a USER object, not a GDI one
  }
  return 0;
}

int GetObjectA(HANDLE object, int size, LPVOID buffer) {
  auto o = Find(object);
  if (!o) return 0;
  switch (o->kind) {
    case Kind::Brush: {
      LOGBRUSH lb{};
      lb.lbStyle = o->brushStyle;
      lb.lbColor = o->brushStyle == BS_NULL ? 0 : o->color;
      return CopyOut(lb, size, buffer);
    }
    case Kind::Font:
      return CopyOut(o->font, size, buffer);
    case Kind::Bitmap: {
      BITMAP bm{};
      bm.bmWidth = o->width;
      bm.bmHeight = o->height;
      bm.bmWidthBytes = ((o->width * o->bitsPerPixel + 15) / 16) * 2;  // rows padded to 16 bits
      bm.bmPlanes = 1;
      bm.bmBitsPixel = static_cast<WORD>(o->bitsPerPixel);
      return CopyOut(bm, size, buffer);
    }
    default:
      return 0;
  }
}

// Wine: selecting null, a dead handle, or a bitmap that another DC holds
// fails with null; otherwise the object that the slot held comes back.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  auto target = Find(dc);
  auto o = Find(object);
  if (!IsDC(target) || !o || o->deletePending) return nullptr;
  HGDIOBJ* slot = SlotFor(target->dc, o->kind);
  if (slot == nullptr) return nullptr;
  if (o->kind == Kind::Bitmap) {
    if (target->kind != Kind::MemoryDC) return nullptr;  // bitmaps go into memory DCs only
    if (*slot == object) return object;
    if (!o->stock && o->selectedIn > 0) return nullptr;
  }
  HGDIOBJ previous = *slot;
  if (previous == object) return previous;
  *slot = object;
  if (!o->stock) ++o->selectedIn;
  Deselect(previous);
  return previous;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
  auto target = Find(dc);
  if (!IsDC(target)) return nullptr;
  switch (type) {
    case OBJ_BRUSH:
      return target->dc.brush;
    case OBJ_FONT:
      return target->dc.font;
    case OBJ_BITMAP:
      return target->dc.bitmap;
    case OBJ_PEN:
      return target->dc.pen;
    default:
      return nullptr;
  }
}

// Wine: a bitmap compatible with a memory DC has the colour depth of the
// bitmap selected into it (a new memory DC holds a monochrome one); with a
// window or screen DC, 32 bits. A zero width or height gives the stock 1 by 1
// bitmap.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  if (width < 0 || height < 0) return nullptr;
  if (width == 0 || height == 0) return static_cast<HBITMAP>(DefaultBitmap());
  if (static_cast<long long>(width) * height > kMaxBitmapPixels) return nullptr;
  int bits = 32;
  if (dc != nullptr) {
    auto source = Find(dc);
    if (!IsDC(source)) return nullptr;
    if (source->kind == Kind::MemoryDC) {
      auto selected = FindKind(source->dc.bitmap, Kind::Bitmap);
      if (selected) bits = selected->bitsPerPixel;
    }
  }
  auto o = std::make_shared<Object>();
  o->kind = Kind::Bitmap;
  o->width = width;
  o->height = height;
  o->bitsPerPixel = bits;
  o->surface = std::make_shared<Surface>();
  o->surface->Resize(width, height, 0x000000);
  return static_cast<HBITMAP>(Add(o));
}
