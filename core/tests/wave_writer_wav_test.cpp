// The whole way out through the WAVE-file device (ZONBREL_AUDIO=wav:FILE): a known PCM stream
// run through the sample chain with the equaliser and DSP off (or the equaliser flat) and
// written to the waveOut writer in decoder-sized blocks comes back from the file sample-exact.
#include <array>
#include <cmath>
#include <string>

#include "core/output/dsp_choice.h"
#include "core/output/equalizer.h"
#include "core/output/sample_chain.h"
#include "testing/env_scope.h"
#include "wave_writer_support.h"

namespace zb::testing {
namespace {

uint32_t U32(const std::vector<BYTE>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

struct WaveFile {
  Shape shape{};
  std::vector<BYTE> data;
};

// The format and samples of a 44-byte-header PCM WAVE file; an empty shape when it is not one.
WaveFile ReadWave(const std::filesystem::path& path) {
  const std::vector<BYTE> b = ReadBytes(path);
  WaveFile w;
  if (b.size() < 44 || std::memcmp(b.data(), "RIFF", 4) || std::memcmp(b.data() + 8, "WAVEfmt ", 8) ||
      std::memcmp(b.data() + 36, "data", 4) || U32(b, 40) != b.size() - 44 || U32(b, 4) != b.size() - 8)
    return w;
  w.shape = {b[22] | b[23] << 8, static_cast<int>(U32(b, 24)), b[34] | b[35] << 8};
  w.data.assign(b.begin() + 44, b.end());
  return w;
}

// A tone with a slow ramp under it, different in each channel, in the format's bytes.
std::vector<BYTE> Known(const Shape& s, int frames) {
  std::vector<BYTE> out;
  for (int i = 0; i < frames; ++i) {
    for (int c = 0; c < s.channels; ++c) {
      const double v = 0.6 * std::sin(2 * M_PI * (440.0 + 220 * c) * i / s.rate) + 0.3 * ((i % 3000) / 1500.0 - 1);
      if (s.bits == 8) {
        out.push_back(static_cast<BYTE>(128 + std::lround(127 * v)));
      } else {
        const SHORT x = static_cast<SHORT>(std::lround(32767 * v));
        out.push_back(static_cast<BYTE>(x & 0xFF));
        out.push_back(static_cast<BYTE>((x >> 8) & 0xFF));
      }
    }
  }
  return out;
}

struct WavCase {
  const char* what;
  Shape shape;
  DWORD equalizer;  // preampEnabled; the bands and preamp are all at the middle
};

constexpr WavCase kCases[] = {
    {"stereo 16-bit, equaliser off", {2, 44100, 16}, 0},
    {"stereo 16-bit, equaliser flat", {2, 44100, 16}, 1},
    {"mono 8-bit, equaliser on (8-bit skips it)", {1, 22050, 8}, 1},
};

TEST(WaveWriterToWaveFile, AKnownStreamComesBackSampleExact) {
  ProductDevice device;
  SetWaveWriterPlayerCallback(nullptr);
  constexpr std::array<signed char, kEqBandCount> kFlat = {31, 31, 31, 31, 31, 31, 31, 31, 31, 31};
  DesignEqFilter(1, kFlat.data(), kEqFlatValue);
  int n = 0;
  for (const WavCase& c : kCases) {
    const std::filesystem::path file = device.Host("played-" + std::to_string(++n) + ".wav");
    EnvScope audio("ZONBREL_AUDIO", "wav:" + file.string());
    CSettings* settings = GetSettings();
    settings->audioBuffer = 2000;
    settings->preampEnabled = c.equalizer;
    settings->DSPEnabled = 0;
    CDspChoice choice;
    WaveWriterInit(0);
    ASSERT_GT(WaveWriterOpen(c.shape.rate, c.shape.channels, c.shape.bits), 0) << c.what;
    const int frameBytes = c.shape.channels * c.shape.bits / 8;
    const std::vector<BYTE> stream = Known(c.shape, c.shape.rate * 3);
    for (size_t at = 0; at < stream.size(); at += 1152 * frameBytes) {
      std::vector<BYTE> block(stream.begin() + at, stream.begin() + std::min(stream.size(), at + 1152 * frameBytes));
      const int frames = static_cast<int>(block.size()) / frameBytes;
      DSPModule* dsp = choice.Get({}, *settings);
      EXPECT_EQ(dsp, nullptr);
      const int out = RunSampleChain(dsp, EqualizerRunsOn(*settings, nullptr, c.shape.bits), block.data(), frames,
                                     c.shape.channels, c.shape.bits, c.shape.rate);
      ASSERT_EQ(out, frames) << c.what;
      ASSERT_EQ(WaveWriterWrite(block.data(), static_cast<int>(block.size())), static_cast<int>(block.size())) << c.what;
    }
    EXPECT_EQ(WaveWriterWrittenTime(), 3000) << c.what;
    EXPECT_EQ(WaveOutWaitDrain(10000), 0) << c.what;  // played out, the device closed
    const WaveFile played = ReadWave(file);
    EXPECT_EQ(played.shape, c.shape) << c.what;
    EXPECT_EQ(played.data, stream) << c.what;
    WaveWriterCloseDevice(TRUE);
    DestroySettings();
  }
}

}  // namespace
}  // namespace zb::testing
