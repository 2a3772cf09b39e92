// Building engine dialogs: DialogNew in both geometry modes with the
// thread's default font, ControlAdd for every kind, ControlSetColor with
// shared brushes, and the smaller operations on sizes, locations, units,
// user values, check states, removal and enabling.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <string>

#include "dialog/engine.h"
#include "dialog/operations.h"
#include "dialog/registry.h"
#include "dialog_testing.h"

namespace tavrin {
namespace {

using testing::ScopedDialog;
using testing::Text;

// The dialog's font as Win32 describes it.
LOGFONTA FontOf(HWND window) {
  LOGFONTA font{};
  HFONT handle = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
  GetObjectA(handle, sizeof(font), &font);
  return font;
}

RECT ClientOf(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return r;
}

RECT WindowOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

// A window's rectangle in its parent's client coordinates.
RECT InParent(HWND window) {
  RECT r = WindowOf(window);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST(DialogNewTest, CalculatorDialogIsHiddenWithItsStyleAndRecord) {
  DialogSetDefaultFont(Text("tahoma"), 10);
  const TextValue caption = Text("TAVRIN Schlumberger");
  ScopedDialog dialog(DialogNew(Units, nullptr, caption, 100, 50, 110, 100, 0, 0));
  ASSERT_NE(dialog.get(), nullptr);
  const auto style = static_cast<std::uint32_t>(GetWindowLongA(dialog, GWL_STYLE));
  EXPECT_EQ(style & 0x80C000D4u, 0x80C000D4u);  // popup, caption, modal frame, font
  EXPECT_EQ(style & (WS_VISIBLE | WS_SYSMENU | DS_SYSMODAL), 0u);
  EXPECT_FALSE(IsWindowVisible(dialog));
  char title[64] = {};
  GetWindowTextA(dialog, title, sizeof(title));
  EXPECT_STREQ(title, "TAVRIN Schlumberger");
  const Record* r = RegistryFind(dialog);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->flags, 0x4001u);
  EXPECT_EQ(r->style, 0u);
  EXPECT_EQ(r->showCommand, SW_SHOW);
  EXPECT_EQ(r->parent, nullptr);
  EXPECT_EQ(r->kind, 0);
  EXPECT_NE(r->font, nullptr);
  EXPECT_EQ(reinterpret_cast<WPARAM>(r->font),
            static_cast<WPARAM>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
  EXPECT_STREQ(FontOf(dialog).lfFaceName, "tahoma");
  // The template's size is in dialog units: the client area is its mapping.
  RECT units{0, 0, 110, 100};
  MapDialogRect(dialog, &units);
  EXPECT_EQ(ClientOf(dialog).right, units.right);
  EXPECT_EQ(ClientOf(dialog).bottom, units.bottom);
}

TEST(DialogNewTest, DefaultFontIsPerThreadAndCut) {
  struct Row {
    std::string face;
    std::int32_t points;
    std::string expectedFace;
    int expectedPoints;
  };
  const Row rows[] = {
      {"tahoma", 266, "tahoma", 10},  // only the low 8 bits of the points count
      {"MS Sans Serif", 8, "MS Sans Serif", 8},
      {std::string(40, 'F'), 9, std::string(31, 'F'), 9},
  };
  for (const Row& r : rows) {
    DialogSetDefaultFont(Text(r.face), r.points);
    ScopedDialog dialog(testing::NewUnitsDialog("font"));
    ASSERT_NE(dialog.get(), nullptr);
    const LOGFONTA font = FontOf(dialog);
    EXPECT_EQ(std::string(font.lfFaceName), r.expectedFace);
    HDC dc = GetDC(dialog);
    // Points to pixels, rounded to nearest: -MulDiv(points, dpi, 72).
    const int expectedHeight = -((r.expectedPoints * GetDeviceCaps(dc, LOGPIXELSY) + 36) / 72);
    ReleaseDC(dialog, dc);
    EXPECT_EQ(font.lfHeight, expectedHeight) << r.face;
  }
  DialogSetDefaultFont(Text("tahoma"), 10);
}

TEST(DialogNewTest, StylesCaptionsAndFirstShowCommands) {
  struct Row {
    const char* name;
    std::string caption;
    std::uint32_t style;
    const char* title;
    std::int32_t showCommand;
  };
  const Row rows[] = {
      {"empty caption", "", 0, " ", SW_SHOW},
      {"visible asked", "v", 0x90C00000, "v", SW_SHOW},
      {"maximize and minimize", "m", 0x80C00000 | WS_MAXIMIZE | WS_MINIMIZE, "m", SW_MAXIMIZE},
      {"minimize", "m", 0x80C00000 | WS_MINIMIZE, "m", SW_MINIMIZE},
      {"high byte", "\xE9", 0, "\xE9", SW_SHOW},
  };
  for (const Row& r : rows) {
    const TextValue caption = Text(r.caption);
    ScopedDialog dialog(DialogNew(Units, nullptr, caption, 10, 10, 60, 40, r.style, 0));
    ASSERT_NE(dialog.get(), nullptr) << r.name;
    EXPECT_FALSE(IsWindowVisible(dialog)) << r.name;
    char title[16] = {};
    GetWindowTextA(dialog, title, sizeof(title));
    EXPECT_STREQ(title, r.title) << r.name;
    const Record* rec = RegistryFind(dialog);
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->style, r.style) << r.name;
    EXPECT_EQ(rec->showCommand, r.showCommand) << r.name;
  }
}

TEST(DialogNewTest, PixelModeSizesTheClientAreaAndCentres) {
  const TextValue caption = Text("pixels");
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  struct Row {
    const char* name;
    std::int32_t x, y;
    bool centred;
    bool placed;
  };
  const Row rows[] = {
      {"placed", 40, 30, false, true},
      {"centred by x", -1, 30, true, false},
      {"centred by y", 40, -1, true, false},
      {"position kept", 0x8000, 30, false, false},
  };
  for (const Row& r : rows) {
    ScopedDialog dialog(DialogNew(Pixels, nullptr, caption, r.x, r.y, 200, 100, 0, 0));
    ASSERT_NE(dialog.get(), nullptr) << r.name;
    EXPECT_EQ(RegistryFind(dialog)->flags, 0x4002u);
    const RECT client = ClientOf(dialog);
    EXPECT_EQ(client.right - client.left, 200) << r.name;
    EXPECT_EQ(client.bottom - client.top, 100) << r.name;
    const RECT window = WindowOf(dialog);
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    if (r.centred) {
      EXPECT_EQ(window.left, (area.left + area.right - width) / 2) << r.name;
      EXPECT_EQ(window.top, (area.top + area.bottom - height) / 2) << r.name;
    }
    if (r.placed) {
      EXPECT_EQ(window.left, 40) << r.name;
      EXPECT_EQ(window.top, 30) << r.name;
    }
  }
}

TEST(DialogNewTest, UnitModeCentresThroughTheTemplate) {
  const TextValue caption = Text("centred");
  ScopedDialog dialog(DialogNew(Units, nullptr, caption, -1, 10, 100, 50, 0, 0));
  ASSERT_NE(dialog.get(), nullptr);
  EXPECT_NE(GetWindowLongA(dialog, GWL_STYLE) & DS_CENTER, 0);
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  const RECT window = WindowOf(dialog);
  const LONG middle = (window.left + window.right) / 2;
  EXPECT_LE(std::abs(middle - (area.left + area.right) / 2), 2);
}

// Every kind, as the calculator and other callers add them: the window
// style and extended style Win32 reports afterwards.
TEST(ControlAddTest, FinalStylesOfEveryKind) {
  ScopedDialog dialog(testing::NewUnitsDialog("kinds"));
  ASSERT_NE(dialog.get(), nullptr);
  struct Row {
    ControlKind kind;
    std::uint32_t style, exStyle;
    std::int32_t width, height;
    std::uint32_t expectedStyle, expectedEx;
    const char* className;
  };
  const Row rows[] = {
      {ControlKind::Button, 0, 0, 30, 10, 0x50010000, 0, "Button"},
      {ControlKind::ThreeStateCheckBox, 0, 0, 30, 10, 0x50010006, 0, "Button"},
      {ControlKind::CheckBox, 0, 0, 30, 10, 0x50010003, 0, "Button"},
      {ControlKind::CheckBox, 0x80000004, 0, 30, 10, 0x50000003, 0, "Button"},
      {ControlKind::GroupBox, 0, 0, 30, 10, 0x50000007, 0, "Button"},
      {ControlKind::Label, 0, 0, 30, 10, 0x50000000, 0, "Static"},
      {ControlKind::EtchedFrame, 0, 0, 30, 10, 0x50000012, 0, "Static"},
      {ControlKind::OptionButton, 0, 0, 30, 10, 0x50010009, 0, "Button"},
      {ControlKind::ScrollBar, 0, 0, 10, 50, 0x50000001, 0, "ScrollBar"},
      {ControlKind::ScrollBar, 0, 0, 50, 10, 0x50000000, 0, "ScrollBar"},
      {ControlKind::TextBox, 0, 0, 25, 10, 0x50010080, WS_EX_CLIENTEDGE, "Edit"},
      {ControlKind::TextBox, 0x800, WS_EX_CLIENTEDGE, 25, 10, 0x50000800, WS_EX_CLIENTEDGE, "Edit"},
      {ControlKind::Image, 0, 0, 30, 30, 0x50000003, 0, "Static"},  // no bitmap: an icon
      {ControlKind::FittedImage, 0, 0, 30, 30, 0x50000003, 0, "Static"},
      {ControlKind::ImageButton, 0, 0, 30, 30, 0x50010040, 0, "Button"},
      {ControlKind::FittedImageButton, 0, 0, 30, 30, 0x50010040, 0, "Button"},
      {ControlKind::Graphic, 0, 0, 30, 30, 0x5000000D, 0, "Static"},
      {ControlKind::ComboBox, 0, 0, 30, 60, 0x50010102, 0, "ComboBox"},
      {ControlKind::ListBox, 0, 0, 30, 40, 0x50010003, WS_EX_CLIENTEDGE, "ListBox"},
  };
  std::int32_t id = 200;
  for (const Row& r : rows) {
    const TextValue caption = Text("c");
    HWND control = ControlAdd(r.kind, TextRef(), dialog, id, caption, {}, 5, 5, r.width, r.height,
                              r.style, r.exStyle, nullptr);
    const int kind = static_cast<int>(r.kind);
    ASSERT_NE(control, nullptr) << kind;
    auto style = static_cast<std::uint32_t>(GetWindowLongA(control, GWL_STYLE));
    // A list box shows its scroll bar only when its items need one.
    if (r.kind == ControlKind::ListBox) style &= ~static_cast<std::uint32_t>(WS_VSCROLL);
    EXPECT_EQ(style, r.expectedStyle) << "kind " << kind;
    EXPECT_EQ(static_cast<std::uint32_t>(GetWindowLongA(control, GWL_EXSTYLE)) &
                  ~static_cast<std::uint32_t>(WS_EX_NOPARENTNOTIFY),
              r.expectedEx)
        << "kind " << kind;
    char className[32] = {};
    GetClassNameA(control, className, sizeof(className));
    EXPECT_STREQ(className, r.className) << "kind " << kind;
    EXPECT_EQ(GetDlgItem(dialog, id), control);
    const Record* rec = RegistryFind(control);
    ASSERT_NE(rec, nullptr);
    const std::uint32_t imageFlag =
        (r.kind >= ControlKind::Image && r.kind <= ControlKind::FittedImageButton)
            ? RecordFlag::IconImage
            : 0u;
    EXPECT_EQ(rec->flags, RecordFlag::Control | RecordFlag::Units | imageFlag) << kind;
    EXPECT_EQ(rec->kind, kind);
    EXPECT_EQ(rec->parent, dialog.get());
    // Frames, icons and scroll bars draw no text and keep no font.
    const bool keepsFont = r.kind != ControlKind::EtchedFrame && r.kind != ControlKind::ScrollBar &&
                           r.kind != ControlKind::Image && r.kind != ControlKind::FittedImage;
    if (keepsFont) {
      EXPECT_EQ(SendMessageA(control, WM_GETFONT, 0, 0),
                reinterpret_cast<LRESULT>(RegistryFind(dialog)->font))
          << "font of kind " << kind;
    }
    ++id;
  }
}

TEST(ControlAddTest, GeometryIsTheDifferenceOfConvertedEdges) {
  for (std::uint32_t mode : {Units, Pixels}) {
    const TextValue caption = Text("geometry");
    ScopedDialog dialog(DialogNew(mode, nullptr, caption, 10, 10, 200, 150, 0, 0));
    ASSERT_NE(dialog.get(), nullptr);
    HWND box = ControlAdd(ControlKind::TextBox, TextRef(), dialog, 101, Text("1"), {}, 10, 5, 30,
                          10, 0, 0, nullptr);
    ASSERT_NE(box, nullptr);
    RECT expected{10, 5, 40, 15};
    if (mode == Units) MapDialogRect(dialog, &expected);
    const RECT got = InParent(box);
    EXPECT_EQ(got.left, expected.left) << mode;
    EXPECT_EQ(got.top, expected.top) << mode;
    EXPECT_EQ(got.right, expected.right) << mode;
    EXPECT_EQ(got.bottom, expected.bottom) << mode;
    EXPECT_EQ(RegistryFind(box)->flags, RecordFlag::Control | mode);
  }
}

TEST(ControlAddTest, ItemsStopAtTheFirstEmptyEntry) {
  ScopedDialog dialog(testing::NewUnitsDialog("items"));
  const std::array<TextValue, 4> texts{Text("a"), Text("b"), Text(""), Text("c")};
  const std::array<TextRef, 4> items{texts[0], texts[1], texts[2], texts[3]};
  HWND list = ControlAdd(ControlKind::ListBox, TextRef(), dialog, 1, TextRef(), items, 5, 5, 40, 40,
                         0, 0, nullptr);
  HWND combo = ControlAdd(ControlKind::ComboBox, TextRef(), dialog, 2, TextRef(), items, 5, 5, 40,
                          60, 0, 0, nullptr);
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 2);
}

TEST(ControlAddTest, DefaultButtonGraphicAndFailures) {
  ScopedDialog dialog(testing::NewUnitsDialog("misc"));
  HWND ok = ControlAdd(ControlKind::Button, TextRef(), dialog, 7, Text("OK"), {}, 5, 5, 30, 10,
                       BS_DEFPUSHBUTTON, 0, nullptr);
  ASSERT_NE(ok, nullptr);
  const LRESULT defId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
  EXPECT_EQ(HIWORD(defId), DC_HASDEFID);
  EXPECT_EQ(LOWORD(defId), 7);

  HWND graphic = ControlAdd(ControlKind::Graphic, TextRef(), dialog, 8, TextRef(), {}, 5, 20, 30,
                            20, 0, 0, nullptr);
  ASSERT_NE(graphic, nullptr);
  const Record* g = RegistryFind(graphic);
  ASSERT_NE(g, nullptr);
  const RECT client = ClientOf(graphic);
  EXPECT_EQ(g->graphicWidth, client.right);
  EXPECT_EQ(g->graphicHeight, client.bottom);
  EXPECT_NE(g->memDC, nullptr);
  EXPECT_NE(g->savedBitmap, nullptr);
  EXPECT_NE(g->savedFont, nullptr);
  EXPECT_GT(g->charWidth, 0);
  EXPECT_GT(g->lineHeight, 0);
  EXPECT_FLOAT_EQ(g->scaleX, static_cast<float>(client.right) / 31.0f);
  EXPECT_FLOAT_EQ(g->scaleY, static_cast<float>(client.bottom) / 21.0f);
  // The picture starts filled with the button face colour.
  EXPECT_EQ(GetPixel(g->memDC, 1, 1), GetSysColor(COLOR_BTNFACE));

  HWND notDialog = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
  EXPECT_EQ(ControlAdd(ControlKind::Label, TextRef(), notDialog, 1, Text("x"), {}, 0, 0, 5, 5, 0, 0,
                       nullptr),
            nullptr);
  DestroyWindow(notDialog);
  EXPECT_EQ(ControlAdd(static_cast<ControlKind>(17), TextRef(), dialog, 1, Text("x"), {}, 0, 0, 5,
                       5, 0, 0, nullptr),
            nullptr);
  EXPECT_EQ(ControlAdd(ControlKind::Custom, Text("NoSuchClassAnywhere"), dialog, 1, Text("x"), {},
                       0, 0, 5, 5, WS_CHILD, 0, nullptr),
            nullptr);
  HWND custom = ControlAdd(ControlKind::Custom, Text("EDIT"), dialog, 9, Text("x"), {}, 0, 0, 5, 5,
                           WS_CHILD | ES_NUMBER, 0, nullptr);
  ASSERT_NE(custom, nullptr);
  EXPECT_EQ(static_cast<std::uint32_t>(GetWindowLongA(custom, GWL_STYLE)),
            static_cast<std::uint32_t>(WS_CHILD | ES_NUMBER));
}

TEST(ControlSetColorTest, ValuesAreNormalised) {
  ScopedDialog dialog(testing::NewUnitsDialog("colours"));
  HWND box = ControlAdd(ControlKind::TextBox, TextRef(), dialog, 101, Text("1"), {}, 0, 0, 20, 10,
                        0, 0, nullptr);
  ASSERT_NE(box, nullptr);
  struct Row {
    std::int32_t text, back;
    std::int32_t storedText, storedBack;
    bool brush;
  };
  const Row rows[] = {
      {-5, 0xFFFFFF, ColorDefault, 0xFFFFFF, true},
      {0x0000FF, ColorTransparent, 0x0000FF, ColorTransparent, false},
      {0x0000FF, 0x12345678, 0x0000FF, 0x345678, true},
      {0x7F0000FF, -7, 0x0000FF, ColorDefault, false},
      {ColorUnset, ColorUnset, ColorDefault, ColorDefault, false},
  };
  for (const Row& r : rows) {
    ControlSetColor(dialog, 101, r.text, r.back);
    const Record* rec = RegistryFind(box);
    EXPECT_EQ(rec->textColor, r.storedText) << r.text << " " << r.back;
    EXPECT_EQ(rec->backColor, r.storedBack) << r.text << " " << r.back;
    EXPECT_EQ(rec->backBrush != nullptr, r.brush) << r.text << " " << r.back;
  }
}

TEST(ControlSetColorTest, BrushesAreSharedByColourAndDeletedOnce) {
  ScopedDialog dialog(testing::NewUnitsDialog("share"));
  HWND a = ControlAdd(ControlKind::TextBox, TextRef(), dialog, 101, Text("1"), {}, 0, 0, 20, 10, 0,
                      0, nullptr);
  HWND b = ControlAdd(ControlKind::TextBox, TextRef(), dialog, 102, Text("2"), {}, 0, 10, 20, 10, 0,
                      0, nullptr);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  ControlSetColor(dialog, 101, 0x0000FF, 0xFFFFFF);
  ControlSetColor(dialog, 102, 0xFF0000, 0xFFFFFF);
  const HBRUSH white = RegistryFind(a)->backBrush;
  ASSERT_NE(white, nullptr);
  EXPECT_EQ(RegistryFind(b)->backBrush, white);

  ControlSetColor(dialog, 101, 0x0000FF, 0x00FFFF);
  const HBRUSH yellow = RegistryFind(a)->backBrush;
  EXPECT_NE(yellow, white);
  EXPECT_EQ(GetObjectType(white), static_cast<DWORD>(OBJ_BRUSH));  // b still holds it
  ControlSetColor(dialog, 102, 0x0000FF, 0x00FFFF);
  EXPECT_EQ(RegistryFind(b)->backBrush, yellow);
  EXPECT_EQ(GetObjectType(white), 0u);  // the last holder gave it up

  ControlSetColor(dialog, 999, 0x0000FF, 0x000000);  // no such control: nothing
  EXPECT_EQ(RegistryBrushForColor(0x000000), nullptr);
  DestroyWindow(dialog);
  EXPECT_EQ(GetObjectType(yellow), 0u);  // removal of both records deleted it
}

TEST(ControlSetColorTest, ScrollBarTakesTheDialogsBackground) {
  ScopedDialog dialog(testing::NewUnitsDialog("scroll"));
  HWND bar = ControlAdd(ControlKind::ScrollBar, TextRef(), dialog, 5, TextRef(), {}, 0, 0, 50, 10,
                        0, 0, nullptr);
  ASSERT_NE(bar, nullptr);
  ControlSetColor(dialog, 5, 0, ColorDefault);
  EXPECT_EQ(RegistryFind(bar)->backColor, ColorUnset);  // the dialog has no colour yet
  EXPECT_EQ(RegistryFind(bar)->backBrush, nullptr);
  ControlSetColor(dialog, DialogSelfId, 0, 0x00AA00);
  ControlSetColor(dialog, 5, 0, ColorTransparent);
  EXPECT_EQ(RegistryFind(bar)->backColor, 0x00AA00);
  EXPECT_EQ(RegistryFind(bar)->backBrush, RegistryFind(dialog)->backBrush);
}

TEST(Operations, SizesAndLocationsInBothModes) {
  for (std::uint32_t mode : {Units, Pixels}) {
    const TextValue caption = Text("ops");
    ScopedDialog dialog(DialogNew(mode, nullptr, caption, 10, 10, 200, 150, 0, 0));
    HWND box = ControlAdd(ControlKind::TextBox, TextRef(), dialog, 101, Text("1"), {}, 10, 20, 40,
                          12, 0, 0, nullptr);
    ASSERT_NE(box, nullptr);
    struct Row {
      Extent location, size, clientSize;
    };
    const Row rows[] = {{{20, 30}, {40, 16}, {36, 12}}, {{2, 4}, {80, 24}, {60, 20}}};
    for (const Row& r : rows) {
      ControlSetLocation(dialog, 101, r.location);
      EXPECT_EQ(ControlGetLocation(dialog, 101), r.location) << mode;
      ControlSetSize(dialog, 101, r.size);
      EXPECT_EQ(ControlGetSize(dialog, 101), r.size) << mode;
      ControlSetClientSize(dialog, 101, r.clientSize);
      EXPECT_EQ(ControlGetClientSize(dialog, 101), r.clientSize) << mode;
    }
    // The dialog itself, through DialogSelfId.
    ControlSetClientSize(dialog, DialogSelfId, {100, 60});
    EXPECT_EQ(ControlGetClientSize(dialog, DialogSelfId), (Extent{100, 60})) << mode;
    // A graphic control keeps the size of its picture.
    HWND graphic = ControlAdd(ControlKind::Graphic, TextRef(), dialog, 102, TextRef(), {}, 0, 0, 20,
                              20, 0, 0, nullptr);
    const Extent before = ControlGetSize(dialog, 102);
    ControlSetSize(dialog, 102, {60, 60});
    ControlSetClientSize(dialog, 102, {60, 60});
    EXPECT_EQ(ControlGetSize(dialog, 102), before);
    EXPECT_NE(graphic, nullptr);
  }
}

TEST(Operations, UnitConversionsRoundHalfUpAndNegativesDown) {
  DialogSetDefaultFont(Text("tahoma"), 10);
  ScopedDialog dialog(testing::NewUnitsDialog("units"));
  RECT scale{0, 0, 1024, 1024};
  ASSERT_TRUE(MapDialogRect(dialog, &scale));
  RECT edge{0, 0, 40, 15};
  MapDialogRect(dialog, &edge);
  EXPECT_EQ(UnitsToPixels(dialog, {40, 15}), (Extent{edge.right, edge.bottom}));
  struct Row {
    Extent pixels;
    Extent units;
  };
  // Exact values for the measured scale of "tahoma" 10 (2 and 1.875 pixels
  // per unit); other scales check the round trip of whole units.
  if (scale.right == 2048 && scale.bottom == 1920) {
    const Row rows[] = {
        {{15, 15}, {8, 8}},      // 7.5 and 8.0
        {{14, 14}, {7, 7}},      // 7.0 and 7.47
        {{-15, -15}, {-8, -8}},  // -7.5 rounded down, -8.0 exact
        {{-14, -14}, {-7, -8}},  // -7.0 exact, -7.47 rounded down
        {{-1, -1}, {-1, -1}},   {{0, 0}, {0, 0}}, {{2048, 1920}, {1024, 1024}},
    };
    for (const Row& r : rows) {
      EXPECT_EQ(PixelsToUnits(dialog, r.pixels), r.units) << r.pixels.x << "," << r.pixels.y;
    }
  }
  for (std::int32_t u : {0, 1, 7, 30, 110, 500}) {
    EXPECT_EQ(PixelsToUnits(dialog, UnitsToPixels(dialog, {u, u})), (Extent{u, u})) << u;
  }
  HWND plain = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  EXPECT_EQ(PixelsToUnits(nullptr, {10, 10}), (Extent{0, 0}));
  EXPECT_EQ(UnitsToPixels(nullptr, {10, 10}), (Extent{0, 0}));
  DestroyWindow(plain);
}

// Every operation is defined for every 32-bit argument: the extremes go
// through dialog creation in both modes (centred too), control geometry,
// sizes, locations, unit conversions and user values. The sanitizer build
// checks that no signed arithmetic overflows on the way.
TEST(Operations, ExtremeArgumentsAreDefined) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  const std::int32_t extremes[] = {kMin, kMax, -1, 0};
  const TextValue caption = Text("extreme");
  const int baseline = RegistryCount();
  for (std::int32_t v : extremes) {
    struct Shape {
      std::uint32_t mode;
      std::int32_t x, y;
    };
    const Shape shapes[] = {{Pixels, v, v}, {Pixels, -1, -1}, {Units, v, v}};
    for (const Shape& shape : shapes) {
      ScopedDialog dialog(DialogNew(shape.mode, nullptr, caption, shape.x, shape.y, v, v, 0, 0));
      ASSERT_NE(dialog.get(), nullptr) << v;
      for (ControlKind kind : {ControlKind::Label, ControlKind::Graphic, ControlKind::ScrollBar}) {
        ControlAdd(kind, TextRef(), dialog, 9, caption, {}, v, v, v, v, 0, 0, nullptr);
      }
      for (std::int32_t id : {9, DialogSelfId}) {
        ControlSetClientSize(dialog, id, {v, v});
        ControlSetSize(dialog, id, {v, v});
        ControlSetLocation(dialog, id, {v, v});
        ControlGetClientSize(dialog, id);
        ControlGetSize(dialog, id);
        ControlGetLocation(dialog, id);
      }
      UnitsToPixels(dialog, {v, v});
      PixelsToUnits(dialog, {v, v});
      // User value n is entry (n - 1) mod 8: INT32_MIN shares the eighth.
      WindowSetUserValue(dialog, v, 41);
      EXPECT_EQ(WindowGetUserValue(dialog, v), 41) << v;
      WindowSetUserValue(dialog, 8, 42);
      EXPECT_EQ(WindowGetUserValue(dialog, kMin), 42) << v;
    }
  }
  EXPECT_EQ(RegistryCount(), baseline);
}

