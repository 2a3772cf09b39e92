// Running engine dialogs: the route of each message family through
// EngineDialogProc, colours painted from the records, the modal loop and how
// it ends, DialogEnd's result, show states and control texts.
#include <gtest/gtest.h>

#include <cfenv>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "dialog/dialog_proc.h"
#include "dialog/engine.h"
#include "dialog/operations.h"
#include "dialog/registry.h"
#include "dialog_testing.h"
#include "fp_mode_testing.h"

namespace tavrin {
namespace {

using testing::Call;
using testing::ControlRecorder;
using testing::DialogRecorder;
using testing::Recorded;
using testing::ScopedDialog;
using testing::Text;

constexpr std::int32_t kButtonId = 300;
constexpr std::int32_t kScrollId = 301;
constexpr std::int32_t kGraphicId = 302;
constexpr std::int32_t kBoxId = 303;
constexpr std::int32_t kComboId = 304;
constexpr std::int32_t kListId = 305;

HWND Add(HWND dialog, ControlKind kind, std::int32_t id, const char* caption,
         ControlCallback callback = nullptr, std::int32_t width = 30, std::int32_t height = 10) {
  const TextValue text = Text(caption);
  return ControlAdd(kind, TextRef(), dialog, id, text, {}, 5, 5, width, height, 0, 0, callback);
}

// A dialog with a button, a scroll bar, a graphic, a text box, a combo box
// and a list box; the button and the scroll bar report to the recorder, the
// dialog has the recording dialog callback.
class RoutedDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    Recorded().Reset();
    dialog_ = testing::NewUnitsDialog("routed");
    ASSERT_NE(dialog_, nullptr);
    button_ = Add(dialog_, ControlKind::Button, kButtonId, "B", ControlRecorder);
    scroll_ = Add(dialog_, ControlKind::ScrollBar, kScrollId, "", ControlRecorder, 50, 10);
    graphic_ = Add(dialog_, ControlKind::Graphic, kGraphicId, "", nullptr, 20, 20);
    box_ = Add(dialog_, ControlKind::TextBox, kBoxId, "2.0");
    combo_ = Add(dialog_, ControlKind::ComboBox, kComboId, "", nullptr, 40, 60);
    list_ = Add(dialog_, ControlKind::ListBox, kListId, "", nullptr, 40, 40);
    // Kept hidden: under Wine without a window manager every unmapping of a
    // window waits about two seconds.
    DialogSetShowState(dialog_, SW_HIDE);
    DialogShowModeless(dialog_, DialogRecorder, &result_);
    Recorded().Reset();
  }
  void TearDown() override {
    if (IsWindow(dialog_)) DestroyWindow(dialog_);
    testing::DrainMessages();
  }
  INT_PTR Proc(UINT message, WPARAM wParam, LPARAM lParam) {
    return EngineDialogProc(dialog_, message, wParam, lParam);
  }
  static LPARAM L(HWND w) { return reinterpret_cast<LPARAM>(w); }

  HWND dialog_ = nullptr;
  HWND button_ = nullptr;
  HWND scroll_ = nullptr;
  HWND graphic_ = nullptr;
  HWND box_ = nullptr;
  HWND combo_ = nullptr;
  HWND list_ = nullptr;
  std::int32_t result_ = -7;
};

