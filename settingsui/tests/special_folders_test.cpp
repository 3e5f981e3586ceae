// Special folders on a device whose shell has no folder functions (the fixed paths), the
// program's own two ids, and the data-file lookup in the program's folder, memory, storage
// cards and the Windows folder.
#include <gtest/gtest.h>

#include "core/tests/product_device.h"
#include "settingsui/data_files.h"
#include "settingsui/special_folders.h"

namespace zb::testing {
namespace {

struct FolderCase {
  int id;
  const char16_t* path;
  BOOL fromShell;
};

void ExpectFolders(std::initializer_list<FolderCase> cases) {
  for (const FolderCase& c : cases) {
    WCHAR out[MAX_PATH];
    EXPECT_EQ(GetSpecialFolderPath(c.id, out), c.fromShell) << c.id;
    EXPECT_EQ(std::u16string(out), c.path) << c.id;
  }
}

TEST(SpecialFolders, FixedPathsWhenTheShellHasNone) {
  ProductDevice device;
  ExpectFolders({
      {2, u"\\Windows\\Start Menu\\Programs\\", FALSE}, {3, u"\\Windows\\Start Menu\\Settings\\", FALSE},
      {5, u"\\My Documents\\", FALSE},                  {7, u"\\Windows\\StartUp\\", FALSE},
      {11, u"\\Windows\\Start Menu\\", FALSE},          {26, u"\\Application Data\\", FALSE},
      {256, u"\\Windows\\", TRUE},                      {257, u"\\Program Files\\Zonbrel\\", TRUE},
      {99, u"\\", FALSE},
  });
}

TEST(SpecialFolders, TheShellsFoldersWhenItHasThem) {
  ProductDevice device("[libraries]\nceshell = absent\n");
  std::filesystem::copy_file(CESHELL_STUB_PATH, device.ProgramFile("ceshell.dll"));
  ExpectFolders({
      {5, u"\\Documents\\", TRUE},  // a backslash is added
      {26, u"\\Shell Data\\", TRUE},
      {2, u"\\Windows\\Start Menu\\Programs\\", FALSE},  // a folder the shell does not know
      {256, u"\\Windows\\", TRUE},
  });
}

void Touch(const std::u16string& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << std::string(path.begin(), path.end());
  CloseHandle(h);
}

std::vector<std::u16string> Found(const DataFilePath* table) {
  std::vector<std::u16string> out;
  for (int i = 0; table[i][0]; ++i) out.push_back(table[i]);
  return out;
}

class DataFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryW(u"\\My Documents", nullptr);
    CreateDirectoryW(u"\\My Documents\\Skins", nullptr);
    CreateDirectoryW(u"\\Windows", nullptr);
    CreateDirectoryW(u"\\Storage Card\\Themes", nullptr);
    Touch(u"\\Program Files\\Zonbrel\\Dark.roz");
    Touch(u"\\Storage Card\\Dark.roz");
    Touch(u"\\Storage Card\\Light.roz");
    Touch(u"\\Storage Card\\Themes\\Deep.roz");
    Touch(u"\\My Documents\\Skins\\Nested.roz");
    Touch(u"\\Windows\\Dark.roz");
    Touch(u"\\Windows\\Sys.wsz");
  }
  ProductDevice device;
};

TEST_F(DataFiles, TheProgramFolderAnswersFirstWithoutSearchingFurther) {
  EXPECT_EQ(std::u16string(FindDataFile(u"Dark.roz", TRUE, FALSE)), u"\\Program Files\\Zonbrel\\Dark.roz");
  EXPECT_EQ(std::u16string(FindDataFile(u"Light.roz", TRUE, FALSE)), u"\\Storage Card\\Light.roz");
  EXPECT_EQ(std::u16string(FindDataFile(u"Sys.wsz", TRUE, FALSE)), u"\\Windows\\Sys.wsz");
  EXPECT_EQ(std::u16string(FindDataFile(u"Sys.wsz", FALSE, FALSE)), u"");
  EXPECT_EQ(std::u16string(FindDataFile(u"Missing.roz;Light.roz", FALSE, FALSE)), u"\\Storage Card\\Light.roz");
}

TEST_F(DataFiles, EveryMatchOfEachNameInSearchOrder) {
  EXPECT_EQ(Found(FindDataFiles(u"Dark.roz;*.wsz", FALSE, TRUE, FALSE)),
            (std::vector<std::u16string>{u"\\Program Files\\Zonbrel\\Dark.roz", u"\\Storage Card\\Dark.roz",
                                         u"\\Windows\\Dark.roz", u"\\Windows\\Sys.wsz"}));
  // The second enumeration mode looks one folder deeper in memory and on the cards.
  std::vector<std::u16string> deep = Found(FindDataFiles(u"*.roz", FALSE, FALSE, TRUE));
  EXPECT_NE(std::find(deep.begin(), deep.end(), u"\\Storage Card\\Themes\\Deep.roz"), deep.end());
  EXPECT_NE(std::find(deep.begin(), deep.end(), u"\\My Documents\\Skins\\Nested.roz"), deep.end());
  std::vector<std::u16string> shallow = Found(FindDataFiles(u"*.roz", FALSE, FALSE, FALSE));
  EXPECT_EQ(std::find(shallow.begin(), shallow.end(), u"\\Storage Card\\Themes\\Deep.roz"), shallow.end());
  EXPECT_EQ(shallow.size(), 3u);
}

TEST_F(DataFiles, TheTableHoldsAHundredPaths) {
  CreateDirectoryW(u"\\Storage Card\\Many", nullptr);
  for (int i = 0; i < 120; ++i) {
    WCHAR name[MAX_PATH];
    wsprintfW(name, u"\\Storage Card\\Many\\skin%03d.roz", i);
    Touch(name);
  }
  EXPECT_EQ(Found(FindDataFiles(u"*.roz", FALSE, FALSE, TRUE)).size(), static_cast<size_t>(kMaxDataFiles));
}

TEST_F(DataFiles, WithASuffixAndWithoutAName) {
  WCHAR out[MAX_PATH] = u"stale";
  FindDataFileWithSuffix(out, u"Light", u".roz", FALSE, FALSE);
  EXPECT_EQ(std::u16string(out), u"\\Storage Card\\Light.roz");
  FindDataFileWithSuffix(out, u"", u".roz", FALSE, FALSE);
  EXPECT_EQ(std::u16string(out), u"");
  FindDataFileWithSuffix(out, u"Dark.roz", nullptr, FALSE, FALSE);
  EXPECT_EQ(std::u16string(out), u"\\Program Files\\Zonbrel\\Dark.roz");
  EXPECT_EQ(Found(FindDataFiles(std::u16string(280, u'a').c_str(), FALSE, TRUE, TRUE)).size(), 0u);
}

}  // namespace
}  // namespace zb::testing
