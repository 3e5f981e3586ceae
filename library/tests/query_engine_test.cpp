// The query engine's rules around the conditions: refused parameters and operators, limits and
// totals, the caller's filters (held as full-size addresses), the preloaded column, the scan's
// validity modes, and working tables left empty.
#include <gtest/gtest.h>

#include <algorithm>

#include "library_item.h"
#include "query_fixture.h"

namespace libtest {
namespace {

using Build = void (*)(IMediaItem*);

struct RefusedCase {
  const char* name;
  Build build;
  HRESULT media;
  HRESULT values;  // with Genre as the value tag unless the case sets another
};

const RefusedCase kRefused[] = {
    {"LimitZero", [](IMediaItem* q) { QueryTest::Param(q, QPARAM_LIMIT, 0); }, E_FAIL, E_FAIL},
    {"NegativeLimit", [](IMediaItem* q) { QueryTest::Param(q, QPARAM_LIMIT, -1); }, E_FAIL, E_FAIL},
    {"LengthMaximumZero", [](IMediaItem* q) { QueryTest::Param(q, QPARAM_MAX_LENGTH, 0); }, E_FAIL, E_FAIL},
    {"SizeMaximumZero", [](IMediaItem* q) { QueryTest::Param(q, QPARAM_MAX_SIZE, 0); }, E_FAIL, E_FAIL},
    {"NumberCodeOnAString", [](IMediaItem* q) { q->SetString(TAG_ARTIST, u"Can"); QueryTest::Op(q, TAG_ARTIST, 21); },
     E_FAIL, E_FAIL},
    {"StringCodeOnANumber", [](IMediaItem* q) { q->SetInt(TAG_RATING, 1); QueryTest::Op(q, TAG_RATING, 3); }, E_FAIL,
     E_FAIL},
    {"MultiCodeOnASingleTag", [](IMediaItem* q) { q->SetInt(TAG_RATING, 1); QueryTest::Op(q, TAG_RATING, 93); }, E_FAIL,
     E_FAIL},
    {"UnknownCode", [](IMediaItem* q) { q->SetInt(TAG_RATING, 1); QueryTest::Op(q, TAG_RATING, 77); }, E_FAIL, E_FAIL},
    // A date with no field set has nothing to compare: the query fails rather than compare with now.
    {"DateWithoutAnyField",
     [](IMediaItem* q) {
       const SYSTEMTIME none{};
       q->SetSystemTime(TAG_RELEASE_DATE, &none);
     },
     E_FAIL, E_FAIL},
    {"MissingOfAnUntypedTag", [](IMediaItem* q) { QueryTest::Missing(q, 0, 0x00070009); }, E_FAIL, E_FAIL},
    {"GroupNotMadeOfWords",
     [](IMediaItem* q) {
       const BYTE three[] = {5, 0, 1};
       q->SetInstance(QTAG_GROUPS, 0, three, sizeof three);
     },
     E_FAIL, E_FAIL},
    {"UnknownValidityMode", [](IMediaItem* q) { QueryTest::Param(q, QPARAM_VALIDITY, 9); }, E_FAIL, E_FAIL},
    {"ScanValidityWithoutAScan", [](IMediaItem* q) { QueryTest::Param(q, QPARAM_VALIDITY, QVALID_SCAN_WAIT); },
     E_PENDING, E_PENDING},
    {"ValueTagOfAParameter",
     [](IMediaItem* q) { QueryTest::Param(q, QPARAM_VALUE_TAG, static_cast<LONG>(QTAG_MARKED_TAGS)); }, S_OK, E_FAIL},
};

class QueryRefused : public QueryTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(QueryRefused, FailsWholeAndHandsOutNothing) {
  const RefusedCase& c = GetParam();
  Ref<IMediaItem> query = NewQuery();
  Param(query.get(), QPARAM_VALUE_TAG, static_cast<LONG>(TAG_GENRE));
  c.build(query.get());
  IMediaList* list = reinterpret_cast<IMediaList*>(1);
  EXPECT_EQ(library_->QueryMedia(query.get(), &list), c.media);
  if (c.media == S_OK) list->Release();
  else EXPECT_EQ(list, nullptr);
  IMediaResult* result = reinterpret_cast<IMediaResult*>(1);
  EXPECT_EQ(library_->QueryValues(query.get(), &result), c.values);
  if (c.values == S_OK) result->Release();
  else EXPECT_EQ(result, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Queries, QueryRefused, ::testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(QueryTest, MissingArgumentsAndValueTagFail) {
  Ref<IMediaItem> query = NewQuery();
  Ref<IMediaList> list;
  Ref<IMediaResult> result;
  EXPECT_EQ(library_->QueryMedia(nullptr, list.out()), E_FAIL);
  EXPECT_EQ(library_->QueryMedia(query.get(), nullptr), E_FAIL);
  EXPECT_EQ(library_->QueryValues(nullptr, result.out()), E_FAIL);
  EXPECT_EQ(library_->QueryValues(query.get(), result.out()), E_FAIL);
  EXPECT_EQ(result.get(), nullptr);
}

TEST_F(QueryTest, ScanValidityTakesTheScansMarkWhileAScanRuns) {
  sink_.pass = 1;
  sink_.mark = 5;
  Exec("update media set valid = 5 where mid % 3 = 0;");
  Ref<IMediaItem> query = NewQuery();
  Param(query.get(), QPARAM_VALIDITY, QVALID_SCAN_WAIT);
  Ref<IMediaList> list;
  ASSERT_EQ(library_->QueryMedia(query.get(), list.out()), S_OK);
  EXPECT_EQ(Sources(list.get()), Expected("m.mid % 3 = 0", 5));
}

TEST_F(QueryTest, LimitTakesTheFirstMatchesInEntryOrder) {
  Ref<IMediaItem> query = NewQuery();
  query->SetString(TAG_ARTIST, u"e");
  Op(query.get(), TAG_ARTIST, 3);
  Param(query.get(), QPARAM_LIMIT, 7);
  Ref<IMediaList> list;
  ASSERT_EQ(library_->QueryMedia(query.get(), list.out()), S_OK);
  const auto first = Column("select source from media m where valid >= 1 and " +
                            Str(TAG_ARTIST, "instr(lower(d.value), 'e') > 0") + " order by mid limit 7;");
  EXPECT_EQ(Sources(list.get()), std::set<std::u16string>(first.begin(), first.end()));
  DWORD count = 0;
  list->GetCount(&count);
  EXPECT_EQ(count, 7u);
}

TEST_F(QueryTest, RandomOrderWithALimitTakesSomeMatches) {
  Ref<IMediaItem> query = NewQuery();
  query->SetString(TAG_GENRE, u"Rock");
  Param(query.get(), QPARAM_FLAGS, QFLAG_RANDOM);
  Param(query.get(), QPARAM_LIMIT, 5);
  Ref<IMediaList> list;
  ASSERT_EQ(library_->QueryMedia(query.get(), list.out()), S_OK);
  const std::set<std::u16string> got = Sources(list.get()), all = Expected(Str(TAG_GENRE, "d.value = 'Rock'"));
  EXPECT_EQ(got.size(), 5u);
  EXPECT_TRUE(std::includes(all.begin(), all.end(), got.begin(), got.end()));
}

// The list ends at the first item whose length or size would pass the maximum; unknown (negative)
// lengths add nothing.
TEST_F(QueryTest, TotalMaximumsEndTheListAtTheFirstItemBeyondThem) {
  for (const auto& [param, tag] : {std::pair{QPARAM_MAX_LENGTH, TAG_LENGTH}, std::pair{QPARAM_MAX_SIZE, TAG_SIZE}}) {
    const std::string value = "(select max(value, 0) from int_tags t where t.mid=m.mid and t.tag=" + Id(tag) + ")";
    const auto rows = Column("select " + value + " from media m where valid >= 1 order by mid;");
    const auto sources = Column("select source from media m where valid >= 1 order by mid;");
    ASSERT_GT(rows.size(), 20u);
    LONGLONG budget = 0;
    for (int i = 0; i < 20; ++i) budget += std::stoll(std::string(rows[i].begin(), rows[i].end()));
    std::set<std::u16string> expected;
    LONGLONG total = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
      total += std::stoll(std::string(rows[i].begin(), rows[i].end()));
      if (total > budget) break;
      expected.insert(sources[i]);
    }
    Ref<IMediaItem> query = NewQuery();
    Param(query.get(), param, static_cast<LONG>(budget));
    Ref<IMediaList> list;
    ASSERT_EQ(library_->QueryMedia(query.get(), list.out()), S_OK);
    EXPECT_EQ(Sources(list.get()), expected) << param;
    EXPECT_GE(expected.size(), 20u);
  }
}

// Takes entries with track 1, drops those with track 2, has no opinion on the rest; counts calls
// through a context that is a full-size address.
struct PreFilterState {
  int calls = 0;
  static int Filter(IMediaItem* item, DWORD_PTR context, DWORD* answer) {
    auto* self = reinterpret_cast<PreFilterState*>(context);
    ++self->calls;
    LONG track = 0;
    if (FAILED(item->GetInt(TAG_TRACK_NUMBER, &track)) || track > 2) return 1;
    *answer = track == 1;
    return 0;
  }
};

// Every entry has a title, so an empty text can only come from entries marked out of it.
TEST_F(QueryTest, EntriesMarkedForTheValueTagCountAsLackingItOnlyWithFlag16) {
  auto texts = [&](DWORD flags) {
    Ref<IMediaItem> query = NewQuery();
    Param(query.get(), QPARAM_VALUE_TAG, static_cast<LONG>(TAG_SONG_TITLE));
    Param(query.get(), QPARAM_FLAGS, static_cast<LONG>(flags));
    Ref<IMediaResult> result;
    EXPECT_EQ(library_->QueryValues(query.get(), result.out()), S_OK);
    return result.get() ? Texts(result.get()) : std::set<std::u16string>{};
  };
  EXPECT_EQ(texts(QFLAG_MARKED | QFLAG_WITH_MISSING).count(u""), 0u);
  Exec("insert into int_tags select mid, " + Id(QTAG_MARKED_TAGS) + ", 0, " + Id(TAG_SONG_TITLE) +
       " from media where source='" + testing_helpers::Narrow(Source(5)) + "';");
  const std::set<std::u16string> lacking = texts(QFLAG_MARKED | QFLAG_WITH_MISSING);
  EXPECT_EQ(lacking.count(u""), 1u);
  EXPECT_EQ(texts(QFLAG_MARKED).count(u""), 0u);
  EXPECT_EQ(texts(QFLAG_WITH_MISSING).count(u""), 0u);
  EXPECT_EQ(texts(QFLAG_MARKED).size() + 1, lacking.size());
}

TEST_F(QueryTest, RowsNoPreFilterHasAnOpinionOnAreStillCheckedAgainstTheConditions) {
  PreFilterState state;
  Ref<IMediaItem> query = NewQuery();
  query->SetString(TAG_ARTIST, u"e");
  Op(query.get(), TAG_ARTIST, 3);
  ASSERT_EQ(SetQueryCallback(query.get(), QTAG_PREFILTER, 0, &PreFilterState::Filter), S_OK);
  ASSERT_EQ(SetQueryPointer(query.get(), QTAG_PREFILTER_CONTEXT, 0, &state), S_OK);
  Ref<IMediaList> list;
  ASSERT_EQ(library_->QueryMedia(query.get(), list.out()), S_OK);
  const std::string track = Num("int_tags", TAG_TRACK_NUMBER, "t.value = 1");
  const std::string dropped = Num("int_tags", TAG_TRACK_NUMBER, "t.value = 2");
  EXPECT_EQ(Sources(list.get()),
            Expected(track + " or (not " + dropped + " and " + Str(TAG_ARTIST, "instr(lower(d.value), 'e') > 0") + ")"));
  EXPECT_EQ(state.calls, Scalar(u"select count(*) from media where valid >= 1;"));
}

int DropUnrated(IMediaItem* item, DWORD_PTR, DWORD* keep) {
  LONG rating = -1;
  if (SUCCEEDED(item->GetInt(TAG_RATING, &rating)) && rating == 0) {
    *keep = 0;
    return 0;
  }
  return 1;
}

TEST_F(QueryTest, PostFiltersDropRowsOfTheResult) {
  Ref<IMediaItem> query = NewQuery();
  query->SetString(TAG_GENRE, u"Jazz");
  ASSERT_EQ(SetQueryCallback(query.get(), QTAG_POSTFILTER, 0, &DropUnrated), S_OK);
  Ref<IMediaList> list;
  ASSERT_EQ(library_->QueryMedia(query.get(), list.out()), S_OK);
  EXPECT_EQ(Sources(list.get()), Expected(Str(TAG_GENRE, "d.value = 'Jazz'") + " and not " +
                                          Num("int_tags", TAG_RATING, "t.value = 0")));
}

TEST_F(QueryTest, AFilterThatCancelsEndsTheQueryAsCancelled) {
  auto cancel = [](IMediaItem*, DWORD_PTR, DWORD*) { return -1; };
  for (DWORD tag : {QTAG_PREFILTER, QTAG_POSTFILTER}) {
    Ref<IMediaItem> query = NewQuery();
    ASSERT_EQ(SetQueryCallback(query.get(), tag, 0, +cancel), S_OK);
    IMediaList* list = nullptr;
    EXPECT_EQ(library_->QueryMedia(query.get(), &list), E_ABORT);
    EXPECT_EQ(list, nullptr);
    Param(query.get(), QPARAM_VALUE_TAG, static_cast<LONG>(TAG_GENRE));
    IMediaResult* result = nullptr;
    EXPECT_EQ(library_->QueryValues(query.get(), &result), E_ABORT);
    EXPECT_EQ(result, nullptr);
  }
}

TEST_F(QueryTest, PreloadedTextsAreInTheItemsBeforeAnyRead) {
  for (bool preload : {true, false}) {
    Ref<IMediaItem> query = NewQuery();
    query->SetString(TAG_GENRE, u"Soul");
    LONG artist = static_cast<LONG>(TAG_ARTIST);
    query->SetInstance(QTAG_EXTRA_COLUMN, 0, &artist, sizeof artist);
    if (preload) Param(query.get(), QPARAM_FLAGS, QFLAG_PRELOAD);
    Ref<IMediaList> list;
    ASSERT_EQ(library_->QueryMedia(query.get(), list.out()), S_OK);
    DWORD count = 0, cached = 0;
    list->GetCount(&count);
    ASSERT_GT(count, 3u);
    for (DWORD i = 0; i < count; ++i) {
      Ref<IMediaItem> item;
      list->GetItem(static_cast<LONG>(i), item.out());
      LONG index = -1;
      if (static_cast<CLibraryItem*>(item.get())->HasCachedTag(TAG_ARTIST, &index) == S_OK) ++cached;
    }
    const auto withArtist = Expected(Str(TAG_GENRE, "d.value = 'Soul'") + " and " + Str(TAG_ARTIST, "1"));
    EXPECT_EQ(cached, preload ? withArtist.size() : 0u);
  }
}

TEST_F(QueryTest, QueriesLeaveTheirWorkingTablesEmpty) {
  Ref<IMediaItem> query = NewQuery();
  query->SetString(TAG_ARTIST, u"Abba");
  query->SetString(TAG_GENRE, u"Rock");
  Group(query.get(), 0, {TAG_ARTIST, TAG_GENRE});
  Param(query.get(), QPARAM_VALUE_TAG, static_cast<LONG>(TAG_ALBUM));
  Ref<IMediaList> list;
  ASSERT_EQ(library_->QueryMedia(query.get(), list.out()), S_OK);
  Ref<IMediaResult> result;
  ASSERT_EQ(library_->QueryValues(query.get(), result.out()), S_OK);
  for (const char16_t* table : {u"GVMM", u"GVSC", u"results", u"funnela0", u"funnelb0", u"funnela1", u"groupdst0"})
    EXPECT_EQ(Scalar(u"select count(*) from " + std::u16string(table) + u";"), 0) << testing_helpers::Narrow(table);
}

}  // namespace
}  // namespace libtest
