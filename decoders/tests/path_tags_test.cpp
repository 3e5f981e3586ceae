// Tags from paths: every row of the name table at formatting complexity 2, the lower
// complexities, which tags may be replaced, the name, time and size tags, and CheckItem.
#include "decoder_test_support.h"
#include "file_source.h"
#include "item_text.h"

namespace {

using namespace zbtest;
constexpr DWORD kDerived = 0x80027533u;

struct GuessRow {
  const char* row;  // the name-table row the case stands for
  const char16_t* path;
  const char16_t* artist;
  const char16_t* album;
  const char16_t* title;
  long track;  // -99999: none
};

constexpr GuessRow kNameTable[] = {
    {"no separator", u"\\Artist\\Album\\Song.mp3", u"Artist", u"Album", u"Song", -99999},
    {"nothing after the first separator", u"\\Art\\Alb\\Song -.mp3", u"Art", u"Alb", u"Song -", -99999},
    {"no separator, folder album cut to its artist", u"\\Top\\Artist - Album\\Song.mp3", u"Top", u"Artist", u"Song", -99999},
    {"two parts, first a number, folder album", u"\\X\\Artist - Album\\07 Song.mp3", u"Artist", u"Album", u"Song", 7},
    {"two parts, first a number, no folder album", u"\\Artist\\Album\\03 - Song.mp3", u"Artist", u"Album", u"Song", 3},
    {"two parts, second a number", u"\\Artist\\Album\\Song - 04.mp3", u"Album", u"Album", u"Song", 4},
    {"two parts, no number, folder album", u"\\X\\Artist - Album\\Intro - Outro.mp3", u"Artist", u"Album", u"Intro - Outro", -99999},
    {"two parts, no number, no folder album", u"\\Music\\Misc\\Band - Song.mp3", u"Band", u"Misc", u"Song", -99999},
    {"three parts, first a number, no folder album", u"\\Music\\Misc\\05 - Band - Song.mp3", u"Band", u"Misc", u"Song", 5},
    {"three parts, first a number, folder album", u"\\X\\Artist - Album\\05 - Part - Two.mp3", u"Artist", u"Album", u"Part - Two", 5},
    {"three parts, second a number, no folder album", u"\\Music\\Misc\\Record - 06 - Song.mp3", u"Misc", u"Record", u"Song", 6},
    {"three parts, second a number, folder album", u"\\X\\Artist - Album\\Other - 06 - Song.mp3", u"Artist", u"Album", u"Song", 6},
    {"three parts, third a number with a further separator", u"\\Music\\Misc\\Band - Record - 09 - Song.mp3", u"Band", u"Record", u"Song", 9},
    {"three parts, third a number with a further dash", u"\\Music\\Misc\\Band-Record-09-Song.mp3", u"Band", u"Record", u"Song", 9},
    {"three parts, third a number, no further separator, folder album", u"\\X\\Artist - Album\\Part - One - 10.mp3", u"Artist", u"Artist", u"Part - One", 10},
    {"three parts, third a number, no further separator, no folder album", u"\\Music\\Misc\\Record - Song - 11.mp3", u"Misc", u"Record", u"Song", 11},
    {"three parts, no number, no folder album", u"\\Music\\Misc\\Band - Record - Song.mp3", u"Band", u"Record", u"Song", -99999},
    {"three parts, no number, folder album", u"\\X\\Artist - Album\\A - B - C.mp3", u"Artist", u"Album", u"A - B - C", -99999},
    {"a separator at the start counts as none", u"\\Artist\\Album\\-Song.mp3", u"Artist", u"Album", u"-Song", -99999},
};

class PathTagsTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    Settings().formattingSmart = 1;
    Settings().formattingReplaceAny = 0;
    Settings().formattingComplexity = 2;
  }
  InputSource source_ = MakeFileSource();
};

