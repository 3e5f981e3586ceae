// Defaults that depend on the device: its OS version, its OEM text and whether it is a
// Smartphone. The platform answer is kept for the life of a process, and each case here runs in
// a process of its own.
#include <gtest/gtest.h>

#include "core/settings/button_table.h"
#include "core/settings/registry_values.h"
#include "core/settings/settings.h"
#include "product_device.h"

namespace zb::testing {
namespace {

struct DeviceCase {
  const char* name;
  const char* profile;
  bool storeMapAll;  // a stored mapAllButtons of 1
  DWORD maxSampleRate;
  DWORD useSystemVolume;
  DWORD mapAllButtons;
  DWORD buttonFlags;
  DWORD redrawOnUndim;
  const char16_t* escapeName;  // the default custom key for Escape / Back
  DWORD escapeCode;
  const char16_t* skinPath;
};

class SettingsOnDevice : public ::testing::TestWithParam<DeviceCase> {};

TEST_P(SettingsOnDevice, DefaultsFollowTheDevice) {
  const DeviceCase& c = GetParam();
  ProductDevice device(c.profile);
  if (c.storeMapAll) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    WriteRegDword(key, u"mapAllButtons", 1);
    RegCloseKey(key);
  }
  CSettings s;
  EXPECT_EQ(s.maxSampleRate, c.maxSampleRate);
  EXPECT_EQ(s.useSystemVolume, c.useSystemVolume);
  EXPECT_EQ(s.mapAllButtons, c.mapAllButtons);
  EXPECT_EQ(s.buttonFlags, c.buttonFlags);
  EXPECT_EQ(s.redrawOnUndim, c.redrawOnUndim);
  int index = FindButtonByCode(c.escapeCode);
  ASSERT_GE(index, 20);
  WCHAR name[MAX_PATH];
  ASSERT_EQ(GetButtonName(index, name), 1);
  EXPECT_EQ(std::u16string(name), c.escapeName);
  WCHAR skin[MAX_PATH];
  s.GetSkinPath(skin);
  EXPECT_EQ(std::u16string(skin), c.skinPath);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, SettingsOnDevice,
    ::testing::Values(
        DeviceCase{"PocketPC51", "[os]\nmajor = 5\nminor = 1\n", false, 48000, 0, 0, 2, 0, u"Escape", 0x1B,
                   u"\\Program Files\\Zonbrel\\default.zsz"},
        DeviceCase{"PocketPC420", "[os]\nmajor = 4\nminor = 20\n", false, 44100, 0, 1, 2, 0, u"Escape", 0x1B,
                   u"\\Program Files\\Zonbrel\\default.zsz"},
        DeviceCase{"PocketPC421", "[os]\nmajor = 4\nminor = 21\n", false, 48000, 0, 1, 2, 0, u"Escape", 0x1B,
                   u"\\Program Files\\Zonbrel\\default.zsz"},
        DeviceCase{"PocketPC30", "[os]\nmajor = 3\nminor = 0\n", false, 44100, 1, 1, 2, 0, u"Escape", 0x1B,
                   u"\\Program Files\\Zonbrel\\default.zsz"},
        DeviceCase{"OemNeedsRedraw", "[os]\noem = HP iPAQ h2200\n", false, 48000, 0, 0, 2, 1, u"Escape", 0x1B,
                   u"\\Program Files\\Zonbrel\\default.zsz"},
        DeviceCase{"Smartphone", "[os]\nplatform = SmartPhone\nmajor = 4\n", true, 48000, 0, 0, 0, 0, u"Back",
                   0x10001B, u"\\Program Files\\Zonbrel\\default_sp.zsz"}),
    [](const ::testing::TestParamInfo<DeviceCase>& info) { return std::string(info.param.name); });

TEST(SettingsFolders, TheApplicationDataFolderComesFromTheShellWithoutItsBackslash) {
  ProductDevice device("[libraries]\nceshell = absent\n");
  std::filesystem::copy_file(CESHELL_STUB_PATH, device.ProgramFile("ceshell.dll"));
  CSettings s;
  EXPECT_EQ(std::u16string(s.appDataFolder), u"\\Shell Data");
}

}  // namespace
}  // namespace zb::testing
