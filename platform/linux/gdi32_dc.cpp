// Device contexts: memory DCs, window DCs (GetDC and the painting DCs of
// BeginPaint), their attributes, and the few drawing operations the program
// uses (FillRect, BitBlt, text position, pixels). Window DCs draw on a
// surface per window, sized to its client area, so a test can read back
// what was painted.
#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "gdi32_table.h"
#include "gdi_internal.h"
#include "platform/linux/hooks.h"

using namespace tavrin::platform;
using namespace tavrin::platform::gdi;

namespace {

// What GetDeviceCaps reports for the screen of these machines (Xvfb 1024 by
// 768 by 24, which Wine drives at 96 dpi and 32 bits per pixel).
constexpr int kScreenDpi = 96;
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr int kScreenBitsPerPixel = 32;

ObjectPtr FindDC(HDC dc) {
  auto o = Find(dc);
  return o && (o->kind == Kind::MemoryDC || o->kind == Kind::WindowDC) ? o : nullptr;
}

// The attribute `field` of `dc`, or `failed` when `dc` is no DC.
template <typename T>
T GetAttribute(HDC dc, T DeviceContext::*field, T failed) {
  auto o = FindDC(dc);
  return o ? o->dc.*field : failed;
}

// Sets the attribute `field` of `dc` to `value` and gives the previous
// value, or `failed` (changing nothing) when `dc` is no DC.
template <typename T>
T SetAttribute(HDC dc, T DeviceContext::*field, T value, T failed) {
  auto o = FindDC(dc);
  return o ? std::exchange(o->dc.*field, value) : failed;
}

// A new DC holds the white brush, the black pen and the system font, as
// Win32's do; a memory DC also holds the 1 by 1 monochrome bitmap.
ObjectPtr NewDC(Kind kind, HWND window) {
  auto o = std::make_shared<Object>();
  o->kind = kind;
  o->dc.window = window;
  o->dc.brush = Stock(WHITE_BRUSH);
  o->dc.pen = Stock(BLACK_PEN);
  o->dc.font = Stock(SYSTEM_FONT);
  if (kind == Kind::MemoryDC) o->dc.bitmap = DefaultBitmap();
  return o;
}

struct Surfaces {
  std::mutex lock;
  std::unordered_map<HWND, std::shared_ptr<Surface>> byWindow;
};

Surfaces& WindowSurfaces() {
  static Surfaces s;
  return s;
}

// Releases a DC of either kind: its objects are deselected and the handle
// dies. False (and a double release counted) for a handle already gone.
BOOL Release(HDC dc, Kind expected) {
  auto o = Find(dc);
  if (!o) {
    Remove(dc);
    return FALSE;
  }
  if (o->kind != expected) return FALSE;
  DeselectAll(o->dc);
  return Remove(dc) ? TRUE : FALSE;
}

}  // namespace

namespace tavrin::platform {

HDC AcquireWindowDC(HWND window) {
  if (window != nullptr && !IsWindow(window)) return nullptr;
  return static_cast<HDC>(Add(NewDC(Kind::WindowDC, window)));
}

void ReleaseWindowDC(HDC dc) {
  Release(dc, Kind::WindowDC);
}

namespace gdi {

std::shared_ptr<Surface> WindowSurface(HWND window) {
  int width = kScreenWidth;
  int height = kScreenHeight;
  if (window != nullptr) {
    RECT client{};
    if (!IsWindow(window) || !GetClientRect(window, &client)) return nullptr;
    // Only what can be on the screen has pixels, as on Win32, so a window
    // of any size costs at most one screen of memory.
    width = static_cast<int>(
        std::clamp<std::int64_t>(std::int64_t{client.right} - client.left, 0, kScreenWidth));
    height = static_cast<int>(
        std::clamp<std::int64_t>(std::int64_t{client.bottom} - client.top, 0, kScreenHeight));
  }
  auto& s = WindowSurfaces();
  std::lock_guard guard(s.lock);
  // Forget the surfaces of windows that have gone.
  std::erase_if(s.byWindow,
                [](const auto& entry) { return entry.first != nullptr && !IsWindow(entry.first); });
  auto& surface = s.byWindow[window];
  if (!surface) surface = std::make_shared<Surface>();
  if (surface->width != width || surface->height != height)
    surface->Resize(width, height, 0xFFFFFF);
  return surface;
}

}  // namespace gdi
}  // namespace tavrin::platform

HDC GetDC(HWND window) {
  return AcquireWindowDC(window);
}

// Wine: ReleaseDC does not check that the window is the DC's; releasing a
// DC twice fails the second time.
int ReleaseDC(HWND, HDC dc) {
  return Release(dc, Kind::WindowDC);
}

HDC CreateCompatibleDC(HDC dc) {
  if (dc != nullptr && !FindDC(dc)) return nullptr;
  return static_cast<HDC>(Add(NewDC(Kind::MemoryDC, nullptr)));
}

BOOL DeleteDC(HDC dc) {
  return Release(dc, Kind::MemoryDC);
}

int GetDeviceCaps(HDC dc, int index) {
  if (!FindDC(dc)) return 0;
  switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
      return kScreenDpi;
    case HORZRES:
      return kScreenWidth;
    case VERTRES:
      return kScreenHeight;
    case BITSPIXEL:
      return kScreenBitsPerPixel;
    case PLANES:
      return 1;
    default:
      return 0;
  }
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
  return SetAttribute(dc, &DeviceContext::textColor, color, CLR_INVALID);
}

