// The dialog manager: a dialog from a resource template and the same dialog built in memory come
// out alike (windows, places, texts, font, the order the procedure is told things); modal runs
// disable the owner and answer EndDialog's value; dialog units follow the font; WM_CTLCOLORSTATIC
// lets the procedure colour a label; damaged and unknown templates make no dialog.
#include "dialog_support.h"
#include "gwes/dlg_template.h"
#include "gwes/gdi_host.h"
#include "resources/ids.h"

namespace {

using namespace dtest;

// The sample dialog of the resource script, built here the way the resource compiler lays it.
Template SampleInMemory() {
  Template t = Template::Dialog(DS_MODALFRAME | WS_POPUP | WS_CAPTION, 10, 20, 140, 90, u"Sample", 9);
  t.Item(SS_LEFT | WS_GROUP, 4, 6, 30, 8, IDC_NAME_LABEL, kStatic, u"Name:");
  t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 36, 4, 60, 12, IDC_NAME, kEdit, u"");
  t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 100, 4, 36, 12, IDOK, kButton, u"OK");
  t.Item(BS_PUSHBUTTON | WS_TABSTOP, 100, 20, 36, 12, IDCANCEL, kButton, u"Cancel");
  t.Item(BS_AUTOCHECKBOX | WS_TABSTOP, 4, 22, 60, 10, IDC_LOUD, kButton, u"Loud");
  t.Item(BS_GROUPBOX, 4, 36, 92, 36, IDC_GROUP, kButton, u"Side");
  t.Item(BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 10, 46, 60, 10, IDC_FIRST, kButton, u"First");
  t.Item(BS_AUTORADIOBUTTON | WS_TABSTOP, 10, 58, 60, 10, IDC_SECOND, kButton, u"Second");
  t.Item(BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 100, 74, 36, 12, IDC_APPLY, kButton, u"Apply");
  return t;
}

struct Child {
  std::u16string className;
  int id;
  RECT rect;
  LONG_PTR style;
  std::u16string text;
  bool operator==(const Child& o) const {
    return className == o.className && id == o.id && EqualRect(&rect, &o.rect) && style == o.style && text == o.text;
  }
};

std::ostream& operator<<(std::ostream& out, const Child& c) {
  return out << std::string(c.className.begin(), c.className.end()) << " " << c.id << " (" << c.rect.left << ","
             << c.rect.top << "," << c.rect.right << "," << c.rect.bottom << ") 0x" << std::hex << c.style << std::dec;
}

std::vector<Child> Children(HWND dialog) {
  std::vector<Child> out;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char16_t name[64] = {};
    GetClassNameW(c, name, 64);
    RECT r;
    GetWindowRect(c, &r);
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    OffsetRect(&r, -origin.x, -origin.y);
    out.push_back({name, GetDlgCtrlID(c), r, GetWindowLongW(c, GWL_STYLE), TextOf(c)});
  }
  return out;
}

using DialogManagerTest = DialogTest;

TEST_F(DialogManagerTest, ResourceAndMemoryTemplatesMakeTheSameDialog) {
  HWND fromResource = CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_SAMPLE), nullptr, Recorder::Proc, 7);
  ASSERT_NE(fromResource, nullptr) << GetLastError();
  const std::vector<Told> resourceLog = Recorder::Log();
  Recorder::Log().clear();
  Template t = SampleInMemory();
  HWND fromMemory = CreateDialogIndirectParamW(nullptr, t.get(), nullptr, Recorder::Proc, 7);
  ASSERT_NE(fromMemory, nullptr) << GetLastError();
  const std::vector<Told> memoryLog = Recorder::Log();

  EXPECT_EQ(Children(fromResource), Children(fromMemory));
  EXPECT_EQ(Children(fromResource).size(), 9u);
  RECT a, b;
  GetWindowRect(fromResource, &a);
  GetWindowRect(fromMemory, &b);
  EXPECT_EQ(a.right - a.left, b.right - b.left);
  EXPECT_EQ(a.bottom - a.top, b.bottom - b.top);
  EXPECT_EQ(TextOf(fromResource), u"Sample");
  EXPECT_EQ(TextOf(fromMemory), u"Sample");
  // Both procedures were told the font, then WM_INITDIALOG with the first tab stop and the parameter.
  auto order = [](const std::vector<Told>& log) {
    std::vector<UINT> out;
    for (const Told& t : log)
      if (t.message == WM_SETFONT || t.message == WM_INITDIALOG) out.push_back(t.message);
    return out;
  };
  EXPECT_EQ(order(resourceLog), (std::vector<UINT>{WM_SETFONT, WM_INITDIALOG}));
  EXPECT_EQ(order(memoryLog), order(resourceLog));
  for (const auto& [log, dialog] : {std::pair{&resourceLog, fromResource}, std::pair{&memoryLog, fromMemory}}) {
    auto init = std::find_if(log->begin(), log->end(), [](const Told& t) { return t.message == WM_INITDIALOG; });
    ASSERT_NE(init, log->end());
    EXPECT_EQ(reinterpret_cast<HWND>(init->wParam), GetDlgItem(dialog, IDC_NAME)) << "the first tab stop";
    EXPECT_EQ(init->lParam, 7);
  }
  // Same font for every control, the dialog's own.
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(fromResource, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendDlgItemMessageW(fromResource, IDOK, WM_GETFONT, 0, 0)), font);
  DestroyWindow(fromResource);
  DestroyWindow(fromMemory);
}

