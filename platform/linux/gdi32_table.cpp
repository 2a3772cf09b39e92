// The GDI object table: handles, lookup, live counts, stock objects and the
// system-colour brushes.
#include "gdi32_table.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "platform/linux/hooks.h"

namespace tavrin::platform::gdi {
namespace {

// GDI handles start far above window handles (small even numbers) and step
// by 4, so neither kind can be mistaken for the other.
constexpr std::uintptr_t kFirstHandle = 0x10000;
constexpr std::uintptr_t kHandleStep = 4;

struct Table {
  std::mutex lock;
  std::unordered_map<std::uintptr_t, ObjectPtr> objects;
  std::uintptr_t next = kFirstHandle;
};

Table& Objects() {
  static Table table;
  return table;
}

std::uintptr_t Key(HGDIOBJ handle) {
  return reinterpret_cast<std::uintptr_t>(handle);
}

// Stock objects by GetStockObject index: what each one is.
struct StockEntry {
  int index;
  Kind kind;
  UINT brushStyle;
  COLORREF color;
  LONG fontHeight;  // fonts: lfHeight of the stock font (0: the system font)
};
constexpr StockEntry kStockTable[] = {
    {WHITE_BRUSH, Kind::Brush, BS_SOLID, 0xFFFFFF, 0},
    {LTGRAY_BRUSH, Kind::Brush, BS_SOLID, 0xC0C0C0, 0},
    {GRAY_BRUSH, Kind::Brush, BS_SOLID, 0x808080, 0},
    {DKGRAY_BRUSH, Kind::Brush, BS_SOLID, 0x404040, 0},
    {BLACK_BRUSH, Kind::Brush, BS_SOLID, 0x000000, 0},
    {NULL_BRUSH, Kind::Brush, BS_NULL, 0x000000, 0},
    {WHITE_PEN, Kind::Pen, BS_SOLID, 0xFFFFFF, 0},
    {BLACK_PEN, Kind::Pen, BS_SOLID, 0x000000, 0},
    {NULL_PEN, Kind::Pen, BS_NULL, 0x000000, 0},
    {OEM_FIXED_FONT, Kind::Font, 0, 0, 0},
    {ANSI_FIXED_FONT, Kind::Font, 0, 0, 0},
    {ANSI_VAR_FONT, Kind::Font, 0, 0, 0},
    {SYSTEM_FONT, Kind::Font, 0, 0, 0},
    {DEVICE_DEFAULT_FONT, Kind::Font, 0, 0, 0},
    {SYSTEM_FIXED_FONT, Kind::Font, 0, 0, 0},
    {DEFAULT_GUI_FONT, Kind::Font, 0, 0, -11},
    {DC_BRUSH, Kind::Brush, BS_SOLID, 0xFFFFFF, 0},
    {DC_PEN, Kind::Pen, BS_SOLID, 0x000000, 0},
};
// The 1 by 1 monochrome bitmap that every new memory DC holds; GetStockObject
// has no index for it, so it sits past the last one.
constexpr int kDefaultBitmapIndex = 20;
constexpr int kStockSlots = 21;
constexpr int kSystemColors = 31;  // COLOR_SCROLLBAR (0) to COLOR_MENUBAR (30)

struct Stocks {
  std::once_flag once;
  std::array<HGDIOBJ, kStockSlots> objects{};
  std::array<HBRUSH, kSystemColors> systemBrushes{};
};

Stocks& StockObjects() {
  static Stocks stocks;
  std::call_once(stocks.once, [] {
    for (const auto& e : kStockTable) {
      auto o = std::make_shared<Object>();
      o->kind = e.kind;
      o->stock = true;
      o->brushStyle = e.brushStyle;
      o->color = e.color;
      o->font.lfHeight = e.fontHeight;
      o->font.lfWeight = FW_NORMAL;
      stocks.objects[static_cast<std::size_t>(e.index)] = Add(o);
    }
    auto bitmap = std::make_shared<Object>();
    bitmap->kind = Kind::Bitmap;
    bitmap->stock = true;
    bitmap->width = 1;
    bitmap->height = 1;
    bitmap->bitsPerPixel = 1;
    bitmap->surface = std::make_shared<Surface>();
    bitmap->surface->Resize(1, 1, 0x000000);
    stocks.objects[kDefaultBitmapIndex] = Add(bitmap);
    for (int i = 0; i < kSystemColors; ++i) {
      auto brush = std::make_shared<Object>();
      brush->kind = Kind::Brush;
      brush->stock = true;
      brush->color = GetSysColor(i);
      stocks.systemBrushes[static_cast<std::size_t>(i)] = static_cast<HBRUSH>(Add(brush));
    }
  });
  return stocks;
}

}  // namespace

void Surface::Resize(int w, int h, COLORREF fill) {
  width = std::max(w, 0);
  height = std::max(h, 0);
  pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
}

void Surface::Fill(const RECT& rect, COLORREF color) {
  const int left = std::clamp(static_cast<int>(rect.left), 0, width);
  const int right = std::clamp(static_cast<int>(rect.right), 0, width);
  const int top = std::clamp(static_cast<int>(rect.top), 0, height);
  const int bottom = std::clamp(static_cast<int>(rect.bottom), 0, height);
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
             static_cast<std::size_t>(x)] = color;
}

