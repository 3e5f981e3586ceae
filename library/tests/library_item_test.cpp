// Library-bound items and read-only views: writes reach the database and the next read loads them
// again, conversions that fail and writes that cannot happen are reported, a read-only item writes
// nothing, a sibling of the same entry hears of a change while the writer does not, a clone is an
// item of its own, and reading never leaves a converted copy in the cache.
#include <gtest/gtest.h>

#include "library_item.h"
#include "tag_storage_fixture.h"

namespace {

using namespace libtest;
using testing_helpers::NewItem;
using testing_helpers::Ref;
using testing_helpers::Take;

std::u16string StringOf(IMediaItem* item, DWORD tag) {
  BSTR text = nullptr;
  if (FAILED(item->GetString(tag, &text))) return u"<none>";
  return Take(text);
}

class LibraryItemTest : public TagStorageTest {
 protected:
  void SetUp() override {
    TagStorageTest::SetUp();
    Ref<CMediaItem> item = NewItem(u"\\a.mp3");
    item->SetString(TAG_ARTIST, u"5 Seconds");
    item->SetInt(TAG_RATING, 20);
    ASSERT_EQ(Store(item), S_OK);
    mid_ = MidOf(u"\\a.mp3");
  }
  Ref<IMediaItem> Bound(DWORD readOnly = 0) {
    Ref<IMediaItem> item;
    EXPECT_EQ(library_->FindItem(u"\\a.mp3", item.out(), readOnly), S_OK);
    return item;
  }
  // Every tag row of the entry, for comparing before and after.
  std::u16string ShellSnapshot() {
    CLibraryLock lock(library_);
    CSqlQuery q = library_->Database()->ExecQuery(
        u"select group_concat(x) from (select tag || '=' || value as x from int_tags union all "
        u"select tag || '=' || strid from str_tags union all select tag || '=' || blobid from blob_tags);");
    return q.Eof() ? u"" : q.GetText(0, u"");
  }
  int StoredRating() { return Scalar(u"select value from int_tags where tag=" + std::u16string(u"132074") + u";"); }

