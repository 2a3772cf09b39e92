// The dialog manager as Win32 has it: dialog geometry from dialog units and
// the template font, placement, the messages of creation, the message
// result, the close command, the default id and the keyboard handling of
// IsDialogMessageA. Runs on the Linux platform and under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "windows_recorder.h"

namespace tavrin::test {
namespace {

constexpr DWORD kDefaultStyle =
    0x80C000D4;  // WS_POPUP|WS_CAPTION|DS_MODALFRAME|DS_SETFONT|DS_NOFAILCREATE|DS_3DLOOK

class DialogTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(RecorderClass(), nullptr); }
  void TearDown() override {
    for (HWND h : made_)
      if (IsWindow(h)) DestroyWindow(h);
    Pump();
    HoldShift(false);
    Watch({});
    RecorderDialogCode() = DLGC_WANTCHARS;
  }
  HWND Make(const DialogTemplate& t, HWND owner = nullptr, DLGPROC proc = RecorderDialogProc) {
    HWND h = t.Create(owner, proc);
    if (h) made_.push_back(h);
    return h;
  }
  std::vector<HWND> made_;
};

// value * numerator / denominator rounded to nearest, halves away from
// zero, as MulDiv rounds.
LONG MulDivRounded(LONG value, LONG numerator, LONG denominator) {
  const long long twice = 2LL * value * numerator;
  const long long half = twice >= 0 ? twice + denominator : twice - denominator;
  return static_cast<LONG>(half / (2LL * denominator));
}

// Pixels of the dialog units of a template's font. Its base units are
// measured as the dialog manager measures them, on the font of the face at
// -MulDiv(points, dpi, 72) pixels: the average width of its 52 letters,
// rounded, and its height. Wine substitutes one of the machine's fonts for
// both faces used here, so the base units depend on the fonts installed.
class DialogUnits {
 public:
  DialogUnits(const char* face, WORD points) {
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTA lf{};
    lf.lfHeight = -MulDivRounded(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, face, sizeof lf.lfFaceName - 1);
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE letters{};
    GetTextExtentPoint32A(dc, kLetters, 52, &letters);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    base_ = {(letters.cx / 26 + 1) / 2, metrics.tmHeight};
  }
  LONG X(LONG units) const { return MulDivRounded(units, base_.cx, 4); }
  LONG Y(LONG units) const { return MulDivRounded(units, base_.cy, 8); }
  SIZE base() const { return base_; }

 private:
  SIZE base_{};
};

// Where Win32 puts a dialog on the work area: where the template says, or
// centred (DS_CENTER). Either way a dialog that would pass the work area's
// right or bottom is moved back to end 3 pixels before it, and one that would
// start before its left or top starts there.
enum class Placement { AsGiven, Centred };

struct GeometryCase {
  const char* name;
  DWORD style;
  short x, y, cx, cy;
  const char* face;
  WORD points;
  Placement placement;
};

// What a dialog keeps free before the work area's right and bottom.
constexpr LONG kFarEdgeMargin = 3;
// A dialog with a caption and a modal frame: a frame of 3 pixels on every
// side and a caption of 19 above the client area (measured with Wine 8 on
// Xvfb screens of 1024x768 and 1280x1024).
constexpr LONG kFrame = 3;
constexpr LONG kCaption = 19;

