// Echo Effect and Pitch Adjust measured: the echo's delay and level against the signal 2304
// frames back at the player's block sizes, and a fresh history when the channel count changes;
// pitch ratios from the spectral peak of a resampled tone, frame counts, and the promise that
// sizes the caller's buffer.
#include "dsp_test_support.h"
#include "plugins/dsp/pitch_adjust.h"

#include <random>

namespace zb::testing {
namespace {

constexpr int kRate = 44100;
constexpr int kEchoFrames = 2304;

Samples Noise(int samples, unsigned seed) {
  std::mt19937 random(seed);
  Samples s(samples);
  for (SHORT& v : s) v = static_cast<SHORT>(static_cast<int>(random() % 60001) - 30000);
  return s;
}

// out[n] = in[n] / 2 + in[n - 2304] / 2, each half truncated, in double-checked integers.
Samples EchoReference(const Samples& in, int channels) {
  Samples out(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    const int back = i >= size_t{kEchoFrames} * channels ? in[i - kEchoFrames * channels] : 0;
    out[i] = static_cast<SHORT>(back / 2 + in[i] / 2);
  }
  return out;
}

class EchoEffect : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { g_echoModule.Init(); }
  TestDevice device_;
};

TEST_P(EchoEffect, EchoLiesHalfLevelFourRunsBackAtEveryBlockSize) {
  for (int channels : {2, 1}) {
    g_echoModule.Init();
    const Samples in = Noise(20000 * channels, 7);
    EXPECT_EQ(RunModule(g_echoModule, in, channels, kRate, GetParam()), EchoReference(in, channels))
        << channels << " channels";
  }
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, EchoEffect, ::testing::Values(576, 1152, 1000, 11520, 1));

TEST(EchoEffectChannels, ANewChannelCountStartsFromSilence) {
  TestDevice device;
  g_echoModule.Init();
  RunModule(g_echoModule, Noise(6000, 3), 2, kRate, 1152);
  const Samples mono = Noise(3000, 4);
  EXPECT_EQ(RunModule(g_echoModule, mono, 1, kRate, 1152), EchoReference(mono, 1));
  const Samples many = Noise(29 * 100, 5);
  EXPECT_EQ(RunModule(g_echoModule, many, 29, kRate, 100), many) << "more channels than the history holds";
}

TEST(EchoEffectChannels, EightBitBlocksPassUntouched) {
  TestDevice device;
  g_echoModule.Init();
  Samples block = Noise(1000, 6);
  const Samples before = block;
  EXPECT_EQ(g_echoModule.ModifySamples(block.data(), 500, 2, 8, kRate), 500);
  EXPECT_EQ(block, before);
}

class PitchAdjust : public ::testing::Test {
 protected:
  void SetUp() override { g_pitchModule.Init(); }
  void TearDown() override { g_pitchModule.Quit(); }
  TestDevice device_;
};

struct PitchCase {
  int pitch, block, frames;
};

TEST_F(PitchAdjust, FrameCountsFollowThePitch) {
  for (const PitchCase& c : {PitchCase{200, 1152, 576}, PitchCase{50, 1152, 2304}, PitchCase{150, 1152, 767},
                             PitchCase{100, 1152, 1152}, PitchCase{80, 11520, 14400}, PitchCase{200, 1, 0}}) {
    PitchPercent() = c.pitch;
    EXPECT_EQ(g_pitchModule.GetMaxSamples(c.block, &g_pitchModule), c.frames) << c.pitch;
    const Samples out = RunModule(g_pitchModule, Sine(440, c.block, 2, kRate, 9000), 2, kRate, c.block);
    EXPECT_EQ(out.size(), size_t(2 * c.frames)) << c.pitch;
  }
}

TEST_F(PitchAdjust, ATonesFrequencyScalesWithThePitch) {
  for (int pitch : {50, 80, 125, 150, 200}) {
    PitchPercent() = pitch;
    const Samples out = RunModule(g_pitchModule, Sine(1000, 44100, 1, kRate, 12000), 1, kRate, 1152);
    const double want = 1000.0 * 1152 / g_pitchModule.GetMaxSamples(1152, &g_pitchModule);
    EXPECT_NEAR(PeakHz(Channel(out, 1, 0), kRate, 300, 2500, 1), want, 2.0) << pitch;
    EXPECT_NEAR(want / 1000.0, pitch / 100.0, 0.01) << pitch;
  }
}

TEST_F(PitchAdjust, StoredPitchesOutOfRangeAreClampedAndSavedClamped) {
  kEchoSettings.Write(u"pitch", 300);
  g_pitchModule.Init();
  EXPECT_EQ(g_pitchModule.GetMaxSamples(1152, &g_pitchModule), 576);
  g_pitchModule.Quit();
  EXPECT_EQ(kEchoSettings.Read(u"pitch", 0), 200);
  kEchoSettings.Write(u"pitch", 20);
  g_pitchModule.Init();
  EXPECT_EQ(g_pitchModule.GetMaxSamples(1000, &g_pitchModule), 2000);
}

TEST_F(PitchAdjust, AnyChannelCountResamplesWholeFrames) {
  PitchPercent() = 200;
  Samples block;
  for (int frame = 0; frame < 8; ++frame)
    for (int c = 0; c < 3; ++c) block.push_back(static_cast<SHORT>(100 * frame + c));
  EXPECT_EQ(RunModule(g_pitchModule, block, 3, kRate, 8), (Samples{0, 1, 2, 200, 201, 202, 400, 401, 402, 600, 601, 602}));
}

}  // namespace
}  // namespace zb::testing