  DWORD mid_ = 0;
};

TEST_F(LibraryItemTest, ARatingWrittenAsTextReadsBackThroughTheDatabase) {
  Ref<IMediaItem> item = Bound();
  LONG rating = 0;
  ASSERT_EQ(item->GetInt(TAG_RATING, &rating), S_OK);
  EXPECT_EQ(rating, 20);
  EXPECT_EQ(item->SetString(TAG_RATING, u"80"), S_OK);
  EXPECT_EQ(StoredRating(), 80) << "in the database";
  ASSERT_EQ(item->GetInt(TAG_RATING, &rating), S_OK);
  EXPECT_EQ(rating, 80);
  EXPECT_EQ(item->SetInt(TAG_ARTIST, 5), S_OK);
  EXPECT_EQ(StringOf(item.get(), TAG_ARTIST), u"5");
}

TEST_F(LibraryItemTest, AFailedConversionOrASuspendedWriteIsReported) {
  Ref<IMediaItem> item = Bound();
  EXPECT_EQ(item->SetString(TAG_RATING, u"abc"), E_INVALIDARG);
  EXPECT_EQ(StoredRating(), 20) << "nothing written";
  EXPECT_EQ(item->SetInt(TAG_PLAY_COUNT, 1), E_FAIL) << "a multi-valued id goes through SetInstance";
  EXPECT_EQ(item->SetInt(TAG_ID(0, TAG_TYPE_INT), 1), E_FAIL);

  Exec("PRAGMA max_page_count = " + std::to_string(Scalar(u"PRAGMA page_count;")) + ";");
  const std::string row(1500, 'x');
  for (int i = 0; i < 2000 && !library_->WriteSuspended(); ++i) {
    Exec("insert into media values (NULL, '" + row + std::to_string(i) + "', 1, 0, 0, 0, 0);");
  }
  ASSERT_TRUE(library_->WriteSuspended());
  EXPECT_EQ(item->SetInt(TAG_RATING, 99), E_FAIL);
  LONG rating = 0;
  ASSERT_EQ(item->GetInt(TAG_RATING, &rating), S_OK);
  EXPECT_EQ(rating, 20);
}

TEST_F(LibraryItemTest, AReadOnlyItemWritesNothing) {
  Ref<IMediaItem> item = Bound(1);
  const std::u16string before = ShellSnapshot();
  const GUID guid{};
  const SYSTEMTIME date = testing_helpers::Date(2001, 1, 1);
  const FILETIME file{};
  EXPECT_EQ(item->SetGuid(TAG_MEDIA_TYPE, guid), E_FAIL);
  EXPECT_EQ(item->SetBytes(TAG_MCDI, "x", 1), E_FAIL);
  EXPECT_EQ(item->SetSystemTime(TAG_RELEASE_DATE, &date), E_FAIL);
  EXPECT_EQ(item->SetFileTime(TAG_RELEASE_DATE, &file), E_FAIL);
  EXPECT_EQ(item->SetFloat(TAG_REPLAYGAIN_TRACK_GAIN, 1), E_FAIL);
  EXPECT_EQ(item->SetInt(TAG_RATING, 1), E_FAIL);
  EXPECT_EQ(item->SetString(TAG_ARTIST, u"x"), E_FAIL);
  EXPECT_EQ(item->SetInstance(TAG_GENRE_COLLECTION, 1, u"x", 4), E_FAIL);
  EXPECT_EQ(item->Clear(), E_FAIL);
  EXPECT_EQ(item->RemoveTag(TAG_ARTIST), E_FAIL);
  EXPECT_EQ(item->RemoveAt(0), E_FAIL);
  EXPECT_EQ(item->RemoveInstance(TAG_ARTIST, 0), E_FAIL);
  IStream* stream = nullptr;
  EXPECT_EQ(item->CreateBlobStream(TAG_MCDI, 0, &stream, 4), E_FAIL);
  EXPECT_EQ(ShellSnapshot(), before);
  BOOL readOnly = FALSE;
  ASSERT_EQ(item->IsReadOnlyAt(0, &readOnly), S_OK);
  EXPECT_TRUE(readOnly);
  Ref<IMediaItem> clone(item->Clone());
  EXPECT_EQ(clone->SetInt(TAG_RATING, 1), E_FAIL) << "a clone of a read-only item is read-only";
}

TEST_F(LibraryItemTest, ASiblingHearsOfAChangeTheWriterDoesNot) {
  Ref<IMediaItem> writer = Bound();
  Ref<IMediaItem> sibling = Bound();
  EXPECT_EQ(StringOf(sibling.get(), TAG_ARTIST), u"5 Seconds");  // now cached
  auto* w = static_cast<CLibraryItem*>(writer.get());
  auto* s = static_cast<CLibraryItem*>(sibling.get());
  ASSERT_EQ(w->SetCachedString(TAG_ALBUM, u"only cached"), S_OK);
  ASSERT_EQ(s->SetCachedString(TAG_ALBUM, u"only cached"), S_OK);
  library_->NotifyItemsOfRow(mid_, writer.get());
  EXPECT_EQ(StringOf(writer.get(), TAG_ALBUM), u"only cached") << "the writer is not told";
  EXPECT_EQ(StringOf(sibling.get(), TAG_ALBUM), u"<none>") << "the sibling dropped its cache";

  EXPECT_EQ(StringOf(sibling.get(), TAG_ARTIST), u"5 Seconds");
  ASSERT_EQ(writer->SetString(TAG_ARTIST, u"New"), S_OK);
  EXPECT_EQ(StringOf(sibling.get(), TAG_ARTIST), u"New");
}

TEST_F(LibraryItemTest, AWrittenCloneIsSeenByItsOriginal) {
  Ref<IMediaItem> original = Bound();
  LONG index = -1;
  ASSERT_EQ(original->IndexOfTag(TAG_ARTIST, &index), S_OK);  // loads the whole row
  Ref<IMediaItem> clone(original->Clone());
  ASSERT_NE(clone.get(), nullptr);
  IUnknown* bound = nullptr;
  ASSERT_EQ(clone->QueryInterface(IID_ILibraryItem, reinterpret_cast<void**>(&bound)), S_OK);
  bound->Release();
  ASSERT_EQ(clone->SetString(TAG_ARTIST, u"Cloned"), S_OK);
  EXPECT_EQ(StringOf(original.get(), TAG_ARTIST), u"Cloned");
  ASSERT_EQ(static_cast<CLibraryItem*>(clone.get())->SetCachedString(TAG_ALBUM, u"clone's"), S_OK);
  EXPECT_EQ(StringOf(original.get(), TAG_ALBUM), u"<none>") << "the clone's cache is its own";
}

TEST_F(LibraryItemTest, ReadingAsAnotherTypeLeavesTheStoredValueAlone) {
  Ref<IMediaItem> item = Bound();
  LONG number = 0;
  ASSERT_EQ(item->GetInt(TAG_ARTIST, &number), S_OK);
  EXPECT_EQ(number, 5);
  EXPECT_EQ(StringOf(item.get(), TAG_ARTIST), u"5 Seconds") << "not the converted 5";
  float rating = 0;
  ASSERT_EQ(item->GetFloat(TAG_RATING, &rating), S_OK);
  LONG stored = 0;
  ASSERT_EQ(item->GetInt(TAG_RATING, &stored), S_OK);
  EXPECT_EQ(stored, 20);
}

TEST_F(LibraryItemTest, CountsPresenceAndRemovalGoToTheRow) {
  Ref<IMediaItem> item = Bound();
  DWORD count = 0;
  ASSERT_EQ(item->GetTagCount(&count), S_OK);
  EXPECT_EQ(count, 4u) << "artist, rating and the two store times";
  BOOL present = FALSE;
  ASSERT_EQ(item->HasTag(TAG_RATING, &present), S_OK);
  EXPECT_TRUE(present);
  EXPECT_EQ(item->HasTag(TAG_RATING, nullptr), E_FAIL);
  ASSERT_EQ(item->RemoveTag(TAG_RATING), S_OK);
  ASSERT_EQ(item->HasTag(TAG_RATING, &present), S_OK);
  EXPECT_FALSE(present);
  ASSERT_EQ(item->Clear(), S_OK);
  ASSERT_EQ(item->GetTagCount(&count), S_OK);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(Scalar(u"select count(*) from str_tags;"), 0);
}

TEST_F(LibraryItemTest, ABlobStreamOfTheItemWritesItsTag) {
  Ref<IMediaItem> item = Bound();
  IStream* stream = nullptr;
  ASSERT_EQ(item->CreateBlobStream(TAG_MCDI, 0, &stream, 3), S_OK);
  ULONG done = 0;
  stream->Write("abc", 3, &done);
  stream->Release();
  ASSERT_EQ(item->OpenBlobStream(TAG_MCDI, 0, &stream), S_OK);
  char bytes[3] = {};
  stream->Read(bytes, 3, &done);
  stream->Release();
  EXPECT_EQ(std::string(bytes, 3), "abc");
  DWORD size = 0;
  ASSERT_EQ(item->GetBytes(TAG_MCDI, nullptr, &size), S_OK);
  EXPECT_EQ(size, 3u);
}

TEST_F(LibraryItemTest, AReadOnlyViewForwardsReadsAndRefusesWrites) {
  Ref<IMediaItem> item = Bound();
  Ref<IMediaItem> view(CreateReadOnlyItem(item.get()));
  LONG rating = 0;
  ASSERT_EQ(view->GetInt(TAG_RATING, &rating), S_OK);
  EXPECT_EQ(rating, 20);
  EXPECT_EQ(view->SetInt(TAG_RATING, 1), E_FAIL);
  EXPECT_EQ(view->Clear(), E_FAIL);
  EXPECT_EQ(StoredRating(), 20);
  BOOL readOnly = FALSE;
  EXPECT_EQ(view->IsReadOnlyAt(5, &readOnly), S_OK);
  EXPECT_TRUE(readOnly);
  BOOL present = FALSE;
  EXPECT_EQ(view->HasTag(TAG_ARTIST, &present), S_OK);
  EXPECT_TRUE(present);
  IUnknown* bound = nullptr;
  EXPECT_EQ(view->QueryInterface(IID_ILibraryItem, reinterpret_cast<void**>(&bound)), E_NOINTERFACE);
  Ref<IMediaItem> empty(CreateReadOnlyItem(nullptr));
  EXPECT_EQ(empty->GetInt(TAG_RATING, &rating), E_FAIL);
}

TEST_F(LibraryItemTest, ServiceItemsAreHiddenEntriesThatHoldTheirBatch) {
  Ref<IMediaItem> service;
  BOOL created = FALSE;
  EXPECT_EQ(library_->OpenServiceItem(u"podcasts", service.out(), &created), E_FAIL) << "creating not allowed";
  created = TRUE;
  ASSERT_EQ(library_->OpenServiceItem(u"podcasts", service.out(), &created), S_OK);
  EXPECT_TRUE(created);
  ASSERT_EQ(service->SetString(TAG_ARTIST, u"feeds"), S_OK);
  EXPECT_GT(library_->Database()->TransactionDepth(), 0) << "its batch is open";
  Ref<IMediaItem> none;
  EXPECT_EQ(library_->OpenItem(u"zblc.svc.podcasts", LIBITEM_BOUND, LIBOPEN_OPEN_EXISTING, none.out()), E_FAIL);
  IMediaItem* held = service.get();
  *service.out() = nullptr;
  held->Release();
  EXPECT_EQ(library_->Database()->TransactionDepth(), 0) << "its release ends the batch";
  EXPECT_EQ(ShellAfterClose("select value from str_data order by value;"), "5 Seconds\nfeeds");
}

}  // namespace