TEST_F(DialogManagerTest, DialogUnitsFollowTheTemplateFont) {
  HWND dialog = CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_SAMPLE), nullptr, Recorder::Proc, 0);
  ASSERT_NE(dialog, nullptr);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE letters{};
  GetTextExtentPoint32W(dc, u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  LOGFONTW log{};
  GetObjectW(font, sizeof log, &log);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(log.lfHeight, -((8 * 96 + 36) / 72)) << "8 points at 96 dots per inch";
  const int baseX = (letters.cx / 26 + 1) / 2, baseY = tm.tmHeight;
  RECT r{0, 0, 4, 8};
  ASSERT_TRUE(MapDialogRect(dialog, &r));
  EXPECT_EQ(r.right, baseX);
  EXPECT_EQ(r.bottom, baseY);
  // The template's 140 by 90 units, and an item's place, in pixels.
  RECT window;
  GetWindowRect(dialog, &window);
  EXPECT_EQ(window.right - window.left, (140 * baseX + 2) / 4);
  EXPECT_EQ(window.bottom - window.top, (90 * baseY + 4) / 8);
  HWND edit = GetDlgItem(dialog, IDC_NAME);
  RECT item;
  GetWindowRect(edit, &item);
  EXPECT_EQ(item.left - window.left, (36 * baseX + 2) / 4);
  EXPECT_EQ(item.top - window.top, (4 * baseY + 4) / 8);
  EXPECT_FALSE(MapDialogRect(nullptr, &r));
  const LONG units = GetDialogBaseUnits();
  EXPECT_GT(LOWORD(units), 0);
  EXPECT_GT(HIWORD(units), LOWORD(units));
  DestroyWindow(dialog);
}

TEST_F(DialogManagerTest, ExtendedTemplateCarriesWeightAndFace) {
  HWND dialog = CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_SAMPLE_EX), nullptr, Recorder::Proc, 0);
  ASSERT_NE(dialog, nullptr);
  LOGFONTW log{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof log, &log);
  EXPECT_EQ(log.lfWeight, 700);
  EXPECT_EQ(std::u16string(log.lfFaceName), u"Tahoma");
  EXPECT_EQ(log.lfHeight, -12);
  EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_NAME_LABEL)), u"Bold");
  DestroyWindow(dialog);
}

TEST_F(DialogManagerTest, MissingDamagedOrUnknownTemplatesMakeNoDialog) {
  EXPECT_EQ(CreateDialogParamW(nullptr, MAKEINTRESOURCEW(999), nullptr, Recorder::Proc, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(DialogBoxParamW(nullptr, MAKEINTRESOURCEW(999), nullptr, Recorder::Proc, 0), -1);
  // A control class nobody registered fails the dialog, and no window is left behind.
  EXPECT_EQ(CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_BROKEN), nullptr, Recorder::Proc, 0), nullptr);
  EXPECT_EQ(FindWindowW(u"Dialog", nullptr), nullptr);
  // A template whose items run past the end of its resource reads as no template.
  Template t = SampleInMemory();
  zb::wm::DialogTemplate read;
  EXPECT_TRUE(zb::wm::ReadDialogTemplate(t.bytes().data(), t.bytes().size(), &read));
  EXPECT_EQ(read.items.size(), 9u);
  for (size_t cut : {size_t{2}, size_t{17}, t.bytes().size() / 2, t.bytes().size() - 1})
    EXPECT_FALSE(zb::wm::ReadDialogTemplate(t.bytes().data(), cut, &read)) << cut;
  EXPECT_EQ(CreateDialogIndirectParamW(nullptr, nullptr, nullptr, Recorder::Proc, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
}

TEST_F(DialogManagerTest, ModalRunDisablesTheOwnerAndAnswersEndDialog) {
  HWND owner = wtest::Make(WS_VISIBLE);
  bool ownerDisabledInside = false;
  Recorder::OnMessage() = [&](HWND dialog, UINT m, WPARAM w, LPARAM, INT_PTR*) {
    if (m == WM_INITDIALOG) PostMessageW(dialog, WM_APP, 0, 0);
    if (m == WM_APP) {
      ownerDisabledInside = !IsWindowEnabled(owner);
      EXPECT_TRUE(IsWindowVisible(dialog));
      EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_NAME)) << "the first tab stop has the focus";
      EXPECT_EQ(GetForegroundWindow(), dialog);
      EndDialog(dialog, 42);
    }
    return false;
  };
  Template t = SampleInMemory();
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, t.get(), owner, Recorder::Proc, 0), 42);
  EXPECT_TRUE(ownerDisabledInside);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(FindWindowW(u"Dialog", u"Sample"), nullptr) << "the dialog is gone";
  DestroyWindow(owner);
}

