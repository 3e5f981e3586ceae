// The bookmark list: its file byte for byte, the older registry value as a fall-back that is
// moved into the file, the bound on resume positions, and the lookups.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/settings/bookmark_list.h"
#include "core/settings/registry_values.h"
#include "core/settings/settings.h"
#include "product_device.h"

namespace zb::testing {
namespace {

using Bytes = std::vector<BYTE>;

// One entry of the file's form: 4 position bytes, the UTF-16 text and its terminator.
Bytes Entry(LONG position, std::u16string_view text) {
  Bytes out;
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<BYTE>(static_cast<DWORD>(position) >> shift));
  for (char16_t c : text) {
    out.push_back(static_cast<BYTE>(c & 0xFF));
    out.push_back(static_cast<BYTE>(c >> 8));
  }
  out.insert(out.end(), {0, 0});
  return out;
}

Bytes Image(std::initializer_list<Bytes> entries) {
  Bytes out;
  for (const Bytes& e : entries) out.insert(out.end(), e.begin(), e.end());
  out.insert(out.end(), {0, 0});
  return out;
}

class Bookmarks : public ::testing::Test {
 protected:
  void TearDown() override { DestroySettings(); }
  Bytes FileBytes() const { return ReadBytes(device.ProgramFile("bookmarks.dat")); }
  HKEY SettingsKey() {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
  }
  ProductDevice device;
  CBookmarkList list{nullptr, u"bookmarks.dat"};
};

TEST_F(Bookmarks, SavedFilesHaveTheDocumentedBytes) {
  const struct {
    const char* what;
    std::vector<std::pair<std::u16string, LONG>> entries;
    Bytes bytes;
  } cases[] = {
      {"empty", {}, {0, 0}},
      {"one entry",
       {{u"abc", 5000}},
       {0x88, 0x13, 0x00, 0x00, 'a', 0, 'b', 0, 'c', 0, 0, 0, 0, 0}},
      {"two entries, a bookmark and a negative position",
       {{u"\\x.mp3", 1}, {u"*Mark \u00E9", -2}},
       Image({Entry(1, u"\\x.mp3"), Entry(-2, u"*Mark \u00E9")})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CBookmarkList fresh(nullptr, u"bookmarks.dat");
    for (const auto& [text, position] : c.entries) fresh.Set(text.c_str(), position);
    ASSERT_TRUE(fresh.Save());
    EXPECT_EQ(FileBytes(), c.bytes);
    size_t chars = 0;
    for (const auto& e : c.entries) chars += e.first.size();
    EXPECT_EQ(FileBytes().size(), 2 * (chars + 3 * c.entries.size() + 1));
    CBookmarkList read(nullptr, u"bookmarks.dat");
    read.ReadBookmarksFile();
    ASSERT_EQ(read.Entries().size(), c.entries.size());
    for (size_t i = 0; i < c.entries.size(); ++i) {
      EXPECT_EQ(read.Entries()[i].text, c.entries[i].first);
      EXPECT_EQ(read.Entries()[i].position, c.entries[i].second);
    }
  }
}

TEST_F(Bookmarks, SettingAPathAgainUnderOtherCapitalsMovesItToTheEnd) {
  list.Set(u"\\Music\\a.mp3", 10);
  list.Set(u"\\Music\\b.mp3", 20);
  list.Set(u"\\MUSIC\\A.MP3", 30);
  ASSERT_EQ(list.Entries().size(), 2u);
  EXPECT_EQ(list.Entries()[0].text, u"\\Music\\b.mp3");
  EXPECT_EQ(list.Entries()[1].text, u"\\MUSIC\\A.MP3");
  EXPECT_EQ(list.GetPosition(u"\\music\\a.mp3"), 30);
  list.Set(u"\\Music\\a.mp3", -1);  // a removal
  EXPECT_EQ(list.Find(u"\\Music\\A.mp3"), -1);
  EXPECT_EQ(list.GetPosition(u"\\Music\\a.mp3"), -1);
}

TEST_F(Bookmarks, TheBoundDropsTheOldestPlainEntryAndNeverABookmark) {
  GetSettings()->bookmarkTableSize = 2;
  list.Set(u"*first mark", 1);
  list.Set(u"\\a.mp3", 10);
  list.Set(u"*second mark", 2);
  list.Set(u"\\b.mp3", 20);
  list.Set(u"\\c.mp3", 30);
  std::vector<std::u16string> texts;
  for (const auto& e : list.Entries()) texts.push_back(e.text);
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"*first mark", u"*second mark", u"\\b.mp3", u"\\c.mp3"}));
  for (int i = 0; i < 5; ++i) list.Set((u"*mark " + std::u16string(1, u'0' + i)).c_str(), i);
  EXPECT_EQ(list.CountPlain(), 2);  // bookmarks do not count towards the bound
  EXPECT_EQ(list.Entries().size(), 9u);
}

