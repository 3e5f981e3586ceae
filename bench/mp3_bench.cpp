// The MP3 decoder module against a bare libmad loop over the same 60 s, 128 kb/s file in the
// same run: the module plays through its record, the file source and the null output; the loop
// decodes, synthesises and converts to 16 bits from memory. The goal is within 10 % of it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_libmad.h"
#include "bench_tone.h"
#include "core/output/output_registry.h"
#include "file_source.h"
#include "host_window.h"
#include "mp3_decoder.h"

namespace {

std::vector<unsigned char> g_file;

void MakeFile() {
  if (g_file.empty()) g_file = EncodeBenchTone("tone.mp3", [](const std::string& wav, const std::string& mp3) {
    return "lame --quiet -b 128 '" + wav + "' '" + mp3 + "'";
  });
}

void ModuleIntoNullOutput(benchmark::State& state) {
  MakeFile();
  InputSource source = MakeFileSource();
  Mp3Decoder.hwndParent = CreateHostWindow();
  Mp3Decoder.source = &source;
  Mp3Decoder.outModule = &NullOut;
  for (auto _ : state) {
    if (Mp3Decoder.Play(u"\\tone.mp3") != 0) state.SkipWithError("does not play");
    if (WaitForEndOfStream(Mp3Decoder.hwndParent, INFINITE) != 0) state.SkipWithError("ended early");
    Mp3Decoder.Stop();
  }
  DestroyWindow(Mp3Decoder.hwndParent);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(g_file.size()));
}

void BareLibmad(benchmark::State& state) {
  MakeFile();
  for (auto _ : state) benchmark::DoNotOptimize(DecodeWithLibmad(g_file));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(g_file.size()));
}

// The module decodes on its own thread: the CPU column counts every thread of the process, which
// a loaded machine disturbs less than the wall clock.
BENCHMARK(ModuleIntoNullOutput)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BareLibmad)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
