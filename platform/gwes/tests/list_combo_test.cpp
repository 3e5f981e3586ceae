// List boxes and combo boxes, driven by messages and by the stylus and keys: adding sorted and
// in place, finding, the one or several selections, the answers the platform gives for bad
// indexes, LBN_SELCHANGE and CBN_SELCHANGE only for the user's choices, and a drop-down list
// that drops under its combo, takes a tap and closes with the order of notifications the
// platform sends.
#include "control_support.h"

namespace {

using namespace ctest;

using ListBoxTest = ControlTest;

std::vector<std::u16string> Items(HWND list, UINT countMessage = LB_GETCOUNT, UINT textMessage = LB_GETTEXT) {
  std::vector<std::u16string> out;
  const LRESULT n = SendMessageW(list, countMessage, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    char16_t text[128] = {};
    SendMessageW(list, textMessage, i, reinterpret_cast<LPARAM>(text));
    out.push_back(text);
  }
  return out;
}

TEST_F(ListBoxTest, ItemsAreAddedSortedFoundAndRemoved) {
  HWND list = Make(u"LISTBOX", LBS_SORT | LBS_NOTIFY | WS_BORDER, {10, 10, 150, 150}, 20);
  struct Add {
    const char16_t* text;
    LRESULT index;
  };
  // Without regard to case; an equal text goes after the ones already there.
  const Add adds[] = {{u"Pop", 0}, {u"jazz", 0}, {u"Rock", 2}, {u"Blues", 0}, {u"rock", 4}};
  for (const Add& a : adds) EXPECT_EQ(SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(a.text)), a.index);
  EXPECT_EQ(Items(list), (std::vector<std::u16string>{u"Blues", u"jazz", u"Pop", u"Rock", u"rock"}));
  struct Find {
    UINT message;
    WPARAM start;
    const char16_t* text;
    LRESULT found;
  };
  const Find finds[] = {
      {LB_FINDSTRING, static_cast<WPARAM>(-1), u"ro", 3},
      {LB_FINDSTRING, 3, u"ro", 4},           // from after the start
      {LB_FINDSTRING, 4, u"ro", 3},           // and round again
      {LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), u"POP", 2},
      {LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), u"Po", LB_ERR},
      {LB_FINDSTRING, static_cast<WPARAM>(-1), u"x", LB_ERR},
  };
  for (const Find& f : finds)
    EXPECT_EQ(SendMessageW(list, f.message, f.start, reinterpret_cast<LPARAM>(f.text)), f.found) << f.start;
  EXPECT_EQ(SendMessageW(list, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>(u"Folk")), 1) << "inserted in place";
  EXPECT_EQ(SendMessageW(list, LB_INSERTSTRING, 99, reinterpret_cast<LPARAM>(u"x")), LB_ERR);
  EXPECT_EQ(SendMessageW(list, LB_SETITEMDATA, 1, 77), 0);
  EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 1, 0), 77);
  EXPECT_EQ(SendMessageW(list, LB_GETTEXTLEN, 1, 0), 4);
  EXPECT_EQ(SendMessageW(list, LB_GETTEXTLEN, 9, 0), LB_ERR);
  EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 2, 0), 2);
  EXPECT_EQ(SendMessageW(list, LB_DELETESTRING, 0, 0), 5);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1) << "the selection moves up with its item";
  EXPECT_EQ(SendMessageW(list, LB_DELETESTRING, 1, 0), 4);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR) << "its item is gone";
  EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 9, 0), LB_ERR);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
}

TEST_F(ListBoxTest, TheUsersChoicesAreNotifiedAndTheProgramsAreNot) {
  HWND list = Make(u"LISTBOX", LBS_NOTIFY, {10, 10, 150, 150}, 21);
  for (const char16_t* t : {u"One", u"Two", u"Three", u"Four"}) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
  wtest::Pump();
  Notes().clear();
  SendMessageW(list, LB_SETCURSEL, 1, 0);
  EXPECT_TRUE(Codes(WM_COMMAND).empty());
  RECT second;
  SendMessageW(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&second));
  TapAt(list, {second.left + 5, (second.top + second.bottom) / 2});
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(GetFocus(), list);
  dtest::Key(VK_DOWN);
  dtest::Key(VK_DOWN);  // already on the last: nothing more
  dtest::Key(VK_HOME);
  wtest::Pump();
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
  const std::vector<int> codes = Codes(WM_COMMAND);
  const std::vector<int> expected{LBN_SETFOCUS, LBN_SELCHANGE, LBN_SELCHANGE, LBN_SELCHANGE};
  EXPECT_EQ(codes, expected);
  // Typing a letter goes to the next item that starts with it.
  SendMessageW(list, WM_CHAR, u't', 1);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
  SendMessageW(list, WM_CHAR, u't', 1);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
}

TEST_F(ListBoxTest, SeveralSelectionsToggleByTap) {
  HWND list = Make(u"LISTBOX", LBS_MULTIPLESEL, {10, 10, 150, 150}, 22);
  for (const char16_t* t : {u"a", u"b", u"c"}) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
  EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 0, 0), LB_ERR) << "only for one selection";
  SendMessageW(list, LB_SETSEL, TRUE, -1);
  EXPECT_EQ(SendMessageW(list, LB_GETSELCOUNT, 0, 0), 3);
  RECT first;
  SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&first));
  TapAt(list, {first.left + 2, first.top + 2});
  EXPECT_EQ(SendMessageW(list, LB_GETSEL, 1, 0), 0);
  int selected[4] = {};
  EXPECT_EQ(SendMessageW(list, LB_GETSELITEMS, 4, reinterpret_cast<LPARAM>(selected)), 2);
  EXPECT_EQ(selected[0], 0);
  EXPECT_EQ(selected[1], 2);
}