TEST_F(RoutedDialog, EachMessageFamilyTakesItsRoute) {
  struct Row {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;  // 1 stands for the button, 2 for the scroll bar
    std::int32_t controlResult, dialogResult;
    std::vector<std::string> order;
    INT_PTR result;
  };
  const Row rows[] = {
      {"activate: the engine alone", WM_ACTIVATE, WA_ACTIVE, 0, 0, 0, {}, 1},
      {"inactivate", WM_ACTIVATE, WA_INACTIVE, 0, 0, 0, {}, 1},
      {"click-activate", WM_ACTIVATE, WA_CLICKACTIVE, 0, 0, 0, {}, 1},
      {"other activate value", WM_ACTIVATE, 3, 0, 0, 0, {"dialog"}, 0},
      {"click unhandled",
       WM_COMMAND,
       MAKEWPARAM(kButtonId, BN_CLICKED),
       1,
       0,
       0,
       {"control", "dialog"},
       0},
      {"click handled by the control",
       WM_COMMAND,
       MAKEWPARAM(kButtonId, BN_CLICKED),
       1,
       5,
       9,
       {"control"},
       5},
      {"click handled by the dialog",
       WM_COMMAND,
       MAKEWPARAM(kButtonId, BN_CLICKED),
       1,
       0,
       9,
       {"control", "dialog"},
       9},
      {"command found by id, not by lParam",
       WM_COMMAND,
       MAKEWPARAM(kButtonId, BN_CLICKED),
       0,
       0,
       0,
       {"control", "dialog"},
       0},
      {"Escape without a control 2", WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0, 0, 0, {"dialog"}, 0},
      {"Enter without a control 1", WM_COMMAND, MAKEWPARAM(IDOK, 0), 0, 0, 0, {"dialog"}, 0},
      {"scroll from a control", WM_HSCROLL, SB_LINEDOWN, 2, 0, 0, {"control", "dialog"}, 0},
      {"scroll handled by the control", WM_VSCROLL, SB_LINEUP, 2, 4, 0, {"control"}, 4},
      {"the dialog's own scroll bar", WM_VSCROLL, SB_LINEUP, 0, 4, 0, {"dialog"}, 0},
      {"notify never reaches the control", WM_NOTIFY, kButtonId, 1, 4, 0, {"dialog"}, 0},
      {"any other message", WM_SIZE, 0, 0, 4, 0, {"dialog"}, 0},
      {"any other message, handled", WM_USER + 1, 0, 0, 0, 3, {"dialog"}, 3},
      {"close command taken by the dialog", WM_SYSCOMMAND, SC_CLOSE, 0, 0, 1, {"dialog"}, 1},
  };
  for (const Row& r : rows) {
    Recorded().Reset();
    Recorded().controlResult = r.controlResult;
    Recorded().dialogResult = r.dialogResult;
    SetWindowLongPtrA(dialog_, DWLP_MSGRESULT, 0);
    const LPARAM lParam = r.lParam == 1 ? L(button_) : r.lParam == 2 ? L(scroll_) : r.lParam;
    EXPECT_EQ(Proc(r.message, r.wParam, lParam), r.result) << r.name;
    EXPECT_EQ(Recorded().Order(), r.order) << r.name;
    for (const Call& c : Recorded().calls) {
      EXPECT_EQ(c.dialog, dialog_) << r.name;
      EXPECT_EQ(c.message, r.message) << r.name;
      EXPECT_EQ(c.wParam, r.wParam) << r.name;
      EXPECT_EQ(c.lParam, lParam) << r.name;
    }
    EXPECT_TRUE(IsWindow(dialog_)) << r.name;
  }
}

TEST_F(RoutedDialog, HandledResultBecomesTheMessageResultOnlyWhileItIsZero) {
  Recorded().controlResult = 5;
  SetWindowLongPtrA(dialog_, DWLP_MSGRESULT, 0);
  EXPECT_EQ(Proc(WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED), L(button_)), 5);
  EXPECT_EQ(GetWindowLongPtrA(dialog_, DWLP_MSGRESULT), 5);
  Recorded().controlResult = 8;
  EXPECT_EQ(Proc(WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED), L(button_)), 8);
  EXPECT_EQ(GetWindowLongPtrA(dialog_, DWLP_MSGRESULT), 5);
}

TEST_F(RoutedDialog, MessagesSentThroughWin32ReachTheCallbacksInOrder) {
  Recorded().only = WM_COMMAND;
  SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED), L(button_));
  EXPECT_EQ(Recorded().Order(), (std::vector<std::string>{"control", "dialog"}));
  Recorded().calls.clear();
  SendMessageA(button_, BM_CLICK, 0, 0);
  EXPECT_EQ(Recorded().Order(), (std::vector<std::string>{"control", "dialog"}));
  ASSERT_FALSE(Recorded().calls.empty());
  EXPECT_EQ(Recorded().calls[0].wParam, MAKEWPARAM(kButtonId, BN_CLICKED));
  EXPECT_EQ(Recorded().calls[0].lParam, L(button_));
}

TEST_F(RoutedDialog, ControlCallbackThatEndsItsDialog) {
  Recorded().controlResult = 1;
  Recorded().controlEnds = true;
  Recorded().endResult = 1;
  EXPECT_EQ(Proc(WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED), L(button_)), 1);
  EXPECT_FALSE(IsWindow(dialog_));
  EXPECT_EQ(result_, 1);
  EXPECT_EQ(RegistryFind(dialog_), nullptr);
  EXPECT_EQ(RegistryFind(button_), nullptr);
  EXPECT_EQ(RegistryFind(box_), nullptr);
  // The dialog callback saw the WM_CLOSE of DialogEnd and the destruction,
  // but not the click.
  std::vector<UINT> seen;
  for (const Call& c : Recorded().calls) {
    if (c.who == "dialog") seen.push_back(c.message);
  }
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), static_cast<UINT>(WM_CLOSE));
  EXPECT_EQ(seen.back(), static_cast<UINT>(WM_NCDESTROY));
  for (UINT m : seen) EXPECT_NE(m, static_cast<UINT>(WM_COMMAND));
}

