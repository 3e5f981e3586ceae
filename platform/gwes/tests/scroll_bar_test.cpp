// Scroll bars: what SetScrollInfo keeps (the position stays inside the range less the page), the
// scroll-bar control's messages, and taps on its arrows, track and thumb turned into the
// WM_VSCROLL codes its parent receives.
#include "control_support.h"

namespace {

using namespace ctest;

using ScrollBarTest = ControlTest;

TEST_F(ScrollBarTest, PositionStaysInsideTheRangeLessThePage) {
  HWND window = wtest::Make(WS_VISIBLE | WS_VSCROLL);
  struct Case {
    UINT mask;
    int min, max;
    UINT page;
    int pos;
    int kept;
  };
  const Case cases[] = {
      {SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 50, 50},
      {SIF_POS, 0, 0, 0, 95, 90},   // max - page + 1
      {SIF_POS, 0, 0, 0, -5, 0},
      {SIF_PAGE, 0, 0, 200, 0, 0},  // a page beyond the range is cut to it
      {SIF_RANGE | SIF_POS, 10, 20, 0, 15, 10},
  };
  for (const Case& c : cases) {
    SCROLLINFO in{sizeof in, c.mask, c.min, c.max, c.page, c.pos, 0};
    EXPECT_EQ(SetScrollInfo(window, SB_VERT, &in, FALSE), c.kept);
  }
  SCROLLINFO out{sizeof out, SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(window, SB_VERT, &out));
  EXPECT_EQ(out.nMin, 10);
  EXPECT_EQ(out.nMax, 20);
  EXPECT_EQ(out.nPage, 11u);
  EXPECT_EQ(GetScrollPos(window, SB_VERT), 10);
  SCROLLINFO none{sizeof none, SIF_ALL, 0, 0, 0, 0, 0};
  EXPECT_FALSE(GetScrollInfo(window, SB_HORZ, &none)) << "a bar nobody set up";
  DestroyWindow(window);
}

TEST_F(ScrollBarTest, TapsOnTheControlBecomeScrollCodes) {
  HWND bar = Make(u"SCROLLBAR", SBS_VERT, {200, 20, 216, 220}, 3);
  SCROLLINFO in{sizeof in, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 20, 0, 0};
  SetScrollInfo(bar, SB_CTL, &in, TRUE);
  EXPECT_EQ(SendMessageW(bar, SBM_GETPOS, 0, 0), 0);
  wtest::Pump();
  Notes().clear();
  TapAt(bar, {8, 195});  // the bottom arrow
  TapAt(bar, {8, 150});  // the track below the thumb
  const std::vector<int> taps{SB_LINEDOWN, SB_ENDSCROLL, SB_PAGEDOWN, SB_ENDSCROLL};
  EXPECT_EQ(Codes(WM_VSCROLL), taps);
  for (const Note& n : Notes()) EXPECT_EQ(n.id, 3) << "lParam is the bar";
  // Dragging the thumb tracks positions and ends where it is let go.
  Notes().clear();
  Drag(bar, {8, 20}, {8, 120});
  const std::vector<int> codes = Codes(WM_VSCROLL);
  ASSERT_GE(codes.size(), 3u);
  EXPECT_EQ(codes[codes.size() - 3], SB_THUMBTRACK);
  EXPECT_EQ(codes[codes.size() - 2], SB_THUMBPOSITION);
  EXPECT_EQ(codes.back(), SB_ENDSCROLL);
  const int released = Notes()[Notes().size() - 2].pos;
  EXPECT_GT(released, 30);
  EXPECT_LE(released, 81);
  // The bar itself moves only when its owner says so.
  EXPECT_EQ(SendMessageW(bar, SBM_GETPOS, 0, 0), 0);
}

}  // namespace
