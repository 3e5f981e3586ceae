// The list view, driven by messages and by the stylus and keys: items, sub-items and callback
// texts; states with LVN_ITEMCHANGING (which may refuse) and LVN_ITEMCHANGED; check boxes;
// sorting and finding; rows, hit tests and scrolling by whole rows; taps, activation, drags,
// keys, headings and the hold gesture; owner-drawn rows and custom draw.
#include "cc_support.h"
#include "gwes/gdi_host.h"

namespace {

using namespace cctest;
using ctest::Notes;

class ListViewTest : public CommonControlTest {
 protected:
  HWND MakeList(DWORD style = LVS_REPORT | LVS_SHOWSELALWAYS, RECT r = {10, 10, 230, 190}) {
    HWND list = Make(WC_LISTVIEWW, style, r, 1002);
    EXPECT_NE(list, nullptr);
    return list;
  }
  void Column(HWND list, int index, const char16_t* text, int width) {
    LVCOLUMNW c{LVCF_TEXT | LVCF_WIDTH, 0, width, const_cast<LPWSTR>(text), 0, 0, 0, 0};
    ASSERT_EQ(SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&c)), index);
  }
  int Add(HWND list, const char16_t* text, LPARAM param, int at = 0x7FFF) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = at;
    item.pszText = const_cast<LPWSTR>(text);
    item.lParam = param;
    return static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  }
  std::u16string Text(HWND list, int item, int sub = 0) {
    char16_t text[64] = {};
    LVITEMW get{};
    get.iSubItem = sub;
    get.pszText = text;
    get.cchTextMax = 64;
    SendMessageW(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&get));
    return text;
  }
  void SetState(HWND list, int item, UINT state, UINT mask) {
    LVITEMW s{};
    s.state = state;
    s.stateMask = mask;
    SendMessageW(list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&s));
  }
  POINT RowPoint(HWND list, int item) {
    RECT r{LVIR_LABEL, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&r));
    return POINT{r.left + 4, (r.top + r.bottom) / 2};
  }
};

TEST_F(ListViewTest, ItemsSubItemsAndCallbackTexts) {
  HWND list = MakeList();
  Column(list, 0, u"Name", 120);
  Column(list, 1, u"Size", 60);
  EXPECT_EQ(Add(list, u"b.mp3", 2), 0);
  EXPECT_EQ(Add(list, u"a.mp3", 1, 0), 0) << "inserted at the front";
  EXPECT_EQ(Add(list, LPSTR_TEXTCALLBACKW, 3), 2);
  LVITEMW sub{};
  sub.iSubItem = 1;
  sub.pszText = const_cast<LPWSTR>(u"4K");
  SendMessageW(list, LVM_SETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&sub));
  Answer() = [](NMHDR* h) -> LRESULT {
    if (h->code != LVN_GETDISPINFOW) return 0;
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(h);
    if (info->item.mask & LVIF_TEXT) lstrcpynW(info->item.pszText, info->item.iSubItem ? u"cb-size" : u"cb-name", info->item.cchTextMax);
    return 0;
  };
  EXPECT_EQ(Text(list, 0), u"a.mp3");
  EXPECT_EQ(Text(list, 0, 1), u"4K");
  EXPECT_EQ(Text(list, 1), u"b.mp3");
  EXPECT_EQ(Text(list, 2), u"cb-name") << "asked of the parent";
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);
  LVITEMW get{};
  get.mask = LVIF_PARAM;
  get.iItem = 1;
  ASSERT_TRUE(SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&get)));
  EXPECT_EQ(get.lParam, 2);
  get.iItem = 9;
  EXPECT_FALSE(SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&get)));
  // Deleting tells the parent of each item, unless it asks not to be told.
  Log().clear();
  EXPECT_TRUE(SendMessageW(list, LVM_DELETEITEM, 0, 0));
  EXPECT_EQ(Only(LVN_DELETEITEM).size(), 1u);
  Answer() = [](NMHDR* h) -> LRESULT { return h->code == LVN_DELETEALLITEMS; };
  Log().clear();
  EXPECT_TRUE(SendMessageW(list, LVM_DELETEALLITEMS, 0, 0));
  EXPECT_EQ(NotifyCodes(), std::vector<UINT>{LVN_DELETEALLITEMS});
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(ListViewTest, StateChangesAreAskedThenToldAndMayBeRefused) {
  HWND list = MakeList(LVS_REPORT | LVS_SINGLESEL);
  Column(list, 0, u"Name", 200);
  for (int i = 0; i < 4; ++i) Add(list, u"item", i * 10);
  Log().clear();
  SetState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  SetState(list, 2, LVIS_SELECTED, LVIS_SELECTED);
  // The second selection takes the first away in a single-selection list.
  const std::vector<UINT> codes{LVN_ITEMCHANGING, LVN_ITEMCHANGED, LVN_ITEMCHANGING, LVN_ITEMCHANGING, LVN_ITEMCHANGED,
                                LVN_ITEMCHANGED};
  EXPECT_EQ(NotifyCodes(), codes);
  const auto changed = Only(LVN_ITEMCHANGED);
  ASSERT_EQ(changed.size(), 3u);
  EXPECT_EQ(changed[0].item, 1);
  EXPECT_EQ(changed[0].newState, static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));
  EXPECT_EQ(changed[1].item, 1);
  EXPECT_EQ(changed[1].oldState, static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));
  EXPECT_EQ(changed[1].newState, static_cast<UINT>(LVIS_FOCUSED));
  EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 2);
  EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 1);
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, 2, LVIS_SELECTED), LVIS_SELECTED);
  // A parent that answers TRUE keeps the item as it is.
  Answer() = [](NMHDR* h) -> LRESULT { return h->code == LVN_ITEMCHANGING; };
  SetState(list, 3, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, 3, LVIS_SELECTED), 0);
  Answer() = nullptr;
  HWND multi = MakeList(LVS_REPORT, {10, 200, 230, 300});
  Column(multi, 0, u"Name", 200);
  for (int i = 0; i < 3; ++i) Add(multi, u"item", i);
  SetState(multi, -1, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(SendMessageW(multi, LVM_GETSELECTEDCOUNT, 0, 0), 3) << "-1 is every item";
}