TEST_F(RoutedDialog, CloseCommandEndsTheDialogWithZero) {
  EXPECT_EQ(Proc(WM_SYSCOMMAND, SC_CLOSE, 0), 1);
  EXPECT_FALSE(IsWindow(dialog_));
  EXPECT_EQ(result_, 0);
}

TEST_F(RoutedDialog, DropDownAndCloseUpTrackTheOpenCombo) {
  Proc(WM_COMMAND, MAKEWPARAM(kComboId, CBN_DROPDOWN), L(combo_));
  EXPECT_EQ(DroppedCombo(), combo_);
  Proc(WM_COMMAND, MAKEWPARAM(kComboId, CBN_CLOSEUP), L(combo_));
  EXPECT_EQ(DroppedCombo(), nullptr);
  // The code alone counts, whatever sent it.
  Proc(WM_COMMAND, MAKEWPARAM(kButtonId, CBN_DROPDOWN), L(button_));
  EXPECT_EQ(DroppedCombo(), button_);
  Proc(WM_COMMAND, MAKEWPARAM(kButtonId, CBN_CLOSEUP), L(button_));
  EXPECT_EQ(DroppedCombo(), nullptr);
}

TEST_F(RoutedDialog, GraphicIsCopiedOnlyWhenDrawnWhole) {
  HDC screen = GetDC(nullptr);
  HDC target = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 64, 64);
  HGDIOBJ old = SelectObject(target, bitmap);
  struct Row {
    UINT action;
    INT_PTR result;
  };
  const Row rows[] = {
      {ODA_DRAWENTIRE, 1}, {ODA_SELECT, 0}, {ODA_FOCUS, 0}, {ODA_DRAWENTIRE | ODA_FOCUS, 1}};
  for (const Row& r : rows) {
    Recorded().Reset();
    Recorded().dialogResult = 7;  // dropped for WM_DRAWITEM
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_STATIC;
    item.CtlID = kGraphicId;
    item.itemAction = r.action;
    item.hwndItem = graphic_;
    item.hDC = target;
    EXPECT_EQ(Proc(WM_DRAWITEM, kGraphicId, reinterpret_cast<LPARAM>(&item)), r.result) << r.action;
    EXPECT_EQ(Recorded().Order(), std::vector<std::string>{"dialog"});
  }
  // A control that is not a graphic is never drawn by the engine.
  DRAWITEMSTRUCT item{};
  item.CtlID = kButtonId;
  item.itemAction = ODA_DRAWENTIRE;
  item.hDC = target;
  EXPECT_EQ(Proc(WM_DRAWITEM, kButtonId, reinterpret_cast<LPARAM>(&item)), 0);
  SelectObject(target, old);
  DeleteObject(bitmap);
  DeleteDC(target);
  ReleaseDC(nullptr, screen);
}

// Whatever the dialog callback answers to the window's last message, the
// records go and so does the font Windows made for the dialog's template.
class Destruction : public RoutedDialog, public ::testing::WithParamInterface<std::int32_t> {};

TEST_P(Destruction, RemovesTheRecordsAndTheTemplateFontAfterTheCallbackSawIt) {
  const auto font = reinterpret_cast<HFONT>(SendMessageA(dialog_, WM_GETFONT, 0, 0));
  LOGFONTA logical{};
  ASSERT_EQ(GetObjectA(font, sizeof logical, &logical), static_cast<int>(sizeof logical));
  Recorded().only = WM_NCDESTROY;
  Recorded().dialogResult = GetParam();
  Recorded().calls.clear();
  DestroyWindow(dialog_);
  EXPECT_EQ(Recorded().Order(), std::vector<std::string>{"dialog"});
  for (HWND w : {dialog_, button_, scroll_, graphic_, box_, combo_, list_}) {
    EXPECT_EQ(RegistryFind(w), nullptr);
  }
  EXPECT_EQ(result_, -7);  // destroyed without DialogEnd: the result stays
  EXPECT_EQ(GetObjectA(font, sizeof logical, &logical), 0) << "the template's font outlived it";
}

INSTANTIATE_TEST_SUITE_P(CallbackAnswers, Destruction, ::testing::Values(0, 1, -16));

// Colours: one message of each WM_CTLCOLOR kind for a control coloured with
// a COLORREF, the system colours, or transparency.
struct ColourIndexes {
  UINT message;
  int text;
  int back;
};
constexpr ColourIndexes kColourIndexes[] = {
    {WM_CTLCOLORMSGBOX, COLOR_MENUTEXT, COLOR_MENU},
    {WM_CTLCOLOREDIT, COLOR_WINDOWTEXT, COLOR_WINDOW},
    {WM_CTLCOLORLISTBOX, COLOR_WINDOWTEXT, COLOR_WINDOW},
    {WM_CTLCOLORBTN, COLOR_BTNTEXT, COLOR_BTNFACE},
    {WM_CTLCOLORDLG, COLOR_WINDOWTEXT, COLOR_BTNFACE},
    {WM_CTLCOLORSCROLLBAR, COLOR_WINDOWTEXT, COLOR_SCROLLBAR},
    {WM_CTLCOLORSTATIC, COLOR_WINDOWTEXT, COLOR_BTNFACE},
};

