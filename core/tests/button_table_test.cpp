// The hardware-button table: fixed buttons, the default custom keys and their revision, names,
// and the lookups by registry code and by key.
#include <gtest/gtest.h>

#include "core/settings/button_table.h"
#include "core/settings/registry_values.h"
#include "product_device.h"

namespace zb::testing {
namespace {

HKEY ButtonsKey() {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kButtonsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  return key;
}

std::u16string Name(int index) {
  WCHAR name[MAX_PATH] = u"untouched";
  EXPECT_EQ(GetButtonName(index, name), 1) << index;
  return name;
}

TEST(ButtonTable, FixedButtonsHaveTheirKeysCodesAndNames) {
  ProductDevice device;
  HKEY keys = nullptr;
  RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Shell\\Keys\\40C3", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                  &keys, nullptr);
  WriteRegText(keys, u"Name", u"Calendar");
  RegCloseKey(keys);
  LoadButtons();
  const struct {
    int index;
    LONG code;
    const char16_t* name;
  } cases[] = {
      {0, 134, u"Action"},          {1, 38, u"Up"},           {2, 40, u"Down"},
      {3, 39, u"Right"},            {4, 37, u"Left"},         {5, 0xC1, u"Button 1"},
      {7, 0xC3, u"Calendar"},       {14, 0xCA, u"Button 10"}, {15, 13, u"Enter"},
      {16, 38 | 32 << 16, u"Up (Alternate)"},                 {19, 37 | 32 << 16, u"Left (Alternate)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetButtonCode(c.index), c.code) << c.index;
    EXPECT_EQ(Name(c.index), c.name);
    EXPECT_EQ(FindButtonByCode(static_cast<DWORD>(c.code)), c.index);
  }
  EXPECT_EQ(FindButtonByKey(38), 1);  // the first entry with the key
  WCHAR name[MAX_PATH] = u"untouched";
  EXPECT_EQ(GetButtonName(-1, name), 0);
  EXPECT_EQ(GetButtonName(GetButtonCount(), name), 0);
  EXPECT_EQ(std::u16string(name), u"untouched");
  EXPECT_EQ(GetButtonCode(GetButtonCount()), -1);
}

TEST(ButtonTable, DefaultCustomKeysAreWrittenOncePerRevision) {
  ProductDevice device;
  HKEY key = ButtonsKey();
  WriteRegDword(key, u"Volume Up (IPAQ)", 0x75);
  WriteRegDword(key, u"Play (Loox Remote)", 0xB3);
  LoadButtons();
  DWORD value = 0;
  EXPECT_TRUE(ReadRegDword(key, kPresetRevisionValue, &value));
  EXPECT_EQ(value, kButtonPresetRevision);
  EXPECT_FALSE(ValueExists(key, u"Volume Up (IPAQ)"));
  EXPECT_FALSE(ValueExists(key, u"Play (Loox Remote)"));
  const struct {
    const char16_t* name;
    DWORD code;
  } defaults[] = {
      {u"'A' Button", 65},   {u"'Z' Button", 90},      {u"'0' Button", 48},        {u"'9' Button", 57},
      {u"Escape", 0x1B},     {u"Space", 0x20},         {u"Apostrophe", 0xDE},      {u"Media Play/Pause", 0xB3},
      {u"Application 2", 0xB7}, {u"Volume Up", 0x100075}, {u"Volume Down", 0x100076}, {u"OK/Close", 0x10880075},
      {u"Talk", 0x100072},
  };
  for (const auto& d : defaults) {
    EXPECT_TRUE(ReadRegDword(key, d.name, &value)) << ::testing::PrintToString(std::u16string(d.name));
    EXPECT_EQ(value, d.code);
    const int index = FindButtonByCode(d.code);
    ASSERT_GE(index, kFixedButtonCount);
    EXPECT_EQ(Name(index), d.name);
  }
  // At the current revision nothing is rewritten: a changed or deleted default stays so.
  WriteRegDword(key, u"Space", 0x99);
  RegDeleteValueW(key, u"Talk");
  LoadButtons();
  EXPECT_TRUE(ReadRegDword(key, u"Space", &value));
  EXPECT_EQ(value, 0x99u);
  EXPECT_FALSE(ValueExists(key, u"Talk"));
  EXPECT_EQ(FindButtonByCode(0x100072), -1);
  // An older revision brings the defaults back.
  WriteRegDword(key, kPresetRevisionValue, 0x10014);
  LoadButtons();
  EXPECT_TRUE(ReadRegDword(key, u"Space", &value));
  EXPECT_EQ(value, 0x20u);
  EXPECT_GE(FindButtonByCode(0x100072), kFixedButtonCount);
  RegCloseKey(key);
}

TEST(ButtonTable, ACustomKeySplitsIntoKeyFlagsAndModifiers) {
  ProductDevice device;
  HKEY key = ButtonsKey();
  WriteRegDword(key, u"Odd", 0x12340041);  // high word 0x1234: flags 0x1004, modifiers 0x230
  RegCloseKey(key);
  LoadButtons();
  const int volume = FindButtonByCode(0x100075);
  ASSERT_GE(volume, kFixedButtonCount);
  const ButtonEntry* up = GetButtonEntry(volume);
  EXPECT_EQ(up->key, 0x75u);
  EXPECT_EQ(up->modifiers, 0x10u);
  EXPECT_EQ(up->flags, 0u);
  const ButtonEntry* odd = GetButtonEntry(FindButtonByCode(0x12340041));
  ASSERT_NE(odd, nullptr);
  EXPECT_EQ(odd->key, 0x41u);
  EXPECT_EQ(odd->flags, 0x1004u);
  EXPECT_EQ(odd->modifiers, 0x230u);
}

TEST(ButtonTable, ACustomNameComesFromTheRegistryOrFallsBackToItsNumber) {
  ProductDevice device;
  LoadButtons();
  const int index = 25;
  ASSERT_LT(index, GetButtonCount());
  const DWORD code = static_cast<DWORD>(GetButtonCode(index));
  std::u16string named = Name(index);
  EXPECT_NE(named, u"Custom 6");
  HKEY key = ButtonsKey();
  RegDeleteValueW(key, named.c_str());
  RegCloseKey(key);
  EXPECT_EQ(Name(index), u"Custom 6");
  EXPECT_EQ(static_cast<DWORD>(GetButtonCode(index)), code);  // the table keeps the entry until the next load
}

TEST(ButtonTable, ValuesThatAreNoKeyCodesAreLeftOut) {
  ProductDevice device;
  LoadButtons();
  const int before = GetButtonCount();
  HKEY key = ButtonsKey();
  WriteRegText(key, u"Text", u"not a key");
  WriteRegBinary(key, u"Bytes", "\x41\x00\x00\x00", 4);
  RegCloseKey(key);
  LoadButtons();
  EXPECT_EQ(GetButtonCount(), before);
}

TEST(ButtonTable, BindingKeepsTheHandlerAndUnbindingClearsIt) {
  ProductDevice device;
  static int calls = 0;
  auto handler = [](int, DWORD, void*) { ++calls; };
  int argument = 0;
  BindButton(3, 5, &argument, handler, FALSE);
  const ButtonEntry* entry = GetButtonEntry(3);
  EXPECT_EQ(entry->action, 5u);
  EXPECT_EQ(entry->argument, &argument);
  entry->handler(3, 5, entry->argument);
  EXPECT_EQ(calls, 1);
  BindButton(3, 0, nullptr, nullptr, FALSE);
  EXPECT_EQ(entry->action, 0u);
  EXPECT_EQ(entry->handler, nullptr);
  BindButton(GetButtonCount(), 5, nullptr, handler, FALSE);  // beyond the table: nothing
  EndButtons();
  EXPECT_EQ(GetButtonCount(), kFixedButtonCount);
}

}  // namespace
}  // namespace zb::testing
