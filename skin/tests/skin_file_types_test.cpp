// The skin-file table: extensions by index, search masks and the type of a path.
#include <gtest/gtest.h>

#include <string>

#include "skin/skin_file_types.h"

namespace {

TEST(SkinFileTypes, ExtensionsByIndex) {
  const char16_t* expected[] = {u".zsz", u".wsz", u".skn"};
  for (int i = 0; i < 3; ++i) {
    WCHAR out[16] = {};
    EXPECT_NE(GetSkinFileExtension(i, out), 0);
    EXPECT_EQ(std::u16string(out), expected[i]);
  }
  WCHAR untouched[16] = u"keep";
  EXPECT_EQ(GetSkinFileExtension(3, untouched), 0);
  EXPECT_EQ(GetSkinFileExtension(-1, untouched), 0);
  EXPECT_EQ(std::u16string(untouched), u"keep");
}

TEST(SkinFileTypes, MasksByIndex) {
  const struct {
    int index;
    const char16_t* mask;
    int result;
  } cases[] = {{-1, u"*.zsz;*.wsz;*.skn", 1}, {0, u"*.zsz", 1}, {2, u"*.skn", 1}, {3, u"", 0}, {-2, u"", 0}};
  for (const auto& c : cases) {
    WCHAR out[32] = u"stale";
    EXPECT_EQ(BuildSkinFileMask(c.index, out), c.result) << c.index;
    EXPECT_EQ(std::u16string(out), c.mask) << c.index;
  }
}

TEST(SkinFileTypes, TypeOfAPath) {
  const struct {
    const char16_t* path;
    int type;
  } cases[] = {
      {u"\\Skins\\Dark.ZSZ", 1}, {u"a.wsz", 1},        {u"b.Skn", 2},     {u"c.zszz", 0},
      {u"noextension", 0},       {u"", 0},             {u"x.zsz.txt", 0}, {u"\\dir.zsz\\file", 0},
  };
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(GetSkinFileType(cases[i].path), cases[i].type) << "case " << i;
  EXPECT_EQ(GetSkinFileType(nullptr), 0);
}

}  // namespace