RECT WorkArea() {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

// Where a dialog of `size` starting at `start` lies on the work area from
// `first` to `last` (one axis).
LONG PlaceOnWorkArea(LONG start, LONG size, LONG first, LONG last) {
  if (start + size > last) start = last - kFarEdgeMargin - size;
  return std::max(start, first);
}

// The window rectangle of `c` on the work area `work`: its client area
// where the template's units put it, in its frame.
RECT ExpectedWindow(const GeometryCase& c, const DialogUnits& units, const RECT& work) {
  const bool framed = (c.style & WS_CAPTION) == WS_CAPTION;
  const LONG side = framed ? kFrame : 0;
  const LONG above = framed ? kFrame + kCaption : 0;
  const LONG width = units.X(c.cx) + 2 * side;
  const LONG height = units.Y(c.cy) + above + side;
  LONG left = units.X(c.x) - side, top = units.Y(c.y) - above;
  if (c.placement == Placement::Centred) {
    left = work.left + (work.right - work.left - width) / 2;
    top = work.top + (work.bottom - work.top - height) / 2;
  }
  left = PlaceOnWorkArea(left, width, work.left, work.right);
  top = PlaceOnWorkArea(top, height, work.top, work.bottom);
  return RECT{left, top, left + width, top + height};
}

const GeometryCase kGeometry[] = {
    {"tahoma 10", kDefaultStyle, 100, 50, 110, 100, "tahoma", 10, Placement::AsGiven},
    {"MS Sans Serif 8", kDefaultStyle, 100, 50, 110, 100, "MS Sans Serif", 8, Placement::AsGiven},
    {"centred", kDefaultStyle | DS_CENTER, -1, 50, 110, 100, "tahoma", 10, Placement::Centred},
    {"no frame", WS_POPUP | DS_SETFONT, 10, 10, 110, 100, "tahoma", 10, Placement::AsGiven},
    {"larger than the screen", kDefaultStyle | DS_CENTER, 0, 0, 1000, 1000, "tahoma", 10,
     Placement::Centred},
    {"past the right and bottom", kDefaultStyle, 500, 400, 100, 100, "tahoma", 10,
     Placement::AsGiven},
    {"negative position", kDefaultStyle, -20, -30, 100, 100, "tahoma", 10, Placement::AsGiven},
};

TEST_F(DialogTest, GeometryFollowsDialogUnitsOfTheTemplateFont) {
  for (const auto& c : kGeometry) {
    SCOPED_TRACE(c.name);
    HWND d = Make(DialogTemplate(c.style, c.x, c.y, c.cx, c.cy, c.face, c.points));
    ASSERT_NE(d, nullptr);
    RECT w, client;
    GetWindowRect(d, &w);
    GetClientRect(d, &client);
    const DialogUnits units(c.face, c.points);
    const RECT expected = ExpectedWindow(c, units, WorkArea());
    EXPECT_EQ(w.left, expected.left);
    EXPECT_EQ(w.top, expected.top);
    EXPECT_EQ(w.right, expected.right);
    EXPECT_EQ(w.bottom, expected.bottom);
    EXPECT_EQ(client.right, units.X(c.cx));
    EXPECT_EQ(client.bottom, units.Y(c.cy));
    EXPECT_FALSE(IsWindowVisible(d));
  }
}

TEST_F(DialogTest, MapDialogRectRoundsLikeMulDiv) {
  struct Font {
    const char* face;
    WORD points;
  };
  const Font fonts[] = {{"tahoma", 10}, {"MS Sans Serif", 8}, {"tahoma", 9}, {"tahoma", 12}};
  int halves = 0;  // edges whose exact pixels end in a half
  for (const auto& f : fonts) {
    SCOPED_TRACE(testing::Message() << f.face << " " << f.points);
    const DialogUnits units(f.face, f.points);
    HWND d = Make(DialogTemplate(kDefaultStyle, 0, 0, 50, 50, f.face, f.points));
    ASSERT_NE(d, nullptr);
    // Every remainder of the division by 4 and by 8 on every edge, and a
    // rectangle far larger than the screen.
    std::vector<RECT> rects;
    for (LONG v = 0; v < 16; ++v) rects.push_back({v, v + 16, v + 32, v + 48});
    rects.push_back({0, 0, 4000, 8000});
    for (const RECT& in : rects) {
      SCOPED_TRACE(testing::Message()
                   << in.left << "," << in.top << "," << in.right << "," << in.bottom);
      RECT r = in;
      ASSERT_TRUE(MapDialogRect(d, &r));
      EXPECT_EQ(r.left, units.X(in.left));
      EXPECT_EQ(r.top, units.Y(in.top));
      EXPECT_EQ(r.right, units.X(in.right));
      EXPECT_EQ(r.bottom, units.Y(in.bottom));
      for (LONG x : {in.left, in.right}) halves += (x * units.base().cx) % 4 == 2;
      for (LONG y : {in.top, in.bottom}) halves += (y * units.base().cy) % 8 == 4;
    }
  }
  // Some of the fonts' base units are not multiples of 4 and 8, so there
  // are halves for the rounding to decide.
  EXPECT_GT(halves, 0);
}

TEST_F(DialogTest, AnOwnedDialogIsPlacedFromItsOwnersClientArea) {
  HWND owner = Make(DialogTemplate(kDefaultStyle, 100, 50, 110, 100));
  HWND owned = Make(DialogTemplate(kDefaultStyle, 10, 10, 110, 100), owner);
  ASSERT_NE(owned, nullptr);
  // The owned dialog's client area is 10, 10 units from the owner's.
  POINT origin{0, 0};
  ClientToScreen(owner, &origin);
  const DialogUnits units("tahoma", 10);
  RECT w;
  GetWindowRect(owned, &w);
  EXPECT_EQ(w.left, origin.x + units.X(10) - kFrame);
  EXPECT_EQ(w.top, origin.y + units.Y(10) - kFrame - kCaption);
  EXPECT_EQ(GetWindowLongA(owned, GWL_HWNDPARENT),
            static_cast<LONG>(reinterpret_cast<INT_PTR>(owner)));
  EXPECT_EQ(GetParent(owned), owner);
}

TEST_F(DialogTest, StylesAsWin32StoresThem) {
  struct Case {
    DWORD templateStyle;
    DWORD style;
    DWORD exStyle;
  };
  const Case cases[] = {
      {kDefaultStyle, 0x84C000D4, WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME},
      {WS_POPUP | DS_SETFONT, 0x84000044, WS_EX_CONTROLPARENT},  // DS_3DLOOK is always added
  };
  for (const auto& c : cases) {
    HWND d = Make(DialogTemplate(c.templateStyle, 0, 0, 50, 50));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(d, GWL_STYLE)), c.style);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(d, GWL_EXSTYLE)), c.exStyle);
  }
}

