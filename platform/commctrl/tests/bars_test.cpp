// The small common controls, by messages and by the stylus and keys: the track bar's range,
// page and line sizes and the scroll codes it sends; the up-down's steps through a buddy edit or
// list box, wrapping and refusals; the progress bar's range, steps and drawing; the tab
// control's TCM_ADJUSTRECT and tab choice; the toolbar's buttons as the soft-key bar uses them.
#include "cc_support.h"
#include "gwes/gdi_host.h"

namespace {

using namespace cctest;
using ctest::Notes;

using BarsTest = CommonControlTest;

std::vector<std::pair<int, int>> Scrolls() {
  std::vector<std::pair<int, int>> out;  // (code, position)
  for (const Heard& h : Log())
    if (h.code == WM_HSCROLL || h.code == WM_VSCROLL) out.push_back({static_cast<int>(h.oldState), h.item});
  return out;
}

TEST_F(BarsTest, TrackBarKeepsItsRangeAndTellsEveryMove) {
  HWND bar = Make(TRACKBAR_CLASSW, TBS_AUTOTICKS, {10, 10, 210, 40}, 1003);
  SendMessageW(bar, TBM_SETRANGE, TRUE, MAKELPARAM(-180, 180));
  EXPECT_EQ(SendMessageW(bar, TBM_GETRANGEMIN, 0, 0), -180);
  EXPECT_EQ(SendMessageW(bar, TBM_GETRANGEMAX, 0, 0), 180);
  EXPECT_EQ(SendMessageW(bar, TBM_SETPAGESIZE, 0, 60), 72) << "the page starts as a fifth of the range";
  EXPECT_EQ(SendMessageW(bar, TBM_SETLINESIZE, 0, 5), 1);
  SendMessageW(bar, TBM_SETPOS, TRUE, 500);
  EXPECT_EQ(SendMessageW(bar, TBM_GETPOS, 0, 0), 180) << "kept inside the range";
  SendMessageW(bar, TBM_SETPOS, TRUE, 0);
  SendMessageW(bar, TBM_CLEARTICS, TRUE, 0);
  EXPECT_TRUE(SendMessageW(bar, TBM_SETTIC, 0, 90));
  EXPECT_FALSE(SendMessageW(bar, TBM_SETTIC, 0, 400));
  EXPECT_EQ(SendMessageW(bar, TBM_GETTIC, 0, 0), 90);
  SetFocus(bar);
  wtest::Pump();
  Log().clear();
  dtest::Key(VK_RIGHT);
  dtest::Key(VK_NEXT);
  wtest::Pump();
  EXPECT_EQ(SendMessageW(bar, TBM_GETPOS, 0, 0), 65);
  const std::vector<std::pair<int, int>> keys{{TB_LINEDOWN, 0}, {TB_ENDTRACK, 0}, {TB_PAGEDOWN, 0}, {TB_ENDTRACK, 0}};
  EXPECT_EQ(Scrolls(), keys);
  for (const Heard& h : Log()) {
    if (h.code == WM_HSCROLL) {
      EXPECT_EQ(reinterpret_cast<HWND>(h.spec), bar) << "lParam is the track bar";
    }
  }
  // Dragging the thumb tracks it and ends where it is let go.
  RECT thumb;
  SendMessageW(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  RECT channel;
  SendMessageW(bar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
  Log().clear();
  const int y = (thumb.top + thumb.bottom) / 2;
  Drag(bar, POINT{(thumb.left + thumb.right) / 2, y}, POINT{channel.right + 20, y});
  const auto moves = Scrolls();
  ASSERT_GE(moves.size(), 3u);
  EXPECT_EQ(moves[moves.size() - 3], std::make_pair(static_cast<int>(TB_THUMBTRACK), 180));
  EXPECT_EQ(moves[moves.size() - 2], std::make_pair(static_cast<int>(TB_THUMBPOSITION), 180));
  EXPECT_EQ(moves.back().first, TB_ENDTRACK);
  // A tap on the channel moves a page toward it.
  Log().clear();
  TapAt(bar, POINT{channel.left + 1, y});
  EXPECT_EQ(SendMessageW(bar, TBM_GETPOS, 0, 0), 120);
  EXPECT_EQ(Scrolls().front().first, TB_PAGEUP);
}

TEST_F(BarsTest, VerticalTrackBarSendsVerticalScrollsAndCustomDrawParts) {
  HWND bar = Make(TRACKBAR_CLASSW, TBS_VERT | TBS_NOTICKS, {10, 10, 40, 210}, 1002);
  SendMessageW(bar, TBM_SETRANGE, TRUE, 0xA0000);
  Answer() = [](NMHDR* h) -> LRESULT {
    if (h->code != NM_CUSTOMDRAW) return 0;
    auto* cd = reinterpret_cast<NMCUSTOMDRAW*>(h);
    if (cd->dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (cd->dwDrawStage == CDDS_ITEMPREPAINT && cd->dwItemSpec == TBCD_THUMB && (cd->uItemState & CDIS_FOCUS))
      return CDRF_NOTIFYPOSTPAINT;
    if (cd->dwDrawStage == CDDS_ITEMPOSTPAINT) FillRect(cd->hdc, &cd->rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return CDRF_DODEFAULT;
  };
  SetFocus(bar);
  wtest::Pump();
  std::vector<std::pair<int, DWORD_PTR>> stages;
  for (const Heard& h : Only(NM_CUSTOMDRAW)) stages.push_back({h.item, h.spec});
  const std::vector<std::pair<int, DWORD_PTR>> expected{{CDDS_PREPAINT, 0},
                                                        {CDDS_ITEMPREPAINT, TBCD_TICS},
                                                        {CDDS_ITEMPREPAINT, TBCD_CHANNEL},
                                                        {CDDS_ITEMPREPAINT, TBCD_THUMB},
                                                        {CDDS_ITEMPOSTPAINT, TBCD_THUMB}};
  ASSERT_GE(stages.size(), expected.size());
  const std::vector<std::pair<int, DWORD_PTR>> last(stages.end() - 5, stages.end());
  EXPECT_EQ(last, expected);
  RECT thumb;
  SendMessageW(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  POINT middle{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
  ClientToScreen(bar, &middle);
  EXPECT_EQ(zb::gdi::ScreenPixel(middle.x, middle.y), RGB(0, 0, 0)) << "the parent painted the focused thumb";
  Log().clear();
  dtest::Key(VK_DOWN);
  wtest::Pump();
  ASSERT_FALSE(Only(WM_VSCROLL).empty());
  EXPECT_EQ(Only(WM_VSCROLL).front().oldState, static_cast<UINT>(TB_LINEDOWN));
  EXPECT_EQ(SendMessageW(bar, TBM_GETPOS, 0, 0), 1);
}

TEST_F(BarsTest, UpDownStepsItsBuddyWrapsAndMayBeRefused) {
  HWND edit = Make(u"EDIT", WS_BORDER, {10, 10, 110, 30}, 1);
  HWND spin = Make(UPDOWN_CLASSW, UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_WRAP | UDS_ARROWKEYS, {0, 0, 16, 20}, 2);
  SendMessageW(spin, UDM_SETRANGE32, 0, 3);
  EXPECT_EQ(SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0), 0);
  RECT e, s;
  GetWindowRect(edit, &e);
  GetWindowRect(spin, &s);
  EXPECT_EQ(s.right, 110) << "the up-down sits at the buddy's right edge";
  EXPECT_EQ(e.right, s.left) << "and the buddy gave up the width";
  EXPECT_EQ(SendMessageW(spin, UDM_SETPOS32, 0, 2), 0);
  EXPECT_EQ(dtest::TextOf(edit), u"2");
  Log().clear();
  TapAt(spin, POINT{5, 2});  // the upper half
  EXPECT_EQ(dtest::TextOf(edit), u"3");
  TapAt(spin, POINT{5, 2});
  EXPECT_EQ(dtest::TextOf(edit), u"0") << "wraps past the top";
  EXPECT_EQ(Only(UDN_DELTAPOS).size(), 2u);
  const auto scrolls = Scrolls();
  ASSERT_FALSE(scrolls.empty());
  EXPECT_EQ(scrolls.front(), std::make_pair(static_cast<int>(SB_THUMBPOSITION), 3));
  // Arrow keys in the buddy step it; the parent may refuse a step.
  SetFocus(edit);
  dtest::Key(VK_DOWN);
  wtest::Pump();
  EXPECT_EQ(dtest::TextOf(edit), u"3");
  Answer() = [](NMHDR* h) -> LRESULT { return h->code == UDN_DELTAPOS; };
  dtest::Key(VK_DOWN);
  wtest::Pump();
  EXPECT_EQ(dtest::TextOf(edit), u"3");
  EXPECT_EQ(SendMessageW(spin, UDM_GETPOS32, 0, 0), 3);
  SetWindowTextW(edit, u"1");
  EXPECT_EQ(SendMessageW(spin, UDM_GETPOS, 0, 0), 1) << "read back from the buddy";
}

TEST_F(BarsTest, UpDownOverAListBoxMovesItsSelection) {
  HWND list = Make(u"LISTBOX", 0, {10, 10, 110, 30}, 1);
  for (const char16_t* t : {u"Low", u"Medium", u"High"}) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
  SendMessageW(list, LB_SETCURSEL, 0, 0);
  HWND spin = Make(UPDOWN_CLASSW, UDS_SETBUDDYINT | UDS_WRAP | UDS_HORZ, {110, 10, 140, 30}, 2);
  SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(list), 0);
  TapAt(spin, POINT{25, 5});  // the right half steps up
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
  TapAt(spin, POINT{2, 5});
  TapAt(spin, POINT{2, 5});
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2) << "wraps round the items";
  EXPECT_FALSE(Only(WM_HSCROLL).empty());
}

TEST_F(BarsTest, ProgressBarKeepsItsPositionInsideTheRangeAndDrawsIt) {
  HWND bar = Make(PROGRESS_CLASSW, PBS_SMOOTH, {10, 10, 110, 30}, 1125);
  EXPECT_EQ(SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 10)), MAKELRESULT(0, 100));
  EXPECT_EQ(SendMessageW(bar, PBM_SETPOS, 5, 0), 0);
  EXPECT_EQ(SendMessageW(bar, PBM_SETPOS, 50, 0), 5);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 10);
  PBRANGE range{};
  EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 0);
  EXPECT_EQ(range.iHigh, 10);
  SendMessageW(bar, PBM_SETPOS, 5, 0);
  SendMessageW(bar, PBM_SETSTEP, 3, 0);
  SendMessageW(bar, PBM_STEPIT, 0, 0);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 8);
  SendMessageW(bar, PBM_STEPIT, 0, 0);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 1) << "past the end it starts over";
  SendMessageW(bar, PBM_SETPOS, 5, 0);
  wtest::Pump();
  RECT r;
  GetWindowRect(bar, &r);
  const int y = (r.top + r.bottom) / 2;
  EXPECT_NE(zb::gdi::ScreenPixel(r.left + 10, y), RGB(255, 255, 255)) << "filled up to the position";
  EXPECT_EQ(zb::gdi::ScreenPixel(r.right - 10, y), RGB(255, 255, 255)) << "and empty after it";
}

