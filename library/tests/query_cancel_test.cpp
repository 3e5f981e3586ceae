// Cancelling a running query through its watcher: the query ends within the poll interval of the
// callback's answer and reports E_ABORT; the callback runs on its own thread without the library
// lock, so it may call into the library while the query runs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "query_fixture.h"
#include "query_watcher.h"

namespace libtest {
namespace {

using Clock = std::chrono::steady_clock;

constexpr DWORD kBound = 10000;  // no wait of these tests may take longer

// The shared state of a query, its pre-filter and its cancel callback.
struct Watch {
  HANDLE polled = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> polls{0};
  Clock::time_point answered;
  DWORD firstSize = 0;
  DWORD_PTR firstContext = 0;
  CMediaLibrary* library = nullptr;
  HRESULT fromCallback = E_UNEXPECTED;
  ~Watch() {
    CloseHandle(polled);
    CloseHandle(done);
  }

  // Cancels at the first poll.
  static int CancelAtOnce(DWORD code, DWORD_PTR context, DWORD_PTR, DWORD_PTR, DWORD* answer, DWORD* size) {
    auto* self = reinterpret_cast<Watch*>(context);
    if (self->polls++ == 0) {
      self->firstSize = *size;
      self->firstContext = context;
    }
    *answer = code == 1;
    self->answered = Clock::now();
    SetEvent(self->polled);
    return 0;
  }
  // Calls into the library at its first poll, then lets the query run on.
  static int UseTheLibrary(DWORD, DWORD_PTR context, DWORD_PTR, DWORD_PTR, DWORD*, DWORD*) {
    auto* self = reinterpret_cast<Watch*>(context);
    if (self->polls++ == 0) {
      SetEvent(self->polled);
      self->fromCallback = self->library->ItemExists(u"\\Music\\1.mp3");
      SetEvent(self->done);
    }
    return 1;
  }
  // Holds the query in its first row until the watcher has polled once; no opinion.
  static int WaitForPoll(IMediaItem*, DWORD_PTR context, DWORD*) {
    WaitForSingleObject(reinterpret_cast<Watch*>(context)->polled, kBound);
    return 1;
  }
};

Ref<IMediaItem> WatchedQuery(Watch* watch, QueryCancelCallback callback, bool holdInFilter) {
  Ref<IMediaItem> query = QueryTest::NewQuery();
  SetQueryCallback(query.get(), QTAG_CANCEL_CALLBACK, 1, callback);
  SetQueryPointer(query.get(), QTAG_CANCEL_CONTEXT, 1, watch);
  if (holdInFilter) {
    SetQueryCallback(query.get(), QTAG_PREFILTER, 0, &Watch::WaitForPoll);
    SetQueryPointer(query.get(), QTAG_PREFILTER_CONTEXT, 0, watch);
  }
  query->SetString(TAG_ARTIST, u"e");
  QueryTest::Op(query.get(), TAG_ARTIST, 3);
  return query;
}

TEST_F(QueryTest, ACancelledQueryEndsWithinThePollIntervalAndSaysSo) {
  Watch watch;
  Ref<IMediaItem> query = WatchedQuery(&watch, &Watch::CancelAtOnce, true);
  IMediaList* list = nullptr;
  EXPECT_EQ(library_->QueryMedia(query.get(), &list), E_ABORT);
  const auto after = Clock::now() - watch.answered;
  EXPECT_EQ(list, nullptr);
  EXPECT_EQ(watch.polls.load(), 1);
  EXPECT_EQ(watch.firstSize, sizeof(DWORD));
  EXPECT_EQ(watch.firstContext, reinterpret_cast<DWORD_PTR>(&watch));
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(after).count(), 250);
  EXPECT_EQ(Scalar(u"select count(*) from results;"), 0);
  EXPECT_EQ(Scalar(u"select count(*) from GVMM;"), 0);
}

TEST_F(QueryTest, ACancelledValueQueryReportsItToo) {
  Watch watch;
  Ref<IMediaItem> query = WatchedQuery(&watch, &Watch::CancelAtOnce, true);
  Param(query.get(), QPARAM_VALUE_TAG, static_cast<LONG>(TAG_GENRE));
  IMediaResult* result = nullptr;
  EXPECT_EQ(library_->QueryValues(query.get(), &result), E_ABORT);
  EXPECT_EQ(result, nullptr);
}

TEST_F(QueryTest, TheCancelCallbackMayUseTheLibraryWhileTheQueryRuns) {
  Watch watch;
  watch.library = library_;
  Ref<IMediaItem> query = WatchedQuery(&watch, &Watch::UseTheLibrary, true);
  Ref<IMediaList> list;
  EXPECT_EQ(library_->QueryMedia(query.get(), list.out()), S_OK);
  // The callback waited for the lock the query held, and got it once the query let go.
  ASSERT_EQ(WaitForSingleObject(watch.done, kBound), WAIT_OBJECT_0);
  EXPECT_EQ(watch.fromCallback, S_OK);
  EXPECT_EQ(Sources(list.get()), Expected(Str(TAG_ARTIST, "instr(lower(d.value), 'e') > 0")));
}

TEST_F(QueryTest, QueriesThatNobodyCancelsRunToTheEnd) {
  Watch watch;
  Ref<IMediaItem> query = WatchedQuery(&watch, [](DWORD, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD*, DWORD*) { return 1; },
                                       false);
  Ref<IMediaList> list;
  EXPECT_EQ(library_->QueryMedia(query.get(), list.out()), S_OK);
  EXPECT_EQ(Sources(list.get()), Expected(Str(TAG_ARTIST, "instr(lower(d.value), 'e') > 0")));
}

// A library large enough that its conditions run for seconds: the cancel ends the query wherever
// it is, and leaves the library working (a read it cut short is not a database failure).
class LargeQueryTest : public LibraryTest {
 protected:
  static constexpr int kEntries = 60000;
  void SetUp() override {
    LibraryTest::SetUp();
    OpenLibrary();
    const std::string numbers = "with recursive n(i) as (select 1 union all select i+1 from n where i < " +
                                std::to_string(kEntries) + ") ";
    Exec(numbers + "insert into media (mid, source, valid, filesize, filedatelow, filedatehigh) select i, "
                   "'\\Big\\' || i || '.mp3', 1, 0, 0, 0 from n;");
    Exec(numbers + "insert into str_data (strid, value, slen, refcnt) select i, 'Road number ' || i || ' of the night', "
                   "0, 0 from n;");
    Exec(numbers + "insert into str_tags select i, " + Id(TAG_SONG_TITLE) + ", 0, i from n;");
  }
};

TEST_F(LargeQueryTest, ACancelEndsALongQuery) {
  ASSERT_EQ(Scalar(u"select count(*) from str_tags;"), kEntries);
  Watch watch;
  Ref<IMediaItem> query = QueryTest::NewQuery();
  SetQueryCallback(query.get(), QTAG_CANCEL_CALLBACK, 1, &Watch::CancelAtOnce);
  SetQueryPointer(query.get(), QTAG_CANCEL_CONTEXT, 1, &watch);
  // Each negated search keeps every row, so every condition reads the whole library again.
  for (int i = 0; i < 40; ++i) {
    const std::u16string search = u"\"no such\" or r*x" + std::u16string(1, u'a' + i % 26);
    query->SetInstance(TAG_GENRE_COLLECTION, static_cast<DWORD>(i), search.c_str(),
                       static_cast<DWORD>((search.size() + 1) * 2));
  }
  query->SetString(TAG_SONG_TITLE, u"\"no such\" or zz*q");
  QueryTest::Op(query.get(), TAG_SONG_TITLE, 9 | QOP_NOT);
  QueryTest::Op(query.get(), TAG_GENRE_COLLECTION, 93 | QOP_NOT);
  IMediaList* list = nullptr;
  const auto start = Clock::now();
  EXPECT_EQ(library_->QueryMedia(query.get(), &list), E_ABORT);
  const auto end = Clock::now();
  EXPECT_EQ(list, nullptr);
  EXPECT_GE(end - start, std::chrono::milliseconds(CQueryWatcher::kPollMs));
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(end - watch.answered).count(), 250);
  // Still open and writable.
  MEDIALIBRARYSTATUS status{sizeof status, 0, 0, 0};
  library_->GetStatus(&status);
  EXPECT_EQ(status.open, 1u);
  EXPECT_EQ(status.suspended, 0u);
  Ref<IMediaItem> all = QueryTest::NewQuery();
  Ref<IMediaList> every;
  ASSERT_EQ(library_->QueryMedia(all.get(), every.out()), S_OK);
  DWORD count = 0;
  every->GetCount(&count);
  EXPECT_EQ(count, static_cast<DWORD>(kEntries));
}

}  // namespace
}  // namespace libtest
