// Downloading a playlist document into a file: a whole body succeeds and is cached; a body cut
// short, or one that trickles on past the time limit the settings' time-outs give, is a failure
// and is not cached.
#include <chrono>

#include "cache_file_set.h"
#include "scripted_server.h"
#include "transport_fixture.h"

namespace zb::testing {
namespace {

class DownloadToFile : public ::testing::Test {
 protected:
  void SetUp() override {
    GetSettings()->httpConnectTimeout = 1;
    GetSettings()->httpReceiveTimeout = 1;
    core_ = std::make_unique<CPlayerCore>(GetModuleHandleW(nullptr), window_.Handle(), nullptr);
  }
  void TearDown() override {
    core_.reset();
    DestroySettings();
  }
  // The download into a fresh file; the bytes it holds afterwards.
  int Download(const std::string& url, std::string* held) {
    HANDLE file = CreateFileW(u"\\download.tmp", GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    const std::u16string wide(url.begin(), url.end());
    const int result = core_->DownloadToFile(wide.c_str(), file);
    CloseHandle(file);
    *held = ReadDeviceText(u"\\download.tmp");
    return result;
  }

  EnvScope audio_{"ZONBREL_AUDIO", "null"};
  ProductDevice device_;
  StandInWindow window_;
  std::unique_ptr<CPlayerCore> core_;
};

constexpr char kList[] = "#EXTM3U\r\none.mp3\r\ntwo.mp3\r\n";

TEST_F(DownloadToFile, AWholeBodySucceedsAndIsServedFromTheCacheNextTime) {
  ScriptedServer server([&](ServerConnection& c, int) {
    server.Record(c.ReadHead());
    c.Send("HTTP/1.0 200 OK\r\nContent-Type: audio/x-mpegurl\r\nContent-Length: " + std::to_string(strlen(kList)) +
           "\r\n\r\n" + kList);
  });
  std::string held;
  EXPECT_EQ(Download(server.Url("/list.m3u"), &held), 0);
  EXPECT_EQ(held, kList);
  EXPECT_EQ(Download(server.Url("/list.m3u"), &held), 0);
  EXPECT_EQ(held, kList);
  EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(DownloadToFile, ABodyCutShortIsAFailureAndIsNotCached) {
  ScriptedServer server([&](ServerConnection& c, int) {
    server.Record(c.ReadHead());
    c.Send("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n#EXTM3U\r\none.mp3\r\n");
  });
  std::string held;
  EXPECT_LT(Download(server.Url("/cut.m3u"), &held), 0);
  const size_t first = server.Requests().size();  // the stream tries again as its settings allow
  EXPECT_GE(first, 1u);
  // Nothing was cached: the second download asks the server again.
  EXPECT_LT(Download(server.Url("/cut.m3u"), &held), 0);
  EXPECT_EQ(server.Requests().size(), 2 * first);
}

TEST_F(DownloadToFile, ABodyThatNeverEndsIsCutAtTheTimeLimitAndFails) {
  ScriptedServer server([](ServerConnection& c, int) {
    c.ReadHead();
    c.Send("HTTP/1.0 200 OK\r\nContent-Type: audio/x-mpegurl\r\n\r\n#EXTM3U\r\n");
    c.SendSlowly(std::string(2000, 'a'), 20);  // 40 s, far past the limit of 4 s
  });
  std::string held;
  const auto started = std::chrono::steady_clock::now();
  EXPECT_LT(Download(server.Url("/forever.m3u"), &held), 0);
  const auto took = std::chrono::steady_clock::now() - started;
  EXPECT_LT(took, std::chrono::seconds(20));
  EXPECT_FALSE(held.empty());  // some of it came, yet it is no document
}

}  // namespace
}  // namespace zb::testing