TEST_F(ListBoxTest, ScrollsToShowTheSelectionAndByItsBar) {
  HWND list = Make(u"LISTBOX", WS_VSCROLL, {10, 10, 150, 70}, 23);
  for (int i = 0; i < 30; ++i) {
    std::u16string t = u"Item " + std::u16string(1, static_cast<char16_t>(u'A' + i));
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str()));
  }
  SendMessageW(list, LB_SETCURSEL, 20, 0);
  const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
  EXPECT_GT(top, 10);
  EXPECT_LE(top, 20);
  SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &info));
  EXPECT_EQ(info.nPos, top);
  EXPECT_EQ(info.nMax, 29);
  // A tap on the bar's upper arrow scrolls one item up.
  wtest::Pump();
  TapAt(list, {135, 3});
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), top - 1);
}

using ComboBoxTest = ControlTest;

TEST_F(ComboBoxTest, DropDownListShowsTheChosenItemAndAnswersForIt) {
  HWND combo = Make(u"COMBOBOX", CBS_DROPDOWNLIST | CBS_SORT | WS_TABSTOP, {10, 10, 150, 120}, 30);
  for (const char16_t* t : {u"M3U", u"PLS", u"ASX"}) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
  EXPECT_EQ(Items(combo, CB_GETCOUNT, CB_GETLBTEXT), (std::vector<std::u16string>{u"ASX", u"M3U", u"PLS"}));
  RECT r;
  GetWindowRect(combo, &r);
  EXPECT_LT(r.bottom - r.top, 40) << "folded, it is as high as its field";
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(GetWindowTextLengthW(combo), 0);
  EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 1, 0), 1);
  EXPECT_EQ(dtest::TextOf(combo), u"M3U");
  EXPECT_EQ(SendMessageW(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(u"p")), 2);
  EXPECT_EQ(dtest::TextOf(combo), u"PLS");
  EXPECT_TRUE(SetWindowTextW(combo, u"asx"));
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXTLEN, 7, 0), CB_ERR);
  EXPECT_EQ(SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(u"pls")), 2);
  EXPECT_EQ(SendMessageW(combo, WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, DLGC_WANTARROWS);
}

TEST_F(ComboBoxTest, DroppingAndTappingAnItemNotifiesInThePlatformsOrder) {
  HWND combo = Make(u"COMBOBOX", CBS_DROPDOWNLIST | WS_TABSTOP, {10, 10, 150, 120}, 31);
  for (const char16_t* t : {u"Open", u"Save As", u"Rename/Move"}) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  wtest::Pump();
  Notes().clear();
  dtest::Tap(combo);
  wtest::Pump();
  ASSERT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
  HWND list = FindWindowW(u"ComboLBox", nullptr);
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(IsWindowVisible(list));
  RECT field, drop;
  GetWindowRect(combo, &field);
  GetWindowRect(list, &drop);
  EXPECT_EQ(drop.top, field.bottom) << "the list drops under the field";
  EXPECT_EQ(GetForegroundWindow(), parent_) << "the list takes no activation";
  // The third item, tapped in the dropped list.
  const LRESULT itemHeight = SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0);
  dtest::Tap(list, 10, static_cast<int>(itemHeight * 2 + itemHeight / 2 + 1));
  wtest::Pump();
  EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
  const std::vector<int> codes = Codes(WM_COMMAND);
  const std::vector<int> expected{CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP};
  EXPECT_EQ(codes, expected);
}

TEST_F(ComboBoxTest, ATapOutsideCancelsTheDropAndKeysStepTheChoice) {
  HWND combo = Make(u"COMBOBOX", CBS_DROPDOWNLIST | WS_TABSTOP, {10, 10, 150, 120}, 32);
  for (const char16_t* t : {u"0", u"1", u"2", u"3"}) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
  SendMessageW(combo, CB_SETCURSEL, 1, 0);
  SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
  wtest::Pump();
  Notes().clear();
  zb::input::Deliver({zb::input::Kind::StylusDown, 220, 300});
  zb::input::Deliver({zb::input::Kind::StylusUp, 220, 300});
  wtest::Pump();
  EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Codes(WM_COMMAND), (std::vector<int>{CBN_SELENDCANCEL, CBN_CLOSEUP}));
  SetFocus(combo);
  Notes().clear();
  dtest::Key(VK_DOWN);
  dtest::Key(VK_DOWN);
  dtest::Key(VK_DOWN);  // the last item stays
  wtest::Pump();
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 3);
  EXPECT_EQ(Codes(WM_COMMAND), (std::vector<int>{CBN_SELCHANGE, CBN_SELCHANGE}));
}

TEST_F(ComboBoxTest, DropDownComboEditsItsOwnText) {
  HWND combo = Make(u"COMBOBOX", CBS_DROPDOWN, {10, 10, 150, 120}, 33);
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"\\Storage Card"));
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  EXPECT_EQ(dtest::TextOf(combo), u"\\Storage Card");
  HWND edit = GetWindow(combo, GW_CHILD);
  ASSERT_NE(edit, nullptr);
  SetFocus(combo);
  EXPECT_EQ(GetFocus(), edit) << "the edit takes the combo's focus";
  Notes().clear();
  SendMessageW(edit, WM_CHAR, u'x', 1);
  EXPECT_EQ(dtest::TextOf(combo), u"x");
  const std::vector<int> codes = Codes(WM_COMMAND);
  EXPECT_NE(std::find(codes.begin(), codes.end(), CBN_EDITCHANGE), codes.end());
  EXPECT_EQ(SendMessageW(combo, CB_LIMITTEXT, 4, 0), TRUE);
}

}  // namespace
