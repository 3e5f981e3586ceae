// Creation and destruction in the platform's order, as message traces: WM_CREATE, WM_SIZE and
// WM_MOVE, then activation and focus for a shown top-level window; destruction hands activation
// on, takes the focus away, and sends WM_DESTROY to the window before its children, after the
// windows it owns are gone.
#include <atomic>
#include <thread>

#include "window_support.h"

namespace {

using namespace wtest;

constexpr LPARAM Pt(int x, int y) { return MAKELPARAM(x, y); }
LPARAM L(HWND h) { return reinterpret_cast<LPARAM>(h); }
WPARAM W(HWND h) { return reinterpret_cast<WPARAM>(h); }

class LifecycleTest : public WindowTest {};

TEST_F(LifecycleTest, ShownTopLevelWindowIsCreatedSizedMovedActivatedAndFocused) {
  HWND a = Make(WS_VISIBLE, nullptr, {10, 20, 110, 140});
  ASSERT_NE(a, nullptr);
  std::vector<Entry> expected = {
      {a, WM_CREATE, 0, 0},
      {a, WM_SIZE, SIZE_RESTORED, Pt(100, 120)},
      {a, WM_MOVE, 0, Pt(10, 20)},
      {a, WM_ACTIVATE, WA_ACTIVE, 0},
      {a, WM_SETFOCUS, 0, 0},
  };
  EXPECT_EQ(TheTrace().Take(), expected);
  EXPECT_EQ(GetForegroundWindow(), a);
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), a);
}

TEST_F(LifecycleTest, HiddenAndChildWindowsAreCreatedWithoutActivation) {
  HWND hidden = Make(0, nullptr, {0, 0, 50, 60});
  HWND child = Make(WS_CHILD | WS_VISIBLE, hidden, {5, 6, 25, 36});
  std::vector<Entry> expected = {
      {hidden, WM_CREATE, 0, 0}, {hidden, WM_SIZE, 0, Pt(50, 60)}, {hidden, WM_MOVE, 0, Pt(0, 0)},
      {child, WM_CREATE, 0, 0},  {child, WM_SIZE, 0, Pt(20, 30)},  {child, WM_MOVE, 0, Pt(5, 6)},
  };
  EXPECT_EQ(TheTrace().Take(), expected);
  EXPECT_EQ(GetForegroundWindow(), nullptr);
  EXPECT_FALSE(IsWindowVisible(child)) << "a child shows only while its parent does";
  ShowWindow(hidden, SW_SHOWNA);
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_EQ(GetForegroundWindow(), nullptr) << "SW_SHOWNA does not activate";
}

TEST_F(LifecycleTest, SecondWindowTakesActivationAndFocusInOrder) {
  HWND a = Make(WS_VISIBLE);
  TheTrace().Take();
  HWND b = Make(WS_VISIBLE);
  std::vector<Entry> expected = {
      {b, WM_CREATE, 0, 0},           {b, WM_SIZE, 0, Pt(100, 100)},  {b, WM_MOVE, 0, Pt(0, 0)},
      {a, WM_ACTIVATE, WA_INACTIVE, L(b)}, {b, WM_ACTIVATE, WA_ACTIVE, L(a)}, {a, WM_KILLFOCUS, W(b), 0},
      {b, WM_SETFOCUS, W(a), 0},
  };
  EXPECT_EQ(TheTrace().Take(), expected);
}

TEST_F(LifecycleTest, DestroyingTheActiveWindowActivatesTheNextAndDestroysParentBeforeChild) {
  HWND b = Make(WS_VISIBLE);
  HWND a = Make(WS_VISIBLE);
  HWND c = Make(WS_CHILD | WS_VISIBLE, a, {5, 5, 25, 25});
  SetFocus(c);
  TheTrace().Take();
  ASSERT_TRUE(DestroyWindow(a));
  std::vector<Entry> expected = {
      {a, WM_ACTIVATE, WA_INACTIVE, L(b)},
      {b, WM_ACTIVATE, WA_ACTIVE, L(a)},
      {c, WM_KILLFOCUS, W(b), 0},
      {b, WM_SETFOCUS, W(c), 0},
      {a, WM_DESTROY, 0, 0},
      {c, WM_DESTROY, 0, 0},
  };
  EXPECT_EQ(TheTrace().Take(), expected);
  EXPECT_FALSE(IsWindow(a));
  EXPECT_FALSE(IsWindow(c));
  EXPECT_EQ(GetForegroundWindow(), b);
  EXPECT_EQ(GetFocus(), b);
}

