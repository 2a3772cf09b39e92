// The window registry: records keyed by window handle, removal of a dialog
// with its controls, brushes shared by colour, and the list under several
// threads at once. Handles here are plain values; no window is made.
#include "dialog/registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "platform/win32.h"

namespace tavrin {
namespace {

HWND Handle(std::uintptr_t value) {
  return reinterpret_cast<HWND>(value);
}

constexpr std::uint32_t kDialogUnits = RecordFlag::Dialog | RecordFlag::Units;
constexpr std::uint32_t kControlUnits = RecordFlag::Control | RecordFlag::Units;

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { baseline_ = RegistryCount(); }
  void TearDown() override { EXPECT_EQ(RegistryCount(), baseline_); }
  int baseline_ = 0;
};

TEST_F(RegistryTest, NewRecordStartsUnsetWithSystemGraphicColours) {
  // A record whose fields were all written goes first, so that the block
  // of the next one is likely the same and no field is zero by chance.
  Record* used = RegistryAdd(kDialogUnits, Handle(0x1002), nullptr, 0);
  ASSERT_NE(used, nullptr);
  used->showCommand = 3;
  used->font = reinterpret_cast<HFONT>(Handle(0x77));
  used->callback = [](HWND, UINT, WPARAM, LPARAM) -> std::int32_t { return 1; };
  used->resultTarget = &used->userValues[0];
  used->scaleX = used->scaleY = 1.5F;
  used->graphicWidth = used->graphicHeight = used->charWidth = used->lineHeight = 7;
  used->style = 0x80;
  for (std::int32_t& v : used->userValues) v = -1;
  ASSERT_TRUE(RegistryRemove(Handle(0x1002)));

  Record* r = RegistryAdd(kControlUnits, Handle(0x1001), Handle(0x1000), 9);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->window, Handle(0x1001));
  EXPECT_EQ(r->parent, Handle(0x1000));
  EXPECT_EQ(r->flags, kControlUnits);
  EXPECT_EQ(r->kind, 9);
  EXPECT_EQ(r->backColor, ColorUnset);
  EXPECT_EQ(r->textColor, ColorUnset);
  EXPECT_EQ(r->drawColor, GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(r->fillColor, GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(r->callback, nullptr);
  EXPECT_EQ(r->backBrush, nullptr);
  EXPECT_EQ(r->resultTarget, nullptr);
  EXPECT_EQ(r->showCommand, 0);
  EXPECT_EQ(r->memDC, nullptr);
  EXPECT_EQ(r->font, nullptr);
  EXPECT_EQ(r->savedBitmap, nullptr);
  EXPECT_EQ(r->savedFont, nullptr);
  EXPECT_EQ(r->image, nullptr);
  EXPECT_EQ(r->bigIcon, nullptr);
  EXPECT_EQ(r->smallIcon, nullptr);
  EXPECT_EQ(r->scaleX, 0.0F);
  EXPECT_EQ(r->scaleY, 0.0F);
  EXPECT_EQ(r->graphicWidth, 0);
  EXPECT_EQ(r->graphicHeight, 0);
  EXPECT_EQ(r->charWidth, 0);
  EXPECT_EQ(r->lineHeight, 0);
  EXPECT_EQ(r->style, 0u);
  for (std::int32_t v : r->userValues) EXPECT_EQ(v, 0);
  EXPECT_EQ(RegistryFind(Handle(0x1001)), r);
  EXPECT_TRUE(RegistryRemove(Handle(0x1001)));
  EXPECT_EQ(RegistryFind(Handle(0x1001)), nullptr);
}

TEST_F(RegistryTest, SecondAddForOneWindowFailsAndKeepsTheFirst) {
  Record* first = RegistryAdd(kDialogUnits, Handle(0x2000), nullptr, 0);
  ASSERT_NE(first, nullptr);
  first->userValues[0] = 42;
  EXPECT_EQ(RegistryAdd(kControlUnits, Handle(0x2000), Handle(0x9), 5), nullptr);
  Record* found = RegistryFind(Handle(0x2000));
  ASSERT_EQ(found, first);
  EXPECT_EQ(found->flags, kDialogUnits);
  EXPECT_EQ(found->kind, 0);
  EXPECT_EQ(found->userValues[0], 42);
  EXPECT_TRUE(RegistryRemove(Handle(0x2000)));
}

TEST_F(RegistryTest, LookupsOfNothingFindNothing) {
  EXPECT_EQ(RegistryFind(nullptr), nullptr);
  EXPECT_EQ(RegistryFind(Handle(0x7777)), nullptr);
  EXPECT_EQ(RegistryAdd(kDialogUnits, nullptr, nullptr, 0), nullptr);
  EXPECT_FALSE(RegistryRemove(Handle(0x7777)));
  EXPECT_FALSE(RegistryRemove(nullptr));
  EXPECT_EQ(RegistryFirstControl(Handle(0x7777)), nullptr);
  EXPECT_EQ(RegistryBrushForColor(0x123456), nullptr);
}

TEST_F(RegistryTest, RemovedHandleCanBeAddedAgain) {
  ASSERT_NE(RegistryAdd(kDialogUnits, Handle(0x3000), nullptr, 0), nullptr);
  EXPECT_TRUE(RegistryRemove(Handle(0x3000)));
  Record* again = RegistryAdd(kControlUnits, Handle(0x3000), Handle(0x1), 1);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->flags, kControlUnits);
  EXPECT_EQ(again->backColor, ColorUnset);
  EXPECT_TRUE(RegistryRemove(Handle(0x3000)));
}

TEST_F(RegistryTest, DialogGoesWithItsControlsNewestFirstOthersStay) {
  const HWND dialog = Handle(0x4000);
  const HWND child = Handle(0x5000);  // a dialog whose parent is `dialog`
  ASSERT_NE(RegistryAdd(kDialogUnits, dialog, nullptr, 0), nullptr);
  ASSERT_NE(RegistryAdd(kDialogUnits, child, dialog, 0), nullptr);
  const std::vector<HWND> controls{Handle(0x4001), Handle(0x4002), Handle(0x4003)};
  for (HWND c : controls) ASSERT_NE(RegistryAdd(kControlUnits, c, dialog, 5), nullptr);
  ASSERT_NE(RegistryAdd(kControlUnits, Handle(0x5001), child, 5), nullptr);

  // The first control in list order is the newest; removing it uncovers
  // the one before, which is the order in which a dialog's removal goes.
  for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
    EXPECT_EQ(RegistryFirstControl(dialog), *it);
    EXPECT_TRUE(RegistryRemove(*it));
  }
  EXPECT_EQ(RegistryFirstControl(dialog), nullptr);

