// The skin script loader on scripts in real packages: one fault per line gives exactly the
// loader's messages with their line numbers, the three encodings give the same skin, elements of
// every kind are built from their lines, and panels cannot nest without end.
#include "skin/skin_script.h"

#include "skin/skin.h"
#include "skin/skin_button.h"
#include "skin/skin_label.h"
#include "skin/skin_package.h"
#include "skin/skin_panel.h"
#include "skin/skin_slider.h"
#include "skin_packages.h"
#include "skin_window_support.h"

namespace zb::testing {
namespace {

class Scripts : public SkinWindowTest {
 protected:
  void TearDown() override {
    ForgetSkinPackageListing();
    SkinWindowTest::TearDown();
  }
  std::u16string Package(const std::string& name, const Entries& entries) {
    return WriteSkinPackage(device_, name, entries);
  }
  std::vector<std::u16string> Load(const std::u16string& package) {
    EXPECT_TRUE(skin_->LoadScript(package.c_str(), u"script.txt"));
    return skin_->LoadMessages();
  }
};

std::u16string Line(const char16_t* text, int line) {
  WCHAR suffix[64];
  wsprintfW(suffix, u", line %d.  Continue processing script?", line);
  return std::u16string(text) + suffix;
}

TEST_F(Scripts, EachFaultyLineGivesTheLoadersMessageWithItsLineNumber) {
  const std::string script =
      "' a comment line counts\r\n"
      "BUTTON PLAY,1,1,RECT[0;0;10;10],0,0,10,10,0,0,0,0\r\n"
      "\r\n"
      "button PLAY2,1,1,RECT[0;0;10;10],0,0,10,10,0,0,0,0\r\n"
      "  # not a comment\r\n"
      "GROUP\r\n"
      "BITMAP 7,missing.bmp,3\r\n"
      "TRANSPARENCY 1234567890,2,3\r\n"
      "BUTTON NEXT,1,1,RECT[1;2;3],0,0,10,10,0,0,0,0\r\n"
      "BUTTON PREV,1,1,OVAL[1;2;3;4],0,0,10,10,0,0,0,0\r\n"
      "BUTTON STOP,1,1,RECT1;2;3;4,0,0,10,10,0,0,0,0\r\n"
      "COUNTBUTTON RATING,2,1,1,1,1,RECT[0;0;4;4],0,0,4,4,0,0,0,0,0,0,0\r\n"
      "PRAGMA_VALUE 11,5\r\n"
      "SLIDER TRACK,HORZ,3,4,8,POLY[],0,0,10,10,2,2,2,2\r\n"
      "LABEL SONGTITLE,1,2,RECT[0;0;100;12] ' the title\r\n";
  const std::vector<std::u16string> messages = Load(Package("faults.zsz", {{"script.txt", script}}));
  EXPECT_EQ(messages, (std::vector<std::u16string>{
                          Line(u"unknown first token", 3),
                          Line(u"unknown first token", 4),
                          Line(u"wrong amount of tokens for GROUP", 5),
                          Line(u"unable to extract missing.bmp", 6),
                          Line(u"error parsing tokens for TRANSPARENCY", 7),
                          Line(u"wrong amount of tokens for RECT REGION", 8),
                          Line(u"unknown REGION type", 9),
                          Line(u"error parsing REGION", 10),
                          Line(u"wrong amount of tokens for COUNTBUTTON", 11),
                          Line(u"wrong amount of tokens for POLY REGION", 13),
                      }));
  // Good and half-good lines still built their elements.
  EXPECT_NE(skin_->FindElement(SKIN_KIND_BUTTON, u"PLAY"), nullptr);
  EXPECT_NE(skin_->FindElement(SKIN_KIND_BUTTON, u"NEXT"), nullptr);
  EXPECT_NE(skin_->FindElement(SKIN_KIND_LABEL, u"SONGTITLE"), nullptr);
  EXPECT_EQ(skin_->FindElement(SKIN_KIND_COUNTBUTTON, u"RATING"), nullptr);
  EXPECT_EQ(skin_->GetTransparency(0), 123456789);
  EXPECT_NE(UICache::Get()->GetBitmap(7), nullptr) << "a missing image still registers its id";
  RECT r;
  skin_->FindElement(SKIN_KIND_BUTTON, u"NEXT")->GetRegionBounds(&r);
  EXPECT_EQ(r.right, 3);
  EXPECT_EQ(r.bottom, 0);
}

TEST_F(Scripts, TheSameSkinReadsFromUtf16Utf8AndWindows1252) {
  const std::u16string text = u"LABEL CAF\u00C9^BAR,1,2,RECT[0;0;100;12],4\r\nGROUP 3\r\nBUTTON PLAY,1,1,RECT[0;0;10;10],0,0,10,10,0,0,0,0\r\n";
  std::string utf16 = "\xFF\xFE", utf8 = "\xEF\xBB\xBF", cp1252;
  for (WCHAR c : text) {
    utf16 += static_cast<char>(c & 0xFF);
    utf16 += static_cast<char>(c >> 8);
    if (c == u'\u00C9') {
      utf8 += "\xC3\x89";
      cp1252 += '\xC9';
    } else {
      utf8 += static_cast<char>(c);
      cp1252 += static_cast<char>(c);
    }
  }
  int n = 0;
  for (const std::string& bytes : {utf16, utf8, cp1252}) {
    skin_ = std::make_unique<CSkin>(window_);
    EXPECT_TRUE(Load(Package("enc" + std::to_string(n++) + ".zsz", {{"script.txt", bytes}})).empty());
    ASSERT_EQ(skin_->GetElementCount(), 3);
    EXPECT_NE(skin_->FindElement(SKIN_KIND_LABEL, u"CAF\u00C9 BAR"), nullptr);
    EXPECT_EQ(skin_->GetElementAt(2)->GetGroup(), 3);
  }
}

TEST_F(Scripts, ElementLinesBuildTheirKinds) {
  const std::string script =
      "ONOFF REPEAT,1,1,1,1,RECT[184;77;207;90],184,77,23,13,1,0,1,13,1,26,1,39\n"
      "SLIDER TRACK,HORZ,103,1,8,RECT[14;63;230;71],14,63,216,8,26,8,26,8\n"
      "RATCHET JOG,VERT,103,4,8,RECT[0;0;10;100],0,0,10,100,10,10,10,10,5\n"
      "COUNTBUTTON RATING,2,1,1,1,1,RECT[0;0;4;4],0,0,4,4,0,0,0,0,4,0,4,0\n"
      "COUNTBUTTON MODE,1,1,1,1,1,1,1,1,RECT[0;0;4;4],0,0,4,4,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\n"
      "DIAL VOLUME,1,1,RECT[20;20;120;120],0,360,0,100,0,1,POLY[0;-2;0;-40;2;-2],FF0000,1,00FF00\n"
      "LABEL2 TIME,1,2,RECT[0;0;50;10],0,0,50,10,4,1\n";
  EXPECT_TRUE(Load(Package("kinds.zsz", {{"script.txt", script}})).empty());
  const std::pair<int, LPCWSTR> expected[] = {{SKIN_KIND_ONOFF, u"REPEAT"},      {SKIN_KIND_SLIDER, u"TRACK"},
                                              {SKIN_KIND_RATCHET, u"JOG"},       {SKIN_KIND_COUNTBUTTON, u"RATING"},
                                              {SKIN_KIND_COUNTBUTTON, u"MODE"},  {SKIN_KIND_DIAL, u"VOLUME"},
                                              {SKIN_KIND_LABEL, u"TIME"}};
  for (const auto& [kind, name] : expected) EXPECT_NE(skin_->FindElement(kind, name), nullptr) << kind;
  auto* track = static_cast<CSkinSlider*>(skin_->FindElement(SKIN_KIND_SLIDER, u"TRACK"));
  EXPECT_TRUE(track->IsHorizontal());
  RECT r;
  track->GetRect(&r);
  EXPECT_EQ(r.right, 230);
  auto* rating = static_cast<CSkinCountButton*>(skin_->FindElement(SKIN_KIND_COUNTBUTTON, u"RATING"));
  EXPECT_TRUE(rating->SetIndex(1));
  EXPECT_FALSE(rating->SetIndex(2)) << "two states";
}

TEST_F(Scripts, PanelsLoadTheirScriptButNeverThemselvesOrAMissingOne) {
  const std::string inner = "BUTTON INNER,1,1,RECT[0;0;10;10],0,0,10,10,0,0,0,0\n";
  const std::string script =
      "PANEL LIST,panel.txt,20,30,100,50,1,0,0\n"
      "PANEL LOOP,loop.txt,0,0,10,10,1,0,0\n"
      "PANEL GONE,gone.txt,0,0,10,10,1,0,0\n";
  const std::vector<std::u16string> messages =
      Load(Package("panels.zsz", {{"script.txt", script}, {"panel.txt", inner}, {"loop.txt", "PANEL LOOP,loop.txt,0,0,10,10,1,0,0\n"}}));
  auto* panel = static_cast<CSkinPanel*>(skin_->FindElement(SKIN_KIND_PANEL, u"LIST"));
  ASSERT_NE(panel, nullptr);
  EXPECT_NE(panel->Inner()->FindElement(SKIN_KIND_BUTTON, u"INNER"), nullptr);
  // The loop's inner script fails at its own line, so the outer LOOP panel still stands; GONE
  // has no script and is refused instead of taking the classic skin.
  EXPECT_EQ(skin_->FindElement(SKIN_KIND_PANEL, u"GONE"), nullptr);
  EXPECT_EQ(messages.back(), Line(u"error reading PANEL script gone.txt", 3));
  // A press inside the panel reaches the inner button through the panel.
  Press(25, 35);
  auto* button = static_cast<CSkinButton*>(panel->Inner()->FindElement(SKIN_KIND_BUTTON, u"INNER"));
  EXPECT_TRUE(button->IsPressed());
  Release(25, 35);
  EXPECT_FALSE(button->IsPressed());
}

TEST_F(Scripts, ASkinWithoutScriptAndNoClassicScriptLoadsNothing) {
  skin_->SetPath(u"\\none.zsz");
  EXPECT_FALSE(ParseSkinScript(skin_.get(), u"\\none.zsz", u"panel.txt", TRUE));
  EXPECT_EQ(skin_->GetElementCount(), 0);
}

struct ColourCase {
  const char16_t* token;
  COLORREF colour;
};

TEST(SkinColours, AreReadAsRrggbb) {
  for (const ColourCase& c : {ColourCase{u"FF0000", RGB(255, 0, 0)}, ColourCase{u"#0000ff", RGB(0, 0, 255)},
                              ColourCase{u"-1", static_cast<COLORREF>(-1)}, ColourCase{u"", static_cast<COLORREF>(-1)},
                              ColourCase{u"FFFFFFFF", static_cast<COLORREF>(-1)}, ColourCase{u"red", 0},
                              ColourCase{u"12345G", 0}})
    EXPECT_EQ(ParseSkinColor(c.token), c.colour) << std::string(c.token, c.token + wcslen(c.token));
}

TEST_F(Scripts, PackagesListUpTo64EntriesAndFindThemAtAnyDepthWithoutCase) {
  Entries many;
  for (int i = 0; i < 64; ++i) many.push_back({"f" + std::to_string(i) + ".txt", "x"});
  const std::u16string ok = Package("64.zsz", many);
  int count = 0;
  EXPECT_TRUE(ListSkinPackage(ok.c_str(), &count));
  EXPECT_EQ(count, 64);
  many.push_back({"one-more.txt", "x"});
  const std::u16string tooMany = Package("65.zsz", many);
  EXPECT_FALSE(ListSkinPackage(tooMany.c_str(), &count));
  EXPECT_EQ(FindSkinEntry(tooMany.c_str(), u"f1.txt", nullptr), 0);

  const std::u16string deep = Package("deep.zsz", {{"a/b/main.bmp", "BM"}, {"script.txt", ""}});
  WCHAR stored[260];
  EXPECT_EQ(FindSkinEntry(deep.c_str(), u"MAIN.BMP", stored), 1);
  EXPECT_EQ(std::u16string(stored), u"a/b/main.bmp");
}

TEST_F(Scripts, AReplacedPackageIsListedAgainAndStaleCopiesDoNotCount) {
  std::u16string p = Package("swap.zsz", {{"one.txt", "1"}});
  EXPECT_EQ(FindSkinEntry(p.c_str(), u"one.txt", nullptr), 1);
  Sleep(1100);  // a new modification time
  p = Package("swap.zsz", {{"two.txt", "2"}, {"extra.txt", "3"}});
  EXPECT_EQ(FindSkinEntry(p.c_str(), u"one.txt", nullptr), 0);
  EXPECT_EQ(FindSkinEntry(p.c_str(), u"two.txt", nullptr), 1);

  // A stale temporary file of the entry's name is not taken for a successful extraction.
  WCHAR temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::u16string stale = std::u16string(temp) + u"broken.bmp";
  HANDLE h = CreateFileW(stale.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  CloseHandle(h);
  std::string bad = "PK\x03\x04 not really a zip";
  const std::u16string broken = PutFile("broken.zsz", std::vector<uint8_t>(bad.begin(), bad.end()));
  WCHAR path[MAX_PATH];
  BOOL temporary = TRUE;
  EXPECT_FALSE(ExtractSkinEntry(broken.c_str(), u"broken.bmp", path, &temporary));
  EXPECT_FALSE(temporary);
  // An entry that is there comes out as a temporary copy.
  EXPECT_TRUE(ExtractSkinEntry(p.c_str(), u"TWO.txt", path, &temporary));
  EXPECT_TRUE(temporary);
  EXPECT_EQ(ReadSkinText(path), u"2");
  DeleteFileW(path);
}

struct VariantCase {
  const char* group;
  const char16_t* base;
  SIZE size;
};

TEST_F(Scripts, VariantsReadTheirSizeAndBaseNamesWithDashes) {
  int n = 0;
  for (const VariantCase& c : {VariantCase{"calm-240-320.group", u"calm", {240, 320}},
                               VariantCase{"my-calm-skin-480-640.group", u"my-calm-skin", {480, 640}},
                               VariantCase{"dir/calm-320-240.GROUP", u"calm", {320, 240}}}) {
    const std::u16string p = Package("v" + std::to_string(n++) + ".zsz", {{c.group, ""}, {"pocketpc.platform", ""}});
    SkinVariant v{};
    ASSERT_TRUE(ReadSkinVariant(p.c_str(), &v)) << c.group;
    EXPECT_EQ(std::u16string(v.baseName), c.base);
    EXPECT_EQ(v.size.cx, c.size.cx);
    EXPECT_EQ(v.size.cy, c.size.cy);
    EXPECT_EQ(std::u16string(v.platform), u"pocketpc");
  }
}

}  // namespace
}  // namespace zb::testing
