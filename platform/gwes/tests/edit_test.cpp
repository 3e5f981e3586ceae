// Edit controls: the text model's line breaks and words, then the control driven by messages
// and by keys and the stylus: typing with its limits and forms (number-only, read-only, case),
// the selection messages, EN_CHANGE after each change, and a multi-line edit's lines and
// scrolling as the platform counts them.
#include "control_support.h"
#include "gwes/ctl_edit_text.h"

namespace {

using namespace ctest;
using zb::wm::EditText;

// Every character 10 pixels wide.
int TenEach(const char16_t*, size_t count) { return static_cast<int>(count) * 10; }

std::vector<std::u16string> LinesOf(const EditText& t) {
  std::vector<std::u16string> out;
  for (const auto& l : t.lines()) out.push_back(t.text().substr(l.start, l.length));
  return out;
}

TEST(EditTextTest, LinesBreakAtLineEndsAndWrapAtBlanks) {
  struct Case {
    const char16_t* text;
    int width;
    std::vector<std::u16string> lines;
  };
  const Case cases[] = {
      {u"", 0, {u""}},
      {u"one\r\ntwo", 0, {u"one", u"two"}},
      {u"one\r\n", 0, {u"one", u""}},
      {u"a\nb", 0, {u"a", u"b"}},
      {u"hello big world", 100, {u"hello big", u"world"}},
      {u"abcdefghijkl", 50, {u"abcde", u"fghij", u"kl"}},  // a word longer than a line is cut
      {u"ab cd\r\nef", 30, {u"ab", u"cd", u"ef"}},
  };
  for (const Case& c : cases) {
    EditText t;
    t.SetText(c.text);
    t.Layout(TenEach, c.width);
    EXPECT_EQ(LinesOf(t), c.lines) << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
  }
}

TEST(EditTextTest, ReplacingTheSelectionMovesTheCaretAfterIt) {
  EditText t;
  t.SetText(u"hello world");
  t.Select(6, 11);
  t.ReplaceSelection(u"there");
  EXPECT_EQ(t.text(), u"hello there");
  EXPECT_EQ(t.caret(), 11u);
  EXPECT_FALSE(t.HasSelection());
  t.Select(99, 0);  // kept inside the text
  EXPECT_EQ(t.anchor(), 11u);
  EXPECT_EQ(t.WordStart(8), 6u);
  EXPECT_EQ(t.WordEnd(8), 11u);
}

using EditTest = ControlTest;

TEST_F(EditTest, TypingGoesInAndEachChangeIsNotified) {
  HWND edit = Make(u"EDIT", WS_BORDER | ES_AUTOHSCROLL, {10, 10, 200, 30}, 5);
  SetFocus(edit);
  wtest::Pump();
  Notes().clear();
  for (UINT vk : {'P', 'L', 'A', 'Y'}) dtest::Key(vk);
  wtest::Pump();
  EXPECT_EQ(dtest::TextOf(edit), u"play");
  int changes = 0;
  for (const Note& n : Notes()) changes += n.message == WM_COMMAND && n.code == EN_CHANGE;
  EXPECT_EQ(changes, 4);
  dtest::Key(VK_BACK);
  dtest::Key(VK_LEFT);
  dtest::Key(VK_DELETE);
  wtest::Pump();
  EXPECT_EQ(dtest::TextOf(edit), u"pl");
  EXPECT_TRUE(SendMessageW(edit, EM_GETMODIFY, 0, 0));
}

TEST_F(EditTest, FormsFilterWhatIsTyped) {
  struct Case {
    DWORD style;
    const char16_t* typed;
    const char16_t* text;
  };
  const Case cases[] = {
      {ES_NUMBER, u"a1b2", u"12"},
      {ES_READONLY, u"abc", u""},
      {ES_UPPERCASE, u"aBc", u"ABC"},
      {ES_LOWERCASE, u"aBc", u"abc"},
      {ES_PASSWORD, u"pw", u"pw"},
  };
  for (const Case& c : cases) {
    HWND edit = Make(u"EDIT", c.style | ES_AUTOHSCROLL, {10, 10, 200, 30}, 6);
    for (const char16_t* p = c.typed; *p; ++p) SendMessageW(edit, WM_CHAR, *p, 1);
    EXPECT_EQ(dtest::TextOf(edit), c.text) << c.style;
    DestroyWindow(edit);
  }
}

TEST_F(EditTest, LimitStopsTypingAndTellsTheParent) {
  HWND edit = Make(u"EDIT", ES_AUTOHSCROLL, {10, 10, 200, 30}, 7);
  SendMessageW(edit, EM_LIMITTEXT, 3, 0);
  EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 3);
  Notes().clear();
  for (char16_t c : std::u16string(u"abcd")) SendMessageW(edit, WM_CHAR, c, 1);
  EXPECT_EQ(dtest::TextOf(edit), u"abc");
  EXPECT_EQ(Codes(WM_COMMAND).back(), EN_MAXTEXT);
  // Without sideways scrolling a single line takes only what fits its width.
  HWND narrow = Make(u"EDIT", 0, {10, 40, 40, 60}, 8);
  for (int i = 0; i < 40; ++i) SendMessageW(narrow, WM_CHAR, u'W', 1);
  const int kept = GetWindowTextLengthW(narrow);
  EXPECT_GT(kept, 0);
  EXPECT_LT(kept, 40);
}

