// CMediaList: editing, multi-key sorting, keeping indices, merging in every mode (with another
// list and with itself), seeded shuffling, finding by source, and the file name that any change
// forgets.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

#include "helpers.h"
#include "media_list.h"

using namespace testing_helpers;

namespace {

Ref<CMediaItem> Item(const char16_t* source, std::function<void(CMediaItem*)> fill = {}) {
  auto item = NewItem(source);
  if (fill) fill(item.get());
  return item;
}

class MediaListTest : public ::testing::Test {
 protected:
  Ref<CMediaList> list{CreateMediaList()};

  void AddAll(CMediaList* target, std::vector<Ref<CMediaItem>>& items) {
    for (auto& item : items) ASSERT_EQ(target->Add(item.get()), S_OK);
  }
  // Adds items with these sources to the list.
  void AddSources(std::initializer_list<const char16_t*> sources) {
    for (const char16_t* s : sources) {
      auto item = Item(s);
      ASSERT_EQ(list->Add(item.get()), S_OK);
    }
  }
  std::vector<std::u16string> Sources(IMediaList* l = nullptr) {
    if (!l) l = list.get();
    DWORD count = 0;
    l->GetCount(&count);
    std::vector<std::u16string> out;
    for (LONG i = 0; i < static_cast<LONG>(count); ++i) {
      Ref<IMediaItem> item;
      EXPECT_EQ(l->GetItem(i, item.out()), S_OK);
      BSTR source = nullptr;
      item->GetSource(&source);
      out.push_back(Take(source));
    }
    return out;
  }
  std::u16string FileName() {
    BSTR name = nullptr;
    list->GetFileName(&name);
    return Take(name);
  }
};

using Texts = std::vector<std::u16string>;

TEST_F(MediaListTest, EditingByIndex) {
  AddSources({u"a", u"b"});
  auto c = Item(u"c");
  EXPECT_EQ(list->Insert(2, c.get()), S_OK);  // at the count: appends
  EXPECT_EQ(list->Insert(3 + 1, c.get()), E_FAIL);
  EXPECT_EQ(list->Insert(-1, c.get()), E_FAIL);
  EXPECT_EQ(list->Insert(0, nullptr), E_POINTER);
  EXPECT_EQ(list->Add(nullptr), E_POINTER);
  auto d = Item(u"d");
  EXPECT_EQ(list->Insert(0, d.get()), S_OK);
  EXPECT_EQ(Sources(), (Texts{u"d", u"a", u"b", u"c"}));
  EXPECT_EQ(list->Swap(0, 3), S_OK);
  EXPECT_EQ(list->Swap(0, 4), E_FAIL);
  EXPECT_EQ(list->RemoveAt(1), S_OK);
  EXPECT_EQ(list->RemoveAt(3), E_FAIL);
  EXPECT_EQ(Sources(), (Texts{u"c", u"b", u"d"}));
  IMediaItem* out = reinterpret_cast<IMediaItem*>(1);
  EXPECT_EQ(list->GetItem(3, &out), E_FAIL);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(list->GetItem(-1, &out), E_FAIL);
  EXPECT_EQ(list->Clear(), S_OK);
  EXPECT_TRUE(Sources().empty());
  DWORD count = 7;
  EXPECT_EQ(list->GetCount(&count), S_OK);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(list->GetCount(nullptr), E_FAIL);
}

TEST_F(MediaListTest, HoldsOneReferencePerEntry) {
  auto item = Item(u"a");
  list->Add(item.get());
  list->Add(item.get());
  EXPECT_EQ(item->AddRef(), 4u);  // ours, two entries, this call
  item->Release();
  list->RemoveAt(0);
  EXPECT_EQ(item->AddRef(), 3u);
  item->Release();
  list->Release();  // the list goes: its reference goes with it
  *list.out() = CreateMediaList();
  EXPECT_EQ(item->AddRef(), 2u);
  item->Release();
}

TEST_F(MediaListTest, AnyChangeForgetsTheFileNameButShuffleKeepsIt) {
  auto extra = Item(u"x");
  const struct {
    const char* name;
    std::function<HRESULT(CMediaList*)> change;
    bool keeps;
  } cases[] = {
      {"Sort", [](CMediaList* l) { return l->Sort(nullptr, nullptr, 0); }, false},
      {"Insert", [&](CMediaList* l) { return l->Insert(0, extra.get()); }, false},
      {"Add", [&](CMediaList* l) { return l->Add(extra.get()); }, false},
      {"RemoveAt", [](CMediaList* l) { return l->RemoveAt(0); }, false},
      {"Clear", [](CMediaList* l) { return l->Clear(); }, false},
      {"Swap", [](CMediaList* l) { return l->Swap(0, 1); }, false},
      {"KeepIndices", [](CMediaList* l) { LONG i = 0; return l->KeepIndices(&i, 1); }, false},
      {"Merge", [](CMediaList* l) { return l->Merge(l, MEDIALIST_MERGE_NEW_SOURCES); }, false},
      {"AppendList", [](CMediaList* l) { return l->AppendList(l, FALSE); }, false},
      {"Shuffle", [](CMediaList* l) { return l->Shuffle(); }, true},
      {"SetName", [](CMediaList* l) { return l->SetName(u"n"); }, true},
  };
  for (const auto& c : cases) {
    list->Clear();
    AddSources({u"a", u"b"});
    list->SetFileNameText(u"\\My Documents\\list.m3u");
    ASSERT_EQ(c.change(list.get()), S_OK) << c.name;
    EXPECT_EQ(FileName(), c.keeps ? u"\\My Documents\\list.m3u" : u"") << c.name;
  }
}

TEST_F(MediaListTest, NameAndIdentity) {
  BSTR name = nullptr;
  ASSERT_EQ(list->GetName(&name), S_OK);
  EXPECT_EQ(Take(name), u"");
  EXPECT_EQ(list->SetName(nullptr), E_POINTER);
  ASSERT_EQ(list->SetName(u"Road trip"), S_OK);
  ASSERT_EQ(list->GetName(&name), S_OK);
  EXPECT_EQ(Take(name), u"Road trip");
  for (const GUID& iid : {IID_IUnknown, IID_IMediaList, IID_IMediaList2}) {
    void* out = nullptr;
    ASSERT_EQ(list->QueryInterface(iid, &out), S_OK);
    static_cast<IUnknown*>(out)->Release();
  }
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(list->QueryInterface(IID_IMediaItem, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
}

// ---- Sort ----

class SortTest : public MediaListTest {
 protected:
  void Add(const char16_t* source, std::function<void(CMediaItem*)> fill) {
    auto item = Item(source, std::move(fill));
    list->Add(item.get());
  }
  HRESULT SortBy(std::vector<DWORD> tags, std::vector<DWORD> ascending) {
    return list->Sort(tags.data(), ascending.data(), static_cast<LONG>(tags.size()));
  }
};

TEST_F(SortTest, MissingValuesFirstAscendingAndLastDescending) {
  Add(u"t3", [](CMediaItem* i) { i->SetInt(TAG_TRACK_NUMBER, 3); });
  Add(u"none", nullptr);
  Add(u"t1", [](CMediaItem* i) { i->SetInt(TAG_TRACK_NUMBER, 1); });
  Add(u"t-2", [](CMediaItem* i) { i->SetInt(TAG_TRACK_NUMBER, -2); });
  ASSERT_EQ(SortBy({TAG_TRACK_NUMBER}, {1}), S_OK);
  EXPECT_EQ(Sources(), (Texts{u"none", u"t-2", u"t1", u"t3"}));
  ASSERT_EQ(SortBy({TAG_TRACK_NUMBER}, {0}), S_OK);
  EXPECT_EQ(Sources(), (Texts{u"t3", u"t1", u"t-2", u"none"}));
}

TEST_F(SortTest, AlbumArtistFallsBackToArtist) {
  Add(u"C", [](CMediaItem* i) { i->SetString(TAG_ALBUM_ARTIST, u"C"); });
  Add(u"B", [](CMediaItem* i) { i->SetString(TAG_ARTIST, u"b"); });
  Add(u"A", [](CMediaItem* i) { i->SetString(TAG_ALBUM_ARTIST, u"A"); });
  Add(u"none", nullptr);
  ASSERT_EQ(SortBy({TAG_ALBUM_ARTIST}, {1}), S_OK);
  EXPECT_EQ(Sources(), (Texts{u"none", u"A", u"B", u"C"}));
  // A first key of 0 compares nothing and turns the fallback off: "B" now has no value.
  ASSERT_EQ(SortBy({0, TAG_ALBUM_ARTIST}, {1, 1}), S_OK);
  const Texts sorted = Sources();
  // Both now lack a value and compare equal, in either order.
  EXPECT_TRUE(std::is_permutation(sorted.begin(), sorted.begin() + 2, Texts{u"B", u"none"}.begin()));
  EXPECT_EQ(Texts(sorted.begin() + 2, sorted.end()), (Texts{u"A", u"C"}));
}

TEST_F(SortTest, SeveralKeysGroupAnAlbumListing) {
  auto fill = [](const char16_t* albumArtist, const char16_t* artist, const char16_t* album, LONG track) {
    return [=](CMediaItem* i) {
      if (albumArtist) i->SetString(TAG_ALBUM_ARTIST, albumArtist);
      if (artist) i->SetString(TAG_ARTIST, artist);
      i->SetString(TAG_ALBUM, album);
      i->SetInt(TAG_TRACK_NUMBER, track);
    };
  };
  Add(u"abba-gold-2", fill(u"ABBA", nullptr, u"Gold", 2));
  Add(u"queen-hits-1", fill(nullptr, u"Queen", u"Hits", 1));
  Add(u"abba-arrival-1", fill(nullptr, u"abba", u"Arrival", 1));
  Add(u"abba-gold-1", fill(u"Abba", nullptr, u"gold", 1));
  Add(u"queen-a-9", fill(u"Queen", nullptr, u"A Night", 9));
  ASSERT_EQ(SortBy({TAG_ALBUM_ARTIST, TAG_ALBUM, TAG_TRACK_NUMBER}, {1, 1, 1}), S_OK);
  EXPECT_EQ(Sources(), (Texts{u"abba-arrival-1", u"abba-gold-1", u"abba-gold-2", u"queen-a-9", u"queen-hits-1"}));
  ASSERT_EQ(SortBy({TAG_ALBUM_ARTIST, TAG_ALBUM, TAG_TRACK_NUMBER}, {1, 1, 0}), S_OK);
  EXPECT_EQ(Sources(), (Texts{u"abba-arrival-1", u"abba-gold-2", u"abba-gold-1", u"queen-a-9", u"queen-hits-1"}));
}

TEST_F(SortTest, TextsAndSourcesOrderIgnoringCase) {
  // In code-unit order "B" comes before "a" and E-acute (U+00C9) before e-grave (U+00E8); ignoring
  // case, a < B < c < E-grave < E-acute, for tag texts and for sources alike.
  Add(u"\\x\\c", [](CMediaItem* i) { i->SetString(TAG_ARTIST, u"c"); });
  Add(u"\\x\\B", [](CMediaItem* i) { i->SetString(TAG_ARTIST, u"B"); });
  Add(u"\\x\\\u00e9", [](CMediaItem* i) { i->SetString(TAG_ARTIST, u"\u00c9"); });
  Add(u"\\x\\a", [](CMediaItem* i) { i->SetString(TAG_ARTIST, u"a"); });
  Add(u"\\x\\\u00c8", [](CMediaItem* i) { i->SetString(TAG_ARTIST, u"\u00e8"); });
  ASSERT_EQ(SortBy({TAG_ARTIST}, {1}), S_OK);
  EXPECT_EQ(Sources(), (Texts{u"\\x\\a", u"\\x\\B", u"\\x\\c", u"\\x\\\u00c8", u"\\x\\\u00e9"}));
  ASSERT_EQ(list->Sort(nullptr, nullptr, 0), S_OK);
  EXPECT_EQ(Sources(), (Texts{u"\\x\\a", u"\\x\\B", u"\\x\\c", u"\\x\\\u00c8", u"\\x\\\u00e9"}));
}

TEST_F(SortTest, RealsDatesAndMultiValuedIntegers) {
  Add(u"late", [](CMediaItem* i) {
    i->SetFloat(TAG_REPLAYGAIN_TRACK_GAIN, 2.5f);
    SYSTEMTIME d = Date(2007, 10, 16);
    i->SetSystemTime(TAG_RELEASE_DATE, &d);
    LONG plays = 1;
    i->SetInstance(TAG_PLAY_COUNT, 0, &plays, sizeof(plays));
  });
  Add(u"nan", [](CMediaItem* i) { i->SetFloat(TAG_REPLAYGAIN_TRACK_GAIN, std::nanf("")); });
  Add(u"early", [](CMediaItem* i) {
    i->SetFloat(TAG_REPLAYGAIN_TRACK_GAIN, -1.5f);
    SYSTEMTIME d = Date(1999);
    i->SetSystemTime(TAG_RELEASE_DATE, &d);
    LONG plays = 5;
    i->SetInstance(TAG_PLAY_COUNT, 0, &plays, sizeof(plays));
  });
  ASSERT_EQ(SortBy({TAG_REPLAYGAIN_TRACK_GAIN}, {1}), S_OK);
  EXPECT_EQ(Sources(), (Texts{u"early", u"late", u"nan"}));
  ASSERT_EQ(SortBy({TAG_RELEASE_DATE}, {0}), S_OK);
  EXPECT_EQ(Sources(), (Texts{u"late", u"early", u"nan"}));
  ASSERT_EQ(SortBy({TAG_PLAY_COUNT}, {0}), S_OK);
  EXPECT_EQ(Sources(), (Texts{u"early", u"late", u"nan"}));
}

TEST_F(SortTest, RefusedKeysLeaveTheOrder) {
  AddSources({u"b", u"a", u"c"});
  for (DWORD key : {TAG_MCDI, TAG_MEDIA_TYPE, TAG_GENRE_COLLECTION, TAG_ARTWORK_DATA, TAG_ID3_VOLUME_ADJUSTMENT}) {
    EXPECT_EQ(SortBy({TAG_ARTIST, key}, {1, 1}), E_FAIL) << std::hex << key;
    EXPECT_EQ(Sources(), (Texts{u"b", u"a", u"c"}));
  }
  EXPECT_EQ(list->Sort(nullptr, nullptr, 1), E_POINTER);
  EXPECT_EQ(list->Sort(nullptr, nullptr, -1), E_INVALIDARG);
}

TEST_F(SortTest, WithoutKeysBySourceIgnoringCase) {
  AddSources({u"b", u"", u"C", u"a"});
  ASSERT_EQ(list->Sort(nullptr, nullptr, 0), S_OK);
  EXPECT_EQ(Sources(), (Texts{u"", u"a", u"b", u"C"}));
  DWORD descending = 0;
  ASSERT_EQ(list->Sort(nullptr, &descending, 0), S_OK);
  EXPECT_EQ(Sources(), (Texts{u"C", u"b", u"a", u""}));
}

TEST_F(SortTest, ManyEqualItemsSortSafely) {
  for (int i = 0; i < 200; ++i) Add(i % 2 ? u"odd" : u"even", [i](CMediaItem* it) {
    it->SetFloat(TAG_REPLAYGAIN_TRACK_GAIN, i % 3 ? std::nanf("") : 1.0f);
  });
  ASSERT_EQ(SortBy({TAG_REPLAYGAIN_TRACK_GAIN}, {1}), S_OK);
  EXPECT_EQ(Sources().size(), 200u);
}

// ---- KeepIndices ----

TEST_F(MediaListTest, KeepIndicesSortsAndRepeats) {
  AddSources({u"0", u"1", u"2", u"3"});
  const LONG keep[] = {3, 1, 3};
  ASSERT_EQ(list->KeepIndices(keep, 3), S_OK);
  EXPECT_EQ(Sources(), (Texts{u"1", u"3", u"3"}));
  const LONG bad[] = {0, 3};
  EXPECT_EQ(list->KeepIndices(bad, 2), E_FAIL);
  EXPECT_EQ(Sources(), (Texts{u"1", u"3", u"3"}));
  const LONG negative[] = {-1};
  EXPECT_EQ(list->KeepIndices(negative, 1), E_FAIL);
  ASSERT_EQ(list->KeepIndices(nullptr, 0), S_OK);
  EXPECT_TRUE(Sources().empty());
}

// ---- Merge ----

class MergeTest : public MediaListTest {
 protected:
  void SetUp() override {
    AddSources({u"a", u"B", u"c"});
    for (const char16_t* s : {u"b", u"d", u"A"}) {
      auto item = Item(s);
      other->Add(item.get());
    }
  }
  Ref<CMediaList> other{CreateMediaList()};
};

TEST_F(MergeTest, EachModeWithAnotherList) {
  const struct {
    DWORD mode;
    Texts expected;
  } cases[] = {
      {MEDIALIST_MERGE_NEW_SOURCES, {u"a", u"B", u"c", u"d"}},
      {MEDIALIST_MERGE_ALL, {u"a", u"B", u"c", u"b", u"d", u"A"}},
      {MEDIALIST_MERGE_KEEP_SAME, {}},  // each item of the other keeps only its own source
      {MEDIALIST_MERGE_REMOVE_SAME, {u"c"}},
  };
  for (const auto& c : cases) {
    list->Clear();
    AddSources({u"a", u"B", u"c"});
    ASSERT_EQ(list->Merge(other.get(), c.mode), S_OK) << c.mode;
    EXPECT_EQ(Sources(), c.expected) << c.mode;
    EXPECT_EQ(Sources(other.get()), (Texts{u"b", u"d", u"A"}));
  }
}

TEST_F(MergeTest, KeepSameWithOneItem) {
  Ref<CMediaList> one(CreateMediaList());
  auto b = Item(u"b");
  one->Add(b.get());
  ASSERT_EQ(list->Merge(one.get(), MEDIALIST_MERGE_KEEP_SAME), S_OK);
  EXPECT_EQ(Sources(), Texts{u"B"});
}

TEST_F(MergeTest, WithItself) {
  ASSERT_EQ(list->Merge(list.get(), MEDIALIST_MERGE_NEW_SOURCES), S_OK);
  EXPECT_EQ(Sources(), (Texts{u"a", u"B", u"c"}));
  ASSERT_EQ(list->Merge(list.get(), MEDIALIST_MERGE_ALL), S_OK);
  EXPECT_EQ(Sources(), (Texts{u"a", u"B", u"c", u"a", u"B", u"c"}));
  ASSERT_EQ(list->Merge(list.get(), MEDIALIST_MERGE_REMOVE_SAME), S_OK);
  EXPECT_TRUE(Sources().empty());
}

TEST_F(MergeTest, RefusedModesAndLists) {
  EXPECT_EQ(list->Merge(other.get(), 4), E_FAIL);
  EXPECT_EQ(list->Merge(nullptr, 0), E_POINTER);
  EXPECT_EQ(Sources(), (Texts{u"a", u"B", u"c"}));
}

TEST_F(MergeTest, AppendListWithAndWithoutDuplicates) {
  ASSERT_EQ(list->AppendList(other.get(), FALSE), S_OK);
  EXPECT_EQ(Sources(), (Texts{u"a", u"B", u"c", u"d"}));
  ASSERT_EQ(list->AppendList(other.get(), TRUE), S_OK);
  EXPECT_EQ(Sources().size(), 7u);
  auto item = Item(u"x");
  EXPECT_EQ(list->AppendList(item.get(), TRUE), E_FAIL);  // not a list
  EXPECT_EQ(list->AppendList(nullptr, TRUE), E_POINTER);
}

// ---- Shuffle, FindBySource, IsPlaylistItem ----

TEST_F(MediaListTest, ShuffleFollowsTheSeededGenerator) {
  const Texts original = {u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7"};
  for (const auto& s : original) AddSources({s.c_str()});
  std::srand(1234);
  ASSERT_EQ(list->Shuffle(), S_OK);
  const Texts first = Sources();
  // The same seed gives the same order: the exchanges of a Fisher-Yates walk from the front.
  std::srand(1234);
  Texts expected = original;
  for (size_t i = 1; i < expected.size(); ++i) std::swap(expected[i], expected[static_cast<size_t>(std::rand()) % (i + 1)]);
  EXPECT_EQ(first, expected);
  Texts sorted = first;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, original);
  EXPECT_NE(first, original);
}

TEST_F(MediaListTest, FindBySourceFromTheFrontIgnoringCase) {
  auto first = Item(u"\\Music\\A.mp3");
  auto second = Item(u"\\music\\a.MP3");
  list->Add(first.get());
  list->Add(second.get());
  Ref<IMediaItem> found;
  ASSERT_EQ(list->FindBySource(u"\\MUSIC\\a.mp3", found.out()), S_OK);
  EXPECT_EQ(found.get(), static_cast<IMediaItem*>(first.get()));
  IMediaItem* none = reinterpret_cast<IMediaItem*>(1);
  EXPECT_EQ(list->FindBySource(u"\\Music\\b.mp3", &none), E_FAIL);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(list->FindBySource(nullptr, &none), E_POINTER);
}

TEST_F(MediaListTest, PlaylistItemsByMediaType) {
  auto playlist = Item(u"\\a.m3u", [](CMediaItem* i) { i->SetGuid(TAG_MEDIA_TYPE, MEDIATYPE_PLAYLIST); });
  auto song = Item(u"\\a.mp3", [](CMediaItem* i) { i->SetGuid(TAG_MEDIA_TYPE, MEDIATYPE_FILE_DEFAULT); });
  auto untyped = Item(u"\\b.mp3");
  for (auto* i : {playlist.get(), song.get(), untyped.get()}) list->Add(i);
  const BOOL expected[] = {TRUE, FALSE, FALSE};
  for (LONG i = 0; i < 3; ++i) {
    BOOL is = 7;
    EXPECT_EQ(list->IsPlaylistItem(i, &is), S_OK);
    EXPECT_EQ(is, expected[i]);
  }
  BOOL is = 7;
  EXPECT_EQ(list->IsPlaylistItem(3, &is), E_FAIL);
  EXPECT_EQ(is, FALSE);
}

}  // namespace
