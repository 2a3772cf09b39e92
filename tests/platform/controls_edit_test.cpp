// The single-line EDIT class as Win32 (Wine) has it: notifications when its
// text changes by any road, typing and its limits, the selection, and
// read-only mode. Runs on the Linux platform and under Wine.
#include <string>

#include "controls_fixture.h"

namespace tavrin::test {
namespace {

using EditTest = ControlTest;

constexpr int kId = 101;

TEST_F(EditTest, EveryWmSetTextNotifiesUpdateThenChange) {
  HWND e = Make("EDIT", ES_AUTOHSCROLL, kId, "start");
  // The text given at creation arrives without notifications.
  EXPECT_TRUE(Codes(kId).empty());
  EXPECT_EQ(Text(e), "start");
  struct Case {
    const char* name;
    const char* text;  // null: WM_SETTEXT with lParam 0
    const char* expected;
  };
  const Case cases[] = {
      {"new text", "2.0", "2.0"},
      {"the same text again", "2.0", "2.0"},
      {"empty", "", ""},
      {"null", nullptr, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Clear();
    Send(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.text));
    EXPECT_EQ(Codes(kId), (std::vector<int>{EN_UPDATE, EN_CHANGE}));
    EXPECT_EQ(Text(e), c.expected);
    // The parent reads the new text already while it is being notified.
    for (const auto& seen : ControlParent::Instance().texts) EXPECT_EQ(seen, c.expected);
  }
}

TEST_F(EditTest, SetWindowTextPutsTheCaretAtTheStart) {
  HWND e = Make("EDIT", ES_AUTOHSCROLL, kId);
  SetWindowTextA(e, "hello");
  DWORD start = 99, end = 99;
  Send(e, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 0u);
  EXPECT_EQ(Send(e, EM_GETSEL), MAKELONG(0, 0));
}

TEST_F(EditTest, TypingEditsAtTheCaretAndNotifies) {
  HWND e = Make("EDIT", ES_AUTOHSCROLL, kId, "hello");
  struct Step {
    const char* name;
    int selStart, selEnd;  // EM_SETSEL before the key; -2 leaves it
    unsigned char ch;
    const char* text;
    bool notifies;
  };
  const Step steps[] = {
      {"insert at the start", 0, 0, 'X', "Xhello", true},
      {"replace the selection", 1, 3, 'Y', "XYllo", true},
      {"backspace", -2, -2, '\b', "Xllo", true},
      {"backspace at the start does nothing", 0, 0, '\b', "Xllo", false},
      {"backspace deletes a selection", 1, 3, '\b', "Xo", true},
      {"tab is not text", 2, 2, '\t', "Xo", false},
      {"enter is not text", -2, -2, '\r', "Xo", false},
      {"ctrl+A is not text", -2, -2, 1, "Xo", false},
      {"DEL is not text", -2, -2, 0x7F, "Xo", false},
      {"a byte above 0x7F is text", -2, -2, 0xE9, "Xo\xE9", true},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.name);
    if (s.selStart != -2) Send(e, EM_SETSEL, static_cast<WPARAM>(s.selStart), s.selEnd);
    Clear();
    Send(e, WM_CHAR, s.ch, 1);
    EXPECT_EQ(Text(e), s.text);
    EXPECT_EQ(Codes(kId),
              s.notifies ? (std::vector<int>{EN_UPDATE, EN_CHANGE}) : std::vector<int>{});
  }
}

TEST_F(EditTest, SetSelClampsAndOrdersAsWin32) {
  HWND e = Make("EDIT", ES_AUTOHSCROLL, kId, "Xllo");
  struct Case {
    WPARAM start;
    LPARAM end;
    DWORD expectedStart, expectedEnd;
  };
  const Case cases[] = {
      {0, -1, 0, 4},                       // all
      {4, 2, 2, 4},                        // reversed
      {static_cast<WPARAM>(-1), 0, 2, 2},  // -1 drops the selection, the caret stays
      {2, 100, 2, 4},                      // clamped to the text
      {1, 1, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.start);
    Send(e, EM_SETSEL, c.start, c.end);
    DWORD start = 99, end = 99;
    Send(e, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, c.expectedStart);
    EXPECT_EQ(end, c.expectedEnd);
  }
}

TEST_F(EditTest, ReadOnlyRefusesTypingButTakesWindowText) {
  HWND e = Make("EDIT", ES_READONLY, kId, "fixed");
  EXPECT_EQ(Send(e, WM_GETDLGCODE), DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS);
  Send(e, EM_SETSEL, 5, 5);
  for (unsigned char c : {'Z', '\b'}) {
    Clear();
    Send(e, WM_CHAR, c, 1);
    EXPECT_EQ(Text(e), "fixed");
    EXPECT_TRUE(Codes(kId).empty());
  }
  Clear();
  SetWindowTextA(e, "12.5");
  EXPECT_EQ(Text(e), "12.5");
  EXPECT_EQ(Codes(kId), (std::vector<int>{EN_UPDATE, EN_CHANGE}));
}

TEST_F(EditTest, SetReadOnlyTogglesTheStyleAndTyping) {
  HWND e = Make("EDIT", ES_AUTOHSCROLL, kId, "");
  EXPECT_TRUE(Send(e, EM_SETREADONLY, TRUE));
  EXPECT_NE(GetWindowLongA(e, GWL_STYLE) & ES_READONLY, 0);
  Send(e, WM_CHAR, 'a', 1);
  EXPECT_EQ(Text(e), "");
  EXPECT_TRUE(Send(e, EM_SETREADONLY, FALSE));
  EXPECT_EQ(GetWindowLongA(e, GWL_STYLE) & ES_READONLY, 0);
  Send(e, WM_CHAR, 'a', 1);
  EXPECT_EQ(Text(e), "a");
}

TEST_F(EditTest, TypingStopsAtTheLimitButWindowTextDoesNot) {
  HWND e = Make("EDIT", ES_AUTOHSCROLL, kId, "");
  EXPECT_EQ(Send(e, EM_GETLIMITTEXT), 30000);
  Send(e, EM_LIMITTEXT, 5);
  EXPECT_EQ(Send(e, EM_GETLIMITTEXT), 5);
  SetWindowTextA(e, "abcdefgh");
  EXPECT_EQ(Text(e), "abcdefgh");
  SetWindowTextA(e, "abcd");
  Send(e, EM_SETSEL, 4, 4);
  Send(e, WM_CHAR, 'Q', 1);
  EXPECT_EQ(Text(e), "abcdQ");
  Clear();
  Send(e, WM_CHAR, 'R', 1);
  EXPECT_EQ(Text(e), "abcdQ");
  const auto codes = Codes(kId);
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes[0], EN_MAXTEXT);
  Send(e, EM_LIMITTEXT, 0);
  EXPECT_EQ(Send(e, EM_GETLIMITTEXT), 0x7FFFFFFE);
}

