// Keys in a dialog, pressed as the device's buttons and taken through the dialog manager: Tab
// walks the tab stops, arrows walk a group and check the radio button they reach, Enter presses
// the focused push button or the default one, Escape presses Cancel, and each control keeps the
// keys its WM_GETDLGCODE asks for.
#include "dialog_support.h"
#include "resources/ids.h"

namespace {

using namespace dtest;

class DialogNavigationTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    dialog_ = CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_SAMPLE), nullptr, Recorder::Proc, 0);
    ASSERT_NE(dialog_, nullptr);
    ShowWindow(dialog_, SW_SHOW);
    PumpDialog(dialog_);
    Recorder::Log().clear();
  }
  void TearDown() override {
    DestroyWindow(dialog_);
    DialogTest::TearDown();
  }
  void Press(UINT vk, bool shift = false) {
    if (shift) zb::input::Deliver({zb::input::Kind::KeyDown, 0, 0, VK_SHIFT});
    Key(vk);
    if (shift) zb::input::Deliver({zb::input::Kind::KeyUp, 0, 0, VK_SHIFT});
    PumpDialog(dialog_);
  }
  int FocusId() { return GetDlgCtrlID(GetFocus()); }
  HWND dialog_ = nullptr;
};

TEST_F(DialogNavigationTest, TabWalksTheTabStopsBothWaysAndWraps) {
  ASSERT_EQ(FocusId(), IDC_NAME) << "the first tab stop starts with the focus";
  // The group box and the label are no tab stops; the unchecked second radio button is one.
  const int forward[] = {IDOK, IDCANCEL, IDC_LOUD, IDC_FIRST, IDC_SECOND, IDC_APPLY, IDC_NAME};
  for (int id : forward) {
    Press(VK_TAB);
    EXPECT_EQ(FocusId(), id);
  }
  Press(VK_TAB, true);
  EXPECT_EQ(FocusId(), IDC_APPLY);
  Press(VK_TAB, true);
  EXPECT_EQ(FocusId(), IDC_SECOND);
  EXPECT_EQ(GetNextDlgTabItem(dialog_, nullptr, FALSE), GetDlgItem(dialog_, IDC_NAME));
  EXPECT_EQ(GetNextDlgTabItem(dialog_, nullptr, TRUE), GetDlgItem(dialog_, IDC_APPLY));
  // A disabled control is passed over.
  EnableWindow(GetDlgItem(dialog_, IDOK), FALSE);
  EXPECT_EQ(GetNextDlgTabItem(dialog_, GetDlgItem(dialog_, IDC_NAME), FALSE), GetDlgItem(dialog_, IDCANCEL));
}

TEST_F(DialogNavigationTest, ArrowsWalkTheRadioGroupAndCheckWhatTheyReach) {
  SetFocus(GetDlgItem(dialog_, IDC_FIRST));
  Recorder::Log().clear();
  Press(VK_DOWN);
  EXPECT_EQ(FocusId(), IDC_SECOND);
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_SECOND), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_FIRST), static_cast<UINT>(BST_UNCHECKED));
  Press(VK_DOWN);  // the group wraps: Apply starts a group of its own
  EXPECT_EQ(FocusId(), IDC_FIRST);
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_FIRST), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_SECOND), static_cast<UINT>(BST_UNCHECKED));
  Press(VK_UP);
  EXPECT_EQ(FocusId(), IDC_SECOND);
  const auto commands = Recorder::Commands();
  const std::vector<std::pair<int, int>> clicks{{IDC_SECOND, BN_CLICKED}, {IDC_FIRST, BN_CLICKED}, {IDC_SECOND, BN_CLICKED}};
  EXPECT_EQ(commands, clicks);
  // The checked radio button is where Tab enters the group.
  EXPECT_TRUE(GetWindowLongW(GetDlgItem(dialog_, IDC_SECOND), GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongW(GetDlgItem(dialog_, IDC_FIRST), GWL_STYLE) & WS_TABSTOP);
}

