// The player program given a URL: an MP3 served over HTTP by a scripted server on 127.0.0.1 plays
// into the WAVE-file device byte for byte as the decoder makes of the file, and an .m3u behind a
// URL expands into its entries, the first of which plays.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "player_process.h"
#include "product_device.h"
#include "scripted_server.h"
#include "testing/env_scope.h"

namespace zb::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class StreamPlayback : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(MakeMp3(folder / "song.mp3", 3));
    mp3 = ReadBytes(folder / "song.mp3");
    ASSERT_EQ(RunTool({ZBDECODE_PATH, (folder / "song.mp3").string(), reference.string()}).status, 0);
  }
  void TearDown() override { fs::remove_all(folder); }

  // Starts the player with `url` and checks what the device got against the decoder's own file.
  void PlaysIntoTheWaveDevice(const std::string& url) {
    const std::vector<char> expected = WaveData(reference);
    ASSERT_GT(expected.size(), 500000u);
    PlayerProcess player({url});
    ASSERT_NE(WaitForShownWindow(), nullptr);
    std::vector<fs::path> written;
    for (int waited = 0; waited < 30000; waited += 50) {
      written = Recordings(recording);
      if (!written.empty() && WaveData(written.front()).size() >= expected.size()) break;
      RealSleep(50);
    }
    EXPECT_EQ(player.Stop(), 0);
    written = Recordings(recording);
    ASSERT_FALSE(written.empty()) << "nothing reached the sound device";
    EXPECT_TRUE(WaveData(written.front()) == expected) << "the whole stream, as the decoder made it of the file";
  }

  ProductDevice device;
  EnvScope display{"ZONBREL_DISPLAY", "none"};
  fs::path folder = fs::temp_directory_path() / ("zonbrel-stream-" + std::to_string(getpid()));
  bool made = fs::create_directories(folder);
  fs::path reference = folder / "reference.wav";
  fs::path recording = folder / "out.wav";
  EnvScope audio{"ZONBREL_AUDIO", "wav:" + recording.string()};
  std::string mp3;
};

std::string Ok(const std::string& type, const std::string& body) {
  return "HTTP/1.0 200 OK\r\nContent-Type: " + type + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
         body;
}

TEST_F(StreamPlayback, AUrlOnTheCommandLinePlaysIntoTheWaveDevice) {
  ScriptedServer server([&](ServerConnection& c, int) {
    c.ReadHead();
    c.Send(Ok("audio/mpeg", mp3));
  });
  PlaysIntoTheWaveDevice(server.Url("/song.mp3"));
}

// The list is fetched and its entries take the list's place in the playlist.
TEST_F(StreamPlayback, AnM3uBehindAUrlExpandsIntoItsEntries) {
  ScriptedServer server([&](ServerConnection& c, int) {
    const std::string head = c.ReadHead();
    server.Record(head);
    if (head.find("/list.m3u") != std::string::npos)
      c.Send(Ok("text/plain", "#EXTM3U\r\n#EXTINF:3,Loopback - Song\r\n" + server.Url("/song.mp3") + "\r\n" +
                                  server.Url("/other.mp3") + "\r\n"));
    else
      c.Send(Ok("audio/mpeg", mp3));
  });
  EnvScope silent{"ZONBREL_AUDIO", "null"};
  KeepClosableWhilePlaying();
  PlayerProcess player({server.Url("/list.m3u")});
  HWND window = WaitForShownWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(AskUntil(window, 125, 2), 2) << "the list's two entries in its place";
  EXPECT_EQ(player.Stop(), 0);
  bool askedForList = false;
  for (const std::string& request : server.Requests()) askedForList |= request.rfind("GET /list.m3u ", 0) == 0;
  EXPECT_TRUE(askedForList);
}

// The first entry of the fetched list plays, whole, into the sound device, whether the server
// calls the list text or gives it a playlist type of its own.
TEST_F(StreamPlayback, TheFirstEntryOfAnM3uBehindAUrlPlays) {
  for (const char* type : {"audio/x-mpegurl", "text/plain"}) {
    SCOPED_TRACE(type);
    ScriptedServer server([&](ServerConnection& c, int) {
      const std::string head = c.ReadHead();
      if (head.find("/list.m3u") != std::string::npos)
        c.Send(Ok(type, "#EXTM3U\r\n#EXTINF:3,Loopback - Song\r\n" + server.Url("/song.mp3") + "\r\n"));
      else
        c.Send(Ok("audio/mpeg", mp3));
    });
    PlaysIntoTheWaveDevice(server.Url("/list.m3u"));
    for (const fs::path& written : Recordings(recording)) fs::remove(written);
  }
}

}  // namespace
}  // namespace zb::testing