TEST_F(BarsTest, TabControlAdjustsRectanglesAndAsksBeforeChangingTab) {
  HWND tabs = Make(WC_TABCONTROLW, TCS_BOTTOM, {0, 0, 240, 200}, 12320);
  for (const char16_t* t : {u"General", u"Library", u"Skins"}) {
    TCITEMW item{TCIF_TEXT, 0, 0, const_cast<LPWSTR>(t), 0, -1, 0};
    SendMessageW(tabs, TCM_INSERTITEMW, 99, reinterpret_cast<LPARAM>(&item));
  }
  EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);
  RECT display{0, 0, 240, 200};
  SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  EXPECT_EQ(display.top, 2) << "tabs at the bottom leave the top";
  EXPECT_LT(display.bottom, 180);
  RECT window = display;
  SendMessageW(tabs, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&window));
  EXPECT_EQ(window.top, 0);
  EXPECT_EQ(window.bottom, 200) << "and back again";
  RECT second;
  SendMessageW(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
  EXPECT_GE(second.top, display.bottom);
  Answer() = [](NMHDR* h) -> LRESULT { return h->code == TCN_SELCHANGING && SendMessageW(h->hwndFrom, TCM_GETCURSEL, 0, 0) == 1; };
  TapAt(tabs, POINT{(second.left + second.right) / 2, (second.top + second.bottom) / 2});
  EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(NotifyCodes(), (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE}));
  RECT third;
  SendMessageW(tabs, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&third));
  TapAt(tabs, POINT{(third.left + third.right) / 2, (third.top + third.bottom) / 2});
  EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 1) << "the parent kept its tab";
}

