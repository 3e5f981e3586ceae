// Buttons, driven by messages and by the stylus and keys: the checks each kind keeps, what a
// click does to them, BN_CLICKED only for a release inside, radio groups, owner drawing, and
// the statics' images, notifications and taps that fall through to the parent.
#include "control_support.h"
#include "gwes/gdi_host.h"

namespace {

using namespace ctest;

using ButtonTest = ControlTest;

TEST_F(ButtonTest, ChecksAndClicksFollowTheKind) {
  struct Case {
    DWORD style;
    UINT setCheck;         // BM_SETCHECK's argument
    UINT afterSet;         // BM_GETCHECK then
    UINT afterClick;       // after BM_CLICK
    UINT afterSecondClick;
  };
  const Case cases[] = {
      {BS_PUSHBUTTON, BST_CHECKED, 0, 0, 0},
      {BS_CHECKBOX, BST_CHECKED, BST_CHECKED, BST_CHECKED, BST_CHECKED},  // the parent checks it
      {BS_AUTOCHECKBOX, BST_UNCHECKED, BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED},
      {BS_AUTOCHECKBOX, BST_INDETERMINATE, BST_CHECKED, BST_UNCHECKED, BST_CHECKED},
      {BS_3STATE, BST_INDETERMINATE, BST_INDETERMINATE, BST_INDETERMINATE, BST_INDETERMINATE},
      {BS_AUTO3STATE, BST_UNCHECKED, BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE},
      {BS_AUTORADIOBUTTON, BST_UNCHECKED, BST_UNCHECKED, BST_CHECKED, BST_CHECKED},
  };
  int id = 100;
  for (const Case& c : cases) {
    HWND b = Make(u"BUTTON", c.style, {10, 10, 100, 30}, ++id, u"Button");
    ASSERT_NE(b, nullptr);
    Notes().clear();
    SendMessageW(b, BM_SETCHECK, c.setCheck, 0);
    EXPECT_EQ(SendMessageW(b, BM_GETCHECK, 0, 0), static_cast<LRESULT>(c.afterSet)) << c.style;
    SendMessageW(b, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(b, BM_GETCHECK, 0, 0), static_cast<LRESULT>(c.afterClick)) << c.style;
    SendMessageW(b, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(b, BM_GETCHECK, 0, 0), static_cast<LRESULT>(c.afterSecondClick)) << c.style;
    EXPECT_EQ(Codes(WM_COMMAND), (std::vector<int>{BN_CLICKED, BN_CLICKED})) << c.style;
    DestroyWindow(b);
  }
}

TEST_F(ButtonTest, ATapClicksOnlyWhenReleasedInside) {
  HWND b = Make(u"BUTTON", BS_PUSHBUTTON, {10, 10, 100, 40}, 7, u"Play");
  wtest::Pump();
  Notes().clear();
  TapAt(b, {20, 10});
  EXPECT_EQ(Codes(WM_COMMAND), std::vector<int>{BN_CLICKED});
  EXPECT_EQ(GetFocus(), b) << "a tap gives the focus";
  Notes().clear();
  Drag(b, {20, 10}, {150, 10});  // slides off before letting go
  EXPECT_TRUE(Codes(WM_COMMAND).empty());
  EXPECT_EQ(SendMessageW(b, BM_GETSTATE, 0, 0) & BST_PUSHED, 0) << "no longer pushed";
  // Pressed and held, the button shows pushed.
  POINT at{20, 10};
  ClientToScreen(b, &at);
  zb::input::Deliver({zb::input::Kind::StylusDown, at.x, at.y});
  wtest::Pump();
  EXPECT_EQ(SendMessageW(b, BM_GETSTATE, 0, 0) & (BST_PUSHED | BST_FOCUS), BST_PUSHED | BST_FOCUS);
  zb::input::Deliver({zb::input::Kind::StylusUp, at.x, at.y});
  wtest::Pump();
  EXPECT_EQ(Codes(WM_COMMAND), std::vector<int>{BN_CLICKED});
  // Disabled, it takes no taps.
  EnableWindow(b, FALSE);
  Notes().clear();
  TapAt(b, {20, 10});
  EXPECT_TRUE(Codes(WM_COMMAND).empty());
}

TEST_F(ButtonTest, SpaceClicksTheFocusedButton) {
  HWND b = Make(u"BUTTON", BS_AUTOCHECKBOX, {10, 10, 100, 30}, 8, u"Loud");
  SetFocus(b);
  Notes().clear();
  dtest::Key(VK_SPACE);
  wtest::Pump();
  EXPECT_EQ(Codes(WM_COMMAND), std::vector<int>{BN_CLICKED});
  EXPECT_EQ(SendMessageW(b, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(ButtonTest, AutomaticRadioButtonsUncheckTheirGroup) {
  HWND a = Make(u"BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, {10, 10, 100, 30}, 1, u"A");
  HWND b = Make(u"BUTTON", BS_AUTORADIOBUTTON, {10, 30, 100, 50}, 2, u"B");
  HWND c = Make(u"BUTTON", BS_AUTORADIOBUTTON, {10, 50, 100, 70}, 3, u"C");
  HWND other = Make(u"BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, {10, 70, 100, 90}, 4, u"Other group");
  SendMessageW(other, BM_SETCHECK, BST_CHECKED, 0);
  wtest::Pump();
  TapAt(b, {5, 5});
  EXPECT_EQ(SendMessageW(b, BM_GETCHECK, 0, 0), BST_CHECKED);
  TapAt(c, {5, 5});
  EXPECT_EQ(SendMessageW(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(b, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(c, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(other, BM_GETCHECK, 0, 0), BST_CHECKED) << "another group keeps its check";
}

TEST_F(ButtonTest, OwnerDrawnButtonAsksItsParentWithItsState) {
  HWND b = Make(u"BUTTON", BS_OWNERDRAW, {10, 10, 100, 40}, 9);
  wtest::Pump();
  ASSERT_FALSE(Notes().empty());
  EXPECT_EQ(Notes().back().message, static_cast<UINT>(WM_DRAWITEM));
  EXPECT_EQ(Notes().back().id, 9);
  EXPECT_EQ(Notes().back().code, 0) << "drawn plain first";
  Notes().clear();
  SendMessageW(b, BM_SETSTATE, TRUE, 0);
  wtest::Pump();
  ASSERT_FALSE(Notes().empty());
  EXPECT_TRUE(Notes().back().code & ODS_SELECTED) << "pushed draws selected";
}

TEST_F(ButtonTest, PushButtonDrawsFlatAndInvertsWhilePushed) {
  HWND b = Make(u"BUTTON", BS_PUSHBUTTON, {20, 20, 120, 50}, 10, u"");
  wtest::Pump();
  RECT r;
  GetWindowRect(b, &r);
  EXPECT_EQ(zb::gdi::ScreenPixel(r.left, r.top), RGB(0, 0, 0)) << "a black frame";
  EXPECT_EQ(zb::gdi::ScreenPixel((r.left + r.right) / 2, (r.top + r.bottom) / 2), RGB(255, 255, 255)) << "a white face";
  SendMessageW(b, BM_SETSTATE, TRUE, 0);
  wtest::Pump();
  const COLORREF pushed = zb::gdi::ScreenPixel((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  EXPECT_GT(GetBValue(pushed), 100) << "the highlight while pushed";
  EXPECT_LT(GetRValue(pushed), 20);
}

using StaticTest = ControlTest;

TEST_F(StaticTest, LabelsLetTapsThroughUnlessTheyNotify) {
  HWND plain = Make(u"STATIC", SS_LEFT, {10, 10, 100, 30}, 1, u"Plain");
  HWND notify = Make(u"STATIC", SS_LEFT | SS_NOTIFY, {10, 40, 100, 60}, 2, u"Notify");
  POINT p{20, 20};
  EXPECT_EQ(WindowFromPoint(p), parent_) << "a plain label is not where taps land";
  p = POINT{20, 50};
  EXPECT_EQ(WindowFromPoint(p), notify);
  wtest::Pump();
  Notes().clear();
  TapAt(notify, {5, 5});
  EXPECT_EQ(Codes(WM_COMMAND), std::vector<int>{STN_CLICKED});
  EXPECT_EQ(SendMessageW(plain, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
}

// The playlist's list sits inside a plain label: what a label holds still takes its taps.
TEST_F(StaticTest, WindowsInsideALabelTakeTheirTaps) {
  HWND host = Make(u"STATIC", SS_LEFT, {10, 100, 210, 200}, 4);
  HWND box = CreateWindowExW(0, u"BUTTON", u"Inside", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 10, 100, 20, host,
                             reinterpret_cast<HMENU>(5), nullptr, nullptr);
  ASSERT_NE(box, nullptr);
  wtest::Pump();
  POINT inside{20, 15}, beside{150, 50};
  ClientToScreen(host, &inside);
  ClientToScreen(host, &beside);
  EXPECT_EQ(WindowFromPoint(inside), box);
  EXPECT_EQ(WindowFromPoint(beside), parent_) << "the label itself still lets taps through";
  TapAt(box, {20, 5});
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(StaticTest, ImagesAreSwappedAndHandedBack) {
  HWND image = Make(u"STATIC", SS_BITMAP | SS_CENTERIMAGE, {10, 10, 60, 60}, 3);
  HDC screen = GetDC(nullptr);
  HBITMAP first = CreateCompatibleBitmap(screen, 8, 8);
  HBITMAP second = CreateCompatibleBitmap(screen, 8, 8);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, first);
  RECT all{0, 0, 8, 8};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(dc, &all, red);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(red);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(SendMessageW(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(first)), 0);
  wtest::Pump();
  RECT r;
  GetWindowRect(image, &r);
  EXPECT_EQ(zb::gdi::ScreenPixel((r.left + r.right) / 2, (r.top + r.bottom) / 2), RGB(255, 0, 0)) << "centred";
  EXPECT_EQ(SendMessageW(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(second)),
            reinterpret_cast<LRESULT>(first));
  EXPECT_EQ(SendMessageW(image, STM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(second));
  EXPECT_EQ(SendMessageW(image, STM_GETIMAGE, IMAGE_ICON, 0), 0);
  DestroyWindow(image);
  DeleteObject(first);
  DeleteObject(second);
}

}  // namespace
