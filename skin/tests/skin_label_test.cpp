// Labels: glyph mapping, the messages that measure and read them, the marquee (ticks, a full
// cycle back to the text as set, stylus drags) and taps; alpha fonts drawn at 0, 90 and 270
// degrees from strips whose glyphs each have their own colour; GDI text with the ten alignment
// codes in the fixed-metric test font.
#include "skin/skin_label.h"

#include "skin_window_support.h"

namespace zb::testing {
namespace {

constexpr int kFont = 601, kGdiFont = 700;
COLORREF GlyphColour(int g) { return RGB(10 * g + 5, 255 - 10 * g, g % 2 ? 255 : 0); }
// The same colour as the 5-6-5 screen keeps it.
COLORREF OnScreen(COLORREF c) {
  const int r = GetRValue(c) >> 3, g = GetGValue(c) >> 2, b = GetBValue(c) >> 3;
  return RGB((r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2));
}

class Labels : public SkinWindowTest {
 protected:
  // A fixed-width font of set 2 (" 0123456789-:"): glyph g is a 5 x 6 cell (6 x 5 when turned)
  // in its own colour.
  void AddDigitFont(int angle) {
    const bool across = angle == 0;
    HDC screen = GetDC(nullptr);
    HBITMAP strip = CreateCompatibleBitmap(screen, across ? 65 : 6, across ? 6 : 65);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, strip);
    for (int g = 0; g < 13; ++g) {
      HBRUSH b = CreateSolidBrush(GlyphColour(g));
      // For 270 degrees the strip is read from its far end.
      const int at = angle == 270 ? 65 - 5 * (g + 1) : 5 * g;
      RECT r = across ? RECT{at, 0, at + 5, 6} : RECT{0, at, 6, at + 5};
      FillRect(dc, &r, b);
      DeleteObject(b);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(UICache::Get()->AddAlphaFont(strip, kFont, 5, 6, 2, angle, u"digits.bmp"));
  }
  CSkinLabel* AddLabel(int font, RECT box, int align = 0) {
    auto* l = new CSkinLabel(skin_.get());
    l->SetName(u"SONGTITLE");
    l->SetFont(font);
    l->SetBox(box.left, box.top, box.right - box.left, box.bottom - box.top, 0, 0, align, FALSE);
    skin_->AddElement(l, -1);
    return l;
  }
  COLORREF Shown(int x, int y) {
    HDC dc = GetDC(window_);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window_, dc);
    return c;
  }
};

TEST_F(Labels, CharactersTheFontLacksBecomeCapitalsOrSpaces) {
  UICache::Get()->AddAlphaFont(CreateBitmap(69 * 4, 4, 1, 1, nullptr), 5, 4, 4, 0, 0, u"caps.bmp");
  CSkinLabel* l = AddLabel(5, RECT{0, 0, 200, 10});
  l->SetText(u"Ab?\u00e9 9", FALSE);
  EXPECT_EQ(l->ShownGlyphs(), (std::vector<int>{1, 2, 64, 0, 0, 36}));
  LPCWSTR set = GetAlphaGlyphSet(0);
  EXPECT_EQ(set[64], u'?');
  EXPECT_EQ(set[36], u'9');
}

TEST_F(Labels, MessagesMeasureAndReadTheText) {
  AddDigitFont(0);
  CSkinLabel* l = AddLabel(kFont, RECT{10, 10, 40, 20});
  const WCHAR text[] = u"12:3";
  EXPECT_EQ(l->SendMessage(window_, SKM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)), 0);
  EXPECT_EQ(l->SendMessage(window_, 1239, 0, 0), 30);
  EXPECT_EQ(l->SendMessage(window_, 1240, 0, reinterpret_cast<LPARAM>(u"12345")), 25);
  EXPECT_EQ(l->SendMessage(window_, 1243, 2, 0), u':');
  EXPECT_EQ(l->SendMessage(window_, 1243, 4, 0), 0);
  EXPECT_EQ(l->SendMessage(window_, 1243, 400, 0), 0);
  WCHAR set[32] = {};
  EXPECT_EQ(l->SendMessage(window_, 1241, 0, reinterpret_cast<LPARAM>(set)), 1);
  EXPECT_EQ(std::u16string(set), u" 0123456789-:");
  EXPECT_EQ(l->SendMessage(window_, 1242, 0, 0), 13);
  int value = 7;
  l->SendMessage(window_, SKM_SETTEXT, reinterpret_cast<WPARAM>(&value), reinterpret_cast<LPARAM>(u"1"));
  EXPECT_EQ(l->GetTextLength(), 1);
  DWORD kind = 0;
  l->SendMessage(window_, SKM_GETKIND, 0, reinterpret_cast<LPARAM>(&kind));
  EXPECT_EQ(kind, static_cast<DWORD>(SKIN_KIND_LABEL));
}

