// The built-in spectrum drawn into DIB memory: where the ten bars stand, how high a level puts
// a bar and its peak mark, how bars and peaks fall in silence, and that a tone raises the bar
// of its own band.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "vis_view_surface.h"

namespace zb::testing {
namespace {

constexpr int kSpeed = 10;  // falls 170 a frame; peaks hold 6 frames

std::vector<signed char> Silence() { return std::vector<signed char>(kVisBufferBytes, 0); }

// A state whose shown bands all come to `level` in the next frame of silence.
VisSpectrumState StandingAt(int level) {
  VisSpectrumState state;
  MakeVisBandTable(state);
  state.ready = 1;
  for (int b = 0; b < kVisBands; ++b) state.barLevel[b] = level + 170;
  return state;
}

TEST(VisSpectrum, BandTableIsTheLogarithmicOneOf172To22050Hz) {
  VisSpectrumState state;
  MakeVisBandTable(state);
  const int edges[kVisBands] = {1, 243, 344, 486, 688, 973, 1376, 1947, 2754, 3895, 5510, 7793, 11022, 15589, 22050};
  const int first[kVisBands] = {0, 0, 1, 2, 4, 7, 11, 17, 25, 36, 53, 75, 108, 153, 218};
  const int end[kVisBands] = {0, 1, 2, 4, 7, 11, 17, 25, 36, 53, 75, 108, 153, 218, 256};
  for (int b = 0; b < kVisBands; ++b) {
    EXPECT_EQ(state.bandEdges[b], edges[b]) << b;
    EXPECT_EQ(state.bandFirstBin[b], first[b]) << b;
    EXPECT_EQ(state.bandEndBin[b], end[b]) << b;
  }
}

TEST(VisSpectrum, BarJOfAHundredColumnsCoversColumns10jTo10jPlus8) {
  ViewSurface view(100, 20);
  view.Fill(kVisColourBackground);
  VisSpectrumState state = StandingAt(512);
  DrawVisSpectrum(view.surface, Silence().data(), kVisBufferBytes, view.colours, kSpeed, 0, state);
  for (int j = 0; j < 10; ++j) {
    for (int x = 10 * j; x <= 10 * j + 8; ++x) {
      EXPECT_EQ(view.Entry(x, 19), kVisColourBarTop + (19 * 14) / 20) << "bar " << j << " column " << x;
      EXPECT_EQ(view.Entry(x, 1), kVisColourBarTop + (1 * 14) / 20) << x;
    }
    for (int y = 0; y < 20; ++y) EXPECT_EQ(view.Entry(10 * j + 9, y), kVisColourBackground) << "gap of bar " << j;
  }
}

struct Height {
  int level, top, mark;
};

TEST(VisSpectrum, ALevelSetsTheTopRowAndThePeakMarkJustAboveIt) {
  for (const Height& h : {Height{512, 1, 0}, Height{256, 11, 10}}) {
    ViewSurface view(100, 20);
    view.Fill(kVisColourBackground);
    VisSpectrumState state = StandingAt(h.level);
    DrawVisSpectrum(view.surface, Silence().data(), kVisBufferBytes, view.colours, kSpeed, 0, state);
    EXPECT_EQ(view.Entry(0, h.mark), kVisColourPeak) << h.level;
    EXPECT_EQ(view.Entry(0, h.top), kVisColourBarTop + (h.top * 14) / 20) << h.level;
    for (int y = 0; y < h.mark; ++y) EXPECT_EQ(view.Entry(0, y), kVisColourBackground) << h.level << " row " << y;
  }
}

TEST(VisSpectrum, BarColouringFollowsTheMode) {
  // Mode 1 counts from the bar's top, mode 2 paints one colour for the whole bar.
  struct Case {
    int mode, row, entry;
  } cases[] = {{1, 11, kVisColourBarTop}, {1, 19, kVisColourBarTop + (8 * 14) / 20},
               {2, 11, kVisColourBarTop + (11 * 14) / 20}, {2, 19, kVisColourBarTop + (11 * 14) / 20},
               {5, 19, kVisColourBackground}};
  for (const Case& c : cases) {
    ViewSurface view(100, 20);
    view.Fill(kVisColourBackground);
    VisSpectrumState state = StandingAt(256);
    DrawVisSpectrum(view.surface, Silence().data(), kVisBufferBytes, view.colours, kSpeed, c.mode, state);
    EXPECT_EQ(view.Entry(0, c.row), c.entry) << "mode " << c.mode << " row " << c.row;
    EXPECT_EQ(view.Entry(0, 10), kVisColourPeak) << "the peak shows in every mode";
  }
}

TEST(VisSpectrum, SilenceLetsAFullBarFallAndItsPeakHoldThenFall) {
  ViewSurface view(100, 20);
  VisSpectrumState state = StandingAt(512);
  std::vector<int> levels, peaks;
  for (int frame = 0; frame < 11; ++frame) {
    DrawVisSpectrum(view.surface, Silence().data(), kVisBufferBytes, view.colours, kSpeed, 0, state);
    levels.push_back(state.barLevel[3]);
    peaks.push_back(state.barPeak[3]);
  }
  EXPECT_EQ(std::vector<int>(levels.begin(), levels.begin() + 5), (std::vector<int>{512, 342, 172, 2, 0}));
  // Raised in frame 0, unchanged for the 6 frames after it, then down by 28, 56, 85, 113.
  EXPECT_EQ(peaks, (std::vector<int>{512, 512, 512, 512, 512, 512, 512, 484, 428, 343, 230}));
}

TEST(VisSpectrum, ATonePutsTheTallestBarOnItsOwnBand) {
  // A sine that makes transform bin k: bins 17..24 are band 7 (bar 4), bins 53..74 band 10 (bar 7).
  for (const auto [bin, bar] : {std::pair{20, 4}, std::pair{60, 7}}) {
    std::vector<signed char> tone(kVisBufferBytes);
    for (int k = 0; k < 576; ++k)
      tone[2 * k] = tone[2 * k + 1] = static_cast<signed char>(std::lround(100 * std::sin(2 * M_PI * bin * k / 256.0)));
    ViewSurface view(100, 40);
    view.Fill(kVisColourBackground);
    VisSpectrumState state;
    DrawVisSpectrum(view.surface, tone.data(), kVisBufferBytes, view.colours, kSpeed, 0, state);
    int tallest = -1, best = 0;
    for (int j = 0; j < 10; ++j)
      if (state.barLevel[j + 3] > best) best = state.barLevel[j + 3], tallest = j;
    EXPECT_EQ(tallest, bar) << "bin " << bin;
    EXPECT_GT(best, 100);
  }
}

TEST(VisSpectrum, OnlyTheFirst256PairsCount) {
  std::vector<signed char> tail = Silence();
  for (size_t i = 512; i < tail.size(); ++i) tail[i] = static_cast<signed char>(i % 2 ? 120 : -120);
  ViewSurface view(100, 20);
  VisSpectrumState state;
  DrawVisSpectrum(view.surface, tail.data(), kVisBufferBytes, view.colours, kSpeed, 0, state);
  for (int b = 0; b < kVisBands; ++b) EXPECT_EQ(state.barLevel[b], 0) << b;
}

}  // namespace
}  // namespace zb::testing