  for (HWND c : controls) ASSERT_NE(RegistryAdd(kControlUnits, c, dialog, 5), nullptr);
  EXPECT_TRUE(RegistryRemove(dialog));
  EXPECT_EQ(RegistryFind(dialog), nullptr);
  for (HWND c : controls) EXPECT_EQ(RegistryFind(c), nullptr);
  EXPECT_NE(RegistryFind(child), nullptr);
  EXPECT_NE(RegistryFind(Handle(0x5001)), nullptr);
  EXPECT_EQ(RegistryFirstControl(child), Handle(0x5001));
  EXPECT_TRUE(RegistryRemove(child));
  EXPECT_EQ(RegistryFind(Handle(0x5001)), nullptr);
}

// Removing a dialog takes every control record under it, and under those,
// whatever order the records were added in; a control added before its
// parent had a record lies behind that record in the list.
TEST_F(RegistryTest, DialogGoesWithEveryControlUnderItInAnyAddOrder) {
  struct Add {
    std::uintptr_t window;
    std::uintptr_t parent;
    bool control;
  };
  struct Row {
    const char* name;
    std::vector<Add> adds;  // in this order; the dialog is 0xA000
    std::vector<std::uintptr_t> staying;
  };
  const Row rows[] = {
      {"controls after their dialog",
       {{0xA000, 0, false}, {0xA001, 0xA000, true}, {0xA002, 0xA000, true}},
       {}},
      {"a control's own control, added after a later control",
       {{0xA000, 0, false}, {0xA001, 0xA000, true}, {0xA002, 0xA000, true}, {0xA101, 0xA001, true}},
       {}},
      {"a control added before its dialog had a record",
       {{0xA001, 0xA000, true}, {0xA000, 0, false}, {0xA002, 0xA000, true}},
       {}},
      {"a control's own control added before that control",
       {{0xA000, 0, false}, {0xA101, 0xA001, true}, {0xA001, 0xA000, true}},
       {}},
      {"another dialog under it and that dialog's control stay",
       {{0xA000, 0, false},
        {0xA001, 0xA000, true},
        {0xB000, 0xA000, false},
        {0xB001, 0xB000, true}},
       {0xB000, 0xB001}},
  };
  for (const Row& row : rows) {
    for (const Add& a : row.adds) {
      ASSERT_NE(RegistryAdd(a.control ? kControlUnits : kDialogUnits, Handle(a.window),
                            Handle(a.parent), a.control ? 5 : 0),
                nullptr)
          << row.name;
    }
    EXPECT_TRUE(RegistryRemove(Handle(0xA000))) << row.name;
    for (const Add& a : row.adds) {
      const bool stays =
          std::find(row.staying.begin(), row.staying.end(), a.window) != row.staying.end();
      EXPECT_EQ(RegistryFind(Handle(a.window)) != nullptr, stays) << row.name << " " << a.window;
    }
    for (std::uintptr_t w : row.staying) RegistryRemove(Handle(w));
  }
}