COLORREF GetTextColor(HDC dc) {
  return GetAttribute(dc, &DeviceContext::textColor, CLR_INVALID);
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
  return SetAttribute(dc, &DeviceContext::backColor, color, CLR_INVALID);
}

COLORREF GetBkColor(HDC dc) {
  return GetAttribute(dc, &DeviceContext::backColor, CLR_INVALID);
}

// Wine: a mode other than TRANSPARENT or OPAQUE fails with 0.
int SetBkMode(HDC dc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return SetAttribute(dc, &DeviceContext::backMode, mode, 0);
}

int GetBkMode(HDC dc) {
  return GetAttribute(dc, &DeviceContext::backMode, 0);
}

UINT SetTextAlign(HDC dc, UINT align) {
  return SetAttribute(dc, &DeviceContext::textAlign, align, static_cast<UINT>(GDI_ERROR));
}

UINT GetTextAlign(HDC dc) {
  return GetAttribute(dc, &DeviceContext::textAlign, static_cast<UINT>(GDI_ERROR));
}

// Wine: FillRect with a null brush succeeds and paints nothing; a system
// colour index plus one stands for that colour's brush.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  auto o = FindDC(dc);
  if (!o || rect == nullptr) return 0;
  COLORREF color;
  if (!BrushColor(brush, &color)) return 1;
  if (auto surface = TargetSurface(*o)) surface->Fill(*rect, color & 0xFFFFFF);
  return 1;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
            DWORD rop) {
  auto d = FindDC(dest);
  if (!d) return FALSE;
  auto target = TargetSurface(*d);
  const RECT area{x, y, x + width, y + height};
  switch (rop) {
    case BLACKNESS:
      if (target) target->Fill(area, 0x000000);
      return TRUE;
    case WHITENESS:
      if (target) target->Fill(area, 0xFFFFFF);
      return TRUE;
    case PATCOPY: {
      COLORREF color;
      if (target && BrushColor(d->dc.brush, &color)) target->Fill(area, color & 0xFFFFFF);
      return TRUE;
    }
    case SRCCOPY: {
      auto s = FindDC(source);
      if (!s) return FALSE;
      auto from = TargetSurface(*s);
      if (!target || !from) return TRUE;
      // Only the pixels inside both surfaces are copied (in 64 bits: any
      // int position and size is allowed), so the work is bounded by the
      // surfaces rather than by the size asked for.
      const std::int64_t firstI =
          std::max<std::int64_t>({0, -std::int64_t{x}, -std::int64_t{sourceX}});
      const std::int64_t lastI = std::min<std::int64_t>(
          {width, std::int64_t{target->width} - x, std::int64_t{from->width} - sourceX});
      const std::int64_t firstJ =
          std::max<std::int64_t>({0, -std::int64_t{y}, -std::int64_t{sourceY}});
      const std::int64_t lastJ = std::min<std::int64_t>(
          {height, std::int64_t{target->height} - y, std::int64_t{from->height} - sourceY});
      if (firstI >= lastI || firstJ >= lastJ) return TRUE;
      // Copy through a buffer: source and target may be the same surface.
      std::vector<COLORREF> rows(static_cast<std::size_t>((lastI - firstI) * (lastJ - firstJ)));
      std::size_t k = 0;
      for (std::int64_t j = firstJ; j < lastJ; ++j)
        for (std::int64_t i = firstI; i < lastI; ++i)
          rows[k++] = from->At(static_cast<int>(sourceX + i), static_cast<int>(sourceY + j));
      k = 0;
      for (std::int64_t j = firstJ; j < lastJ; ++j)
        for (std::int64_t i = firstI; i < lastI; ++i) {
          const auto tx = static_cast<std::size_t>(x + i), ty = static_cast<std::size_t>(y + j);
          target->pixels[ty * static_cast<std::size_t>(target->width) + tx] = rows[k++];
        }
      return TRUE;
    }
    default:
      return TRUE;
  }
}

// No glyphs are drawn; with TA_UPDATECP the current position moves on by the
// text's width, as Win32's does.
BOOL TextOutA(HDC dc, int, int, LPCSTR text, int count) {
  auto o = FindDC(dc);
  if (!o || count < 0 || (text == nullptr && count > 0)) return FALSE;
  if (o->dc.textAlign & TA_UPDATECP) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text, count, &size);
    o->dc.position.x += size.cx;
  }
  return TRUE;
}

BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
  auto o = FindDC(dc);
  if (!o) return FALSE;
  if (previous != nullptr) *previous = o->dc.position;
  o->dc.position = POINT{x, y};
  return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
  auto o = FindDC(dc);
  if (!o) return FALSE;
  o->dc.position = POINT{x, y};
  return TRUE;
}

COLORREF GetPixel(HDC dc, int x, int y) {
  auto o = FindDC(dc);
  if (!o) return CLR_INVALID;
  auto surface = TargetSurface(*o);
  return surface ? surface->At(x, y) : CLR_INVALID;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
  auto o = FindDC(dc);
  if (!o) return CLR_INVALID;
  auto surface = TargetSurface(*o);
  if (!surface || surface->At(x, y) == CLR_INVALID) return CLR_INVALID;
  surface->Fill(RECT{x, y, x + 1, y + 1}, color & 0xFFFFFF);
  return color & 0xFFFFFF;
}
