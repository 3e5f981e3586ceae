// The settings' operations: button slots and their defaults, the plug-in choices (which make the
// core forget its DSP choice), the equaliser setters and the skin per screen size.
#include <gtest/gtest.h>

#include "core/settings/button_table.h"
#include "core/settings/registry_values.h"
#include "core/settings/settings.h"
#include "fake_core.h"
#include "product_device.h"

namespace zb::testing {
namespace {

class SettingsOperations : public ::testing::Test {
 protected:
  ProductDevice device;
  CSettings s;
};

TEST_F(SettingsOperations, ResetGivesEachCommandItsDefaultButtons) {
  const struct {
    DWORD command;
    std::vector<int> slots;
  } cases[] = {
      {1, {0, 15, FindButtonByKey(0xB3)}},
      {4, {FindButtonByKey('2'), FindButtonByKey('S')}},
      {5, {3, FindButtonByKey(0xB0)}},
      {6, {4, FindButtonByKey(0xB1)}},
      {7, {FindButtonByKey('0'), FindButtonByKey('M')}},
      {8, {1, 16}},
      {9, {2, 17}},
      {11, {FindButtonByKey('3'), FindButtonByKey('V')}},
      {12, {FindButtonByKey(0x78)}},
      {13, {FindButtonByKey(0x77)}},
      {21, {FindButtonByKey('1'), FindButtonByKey('R')}},
  };
  s.ResetButtonCommands();
  size_t assigned = 0;
  for (const auto& c : cases) {
    for (int slot : c.slots) {
      ASSERT_GE(slot, 0);
      EXPECT_EQ(s.GetButtonCommand(slot), c.command) << "slot " << slot;
    }
    assigned += c.slots.size();
    std::vector<int> found;
    for (int slot = s.FindButtonCommand(c.command, 0); slot >= 0; slot = s.FindButtonCommand(c.command, slot + 1)) {
      found.push_back(slot);
    }
    EXPECT_EQ(found.size(), c.slots.size()) << "command " << c.command;
  }
  size_t nonZero = 0;
  for (int slot = 0; slot < s.GetButtonSlotCount(); ++slot) nonZero += s.GetButtonCommand(slot) != 0;
  EXPECT_EQ(nonZero, assigned);
}

TEST_F(SettingsOperations, AssignCommandDefaultsGivesOneCommandItsButtons) {
  for (int slot = 0; slot < s.GetButtonSlotCount(); ++slot) s.SetButtonCommand(slot, 0);
  EXPECT_EQ(s.AssignCommandDefaults(8), 2);
  EXPECT_EQ(s.GetButtonCommand(1), 8u);
  EXPECT_EQ(s.GetButtonCommand(16), 8u);
  EXPECT_FALSE(s.HasButtonCommand(9));
  EXPECT_EQ(s.AssignCommandDefaults(2), 1);    // a command without default buttons
  EXPECT_EQ(s.AssignCommandDefaults(40), 39);  // beyond the player's commands
  EXPECT_FALSE(s.HasButtonCommand(2));
}

TEST_F(SettingsOperations, SlotsOutOfRangeAreIgnored) {
  const int count = s.GetButtonSlotCount();
  EXPECT_EQ(count, GetButtonCount());
  EXPECT_GT(count, 20);  // the custom keys have slots of their own
  s.SetButtonCommand(count, 5);
  s.SetButtonCommand(-1, 5);
  EXPECT_EQ(s.GetButtonCommand(count), 0u);
  EXPECT_EQ(s.GetButtonCommand(-1), 0u);
  EXPECT_EQ(s.FindButtonCommand(1, count), -1);
  s.SetButtonCommand(count - 1, 30);
  EXPECT_EQ(s.FindButtonCommand(30, -5), count - 1);
}

TEST_F(SettingsOperations, BoundSlotsReachTheButtonTableAndTheCore) {
  FakeCore core;
  s.SetButtonCommand(5, 17);
  const ButtonEntry* entry = GetButtonEntry(5);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->action, 17u);
  ASSERT_NE(entry->handler, nullptr);
  entry->handler(5, 17 | 0x10000, entry->argument);
  ASSERT_EQ(core.posted.size(), 1u);
  EXPECT_EQ(core.posted[0], std::make_pair(WORD{17}, WORD{1}));
  s.ApplyButtonCommands(FALSE);
  EXPECT_EQ(GetButtonEntry(5)->action, 0u);
  EXPECT_EQ(s.GetButtonCommand(5), 17u);  // the slot keeps its command
  s.ApplyButtonCommands(TRUE);
  EXPECT_EQ(GetButtonEntry(5)->action, 17u);
}

TEST_F(SettingsOperations, LockSafeCommands) {
  for (DWORD command = 0; command < 40; ++command) {
    const bool safe = command == 1 || command == 5 || command == 6 || command == 8 || command == 9 || command == 19 ||
                      command == 20;
    EXPECT_EQ(s.IsLockSafeCommand(command), safe) << command;
  }
  s.permitActions = 0;
  EXPECT_FALSE(s.IsLockSafeCommand(1));
}

TEST_F(SettingsOperations, PluginChoicesAreSavedAtOnceAndResetTheCoresDspChoice) {
  FakeCore core;
  EXPECT_EQ(s.SaveVisPlugin(u"vis_other.dll", 4), ERROR_SUCCESS);
  EXPECT_EQ(core.dspResets, 0);
  EXPECT_EQ(s.SaveDSPPlugin(u"dsp_omnia.dll", 6), ERROR_SUCCESS);
  EXPECT_EQ(core.dspResets, 1);
  s.SetDSPEnabled(0);
  EXPECT_EQ(s.DSPEnabled, 0u);
  EXPECT_EQ(core.dspResets, 2);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  std::u16string text;
  DWORD index = 0;
  EXPECT_TRUE(ReadRegText(key, u"PluginFile", &text, MAX_PATH));
  EXPECT_EQ(text, u"vis_other.dll");
  EXPECT_TRUE(ReadRegDword(key, u"PluginIndex", &index));
  EXPECT_EQ(index, 4u);
  EXPECT_TRUE(ReadRegText(key, u"DSPPluginFile", &text, MAX_PATH));
  EXPECT_EQ(text, u"dsp_omnia.dll");
  EXPECT_TRUE(ReadRegDword(key, u"DSPPluginIndex", &index));
  EXPECT_EQ(index, 6u);
  RegCloseKey(key);
}

TEST_F(SettingsOperations, EqualiserSetters) {
  const BYTE bands[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  s.SetEqValues(bands);
  s.SetPreampValue(50);
  EXPECT_EQ(std::vector<BYTE>(s.eqValues, s.eqValues + 10), std::vector<BYTE>(bands, bands + 10));
  EXPECT_EQ(s.preampValue2, 50u);
}

TEST_F(SettingsOperations, TheSkinIsStoredPerScreenSize) {
  WCHAR name[64];
  s.GetSkinValueName(name, 64);
  EXPECT_EQ(std::u16string(name), u"skin.240.320");
  WCHAR skin[MAX_PATH];
  s.LoadSkin(skin);
  EXPECT_EQ(std::u16string(skin), u"\\Program Files\\Zonbrel\\default.zsz");
  EXPECT_EQ(s.SaveSkin(u"\\Storage Card\\Skins\\Dark.roz", TRUE), ERROR_SUCCESS);
  s.LoadSkin(skin);
  EXPECT_EQ(std::u16string(skin), u"\\Storage Card\\Skins\\Dark.roz");
  // Looked up as a data file: found in the program's folder.
  HANDLE file = CreateFileW(u"\\Program Files\\Zonbrel\\Light.roz", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_EQ(s.SaveSkin(u"Light.roz", FALSE), ERROR_SUCCESS);
  s.LoadSkin(skin);
  EXPECT_EQ(std::u16string(skin), u"\\Program Files\\Zonbrel\\Light.roz");
}

TEST(SettingsScreen, AnotherScreenSizeHasItsOwnSkinValue) {
  ProductDevice device("[screen]\nwidth = 480\nheight = 640\n");
  CSettings s;
  WCHAR name[64];
  s.GetSkinValueName(name, 64);
  EXPECT_EQ(std::u16string(name), u"skin.480.640");
}

}  // namespace
}  // namespace zb::testing