// Past the typing limit of 30000; Wine's own edit needs 24 s for 100000
// characters, so under Wine the text is shorter.
#ifdef _WIN32
constexpr int kBigText = 35000;
#else
constexpr int kBigText = 100000;
#endif

TEST_F(EditTest, ATextPastTheLimitIsKeptWhole) {
  HWND e = Make("EDIT", ES_AUTOHSCROLL, kId, "");
  const std::string big(kBigText, '7');
  SetWindowTextA(e, big.c_str());
  EXPECT_EQ(GetWindowTextLengthA(e), kBigText);
  EXPECT_EQ(Text(e), big);
  // Typing is still held to the limit.
  Send(e, EM_SETSEL, 0, 0);
  Send(e, WM_CHAR, '1', 1);
  EXPECT_EQ(GetWindowTextLengthA(e), kBigText);
}

TEST_F(EditTest, ReplaceSelInsertsAndNotifies) {
  HWND e = Make("EDIT", ES_AUTOHSCROLL, kId, "ro");
  Send(e, EM_SETSEL, 0, 1);
  Clear();
  Send(e, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("XY"));
  EXPECT_EQ(Text(e), "XYo");
  EXPECT_EQ(Codes(kId), (std::vector<int>{EN_UPDATE, EN_CHANGE}));
}

TEST_F(EditTest, FocusIsAnnouncedToTheParent) {
  HWND e = Make("EDIT", ES_AUTOHSCROLL, kId, "");
  SetFocus(parent_);
  PumpMessages();
  Clear();
  SetFocus(e);
  PumpMessages();
  SetFocus(parent_);
  PumpMessages();
  EXPECT_EQ(Codes(kId), (std::vector<int>{EN_SETFOCUS, EN_KILLFOCUS}));
}

TEST_F(EditTest, WmGetTextCutsToTheBuffer) {
  HWND e = Make("EDIT", ES_AUTOHSCROLL, kId, "init");
  char buffer[3] = {'x', 'x', 'x'};
  EXPECT_EQ(Send(e, WM_GETTEXT, 3, reinterpret_cast<LPARAM>(buffer)), 2);
  EXPECT_STREQ(buffer, "in");
  EXPECT_EQ(Send(e, WM_GETTEXTLENGTH), 4);
}

}  // namespace
}  // namespace tavrin::test