TEST_F(Bookmarks, LookupsByKind) {
  list.Set(u"\\a.mp3", 10);
  list.Set(u"*one", 100);
  list.Set(u"\\b.mp3", 20);
  list.Set(u"*two", 200);
  EXPECT_EQ(list.GetLastPlain(), u"\\b.mp3");
  LONG position = -7;
  EXPECT_EQ(list.GetBookmark(1, &position), u"*two");
  EXPECT_EQ(position, 200);
  position = -7;
  EXPECT_EQ(list.GetBookmark(2, &position), u"");
  EXPECT_EQ(position, -7);
  EXPECT_EQ(list.IndexOfPlain(0), 0);
  EXPECT_EQ(list.IndexOfPlain(1), 2);
  EXPECT_EQ(list.IndexOfPlain(2), -1);
  EXPECT_EQ(list.CountPlain(), 2);
  EXPECT_EQ(list.Find(u"*TWO"), 3);
  CBookmarkList empty(nullptr, u"bookmarks.dat");
  EXPECT_EQ(empty.GetLastPlain(), u"");
}

TEST_F(Bookmarks, TheCacheAnswersTheSamePathAndAnotherCaseSearchesAgain) {
  list.Set(u"\\a.mp3", 10);
  EXPECT_EQ(list.GetPosition(u"\\a.mp3"), 10);
  list.Set(u"\\A.MP3", 99);  // Set empties the cache
  EXPECT_EQ(list.GetPosition(u"\\a.mp3"), 99);
  EXPECT_EQ(list.GetPosition(u"\\A.mp3"), 99);
  EXPECT_EQ(list.GetPosition(u"\\missing.mp3"), -1);
  EXPECT_EQ(list.GetPosition(u"\\A.mp3"), 99);
}

TEST_F(Bookmarks, ACutShortOrOddFileEndsWithItsLastWholeEntry) {
  const struct {
    const char* what;
    Bytes bytes;
    std::vector<std::u16string> texts;
  } cases[] = {
      {"text without terminator", [] { Bytes b = Image({Entry(1, u"\\a"), Entry(2, u"\\b")}); b.resize(b.size() - 4); return b; }(),
       {u"\\a"}},
      {"second entry cut inside its text", [] { Bytes b = Image({Entry(1, u"\\a")}); b.resize(b.size() - 2); b.insert(b.end(), {1, 0, 0, 0, 'x', 0}); return b; }(),
       {u"\\a"}},
      {"no closing terminator", [] { Bytes b = Image({Entry(1, u"\\a")}); b.resize(b.size() - 2); return b; }(), {u"\\a"}},
      {"four bytes", {1, 2, 3, 4}, {}},
      {"odd size", [] { Bytes b = Image({Entry(7, u"\\x")}); b.push_back(0x41); return b; }(), {u"\\x"}},
      {"duplicates collapse", Image({Entry(1, u"\\a"), Entry(2, u"\\A")}), {u"\\A"}},
  };
  auto readTexts = [] {
    CBookmarkList read(nullptr, u"bookmarks.dat");
    read.ReadBookmarksFile();
    std::vector<std::u16string> texts;
    for (const auto& e : read.Entries()) texts.push_back(e.text);
    return texts;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(device.ProgramFile("bookmarks.dat"), c.bytes);
    EXPECT_EQ(readTexts(), c.texts);
    // The same bytes as the older registry value: its size bounds the reading as the file's does.
    std::filesystem::remove(device.ProgramFile("bookmarks.dat"));
    HKEY key = SettingsKey();
    WriteRegBinary(key, u"Bookmarks", c.bytes.data(), static_cast<DWORD>(c.bytes.size()));
    RegCloseKey(key);
    EXPECT_EQ(readTexts(), c.texts) << "from the registry";
  }
}

