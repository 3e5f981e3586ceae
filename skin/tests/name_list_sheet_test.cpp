// The name-list sheet driven through its callbacks: a script of steps runs inside the sheet's
// modal loop (posted to a window of the test), tapping its lists and buttons as the user would,
// while the callbacks keep a list of names. Tap-and-hold on a list tells its parent after the
// list has taken the press.
#include "skin/name_list_sheet.h"

#include <aygshell.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "skin_test_support.h"

namespace zb::testing {
namespace {

constexpr UINT kStep = WM_APP + 7;

struct Entries {
  std::vector<std::u16string> names{u"Rock", u"Jazz", u"Classic"};
  std::vector<std::string> calls;
  BOOL saveAnswer = TRUE;
};

BOOL Enumerate(void* c, int index, LPWSTR name) {
  auto* e = static_cast<Entries*>(c);
  if (index < 0 || index >= static_cast<int>(e->names.size())) return FALSE;
  wcscpy(name, e->names[index].c_str());
  return TRUE;
}
std::string Narrow(LPCWSTR s) { return std::string(s, s + wcslen(s)); }
BOOL Delete(void* c, HWND, int index, LPCWSTR name) {
  auto* e = static_cast<Entries*>(c);
  e->calls.push_back("delete " + std::to_string(index) + " " + Narrow(name));
  e->names.erase(e->names.begin() + index);
  return TRUE;
}
BOOL Save(void* c, HWND, LPCWSTR name) {
  auto* e = static_cast<Entries*>(c);
  e->calls.push_back("save " + Narrow(name));
  if (e->saveAnswer) e->names.push_back(name);
  return e->saveAnswer;
}
BOOL Copy(void* c, HWND, int index, LPCWSTR name) {
  auto* e = static_cast<Entries*>(c);
  e->calls.push_back("copy " + std::to_string(index) + " " + Narrow(name));
  e->names.push_back(std::u16string(name) + u" copy");
  return TRUE;
}
BOOL New(void* c, HWND) {
  static_cast<Entries*>(c)->calls.push_back("new");
  return FALSE;
}
BOOL Rename(void* c, HWND, int index, LPCWSTR name) {
  static_cast<Entries*>(c)->calls.push_back("rename " + std::to_string(index) + " " + Narrow(name));
  return FALSE;
}

// The steps run one per posted message while the sheet is open.
struct Script {
  std::vector<std::function<void(HWND sheet, HWND page)>> steps;
  size_t next = 0;
  int idle = 0;
  const char16_t* title = u"";
};
Script g_script;

LRESULT CALLBACK DriverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kStep) return DefWindowProcW(window, message, wParam, lParam);
  HWND sheet = FindWindowW(nullptr, g_script.title);
  if (sheet && g_script.next < g_script.steps.size()) {
    g_script.steps[g_script.next++](sheet, PropSheet_GetCurrentPageHwnd(sheet));
  } else if (++g_script.idle > 200) {
    ADD_FAILURE() << "the sheet did not close";
    if (sheet) PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    return 0;
  }
  PostMessageW(window, kStep, 0, 0);
  return 0;
}

class NameListSheet : public SkinTest {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DriverProc;
    wc.lpszClassName = u"NameListDriver";
    RegisterClassW(&wc);
    driver_ = CreateWindowExW(0, u"NameListDriver", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    request_ = SaveNameRequest{0, nullptr, u"", listName_, name_, &selected_, &entries_, Enumerate, Delete, Save, Copy, New,
                               Rename, u"Presets", u"Name the preset"};
  }
  void TearDown() override { DestroyWindow(driver_); }

  INT_PTR Run(std::vector<std::function<void(HWND, HWND)>> steps) {
    g_script = Script{};
    g_script.steps = std::move(steps);
    g_script.title = request_.flags & kNameListOnePage ? request_.onePageTitle : request_.twoPageTitle;
    PostMessageW(driver_, kStep, 0, 0);
    return ShowSaveNameDialog(&request_);
  }

