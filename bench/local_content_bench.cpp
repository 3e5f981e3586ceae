// How soon a large storage card is ready: 5,000 tagged files that the benchmark makes (MP3 with
// an ID3v2 tag of its own each, from one lame encoding, and Ogg Vorbis copies of one oggenc
// file) are read by the tag readers alone (the decoders' stream information and the readers it
// names, as the library runs them), then scanned into a new library, then scanned again with
// nothing changed. Goals: the first scan at most 1.5 times the readers alone, the second at most
// a tenth of the first. The ratios are printed last.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/player/core_media_library.h"
#include "core/player/media_library_link.h"
#include "core/player/player_core_neighbours.h"
#include "core/settings/settings.h"
#include "decoders/tests/tag_builder.h"
#include "library_location.h"
#include "local_content.h"
#include "media_item.h"
#include "media_library.h"
#include "player_items.h"
#include "testing/test_device.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 5000;
constexpr int kOggEvery = 5;  // one file in five is Ogg Vorbis
constexpr int kPerFolder = 100;
constexpr double kFirstScanGoal = 1.5, kSecondScanGoal = 0.1;

double g_tagsAlone = 0, g_firstScan = 0, g_secondScan = 0;

bool Run(const std::string& command) { return std::system((command + " > /dev/null 2>&1").c_str()) == 0; }

std::vector<char> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// The card's files, made once: their device paths.
struct Card {
  zb::testing::TestDevice device;
  std::vector<std::u16string> paths;

  Card() {
    const fs::path work = device.root() / "work";
    fs::create_directories(work);
    const fs::path wav = work / "tone.wav", mp3 = work / "plain.mp3", ogg = work / "tagged.ogg";
    Run("sox -n -r 22050 -c 2 -b 16 '" + wav.string() + "' synth 1 sine 440");
    Run("lame --quiet -b 64 -t '" + wav.string() + "' '" + mp3.string() + "'");
    Run("oggenc -Q -t Song -a Artist -l Album -N 1 -o '" + ogg.string() + "' '" + wav.string() + "'");
    const std::vector<char> audio = ReadAll(mp3), vorbis = ReadAll(ogg);
    if (audio.empty() || vorbis.empty()) {
      std::fputs("local_content_bench: sox, lame and oggenc must make the fixtures\n", stderr);
      std::exit(1);
    }
    for (int k = 0; k < kFiles; ++k) {
      const std::string folder = "Music/Artist " + std::to_string(k / kPerFolder);
      fs::create_directories(device.card() / folder);
      const bool isOgg = k % kOggEvery == 0;
      const std::string name = folder + "/track " + std::to_string(k) + (isOgg ? ".ogg" : ".mp3");
      std::ofstream out(device.card() / name, std::ios::binary);
      if (isOgg) {
        out.write(vorbis.data(), static_cast<std::streamsize>(vorbis.size()));
      } else {
        const zbtest::Bytes tag = zbtest::Id3v2Tag({
            zbtest::Id3v2Frame("TIT2", zbtest::Id3Text("Song " + std::to_string(k))),
            zbtest::Id3v2Frame("TPE1", zbtest::Id3Text("Artist " + std::to_string(k / kPerFolder))),
            zbtest::Id3v2Frame("TALB", zbtest::Id3Text("Album " + std::to_string(k / 10))),
            zbtest::Id3v2Frame("TRCK", zbtest::Id3Text(std::to_string(k % 10 + 1))),
            zbtest::Id3v2Frame("TCON", zbtest::Id3Text("Rock")),
        });
        out.write(reinterpret_cast<const char*>(tag.data()), static_cast<std::streamsize>(tag.size()));
        out.write(audio.data(), static_cast<std::streamsize>(audio.size()));
      }
      std::u16string path = u"\\Storage Card\\";
      for (char c : name) path += c == '/' ? u'\\' : static_cast<char16_t>(c);
      paths.push_back(path);
    }
    fs::remove_all(work);
    RegisterBuiltInModules(GetModuleHandleW(nullptr), nullptr);
    GetSettings()->minimumSizeAudioFile = 0;
  }
};

Card& TheCard() {
  static Card card;
  return card;
}

double Seconds(std::chrono::steady_clock::time_point began) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
}

void TagReadersAlone(benchmark::State& state) {
  Card& card = TheCard();
  for (auto _ : state) {
    const auto began = std::chrono::steady_clock::now();
    for (const std::u16string& path : card.paths) {
      CMediaItem* item = CreateMediaItem();
      item->SetSource(path.c_str());
      CoreItemHost()->ReadTags(path.c_str(), item);
      item->Release();
    }
    g_tagsAlone = Seconds(began);
  }
  state.counters["files"] = kFiles;
}

// The library the player would make, on a database of its own per run.
void Scan(benchmark::State& state, double* seconds, bool fresh) {
  Card& card = TheCard();
  CSettings* settings = GetSettings();
  IMediaLibraryLink* link = CreateCoreMediaLibrary(GetModuleHandleW(nullptr));
  if (fresh) DeleteFileW(GetLibraryDatabasePath(*settings).c_str());
  OpenLibrary(link->Object(), settings, nullptr, nullptr, 0);
  int found = 0;
  for (auto _ : state) {
    const auto began = std::chrono::steady_clock::now();
    found = RunLocalContentScan(u"\\Storage Card", nullptr, nullptr);
    *seconds = Seconds(began);
  }
  link->Release();
  state.counters["files"] = found;
  if (found != static_cast<int>(card.paths.size())) state.SkipWithError("the scan missed files");
}

void FirstScan(benchmark::State& state) { Scan(state, &g_firstScan, true); }
void SecondScan(benchmark::State& state) { Scan(state, &g_secondScan, false); }

BENCHMARK(TagReadersAlone)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(FirstScan)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(SecondScan)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (g_tagsAlone > 0 && g_firstScan > 0) {
    const double first = g_firstScan / g_tagsAlone;
    std::printf("first scan / tag readers alone: %.2f (goal at most %.1f) %s\n", first, kFirstScanGoal,
                first <= kFirstScanGoal ? "met" : "MISSED");
  }
  if (g_firstScan > 0 && g_secondScan > 0) {
    const double second = g_secondScan / g_firstScan;
    std::printf("second scan / first scan: %.3f (goal at most %.1f) %s\n", second, kSecondScanGoal,
                second <= kSecondScanGoal ? "met" : "MISSED");
  }
  return 0;
}