TEST_F(ListViewTest, CheckBoxesFlipByTapAndBySpace) {
  HWND list = MakeList();
  ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  Column(list, 0, u"Module", 200);
  Add(list, u"Bass Boost", 0);
  Add(list, u"Echo", 1);
  EXPECT_EQ(ListView_GetCheckState(list, 0), 0u) << "unchecked to start";
  wtest::Pump();
  RECT label{LVIR_LABEL, 0, 0, 0};
  SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&label));
  LVHITTESTINFO hit{{label.left - 8, (label.top + label.bottom) / 2}, 0, -1, 0};
  EXPECT_EQ(SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 1);
  EXPECT_EQ(hit.flags, static_cast<UINT>(LVHT_ONITEMSTATEICON));
  TapAt(list, hit.pt);
  EXPECT_EQ(ListView_GetCheckState(list, 1), 1u);
  EXPECT_EQ(ListView_GetCheckState(list, 0), 0u);
  dtest::Key(VK_SPACE);
  wtest::Pump();
  EXPECT_EQ(ListView_GetCheckState(list, 1), 0u) << "space flips the focused item's check";
  ListView_SetCheckState(list, 0, TRUE);
  EXPECT_EQ(ListView_GetCheckState(list, 0), 1u);
}

int CALLBACK ByParamDescending(LPARAM a, LPARAM b, LPARAM) { return static_cast<int>(b - a); }

