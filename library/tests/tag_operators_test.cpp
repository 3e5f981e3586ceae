// The operator matrix: each comparison code against the value types it belongs to, codes that
// do not belong, and values of different tags.
#include <gtest/gtest.h>

#include <cstring>

#include "helpers.h"
#include "tag_compare.h"

using namespace testing_helpers;

namespace {

CTagValue Str(const char16_t* t) { return CTagValue::ForText(TAG_ARTIST, t); }
CTagValue Int(LONG v) { return CTagValue::ForInt(TAG_RATING, v); }
CTagValue Real(float v) { return CTagValue::ForFloat(TAG_REPLAYGAIN_TRACK_GAIN, v); }
CTagValue Day(SYSTEMTIME st) { return CTagValue::ForSystemTime(TAG_RELEASE_DATE, st); }
CTagValue Blob(const char* bytes) { return CTagValue::ForBlob(TAG_MCDI, bytes, static_cast<DWORD>(std::strlen(bytes))); }
CTagValue Guid(DWORD d1) { return CTagValue::ForGuid(TAG_MEDIA_TYPE, GUID{d1, 0, 0, {}}); }

struct OperatorCase {
  const char* name;
  LONG code;
  CTagValue v, p;
  bool expected;
};

TEST(TagOperatorMatrix, TableOfCodes) {
  const SYSTEMTIME d = Date(2007, 10, 16, 9, 5, 0), later = Date(2007, 10, 17);
  const OperatorCase cases[] = {
      {"1 equal, case ignored", 1, Str(u"ABBA"), Str(u"abba"), true},
      {"1 equal, other", 1, Str(u"Abba"), Str(u"Abb"), false},
      {"2 differs, case ignored", 2, Str(u"ABBA"), Str(u"abba"), false},
      {"2 differs", 2, Str(u"Abba"), Str(u"Queen"), true},
      {"3 contains", 3, Str(u"The Beatles"), Str(u"BEAT"), true},
      {"3 contains, not", 3, Str(u"Queen"), Str(u"beat"), false},
      {"4 lacks", 4, Str(u"Queen"), Str(u"beat"), true},
      {"4 lacks, contains", 4, Str(u"Beat it"), Str(u"BEAT"), false},
      {"5 exact", 5, Str(u"Abba"), Str(u"Abba"), true},
      {"5 exact, case", 5, Str(u"Abba"), Str(u"abba"), false},
      {"6 exact differs", 6, Str(u"Abba"), Str(u"abba"), true},
      {"7 contains with case", 7, Str(u"The Beatles"), Str(u"Beat"), true},
      {"7 contains with case, not", 7, Str(u"The Beatles"), Str(u"beat"), false},
      {"8 lacks with case", 8, Str(u"The Beatles"), Str(u"beat"), true},
      {"9 plain word", 9, Str(u"The Beatles"), Str(u"beat"), true},
      {"9 expression", 9, Str(u"Beatles live"), Str(u"beat* -live"), false},
      {"21 equal", 21, Int(5), Int(5), true},
      {"21 equal, not", 21, Int(5), Int(6), false},
      {"22 at least", 22, Int(-1), Int(-2), true},
      {"22 at least, below", 22, Int(-3), Int(-2), false},
      {"23 at most", 23, Int(-3), Int(-2), true},
      {"24 differs", 24, Int(1), Int(2), true},
      {"21 reals", 21, Real(1.5f), Real(1.5f), true},
      {"22 reals", 22, Real(1.5f), Real(2.5f), false},
      {"23 reals", 23, Real(1.5f), Real(2.5f), true},
      {"24 reals", 24, Real(1.5f), Real(1.5f), false},
      {"41 same date", 41, Day(d), Day(d), true},
      {"42 same date", 42, Day(d), Day(d), false},
      {"43 same date", 43, Day(d), Day(d), true},
      {"44 same date", 44, Day(d), Day(d), true},
      {"45 same date", 45, Day(d), Day(d), true},
      {"46 same date", 46, Day(d), Day(d), false},
      {"47 same date", 47, Day(d), Day(d), true},
      {"48 same date", 48, Day(d), Day(d), true},
      {"43 after", 43, Day(later), Day(d), true},
      {"44 after", 44, Day(later), Day(d), false},
      {"41 year pattern, exact", 41, Day(d), Day(Date(2007)), false},
      {"45 year pattern, wildcard", 45, Day(d), Day(Date(2007)), true},
      {"45 other year", 45, Day(Date(2006, 1, 1)), Day(Date(2007)), false},
      {"46 year pattern", 46, Day(d), Day(Date(2007)), false},
      {"51 equal bytes", 51, Blob("abc"), Blob("abc"), true},
      {"51 other bytes", 51, Blob("abc"), Blob("abd"), false},
      {"52 other bytes", 52, Blob("abc"), Blob("abd"), true},
      {"52 equal bytes", 52, Blob("abc"), Blob("abc"), false},
      {"61 equal", 61, Guid(1), Guid(1), true},
      {"61 differs", 61, Guid(1), Guid(2), false},
      {"62 differs", 62, Guid(1), Guid(2), true},
      {"100 always", 100, Int(1), Int(2), true},
      {"string code on integer", 1, Int(1), Int(1), false},
      {"integer code on string", 21, Str(u"a"), Str(u"a"), false},
      {"date code on integer", 41, Int(1), Int(1), false},
      {"unknown code", 99, Str(u"a"), Str(u"a"), false},
      {"different tags", 1, Str(u"a"), CTagValue::ForText(TAG_ALBUM, u"a"), false},
      {"different tags, always", 100, Str(u"a"), CTagValue::ForText(TAG_ALBUM, u"a"), false},
  };
  for (const OperatorCase& c : cases) EXPECT_EQ(EvaluateOperator(c.code, c.v, c.p), c.expected) << c.name;
}

TEST(TagOperatorMatrix, BlobWithoutReferenceAgainstOneWithBytes) {
  CTagValue none;
  none.id = TAG_MCDI;  // a blob value whose bytes are gone
  CTagValue some = Blob("abc");
  EXPECT_FALSE(EvaluateOperator(51, none, some));
  EXPECT_TRUE(EvaluateOperator(52, none, some));
  EXPECT_TRUE(EvaluateOperator(51, none, none));
}

TEST(TagOperatorMatrix, DefaultsAndCodesPerType) {
  const struct {
    DWORD id;
    LONG defaultCode, differs;
    LONG fits[2], foreign[2];
  } cases[] = {
      {TAG_ARTIST, 1, 2, {1, 9}, {0, 21}},
      {TAG_RATING, 21, 24, {21, 24}, {9, 25}},
      {TAG_REPLAYGAIN_TRACK_GAIN, 21, 24, {22, 23}, {41, 20}},
      {TAG_RELEASE_DATE, 41, 42, {41, 48}, {40, 49}},
      {TAG_MCDI, 51, 52, {51, 52}, {50, 53}},
      {TAG_MEDIA_TYPE, 61, 62, {61, 62}, {60, 63}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DefaultOperator(c.id), c.defaultCode);
    EXPECT_EQ(DiffersValueOperator(c.id), c.differs);
    for (LONG code : c.fits) EXPECT_TRUE(OperatorFitsTag(code, c.id)) << code;
    for (LONG code : c.foreign) EXPECT_FALSE(OperatorFitsTag(code, c.id)) << code;
    EXPECT_TRUE(OperatorFitsTag(100, c.id));
    EXPECT_FALSE(OperatorFitsTag(91, c.id));
  }
  EXPECT_EQ(DefaultOperator(TAG_PLAY_COUNT), 91);
  EXPECT_EQ(DefaultValueOperator(TAG_PLAY_COUNT), 21);
  for (LONG code : {91, 92, 93, 94, 95, 100}) EXPECT_TRUE(OperatorFitsTag(code, TAG_PLAY_COUNT));
  for (LONG code : {21, 1, 96, 90}) EXPECT_FALSE(OperatorFitsTag(code, TAG_PLAY_COUNT));
}

}  // namespace
