// The player program playing a WAVE file headless, as a real process: the built-in WAVE decoder
// takes the file named on the command line and the WAVE-file device receives its samples, byte
// for byte, since 16-bit stereo at 44.1 kHz needs no conversion.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "player_process.h"
#include "product_device.h"
#include "testing/env_scope.h"

namespace zb::testing {
namespace {

namespace fs = std::filesystem;

// A second of seeded 16-bit stereo noise at 44.1 kHz with a LIST chunk behind the data; the samples.
std::vector<char> WriteWave(const fs::path& file) {
  std::mt19937 random(29);
  std::vector<char> samples(44100 * 4);
  for (char& c : samples) c = static_cast<char>(random());
  std::ofstream out(file, std::ios::binary);
  auto word = [&](uint32_t v, int bytes) { out.write(reinterpret_cast<const char*>(&v), bytes); };
  out.write("RIFF", 4);
  word(static_cast<uint32_t>(36 + samples.size() + 20), 4);
  out.write("WAVEfmt ", 8);
  word(16, 4), word(1, 2), word(2, 2), word(44100, 4), word(44100 * 4, 4), word(4, 2), word(16, 2);
  out.write("data", 4);
  word(static_cast<uint32_t>(samples.size()), 4);
  out.write(samples.data(), static_cast<std::streamsize>(samples.size()));
  out.write("LIST", 4);
  word(12, 4);
  out.write("INFOINAM\4\0\0\0Tag", 16);
  return samples;
}

TEST(WavePlayback, AWaveFileOnTheCommandLinePlaysToItsEnd) {
  ProductDevice device;
  EnvScope display{"ZONBREL_DISPLAY", "none"};
  const fs::path folder = fs::temp_directory_path() / ("zonbrel-wave-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path recording = folder / "out.wav";
  EnvScope audio{"ZONBREL_AUDIO", "wav:" + recording.string()};
  CreateDirectoryW(u"\\Music", nullptr);
  const std::vector<char> samples = WriteWave(device.Host("Music/song.wav"));

  PlayerProcess player({"\\Music\\song.wav"});
  HWND window = WaitForShownWindow();
  ASSERT_NE(window, nullptr);
  std::vector<fs::path> written;
  for (int waited = 0; waited < 30000; waited += 50) {
    written = Recordings(recording);
    if (!written.empty() && WaveData(written.front()).size() >= samples.size()) break;
    RealSleep(50);
  }
  EXPECT_EQ(AskUntil(window, 121, 0), 0) << "played to its end";
  EXPECT_EQ(player.Stop(), 0);
  written = Recordings(recording);
  ASSERT_EQ(written.size(), 1u);
  EXPECT_TRUE(WaveData(written.front()) == samples) << WaveData(written.front()).size() << " bytes recorded";
  fs::remove_all(folder);
}

}  // namespace
}  // namespace zb::testing