TEST_F(DialogNavigationTest, EnterAndEscapePressTheRightButtons) {
  struct Case {
    int focus;
    UINT key;
    int defaultId;  // DM_SETDEFID first when not 0
    int pressed;
  };
  const Case cases[] = {
      {IDC_NAME, VK_RETURN, 0, IDOK},             // the default button
      {IDCANCEL, VK_RETURN, 0, IDCANCEL},         // a focused push button
      {IDC_LOUD, VK_RETURN, IDC_APPLY, IDC_APPLY},  // a default set by the procedure
      {IDC_NAME, VK_ESCAPE, 0, IDCANCEL},
  };
  for (const Case& c : cases) {
    if (c.defaultId) SendMessageW(dialog_, DM_SETDEFID, c.defaultId, 0);
    SetFocus(GetDlgItem(dialog_, c.focus));
    Recorder::Log().clear();
    Press(c.key);
    const auto commands = Recorder::Commands();
    ASSERT_EQ(commands.size(), 1u) << c.focus;
    EXPECT_EQ(commands[0], std::make_pair(c.pressed, static_cast<int>(BN_CLICKED)));
  }
  EXPECT_EQ(SendMessageW(dialog_, DM_GETDEFID, 0, 0), MAKELRESULT(IDC_APPLY, DC_HASDEFID));
  // A disabled default button takes no Enter.
  EnableWindow(GetDlgItem(dialog_, IDC_APPLY), FALSE);
  SetFocus(GetDlgItem(dialog_, IDC_NAME));
  Recorder::Log().clear();
  Press(VK_RETURN);
  EXPECT_TRUE(Recorder::Commands().empty());
}

TEST_F(DialogNavigationTest, FocusedPushButtonShowsAsTheDefault) {
  HWND ok = GetDlgItem(dialog_, IDOK), cancel = GetDlgItem(dialog_, IDCANCEL);
  EXPECT_EQ(GetWindowLongW(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(cancel), TRUE);
  EXPECT_EQ(GetFocus(), cancel);
  EXPECT_EQ(GetWindowLongW(cancel, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongW(ok, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog_, IDC_NAME)), TRUE);
  EXPECT_EQ(GetWindowLongW(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongW(cancel, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
}

TEST_F(DialogNavigationTest, TabbingIntoAnEditSelectsItsText) {
  SetDlgItemTextW(dialog_, IDC_NAME, u"Rock");
  SetFocus(GetDlgItem(dialog_, IDC_APPLY));
  Press(VK_TAB);
  ASSERT_EQ(FocusId(), IDC_NAME);
  DWORD start = 9, end = 9;
  SendDlgItemMessageW(dialog_, IDC_NAME, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 4u);
  // Typing replaces the selection; the dialog takes the letters to the edit.
  Press('J');
  Press('Z');
  EXPECT_EQ(TextOf(GetDlgItem(dialog_, IDC_NAME)), u"jz");
}

TEST_F(DialogNavigationTest, ControlsAskForTheKeysTheyKeep) {
  struct Case {
    int id;
    LRESULT code;
  };
  const Case cases[] = {
      {IDC_NAME, DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS},
      {IDOK, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
      {IDCANCEL, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
      {IDC_LOUD, DLGC_BUTTON},
      {IDC_FIRST, DLGC_BUTTON | DLGC_RADIOBUTTON},
      {IDC_GROUP, DLGC_STATIC},
      {IDC_NAME_LABEL, DLGC_STATIC},
  };
  for (const Case& c : cases) EXPECT_EQ(SendDlgItemMessageW(dialog_, c.id, WM_GETDLGCODE, 0, 0), c.code) << c.id;
  // The edit keeps the arrows: Left moves its caret and the focus stays.
  SetFocus(GetDlgItem(dialog_, IDC_NAME));
  SetDlgItemTextW(dialog_, IDC_NAME, u"ab");
  SendDlgItemMessageW(dialog_, IDC_NAME, EM_SETSEL, 2, 2);
  Press(VK_LEFT);
  EXPECT_EQ(FocusId(), IDC_NAME);
  EXPECT_EQ(LOWORD(SendDlgItemMessageW(dialog_, IDC_NAME, EM_GETSEL, 0, 0)), 1);
}

TEST_F(DialogNavigationTest, CloseAsksAsCancel) {
  SendMessageW(dialog_, WM_CLOSE, 0, 0);
  PumpDialog(dialog_);
  EXPECT_EQ(Recorder::Commands(), (std::vector<std::pair<int, int>>{{IDCANCEL, BN_CLICKED}}));
  EXPECT_TRUE(IsWindow(dialog_)) << "closing is the procedure's to decide";
}

}  // namespace