TEST_F(ListViewTest, SortingKeepsStatesAndFindingFollowsThePlatform) {
  HWND list = MakeList();
  Column(list, 0, u"Name", 200);
  const char16_t* names[] = {u"Rock", u"Jazz", u"Pop", u"Blues"};
  for (int i = 0; i < 4; ++i) Add(list, names[i], i);
  SetState(list, 2, LVIS_SELECTED, LVIS_SELECTED);  // "Pop"
  ASSERT_TRUE(SendMessageW(list, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(ByParamDescending)));
  EXPECT_EQ(Text(list, 0), u"Blues");
  EXPECT_EQ(Text(list, 3), u"Rock");
  EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1) << "the selection moved with Pop";
  struct Case {
    UINT flags;
    const char16_t* text;
    LPARAM param;
    int start;
    int found;
  };
  const Case cases[] = {
      {LVFI_STRING, u"jazz", 0, -1, 2},
      {LVFI_STRING, u"ja", 0, -1, -1},
      {LVFI_PARTIAL | LVFI_STRING, u"ja", 0, -1, 2},
      {LVFI_PARTIAL | LVFI_STRING, u"r", 0, 2, 3},
      {LVFI_PARTIAL | LVFI_STRING, u"b", 0, 2, -1},
      {LVFI_PARTIAL | LVFI_STRING | LVFI_WRAP, u"b", 0, 2, 0},
      {LVFI_PARAM, nullptr, 0, -1, 3},
  };
  for (const Case& c : cases) {
    LVFINDINFOW find{c.flags, c.text, c.param, {0, 0}, 0};
    EXPECT_EQ(SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(c.start), reinterpret_cast<LPARAM>(&find)), c.found)
        << c.flags << " " << c.start;
  }
}

TEST_F(ListViewTest, RowsHitTestsAndWholeRowScrolling) {
  HWND list = MakeList(LVS_REPORT | LVS_NOCOLUMNHEADER, {10, 10, 230, 110});
  Column(list, 0, u"Name", 200);
  for (int i = 0; i < 30; ++i) Add(list, u"Track", i);
  const LRESULT page = SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0);
  EXPECT_GT(page, 2);
  EXPECT_LT(page, 30);
  EXPECT_TRUE(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL) << "the bar comes when the rows do not fit";
  RECT first{LVIR_BOUNDS, 0, 0, 0}, second{LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
  const int rowHeight = second.top - first.top;
  ASSERT_GT(rowHeight, 0);
  POINT at{};
  SendMessageW(list, LVM_GETITEMPOSITION, 1, reinterpret_cast<LPARAM>(&at));
  EXPECT_EQ(at.y, second.top);
  // Scrolling goes by whole rows: a pixel count is rounded to the nearest row.
  SendMessageW(list, LVM_SCROLL, 0, rowHeight * 3);
  EXPECT_EQ(SendMessageW(list, LVM_GETTOPINDEX, 0, 0), 3);
  SendMessageW(list, LVM_SCROLL, 0, rowHeight / 2 + 1);
  EXPECT_EQ(SendMessageW(list, LVM_GETTOPINDEX, 0, 0), 4);
  SendMessageW(list, LVM_SCROLL, 0, -rowHeight * 100);
  EXPECT_EQ(SendMessageW(list, LVM_GETTOPINDEX, 0, 0), 0);
  SendMessageW(list, LVM_ENSUREVISIBLE, 20, FALSE);
  const LRESULT top = SendMessageW(list, LVM_GETTOPINDEX, 0, 0);
  EXPECT_EQ(top, 20 - page + 1);
  SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &info));
  EXPECT_EQ(info.nPos, top);
  EXPECT_EQ(info.nMax, 29);
  RECT row{LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(list, LVM_GETITEMRECT, 21, reinterpret_cast<LPARAM>(&row));
  LVHITTESTINFO hit{{row.left + 5, row.top + 1}, 0, -1, 0};
  EXPECT_EQ(SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 21);
  EXPECT_EQ(hit.flags, static_cast<UINT>(LVHT_ONITEMLABEL));
  LVHITTESTINFO below{{5, 500}, 0, -1, 0};
  EXPECT_EQ(SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&below)), -1);
  EXPECT_EQ(below.flags, static_cast<UINT>(LVHT_BELOW));
}