TEST_F(EditTest, SelectionMessagesFollowThePlatform) {
  HWND edit = Make(u"EDIT", ES_AUTOHSCROLL, {10, 10, 200, 30}, 9, u"Winamp EQ");
  struct Case {
    WPARAM start;
    LPARAM end;
    DWORD from, to;
  };
  const Case cases[] = {
      {0, 6, 0, 6}, {7, 2, 2, 7}, {0, static_cast<LPARAM>(-1), 0, 9}, {3, 100, 3, 9},
  };
  for (const Case& c : cases) {
    SendMessageW(edit, EM_SETSEL, c.start, c.end);
    DWORD from = 99, to = 99;
    const LRESULT both = SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, c.from);
    EXPECT_EQ(to, c.to);
    EXPECT_EQ(both, MAKELRESULT(c.from, c.to));
  }
  SendMessageW(edit, EM_SETSEL, 0, 6);
  Notes().clear();
  SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(u"Zonbrel"));
  EXPECT_EQ(dtest::TextOf(edit), u"Zonbrel EQ");
  EXPECT_EQ(Codes(WM_COMMAND).back(), EN_CHANGE);
  EXPECT_TRUE(SendMessageW(edit, EM_CANUNDO, 0, 0));
  SendMessageW(edit, EM_UNDO, 0, 0);
  EXPECT_EQ(dtest::TextOf(edit), u"Winamp EQ");
  // Cut and paste within the program.
  SendMessageW(edit, EM_SETSEL, 0, 7);
  SendMessageW(edit, WM_CUT, 0, 0);
  SendMessageW(edit, EM_SETSEL, 2, 2);
  SendMessageW(edit, WM_PASTE, 0, 0);
  EXPECT_EQ(dtest::TextOf(edit), u"EQWinamp ");
}

TEST_F(EditTest, TheStylusPlacesTheCaretAndDragsASelection) {
  HWND edit = Make(u"EDIT", ES_AUTOHSCROLL, {10, 10, 230, 30}, 10, u"Stylus");
  const LRESULT at = SendMessageW(edit, EM_POSFROMCHAR, 3, 0);
  const POINT third{static_cast<SHORT>(LOWORD(at)), static_cast<SHORT>(HIWORD(at)) + 2};
  EXPECT_EQ(LOWORD(SendMessageW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(third.x, third.y))), 3);
  TapAt(edit, third);
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(SendMessageW(edit, EM_GETSEL, 0, 0), MAKELRESULT(3, 3));
  const LRESULT end = SendMessageW(edit, EM_POSFROMCHAR, 5, 0);
  Drag(edit, POINT{2, third.y}, POINT{static_cast<SHORT>(LOWORD(end)), third.y});
  EXPECT_EQ(SendMessageW(edit, EM_GETSEL, 0, 0), MAKELRESULT(0, 5));
}

