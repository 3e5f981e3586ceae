// The built-in oscilloscope in each style, its centre taken from the frame itself (a one-row
// frame included), the dot background and the idle patterns that feed the view.
#include <gtest/gtest.h>

#include <vector>

#include "vis_view_surface.h"

namespace zb::testing {
namespace {

// Left and right at `value` in the first half of the buffer and `second` in the rest.
std::vector<signed char> Steps(signed char value, signed char second) {
  std::vector<signed char> samples(kVisBufferBytes);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = i < samples.size() / 2 ? value : second;
  return samples;
}

// The rows of column x that are not background.
std::vector<int> DrawnRows(const ViewSurface& view, int x) {
  std::vector<int> rows;
  for (int y = 0; y < view.surface.height; ++y)
    if (view.Entry(x, y) != kVisColourBackground) rows.push_back(y);
  return rows;
}

TEST(VisOscilloscope, DotsPutOneRowPerColumnBelowTheCentreForPositiveSamples) {
  ViewSurface view(64, 21);  // centre row 10
  view.Fill(kVisColourBackground);
  const auto samples = Steps(64, 64);
  DrawVisOscilloscope(view.surface, samples.data(), view.colours, 0);
  for (int x = 0; x < 64; ++x) {
    EXPECT_EQ(DrawnRows(view, x), std::vector<int>{15}) << x;
    EXPECT_EQ(view.Entry(x, 15), kVisColourScopeCentre + (5 * 4) / 10);
  }
}

TEST(VisOscilloscope, FilledJoinsEachColumnToTheCentre) {
  ViewSurface view(64, 21);
  view.Fill(kVisColourBackground);
  const auto samples = Steps(64, -128);
  DrawVisOscilloscope(view.surface, samples.data(), view.colours, 2);
  EXPECT_EQ(DrawnRows(view, 0), (std::vector<int>{10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(DrawnRows(view, 63), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(view.Entry(63, 10), kVisColourScopeCentre + 4) << "the whole column takes the colour of its row";
}

TEST(VisOscilloscope, LinesJoinRowsThatJumpButNotTheFirstColumnNorStepsOfOne) {
  ViewSurface view(64, 21);
  view.Fill(kVisColourBackground);
  const auto samples = Steps(-128, 127);  // rows 0 then 19
  DrawVisOscilloscope(view.surface, samples.data(), view.colours, 1);
  EXPECT_EQ(DrawnRows(view, 0), std::vector<int>{0});
  int jump = -1;
  for (int x = 1; x < 64; ++x)
    if (DrawnRows(view, x).size() > 1) jump = x;
  ASSERT_GT(jump, 0);
  std::vector<int> all(20);
  for (int y = 0; y < 20; ++y) all[y] = y;
  EXPECT_EQ(DrawnRows(view, jump), all);
  EXPECT_EQ(DrawnRows(view, jump + 1), std::vector<int>{19});

  ViewSurface ramp(64, 21);
  ramp.Fill(kVisColourBackground);
  std::vector<signed char> slope(kVisBufferBytes);
  for (int k = 0; k < 576; ++k) slope[2 * k] = slope[2 * k + 1] = static_cast<signed char>(k / 9 * 4 - 128);
  DrawVisOscilloscope(ramp.surface, slope.data(), ramp.colours, 1);
  for (int x = 0; x < 64; ++x) EXPECT_EQ(DrawnRows(ramp, x).size(), 1u) << "rows one apart stay unjoined, column " << x;
}

TEST(VisOscilloscope, OtherStylesLeaveTheBackground) {
  ViewSurface view(64, 21);
  view.Fill(kVisColourBackground);
  const auto samples = Steps(64, 64);
  DrawVisOscilloscope(view.surface, samples.data(), view.colours, 3);
  DrawVisOscilloscope(view.surface, samples.data(), view.colours, -1);
  for (int x = 0; x < 64; ++x) EXPECT_TRUE(DrawnRows(view, x).empty());
}

TEST(VisOscilloscope, WideFramesShareAPointBetweenTwoColumns) {
  ViewSurface view(512, 21);
  view.Fill(kVisColourBackground);
  std::vector<signed char> samples(kVisBufferBytes);
  for (int k = 0; k < 576; ++k) samples[2 * k] = samples[2 * k + 1] = static_cast<signed char>((k % 2) ? 127 : -128);
  DrawVisOscilloscope(view.surface, samples.data(), view.colours, 0);
  for (int k = 0; k < 256; ++k) EXPECT_EQ(DrawnRows(view, 2 * k), DrawnRows(view, 2 * k + 1)) << k;
}

TEST(VisOscilloscope, AOneRowFrameDrawsItsOnlyRowWithoutDividingByZero) {
  for (int style : {0, 1, 2}) {
    ViewSurface view(32, 1);
    view.Fill(kVisColourBackground);
    const auto samples = Steps(127, -128);
    DrawVisOscilloscope(view.surface, samples.data(), view.colours, style);
    for (int x = 0; x < 32; ++x) EXPECT_EQ(view.Entry(x, 0), kVisColourScopeCentre) << style;
  }
}

TEST(VisOscilloscope, EveryRowDrawnLiesInsideTheFrame) {
  // The centre comes from the frame's own height, so full-scale samples reach its edges only.
  ViewSurface view(40, 7);
  view.Fill(kVisColourBackground);
  const auto samples = Steps(127, -128);
  DrawVisOscilloscope(view.surface, samples.data(), view.colours, 2);
  EXPECT_EQ(DrawnRows(view, 0), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(DrawnRows(view, 39), (std::vector<int>{0, 1, 2, 3}));
}

TEST(VisView, DotBackgroundDotsEvenColumnsOfOddRows) {
  ViewSurface view(6, 4);
  PaintVisDots(view.surface, view.colours);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(view.Entry(x, y), (y % 2 && x % 2 == 0) ? kVisColourDots : kVisColourBackground) << x << "," << y;
}

TEST(VisView, IdlePatternsAreTrianglesThatMoveWithTheFrame) {
  std::vector<signed char> buffer(kVisBufferBytes);
  FillVisIdlePattern(buffer.data(), kVisBufferBytes, 2, 0);  // period 4 bytes
  EXPECT_EQ(std::vector<signed char>(buffer.begin(), buffer.begin() + 8), (std::vector<signed char>{0, 127, 0, -127, 0, 127, 0, -127}));
  FillVisIdlePattern(buffer.data(), kVisBufferBytes, 2, 1153);  // period wraps back to 5
  EXPECT_EQ(std::vector<signed char>(buffer.begin(), buffer.begin() + 5), (std::vector<signed char>{0, 102, 51, -51, -102}));

  FillVisIdlePattern(buffer.data(), kVisBufferBytes, 1, 0);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[127], 127);
  EXPECT_EQ(buffer[128], 127);
  EXPECT_EQ(buffer[382], -127);
  EXPECT_EQ(buffer[383], -127);
  EXPECT_EQ(buffer[509], -1);
  EXPECT_EQ(buffer[510], 0);
  std::vector<signed char> next(kVisBufferBytes);
  FillVisIdlePattern(next.data(), kVisBufferBytes, 1, 1);
  EXPECT_TRUE(std::equal(next.begin(), next.end() - 1, buffer.begin() + 1)) << "one byte further per frame";
}

}  // namespace
}  // namespace zb::testing
