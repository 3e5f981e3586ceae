// ReadTagsFromFile: the reader code picks the generic readers in their fixed order; the
// stream's title and information, the media type and the source collection follow. The
// decoders' readers are fakes that record the calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helpers.h"
#include "tag_reading.h"

using namespace testing_helpers;

namespace {

std::vector<std::string> g_calls;
LONG g_streamInfoResult = 0;
LONG g_readerResult = 0;
const char16_t* g_title = u"";
BOOL g_shareOffline = FALSE;

LONG StreamInfo(InputSource*, LPCWSTR, IMediaItem* item) {
  g_calls.push_back("streaminfo");
  item->SetInt(TAG_LENGTH, 185000);
  return g_streamInfoResult;
}

template <const char* Name>
LONG Reader(InputSource*, LPCWSTR, IMediaItem*) {
  g_calls.push_back(Name);
  return g_readerResult;
}
constexpr char kId3[] = "id3", kApe[] = "ape", kAsf[] = "asf", kVorbis[] = "vorbis", kWave[] = "wave";

LONG ReadInfo(InputSource*, LPCWSTR, IMediaItem*) {
  g_calls.push_back("info");
  return 0;
}

void Title(InputSource*, LPCWSTR, LPWSTR title) {
  g_calls.push_back("title");
  std::u16string_view t = g_title;
  std::copy(t.begin(), t.end(), title);
  title[t.size()] = 0;
}

BOOL NetworkPath(LPCWSTR path, BOOL* notConnected) {
  std::u16string_view p = path;
  bool network = p.starts_with(u"\\\\") || p.starts_with(u"\\Network\\");
  if (notConnected) *notConnected = network && g_shareOffline;
  return network;
}

const GUID kAudio = {0xAAAAAAAA, 1, 2, {3}};
const GUID kMp3 = {0xBBBBBBBB, 1, 2, {3}};
LONG ContentType(InputSource*, LPCWSTR, GUID* type, GUID* subtype) {
  EXPECT_EQ(*type, MEDIATYPE_QUERY_DEFAULT);
  EXPECT_EQ(*subtype, MEDIASUBTYPE_DEFAULT);
  *type = kAudio;
  *subtype = kMp3;
  return 1;
}

InputSource* const kStream = reinterpret_cast<InputSource*>(0x1000);

class TagReadingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    g_streamInfoResult = TAGREAD_CODE;
    g_readerResult = 0;
    g_title = u"";
    g_shareOffline = FALSE;
    const TagReaders readers = {Reader<kId3>, Reader<kApe>, Reader<kAsf>, Reader<kVorbis>, Reader<kWave>, NetworkPath};
    SetTagReaders(&readers);
  }
  void TearDown() override { SetTagReaders(nullptr); }

  TagReadSource record{kStream, 2, 0, StreamInfo, nullptr, Title, ReadInfo};

  GUID Guid(CMediaItem* item, DWORD id) {
    GUID g{};
    EXPECT_EQ(item->GetGuid(id, &g), S_OK);
    return g;
  }
  bool Has(CMediaItem* item, DWORD id) {
    BOOL has = FALSE;
    item->HasTag(id, &has);
    return has;
  }
};

TEST_F(TagReadingTest, ReaderCodeRunsItsReadersInOrder) {
  const struct {
    LONG code;
    std::vector<std::string> readers;
  } cases[] = {
      {0x0C0F1011, {"id3", "ape"}},
      {0x0C0F1001, {"id3"}},
      {0x0C0F1006, {"asf", "vorbis"}},
      {0x0C0F101F, {"id3", "ape", "asf", "vorbis", "wave"}},
      {0x0C0F1000, {}},
      {0x00001011, {}},  // not a reader code
      {0x0C001011, {}},
  };
  for (const auto& c : cases) {
    g_calls.clear();
    g_streamInfoResult = c.code;
    auto item = NewItem(u"\\Music\\a.mp3");
    ASSERT_EQ(item->ReadTagsFromFile(&record), S_OK);
    std::vector<std::string> expected = {"streaminfo"};
    expected.insert(expected.end(), c.readers.begin(), c.readers.end());
    expected.insert(expected.end(), {"title", "info"});
    EXPECT_EQ(g_calls, expected) << std::hex << c.code;
    EXPECT_FALSE(Has(item.get(), TAG_READ_FAILED));
  }
}

TEST_F(TagReadingTest, FailedReadIsMarkedAndStillSucceeds) {
  g_streamInfoResult = static_cast<LONG>(0x80000000);
  auto item = NewItem(u"\\Music\\broken.mp3");
  ASSERT_EQ(item->ReadTagsFromFile(&record), S_OK);
  EXPECT_EQ(g_calls, std::vector<std::string>{"streaminfo"});  // no title, no info for a local file
  LONG failed = 0;
  EXPECT_EQ(item->GetInt(TAG_READ_FAILED, &failed), S_OK);
  EXPECT_EQ(failed, 1);
  EXPECT_TRUE(Has(item.get(), TAG_MEDIA_TYPE));

  g_calls.clear();
  record.streamFlags = 1;  // a network source still gets its information read
  auto stream = NewItem(u"http://radio/stream");
  ASSERT_EQ(stream->ReadTagsFromFile(&record), S_OK);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"streaminfo", "info"}));
}