  static std::u16string Text(HWND page, int id) {
    WCHAR text[256] = {};
    GetDlgItemTextW(page, id, text, 256);
    return text;
  }
  static int Count(HWND page) { return static_cast<int>(SendDlgItemMessageW(page, IDC_NAMELIST_LIST, LB_GETCOUNT, 0, 0)); }
  static void Pick(HWND page, int index, WORD how = LBN_SELCHANGE) {
    SendDlgItemMessageW(page, IDC_NAMELIST_LIST, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_NAMELIST_LIST, how), reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_NAMELIST_LIST)));
  }
  static void Click(HWND page, int id) {
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
  }

  HWND driver_ = nullptr;
  Entries entries_;
  WCHAR listName_[kNameListNameLength] = {};
  WCHAR name_[kNameListNameLength] = {};
  int selected_ = 77;
  SaveNameRequest request_{};
};

TEST_F(NameListSheet, OnePageOpensOnTheNamePageAndSavesOnlyANamedEntry) {
  request_.flags = kNameListOnePage;
  request_.initialName = u"Mine";
  std::u16string shown;
  int listed = 0;
  const INT_PTR result = Run({
      [&](HWND, HWND page) {
        shown = Text(page, IDC_NAMELIST_EDIT);
        listed = Count(page);
        SetDlgItemTextW(page, IDC_NAMELIST_EDIT, u"");
        Click(page, IDC_NAMELIST_SAVE);  // an empty name does nothing
      },
      [&](HWND, HWND page) {
        SetDlgItemTextW(page, IDC_NAMELIST_EDIT, u"Loud");
        Click(page, IDC_NAMELIST_SAVE);
      },
  });
  EXPECT_EQ(shown, u"Mine");
  EXPECT_EQ(listed, 3);
  EXPECT_EQ(entries_.calls, std::vector<std::string>{"save Loud"}) << "saved once, though the sheet's OK followed";
  EXPECT_EQ(std::u16string(name_), u"Loud");
  EXPECT_GT(result, 0);
}

TEST_F(NameListSheet, ARefusedNameKeepsTheSheetOpenAndCancelClearsTheChoice) {
  request_.flags = kNameListOnePage;
  entries_.saveAnswer = FALSE;
  bool stillOpen = false;
  Run({
      [&](HWND, HWND page) {
        SetDlgItemTextW(page, IDC_NAMELIST_EDIT, u"Taken");
        Click(page, IDC_NAMELIST_SAVE);
      },
      [&](HWND sheet, HWND page) {
        stillOpen = IsWindow(sheet) && IsWindow(page);
        Pick(page, 1);  // picking a name on the name page puts it into the edit
        EXPECT_EQ(Text(page, IDC_NAMELIST_EDIT), u"Jazz");
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
      },
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(entries_.calls, std::vector<std::string>{"save Taken"});
  EXPECT_EQ(selected_, -1);
  EXPECT_EQ(std::u16string(name_), u"");
}

TEST_F(NameListSheet, TheListPageClosesOnADoubleTappedChoice) {
  int listed = 0;
  bool openAfterKeyboardChoice = false;
  Run({
      [&](HWND, HWND page) {
        listed = Count(page);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_NAMELIST_LIST, LBN_SETFOCUS), 0);
        Pick(page, 1);  // moving through the list with the keyboard focus on it keeps the sheet
      },
      [&](HWND sheet, HWND page) {
        openAfterKeyboardChoice = IsWindow(sheet) != FALSE;
        Pick(page, 2, LBN_DBLCLK);
      },
  });
  EXPECT_TRUE(openAfterKeyboardChoice);
  EXPECT_EQ(listed, 3);
  EXPECT_EQ(std::u16string(listName_), u"Classic");
  EXPECT_EQ(selected_, 2);
}