TEST_F(Labels, TextAsWideAsTheLabelDoesNotScrollAndWiderTextDoes) {
  AddDigitFont(0);
  CSkinLabel* l = AddLabel(kFont, RECT{0, 0, 20, 10});
  l->SetText(u"1234", FALSE);
  EXPECT_FALSE(l->ScrollNeeded());
  l->Tick();
  EXPECT_EQ(l->ScrollOffset(), 0);
  l->SetText(u"12345", FALSE);
  EXPECT_TRUE(l->ScrollNeeded());
}

TEST_F(Labels, AFullCycleOfTicksShowsTheTextAsSetAgain) {
  AddDigitFont(0);
  CSkinLabel* l = AddLabel(kFont, RECT{0, 0, 20, 10});
  l->SetSeparator(u"-");
  l->SetText(u"12345", FALSE);
  const std::vector<int> asSet = l->ShownGlyphs();
  l->Tick();
  EXPECT_EQ(l->ShownGlyphs(), (std::vector<int>{3, 4, 5, 6, 11}));  // "2345-"
  for (int i = 1; i < 6; ++i) l->Tick();
  EXPECT_EQ(l->ScrollOffset(), 0);
  EXPECT_EQ(l->ShownGlyphs(), asSet);
  l->Tick();
  l->ResetScroll();
  EXPECT_EQ(l->ShownGlyphs(), asSet);
}

TEST_F(Labels, TheSameTextAgainChangesNothing) {
  AddDigitFont(0);
  CSkinLabel* l = AddLabel(kFont, RECT{0, 0, 20, 10});
  l->SetText(u"12345", TRUE);
  l->Tick();
  l->SetText(u"12345", TRUE);
  EXPECT_EQ(l->ScrollOffset(), 1);  // not set again, so not scrolled back
  l->SetText(u"12345", FALSE);
  EXPECT_EQ(l->ScrollOffset(), 0);
}

TEST_F(Labels, DraggingMovesTheMarqueeAStepAtATimeAndATapPosts) {
  AddDigitFont(0);
  CSkinLabel* l = AddLabel(kFont, RECT{0, 0, 20, 10});
  l->SetText(u"1234567", FALSE);
  Press(15, 5);
  Move(10, 5);  // one glyph toward the start: the text moves on
  EXPECT_EQ(l->ScrollOffset(), 1);
  Move(20, 5);  // two back
  EXPECT_EQ(l->ScrollOffset(), 11);  // wrapping within 7 + 5
  Release(19, 5);
  Tap(5, 5);
  EXPECT_EQ(Notifications(), (std::vector<Posted>{{SKN_LABELTAPPED, 0, Of(l)}, {SKN_LABELTAPPED, 0, Of(l)}}));
  Press(5, 5);
  Release(100, 100);  // outside: no tap
  EXPECT_TRUE(Notifications().empty());
}

struct AngleCase {
  const char* name;
  int angle;
};

class AlphaAngles : public Labels, public ::testing::WithParamInterface<AngleCase> {};

TEST_P(AlphaAngles, GlyphsFollowTheTextDirection) {
  const int angle = GetParam().angle;
  AddDigitFont(angle);
  // Text "12": glyphs 2 and 3. Across, the label is 30 x 10; turned, 10 x 30.
  CSkinLabel* l = AddLabel(kFont, angle == 0 ? RECT{20, 20, 50, 30} : RECT{20, 20, 30, 50});
  l->SetText(u"12", FALSE);
  l->Invalidate();
  if (angle == 0) {  // left to right from the left edge, centred across
    EXPECT_EQ(Shown(22, 25), OnScreen(GlyphColour(2)));
    EXPECT_EQ(Shown(27, 25), OnScreen(GlyphColour(3)));
  } else if (angle == 90) {  // top to bottom from the top edge
    EXPECT_EQ(Shown(25, 22), OnScreen(GlyphColour(2)));
    EXPECT_EQ(Shown(25, 27), OnScreen(GlyphColour(3)));
  } else {  // bottom to top from the bottom edge
    EXPECT_EQ(Shown(25, 47), OnScreen(GlyphColour(2)));
    EXPECT_EQ(Shown(25, 42), OnScreen(GlyphColour(3)));
  }
}