TEST_F(TagReadingTest, ReaderResultReplacesTheCode) {
  g_streamInfoResult = 0x0C0F1001;
  g_readerResult = -1;  // the reader found nothing usable: the decoder's code stands
  auto item = NewItem(u"\\a.mp3");
  ASSERT_EQ(item->ReadTagsFromFile(&record), S_OK);
  EXPECT_FALSE(Has(item.get(), TAG_READ_FAILED));
}

TEST_F(TagReadingTest, TitleBecomesTheDisplayTitleUnlessOneIsSet) {
  g_title = u"Radio One";
  auto item = NewItem(u"\\a.mp3");
  ASSERT_EQ(item->ReadTagsFromFile(&record), S_OK);
  BSTR text = nullptr;
  item->GetString(TAG_DISPLAY_TITLE, &text);
  EXPECT_EQ(Take(text), u"Radio One");

  auto named = NewItem(u"\\b.mp3");
  named->SetString(TAG_DISPLAY_TITLE, u"Mine");
  ASSERT_EQ(named->ReadTagsFromFile(&record), S_OK);
  named->GetString(TAG_DISPLAY_TITLE, &text);
  EXPECT_EQ(Take(text), u"Mine");
}

TEST_F(TagReadingTest, MediaTypeFromTheContentQueryOrTheDefault) {
  auto plain = NewItem(u"\\a.mp3");
  ASSERT_EQ(plain->ReadTagsFromFile(&record), S_OK);
  EXPECT_EQ(Guid(plain.get(), TAG_MEDIA_TYPE), MEDIATYPE_FILE_DEFAULT);
  EXPECT_EQ(Guid(plain.get(), TAG_MEDIA_SUBTYPE), MEDIASUBTYPE_DEFAULT);

  record.GetContentType = ContentType;
  auto queried = NewItem(u"\\a.mp3");
  ASSERT_EQ(queried->ReadTagsFromFile(&record), S_OK);
  EXPECT_EQ(Guid(queried.get(), TAG_MEDIA_TYPE), kAudio);
  EXPECT_EQ(Guid(queried.get(), TAG_MEDIA_SUBTYPE), kMp3);

  auto typed = NewItem(u"\\a.mp3");
  typed->SetGuid(TAG_MEDIA_TYPE, MEDIATYPE_PLAYLIST);
  ASSERT_EQ(typed->ReadTagsFromFile(&record), S_OK);
  EXPECT_EQ(Guid(typed.get(), TAG_MEDIA_TYPE), MEDIATYPE_PLAYLIST);
}

TEST_F(TagReadingTest, SourceCollectionBySource) {
  const struct {
    const char16_t* source;
    GUID collection;
  } cases[] = {
      {u"http://example.org/a.mp3", SOURCE_COLLECTION_URL},
      {u"\\Storage Card\\a.mp3", SOURCE_COLLECTION_LOCAL},
      {u"\\\\server\\share\\a.mp3", SOURCE_COLLECTION_NETWORK},
      {u"\\Network\\share\\a.mp3", SOURCE_COLLECTION_NETWORK},
  };
  for (const auto& c : cases) {
    auto item = NewItem(c.source);
    ASSERT_EQ(item->ReadTagsFromFile(&record), S_OK);
    EXPECT_EQ(Guid(item.get(), TAG_SOURCE_COLLECTION), c.collection) << Narrow(c.source);
  }
}

TEST_F(TagReadingTest, OfflineShareIsNotOpened) {
  g_shareOffline = TRUE;
  auto item = NewItem(u"\\\\server\\share\\a.mp3");
  ASSERT_EQ(item->ReadTagsFromFile(&record), S_OK);
  EXPECT_TRUE(g_calls.empty());
  EXPECT_TRUE(Has(item.get(), TAG_READ_FAILED));
  EXPECT_EQ(Guid(item.get(), TAG_SOURCE_COLLECTION), SOURCE_COLLECTION_NETWORK);
}

TEST_F(TagReadingTest, WithoutStreamInfoOnlyTheStreamInformation) {
  record.ReadStreamInfo = nullptr;
  auto item = NewItem(u"http://example.org/feed");
  ASSERT_EQ(item->ReadTagsFromFile(&record), S_OK);
  EXPECT_EQ(g_calls, std::vector<std::string>{"info"});
  EXPECT_EQ(Guid(item.get(), TAG_MEDIA_TYPE), MEDIATYPE_FILE_DEFAULT);
  EXPECT_FALSE(Has(item.get(), TAG_SOURCE_COLLECTION));

  record.streamVersion = 1;  // no information reader before version 2
  EXPECT_EQ(item->ReadTagsFromFile(&record), E_FAIL);
}

TEST_F(TagReadingTest, RefusedWithoutRecordOrSource) {
  auto item = NewItem(u"");
  EXPECT_EQ(item->ReadTagsFromFile(&record), E_FAIL);
  EXPECT_EQ(item->ReadTagsFromFile(nullptr), E_FAIL);
  EXPECT_TRUE(g_calls.empty());
}

}  // namespace
