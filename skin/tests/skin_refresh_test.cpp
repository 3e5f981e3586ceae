// The once-a-second refresh of a playing player over the built-in skin repaints only what
// changed: a new second moves the time label and the track slider, and no other pixel.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "skin_packages.h"
#include "skin_state_support.h"

namespace zb::testing {
namespace {

const std::filesystem::path kCalm = std::filesystem::path(ZB_SKIN_SOURCE_DIR) / "builtin" / "calm-240-320";

class SkinRefresh : public SkinStateTest {
 protected:
  void SetUp() override {
    SkinStateTest::SetUp();
    Entries entries;
    for (const auto& file : std::filesystem::directory_iterator(kCalm)) {
      std::ifstream in(file.path(), std::ios::binary);
      std::stringstream bytes;
      bytes << in.rdbuf();
      entries.push_back({file.path().filename().string(), bytes.str()});
    }
    const std::u16string package = WriteSkinPackage(device_, "calm.zsz", entries);
    state->SetSkin(nullptr);
    auto* loaded = new CSkin(window_);
    ASSERT_TRUE(loaded->Load(package.c_str()));
    state->SetSkin(loaded);
    skin = loaded;
  }

  std::vector<COLORREF> Screen() {
    std::vector<COLORREF> pixels;
    HDC dc = GetDC(window_);
    for (int y = 0; y < 320; ++y)
      for (int x = 0; x < 240; ++x) pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(window_, dc);
    return pixels;
  }
  RECT RectOf(LPCWSTR name) {
    RECT r{};
    skin->FindElementByName(name)->GetRect(&r);
    return r;
  }

  // One refresh as the player's timer runs it while a track plays.
  void Refresh(int second) {
    state->UpdateTrackTimeElements(60, 0, 0, second);
    state->UpdatePlayPauseElements();
    WCHAR title[] = u"1. Artist - Song <01:00>";
    Command(6, title);
    Command(27, static_cast<INT_PTR>(tick_ += 1000));
    Command(1, static_cast<INT_PTR>(0));
  }
  DWORD tick_ = 5000000;
};

TEST_F(SkinRefresh, ANewSecondRepaintsTheTimeLabelAndTheTrackSliderOnly) {
  host.playing = TRUE, host.paused = 0, host.index = 0, host.count = 3;
  host.settings[SKIN_SETTING_SHOWING_ELAPSED] = 1;
  Command(0);
  HDC dc = GetDC(window_);
  Command(8, dc);
  ReleaseDC(window_, dc);
  Refresh(10);
  const std::vector<COLORREF> before = Screen();
  Refresh(11);
  const std::vector<COLORREF> after = Screen();

  const RECT time = RectOf(u"TRACKVIEW"), track = RectOf(u"TRACK");
  int inTime = 0, inTrack = 0, elsewhere = 0;
  for (int y = 0; y < 320; ++y) {
    for (int x = 0; x < 240; ++x) {
      if (before[y * 240 + x] == after[y * 240 + x]) continue;
      const POINT p{x, y};
      if (PtInRect(&time, p))
        ++inTime;
      else if (PtInRect(&track, p))
        ++inTrack;
      else
        ++elsewhere;
    }
  }
  EXPECT_GT(inTime, 0) << "the time label shows the new second";
  EXPECT_GT(inTrack, 0) << "the track slider moved";
  EXPECT_EQ(elsewhere, 0) << "nothing else was repainted differently";
  RecordProperty("changed_pixels", inTime + inTrack);

  // A refresh with nothing new changes no pixel.
  Refresh(11);
  EXPECT_EQ(Screen(), after);
}

}  // namespace
}  // namespace zb::testing
