// The writer's volume and pan on the test device: one 16-bit level per channel (volume x 257),
// the pan scaling the far side down, -666 for the stored values, a mono device without pan, and
// the system volume on old systems or when the player is told to use it.
#include "wave_writer_support.h"

namespace zb::testing {
namespace {

DWORD DeviceVolume(HWAVEOUT wave) {
  DWORD volume = 0x12345678;
  EXPECT_EQ(waveOutGetVolume(wave, &volume), MMSYSERR_NOERROR);
  return volume;
}

struct VolumeCase {
  const char* what;
  int volume, pan;
  DWORD ourVolume;
  LONG panning;
  DWORD expected;  // right << 16 | left
};

constexpr VolumeCase kVolumes[] = {
    {"full and centred", 255, 0, 255, 0, 0xFFFFFFFF},
    {"pan -128 silences the right channel", 255, -128, 255, 0, 0x0000FFFF},
    {"pan 128 silences the left channel", 255, 128, 255, 0, 0xFFFF0000},
    {"pan -64 halves the right channel", 255, -64, 255, 0, 0x7FFFFFFF},
    {"volume 128 is 128 x 257 on both sides", 128, 0, 255, 0, 0x80808080},
    {"volume 200 and pan 32 take a quarter from the left", 200, 32, 255, 0, 0xC8C89696},
    {"volume 0 is silence", 0, 0, 255, 0, 0x00000000},
    {"-666 is the stored volume", -666, 0, 100, 0, 0x64646464},
    {"-666 is the stored pan", 255, -666, 255, -128, 0x0000FFFF},
};

TEST_F(WaveWriterTest, VolumeAndPanMakeTheDeviceLevels) {
  ASSERT_GT(WaveWriterOpen(44100, 2, 16), 0);
  for (const VolumeCase& c : kVolumes) {
    settings->ourVolume = c.ourVolume;
    settings->panning = c.panning;
    WaveWriterSetPan(c.pan);
    WaveWriterSetVolume(c.volume);
    EXPECT_EQ(DeviceVolume(Hooks().opened), c.expected) << c.what;
  }
}

TEST_F(WaveWriterTest, ValuesOutOfRangeKeepTheCurrentOnes) {
  ASSERT_GT(WaveWriterOpen(44100, 2, 16), 0);
  WaveWriterSetVolume(128);
  WaveWriterSetPan(-128);
  for (int volume : {256, -1, 1000, -667}) WaveWriterSetVolume(volume);
  for (int pan : {129, -129, 666}) WaveWriterSetPan(pan);
  EXPECT_EQ(DeviceVolume(Hooks().opened), 0x00008080u);
}

TEST_F(WaveWriterTest, ALevelSetWhileClosedHoldsAtTheNextOpen) {
  settings->panning = 128;  // the pan starts from the setting
  WaveWriterSetVolume(64);
  ASSERT_GT(WaveWriterOpen(44100, 2, 16), 0);
  EXPECT_EQ(DeviceVolume(Hooks().opened), 0x40400000u);
}

// What the device played: the left channel as written, the right one silent.
TEST_F(WaveWriterTest, PanHardLeftSilencesTheRightChannelInThePlayedSound) {
  ASSERT_GT(WaveWriterOpen(44100, 2, 16), 0);
  WaveWriterSetPan(-128);
  EXPECT_EQ(WriteAll(Constant(4410, 12000, -12000)), 4410 * 4);
  WhileClockRuns([] { EXPECT_EQ(WaveOutWaitDrain(10000), 0); });
  const std::vector<uint8_t> played = audio.Played();
  ASSERT_EQ(played.size(), 4410u * 4);
  for (size_t i = 0; i < 4410; ++i) {
    ASSERT_EQ(SampleAt(played, 2 * i), 12000) << i;
    ASSERT_EQ(SampleAt(played, 2 * i + 1), 0) << i;
  }
}

TEST_F(WaveWriterTest, AMonoDeviceIgnoresThePan) {
  Hooks().change = [](WAVEFORMATEX* f) { *f = MakePcmFormat(1, 44100, 16); };
  ASSERT_GT(WaveWriterOpen(44100, 2, 16), 0);
  WaveWriterSetPan(-128);
  WaveWriterSetVolume(128);
  EXPECT_EQ(DeviceVolume(Hooks().opened), 0x80808080u);
}

DWORD StoredSystemVolume() {
  HKEY key = nullptr;
  DWORD value = 0, size = sizeof value, type = 0;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, u"ControlPanel\\Volume", 0, KEY_READ, &key) != ERROR_SUCCESS) return 0xDEAD;
  const LONG r = RegQueryValueExW(key, u"Volume", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return r == ERROR_SUCCESS && type == REG_DWORD ? value : 0xDEAD;
}

struct SystemVolumeCase {
  const char* what;
  int osMajor;
  DWORD useSystemVolume;
  DWORD stream;       // the stream's own level
  DWORD system;       // the device-wide level
  bool stored;        // also kept in the registry (the level is 0x80800000 throughout)
};

constexpr SystemVolumeCase kSystemVolumes[] = {
    {"a new system keeps the level to the stream", 5, 0, 0x80800000, 0xFFFFFFFF, false},
    {"a new system told to use the system volume", 5, 1, 0xFFFFFFFF, 0x80800000, true},
    {"an old system sets both", 3, 0, 0x80800000, 0x80800000, true},
};

TEST_F(WaveWriterTest, TheSystemVolumeOnOldSystemsOrWhenAsked) {
  for (const SystemVolumeCase& c : kSystemVolumes) {
    device.WriteProfile("[program]\nhost = /nonexistent/zonbrel-test-program\n[os]\nmajor = " +
                        std::to_string(c.osMajor) + "\n");
    RegDeleteKeyW(HKEY_CURRENT_USER, u"ControlPanel\\Volume");
    waveOutSetVolume(nullptr, 0xFFFFFFFF);
    settings->useSystemVolume = c.useSystemVolume;
    ASSERT_GT(WaveWriterOpen(44100, 2, 16), 0) << c.what;
    WaveWriterSetPan(128);
    WaveWriterSetVolume(128);
    EXPECT_EQ(DeviceVolume(Hooks().opened), c.stream) << c.what;
    EXPECT_EQ(DeviceVolume(nullptr), c.system) << c.what;
    EXPECT_EQ(StoredSystemVolume(), c.stored ? 0x80800000u : 0xDEADu) << c.what;
    WaveWriterCloseDevice(TRUE);
  }
}

}  // namespace
}  // namespace zb::testing
