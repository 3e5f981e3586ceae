// A query's list keeps its rows as text and makes each row's library item when first asked for:
// the item must be the one the query would have made then (source, preloaded text, the row's
// current values after a write), one item per entry however it is reached, and the list must
// outlive the library's connection.
#include <gtest/gtest.h>

#include <thread>

#include "library_item.h"
#include "query_fixture.h"

namespace libtest {
namespace {

class QueryListTest : public QueryTest {
 protected:
  // Every present entry with its title preloaded, or with `extra` as the preloaded tag.
  Ref<IMediaList> All(DWORD extra = TAG_SONG_TITLE) {
    Ref<IMediaItem> query = NewQuery();
    Param(query.get(), QPARAM_FLAGS, QFLAG_PRELOAD);
    const LONG column = static_cast<LONG>(extra);
    query->SetInstance(QTAG_EXTRA_COLUMN, 0, &column, sizeof column);
    Ref<IMediaList> list;
    EXPECT_EQ(library_->QueryMedia(query.get(), list.out()), S_OK);
    return list;
  }
  static Ref<IMediaItem> At(IMediaList* list, LONG index) {
    Ref<IMediaItem> item;
    EXPECT_EQ(list->GetItem(index, item.out()), S_OK);
    return item;
  }
  static std::u16string Text(IMediaItem* item, DWORD tag) {
    BSTR text = nullptr;
    if (FAILED(item->GetString(tag, &text))) return u"<none>";
    return testing_helpers::Take(text);
  }
  static std::u16string SourceOf(IMediaItem* item) {
    BSTR source = nullptr;
    item->GetSource(&source);
    return testing_helpers::Take(source);
  }
};

TEST_F(QueryListTest, ItemsCarryTheRowsSourceAndPreloadedText) {
  // One entry beyond ASCII, so both ways the list keeps texts are read back.
  Ref<CMediaItem> odd(CreateMediaItem());
  odd->SetSource(u"\\Music\\Caf\u00e9 \u266b.mp3");
  odd->SetString(TAG_SONG_TITLE, u"\u00c9t\u00e9 \u4e16\u754c");
  ASSERT_EQ(library_->StoreItem(odd.get()), S_OK);

  Ref<IMediaList> list = All();
  DWORD count = 0;
  list->GetCount(&count);
  const auto expected = Column("select source from media where valid >= 1 order by mid;");
  ASSERT_EQ(count, expected.size());
  for (DWORD i = 0; i < count; ++i) {
    Ref<IMediaItem> item = At(list.get(), static_cast<LONG>(i));
    const std::u16string source = SourceOf(item.get());
    EXPECT_EQ(expected[i], source);
    LONG index = -1;
    EXPECT_EQ(static_cast<CLibraryItem*>(item.get())->HasCachedTag(TAG_SONG_TITLE, &index), S_OK);
    if (source == u"\\Music\\Caf\u00e9 \u266b.mp3") {
      EXPECT_EQ(Text(item.get(), TAG_SONG_TITLE), u"\u00c9t\u00e9 \u4e16\u754c");
    }
  }
  Ref<IMediaItem> found;
  ASSERT_EQ(list->FindBySource(u"\\MUSIC\\CAF\u00e9 \u266b.MP3", found.out()), S_OK);
  EXPECT_EQ(Text(found.get(), TAG_SONG_TITLE), u"\u00c9t\u00e9 \u4e16\u754c");
}

TEST_F(QueryListTest, AWriteAfterTheQueryIsWhatTheItemAndTheSortSee) {
  Ref<IMediaList> list = All(TAG_ARTIST);
  DWORD count = 0;
  list->GetCount(&count);
  ASSERT_GT(count, 10u);
  // The last entry's artist changes through an item of its own after the list was made.
  const std::u16string source = SourceOf(At(list.get(), static_cast<LONG>(count - 1)).get());
  Ref<IMediaItem> writer;
  ASSERT_EQ(library_->OpenItem(source.c_str(), LIBITEM_BOUND, LIBOPEN_OPEN_EXISTING, writer.out()), S_OK);
  ASSERT_EQ(writer->SetString(TAG_ARTIST, u"ZZZ First"), S_OK);

  // Another entry, never made into an item before the write, reads its row as it is now.
  Ref<IMediaList> other = All(TAG_ARTIST);
  Ref<IMediaItem> second;
  ASSERT_EQ(writer->SetString(TAG_ARTIST, u"ZZZ Again"), S_OK);
  ASSERT_EQ(other->FindBySource(source.c_str(), second.out()), S_OK);
  EXPECT_EQ(Text(second.get(), TAG_ARTIST), u"ZZZ Again");

  // Descending, so that entries without an artist go last.
  const DWORD tags[] = {TAG_ARTIST}, ascending[] = {0};
  ASSERT_EQ(other->Sort(tags, ascending, 1), S_OK);
  EXPECT_EQ(SourceOf(At(other.get(), 0).get()), source);
}

TEST_F(QueryListTest, OneEntryHasOneItemHoweverItIsReached) {
  Ref<IMediaList> list = All();
  Ref<IMediaItem> first = At(list.get(), 3);
  EXPECT_EQ(At(list.get(), 3).get(), first.get());

  // Asked for from several threads at once, every entry still gets one item.
  DWORD count = 0;
  list->GetCount(&count);
  std::vector<IMediaItem*> seen[2];
  std::thread readers[2];
  for (int t = 0; t < 2; ++t) {
    readers[t] = std::thread([&, t] {
      for (DWORD i = 0; i < count; ++i) {
        IMediaItem* item = nullptr;
        list->GetItem(static_cast<LONG>(i), &item);
        seen[t].push_back(item);
        if (item) item->Release();
      }
    });
  }
  for (auto& reader : readers) reader.join();
  EXPECT_EQ(seen[0], seen[1]);

  // An entry kept twice is one item twice; the others stay as they were.
  Ref<IMediaList> fresh = All();
  const LONG keep[] = {5, 2, 5};
  ASSERT_EQ(fresh->KeepIndices(keep, 3), S_OK);
  EXPECT_EQ(At(fresh.get(), 1).get(), At(fresh.get(), 2).get());
  EXPECT_NE(At(fresh.get(), 0).get(), At(fresh.get(), 1).get());
  EXPECT_EQ(SourceOf(At(fresh.get(), 0).get()), SourceOf(At(list.get(), 2).get()));
}

TEST_F(QueryListTest, TheListOutlivesTheLibrarysConnection) {
  Ref<IMediaList> list = All();
  DWORD count = 0;
  list->GetCount(&count);
  ASSERT_GT(count, 0u);
  const auto sources = Column("select source from media where valid >= 1 order by mid;");
  CloseLibrary();
  Ref<IMediaItem> item = At(list.get(), static_cast<LONG>(count - 1));
  EXPECT_EQ(SourceOf(item.get()), sources.back());
  EXPECT_NE(Text(item.get(), TAG_SONG_TITLE), u"<none>");  // the preloaded text, from the query
}

}  // namespace
}  // namespace libtest
