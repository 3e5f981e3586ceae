// Property sheets as a trace: what the sheet asks its callback and tells its pages, in order,
// while a script taps tabs, presses keys and the sheet's buttons. Pages answer from a table, so
// the vetoes (kill-active, query-cancel, a refused apply or activation) show in the trace.
#include <deque>
#include <map>
#include <string>

#include "cc_support.h"
#include "gwes/ctl_common.h"
#include "resources/ids.h"

namespace {

constexpr UINT kStep = WM_APP + 0x177;

// One thing the script does to the running sheet.
enum class Do { PressOk, PressCancel, TapTab1Down, TapTab1Up, TapOkDown, TapOkUp, Enter, Escape, SelectC, Current, SaveEnter };

struct Script {
  std::vector<std::string> trace;
  std::map<std::string, std::deque<LRESULT>> answers;  // "A:KILLACTIVE" → the answers, in turn
  std::vector<std::function<void(HWND)>> steps;
  size_t next = 0;
  int idle = 0;  // steps asked for after the script ran out
  WNDPROC sheetProc = nullptr;
  HWND sheet = nullptr;
  std::vector<HWND> sizedPages;  // the pages told WM_SIZE
};

Script& Sheet() {
  static Script script;
  return script;
}

std::string PageName(HWND page) {
  const char* name = reinterpret_cast<const char*>(GetWindowLongW(page, DWL_USER));
  return name ? name : "?";
}

std::string CodeName(UINT code) {
  switch (code) {
    case PSN_SETACTIVE: return "SETACTIVE";
    case PSN_KILLACTIVE: return "KILLACTIVE";
    case PSN_APPLY: return "APPLY";
    case PSN_RESET: return "RESET";
    case PSN_QUERYCANCEL: return "QUERYCANCEL";
    default: return "";
  }
}

INT_PTR CALLBACK PageProc(HWND page, UINT m, WPARAM w, LPARAM l) {
  Script& run = Sheet();
  switch (m) {
    case WM_INITDIALOG: {
      const auto* record = reinterpret_cast<const PROPSHEETPAGEW*>(l);
      SetWindowLongW(page, DWL_USER, record->lParam);
      run.trace.push_back(PageName(page) + ":INIT");
      return TRUE;
    }
    case WM_SIZE:
      run.sizedPages.push_back(page);
      return FALSE;
    case WM_NOTIFY: {
      const auto* n = reinterpret_cast<const PSHNOTIFY*>(l);
      const std::string code = CodeName(n->hdr.code);
      if (code.empty()) return FALSE;
      EXPECT_EQ(n->hdr.hwndFrom, GetParent(page)) << "the sheet sends the notifications";
      const std::string key = PageName(page) + ":" + code;
      if (n->hdr.code == PSN_APPLY && n->lParam) {
        run.trace.push_back(key);  // the apply of OK, which closes the sheet
      } else {
        run.trace.push_back(key + (n->hdr.code == PSN_APPLY ? "(now)" : ""));
      }
      LRESULT answer = 0;
      auto& queue = run.answers[key];
      if (!queue.empty()) {
        answer = queue.front();
        queue.pop_front();
      }
      SetWindowLongW(page, DWL_MSGRESULT, answer);
      return TRUE;
    }
    case PSM_QUERYSIBLINGS:
      if (PageName(page) == "B") {
        SetWindowLongW(page, DWL_MSGRESULT, 77);
        return TRUE;
      }
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(w) == IDOK && l) {  // the page's own OK button closes the sheet as OK
        PostMessageW(GetParent(page), PSM_PRESSBUTTON, PSBTN_OK, 0);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

LRESULT CALLBACK DriverProc(HWND sheet, UINT m, WPARAM w, LPARAM l) {
  Script& run = Sheet();
  if (m != kStep) return CallWindowProcW(run.sheetProc, sheet, m, w, l);
  if (run.next < run.steps.size()) {
    run.steps[run.next++](sheet);
  } else if (++run.idle > 50) {
    ADD_FAILURE() << "the sheet is still open after the script";
    EndDialog(sheet, 99);
    return 0;
  }
  PostMessageW(sheet, kStep, 0, 0);
  return 0;
}

int CALLBACK SheetCallback(HWND sheet, UINT m, LPARAM l) {
  Script& run = Sheet();
  switch (m) {
    case PSCB_PRECREATE:
      run.trace.push_back("sheet:PRECREATE");
      EXPECT_EQ(sheet, nullptr);
      EXPECT_NE(l, 0) << "the sheet's template";
      return 0;
    case PSCB_INITIALIZED:
      run.trace.push_back("sheet:INITIALIZED");
      run.sheet = sheet;
      run.sheetProc = reinterpret_cast<WNDPROC>(SetWindowLongW(sheet, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(DriverProc)));
      PostMessageW(sheet, kStep, 0, 0);
      return 0;
    case PSCB_GETVERSION:
      run.trace.push_back("sheet:GETVERSION");
      return 0x20C;
    case PSCB_GETTITLE: {
      run.trace.push_back("sheet:GETTITLE");
      const std::u16string title = u"Zonbrel Settings";
      std::copy(title.begin(), title.end(), reinterpret_cast<char16_t*>(l));
      return 0;
    }
    default:
      return 0;
  }
}

POINT ScreenPoint(HWND hwnd, POINT at) {
  ClientToScreen(hwnd, &at);
  return at;
}

POINT TabPoint(HWND sheet, int index) {
  HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
  RECT r{};
  SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return ScreenPoint(tabs, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

POINT OkPoint(HWND sheet) {
  RECT client;
  GetClientRect(sheet, &client);
  const RECT box = zb::wm::TitleOkBox(RECT{client.left, client.top, client.right, client.top + zb::wm::TitleStripHeight()});
  return ScreenPoint(sheet, POINT{(box.left + box.right) / 2, (box.top + box.bottom) / 2});
}

void Stylus(zb::input::Kind kind, POINT at) { zb::input::Deliver({kind, at.x, at.y}); }

std::function<void(HWND)> StepFor(Do what) {
  using zb::input::Kind;
  switch (what) {
    case Do::PressOk: return [](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_OK); };
    case Do::PressCancel: return [](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_CANCEL); };
    case Do::TapTab1Down: return [](HWND sheet) { Stylus(Kind::StylusDown, TabPoint(sheet, 1)); };
    case Do::TapTab1Up: return [](HWND sheet) { Stylus(Kind::StylusUp, TabPoint(sheet, 1)); };
    case Do::TapOkDown: return [](HWND sheet) { Stylus(Kind::StylusDown, OkPoint(sheet)); };
    case Do::TapOkUp: return [](HWND sheet) { Stylus(Kind::StylusUp, OkPoint(sheet)); };
    case Do::Enter: return [](HWND) { dtest::Key(VK_RETURN); };
    case Do::Escape: return [](HWND) { dtest::Key(VK_ESCAPE); };
    case Do::SaveEnter:
      return [](HWND sheet) {
        SetFocus(GetDlgItem(PropSheet_GetCurrentPageHwnd(sheet), IDOK));
        dtest::Key(VK_RETURN);
      };
    case Do::SelectC: return [](HWND sheet) { SendMessageW(sheet, PSM_SETCURSEL, 2, 0); };
    case Do::Current:
      return [](HWND sheet) { Sheet().trace.push_back("current:" + PageName(PropSheet_GetCurrentPageHwnd(sheet))); };
  }
  return nullptr;
}

class PropertySheetTest : public cctest::CommonControlTest {
 protected:
  void SetUp() override {
    CommonControlTest::SetUp();
    Sheet() = Script{};
    a_ = dtest::Template::Dialog(WS_POPUP | WS_CAPTION, 0, 0, 120, 60, u"General", 2);
    a_.Item(ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER, 4, 4, 80, 12, 1100, dtest::kEdit, u"text");
    a_.Item(BS_PUSHBUTTON | WS_TABSTOP, 4, 20, 40, 14, IDOK, dtest::kButton, u"Save");
    b_ = dtest::Template::Dialog(WS_POPUP, 0, 0, 120, 60, u"", 1);
    b_.Item(BS_AUTOCHECKBOX | WS_TABSTOP, 4, 4, 80, 10, 1200, dtest::kButton, u"Loud");
  }

  PROPSHEETPAGEW Page(const char* name, const dtest::Template& t) {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DLGINDIRECT;
    page.pResource = t.get();
    page.pfnDlgProc = PageProc;
    page.lParam = reinterpret_cast<LPARAM>(name);
    return page;
  }

  // Three pages: A from memory titled by its template, B from memory with a title of its own,
  // C from a resource (the extended layout) titled from the string table.
  std::vector<HPROPSHEETPAGE> ThreePages() {
    PROPSHEETPAGEW a = Page("A", a_);
    PROPSHEETPAGEW b = Page("B", b_);
    b.dwFlags |= PSP_USETITLE;
    b.pszTitle = u"Vis";
    PROPSHEETPAGEW c = Page("C", a_);
    c.dwFlags = PSP_USETITLE;
    c.pszTemplate = MAKEINTRESOURCEW(IDD_PAGE_EX);
    c.pszTitle = MAKEINTRESOURCEW(IDS_PAGE_TITLE);
    return {CreatePropertySheetPageW(&a), CreatePropertySheetPageW(&b), CreatePropertySheetPageW(&c)};
  }

  INT_PTR Show(std::vector<HPROPSHEETPAGE> pages, DWORD flags = 0) {
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_USECALLBACK | PSH_NOAPPLYNOW | PSH_MAXIMIZE | flags;
    header.hwndParent = parent_;
    header.pszCaption = u"Options";
    header.nPages = static_cast<UINT>(pages.size());
    header.phpage = pages.data();
    header.pfnCallback = SheetCallback;
    return PropertySheetW(&header);
  }

  dtest::Template a_, b_;
};

struct TraceCase {
  const char* what;
  std::vector<std::pair<std::string, LRESULT>> answers;
  std::vector<Do> script;
  INT_PTR result;
  std::vector<std::string> trace;  // after the start, which every case shares
};

const std::vector<std::string> kStart{"sheet:PRECREATE", "sheet:INITIALIZED", "sheet:GETVERSION", "sheet:GETTITLE",
                                      "A:INIT",          "A:SETACTIVE"};

const TraceCase kTraces[] = {
    {"OK applies every page that has a window; a page never shown has none",
     {},
     {Do::TapTab1Down, Do::TapTab1Up, Do::PressOk},
     1,
     {"A:KILLACTIVE", "B:INIT", "B:SETACTIVE", "B:KILLACTIVE", "A:APPLY", "B:APPLY"}},
    {"a kill-active veto keeps the page when a tab is tapped",
     {{"A:KILLACTIVE", TRUE}},
     {Do::TapTab1Down, Do::TapTab1Up, Do::Current, Do::TapTab1Down, Do::TapTab1Up, Do::Current, Do::PressOk},
     1,
     {"A:KILLACTIVE", "current:A", "A:KILLACTIVE", "B:INIT", "B:SETACTIVE", "current:B", "B:KILLACTIVE", "A:APPLY",
      "B:APPLY"}},
    {"a kill-active veto stops OK before any apply",
     {{"A:KILLACTIVE", TRUE}},
     {Do::PressOk, Do::Current, Do::Enter},
     1,
     {"A:KILLACTIVE", "current:A", "A:KILLACTIVE", "A:APPLY"}},
    {"a query-cancel veto keeps the sheet; the next Cancel resets every page",
     {{"B:QUERYCANCEL", TRUE}},
     {Do::TapTab1Down, Do::TapTab1Up, Do::Escape, Do::Current, Do::PressCancel},
     0,
     {"A:KILLACTIVE", "B:INIT", "B:SETACTIVE", "B:QUERYCANCEL", "current:B", "B:QUERYCANCEL", "A:RESET", "B:RESET"}},
    {"an invalid apply brings its page to the front and keeps the sheet",
     {{"A:APPLY", PSNRET_INVALID}},
     {Do::TapTab1Down, Do::TapTab1Up, Do::PressOk, Do::Current, Do::PressOk},
     1,
     {"A:KILLACTIVE", "B:INIT", "B:SETACTIVE", "B:KILLACTIVE", "A:APPLY", "A:SETACTIVE", "current:A", "A:KILLACTIVE",
      "A:APPLY", "B:APPLY"}},
    {"an invalid apply that keeps the page stops the apply where it is",
     {{"A:APPLY", PSNRET_INVALID_NOCHANGEPAGE}},
     {Do::TapTab1Down, Do::TapTab1Up, Do::PressOk, Do::Current, Do::PressCancel},
     0,
     {"A:KILLACTIVE", "B:INIT", "B:SETACTIVE", "B:KILLACTIVE", "A:APPLY", "current:B", "B:QUERYCANCEL", "A:RESET",
      "B:RESET"}},
    {"a page that refuses to be entered leaves the old page current, told again",
     {{"B:SETACTIVE", -1}},
     {Do::TapTab1Down, Do::TapTab1Up, Do::Current, Do::PressOk},
     1,
     {"A:KILLACTIVE", "B:INIT", "B:SETACTIVE", "A:SETACTIVE", "current:A", "A:KILLACTIVE", "A:APPLY", "B:APPLY"}},
    {"the title strip's ok box is OK",
     {},
     {Do::TapOkDown, Do::TapOkUp},
     1,
     {"A:KILLACTIVE", "A:APPLY"}},
    {"Enter on a page's own button presses that button, in the page",
     {},
     {Do::SaveEnter},
     1,
     {"A:KILLACTIVE", "A:APPLY"}},
    {"PSM_SETCURSEL reaches the resource page",
     {},
     {Do::SelectC, Do::Current, Do::PressOk},
     1,
     {"A:KILLACTIVE", "C:INIT", "C:SETACTIVE", "current:C", "C:KILLACTIVE", "A:APPLY", "C:APPLY"}},
};

TEST_F(PropertySheetTest, NotificationOrder) {
  for (const TraceCase& c : kTraces) {
    SCOPED_TRACE(c.what);
    Sheet() = Script{};
    for (const auto& [key, answer] : c.answers) Sheet().answers[key].push_back(answer);
    for (Do step : c.script) Sheet().steps.push_back(StepFor(step));
    EXPECT_EQ(Show(ThreePages()), c.result);
    std::vector<std::string> expected = kStart;
    expected.insert(expected.end(), c.trace.begin(), c.trace.end());
    EXPECT_EQ(Sheet().trace, expected);
    EXPECT_FALSE(IsWindow(Sheet().sheet));
    EXPECT_TRUE(IsWindowEnabled(parent_)) << "the owner is enabled again";
  }
}

TEST_F(PropertySheetTest, SheetFillsTheWorkAreaWithPagesAboveTheirTabs) {
  Sheet().steps.push_back([this](HWND sheet) {
    RECT work{}, r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(sheet, &r);
    EXPECT_EQ(r.left, work.left);
    EXPECT_EQ(r.top, work.top);
    EXPECT_EQ(r.right, work.right);
    EXPECT_EQ(r.bottom, work.bottom);
    EXPECT_EQ(dtest::TextOf(sheet), u"Zonbrel Settings") << "the callback's title";
    EXPECT_FALSE(IsWindowEnabled(parent_)) << "modal over its owner";
    HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
    ASSERT_TRUE(IsWindowVisible(tabs));
    const char16_t* titles[] = {u"General", u"Vis", u"From table"};
    ASSERT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
    for (int i = 0; i < 3; ++i) {
      char16_t text[64] = {};
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = text;
      item.cchTextMax = 64;
      SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
      EXPECT_EQ(std::u16string(text), titles[i]);
    }
    HWND page = PropSheet_GetCurrentPageHwnd(sheet);
    EXPECT_EQ(GetParent(page), sheet);
    const LONG_PTR style = GetWindowLongW(page, GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_CAPTION | WS_POPUP), WS_CHILD) << "a page is a child without a caption";
    EXPECT_TRUE(GetWindowLongW(page, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    RECT pageRect, tabRect;
    GetWindowRect(page, &pageRect);
    RECT first{};
    SendMessageW(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&first), 2);
    GetWindowRect(tabs, &tabRect);
    EXPECT_GE(pageRect.top, r.top + zb::wm::TitleStripHeight()) << "below the title strip";
    EXPECT_LE(pageRect.bottom, first.top) << "above the tabs";
    ASSERT_FALSE(Sheet().sizedPages.empty());
    EXPECT_EQ(Sheet().sizedPages.back(), page) << "the page was told its size";
    EXPECT_EQ(GetFocus(), GetDlgItem(page, 1100)) << "the page's first tab stop";
    EXPECT_EQ(SendMessageW(sheet, PSM_QUERYSIBLINGS, 1, 2), 0) << "only pages that exist are asked";
  });
  Sheet().steps.push_back([](HWND sheet) {
    SendMessageW(sheet, PSM_SETCURSEL, 1, 0);
    EXPECT_EQ(SendMessageW(sheet, PSM_QUERYSIBLINGS, 1, 2), 77) << "B answers";
    HWND b = PropSheet_GetCurrentPageHwnd(sheet);
    EXPECT_EQ(GetFocus(), GetDlgItem(b, 1200));
    dtest::Key(VK_SPACE);
  });
  Sheet().steps.push_back([](HWND sheet) {
    HWND b = PropSheet_GetCurrentPageHwnd(sheet);
    EXPECT_EQ(SendDlgItemMessageW(b, 1200, BM_GETCHECK, 0, 0), BST_CHECKED) << "keys reach the page's controls";
    SendMessageW(sheet, PSM_SETCURSEL, 0, 0);
    HWND a = PropSheet_GetCurrentPageHwnd(sheet);
    EXPECT_FALSE(IsWindowVisible(b));
    EXPECT_TRUE(IsWindowVisible(a));
    dtest::Tap(GetDlgItem(a, IDOK));  // the page's own button presses the sheet's OK
  });
  EXPECT_EQ(Show(ThreePages()), 1);
}

TEST_F(PropertySheetTest, OnePageHasNoTabsAndItsPageReachesTheBottom) {
  Sheet().steps.push_back([](HWND sheet) {
    HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
    EXPECT_FALSE(IsWindowVisible(tabs));
    RECT client, page;
    GetClientRect(sheet, &client);
    GetWindowRect(PropSheet_GetCurrentPageHwnd(sheet), &page);
    MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&page), 2);
    EXPECT_GE(client.bottom - page.bottom, 0);
    EXPECT_LE(client.bottom - page.bottom, 4) << "nothing under the page but a margin";
    PropSheet_PressButton(sheet, PSBTN_CANCEL);
  });
  PROPSHEETPAGEW a = Page("A", a_);
  EXPECT_EQ(Show({CreatePropertySheetPageW(&a)}), 0);
}

// The page callbacks and the parent's reference count follow the page records: created, made
// into a window, and released with the sheet.
int gReferences = 0;
std::vector<UINT> gPageCalls;

UINT CALLBACK PageCallback(HWND, UINT message, PROPSHEETPAGEW* page) {
  gPageCalls.push_back(message);
  EXPECT_EQ(page->lParam, reinterpret_cast<LPARAM>("A"));
  return 1;
}

TEST_F(PropertySheetTest, PageRecordsFromAnArrayAreCreatedAndReleasedByTheSheet) {
  gPageCalls.clear();
  UINT references = 0;
  PROPSHEETPAGEW pages[2] = {Page("A", a_), Page("B", b_)};
  pages[0].dwFlags |= PSP_USECALLBACK | PSP_USEREFPARENT;
  pages[0].pfnCallback = PageCallback;
  pages[0].pcRefParent = &references;
  Sheet().steps.push_back([&](HWND sheet) {
    EXPECT_EQ(references, 1u) << "a live record holds its reference";
    PropSheet_PressButton(sheet, PSBTN_OK);
  });
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK;
  header.pszCaption = u"Array";
  header.nPages = 2;
  header.ppsp = pages;
  header.pfnCallback = SheetCallback;
  EXPECT_EQ(PropertySheetW(&header), 1);
  EXPECT_EQ(references, 0u);
  EXPECT_EQ(gPageCalls, (std::vector<UINT>{PSPCB_CREATE, PSPCB_RELEASE}));
}

TEST_F(PropertySheetTest, RecordsAreCheckedAndPagesComeAndGo) {
  PROPSHEETPAGEW small = Page("A", a_);
  small.dwSize = 8;
  EXPECT_EQ(CreatePropertySheetPageW(&small), nullptr);
  EXPECT_FALSE(DestroyPropertySheetPage(nullptr));
  PROPSHEETPAGEW b = Page("B", b_);
  HPROPSHEETPAGE extra = CreatePropertySheetPageW(&b);
  Sheet().steps.push_back([&](HWND sheet) {
    HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
    EXPECT_FALSE(IsWindowVisible(tabs));
    EXPECT_TRUE(SendMessageW(sheet, PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(extra)));
    EXPECT_TRUE(IsWindowVisible(tabs)) << "a second page brings the tabs";
    EXPECT_TRUE(SendMessageW(sheet, PSM_SETCURSEL, 0, reinterpret_cast<LPARAM>(extra)));
    SendMessageW(sheet, PSM_REMOVEPAGE, 1, 0);
    EXPECT_EQ(PageName(PropSheet_GetCurrentPageHwnd(sheet)), "A") << "the removed page's neighbour is current";
    EXPECT_FALSE(IsWindowVisible(tabs));
    PropSheet_PressButton(sheet, PSBTN_OK);
  });
  PROPSHEETPAGEW a = Page("A", a_);
  EXPECT_EQ(Show({CreatePropertySheetPageW(&a)}), 1);
  const std::vector<std::string> expected{"sheet:PRECREATE", "sheet:INITIALIZED", "sheet:GETVERSION", "sheet:GETTITLE",
                                          "A:INIT",          "A:SETACTIVE",       "A:KILLACTIVE",     "B:INIT",
                                          "B:SETACTIVE",     "A:SETACTIVE",       "A:KILLACTIVE",     "A:APPLY"};
  EXPECT_EQ(Sheet().trace, expected);
  EXPECT_FALSE(DestroyPropertySheetPage(extra)) << "the removed page was destroyed with its window";
}

}  // namespace
