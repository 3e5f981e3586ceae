// The player program playing a file headless, as a real process: an MP3 named on its command
// line plays to its end into the WAVE-file device, byte for byte what the decoder alone makes of
// it, and a second start's "/ENQUEUE" grows the running copy's playlist.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "core/main_window_protocol.h"
#include "core/settings.h"
#include "player_process.h"
#include "product_device.h"
#include "testing/env_scope.h"

namespace zb::testing {
namespace {

namespace fs = std::filesystem;

// Runs a program to its end; its exit status (-1 when it could not run).
int RunToEnd(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// `seconds` of a stereo tone as an MP3 (lame), at `mp3`.
bool MakeMp3(const fs::path& mp3, uint32_t seconds = 3) {
  const fs::path wav = fs::path(mp3).replace_extension(".source.wav");
  const uint32_t frames = 44100 * seconds;
  std::ofstream out(wav, std::ios::binary);
  auto word = [&](uint32_t v, int bytes) { out.write(reinterpret_cast<const char*>(&v), bytes); };
  out.write("RIFF", 4);
  word(36 + frames * 4, 4);
  out.write("WAVEfmt ", 8);
  word(16, 4), word(1, 2), word(2, 2), word(44100, 4), word(44100 * 4, 4), word(4, 2), word(16, 2);
  out.write("data", 4);
  word(frames * 4, 4);
  for (uint32_t i = 0; i < frames; ++i) {
    word(static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440 * i / 44100.0))), 2);
    word(static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(2 * M_PI * 660 * i / 44100.0))), 2);
  }
  out.close();
  const bool made = RunToEnd({"lame", "--quiet", "-b", "128", wav.string(), mp3.string()}) == 0;
  fs::remove(wav);
  return made;
}

std::vector<char> WaveData(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return bytes.size() > 44 ? std::vector<char>(bytes.begin() + 44, bytes.end()) : std::vector<char>();
}

// The WAVE files the device wrote for `base` ("out.wav", then "out-2.wav" ...), with samples.
std::vector<fs::path> Recordings(const fs::path& base) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::directory_iterator(base.parent_path())) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(base.stem().string(), 0) == 0 && entry.path().extension() == ".wav" && WaveData(entry.path()).size())
      found.push_back(entry.path());
  }
  return found;
}

// Reads `read` until `done` holds for its value, for at most 20 s; the last value.
template <class Read, class Done>
LRESULT ReadUntil(Read read, Done done) {
  LRESULT value = read();
  for (int waited = 0; waited < 20000 && !done(value); waited += 20) {
    RealSleep(20);
    value = read();
  }
  return value;
}

// Asks the running player until `query` (a remote command) answers `want`; the last answer.
LRESULT AskUntil(HWND window, WORD query, LRESULT want) {
  return ReadUntil([&] { return SendMessageW(window, 1428, query, 3); }, [&](LRESULT v) { return v == want; });
}

void KeepClosableWhilePlaying() {
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, 0, nullptr, &key, nullptr);
  const DWORD off = 0;
  RegSetValueExW(key, u"noCloseWhilePlaying", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof off);
  RegCloseKey(key);
}

class Playback : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryW(u"\\Music", nullptr);
    ASSERT_TRUE(MakeMp3(device.Host("Music/a.mp3")));
    fs::copy_file(device.Host("Music/a.mp3"), device.Host("Music/b.mp3"));
    // What the decoder alone makes of the file.
    ASSERT_EQ(RunToEnd({ZBDECODE_PATH, device.Host("Music/a.mp3").string(), reference.string()}), 0);
    // The program's folder holds a plug-in that writes down the end-of-stream phases.
    fs::create_directories(folder / "program");
    fs::copy_file(GEN_END_EVENTS_PATH, folder / "program" / "gen_events.dll");
    device.WriteProfile("[program]\nhost = " + (folder / "program").string() + "\n");
  }
  void TearDown() override {
    fs::remove_all(folder);
  }

  ProductDevice device;
  EnvScope display{"ZONBREL_DISPLAY", "none"};
  fs::path folder = fs::temp_directory_path() / ("zonbrel-playback-" + std::to_string(getpid()));
  bool made = fs::create_directories(folder);
  fs::path reference = folder / "reference.wav";
  fs::path recording = folder / "out.wav";
  EnvScope audio{"ZONBREL_AUDIO", "wav:" + recording.string()};
};

