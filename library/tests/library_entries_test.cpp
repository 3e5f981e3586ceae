// Entries through the library's interface: status, lookups and deletes by source, the scan's
// marks and invalidation with their events, listeners and their filters (including the value
// events the schema's triggers raise), and the checks OpenItem makes before anything else.
#include <gtest/gtest.h>

#include "helpers.h"
#include "library_fixture.h"

namespace {

using namespace libtest;
using testing_helpers::Ref;
using testing_helpers::Take;

class LibraryEntriesTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    OpenLibrary();
    Exec("insert into media values (1, '\\Storage Card\\Music\\a.mp3', 1, 0, 0, 0, '2000-01-01 00:00:00');"
         "insert into media values (2, '\\Storage Card\\Music\\b.mp3', 1, 0, 0, 0, '2000-01-01 00:00:00');"
         "insert into media values (3, '\\Storage Card\\Other\\c.mp3', 1, 0, 0, 0, '2000-01-01 00:00:00');"
         "insert into media values (4, 'zblc.svc.podcasts', 1, 0, 0, 0, '2000-01-01 00:00:00');"
         "insert into int_tags values (1, 132074, 0, 5);");
  }
  std::string Valid() {
    CLibraryLock lock(library_);
    CSqlQuery q = library_->Database()->ExecQuery(u"select group_concat(valid) from (select valid from media order by mid);");
    return q.Eof() ? "" : WideToUtf8(q.GetText(0, u""));
  }
  EventRecorder events_;
};

TEST_F(LibraryEntriesTest, StatusNeedsItsSizeAndTellsTheState) {
  MEDIALIBRARYSTATUS status{12, 7, 7, 7};
  EXPECT_EQ(library_->GetStatus(&status), E_FAIL);
  EXPECT_EQ(status.open, 7u) << "left untouched";
  EXPECT_EQ(library_->GetStatus(nullptr), E_FAIL);
  status.size = sizeof status;
  EXPECT_EQ(library_->GetStatus(&status), S_OK);
  EXPECT_EQ(status.open, 1u);
  EXPECT_EQ(status.suspended, 0u);
  EXPECT_EQ(status.busy, 0u);
}

TEST_F(LibraryEntriesTest, ItemExistsLooksTheSourceUp) {
  EXPECT_EQ(library_->ItemExists(u"\\storage card\\music\\A.MP3"), S_OK) << "sources compare without case";
  EXPECT_EQ(library_->ItemExists(u"\\Storage Card\\Music\\z.mp3"), E_FAIL);
  EXPECT_EQ(library_->ItemExists(nullptr), E_FAIL);
}

TEST_F(LibraryEntriesTest, DeleteItemsMatchesTheWholeSourceAndTakesTheTags) {
  events_.Listen(library_, LIBEVENT_ITEMS_REMOVED);
  EXPECT_EQ(library_->DeleteItems(u"\\Storage Card\\Music\\%"), E_FAIL) << "no wildcards";
  EXPECT_EQ(library_->DeleteItems(u"\\STORAGE CARD\\MUSIC\\A.MP3"), S_OK);
  EXPECT_EQ(Scalar(u"select count(*) from media where mid=1;"), 0);
  EXPECT_EQ(Scalar(u"select count(*) from int_tags;"), 0);
  ASSERT_EQ(events_.raised.size(), 1u);
  EXPECT_EQ(events_.raised[0].text, u"\\STORAGE CARD\\MUSIC\\A.MP3");
  EXPECT_EQ(library_->DeleteServiceItem(u"podcasts"), S_OK);
  EXPECT_EQ(Scalar(u"select count(*) from media;"), 2);
}

TEST_F(LibraryEntriesTest, MarksSetTheScansMarkAndRaiseTheirEvents) {
  events_.Listen(library_, LIBEVENT_MARKED_VALID);
  events_.Listen(library_, LIBEVENT_MARKED_INVALID);
  EXPECT_EQ(library_->MarkInvalid(u"\\Storage Card\\Music\\", TRUE), S_OK);
  EXPECT_EQ(Valid(), "0,0,1,1");
  EXPECT_EQ(library_->MarkInvalid(u"\\Storage Card\\Music\\", TRUE), S_OK) << "no row left to change: no event";
  EXPECT_EQ(library_->MarkValid(u"\\storage card\\music\\b.mp3", FALSE), S_OK);
  EXPECT_EQ(Valid(), "0,2,1,1") << "the Local Content scan's mark is 2";
  EXPECT_EQ(Scalar(u"select lastdate > '2001' from media where mid=2;"), 1);
  EXPECT_EQ(library_->MarkValid(u"\\Storage Card\\", TRUE), S_OK);
  EXPECT_EQ(Valid(), "2,2,2,1");
  EXPECT_EQ(library_->MarkValid(nullptr, FALSE), E_FAIL);
  EXPECT_EQ(library_->MarkInvalid(nullptr, TRUE), E_FAIL);
  ASSERT_EQ(events_.raised.size(), 3u);
  EXPECT_EQ(events_.raised[0].event, DWORD(LIBEVENT_MARKED_INVALID));
  EXPECT_EQ(events_.raised[0].text, u"\\Storage Card\\Music\\*");
  EXPECT_EQ(events_.raised[1].event, DWORD(LIBEVENT_MARKED_VALID));
  EXPECT_EQ(events_.raised[1].text, u"\\storage card\\music\\b.mp3");
  EXPECT_EQ(events_.raised[2].text, u"\\Storage Card\\*");
}

