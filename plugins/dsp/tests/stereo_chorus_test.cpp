// Stereo Balance, Surround and Chorus Effect: the worked examples of the stereo modules frame by
// frame, values only the registry can put out of range, and the chorus's LFO measured from the
// delay it reads (range and period) against the double-precision sweep.
#include "dsp_test_support.h"
#include "plugins/dsp/chorus_effect.h"
#include "plugins/dsp/stereo_image.h"

namespace zb::testing {
namespace {

constexpr int kRate = 44100;

class StereoModules : public ::testing::Test {
 protected:
  void SetUp() override {
    g_stereoModule.Init();
    g_surroundModule.Init();
  }
  Samples Frame(DSPModule& module, SHORT left, SHORT right) {
    return RunModule(module, Samples{left, right}, 2, kRate, 1);
  }
  TestDevice device_;
};

TEST_F(StereoModules, AttenuationRunsFrom255To170) {
  EXPECT_EQ(StereoAttenuation(0), 255);
  EXPECT_EQ(StereoAttenuation(255), 170);
  EXPECT_EQ(StereoAttenuation(128), static_cast<int>(255 * std::pow(2.0 / 3.0, 128 / 255.0)));
}

struct StereoCase {
  const char* name;
  int separation, panning, mode;
  SHORT left, right, wantLeft, wantRight;
};

TEST_F(StereoModules, WorkedExamples) {
  for (const StereoCase& c : {
           StereoCase{"separation 255", 255, 0, 0, 1000, 0, 666, -333},
           StereoCase{"separation at full scale", 255, 0, 0, 32767, -32768, 32767, -32767},
           StereoCase{"pan left 40", 1, -40, 1, 1000, 1000, 1000, 600},
           StereoCase{"pan right 25", 1, 25, 1, 1000, 1000, 750, 1000},
           StereoCase{"mono centre", 1, 0, 2, 1000, 3000, 2000, 2000},
           StereoCase{"mono right", 1, 100, 2, 1000, 3000, 3000, 3000},
           StereoCase{"separation off", 0, 0, 0, 1000, 0, 1000, 0},
           StereoCase{"unknown mode", 255, 0, 7, 1000, 0, 1000, 0},
       }) {
    SetStereoSeparation(c.separation), SetStereoPanning(c.panning), SetStereoMode(c.mode);
    EXPECT_EQ(Frame(g_stereoModule, c.left, c.right), (Samples{c.wantLeft, c.wantRight})) << c.name;
  }
  SetSurroundAmount(255);
  EXPECT_EQ(Frame(g_surroundModule, 1000, -1000), (Samples{2000, -2000}));
  EXPECT_EQ(Frame(g_surroundModule, 20000, -20000), (Samples{32767, -32768}));
}

TEST_F(StereoModules, PanningFromTheRegistryIsHeldInRangeSoTheDownmixNeverDividesByZero) {
  for (int stored : {200, -200, 1000}) {
    kEchoSettings.Write(u"stereo", 10), kEchoSettings.Write(u"stereo_mode", 2);
    kEchoSettings.Write(u"stereo_panning", stored);
    g_stereoModule.Init();
    EXPECT_EQ(StereoBalance().panning, stored > 0 ? 100 : -100);
    EXPECT_EQ(Frame(g_stereoModule, 1000, 3000), (stored > 0 ? Samples{3000, 3000} : Samples{1000, 1000}));
  }
}

TEST_F(StereoModules, MonoAndEightBitBlocksPassUntouched) {
  SetStereoSeparation(255), SetSurroundAmount(255);
  for (DSPModule* module : {&g_stereoModule, &g_surroundModule, &g_chorusModule}) {
    const Samples block = Sine(300, 400, 2, kRate, 9000);
    EXPECT_EQ(RunModule(*module, block, 1, kRate, 800), block) << module->configDialogId;
    EXPECT_EQ(RunModule(*module, block, 2, kRate, 400, 8), block) << module->configDialogId;
  }
}

TEST_F(StereoModules, QuitSavesTheValues) {
  SetStereoSeparation(77), SetStereoPanning(-30), SetStereoMode(1), SetSurroundAmount(99);
  g_stereoModule.Quit(), g_surroundModule.Quit();
  EXPECT_EQ(kEchoSettings.Read(u"stereo", 0), 77);
  EXPECT_EQ(kEchoSettings.Read(u"stereo_panning", 0), -30);
  EXPECT_EQ(kEchoSettings.Read(u"stereo_mode", 0), 1);
  EXPECT_EQ(kEchoSettings.Read(u"surround", 0), 99);
}

class ChorusEffect : public ::testing::Test {
 protected:
  // Unity levels, so that the output is the input plus the delayed input exactly.
  void SetUp() override {
    kEchoSettings.Write(u"chorusGain", 1000);
    kEchoSettings.Write(u"chorusDecay", 1000);
    g_chorusModule.Init();
  }
  void TearDown() override { g_chorusModule.Quit(); }
  TestDevice device_;
};

// A ramp tells every input sample apart; out - in is the delayed one, so the delay is readable.
TEST_F(ChorusEffect, TheLfoSweepsTheDelayOverItsRangeAndPeriod) {
  ChorusSpeed() = 2000;  // 2 Hz: a period of 22050 samples
  const int frames = 3 * 22050 + 2000;
  Samples in;
  for (int i = 0; i < frames; ++i) in.push_back(static_cast<SHORT>(i % 16384 - 8192)), in.push_back(in.back());
  const Samples out = RunModule(g_chorusModule, in, 2, kRate, 1152);
  std::vector<int> delay;
  for (int i = 2000; i < frames; ++i) {
    const int delayed = out[2 * i] - in[2 * i];
    delay.push_back((i % 16384 - 8192 - delayed + 16384) % 16384);
    EXPECT_EQ(out[2 * i + 1], out[2 * i]) << "both channels run the same sweep";
  }
  // The sweep in double precision: delay +- depth milliseconds, less one sample.
  const double low = (20.0 - 10.0) * kRate / 1000 - 1, high = (20.0 + 10.0) * kRate / 1000 - 1;
  EXPECT_NEAR(*std::min_element(delay.begin(), delay.end()), low, 1.5);
  EXPECT_NEAR(*std::max_element(delay.begin(), delay.end()), high, 1.5);
  std::vector<int> lows;
  for (size_t i = 0; i < delay.size(); ++i)
    if (delay[i] == *std::min_element(delay.begin(), delay.end()) && (lows.empty() || i - lows.back() > 1000))
      lows.push_back(static_cast<int>(i));
  ASSERT_GE(lows.size(), 2u);
  for (size_t k = 1; k < lows.size(); ++k) EXPECT_NEAR(lows[k] - lows[k - 1], kRate / 2.0, 2.0);
}

TEST_F(ChorusEffect, SettingsThatLeaveNothingToIndexPassBlocksOn) {
  for (auto [name, value] : {std::pair{u"chorusDelay", 0}, std::pair{u"chorusDepth", -30}}) {
    kEchoSettings.Write(name, value);
    g_chorusModule.Init();
    const Samples block = Sine(200, 2000, 2, kRate, 9000);
    EXPECT_EQ(RunModule(g_chorusModule, block, 2, kRate, 1000), block);
    kEchoSettings.Write(name, name == std::u16string(u"chorusDelay") ? 20 : 10);
  }
  ChorusSpeed() = 50000000;  // a table shorter than one step
  const Samples block = Sine(200, 2000, 2, kRate, 9000);
  EXPECT_EQ(RunModule(g_chorusModule, block, 2, kRate, 1000), block);
}

}  // namespace
}  // namespace zb::testing
