// A classic skin package (the test skin drawn by classic/make_classic_skin.py) loads through our
// classic script and compositing table: its windows land where the table puts them in one
// 240x320 bitmap, the extended digit strip wins over the plain one, and files of those names
// beside the program replace the built-in script and table.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "skin/skin_button.h"
#include "skin/skin_package.h"
#include "skin/skin_slider.h"
#include "skin/ui_cache.h"
#include "skin_packages.h"
#include "skin_window_support.h"

namespace zb::testing {
namespace {

const std::filesystem::path kSkin = std::filesystem::path(ZB_SKIN_SOURCE_DIR) / "tests" / "classic" / "skin";

// The colours the generator draws with.
const COLORREF kEdge = RGB(70, 80, 104), kPanel = RGB(38, 44, 58), kDark = RGB(14, 16, 22), kInk = RGB(0, 220, 120),
               kRed = RGB(230, 70, 60);

// Equal within the rounding of a 16-bit screen.
::testing::AssertionResult Near(COLORREF got, COLORREF want) {
  auto close = [](int a, int b) { return std::abs(a - b) <= 8; };
  if (close(GetRValue(got), GetRValue(want)) && close(GetGValue(got), GetGValue(want)) && close(GetBValue(got), GetBValue(want)))
    return ::testing::AssertionSuccess();
  char text[80];
  std::snprintf(text, sizeof text, "got %06lX, want %06lX", static_cast<unsigned long>(got), static_cast<unsigned long>(want));
  return ::testing::AssertionFailure() << text;
}

std::string Read(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

class ClassicSkin : public SkinWindowTest {
 protected:
  void TearDown() override {
    for (const std::u16string& f : besideProgram_) DeleteFileW(f.c_str());
    ForgetSkinPackageListing();
    SkinWindowTest::TearDown();
  }
  // The test skin's files, without those named in `leaveOut`.
  Entries SkinFiles(std::initializer_list<const char*> leaveOut = {}) {
    Entries entries;
    for (const auto& entry : std::filesystem::directory_iterator(kSkin)) {
      const std::string name = entry.path().filename().string();
      if (std::find(leaveOut.begin(), leaveOut.end(), name) == leaveOut.end()) entries.push_back({name, Read(entry.path())});
    }
    return entries;
  }
  BOOL Load(const std::string& name, const Entries& entries) {
    return skin_->Load(WriteSkinPackage(device_, name, entries).c_str());
  }
  void PutBesideProgram(const char16_t* name, const std::string& text) {
    WCHAR module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::u16string path = module;
    path = path.substr(0, path.find_last_of(u'\\') + 1) + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    besideProgram_.push_back(path);
  }
  HBITMAP Bitmap(LPCWSTR name) { return UICache::Get()->FindNamedBitmap(name); }

  std::vector<std::u16string> besideProgram_;
};

struct Spot {
  int x, y;
  COLORREF colour;
  const char* what;
};

TEST_F(ClassicSkin, ItsWindowsComposeIntoOneScreenWhereTheTablePutsThem) {
  ASSERT_TRUE(Load("classic.wsz", SkinFiles()));
  // mb.bmp is no file of the skin: its line registers the 1 x 1 placeholder the table grows.
  ASSERT_EQ(skin_->LoadMessages().size(), 1u);
  EXPECT_EQ(skin_->LoadMessages()[0], u"unable to extract mb.bmp, line 17.  Continue processing script?");
  HBITMAP screen = skin_->GetBackgroundBitmap();
  ASSERT_EQ(screen, Bitmap(u"main.bmp"));
  EXPECT_EQ(SizeOf(screen).cx, 240);
  EXPECT_EQ(SizeOf(screen).cy, 320);
  const Spot spots[] = {
      {120, 3, kEdge, "the main window's title bar"},
      {120, 92, kPanel, "the main window's panel"},
      {60, 25, kDark, "the main window's display"},
      {5, 104, kEdge, "the equaliser's title bar, below the main window"},
      {120, 195, kPanel, "the equaliser's panel"},
      {1, 203, kEdge, "the playlist's top left corner"},
      {231, 250, kDark, "the playlist's scroll groove"},
      {238, 250, kEdge, "the playlist's right side"},
      {2, 250, kEdge, "the playlist's left side"},
      {1, 318, kEdge, "the playlist's bottom"},
  };
  for (const Spot& s : spots) EXPECT_TRUE(Near(PixelOf(screen, s.x, s.y), s.colour)) << s.what;

  // The rescaled pieces the elements cut from.
  EXPECT_EQ(SizeOf(Bitmap(u"cbuttons.bmp")).cx, 120);
  EXPECT_EQ(SizeOf(Bitmap(u"posbar.bmp")).cy, 16);
  EXPECT_EQ(SizeOf(Bitmap(u"eqmain.bmp")).cx, 375);
  EXPECT_EQ(SizeOf(Bitmap(u"pledit.bmp")).cy, 68);
  EXPECT_TRUE(Near(PixelOf(Bitmap(u"pledit.bmp"), 3, 30), kDark)) << "the scroll bar's track from the composed groove";
  HBITMAP text = Bitmap(u"text.bmp");
  EXPECT_EQ(SizeOf(text).cx, 350);
  EXPECT_TRUE(Near(PixelOf(text, 7, 0), kInk)) << "the top of 'A', second glyph of the set";
  EXPECT_TRUE(Near(PixelOf(text, 2, 2), kDark)) << "the blank glyph";

  auto* play = static_cast<CSkinButton*>(skin_->FindElement(SKIN_KIND_BUTTON, u"PLAY"));
  ASSERT_NE(play, nullptr);
  RECT r;
  play->GetRect(&r);
  EXPECT_EQ(r.left, 34);
  EXPECT_EQ(r.top, 77);
  for (const char16_t* name : {u"TRACK", u"VOLUME", u"PREAMP", u"EQUALIZER0", u"EQUALIZER9", u"PLAYLISTSCROLLBAR"})
    EXPECT_NE(skin_->FindElement(SKIN_KIND_SLIDER, name), nullptr) << std::string(name, name + wcslen(name));
  for (const char16_t* name : {u"REPEAT", u"SHUFFLE", u"EQON", u"AUTOON", u"MONO", u"STEREO"})
    EXPECT_NE(skin_->FindElement(SKIN_KIND_ONOFF, name), nullptr) << std::string(name, name + wcslen(name));
  EXPECT_NE(skin_->FindElement(SKIN_KIND_LABEL, u"TRACKVIEW"), nullptr);
  EXPECT_EQ(skin_->GetPragma(1), 1);
}

struct DigitCase {
  std::initializer_list<const char*> leaveOut;
  COLORREF digits;
  bool minus;
};

TEST_F(ClassicSkin, TheExtendedDigitStripWinsOverThePlainOne) {
  const DigitCase cases[] = {{{}, kInk, true}, {{"numbers.bmp"}, kInk, true}, {{"nums_ex.bmp"}, kRed, false}};
  int n = 0;
  for (const DigitCase& c : cases) {
    SCOPED_TRACE(n);
    ASSERT_TRUE(Load("digits" + std::to_string(n++) + ".wsz", SkinFiles(c.leaveOut)));
    HBITMAP mb = Bitmap(u"mb.bmp");
    ASSERT_EQ(SizeOf(mb).cx, 636);
    EXPECT_TRUE(Near(PixelOf(mb, 302, 1), c.digits)) << "the top of '0', at the alpha font's place for it";
    EXPECT_TRUE(Near(PixelOf(mb, 544, 6), c.minus ? kInk : kDark)) << "'-'";
    EXPECT_TRUE(Near(PixelOf(mb, 632, 4), kInk)) << "':' from the main window";
    skin_ = std::make_unique<CSkin>(window_);
    UICache::Destroy();
  }
}

TEST_F(ClassicSkin, FilesBesideTheProgramReplaceTheBuiltInScriptAndTable) {
  PutBesideProgram(u"wszpragma.txt", "main.bmp main.bmp 100 50 0\r\n");
  ASSERT_TRUE(Load("table.wsz", SkinFiles()));
  EXPECT_EQ(SizeOf(Bitmap(u"main.bmp")).cx, 100);
  EXPECT_EQ(SizeOf(Bitmap(u"mb.bmp")).cx, 1) << "none of the built-in table ran";
  EXPECT_NE(skin_->FindElement(SKIN_KIND_BUTTON, u"PLAY"), nullptr) << "the built-in script still ran";

  skin_ = std::make_unique<CSkin>(window_);
  UICache::Destroy();
  PutBesideProgram(u"wszscript.txt", "BITMAP 1,cbuttons.bmp\r\nBUTTON OWN,1,1,RECT[0;0;5;5],0,0,5,5,0,0,0,0\r\n");
  ASSERT_TRUE(Load("script.wsz", SkinFiles()));
  EXPECT_NE(skin_->FindElement(SKIN_KIND_BUTTON, u"OWN"), nullptr);
  EXPECT_EQ(skin_->FindElement(SKIN_KIND_BUTTON, u"PLAY"), nullptr);
  EXPECT_EQ(SizeOf(Bitmap(u"cbuttons.bmp")).cx, 136) << "no compositing without the pragma line";
}

}  // namespace
}  // namespace zb::testing