TEST_F(LibraryEntriesTest, InvalidationWaitsForTheScansPassUnlessForced) {
  events_.Listen(library_, LIBEVENT_MARKED_INVALID);
  Exec("update media set valid = 2 where mid = 3;");
  EXPECT_EQ(library_->InvalidateAll(FALSE), S_OK);
  EXPECT_EQ(Valid(), "1,1,2,1") << "the Local Content scan's pass number 0 is never reached";
  sink_.pass = 3;
  library_->InvalidateAll(FALSE);
  EXPECT_EQ(Valid(), "1,1,2,1");
  library_->InvalidateAll(FALSE);
  EXPECT_EQ(Valid(), "0,0,2,0") << "the third unforced call is pass 3";
  library_->InvalidateAll(FALSE);
  Exec("update media set valid = 1 where mid = 1;");
  library_->InvalidateAll(FALSE);
  EXPECT_EQ(Valid(), "1,0,2,0") << "later passes do not invalidate again";
  Exec("update media set valid = 1;");
  EXPECT_EQ(library_->InvalidateAll(TRUE), S_OK);
  EXPECT_EQ(Valid(), "0,0,0,0");
  ASSERT_EQ(events_.raised.size(), 2u);
  EXPECT_EQ(events_.raised[0].text, u"");
  EXPECT_EQ(events_.raised[1].text, u"");
}

TEST_F(LibraryEntriesTest, ListenersAreCheckedKeptOnceAndFiltered) {
  EXPECT_EQ(library_->Advise(10, 0, EventRecorder::Callback, 0), E_FAIL);
  EXPECT_EQ(library_->Advise(LIBEVENT_OPENED, 0, nullptr, 0), E_FAIL);
  events_.Listen(library_, LIBEVENT_MARKED_VALID);
  events_.Listen(library_, LIBEVENT_MARKED_VALID);
  library_->MarkValid(u"\\Storage Card\\Music\\a.mp3", FALSE);
  EXPECT_EQ(events_.raised.size(), 1u) << "the same registration is held once";
  EXPECT_EQ(library_->Unadvise(LIBEVENT_MARKED_VALID, 0, EventRecorder::Callback, reinterpret_cast<DWORD_PTR>(&events_)), S_OK);
  EXPECT_EQ(library_->Unadvise(LIBEVENT_MARKED_VALID, 0, EventRecorder::Callback, reinterpret_cast<DWORD_PTR>(&events_)), S_OK);
  library_->MarkValid(u"\\Storage Card\\Music\\b.mp3", FALSE);
  EXPECT_EQ(events_.raised.size(), 1u);
}

// A string value that no tag uses any more is announced by the schema's trigger, to listeners of
// that tag (or of every tag) only.
TEST_F(LibraryEntriesTest, TheLastUseOfAStringValueIsAnnounced) {
  constexpr DWORD kArtist = 0x00010005;
  constexpr DWORD kAlbum = 0x00010006;
  EventRecorder artist, album, every;
  artist.Listen(library_, LIBEVENT_VALUE_REMOVED, kArtist);
  album.Listen(library_, LIBEVENT_VALUE_REMOVED, kAlbum);
  every.Listen(library_, LIBEVENT_VALUE_REMOVED, 0);
  Exec("insert into str_data values (10, 'Abba', 4, 0);"
       "insert into str_tags values (1, 65541, 0, 10); insert into str_tags values (2, 65541, 0, 10);");
  EXPECT_EQ(Scalar(u"select refcnt from str_data where strid=10;"), 2);
  Exec("delete from str_tags where mid=1;");
  EXPECT_TRUE(every.raised.empty()) << "still used by another entry";
  EXPECT_EQ(Scalar(u"select refcnt from str_data where strid=10;"), 1);
  EXPECT_EQ(library_->DeleteItems(u"\\Storage Card\\Music\\b.mp3"), S_OK);
  ASSERT_EQ(artist.raised.size(), 1u);
  EXPECT_EQ(artist.raised[0].tag, kArtist);
  EXPECT_EQ(artist.raised[0].value, u"Abba");
  EXPECT_EQ(every.raised.size(), 1u);
  EXPECT_TRUE(album.raised.empty());
  EXPECT_EQ(Scalar(u"select count(*) from str_data;"), 0) << "the unused value went";
}

