// The writer's conversion to what the device was opened with: pairs to their mean, samples to
// their top bytes, a lower rate by taking every n-th frame; and the same conversion through the
// test device when an event hook asks for 8-bit mono.
#include <cstdint>
#include <vector>

#include "wave_writer_support.h"

namespace zb::testing {
namespace {

// Samples as little-endian bytes of `bytes` each; 8-bit samples are given as stored (0..255),
// 24-bit ones as their 24-bit value.
std::vector<BYTE> Pack(const std::vector<int64_t>& samples, int bytes) {
  std::vector<BYTE> out;
  for (int64_t s : samples)
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<BYTE>(static_cast<uint64_t>(s) >> (8 * i)));
  return out;
}

struct ConvertCase {
  const char* what;
  Shape source, device;
  std::vector<int64_t> in, out;
};

const ConvertCase kConversions[] = {
    {"16-bit pairs to their mean, toward zero",
     {2, 44100, 16}, {1, 44100, 16},
     {1000, 3001, -1000, -3001, 32767, 32767, -32768, -32768, 1, -2, -32768, 32767},
     {2000, -2000, 32767, -32768, 0, 0}},
    {"8-bit pairs about 128",
     {2, 22050, 8}, {1, 22050, 8},
     {200, 101, 0, 1, 255, 255, 0, 255, 128, 127},
     {150, 1, 255, 128, 128}},
    {"24-bit pairs keep the top three bytes of the mean",
     {2, 44100, 24}, {1, 44100, 24},
     {0x000001, 0x000002, 0x7FFFFF, 0x7FFFFF, 0x800000, 0x800000, 0xFFFFFF, 0xFFFFFD},
     {0x000001, 0x7FFFFF, 0x800000, 0xFFFFFE}},
    {"32-bit pairs summed in 64 bits",
     {2, 44100, 32}, {1, 44100, 32},
     {0x7FFFFFFF, 0x7FFFFFFF, -0x7FFFFFFF - 1, -0x7FFFFFFF - 1, 3, -6},
     {0x7FFFFFFF, -0x7FFFFFFF - 1, -1}},
    {"16 to 8 bits: the top byte, made unsigned",
     {1, 44100, 16}, {1, 44100, 8},
     {0x1234, -1, 0x7FFF, -0x8000, 0x00FF},
     {0x92, 0x7F, 0xFF, 0x00, 0x80}},
    {"24 to 16 bits: the top two bytes",
     {1, 44100, 24}, {1, 44100, 16},
     {0x123456, 0xFFFFFF, 0x800000},
     {0x1234, 0xFFFF, 0x8000}},
    {"32 to 8 bits",
     {1, 44100, 32}, {1, 44100, 8},
     {0x12345678, -0x7FFFFFFF - 1},
     {0x92, 0x00}},
    {"half the rate keeps every other frame",
     {2, 44100, 16}, {2, 22050, 16},
     {1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
     {1, 2, 5, 6, 9, 10}},
    {"48000 to 44100: frame i is frame floor(i x 48000 / 44100)",
     {1, 48000, 16}, {1, 44100, 16},
     {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
     {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15}},
    {"all three: stereo 16-bit 44100 to mono 8-bit 11025",
     {2, 44100, 16}, {1, 11025, 8},
     {0x1000, 0x3000, 1, 1, 1, 1, 1, 1, -0x1000, -0x3000, 5, 5, 5, 5, 5, 5},
     {0xA0, 0x60}},
};

TEST(WaveWriterConvert, EachStepAsTheDeviceNeedsIt) {
  for (const ConvertCase& c : kConversions) {
    const WAVEFORMATEX source = MakePcmFormat(c.source.channels, c.source.rate, c.source.bits);
    const WAVEFORMATEX device = MakePcmFormat(c.device.channels, c.device.rate, c.device.bits);
    std::vector<BYTE> data = Pack(c.in, c.source.bits / 8);
    const std::vector<BYTE> expected = Pack(c.out, c.device.bits / 8);
    const int size = WaveWriterConvert(data.data(), static_cast<int>(data.size()), source, device);
    ASSERT_EQ(size, static_cast<int>(expected.size())) << c.what;
    data.resize(size);
    EXPECT_EQ(data, expected) << c.what;
  }
}

TEST(WaveWriterConvert, PartFramesAndNothingAreLeftAlone) {
  const WAVEFORMATEX stereo = MakePcmFormat(2, 44100, 16), mono = MakePcmFormat(1, 44100, 16);
  std::vector<BYTE> data = Pack({100, 300, 7}, 2);  // one frame and half of the next
  EXPECT_EQ(WaveWriterConvert(data.data(), 6, stereo, mono), 2);
  EXPECT_EQ(data, Pack({200, 300, 7}, 2));
  EXPECT_EQ(WaveWriterConvert(nullptr, 6, stereo, mono), 0);
  EXPECT_EQ(WaveWriterConvert(data.data(), 0, stereo, mono), 0);
  EXPECT_EQ(WaveWriterConvert(data.data(), -4, stereo, mono), 0);
}

// A hook turns the device format into 8-bit mono at half the rate: what the device plays is the
// mean of each pair of every other frame, top byte made unsigned.
TEST_F(WaveWriterTest, AnEightBitMonoDevicePlaysTheConvertedStream) {
  Hooks().change = [](WAVEFORMATEX* f) { *f = MakePcmFormat(1, 22050, 8); };
  ASSERT_EQ(WaveWriterOpen(44100, 2, 16), 4 * 65536);
  EXPECT_EQ(Hooks().offered, (std::vector<Shape>{{1, 22050, 8}}));
  constexpr int kFrames = 44100;
  const std::vector<BYTE> source = Ramp(kFrames);
  for (int at = 0; at < kFrames; at += 1152) {  // in decoder-sized blocks
    const int frames = std::min(1152, kFrames - at);
    EXPECT_EQ(WriteAll(Ramp(frames, at)), frames * 4);
  }
  EXPECT_EQ(WaveWriterWrittenTime(), 1000);
  WhileClockRuns([] { EXPECT_EQ(WaveOutWaitDrain(10000), 0); });
  std::vector<BYTE> expected;
  for (int at = 0; at < kFrames; at += 1152)
    for (int i = at; i < std::min(at + 1152, kFrames); i += 2) {
      const int mean = (SampleAt(source, 2 * i) + SampleAt(source, 2 * i + 1)) / 2;
      expected.push_back(static_cast<BYTE>(((mean >> 8) & 0xFF) ^ 0x80));
    }
  EXPECT_EQ(audio.Played(), expected);
}

}  // namespace
}  // namespace zb::testing
