// The settings object against its registry key: every default on an empty key, what Save
// writes, and a save followed by a load giving back every field, binary values byte for byte.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "core/settings/button_table.h"
#include "core/settings/registry_values.h"
#include "core/settings/settings.h"
#include "product_device.h"
#include "settings_fields.h"
#include "string_tokenizer.h"

namespace zb::testing {
namespace {

class SettingsKey : public RegKey {
 public:
  SettingsKey() { EXPECT_EQ(Create(HKEY_CURRENT_USER, kSettingsKey), ERROR_SUCCESS); }
};

std::vector<BYTE> Binary(const WCHAR* name) {
  SettingsKey key;
  std::vector<BYTE> data;
  EXPECT_TRUE(ReadRegBinary(key.get(), name, &data)) << std::string(name, name + wcslen(name));
  return data;
}

TEST(Settings, AnEmptyKeyGivesEveryDefault) {
  ProductDevice device;
  CSettings s;
  for (const NumberField& f : NumberFields()) {
    EXPECT_EQ(*f.field(s), f.def) << ::testing::PrintToString(std::u16string(f.name));
  }
  for (const TextField& f : TextFields()) EXPECT_EQ(std::u16string(f.field(s)), f.def) << ::testing::PrintToString(f.def);
  for (BYTE band : s.eqValues) EXPECT_EQ(band, 31);
  EXPECT_EQ(std::u16string(s.omittedExtensions), u".lst;");
  EXPECT_EQ(s.restrictExclude, nullptr);
  EXPECT_EQ(s.restrictInclude, nullptr);
  EXPECT_EQ(s.includeMediaPath, nullptr);
  EXPECT_EQ(s.includePlaylistPath, nullptr);
  EXPECT_EQ(std::u16string(s.appDataFolder), u"\\Invalid");  // this device's shell has no special folders
  WCHAR temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  EXPECT_EQ(std::u16string(s.tempFolder) + u"\\", temp);
  // No stored button commands: the default assignments.
  EXPECT_EQ(s.GetButtonCommand(0), 1u);
  EXPECT_EQ(s.GetButtonCommand(15), 1u);
  EXPECT_EQ(s.GetButtonCommand(3), 5u);
  EXPECT_EQ(s.GetButtonCommand(4), 6u);
  EXPECT_EQ(s.GetButtonCommand(FindButtonByKey('M')), 7u);
}

TEST(Settings, SaveWritesEveryValueButTheReadOnlyOnesAndThoseWithSavesOfTheirOwn) {
  ProductDevice device;
  CSettings s;
  ASSERT_EQ(s.Save(), ERROR_SUCCESS);
  SettingsKey key;
  DWORD version = 0;
  EXPECT_TRUE(ReadRegDword(key.get(), u"version", &version));
  EXPECT_EQ(version, 0x03050001u);
  for (const NumberField& f : NumberFields()) {
    DWORD stored = 0;
    const bool present = ReadRegDword(key.get(), f.name, &stored);
    EXPECT_EQ(present, f.flags == kSaved) << ::testing::PrintToString(std::u16string(f.name));
    if (present) {
      EXPECT_EQ(stored, f.def) << ::testing::PrintToString(std::u16string(f.name));
    }
  }
  for (const TextField& f : TextFields()) {
    std::u16string stored;
    const bool present = ReadRegText(key.get(), f.name, &stored, MAX_PATH);
    EXPECT_EQ(present, f.flags == kSaved) << ::testing::PrintToString(std::u16string(f.name));
    if (present) {
      EXPECT_EQ(stored, f.def);
    }
  }
  std::u16string omitting;
  EXPECT_TRUE(ReadRegText(key.get(), u"omitting", &omitting, MAX_PATH));
  EXPECT_EQ(omitting, u".lst");
  EXPECT_EQ(Binary(u"eqValues"), std::vector<BYTE>(10, 31));
  EXPECT_EQ(Binary(u"buttoncommands").size(), 80u);
}

TEST(Settings, SaveThenLoadRoundTripsEveryField) {
  ProductDevice device;
  const BYTE bands[10] = {0, 63, 1, 62, 2, 61, 31, 30, 32, 20};
  {
    SettingsKey key;  // the read-only values come from the registry alone
    for (const NumberField& f : NumberFields()) {
      if (f.flags == kReadOnly) WriteRegDword(key.get(), f.name, f.other);
    }
  }
  {
    CSettings s;
    for (const NumberField& f : NumberFields()) {
      if (f.flags == kSaved) *f.field(s) = f.other;
    }
    for (const TextField& f : TextFields()) {
      if (f.flags == kSaved) wcscpy(f.field(s), f.other.c_str());
    }
    s.SetEqValues(bands);
    wcscpy(s.omittedExtensions, u";mp3;wma;");
    s.SetButtonCommand(7, 12);
    s.SetButtonCommand(25, 4);
    ASSERT_EQ(s.SaveVisPlugin(u"vis_other.dll", 3), ERROR_SUCCESS);
    ASSERT_EQ(s.SaveDSPPlugin(u"dsp_omnia.dll", 2), ERROR_SUCCESS);
    ASSERT_EQ(s.Save(), ERROR_SUCCESS);
  }
  CSettings loaded;
  for (const NumberField& f : NumberFields()) {
    EXPECT_EQ(*f.field(loaded), f.other) << ::testing::PrintToString(std::u16string(f.name));
  }
  for (const TextField& f : TextFields()) EXPECT_EQ(std::u16string(f.field(loaded)), f.other);
  EXPECT_EQ(std::vector<BYTE>(loaded.eqValues, loaded.eqValues + 10), std::vector<BYTE>(bands, bands + 10));
  EXPECT_EQ(std::u16string(loaded.omittedExtensions), u";mp3;wma;");
  EXPECT_EQ(loaded.GetButtonCommand(7), 12u);
  EXPECT_EQ(loaded.GetButtonCommand(25), 4u);
  WCHAR file[MAX_PATH];
  EXPECT_EQ(loaded.GetVisPlugin(file), 3u);
  EXPECT_EQ(std::u16string(file), u"vis_other.dll");
  EXPECT_EQ(loaded.GetDSPPlugin(file), 2u);
  EXPECT_EQ(std::u16string(file), u"dsp_omnia.dll");
}

TEST(Settings, TheOmittedListDoesNotGrowWithEverySave) {
  ProductDevice device;
  {
    SettingsKey key;
    WriteRegText(key.get(), u"omitting", u"mp3;wma");
  }
  for (int round = 0; round < 3; ++round) {
    CSettings s;
    EXPECT_EQ(std::u16string(s.omittedExtensions), u";mp3;wma;");
  }
  SettingsKey key;
  std::u16string stored;
  ReadRegText(key.get(), u"omitting", &stored, MAX_PATH);
  EXPECT_EQ(stored, u"mp3;wma");
}

TEST(Settings, BinaryValuesKeepTheirExactBytes) {
  ProductDevice device;
  { CSettings first; }  // writes the defaults, the custom buttons among them
  std::vector<BYTE> custom = Binary(u"customcommands");
  ASSERT_EQ(custom.size() % 8, 0u);
  ASSERT_GT(custom.size(), 16u);
  custom[4] = 9;   // the first custom button's command
  custom[12] = 33;  // the second's: a plug-in action
  std::vector<BYTE> buttons(80);
  for (size_t i = 0; i < buttons.size(); i += 4) buttons[i] = static_cast<BYTE>(i / 4 + 1);
  const std::vector<BYTE> bands = {1, 2, 3, 4, 5, 6, 7, 8, 9, 63};
  {
    SettingsKey key;
    WriteRegBinary(key.get(), u"customcommands", custom.data(), static_cast<DWORD>(custom.size()));
    WriteRegBinary(key.get(), u"buttoncommands", buttons.data(), 80);
    WriteRegBinary(key.get(), u"eqValues", bands.data(), 10);
  }
  {
    CSettings s;
    EXPECT_EQ(s.GetButtonCommand(20), 9u);
    EXPECT_EQ(s.GetButtonCommand(21), 33u);
  }
  EXPECT_EQ(Binary(u"customcommands"), custom);
  EXPECT_EQ(Binary(u"buttoncommands"), buttons);
  EXPECT_EQ(Binary(u"eqValues"), bands);
}

TEST(Settings, ValuesOfTheWrongTypeOrSizeFallBackToTheirDefaults) {
  ProductDevice device;
  {
    SettingsKey key;
    WriteRegText(key.get(), u"jumpAmount", u"25");
    WriteRegBinary(key.get(), u"eqValues", "\x01\x02\x03", 3);
    WriteRegText(key.get(), u"playlistDefExt", u"much-too-long-for-16");
    const BYTE shortDword[2] = {1, 0};
    RegSetValueExW(key.get(), u"visSpeed", 0, REG_DWORD, shortDword, 2);
  }
  CSettings s;
  EXPECT_EQ(s.jumpAmount, 10u);
  EXPECT_EQ(std::vector<BYTE>(s.eqValues, s.eqValues + 10), std::vector<BYTE>(10, 31));
  EXPECT_EQ(std::u16string(s.playlistDefExt), u"m3u8");
  EXPECT_EQ(s.visSpeed, 10u);
}

TEST(Settings, OneObjectForTheProgramSavedWhenDestroyed) {
  ProductDevice device;
  CSettings* first = GetSettings();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetSettings(), first);
  first->jumpAmount = 42;
  DestroySettings();
  CSettings* second = GetSettings();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->jumpAmount, 42u);
  DestroySettings();
}

}  // namespace
}  // namespace zb::testing
