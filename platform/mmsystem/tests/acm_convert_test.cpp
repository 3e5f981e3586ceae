// Conversions checked sample by sample against formulas written here independently of the
// converter: rate halving takes every second frame, stereo to mono is the truncated mean,
// 8 to 16 bits is (b - 128) * 256, and the G.711 expansions follow the standard's segment
// tables. Results must not depend on how the input is cut into pieces.
#include <cmath>
#include <cstring>

#include "acm_support.h"

namespace zb::acm::testing {
namespace {

// A stereo tone with different left and right channels and some full-scale samples.
std::vector<uint8_t> StereoTone(size_t frames) {
  std::vector<uint8_t> bytes(frames * 4);
  for (size_t i = 0; i < frames; ++i) {
    int16_t left = static_cast<int16_t>(std::lround(30000 * std::sin(i * 2 * M_PI * 440 / 44100)));
    int16_t right = static_cast<int16_t>(i % 97 == 0 ? -32768 : (i % 89 == 0 ? 32767 : -left / 3 + static_cast<int>(i % 7)));
    PutSample16(bytes, 2 * i, left);
    PutSample16(bytes, 2 * i + 1, right);
  }
  return bytes;
}

TEST(AcmConvertTest, HalvingTheRateTakesEverySecondFrame) {
  const size_t frames = 44100 / 2 + 3;
  std::vector<uint8_t> in = StereoTone(frames);
  std::vector<uint8_t> out = ConvertThroughStream(Pcm(2, 44100, 16), Pcm(2, 22050, 16), in, {4096});
  ASSERT_EQ(out.size(), (frames + 1) / 2 * 4);
  for (size_t i = 0; i < out.size() / 4; ++i) {
    ASSERT_EQ(Sample16(out, 2 * i), Sample16(in, 4 * i)) << "frame " << i;
    ASSERT_EQ(Sample16(out, 2 * i + 1), Sample16(in, 4 * i + 1)) << "frame " << i;
  }
}

TEST(AcmConvertTest, StereoToMonoIsTheMeanRoundedTowardZero) {
  const size_t frames = 5000;
  std::vector<uint8_t> in = StereoTone(frames);
  std::vector<uint8_t> out = ConvertThroughStream(Pcm(2, 22050, 16), Pcm(1, 22050, 16), in, {1000, 3});
  ASSERT_EQ(out.size(), frames * 2);
  for (size_t i = 0; i < frames; ++i) {
    int sum = Sample16(in, 2 * i) + Sample16(in, 2 * i + 1);
    int mean = sum / 2;  // C++ division truncates toward zero, as the device's converter
    ASSERT_EQ(Sample16(out, i), mean) << "frame " << i << " sum " << sum;
  }
}

TEST(AcmConvertTest, EightBitsBecomeSixteen) {
  std::vector<uint8_t> in(512);
  for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<uint8_t>(i * 37 % 256);
  std::vector<uint8_t> out = ConvertThroughStream(Pcm(1, 11025, 8), Pcm(1, 11025, 16), in, {100});
  ASSERT_EQ(out.size(), in.size() * 2);
  for (size_t i = 0; i < in.size(); ++i) ASSERT_EQ(Sample16(out, i), (in[i] - 128) * 256) << "byte " << int(in[i]);
  // And back: the top byte, offset by 128.
  std::vector<uint8_t> back = ConvertThroughStream(Pcm(1, 11025, 16), Pcm(1, 11025, 8), out, {64});
  EXPECT_EQ(back, in);
}

TEST(AcmConvertTest, MonoToStereoRepeatsEachSample) {
  std::vector<uint8_t> in(2000);
  for (size_t i = 0; i < 1000; ++i) PutSample16(in, i, static_cast<int16_t>(i * 61 - 30000));
  std::vector<uint8_t> out = ConvertThroughStream(Pcm(1, 8000, 16), Pcm(2, 8000, 16), in, {998});
  ASSERT_EQ(out.size(), 4000u);
  for (size_t i = 0; i < 1000; ++i) {
    ASSERT_EQ(Sample16(out, 2 * i), Sample16(in, i));
    ASSERT_EQ(Sample16(out, 2 * i + 1), Sample16(in, i));
  }
}

// G.711 as the standard tabulates it: sign, 3-bit segment, 4-bit step.
int ReferenceMulaw(uint8_t code) {
  int u = ~code & 0xFF;
  int segment = (u >> 4) & 7, step = u & 0xF;
  int magnitude = (((2 * step + 33) << segment) - 33) * 4;
  return (u & 0x80) ? -magnitude : magnitude;
}

int ReferenceAlaw(uint8_t code) {
  int a = code ^ 0x55;
  int segment = (a >> 4) & 7, step = a & 0xF;
  int magnitude = segment == 0 ? (2 * step + 1) * 8 : (2 * step + 33) * 8 << (segment - 1);
  return (a & 0x80) ? magnitude : -magnitude;
}

struct G711Case {
  WORD tag;
  int (*reference)(uint8_t);
  uint8_t code;
  int16_t known;  // values quoted from the standard's tables
};

const G711Case kG711[] = {
    {WAVE_FORMAT_MULAW, ReferenceMulaw, 0x00, -32124}, {WAVE_FORMAT_MULAW, ReferenceMulaw, 0x80, 32124},
    {WAVE_FORMAT_MULAW, ReferenceMulaw, 0xFF, 0},      {WAVE_FORMAT_MULAW, ReferenceMulaw, 0x7F, 0},
    {WAVE_FORMAT_ALAW, ReferenceAlaw, 0xD5, 8},        {WAVE_FORMAT_ALAW, ReferenceAlaw, 0x55, -8},
    {WAVE_FORMAT_ALAW, ReferenceAlaw, 0xAA, 32256},    {WAVE_FORMAT_ALAW, ReferenceAlaw, 0x2A, -32256},
};

TEST(AcmConvertTest, G711CodesExpandAsTheStandardSays) {
  for (WORD tag : {WORD{WAVE_FORMAT_ALAW}, WORD{WAVE_FORMAT_MULAW}}) {
    for (WORD channels : {WORD{1}, WORD{2}}) {
      std::vector<uint8_t> in(256 * 3);
      for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<uint8_t>(i);
      WAVEFORMATEX pcm = Pcm(channels, 8000, 16);
      WAVEFORMATEX source = Format(tag, channels, 8000, 8);
      WAVEFORMATEX suggested{};
      suggested.wFormatTag = WAVE_FORMAT_PCM;
      ASSERT_EQ(acmFormatSuggest(nullptr, &source, &suggested, sizeof(suggested), ACM_FORMATSUGGESTF_WFORMATTAG), MMSYSERR_NOERROR);
      ASSERT_EQ(std::memcmp(&suggested, &pcm, sizeof(pcm)), 0);
      std::vector<uint8_t> out = ConvertThroughStream(source, suggested, in, {255, 2, 100});
      ASSERT_EQ(out.size(), in.size() * 2);
      for (size_t i = 0; i < in.size(); ++i) {
        int expected = tag == WAVE_FORMAT_ALAW ? ReferenceAlaw(in[i]) : ReferenceMulaw(in[i]);
        ASSERT_EQ(Sample16(out, i), expected) << "tag " << tag << " code " << int(in[i]);
      }
    }
  }
  for (const G711Case& c : kG711) {
    EXPECT_EQ(c.reference(c.code), c.known) << "the formula itself, code " << int(c.code);
    std::vector<uint8_t> out = ConvertThroughStream(Format(c.tag, 1, 8000, 8), Pcm(1, 8000, 16), {c.code}, {1});
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(Sample16(out, 0), c.known) << "code " << int(c.code);
  }
}

struct RateCase {
  DWORD from;
  DWORD to;
};

const RateCase kRates[] = {{44100, 22050}, {48000, 44100}, {22050, 44100}, {8000, 11025}, {32000, 22050}, {44100, 44100}};

TEST(AcmConvertTest, AnyRatePicksTheNearestEarlierFrameWhateverThePieces) {
  for (const RateCase& r : kRates) {
    const size_t frames = r.from / 3 + 11;
    std::vector<uint8_t> in(frames * 2);
    for (size_t i = 0; i < frames; ++i) PutSample16(in, i, static_cast<int16_t>(i * 7 % 65536 - 32768));
    std::vector<uint8_t> whole = ConvertThroughStream(Pcm(1, r.from, 16), Pcm(1, r.to, 16), in, {static_cast<uint32_t>(in.size())});
    std::vector<uint8_t> pieces = ConvertThroughStream(Pcm(1, r.from, 16), Pcm(1, r.to, 16), in, {2, 998, 4097, 30});
    EXPECT_EQ(whole, pieces) << r.from << " -> " << r.to;
    size_t expectedFrames = (static_cast<uint64_t>(frames) * r.to + r.from - 1) / r.from;
    ASSERT_EQ(whole.size(), expectedFrames * 2) << r.from << " -> " << r.to;
    for (size_t k = 0; k < expectedFrames; ++k) {
      size_t j = static_cast<uint64_t>(k) * r.from / r.to;
      ASSERT_EQ(Sample16(whole, k), Sample16(in, j)) << r.from << " -> " << r.to << " frame " << k;
    }
  }
}

TEST(AcmConvertTest, AllThreeChangesAtOnce) {
  // 44100 stereo 8-bit to 22050 mono 16-bit: decode, mix, then pick.
  const size_t frames = 1001;
  std::vector<uint8_t> in(frames * 2);
  for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<uint8_t>(i * 131 % 256);
  std::vector<uint8_t> out = ConvertThroughStream(Pcm(2, 44100, 8), Pcm(1, 22050, 16), in, {333});
  ASSERT_EQ(out.size(), (frames + 1) / 2 * 2);
  for (size_t k = 0; k < out.size() / 2; ++k) {
    int left = (in[4 * k] - 128) * 256, right = (in[4 * k + 1] - 128) * 256;
    ASSERT_EQ(Sample16(out, k), (left + right) / 2) << "frame " << k;
  }
}

}  // namespace
}  // namespace zb::acm::testing