TEST_F(LibraryEntriesTest, OpenItemRefusesWhatItCannotOpen) {
  IMediaItem* item = reinterpret_cast<IMediaItem*>(1);
  EXPECT_EQ(library_->OpenItem(u"zblc.svc.podcasts", LIBITEM_DETACHED, LIBOPEN_OPEN_EXISTING, &item), E_FAIL);
  EXPECT_EQ(item, nullptr);
  EXPECT_EQ(library_->OpenItem(u"\\x.mp3", 2, LIBOPEN_CREATE_NEW, &item), E_FAIL);
  EXPECT_EQ(library_->OpenItem(u"\\x.mp3", LIBITEM_DETACHED, 6, &item), E_FAIL);
  EXPECT_EQ(library_->OpenItem(u"\\Storage Card\\Music\\a.mp3", LIBITEM_BOUND, LIBOPEN_CREATE_NEW, &item), E_FAIL)
      << "it exists";
  EXPECT_EQ(library_->OpenItem(u"\\x.mp3", LIBITEM_DETACHED, LIBOPEN_CREATE_NEW, nullptr), E_POINTER);
}

TEST_F(LibraryEntriesTest, ANewDetachedItemCarriesTheSourceAndIsNotStored) {
  Ref<IMediaItem> item;
  ASSERT_EQ(library_->OpenItem(u"\\new.mp3", LIBITEM_DETACHED, LIBOPEN_CREATE_NEW, item.out()), S_OK);
  BSTR source = nullptr;
  item->GetSource(&source);
  EXPECT_EQ(Take(source), u"\\new.mp3");
  EXPECT_EQ(library_->ItemExists(u"\\new.mp3"), E_FAIL);
  Ref<IMediaItem> replaced;
  ASSERT_EQ(library_->OpenItem(u"\\Storage Card\\Music\\a.mp3", LIBITEM_DETACHED, LIBOPEN_CREATE_ALWAYS, replaced.out()),
            S_OK);
  EXPECT_EQ(library_->ItemExists(u"\\Storage Card\\Music\\a.mp3"), E_FAIL) << "create-always deleted the entry";
  Ref<IMediaItem> empty;
  ASSERT_EQ(library_->CreateItem(empty.out()), S_OK);
  DWORD count = 9;
  empty->GetTagCount(&count);
  EXPECT_EQ(count, 0u);
}

TEST_F(LibraryEntriesTest, NothingWorksWithoutADatabase) {
  CloseLibrary();
  fs::remove_all(device_.Host("Library"));
  HRESULT started = S_OK;
  OpenLibrary(kPath, &started);
  EXPECT_EQ(started, E_FAIL) << "its folder is gone";
  MEDIALIBRARYSTATUS status{sizeof status, 9, 9, 9};
  EXPECT_EQ(library_->GetStatus(&status), S_OK);
  EXPECT_EQ(status.open, 0u);
  EXPECT_EQ(library_->ItemExists(u"\\a.mp3"), E_FAIL);
  EXPECT_EQ(library_->DeleteItems(u"\\a.mp3"), E_FAIL);
  EXPECT_EQ(library_->MarkValid(u"\\a.mp3", FALSE), E_FAIL);
  EXPECT_EQ(library_->AgeEntries(), E_FAIL);
  IMediaItem* item = nullptr;
  EXPECT_EQ(library_->FindItem(u"\\a.mp3", &item, 0), E_POINTER);
  EXPECT_EQ(library_->OpenItem(u"\\a.mp3", LIBITEM_DETACHED, LIBOPEN_CREATE_NEW, &item), E_FAIL);
  Ref<IMediaItem> query;
  ASSERT_EQ(library_->CreateItem(query.out()), S_OK);
  IMediaList* list = reinterpret_cast<IMediaList*>(1);
  EXPECT_EQ(library_->QueryMedia(query.get(), &list), E_FAIL);
  EXPECT_EQ(list, nullptr);
}

}  // namespace
