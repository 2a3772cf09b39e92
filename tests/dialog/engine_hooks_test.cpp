// The engine against the Linux platform's hooks: failures Win32 will not
// produce on demand, live counts of every object the engine makes, the
// module resources of image controls, what controls painted with, scripted
// input while the modal loop runs, and the leak test of the calculator's
// window built and destroyed ten thousand times.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "calculator_dialog.h"
#include "dialog/engine.h"
#include "dialog/operations.h"
#include "dialog/registry.h"
#include "dialog_testing.h"
#include "nothrow_failure.h"
#include "platform/linux/gdi_hooks.h"
#include "platform/linux/hooks.h"
#include "platform/linux/user_hooks.h"
#include "runtime/errors.h"

namespace tavrin {
namespace {

using platform::Fail;
using platform::Live;
using platform::LiveCount;
using testing::ScopedDialog;
using testing::Text;

constexpr std::array<Live, 8> kCounted{Live::Window, Live::GlobalBlock,   Live::Brush, Live::Font,
                                       Live::Bitmap, Live::DeviceContext, Live::Icon,  Live::Text};

// Live counts of everything the engine can make, and the registry's size.
struct Counts {
  std::array<std::int64_t, kCounted.size()> live{};
  int records = 0;
  std::int64_t doubleReleases = 0;
  static Counts Now() {
    Counts c;
    for (std::size_t i = 0; i < kCounted.size(); ++i) c.live[i] = LiveCount(kCounted[i]);
    c.records = RegistryCount();
    c.doubleReleases = platform::DoubleReleases();
    return c;
  }
  std::int64_t operator[](Live what) const {
    for (std::size_t i = 0; i < kCounted.size(); ++i) {
      if (kCounted[i] == what) return live[i];
    }
    return -1;
  }
  friend bool operator==(const Counts&, const Counts&) = default;
};

class EngineHooks : public ::testing::Test {
 protected:
  void SetUp() override {
    // The thread record exists before any failure is injected.
    DialogSetDefaultFont(Text("tahoma"), 10);
    platform::ClearFailures();
    testing::Recorded().Reset();
  }
  void TearDown() override {
    platform::ClearFailures();
    testing::FailNextNothrowNew(0);
    platform::SetIdleHook({});
    platform::ClearResources();
    platform::ResetThreadWindows();
  }
};

TEST_F(EngineHooks, FailuresLeaveNothingBehind) {
  struct Row {
    const char* name;
    void (*arm)();
  };
  const Row rows[] = {
      {"no dialog window", [] { platform::FailNext(Fail::CreateDialogIndirectParamA); }},
      {"no memory for the dialog's record",
       [] {
         RegistryFreeKeptBlocks();
         testing::FailNextNothrowNew();
       }},
  };
  const TextValue caption = Text("fails");
  for (const Row& r : rows) {
    const Counts before = Counts::Now();
    r.arm();
    EXPECT_EQ(DialogNew(Units, nullptr, caption, 0, 0, 50, 50, 0, 0), nullptr) << r.name;
    platform::ClearFailures();
    testing::FailNextNothrowNew(0);
    EXPECT_EQ(Counts::Now(), before) << r.name;
  }
}

TEST_F(EngineHooks, ControlWithoutRecordStillExistsButTakesNoColour) {
  ScopedDialog dialog(testing::NewUnitsDialog("no record"));
  ASSERT_NE(dialog.get(), nullptr);
  const std::int64_t brushes = LiveCount(Live::Brush);
  RegistryFreeKeptBlocks();
  testing::FailNextNothrowNew();
  HWND box = ControlAdd(ControlKind::TextBox, TextRef(), dialog, 101, Text("1"), {}, 0, 0, 20, 10,
                        0, 0, testing::ControlRecorder);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(RegistryFind(box), nullptr);
  ControlSetColor(dialog, 101, 0x0000FF, 0xFFFFFF);
  EXPECT_EQ(LiveCount(Live::Brush), brushes);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(101, EN_CHANGE), reinterpret_cast<LPARAM>(box));
  EXPECT_TRUE(testing::Recorded().calls.empty());

  platform::FailNext(Fail::CreateWindowExA);
  EXPECT_EQ(ControlAdd(ControlKind::Label, TextRef(), dialog, 5, Text("x"), {}, 0, 0, 9, 9, 0, 0,
                       nullptr),
            nullptr);
  EXPECT_EQ(GetDlgItem(dialog, 5), nullptr);

