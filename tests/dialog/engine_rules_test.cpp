// Rules of the engine that need no window: the dialog template, the control
// kinds' styles, bitmap-resource names and the floating-point snapshot.
#include <gtest/gtest.h>

#include <cfenv>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "dialog/control_kinds.h"
#include "dialog/dialog_template.h"
#include "dialog/engine.h"
#include "dialog/fp_state.h"
#include "dialog/resource_lookup.h"
#include "fp_mode_testing.h"
#include "runtime/text_value.h"
#include "runtime/thread_record.h"

namespace tavrin {
namespace {

// The template as words, for comparison.
std::vector<WORD> Words(const DialogTemplateFields& fields) {
  DialogTemplate t{};
  BuildDialogTemplate(fields, t);
  return {t.words.begin(), t.words.begin() + static_cast<std::ptrdiff_t>(t.used)};
}

// The widened words of `text` and its terminator.
std::vector<WORD> Widened(const std::string& text) {
  std::vector<WORD> w;
  for (char c : text) w.push_back(static_cast<unsigned char>(c));
  w.push_back(0);
  return w;
}

TEST(DialogTemplateStyle, AddsRemovesAndCentres) {
  struct Row {
    std::uint32_t style;
    std::int32_t x, y;
    std::uint32_t expected;
  };
  const Row rows[] = {
      {0, 100, 50, 0x80C000D4},          // the default: popup, caption, modal frame, font
      {0x10000000, 0, 0, 0x00000054},    // WS_VISIBLE goes
      {0x80000002, 0, 0, 0x80000054},    // DS_SYSMODAL goes
      {0x80C00000, 0, 0, 0x80C00054},    // no DS_SETFONT asked: it is added
      {0, -1, 50, 0x80C008D4},           // centred by x
      {0, 100, -1, 0x80C008D4},          // centred by y
      {0x90C80002, -1, -1, 0x80C80854},  // everything at once
  };
  for (const Row& r : rows) {
    EXPECT_EQ(DialogTemplateStyle(r.style, r.x, r.y), r.expected) << std::hex << r.style;
  }
}

TEST(DialogTemplate, CalculatorTemplateWordByWord) {
  const std::vector<WORD> words =
      Words({0x80C000D4, 0, 100, 50, 110, 100, "TAVRIN Schlumberger", 10, "tahoma"});
  std::vector<WORD> expected{0x00D4, 0x80C0, 0, 0, 0, 100, 50, 110, 100, 0, 0};
  for (WORD w : Widened("TAVRIN Schlumberger")) expected.push_back(w);
  expected.push_back(10);
  for (WORD w : Widened("tahoma")) expected.push_back(w);
  EXPECT_EQ(words, expected);
}

TEST(DialogTemplate, TextsAreWidenedCutAndNeverEmpty) {
  struct Row {
    const char* name;
    std::string caption;
    std::string face;
    std::vector<WORD> title;      // expected title words with terminator
    std::vector<WORD> faceWords;  // expected face words with terminator
  };
  const std::string longCaption(300, 'c');
  const std::string longFace(40, 'f');
  const Row rows[] = {
      {"empty caption is one space", "", "x", {0x20, 0}, {'x', 0}},
      {"byte 0xE9 widens to 0x00E9", "\xE9t\xFF", "x", {0x00E9, 't', 0x00FF, 0}, {'x', 0}},
      {"caption cut at 256 bytes", longCaption, "x", Widened(std::string(256, 'c')), {'x', 0}},
      {"face cut at 31 bytes", "t", longFace, {'t', 0}, Widened(std::string(31, 'f'))},
      {"zero byte ends the caption", std::string("ab\0cd", 5), "x", {'a', 'b', 0}, {'x', 0}},
      {"caption of a zero byte only", std::string("\0", 1), "x", {0x20, 0}, {'x', 0}},
  };
  for (const Row& r : rows) {
    const std::vector<WORD> words = Words({0, 0, 0, 0, 0, 0, r.caption, 8, r.face});
    std::vector<WORD> expected(11, 0);
    expected.insert(expected.end(), r.title.begin(), r.title.end());
    expected.push_back(8);
    expected.insert(expected.end(), r.faceWords.begin(), r.faceWords.end());
    EXPECT_EQ(words, expected) << r.name;
  }
}

TEST(DialogTemplate, GeometryKeepsLowSixteenBits) {
  const std::vector<WORD> words = Words({0, 0, -1, 0x18000, -2, 70000, "t", 8, "f"});
  ASSERT_GE(words.size(), 9u);
  EXPECT_EQ(words[5], 0xFFFF);
  EXPECT_EQ(words[6], 0x8000);
  EXPECT_EQ(words[7], 0xFFFE);
  EXPECT_EQ(words[8], static_cast<WORD>(70000 & 0xFFFF));
}

TEST(DialogTemplate, LongestTextsFitTheBuffer) {
  DialogTemplate t{};
  const std::string caption(1000, 'c');
  const std::string face(100, 'f');
  BuildDialogTemplate({0, 0, 0, 0, 0, 0, caption, 8, face}, t);
  EXPECT_EQ(t.used, kDialogTemplateWords);
  EXPECT_EQ(t.words[kDialogTemplateWords - 1], 0);
}

TEST(ControlKinds, FinalStylesFollowTheKindTable) {
  struct Row {
    ControlKind kind;
    std::uint32_t style, exStyle;
    std::int32_t width, height;
    ControlStyles expected;
  };
  const Row rows[] = {
      {ControlKind::Button, 0, 0, 30, 10, {0x50010000, 0}},
      {ControlKind::Button, 0x1, 0, 30, 10, {0x50000001, 0}},  // default push button, no tab stop
      {ControlKind::ThreeStateCheckBox, 0, 0, 30, 10, {0x50010006, 0}},
      {ControlKind::CheckBox, 0, 0, 30, 10, {0x50010003, 0}},
      {ControlKind::CheckBox, 0x80000004, 0, 30, 10, {0x50000003, 0}},
      {ControlKind::GroupBox, 0, 0, 30, 10, {0x50000007, 0}},
      {ControlKind::GroupBox,
       0x00030000 | 0xD000 | 0x20 | 0x10 | 0x2,
       0,
       30,
       10,
       {0x50000007, 0}},  // WS_GROUP, WS_TABSTOP, 0xD000, BS_LEFTTEXT, 0x10, type bits cleared
      {ControlKind::GroupBox, 0x2000, 0, 30, 10, {0x50002007, 0}},  // bit 0x2000 is kept
      {ControlKind::Label, 0, 0, 30, 10, {0x50000000, 0}},
      {ControlKind::Label, 0x2, 0x4, 30, 10, {0x50000002, 0x4}},
      {ControlKind::EtchedFrame, 0, 0, 30, 10, {0x50000012, 0}},
      {ControlKind::OptionButton, 0, 0, 30, 10, {0x50010009, 0}},
      {ControlKind::OptionButton, 0x00FC0000 | 0x80 | 0x40, 0, 30, 10, {0x50000009, 0}},
      {ControlKind::OptionButton, 0x00030000, 0, 30, 10, {0x50030009, 0}},  // group, tab stop kept
      {ControlKind::ScrollBar, 0, 0, 10, 50, {0x50000001, 0}},
      {ControlKind::ScrollBar, 0, 0, 50, 10, {0x50000000, 0}},
      {ControlKind::ScrollBar, 0, 0, 20, 20, {0x50000000, 0}},
      {ControlKind::TextBox, 0, 0, 30, 10, {0x50010080, 0x200}},
      {ControlKind::TextBox, 0x800, 0x200, 30, 10, {0x50000800, 0x200}},
      {ControlKind::TextBox, 0x800, 0, 30, 10, {0x50000800, 0}},
      {ControlKind::TextBox, 0x00800000, 0, 30, 10, {0x50800000, 0}},  // a border asked for stays
      {ControlKind::Image, 0, 0, 30, 30, {0x5000000E, 0}},
      {ControlKind::FittedImage, 0, 0, 30, 30, {0x5000000E, 0}},
      {ControlKind::ImageButton, 0, 0, 30, 30, {0x50010080, 0}},
      {ControlKind::FittedImageButton, 0, 0, 30, 30, {0x50010080, 0}},
      {ControlKind::Graphic, 0, 0, 30, 30, {0x5000000D, 0}},
      {ControlKind::ComboBox, 0, 0, 30, 60, {0x50010102, 0}},
      {ControlKind::ListBox, 0, 0, 30, 40, {0x50210003, 0x200}},
      {ControlKind::ListBox, 0x2, 0, 30, 40, {0x50000003, 0}},
      {ControlKind::Custom, 0x12345678, 0x9, 30, 10, {0x12345678, 0x9}},
      {ControlKind::Custom, 0, 0, 30, 10, {0, 0}},
  };
  for (const Row& r : rows) {
    ControlStyles got{};
    ASSERT_TRUE(ControlWindowStyles(r.kind, r.style, r.exStyle, r.width, r.height, got));
    EXPECT_EQ(got.style, r.expected.style)
        << "kind " << static_cast<int>(r.kind) << " style " << std::hex << r.style;
    EXPECT_EQ(got.exStyle, r.expected.exStyle) << "kind " << static_cast<int>(r.kind);
  }
}

TEST(ControlKinds, ClassesAndKindsOutsideTheTable) {
  struct Row {
    ControlKind kind;
    const char* className;
  };
  const Row rows[] = {
      {ControlKind::Button, "BUTTON"},       {ControlKind::Label, "STATIC"},
      {ControlKind::ScrollBar, "SCROLLBAR"}, {ControlKind::TextBox, "EDIT"},
      {ControlKind::Graphic, "STATIC"},      {ControlKind::ComboBox, "COMBOBOX"},
      {ControlKind::ListBox, "LISTBOX"},     {ControlKind::OptionButton, "BUTTON"},
  };
  for (const Row& r : rows) {
    const ControlKindInfo* info = FindControlKind(r.kind);
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info->className, r.className);
  }
  EXPECT_EQ(FindControlKind(ControlKind::Custom)->className, nullptr);
  EXPECT_EQ(FindControlKind(static_cast<ControlKind>(17)), nullptr);
  EXPECT_EQ(FindControlKind(static_cast<ControlKind>(-1)), nullptr);
  ControlStyles untouched{1, 2};
  EXPECT_FALSE(ControlWindowStyles(static_cast<ControlKind>(17), 0, 0, 1, 1, untouched));
  EXPECT_EQ(untouched, (ControlStyles{1, 2}));
}

TEST(ControlKinds, IconImagesTakeIconStyles) {
  struct Row {
    ControlKind kind;
    std::uint32_t style, expected;
  };
  const Row rows[] = {
      {ControlKind::Image, 0x5000000E, 0x50000003},
      {ControlKind::FittedImage, 0x5000020E, 0x50000203},
      {ControlKind::ImageButton, 0x50010080, 0x50010040},
      {ControlKind::FittedImageButton, 0x50000081, 0x50000041},
      {ControlKind::Label, 0x5000000E, 0x5000000E},
  };
  for (const Row& r : rows) EXPECT_EQ(IconImageStyle(r.kind, r.style), r.expected);
}

TEST(ResourceNames, NumericAndTextualNamesMatchLikeWin32) {
  struct Row {
    const char* wanted;
    LPCSTR candidate;
    bool matches;
  };
  const Row rows[] = {
      {"#12", MAKEINTRESOURCEA(12), true},
      {"#012", MAKEINTRESOURCEA(12), true},
      {"#12x", MAKEINTRESOURCEA(12), true},        // digits up to the first non-digit
      {"#123456", MAKEINTRESOURCEA(12345), true},  // at most five digits
      {"#12", MAKEINTRESOURCEA(13), false},
      {"#12", "#12", false},  // an id never equals a textual name
      {"LOGO", "logo", true},
      {"Logo", "LOGO", true},
      {"logo", MAKEINTRESOURCEA(1), false},
      {"logo", "logos", false},
      {"\xC9t\xE9", "\xE9t\xE9", false},  // only ASCII letters ignore case
      {"#", MAKEINTRESOURCEA(0), false},  // "#" without digits names nothing
      {"#x", "#x", false},
      {"", "", true},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ResourceNameMatches(ParseResourceName(r.wanted), r.candidate), r.matches) << r.wanted;
  }
}

