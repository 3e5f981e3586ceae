// The compositing table of classic skins: which lines it takes, how a line rebuilds its target
// from pieces of its source, and that a target's mask is rebuilt with it (never left at the old
// size and layout), with every id of the target following the new bitmap.
#include "skin/classic_compositing.h"

#include "skin/bitmap_helpers.h"
#include "skin/ui_cache.h"
#include "skin_window_support.h"

namespace zb::testing {
namespace {

class Compositing : public SkinWindowTest {
 protected:
  // A screen-format bitmap of one colour, registered under id and name.
  HBITMAP Picture(int id, LPCWSTR name, int w, int h, COLORREF colour) {
    HDC screen = GetDC(nullptr);
    HBITMAP b = CreateScreenDib(screen, w, h);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, b);
    HBRUSH brush = CreateSolidBrush(colour);
    const RECT all{0, 0, w, h};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    UICache::Get()->AddBitmap(b, id, name);
    return UICache::Get()->GetBitmap(id);
  }
  // A one-bit mask, white (transparent) in `clear`, registered under id.
  HBITMAP Mask(int id, int w, int h, RECT clear) {
    HBITMAP m = CreateBitmap(w, h, 1, 1, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, m);
    PatBlt(dc, 0, 0, w, h, BLACKNESS);
    PatBlt(dc, clear.left, clear.top, clear.right - clear.left, clear.bottom - clear.top, WHITENESS);
    SelectObject(dc, old);
    DeleteDC(dc);
    UICache::Get()->AddMask(m, id, nullptr);
    return m;
  }
  bool Run(const char16_t* line) {
    CompositingRecord record;
    return ParseCompositingLine(line, &record) && ComposeSkinBitmap(skin_.get(), record);
  }
};

const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);  // exact on a 16-bit screen

struct LineCase {
  const char16_t* line;
  bool taken;
  size_t pieces;
};

TEST(CompositingLines, TakeFourTokensOrMoreAndWholeGroupsOfEight) {
  const LineCase cases[] = {
      {u"a.bmp b.bmp 10 20", true, 0},
      {u"a.bmp b.bmp 10", false, 0},                                  // too few tokens
      {u"a.bmp b.bmp 10 20 0", true, 0},                               // the lone "0" of resize lines
      {u"a.bmp,\tb.bmp,\t10,\t20,\t1,2,3,4,\t5,6,7,8", true, 1},       // commas and tabs
      {u"a.bmp b.bmp 10 20 1 2 3 4 5 6 7 8 9 10 11", true, 1},         // a short tail is ignored
      {u"abcdefghijk.bmp b.bmp 10 20", true, 0},                       // 15 characters
      {u"abcdefghijkl.bmp b.bmp 10 20", false, 0},                     // 16 characters: skipped
      {u"a.bmp b.bmp 10 20 ' 1 2 3 4 5 6 7 8", true, 0},               // a comment
      {u"' a.bmp b.bmp 10 20", false, 0},
  };
  for (const LineCase& c : cases) {
    CompositingRecord record;
    EXPECT_EQ(ParseCompositingLine(c.line, &record), c.taken) << std::string(c.line, c.line + wcslen(c.line));
    if (c.taken) EXPECT_EQ(record.pieces.size(), c.pieces);
  }
  std::u16string many = u"a.bmp b.bmp 1 1";
  for (int i = 0; i < 70; ++i) many += u" 0 0 1 1 0 0 1 1";
  CompositingRecord record;
  ASSERT_TRUE(ParseCompositingLine(many, &record));
  EXPECT_EQ(record.pieces.size(), 64u);
  ASSERT_TRUE(ParseCompositingLine(u"t.bmp s.bmp 0 -5 1 2 3 4 5 6 7 8", &record));
  EXPECT_EQ(record.target, u"t.bmp");
  EXPECT_EQ(record.height, -5);
  EXPECT_EQ(record.pieces[0].to.bottom, 8);
}

