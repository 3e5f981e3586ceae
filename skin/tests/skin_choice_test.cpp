// Skin choice and skin files: the variant for the screen as a table, a stored skin of another
// platform still finding its variant, preview images and package texts, the skin state's
// ownership of skin and cache, and rescaling sums that stay in range for long glyph strips.
#include "skin/skin_choice.h"

#include "skin/skin.h"
#include "skin/skin_label.h"
#include "skin/skin_package.h"
#include "skin/skin_state.h"
#include "skin/skin_script.h"
#include "skin/ui_cache.h"
#include "bmp_files.h"
#include "skin_packages.h"
#include "skin_window_support.h"

namespace zb::testing {
namespace {

class Choice : public SkinWindowTest {
 protected:
  void TearDown() override {
    ForgetSkinPackageListing();
    SkinWindowTest::TearDown();
  }
  // A package that declares one variant: "<base>-W-H.group" and, when given, "<platform>.platform".
  std::u16string Variant(const std::string& base, int w, int h, const std::string& platform = "") {
    const std::string group = base + "-" + std::to_string(w) + "-" + std::to_string(h) + ".group";
    Entries entries{{"script.txt", "BACKGROUND 1\r\n"}, {group, ""}};
    if (!platform.empty()) entries.push_back({platform + ".platform", ""});
    return WriteSkinPackage(device_, base + std::to_string(w) + "x" + std::to_string(h) + platform + ".zsz", entries);
  }
  std::u16string Choose(LPCWSTR stored, int w, int h, const std::vector<std::u16string>& found, LPCWSTR last = nullptr) {
    WCHAR out[MAX_PATH] = {u'x'};
    const int result = FindSkinVariantForScreen(stored, w, h, found, last, out);
    EXPECT_EQ(result != 0, out[0] != 0);
    return out;
  }
};

struct ScreenCase {
  SIZE screen;
  std::vector<SIZE> variants;  // in the order the search finds them
  int chosen;                  // index into variants, -1 for none
};

TEST_F(Choice, TheVariantForTheScreenIsTheExactSizeElseTheSameAspect) {
  const ScreenCase cases[] = {
      {{480, 640}, {{240, 320}, {480, 640}}, 1},
      {{480, 640}, {{480, 640}, {240, 320}}, 0},
      {{480, 640}, {{240, 320}, {320, 320}}, 0},
      {{480, 640}, {{320, 320}}, -1},
      {{240, 320}, {{480, 640}, {240, 320}, {120, 160}}, 1},
      {{240, 320}, {{480, 640}, {120, 160}}, 1},  // the last of the same aspect
      {{240, 240}, {{240, 320}, {320, 320}}, 1},
      {{240, 240}, {{240, 320}, {320, 240}}, -1},
      {{320, 240}, {{240, 320}, {320, 240}, {640, 480}}, 1},
      {{640, 480}, {{240, 320}, {320, 240}}, 1},
  };
  for (const ScreenCase& c : cases) {
    std::vector<std::u16string> found;
    for (const SIZE& v : c.variants) found.push_back(Variant("calm", v.cx, v.cy));
    const std::u16string want = c.chosen < 0 ? u"" : found[c.chosen];
    EXPECT_EQ(Choose(nullptr, c.screen.cx, c.screen.cy, found), want) << c.screen.cx << "x" << c.screen.cy << " case";
  }
}

TEST_F(Choice, AStoredSkinKeepsItsBaseNameAndPlatform) {
  const std::u16string stored = Variant("calm", 240, 320);
  const std::u16string big = Variant("calm", 480, 640), other = Variant("loud", 480, 640);
  const std::u16string phone = Variant("calm", 480, 640, "smartphone");
  // Only the stored skin's own variants count, and only those of this platform.
  EXPECT_EQ(Choose(stored.c_str(), 480, 640, {other, phone, big}), big);
  EXPECT_EQ(Choose(stored.c_str(), 480, 640, {other, phone}), stored) << "without a variant of its own it stays";
  // The stored skin fits already: it stays, unless it is the skin applied now.
  EXPECT_EQ(Choose(stored.c_str(), 240, 320, {big, stored}), stored);
  EXPECT_EQ(Choose(stored.c_str(), 240, 320, {big, stored}, stored.c_str()), u"");
  // A stored file that is gone gives nothing.
  EXPECT_EQ(Choose(u"\\gone.zsz", 240, 320, {big, stored}), u"");
}

TEST_F(Choice, AStoredSkinOfTheExactSizeButAnotherPlatformStillFindsItsVariant) {
  const std::u16string stored = Variant("calm", 240, 320, "smartphone");
  const std::u16string mine = Variant("calm", 240, 320, "pocketpc");
  EXPECT_EQ(Choose(stored.c_str(), 240, 320, {stored, mine}), mine);
}

TEST_F(Choice, PreviewsAreTheFirstImageThatCanBeExtracted) {
  const std::u16string both = WriteSkinPackage(device_, "both.zsz", {{"art/MAIN.BMP", "bmp"}, {"pics/Preview.png", "png"}});
  const std::u16string plain = WriteSkinPackage(device_, "plain.zsz", {{"main.bmp", "bmp"}});
  const std::u16string none = WriteSkinPackage(device_, "none.zsz", {{"script.txt", ""}});
  WCHAR path[MAX_PATH];
  BOOL temporary = FALSE;
  ASSERT_TRUE(LoadSkinPreview(both.c_str(), path, &temporary));
  EXPECT_TRUE(temporary);
  EXPECT_EQ(ReadSkinText(path), u"png");
  DeleteFileW(path);
  ASSERT_TRUE(LoadSkinPreview(plain.c_str(), path, &temporary));
  EXPECT_EQ(ReadSkinText(path), u"bmp");
  DeleteFileW(path);
  EXPECT_FALSE(LoadSkinPreview(none.c_str(), path, &temporary));
  EXPECT_EQ(path[0], 0);
  EXPECT_FALSE(LoadSkinPreview(u"\\skin.zip", path, &temporary)) << "not a skin file";
}

TEST_F(Choice, PackageTextsAreReadWholeInTheirEncodingAndLeaveNoCopy) {
  const std::u16string p = WriteSkinPackage(device_, "texts.zsz", {{"dir/PLEDIT.TXT", "\xEF\xBB\xBFNormal=#C8CDD6\r\nFont=Caf\xC3\xA9"}});
  skin_->SetPath(p.c_str());
  EXPECT_EQ(skin_->ReadPackageText(u"pledit.txt"), u"Normal=#C8CDD6\r\nFont=Caf\u00E9");
  EXPECT_EQ(skin_->ReadPackageText(u"viscolor.txt"), u"");
  WCHAR temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  EXPECT_EQ(GetFileAttributesW((std::u16string(temp) + u"PLEDIT.TXT").c_str()), INVALID_FILE_ATTRIBUTES);
}

std::vector<uint8_t> SolidBmp(int w, int h) {
  BmpLayout l(w, h, 24);
  const int stride = (w * 3 + 3) & ~3;
  l.pixels.assign(static_cast<size_t>(stride) * h, 0x40);
  return MakeBmp(l);
}

TEST_F(Choice, TheSkinStateOwnsTheSkinAndItsImages) {
  const std::vector<uint8_t> bmp = SolidBmp(8, 8);
  const std::u16string p = WriteSkinPackage(device_, "state.zsz",
                                            {{"bg.bmp", std::string(bmp.begin(), bmp.end())},
                                             {"script.txt", "BITMAP 1,bg.bmp\r\nBACKGROUND 1\r\nPRAGMA_VALUE 4,1\r\n"
                                                            "LABEL SONGTITLE,1,2,RECT[0;0;8;8]\r\nBUTTON STOP,1,1,RECT[0;0;4;4],0,0,4,4,0,0,0,0\r\n"}});
  CSkinState state(window_, nullptr);
  EXPECT_EQ(state.HandleUiCommand(19, nullptr), 0) << "no skin: nothing answers";
  state.SetSkin(nullptr);  // the detach before a load
  auto* skin = new CSkin(window_);
  ASSERT_TRUE(skin->Load(p.c_str()));
  state.SetSkin(skin);
  EXPECT_NE(UICache::Get()->GetBitmap(1), nullptr) << "handing over a new skin keeps the images it loaded";
  EXPECT_EQ(state.HandleUiCommand(19, nullptr), 1) << "pragma 4";
  EXPECT_EQ(state.HandleUiCommand(12, nullptr), 0) << "pragma 1";
  EXPECT_EQ(state.HandleUiCommand(22, nullptr), 1) << "a visible STOP";
  EXPECT_EQ(state.HandleUiCommand(30, const_cast<char16_t*>(u"STOP")), 1);
  EXPECT_EQ(state.HandleUiCommand(30, const_cast<char16_t*>(u"PLAY")), 0);
  // The title: the welcome text at first, kept by a title command without a text.
  auto* title = static_cast<CSkinLabel*>(skin->FindElement(SKIN_KIND_LABEL, u"SONGTITLE"));
  state.HandleUiCommand(0, nullptr);
  state.HandleUiCommand(6, nullptr);
  EXPECT_EQ(std::u16string(state.GetTitle()), u"Welcome to Zonbrel 3.5");
  EXPECT_EQ(title->GetTextLength(), 22);
  state.HandleUiCommand(6, const_cast<char16_t*>(u"Song"));
  EXPECT_EQ(std::u16string(state.GetTitle()), u"Song");
  EXPECT_EQ(title->GetTextLength(), 4);
  // Painting draws the background into the context.
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, 8, 8);
  HGDIOBJ old = SelectObject(dc, canvas);
  EXPECT_EQ(state.HandleUiCommand(9, dc), 1);
  const COLORREF painted = GetPixel(dc, 6, 6);  // in the screen's format: near the image's grey
  for (int channel : {GetRValue(painted), GetGValue(painted), GetBValue(painted)}) EXPECT_NEAR(channel, 0x40, 8);
  SelectObject(dc, old);
  DeleteObject(canvas);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  // A detach lets the skin's images go (a skin handed over keeps the images it was loaded into).
  state.SetSkin(nullptr);
  EXPECT_EQ(UICache::Get()->GetBitmap(1), nullptr);
}

TEST_F(Choice, RescalingLongGlyphStripsKeepsTheirOffsetsInRange) {
  // A fixed-cell strip of 95 glyphs, 200 pixels each: offsets run to 18800.
  HDC screen = GetDC(nullptr);
  HBITMAP strip = CreateCompatibleBitmap(screen, 95 * 200, 4);
  ReleaseDC(nullptr, screen);
  UICache* cache = UICache::Get();
  ASSERT_TRUE(cache->AddAlphaFont(strip, 7, 200, 4, 1, 0, u"long.bmp"));
  const int last = cache->GetGlyphOffsets(7)[94];
  ASSERT_EQ(last, 94 * 200);
  // A 640x480 background fitted to 1280x960: numerators of 1280 x 480, the area as denominator.
  cache->Rescale(1280 * 480, 960 * 640, 640 * 480);
  EXPECT_EQ(cache->GetGlyphOffsets(7)[94], 2 * last);
  EXPECT_EQ(cache->GetGlyphWidths(7)[94], 400);
}

}  // namespace
}  // namespace zb::testing
