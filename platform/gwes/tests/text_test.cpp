// Text placement with the fixed test font (height 16: ascent 12, advance 8, each glyph a 7x12
// box of ink, the space none), and DejaVu checked for real glyphs of the right extents.
#include <algorithm>

#include "canvas.h"
#include "gwes/gdi_font.h"

namespace zb::testing {
namespace {

HFONT MakeFont(const char16_t* face, LONG height, LONG weight = FW_NORMAL, LONG escapement = 0, BYTE quality = 0) {
  LOGFONTW log{};
  log.lfHeight = height;
  log.lfWeight = weight;
  log.lfEscapement = escapement;
  log.lfQuality = quality;
  std::u16string_view name(face);
  std::copy(name.begin(), name.end(), log.lfFaceName);
  return CreateFontIndirectW(&log);
}

struct TextFixture : GdiTest {
  explicit TextFixture(LONG escapement = 0) : c(64, 40, {24}) {
    c.FillRaw(0xFFFFFF);
    font = MakeFont(zb::gdi::kTestFontFace, 16, FW_NORMAL, escapement);
    SelectObject(c.dc, font);
    SetBkMode(c.dc, TRANSPARENT);
  }
  ~TextFixture() override {
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
  }
  bool Ink(int x, int y) { return c.Raw(x, y) == 0; }
  // Columns holding ink in row y, as a string.
  std::string Row(int y) {
    std::string out;
    for (int x = 0; x < c.width(); ++x) out += Ink(x, y) ? '#' : '.';
    return out;
  }
  Canvas c;
  HFONT font;
};

TEST_F(TextFixture, TestFontMetricsAndExtents) {
  TEXTMETRICW tm{};
  ASSERT_TRUE(GetTextMetricsW(c.dc, &tm));
  EXPECT_EQ(tm.tmHeight, 16);
  EXPECT_EQ(tm.tmAscent, 12);
  EXPECT_EQ(tm.tmDescent, 4);
  EXPECT_EQ(tm.tmAveCharWidth, 8);
  SIZE size{};
  ASSERT_TRUE(GetTextExtentPoint32W(c.dc, u"abc", 3, &size));
  EXPECT_EQ(size.cx, 24);
  EXPECT_EQ(size.cy, 16);
}

TEST_F(TextFixture, ExtentExReportsFitAndPartialExtents) {
  int fit = -1, extents[5] = {};
  SIZE size{};
  ASSERT_TRUE(GetTextExtentExPointW(c.dc, u"ab cd", 5, 20, &fit, extents, &size));
  EXPECT_EQ(fit, 2);
  const int want[5] = {8, 16, 24, 32, 40};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(extents[i], want[i]);
  EXPECT_EQ(size.cx, 40);
  ASSERT_TRUE(GetTextExtentExPointW(c.dc, u"ab", 2, 16, &fit, nullptr, nullptr));
  EXPECT_EQ(fit, 2);
  ASSERT_TRUE(GetTextExtentExPointW(c.dc, u"ab", 2, 7, &fit, nullptr, nullptr));
  EXPECT_EQ(fit, 0);
}

TEST_F(TextFixture, ExtTextOutPlacesEachGlyphInItsCell) {
  ASSERT_TRUE(ExtTextOutW(c.dc, 3, 2, 0, nullptr, u"a b", 3, nullptr));
  for (int y = 0; y < 40; ++y) {
    const bool inkRow = y >= 2 && y < 14;
    for (int x = 0; x < 64; ++x) {
      const bool inkColumn = (x >= 3 && x < 10) || (x >= 19 && x < 26);
      ASSERT_EQ(Ink(x, y), inkRow && inkColumn) << x << "," << y;
    }
  }
}

TEST_F(TextFixture, ExtTextOutTakesTheCallersAdvances) {
  const int dx[3] = {12, 3, 8};
  ASSERT_TRUE(ExtTextOutW(c.dc, 0, 0, 0, nullptr, u"abc", 3, dx));
  // Glyphs start at 0, 12 and 15; the second is overdrawn in part by the third.
  EXPECT_EQ(Row(0).substr(0, 24), "#######.....##########..");
}

TEST_F(TextFixture, OpaqueBackgroundFillsTheCellsAndEtoOpaqueTheRectangle) {
  SetBkMode(c.dc, OPAQUE);
  SetBkColor(c.dc, RGB(0, 0, 255));
  ASSERT_TRUE(ExtTextOutW(c.dc, 0, 0, 0, nullptr, u"a", 1, nullptr));
  EXPECT_EQ(GetPixel(c.dc, 7, 0), RGB(0, 0, 255));   // the gap column
  EXPECT_EQ(GetPixel(c.dc, 0, 15), RGB(0, 0, 255));  // the descent
  EXPECT_EQ(GetPixel(c.dc, 8, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(c.dc, 0, 16), RGB(255, 255, 255));

  SetBkMode(c.dc, TRANSPARENT);
  SetBkColor(c.dc, RGB(255, 0, 0));
  RECT r{30, 20, 60, 30};
  ASSERT_TRUE(ExtTextOutW(c.dc, 30, 20, ETO_OPAQUE, &r, nullptr, 0, nullptr));
  EXPECT_EQ(GetPixel(c.dc, 59, 29), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(c.dc, 60, 29), RGB(255, 255, 255));
}

TEST_F(TextFixture, EtoClippedKeepsTheTextInsideTheRectangle) {
  RECT r{0, 0, 12, 6};
  ASSERT_TRUE(ExtTextOutW(c.dc, 0, 0, ETO_CLIPPED, &r, u"ab", 2, nullptr));
  EXPECT_TRUE(Ink(0, 5));
  EXPECT_TRUE(Ink(11, 0));
  EXPECT_FALSE(Ink(12, 0));
  EXPECT_FALSE(Ink(0, 6));
}

TEST_F(TextFixture, TextColourIsUsed) {
  SetTextColor(c.dc, RGB(0, 200, 0));
  ExtTextOutW(c.dc, 0, 0, 0, nullptr, u"a", 1, nullptr);
  EXPECT_EQ(GetPixel(c.dc, 3, 3), RGB(0, 200, 0));
}

struct Align {
  const char* name;
  UINT format;
  int firstInkColumn, firstInkRow;
};

class DrawTextAlignment : public TextFixture, public ::testing::WithParamInterface<Align> {};

TEST_P(DrawTextAlignment, PlacesTheLineInItsRectangle) {
  const Align a = GetParam();
  RECT r{4, 2, 60, 38};  // 56 wide, 36 high; "ab" is 16 by 16
  ASSERT_GT(DrawTextW(c.dc, u"ab", -1, &r, a.format), 0);
  int firstX = -1, firstY = -1;
  for (int y = 0; y < 40 && firstY < 0; ++y)
    for (int x = 0; x < 64; ++x)
      if (Ink(x, y)) {
        firstX = x;
        firstY = y;
        break;
      }
  EXPECT_EQ(firstX, a.firstInkColumn);
  EXPECT_EQ(firstY, a.firstInkRow);
}

INSTANTIATE_TEST_SUITE_P(Formats, DrawTextAlignment,
                         ::testing::Values(Align{"Left", DT_LEFT, 4, 2}, Align{"Center", DT_CENTER, 24, 2},
                                           Align{"Right", DT_RIGHT, 44, 2},
                                           Align{"VCenter", DT_VCENTER | DT_SINGLELINE, 4, 12},
                                           Align{"Bottom", DT_BOTTOM | DT_SINGLELINE | DT_RIGHT, 44, 22},
                                           Align{"VCenterNeedsSingleLine", DT_VCENTER, 4, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TextFixture, CalcRectMeasuresWithoutDrawing) {
  RECT r{5, 5, 100, 100};
  EXPECT_EQ(DrawTextW(c.dc, u"abc\r\nde", -1, &r, DT_CALCRECT), 32);
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.right, 5 + 24);
  EXPECT_EQ(r.bottom, 5 + 32);
  for (int y = 0; y < 40; ++y) ASSERT_EQ(Row(y).find('#'), std::string::npos);
  RECT single{0, 0, 10, 10};
  EXPECT_EQ(DrawTextW(c.dc, u"abc\r\nde", -1, &single, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX), 16);
  EXPECT_EQ(single.right, 7 * 8);  // the line ends count as characters on one line
}

TEST_F(TextFixture, WordBreakPutsWordsOnLinesThatFit) {
  RECT r{0, 0, 40, 40};
  EXPECT_EQ(DrawTextW(c.dc, u"aa bb cc", -1, &r, DT_WORDBREAK | DT_CALCRECT), 32);
  EXPECT_EQ(r.right, 40);
  RECT draw{0, 0, 40, 40};
  EXPECT_EQ(DrawTextW(c.dc, u"aa bb cc", -1, &draw, DT_WORDBREAK), 32);
  EXPECT_EQ(Row(5).substr(0, 40), "#######.#######.........#######.#######.");
  EXPECT_EQ(Row(21).substr(0, 40), "#######.#######.........................");
  RECT narrow{0, 0, 10, 100};  // a word wider than the line keeps its own line
  EXPECT_EQ(DrawTextW(c.dc, u"aaaa b", -1, &narrow, DT_WORDBREAK | DT_CALCRECT), 32);
  EXPECT_EQ(narrow.right, 32);
}

TEST_F(TextFixture, EndEllipsisShortensTheLineToFit) {
  RECT r{0, 0, 40, 16};
  DrawTextW(c.dc, u"abcdefgh", -1, &r, DT_END_ELLIPSIS | DT_SINGLELINE);
  // "ab..." is five cells of eight: ink up to column 38, nothing after.
  EXPECT_EQ(Row(0).substr(0, 48), "#######.#######.#######.#######.#######.........");
  RECT fits{0, 20, 64, 36};
  DrawTextW(c.dc, u"abc", -1, &fits, DT_END_ELLIPSIS | DT_SINGLELINE);
  EXPECT_EQ(Row(20).substr(0, 32), "#######.#######.#######.........");
}

TEST_F(TextFixture, PrefixUnderlinesTheNextCharacterUnlessNoPrefix) {
  RECT r{0, 0, 64, 16};
  DrawTextW(c.dc, u"&ab&&", -1, &r, DT_SINGLELINE);
  EXPECT_EQ(Row(13).substr(0, 32), "########........................");  // under 'a' only
  EXPECT_EQ(Row(0).substr(0, 32), "#######.#######.#######.........");   // "ab&"
  c.FillRaw(0xFFFFFF);
  DrawTextW(c.dc, u"&ab", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(Row(0).substr(0, 32), "#######.#######.#######.........");
  EXPECT_EQ(Row(13).find('#'), std::string::npos);
}

struct TurnedText : TextFixture {
  TurnedText() : TextFixture(0) {}
  void Use(LONG escapement) {
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
    font = MakeFont(zb::gdi::kTestFontFace, 16, FW_NORMAL, escapement);
    SelectObject(c.dc, font);
  }
};

TEST_F(TurnedText, Escapement900RunsUpwardsFromTheOrigin) {
  Use(900);
  ASSERT_TRUE(ExtTextOutW(c.dc, 20, 30, 0, nullptr, u"ab", 2, nullptr));
  // First glyph: columns 20..31 (its 12 ink rows turned), rows 29 up to 23; a gap row, then 'b'.
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 64; ++x) {
      const bool column = x >= 20 && x < 32;
      const bool row = (y >= 23 && y < 30) || (y >= 15 && y < 22);
      ASSERT_EQ(Ink(x, y), column && row) << x << "," << y;
    }
}

TEST_F(TurnedText, Escapement2700RunsDownwardsFromTheOrigin) {
  Use(2700);
  ASSERT_TRUE(ExtTextOutW(c.dc, 40, 10, 0, nullptr, u"a", 1, nullptr));
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 64; ++x) {
      const bool ink = x >= 28 && x < 40 && y >= 10 && y < 17;
      ASSERT_EQ(Ink(x, y), ink) << x << "," << y;
    }
  SIZE size{};
  GetTextExtentPoint32W(c.dc, u"ab", 2, &size);
  EXPECT_EQ(size.cx, 16);  // extents are measured along the text
}

// Ink bounding box of a canvas, and whether any pixel is neither white nor the text colour.
struct InkBox {
  RECT box{1000, 1000, -1, -1};
  bool greys = false;
};
InkBox Measure(Canvas& c) {
  InkBox out;
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x) {
      const uint32_t v = c.Raw(x, y);
      if (v == 0xFFFFFF) continue;
      out.greys |= v != 0;
      out.box.left = std::min<LONG>(out.box.left, x);
      out.box.top = std::min<LONG>(out.box.top, y);
      out.box.right = std::max<LONG>(out.box.right, x + 1);
      out.box.bottom = std::max<LONG>(out.box.bottom, y + 1);
    }
  return out;
}

TEST_F(GdiTest, DejaVuDrawsRealGlyphsWithinTheirExtents) {
  Canvas c(200, 60, {24});
  c.FillRaw(0xFFFFFF);
  SetBkMode(c.dc, TRANSPARENT);
  HFONT font = MakeFont(u"Tahoma", -20);
  SelectObject(c.dc, font);
  TEXTMETRICW tm{};
  ASSERT_TRUE(GetTextMetricsW(c.dc, &tm));
  EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 20);  // a negative height is the character height
  SIZE size{};
  ASSERT_TRUE(GetTextExtentPoint32W(c.dc, u"Hello", 5, &size));
  EXPECT_GT(size.cx, 40);
  EXPECT_LT(size.cx, 80);
  ASSERT_TRUE(ExtTextOutW(c.dc, 10, 5, 0, nullptr, u"Hello", 5, nullptr));
  InkBox ink = Measure(c);
  EXPECT_TRUE(ink.greys);  // smoothed edges
  EXPECT_GE(ink.box.left, 10);
  EXPECT_LE(ink.box.left, 14);
  EXPECT_LE(ink.box.right, 10 + size.cx + 1);
  EXPECT_GT(ink.box.right - ink.box.left, size.cx * 3 / 4);
  EXPECT_GE(ink.box.top, 5);
  EXPECT_LE(ink.box.bottom, 5 + tm.tmAscent);  // no descenders in "Hello"
  EXPECT_GT(ink.box.bottom - ink.box.top, 12);  // capital height
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
}

TEST_F(GdiTest, DejaVuHonoursCellHeightWeightAndQuality) {
  Canvas c(200, 40, {24});
  HFONT regular = MakeFont(u"Tahoma", 24), bold = MakeFont(u"Tahoma", 24, FW_BOLD);
  HFONT sharp = MakeFont(u"Tahoma", 24, FW_NORMAL, 0, NONANTIALIASED_QUALITY);
  SelectObject(c.dc, regular);
  TEXTMETRICW tm{};
  GetTextMetricsW(c.dc, &tm);
  EXPECT_EQ(tm.tmHeight, 24);  // a positive height is the cell height
  SIZE plain{}, heavy{};
  GetTextExtentPoint32W(c.dc, u"Wide words", 10, &plain);
  SelectObject(c.dc, bold);
  GetTextExtentPoint32W(c.dc, u"Wide words", 10, &heavy);
  EXPECT_GT(heavy.cx, plain.cx);
  SelectObject(c.dc, sharp);
  c.FillRaw(0xFFFFFF);
  SetBkMode(c.dc, TRANSPARENT);
  ExtTextOutW(c.dc, 0, 0, 0, nullptr, u"Sharp", 5, nullptr);
  InkBox ink = Measure(c);
  EXPECT_FALSE(ink.greys);
  EXPECT_GT(ink.box.right, 20);
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  for (HFONT f : {regular, bold, sharp}) DeleteObject(f);
}

TEST_F(GdiTest, MissingFontFolderStillDrawsWithTheFixedFace) {
  setenv("ZONBREL_FONT_DIR", "/nonexistent", 1);
  Canvas c(40, 20, {24});
  HFONT font = MakeFont(u"Courier New", 10);
  SelectObject(c.dc, font);
  SIZE size{};
  EXPECT_TRUE(GetTextExtentPoint32W(c.dc, u"ab", 2, &size));
  EXPECT_EQ(size.cx, 10);
  unsetenv("ZONBREL_FONT_DIR");
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
}

}  // namespace
}  // namespace zb::testing
