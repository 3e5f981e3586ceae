// Sectioned skin descriptions: a description with magenta-keyed images beside it imports to the
// elements the player looks for, with masks where the images are magenta; reference files are
// followed, but one that leads back to a file already read is an error; the information-only
// pass reads no image and stops after the bitmaps.
#include "skin/skin_description.h"

#include "bmp_files.h"
#include "skin/skin_button.h"
#include "skin/skin_label.h"
#include "skin/skin_package.h"
#include "skin/skin_slider.h"
#include "skin/ui_cache.h"
#include "skin_window_support.h"

namespace zb::testing {
namespace {

const COLORREF kMagenta = RGB(255, 0, 255);

// A 24-bit BMP of w x h in `fill`, with the rectangle `key` in magenta.
std::vector<uint8_t> KeyedBmp(int w, int h, COLORREF fill, RECT key) {
  BmpLayout l(w, -h, 24);
  std::vector<std::vector<uint32_t>> rows;
  for (int y = 0; y < h; ++y) {
    std::vector<uint32_t> row;
    for (int x = 0; x < w; ++x) {
      const bool keyed = x >= key.left && x < key.right && y >= key.top && y < key.bottom;
      const COLORREF c = keyed ? kMagenta : fill;
      row.push_back((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
    }
    rows.push_back(row);
  }
  l.pixels = PackRows(rows, 24);
  return MakeBmp(l);
}

std::vector<uint8_t> Text(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

const char kDescription[] =
    "[Skin v2.1]\r\n"
    "[Description]\r\n"
    "Dimensions, 240, 320 // the screen it is made for\r\n"
    "[Bitmaps] // the images\r\n"
    "Background, back.bmp, 0, 0\r\n"
    "Buttons, keys.bmp, 2, 1 ' offset of the source points\r\n"
    "[Buttons]\r\n"
    // name, -, x, y, w, h, bitmap, -, srcX, srcY, seven more
    "Play,0,10,20,16,8,Buttons,0,0,0,0,0,0,0,0,0,0\r\n"
    "Prev,0,30,20,16,8,Buttons,0,16,0,0,0,0,0,0,0,0\r\n"
    "RepeatPlaylist,0,50,20,16,8,Buttons,0,0,0,0,0,0,0,0,0,0\r\n"
    "Shuffle,0,70,20,16,8,Buttons,0,0,0,0,0,0,0,0,0,0,Buttons,0,16,0\r\n"
    "Mute,0,90,20,16,8,Buttons,0,0,0,0,0,0,0,0,0,0,Buttons,0,16,0,Buttons,0,0,0\r\n"
    "Stars,0,10,40,16,8,Buttons,0,0,0,0,0,0,0,0,0,0,Buttons,0,16,0,Buttons,0,0,0,Buttons,0,16,0,Buttons,0,0,0\r\n"
    "Odd,0,10,60,16,8,Buttons,0,0,0,0,0,0,0,0,0,0,Buttons,0,16,0\r\n"
    "Short,0,10,60,16,8,Buttons,0,0,0,0,0,0,0,0,0,0,Buttons,0\r\n"
    "[Text]\r\n"
    "Author,10,100,100,12,Right,Tahoma,9,B,255,255,255\r\n"
    "Time,10,120,60,12,Center,Tahoma,9,R,200,200,200\r\n"
    "[Trackbars]\r\n"
    "Seek,10,150,200,6,0,0,0,0,thumb.bmp,8,6\r\n"
    "[AlbumArt]\r\n"
    "120,160,100,100\r\n"
    "[Marquee]\r\n"
    "10,80,200,12,Tahoma,10,BE,255,200,0,extra\r\n";

class Descriptions : public SkinWindowTest {
 protected:
  void SetUp() override {
    SkinWindowTest::SetUp();
    PutFile("back.bmp", KeyedBmp(240, 320, RGB(40, 40, 40), RECT{0, 0, 0, 0}));
    PutFile("keys.bmp", KeyedBmp(40, 12, RGB(0, 0, 255), RECT{4, 2, 8, 6}));
    PutFile("thumb.bmp", KeyedBmp(16, 6, RGB(200, 200, 200), RECT{0, 0, 2, 6}));
    PutFile("demo.skn", Text(kDescription));
  }
  template <typename T>
  T* Find(int kind, const char16_t* name) {
    return static_cast<T*>(skin_->FindElement(kind, name));
  }
};

TEST_F(Descriptions, ImportToTheConventionalElements) {
  ASSERT_TRUE(skin_->Load(u"\\demo.skn"));
  const std::vector<std::u16string>& messages = skin_->LoadMessages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], u"odd number of states for ODD, line 14.  Continue processing script?");
  EXPECT_EQ(messages[1], u"wrong amount of tokens for Buttons, line 15.  Continue processing script?");

  for (int pragma : {1, 4, 5, 6}) EXPECT_EQ(skin_->GetPragma(pragma), 1) << pragma;
  EXPECT_EQ(skin_->GetBackgroundBitmap(), UICache::Get()->GetBitmap(101));

  auto* play = Find<CSkinButton>(SKIN_KIND_BUTTON, u"PLAY");
  ASSERT_NE(play, nullptr);
  EXPECT_NE(Find<CSkinButton>(SKIN_KIND_BUTTON, u"BACK"), nullptr) << "Prev is BACK";
  for (const char16_t* name : {u"REPEAT", u"SHUFFLE", u"MUTE"})
    EXPECT_NE(Find<CSkinOnOffButton>(SKIN_KIND_ONOFF, name), nullptr) << std::string(name, name + wcslen(name));
  EXPECT_NE(Find<CSkinCountButton>(SKIN_KIND_COUNTBUTTON, u"STARS"), nullptr);
  EXPECT_EQ(skin_->FindElementByName(u"ODD"), nullptr);
  EXPECT_EQ(skin_->FindElementByName(u"SHORT"), nullptr);
  EXPECT_NE(Find<CSkinButton>(SKIN_KIND_BUTTON, u"MENU"), nullptr);
  EXPECT_NE(Find<CSkinButton>(SKIN_KIND_BUTTON, u"VISLARGE"), nullptr);
  auto* track = Find<CSkinSlider>(SKIN_KIND_SLIDER, u"TRACK");
  ASSERT_NE(track, nullptr);
  EXPECT_TRUE(track->IsHorizontal());
  auto* author = Find<CSkinLabel>(SKIN_KIND_LABEL, u"TAG_5");
  ASSERT_NE(author, nullptr);
  EXPECT_EQ(author->Alignment(), 5);
  EXPECT_TRUE(UICache::Get()->HasGdiFont(author->FontId()));
  ASSERT_NE(Find<CSkinLabel>(SKIN_KIND_LABEL, u"TRACKVIEW"), nullptr);
  EXPECT_EQ(Find<CSkinLabel>(SKIN_KIND_LABEL, u"TRACKVIEW")->Alignment(), 4);
  EXPECT_NE(Find<CSkinLabel>(SKIN_KIND_LABEL, u"TAG_7_26_9_3"), nullptr);

  // The play button looks like the background until pressed; pressed, it shows the buttons
  // bitmap at its source point moved by the bitmap's offset (2, 1).
  RECT r;
  play->GetRect(&r);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.right, 26);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, 240, 320);
  HGDIOBJ old = SelectObject(dc, canvas);
  PatBlt(dc, 0, 0, 240, 320, WHITENESS);
  Press(12, 22);
  play->Draw(window_, dc);
  EXPECT_EQ(GetPixel(dc, 10, 20), RGB(0, 0, 255)) << "keys.bmp at (2, 1)";
  EXPECT_EQ(GetPixel(dc, 12, 21), RGB(255, 255, 255)) << "keys.bmp's magenta at (4, 2) lets the canvas through";
  Release(12, 22);
  SelectObject(dc, old);
  DeleteObject(canvas);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

TEST_F(Descriptions, MagentaPixelsAreTransparentInTheMask) {
  ASSERT_TRUE(skin_->Load(u"\\demo.skn"));
  HBITMAP mask = UICache::Get()->GetMask(102);
  ASSERT_NE(mask, nullptr);
  EXPECT_EQ(SizeOf(mask).cx, 40);
  EXPECT_EQ(DepthOf(mask), 1);
  EXPECT_EQ(PixelOf(mask, 5, 3), RGB(255, 255, 255));
  EXPECT_EQ(PixelOf(mask, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(PixelOf(UICache::Get()->GetBitmap(102), 5, 3), kMagenta) << "the bitmap itself is unchanged";
}

TEST_F(Descriptions, AReferenceFileImportsTheFileItNames) {
  PutFile("ref.skn", Text("7#\\demo.skn"));
  ASSERT_TRUE(skin_->Load(u"\\ref.skn"));
  EXPECT_NE(skin_->FindElement(SKIN_KIND_BUTTON, u"PLAY"), nullptr);
}

TEST_F(Descriptions, AReferenceBackToAFileAlreadyReadIsAnError) {
  PutFile("self.skn", Text("1#\\self.skn"));
  PutFile("a.skn", Text("1#\\b.skn"));
  PutFile("b.skn", Text("2#\\a.skn  trailing words"));
  for (const char16_t* file : {u"\\self.skn", u"\\a.skn"}) {
    EXPECT_FALSE(skin_->Load(file));
    ASSERT_EQ(skin_->LoadMessages().size(), 1u);
    EXPECT_EQ(skin_->LoadMessages()[0].rfind(u"skin description refers back to ", 0), 0u);
    EXPECT_EQ(skin_->GetElementCount(), 0);
    WCHAR base[MAX_PATH];
    SIZE size{};
    EXPECT_FALSE(ReadSkinDescriptionInfo(file, base, &size, nullptr, nullptr));
  }
}

TEST_F(Descriptions, TheInformationPassReadsNoImageAndStopsAfterTheBitmaps) {
  PutFile("late.skn", Text("[Bitmaps]\r\nBackground,late.bmp,0,0\r\n[Description]\r\nDimensions,480,640\r\n"));
  WCHAR base[MAX_PATH], platform[MAX_PATH], preview[MAX_PATH] = {};
  SIZE size{-1, -1};
  ASSERT_TRUE(ReadSkinDescriptionInfo(u"\\demo.skn", base, &size, platform, preview));
  EXPECT_EQ(std::u16string(base), u"demo.skn");
  EXPECT_EQ(size.cx, 240);
  EXPECT_EQ(size.cy, 320);
  EXPECT_EQ(std::u16string(preview), u"\\back.bmp");
  EXPECT_TRUE(SkinPlatformMatches(platform));
  LPCWSTR name = nullptr;
  EXPECT_EQ(UICache::Get()->GetNamedBitmap(0, &name), nullptr) << "nothing was loaded";

  size = SIZE{-1, -1};
  ASSERT_TRUE(ReadSkinDescriptionInfo(u"\\late.skn", base, &size, nullptr, preview));
  EXPECT_EQ(size.cx, -1) << "the Description section after the bitmaps is not read";
  EXPECT_EQ(std::u16string(preview), u"\\late.bmp");

  SkinVariant variant{};
  ASSERT_TRUE(ReadSkinVariant(u"\\demo.skn", &variant));
  EXPECT_EQ(variant.size.cy, 320);
}

TEST_F(Descriptions, HeadersAndLinesFollowTheirRules) {
  SkinDescriptionContext c;
  c.infoOnly = true;
  EXPECT_FALSE(ImportSkinDescription(&c, u"[  ]"));
  EXPECT_EQ(std::u16string(c.parse.error), u"empty section name");
  EXPECT_TRUE(ImportSkinDescription(&c, u"[Skin v0.5]"));
  EXPECT_FALSE(c.version) << "major 0";
  SkinDescriptionContext v;
  v.infoOnly = true;
  EXPECT_TRUE(ImportSkinDescription(&v, u"[layout v3.0]"));
  EXPECT_TRUE(v.version);
  EXPECT_TRUE(ImportSkinDescription(&v, u"[ bitmaps ]"));
  EXPECT_FALSE(ImportSkinDescription(&v, u"Background back.bmp 0"));
  EXPECT_TRUE(ImportSkinDescription(&v, u"Background,back.bmp,0,0"));
  EXPECT_TRUE(v.previewFound);
  EXPECT_TRUE(ImportSkinDescription(&v, u"[Buttons]"));
  EXPECT_TRUE(v.done);
}

}  // namespace
}  // namespace zb::testing