  HWND other = ControlAdd(ControlKind::TextBox, TextRef(), dialog, 102, Text("2"), {}, 0, 10, 20,
                          10, 0, 0, nullptr);
  platform::FailNext(Fail::CreateSolidBrush);
  ControlSetColor(dialog, 102, 0x0000FF, 0x00FF00);
  EXPECT_EQ(RegistryFind(other)->backColor, ColorDefault);
  EXPECT_EQ(RegistryFind(other)->backBrush, nullptr);
  EXPECT_EQ(RegistryFind(other)->textColor, 0x0000FF);
}

TEST_F(EngineHooks, TextsWithoutMemoryAreEmptyAndRecordNoError) {
  ScopedDialog dialog(testing::NewUnitsDialog("texts"));
  ControlAdd(ControlKind::TextBox, TextRef(), dialog, 101, Text("2.0"), {}, 0, 0, 20, 10, 0, 0,
             nullptr);
  HWND list = ControlAdd(ControlKind::ListBox, TextRef(), dialog, 102, TextRef(), {}, 0, 10, 20, 30,
                         0, 0, nullptr);
  ListAddText(dialog, 102, Text("item"));
  ListSelect(dialog, 102, 1);
  ASSERT_NE(list, nullptr);
  RoutineFrame frame;
  platform::FailNext(Fail::SysAllocStringByteLen);
  EXPECT_TRUE(ControlGetText(dialog, 101).empty());
  platform::FailNext(Fail::SysAllocStringByteLen);
  EXPECT_TRUE(ListGetSelectedText(dialog, 102).empty());
  EXPECT_EQ(frame.error_word(), 0);
  EXPECT_EQ(ControlGetText(dialog, 101).str(), "2.0");
  EXPECT_EQ(ListGetSelectedText(dialog, 102).str(), "item");
}

TEST_F(EngineHooks, SharedBrushIsMadeOnceAndDeletedOnce) {
  const Counts before = Counts::Now();
  HWND dialog = testing::BuildCalculatorDialog(nullptr);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(RegistryCount(), before.records + 18);
  EXPECT_EQ(LiveCount(Live::Brush), before[Live::Brush] + 1);  // one white brush for five boxes
  ControlSetColor(dialog, 101, 0x0000FF, 0x00FFFF);
  EXPECT_EQ(LiveCount(Live::Brush), before[Live::Brush] + 2);
  for (std::int32_t id : {102, 103, 104, 106}) ControlSetColor(dialog, id, 0, 0x00FFFF);
  EXPECT_EQ(LiveCount(Live::Brush), before[Live::Brush] + 1);  // white went with its last holder
  DialogEnd(dialog, 1);
  EXPECT_EQ(Counts::Now(), before);
}

TEST_F(EngineHooks, GraphicOwnsItsBitmapFontAndMemoryDc) {
  ScopedDialog dialog(testing::NewUnitsDialog("graphic"));
  const Counts before = Counts::Now();
  HWND graphic = ControlAdd(ControlKind::Graphic, TextRef(), dialog, 9, TextRef(), {}, 0, 0, 40, 30,
                            0, 0, nullptr);
  ASSERT_NE(graphic, nullptr);
  EXPECT_EQ(LiveCount(Live::Bitmap), before[Live::Bitmap] + 1);
  EXPECT_EQ(LiveCount(Live::Font), before[Live::Font] + 1);
  EXPECT_EQ(LiveCount(Live::DeviceContext), before[Live::DeviceContext] + 1);  // GetDC released
  const SIZE size = platform::ImageSize(GetCurrentObject(RegistryFind(graphic)->memDC, OBJ_BITMAP));
  EXPECT_EQ(size.cx, RegistryFind(graphic)->graphicWidth);
  EXPECT_EQ(size.cy, RegistryFind(graphic)->graphicHeight);
  ControlRemove(dialog, 9);
  EXPECT_EQ(Counts::Now(), before);
}

TEST_F(EngineHooks, ImageControlsLoadBitmapsAndIconsFromResources) {
  platform::RegisterResource(RT_BITMAP, "Logo", 16, 12);
  platform::RegisterResource(RT_BITMAP, MAKEINTRESOURCEA(7), 24, 20);
  platform::RegisterResource(RT_ICON, "App", 32, 32);
  ScopedDialog dialog(testing::NewUnitsDialog("images"));
  const Counts before = Counts::Now();
  struct Row {
    const char* name;
    ControlKind kind;
    const char* caption;
    std::uint32_t flag;
    std::uint32_t style;
    bool fitted;
    SIZE own;
  };
  const Row rows[] = {
      {"bitmap by name, any case",
       ControlKind::Image,
       "LOGO",
       RecordFlag::BitmapImage,
       0x5000000E,
       false,
       {16, 12}},
      {"bitmap by number",
       ControlKind::ImageButton,
       "#7",
       RecordFlag::BitmapImage,
       0x50010080,
       false,
       {24, 20}},
      {"fitted bitmap",
       ControlKind::FittedImage,
       "logo",
       RecordFlag::BitmapImage,
       0x5000000E,
       true,
       {0, 0}},
      {"icon", ControlKind::Image, "App", RecordFlag::IconImage, 0x50000003, false, {32, 32}},
      {"fitted icon button",
       ControlKind::FittedImageButton,
       "App",
       RecordFlag::IconImage,
       0x50010040,
       true,
       {0, 0}},
  };
  std::int32_t id = 40;
  for (const Row& r : rows) {
    HWND control = ControlAdd(r.kind, TextRef(), dialog, id++, Text(r.caption), {}, 0, 0, 40, 30, 0,
                              0, nullptr);
    ASSERT_NE(control, nullptr) << r.name;
    const Record* rec = RegistryFind(control);
    EXPECT_NE(rec->flags & r.flag, 0u) << r.name;
    EXPECT_EQ(static_cast<std::uint32_t>(GetWindowLongA(control, GWL_STYLE)), r.style) << r.name;
    ASSERT_NE(rec->image, nullptr) << r.name;
    const SIZE size = platform::ImageSize(rec->image);
    if (r.fitted) {
      RECT client{};
      GetClientRect(control, &client);
      RECT edges{0, 0, 40, 30};
      MapDialogRect(dialog, &edges);
      // Fitted statics take the client size, fitted buttons the control's.
      const LONG width = r.kind == ControlKind::FittedImage ? client.right : edges.right;
      EXPECT_EQ(size.cx, width) << r.name;
    } else {
      EXPECT_EQ(size.cx, r.own.cx) << r.name;
      EXPECT_EQ(size.cy, r.own.cy) << r.name;
    }
  }
  EXPECT_EQ(LiveCount(Live::Bitmap), before[Live::Bitmap] + 3);
  EXPECT_EQ(LiveCount(Live::Icon), before[Live::Icon] + 2);

  // Changing an image releases the one before; a mismatching kind of image
  // or variant changes nothing.
  ControlSetImage(dialog, 40, Text("#7"), 0);
  EXPECT_EQ(platform::ImageSize(RegistryFind(GetDlgItem(dialog, 40))->image).cx, 24);
  ControlSetImage(dialog, 40, Text("App"), 0);   // an icon for a bitmap control
  ControlSetImage(dialog, 40, Text("Logo"), 2);  // the variant of another kind
  EXPECT_EQ(platform::ImageSize(RegistryFind(GetDlgItem(dialog, 40))->image).cx, 24);
  EXPECT_EQ(LiveCount(Live::Bitmap), before[Live::Bitmap] + 3);

  DialogSetIcon(dialog, Text("App"));
  DialogSetIcon(dialog, Text("App"));
  EXPECT_EQ(LiveCount(Live::Icon), before[Live::Icon] + 4);  // two controls, big and small
  EXPECT_EQ(platform::ImageSize(RegistryFind(dialog)->smallIcon).cx, 16);

  platform::FailNext(Fail::LoadImageA);
  HWND empty = ControlAdd(ControlKind::Image, TextRef(), dialog, 60, Text("Logo"), {}, 0, 0, 10, 10,
                          0, 0, nullptr);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(RegistryFind(empty)->image, nullptr);

  const std::int64_t doubles = platform::DoubleReleases();
  DestroyWindow(dialog);
  EXPECT_EQ(LiveCount(Live::Bitmap), before[Live::Bitmap]);
  EXPECT_EQ(LiveCount(Live::Icon), before[Live::Icon]);
  EXPECT_EQ(platform::DoubleReleases(), doubles);
}

TEST_F(EngineHooks, ControlsPaintInTheirRecordsColours) {
  HWND dialog = testing::BuildCalculatorDialog(nullptr);
  ASSERT_NE(dialog, nullptr);
  ShowWindow(dialog, SW_SHOW);
  UpdateWindow(dialog);
  struct Row {
    std::int32_t id;
    COLORREF text;
    bool system;
  };
  const Row rows[] = {{101, 0x0000FF, false},
                      {104, 0x0000FF, false},
                      {106, 0xFF0000, false},
                      {107, 0, true},
                      {-1, 0, true}};
  const HBRUSH white = RegistryFind(GetDlgItem(dialog, 101))->backBrush;
  for (const Row& r : rows) {
    const platform::PaintResult paint = platform::LastPaint(GetDlgItem(dialog, r.id));
    ASSERT_TRUE(paint.painted) << r.id;
    if (r.system) {
      // Left to the dialog's default handling: no colour of the records.
      EXPECT_NE(paint.brush, white) << r.id;
      EXPECT_NE(paint.textColor, 0x0000FFu) << r.id;
      EXPECT_NE(paint.textColor, 0xFF0000u) << r.id;
    } else {
      EXPECT_EQ(paint.textColor, r.text) << r.id;
      EXPECT_EQ(paint.backColor, 0xFFFFFFu) << r.id;
      EXPECT_EQ(paint.brush, white) << r.id;
    }
  }
  DialogEnd(dialog, 0);
}

// Scripted input: the idle hook runs whenever the modal loop finds the
// queue empty and plays one step each time.
std::vector<std::int32_t> g_focusOrder;

TEST_F(EngineHooks, TabOrderEscapeAndDoneWhileTheLoopRuns) {
  testing::Recorded().controlEnds = false;
  HWND dialog = testing::BuildCalculatorDialog(testing::ControlRecorder);
  ASSERT_NE(dialog, nullptr);
  g_focusOrder.clear();
  int step = 0;
  platform::SetIdleHook([&step, dialog] {
    if (!IsWindow(dialog)) return;
    if (step == 0) ControlSetFocus(dialog, 101);
    if (step >= 0 && step < 7) {
      g_focusOrder.push_back(GetDlgCtrlID(GetFocus()));
      platform::PostKeystroke(VK_TAB);
    } else if (step == 7) {
      platform::PostKeystroke(VK_ESCAPE);  // IDCANCEL: no control 2, no dialog callback
    } else if (step == 8) {
      testing::Recorded().controlResult = 1;
      testing::Recorded().controlEnds = true;
      testing::Recorded().endResult = 1;
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(108, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, 108)));
    }
    ++step;
  });
  std::int32_t result = -1;
  DialogShowModal(dialog, nullptr, &result);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(result, 1);
  EXPECT_EQ(g_focusOrder, (std::vector<std::int32_t>{101, 102, 103, 104, 107, 108, 101}));
}

