// The player program playing a file headless, as a real process: an MP3, Ogg Vorbis or WMA file
// named on its command line plays to its end into the WAVE-file device, byte for byte what the
// decoder alone makes of it; a second start's "/ENQUEUE" grows the running copy's playlist and a
// bare one leaves it be; and zbdev, from a process of its own, reads the window's words, drives the
// transport and hears each new title.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "player_process.h"
#include "product_device.h"
#include "testing/env_scope.h"

namespace zb::testing {
namespace {

namespace fs = std::filesystem;

class Playback : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryW(u"\\Music", nullptr);
    ASSERT_TRUE(MakeMp3(device.Host("Music/a.mp3"), 3));
    fs::copy_file(device.Host("Music/a.mp3"), device.Host("Music/b.mp3"));
    // What the decoder alone makes of the file.
    ASSERT_EQ(RunTool({ZBDECODE_PATH, device.Host("Music/a.mp3").string(), reference.string()}).status, 0);
    // The program's folder holds a plug-in that writes down the end-of-stream phases.
    fs::create_directories(folder / "program");
    fs::copy_file(GEN_END_EVENTS_PATH, folder / "program" / "gen_events.dll");
    device.WriteProfile("[program]\nhost = " + (folder / "program").string() + "\n");
  }
  void TearDown() override {
    fs::remove_all(folder);
  }

  // Starts the player with `path` on its command line and checks what the device got against the
  // decoder's own WAVE file of it.
  void PlaysToItsEnd(const std::string& path, const fs::path& decoded) {
    const std::vector<char> expected = WaveData(decoded);
    ASSERT_GT(expected.size(), 500000u);
    PlayerProcess player({path});
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
    EXPECT_EQ(AskUntil(window, 121, 0), 0);
    EXPECT_EQ(player.Stop(), 0);
    written = Recordings(recording);
    ASSERT_EQ(written.size(), 1u) << "one recording holds the stream";
    EXPECT_TRUE(WaveData(written.front()) == expected) << "the whole decoded stream, as the decoder made it";
    // The plug-ins heard the end: phase 0 before and as the next item is chosen, then the end.
    std::ifstream phases(device.Host("end_phases.txt"));
    const std::string heard((std::istreambuf_iterator<char>(phases)), std::istreambuf_iterator<char>());
    EXPECT_EQ(heard, "0\n0\n2\n");
  }

  ProductDevice device;
  EnvScope display{"ZONBREL_DISPLAY", "none"};
  fs::path folder = fs::temp_directory_path() / ("zonbrel-playback-" + std::to_string(getpid()));
  bool made = fs::create_directories(folder);
  fs::path reference = folder / "reference.wav";
  fs::path recording = folder / "out.wav";
  EnvScope audio{"ZONBREL_AUDIO", "wav:" + recording.string()};
};

TEST_F(Playback, AFileOnTheCommandLinePlaysToItsEndIntoTheWaveFile) { PlaysToItsEnd("\\Music\\a.mp3", reference); }

TEST_F(Playback, AnOggFileOnTheCommandLinePlaysToItsEndIntoTheWaveFile) {
  fs::copy_file(fs::path(OGG_FIXTURE_FOLDER) / "s44k_q3.ogg", device.Host("Music/c.ogg"));
  const fs::path oggReference = folder / "ogg_reference.wav";
  ASSERT_EQ(RunTool({ZBDECODE_PATH, device.Host("Music/c.ogg").string(), oggReference.string()}).status, 0);
  PlaysToItsEnd("\\Music\\c.ogg", oggReference);
}

TEST_F(Playback, AWmaFileOnTheCommandLinePlaysToItsEndIntoTheWaveFile) {
  fs::copy_file(fs::path(MP3_FIXTURE_FOLDER) / "four.wma", device.Host("Music/d.wma"));
  const fs::path wmaReference = folder / "wma_reference.wav";
  ASSERT_EQ(RunTool({ZBDECODE_PATH, device.Host("Music/d.wma").string(), wmaReference.string()}).status, 0);
  PlaysToItsEnd("\\Music\\d.wma", wmaReference);
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
  EXPECT_EQ(AskUntil(window, 125, 2), 2) << "grown by the enqueued file";
  EXPECT_EQ(SendMessageW(window, 1428, 123, 3), 0) << "the first item stays current";
  // A bare switch, alone or with blanks after it, adds nothing and changes nothing.
  for (std::vector<std::string> bare : {std::vector<std::string>{"/ENQUEUE"}, std::vector<std::string>{"/enqueue", " \t "}}) {
    PlayerProcess third(bare);
    EXPECT_EQ(third.Wait(20000), 0);
    EXPECT_EQ(SendMessageW(window, 1428, 125, 3), 2) << bare.size() << " the playlist is as it was";
  }
  PlayerProcess volume({"/VOLUME=40"});
  EXPECT_EQ(AskUntil(window, 110, 40), 40);
  EXPECT_EQ(second.Wait(20000), 0);
  EXPECT_EQ(volume.Wait(20000), 0);
  EXPECT_EQ(player.Stop(), 0);
}

// zbdev as the Today item reaches the player from its own process: the first line it printed.
std::string Zbdev(std::vector<std::string> args) {
  args.insert(args.begin(), ZBDEV_PATH);
  const std::string out = RunTool(std::move(args)).out;
  return out.substr(0, out.find('\n'));
}

