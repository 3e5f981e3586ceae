// File-name parts and extension stripping, with both separators and in place.
#include <gtest/gtest.h>

#include <string>

#include "settingsui/path_parts.h"

namespace {

TEST(PathParts, FileNamePartTakesTheTextAfterTheLaterSeparator) {
  const struct {
    const char16_t* path;
    const char16_t* name;
  } cases[] = {
      {u"\\Music\\song.mp3", u"song.mp3"},
      {u"http://host/dir\\x/file.ogg", u"file.ogg"},
      {u"\\a/b\\c", u"c"},
      {u"song", u"song"},
      {u"\\Music\\", u""},
  };
  for (const auto& c : cases) {
    WCHAR out[MAX_PATH];
    GetFileNamePart(out, c.path);
    EXPECT_EQ(std::u16string(out), c.name);
  }
  WCHAR same[MAX_PATH] = u"\\dir\\x.mp3";
  GetFileNamePart(same, same);
  EXPECT_EQ(std::u16string(same), u"x.mp3");
}

TEST(PathParts, StripExtensionEndsTheTextAtTheLastDot) {
  WCHAR out[MAX_PATH];
  WCHAR* dot = StripExtension(out, u"\\My.Music\\song.mp3");
  EXPECT_EQ(std::u16string(out), u"\\My.Music\\song");
  ASSERT_NE(dot, nullptr);
  EXPECT_EQ(dot - out, 14);
  EXPECT_EQ(StripExtension(out, u"song"), nullptr);
  EXPECT_EQ(std::u16string(out), u"song");
  WCHAR inPlace[MAX_PATH] = u"a.b.c";
  EXPECT_EQ(StripExtension(inPlace, inPlace), inPlace + 3);
  EXPECT_EQ(std::u16string(inPlace), u"a.b");
}

}  // namespace