TEST_F(NameListSheet, TheDeletePageDeletesAndTheMenuCommandsReachTheirCallbacks) {
  request_.flags = kNameListOfferCopy | kNameListOfferRename | kNameListOfferNew;
  int before = 0, afterDelete = 0, afterCopy = 0;
  BOOL deleteEnabled = TRUE;
  Run({
      [&](HWND sheet, HWND) { PropSheet_SetCurSel(sheet, nullptr, 1); },
      [&](HWND, HWND page) {
        before = Count(page);
        deleteEnabled = IsWindowEnabled(GetDlgItem(page, IDC_NAMELIST_DELETE));
        Pick(page, 0);
        Click(page, IDC_NAMELIST_DELETE);
        afterDelete = Count(page);
      },
      [&](HWND, HWND page) {
        Pick(page, 1);
        SendMessageW(page, WM_COMMAND, IDC_NAMELIST_COPY, 0);
        afterCopy = Count(page);
        SendMessageW(page, WM_COMMAND, IDC_NAMELIST_RENAME, 0);
        SendMessageW(page, WM_COMMAND, IDC_NAMELIST_NEWENTRY, 0);
      },
      [&](HWND sheet, HWND) { PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0); },
  });
  EXPECT_EQ(before, 3);
  EXPECT_FALSE(deleteEnabled) << "nothing selected yet";
  EXPECT_EQ(afterDelete, 2);
  EXPECT_EQ(afterCopy, 3);
  EXPECT_EQ(entries_.calls, (std::vector<std::string>{"delete 0 Rock", "copy 1 Classic", "rename 1 Classic", "new"}));
}

TEST_F(NameListSheet, AListPageWithoutCopyOrRenameShowsNoContextMenu) {
  request_.flags = kNameListOfferNew;
  int selection = 5;
  Run({
      [&](HWND, HWND page) {
        NMRGINFO n{};
        n.hdr.hwndFrom = GetDlgItem(page, IDC_NAMELIST_LIST);
        n.hdr.code = GN_CONTEXTMENU;
        RECT r;
        GetWindowRect(n.hdr.hwndFrom, &r);
        n.ptAction = POINT{r.left + 5, r.top + 2};
        SendMessageW(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));  // returns: no menu to track
        selection = static_cast<int>(SendDlgItemMessageW(page, IDC_NAMELIST_LIST, LB_GETCURSEL, 0, 0));
      },
      [&](HWND sheet, HWND) { PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0); },
  });
  EXPECT_EQ(selection, -1) << "the entry under the hold is not even selected";
  EXPECT_TRUE(entries_.calls.empty());
}

// The parent of a held list hears the gesture after the list has handled the press itself.
int g_selectionAtGesture = -2;
LRESULT CALLBACK HoldParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == GN_CONTEXTMENU)
    g_selectionAtGesture = static_cast<int>(SendMessageW(reinterpret_cast<const NMHDR*>(lParam)->hwndFrom, LB_GETCURSEL, 0, 0));
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(NameListSheet, TapAndHoldTellsTheParentAfterTheListTookThePress) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = HoldParentProc;
  wc.lpszClassName = u"HoldParent";
  RegisterClassW(&wc);
  HWND parent = CreateWindowExW(0, u"HoldParent", u"", WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
  HWND list = CreateWindowExW(0, u"LISTBOX", u"", WS_CHILD | WS_VISIBLE | LBS_NOTIFY, 0, 0, 200, 200, parent, nullptr, nullptr, nullptr);
  for (const char16_t* s : {u"one", u"two", u"three"}) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  EnableListTapAndHold(list);
  EnableListTapAndHold(list);  // twice changes nothing
  const int row = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  g_selectionAtGesture = -2;
  SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, row + row / 2));
  EXPECT_EQ(g_selectionAtGesture, 1);
  SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(5, row + row / 2));
  DestroyWindow(parent);
}

}  // namespace
}  // namespace zb::testing