TEST_F(Compositing, PiecesLandWhereTheLineSaysOverTheStretchedTarget) {
  Picture(1, u"t.bmp", 10, 10, kRed);
  Picture(2, u"s.bmp", 4, 4, kBlue);
  EXPECT_TRUE(Run(u"t.bmp s.bmp 40 20  0,0,2,2 30,10,40,20  0,0,4,4 35,-5,45,5"));
  HBITMAP composed = UICache::Get()->GetBitmap(1);
  EXPECT_EQ(SizeOf(composed).cx, 40);
  EXPECT_EQ(SizeOf(composed).cy, 20);
  EXPECT_EQ(PixelOf(composed, 5, 5), kRed);
  EXPECT_EQ(PixelOf(composed, 29, 15), kRed);
  EXPECT_EQ(PixelOf(composed, 30, 10), kBlue);
  EXPECT_EQ(PixelOf(composed, 39, 19), kBlue);
  EXPECT_EQ(PixelOf(composed, 37, 2), kBlue) << "a destination beyond the bitmap is clipped";
  EXPECT_EQ(UICache::Get()->FindNamedBitmap(u"t.bmp"), composed);
}

TEST_F(Compositing, ASameFileLineOfSizeZeroKeepsTheBitmapAsItWas) {
  Picture(1, u"t.bmp", 7, 5, kGreen);
  EXPECT_TRUE(Run(u"t.bmp t.bmp 0 0"));
  HBITMAP composed = UICache::Get()->GetBitmap(1);
  EXPECT_EQ(SizeOf(composed).cx, 7);
  EXPECT_EQ(SizeOf(composed).cy, 5);
  EXPECT_EQ(PixelOf(composed, 6, 4), kGreen);
}

TEST_F(Compositing, ASameFileLineTakesItsPiecesFromTheOldBitmap) {
  Picture(1, u"t.bmp", 10, 10, kRed);
  ASSERT_TRUE(Run(u"t.bmp t.bmp 10 10  0,0,5,5 5,5,10,10"));
  ASSERT_TRUE(Run(u"t.bmp t.bmp 20 10  0,0,10,10 10,0,20,10"));
  HBITMAP composed = UICache::Get()->GetBitmap(1);
  EXPECT_EQ(PixelOf(composed, 15, 5), kRed);
}

TEST_F(Compositing, AMissingBitmapOrAnImpossibleSizeChangesNothing) {
  HBITMAP target = Picture(1, u"t.bmp", 10, 10, kRed);
  Picture(2, u"s.bmp", 4, 4, kBlue);
  for (const char16_t* line : {u"t.bmp gone.bmp 20 20 0,0,1,1 0,0,1,1", u"gone.bmp s.bmp 20 20", u"t.bmp s.bmp 100000 20",
                               u"t.bmp s.bmp 20 100000"})
    EXPECT_FALSE(Run(line)) << std::string(line, line + wcslen(line));
  EXPECT_EQ(UICache::Get()->GetBitmap(1), target);
  // A source rectangle outside the source copies nothing and breaks nothing.
  EXPECT_TRUE(Run(u"t.bmp s.bmp 10 10  50,50,60,60 0,0,10,10  -10,-10,-5,-5 0,0,10,10  3,3,1,1 0,0,10,10"));
  EXPECT_EQ(PixelOf(UICache::Get()->GetBitmap(1), 5, 5), kRed);
}

TEST_F(Compositing, EveryIdOfTheTargetDrawsTheComposite) {
  Picture(1, u"main.bmp", 10, 10, kRed);
  Picture(5, u"main.bmp", 10, 10, kGreen);  // the same file again: shares the first bitmap
  Picture(2, u"eq.bmp", 4, 4, kBlue);
  ASSERT_TRUE(Run(u"main.bmp eq.bmp 30 30  0,0,4,4 0,10,30,20"));
  EXPECT_EQ(UICache::Get()->GetBitmap(1), UICache::Get()->GetBitmap(5));
  EXPECT_EQ(SizeOf(UICache::Get()->GetBitmap(5)).cx, 30);
  EXPECT_EQ(PixelOf(UICache::Get()->GetBitmap(5), 15, 15), kBlue);
}