TEST_F(ListViewTest, TapsKeysAndDragsAreTold) {
  HWND list = MakeList();
  Column(list, 0, u"Name", 200);
  for (int i = 0; i < 5; ++i) Add(list, u"Song", i);
  wtest::Pump();
  Log().clear();
  TapAt(list, RowPoint(list, 2));
  EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 2);
  auto clicks = Only(NM_CLICK);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].item, 2);
  // Keys are offered first, then move the selection; Enter activates.
  Log().clear();
  dtest::Key(VK_DOWN);
  dtest::Key(VK_RETURN);
  wtest::Pump();
  EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 3);
  const auto keys = Only(LVN_KEYDOWN);
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].item, VK_DOWN);
  const std::vector<UINT> all = NotifyCodes();
  EXPECT_EQ(all.front(), LVN_KEYDOWN) << "the key is offered before the selection moves";
  const auto activated = Only(LVN_ITEMACTIVATE);
  ASSERT_EQ(activated.size(), 1u);
  EXPECT_EQ(activated[0].item, 3);
  EXPECT_EQ(Only(NM_RETURN).size(), 1u);
  // A double tap activates.
  Log().clear();
  POINT p = RowPoint(list, 1);
  ClientToScreen(list, &p);
  SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(RowPoint(list, 1).x, RowPoint(list, 1).y));
  ASSERT_EQ(Only(LVN_ITEMACTIVATE).size(), 1u);
  EXPECT_EQ(Only(LVN_ITEMACTIVATE)[0].item, 1);
  // A press that moves starts a drag, and clicks nothing.
  Log().clear();
  Drag(list, RowPoint(list, 0), POINT{RowPoint(list, 0).x, RowPoint(list, 3).y});
  const auto drags = Only(LVN_BEGINDRAG);
  ASSERT_EQ(drags.size(), 1u);
  EXPECT_EQ(drags[0].item, 0);
  EXPECT_TRUE(Only(NM_CLICK).empty());
}

TEST_F(ListViewTest, HeadingTapTellsTheColumnAndShowsItsSortArrow) {
  HWND list = MakeList();
  Column(list, 0, u"Name", 110);
  Column(list, 1, u"Size", 90);
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 2);
  wtest::Pump();
  Log().clear();
  RECT size;
  SendMessageW(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&size));
  TapAt(header, POINT{(size.left + size.right) / 2, (size.top + size.bottom) / 2});
  const auto clicks = Only(LVN_COLUMNCLICK);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].item, 1);
  // An image on the heading, right of its text, as the sort arrows are shown.
  HIMAGELIST arrows = ImageList_Create(8, 8, ILC_COLOR16, 1, 0);
  HDC screen = GetDC(nullptr);
  HBITMAP red = CreateCompatibleBitmap(screen, 8, 8);
  ReleaseDC(nullptr, screen);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, red);
  RECT all{0, 0, 8, 8};
  HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(dc, &all, brush);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(brush);
  ImageList_Add(arrows, red, nullptr);
  DeleteObject(red);
  SendMessageW(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(arrows));
  HDITEMW item{};
  item.mask = HDI_FORMAT | HDI_IMAGE;
  item.fmt = HDF_STRING | HDF_IMAGE | HDF_BITMAP_ON_RIGHT;
  item.iImage = 0;
  SendMessageW(header, HDM_SETITEMW, 1, reinterpret_cast<LPARAM>(&item));
  wtest::Pump();
  RECT onScreen;
  GetWindowRect(header, &onScreen);
  int redLeft = -1;
  for (int x = onScreen.left + size.left; x < onScreen.left + size.right && redLeft < 0; ++x)
    if (zb::gdi::ScreenPixel(x, onScreen.top + (size.top + size.bottom) / 2) == RGB(255, 0, 0)) redLeft = x;
  ASSERT_GE(redLeft, 0) << "the image is drawn";
  EXPECT_GT(redLeft - (onScreen.left + size.left), 20) << "after the text";
  ImageList_Destroy(arrows);
}