TEST_F(PathTagsTest, EveryRowOfTheNameTable) {
  for (const GuessRow& row : kNameTable) {
    SCOPED_TRACE(row.row);
    ItemHolder item;
    ASSERT_EQ(source_.ReadInfo(&source_, row.path, item), S_OK);
    EXPECT_EQ(StringTag(item, TAG_ARTIST), row.artist);
    EXPECT_EQ(StringTag(item, TAG_ALBUM), row.album);
    EXPECT_EQ(StringTag(item, TAG_SONG_TITLE), row.title);
    EXPECT_EQ(IntTag(item, TAG_TRACK_NUMBER), row.track);
    std::vector<DWORD> derived = {TAG_ARTIST, TAG_SONG_TITLE, TAG_ALBUM};
    if (row.track > 0) derived.push_back(TAG_TRACK_NUMBER);
    EXPECT_EQ(IntInstances(item, kDerived), derived);
  }
}

TEST_F(PathTagsTest, LowerComplexitiesUseLessOfTheNames) {
  const struct {
    int complexity;
    const char16_t* artist;
    const char16_t* album;
    const char16_t* title;
  } kCases[] = {
      {1, u"Artist", u"Album", u"Song"},
      {0, u"<none>", u"<none>", u"Song"},
      {-1, u"<none>", u"<none>", u"<none>"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.complexity);
    Settings().formattingComplexity = static_cast<DWORD>(c.complexity);
    ItemHolder item;
    source_.ReadInfo(&source_, u"\\Artist\\Album\\Song.mp3", item);
    EXPECT_EQ(StringTag(item, TAG_ARTIST), c.artist);
    EXPECT_EQ(StringTag(item, TAG_ALBUM), c.album);
    EXPECT_EQ(StringTag(item, TAG_SONG_TITLE), c.title);
  }
  Settings().formattingComplexity = 1;
  ItemHolder item;
  source_.ReadInfo(&source_, u"\\X\\Artist - Album\\07 Song.mp3", item);
  EXPECT_EQ(StringTag(item, TAG_SONG_TITLE), u"07 Song");  // no splitting below 2
  EXPECT_EQ(StringTag(item, TAG_ALBUM), u"Artist - Album");
}

TEST_F(PathTagsTest, ExistingTagsDecideWhatIsGuessed) {
  {  // Without replacing, an item that has any of the three gets no guess at all.
    ItemHolder item;
    item->SetString(TAG_ARTIST, u"Known");
    source_.ReadInfo(&source_, u"\\A\\B\\05 - Band - Song.mp3", item);
    EXPECT_EQ(StringTag(item, TAG_ARTIST), u"Known");
    EXPECT_EQ(StringTag(item, TAG_SONG_TITLE), u"<none>");
    EXPECT_TRUE(IntInstances(item, kDerived).empty());
  }
  Settings().formattingReplaceAny = 1;
  {  // Replacing: every guess is written and listed.
    ItemHolder item;
    item->SetString(TAG_ARTIST, u"Known");
    source_.ReadInfo(&source_, u"\\A\\B\\05 - Band - Song.mp3", item);
    EXPECT_EQ(StringTag(item, TAG_ARTIST), u"Band");
    EXPECT_EQ(StringTag(item, TAG_SONG_TITLE), u"Song");
    EXPECT_EQ(IntInstances(item, kDerived), (std::vector<DWORD>{TAG_ARTIST, TAG_SONG_TITLE, TAG_ALBUM, TAG_TRACK_NUMBER}));
  }
  {  // All three present: nothing to guess.
    ItemHolder item;
    for (DWORD id : {TAG_ARTIST, TAG_ALBUM, TAG_SONG_TITLE}) item->SetString(id, u"Known");
    source_.ReadInfo(&source_, u"\\A\\B\\05 - Band - Song.mp3", item);
    EXPECT_EQ(StringTag(item, TAG_ARTIST), u"Known");
    EXPECT_TRUE(IntInstances(item, kDerived).empty());
  }
  Settings().formattingSmart = 0;
  ItemHolder item;
  source_.ReadInfo(&source_, u"\\A\\B\\Song.mp3", item);
  EXPECT_EQ(StringTag(item, TAG_SONG_TITLE), u"<none>");
}