TEST_F(LifecycleTest, DestroyingTheLastWindowLeavesNoActiveWindowOrFocus) {
  HWND a = Make(WS_VISIBLE);
  HWND c = Make(WS_CHILD | WS_VISIBLE, a, {5, 5, 25, 25});
  SetFocus(c);
  TheTrace().Take();
  DestroyWindow(a);
  std::vector<Entry> expected = {
      {a, WM_ACTIVATE, WA_INACTIVE, 0},
      {c, WM_KILLFOCUS, 0, 0},
      {a, WM_DESTROY, 0, 0},
      {c, WM_DESTROY, 0, 0},
  };
  EXPECT_EQ(TheTrace().Take(), expected);
  EXPECT_EQ(GetForegroundWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(LifecycleTest, OwnedWindowsAreDestroyedBeforeTheirOwner) {
  HWND owner = Make(0);
  HWND owned = Make(WS_POPUP, owner);
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
  EXPECT_EQ(GetParent(owned), owner) << "a pop-up's parent is its owner";
  TheTrace().Take();
  DestroyWindow(owner);
  std::vector<Entry> expected = {{owned, WM_DESTROY, 0, 0}, {owner, WM_DESTROY, 0, 0}};
  EXPECT_EQ(TheTrace().Take(), expected);
  EXPECT_FALSE(IsWindow(owned));
}

LRESULT CALLBACK RefuseCreate(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
  LRESULT r = TracedProc(hwnd, m, w, l);
  return m == WM_CREATE ? -1 : r;
}

TEST_F(LifecycleTest, CreateAnsweredWithMinusOneFailsAndDestroysTheWindow) {
  RegisterTraced(0, RefuseCreate, u"Refuser");
  HWND h = Make(WS_VISIBLE, nullptr, {0, 0, 10, 10}, u"Refuser");
  EXPECT_EQ(h, nullptr);
  auto trace = TheTrace().Take();
  ASSERT_EQ(trace.size(), 2u);
  EXPECT_EQ(trace[0].message, static_cast<UINT>(WM_CREATE));
  EXPECT_EQ(trace[1].message, static_cast<UINT>(WM_DESTROY));
  EXPECT_FALSE(IsWindow(trace[0].hwnd));
}

TEST_F(LifecycleTest, CloseDestroysThroughTheDefaultProcedure) {
  HWND a = Make(0);
  TheTrace().Take();
  SendMessageW(a, WM_CLOSE, 0, 0);
  std::vector<Entry> expected = {{a, WM_CLOSE, 0, 0}, {a, WM_DESTROY, 0, 0}};
  EXPECT_EQ(TheTrace().Take(), expected);
  EXPECT_FALSE(IsWindow(a));
}

struct BadCreate {
  const char* name;
  const char16_t* cls;
  DWORD style;
  bool badParent;
  DWORD error;
};

TEST_F(LifecycleTest, BadCreationsFailWithTheirErrors) {
  const BadCreate cases[] = {
      {"unknown class", u"NoSuchClass", 0, false, ERROR_CANNOT_FIND_WND_CLASS},
      {"child without parent", kTraced, WS_CHILD, false, ERROR_TLW_WITH_WSCHILD},
      {"stale parent", kTraced, WS_CHILD, true, ERROR_INVALID_WINDOW_HANDLE},
  };
  HWND stale = Make(0);
  DestroyWindow(stale);
  for (const BadCreate& c : cases) {
    SetLastError(0);
    HWND h = CreateWindowExW(0, c.cls, u"", c.style, 0, 0, 10, 10, c.badParent ? stale : nullptr, nullptr, nullptr,
                             nullptr);
    EXPECT_EQ(h, nullptr) << c.name;
    EXPECT_EQ(GetLastError(), c.error) << c.name;
  }
  EXPECT_FALSE(DestroyWindow(stale));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(LifecycleTest, ClassesRegisterOnceAndStayWhileTheyHaveWindows) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = TracedProc;
  wc.lpszClassName = u"traced";  // names ignore case
  EXPECT_EQ(RegisterClassW(&wc), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
  wc.lpszClassName = u"Other";
  wc.cbWndExtra = 12;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  ATOM atom = RegisterClassW(&wc);
  ASSERT_NE(atom, 0);
  WNDCLASSW info{};
  ASSERT_TRUE(GetClassInfoW(nullptr, u"OTHER", &info));
  EXPECT_EQ(info.lpfnWndProc, &TracedProc);
  EXPECT_EQ(info.cbWndExtra, 12);
  EXPECT_EQ(info.hbrBackground, wc.hbrBackground);
  HWND h = CreateWindowExW(0, MAKEINTATOM(atom), u"t", 0, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(h, nullptr) << "classes are found by atom too";
  char16_t name[16];
  EXPECT_EQ(GetClassNameW(h, name, 16), 5);
  EXPECT_EQ(std::u16string(name), u"Other");
  EXPECT_EQ(GetClassNameW(h, name, 3), 2) << "a short buffer gets a cut name";
  EXPECT_EQ(std::u16string(name), u"Ot");
  EXPECT_FALSE(UnregisterClassW(u"Other", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
  DestroyWindow(h);
  EXPECT_TRUE(UnregisterClassW(u"Other", nullptr));
  EXPECT_FALSE(GetClassInfoW(nullptr, u"Other", &info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
}

}  // namespace

namespace {

using namespace wtest;

TEST_F(LifecycleTest, AnEndedThreadTakesItsWindowsAndItsSendsAlong) {
  std::atomic<HWND> theirs{nullptr};
  HANDLE go = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  std::thread owner([&] {
    theirs = Make(WS_VISIBLE);
    WaitForSingleObject(go, 20000);  // ends without destroying its window or serving its queue
  });
  for (int i = 0; i < 20000 && !theirs.load(); ++i) Sleep(1);
  ASSERT_TRUE(IsWindow(theirs));
  LRESULT result = -1;
  std::thread sender([&] { result = SendMessageW(theirs, WM_USER + 1, 0, 0); });
  Sleep(50);
  SetEvent(go);
  owner.join();
  sender.join();
  EXPECT_EQ(result, 0) << "the send was answered when its receiver went away";
  EXPECT_FALSE(IsWindow(theirs));
  EXPECT_EQ(GetForegroundWindow(), nullptr);
  CloseHandle(go);
}

}  // namespace