TEST_F(EditTest, MultiLineCountsLinesAndScrollsAsThePlatformDoes) {
  HWND edit = Make(u"EDIT", ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_BORDER, {10, 10, 200, 60}, 11);
  std::u16string text;
  for (int i = 0; i < 20; ++i) text += u"Line " + std::u16string(1, static_cast<char16_t>(u'A' + i)) + u"\r\n";
  text += u"End";
  SetWindowTextW(edit, text.c_str());
  EXPECT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 21);
  EXPECT_EQ(SendMessageW(edit, EM_LINEINDEX, 2, 0), 16);
  EXPECT_EQ(SendMessageW(edit, EM_LINELENGTH, 16, 0), 6);
  EXPECT_EQ(SendMessageW(edit, EM_LINEFROMCHAR, 17, 0), 2);
  WCHAR line[16] = {15};
  EXPECT_EQ(SendMessageW(edit, EM_GETLINE, 20, reinterpret_cast<LPARAM>(line)), 3);
  EXPECT_EQ(std::u16string(line, 3), u"End");
  // Paging down moves whole pages until the end, where nothing moves and the answer is 0x10000.
  int pages = 0;
  LRESULT r;
  while ((r = SendMessageW(edit, EM_SCROLL, SB_PAGEDOWN, 0)) != 0x10000 && pages < 50) {
    EXPECT_EQ(HIWORD(r), TRUE);
    EXPECT_GT(LOWORD(r), 0);
    ++pages;
  }
  EXPECT_GT(pages, 1);
  EXPECT_LT(pages, 21);
  const LRESULT top = SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
  EXPECT_GT(top, 0);
  SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(edit, SB_VERT, &info));
  EXPECT_EQ(info.nPos, top);
  EXPECT_EQ(info.nMax, 20);
  r = SendMessageW(edit, EM_SCROLL, SB_PAGEUP, 0);
  EXPECT_EQ(HIWORD(r), TRUE);
  EXPECT_LT(static_cast<SHORT>(LOWORD(r)), 0) << "scrolled up: a negative line count";
  EXPECT_EQ(SendMessageW(edit, EM_SCROLL, SB_LINEUP, 0) & 0xFFFF0000, 0x10000);
  // A single-line edit does not scroll by lines.
  HWND single = Make(u"EDIT", 0, {10, 80, 200, 100}, 12);
  EXPECT_EQ(SendMessageW(single, EM_SCROLL, SB_PAGEDOWN, 0), 0);
  // Text set by message does not count as a change by the user in a multi-line edit.
  Notes().clear();
  SetWindowTextW(edit, u"again");
  EXPECT_TRUE(Codes(WM_COMMAND).empty());
  SetWindowTextW(single, u"again");
  EXPECT_EQ(Codes(WM_COMMAND), std::vector<int>{EN_CHANGE});
}

TEST_F(EditTest, MultiLineAsksForEnterOnlyWithWantReturn) {
  HWND plain = Make(u"EDIT", ES_MULTILINE, {10, 10, 200, 60}, 13);
  HWND wants = Make(u"EDIT", ES_MULTILINE | ES_WANTRETURN, {10, 70, 200, 120}, 14);
  MSG enter{plain, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  EXPECT_FALSE(SendMessageW(plain, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) & DLGC_WANTALLKEYS);
  enter.hwnd = wants;
  EXPECT_TRUE(SendMessageW(wants, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) & DLGC_WANTALLKEYS);
  SendMessageW(wants, WM_CHAR, u'a', 1);
  SendMessageW(wants, WM_CHAR, u'\r', 1);
  SendMessageW(wants, WM_CHAR, u'b', 1);
  EXPECT_EQ(dtest::TextOf(wants), u"a\r\nb");
  EXPECT_EQ(SendMessageW(wants, EM_GETLINECOUNT, 0, 0), 2);
}

}  // namespace