class Colours : public RoutedDialog {
 protected:
  void SetUp() override {
    RoutedDialog::SetUp();
    dc_ = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc_, nullptr);
  }
  void TearDown() override {
    DeleteDC(dc_);
    RoutedDialog::TearDown();
  }
  INT_PTR Paint(UINT message, HWND control) {
    SetTextColor(dc_, 0x010203);
    SetBkColor(dc_, 0x040506);
    SetBkMode(dc_, OPAQUE);
    return Proc(message, reinterpret_cast<WPARAM>(dc_), L(control));
  }
  HDC dc_ = nullptr;
};

TEST_F(Colours, ColorRefsPaintWithTheRecordsBrush) {
  ControlSetColor(dialog_, kBoxId, 0x0000FF, 0xFFFFFF);
  const HBRUSH brush = RegistryFind(box_)->backBrush;
  ASSERT_NE(brush, nullptr);
  for (const ColourIndexes& c : kColourIndexes) {
    EXPECT_EQ(Paint(c.message, box_), reinterpret_cast<INT_PTR>(brush)) << c.message;
    EXPECT_EQ(GetTextColor(dc_), 0x0000FFu) << c.message;
    EXPECT_EQ(GetBkColor(dc_), 0xFFFFFFu) << c.message;
    EXPECT_EQ(GetBkMode(dc_), OPAQUE) << c.message;
  }
}

TEST_F(Colours, DefaultColoursComeFromEachMessagesSystemIndexes) {
  ControlSetColor(dialog_, kBoxId, ColorDefault, ColorDefault);
  for (const ColourIndexes& c : kColourIndexes) {
    EXPECT_EQ(Paint(c.message, box_), reinterpret_cast<INT_PTR>(GetSysColorBrush(c.back)))
        << c.message;
    EXPECT_EQ(GetTextColor(dc_), GetSysColor(c.text)) << c.message;
    EXPECT_EQ(GetBkColor(dc_), GetSysColor(c.back)) << c.message;
  }
}

TEST_F(Colours, TransparentAndUnsetBackgrounds) {
  struct Row {
    const char* name;
    std::int32_t text, back;
    bool colourSet;    // ControlSetColor called at all
    bool painted;      // the engine answers
    bool transparent;  // with a hollow brush and transparent mode
  };
  const Row rows[] = {
      {"never coloured", 0, 0, false, false, false},
      {"text and transparent", 0x00FF00, ColorTransparent, true, true, true},
  };
  for (const Row& r : rows) {
    HWND control = Add(dialog_, ControlKind::Label, 400, "x");
    if (r.colourSet) ControlSetColor(dialog_, 400, r.text, r.back);
    const INT_PTR brush = Paint(WM_CTLCOLORSTATIC, control);
    if (!r.painted) {
      EXPECT_EQ(brush, 0) << r.name;
      EXPECT_EQ(GetTextColor(dc_), 0x010203u) << r.name;
    } else {
      EXPECT_EQ(GetTextColor(dc_), static_cast<COLORREF>(r.text)) << r.name;
      EXPECT_EQ(brush, reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH))) << r.name;
      EXPECT_EQ(GetBkMode(dc_), TRANSPARENT) << r.name;
    }
    ControlRemove(dialog_, 400);
  }
  // A record whose text colour is unset is left to the system even with a
  // background colour in it.
  RegistryFind(box_)->backColor = 0x123456;
  EXPECT_EQ(Paint(WM_CTLCOLOREDIT, box_), 0);
  RegistryFind(box_)->backColor = ColorUnset;
}

TEST_F(Colours, DialogCallbackResultWinsOverTheRecord) {
  ControlSetColor(dialog_, kBoxId, 0x0000FF, 0xFFFFFF);
  Recorded().dialogResult = 77;
  EXPECT_EQ(Paint(WM_CTLCOLOREDIT, box_), 77);
  EXPECT_EQ(GetTextColor(dc_), 0x010203u);
}