TEST_F(RegistryTest, RecordNamingItselfAsParentIsRemovedOnce) {
  ASSERT_NE(RegistryAdd(kControlUnits, Handle(0x6000), Handle(0x6000), 5), nullptr);
  EXPECT_EQ(RegistryFirstControl(Handle(0x6000)), nullptr);
  EXPECT_TRUE(RegistryRemove(Handle(0x6000)));
  EXPECT_FALSE(RegistryRemove(Handle(0x6000)));
}

TEST_F(RegistryTest, BrushForColourIsTheNewestRecordHoldingOne) {
  HBRUSH older = CreateSolidBrush(0xFFFFFF);
  HBRUSH newer = CreateSolidBrush(0xFFFFFF);
  struct Row {
    std::uintptr_t window;
    std::int32_t backColor;
    HBRUSH brush;
  };
  const Row rows[] = {
      {0x7001, 0xFFFFFF, older},
      {0x7002, 0xFFFFFF, newer},
      {0x7003, 0xFFFFFF, nullptr},  // the colour without a brush is skipped
      {0x7004, 0x00FF00, nullptr},
  };
  for (const Row& row : rows) {
    Record* r = RegistryAdd(kControlUnits, Handle(row.window), Handle(0x7000), 9);
    ASSERT_NE(r, nullptr);
    r->backColor = row.backColor;
    r->backBrush = row.brush;
  }
  Record* found = RegistryBrushForColor(0xFFFFFF);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->window, Handle(0x7002));
  EXPECT_EQ(found->backBrush, newer);
  EXPECT_EQ(RegistryBrushForColor(0x00FF00), nullptr);
  EXPECT_EQ(RegistryBrushForColor(ColorUnset), nullptr);
  // Not shared for real (two brushes of one colour): take them back first.
  RegistryFind(Handle(0x7001))->backBrush = nullptr;
  RegistryFind(Handle(0x7002))->backBrush = nullptr;
  for (const Row& row : rows) EXPECT_TRUE(RegistryRemove(Handle(row.window)));
  DeleteObject(older);
  DeleteObject(newer);
}

TEST_F(RegistryTest, SharedBrushIsDeletedWithTheLastRecordHoldingIt) {
  HBRUSH white = CreateSolidBrush(0xFFFFFF);
  ASSERT_NE(white, nullptr);
  for (std::uintptr_t w : {0x8001u, 0x8002u}) {
    Record* r = RegistryAdd(kControlUnits, Handle(w), Handle(0x8000), 9);
    ASSERT_NE(r, nullptr);
    r->backColor = 0xFFFFFF;
    r->backBrush = white;
  }
  EXPECT_TRUE(RegistryRemove(Handle(0x8001)));
  EXPECT_EQ(GetObjectType(white), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_TRUE(RegistryRemove(Handle(0x8002)));
  EXPECT_EQ(GetObjectType(white), 0u);
}

TEST_F(RegistryTest, ThreadsAddFindAndRemoveWithoutLosingRecords) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 2000;
  std::vector<std::thread> threads;
  std::vector<int> misses(kThreads, 0);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &misses] {
      for (int i = 0; i < kRounds; ++i) {
        const HWND w =
            Handle(0x100000u * static_cast<std::uintptr_t>(t + 1) + static_cast<std::uintptr_t>(i));
        Record* r = RegistryAdd(kControlUnits, w, Handle(0x10), 5);
        if (r == nullptr || RegistryFind(w) != r || !RegistryRemove(w)) ++misses[t];
      }
    });
  }
  for (std::thread& th : threads) th.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(misses[t], 0) << "thread " << t;
}

// Two threads add, then remove, the same window at the same moment, round
// after round: each time exactly one of them succeeds, and no record is left.
TEST_F(RegistryTest, ThreadsRacingForOneWindowSucceedOnce) {
  constexpr int kThreads = 2;
  constexpr int kRounds = 300;
  std::atomic<int> arrived{0};
  std::atomic<int> added{0};
  std::atomic<int> removed{0};
  int badRounds = 0;  // counted by thread 0 alone
  // Every thread waits here until all have arrived for step `step`. A pure
  // busy wait, so that they leave it together: a yield would let one run
  // ahead and the other find its record instead of racing it.
  auto meet = [&arrived](int step) {
    arrived.fetch_add(1);
    while (arrived.load() < kThreads * step) {
    }
  };

  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kRounds; ++i) {
        const HWND w = Handle(0x200000u + static_cast<std::uintptr_t>(i));
        meet(4 * i + 1);
        if (RegistryAdd(kControlUnits, w, Handle(0x20), 5) != nullptr) added.fetch_add(1);
        meet(4 * i + 2);
        if (t == 0 && added.exchange(0) != 1) ++badRounds;
        meet(4 * i + 3);
        if (RegistryRemove(w)) removed.fetch_add(1);
        meet(4 * i + 4);
        if (t == 0 && removed.exchange(0) != 1) ++badRounds;
      }
    });
  }
  for (std::thread& th : threads) th.join();
  EXPECT_EQ(badRounds, 0);
}

}  // namespace
}  // namespace tavrin
