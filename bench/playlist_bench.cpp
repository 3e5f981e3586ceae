// The playlist at 100,000 entries: appending them, shuffling the list, and walking one shuffle
// round with Next, each reported per entry at several sizes so a cost that stops being linear
// shows as a growing time per entry (and in the fitted complexity).
#include <benchmark/benchmark.h>
#include <windows.h>

#include <string>
#include <vector>

#include "playlist.h"
#include "playlist_view_sink.h"
#include "script_core.h"
#include "testing/test_device.h"

namespace {

// One view that takes every notice, as the list window would.
class CountingView : public IPlaylistViewSink {
 public:
  BOOL IsViewWindow(HWND) override { return TRUE; }
  LRESULT SendViewMessage(HWND, UINT, WPARAM, LPARAM) override { return ++notices; }
  LRESULT notices = 0;
};

std::vector<std::u16string> Paths(int count) {
  std::vector<std::u16string> paths;
  paths.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const std::string name = "\\Storage Card\\Music\\Artist " + std::to_string(i % 97) + "\\" + std::to_string(i) + ".mp3";
    paths.emplace_back(name.begin(), name.end());
  }
  return paths;
}

void Fill(CPlaylist& playlist, const std::vector<std::u16string>& paths) {
  for (const std::u16string& path : paths) playlist.InsertItem(path.c_str(), -1, nullptr, -2);
}

void PerEntry(benchmark::State& state, int count) {
  state.SetComplexityN(count);
  state.counters["per_entry"] =
      benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_AddShuffleAndWalk(benchmark::State& state) {
  zb::testing::TestDevice device;
  CountingView view;
  SetPlaylistViewSink(&view);
  const int count = static_cast<int>(state.range(0));
  const std::vector<std::u16string> paths = Paths(count);
  CScriptCore core;
  core.shuffle = TRUE;
  for (auto _ : state) {
    CPlaylist playlist(&core);
    playlist.AddView(reinterpret_cast<HWND>(1));
    Fill(playlist, paths);
    playlist.Reorder(5, 0, -1);
    playlist.ClearHistory();
    int played = 0;
    while (playlist.Next(FALSE)) ++played;
    if (played != count) state.SkipWithError("the round did not play every entry");
  }
  SetPlaylistViewSink(nullptr);
  PerEntry(state, count);
}
BENCHMARK(BM_AddShuffleAndWalk)->RangeMultiplier(10)->Range(1000, 100000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

// The round alone: every draw finds the k-th entry not yet played.
void BM_ShuffleRound(benchmark::State& state) {
  zb::testing::TestDevice device;
  const int count = static_cast<int>(state.range(0));
  CScriptCore core;
  core.shuffle = TRUE;
  CPlaylist playlist(&core);
  Fill(playlist, Paths(count));
  for (auto _ : state) {
    playlist.ClearHistory();
    while (playlist.Next(FALSE)) {
    }
  }
  PerEntry(state, count);
}
BENCHMARK(BM_ShuffleRound)->RangeMultiplier(10)->Range(1000, 100000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
