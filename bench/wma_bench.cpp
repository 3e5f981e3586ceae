// The WMA decoding library beside libmad and beside ffmpeg's decoder, in the same run, on the
// same 60 s of music: WMA version 2 and MP3, both 128 kb/s 44.1 kHz stereo. The library and
// libmad decode from memory to 16-bit PCM; ffmpeg runs as a process, single-threaded, on the
// file. The counter is the cost of a second of audio; the goal is at most 0.75 of libmad's.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench_libmad.h"
#include "bench_tone.h"
#include "wma_lib.h"
#include "wma_memory_source.h"

namespace {

constexpr double kAudioSeconds = 60;
std::vector<unsigned char> g_wma, g_mp3;
std::string g_wmaPath;

void MakeFiles() {
  if (!g_wma.empty()) return;
  g_wma = EncodeBenchTone("tone.wma", [](const std::string& wav, const std::string& wma) {
    g_wmaPath = wma;
    return "ffmpeg -hide_banner -loglevel error -y -i '" + wav + "' -c:a wmav2 -b:a 128k '" + wma + "'";
  });
  g_mp3 = EncodeBenchTone("tone.mp3", [](const std::string& wav, const std::string& mp3) {
    return "lame --quiet -b 128 '" + wav + "' '" + mp3 + "'";
  });
}

void PerAudioSecond(benchmark::State& state) {
  state.counters["s_per_audio_s"] =
      benchmark::Counter(kAudioSeconds * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void WmaLibrary(benchmark::State& state) {
  MakeFiles();
  std::vector<int16_t> pcm(2 * 4096);
  for (auto _ : state) {
    WmaMemorySource in{g_wma.data(), g_wma.size()};
    auto lib = std::make_unique<WmaLibState>();
    WmaReadFrom(lib.get(), &in);
    if (WmaLibCreate(lib.get()) != WMA_LIB_OK || WmaLibParseHeader(lib.get()) != WMA_LIB_OK) {
      state.SkipWithError("does not open");
      break;
    }
    long long sum = 0;
    uint32_t status = 0;
    while (WmaLibDecode(lib.get(), &status) == WMA_LIB_OK)
      while (WmaLibGetPcm(lib.get(), pcm.data(), pcm.data() + 1, 4096) > 0) sum += pcm[0];
    benchmark::DoNotOptimize(sum);
  }
  PerAudioSecond(state);
}

void Libmad(benchmark::State& state) {
  MakeFiles();
  for (auto _ : state) benchmark::DoNotOptimize(DecodeWithLibmad(g_mp3));
  PerAudioSecond(state);
}

void FfmpegProcess(benchmark::State& state) {
  MakeFiles();
  const std::string command =
      "ffmpeg -hide_banner -loglevel error -threads 1 -i '" + g_wmaPath + "' -f s16le -y /dev/null";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError("ffmpeg failed");
  PerAudioSecond(state);
}

// Wall clock for all three: ffmpeg's work happens in a child process.
BENCHMARK(WmaLibrary)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Libmad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FfmpegProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