TEST_F(DialogTest, CreationSendsSetFontThenInitDialogToTheDialogProcedure) {
  Watch({WM_NCCREATE, WM_CREATE, WM_SETFONT, WM_INITDIALOG, WM_SIZE, WM_MOVE, WM_SHOWWINDOW});
  HWND d = DialogTemplate(kDefaultStyle, 0, 0, 50, 50).Create(nullptr, RecorderDialogProc, 0x1234);
  ASSERT_NE(d, nullptr);
  made_.push_back(d);
  const auto& log = Log();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].message, static_cast<UINT>(WM_SETFONT));
  EXPECT_EQ(log[0].wParam, static_cast<WPARAM>(SendMessageA(d, WM_GETFONT, 0, 0)));
  EXPECT_NE(log[0].wParam, 0u);
  EXPECT_EQ(log[1].message, static_cast<UINT>(WM_INITDIALOG));
  EXPECT_EQ(log[1].wParam, 0u);  // no control to focus
  EXPECT_EQ(log[1].lParam, 0x1234);
}

TEST_F(DialogTest, TheTitleKeepsItsBytesAndTheFontItsHeight) {
  HWND d = Make(DialogTemplate(kDefaultStyle, 0, 0, 50, 50, "tahoma", 10, "T\xE9"));
  ASSERT_NE(d, nullptr);
  char title[8];
  ASSERT_EQ(GetWindowTextA(d, title, sizeof title), 2);
  EXPECT_EQ(static_cast<unsigned char>(title[1]), 0xE9);
  LOGFONTA lf{};
  ASSERT_NE(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(d, WM_GETFONT, 0, 0)), sizeof lf, &lf),
            0);
  EXPECT_EQ(lf.lfHeight, -13);  // -MulDiv(10, 96, 72)
  EXPECT_STREQ(lf.lfFaceName, "tahoma");
}