TEST(Operations, UserValuesChecksRemovalAndEnabling) {
  ScopedDialog dialog(testing::NewUnitsDialog("values"));
  for (std::int32_t n = 1; n <= 8; ++n) WindowSetUserValue(dialog, n, n * 10);
  struct Row {
    std::int32_t n;
    std::int32_t value;
  };
  const Row rows[] = {{1, 10}, {8, 80}, {9, 10}, {0, 80}, {-7, 10}, {16, 80}};
  for (const Row& r : rows) EXPECT_EQ(WindowGetUserValue(dialog, r.n), r.value) << r.n;
  EXPECT_EQ(WindowGetUserValue(nullptr, 1), 0);

  ControlAdd(ControlKind::CheckBox, TextRef(), dialog, 10, Text("check"), {}, 0, 0, 40, 10, 0, 0,
             nullptr);
  ControlSetCheck(dialog, 10, BST_CHECKED);
  EXPECT_EQ(ControlGetCheck(dialog, 10), BST_CHECKED);
  ControlSetCheck(dialog, 10, BST_UNCHECKED);
  EXPECT_EQ(ControlGetCheck(dialog, 10), BST_UNCHECKED);
  for (std::int32_t id : {21, 22, 23}) {
    ControlAdd(ControlKind::OptionButton, TextRef(), dialog, id, Text("o"), {}, 0, 0, 40, 10, 0, 0,
               nullptr);
  }
  ControlSetOption(dialog, 21, 23, 22);
  EXPECT_EQ(ControlGetCheck(dialog, 21), BST_UNCHECKED);
  EXPECT_EQ(ControlGetCheck(dialog, 22), BST_CHECKED);
  EXPECT_EQ(ControlGetCheck(dialog, 23), BST_UNCHECKED);

  HWND option = GetDlgItem(dialog, 23);
  ControlRemove(dialog, 23);
  EXPECT_FALSE(IsWindow(option));
  EXPECT_EQ(RegistryFind(option), nullptr);
  ControlRemove(dialog, DialogSelfId);
  EXPECT_TRUE(IsWindow(dialog));
  EXPECT_NE(RegistryFind(dialog), nullptr);

  ControlEnable(dialog, 22, false);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 22)));
  ControlEnable(dialog, DialogSelfId, false);
  EXPECT_FALSE(IsWindowEnabled(dialog));
  ControlEnable(dialog, DialogSelfId, true);
  EXPECT_TRUE(IsWindowEnabled(dialog));
}

