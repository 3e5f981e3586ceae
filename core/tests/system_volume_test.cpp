// The volume the core takes over at start-up, by system version, platform and setting, from the
// waveOut device and the system's volume (right channel high, left low: the louder one counts),
// and the check for a volume someone else changed.
#include <gtest/gtest.h>
#include <mmsystem.h>

#include "core/output/system_volume.h"
#include "plugin_device.h"

namespace zb::testing {
namespace {

class SystemVolume : public CoreTest {
 protected:
  void TearDown() override {
    waveOutSetVolume(nullptr, 0xFFFFFFFF);  // the system volume outlives the test's device
    CoreTest::TearDown();
  }
};

TEST_F(SystemVolume, TheCoreTakesTheVolumeTheSystemVersionAndSettingChoose) {
  const struct {
    const char* name;
    const char* profile;
    DWORD useSystemVolume;
    DWORD ourVolume;
    DWORD systemVolume;
    int volume;
  } cases[] = {
      // From 4 on an open device without a volume of its own gives way to the system's.
      {"5.1, right louder", "[os]\nmajor = 5\nminor = 1\n", 1, 100, 0x80004000, 0x80},
      {"5.1, left louder", "[os]\nmajor = 5\nminor = 1\n", 1, 100, 0x2000C000, 0xC0},
      {"4.20, silent", "[os]\nmajor = 4\nminor = 20\n", 1, 100, 0, 0},
      {"5.1, the player's own", "[os]\nmajor = 5\nminor = 1\n", 0, 100, 0x80004000, 100},
      {"5.1, an own volume beyond range", "[os]\nmajor = 5\nminor = 1\n", 0, 1000, 0x80004000, 255},
      // On 3 the open device counts on a Pocket PC, and the own volume is not used.
      {"3.0 Pocket PC", "[os]\nmajor = 3\nminor = 0\n", 0, 100, 0x80004000, 255},
      {"3.0 Smartphone", "[os]\nmajor = 3\nminor = 0\nplatform = SmartPhone\n", 1, 100, 0x80004000, 0x80},
  };
  for (const auto& c : cases) {
    device_.SetProfile(c.profile);
    GetSettings()->useSystemVolume = c.useSystemVolume;
    GetSettings()->ourVolume = c.ourVolume;
    ASSERT_EQ(waveOutSetVolume(nullptr, c.systemVolume), static_cast<MMRESULT>(MMSYSERR_NOERROR));
    MakeCore();
    EXPECT_EQ(core_->GetVolume(), c.volume) << c.name;
    EXPECT_EQ(ReadSystemVolume(core_.get()), c.volume) << c.name;
    core_.reset();
  }
}

TEST_F(SystemVolume, AVolumeChangedOutsideIsReportedOnlyWhenItDiffers) {
  device_.SetProfile("[os]\nmajor = 5\nminor = 1\n");
  GetSettings()->useSystemVolume = 1;
  waveOutSetVolume(nullptr, 0x40004000);
  MakeCore();
  EXPECT_EQ(core_->GetVolume(), 0x40);
  EXPECT_EQ(core_->VolumeChangedOutside(), -666);
  waveOutSetVolume(nullptr, 0x9000A000);
  EXPECT_EQ(core_->VolumeChangedOutside(), 0xA0);
}

}  // namespace
}  // namespace zb::testing
