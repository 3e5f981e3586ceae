// Opening the waveOut writer on the test sound device: block counts from the buffer setting,
// the arguments it refuses, the fallback ladder when the device refuses a format, and what the
// event hooks are offered and may change.
#include "wave_writer_support.h"

namespace zb::testing {
namespace {

struct BlockCase {
  int rate, channels, bits;
  DWORD audioBuffer;
  DWORD gapless, gaplessPadding, gaplessAdjustment;
  int blocks;
};

// count = rate x buffer ms / ((65536 / block align) x 1000) + 2, within 4..31; gapless playback
// stretches a short buffer to padding + adjustment + 1 s (padding 0 -> 4000, else 1000..10000).
constexpr BlockCase kBlocks[] = {
    {44100, 2, 16, 2000, 0, 4000, 4000, 7},    {44100, 2, 16, 0, 0, 4000, 4000, 4},
    {44100, 2, 16, 60000, 0, 4000, 4000, 31},  {48000, 2, 16, 5000, 0, 4000, 4000, 16},
    {22050, 1, 8, 2000, 0, 4000, 4000, 4},     {44100, 1, 16, 5000, 0, 4000, 4000, 8},
    {44100, 2, 16, 2000, 1, 0, 4000, 26},      {22050, 2, 16, 500, 1, 500, 1000, 6},
    {22050, 2, 16, 500, 1, 20000, 1000, 18},   {22050, 2, 16, 20000, 1, 4000, 4000, 28},
};

TEST_F(WaveWriterTest, BlockCountsFollowTheBufferSetting) {
  for (const BlockCase& c : kBlocks) {
    settings->audioBuffer = c.audioBuffer;
    settings->gaplessPlayback = c.gapless;
    settings->gaplessPadding = c.gaplessPadding;
    settings->gaplessAdjustment = c.gaplessAdjustment;
    EXPECT_EQ(WaveWriterOpen(c.rate, c.channels, c.bits), c.blocks * 65536)
        << c.rate << " Hz, " << c.channels << " ch, " << c.bits << " bits, buffer " << c.audioBuffer << " ms, gapless "
        << c.gapless << " padding " << c.gaplessPadding;
    WaveWriterCloseDevice(TRUE);
  }
}

TEST_F(WaveWriterTest, BadArgumentsAreRefused) {
  const int cases[][3] = {{0, 2, 16}, {-44100, 2, 16}, {44100, 0, 16}, {44100, 3, 16},
                          {44100, 2, 4}, {44100, 2, 12}, {44100, 2, 40}, {44100, 6, 16}};
  for (const auto& c : cases) EXPECT_EQ(WaveWriterOpen(c[0], c[1], c[2]), -1) << c[0] << " " << c[1] << " " << c[2];
  std::vector<BYTE> data = Ramp(10);
  EXPECT_EQ(WaveWriterWrite(data.data(), 40), 0);  // nothing open
  EXPECT_EQ(WaveWriterCanWrite(), 0);
  EXPECT_TRUE(audio.Written().empty());
}

struct LadderCase {
  WAVEFORMATEX device, source;
  bool has;
  WAVEFORMATEX next;
};

TEST(WaveWriterFormats, TheFallbackLadder) {
  auto F = MakePcmFormat;
  const LadderCase cases[] = {
      {F(2, 48000, 16), F(2, 48000, 16), true, F(2, 44100, 16)},
      {F(2, 44100, 16), F(2, 48000, 16), true, F(2, 22050, 16)},
      {F(2, 22050, 16), F(2, 48000, 16), true, F(2, 11025, 16)},
      {F(2, 11025, 16), F(2, 48000, 16), true, F(2, 8000, 16)},
      {F(2, 8000, 16), F(2, 48000, 16), true, F(1, 48000, 16)},  // stereo refused at every rate: mono
      {F(2, 8000, 16), F(2, 8000, 16), true, F(1, 8000, 16)},    // refuses stereo at 8000: mono there
      {F(1, 8000, 16), F(2, 44100, 16), true, F(2, 44100, 8)},   // then 8 bits, rate and channels back
      {F(1, 8000, 24), F(2, 44100, 24), true, F(2, 44100, 16)},
      {F(1, 16000, 8), F(2, 16000, 8), true, F(1, 11025, 8)},
      {F(1, 8000, 8), F(2, 44100, 16), false, F(1, 8000, 8)},    // nothing below 8-bit mono
  };
  for (const LadderCase& c : cases) {
    WAVEFORMATEX f = c.device;
    EXPECT_EQ(WaveWriterFallbackFormat(&f, c.source), c.has);
    EXPECT_EQ(f.nChannels, c.next.nChannels);
    EXPECT_EQ(f.nSamplesPerSec, c.next.nSamplesPerSec);
    EXPECT_EQ(f.wBitsPerSample, c.next.wBitsPerSample);
    EXPECT_EQ(f.nBlockAlign, c.next.nBlockAlign);
    EXPECT_EQ(f.nAvgBytesPerSec, c.next.nAvgBytesPerSec);
  }
}

TEST_F(WaveWriterTest, ADeviceWithout48000FallsBackTo44100) {
  device.WriteProfile("[program]\nhost = /nonexistent/zonbrel-test-program\n[audio]\nrates = 8000, 11025, 22050, 44100\n");
  EXPECT_GT(WaveWriterOpen(48000, 2, 16), 0);
  ASSERT_GE(Hooks().offered.size(), 2u);
  EXPECT_EQ(Hooks().offered[0].nSamplesPerSec, 48000u);
  EXPECT_EQ(Hooks().offered.back().nSamplesPerSec, 44100u);
  // 48000 source frames come out as 44100 device frames.
  std::vector<BYTE> second = Ramp(48000);
  EXPECT_EQ(WaveWriterWrite(second.data(), int(second.size())), int(second.size()));
  EXPECT_EQ(WaveWriterWrittenTime(), 1000);
  EXPECT_EQ(WaveOutWaitDrain(0), 1);
  Play(2000);
  EXPECT_EQ(WaveOutWaitDrain(5000), 0);
  EXPECT_EQ(audio.Played().size(), 44100u * 4);
}

TEST_F(WaveWriterTest, AboveTheMaximumRateTheLadderIsWalked) {
  settings->maxSampleRate = 22050;
  EXPECT_GT(WaveWriterOpen(44100, 2, 16), 0);
  EXPECT_EQ(Hooks().offered.back().nSamplesPerSec, 22050u);
}

TEST_F(WaveWriterTest, WhenNoFormatIsTakenOpenFails) {
  settings->maxSampleRate = 1000;  // below every rate: the ladder runs out, on the mapper too
  EXPECT_EQ(WaveWriterOpen(44100, 2, 16), -1);
  EXPECT_EQ(Hooks().opened, nullptr);
  EXPECT_EQ(WaveWriterCanWrite(), 0);
}

TEST_F(WaveWriterTest, HooksMayChangeTheDeviceFormatButOnlyToOneTheConversionReaches) {
  Hooks().change = [](WAVEFORMATEX* f) { *f = MakePcmFormat(2, 96000, 16); };  // higher: ignored
  EXPECT_GT(WaveWriterOpen(44100, 2, 16), 0);
  EXPECT_EQ(Hooks().offered.size(), 1u);
  EXPECT_EQ(WaveWriterCanWrite(), 7 * 65536);
  WaveWriterCloseDevice(TRUE);
  EXPECT_EQ(Hooks().closes, 1);
  Hooks().change = [](WAVEFORMATEX* f) { *f = MakePcmFormat(1, 22050, 8); };
  EXPECT_GT(WaveWriterOpen(44100, 2, 16), 0);
  // Source bytes per device byte: 176400 / 22050 = 8.
  EXPECT_EQ(WaveWriterCanWrite(), 4 * 65536 * 8);
}

}  // namespace
}  // namespace zb::testing