TEST_F(Colours, TheDialogItselfAndTheComboParts) {
  ControlSetColor(dialog_, DialogSelfId, 0x112233, 0x445566);
  EXPECT_EQ(Paint(WM_CTLCOLORDLG, dialog_),
            reinterpret_cast<INT_PTR>(RegistryFind(dialog_)->backBrush));
  EXPECT_EQ(GetBkColor(dc_), 0x445566u);

  ControlSetColor(dialog_, kComboId, ColorDefault, ColorDefault);
  HWND edit = GetWindow(combo_, GW_CHILD);
  ASSERT_NE(edit, nullptr);
  ASSERT_EQ(RegistryFind(edit), nullptr);
  // The combo box's edit field takes the combo's colours with the window
  // indexes, whatever the message.
  EXPECT_EQ(Paint(WM_CTLCOLOREDIT, edit),
            reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW)));
  EXPECT_EQ(GetTextColor(dc_), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(Paint(WM_CTLCOLORSTATIC, edit), 0);  // only edit and list-box messages go on
  // A window without a record, not part of a combo box, is left alone.
  HWND free = CreateWindowExA(0, "LISTBOX", "", WS_CHILD, 0, 0, 10, 10, dialog_, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  EXPECT_EQ(Paint(WM_CTLCOLORLISTBOX, free), 0);
  // The open drop-down list has no parent: the engine takes DroppedCombo.
  ControlSetColor(dialog_, kComboId, 0x0000FF, 0x00FFFF);
  Proc(WM_COMMAND, MAKEWPARAM(kComboId, CBN_DROPDOWN), L(combo_));
  HWND popup = CreateWindowExA(0, "LISTBOX", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  EXPECT_EQ(Paint(WM_CTLCOLORLISTBOX, popup),
            reinterpret_cast<INT_PTR>(RegistryFind(combo_)->backBrush));
  EXPECT_EQ(GetTextColor(dc_), 0x0000FFu);
  Proc(WM_COMMAND, MAKEWPARAM(kComboId, CBN_CLOSEUP), L(combo_));
  EXPECT_EQ(Paint(WM_CTLCOLORLISTBOX, popup), 0);
  DestroyWindow(popup);
}

TEST(ModalLoop, PostedClickEndsTheLoopWithTheCallbacksResult) {
  Recorded().Reset();
  ScopedDialog dialog(testing::NewUnitsDialog("modal"));
  ASSERT_NE(dialog.get(), nullptr);
  HWND done = Add(dialog, ControlKind::Button, 108, "DONE", ControlRecorder);
  Recorded().controlResult = 1;
  Recorded().controlEnds = true;
  Recorded().endResult = 1;
  Recorded().only = WM_COMMAND;
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(108, BN_CLICKED), reinterpret_cast<LPARAM>(done));
  std::int32_t result = -1;
  DialogShowModal(dialog, nullptr, &result);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(result, 1);
  EXPECT_EQ(Recorded().Order(), std::vector<std::string>{"control"});
}

TEST(ModalLoop, CloseCommandLeavesZero) {
  ScopedDialog dialog(testing::NewUnitsDialog("close"));
  ASSERT_NE(dialog.get(), nullptr);
  DialogSetShowState(dialog, SW_HIDE);
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  std::int32_t result = -1;
  DialogShowModal(dialog, nullptr, &result);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(result, 0);
}

TEST(ModalLoop, WindowWithoutRecordGetsOnlyTheDirectCalls) {
  Recorded().Reset();
  HWND plain = CreateWindowExA(0, "STATIC", "plain", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(plain, nullptr);
  std::int32_t result = 3;
  DialogShowModal(plain, DialogRecorder, &result);
  ASSERT_EQ(Recorded().calls.size(), 2u);
  EXPECT_EQ(Recorded().calls[0].message, static_cast<UINT>(WM_INITDIALOG));
  EXPECT_EQ(Recorded().calls[0].wParam, reinterpret_cast<WPARAM>(plain));
  EXPECT_EQ(Recorded().calls[1].message, static_cast<UINT>(WM_SIZE));
  EXPECT_EQ(Recorded().calls[1].wParam, static_cast<WPARAM>(SIZE_RESTORED));
  EXPECT_FALSE(IsWindowVisible(plain));
  EXPECT_EQ(result, 3);
  DestroyWindow(plain);
}

TEST(ShowState, FirstShowCommandIsKeptUntilTheFirstShow) {
  struct Row {
    std::int32_t asked;
    std::int32_t stored;
  };
  const Row rows[] = {
      {SW_SHOWNORMAL, SW_SHOW},   {SW_HIDE, SW_HIDE},   {SW_MAXIMIZE, SW_MAXIMIZE},
      {SW_MINIMIZE, SW_MINIMIZE}, {SW_SHOWNA, SW_SHOW}, {SW_RESTORE, SW_SHOW},
  };
  ScopedDialog dialog(testing::NewUnitsDialog("state"));
  ASSERT_NE(dialog.get(), nullptr);
  for (const Row& r : rows) {
    EXPECT_EQ(DialogSetShowState(dialog, r.asked), 0);
    EXPECT_EQ(RegistryFind(dialog)->showCommand, r.stored) << r.asked;
    EXPECT_FALSE(IsWindowVisible(dialog));
  }
  EXPECT_EQ(DialogSetShowState(nullptr, SW_SHOW), 0);
  // Hidden first show: the dialog callback's first WM_SIZE is a restore.
  Recorded().Reset();
  Recorded().only = WM_SIZE;
  DialogSetShowState(dialog, SW_HIDE);
  DialogShowModeless(dialog, DialogRecorder, nullptr);
  ASSERT_EQ(Recorded().calls.size(), 1u);
  EXPECT_EQ(Recorded().calls[0].wParam, static_cast<WPARAM>(SIZE_RESTORED));
  EXPECT_NE(RegistryFind(dialog)->flags & RecordFlag::Shown, 0u);
  EXPECT_FALSE(IsWindowVisible(dialog));
}

TEST(ShowState, MaximizedFirstShowThenShownAtOnce) {
  Recorded().Reset();
  Recorded().only = WM_SIZE;
  ScopedDialog dialog(testing::NewUnitsDialog("maximized"));
  ASSERT_NE(dialog.get(), nullptr);
  DialogSetShowState(dialog, SW_MAXIMIZE);
  DialogShowModeless(dialog, DialogRecorder, nullptr);
  ASSERT_FALSE(Recorded().calls.empty());
  const Call& first = Recorded().calls.front();
  EXPECT_EQ(first.wParam, static_cast<WPARAM>(SIZE_MAXIMIZED));
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_TRUE(IsZoomed(dialog));
  HWND box = Add(dialog, ControlKind::TextBox, kBoxId, "focus");
  ControlSetFocus(dialog, kBoxId);
  EXPECT_EQ(GetFocus(), box);
  // Shown: a repaint of everything leaves nothing to update.
  InvalidateRect(dialog, nullptr, TRUE);
  WindowRedraw(dialog);
  RECT update{};
  EXPECT_FALSE(GetUpdateRect(dialog, &update, FALSE));
  // Shown: the state now applies at once.
  EXPECT_NE(DialogSetShowState(dialog, SW_HIDE), 0);  // it was visible
  EXPECT_FALSE(IsWindowVisible(dialog));
}

std::int32_t MaximizeOnInit(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) DialogSetShowState(dialog, SW_MAXIMIZE);
  return DialogRecorder(dialog, message, wParam, lParam);
}

TEST(ShowState, StateSetInTheFirstInitDialogCountsForTheFirstSize) {
  Recorded().Reset();
  Recorded().only = WM_SIZE;
  ScopedDialog dialog(testing::NewUnitsDialog("maximized at init"));
  ASSERT_NE(dialog.get(), nullptr);
  DialogShowModeless(dialog, MaximizeOnInit, nullptr);
  ASSERT_FALSE(Recorded().calls.empty());
  EXPECT_EQ(Recorded().calls.front().wParam, static_cast<WPARAM>(SIZE_MAXIMIZED));
  EXPECT_TRUE(IsZoomed(dialog));
}

TEST(DialogEndTest, WithoutRecordOrWindow) {
  HWND plain = CreateWindowExA(0, "STATIC", "plain", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(plain, nullptr);
  DialogEnd(plain, 5);
  EXPECT_FALSE(IsWindow(plain));
  DialogEnd(plain, 5);  // gone: nothing happens
  EXPECT_FALSE(IsWindow(plain));
}

// What a dialog callback does when DialogEnd's WM_CLOSE reaches it, each in
// the ordinary Win32 habit.
enum class OnClose { Nothing, EndAgain, CloseCommand, Destroy };
OnClose g_onClose = OnClose::Nothing;
int g_closesSeen = 0;
std::int32_t ReactToClose(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != WM_CLOSE) return 0;
  ++g_closesSeen;
  switch (g_onClose) {
    case OnClose::Nothing:
      return 0;
    case OnClose::EndAgain:
      DialogEnd(dialog, 9);
      return 1;
    case OnClose::CloseCommand:
      SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      return 1;
    case OnClose::Destroy:
      DestroyWindow(dialog);
      return 1;
  }
  return 0;
}

TEST(DialogEndTest, CallbackAnsweringCloseEndsTheDialogOnceAndFreesTheOwner) {
  struct Row {
    const char* name;
    OnClose onClose;
    std::int32_t result;  // the result variable afterwards (it starts as -7)
  };
  const Row rows[] = {
      {"callback leaves the close to the engine", OnClose::Nothing, 5},
      {"callback ends the dialog again", OnClose::EndAgain, 5},
      {"callback sends the close command", OnClose::CloseCommand, 5},
      {"callback destroys the dialog itself", OnClose::Destroy, -7},
  };
  ScopedDialog owner(testing::NewUnitsDialog("owner"));
  ASSERT_NE(owner.get(), nullptr);
  for (const Row& r : rows) {
    HWND dialog = testing::NewUnitsDialog("owned", owner);
    ASSERT_NE(dialog, nullptr) << r.name;
    DialogSetShowState(dialog, SW_HIDE);
    std::int32_t result = -7;
    DialogShowModeless(dialog, ReactToClose, &result);
    EnableWindow(owner, FALSE);  // as the modal loop leaves it
    g_onClose = r.onClose;
    g_closesSeen = 0;
    DialogEnd(dialog, 5);
    EXPECT_FALSE(IsWindow(dialog)) << r.name;
    EXPECT_EQ(g_closesSeen, 1) << r.name;
    EXPECT_EQ(result, r.result) << r.name;
    EXPECT_TRUE(IsWindowEnabled(owner)) << r.name;
    EXPECT_EQ(RegistryFind(dialog), nullptr) << r.name;
  }
  g_onClose = OnClose::Nothing;
}

// A dialog that ends itself while a control is being added to it: its
// callback on the default-button message, or a custom control's window
// procedure on the font it is given.
std::int32_t EndOnDefaultId(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == DM_SETDEFID) DialogEnd(dialog, 2);
  return 0;
}
LRESULT CALLBACK EndParentOnFont(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETFONT) DialogEnd(GetParent(window), 3);
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(ControlAddTest, DialogEndedWhileTheControlIsAddedLeavesNoRecord) {
  WNDCLASSA endsOnFont{};
  endsOnFont.lpfnWndProc = EndParentOnFont;
  endsOnFont.hInstance = GetModuleHandleA(nullptr);
  endsOnFont.lpszClassName = "EndsParentOnFont";
  RegisterClassA(&endsOnFont);
  struct Row {
    const char* name;
    ControlKind kind;
    const char* className;
    std::uint32_t style;
    std::int32_t result;
  };
  const Row rows[] = {
      {"default push button", ControlKind::Button, "", BS_DEFPUSHBUTTON, 2},
      {"default image button", ControlKind::ImageButton, "", BS_DEFPUSHBUTTON, 2},
      {"default fitted image button", ControlKind::FittedImageButton, "", BS_DEFPUSHBUTTON, 2},
      {"custom control ending it on WM_SETFONT", ControlKind::Custom, "EndsParentOnFont", WS_CHILD,
       3},
  };
  const int baseline = RegistryCount();
  for (const Row& r : rows) {
    HWND dialog = testing::NewUnitsDialog("ends");
    ASSERT_NE(dialog, nullptr) << r.name;
    DialogSetShowState(dialog, SW_HIDE);
    std::int32_t result = -1;
    DialogShowModeless(dialog, EndOnDefaultId, &result);
    const TextValue className = Text(r.className);
    const TextValue caption = Text("Logo");
    EXPECT_EQ(ControlAdd(r.kind, className, dialog, 7, caption, {}, 5, 5, 30, 10, r.style, 0,
                         ControlRecorder),
              nullptr)
        << r.name;
    EXPECT_FALSE(IsWindow(dialog)) << r.name;
    EXPECT_EQ(result, r.result) << r.name;
    EXPECT_EQ(RegistryCount(), baseline) << r.name;
  }
  UnregisterClassA("EndsParentOnFont", GetModuleHandleA(nullptr));
}