// A dialog procedure whose answers the message-result test chooses.
INT_PTR CALLBACK AnsweringProc(HWND h, UINT m, WPARAM w, LPARAM) {
  Record(h, m, static_cast<WPARAM>(GetWindowLongA(h, DWL_MSGRESULT)), 0);
  switch (m) {
    case WM_USER + 1:
      SetWindowLongA(h, DWL_MSGRESULT, 5);
      return TRUE;
    case WM_USER + 2:
      return TRUE;
    case WM_USER + 3:
      return 7;
    case WM_CTLCOLORSTATIC:
      return 0x777;
    case WM_INITDIALOG:
      return w == 0x99 ? 0x55 : FALSE;
    default:
      return FALSE;
  }
}

TEST_F(DialogTest, MessageResultStartsAtZeroAndIsReturnedForHandledMessages) {
  HWND d = Make(DialogTemplate(kDefaultStyle, 0, 0, 50, 50), nullptr, AnsweringProc);
  ASSERT_NE(d, nullptr);
  struct Case {
    UINT message;
    WPARAM wParam;
    LRESULT expected;
  };
  const Case cases[] = {
      {WM_USER + 1, 0, 5},            // handled: the result is DWL_MSGRESULT
      {WM_USER + 2, 0, 0},            // DWL_MSGRESULT was cleared for this message
      {WM_USER + 3, 0, 0},            // the procedure's value is not the result
      {WM_CTLCOLORSTATIC, 0, 0x777},  // colour messages take the value itself
      {WM_INITDIALOG, 0x99, 0x55},    // so does WM_INITDIALOG
      {WM_USER + 9, 0, 0},            // not handled
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    Watch({c.message});
    EXPECT_EQ(SendMessageA(d, c.message, c.wParam, 0), c.expected);
    ASSERT_EQ(Log().size(), 1u);
    EXPECT_EQ(Log()[0].wParam, 0u);  // DWL_MSGRESULT seen on entry
  }
}

TEST_F(DialogTest, CloseOnADialogPostsCancelInsteadOfDestroying) {
  struct Case {
    bool withCancel;
    bool cancelDisabled;
    UINT message;
    WPARAM wParam;
  };
  const Case cases[] = {
      {false, false, WM_CLOSE, 0},
      {true, false, WM_CLOSE, 0},
      {true, true, WM_CLOSE, 0},
      {true, false, WM_SYSCOMMAND, SC_CLOSE},
  };
  for (const auto& c : cases) {
    HWND d = Make(DialogTemplate(kDefaultStyle, 0, 0, 50, 50));
    HWND cancel = c.withCancel
                      ? MakeRecorder(d, IDCANCEL, WS_CHILD | (c.cancelDisabled ? WS_DISABLED : 0))
                      : nullptr;
    Watch({WM_CLOSE, WM_COMMAND, WM_DESTROY});
    SendMessageA(d, c.message, c.wParam, 0);
    EXPECT_TRUE(IsWindow(d));
    EXPECT_EQ(EventsOf(WM_COMMAND).size(), 0u);  // posted, not sent
    Pump();
    const auto commands = EventsOf(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, static_cast<WPARAM>(IDCANCEL));
    EXPECT_EQ(commands[0].lParam, reinterpret_cast<LPARAM>(cancel));
    EXPECT_EQ(EventsOf(WM_CLOSE).size(), 1u);
    EXPECT_TRUE(IsWindow(d));
  }
}

