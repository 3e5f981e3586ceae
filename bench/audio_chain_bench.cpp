// The audio chain's cost beside decoding: the ten-band equaliser plus the waveOut writer on one
// second of 44.1 kHz stereo audio, and libmad alone decoding the same second from a 128 kb/s MP3
// (encoded here with LAME from the same samples), measured in the same run. The writer plays on
// the null device and is flushed after each second, so it never waits for room. The goal: the
// chain costs under 5% of the decoding.
#include <benchmark/benchmark.h>
#include <lame/lame.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench_libmad.h"
#include "core/output/equalizer.h"
#include "core/settings/settings.h"
#include "core/output/wave_writer.h"
#include "testing/env_scope.h"
#include "testing/test_device.h"

namespace {

constexpr int kRate = 44100;
constexpr int kDecoderFrames = 1152;  // an MP3 frame's worth, as decoders hand out blocks
constexpr int kRuns = 5;

// Music-like stereo PCM: a few partials with vibrato and a little noise, so the encoder spends
// its bits as on real material.
std::vector<SHORT> Music(int seconds) {
  std::vector<SHORT> out;
  uint32_t noise = 12345;
  for (int i = 0; i < kRate * seconds; ++i) {
    const double t = static_cast<double>(i) / kRate;
    for (int c = 0; c < 2; ++c) {
      double v = 0;
      for (int k = 1; k <= 6; ++k) v += std::sin(2 * M_PI * (110.0 * k + c * 3) * t + std::sin(5 * t) * k) / (k + 1);
      noise = noise * 1664525 + 1013904223;
      v = 0.3 * v + 0.05 * (static_cast<int32_t>(noise) / 2147483648.0);
      out.push_back(static_cast<SHORT>(std::lround(std::clamp(v, -1.0, 1.0) * 32000)));
    }
  }
  return out;
}

std::vector<unsigned char> EncodeMp3(std::vector<SHORT> pcm) {
  lame_global_flags* lame = lame_init();
  lame_set_in_samplerate(lame, kRate);
  lame_set_num_channels(lame, 2);
  lame_set_brate(lame, 128);
  lame_set_VBR(lame, vbr_off);
  lame_set_quality(lame, 5);
  lame_init_params(lame);
  const int frames = static_cast<int>(pcm.size() / 2);
  std::vector<unsigned char> out(static_cast<size_t>(frames) * 5 / 4 + 7200 + 7200);
  int size = lame_encode_buffer_interleaved(lame, pcm.data(), frames, out.data(), static_cast<int>(out.size()));
  size += lame_encode_flush(lame, out.data() + size, static_cast<int>(out.size()) - size);
  lame_close(lame);
  out.resize(size);
  return out;
}

void BM_LibmadDecodeOfOneSecond(benchmark::State& state) {
  constexpr int kSeconds = 10;
  const std::vector<unsigned char> mp3 = EncodeMp3(Music(kSeconds));
  for (auto _ : state) benchmark::DoNotOptimize(DecodeWithLibmad(mp3));
  // An iteration decodes the whole file; the counter says how many seconds of audio that is.
  state.counters["audio_seconds"] = kSeconds;
}
BENCHMARK(BM_LibmadDecodeOfOneSecond)->Unit(benchmark::kMillisecond)->Repetitions(kRuns);

// What a decoder thread does with each second it decodes: the equaliser and/or the writer.
enum Chain { kEqualizer = 1, kWriter = 2 };

struct Preset {
  signed char bands[kEqBandCount];
  int preamp;
};
// A typical preset leaves a few bands at the middle, which the filter skips; the next moves
// every band, so all ten sections run; then every band flat, at a 0 dB preamp (nothing to do)
// and at another one (the preamp alone).
constexpr Preset kTypical = {{40, 36, 31, 27, 31, 33, 37, 31, 24, 29}, 28};
constexpr Preset kEveryBand = {{20, 25, 28, 34, 36, 38, 35, 30, 26, 22}, 28};
constexpr Preset kFlat = {{31, 31, 31, 31, 31, 31, 31, 31, 31, 31}, 31};
constexpr Preset kPreampOnly = {{31, 31, 31, 31, 31, 31, 31, 31, 31, 31}, 28};

void BM_Chain(benchmark::State& state, int chain, const Preset& preset) {
  zb::testing::TestDevice device;
  zb::testing::EnvScope audio("ZONBREL_AUDIO", "null");
  CSettings* settings = GetSettings();
  settings->audioBuffer = 2000;
  settings->gaplessPlayback = 0;
  DesignEqFilter(1, preset.bands, preset.preamp);
  WaveWriterInit(0);
  if (WaveWriterOpen(kRate, 2, 16) <= 0) {
    state.SkipWithError("the writer did not open");
    return;
  }
  const std::vector<SHORT> second = Music(1);
  std::vector<SHORT> block(second.size());
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(block.data(), second.data(), second.size() * sizeof(SHORT));  // the decoder's fresh second
    state.ResumeTiming();
    for (int at = 0; at < kRate; at += kDecoderFrames) {
      const int frames = std::min(kDecoderFrames, kRate - at);
      SHORT* samples = block.data() + static_cast<size_t>(at) * 2;
      if (chain & kEqualizer) ApplyEqualizer(samples, frames * 4, 2, frames);
      if (chain & kWriter) WaveWriterWrite(samples, frames * 4);
    }
    if (chain & kWriter) WaveWriterFlush(0);
  }
  WaveWriterCloseDevice(TRUE);
  DestroySettings();
  state.counters["audio_seconds"] = 1;
}
BENCHMARK_CAPTURE(BM_Chain, eq_typical_plus_writer, kEqualizer | kWriter, kTypical)->Unit(benchmark::kMillisecond)->Repetitions(kRuns);
BENCHMARK_CAPTURE(BM_Chain, eq_every_band_plus_writer, kEqualizer | kWriter, kEveryBand)->Unit(benchmark::kMillisecond)->Repetitions(kRuns);
// The parts on their own, to show where the time goes.
BENCHMARK_CAPTURE(BM_Chain, eq_typical, kEqualizer, kTypical)->Unit(benchmark::kMillisecond)->Repetitions(kRuns);
BENCHMARK_CAPTURE(BM_Chain, eq_every_band, kEqualizer, kEveryBand)->Unit(benchmark::kMillisecond)->Repetitions(kRuns);
BENCHMARK_CAPTURE(BM_Chain, eq_flat, kEqualizer, kFlat)->Unit(benchmark::kMillisecond)->Repetitions(kRuns);
BENCHMARK_CAPTURE(BM_Chain, eq_preamp_only, kEqualizer, kPreampOnly)->Unit(benchmark::kMillisecond)->Repetitions(kRuns);
BENCHMARK_CAPTURE(BM_Chain, writer, kWriter, kFlat)->Unit(benchmark::kMillisecond)->Repetitions(kRuns);

