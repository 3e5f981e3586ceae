// The transport with the real MP3 module, the file source and the waveOut writer on the WAVE-file
// sound device (ZONBREL_AUDIO=wav:FILE), in real time: a three-item playlist plays through in
// order with its length, its PCM that of zbdecode for each file; a seek to the middle of the
// second item lands within one frame; a pause holds the output time still; an Ogg Vorbis file
// among the MP3s plays in its turn through its own decoder. The files are made with lame and
// oggenc when the tests are built.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numeric>

#include "core/modules/decoder_choice.h"
#include "device/text.h"
#include "mp3_decoder.h"
#include "wma_decoder.h"
#include "ogg_decoder.h"
#include "transport_fixture.h"

namespace zb::testing {
namespace {

namespace fs = std::filesystem;
using Samples = std::vector<int16_t>;

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr size_t kFrameSamples = 1152;  // one MPEG-1 layer III frame, per channel
const char* const kNames[] = {"one", "two", "three"};
constexpr size_t kNoLanding = static_cast<size_t>(-1);

struct WavFile {
  int rate = 0, channels = 0, bits = 0;
  Samples samples;  // interleaved
};

// A PCM WAVE file: its format and its "data" chunk, or up to the file's end when the header's
// size was not written yet.
WavFile ReadWavFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  WavFile wav;
  auto word = [&bytes](size_t at, size_t size) {
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, size);
    return value;
  };
  for (size_t at = 12; at + 8 <= bytes.size();) {
    const std::string id(bytes.data() + at, 4);
    const uint32_t size = word(at + 4, 4);
    if (id == "fmt " && at + 24 <= bytes.size()) {
      wav.channels = static_cast<int>(word(at + 10, 2));
      wav.rate = static_cast<int>(word(at + 12, 4));
      wav.bits = static_cast<int>(word(at + 22, 2));
    } else if (id == "data") {
      const size_t end = std::min(bytes.size(), at + 8 + static_cast<size_t>(size));
      wav.samples.resize((end - at - 8) / 2);
      if (!wav.samples.empty()) std::memcpy(wav.samples.data(), bytes.data() + at + 8, wav.samples.size() * 2);
      break;
    }
    at += 8 + size + (size & 1);
  }
  return wav;
}

Samples ReadWav(const fs::path& file) { return ReadWavFile(file).samples; }

// zbdecode's PCM of a file: the module alone, as the player core binds it, into a WAVE file.
Samples Zbdecode(const fs::path& mp3, const fs::path& wav) {
  std::string tool = ZBDECODE_PATH, file = mp3.string(), out = wav.string();
  char* argv[] = {tool.data(), file.data(), out.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);  // its report is not needed
  pid_t pid = -1;
  int status = 0;
  const int spawned = posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
  return ReadWav(wav);
}

// Where in `item` the played PCM `rest` went on after a seek: `rest` is the item's first samples
// (exactly), then the item's samples from the landing to its end (within 1 LSB). npos when no
// landing fits.
size_t Landing(const Samples& rest, const Samples& item) {
  auto close = [](int16_t a, int16_t b) { return std::abs(int{a} - int{b}) <= 1; };
  for (size_t landing = 0; landing <= item.size(); landing += kChannels) {
    const size_t after = item.size() - landing;
    if (after > rest.size()) continue;
    const size_t before = rest.size() - after;
    if (before > landing) continue;
    if (std::equal(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(before), item.begin()) &&
        std::equal(rest.begin() + static_cast<std::ptrdiff_t>(before), rest.end(),
                   item.begin() + static_cast<std::ptrdiff_t>(landing), close))
      return landing;
  }
  return kNoLanding;
}