TEST_F(DialogTest, DefaultIdStartsAsIdokAndFollowsSetDefId) {
  HWND d = Make(DialogTemplate(kDefaultStyle, 0, 0, 50, 50));
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(SendMessageA(d, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
  SendMessageA(d, DM_SETDEFID, 107, 0);
  EXPECT_EQ(SendMessageA(d, DM_GETDEFID, 0, 0), MAKELONG(107, DC_HASDEFID));
}

TEST_F(DialogTest, MaximizingReportsSizeMaximizedWithTheWorkAreasClient) {
  HWND d = Make(DialogTemplate(kDefaultStyle, 100, 50, 110, 100));
  Watch({WM_SIZE});
  ShowWindow(d, SW_MAXIMIZE);
  const auto sizes = EventsOf(WM_SIZE);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(sizes[0].wParam, static_cast<WPARAM>(SIZE_MAXIMIZED));
  // The frame lies outside the work area; the caption is taken from the
  // client's height.
  const RECT work = WorkArea();
  EXPECT_EQ(sizes[0].lParam, MAKELPARAM(work.right - work.left, work.bottom - work.top - kCaption));
  RECT w;
  GetWindowRect(d, &w);
  EXPECT_EQ(w.left, work.left - kFrame);
  EXPECT_EQ(w.top, work.top - kFrame);
  EXPECT_EQ(w.right, work.right + kFrame);
  EXPECT_EQ(w.bottom, work.bottom + kFrame);
}

// A dialog with recorder controls: 11 without tab stop, 12 and 15 tab
// stops, 13 a disabled tab stop, 14 a hidden one.
class DialogKeysTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    dialog_ = Make(DialogTemplate(kDefaultStyle, 0, 0, 100, 100));
    ASSERT_NE(dialog_, nullptr);
    const DWORD visibleStop = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    const DWORD styles[] = {WS_CHILD | WS_VISIBLE, visibleStop, visibleStop | WS_DISABLED,
                            WS_CHILD | WS_TABSTOP, visibleStop};
    for (int i = 0; i < 5; ++i) kid_[i] = MakeRecorder(dialog_, 11 + i, styles[i]);
    ShowWindow(dialog_, SW_SHOW);
    Pump(dialog_);
  }
  HWND Kid(int id) const { return kid_[id - 11]; }
  // Runs a key press through IsDialogMessageA as a message loop would.
  BOOL Press(UINT vk) {
    MSG m{GetFocus(), WM_KEYDOWN, vk, 1, 0, POINT{0, 0}};
    BOOL r = IsDialogMessageA(dialog_, &m);
    Pump(dialog_);
    return r;
  }
  HWND dialog_ = nullptr;
  HWND kid_[5] = {};
};

TEST_F(DialogKeysTest, ShowingGivesTheFocusToTheFirstTabStop) {
  EXPECT_EQ(GetFocus(), Kid(12));
}

TEST_F(DialogKeysTest, TabAndShiftTabVisitEnabledVisibleTabStopsAndWrap) {
  struct Case {
    int from;
    bool shift;
    int to;
  };
  const Case cases[] = {{12, false, 15}, {15, false, 12}, {12, true, 15}, {15, true, 12}};
  for (const auto& c : cases) {
    SetFocus(Kid(c.from));
    HoldShift(c.shift);
    Watch({WM_NEXTDLGCTL});
    EXPECT_TRUE(Press(VK_TAB));
    HoldShift(false);
    EXPECT_EQ(GetFocus(), Kid(c.to)) << c.from << (c.shift ? " shift" : "");
    ASSERT_EQ(Log().size(), 1u);
    EXPECT_EQ(Log()[0].wParam != 0, c.shift);
  }
}

TEST_F(DialogKeysTest, TabGoesToAControlThatWantsIt) {
  RecorderDialogCode() = DLGC_WANTTAB;
  Watch({WM_KEYDOWN});
  EXPECT_TRUE(Press(VK_TAB));
  EXPECT_EQ(GetFocus(), Kid(12));
  ASSERT_EQ(Log().size(), 1u);
  EXPECT_EQ(Log()[0].hwnd, Kid(12));
}