// A remote command of the control message through zbdev; its answer.
long long Remote(int command, int argument = 0) {
  const std::string answer =
      Zbdev({"send", "Zonbrel", "1428", std::to_string(static_cast<DWORD>(MAKELONG(command, argument))), "3"});
  return std::strtoll(answer.c_str(), nullptr, 10);
}

// A press and release of a command as the skin's buttons send it, through zbdev.
void Press(int command) {
  for (const char* phase : {"1", "2"}) Zbdev({"send", "Zonbrel", "1428", std::to_string(command), phase});
}

// The main window's three words as zbdev lists them.
std::vector<LONG> Words() {
  std::istringstream lines(RunTool({ZBDEV_PATH, "windows"}).out);
  for (std::string line; std::getline(lines, line);) {
    const size_t at = line.find(" words ");
    if (line.find("class \"Zonbrel\"") == std::string::npos || at == std::string::npos) continue;
    std::istringstream words(line.substr(at + 7));
    std::vector<LONG> values;
    for (std::string word; words >> word;) values.push_back(static_cast<LONG>(std::stoul(word, nullptr, 16)));
    return values;
  }
  return {};
}

TEST_F(Playback, FromOutsideZbdevReadsTheWordsDrivesTheTransportAndHearsEachNewTitle) {
  EnvScope paced{"ZONBREL_AUDIO", "null"};
  ASSERT_TRUE(MakeMp3(device.Host("Music/long.mp3"), 40));
  fs::copy_file(device.Host("Music/long.mp3"), device.Host("Music/other.mp3"));
  KeepClosableWhilePlaying();
  PlayerProcess player({"\\Music\\long.mp3"});
  ASSERT_NE(WaitForShownWindow(), nullptr);
  ASSERT_EQ(ReadUntil([] { return Remote(121); }, [](LRESULT v) { return v == 1; }), 1) << "playing";
  // The words: their size, then position and length once the status refresh ran.
  std::vector<LONG> words = Words();
  for (int waited = 0; waited < 20000 && (words.size() != 3 || words[2] == -1); waited += 50) {
    RealSleep(50);
    words = Words();
  }
  ASSERT_EQ(words.size(), 3u);
  EXPECT_EQ(words[0], 12);
  EXPECT_GT(words[2], 39000);
  EXPECT_LT(words[2], 41000);
  EXPECT_GE(words[1], 0);
  EXPECT_LE(words[1], words[2]);
  EXPECT_EQ(Remote(100), 351);
  EXPECT_EQ(Remote(104), words[2]);

  Press(3);  // pause
  EXPECT_EQ(Remote(122), 1) << "paused";
  Press(3);
  EXPECT_EQ(Remote(122), 0) << "playing again";
  Press(4);  // stop
  EXPECT_EQ(Remote(121), 0) << "stopped";
  EXPECT_EQ(Remote(104), 0) << "nothing open has no length";
  Press(2);  // play
  EXPECT_EQ(ReadUntil([] { return Remote(121); }, [](LRESULT v) { return v == 1; }), 1) << "playing again";
  Remote(101, 12);  // to 12 s; the decoder gets there on its thread
  EXPECT_GE(ReadUntil([] { return Remote(105); }, [](LRESULT v) { return v >= 12000; }), 12000);
  auto position = [] {
    const std::vector<LONG> now = Words();
    return now.size() == 3 ? now[1] : -1;
  };
  EXPECT_GE(ReadUntil(position, [](LRESULT v) { return v >= 12000; }), 12000)
      << "the position word follows";
  Remote(111, 40);
  EXPECT_EQ(Remote(110), 40);

  // A client event for the titles; each new title sets it once.
  const std::string number = Zbdev({"copydata", "Zonbrel", "232", "Zonbrel/Stream/Title"});
  ASSERT_GE(std::atoi(number.c_str()), 2);
  const std::string titles = "Zonbrel/Stream/Title" + number;
  EXPECT_EQ(Zbdev({"wait", titles, "0"}), "timeout") << "no new title since it was registered";
  EXPECT_EQ(Zbdev({"copydata", "Zonbrel", "0", "/ENQUEUE \\Music\\other.mp3"}), "1");
  EXPECT_EQ(Remote(125), 2);
  Press(5);  // a quick press of next while it plays
  EXPECT_EQ(Zbdev({"wait", titles, "20000"}), "signalled") << "the next item's title";
  EXPECT_EQ(Remote(123), 1);
  EXPECT_EQ(ReadUntil([] { return Remote(121); }, [](LRESULT v) { return v == 1; }), 1) << "and it plays";
  // The opened item's title is followed by the refresh's one with the length; after that the
  // once-a-second refresh shows the same title and tells no one.
  Zbdev({"wait", titles, "2500"});
  EXPECT_EQ(Zbdev({"wait", titles, "2500"}), "timeout") << "once for one title";
  EXPECT_EQ(Remote(124, 0), 1);
  EXPECT_EQ(Zbdev({"wait", titles, "20000"}), "signalled") << "the first item's title again";
  Remote(136, std::atoi(number.c_str()));
  Press(5);
  EXPECT_EQ(Zbdev({"wait", titles, "300"}), "timeout") << "closed by remote command 136";
  EXPECT_EQ(player.Stop(), 0);
}

}  // namespace
}  // namespace zb::testing