COLORREF Surface::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
  return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)];
}

Live LiveKind(Kind kind) {
  switch (kind) {
    case Kind::Brush:
    case Kind::Pen:
      return Live::Brush;
    case Kind::Font:
      return Live::Font;
    case Kind::Bitmap:
      return Live::Bitmap;
    case Kind::Icon:
      return Live::Icon;
    case Kind::MemoryDC:
    case Kind::WindowDC:
      return Live::DeviceContext;
  }
  return Live::Brush;
}

HGDIOBJ Add(ObjectPtr object) {
  auto& t = Objects();
  std::uintptr_t key;
  {
    std::lock_guard guard(t.lock);
    key = t.next;
    t.next += kHandleStep;
    t.objects.emplace(key, object);
  }
  if (!object->stock) CountLive(LiveKind(object->kind), +1);
  return reinterpret_cast<HGDIOBJ>(key);
}

ObjectPtr Find(HGDIOBJ handle) {
  auto& t = Objects();
  std::lock_guard guard(t.lock);
  auto it = t.objects.find(Key(handle));
  return it == t.objects.end() ? nullptr : it->second;
}

ObjectPtr FindKind(HGDIOBJ handle, Kind kind) {
  auto o = Find(handle);
  return o && o->kind == kind ? o : nullptr;
}

bool WasRemoved(HGDIOBJ handle) {
  const auto key = Key(handle);
  auto& t = Objects();
  std::lock_guard guard(t.lock);
  return key >= kFirstHandle && key < t.next && (key - kFirstHandle) % kHandleStep == 0 &&
         t.objects.find(key) == t.objects.end();
}

bool Remove(HGDIOBJ handle) {
  ObjectPtr object;
  {
    auto& t = Objects();
    std::lock_guard guard(t.lock);
    auto it = t.objects.find(Key(handle));
    if (it != t.objects.end()) {
      object = it->second;
      t.objects.erase(it);
    }
  }
  if (!object) {
    if (WasRemoved(handle)) CountDoubleRelease();
    return false;
  }
  if (!object->stock) CountLive(LiveKind(object->kind), -1);
  return true;
}

HGDIOBJ Stock(int index) {
  if (index < 0 || index >= kStockSlots) return nullptr;
  return StockObjects().objects[static_cast<std::size_t>(index)];
}

HGDIOBJ DefaultBitmap() {
  return Stock(kDefaultBitmapIndex);
}

HBRUSH SystemColorBrush(int index) {
  if (index < 0 || index >= kSystemColors) return nullptr;
  return StockObjects().systemBrushes[static_cast<std::size_t>(index)];
}

std::shared_ptr<Surface> TargetSurface(const Object& dc) {
  if (dc.kind == Kind::WindowDC) return WindowSurface(dc.dc.window);
  if (dc.kind != Kind::MemoryDC) return nullptr;
  auto bitmap = FindKind(dc.dc.bitmap, Kind::Bitmap);
  return bitmap ? bitmap->surface : nullptr;
}

bool BrushColor(HGDIOBJ brush, COLORREF* color) {
  // FillRect takes a system colour index plus one in place of a brush.
  const auto value = Key(brush);
  if (value >= 1 && value <= kSystemColors) {
    *color = GetSysColor(static_cast<int>(value - 1));
    return true;
  }
  auto o = FindKind(brush, Kind::Brush);
  if (!o || o->brushStyle == BS_NULL) return false;
  *color = o->color;
  return true;
}

}  // namespace tavrin::platform::gdi