TEST_F(ListViewTest, OwnerDrawnRowsAreMeasuredOnceAndDrawnByTheParent) {
  HWND list = MakeList(LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS);
  EXPECT_EQ(Only(WM_MEASUREITEM).size(), 1u) << "the row height is asked at creation";
  Column(list, 0, u"", 200);
  for (int i = 0; i < 3; ++i) Add(list, u"Row", 100 + i);
  RECT first{LVIR_BOUNDS, 0, 0, 0}, second{LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
  EXPECT_EQ(second.top - first.top, 30) << "the parent's height";
  SetState(list, 1, LVIS_SELECTED, LVIS_SELECTED);
  Log().clear();
  InvalidateRect(list, nullptr, TRUE);
  wtest::Pump();
  const auto drawn = Only(WM_DRAWITEM);
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_EQ(drawn[1].item, 1);
  EXPECT_TRUE(drawn[1].newState & ODS_SELECTED);
  EXPECT_FALSE(drawn[0].newState & ODS_SELECTED);
  EXPECT_EQ(drawn[2].spec, 102u) << "itemData is the item's lParam";
  EXPECT_TRUE(Only(NM_CUSTOMDRAW).empty()) << "owner-drawn lists take no custom draw";
}

TEST_F(ListViewTest, CustomDrawAsksPerRowAndCellAndTakesTheParentsColours) {
  HWND list = MakeList(LVS_REPORT | LVS_NOCOLUMNHEADER);
  Column(list, 0, u"", 110);
  Column(list, 1, u"", 100);
  for (int i = 0; i < 2; ++i) Add(list, u"MMMMMM", i);
  Answer() = [](NMHDR* h) -> LRESULT {
    if (h->code != NM_CUSTOMDRAW) return 0;
    auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(h);
    switch (cd->nmcd.dwDrawStage) {
      case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
      case CDDS_ITEMPREPAINT:
        if (cd->nmcd.dwItemSpec == 1) return CDRF_SKIPDEFAULT;
        return CDRF_NOTIFYSUBITEMDRAW;
      case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        cd->clrTextBk = RGB(0, 255, 0);
        return CDRF_DODEFAULT;
      default: return CDRF_DODEFAULT;
    }
  };
  Log().clear();
  InvalidateRect(list, nullptr, TRUE);
  wtest::Pump();
  std::vector<std::pair<int, DWORD_PTR>> stages;
  for (const Heard& h : Only(NM_CUSTOMDRAW)) stages.push_back({h.item, h.spec});
  const std::vector<std::pair<int, DWORD_PTR>> expected{
      {CDDS_PREPAINT, 0}, {CDDS_ITEMPREPAINT, 0}, {CDDS_ITEMPREPAINT | CDDS_SUBITEM, 0},
      {CDDS_ITEMPREPAINT | CDDS_SUBITEM, 0}, {CDDS_ITEMPREPAINT, 1}, {CDDS_POSTPAINT, 0}};
  EXPECT_EQ(stages, expected);
  RECT row{LVIR_BOUNDS, 0, 0, 0}, skipped{LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&skipped));
  RECT on;
  GetWindowRect(list, &on);
  EXPECT_EQ(zb::gdi::ScreenPixel(on.left + 150, on.top + (row.top + row.bottom) / 2), RGB(0, 255, 0)) << "the cell's colour";
  EXPECT_EQ(zb::gdi::ScreenPixel(on.left + 150, on.top + (skipped.top + skipped.bottom) / 2), RGB(255, 255, 255))
      << "a skipped row is left to the parent";
}

TEST_F(ListViewTest, HoldingARowIsTheContextGesture) {
  HWND list = MakeList();
  Column(list, 0, u"Name", 200);
  for (int i = 0; i < 3; ++i) Add(list, u"Song", i);
  wtest::Pump();
  Log().clear();
  POINT p = RowPoint(list, 1);
  POINT screen = p;
  ClientToScreen(list, &screen);
  zb::input::Deliver({zb::input::Kind::StylusDown, screen.x, screen.y});
  ASSERT_TRUE(PumpUntil([] { return !Only(GN_CONTEXTMENU).empty(); }));
  zb::input::Deliver({zb::input::Kind::StylusUp, screen.x, screen.y});
  wtest::Pump();
  const auto gestures = Only(GN_CONTEXTMENU);
  ASSERT_EQ(gestures.size(), 1u);
  EXPECT_EQ(gestures[0].spec, 1u);
  EXPECT_EQ(gestures[0].at.x, screen.x) << "the point is on the screen";
  EXPECT_EQ(Only(NM_RECOGNIZEGESTURE).size(), 1u) << "the parent is asked first";
  EXPECT_TRUE(Only(NM_CLICK).empty()) << "the release after the gesture clicks nothing";
}

}  // namespace
