// The settings' path and extension tests (whole components and whole extensions only) and the
// user-interface speed scaling with the documented worked values.
#include <gtest/gtest.h>

#include "core/settings/settings.h"
#include "product_device.h"
#include "string_tokenizer.h"

namespace zb::testing {
namespace {

class SettingsPaths : public ::testing::Test {
 protected:
  ProductDevice device;
  CSettings s;
};

TEST_F(SettingsPaths, ExcludeTokensMatchWholeFoldersOnly) {
  s.restrictExclude = std::make_unique<CStringTokenizer>(u"\\Storage Card\\Music|Temp|\\Podcasts\\", u'|');
  const struct {
    const char16_t* path;
    bool excluded;
  } cases[] = {
      {u"\\Storage Card\\Music", true},
      {u"\\Storage Card\\Music\\", true},
      {u"\\storage card\\music\\Album\\01.mp3", true},
      {u"\\Storage Card\\Music2\\01.mp3", false},           // another folder that begins alike
      {u"\\Other\\Storage Card\\Music\\01.mp3", false},     // the same names below another folder
      {u"\\Storage Card\\Temp\\x.mp3", true},               // a token without "\" anywhere
      {u"\\Temp", true},
      {u"\\Storage Card\\Temporary\\x.mp3", false},
      {u"\\My Documents\\NotTemp\\x.mp3", false},
      {u"\\Podcasts\\show.mp3", true},
      {u"\\Podcasts2\\show.mp3", false},
      {u"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(s.IsExcludedPath(c.path), c.excluded) << ::testing::PrintToString(std::u16string(c.path));
  }
  EXPECT_FALSE(s.IsExcludedPath(nullptr));
  s.restrictExclude.reset();
  EXPECT_FALSE(s.IsExcludedPath(u"\\Storage Card\\Music\\x.mp3"));
}

TEST_F(SettingsPaths, IncludeTokensAndTheirParentFolders) {
  EXPECT_TRUE(s.IsIncludedPath(u"\\Anything", false, true));  // no list: the fallback
  EXPECT_FALSE(s.IsIncludedPath(u"\\Anything", false, false));
  s.restrictInclude = std::make_unique<CStringTokenizer>(u"\\Storage Card\\Music", u'|');
  const struct {
    const char16_t* path;
    bool alsoParents;
    bool included;
  } cases[] = {
      {u"\\Storage Card\\Music\\a.mp3", false, true}, {u"\\Storage Card\\Music2\\a.mp3", false, false},
      {u"\\Storage Card", false, false},              {u"\\Storage Card", true, true},
      {u"\\", true, true},                            {u"\\Storage", true, false},
      {u"\\Storage Card\\Mus", true, false},          {u"\\Storage Card\\Music", true, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(s.IsIncludedPath(c.path, c.alsoParents, true), c.included)
        << ::testing::PrintToString(std::u16string(c.path)) << " alsoParents " << c.alsoParents;
  }
  EXPECT_TRUE(s.IsIncludedPath(u"", false, true));
}

TEST_F(SettingsPaths, OmittedExtensionsCompareWholeExtensions) {
  wcscpy(s.omittedExtensions, u";m3u8;.WMA;*.lst;");
  const struct {
    const char16_t* ext;
    bool omitted;
  } cases[] = {
      {u"m3u8", true}, {u".m3u8", true}, {u"*.m3u8", true}, {u".m3u", false}, {u"m3", false},
      {u"wma", true},  {u".Wma", true},  {u"lst", true},    {u"st", false},   {u"", false},
      {u"*.", false},  {u"u8", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(s.IsExtensionOmitted(c.ext), c.omitted) << ::testing::PrintToString(std::u16string(c.ext));
  }
  EXPECT_FALSE(s.IsExtensionOmitted(nullptr));
}

TEST_F(SettingsPaths, ScaleBySpeedMatchesTheWorkedValues) {
  const struct {
    DWORD uiSpeed;
    int value;
    int factor;
    int result;
  } cases[] = {
      {1, 10, 5, 2},  {5, 10, 5, 10},  {9, 10, 5, 41}, {1, 0, 5, 0},     {3, 10, 0, 10},
      {4, 1, 5, 1},   // 0.5 truncates to 0, which becomes 1
      {6, 100, 1, 33}, {2, 100, 1, 125}, {0xFFFFFFFF, 1000000, 1000, 2147483647},
  };
  for (const auto& c : cases) {
    s.uiSpeed = c.uiSpeed;
    EXPECT_EQ(s.ScaleBySpeed(c.value, c.factor), c.result) << "uiSpeed " << c.uiSpeed << " value " << c.value;
  }
}

}  // namespace
}  // namespace zb::testing
