// The common controls as the device shows them: one dialog with a report list view (header with
// a sort arrow, check boxes, full-row selection), a tree view with buttons and lines, a track
// bar, an up-down with its buddy, a progress bar and a tab control, drawn headless and compared
// with the golden rendering kept in tests/golden.
#include "cc_support.h"
#include "gwes/ctl_common.h"
#include "gwes/tests/golden_support.h"

namespace {

constexpr uint16_t kList = 200, kTree = 201, kTrack = 202, kBuddy = 203, kSpin = 204, kProgress = 205, kTabs = 206;

dtest::Template CommonControls() {
  using dtest::Template;
  Template t = Template::Dialog(WS_POPUP, 0, 0, 120, 180, u"Common", 7);
  t.Item(LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 2, 2, 116, 54, kList, 0, u"", WC_LISTVIEWW);
  t.Item(TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 2, 60, 116, 48,
         kTree, 0, u"", WC_TREEVIEWW);
  t.Item(TBS_AUTOTICKS | WS_TABSTOP, 2, 110, 78, 20, kTrack, 0, u"", TRACKBAR_CLASSW);
  t.Item(ES_NUMBER | WS_BORDER | WS_TABSTOP, 84, 114, 30, 12, kBuddy, dtest::kEdit, u"");
  t.Item(UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS, 0, 0, 0, 0, kSpin, 0, u"", UPDOWN_CLASSW);
  t.Item(0, 2, 132, 116, 8, kProgress, 0, u"", PROGRESS_CLASSW);
  t.Item(WS_TABSTOP, 2, 144, 116, 32, kTabs, 0, u"", WC_TABCONTROLW);
  return t;
}

INT_PTR CALLBACK QuietProc(HWND, UINT m, WPARAM, LPARAM) { return m == WM_INITDIALOG; }

// The sort arrow of a heading: a small image list with one upward triangle.
HIMAGELIST SortArrows() {
  const int size = 8;
  HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR16 | ILC_MASK, 1, 0);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  HGDIOBJ old = SelectObject(dc, bitmap);
  zb::wm::Fill(dc, RECT{0, 0, size, size}, RGB(255, 0, 255));
  zb::wm::Arrow(dc, RECT{0, 0, size, size}, true, RGB(0, 0, 0));
  SelectObject(dc, old);
  ImageList_AddMasked(list, bitmap, RGB(255, 0, 255));
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return list;
}

void FillList(HWND list) {
  ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  const char16_t* headings[] = {u"Title", u"Artist", u"Time"};
  const int widths[] = {76, 62, 38};
  for (int c = 0; c < 3; ++c) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = c == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT;
    column.cx = widths[c];
    column.pszText = const_cast<LPWSTR>(headings[c]);
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
  }
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  SendMessageW(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(SortArrows()));
  HDITEMW heading{};
  heading.mask = HDI_FORMAT | HDI_IMAGE;
  heading.fmt = HDF_LEFT | HDF_STRING | HDF_IMAGE | HDF_BITMAP_ON_RIGHT;
  heading.iImage = 0;
  SendMessageW(header, HDM_SETITEMW, 0, reinterpret_cast<LPARAM>(&heading));
  const char16_t* rows[][3] = {{u"Intro", u"Kestrane", u"1:05"},
                               {u"Night Drive", u"Kestrane", u"4:32"},
                               {u"Harbour", u"The Lanes", u"3:18"},
                               {u"Last Light", u"Orbit", u"5:01"}};
  for (int r = 0; r < 4; ++r) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = r;
    item.pszText = const_cast<LPWSTR>(rows[r][0]);
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    for (int c = 1; c < 3; ++c) {
      item.iSubItem = c;
      item.pszText = const_cast<LPWSTR>(rows[r][c]);
      SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&item));
    }
  }
  ListView_SetCheckState(list, 0, TRUE);
  ListView_SetCheckState(list, 1, TRUE);
  ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

HTREEITEM Insert(HWND tree, HTREEITEM parent, const char16_t* text) {
  TVINSERTSTRUCTW in{};
  in.hParent = parent;
  in.hInsertAfter = TVI_LAST;
  in.item.mask = TVIF_TEXT;
  in.item.pszText = const_cast<LPWSTR>(text);
  return TreeView_InsertItem(tree, &in);
}

void FillTree(HWND tree) {
  HTREEITEM music = Insert(tree, TVI_ROOT, u"Music");
  Insert(tree, music, u"Albums");
  HTREEITEM artists = Insert(tree, music, u"Artists");
  Insert(tree, artists, u"Kestrane");
  Insert(tree, music, u"Playlists");
  Insert(tree, TVI_ROOT, u"Storage Card");
  TreeView_Expand(tree, music, TVE_EXPAND);
  TreeView_SelectItem(tree, artists);
}

using GoldenCommonTest = cctest::CommonControlTest;

TEST_F(GoldenCommonTest, CommonControls) {
  const dtest::Template t = CommonControls();
  HWND dialog = CreateDialogIndirectParamW(nullptr, t.get(), nullptr, QuietProc, 0);
  ASSERT_NE(dialog, nullptr);
  SetWindowPos(dialog, HWND_TOP, 0, 26, 240, 294, SWP_SHOWWINDOW);
  FillList(GetDlgItem(dialog, kList));
  FillTree(GetDlgItem(dialog, kTree));
  HWND track = GetDlgItem(dialog, kTrack);
  SendMessageW(track, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
  SendMessageW(track, TBM_SETPOS, TRUE, 4);
  HWND spin = GetDlgItem(dialog, kSpin);
  SendMessageW(spin, UDM_SETRANGE32, 0, 99);
  SendMessageW(spin, UDM_SETPOS32, 0, 42);
  SendDlgItemMessageW(dialog, kProgress, PBM_SETPOS, 60, 0);
  HWND tabs = GetDlgItem(dialog, kTabs);
  for (const char16_t* name : {u"General", u"Library", u"Skins"}) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPWSTR>(name);
    SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)),
                 reinterpret_cast<LPARAM>(&item));
  }
  SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
  SetFocus(GetDlgItem(dialog, kList));
  wtest::Pump();
  EXPECT_TRUE(golden::ScreenMatches(std::filesystem::path(GOLDEN_DIR) / "common_controls.png",
                                    std::filesystem::path(GOLDEN_SEEN_DIR) / "common_controls.png"));
  DestroyWindow(dialog);
}

}  // namespace
