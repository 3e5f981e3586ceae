// dsp_omnia's effects beside the MP3 decode of the same sound in one run: each effect over 60 s
// of 44.1 kHz stereo in the MP3 decoder's blocks, and libmad decoding the 60 s MP3 LAME made of
// it. The goal: no effect costs more than a quarter of the decode.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "bench_libmad.h"
#include "bench_tone.h"
#include "plugins/dsp/biquad_modules.h"
#include "plugins/dsp/chorus_effect.h"
#include "plugins/dsp/dsp_records.h"
#include "plugins/dsp/pitch_adjust.h"
#include "plugins/dsp/stereo_image.h"

namespace {

constexpr int kRate = 44100, kSeconds = 60, kBlock = 11520;

std::vector<unsigned char> g_file;
std::vector<SHORT> g_pcm;

void Prepare() {
  if (!g_file.empty()) return;
  g_file = EncodeBenchTone("tone.mp3", [](const std::string& wav, const std::string& mp3) {
    return "lame --quiet -b 128 '" + wav + "' '" + mp3 + "'";
  });
  for (int i = 0; i < kRate * kSeconds; ++i) {
    g_pcm.push_back(static_cast<SHORT>(9000 * std::sin(2 * M_PI * 440 * i / kRate)));
    g_pcm.push_back(static_cast<SHORT>(9000 * std::sin(2 * M_PI * 660 * i / kRate)));
  }
}

void Mp3Decode(benchmark::State& state) {
  Prepare();
  for (auto _ : state) benchmark::DoNotOptimize(DecodeWithLibmad(g_file));
}

void Effect(benchmark::State& state, DSPModule* module, void (*configure)()) {
  Prepare();
  module->Init();
  configure();
  std::vector<SHORT> block(2 * 2 * kBlock);
  for (auto _ : state) {
    for (size_t first = 0; first < g_pcm.size(); first += 2 * kBlock) {
      const int n = static_cast<int>(std::min<size_t>(kBlock, (g_pcm.size() - first) / 2));
      std::copy_n(g_pcm.begin() + first, 2 * n, block.begin());
      benchmark::DoNotOptimize(module->ModifySamples(block.data(), n, 2, 16, kRate));
    }
  }
  module->Quit();
}

void Nothing() {}

BENCHMARK(Mp3Decode)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Effect, BassBoost, &g_bassBoostModule, Nothing)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Effect, VariableFiltersPeaking, &g_variableFiltersModule, [] { BiquadValues().type = 7; })
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Effect, Echo, &g_echoModule, Nothing)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Effect, Pitch80, &g_pitchModule, [] { PitchPercent() = 80; })->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Effect, StereoSeparation, &g_stereoModule, [] { SetStereoSeparation(128); })
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Effect, Chorus, &g_chorusModule, Nothing)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Effect, Surround, &g_surroundModule, [] { SetSurroundAmount(128); })->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
