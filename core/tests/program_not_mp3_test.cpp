// The player program refusing files that are named .mp3 but hold something else (WAVE of 8, 16
// and 24 bits, Ogg Vorbis, JPEG, PNG, random bytes, text; made at build time): each is given on
// the command line of a real player process, whose MP3 decoder says it found no audio frame,
// and the WAVE-file device gets no sample of it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "player_process.h"
#include "product_device.h"
#include "testing/env_scope.h"

namespace zb::testing {
namespace {

namespace fs = std::filesystem;

class NotMp3 : public ::testing::TestWithParam<const char*> {
 protected:
  void TearDown() override { fs::remove_all(folder); }

  // Lines of the device's debug log that hold `text`.
  int LoggedLines(const std::string& text) {
    std::ifstream log(device.Host(".zonbrel/debug.log"));
    int count = 0;
    for (std::string line; std::getline(log, line);) count += line.find(text) != std::string::npos;
    return count;
  }

  ProductDevice device;
  EnvScope display{"ZONBREL_DISPLAY", "none"};
  fs::path folder = fs::temp_directory_path() / ("zonbrel-not-mp3-" + std::to_string(getpid()));
  bool made = fs::create_directories(folder);
  fs::path recording = folder / "out.wav";
  EnvScope audio{"ZONBREL_AUDIO", "wav:" + recording.string()};
};

TEST_P(NotMp3, ThePlayerRefusesItAndWritesNoSample) {
  const std::string name = std::string(GetParam()) + ".mp3";
  CreateDirectoryW(u"\\Music", nullptr);
  ASSERT_TRUE(fs::copy_file(fs::path(NOT_MP3_FOLDER) / name, device.Host("Music/" + name)));
  KeepClosableWhilePlaying();
  PlayerProcess player({"\\Music\\" + name});
  ASSERT_NE(WaitForShownWindow(), nullptr);
  const int refused = ReadUntil([&] { return LoggedLines("Mp3Decoder: no MPEG audio frame"); },
                                [](LRESULT lines) { return lines > 0; });
  EXPECT_EQ(refused, 1) << "the decoder says why it does not play";
  EXPECT_EQ(player.Stop(), 0);
  EXPECT_TRUE(Recordings(recording).empty()) << "no sample of it reached the device";
}

INSTANTIATE_TEST_SUITE_P(Files, NotMp3,
                         ::testing::Values("wave8", "wave16", "wave24", "wave24_stereo", "ogg_q10", "picture_jpeg",
                                           "picture_png", "random", "text"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
}  // namespace zb::testing