TEST_F(PathTagsTest, NameTimeAndSizeTags) {
  WriteHostFile(device_.Host("Music/Band/Tune.Live.mp3"), RandomBytes(1234, 1));
  ItemHolder item;
  ASSERT_EQ(source_.ReadInfo(&source_, u"\\Music\\Band\\Tune.Live.mp3", item), S_OK);
  EXPECT_EQ(StringTag(item, TAG_FILE), u"\\Music\\Band\\Tune.Live.mp3");
  EXPECT_EQ(StringTag(item, TAG_FILE_PATH), u"\\Music\\Band");
  EXPECT_EQ(StringTag(item, TAG_FILE_NAME), u"Tune.Live");
  EXPECT_EQ(StringTag(item, TAG_FILE_EXTENSION), u"mp3");
  EXPECT_EQ(IntTag(item, TAG_SIZE), 1234);
  FILETIME written{};
  EXPECT_EQ(item->GetFileTime(TAG_ID(2008, TAG_TYPE_DATE), &written), S_OK);
  EXPECT_NE(written.dwHighDateTime, 0u);

  ItemHolder bare;
  source_.ReadInfo(&source_, u"\\NoExtension", bare);
  EXPECT_EQ(StringTag(bare, TAG_FILE_NAME), u"NoExtension");
  EXPECT_EQ(StringTag(bare, TAG_FILE_EXTENSION), u"<none>");
  EXPECT_EQ(IntTag(bare, TAG_SIZE), -99999);  // no such file: no size, no times

  ItemHolder share;
  source_.ReadInfo(&source_, u"\\\\server\\share\\Song.mp3", share);
  EXPECT_EQ(StringTag(share, TAG_FILE_NAME), u"Song");
  EXPECT_EQ(IntTag(share, TAG_SIZE), -99999);
}

TEST_F(PathTagsTest, BadArgumentsFail) {
  ItemHolder item;
  EXPECT_EQ(source_.ReadInfo(&source_, u"relative.mp3", item), E_FAIL);
  EXPECT_EQ(source_.ReadInfo(&source_, nullptr, item), E_FAIL);
  EXPECT_EQ(source_.ReadInfo(nullptr, u"\\a.mp3", item), E_FAIL);
  EXPECT_EQ(source_.ReadInfo(&source_, u"\\a.mp3", nullptr), E_FAIL);
  BOOL changed = 5;
  WIN32_FIND_DATAW data{};
  EXPECT_EQ(source_.CheckItem(&source_, u"\\a.mp3", 2, &data, item, &changed), E_FAIL);
  EXPECT_EQ(source_.CheckItem(&source_, u"a.mp3", 1, &data, item, &changed), E_FAIL);
  EXPECT_EQ(source_.CheckItem(&source_, u"\\a.mp3", 1, nullptr, item, &changed), E_FAIL);
  EXPECT_EQ(changed, 5);
}

TEST_F(PathTagsTest, CheckItemComparesSizeAndWholeSecondsOfTheLastWrite) {
  WIN32_FIND_DATAW data{};
  data.nFileSizeLow = 5000;
  const ULONGLONG ticks = 130000000000000000ull + 3000000;  // 0.3 s into a second
  data.ftLastWriteTime = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  const struct {
    const char* what;
    LONG size;
    ULONGLONG written;
    BOOL changed;
  } kCases[] = {
      {"same", 5000, ticks, FALSE},
      {"same second", 5000, ticks + 6000000, FALSE},
      {"next second", 5000, ticks + 7000000, TRUE},
      {"other size", 5001, ticks, TRUE},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    ItemHolder item;
    item->SetInt(TAG_SIZE, c.size);
    const FILETIME written = {static_cast<DWORD>(c.written), static_cast<DWORD>(c.written >> 32)};
    item->SetFileTime(TAG_ID(2008, TAG_TYPE_DATE), &written);
    BOOL changed = 7;
    ASSERT_EQ(source_.CheckItem(&source_, u"\\a.mp3", 1, &data, item, &changed), S_OK);
    EXPECT_EQ(changed, c.changed);
  }
  ItemHolder empty;
  BOOL changed = FALSE;
  source_.CheckItem(&source_, u"\\a.mp3", 1, &data, empty, &changed);
  EXPECT_TRUE(changed);
}

}  // namespace
