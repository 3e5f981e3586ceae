// The tag readers over tags of 4,000 and 40,000 values: one ID3v2.4 genre frame listing them all
// (it adds a bounded number), the same genres spread over frames that each stay under the bound,
// as many comment frames, half comments then half lyrics (the order that makes the item move its
// values most), and as many Windows Media genre attributes. Each reads into a fresh item. The goal is cost linear in the tag: 40,000 values cost at most 15 times what 4,000 do
// (10 is linear; a reader that probes or copies what it already wrote costs 100). The ratios
// are printed last.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "asf_reader.h"
#include "decoders/tests/tag_builder.h"
#include "id3_reader.h"
#include "media_item.h"
#include "testing/test_device.h"

namespace {

using zbtest::Bytes;

constexpr int kSmall = 4000, kLarge = 40000;
constexpr double kGoal = 15.0;

Bytes GenreFrame(int count) { return zbtest::Id3v2Tag({zbtest::Id3v2Frame("TCON", zbtest::Id3Text(zbtest::NumberedGenres(count)))}); }

Bytes GenresInFrames(int count) {
  std::vector<Bytes> frames;
  for (int left = count; left > 0; left -= 200)
    frames.push_back(zbtest::Id3v2Frame("TCON", zbtest::Id3Text(zbtest::NumberedGenres(std::min(left, 200)))));
  return zbtest::Id3v2Tag(frames);
}

Bytes CommentFrames(int count) {
  std::vector<Bytes> frames;
  for (int k = 0; k < count; ++k) frames.push_back(zbtest::Id3Comment("c" + std::to_string(k)));
  return zbtest::Id3v2Tag(frames);
}

Bytes CommentsThenLyrics(int count) {
  std::vector<Bytes> frames;
  for (int k = 0; k < count / 2; ++k) frames.push_back(zbtest::Id3Comment("c"));
  for (int k = 0; k < count / 2; ++k) frames.push_back(zbtest::Id3v2Frame("USLT", std::string("\0eng\0l", 6)));
  return zbtest::Id3v2Tag(frames);
}

Bytes GenreAttributes(int count) {
  std::vector<std::pair<std::string, std::string>> attributes;
  for (int k = 0; k < count; ++k) attributes.emplace_back("WM/Genre", k % 2 ? "Rock" : "Pop");
  return zbtest::AsfTextAttributes(attributes);
}

template <Bytes (*Make)(int), bool kAsf = false>
void ReadTag(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const Bytes tag = Make(count);
  for (auto _ : state) {
    CMediaItem* item = CreateMediaItem();
    if (kAsf) ReadAsfHeaderObjects(tag.data(), tag.size(), 1, item);
    else ParseId3v2Frames(tag.data(), static_cast<int>(tag.size()), 0, item);
    DWORD tags = 0;
    item->GetTagCount(&tags);
    benchmark::DoNotOptimize(tags);
    item->Release();
  }
  state.SetComplexityN(count);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * count);
  state.counters["tag_KB"] = static_cast<double>(tag.size()) / 1024;
}

void Id3OneGenreFrame(benchmark::State& state) { ReadTag<GenreFrame>(state); }
void Id3GenresInFrames(benchmark::State& state) { ReadTag<GenresInFrames>(state); }
void Id3CommentFrames(benchmark::State& state) { ReadTag<CommentFrames>(state); }
void Id3CommentsThenLyrics(benchmark::State& state) { ReadTag<CommentsThenLyrics>(state); }
void AsfGenreAttributes(benchmark::State& state) { ReadTag<GenreAttributes, true>(state); }

BENCHMARK(Id3OneGenreFrame)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(Id3GenresInFrames)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(Id3CommentFrames)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(Id3CommentsThenLyrics)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(AsfGenreAttributes)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

// Keeps each run's time per iteration, by benchmark and size, for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
      const std::string name = run.run_name.function_name;
      times_[name][run.complexity_n] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  int PrintRatios() const {
    int failed = 0;
    for (const auto& [name, bySize] : times_) {
      if (!bySize.count(kSmall) || !bySize.count(kLarge)) continue;
      const double ratio = bySize.at(kLarge) / bySize.at(kSmall);
      std::printf("%-20s %d values cost %.1fx what %d do (goal at most %.0fx)%s\n", name.c_str(), kLarge, ratio, kSmall,
                  kGoal, ratio <= kGoal ? "" : "  ** missed **");
      failed += ratio > kGoal;
    }
    return failed;
  }

 private:
  std::map<std::string, std::map<int64_t, double>> times_;
};

}  // namespace

int main(int argc, char** argv) {
  zb::testing::TestDevice device;  // the readers' settings live on a device
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  reporter.PrintRatios();
  return 0;
}