// Control texts.
// The mode the first callback saw; no mode reads as all ones (rounding to
// nearest reads as 0 on some processors).
constexpr std::uint32_t kNoModeSeen = ~std::uint32_t{0};
std::uint32_t g_controlWordSeen = kNoModeSeen;
std::int32_t ChangeFloatingPoint(HWND, UINT message, WPARAM, LPARAM) {
  if (message == WM_COMMAND) {
    if (g_controlWordSeen == kNoModeSeen) g_controlWordSeen = testing_support::ReadFpMode();
    testing_support::WriteForeignFpMode();
    volatile double big = 1e308;
    big = big * 10.0;
  }
  return 0;
}

TEST(ControlText, ReadAndWriteTexts) {
  ScopedDialog dialog(testing::NewUnitsDialog("texts"));
  ASSERT_NE(dialog.get(), nullptr);
  Add(dialog, ControlKind::TextBox, kBoxId, "2.0");
  Add(dialog, ControlKind::Label, -1, "n");
  EXPECT_EQ(ControlGetText(dialog, kBoxId).str(), "2.0");
  EXPECT_EQ(ControlGetText(dialog, kBoxId).size(), 3u);
  EXPECT_EQ(ControlGetText(dialog, -1).str(), "n");
  EXPECT_TRUE(ControlGetText(dialog, 999).empty());
  EXPECT_TRUE(ControlGetText(nullptr, kBoxId).empty());

  struct Row {
    const char* name;
    std::string written;
    std::string read;
  };
  const std::string longText(5000, 'x');
  const Row rows[] = {
      {"plain", "314.2", "314.2"},
      {"empty", "", ""},
      {"zero byte ends it",
       std::string("12\0"
                   "34",
                   5),
       "12"},
      {"long", longText, longText},
      {"high bytes", "\xE9\xFF", "\xE9\xFF"},
  };
  for (const Row& r : rows) {
    const TextValue text = Text(r.written);
    ControlSetText(dialog, kBoxId, text);
    EXPECT_EQ(ControlGetText(dialog, kBoxId).str(), r.read) << r.name;
  }
  ControlSetText(dialog, 999, Text("nothing"));  // no control: no change
  EXPECT_TRUE(ControlGetText(dialog, 999).empty());
}

