// Tag storage: whole items stored and loaded with every value type; the kept and overriding tags
// across a re-store; a failed read that never replaces a good entry; the temporary source; shared
// strings with their reference counts, checked with the sqlite3 shell after scripted sequences;
// dates with their full and text values; deleting and counting tags.
#include <gtest/gtest.h>

#include <optional>

#include "tag_rows.h"
#include "tag_storage_fixture.h"
#include "tag_value.h"

namespace {

using namespace libtest;
using testing_helpers::Date;
using testing_helpers::NewItem;
using testing_helpers::Ref;
using testing_helpers::Take;

constexpr GUID kGuid = {0x01020304, 0x0506, 0x0708, {9, 10, 11, 12, 13, 14, 15, 16}};

TEST_F(TagStorageTest, AnItemComesBackWithEveryTypeAndInstance) {
  Ref<CMediaItem> item = NewItem(u"\\Music\\a.mp3");
  item->SetString(TAG_ARTIST, u"Artist");
  item->SetInt(TAG_TRACK_NUMBER, 7);
  item->SetFloat(TAG_REPLAYGAIN_TRACK_GAIN, -3.5f);
  const SYSTEMTIME released = Date(2007, 10, 16, 12, 30, 5);
  item->SetSystemTime(TAG_RELEASE_DATE, &released);
  item->SetGuid(TAG_MEDIA_TYPE, kGuid);
  item->SetBytes(TAG_MCDI, "\x01\x02\x03\x04\x05", 5);
  item->SetInstance(TAG_GENRE_COLLECTION, 1, u"Rock", sizeof u"Rock");
  item->SetInstance(TAG_GENRE_COLLECTION, 2, u"Pop", sizeof u"Pop");
  ASSERT_EQ(Store(item), S_OK);

  Ref<CMediaItem> loaded = Load(u"\\MUSIC\\A.MP3");
  EXPECT_EQ(Take([&] { BSTR s = nullptr; loaded->GetString(TAG_ARTIST, &s); return s; }()), u"Artist");
  LONG track = 0;
  EXPECT_EQ(loaded->GetInt(TAG_TRACK_NUMBER, &track), S_OK);
  EXPECT_EQ(track, 7);
  float gain = 0;
  EXPECT_EQ(loaded->GetFloat(TAG_REPLAYGAIN_TRACK_GAIN, &gain), S_OK);
  EXPECT_FLOAT_EQ(gain, -3.5f);
  SYSTEMTIME date{};
  EXPECT_EQ(loaded->GetSystemTime(TAG_RELEASE_DATE, &date), S_OK);
  EXPECT_EQ(CompareDates(date, released, false), 0);
  GUID guid{};
  EXPECT_EQ(loaded->GetGuid(TAG_MEDIA_TYPE, &guid), S_OK);
  EXPECT_EQ(guid, kGuid);
  BYTE bytes[5] = {};
  DWORD size = sizeof bytes;
  EXPECT_EQ(loaded->GetBytes(TAG_MCDI, bytes, &size), S_OK);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 5), std::string("\x01\x02\x03\x04\x05", 5));
  WCHAR genre[16] = {};
  size = sizeof genre;
  EXPECT_EQ(loaded->GetInstance(TAG_GENRE_COLLECTION, 2, genre, &size), S_OK);
  EXPECT_EQ(std::u16string(genre), u"Pop");
  BOOL has = FALSE;
  loaded->HasTag(0x00047918, &has);
  EXPECT_TRUE(has) << "the time of the first store";
  loaded->HasTag(0x00047919, &has);
  EXPECT_TRUE(has) << "the time of the last store";
  EXPECT_EQ(library_->LoadItem(u"\\Music\\none.mp3", loaded.get()), E_FAIL);
}

struct KeepCase {
  const char* name;
  DWORD tag;
  std::optional<LONG> inLibrary;
  std::optional<LONG> inItem;
  DWORD listedIn;  // 0, kKeepList or kOverrideList: the new item names the tag there
  std::optional<LONG> expected;
};

class KeptTagsTest : public TagStorageTest, public ::testing::WithParamInterface<KeepCase> {};

void SetNumber(CMediaItem* item, DWORD tag, LONG value) {
  if (TAG_IS_MULTI(tag)) item->SetInstance(tag, 0, &value, sizeof value);
  else item->SetInt(tag, value);
}

