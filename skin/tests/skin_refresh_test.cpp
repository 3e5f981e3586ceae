// The once-a-second refresh of a playing player over the built-in skin repaints only what
// changed: a new second moves the time label and the track slider, and no other pixel; painted
// over a marker colour, the refresh paints exactly those two elements' rectangles.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "skin_packages.h"
#include "skin_state_support.h"

namespace zb::testing {
namespace {

constexpr COLORREF kMarker = RGB(255, 0, 255);

// The bounding rectangles of the 4-connected areas of pixels that are no longer the marker (as
// the screen's format keeps it).
std::vector<RECT> PaintedAreas(const std::vector<COLORREF>& screen, int width, int height, COLORREF marker) {
  std::vector<bool> seen(screen.size());
  std::vector<RECT> areas;
  for (int start = 0; start < width * height; ++start) {
    if (seen[start] || screen[start] == marker) continue;
    RECT box{start % width, start / width, start % width + 1, start / width + 1};
    std::vector<int> todo{start};
    seen[start] = true;
    while (!todo.empty()) {
      const int at = todo.back();
      todo.pop_back();
      const int x = at % width, y = at / width;
      box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                 std::max<LONG>(box.bottom, y + 1)};
      for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
        const int nx = x + dx, ny = y + dy;
        if (nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
        const int next = ny * width + nx;
        if (seen[next] || screen[next] == marker) continue;
        seen[next] = true;
        todo.push_back(next);
      }
    }
    areas.push_back(box);
  }
  return areas;
}

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

  // Covers the window with a colour the skin never draws, behind the skin's back; that colour as
  // the screen keeps it.
  COLORREF Mark() {
    HDC dc = GetDC(window_);
    HBRUSH marker = CreateSolidBrush(kMarker);
    RECT all{0, 0, 240, 320};
    FillRect(dc, &all, marker);
    DeleteObject(marker);
    const COLORREF kept = GetPixel(dc, 0, 0);
    ReleaseDC(window_, dc);
    return kept;
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
  // The skin drawn whole for a playing first of three items, ten seconds in.
  void PlayingAtSecondTen() {
    host.playing = TRUE, host.paused = 0, host.index = 0, host.count = 3;
    host.settings[SKIN_SETTING_SHOWING_ELAPSED] = 1;
    Command(0);
    HDC dc = GetDC(window_);
    Command(8, dc);
    ReleaseDC(window_, dc);
    Refresh(10);
  }
  DWORD tick_ = 5000000;
};

TEST_F(SkinRefresh, ANewSecondRepaintsTheTimeLabelAndTheTrackSliderOnly) {
  PlayingAtSecondTen();
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

TEST_F(SkinRefresh, ARefreshPaintsTheRectanglesOfTheTimeLabelAndTheTrackSliderAlone) {
  PlayingAtSecondTen();

  const COLORREF marker = Mark();
  Refresh(11);
  const std::vector<COLORREF> painted = Screen();
  const std::vector<RECT> areas = PaintedAreas(painted, 240, 320, marker);
  const RECT time = RectOf(u"TRACKVIEW"), track = RectOf(u"TRACK");
  int inTime = 0, inTrack = 0;
  for (const RECT& area : areas) {
    RECT within;
    if (IntersectRect(&within, &area, &time) && EqualRect(&within, &area)) {
      ++inTime;
    } else if (IntersectRect(&within, &area, &track) && EqualRect(&within, &area)) {
      ++inTrack;
    } else {
      ADD_FAILURE() << "painted outside the two elements: " << area.left << "," << area.top << " " << area.right << ","
                    << area.bottom;
    }
  }
  EXPECT_EQ(inTime, 1) << "the time label, as one rectangle";
  EXPECT_EQ(inTrack, 1) << "the track slider, as one rectangle";
  const auto area = [](const RECT& r) { return (r.right - r.left) * (r.bottom - r.top); };
  const long pixels = std::count_if(painted.begin(), painted.end(), [marker](COLORREF c) { return c != marker; });
  EXPECT_LE(pixels, area(time) + area(track));
  RecordProperty("painted_rectangles", static_cast<int>(areas.size()));
  RecordProperty("painted_pixels", static_cast<int>(pixels));

  // A refresh with nothing new paints nothing at all.
  const COLORREF again = Mark();
  Refresh(11);
  EXPECT_TRUE(PaintedAreas(Screen(), 240, 320, again).empty());
}

}  // namespace
}  // namespace zb::testing
