// The Ogg decoder module against a bare Tremor loop over the same 60 s, 44.1 kHz stereo file
// (oggenc, quality 4) in the same run: the module plays through its record, the file source and
// the null output, with its equaliser off and on (a typical preset); the loop opens the file from
// memory and calls ov_read until the end. The goals: within 5 % of the loop off, 20 % on.
#include <benchmark/benchmark.h>
#include <tremor/ivorbisfile.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "bench_tone.h"
#include "core/output/output_registry.h"
#include "file_source.h"
#include "host_window.h"
#include "ogg_decoder.h"

namespace {

std::vector<unsigned char> g_file;

void MakeFile() {
  if (g_file.empty()) g_file = EncodeBenchTone("tone.ogg", [](const std::string& wav, const std::string& ogg) {
    return "oggenc -Q -q 4 -o '" + ogg + "' '" + wav + "'";
  });
}

void PlayModule(benchmark::State& state, int eqMode) {
  MakeFile();
  InputSource source = MakeFileSource();
  OggDecoder.Init();
  OggDecoder.hwndParent = CreateHostWindow();
  OggDecoder.source = &source;
  OggDecoder.outModule = &NullOut;
  // A "Rock"-like curve with the preamp a little down.
  const signed char values[11] = {20, 24, 34, 38, 36, 30, 26, 22, 20, 20, 34};
  OggDecoder.SetEqualizer(eqMode, 11, values, 0, 0);
  for (auto _ : state) {
    if (OggDecoder.Play(u"\\tone.ogg") != 0) state.SkipWithError("does not play");
    if (WaitForEndOfStream(OggDecoder.hwndParent, INFINITE) != 0) state.SkipWithError("ended early");
    OggDecoder.Stop();
  }
  DestroyWindow(OggDecoder.hwndParent);
  source.Release(&source);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(g_file.size()));
}

void ModuleEqualiserOff(benchmark::State& state) { PlayModule(state, 2); }
void ModuleEqualiserOn(benchmark::State& state) { PlayModule(state, 1); }

struct Memory {
  size_t pos = 0;
};

size_t MemoryRead(void* buffer, size_t size, size_t count, void* data) {
  auto* m = static_cast<Memory*>(data);
  const size_t n = std::min(size * count, g_file.size() - m->pos);
  std::memcpy(buffer, g_file.data() + m->pos, n);
  m->pos += n;
  return n / size;
}
int MemorySeek(void* data, ogg_int64_t offset, int whence) {
  auto* m = static_cast<Memory*>(data);
  const long long base = whence == SEEK_CUR ? static_cast<long long>(m->pos) : whence == SEEK_END ? static_cast<long long>(g_file.size()) : 0;
  if (base + offset < 0 || base + offset > static_cast<long long>(g_file.size())) return -1;
  m->pos = static_cast<size_t>(base + offset);
  return 0;
}
int MemoryClose(void*) { return 0; }
long MemoryTell(void* data) { return static_cast<long>(static_cast<Memory*>(data)->pos); }

void BareTremor(benchmark::State& state) {
  MakeFile();
  std::vector<char> pcm(2 * 8192);
  for (auto _ : state) {
    Memory memory;
    OggVorbis_File vf;
    if (ov_open_callbacks(&memory, &vf, nullptr, 0, {MemoryRead, MemorySeek, MemoryClose, MemoryTell}) != 0)
      state.SkipWithError("does not open");
    long long sum = 0;
    int section = 0;
    for (long got; (got = ov_read(&vf, pcm.data(), static_cast<int>(pcm.size()), &section)) != 0;) sum += got > 0 ? pcm[0] : 0;
    benchmark::DoNotOptimize(sum);
    ov_clear(&vf);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(g_file.size()));
}

// The module decodes on its own thread: the CPU column counts every thread of the process, which
// a loaded machine disturbs less than the wall clock.
BENCHMARK(ModuleEqualiserOff)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(ModuleEqualiserOn)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BareTremor)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
