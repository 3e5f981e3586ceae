// The player with dsp_omnia in its folder and a module chosen plays an MP3 through it into the
// WAVE-file device: with Echo Effect the recording is the dry decode with its echo 2304 frames
// back; with Pitch Adjust it is what zbdsp makes of the dry decode, block for block.
#include <cstring>
#include <filesystem>

#include "player_process.h"
#include "product_device.h"
#include "testing/env_scope.h"

namespace zb::testing {
namespace {

namespace fs = std::filesystem;

std::vector<SHORT> AsSamples(const std::vector<char>& bytes) {
  std::vector<SHORT> s(bytes.size() / 2);
  std::memcpy(s.data(), bytes.data(), s.size() * 2);
  return s;
}

void SetNumber(const WCHAR* key, const WCHAR* name, DWORD value) {
  HKEY handle = nullptr;
  RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, 0, nullptr, &handle, nullptr);
  RegSetValueExW(handle, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(handle);
}

class PlayerDsp : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryW(u"\\Music", nullptr);
    ASSERT_TRUE(MakeMp3(device.Host("Music/a.mp3"), 2));
    ASSERT_EQ(RunTool({ZBDECODE_PATH, device.Host("Music/a.mp3").string(), dry.string()}).status, 0);
    fs::copy_file(DSP_OMNIA_PATH, device.ProgramFile("dsp_omnia.dll"));
  }
  void TearDown() override { fs::remove_all(folder); }

  void Choose(int index) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, 0, nullptr, &key, nullptr);
    const std::u16string file = u"dsp_omnia.dll";
    RegSetValueExW(key, u"DSPPluginFile", 0, REG_SZ, reinterpret_cast<const BYTE*>(file.c_str()),
                   static_cast<DWORD>((file.size() + 1) * 2));
    RegCloseKey(key);
    SetNumber(kSettingsKey, u"DSPPluginIndex", static_cast<DWORD>(index));
    SetNumber(kSettingsKey, u"DSPEnabled", 1);
  }

  // What the player recorded of the file, once it played to its end.
  std::vector<SHORT> Play(size_t expectedBytes) {
    PlayerProcess player({"\\Music\\a.mp3"});
    HWND window = WaitForShownWindow();
    EXPECT_NE(window, nullptr);
    std::vector<fs::path> written;
    for (int waited = 0; waited < 30000; waited += 50) {
      written = Recordings(recording);
      if (!written.empty() && WaveData(written.front()).size() >= expectedBytes) break;
      RealSleep(50);
    }
    EXPECT_EQ(AskUntil(window, 121, 0), 0) << "played to its end";
    EXPECT_EQ(player.Stop(), 0);
    written = Recordings(recording);
    return written.size() == 1 ? AsSamples(WaveData(written.front())) : std::vector<SHORT>();
  }

  ProductDevice device;
  EnvScope display{"ZONBREL_DISPLAY", "none"};
  fs::path folder = fs::temp_directory_path() / ("zonbrel-dsp-" + std::to_string(getpid()));
  bool made = fs::create_directories(folder);
  fs::path dry = folder / "dry.wav";
  fs::path recording = folder / "out.wav";
  EnvScope audio{"ZONBREL_AUDIO", "wav:" + recording.string()};
};

TEST_F(PlayerDsp, EchoEffectMixesTheDecodeWithItself2304FramesBack) {
  Choose(2);
  const std::vector<SHORT> in = AsSamples(WaveData(dry));
  ASSERT_GT(in.size(), 100000u);
  std::vector<SHORT> want(in.size());
  for (size_t i = 0; i < in.size(); ++i) want[i] = static_cast<SHORT>((i >= 4608 ? in[i - 4608] / 2 : 0) + in[i] / 2);
  const std::vector<SHORT> got = Play(in.size() * 2);
  EXPECT_NE(got, in) << "the module ran";
  EXPECT_TRUE(got == want) << got.size() << " samples recorded";
}

TEST_F(PlayerDsp, PitchAdjustPlaysAsZbdspMakesIt) {
  Choose(3);
  SetNumber(u"Software\\Kestrane\\Zonbrel\\Plugins\\dsp_echo", u"pitch", 80);
  const fs::path tool = folder / "zbdsp.wav";
  ASSERT_EQ(RunTool({ZBDSP_PATH, "dsp_omnia.dll", "3", dry.string(), tool.string()}).status, 0);
  const std::vector<SHORT> in = AsSamples(WaveData(dry)), want = AsSamples(WaveData(tool));
  EXPECT_NEAR(static_cast<double>(want.size()) / in.size(), 1.25, 0.001);
  const std::vector<SHORT> got = Play(want.size() * 2);
  EXPECT_TRUE(got == want) << got.size() << " samples recorded, " << want.size() << " from zbdsp";
}

}  // namespace
}  // namespace zb::testing
