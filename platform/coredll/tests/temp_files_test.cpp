// The temporary folder and temporary file names: "\Temp\" made on use, names of the form
// prefix (three characters at most) + hexadecimal number + ".tmp", unique, and made on disk
// unless the caller chose the number.
#include <optional>
#include <set>

#include "files_fixture.h"

namespace zb::files::testing {
namespace {

class TempFilesTest : public FilesTest {};

// The number in a name of the form `start` + 1 to 4 upper-case hex digits + ".tmp".
std::optional<unsigned> NumberIn(std::u16string_view name, std::u16string_view start) {
  constexpr std::u16string_view kEnd = u".tmp";
  if (!name.starts_with(start) || !name.ends_with(kEnd)) return std::nullopt;
  std::u16string_view digits = name.substr(start.size(), name.size() - start.size() - kEnd.size());
  if (digits.empty() || digits.size() > 4) return std::nullopt;
  unsigned value = 0;
  for (char16_t c : digits) {
    if (c >= u'0' && c <= u'9') {
      value = value * 16 + (c - u'0');
    } else if (c >= u'A' && c <= u'F') {
      value = value * 16 + (c - u'A' + 10);
    } else {
      return std::nullopt;
    }
  }
  return value;
}

TEST_F(TempFilesTest, TempPathIsMadeOnUse) {
  ASSERT_FALSE(fs::exists(Host("Temp")));
  WCHAR buffer[MAX_PATH];
  EXPECT_EQ(GetTempPathW(MAX_PATH, buffer), 6u);
  EXPECT_EQ(std::u16string(buffer), u"\\Temp\\");
  EXPECT_TRUE(fs::is_directory(Host("Temp")));
}

TEST_F(TempFilesTest, TempPathTooLongForTheBufferGivesTheSizeNeeded) {
  WCHAR buffer[6] = {u'x', u'x', u'x', u'x', u'x', u'x'};
  EXPECT_EQ(GetTempPathW(6, buffer), 7u);
  EXPECT_EQ(buffer[0], u'x');
  EXPECT_EQ(GetTempPathW(0, nullptr), 7u);
}

TEST_F(TempFilesTest, ExistingTempFolderInAnotherCaseIsUsed) {
  fs::create_directories(Host("TEMP"));
  WCHAR buffer[MAX_PATH];
  GetTempPathW(MAX_PATH, buffer);
  EXPECT_FALSE(fs::exists(Host("Temp")));  // no second temp folder beside it
  WCHAR name[MAX_PATH];
  ASSERT_NE(GetTempFileNameW(buffer, u"zb", 0, name), 0u);
  EXPECT_EQ(std::distance(fs::directory_iterator(Host("TEMP")), fs::directory_iterator()), 1);
}

TEST_F(TempFilesTest, GeneratedNamesAreUniqueAndMade) {
  WCHAR folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  std::set<std::u16string> names;
  for (int i = 0; i < 40; ++i) {
    WCHAR name[MAX_PATH];
    UINT number = GetTempFileNameW(folder, u"rsrc", 0, name);
    ASSERT_NE(number, 0u);
    std::string text = ToUtf8(name);
    std::optional<unsigned> inName = NumberIn(name, u"\\Temp\\rsr");
    ASSERT_TRUE(inName) << text;
    EXPECT_EQ(*inName, number) << text;
    EXPECT_EQ(GetFileAttributesW(name), DWORD(FILE_ATTRIBUTE_NORMAL)) << text;
    EXPECT_TRUE(names.insert(name).second) << text;
  }
}

struct NameCase {
  const char16_t* folder;
  const char16_t* prefix;
  UINT unique;
  const char16_t* name;
  UINT result;
};

const NameCase kNames[] = {
    {u"\\Temp", u"abc", 0x1A2B, u"\\Temp\\abc1A2B.tmp", 0x1A2B},
    {u"\\Temp\\", u"abcdef", 0xF, u"\\Temp\\abcF.tmp", 0xF},
    {u"\\Temp", u"", 0xBEEF, u"\\Temp\\BEEF.tmp", 0xBEEF},
    {u"\\Temp", nullptr, 1, u"\\Temp\\1.tmp", 1},
    {u"\\Temp", u"x", 0x12345, u"\\Temp\\x2345.tmp", 0x2345},  // the number's low 16 bits
    {u"/temp", u"p", 0xA, u"/temp\\pA.tmp", 0xA},
};

TEST_F(TempFilesTest, CallersNumberGivesTheNameOnly) {
  fs::create_directories(Host("Temp"));
  for (const NameCase& c : kNames) {
    WCHAR name[MAX_PATH] = {};
    EXPECT_EQ(GetTempFileNameW(c.folder, c.prefix, c.unique, name), c.result) << ToUtf8(c.name);
    EXPECT_EQ(std::u16string(name), c.name);
  }
  EXPECT_TRUE(fs::is_empty(Host("Temp")));
}

TEST_F(TempFilesTest, GeneratedNameOnACardAndWithoutPrefix) {
  WCHAR name[MAX_PATH];
  UINT number = GetTempFileNameW(u"\\Storage Card", nullptr, 0, name);
  ASSERT_NE(number, 0u);
  EXPECT_EQ(NumberIn(name, u"\\Storage Card\\"), number) << ToUtf8(name);
  EXPECT_EQ(std::distance(fs::directory_iterator(device_.card()), fs::directory_iterator()), 1);
}

TEST_F(TempFilesTest, Refusals) {
  Put(Host("file.txt"), "x");
  std::u16string deep = u"\\" + std::u16string(250, u'd');
  fs::create_directories(Host(std::string(250, 'd')));
  const std::tuple<const char16_t*, const char16_t*, DWORD> cases[] = {
      {u"\\None", u"abc", ERROR_PATH_NOT_FOUND},
      {u"\\None\\Deeper", u"abc", ERROR_PATH_NOT_FOUND},
      {u"\\file.txt", u"abc", ERROR_DIRECTORY},
      {u"\\Temp2", u"abc", ERROR_PATH_NOT_FOUND},
      {nullptr, u"abc", ERROR_INVALID_PARAMETER},
      {u"\\", u"a*", ERROR_INVALID_NAME},
      {deep.c_str(), u"abc", ERROR_BUFFER_OVERFLOW},
  };
  for (auto [folder, prefix, error] : cases) {
    WCHAR name[MAX_PATH];
    PoisonLastError();
    EXPECT_EQ(GetTempFileNameW(folder, prefix, 0, name), 0u) << (folder ? ToUtf8(folder).substr(0, 20) : "NULL");
    EXPECT_EQ(GetLastError(), error) << (folder ? ToUtf8(folder).substr(0, 20) : "NULL");
  }
  EXPECT_EQ(GetTempFileNameW(u"\\", u"abc", 0, nullptr), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(fs::is_empty(Host(std::string(250, 'd'))));
}

}  // namespace
}  // namespace zb::files::testing
