// File associations, read back through zbreg's dump of the device's registry: taking an
// extension over from another program keeps that program's class for later, giving it back
// restores it, and the settings' list of chosen extensions follows.
#include <gtest/gtest.h>

#include "core/settings/associations.h"
#include "core/settings/registry_values.h"
#include "core/settings/settings.h"
#include "product_device.h"

namespace zb::testing {
namespace {

void SetDefault(const std::u16string& key, const std::u16string& text) {
  HKEY k = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  WriteRegText(k, u"", text.c_str());
  RegCloseKey(k);
}

std::string Dump(const std::string& key) { return RunZbreg({"dump", "HKCR\\" + key}); }

// What the dump shows for a key that holds only its default value.
std::string DefaultOnly(const std::string& key, const std::string& value) {
  return "[HKEY_CLASSES_ROOT\\" + key + "]\n@=\"" + value + "\"\n\n";
}

class Associations : public ::testing::Test {
 protected:
  void SetUp() override {
    // Another program holds .mp3, with a verb of its own.
    SetDefault(u".mp3", u"OtherPlayer.mp3");
    SetDefault(u"OtherPlayer.mp3", u"Other File");
    SetDefault(u"OtherPlayer.mp3\\Shell\\Enqueue\\Command", u"other.exe /enqueue %1");
  }
  ProductDevice device;
  CSettings settings;
};

TEST_F(Associations, SwitchingOnOverAnotherClassKeepsItAndCopiesItsKey) {
  SetExtension(&settings, u"mp3", TRUE);
  EXPECT_EQ(std::u16string(settings.associations), u".mp3");
  EXPECT_EQ(Dump(".mp3"),
            "[HKEY_CLASSES_ROOT\\.mp3]\n"
            "@=\"Zonbrel.mp3\"\n"
            "\"ZonbrelOldDefault\"=\"OtherPlayer.mp3\"\n"
            "\n");
  // The other program's verb survives beside ours; the dump lists keys that hold values.
  EXPECT_EQ(Dump("Zonbrel.mp3"),
            "[HKEY_CLASSES_ROOT\\Zonbrel.mp3]\n"
            "@=\"Zonbrel File\"\n"
            "\"EditFlags\"=dword:00010000\n"
            "\n"
            "[HKEY_CLASSES_ROOT\\Zonbrel.mp3\\Shell\\Enqueue\\Command]\n"
            "@=\"other.exe /enqueue %1\"\n"
            "\n"
            "[HKEY_CLASSES_ROOT\\Zonbrel.mp3\\Shell\\Open\\Command]\n"
            "@=\"\\\"\\\\Program Files\\\\Zonbrel\\\\core_tests\\\" \\\"%1\\\"\"\n"
            "\n"
            "[HKEY_CLASSES_ROOT\\Zonbrel.mp3\\DefaultIcon]\n"
            "@=\"\\\\Program Files\\\\Zonbrel\\\\core_tests,-107\"\n"
            "\n");
  EXPECT_TRUE(IsAssociated(u"mp3"));
  EXPECT_TRUE(IsAssociated(u"MP3"));
}

TEST_F(Associations, SwitchingOffRestoresTheOtherClass) {
  SetExtension(&settings, u".mp3", TRUE);
  SetExtension(&settings, u".mp3", FALSE);
  EXPECT_EQ(std::u16string(settings.associations), u"");
  EXPECT_EQ(Dump(".mp3"), DefaultOnly(".mp3", "OtherPlayer.mp3"));
  EXPECT_FALSE(IsAssociated(u"mp3"));
}

TEST_F(Associations, ASecondOnKeepsTheFirstBackup) {
  SetExtension(&settings, u".mp3", TRUE);
  Associate(u".mp3", TRUE, FALSE);  // on again while it is ours
  SetDefault(u".mp3", u"ThirdPlayer.mp3");  // a third program took it over, leaving our backup
  SetExtension(&settings, u".mp3", TRUE);
  EXPECT_EQ(Dump(".mp3"),
            "[HKEY_CLASSES_ROOT\\.mp3]\n"
            "@=\"Zonbrel.mp3\"\n"
            "\"ZonbrelOldDefault\"=\"OtherPlayer.mp3\"\n"
            "\n");
  EXPECT_EQ(std::u16string(settings.associations), u".mp3");
  SetExtension(&settings, u".mp3", FALSE);
  EXPECT_EQ(Dump(".mp3"), DefaultOnly(".mp3", "OtherPlayer.mp3"));
}

TEST_F(Associations, AnExtensionWithoutAPreviousClassIsLeftWithoutOne) {
  SetExtension(&settings, u"ogg", TRUE);
  EXPECT_EQ(Dump(".ogg"), DefaultOnly(".ogg", "Zonbrel.ogg"));
  SetExtension(&settings, u"ogg", FALSE);
  EXPECT_EQ(Dump(".ogg"), "[HKEY_CLASSES_ROOT\\.ogg]\n\n");
}

TEST_F(Associations, PlaylistsShareOneClassAndAreKnownByWholeExtensions) {
  SetExtension(&settings, u".M3U8", TRUE);
  SetExtension(&settings, u".pl", TRUE);  // no playlist, though ".pls" begins alike
  EXPECT_EQ(Dump(".m3u8"), DefaultOnly(".M3U8", "Zonbrel Playlist"));
  EXPECT_EQ(Dump("Zonbrel Playlist").substr(0, 85),
            "[HKEY_CLASSES_ROOT\\Zonbrel Playlist]\n@=\"Zonbrel Playlist\"\n\"EditFlags\"=dword:10010000\n");
  EXPECT_EQ(Dump(".pl"), DefaultOnly(".pl", "Zonbrel.pl"));
}

TEST_F(Associations, TheListCountsOnlyWholeExtensions) {
  wcscpy(settings.associations, u".mp3.m3u8");
  SetExtension(&settings, u".m3u", TRUE);
  EXPECT_EQ(std::u16string(settings.associations), u".mp3.m3u8.m3u");
  SetExtension(&settings, u".m3u8", TRUE);
  EXPECT_EQ(std::u16string(settings.associations), u".mp3.m3u8.m3u");
  SetExtension(&settings, u".m3u", FALSE);
  EXPECT_EQ(std::u16string(settings.associations), u".mp3.m3u8");
  SetExtension(&settings, u".MP3", FALSE);
  EXPECT_EQ(std::u16string(settings.associations), u".m3u8");
}

TEST_F(Associations, BadExtensionsAreIgnored) {
  for (const char16_t* bad : {u"", u".", u"sixteen-chars-xx"}) {
    SetExtension(&settings, bad, TRUE);
    EXPECT_EQ(std::u16string(settings.associations), u"");
  }
  SetExtension(&settings, nullptr, TRUE);
  SetExtension(nullptr, u"mp3", TRUE);
  EXPECT_EQ(Dump(".mp3"), DefaultOnly(".mp3", "OtherPlayer.mp3"));
}

TEST_F(Associations, AsxTakesWmwebasxAlong) {
  SetExtension(&settings, u".asx", TRUE);
  EXPECT_TRUE(IsAssociated(u"asx"));
  EXPECT_TRUE(IsAssociated(u"wmwebasx"));
  EXPECT_EQ(std::u16string(settings.associations), u".asx");
  SetExtension(&settings, u".ASX", FALSE);
  EXPECT_FALSE(IsAssociated(u"wmwebasx"));
}

TEST_F(Associations, TheDefaultMaskSelectsItsExtensionsInTableOrder) {
  ApplyDefaultAssociations(&settings);
  EXPECT_EQ(std::u16string(settings.associations), u".mp3.ogg.mp1.mp2.m3u.m3u8.pspl.pls.zsz.wsz.skn");
  for (const char16_t* on : {u"mp3", u"ogg", u"mp1", u"mp2", u"m3u", u"m3u8", u"pspl", u"pls", u"zsz", u"wsz", u"skn"}) {
    EXPECT_TRUE(IsAssociated(on)) << ::testing::PrintToString(std::u16string(on));
  }
  for (const char16_t* off : {u"wav", u"wma", u"plt", u"asx", u"lst"}) {
    EXPECT_FALSE(IsAssociated(off)) << ::testing::PrintToString(std::u16string(off));
  }
  ApplyAssociations(&settings, kSkinAssociationsBit);
  EXPECT_EQ(std::u16string(settings.associations), u".zsz.wsz.skn");
  EXPECT_EQ(Dump(".mp3"), DefaultOnly(".mp3", "OtherPlayer.mp3"));
}

TEST_F(Associations, ReapplyTurnsOnEveryListedExtension) {
  wcscpy(settings.associations, u".mp3.wav");
  ReapplyAssociations(&settings);
  EXPECT_TRUE(IsAssociated(u"mp3"));
  EXPECT_TRUE(IsAssociated(u"wav"));
  EXPECT_EQ(std::u16string(settings.associations), u".mp3.wav");
}

TEST_F(Associations, AQueryLeavesNoKeyBehind) {
  EXPECT_FALSE(IsAssociated(u"flac"));
  EXPECT_EQ(Dump(".flac"), "");
}

TEST(MimeTypes, RegisteredOnceAndAnExistingExtensionIsKept) {
  ProductDevice device;
  SetDefault(u"MIME\\Database\\Content Type\\audio/wav", u"");
  HKEY wav = nullptr;
  RegOpenKeyExW(HKEY_CLASSES_ROOT, u"MIME\\Database\\Content Type\\audio/wav", 0, KEY_ALL_ACCESS, &wav);
  RegDeleteValueW(wav, u"");
  WriteRegText(wav, u"Extension", u".wave");
  RegCloseKey(wav);
  RegisterMimeTypes();
  const std::string dump = Dump("MIME\\Database\\Content Type");
  const char* expected[] = {
      "[HKEY_CLASSES_ROOT\\MIME\\Database\\Content Type\\application/ogg]\n\"Extension\"=\".ogg\"\n",
      "[HKEY_CLASSES_ROOT\\MIME\\Database\\Content Type\\application/x-ogg]\n\"Extension\"=\".ogg\"\n",
      "[HKEY_CLASSES_ROOT\\MIME\\Database\\Content Type\\audio/aac]\n\"Extension\"=\".aac\"\n",
      "[HKEY_CLASSES_ROOT\\MIME\\Database\\Content Type\\audio/m4a]\n\"Extension\"=\".m4a\"\n",
      "[HKEY_CLASSES_ROOT\\MIME\\Database\\Content Type\\audio/mpegurl]\n\"Extension\"=\".m3u\"\n",
      "[HKEY_CLASSES_ROOT\\MIME\\Database\\Content Type\\audio/scpls]\n\"Extension\"=\".pls\"\n",
      "[HKEY_CLASSES_ROOT\\MIME\\Database\\Content Type\\audio/wav]\n\"Extension\"=\".wave\"\n",
      "[HKEY_CLASSES_ROOT\\MIME\\Database\\Content Type\\audio/x-mpegurl]\n\"Extension\"=\".m3u\"\n",
      "[HKEY_CLASSES_ROOT\\MIME\\Database\\Content Type\\audio/x-scpls]\n\"Extension\"=\".pls\"\n",
      "[HKEY_CLASSES_ROOT\\MIME\\Database\\Content Type\\audio/x-zbspl]\n\"Extension\"=\".pspl\"\n",
  };
  for (const char* part : expected) EXPECT_NE(dump.find(part), std::string::npos) << part << "\nin\n" << dump;
  EXPECT_EQ(dump.find(".m3u8"), std::string::npos);  // audio/mpegurl keeps the first extension it got
}

TEST(CopyRegistryKey, CopiesValuesOfEveryTypeAndSizeAndAllSubkeys) {
  ProductDevice device;
  HKEY source = nullptr;
  RegCreateKeyExW(HKEY_CURRENT_USER, u"Source", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &source, nullptr);
  std::vector<BYTE> big(5000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<BYTE>(i * 7);
  WriteRegBinary(source, u"Big", big.data(), static_cast<DWORD>(big.size()));  // beyond the first buffer
  WriteRegDword(source, u"Number", 7);
  WriteRegText(source, u"", u"default");
  HKEY deep = nullptr;
  RegCreateKeyExW(source, u"A\\B\\C", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &deep, nullptr);
  WriteRegText(deep, u"Leaf", u"leaf");
  RegCloseKey(deep);
  EXPECT_EQ(CopyRegistryKey(source, HKEY_CURRENT_USER, u"Copy"), ERROR_SUCCESS);
  RegCloseKey(source);
  std::string original = RunZbreg({"dump", "HKCU\\Source"});
  std::string copy = RunZbreg({"dump", "HKCU\\Copy"});
  ASSERT_FALSE(original.empty());
  size_t at;
  while ((at = original.find("\\Source")) != std::string::npos) original.replace(at, 7, "\\Copy");
  EXPECT_EQ(copy, original);
}

}  // namespace
}  // namespace zb::testing