TEST_F(BarsTest, ToolbarButtonsAreReadChangedAndPressed) {
  HWND bar = Make(TOOLBARCLASSNAMEW, 0, {0, 294, 240, 320}, 1);
  TBBUTTON buttons[2] = {};
  buttons[0].iBitmap = I_IMAGENONE;
  buttons[0].idCommand = 1;
  buttons[0].fsState = TBSTATE_ENABLED;
  buttons[0].fsStyle = TBSTYLE_BUTTON | TBSTYLE_AUTOSIZE;
  buttons[0].iString = reinterpret_cast<INT_PTR>(u"OK");
  buttons[1] = buttons[0];
  buttons[1].idCommand = 2;
  buttons[1].iString = reinterpret_cast<INT_PTR>(u"Cancel");
  ASSERT_TRUE(SendMessageW(bar, TB_ADDBUTTONSW, 2, reinterpret_cast<LPARAM>(buttons)));
  EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 2);
  TBBUTTON read{};
  ASSERT_TRUE(SendMessageW(bar, TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&read)));
  EXPECT_EQ(read.idCommand, 2);
  // Changed by command: the text and the command, as the soft keys are retold.
  TBBUTTONINFOW info{sizeof info, TBIF_TEXT | TBIF_COMMAND, 2401, 0, 0, 0, 0, 0, const_cast<LPWSTR>(u"Browse"), 0};
  EXPECT_TRUE(SendMessageW(bar, TB_SETBUTTONINFOW, 1, reinterpret_cast<LPARAM>(&info)));
  EXPECT_EQ(SendMessageW(bar, TB_COMMANDTOINDEX, 2401, 0), 0);
  char16_t text[16] = {};
  TBBUTTONINFOW get{sizeof get, TBIF_TEXT | TBIF_STATE, 0, 0, 0, 0, 0, 0, text, 16};
  EXPECT_EQ(SendMessageW(bar, TB_GETBUTTONINFOW, 2401, reinterpret_cast<LPARAM>(&get)), 0);
  EXPECT_EQ(std::u16string(text), u"Browse");
  EXPECT_EQ(SendMessageW(bar, TB_GETBUTTONINFOW, 77, reinterpret_cast<LPARAM>(&get)), -1);
  wtest::Pump();
  Notes().clear();
  RECT cancel;
  SendMessageW(bar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&cancel));
  TapAt(bar, POINT{(cancel.left + cancel.right) / 2, (cancel.top + cancel.bottom) / 2});
  ASSERT_EQ(Notes().size(), 1u);
  EXPECT_EQ(Notes()[0].id, 2);
  // A greyed (indeterminate) button takes no tap.
  SendMessageW(bar, TB_INDETERMINATE, 2, TRUE);
  Notes().clear();
  TapAt(bar, POINT{(cancel.left + cancel.right) / 2, (cancel.top + cancel.bottom) / 2});
  EXPECT_TRUE(Notes().empty());
}

}  // namespace