INSTANTIATE_TEST_SUITE_P(Directions, AlphaAngles,
                         ::testing::Values(AngleCase{"Across", 0}, AngleCase{"Down", 90}, AngleCase{"Up", 270}),
                         [](const auto& info) { return std::string(info.param.name); });

// Where the test font's boxes land for each alignment code in a 100 x 40 rectangle.
struct AlignCase {
  int align;
  int across, down;  // 0 start, 1 middle, 2 end
};

class TextAlignment : public SkinTest, public ::testing::WithParamInterface<AlignCase> {};

TEST_P(TextAlignment, PlacesTheTextInItsRectangle) {
  const AlignCase c = GetParam();
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP b = CreateCompatibleBitmap(screen, 140, 80);
  HGDIOBJ old = SelectObject(dc, b);
  RECT all{0, 0, 140, 80};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  LOGFONTW lf{};
  lf.lfHeight = 10;
  wcscpy(lf.lfFaceName, u"Zonbrel Test Fixed");
  HFONT font = CreateFontIndirectW(&lf);
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkMode(dc, TRANSPARENT);
  const RECT box{20, 20, 120, 60};
  DrawTextAligned(dc, 20, 20, c.align, ETO_CLIPPED, &box, u"ABCD");
  SIZE size{};
  GetTextExtentExPointW(dc, u"ABCD", 4, 0, nullptr, nullptr, &size);
  // The text's cell: every lit pixel lies inside it, and it touches each of its sides' halves.
  const int left = 20 + (c.across == 0 ? 0 : c.across == 1 ? (100 - size.cx) / 2 : 100 - size.cx);
  const int top = 20 + (c.down == 0 ? 0 : c.down == 1 ? (40 - size.cy) / 2 : 40 - size.cy);
  int inside = 0, outside = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 140; ++x) {
      if (GetPixel(dc, x, y) == RGB(0, 0, 0)) continue;
      (x >= left && x < left + size.cx && y >= top && y < top + size.cy ? inside : outside)++;
    }
  EXPECT_GT(inside, 0);
  EXPECT_EQ(outside, 0) << "align " << c.align;
  SelectObject(dc, oldFont);
  DeleteObject(font);
  SelectObject(dc, old);
  DeleteObject(b);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

INSTANTIATE_TEST_SUITE_P(Codes, TextAlignment,
                         ::testing::Values(AlignCase{0, 0, 0}, AlignCase{1, 1, 0}, AlignCase{2, 2, 0}, AlignCase{3, 0, 1},
                                           AlignCase{4, 1, 1}, AlignCase{5, 2, 1}, AlignCase{6, 0, 2},
                                           AlignCase{7, 1, 2}, AlignCase{8, 2, 2}, AlignCase{9, 1, 1}));

TEST_F(Labels, GdiTextTakesTheFontsColourInsideTheLabel) {
  UICache::Get()->AddGdiFont(kGdiFont, u"Zonbrel Test Fixed", 10, FW_NORMAL, 0, RGB(255, 255, 0));
  CSkinLabel* l = AddLabel(kGdiFont, RECT{10, 100, 110, 120}, 4);
  l->SetText(u"HI", FALSE);
  l->Invalidate();
  int lit = 0;
  for (int y = 95; y < 125; ++y)
    for (int x = 5; x < 115; ++x) {
      const COLORREF c = Shown(x, y);
      if (c == RGB(255, 255, 0)) {
        ++lit;
        EXPECT_TRUE(x >= 10 && x < 110 && y >= 100 && y < 120) << x << "," << y;
      }
    }
  EXPECT_GT(lit, 0);
}

}  // namespace
}  // namespace zb::testing
