// The player against a real streaming server: Debian's icecast2, fed an MP3 in a loop by
// ezstream. The stream plays into the WAVE-file device, and each title the station sets through
// icecast2's admin interface becomes the player's now-playing title, as the Today item reads it.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "icecast_server.h"
#include "player_process.h"
#include "device/text.h"
#include "product_device.h"
#include "testing/env_scope.h"

namespace zb::testing {
namespace {

namespace fs = std::filesystem;
using zb::ToUtf8;

std::u16string& TitleReply() {
  static std::u16string title;
  return title;
}

LRESULT CALLBACK TitleReplyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (data->dwData == COPYDATA_GET_TITLE && data->lpData) {
      const WCHAR* text = static_cast<const WCHAR*>(data->lpData);
      size_t length = 0;
      while (length < data->cbData / sizeof(WCHAR) && text[length]) ++length;
      TitleReply().assign(text, length);
    }
    return 1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The now-playing title as another program asks for it: WM_COPYDATA 222, answered to our window.
class TitleReader {
 public:
  TitleReader() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = TitleReplyProc;
    windowClass.lpszClassName = u"ZbTitleReader";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, u"ZbTitleReader", u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  }
  ~TitleReader() { DestroyWindow(window_); }
  std::u16string Read(HWND player) {
    TitleReply().clear();
    COPYDATASTRUCT request{COPYDATA_GET_TITLE, 0, nullptr};
    SendMessageW(player, WM_COPYDATA, reinterpret_cast<WPARAM>(window_), reinterpret_cast<LPARAM>(&request));
    return TitleReply();
  }
  // Reads until the title shows `want`, for at most 20 s; the last title read.
  std::u16string Until(HWND player, const std::u16string& want) {
    std::u16string title = Read(player);
    for (int waited = 0; waited < 20000 && !Shows(title, want); waited += 100) {
      RealSleep(100);
      title = Read(player);
    }
    return title;
  }
  // The title is the playlist entry's display, "1. TITLE (STATION) ...": the station's title is a
  // whole piece of it.
  static bool Shows(const std::u16string& title, const std::u16string& want) {
    const size_t at = title.find(u". " + want + u" (");
    return at != std::u16string::npos;
  }

 private:
  HWND window_ = nullptr;
};

void ExpectShown(TitleReader& titles, HWND window, const std::u16string& want) {
  const std::u16string title = titles.Until(window, want);
  EXPECT_TRUE(TitleReader::Shows(title, want)) << ToUtf8(title) << " does not show " << ToUtf8(want);
}

// The loudness of 16-bit samples, 0 for silence.
double Rms(const std::vector<char>& bytes) {
  double sum = 0;
  const size_t count = bytes.size() / 2;
  for (size_t i = 0; i < count; ++i) {
    int16_t sample;
    memcpy(&sample, &bytes[2 * i], 2);
    sum += double(sample) * sample;
  }
  return count ? std::sqrt(sum / count) : 0;
}

TEST(IcecastPlayback, TheStreamPlaysAndTheStationsTitlesBecomeTheNowPlayingTitle) {
  ProductDevice device;
  EnvScope display{"ZONBREL_DISPLAY", "none"};
  const fs::path folder = fs::temp_directory_path() / ("zonbrel-icecast-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path recording = folder / "out.wav";
  EnvScope audio{"ZONBREL_AUDIO", "wav:" + recording.string()};
  ASSERT_TRUE(MakeMp3(folder / "tone.mp3", 4));
  KeepClosableWhilePlaying();
  {
    IcecastServer server((folder / "tone.mp3").string());
    ASSERT_TRUE(server.Live()) << server.Error();
    ASSERT_TRUE(server.SetTitle("Loopback - First"));
    PlayerProcess player({server.Url()});
    HWND window = WaitForShownWindow();
    ASSERT_NE(window, nullptr);
    TitleReader titles;
    ExpectShown(titles, window, u"Loopback - First");

    // Two seconds of sound: the tone, not silence.
    std::vector<char> samples;
    for (int waited = 0; waited < 30000 && samples.size() < 2 * 44100 * 4; waited += 100) {
      const std::vector<fs::path> written = Recordings(recording);
      if (!written.empty()) samples = WaveData(written.front());
      RealSleep(100);
    }
    ASSERT_GE(samples.size(), 2u * 44100 * 4) << "the stream did not reach the sound device";
    EXPECT_GT(Rms(samples), 1000.0);

    // A title change, and one to a prefix of it, each reach the player.
    ASSERT_TRUE(server.SetTitle("Loopback - Second song"));
    ExpectShown(titles, window, u"Loopback - Second song");
    ASSERT_TRUE(server.SetTitle("Loopback - Second"));
    ExpectShown(titles, window, u"Loopback - Second");
    EXPECT_EQ(player.Stop(), 0);
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace zb::testing
