// The Linux platform's GDI bookkeeping through its test hooks: live counts
// per object type, double releases, failure injection, the program's
// declared resources, and dialog base units. Native only.
#include "platform/linux/gdi_hooks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../../platform/linux/gdi_internal.h"
#include "platform/linux/hooks.h"
#include "platform/win32.h"

namespace tavrin::test {
namespace {

using platform::Live;
using platform::LiveCount;

HINSTANCE Instance() {
  return GetModuleHandleA(nullptr) ? GetModuleHandleA(nullptr)
                                   : reinterpret_cast<HINSTANCE>(0x400000);
}

class GdiHooks : public testing::Test {
 protected:
  void SetUp() override {
    platform::ClearFailures();
    platform::ClearResources();
    for (int i = 0; i < static_cast<int>(Live::kCount); ++i)
      before_[i] = LiveCount(static_cast<Live>(i));
    doubles_ = platform::DoubleReleases();
  }
  void TearDown() override {
    platform::ClearFailures();
    platform::ClearResources();
  }
  std::int64_t Grown(Live what) const { return LiveCount(what) - before_[static_cast<int>(what)]; }
  std::int64_t NewDoubles() const { return platform::DoubleReleases() - doubles_; }

  std::int64_t before_[static_cast<int>(Live::kCount)]{};
  std::int64_t doubles_ = 0;
};

// Each kind of object: how it is made, how it is released, and what counts it.
struct Lifecycle {
  const char* name;
  Live live;
  HANDLE (*make)();
  BOOL (*release)(HANDLE);
};

HANDLE MakeBrush() {
  return CreateSolidBrush(RGB(1, 2, 3));
}
HANDLE MakeFont() {
  LOGFONTA lf{};
  lf.lfHeight = -11;
  return CreateFontIndirectA(&lf);
}
HANDLE MakeBitmap() {
  return CreateCompatibleBitmap(nullptr, 8, 8);
}
HANDLE MakeMemoryDc() {
  return CreateCompatibleDC(nullptr);
}
HANDLE MakeWindowDc() {
  return GetDC(nullptr);
}
HANDLE MakeIcon() {
  platform::RegisterResource(RT_GROUP_ICON, "APP", 32, 32);
  return LoadImageA(Instance(), "APP", IMAGE_ICON, 0, 0, 0);
}
BOOL Delete(HANDLE h) {
  return DeleteObject(h);
}
BOOL DeleteMemoryDc(HANDLE h) {
  return DeleteDC(static_cast<HDC>(h));
}
BOOL ReleaseWindowDc(HANDLE h) {
  return ReleaseDC(nullptr, static_cast<HDC>(h));
}
BOOL Destroy(HANDLE h) {
  return DestroyIcon(static_cast<HICON>(h));
}

const Lifecycle kLifecycles[] = {
    {"brush", Live::Brush, MakeBrush, Delete},
    {"font", Live::Font, MakeFont, Delete},
    {"bitmap", Live::Bitmap, MakeBitmap, Delete},
    {"memory DC", Live::DeviceContext, MakeMemoryDc, DeleteMemoryDc},
    {"window DC", Live::DeviceContext, MakeWindowDc, ReleaseWindowDc},
    {"icon", Live::Icon, MakeIcon, Destroy},
};

TEST_F(GdiHooks, EveryObjectIsCountedWhileAliveAndASecondReleaseIsCaught) {
  for (const auto& l : kLifecycles) {
    SCOPED_TRACE(l.name);
    SetUp();
    HANDLE h = l.make();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(Grown(l.live), 1);
    EXPECT_TRUE(l.release(h));
    EXPECT_EQ(Grown(l.live), 0);
    EXPECT_EQ(NewDoubles(), 0);
    EXPECT_FALSE(l.release(h));
    EXPECT_EQ(Grown(l.live), 0);
    EXPECT_EQ(NewDoubles(), 1);
  }
}

TEST_F(GdiHooks, StockAndSystemObjectsAreNeitherCountedNorReleased) {
  const HGDIOBJ objects[] = {GetStockObject(NULL_BRUSH), GetStockObject(SYSTEM_FONT),
                             GetSysColorBrush(COLOR_BTNFACE), GetSysColorBrush(COLOR_WINDOW),
                             CreateCompatibleBitmap(nullptr, 0, 0)};
  for (HGDIOBJ o : objects) {
    EXPECT_TRUE(DeleteObject(o));
    EXPECT_TRUE(DeleteObject(o));
  }
  for (Live l : {Live::Brush, Live::Font, Live::Bitmap}) EXPECT_EQ(Grown(l), 0);
  EXPECT_EQ(NewDoubles(), 0);
}

TEST_F(GdiHooks, ReleasingTheWrongKindNeitherReleasesNorCounts) {
  HANDLE icon = MakeIcon();
  HANDLE bitmap = MakeBitmap();
  EXPECT_FALSE(DeleteObject(icon));  // icons go by DestroyIcon
  EXPECT_FALSE(DestroyIcon(static_cast<HICON>(bitmap)));
  EXPECT_EQ(Grown(Live::Icon), 1);
  EXPECT_EQ(Grown(Live::Bitmap), 1);
  EXPECT_EQ(NewDoubles(), 0);
  EXPECT_TRUE(DestroyIcon(static_cast<HICON>(icon)));
  EXPECT_TRUE(DeleteObject(bitmap));
}

TEST_F(GdiHooks, DeletingASelectedObjectTwiceIsADoubleRelease) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBRUSH brush = CreateSolidBrush(5);
  SelectObject(dc, brush);
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_EQ(Grown(Live::Brush), 1);  // still selected
  EXPECT_FALSE(DeleteObject(brush));
  EXPECT_EQ(NewDoubles(), 1);
  EXPECT_TRUE(DeleteDC(dc));  // deselects, and the brush goes
  EXPECT_EQ(Grown(Live::Brush), 0);
  EXPECT_EQ(Grown(Live::DeviceContext), 0);
}

TEST_F(GdiHooks, InjectedFailuresFailOnlyTheirCall) {
  platform::RegisterResource(RT_BITMAP, "LOGO", 24, 12);
  platform::FailNext(platform::Fail::CreateSolidBrush, 1, 1);
  HBRUSH first = CreateSolidBrush(1);
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(CreateSolidBrush(2), nullptr);
  HBRUSH third = CreateSolidBrush(3);
  EXPECT_NE(third, nullptr);
  EXPECT_EQ(Grown(Live::Brush), 2);
  platform::FailNext(platform::Fail::LoadImageA);
  EXPECT_EQ(LoadImageA(Instance(), "LOGO", IMAGE_BITMAP, 0, 0, 0), nullptr);
  HANDLE logo = LoadImageA(Instance(), "LOGO", IMAGE_BITMAP, 0, 0, 0);
  EXPECT_NE(logo, nullptr);
  DeleteObject(first);
  DeleteObject(third);
  DeleteObject(logo);
}

// EnumResourceNamesA's callback collects what it is given.
BOOL CALLBACK Collect(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
  auto* out = reinterpret_cast<std::vector<std::string>*>(param);
  if (IS_INTRESOURCE(name))
    out->push_back("#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)));
  else
    out->push_back(name);
  return out->size() < 100;
}

BOOL CALLBACK StopAtFirst(HMODULE, LPCSTR, LPSTR, LONG_PTR param) {
  ++*reinterpret_cast<int*>(param);
  return FALSE;
}

TEST_F(GdiHooks, ResourcesAreListedAsAResourceCompilerStoresThem) {
  platform::RegisterResource(RT_BITMAP, "logo", 24, 12);
  platform::RegisterResource(RT_BITMAP, MAKEINTRESOURCEA(123), 10, 6);
  platform::RegisterResource(RT_BITMAP, "Zeta", 24, 12);
  platform::RegisterResource(RT_BITMAP, MAKEINTRESOURCEA(7), 10, 6);
  platform::RegisterResource(RT_GROUP_ICON, "appicon", 32, 32);
  std::vector<std::string> names;
  EXPECT_TRUE(EnumResourceNamesA(nullptr, RT_BITMAP, Collect, reinterpret_cast<LONG_PTR>(&names)));
  // Text names first, in capitals and in order, then ids in ascending order.
  EXPECT_EQ(names, (std::vector<std::string>{"LOGO", "ZETA", "#7", "#123"}));
  names.clear();
  EXPECT_TRUE(
      EnumResourceNamesA(nullptr, RT_GROUP_ICON, Collect, reinterpret_cast<LONG_PTR>(&names)));
  EXPECT_EQ(names, std::vector<std::string>{"APPICON"});
  int calls = 0;
  EXPECT_FALSE(
      EnumResourceNamesA(nullptr, RT_BITMAP, StopAtFirst, reinterpret_cast<LONG_PTR>(&calls)));
  EXPECT_EQ(calls, 1);
  names.clear();
  EXPECT_FALSE(EnumResourceNamesA(nullptr, RT_CURSOR, Collect, reinterpret_cast<LONG_PTR>(&names)));
  EXPECT_TRUE(names.empty());
}

TEST_F(GdiHooks, LoadImageResolvesNamesAsWin32) {
  platform::RegisterResource(RT_BITMAP, "logo", 24, 12);
  platform::RegisterResource(RT_BITMAP, MAKEINTRESOURCEA(123), 10, 6);
  platform::RegisterResource(RT_GROUP_ICON, "appicon", 32, 32);
  platform::RegisterResource(RT_GROUP_ICON, MAKEINTRESOURCEA(55), 32, 32);
  struct Case {
    const char* name;  // null: MAKEINTRESOURCEA(id)
    WORD id;
    UINT type;
    int cx, cy;
    bool loads;
    LONG width, height;
  };
  const Case cases[] = {
      {"logo", 0, IMAGE_BITMAP, 0, 0, true, 24, 12},
      {"LOGO", 0, IMAGE_BITMAP, 0, 0, true, 24, 12},
      {"Logo", 0, IMAGE_BITMAP, 40, 30, true, 40, 30},
      {"logo", 0, IMAGE_BITMAP, 40, 0, true, 40, 12},
      {"#123", 0, IMAGE_BITMAP, 0, 0, true, 10, 6},
      {"#0123", 0, IMAGE_BITMAP, 0, 0, true, 10, 6},
      {"#123abc", 0, IMAGE_BITMAP, 0, 0, true, 10, 6},
      {nullptr, 123, IMAGE_BITMAP, 0, 0, true, 10, 6},
      {"123", 0, IMAGE_BITMAP, 0, 0, false, 0, 0},
      {"#", 0, IMAGE_BITMAP, 0, 0, false, 0, 0},
      {"#99999", 0, IMAGE_BITMAP, 0, 0, false, 0, 0},
      {"appicon", 0, IMAGE_BITMAP, 0, 0, false, 0, 0},
      {"appicon", 0, IMAGE_ICON, 0, 0, true, 32, 32},
      {"#55", 0, IMAGE_ICON, 16, 16, true, 16, 16},
      {"logo", 0, IMAGE_ICON, 0, 0, false, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.name ? c.name : "id") << " " << c.id << " " << c.type);
    const LPCSTR name = c.name ? c.name : MAKEINTRESOURCEA(c.id);
    HANDLE image = LoadImageA(Instance(), name, c.type, c.cx, c.cy, LR_LOADMAP3DCOLORS);
    EXPECT_EQ(image != nullptr, c.loads);
    if (!image) continue;
    const SIZE size = platform::ImageSize(image);
    EXPECT_EQ(size.cx, c.width);
    EXPECT_EQ(size.cy, c.height);
    if (c.type == IMAGE_ICON)
      EXPECT_TRUE(DestroyIcon(static_cast<HICON>(image)));
    else
      EXPECT_TRUE(DeleteObject(image));
  }
  EXPECT_EQ(LoadImageA(nullptr, "logo", IMAGE_BITMAP, 0, 0, 0), nullptr);
  EXPECT_EQ(Grown(Live::Bitmap), 0);
  EXPECT_EQ(Grown(Live::Icon), 0);
}

TEST_F(GdiHooks, DialogBaseUnitsFollowTheFontHeight) {
  struct Case {
    LONG height;
    LONG x, y;
  };
  const Case cases[] = {
      {-11, 7, 13},                  // "MS Sans Serif" 8 pt under Wine
      {-13, 8, 15},                  // "tahoma" 10 pt under Wine
      {-16, 10, 19},    {0, 9, 16},  // the system font
      {-40, 25, 46},                 // the largest measured height
      {-200, 123, 230},              // beyond it, the -40 font scaled five times
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.height);
    LOGFONTA lf{};
    lf.lfHeight = c.height;
    HFONT font = CreateFontIndirectA(&lf);
    const SIZE units = platform::DialogBaseUnits(font);
    EXPECT_EQ(units.cx, c.x);
    EXPECT_EQ(units.cy, c.y);
    DeleteObject(font);
  }
  const SIZE none = platform::DialogBaseUnits(nullptr);
  EXPECT_EQ(none.cx, 9);
  EXPECT_EQ(none.cy, 16);
}


// A window's pixels are only those that can be on the screen: painting a
// window far larger than the screen neither takes its whole area in memory
// nor fails.
TEST_F(GdiHooks, AWindowLargerThanTheScreenPaintsWithinTheScreen) {
  constexpr int kHuge = 0x10000000;
  HWND window = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, kHuge, kHuge, nullptr, nullptr,
                                Instance(), nullptr);
  ASSERT_NE(window, nullptr);
  HDC dc = GetDC(window);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  const RECT all{0, 0, kHuge, kHuge};
  EXPECT_TRUE(FillRect(dc, &all, red));
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, GetSystemMetrics(SM_CXSCREEN), 0), CLR_INVALID);
  ReleaseDC(window, dc);
  DeleteObject(red);
  DestroyWindow(window);
}

}  // namespace
}  // namespace tavrin::test
