// The audio decoder's set-up: the worked example of a 44.1 kHz stereo stream at 4000 bytes a
// second, the frame lengths by rate and version, the block sizes from the encode options, the
// refusals, and byte rates whose bits per sample pass 16 (8 kHz mono at 128 kb/s), which a 32-bit
// Q28 word would wrap into a low rate with noise coding switched on.
#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "wma_audio.h"

namespace {

struct Stream {
  uint8_t version, rateIndex, channels;
  uint32_t bytesPerSecond, options;
};

int Init(WmaAudioDecoder& d, const Stream& s) {
  WmaAudioConfig c{};
  c.version = s.version;
  c.rateIndex = s.rateIndex;
  c.channels = s.channels;
  c.avgBytesPerSecond = s.bytesPerSecond;
  c.blockAlign = 1000;
  c.encodeOptions = s.options;
  return WmaAudioInit(&d, &c);
}

TEST(WmaSetup, TheWorkedExample) {
  auto d = std::make_unique<WmaAudioDecoder>();
  ASSERT_EQ(Init(*d, {2, 0, 2, 4000, 2 | 4 | 0x18}), WMA_AUDIO_OK);
  EXPECT_EQ(d->frameBits, 11);
  EXPECT_EQ(d->bitsPerSample, 97391548u);
  EXPECT_EQ(d->bitsPerSample1, 155826476u);
  EXPECT_EQ(d->tableSet, 1);
  EXPECT_EQ(d->highFrequency, 8820u);
  EXPECT_EQ(d->noiseCoding, 1);
  EXPECT_EQ(WmaHighBandStart(d.get(), 11), 819u);
  EXPECT_EQ(WmaHighBandStart(d.get(), 7), 51u);
  EXPECT_EQ(d->byteOffsetBits, 8u);
  EXPECT_EQ(d->headerBits, 19);
  EXPECT_EQ(d->blockSizeCount, 4);
  EXPECT_EQ(d->blockSizeIndexBits, 3);
  EXPECT_EQ(d->sequence, 255);
  EXPECT_EQ(d->lastSequence, -2);
  EXPECT_EQ(d->firstOutput, 3);
}

TEST(WmaSetup, FrameLengthsByRateAndVersion) {
  const int v1[6] = {11, 10, 10, 9, 9, 9}, v2[6] = {11, 11, 10, 9, 9, 9};
  for (uint8_t r = 0; r < 6; ++r) {
    auto d = std::make_unique<WmaAudioDecoder>();
    ASSERT_EQ(Init(*d, {1, r, 1, 4000, 1}), WMA_AUDIO_OK);
    EXPECT_EQ(d->frameBits, v1[r]) << "version 1, rate index " << int(r);
    ASSERT_EQ(Init(*d, {2, r, 1, 4000, 1}), WMA_AUDIO_OK);
    EXPECT_EQ(d->frameBits, v2[r]) << "version 2, rate index " << int(r);
    EXPECT_EQ(d->blockSizeCount, 0) << "no variable block sizes without the reservoir";
  }
}

TEST(WmaSetup, BitsPerSampleFollowTheByteRateAtEveryRate) {
  const double rates[6] = {44100, 32000, 22050, 16000, 11025, 8000};
  for (uint8_t r = 0; r < 6; ++r)
    for (uint8_t channels = 1; channels <= 2; ++channels)
      for (uint32_t b : {1000u, 3000u, 6000u, 16000u, 24000u, 32767u}) {
        auto d = std::make_unique<WmaAudioDecoder>();
        ASSERT_EQ(Init(*d, {2, r, channels, b, 1}), WMA_AUDIO_OK);
        const double want = 8.0 * b / (channels * rates[r]);
        EXPECT_NEAR(d->bitsPerSample / 268435456.0, want, want * 1e-6 + 1e-7) << int(r) << " " << b;
        // Where the rate has a bound above which no noise is coded, a high rate is above it;
        // noise coding begins below half the rate.
        const bool bounded = r <= 2 || r == 5;
        if (bounded && want >= 2) {
          EXPECT_EQ(d->noiseCoding, 0) << int(r) << " " << b << " " << int(channels);
        }
        if (d->noiseCoding) {
          EXPECT_LT(d->highFrequency, rates[r] / 2);
        }
      }
}

TEST(WmaSetup, RefusesWhatItCannotDecode) {
  struct Case {
    Stream s;
    int result;
  } cases[] = {{{3, 0, 2, 4000, 1}, WMA_AUDIO_BAD_VERSION}, {{2, 6, 2, 4000, 1}, WMA_AUDIO_BAD_RATE},
               {{2, 0, 0, 4000, 1}, WMA_AUDIO_BAD_CHANNELS}, {{2, 0, 3, 4000, 1}, WMA_AUDIO_BAD_CHANNELS},
               {{2, 0, 2, 32768, 1}, WMA_AUDIO_BAD_BIT_RATE}, {{2, 0, 0, 4000, 2 | 4}, WMA_AUDIO_BAD_CHANNELS}};
  for (const Case& c : cases) {
    auto d = std::make_unique<WmaAudioDecoder>();
    EXPECT_EQ(Init(*d, c.s), c.result);
  }
  EXPECT_EQ(WmaAudioInit(nullptr, nullptr), WMA_AUDIO_NO_DECODER);
}

}  // namespace
