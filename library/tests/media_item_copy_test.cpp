// CopyFrom: replace against merge, index ranges, foreign items read only through the interface,
// and an entry that reports a size of 0 in the middle of the copy.
#include <gtest/gtest.h>

#include "helpers.h"

using namespace testing_helpers;

namespace {

std::u16string StringOf(IMediaItem* item, DWORD id) {
  BSTR text = nullptr;
  item->GetString(id, &text);
  return Take(text);
}

DWORD CountOf(IMediaItem* item) {
  DWORD count = 0;
  item->GetTagCount(&count);
  return count;
}

// Another item kind as the copy sees it: a detached item whose one multi-valued instance
// claims to hold 0 bytes, as a broken or half-loaded item may.
class ZeroSizeInstanceItem : public CMediaItem {
 public:
  STDMETHODIMP GetInstance(DWORD id, DWORD instance, void* buffer, DWORD* size) override {
    if (id == TAG_GENRE_COLLECTION && instance == 1) {
      *size = 0;
      return S_OK;
    }
    return CMediaItem::GetInstance(id, instance, buffer, size);
  }
};

class CopyFromTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(mine->SetString(TAG_ARTIST, u"Mine"), S_OK);
    ASSERT_EQ(mine->SetString(TAG_ALBUM, u"Kept"), S_OK);
    ASSERT_EQ(theirs->SetString(TAG_ARTIST, u"Theirs"), S_OK);
    ASSERT_EQ(theirs->SetInt(TAG_RATING, 40), S_OK);
    ASSERT_EQ(theirs->SetInt(TAG_RELEASE_DATE, 1974), S_OK);
    const BYTE art[] = {9, 8, 7};
    ASSERT_EQ(theirs->SetInstance(TAG_ARTWORK_DATA, 2, art, sizeof(art)), S_OK);
    const char16_t pop[] = u"Pop";
    ASSERT_EQ(theirs->SetInstance(TAG_GENRE_COLLECTION, 1, pop, sizeof(pop)), S_OK);
  }

  Ref<CMediaItem> mine = NewItem(u"\\Mine.mp3");
  Ref<CMediaItem> theirs = NewItem(u"\\Theirs.mp3");
};

TEST_F(CopyFromTest, ReplaceLeavesExactlyTheOtherItem) {
  ASSERT_EQ(mine->CopyFrom(theirs.get(), 0, -1, TRUE), S_OK);
  EXPECT_EQ(mine->Source(), u"\\Theirs.mp3");
  ASSERT_EQ(CountOf(mine.get()), CountOf(theirs.get()));
  for (LONG i = 0; i < static_cast<LONG>(CountOf(theirs.get())); ++i) {
    DWORD a = 0, b = 0;
    mine->GetTagIdAt(i, &a);
    theirs->GetTagIdAt(i, &b);
    EXPECT_EQ(a, b);
    BSTR ta = nullptr, tb = nullptr;
    mine->GetStringAt(i, &ta);
    theirs->GetStringAt(i, &tb);
    EXPECT_EQ(Take(ta), Take(tb));
  }
  BOOL has = TRUE;
  mine->HasTag(TAG_ALBUM, &has);
  EXPECT_FALSE(has);
}

TEST_F(CopyFromTest, MergeOverwritesSameKeysAndKeepsTheRest) {
  ASSERT_EQ(mine->CopyFrom(theirs.get(), 0, -1, FALSE), S_OK);
  EXPECT_EQ(mine->Source(), u"\\Mine.mp3");
  EXPECT_EQ(StringOf(mine.get(), TAG_ARTIST), u"Theirs");
  EXPECT_EQ(StringOf(mine.get(), TAG_ALBUM), u"Kept");
  EXPECT_EQ(StringOf(mine.get(), TAG_RELEASE_DATE), u"1974");
  BYTE art[3] = {};
  DWORD size = sizeof(art);
  ASSERT_EQ(mine->GetInstance(TAG_ARTWORK_DATA, 2, art, &size), S_OK);
  EXPECT_EQ(art[0], 9);
  EXPECT_EQ(CountOf(mine.get()), 6u);
}

TEST_F(CopyFromTest, IndexRanges) {
  // theirs: Artist, Rating, Release date (instance 0), then Genre collection 1, Artwork data 2.
  const struct {
    LONG first, end;
    DWORD added;
  } cases[] = {{0, 1, 1}, {1, 3, 2}, {3, -1, 2}, {3, 100, 2}, {2, 2, 0}, {4, 1, 0}};
  for (const auto& c : cases) {
    Ref<CMediaItem> target = NewItem();
    ASSERT_EQ(target->CopyFrom(theirs.get(), c.first, c.end, FALSE), S_OK);
    EXPECT_EQ(CountOf(target.get()), c.added) << c.first << ".." << c.end;
  }
  EXPECT_EQ(mine->CopyFrom(theirs.get(), -1, 2, FALSE), E_INVALIDARG);
  EXPECT_EQ(mine->CopyFrom(nullptr, 0, -1, FALSE), E_POINTER);
}

TEST_F(CopyFromTest, AnEmptyInstanceDoesNotEndTheCopy) {
  Ref<ZeroSizeInstanceItem> odd(new ZeroSizeInstanceItem());
  odd->SetSource(u"\\Odd.mp3");
  const char16_t rock[] = u"Rock";
  ASSERT_EQ(odd->SetInstance(TAG_GENRE_COLLECTION, 1, rock, sizeof(rock)), S_OK);
  ASSERT_EQ(odd->SetInstance(TAG_GENRE_COLLECTION, 2, rock, sizeof(rock)), S_OK);
  const BYTE art[] = {1};
  ASSERT_EQ(odd->SetInstance(TAG_ARTWORK_DATA, 2, art, sizeof(art)), S_OK);
  Ref<CMediaItem> target = NewItem();
  ASSERT_EQ(target->CopyFrom(odd.get(), 0, -1, TRUE), S_OK);
  BOOL has = TRUE;
  target->HasInstance(TAG_GENRE_COLLECTION, 1, &has);
  EXPECT_FALSE(has);
  target->HasInstance(TAG_GENRE_COLLECTION, 2, &has);
  EXPECT_TRUE(has);
  target->HasInstance(TAG_ARTWORK_DATA, 2, &has);
  EXPECT_TRUE(has);
}

TEST_F(CopyFromTest, CopyingAnItemOntoItselfChangesNothing) {
  const DWORD before = CountOf(theirs.get());
  ASSERT_EQ(theirs->CopyFrom(theirs.get(), 0, -1, FALSE), S_OK);
  EXPECT_EQ(CountOf(theirs.get()), before);
  EXPECT_EQ(StringOf(theirs.get(), TAG_ARTIST), u"Theirs");
}

}  // namespace