TEST_F(DialogManagerTest, InitAnsweringFalseLeavesTheFocusToTheProcedure) {
  Recorder::OnMessage() = [&](HWND dialog, UINT m, WPARAM, LPARAM, INT_PTR* answer) {
    if (m == WM_INITDIALOG) {
      PostMessageW(dialog, WM_APP, 0, 0);
      SetFocus(GetDlgItem(dialog, IDCANCEL));
      *answer = FALSE;
      return true;
    }
    if (m == WM_APP) EndDialog(dialog, GetDlgCtrlID(GetFocus()));
    return false;
  };
  Template t = SampleInMemory();
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, t.get(), nullptr, Recorder::Proc, 0), IDCANCEL);
}

TEST_F(DialogManagerTest, LabelTakesTheColoursAndFontTheProcedureChooses) {
  HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
  LOGFONTW bold{};
  bold.lfHeight = -12;
  bold.lfWeight = 700;
  HFONT boldFont = CreateFontIndirectW(&bold);
  HFONT seen = nullptr;
  Recorder::OnMessage() = [&](HWND dialog, UINT m, WPARAM w, LPARAM l, INT_PTR* answer) {
    if (m != WM_CTLCOLORSTATIC || GetDlgCtrlID(reinterpret_cast<HWND>(l)) != IDC_NAME_LABEL) return false;
    HDC dc = reinterpret_cast<HDC>(w);
    seen = static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT));
    SelectObject(dc, boldFont);
    SetTextColor(dc, RGB(255, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    *answer = reinterpret_cast<INT_PTR>(yellow);
    return true;
  };
  Template t = SampleInMemory();
  HWND dialog = CreateDialogIndirectParamW(nullptr, t.get(), nullptr, Recorder::Proc, 0);
  ASSERT_NE(dialog, nullptr);
  ShowWindow(dialog, SW_SHOW);
  wtest::Pump();
  EXPECT_EQ(seen, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)))
      << "the label's own font is in the DC when the parent is asked";
  RECT r;
  GetWindowRect(GetDlgItem(dialog, IDC_NAME_LABEL), &r);
  int yellowPixels = 0, redPixels = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      COLORREF c = zb::gdi::ScreenPixel(x, y);
      if (c == RGB(255, 255, 0)) ++yellowPixels;
      if (GetRValue(c) > 200 && GetGValue(c) < 80 && GetBValue(c) < 80) ++redPixels;
    }
  }
  EXPECT_GT(yellowPixels, (r.right - r.left) * (r.bottom - r.top) / 2) << "the background brush";
  EXPECT_GT(redPixels, 5) << "the text colour";
  DestroyWindow(dialog);
  DeleteObject(yellow);
  DeleteObject(boldFont);
}

TEST_F(DialogManagerTest, ItemHelpersReadAndWriteTheControls) {
  Template t = SampleInMemory();
  HWND dialog = CreateDialogIndirectParamW(nullptr, t.get(), nullptr, Recorder::Proc, 0);
  ASSERT_NE(dialog, nullptr);
  struct Case {
    const char16_t* text;
    BOOL isSigned;
    UINT value;
    BOOL translated;
  };
  const Case cases[] = {
      {u"42", FALSE, 42, TRUE},     {u" -7 ", TRUE, static_cast<UINT>(-7), TRUE},
      {u"-7", FALSE, 0, FALSE},     {u"12ab", FALSE, 0, FALSE},
      {u"", FALSE, 0, FALSE},       {u"4294967295", FALSE, 4294967295u, TRUE},
      {u"4294967296", FALSE, 0, FALSE},
  };
  for (const Case& c : cases) {
    SetDlgItemTextW(dialog, IDC_NAME, c.text);
    BOOL translated = !c.translated;
    EXPECT_EQ(GetDlgItemInt(dialog, IDC_NAME, &translated, c.isSigned), c.value) << std::string(c.text, c.text + 2);
    EXPECT_EQ(translated, c.translated);
  }
  SetDlgItemInt(dialog, IDC_NAME, static_cast<UINT>(-15), TRUE);
  char16_t text[16];
  EXPECT_EQ(GetDlgItemTextW(dialog, IDC_NAME, text, 16), 3u);
  EXPECT_EQ(std::u16string(text), u"-15");
  EXPECT_TRUE(CheckRadioButton(dialog, IDC_FIRST, IDC_SECOND, IDC_SECOND));
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SECOND), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_FIRST), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_TRUE(CheckDlgButton(dialog, IDC_LOUD, BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_LOUD), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(GetDlgItem(dialog, 4321), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CONTROL_ID_NOT_FOUND));
  DestroyWindow(dialog);
}

}  // namespace
