// The query engine against plain SQL: on a generated library, every operator of every value
// type, negation, inversion, missing tags, groups, marks, validity and limits give the same
// sources as a SELECT written here over the stored tables; value queries give the same texts.
#include <gtest/gtest.h>

#include <functional>

#include "query_fixture.h"

namespace libtest {
namespace {

using Build = std::function<void(IMediaItem*)>;

struct MediaCase {
  const char* name;
  Build build;
  std::string expected;  // over media m
  int minValid = 1;
};

SYSTEMTIME Day(WORD y, WORD mo = 0, WORD d = 0, WORD h = 0, WORD mi = 0, WORD s = 0) {
  return SYSTEMTIME{y, mo, 0, d, h, mi, s, 0};
}

Build Text(DWORD tag, const char16_t* value, LONG code = 0) {
  return [=](IMediaItem* q) {
    q->SetString(tag, value);
    if (code) QueryTest::Op(q, tag, code);
  };
}
Build Int(DWORD tag, LONG value, LONG code) {
  return [=](IMediaItem* q) {
    q->SetInt(tag, value);
    QueryTest::Op(q, tag, code);
  };
}
Build Real(DWORD tag, float value, LONG code) {
  return [=](IMediaItem* q) {
    q->SetFloat(tag, value);
    QueryTest::Op(q, tag, code);
  };
}
Build Date(SYSTEMTIME value, LONG code) {
  return [=](IMediaItem* q) {
    q->SetSystemTime(TAG_RELEASE_DATE, &value);
    QueryTest::Op(q, TAG_RELEASE_DATE, code);
  };
}
Build Guid(const GUID& value, LONG code) {
  return [=](IMediaItem* q) {
    q->SetGuid(TAG_MEDIA_TYPE, value);
    QueryTest::Op(q, TAG_MEDIA_TYPE, code);
  };
}
Build Blob(const BYTE* bytes, DWORD size, LONG code) {
  return [=](IMediaItem* q) {
    q->SetBytes(TAG_MCDI, bytes, size);
    QueryTest::Op(q, TAG_MCDI, code);
  };
}
Build Plays(DWORD instance, LONG value, LONG code) {
  return [=](IMediaItem* q) {
    q->SetInstance(TAG_PLAY_COUNT, instance, &value, sizeof value);
    QueryTest::Op(q, TAG_PLAY_COUNT, code);
  };
}
Build Both(Build a, Build b) {
  return [=](IMediaItem* q) {
    a(q);
    b(q);
  };
}
Build Flags(DWORD flags, Build rest = [](IMediaItem*) {}) {
  return [=](IMediaItem* q) {
    QueryTest::Param(q, QPARAM_FLAGS, static_cast<LONG>(flags));
    rest(q);
  };
}

const std::string kArtist = Id(TAG_ARTIST), kTitle = Id(TAG_SONG_TITLE), kGenre = Id(TAG_GENRE);
std::string Artist(const std::string& test) { return QueryTest::Str(TAG_ARTIST, test); }
std::string Title(const std::string& test) { return QueryTest::Str(TAG_SONG_TITLE, test); }
std::string Rating(const std::string& test) { return QueryTest::Num("int_tags", TAG_RATING, test); }
std::string Gain(const std::string& test) { return QueryTest::Num("real_tags", TAG_REPLAYGAIN_TRACK_GAIN, test); }
std::string Released(const std::string& test) { return QueryTest::Num("date_tags", TAG_RELEASE_DATE, test); }
std::string Plays(const std::string& test, const std::string& more = "") {
  return QueryTest::Num("int_tags", TAG_PLAY_COUNT, test, more);
}
// Wildcard comparison of canonical date texts: up to the shorter one's end.
std::string Wild(const std::string& op, const std::string& q) {
  return Released("substr(t.svalue, 1, min(length(t.svalue), " + std::to_string(q.size()) + ")) " + op + " substr('" +
                  q + "', 1, min(length(t.svalue), " + std::to_string(q.size()) + "))");
}
const std::string kMarked = "exists (select 1 from int_tags k where k.mid=m.mid and k.tag=" + Id(QTAG_MARKED_TAGS) +
                            " and k.value=" + kArtist + ")";
const std::string kHexA = "x'11111111222233330102030405060708'";

const MediaCase kMediaCases[] = {
    {"NoConditionsGiveEveryPresentEntry", [](IMediaItem*) {}, "1"},
    {"StringEqualIgnoresCase", Text(TAG_ARTIST, u"beatles"), Artist("lower(d.value)='beatles'")},
    {"StringNotEqual", Text(TAG_ARTIST, u"BEATLES", 2), Artist("lower(d.value)!='beatles'")},
    {"StringContains", Text(TAG_ARTIST, u"EE", 3), Artist("instr(lower(d.value), 'ee') > 0")},
    {"StringNotContains", Text(TAG_ARTIST, u"a", 4), Artist("instr(lower(d.value), 'a') = 0")},
    {"StringEqualWithCase", Text(TAG_ARTIST, u"Beatles", 5), Artist("d.value='Beatles'")},
    {"StringNotEqualWithCase", Text(TAG_ARTIST, u"Abba", 6), Artist("d.value!='Abba'")},
    {"StringContainsWithCase", Text(TAG_ARTIST, u"Pop", 7), Artist("instr(d.value, 'Pop') > 0")},
    {"StringNotContainsWithCase", Text(TAG_ARTIST, u"o", 8), Artist("instr(d.value, 'o') = 0")},
    {"SearchWord", Text(TAG_SONG_TITLE, u"night", 9), Title("instr(lower(d.value), 'night') > 0")},
    {"SearchAlternatives", Text(TAG_SONG_TITLE, u"rock or jazz", 9),
     Title("instr(lower(d.value), 'rock') > 0 or instr(lower(d.value), 'jazz') > 0")},
    {"SearchWithNegativeTerm", Text(TAG_SONG_TITLE, u"beat -live", 9),
     Title("instr(lower(d.value), 'beat') > 0 and instr(lower(d.value), 'live') = 0")},
    {"IntegerEqual", Int(TAG_RATING, 40, 21), Rating("t.value = 40")},
    {"IntegerAtLeast", Int(TAG_RATING, 60, 22), Rating("t.value >= 60")},
    {"IntegerAtMost", Int(TAG_RATING, 20, 23), Rating("t.value <= 20")},
    {"IntegerDiffers", Int(TAG_RATING, 0, 24), Rating("t.value != 0")},
    {"RealAtLeast", Real(TAG_REPLAYGAIN_TRACK_GAIN, -1.5f, 22), Gain("t.value >= -1.5")},
    {"RealEqual", Real(TAG_REPLAYGAIN_TRACK_GAIN, -4.0f, 21), Gain("t.value = -4.0")},
    {"DateEqualIsTheWholeDate", Date(Day(1995), 41), Released("t.svalue = '1995'")},
    {"DateDiffers", Date(Day(1995), 42), Released("t.svalue != '1995'")},
    {"DateOnOrAfter", Date(Day(1996, 3), 43), Released("t.svalue >= '1996-03'")},
    {"DateOnOrBeforeAFullDate", Date(Day(1997, 5, 10, 12, 0, 1), 44), Released("t.svalue <= '1997-05-10 12:00:01'")},
    {"WildcardDateEqualMatchesPartialDatesBothWays", Date(Day(1995, 6), 45), Wild("=", "1995-06")},
    {"WildcardDateDiffers", Date(Day(1999), 46), Wild("!=", "1999")},
    {"WildcardDateOnOrAfter", Date(Day(1997, 6), 47), Wild(">=", "1997-06")},
    {"WildcardDateOnOrBefore", Date(Day(1993, 2), 48), Wild("<=", "1993-02")},
    {"GuidEqual", Guid(kTypeA, 61), QueryTest::Num("guid_tags", TAG_MEDIA_TYPE, "t.value = " + kHexA)},
    {"GuidDiffers", Guid(kTypeA, 62), QueryTest::Num("guid_tags", TAG_MEDIA_TYPE, "t.value != " + kHexA)},
    {"BlobEqual", Blob(kBlobA, sizeof kBlobA, 51),
     "exists (select 1 from blob_tags t join blob_data b on b.blobid=t.blobid where t.mid=m.mid and t.tag=" +
         Id(TAG_MCDI) + " and b.value = x'010203040506070809')"},
    {"BlobDiffers", Blob(kBlobA, sizeof kBlobA, 52),
     "exists (select 1 from blob_tags t join blob_data b on b.blobid=t.blobid where t.mid=m.mid and t.tag=" +
         Id(TAG_MCDI) + " and b.value != x'010203040506070809')"},
    {"HasTag", [](IMediaItem* q) { q->SetBytes(TAG_MCDI, kBlobB, sizeof kBlobB); QueryTest::Op(q, TAG_MCDI, 100); },
     QueryTest::Num("blob_tags", TAG_MCDI, "1")},
    {"MultiSameInstanceEqual", Plays(1, 5, 91), Plays("t.value = 5", " and t.instance = 1")},
    {"MultiHasInstance", Plays(1, 5, 92), Plays("1", " and t.instance = 1")},
    {"MultiAnyInstanceEqual", Plays(1, 5, 93), Plays("t.value = 5")},
    {"MultiLacksInstance", Plays(1, 5, 94), "not " + Plays("1", " and t.instance = 1")},
    {"MultiSomeInstanceDiffers", Plays(0, 5, 95), Plays("t.value != 5")},
    {"MultiValueCodeOnItsInstance", Plays(0, 5, 22), Plays("t.value >= 5", " and t.instance = 0")},
    {"MultiStringAnyInstance",
     [](IMediaItem* q) {
       const std::u16string jazz = u"jazz";
       q->SetInstance(TAG_GENRE_COLLECTION, 7, jazz.c_str(), 10);
       QueryTest::Op(q, TAG_GENRE_COLLECTION, 93);
     },
     QueryTest::Str(TAG_GENRE_COLLECTION, "lower(d.value) = 'jazz'")},
    {"NegationIncludesItemsWithoutTheTag", Text(TAG_ARTIST, u"Beatles", 1 | QOP_NOT), "not " + Artist("lower(d.value)='beatles'")},
    {"NegatedNumber", Int(TAG_RATING, 60, 22 | QOP_NOT), "not " + Rating("t.value >= 60")},
    {"NegatedWildcardDate", Date(Day(1995), 45 | QOP_NOT), "not " + Wild("=", "1995")},
    {"NegatedHasInstance", Plays(0, 1, 92 | QOP_NOT), "not " + Plays("1", " and t.instance = 0")},
    {"InvertTakesEveryOtherCandidate", Flags(QFLAG_INVERT, Text(TAG_ARTIST, u"Beatles")),
     "not " + Artist("lower(d.value)='beatles'")},
    {"InvertOfTwoConditions", Flags(QFLAG_INVERT, Both(Text(TAG_ARTIST, u"e", 3), Int(TAG_RATING, 40, 22))),
     "not (" + Artist("instr(lower(d.value), 'e') > 0") + " and " + Rating("t.value >= 40") + ")"},
    {"MissingTag", [](IMediaItem* q) { QueryTest::Missing(q, 0, TAG_GENRE); },
     "not " + QueryTest::Str(TAG_GENRE, "length(d.value) > 0")},
    {"MissingTagAndACondition",
     Both([](IMediaItem* q) { QueryTest::Missing(q, 0, TAG_ARTIST); }, Int(TAG_RATING, 40, 22)),
     "not " + Artist("1") + " and " + Rating("t.value >= 40")},
    {"ChainOfThree",
     Both(Both(Text(TAG_ARTIST, u"e", 3), Int(TAG_RATING, 60, 23)), Text(TAG_GENRE, u"rock", 2)),
     Artist("instr(lower(d.value), 'e') > 0") + " and " + Rating("t.value <= 60") + " and " +
         QueryTest::Str(TAG_GENRE, "lower(d.value) != 'rock'")},
    {"GroupIsAnAlternative",
     Both(Both(Text(TAG_ARTIST, u"Abba"), Text(TAG_GENRE, u"Jazz")),
          Both(Int(TAG_RATING, 40, 22), [](IMediaItem* q) { QueryTest::Group(q, 0, {TAG_ARTIST, TAG_GENRE}); })),
     "(" + Artist("lower(d.value)='abba'") + " or " + QueryTest::Str(TAG_GENRE, "lower(d.value)='jazz'") + ") and " +
         Rating("t.value >= 40")},
    {"GroupWithInvert",
     Flags(QFLAG_INVERT, Both(Text(TAG_ARTIST, u"Abba"),
                              Both(Int(TAG_RATING, 0, 21), [](IMediaItem* q) { QueryTest::Group(q, 0, {TAG_RATING}); }))),
     "not (" + Artist("lower(d.value)='abba'") + " and " + Rating("t.value = 0") + ")"},
    {"MarkedItemsLeaveConditionsOnTheirTag", Flags(QFLAG_MARKED, Text(TAG_ARTIST, u"e", 3)),
     Artist("instr(lower(d.value), 'e') > 0") + " and not " + kMarked},
    {"MarksOnlyCountWithTheirFlag", Text(TAG_ARTIST, u"e", 3), Artist("instr(lower(d.value), 'e') > 0")},
    {"ValidityAllIncludesMissingEntries",
     Both(Text(TAG_ARTIST, u"Can"), [](IMediaItem* q) { QueryTest::Param(q, QPARAM_VALIDITY, QVALID_ALL); }),
     Artist("lower(d.value)='can'"), 0},
    {"ValidityAnyIncludesMissingEntries", [](IMediaItem* q) { QueryTest::Param(q, QPARAM_VALIDITY, QVALID_ANY); }, "1",
     -100000},
};

class QueryMediaDifferential : public QueryTest, public ::testing::WithParamInterface<MediaCase> {};

TEST_P(QueryMediaDifferential, ReturnsTheEntriesThatPlainSqlSelects) {
  const MediaCase& c = GetParam();
  Ref<IMediaItem> query = NewQuery();
  c.build(query.get());
  Ref<IMediaList> list;
  ASSERT_EQ(library_->QueryMedia(query.get(), list.out()), S_OK);
  const std::set<std::u16string> expected = Expected(c.expected, c.minValid);
  const std::set<std::u16string> got = Sources(list.get());
  EXPECT_EQ(got, expected) << c.name << ": got " << got.size() << ", expected " << expected.size();
  // A case that selects nothing would prove little.
  EXPECT_FALSE(expected.empty());
}

INSTANTIATE_TEST_SUITE_P(Operators, QueryMediaDifferential, ::testing::ValuesIn(kMediaCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ValueCase {
  const char* name;
  DWORD tag;
  Build build;
  std::string expected;  // a column of texts
};

const std::string kPresentGenres = "select d.value from media m join str_tags t on t.mid=m.mid join str_data d on "
                                   "d.strid=t.strid where m.valid >= 1 and t.tag=" + kGenre;
const std::string kLacking = " union select '' where exists (select 1 from media m where m.valid >= 1 and not exists "
                             "(select 1 from str_tags t where t.mid=m.mid and t.tag=";
std::string DateParts(int length) {
  return "select substr(t.dvalue, 1, " + std::to_string(length) + ") from media m join date_tags t on t.mid=m.mid "
         "where m.valid >= 1 and t.tag=" + Id(TAG_RELEASE_DATE);
}

const ValueCase kValueCases[] = {
    {"DistinctStrings", TAG_GENRE, [](IMediaItem*) {}, kPresentGenres},
    {"StringsOfMatchingEntries", TAG_GENRE, Text(TAG_ARTIST, u"beatles"),
     kPresentGenres + " and " + Artist("lower(d.value)='beatles'")},
    {"EmptyTextForEntriesLackingTheTag", TAG_GENRE, Flags(QFLAG_WITH_MISSING), kPresentGenres + kLacking + kGenre + "))"},
    {"Integers", TAG_TRACK_NUMBER, Text(TAG_GENRE, u"Jazz"),
     "select t.value from media m join int_tags t on t.mid=m.mid where m.valid >= 1 and t.tag=" + Id(TAG_TRACK_NUMBER) +
         " and " + QueryTest::Str(TAG_GENRE, "lower(d.value)='jazz'")},
    {"RealsInTheItemsTextForm", TAG_REPLAYGAIN_TRACK_GAIN, [](IMediaItem*) {},
     "select printf('%f', t.value) from media m join real_tags t on t.mid=m.mid where m.valid >= 1 and t.tag=" +
         Id(TAG_REPLAYGAIN_TRACK_GAIN)},
    {"WholeDates", TAG_RELEASE_DATE, Int(TAG_RATING, 80, 22),
     "select t.svalue from media m join date_tags t on t.mid=m.mid where m.valid >= 1 and t.tag=" +
         Id(TAG_RELEASE_DATE) + " and " + Rating("t.value >= 80")},
    {"DatesByYear", TAG_RELEASE_DATE, Flags(QFLAG_DATE_YEAR), DateParts(4)},
    {"DatesByYearAndMonth", TAG_RELEASE_DATE, Flags(QFLAG_DATE_YEAR | QFLAG_DATE_MONTH), DateParts(7)},
    {"GuidsInRegistryForm", TAG_MEDIA_TYPE, [](IMediaItem*) {},
     "select case when t.value = " + kHexA + " then '{11111111-2222-3333-0102-030405060708}' else "
     "'{AAAAAAAA-BBBB-CCCC-0807-060504030201}' end from media m join guid_tags t on t.mid=m.mid where m.valid >= 1 "
     "and t.tag=" + Id(TAG_MEDIA_TYPE)},
    {"MarkedEntriesGiveNoValue", TAG_ARTIST, Flags(QFLAG_MARKED),
     "select d.value from media m join str_tags t on t.mid=m.mid join str_data d on d.strid=t.strid where m.valid >= 1 "
     "and t.tag=" + kArtist + " and not " + kMarked},
    {"MarkedEntriesCountAsLackingWithFlag16", TAG_ARTIST, Flags(QFLAG_MARKED | QFLAG_WITH_MISSING),
     "select d.value from media m join str_tags t on t.mid=m.mid join str_data d on d.strid=t.strid where m.valid >= 1 "
     "and t.tag=" + kArtist + " and not " + kMarked + " union select ''"},
    {"CompoundTexts", TAG_ALBUM,
     [](IMediaItem* q) {
       QueryTest::Param(q, QPARAM_SECOND_TAG, static_cast<LONG>(TAG_ARTIST));
       const char16_t* pieces[] = {u"<", u"|", u">", u"(", u")", u"#"};
       for (DWORD i = 0; i < 6; ++i) q->SetInstance(QTAG_VALUE_PIECES, i, pieces[i], 4);
     },
     "select case when r.value is null then '(' || a.value || ')' || '#' || '0' else '<' || a.value || '|' || r.value "
     "|| '>' || '#' || length(r.value) end from media m join str_tags ta on ta.mid=m.mid and ta.tag=" +
         Id(TAG_ALBUM) + " join str_data a on a.strid=ta.strid left join str_tags tr on tr.mid=m.mid and tr.tag=" +
         kArtist + " left join str_data r on r.strid=tr.strid where m.valid >= 1"},
};

class QueryValuesDifferential : public QueryTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(QueryValuesDifferential, ReturnsTheTextsThatPlainSqlSelects) {
  const ValueCase& c = GetParam();
  Ref<IMediaItem> query = NewQuery();
  Param(query.get(), QPARAM_VALUE_TAG, static_cast<LONG>(c.tag));
  c.build(query.get());
  Ref<IMediaResult> result;
  ASSERT_EQ(library_->QueryValues(query.get(), result.out()), S_OK);
  const std::set<std::u16string> expected = ColumnSet(c.expected + ";");
  EXPECT_EQ(Texts(result.get()), expected) << c.name;
  EXPECT_GT(expected.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Values, QueryValuesDifferential, ::testing::ValuesIn(kValueCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace libtest