// Prints the usual table, then each chain's cost per second of audio as a share of decoding's.
// Each benchmark runs several times and the quickest run counts, on both sides of the ratio: a
// busy machine only ever adds time.
class ShareReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      auto seconds = run.counters.find("audio_seconds");
      if (run.error_occurred || run.run_type != Run::RT_Iteration || seconds == run.counters.end()) continue;
      const double perAudioSecond =
          run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) / seconds->second.value;
      const std::string name = run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args);
      auto it = std::find_if(best_.begin(), best_.end(), [&](const auto& entry) { return entry.first == name; });
      if (it == best_.end()) {
        best_.push_back({name, perAudioSecond});
      } else {
        it->second = std::min(it->second, perAudioSecond);
      }
    }
  }
  void Summary() const {
    const auto decode = std::find_if(best_.begin(), best_.end(),
                                     [](const auto& entry) { return entry.first.find("Libmad") != std::string::npos; });
    if (decode == best_.end() || decode->second <= 0) return;
    std::printf("\nPer second of 44.1 kHz stereo audio, quickest of each; libmad decoding that second from\n"
                "128 kb/s MP3: %.3f ms\n",
                decode->second * 1000);
    std::printf("  %-28s %10s %12s\n", "chain", "ms", "% of decode");
    for (const auto& [name, seconds] : best_) {
      if (name == decode->first) continue;
      std::printf("  %-28s %10.3f %11.2f%%\n", name.substr(name.find('/') + 1).c_str(), seconds * 1000,
                  100 * seconds / decode->second);
    }
    std::printf("Goal: the equaliser plus the writer under 5%% of the decode.\n");
  }

 private:
  std::vector<std::pair<std::string, double>> best_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  ShareReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.Summary();
  benchmark::Shutdown();
  return 0;
}