TEST(Operations, CallbacksImagesAndIconsWithoutResources) {
  testing::Recorded().Reset();
  ScopedDialog dialog(testing::NewUnitsDialog("images"));
  HWND button = ControlAdd(ControlKind::Button, TextRef(), dialog, 30, Text("b"), {}, 0, 0, 30, 10,
                           0, 0, nullptr);
  ControlSetCallback(dialog, 30, testing::ControlRecorder);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(30, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  EXPECT_EQ(testing::Recorded().Order(), std::vector<std::string>{"control"});

  HWND image = ControlAdd(ControlKind::Image, TextRef(), dialog, 31, Text("missing"), {}, 0, 0, 20,
                          20, 0, 0, nullptr);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(RegistryFind(image)->image, nullptr);  // nothing to load: an empty icon control
  ControlSetImage(dialog, 31, Text("missing"), 0);
  EXPECT_EQ(RegistryFind(image)->image, nullptr);
  ControlSetImage(dialog, 31, Text("missing"), 1);  // wrong variant for this kind: nothing
  DialogSetIcon(dialog, Text("missing"));
  EXPECT_EQ(RegistryFind(dialog)->bigIcon, nullptr);
  EXPECT_EQ(RegistryFind(dialog)->smallIcon, nullptr);
}

}  // namespace
}  // namespace tavrin