TEST(DefaultFont, PerThreadLowEightBitsOfPointsAndCutFace) {
  DialogSetDefaultFont(TextValue::Copy("tahoma"), 10);
  std::string threadFace;
  std::uint32_t threadPoints = 0;
  std::uint32_t threadPointsAfter = 0;
  std::string threadFaceAfter;
  std::thread other([&] {
    // A new thread starts from the main thread's font.
    threadFace = CurrentThreadRecord()->fontFace;
    threadPoints = CurrentThreadRecord()->fontPoints;
    DialogSetDefaultFont(TextValue::Copy(std::string(40, 'A')), 300);
    threadFaceAfter = CurrentThreadRecord()->fontFace;
    threadPointsAfter = CurrentThreadRecord()->fontPoints;
    ReleaseCurrentThreadRecord();
  });
  other.join();
  EXPECT_EQ(threadFace, "tahoma");
  EXPECT_EQ(threadPoints, 10u);
  EXPECT_EQ(threadFaceAfter, std::string(31, 'A'));
  EXPECT_EQ(threadPointsAfter, 300u & 0xFF);
  // The other thread's setting left this thread's alone.
  EXPECT_STREQ(CurrentThreadRecord()->fontFace, "tahoma");
  EXPECT_EQ(CurrentThreadRecord()->fontPoints, 10u);
}

TEST(FloatingPointState, RestoresControlStatusAndSseState) {
#if !defined(FE_INEXACT) || !defined(FE_OVERFLOW)
  GTEST_SKIP() << "this platform keeps no floating-point exception flags";
#else
  const std::uint32_t before = testing_support::ReadFpMode();
  std::feclearexcept(FE_ALL_EXCEPT);
  volatile double one = 1.0;
  volatile double third = one / 3.0;
  (void)third;
  const int flagsBefore = std::fetestexcept(FE_ALL_EXCEPT);
  ASSERT_NE(flagsBefore & FE_INEXACT, 0);

  const FloatingPointState saved;
  testing_support::WriteForeignFpMode();
  std::feclearexcept(FE_ALL_EXCEPT);
  volatile double overflow = 1e308;
  overflow = overflow * 10.0;
  EXPECT_NE(std::fetestexcept(FE_OVERFLOW), 0);
  saved.Restore();

  EXPECT_EQ(testing_support::ReadFpMode(), before);
  EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), flagsBefore);
  std::feclearexcept(FE_ALL_EXCEPT);
#endif
}

}  // namespace
}  // namespace tavrin