TEST_F(DialogKeysTest, EnterAndEscapeSendCommandsWithTheControlAsLParam) {
  HWND ok = MakeRecorder(dialog_, IDOK, WS_CHILD | WS_VISIBLE);
  HWND cancel = MakeRecorder(dialog_, IDCANCEL, WS_CHILD | WS_VISIBLE);
  HWND def = MakeRecorder(dialog_, 107, WS_CHILD | WS_VISIBLE);
  struct Case {
    const char* name;
    UINT vk;
    int defId;     // 0: leave the dialog's default id alone
    HWND disable;  // a control disabled for the case
    bool command;  // whether a WM_COMMAND comes
    WPARAM wParam;
    HWND lParam;
  };
  const Case cases[] = {
      {"enter, default IDOK", VK_RETURN, 0, nullptr, true, IDOK, ok},
      {"escape", VK_ESCAPE, 0, nullptr, true, IDCANCEL, cancel},
      {"escape, cancel disabled", VK_ESCAPE, 0, cancel, true, IDCANCEL, cancel},
      {"enter, default 107", VK_RETURN, 107, nullptr, true, 107, def},
      {"enter, default disabled", VK_RETURN, 107, def, false, 0, nullptr},
      {"enter, default without control", VK_RETURN, 300, nullptr, true, 300, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.defId) SendMessageA(dialog_, DM_SETDEFID, static_cast<WPARAM>(c.defId), 0);
    if (c.disable) EnableWindow(c.disable, FALSE);
    SetFocus(Kid(12));
    Watch({WM_COMMAND});
    EXPECT_TRUE(Press(c.vk));
    const auto commands = EventsOf(WM_COMMAND);
    ASSERT_EQ(commands.size(), c.command ? 1u : 0u);
    if (c.command) {
      EXPECT_EQ(commands[0].wParam, c.wParam);
      EXPECT_EQ(commands[0].lParam, reinterpret_cast<LPARAM>(c.lParam));
    }
    if (c.disable) EnableWindow(c.disable, TRUE);
  }
}

TEST_F(DialogKeysTest, EnterWithoutAnyControlsSendsIdokWithoutAControl) {
  HWND bare = Make(DialogTemplate(kDefaultStyle, 0, 0, 50, 50));
  ShowWindow(bare, SW_SHOW);
  Pump(bare);
  const UINT keys[] = {VK_RETURN, VK_ESCAPE};
  const WPARAM ids[] = {IDOK, IDCANCEL};
  for (int i = 0; i < 2; ++i) {
    Watch({WM_COMMAND});
    MSG m{bare, WM_KEYDOWN, keys[i], 1, 0, POINT{0, 0}};
    EXPECT_TRUE(IsDialogMessageA(bare, &m));
    ASSERT_EQ(Log().size(), 1u);
    EXPECT_EQ(Log()[0].wParam, ids[i]);
    EXPECT_EQ(Log()[0].lParam, 0);
  }
}

TEST_F(DialogKeysTest, TypingReachesTheFocusedControlAsKeyAndCharacter) {
  Watch({WM_GETDLGCODE, WM_KEYDOWN, WM_CHAR});
  EXPECT_TRUE(Press('A'));
  const auto& log = Log();
  const Event expected[] = {{Kid(12), WM_GETDLGCODE, 'A', 0},
                            {Kid(12), WM_KEYDOWN, 'A', 0},
                            {Kid(12), WM_GETDLGCODE, 'a', 0},
                            {Kid(12), WM_CHAR, 'a', 0}};
  ASSERT_EQ(log.size(), std::size(expected));
  for (std::size_t i = 0; i < log.size(); ++i) {
    EXPECT_EQ(log[i].hwnd, expected[i].hwnd);
    EXPECT_EQ(log[i].message, expected[i].message);
    EXPECT_EQ(log[i].wParam, expected[i].wParam);
  }
}