// A dialog destroyed while PeekMessageA handles a sent message (here: from
// the idle hook, which runs inside PeekMessageA) leaves nothing in the queue;
// the loop must still notice that the window is gone.
TEST_F(EngineHooks, LoopEndsWhenTheDialogGoesWithoutAQueuedMessage) {
  HWND dialog = testing::BuildCalculatorDialog(nullptr);
  ASSERT_NE(dialog, nullptr);
  int idles = 0;
  platform::SetIdleHook([&idles, dialog] {
    if (++idles == 3) DialogEnd(dialog, 7);
  });
  std::int32_t result = -1;
  DialogShowModal(dialog, nullptr, &result);
  platform::SetIdleHook({});
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(result, 7);
  EXPECT_EQ(idles, 3);
}

TEST_F(EngineHooks, QuitAndIdleMessagesWhileTheLoopRuns) {
  std::vector<UINT> ownerSeen;
  static std::vector<UINT>* seen = nullptr;
  seen = &ownerSeen;
  ScopedDialog owner(testing::NewUnitsDialog("owner"));
  DialogShowModeless(
      owner,
      [](HWND, UINT message, WPARAM, LPARAM) -> std::int32_t {
        if (message == WM_ENTERIDLE || message == WM_CANCELMODE) seen->push_back(message);
        return 0;
      },
      nullptr);
  for (std::uint32_t style : {0x80C000D4u, 0x80C000D4u | DS_NOIDLEMSG}) {
    ownerSeen.clear();
    const TextValue caption = Text("owned");
    HWND dialog = DialogNew(Units, owner, caption, 0, 0, 50, 50, style, 0);
    ASSERT_NE(dialog, nullptr);
    int idles = 0;
    platform::SetIdleHook([&idles, dialog] {
      if (++idles == 2) PostQuitMessage(0);
      if (idles == 5) PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    std::int32_t result = -1;
    DialogShowModal(dialog, nullptr, &result);
    platform::SetIdleHook({});
    EXPECT_EQ(result, 0);
    EXPECT_GE(idles, 5);  // the quit message did not end the loop
    EXPECT_TRUE(IsWindowEnabled(owner));
    ASSERT_FALSE(ownerSeen.empty());
    EXPECT_EQ(ownerSeen.front(), static_cast<UINT>(WM_CANCELMODE));
    const auto idleMessages = std::count(ownerSeen.begin(), ownerSeen.end(), WM_ENTERIDLE);
    if ((style & DS_NOIDLEMSG) != 0) {
      EXPECT_EQ(idleMessages, 0);
    } else {
      EXPECT_GE(idleMessages, 4);
    }
  }
}

TEST_F(EngineHooks, CalculatorWindowTenThousandTimesLeavesNothingAlive) {
  constexpr int kCycles = 10000;
  const Counts before = Counts::Now();
  int built = 0;
  for (int i = 0; i < kCycles; ++i) {
    HWND dialog = testing::BuildCalculatorDialog(nullptr);
    if (dialog == nullptr) break;
    ++built;
    if (i % 2 == 0) {
      DialogEnd(dialog, 1);
    } else {
      SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
  }
  EXPECT_EQ(built, kCycles);
  EXPECT_EQ(Counts::Now(), before);
}

}  // namespace
}  // namespace tavrin
