// CMediaItem through IMediaItem: key order, getters and setters with conversion, protected tags,
// the multi-valued byte forms, removal, identity and reference counts.
#include <gtest/gtest.h>

#include <cstring>

#include "helpers.h"
#include "medialist.h"

using namespace testing_helpers;

namespace {

class MediaItem : public ::testing::Test {
 protected:
  Ref<CMediaItem> item = NewItem();

  std::u16string String(DWORD id) {
    BSTR text = nullptr;
    item->GetString(id, &text);
    return Take(text);
  }
  LONG Count() {
    DWORD count = 0;
    item->GetTagCount(&count);
    return static_cast<LONG>(count);
  }
  DWORD IdAt(LONG index) {
    DWORD id = 0;
    EXPECT_EQ(item->GetTagIdAt(index, &id), S_OK);
    return id;
  }
};

TEST_F(MediaItem, EntriesOrderedByInstanceThenId) {
  LONG two = 2;
  ASSERT_EQ(item->SetInstance(TAG_PLAY_COUNT, 2, &two, sizeof(two)), S_OK);
  ASSERT_EQ(item->SetInt(TAG_RATING, 80), S_OK);
  ASSERT_EQ(item->SetString(TAG_ARTIST, u"Abba"), S_OK);
  ASSERT_EQ(item->SetInstance(TAG_PLAY_COUNT, 0, &two, sizeof(two)), S_OK);
  ASSERT_EQ(item->SetInstance(TAG_PLAY_COUNT, 0xFFFFFFFF, &two, sizeof(two)), S_OK);  // instance -1
  ASSERT_EQ(Count(), 5);
  const struct {
    DWORD id;
    LONG instance;
  } expected[] = {{TAG_PLAY_COUNT, -1}, {TAG_ARTIST, 0}, {TAG_RATING, 0}, {TAG_PLAY_COUNT, 0}, {TAG_PLAY_COUNT, 2}};
  for (LONG i = 0; i < 5; ++i) {
    EXPECT_EQ(IdAt(i), expected[i].id) << i;
    DWORD instance = 0;
    if (TAG_IS_MULTI(expected[i].id)) {
      EXPECT_EQ(item->GetInstanceAt(i, &instance), S_OK);
      EXPECT_EQ(static_cast<LONG>(instance), expected[i].instance);
    } else {
      EXPECT_EQ(item->GetInstanceAt(i, &instance), E_FAIL);
    }
  }
  LONG index = -5;
  EXPECT_EQ(item->IndexOfInstance(TAG_PLAY_COUNT, 2, &index), S_OK);
  EXPECT_EQ(index, 4);
  EXPECT_EQ(item->IndexOfTagNumber(TAG_NUMBER(TAG_RATING), &index), S_OK);
  EXPECT_EQ(index, 2);
  EXPECT_EQ(item->IndexOfTagNumber(0x7FFF0000u | TAG_NUMBER(TAG_ARTIST), &index), S_OK);  // low 16 bits only
  EXPECT_EQ(index, 1);
  EXPECT_EQ(item->IndexOfTag(TAG_ALBUM, &index), E_FAIL);
  EXPECT_EQ(index, -1);
  EXPECT_EQ(item->IndexOfTagNumber(4444, &index), E_FAIL);
  EXPECT_EQ(index, -1);
  DWORD id;
  EXPECT_EQ(item->GetTagIdAt(5, &id), E_INVALIDARG);
  EXPECT_EQ(item->GetTagIdAt(-1, &id), E_INVALIDARG);
}

TEST_F(MediaItem, SettersConvertToTheTagsType) {
  ASSERT_EQ(item->SetString(TAG_RATING, u" 75 "), S_OK);
  LONG rating = 0;
  EXPECT_EQ(item->GetInt(TAG_RATING, &rating), S_OK);
  EXPECT_EQ(rating, 75);
  ASSERT_EQ(item->SetInt(TAG_RELEASE_DATE, 2007), S_OK);
  SYSTEMTIME date{};
  EXPECT_EQ(item->GetSystemTime(TAG_RELEASE_DATE, &date), S_OK);
  EXPECT_EQ(date.wYear, 2007);
  EXPECT_EQ(date.wMonth, 0);
  ASSERT_EQ(item->SetInt(TAG_ARTIST, 5), S_OK);
  EXPECT_EQ(String(TAG_ARTIST), u"5");
  ASSERT_EQ(item->SetFloat(TAG_RATING, 3.9f), S_OK);
  EXPECT_EQ(item->GetInt(TAG_RATING, &rating), S_OK);
  EXPECT_EQ(rating, 3);
  GUID g{0x12345678, 1, 2, {3}};
  ASSERT_EQ(item->SetGuid(TAG_MEDIA_TYPE, g), S_OK);
  GUID back{};
  EXPECT_EQ(item->GetGuid(TAG_MEDIA_TYPE, &back), S_OK);
  EXPECT_EQ(back, g);
  EXPECT_EQ(String(TAG_MEDIA_TYPE), u"{12345678-0001-0002-0300-000000000000}");
}

TEST_F(MediaItem, RefusedValuesLeaveTheOldOne) {
  ASSERT_EQ(item->SetString(TAG_ARTIST, u"Abba"), S_OK);
  ASSERT_EQ(item->SetInt(TAG_RATING, 60), S_OK);
  EXPECT_EQ(item->SetString(TAG_ARTIST, u"   "), E_FAIL);
  EXPECT_EQ(item->SetString(TAG_RATING, u"abc"), E_FAIL);
  EXPECT_EQ(item->SetString(TAG_ARTIST, nullptr), E_INVALIDARG);
  EXPECT_EQ(item->SetString(TAG_GENRE_COLLECTION, u"Pop"), E_FAIL);  // multi-valued id
  EXPECT_EQ(item->SetInt(TAG_ID(0, TAG_TYPE_INT), 1), E_FAIL);       // tag number 0
  EXPECT_EQ(item->SetGuid(TAG_RATING, GUID{1, 0, 0, {}}), E_FAIL);
  EXPECT_EQ(item->SetBytes(TAG_MCDI, nullptr, 0), E_FAIL);
  EXPECT_EQ(String(TAG_ARTIST), u"Abba");
  LONG rating = 0;
  EXPECT_EQ(item->GetInt(TAG_RATING, &rating), S_OK);
  EXPECT_EQ(rating, 60);
  EXPECT_EQ(Count(), 2);
}

TEST_F(MediaItem, GettersOfAbsentTagsAndFailedConversions) {
  LONG v = 9;
  EXPECT_EQ(item->GetInt(TAG_RATING, &v), E_INVALIDARG);
  BSTR text = reinterpret_cast<BSTR>(1);
  EXPECT_EQ(item->GetString(TAG_ARTIST, &text), E_INVALIDARG);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(item->GetInt(TAG_RATING, nullptr), E_POINTER);
  ASSERT_EQ(item->SetString(TAG_ARTIST, u"Abba"), S_OK);
  EXPECT_EQ(item->GetInt(TAG_ARTIST, &v), E_FAIL);
  EXPECT_EQ(v, 0);
  GUID g;
  EXPECT_EQ(item->GetGuidAt(0, &g), E_FAIL);
  EXPECT_EQ(item->GetGuidAt(1, &g), E_INVALIDARG);
  BOOL has = 7;
  EXPECT_EQ(item->HasTag(TAG_ALBUM, &has), S_OK);
  EXPECT_FALSE(has);
  EXPECT_EQ(item->HasTag(TAG_ARTIST, &has), S_OK);
  EXPECT_TRUE(has);
  EXPECT_EQ(item->HasInstance(TAG_ARTIST, 1, &has), S_OK);
  EXPECT_FALSE(has);
}

TEST_F(MediaItem, MultiValuedByteForms) {
  const char16_t pop[] = u"Pop";
  ASSERT_EQ(item->SetInstance(TAG_GENRE_COLLECTION, 1, pop, sizeof(pop)), S_OK);
  // The text must end inside the size given: one character short of the terminator is refused.
  EXPECT_EQ(item->SetInstance(TAG_GENRE_COLLECTION, 2, pop, sizeof(pop) - 2), E_FAIL);
  EXPECT_EQ(item->SetInstance(TAG_GENRE_COLLECTION, 2, pop, 1), E_FAIL);
  EXPECT_EQ(item->SetInstance(TAG_GENRE_COLLECTION, 2, nullptr, 8), E_FAIL);
  double gain = -3.25;
  ASSERT_EQ(item->SetInstance(TAG_ID3_VOLUME_ADJUSTMENT, 1, &gain, sizeof(gain)), S_OK);
  EXPECT_EQ(item->SetInstance(TAG_ID3_VOLUME_ADJUSTMENT, 1, &gain, 2), E_FAIL);
  EXPECT_EQ(item->SetInstance(TAG_ARTIST, 1, pop, sizeof(pop)), E_FAIL);  // single-valued id
  EXPECT_EQ(item->SetInstance(TAG_INSTANCE_FLAG | TAG_ID(0, TAG_TYPE_STR), 1, pop, sizeof(pop)), E_FAIL);

  char16_t back[8] = {};
  DWORD size = 0;
  ASSERT_EQ(item->GetInstance(TAG_GENRE_COLLECTION, 1, nullptr, &size), S_OK);
  EXPECT_EQ(size, sizeof(pop));
  size = sizeof(back);
  ASSERT_EQ(item->GetInstance(TAG_GENRE_COLLECTION, 1, back, &size), S_OK);
  EXPECT_EQ(std::u16string(back), u"Pop");
  float f = 0;
  size = sizeof(f);
  ASSERT_EQ(item->GetInstance(TAG_ID3_VOLUME_ADJUSTMENT, 1, &f, &size), S_OK);
  EXPECT_FLOAT_EQ(f, -3.25f);
  EXPECT_EQ(item->GetInstance(TAG_GENRE_COLLECTION, 9, back, &size), E_INVALIDARG);
}

TEST_F(MediaItem, GetInstanceWantsAMultiValuedId) {
  ASSERT_EQ(item->SetString(TAG_ARTIST, u"Abba"), S_OK);
  DWORD size = 0;
  EXPECT_EQ(item->GetInstance(TAG_ARTIST, 0, nullptr, &size), E_INVALIDARG);
}

TEST_F(MediaItem, ProtectedTagsGoOnlyWithClear) {
  ASSERT_EQ(item->SetString(TAG_FILE_PATH, u"\\Music"), S_OK);
  ASSERT_EQ(item->SetInt(TAG_SIZE, 1000), S_OK);
  ASSERT_EQ(item->SetString(TAG_ARTIST, u"Abba"), S_OK);
  EXPECT_EQ(item->RemoveTag(TAG_FILE_PATH), E_FAIL);
  EXPECT_EQ(item->RemoveInstance(TAG_SIZE, 0), E_FAIL);
  LONG index = -1;
  ASSERT_EQ(item->IndexOfTag(TAG_FILE_PATH, &index), S_OK);
  BOOL readOnly = FALSE;
  EXPECT_EQ(item->IsReadOnlyAt(index, &readOnly), S_OK);
  EXPECT_TRUE(readOnly);
  ASSERT_EQ(item->IndexOfTag(TAG_ARTIST, &index), S_OK);
  EXPECT_EQ(item->IsReadOnlyAt(index, &readOnly), S_OK);
  EXPECT_FALSE(readOnly);
  EXPECT_EQ(item->IsReadOnlyAt(3, &readOnly), E_FAIL);
  EXPECT_EQ(item->RemoveTag(TAG_ARTIST), S_OK);
  EXPECT_EQ(item->RemoveTag(TAG_ARTIST), E_FAIL);
  EXPECT_EQ(Count(), 2);
  EXPECT_EQ(item->Clear(), S_OK);
  EXPECT_EQ(Count(), 0);
  for (DWORD id : {TAG_FILE, TAG_FILE_PATH, TAG_FILE_NAME, TAG_FILE_EXTENSION, TAG_LENGTH, TAG_SIZE})
    EXPECT_TRUE(CMediaItem::IsProtectedTag(id));
  EXPECT_FALSE(CMediaItem::IsProtectedTag(TAG_ARTIST));
}

TEST_F(MediaItem, RemoveAtRemovesAnyEntryInRange) {
  ASSERT_EQ(item->SetString(TAG_FILE, u"a.mp3"), S_OK);
  ASSERT_EQ(item->SetString(TAG_ARTIST, u"Abba"), S_OK);
  EXPECT_EQ(item->RemoveAt(2), E_INVALIDARG);
  EXPECT_EQ(item->RemoveAt(-1), E_INVALIDARG);
  EXPECT_EQ(item->RemoveAt(0), S_OK);  // "File", protected or not
  EXPECT_EQ(IdAt(0), TAG_ARTIST);
}

TEST_F(MediaItem, BlobTagsAndTheirStreams) {
  const BYTE bytes[] = {1, 2, 3, 4, 5};
  ASSERT_EQ(item->SetBytes(TAG_MCDI, bytes, sizeof(bytes)), S_OK);
  BYTE back[5] = {};
  DWORD size = sizeof(back);
  ASSERT_EQ(item->GetBytes(TAG_MCDI, back, &size), S_OK);
  EXPECT_EQ(std::memcmp(back, bytes, sizeof(bytes)), 0);
  EXPECT_EQ(String(TAG_MCDI), u"(Binary data, 5 bytes)");
  ASSERT_EQ(item->SetInstance(TAG_ARTWORK_DATA, 1, bytes, sizeof(bytes)), S_OK);
  IStream* stream = reinterpret_cast<IStream*>(1);
  EXPECT_EQ(item->OpenBlobStream(TAG_ARTWORK_DATA, 1, &stream), E_INVALIDARG);
  EXPECT_EQ(stream, nullptr);
  EXPECT_EQ(item->OpenBlobStream(TAG_ARTIST, 0, &stream), E_INVALIDARG);
  EXPECT_EQ(item->OpenBlobStream(TAG_ID(4002, TAG_TYPE_BLOB), 0, &stream), E_INVALIDARG);

  // A read stream is a copy: changing the tag afterwards leaves what it reads alone.
  ASSERT_EQ(item->OpenBlobStream(TAG_MCDI, 0, &stream), S_OK);
  const BYTE other[] = {9, 9};
  ASSERT_EQ(item->SetBytes(TAG_MCDI, other, sizeof(other)), S_OK);
  BYTE read[8] = {};
  ULONG got = 0;
  EXPECT_EQ(stream->Read(read, sizeof(read), &got), S_OK);
  EXPECT_EQ(got, sizeof(bytes));
  EXPECT_EQ(std::memcmp(read, bytes, sizeof(bytes)), 0);
  stream->Release();
}

TEST_F(MediaItem, WrittenBlobStreamsBecomeTheTagWhenLetGo) {
  const BYTE first[] = {1, 2, 3}, second[] = {4, 5, 6, 7};
  IStream* stream = nullptr;
  ASSERT_EQ(item->CreateBlobStream(TAG_MCDI, 0, &stream, 0), S_OK);
  IStream* again = nullptr;
  ASSERT_EQ(stream->QueryInterface(IID_IStream, reinterpret_cast<void**>(&again)), S_OK);
  ULONG written = 0;
  ASSERT_EQ(stream->Write(first, sizeof(first), &written), S_OK);
  ASSERT_EQ(again->Write(second, sizeof(second), &written), S_OK);
  stream->Release();
  BOOL present = TRUE;
  item->HasTag(TAG_MCDI, &present);
  EXPECT_FALSE(present) << "stored only when the last reference goes";
  again->Release();
  BYTE back[16] = {};
  DWORD size = sizeof(back);
  ASSERT_EQ(item->GetBytes(TAG_MCDI, back, &size), S_OK);
  const BYTE expected[] = {1, 2, 3, 4, 5, 6, 7};
  ASSERT_EQ(size, sizeof(expected));
  EXPECT_EQ(std::memcmp(back, expected, sizeof(expected)), 0);

  // A multi-valued blob is stored at the stream's instance.
  ASSERT_EQ(item->CreateBlobStream(TAG_ARTWORK_DATA, 2, &stream, 0), S_OK);
  ASSERT_EQ(stream->Write(second, sizeof(second), &written), S_OK);
  stream->Release();
  size = sizeof(back);
  ASSERT_EQ(item->GetInstance(TAG_ARTWORK_DATA, 2, back, &size), S_OK);
  ASSERT_EQ(size, sizeof(second));
  EXPECT_EQ(std::memcmp(back, second, sizeof(second)), 0);
}

TEST_F(MediaItem, NamesAndIdsThroughTheItem) {
  BSTR name = nullptr;
  ASSERT_EQ(item->GetTagName(0x00010009, &name), S_OK);
  EXPECT_EQ(Take(name), u"Display title");
  EXPECT_EQ(item->GetTagName(0x00030BB9, &name), E_FAIL);
  DWORD id = 0;
  EXPECT_EQ(item->GetTagId(u"display TITLE", &id), S_OK);
  EXPECT_EQ(id, 0x00010009u);
  EXPECT_EQ(item->GetTagId(nullptr, &id), E_FAIL);
  EXPECT_EQ(item->GetTagIdByNumber(9, &id), S_OK);
  EXPECT_EQ(id, 0x00010009u);
  EXPECT_EQ(item->GetTagIdByNumber(3001, &id), S_OK);
  EXPECT_EQ(id, 0x00030BB9u);
  EXPECT_EQ(item->GetTagIdByNumber(0, &id), E_FAIL);
}

TEST_F(MediaItem, IdentityAndReferenceCounts) {
  const GUID accepted[] = {IID_IUnknown, IID_IMediaItem, IID_IMediaItemDirect};
  for (const GUID& iid : accepted) {
    void* out = nullptr;
    ASSERT_EQ(item->QueryInterface(iid, &out), S_OK);
    EXPECT_EQ(out, static_cast<IMediaItem*>(item.get()));
    static_cast<IUnknown*>(out)->Release();
  }
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(item->QueryInterface(IID_IMediaList, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(item->AddRef(), 2u);
  EXPECT_EQ(item->Release(), 1u);
}

TEST_F(MediaItem, CloneIsIndependent) {
  ASSERT_EQ(item->SetString(TAG_ARTIST, u"Abba"), S_OK);
  Ref<IMediaItem> copy(item->Clone());
  ASSERT_NE(copy.get(), nullptr);
  ASSERT_EQ(copy->SetString(TAG_ARTIST, u"Queen"), S_OK);
  EXPECT_EQ(String(TAG_ARTIST), u"Abba");
  BSTR source = nullptr;
  ASSERT_EQ(copy->GetSource(&source), S_OK);
  EXPECT_EQ(Take(source), u"\\Music\\a.mp3");
}

TEST_F(MediaItem, SourceResetsEntries) {
  ASSERT_EQ(item->SetString(TAG_ARTIST, u"Abba"), S_OK);
  item->SetSource(nullptr);
  EXPECT_EQ(Count(), 0);
  BSTR source = nullptr;
  ASSERT_EQ(item->GetSource(&source), S_OK);
  EXPECT_EQ(Take(source), u"");
}

TEST_F(MediaItem, ValuesReadAsText) {
  FixedClock clock(Date(2007, 10, 16, 12, 0, 0));
  EXPECT_EQ(item->SetTagFromText(TAG_RELEASE_DATE, 0, u"now-1d"), S_OK);
  EXPECT_EQ(String(TAG_RELEASE_DATE), u"2007-10-15 12:00:00");
  EXPECT_EQ(item->SetTagFromText(TAG_GENRE_COLLECTION, 3, u" Jazz "), S_OK);
  char16_t back[8] = {};
  DWORD size = sizeof(back);
  ASSERT_EQ(item->GetInstance(TAG_GENRE_COLLECTION, 3, back, &size), S_OK);
  EXPECT_EQ(std::u16string(back), u"Jazz");
  EXPECT_EQ(item->SetTagFromText(TAG_RATING, 0, u"high"), E_FAIL);
  BOOL has = TRUE;
  item->HasTag(TAG_RATING, &has);
  EXPECT_FALSE(has);
}

}  // namespace
