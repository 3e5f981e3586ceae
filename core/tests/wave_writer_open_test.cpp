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
    EXPECT_EQ(WaveWriterFallbackFormat(&f, c.source), c.has) << ::testing::PrintToString(ShapeOf(c.device));
    EXPECT_EQ(ShapeOf(f), ShapeOf(c.next));
    const int blockAlign = f.nBlockAlign, average = static_cast<int>(f.nAvgBytesPerSec);
    EXPECT_EQ(blockAlign, f.nChannels * f.wBitsPerSample / 8);
    EXPECT_EQ(average, blockAlign * static_cast<int>(f.nSamplesPerSec));
  }
}

TEST_F(WaveWriterTest, ADeviceWithout48000FallsBackTo44100) {
  SetRates("8000, 11025, 22050, 44100");
  EXPECT_GT(WaveWriterOpen(48000, 2, 16), 0);
  const std::vector<Shape> offered = {{2, 48000, 16}, {2, 44100, 16}};
  EXPECT_EQ(Hooks().offered, offered);
  // 48000 source frames come out as 44100 device frames.
  std::vector<BYTE> second = Ramp(48000);
  EXPECT_EQ(WaveWriterWrite(second.data(), int(second.size())), int(second.size()));
  EXPECT_EQ(WaveWriterWrittenTime(), 1000);
  EXPECT_EQ(WaveOutWaitDrain(0), 1);
  Play(2000);
  // The device ran short: the last, part-filled block goes at the second look in a row.
  EXPECT_EQ(WaveOutWaitDrain(0), 1);
  EXPECT_EQ(WaveOutWaitDrain(0), 1);
  Play(300);
  EXPECT_EQ(WaveOutWaitDrain(0), 0);
  EXPECT_EQ(Hooks().closes, 1);  // drained, the device is closed
  const std::vector<uint8_t> played = audio.Played();
  ASSERT_EQ(played.size(), 44100u * 4);
  // Device frame i is source frame floor(i x 48000 / 44100).
  for (size_t i : {0u, 1u, 11u, 12u, 30000u, 44099u}) {
    const size_t from = i * 48000 / 44100;
    EXPECT_EQ(SampleAt(played, 2 * i), static_cast<SHORT>(from * 7 - 30000)) << i;
    EXPECT_EQ(SampleAt(played, 2 * i + 1), static_cast<SHORT>(-static_cast<int>(from) * 13 + 20000)) << i;
  }
}

TEST_F(WaveWriterTest, AboveTheMaximumRateTheLadderIsWalked) {
  settings->maxSampleRate = 22050;
  EXPECT_GT(WaveWriterOpen(44100, 2, 16), 0);
  EXPECT_EQ(Hooks().offered.back(), (Shape{2, 22050, 16}));
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

// 192000 x 22400 is past 2^32: summed in 32 bits the count would come out as 4.
TEST_F(WaveWriterTest, HighRatesWithLongBuffersAreCountedInSixtyFourBits) {
  SetRates("44100, 192000");
  settings->maxSampleRate = 192000;
  settings->audioBuffer = 22400;
  EXPECT_EQ(WaveWriterOpen(192000, 2, 16), 31 * 65536);
  EXPECT_EQ(Hooks().offered, (std::vector<Shape>{{2, 192000, 16}}));
}

struct DeviceIdCase {
  DWORD setting;
  DWORD offered;  // the id the hooks are offered
  int attempts;   // device formats offered before one opened
};

// 0 asks the wave mapper for its preferred device (the only one, 0); n is device n - 1. A device
// that does not exist refuses every format of the ladder, and the mapper takes the source format.
TEST_F(WaveWriterTest, TheDeviceComesFromTheSettingAndTheMapperStandsIn) {
  constexpr DeviceIdCase kCases[] = {{0, 0, 1}, {1, 0, 1}, {3, 2, 17}};
  for (const DeviceIdCase& c : kCases) {
    Hooks() = HookLog{};
    settings->waveOutDevice2 = c.setting;
    EXPECT_EQ(WaveWriterOpen(44100, 2, 16), 7 * 65536) << c.setting;
    EXPECT_EQ(Hooks().deviceIds, std::vector<DWORD>{c.offered}) << c.setting;
    EXPECT_EQ(static_cast<int>(Hooks().offered.size()), c.attempts) << c.setting;
    EXPECT_EQ(Hooks().offered.back(), (Shape{2, 44100, 16})) << c.setting;
    WaveWriterCloseDevice(TRUE);
  }
}

}  // namespace
}  // namespace zb::testing