class Mp3Playback : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryW(u"\\Music", nullptr);
    for (const char* name : kNames) {
      fs::copy_file(fs::path(MP3_FIXTURE_FOLDER) / (std::string(name) + ".mp3"),
                    device_.Host(fs::path("Music") / (std::string(name) + ".mp3")));
      expected_.push_back(Zbdecode(fs::path(MP3_FIXTURE_FOLDER) / (std::string(name) + ".mp3"),
                                   device_.Host(std::string(name) + ".zbdecode.wav")));
      ASSERT_FALSE(expected_.back().empty()) << "zbdecode of " << name;
    }
    core_ = std::make_unique<CPlayerCore>(GetModuleHandleW(nullptr), window_.Handle(), nullptr);
    for (const char* name : kNames) paths_.push_back(u"\\Music\\" + FromUtf8(name) + u".mp3");
    for (const std::u16string& path : paths_) core_->GetPlaylist()->InsertItem(path.c_str(), -1, nullptr, -2);
  }
  void TearDown() override {
    core_.reset();
    DestroySettings();
  }
  void PlaysInItsTurn(const fs::path& file, const std::string& name, DecModule* decoder);

  // Handles the main window's messages (the decoder's end of stream among them) until `done`,
  // for at most a minute.
  template <class Done>
  bool PumpUntil(Done done) {
    const DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start > 60000) return false;
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Sleep(2);
    }
    return true;
  }
  // What the device played at 44.1 kHz stereo. The WAVE-file device puts what a device of
  // another format plays (the core reads the device's volume through one) in a file of its own,
  // "played-2.wav" and so on: exactly one file has the music.
  Samples Played() {
    core_.reset();  // the writer's device is closed and the files complete
    std::vector<Samples> music;
    for (const fs::directory_entry& entry : fs::directory_iterator(device_.root())) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("played", 0) != 0 || entry.path().extension() != ".wav") continue;
      WavFile wav = ReadWavFile(entry.path());
      if (wav.rate == kRate && wav.channels == kChannels && wav.bits == 16) music.push_back(std::move(wav.samples));
    }
    EXPECT_EQ(music.size(), 1u);
    return music.empty() ? Samples() : music.front();
  }

  ProductDevice device_;
  fs::path wav_ = device_.Host("played.wav");
  EnvScope audio_{"ZONBREL_AUDIO", "wav:" + wav_.string()};
  StandInWindow window_;
  std::unique_ptr<CPlayerCore> core_;
  std::vector<Samples> expected_;
  std::vector<std::u16string> paths_;
};

TEST_F(Mp3Playback, AThreeItemPlaylistPlaysThroughInOrderWithItsLengthAndZbdecodesPcm) {
  EXPECT_EQ(ChooseDecoder(u"\\Music\\one.mp3"), &Mp3Decoder);
  core_->Play(FALSE);
  ASSERT_TRUE(core_->IsPlaying());
  std::vector<std::u16string> order;
  std::vector<int> lengths;
  ASSERT_TRUE(PumpUntil([&] {
    const std::u16string current = core_->GetCurrentPath();
    if (core_->IsPlaying() && (order.empty() || order.back() != current)) {
      order.push_back(current);
      lengths.push_back(core_->GetLength());
    }
    return !core_->IsPlaying();
  }));
  EXPECT_EQ(order, paths_);
  // The playlist's lengths, read through the same decoder.
  for (int i = 0; i < 3; ++i) core_->RefreshItemInfo(i);
  Samples played = Played();

  Samples all;
  size_t frames = 0;
  for (size_t i = 0; i < expected_.size(); ++i) {
    all.insert(all.end(), expected_[i].begin(), expected_[i].end());
    frames += expected_[i].size() / kChannels;
    // Each item's length is its decoded samples, to the millisecond.
    ASSERT_LT(i, lengths.size());
    EXPECT_NEAR(lengths[i], expected_[i].size() / kChannels * 1000.0 / kRate, 1.0) << kNames[i];
  }
  EXPECT_EQ(played.size(), all.size());
  EXPECT_TRUE(played == all) << "the played PCM differs from zbdecode's decode of the three files";
  EXPECT_NEAR(std::accumulate(lengths.begin(), lengths.end(), 0), frames * 1000.0 / kRate, 3.0);
}