TEST_F(Playback, AFileOnTheCommandLinePlaysToItsEndIntoTheWaveFile) {
  const std::vector<char> expected = WaveData(reference);
  ASSERT_GT(expected.size(), 500000u);
  PlayerProcess player({"\\Music\\a.mp3"});
  HWND window = WaitForShownWindow();
  ASSERT_NE(window, nullptr);
  // The device writes what it got when the output closes at the end of the stream.
  std::vector<fs::path> written;
  for (int waited = 0; waited < 30000; waited += 50) {
    written = Recordings(recording);
    if (!written.empty() && WaveData(written.front()).size() >= expected.size()) break;
    RealSleep(50);
  }
  // Played to its end: nothing is open any more, so the close is not held off.
  for (int waited = 0; waited < 20000 && SendMessageW(window, 1428, 121, 3) != 0; waited += 20) RealSleep(20);
  EXPECT_EQ(SendMessageW(window, 1428, 121, 3), 0);
  EXPECT_EQ(player.Stop(), 0);
  written = Recordings(recording);
  ASSERT_EQ(written.size(), 1u) << "one recording holds the stream";
  EXPECT_TRUE(WaveData(written.front()) == expected) << "the whole decoded stream, as the decoder made it";
  // The plug-ins heard the end: phase 0 before and as the next item is chosen, then the end.
  std::ifstream phases(device.Host("end_phases.txt"));
  const std::string heard((std::istreambuf_iterator<char>(phases)), std::istreambuf_iterator<char>());
  EXPECT_EQ(heard, "0\n0\n2\n");
}

TEST_F(Playback, EnqueueFromASecondStartGrowsThePlaylistWithoutPlayingIt) {
  EnvScope silent{"ZONBREL_AUDIO", "null"};
  // Closed from outside while it still plays: the setting that keeps it playing is off.
  KeepClosableWhilePlaying();
  PlayerProcess player({"\\Music\\a.mp3"});
  HWND window = WaitForShownWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(SendMessageW(window, 1428, 125, 3), 1) << "the first copy's playlist";
  PlayerProcess second({"/ENQUEUE", "\\Music\\b.mp3"});
  for (int waited = 0; waited < 20000 && SendMessageW(window, 1428, 125, 3) < 2; waited += 20) RealSleep(20);
  EXPECT_EQ(SendMessageW(window, 1428, 125, 3), 2) << "grown by the enqueued file";
  EXPECT_EQ(SendMessageW(window, 1428, 123, 3), 0) << "the first item stays current";
  PlayerProcess volume({"/VOLUME=40"});
  for (int waited = 0; waited < 20000 && SendMessageW(window, 1428, 110, 3) != 40; waited += 20) RealSleep(20);
  EXPECT_EQ(SendMessageW(window, 1428, 110, 3), 40);
  EXPECT_EQ(second.Wait(20000), 0);
  EXPECT_EQ(volume.Wait(20000), 0);
  EXPECT_EQ(player.Stop(), 0);
}

TEST_F(Playback, ControlMessagesFromOutsideDriveTheTransport) {
  EnvScope paced{"ZONBREL_AUDIO", "null"};
  ASSERT_TRUE(MakeMp3(device.Host("Music/long.mp3"), 20));
  KeepClosableWhilePlaying();
  PlayerProcess player({"\\Music\\long.mp3"});
  HWND window = WaitForShownWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(AskUntil(window, 121, 1), 1) << "playing";
  // The words follow at the next status refresh.
  const LONG length = static_cast<LONG>(ReadUntil([&] { return GetWindowLongW(window, 8); }, [](LRESULT v) { return v != -1; }));
  EXPECT_GT(length, 19000);
  EXPECT_LT(length, 21000);
  EXPECT_EQ(SendMessageW(window, 1428, 104, 3), length);

  SendMessageW(window, 1428, 3, 1);  // the pause key
  SendMessageW(window, 1428, 3, 2);
  EXPECT_EQ(SendMessageW(window, 1428, 122, 3), 1) << "paused";
  SendMessageW(window, 1428, 3, 1);
  SendMessageW(window, 1428, 3, 2);
  EXPECT_EQ(SendMessageW(window, 1428, 122, 3), 0) << "playing again";

  SendMessageW(window, 1428, MAKELONG(101, 12), 3);  // to 12 s; the decoder gets there on its thread
  EXPECT_GE(ReadUntil([&] { return SendMessageW(window, 1428, 105, 3); }, [](LRESULT v) { return v >= 12000; }), 12000);
  EXPECT_GE(ReadUntil([&] { return GetWindowLongW(window, 4); }, [](LRESULT v) { return v >= 12000; }), 12000)
      << "the position word follows";
  SendMessageW(window, 1428, MAKELONG(111, 40), 3);
  EXPECT_EQ(SendMessageW(window, 1428, 110, 3), 40);

  // A second item, then a quick press of next while it plays.
  COPYDATASTRUCT record{0, 0, nullptr};
  const std::u16string line = u"/ENQUEUE \\Music\\b.mp3";
  record.cbData = static_cast<DWORD>((line.size() + 1) * 2);
  record.lpData = const_cast<char16_t*>(line.c_str());
  SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record));
  ASSERT_EQ(SendMessageW(window, 1428, 125, 3), 2);
  SendMessageW(window, 1428, 5, 1);
  SendMessageW(window, 1428, 5, 2);
  EXPECT_EQ(AskUntil(window, 123, 1), 1) << "the next item";
  EXPECT_EQ(AskUntil(window, 121, 1), 1) << "and it plays";
  EXPECT_EQ(player.Stop(), 0);
}

}  // namespace
}  // namespace zb::testing