TEST_P(KeptTagsTest, AReStoreKeepsOrOverridesTheLibrarysValue) {
  const KeepCase& c = GetParam();
  Ref<CMediaItem> first = NewItem(u"\\Music\\a.mp3");
  first->SetString(TAG_ARTIST, u"First");
  if (c.inLibrary) SetNumber(first.get(), c.tag, *c.inLibrary);
  ASSERT_EQ(Store(first), S_OK);

  Ref<CMediaItem> second = NewItem(u"\\Music\\a.mp3");
  second->SetString(TAG_ARTIST, u"Second");
  if (c.inItem) SetNumber(second.get(), c.tag, *c.inItem);
  if (c.listedIn) second->SetInstance(c.listedIn, c.tag, &c.tag, sizeof(LONG));
  ASSERT_EQ(Store(second), S_OK);

  const CTagValue stored = library_->GetTagValue(MidOf(u"\\Music\\a.mp3"), c.tag, 0);
  if (c.expected) {
    ASSERT_EQ(stored.id, c.tag);
    EXPECT_EQ(stored.integer, *c.expected);
  } else {
    EXPECT_EQ(stored.id, 0u) << "no value";
  }
  EXPECT_EQ(Scalar(u"select count(*) from media;"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Matrix, KeptTagsTest,
    ::testing::Values(KeepCase{"PlayCountIsKept", kPlayCount, 12, 0, 0, 12},
                      KeepCase{"RatingOfTheItemOverrides", kRating, 3, 5, 0, 5},
                      KeepCase{"RatingOfTheLibraryStaysWithoutOne", kRating, 3, std::nullopt, 0, 3},
                      KeepCase{"AutoRatingIsKept", kAutoRating, 40, 90, 0, 40},
                      KeepCase{"AKeptTagTheLibraryLacksIsWritten", kPlayCount, std::nullopt, 4, 0, 4},
                      KeepCase{"AnOrdinaryTagIsReplaced", TAG_TRACK_NUMBER, 3, 5, 0, 5},
                      KeepCase{"AnOrdinaryTagTheItemLacksGoes", TAG_TRACK_NUMBER, 3, std::nullopt, 0, std::nullopt},
                      KeepCase{"TheItemAsksToKeepATag", TAG_TRACK_NUMBER, 3, 5, kKeepList, 3},
                      KeepCase{"TheItemAsksToOverrideAKeptTag", kPlayCount, 12, 0, kOverrideList, 0}),
    [](const ::testing::TestParamInfo<KeepCase>& info) { return std::string(info.param.name); });

TEST_F(TagStorageTest, AFailedReadNeverReplacesAGoodEntry) {
  Ref<CMediaItem> good = NewItem();
  good->SetString(TAG_ARTIST, u"Good");
  ASSERT_EQ(Store(good), S_OK);
  Ref<CMediaItem> failed = NewItem();
  failed->SetInt(TAG_READ_FAILED, 1);
  EXPECT_EQ(Store(failed), S_OK);
  Ref<CMediaItem> loaded = Load(u"\\Music\\a.mp3");
  EXPECT_EQ(Take([&] { BSTR s = nullptr; loaded->GetString(TAG_ARTIST, &s); return s; }()), u"Good");
  BOOL has = TRUE;
  loaded->HasTag(TAG_READ_FAILED, &has);
  EXPECT_FALSE(has);
}

TEST_F(TagStorageTest, StoringNeedsASourceAndAConnection) {
  Ref<CMediaItem> nameless(CreateMediaItem());
  EXPECT_EQ(library_->StoreEntry(nameless.get()), E_FAIL);
  EXPECT_EQ(library_->StoreEntry(nullptr), E_FAIL);
  CloseLibrary();
  auto* closed = new CMediaLibrary(GetModuleHandleW(nullptr), nullptr);
  EXPECT_EQ(closed->StoreEntry(NewItem().get()), E_FAIL);
  closed->Release();
}

// A scripted sequence of stores, re-stores and removals; the shell then checks every reference
// count against the rows that use it, and that nothing is left over.
TEST_F(TagStorageTest, SharedRowsKeepTheirCountsThroughStoresUpdatesAndRemovals) {
  auto store = [&](const char16_t* source, const char16_t* artist, const char16_t* album, const char* art) {
    Ref<CMediaItem> item = NewItem(source);
    item->SetString(TAG_ARTIST, artist);
    item->SetString(TAG_ALBUM, album);
    item->SetBytes(TAG_MCDI, art, 4);
    item->SetInt(kPlayCount, 1);
    ASSERT_EQ(Store(item), S_OK);
  };
  store(u"\\a.mp3", u"Shared", u"One", "ART1");
  store(u"\\b.mp3", u"Shared", u"Two", "ART1");
  store(u"\\c.mp3", u"Other", u"One", "ART2");
  store(u"\\a.mp3", u"Changed", u"One", "ART2");  // re-store: one use of "Shared" and ART1 goes
  ASSERT_EQ(library_->DeleteItems(u"\\c.mp3"), S_OK);
  const DWORD b = MidOf(u"\\b.mp3");
  ASSERT_EQ(library_->DeleteTag(b, TAG_ALBUM, 0, nullptr), S_OK);
  ASSERT_EQ(library_->SetTagValue(b, CTagValue::ForText(TAG_ARTIST, u"Changed"), FALSE, nullptr), S_OK);

  CloseLibrary();
  EXPECT_EQ(ShellValue(HostDb(), kConsistency), kConsistent);
  EXPECT_EQ(ShellValue(HostDb(), "select value || ':' || refcnt from str_data order by value;"),
            "Changed:2\nOne:1");
  EXPECT_EQ(ShellValue(HostDb(), "select value || ':' || refcnt from blob_data order by value;"), "ART1:1\nART2:1")
      << "ART1 lost a's use, ART2 lost c's";
  EXPECT_EQ(ShellValue(HostDb(), "select group_concat(source) from (select source from media order by source);"),
            "\\a.mp3,\\b.mp3");
  EXPECT_EQ(ShellValue(HostDb(), "PRAGMA integrity_check;"), "ok");
}

TEST_F(TagStorageTest, TwoTagsWithOneTextShareARowUntilBothGo) {
  Ref<CMediaItem> item = NewItem();
  item->SetString(TAG_ARTIST, u"Same");
  item->SetString(TAG_ALBUM_ARTIST, u"Same");
  item->SetString(TAG_ALBUM, u"same");  // case matters
  ASSERT_EQ(Store(item), S_OK);
  const DWORD mid = MidOf(u"\\Music\\a.mp3");
  EXPECT_EQ(Scalar(u"select refcnt from str_data where value='Same';"), 2);
  EXPECT_EQ(Scalar(u"select count(*) from str_data;"), 2);
  library_->DeleteTag(mid, TAG_ARTIST, 0, nullptr);
  EXPECT_EQ(Scalar(u"select refcnt from str_data where value='Same';"), 1);
  library_->DeleteTag(mid, TAG_ALBUM_ARTIST, 0, nullptr);
  EXPECT_EQ(Scalar(u"select count(*) from str_data where value='Same';"), 0);
  EXPECT_EQ(ShellAfterClose(kConsistency), kConsistent);
}

struct DateCase {
  const char16_t* text;
  const char16_t* full;
};

TEST(FullDateValue, IsCompletedStepByStepOrLeftAsItIs) {
  const DateCase cases[] = {
      {u"2007", u"2007-01-01 00:00:00"},
      {u"2007-10", u"2007-10-01 00:00:00"},
      {u"2007-10-16", u"2007-10-16 00:00:00"},
      {u"2007-10-16 12", u"2007-10-16 12:00:00"},
      {u"2007-10-16 12:30", u"2007-10-16 12:30:00"},
      {u"2007-10-16 12:30:45", u"2007-10-16 12:30:45"},
      {u"07", u"07"},
      {u"2007-1", u"2007-1"},
  };
  for (const DateCase& c : cases) EXPECT_EQ(FullDateValue(c.text), c.full) << testing_helpers::Narrow(c.text);
}

TEST_F(TagStorageTest, DatesAreStoredWithTheirTextAndTheirFullValue) {
  Exec("insert into media values (5, '\\d.mp3', 1, 0, 0, 0, 0);");
  const DWORD mid = 5;
  ASSERT_EQ(library_->SetTagValue(mid, CTagValue::ForText(TAG_RELEASE_DATE, u"2007"), FALSE, nullptr), S_OK);
  ASSERT_EQ(library_->SetTagValue(mid, CTagValue::ForSystemTime(0x00047918, Date(2007, 10, 16, 12, 30)), FALSE,
                                  nullptr),
            S_OK);
  EXPECT_EQ(library_->SetTagValue(mid, CTagValue::ForSystemTime(0x00047919, Date(0)), FALSE, nullptr), E_FAIL)
      << "a date without text is not written";
  EXPECT_EQ(ShellAfterClose("select svalue || '|' || dvalue from date_tags order by tag;"),
            "2007|2007-01-01 00:00:00\n2007-10-16 12:30:00|2007-10-16 12:30:00");
}

TEST_F(TagStorageTest, DeletingASingleTagTakesEveryInstanceAMultiTagOnlyOne) {
  Exec("insert into media values (5, '\\d.mp3', 1, 0, 0, 0, 0);"
       "insert into int_tags values (5, 132073, 0, 1); insert into int_tags values (5, 132073, 2, 2);"
       "insert into int_tags values (5, -2147346575, 1, 10); insert into int_tags values (5, -2147346575, 2, 20);");
  DWORD count = 0;
  ASSERT_EQ(library_->CountTags(5, &count), S_OK);
  EXPECT_EQ(count, 4u);
  EXPECT_EQ(library_->DeleteTag(5, TAG_TRACK_NUMBER, 2, nullptr), S_OK);
  EXPECT_EQ(Scalar(u"select count(*) from int_tags where tag=132073;"), 0) << "single-valued: all instances";
  EXPECT_EQ(library_->DeleteTag(5, kPlayCount, 2, nullptr), S_OK);
  EXPECT_EQ(Scalar(u"select group_concat(instance) from int_tags where tag=-2147346575;"), 1);
  EXPECT_EQ(library_->CountTags(5, nullptr), E_POINTER);
  EXPECT_EQ(library_->CountTags(0, &count), E_FAIL);
  EXPECT_EQ(library_->DeleteEntryTags(5, nullptr), S_OK);
  ASSERT_EQ(library_->CountTags(5, &count), S_OK);
  EXPECT_EQ(count, 0u);
}

TEST_F(TagStorageTest, ValuesStagedInTheTemporaryTablesMoveWithAReStore) {
  Ref<CMediaItem> item = NewItem();
  item->SetString(TAG_ARTIST, u"A");
  ASSERT_EQ(Store(item), S_OK);
  library_->ChangeMode(LIBMODE_TEMP_TAGS, 0);
  ASSERT_EQ(library_->SetTagValue(MidOf(u"\\Music\\a.mp3"), CTagValue::ForInt(kPlayCount, 9), FALSE, nullptr), S_OK);
  ASSERT_EQ(Store(item), S_OK);
  library_->ChangeMode(0, LIBMODE_TEMP_TAGS);
  const CTagValue count = library_->GetTagValue(MidOf(u"\\Music\\a.mp3"), kPlayCount, 0);
  EXPECT_EQ(count.integer, 9);
  EXPECT_EQ(ShellAfterClose(kConsistency), kConsistent);
}

TEST_F(TagStorageTest, AStoreWhileWritingIsSuspendedIsRefusedAndLeavesNothing) {
  Ref<CMediaItem> item = NewItem();
  item->SetString(TAG_ARTIST, u"A");
  Exec("PRAGMA max_page_count = " + std::to_string(Scalar(u"PRAGMA page_count;")) + ";");
  const std::string row(1500, 'x');
  for (int i = 0; i < 2000 && !library_->WriteSuspended(); ++i) {
    Exec("insert into media values (NULL, '" + row + std::to_string(i) + "', 1, 0, 0, 0, 0);");
  }
  ASSERT_TRUE(library_->WriteSuspended());
  EXPECT_EQ(Store(item), E_FAIL);
  EXPECT_EQ(library_->ItemExists(u"\\Music\\a.mp3"), E_FAIL);
  EXPECT_EQ(library_->SetTagValue(1, CTagValue::ForInt(TAG_RATING, 1), FALSE, nullptr), E_FAIL);
}

}  // namespace
