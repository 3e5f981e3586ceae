// The MP3 decoder module against a bare libmad loop over the same 60 s, 128 kb/s file in the
// same run: the module plays through its record, the file source and the null output; the loop
// decodes, synthesises and converts to 16 bits from memory. The goal is within 10 % of it.
#include <benchmark/benchmark.h>
#include <mad.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

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
  std::vector<short> pcm(1152 * 2);
  for (auto _ : state) {
    mad_stream stream;
    mad_frame frame;
    mad_synth synth;
    mad_stream_init(&stream);
    mad_frame_init(&frame);
    mad_synth_init(&synth);
    mad_stream_buffer(&stream, g_file.data(), g_file.size());
    long long sum = 0;
    for (;;) {
      if (mad_frame_decode(&frame, &stream) != 0) {
        if (MAD_RECOVERABLE(stream.error)) continue;
        break;
      }
      mad_synth_frame(&synth, &frame);
      for (unsigned i = 0; i < synth.pcm.length; ++i)
        for (int ch = 0; ch < synth.pcm.channels; ++ch)
          pcm[i * 2 + ch] = static_cast<short>(std::clamp(synth.pcm.samples[ch][i], -MAD_F_ONE, MAD_F_ONE - 1) >> 13);
      sum += pcm[0];
    }
    benchmark::DoNotOptimize(sum);
    mad_synth_finish(&synth);
    mad_frame_finish(&frame);
    mad_stream_finish(&stream);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(g_file.size()));
}

// The module decodes on its own thread: the CPU column counts every thread of the process, which
// a loaded machine disturbs less than the wall clock.
BENCHMARK(ModuleIntoNullOutput)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BareLibmad)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
