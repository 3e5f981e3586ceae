// Window words, subclassing, text, the tree and geometry: extra bytes read and written as
// 32-bit words at byte offsets, the pointer-sized words whole, GWL_WNDPROC replacing the
// procedure with the old one still callable, and z-order, rectangles and mapping as they move.
#include "gwes/dialog_words.h"
#include "window_support.h"

namespace {

using namespace wtest;

class WordsTest : public WindowTest {};

bool Eq(const RECT& a, RECT b) { return EqualRect(&a, &b); }

struct WordCase {
  const char* name;
  int index;
  LONG_PTR value;
  bool valid;
};

TEST_F(WordsTest, WindowWordsHoldWhatWasSetAndRefuseOtherIndices) {
  RegisterTraced(12, TracedProc, u"Words");
  HWND a = Make(0, nullptr, {0, 0, 10, 10}, u"Words");
  const WordCase cases[] = {
      {"extra word 0", 0, 12, true},
      {"extra word 4, negative", 4, -1, true},
      {"extra word 8", 8, 0x7FFFFFFF, true},
      {"unaligned offset inside", 2, 77, true},
      {"last word sticks out", 9, 1, false},
      {"beyond the extra bytes", 12, 1, false},
      {"user data holds a pointer", GWL_USERDATA, static_cast<LONG_PTR>(0x123456789ABCll), true},
      {"unknown negative index", -3, 1, false},
  };
  for (const WordCase& c : cases) {
    SetLastError(0);
    SetWindowLongW(a, c.index, c.value);
    DWORD setError = GetLastError();
    LONG_PTR read = GetWindowLongW(a, c.index);
    if (c.valid) {
      EXPECT_EQ(setError, 0u) << c.name;
      EXPECT_EQ(read, c.value) << c.name;
    } else {
      EXPECT_EQ(setError, static_cast<DWORD>(ERROR_INVALID_INDEX)) << c.name;
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX)) << c.name;
    }
  }
  // Words at overlapping offsets share their bytes.
  SetWindowLongW(a, 0, 0x44332211);
  SetWindowLongW(a, 4, 0);
  EXPECT_EQ(GetWindowLongW(a, 2), 0x4433);
  EXPECT_EQ(SetWindowLongW(a, 0, 5), 0x44332211) << "setting answers the old value";
  EXPECT_EQ(GetWindowLongW(nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(WordsTest, StyleIdAndDialogWordsAreTheWindowsOwn) {
  HWND parent = Make(0);
  HWND child = Make(WS_CHILD, parent, {0, 0, 5, 5}, kTraced, 0, 1122);
  EXPECT_EQ(GetWindowLongW(child, GWL_ID), 1122);
  EXPECT_FALSE(GetWindowLongW(parent, GWL_STYLE) & WS_VISIBLE);
  ShowWindow(parent, SW_SHOWNA);
  EXPECT_TRUE(GetWindowLongW(parent, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(GetWindowLongW(parent, DWL_DLGPROC), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX)) << "no extra bytes, not a dialog";
  ASSERT_TRUE(zb::wm::MarkDialogWindow(parent));
  const LONG_PTR proc = reinterpret_cast<LONG_PTR>(&TracedProc);
  SetWindowLongW(parent, DWL_DLGPROC, proc);
  SetWindowLongW(parent, DWL_MSGRESULT, -5);
  EXPECT_EQ(GetWindowLongW(parent, DWL_DLGPROC), proc);
  EXPECT_EQ(GetWindowLongW(parent, DWL_MSGRESULT), -5);
}

WNDPROC g_base;
LRESULT CALLBACK Subclass(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
  if (m >= WM_USER) TheTrace().Add({hwnd, m + 0x1000, w, l});
  return CallWindowProcW(g_base, hwnd, m, w, l) + 1000;
}

TEST_F(WordsTest, SubclassingThroughTheProcedureWordChainsToTheOldProcedure) {
  HWND a = Make(0);
  TheTrace().Take();
  g_base = reinterpret_cast<WNDPROC>(SetWindowLongW(a, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass)));
  EXPECT_EQ(g_base, &TracedProc);
  EXPECT_EQ(GetWindowLongW(a, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&Subclass));
  EXPECT_EQ(SendMessageW(a, WM_USER + 5, 1, 2), 1005);
  PostMessageW(a, WM_USER + 6, 3, 4);
  Pump();
  SetWindowLongW(a, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(g_base));
  EXPECT_EQ(SendMessageW(a, WM_USER + 7, 0, 0), 7);
  std::vector<Entry> expected = {
      {a, WM_USER + 5 + 0x1000, 1, 2}, {a, WM_USER + 5, 1, 2}, {a, WM_USER + 6 + 0x1000, 3, 4},
      {a, WM_USER + 6, 3, 4},          {a, WM_USER + 7, 0, 0},
  };
  EXPECT_EQ(TheTrace().Take(), expected);
  EXPECT_EQ(SetWindowLongW(a, GWL_WNDPROC, 0), 0) << "a window always keeps a procedure";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(WordsTest, TextIsKeptAndFoundByClassAndTitle) {
  HWND a = CreateWindowExW(0, kTraced, u"Zonbrel", 0, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
  HWND b = CreateWindowExW(0, kTraced, u"Other", 0, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
  char16_t text[32];
  EXPECT_EQ(GetWindowTextW(a, text, 32), 7);
  EXPECT_EQ(std::u16string(text), u"Zonbrel");
  EXPECT_EQ(GetWindowTextW(a, text, 4), 3);
  EXPECT_EQ(std::u16string(text), u"Zon");
  ASSERT_TRUE(SetWindowTextW(b, u"Now Playing"));
  EXPECT_EQ(GetWindowTextLengthW(b), 11);
  struct Find {
    const char16_t* cls;
    const char16_t* title;
    HWND found;
  };
  const Find finds[] = {
      {kTraced, nullptr, b},         // the topmost of the class
      {u"TRACED", u"zonbrel", a},    // neither compares case
      {nullptr, u"Now Playing", b},
      {kTraced, u"Missing", nullptr},
      {u"NoClass", nullptr, nullptr},
  };
  for (const Find& f : finds) EXPECT_EQ(FindWindowW(f.cls, f.title), f.found);
}

TEST_F(WordsTest, ZOrderFollowsSetWindowPosWithTopmostWindowsAbove) {
  HWND a = Make(WS_VISIBLE);
  HWND b = Make(WS_VISIBLE);
  HWND top = Make(WS_VISIBLE | WS_POPUP, nullptr, {0, 0, 10, 10}, kTraced, WS_EX_TOPMOST);
  HWND c = Make(WS_VISIBLE);
  auto order = [&] {
    std::vector<HWND> out;
    for (HWND h = GetWindow(a, GW_HWNDFIRST); h; h = GetWindow(h, GW_HWNDNEXT)) out.push_back(h);
    return out;
  };
  EXPECT_EQ(order(), (std::vector<HWND>{top, c, b, a})) << "new windows go on top, below topmost ones";
  SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(order(), (std::vector<HWND>{top, b, a, c}));
  SetWindowPos(c, b, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(order(), (std::vector<HWND>{top, b, c, a}));
  SetWindowPos(a, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(order(), (std::vector<HWND>{a, top, b, c}));
  EXPECT_EQ(GetWindow(a, GW_HWNDLAST), c);
  EXPECT_EQ(GetWindow(c, GW_HWNDPREV), b);
  HWND child = Make(WS_CHILD, b);
  EXPECT_EQ(GetWindow(b, GW_CHILD), child);
  EXPECT_EQ(GetParent(child), b);
  EXPECT_EQ(GetWindow(child, GW_HWNDNEXT), nullptr);
}

TEST_F(WordsTest, RectanglesAndMappingFollowMovesWithMoveBeforeSize) {
  HWND parent = Make(WS_VISIBLE, nullptr, {10, 20, 110, 220});
  HWND child = Make(WS_CHILD | WS_VISIBLE, parent, {5, 6, 25, 46});
  RECT r;
  ASSERT_TRUE(GetWindowRect(child, &r));
  EXPECT_TRUE(Eq(r, RECT{15, 26, 35, 66}));
  ASSERT_TRUE(GetClientRect(child, &r));
  EXPECT_TRUE(Eq(r, RECT{0, 0, 20, 40})) << "no non-client area";
  POINT p{1, 2};
  ASSERT_TRUE(ClientToScreen(child, &p));
  EXPECT_EQ(p.x, 16);
  EXPECT_EQ(p.y, 28);
  POINT pts[2] = {{0, 0}, {3, 4}};
  EXPECT_EQ(MapWindowPoints(child, parent, pts, 2), MAKELONG(5, 6));
  EXPECT_EQ(pts[1].x, 8);
  EXPECT_EQ(pts[1].y, 10);
  MapWindowPoints(nullptr, child, pts, 1);  // from the screen
  EXPECT_EQ(pts[0].x, 5 - 15);
  TheTrace().Take();
  MoveWindow(child, 7, 8, 30, 40, TRUE);
  SetWindowPos(child, nullptr, 9, 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SetWindowPos(child, nullptr, 0, 0, 30, 40, SWP_NOMOVE | SWP_NOZORDER);  // no change, no message
  std::vector<Entry> trace;
  for (const Entry& e : TheTrace().Take()) {
    if (e.message == WM_MOVE || e.message == WM_SIZE) trace.push_back(e);
  }
  std::vector<Entry> expected = {
      {child, WM_MOVE, 0, MAKELPARAM(7, 8)},
      {child, WM_SIZE, SIZE_RESTORED, MAKELPARAM(30, 40)},
      {child, WM_MOVE, 0, MAKELPARAM(9, 9)},
  };
  EXPECT_EQ(trace, expected);
}

}  // namespace