TEST_F(DialogKeysTest, MessagesOfOtherWindowsAreLeftAlone) {
  HWND other = MakeRecorder(nullptr, 0, WS_POPUP);
  made_.push_back(other);
  const UINT messages[] = {WM_CHAR, WM_KEYDOWN, WM_USER};
  for (UINT message : messages) {
    MSG m{other, message, VK_TAB, 0, 0, POINT{0, 0}};
    EXPECT_FALSE(IsDialogMessageA(dialog_, &m));
  }
  MSG own{dialog_, WM_USER, 0, 0, 0, POINT{0, 0}};
  EXPECT_TRUE(IsDialogMessageA(dialog_, &own));
}

}  // namespace
}  // namespace tavrin::test

namespace tavrin::test {
namespace {

std::string Lower(const char* text) {
  std::string s(text);
  for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return s;
}

TEST_F(DialogTest, TemplateItemsBecomeControlsPlacedInDialogUnits) {
  DialogTemplate t(kDefaultStyle, 0, 0, 100, 80);
  t.AddItem(WS_CHILD | WS_VISIBLE, 5, 5, 40, 10, 10, 0x0082, nullptr, "Label");
  t.AddItem(WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 20, 40, 14, 11, 0, "button", "Go");
  t.AddItem(WS_CHILD, 3, 3, 3, 3, 12, 0x0082, nullptr, "");
  Watch({WM_INITDIALOG});
  HWND d = Make(t);
  ASSERT_NE(d, nullptr);
  struct Case {
    int id;
    const char* className;
    const char* text;
    LONG x, y, cx, cy;  // the item's, in dialog units
    LONG style;         // the template's style, unchanged: dialogs add bits only to themselves
  };
  const Case cases[] = {{10, "static", "Label", 5, 5, 40, 10, WS_CHILD | WS_VISIBLE},
                        {11, "button", "Go", 10, 20, 40, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP},
                        {12, "static", "", 3, 3, 3, 3, WS_CHILD}};
  const DialogUnits units("tahoma", 10);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    HWND item = GetDlgItem(d, c.id);
    ASSERT_NE(item, nullptr);
    char name[32];
    ASSERT_GT(GetClassNameA(item, name, sizeof name), 0);
    EXPECT_EQ(Lower(name), c.className);
    char text[32];
    GetWindowTextA(item, text, sizeof text);
    EXPECT_STREQ(text, c.text);
    RECT r;
    GetWindowRect(item, &r);
    POINT corner{r.left, r.top};
    ScreenToClient(d, &corner);
    // The size is converted on its own, not as the difference of the
    // converted edges.
    EXPECT_EQ(corner.x, units.X(c.x));
    EXPECT_EQ(corner.y, units.Y(c.y));
    EXPECT_EQ(r.right - r.left, units.X(c.cx));
    EXPECT_EQ(r.bottom - r.top, units.Y(c.cy));
    EXPECT_EQ(GetWindowLongA(item, GWL_STYLE), c.style);
  }
  // The push button stays a push button.
  EXPECT_EQ(SendMessageA(GetDlgItem(d, 11), WM_GETDLGCODE, 0, 0),
            DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
  // WM_INITDIALOG names the first tab stop, the control to focus.
  ASSERT_EQ(Log().size(), 1u);
  EXPECT_EQ(Log()[0].wParam, reinterpret_cast<WPARAM>(GetDlgItem(d, 11)));
}

TEST_F(DialogTest, ShowingActivatesAndFocusesAControlAndDestroyingDeactivatesFirst) {
  HWND d = Make(DialogTemplate(kDefaultStyle, 0, 0, 100, 80));
  ASSERT_NE(d, nullptr);
  HWND kid = MakeRecorder(d, 12, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
  const std::vector<UINT> watched = {WM_SHOWWINDOW, WM_ACTIVATE, WM_SETFOCUS,
                                     WM_KILLFOCUS,  WM_DESTROY,  WM_NCDESTROY};
  Watch(watched);
  ShowWindow(d, SW_SHOW);
  const Event shown[] = {{d, WM_SHOWWINDOW, TRUE, 0},
                         {d, WM_ACTIVATE, WA_ACTIVE, 0},
                         {d, WM_SETFOCUS, 0, 0},
                         {d, WM_KILLFOCUS, reinterpret_cast<WPARAM>(kid), 0},
                         {kid, WM_SETFOCUS, reinterpret_cast<WPARAM>(d), 0}};
  ASSERT_EQ(Log().size(), std::size(shown));
  for (std::size_t i = 0; i < std::size(shown); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Log()[i].hwnd, shown[i].hwnd);
    EXPECT_EQ(Log()[i].message, shown[i].message);
    EXPECT_EQ(Log()[i].wParam, shown[i].wParam);
  }
  Pump(d);
  Watch(watched);
  DestroyWindow(d);
  const Event destroyed[] = {
      {d, WM_ACTIVATE, WA_INACTIVE, 0}, {kid, WM_KILLFOCUS, 0, 0}, {d, WM_DESTROY, 0, 0},
      {kid, WM_DESTROY, 0, 0},          {kid, WM_NCDESTROY, 0, 0}, {d, WM_NCDESTROY, 0, 0}};
  ASSERT_EQ(Log().size(), std::size(destroyed));
  for (std::size_t i = 0; i < std::size(destroyed); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Log()[i].hwnd, destroyed[i].hwnd);
    EXPECT_EQ(Log()[i].message, destroyed[i].message);
    EXPECT_EQ(Log()[i].wParam, destroyed[i].wParam);
  }
}

TEST_F(DialogTest, ArrowsMoveWithinTheGroupAndWrap) {
  HWND d = Make(DialogTemplate(kDefaultStyle, 0, 0, 100, 80));
  ASSERT_NE(d, nullptr);
  // Groups 11-14 (13 disabled) and 15-16.
  const DWORD extra[] = {WS_GROUP | WS_TABSTOP, 0, WS_DISABLED, 0, WS_GROUP | WS_TABSTOP, 0};
  HWND kid[6];
  for (int i = 0; i < 6; ++i) kid[i] = MakeRecorder(d, 11 + i, WS_CHILD | WS_VISIBLE | extra[i]);
  ShowWindow(d, SW_SHOW);
  Pump(d);
  struct Case {
    int from;
    UINT vk;
    int to;
  };
  const Case cases[] = {{11, VK_DOWN, 12}, {12, VK_DOWN, 14},  {14, VK_DOWN, 11},
                        {11, VK_UP, 14},   {11, VK_RIGHT, 12}, {11, VK_LEFT, 14},
                        {15, VK_DOWN, 16}, {16, VK_DOWN, 15},  {16, VK_UP, 15}};
  for (const auto& c : cases) {
    SetFocus(kid[c.from - 11]);
    Watch({WM_KEYDOWN});
    MSG m{GetFocus(), WM_KEYDOWN, c.vk, 1, 0, POINT{0, 0}};
    EXPECT_TRUE(IsDialogMessageA(d, &m));
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), c.to) << c.from << " key " << c.vk;
    EXPECT_TRUE(Log().empty());  // the key itself goes nowhere
    EXPECT_EQ(GetNextDlgGroupItem(d, kid[c.from - 11], c.vk == VK_UP || c.vk == VK_LEFT),
              kid[c.to - 11]);
  }
  // A control that wants arrows gets the key instead.
  RecorderDialogCode() = DLGC_WANTARROWS;
  SetFocus(kid[0]);
  Watch({WM_KEYDOWN});
  MSG m{kid[0], WM_KEYDOWN, VK_DOWN, 1, 0, POINT{0, 0}};
  EXPECT_TRUE(IsDialogMessageA(d, &m));
  EXPECT_EQ(GetFocus(), kid[0]);
  EXPECT_EQ(Log().size(), 1u);
}

}  // namespace
}  // namespace tavrin::test