TEST_F(Bookmarks, TheRegistryValueIsMovedIntoTheFileAndThenDeleted) {
  const Bytes image = Image({Entry(5000, u"\\Music\\a.mp3"), Entry(60, u"*Chapter 2")});
  HKEY key = SettingsKey();
  WriteRegBinary(key, u"Bookmarks", image.data(), static_cast<DWORD>(image.size()));
  list.ReadBookmarksFile();
  ASSERT_EQ(list.Entries().size(), 2u);
  EXPECT_EQ(list.GetPosition(u"\\Music\\a.mp3"), 5000);
  EXPECT_EQ(FileBytes(), image);
  EXPECT_FALSE(ValueExists(key, u"Bookmarks"));
  RegCloseKey(key);
}

TEST_F(Bookmarks, TheRegistryValueStaysWhenTheFileCannotBeWritten) {
  const Bytes image = Image({Entry(5000, u"\\Music\\a.mp3")});
  HKEY key = SettingsKey();
  WriteRegBinary(key, u"Bookmarks", image.data(), static_cast<DWORD>(image.size()));
  CBookmarkList elsewhere(nullptr, u"No Such Folder\\bookmarks.dat");
  elsewhere.ReadBookmarksFile();
  EXPECT_EQ(elsewhere.Entries().size(), 1u);
  EXPECT_TRUE(ValueExists(key, u"Bookmarks"));  // its entries are nowhere else yet
  RegCloseKey(key);
}

TEST_F(Bookmarks, AValueOfAnotherTypeIsDeletedAndGivesAnEmptyList) {
  HKEY key = SettingsKey();
  WriteRegText(key, u"Bookmarks", u"not a list");
  list.ReadBookmarksFile();
  EXPECT_TRUE(list.Entries().empty());
  EXPECT_FALSE(ValueExists(key, u"Bookmarks"));
  RegCloseKey(key);
}

TEST_F(Bookmarks, TheRegistryIsNotReadWhenTheFileExists) {
  WriteBytes(device.ProgramFile("bookmarks.dat"), Image({Entry(1, u"\\file.mp3")}));
  const Bytes image = Image({Entry(2, u"\\registry.mp3")});
  HKEY key = SettingsKey();
  WriteRegBinary(key, u"Bookmarks", image.data(), static_cast<DWORD>(image.size()));
  list.ReadBookmarksFile();
  ASSERT_EQ(list.Entries().size(), 1u);
  EXPECT_EQ(list.Entries()[0].text, u"\\file.mp3");
  EXPECT_TRUE(ValueExists(key, u"Bookmarks"));
  RegCloseKey(key);
}

TEST_F(Bookmarks, AShortWriteKeepsTheEarlierFileAndIsReported) {
  list.Set(u"\\first.mp3", 1);
  ASSERT_TRUE(list.Save());
  const Bytes before = FileBytes();
  for (int i = 0; i < 50; ++i) list.Set((u"\\Music\\a rather long path name " + std::u16string(1, u'A' + i % 26) + u".mp3").c_str(), i);
  {
    FileSizeLimit limit(64);
    EXPECT_FALSE(list.Save());
  }
  EXPECT_EQ(FileBytes(), before);
  EXPECT_FALSE(std::filesystem::exists(device.ProgramFile("bookmarks.dat.new")));
}

}  // namespace
}  // namespace zb::testing
