// The shell's places and files: special folders, shortcut targets, file information with the
// system's small icons, and the user's text size.
#include "shell_support.h"

#include <filesystem>
#include <fstream>

namespace {

using namespace stest;

using FoldersTest = ShellTest;

struct FolderCase {
  int csidl;
  const char16_t* path;
};

const FolderCase kFolders[] = {
    {CSIDL_PERSONAL, u"\\My Documents"},
    {CSIDL_MYMUSIC, u"\\My Documents\\My Music"},
    {CSIDL_PROGRAMS, u"\\Windows\\Start Menu\\Programs"},
    {CSIDL_STARTUP, u"\\Windows\\StartUp"},
    {CSIDL_FAVORITES, u"\\Windows\\Favorites"},
    {CSIDL_APPDATA, u"\\Application Data"},
    {CSIDL_PROGRAM_FILES, u"\\Program Files"},
    {CSIDL_WINDOWS, u"\\Windows"},
};

TEST_F(FoldersTest, SpecialFoldersAreMadeWhenAsked) {
  for (const FolderCase& c : kFolders) {
    SCOPED_TRACE(c.csidl);
    WCHAR path[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPath(nullptr, path, c.csidl, TRUE));
    EXPECT_EQ(std::u16string(path), c.path);
    EXPECT_TRUE(GetFileAttributesW(path) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_NE(GetFileAttributesW(path), 0xFFFFFFFF);
  }
  WCHAR path[MAX_PATH] = {};
  EXPECT_TRUE(SHGetSpecialFolderPath(nullptr, path, CSIDL_MYPICTURES, FALSE));
  EXPECT_EQ(GetFileAttributesW(path), 0xFFFFFFFF) << "not made unless asked";
  EXPECT_FALSE(SHGetSpecialFolderPath(nullptr, path, 0x77, FALSE));
}

TEST_F(FoldersTest, ShortcutTargets) {
  std::filesystem::create_directories(device_.Host("Windows"));
  std::ofstream(device_.Host("Windows/player.lnk")) << "25#\"\\Program Files\\Zonbrel\\zonbrel.exe\"\r\n";
  std::ofstream(device_.Host("Windows/music.lnk")) << "13#\\Storage Card";
  std::ofstream(device_.Host("Windows/broken.lnk")) << "no target here";
  WCHAR target[MAX_PATH] = {};
  ASSERT_TRUE(SHGetShortcutTarget(u"\\Windows\\player.lnk", target, MAX_PATH));
  EXPECT_EQ(std::u16string(target), u"\"\\Program Files\\Zonbrel\\zonbrel.exe\"") << "the quotes are the caller's to strip";
  ASSERT_TRUE(SHGetShortcutTarget(u"\\Windows\\music.lnk", target, 8));
  EXPECT_EQ(std::u16string(target), u"\\Storag") << "cut to the buffer";
  EXPECT_FALSE(SHGetShortcutTarget(u"\\Windows\\broken.lnk", target, MAX_PATH));
  EXPECT_FALSE(SHGetShortcutTarget(u"\\Windows\\missing.lnk", target, MAX_PATH));
}

struct InfoCase {
  const char16_t* path;
  DWORD attributes;
  int icon;  // folder 0, card 1, document 2, music 3, playlist 4, picture 5, video 6, program 7
  const char16_t* type;
};

const InfoCase kInfo[] = {
    {u"dummy.txt", FILE_ATTRIBUTE_NORMAL, 2, u"TXT File"}, {u"song.MP3", 0, 3, u"MP3 File"},
    {u"list.m3u", 0, 4, u"M3U File"},                      {u"cover.jpg", 0, 5, u"JPG File"},
    {u"clip.wmv", 0, 6, u"WMV File"},                      {u"setup.exe", 0, 7, u"EXE File"},
    {u"\\My Documents", FILE_ATTRIBUTE_DIRECTORY, 0, u"Folder"},
    {u"\\Storage Card", FILE_ATTRIBUTE_DIRECTORY, 1, u"Folder"},
    {u"README", 0, 2, u"File"},
};

TEST_F(FoldersTest, FileInformationAndTheSystemSmallIcons) {
  HIMAGELIST list = nullptr;
  for (const InfoCase& c : kInfo) {
    SCOPED_TRACE(zb::ToUtf8(c.path));
    SHFILEINFO info{};
    const DWORD_PTR r = SHGetFileInfo(c.path, c.attributes, &info, sizeof info,
                                      SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_TYPENAME);
    ASSERT_NE(r, 0u);
    if (!list) list = reinterpret_cast<HIMAGELIST>(r);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(r), list) << "one list for all";
    EXPECT_EQ(info.iIcon, c.icon);
    EXPECT_EQ(std::u16string(info.szTypeName), c.type);
  }
  int cx = 0, cy = 0;
  ASSERT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
  EXPECT_EQ(cx, GetSystemMetrics(SM_CXSMICON));
  EXPECT_EQ(ImageList_GetImageCount(list), 8);
  // From the disk: a file that is there, one that is not.
  std::filesystem::create_directories(device_.Host("My Documents"));
  std::ofstream(device_.Host("My Documents/a.ogg")) << "x";
  SHFILEINFO info{};
  EXPECT_TRUE(SHGetFileInfo(u"\\My Documents\\a.ogg", 0, &info, sizeof info, SHGFI_DISPLAYNAME | SHGFI_ATTRIBUTES));
  EXPECT_EQ(std::u16string(info.szDisplayName), u"a.ogg");
  EXPECT_FALSE(info.dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(SHGetFileInfo(u"\\My Documents\\none.ogg", 0, &info, sizeof info, SHGFI_DISPLAYNAME), 0u);
}

TEST_F(FoldersTest, UserInterfaceMetricsFollowTheUsersTextSize) {
  DWORD value = 0, needed = 0;
  ASSERT_EQ(SHGetUIMetrics(SHUIM_FONTSIZE_POINT, &value, sizeof value, &needed), S_OK);
  EXPECT_EQ(value, 9u);
  EXPECT_EQ(needed, sizeof(DWORD));
  ASSERT_EQ(SHGetUIMetrics(SHUIM_FONTSIZE_PIXEL, &value, sizeof value, nullptr), S_OK);
  EXPECT_EQ(value, 12u) << "9 points at 96 dpi";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"ControlPanel\\Appearance", 0, nullptr, 0, 0, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const DWORD large = 12;
  RegSetValueExW(key, u"FontSize", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&large), sizeof large);
  RegCloseKey(key);
  ASSERT_EQ(SHGetUIMetrics(SHUIM_FONTSIZE_PERCENTAGE, &value, sizeof value, nullptr), S_OK);
  EXPECT_EQ(value, 133u);
  EXPECT_NE(SHGetUIMetrics(SHUIM_FONTSIZE_POINT, &value, 2, &needed), S_OK);
  EXPECT_EQ(SHGetUIMetrics(SHUIM_INVALID, &value, sizeof value, nullptr), E_INVALIDARG);
}

}  // namespace
