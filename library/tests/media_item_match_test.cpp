// Matches: a pattern item with per-tag operators, QTAG_MISSING, the multi-valued codes, and
// patterns that name only a few of the item's tags.
#include <gtest/gtest.h>

#include "helpers.h"

using namespace testing_helpers;

namespace {

class MatchesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    item->SetString(TAG_ARTIST, u"The Beatles");
    item->SetString(TAG_ALBUM, u"Anthology");
    item->SetInt(TAG_RATING, 80);
    SYSTEMTIME released = Date(1995, 11, 21);
    item->SetSystemTime(TAG_RELEASE_DATE, &released);
    LONG plays = 3;
    item->SetInstance(TAG_PLAY_COUNT, 1, &plays, sizeof(plays));
    plays = 7;
    item->SetInstance(TAG_PLAY_COUNT, 2, &plays, sizeof(plays));
  }

  Ref<CMediaItem> Pattern() { return NewItem(u""); }

  static void Operator(CMediaItem* pattern, DWORD id, LONG code) {
    ASSERT_EQ(pattern->SetInstance(QTAG_OPERATOR, id, &code, sizeof(code)), S_OK);
  }

  bool Match(CMediaItem* pattern) {
    BOOL matched = 2;
    EXPECT_EQ(item->Matches(pattern, &matched), S_OK);
    return matched == TRUE;
  }

  Ref<CMediaItem> item = NewItem();
};

TEST_F(MatchesTest, EmptyPatternAndPatternsNamingFewTags) {
  EXPECT_TRUE(Match(Pattern().get()));
  auto pattern = Pattern();
  pattern->SetString(TAG_ARTIST, u"the beatles");
  EXPECT_TRUE(Match(pattern.get()));
  pattern->SetString(TAG_ARTIST, u"Queen");
  EXPECT_FALSE(Match(pattern.get()));
}

TEST_F(MatchesTest, OperatorsPerTag) {
  const struct {
    DWORD id;
    const char16_t* value;
    LONG code;
    bool matches;
  } cases[] = {
      {TAG_ARTIST, u"beat", 3, true},       {TAG_ARTIST, u"beat", 1, false},
      {TAG_ARTIST, u"beat* -live", 9, true}, {TAG_ARTIST, u"^the", 9, true},
      {TAG_ARTIST, u"^beat", 9, false},     {TAG_RATING, u"60", 22, true},
      {TAG_RATING, u"60", 23, false},       {TAG_RATING, u"80", 0, true},  // 0: the default
      {TAG_RELEASE_DATE, u"1995", 45, true}, {TAG_RELEASE_DATE, u"1995", 41, false},
      {TAG_RELEASE_DATE, u"1990-01-01", 43, true}, {TAG_ALBUM, u"x", 100, true},
      {TAG_GENRE, u"x", 100, false},  // the item lacks the tag altogether
  };
  for (const auto& c : cases) {
    auto pattern = Pattern();
    ASSERT_EQ(pattern->SetString(c.id, c.value), S_OK);
    Operator(pattern.get(), c.id, c.code);
    EXPECT_EQ(Match(pattern.get()), c.matches) << Narrow(c.value) << " code " << c.code;
  }
}

TEST_F(MatchesTest, AllPatternTagsMustHold) {
  auto pattern = Pattern();
  pattern->SetString(TAG_ARTIST, u"beatles");
  Operator(pattern.get(), TAG_ARTIST, 3);
  pattern->SetInt(TAG_RATING, 80);
  EXPECT_TRUE(Match(pattern.get()));
  pattern->SetInt(TAG_RATING, 81);
  EXPECT_FALSE(Match(pattern.get()));
}

TEST_F(MatchesTest, CodeForeignToTheTypeFails) {
  auto pattern = Pattern();
  pattern->SetInt(TAG_RATING, 80);
  Operator(pattern.get(), TAG_RATING, 3);
  BOOL matched = TRUE;
  EXPECT_EQ(item->Matches(pattern.get(), &matched), E_FAIL);
  EXPECT_FALSE(matched);
  EXPECT_EQ(item->Matches(nullptr, &matched), E_POINTER);
}

TEST_F(MatchesTest, MissingTags) {
  auto pattern = Pattern();
  LONG genre = static_cast<LONG>(TAG_GENRE);
  pattern->SetInstance(QTAG_MISSING, 1, &genre, sizeof(genre));
  EXPECT_TRUE(Match(pattern.get()));
  LONG artist = static_cast<LONG>(TAG_ARTIST);
  pattern->SetInstance(QTAG_MISSING, 2, &artist, sizeof(artist));
  EXPECT_FALSE(Match(pattern.get()));
}

TEST_F(MatchesTest, MultiValuedCodes) {
  const struct {
    DWORD instance;
    LONG value;
    LONG code;
    bool matches;
  } cases[] = {
      {1, 3, 0, true},   {1, 4, 91, false}, {3, 3, 91, false}, {2, 0, 92, true},  {3, 0, 92, false},
      {9, 7, 93, true},  {9, 8, 93, false}, {3, 0, 94, true},  {1, 0, 94, false}, {9, 3, 95, true},
      {9, 3, 100, true},
  };
  for (const auto& c : cases) {
    auto pattern = Pattern();
    pattern->SetInstance(TAG_PLAY_COUNT, c.instance, &c.value, sizeof(c.value));
    if (c.code) Operator(pattern.get(), TAG_PLAY_COUNT, c.code);
    EXPECT_EQ(Match(pattern.get()), c.matches) << "instance " << c.instance << " code " << c.code;
  }
  auto pattern = Pattern();
  LONG one = 1;
  pattern->SetInstance(TAG_PLAY_COUNT, 1, &one, sizeof(one));
  Operator(pattern.get(), TAG_PLAY_COUNT, 21);  // a value code on a multi-valued tag
  BOOL matched;
  EXPECT_EQ(item->Matches(pattern.get(), &matched), E_FAIL);
}

}  // namespace