TEST(ControlText, CallersFloatingPointStateSurvivesTheCallbacks) {
  ScopedDialog dialog(testing::NewUnitsDialog("fp"));
  ASSERT_NE(dialog.get(), nullptr);
  Add(dialog, ControlKind::TextBox, kBoxId, "", ChangeFloatingPoint);
  std::feclearexcept(FE_ALL_EXCEPT);
  const std::uint32_t before = testing_support::ReadFpMode();
  g_controlWordSeen = kNoModeSeen;
  ControlSetText(dialog, kBoxId, Text("changed"));
  EXPECT_EQ(g_controlWordSeen, before);  // the callback ran, in the caller's state
  EXPECT_EQ(testing_support::ReadFpMode(), before);
#ifdef FE_OVERFLOW
  EXPECT_EQ(std::fetestexcept(FE_OVERFLOW), 0);
#endif
  EXPECT_EQ(ControlGetText(dialog, kBoxId).str(), "changed");
}

TEST(ItemOperations, CombosAndListsCountFromOne) {
  ScopedDialog dialog(testing::NewUnitsDialog("items"));
  ASSERT_NE(dialog.get(), nullptr);
  HWND combo = Add(dialog, ControlKind::ComboBox, kComboId, "", nullptr, 40, 60);
  HWND list = Add(dialog, ControlKind::ListBox, kListId, "", nullptr, 40, 40);
  struct Family {
    HWND control;
    std::int32_t id;
    void (*add)(HWND, std::int32_t, TextRef);
    void (*remove)(HWND, std::int32_t, std::int32_t);
    TextValue (*selected)(HWND, std::int32_t);
    void (*reset)(HWND, std::int32_t);
    void (*select)(HWND, std::int32_t, std::int32_t);
    UINT count;
  };
  const Family families[] = {
      {combo, kComboId, ComboAddText, ComboDeleteItem, ComboGetSelectedText, ComboReset,
       ComboSelect, CB_GETCOUNT},
      {list, kListId, ListAddText, ListDeleteItem, ListGetSelectedText, ListReset, ListSelect,
       LB_GETCOUNT},
  };
  for (const Family& f : families) {
    f.add(dialog, f.id, Text("pear"));
    f.add(dialog, f.id, Text("apple"));  // both kinds sort
    f.add(dialog, f.id, Text("fig"));
    EXPECT_EQ(SendMessageA(f.control, f.count, 0, 0), 3);
    EXPECT_TRUE(f.selected(dialog, f.id).empty());  // nothing selected yet
    f.select(dialog, f.id, 1);
    EXPECT_EQ(f.selected(dialog, f.id).str(), "apple");
    f.select(dialog, f.id, 3);
    EXPECT_EQ(f.selected(dialog, f.id).str(), "pear");
    // Item numbers no index stands for are refused and change nothing
    // (INT32_MIN among them, whose index the sanitizer build checks).
    for (std::int32_t item :
         {std::numeric_limits<std::int32_t>::min(), 4, std::numeric_limits<std::int32_t>::max()}) {
      f.select(dialog, f.id, item);
      f.remove(dialog, f.id, item);
      EXPECT_EQ(f.selected(dialog, f.id).str(), "pear") << item;
      EXPECT_EQ(SendMessageA(f.control, f.count, 0, 0), 3) << item;
    }
    f.remove(dialog, f.id, 1);
    EXPECT_EQ(SendMessageA(f.control, f.count, 0, 0), 2);
    f.reset(dialog, f.id);
    EXPECT_EQ(SendMessageA(f.control, f.count, 0, 0), 0);
    EXPECT_TRUE(f.selected(dialog, f.id).empty());
    EXPECT_TRUE(f.selected(dialog, 999).empty());
  }
}

}  // namespace
}  // namespace tavrin