// A mask left at the old size would cut the new bitmap by the old layout (or read past its
// end); the composite gets a mask of its own size, with the pieces' transparency moved along.
TEST_F(Compositing, TheTargetsMaskIsRebuiltWithTheBitmap) {
  Picture(1, u"t.bmp", 10, 10, kRed);
  HBITMAP oldMask = Mask(1, 10, 10, RECT{0, 0, 5, 10});  // left half transparent
  Picture(2, u"s.bmp", 4, 4, kBlue);
  ASSERT_TRUE(Run(u"t.bmp s.bmp 20 20  0,0,4,4 10,10,20,20"));
  HBITMAP mask = UICache::Get()->GetMask(1);
  ASSERT_NE(mask, nullptr);
  EXPECT_NE(mask, oldMask);
  EXPECT_EQ(SizeOf(mask).cx, 20);
  EXPECT_EQ(SizeOf(mask).cy, 20);
  EXPECT_EQ(DepthOf(mask), 1);
  EXPECT_EQ(PixelOf(mask, 2, 2), RGB(255, 255, 255)) << "the stretched transparent half";
  EXPECT_EQ(PixelOf(mask, 15, 2), RGB(0, 0, 0));
  EXPECT_EQ(PixelOf(mask, 5, 15), RGB(255, 255, 255));
  EXPECT_EQ(PixelOf(mask, 15, 15), RGB(0, 0, 0)) << "a piece from a source without mask is opaque";
}

TEST_F(Compositing, ASourceMaskGivesTheTargetAMaskForItsPieces) {
  Picture(1, u"t.bmp", 10, 10, kRed);
  Picture(5, u"t.bmp", 10, 10, kRed);
  Picture(2, u"s.bmp", 4, 4, kBlue);
  Mask(2, 4, 4, RECT{0, 0, 4, 2});  // the top half of the source transparent
  ASSERT_TRUE(Run(u"t.bmp s.bmp 10 10  0,0,4,4 0,0,8,8"));
  for (int id : {1, 5}) {
    HBITMAP mask = UICache::Get()->GetMask(id);
    ASSERT_NE(mask, nullptr) << id;
    EXPECT_EQ(SizeOf(mask).cx, 10);
    EXPECT_EQ(PixelOf(mask, 2, 1), RGB(255, 255, 255));
    EXPECT_EQ(PixelOf(mask, 2, 6), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(mask, 9, 9), RGB(0, 0, 0)) << "the target's own part is opaque";
  }
  EXPECT_EQ(UICache::Get()->GetMask(1), UICache::Get()->GetMask(5));
}

TEST_F(Compositing, ATableRunsItsLinesInOrderAndNeedsOne) {
  Picture(1, u"mb.bmp", 1, 1, kRed);
  Picture(2, u"digits.bmp", 4, 4, kBlue);
  EXPECT_TRUE(RunCompositingTable(skin_.get(), u"' grows the placeholder, then fills it\r\nmb.bmp mb.bmp 30 10 0\n\n"
                                               u"mb.bmp digits.bmp 30 10 0,0,4,4 20,0,30,10\n"));
  HBITMAP mb = UICache::Get()->GetBitmap(1);
  EXPECT_EQ(SizeOf(mb).cx, 30);
  EXPECT_EQ(PixelOf(mb, 25, 5), kBlue);
  EXPECT_EQ(PixelOf(mb, 5, 5), kRed);
  EXPECT_FALSE(RunCompositingTable(skin_.get(), u"\r\n\r\n"));
}

}  // namespace
}  // namespace zb::testing