TEST_F(Mp3Playback, ASeekToTheMiddleOfTheSecondItemLandsWithinOneFrameAndPauseHoldsTheTime) {
  core_->SelectItem(1);
  core_->Play(TRUE);  // the module does not start paused by itself: the core pauses it
  ASSERT_TRUE(core_->IsPlaying());
  EXPECT_EQ(core_->IsPaused(), 1);
  const int length = core_->GetLength();
  const int target = length / 2;
  EXPECT_EQ(core_->SeekTo(target, 0), 1);
  // The decode thread takes the seek; paused, the output time then stands at the target.
  ASSERT_TRUE(PumpUntil([&] { return std::abs(core_->GetOutputTime() - target) < 30; }));
  const int held = core_->GetOutputTime();
  for (int look = 0; look < 5; ++look) {
    Sleep(60);
    EXPECT_EQ(core_->GetOutputTime(), held);
  }
  core_->TogglePause();
  ASSERT_TRUE(PumpUntil([&] { return !core_->IsPlaying(); }));
  const Samples played = Played();

  // The third item follows whole; before it, the second from where the seek landed.
  const Samples& second = expected_[1];
  const Samples& third = expected_[2];
  ASSERT_GE(played.size(), third.size());
  EXPECT_TRUE(std::equal(third.begin(), third.end(), played.end() - static_cast<std::ptrdiff_t>(third.size())));
  const Samples rest(played.begin(), played.end() - static_cast<std::ptrdiff_t>(third.size()));
  // What follows the seek is the second item's end from where the seek landed; what may have
  // played before the pause took hold is its start. After a seek the module's rounding carry
  // starts afresh, so the samples from the landing on are the straight decode's within 1 LSB.
  const size_t landing = Landing(rest, second);
  ASSERT_NE(landing, kNoLanding) << "the played PCM is not the second item from a seek";
  const double targetFrame = target * static_cast<double>(kRate) / 1000.0;
  EXPECT_NEAR(static_cast<double>(landing / kChannels), targetFrame, static_cast<double>(kFrameSamples));
}

// A file of another format inserted as the second item plays in its turn through its decoder,
// the PCM of all four equal to zbdecode's.
void Mp3Playback::PlaysInItsTurn(const fs::path& file, const std::string& name, DecModule* decoder) {
  fs::copy_file(file, device_.Host("Music/" + name));
  const Samples pcm = Zbdecode(file, device_.Host(name + ".zbdecode.wav"));
  ASSERT_FALSE(pcm.empty());
  const std::u16string path = u"\\Music\\" + FromUtf8(name.c_str());
  EXPECT_EQ(ChooseDecoder(path.c_str()), decoder);
  core_->GetPlaylist()->InsertItem(path.c_str(), 1, nullptr, -2);
  core_->Play(FALSE);
  std::vector<std::u16string> order;
  ASSERT_TRUE(PumpUntil([&] {
    const std::u16string current = core_->GetCurrentPath();
    if (core_->IsPlaying() && (order.empty() || order.back() != current)) order.push_back(current);
    return !core_->IsPlaying();
  }));
  EXPECT_EQ(order, (std::vector<std::u16string>{paths_[0], path, paths_[1], paths_[2]}));
  const Samples played = Played();
  Samples all = expected_[0];
  for (const Samples* part : std::initializer_list<const Samples*>{&pcm, &expected_[1], &expected_[2]})
    all.insert(all.end(), part->begin(), part->end());
  EXPECT_EQ(played.size(), all.size());
  EXPECT_TRUE(played == all) << "the played PCM differs from zbdecode's decode of the four files";
}

TEST_F(Mp3Playback, AnOggFileAmongTheMp3sPlaysInItsTurnThroughItsOwnDecoder) {
  PlaysInItsTurn(fs::path(OGG_FIXTURE_FOLDER) / "s44k_q3.ogg", "four.ogg", &OggDecoder);
}

// The WMA module keeps its decoding state from Init (which the player's start-up runs) to Quit.
TEST_F(Mp3Playback, AWmaFileAmongTheMp3sPlaysInItsTurnThroughItsOwnDecoder) {
  WmaDecoder.Init();
  PlaysInItsTurn(fs::path(MP3_FIXTURE_FOLDER) / "four.wma", "four.wma", &WmaDecoder);
  WmaDecoder.Quit();
}

}  // namespace
}  // namespace zb::testing
