// What Load makes of stored values: clamps, the upgrades that depend on the stored version, the
// title-format reset and hash, the path lists and the omitted extensions.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/settings/registry_values.h"
#include "core/settings/settings.h"
#include "product_device.h"
#include "string_tokenizer.h"

namespace zb::testing {
namespace {

class SettingsKey : public RegKey {
 public:
  SettingsKey() { EXPECT_EQ(Create(HKEY_CURRENT_USER, kSettingsKey), ERROR_SUCCESS); }
};

void Store(const std::vector<std::pair<const char16_t*, DWORD>>& values) {
  SettingsKey key;
  for (const auto& [name, value] : values) WriteRegDword(key.get(), name, value);
}

struct UpgradeCase {
  const char* what;
  std::vector<std::pair<const char16_t*, DWORD>> stored;
  DWORD CSettings::*field;
  DWORD expected;
};

TEST(SettingsLoad, ClampsAndUpgradesGiveThePartsResults) {
  const UpgradeCase cases[] = {
      {"fileCacheSize 21 stays", {{u"fileCacheSize", 21}}, &CSettings::fileCacheSize, 21},
      {"fileCacheSize 20 is raised", {{u"fileCacheSize", 20}}, &CSettings::fileCacheSize, 64},
      {"fileCacheSize 63 is raised", {{u"fileCacheSize", 63}}, &CSettings::fileCacheSize, 64},
      {"fileCacheSize 20480 stays", {{u"fileCacheSize", 20480}}, &CSettings::fileCacheSize, 20480},
      {"fileCacheSize 30000 is lowered", {{u"fileCacheSize", 30000}}, &CSettings::fileCacheSize, 20480},
      {"audioBuffer 100 is raised", {{u"audioBuffer", 100}}, &CSettings::audioBuffer, 500},
      {"audioBuffer 9000 is lowered", {{u"audioBuffer", 9000}}, &CSettings::audioBuffer, 5000},
      {"audioBuffer 500 stays", {{u"audioBuffer", 500}}, &CSettings::audioBuffer, 500},
      {"infoCacheTableSize below 0x20000", {{u"infoCacheTableSize", 0x1000}}, &CSettings::infoCacheTableSize, 0x20000},
      {"infoCacheTableSize above", {{u"infoCacheTableSize", 0x30000}}, &CSettings::infoCacheTableSize, 0x30000},
      {"httpBufferSize 16384", {{u"httpBufferSize", 16384}}, &CSettings::httpBufferSize, 0x10000},
      {"httpBufferSize 8192", {{u"httpBufferSize", 8192}}, &CSettings::httpBufferSize, 8192},
      {"useOpenFolder 0", {{u"useOpenFolder", 0}}, &CSettings::useOpenFolder, 1},
      {"threadPriority of an old version", {{u"version", 0x03040000}, {u"threadPriority", 2}}, &CSettings::threadPriority, 5},
      {"threadPriority of 3.5", {{u"version", 0x03050000}, {u"threadPriority", 2}}, &CSettings::threadPriority, 2},
      {"threadPriority without a version", {{u"threadPriority", 2}}, &CSettings::threadPriority, 5},
      {"maxSampleRate kept", {{u"version", 0x03000004}, {u"maxSampleRate", 22050}}, &CSettings::maxSampleRate, 22050},
      {"maxSampleRate of an old version", {{u"version", 0x03000003}, {u"maxSampleRate", 22050}}, &CSettings::maxSampleRate, 48000},
      {"maxSampleRate below 8000", {{u"version", 0x03050001}, {u"maxSampleRate", 7999}}, &CSettings::maxSampleRate, 48000},
      {"mapAllButtons kept on a Pocket PC", {{u"mapAllButtons", 1}}, &CSettings::mapAllButtons, 1},
  };
  for (const UpgradeCase& c : cases) {
    SCOPED_TRACE(c.what);
    ProductDevice device;
    Store(c.stored);
    CSettings s;
    EXPECT_EQ(s.*c.field, c.expected);
  }
}

TEST(SettingsLoad, ALibraryVersionOtherThanSevenResetsBothTitleFormats) {
  for (DWORD version : {0u, 6u, 7u}) {
    SCOPED_TRACE(version);
    ProductDevice device;
    SettingsKey opened;
    const HKEY key = opened.get();
    if (version) WriteRegDword(key, u"libraryVersion", version);
    WriteRegText(key, u"songTitleFormat", u"%3");
    WriteRegText(key, u"streamTitleFormat", u"%301");
    CSettings s;
    const bool kept = version == 7;
    EXPECT_EQ(std::u16string(s.songTitleFormat), kept ? u"%3" : CSettings::DefaultTitleFormat());
    EXPECT_EQ(std::u16string(s.streamTitleFormat), kept ? u"%301" : u"%?26<%26 (%301)|%301>");
    DWORD stored = 0;
    EXPECT_TRUE(ReadRegDword(key, u"libraryVersion", &stored));
    EXPECT_EQ(stored, 7u);
    EXPECT_EQ(ValueExists(key, u"songTitleFormat"), kept);
    opened.Close();
  }
}

// The documented hash of the two formats, worked here on its own.
DWORD Hash(std::u16string_view song, std::u16string_view stream) {
  DWORD hash = 0x12345678;
  for (std::u16string_view f : {song, stream}) {
    for (size_t i = 0; i < f.size(); ++i) hash ^= static_cast<DWORD>(f[i]) << ((i + 1) % 16);
  }
  return hash;
}

TEST(SettingsLoad, ChangedTitleFormatsDeleteTheInfoCacheAndStoreTheNewHash) {
  const DWORD current = Hash(u"%3", u"%301");
  for (DWORD stored : {current, current ^ 1}) {
    SCOPED_TRACE(stored);
    ProductDevice device;
    SettingsKey opened;
    const HKEY key = opened.get();
    WriteRegDword(key, u"libraryVersion", 7);
    WriteRegText(key, u"songTitleFormat", u"%3");
    WriteRegText(key, u"streamTitleFormat", u"%301");
    WriteRegDword(key, u"songTitleHash", stored);
    const std::filesystem::path cache = device.ProgramFile("infocache.dat");
    std::ofstream(cache) << "cached titles";
    CSettings s;
    EXPECT_EQ(std::filesystem::exists(cache), stored == current);
    DWORD written = 0;
    EXPECT_TRUE(ReadRegDword(key, u"songTitleHash", &written));
    EXPECT_EQ(written, current);
    opened.Close();
  }
}

TEST(SettingsLoad, PathListsAreSplitAtBarsAndAListOfEmptyTokensIsNone) {
  const struct {
    const char16_t* stored;
    int tokens;  // -1: no list
  } cases[] = {{u"|", -1}, {u"", -1}, {u"||", -1}, {u"\\Music|Temp", 2}, {u"|\\Music", 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::u16string(c.stored)));
    ProductDevice device;
    SettingsKey opened;
    const HKEY key = opened.get();
    for (const char16_t* name : {u"restrictExclude", u"restrictInclude", u"includeMediaPath", u"includePlaylistPath"}) {
      WriteRegText(key, name, c.stored);
    }
    opened.Close();
    CSettings s;
    for (const auto* list : {&s.restrictExclude, &s.restrictInclude, &s.includeMediaPath, &s.includePlaylistPath}) {
      if (c.tokens < 0) {
        EXPECT_EQ(*list, nullptr);
      } else {
        ASSERT_NE(*list, nullptr);
        EXPECT_EQ((*list)->GetCount(), c.tokens);
      }
    }
  }
}

TEST(SettingsLoad, StoredOmittedExtensionsGetSeparatorsBeforeAndBehind) {
  ProductDevice device;
  SettingsKey opened;
  const HKEY key = opened.get();
  WriteRegText(key, u"omitting", u"mp3;wma");
  opened.Close();
  CSettings s;
  EXPECT_EQ(std::u16string(s.omittedExtensions), u";mp3;wma;");
}

TEST(SettingsLoad, EnforcedAssociationsAreSetAgainAtLoad) {
  ProductDevice device;
  SettingsKey opened;
  const HKEY key = opened.get();
  WriteRegText(key, u"associations", u".mp3.ogg");
  WriteRegDword(key, u"fileAssociationsEnforced", 1);
  opened.Close();
  CSettings s;
  for (const char16_t* ext : {u".mp3", u".ogg"}) {
    HKEY extension = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, ext, 0, KEY_READ, &extension), ERROR_SUCCESS);
    std::u16string cls;
    EXPECT_TRUE(ReadRegText(extension, u"", &cls, MAX_PATH));
    EXPECT_EQ(cls, u"Zonbrel" + std::u16string(ext));
    RegCloseKey(extension);
  }
  EXPECT_EQ(std::u16string(s.associations), u".mp3.ogg");
}

}  // namespace
}  // namespace zb::testing
