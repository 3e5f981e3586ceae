// Titles and tags of Ogg files: GetFileInfo's "Artist - Title" (from a cleared buffer, each part
// cut to 127 characters, never past MAX_PATH), the playing file's title, and the Vorbis-comment
// reader: its results, the table's order, cover art stored as exactly the bytes decoded, and
// unhandled comments when the setting asks for them.
#include <cstring>

#include "decoder_test_support.h"
#include "file_source.h"
#include "item_text.h"
#include "mp3_test_support.h"
#include "ogg_comments.h"
#include "ogg_decoder.h"
#include "ogg_test_support.h"

#define TAG_LENGTH_ID TAG_ID(1004, TAG_TYPE_INT)
#define TAG_BIT_RATE_ID TAG_ID(1005, TAG_TYPE_INT)
#define TAG_SAMPLE_RATE_ID TAG_ID(1008, TAG_TYPE_INT)
#define TAG_CHANNELS_ID TAG_ID(1009, TAG_TYPE_INT)
#define TAG_BITS_ID TAG_ID(1010, TAG_TYPE_INT)
#define TAG_IS_VBR_ID TAG_ID(1011, TAG_TYPE_INT)
#define TAG_ALBUM_ARTIST_ID 0x00010008u
#define TAG_TRACK_ID 0x000203E9u
#define TAG_TRACK_GAIN_ID 0x00032712u
#define TAG_ARTWORK_TYPE_ID 0x80021B5Cu
#define TAG_ARTWORK_MIME_ID 0x80011B5Au
#define TAG_UNHANDLED_NAME_ID 0x80014A39u
#define TAG_UNHANDLED_DATA_ID 0x80054A3Bu

namespace {

using namespace zbtest;

class OggTagsTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    source_ = MakeFileSource();
    OggDecoder.Init();
  }
  void TearDown() override {
    source_.Release(&source_);
    DeviceTest::TearDown();
  }
  InputSource source_;
};

std::u16string Repeat(const std::u16string& piece, size_t times) {
  std::u16string text;
  for (size_t i = 0; i < times; ++i) text += piece;
  return text;
}

std::vector<BYTE> Instance(IMediaItem* item, DWORD id, DWORD instance) {
  DWORD size = 0;
  if (FAILED(item->GetInstance(id, instance, nullptr, &size))) return {};
  std::vector<BYTE> bytes(size);
  if (FAILED(item->GetInstance(id, instance, bytes.data(), &size))) return {};
  return bytes;
}

std::u16string InstanceText(IMediaItem* item, DWORD id, DWORD instance) {
  const std::vector<BYTE> bytes = Instance(item, id, instance);
  if (bytes.size() < 2) return u"<none>";
  return std::u16string(reinterpret_cast<const char16_t*>(bytes.data()));
}

TEST_F(OggTagsTest, TitlesAreArtistAndTitleFromACleanBufferElseTheFileName) {
  const struct {
    const char* name;
    std::u16string shown;
    int lengthMs;
  } kCases[] = {
      {"tagged", u"Zoë & the Ångströms - Über den Wolken ☁", 1000},
      {"empty_artist", u"Unknown Artist - Only a title", 500},
      {"title_only", u"Just the title", 500},  // nothing of what the buffer held before
      {"both_empty", u"both_empty", 500},
      {"no_comments", u"no_comments", 500},
      {"long_names", Repeat(u"Ä", 127) + u" - " + Repeat(u"t", 126), 500},  // no half of the emoji
  };
  for (const auto& c : kCases) {
    const std::u16string path = PutOggFixture(device_, c.name);
    WCHAR title[400];
    std::fill(title, title + 400, u'x');
    int length = -1;
    OggDecoder.GetFileInfo(&source_, path.c_str(), title, &length);
    EXPECT_EQ(std::u16string(title), c.shown) << c.name;
    EXPECT_EQ(length, c.lengthMs) << c.name;
    EXPECT_TRUE(std::all_of(title + MAX_PATH, title + 400, [](WCHAR w) { return w == u'x'; }))
        << c.name << ": written past MAX_PATH characters";
  }
  WriteHostFile(device_.Host("empty.ogg"), {});
  for (const char16_t* path : {u"\\empty.ogg", u"\\missing.ogg"}) {
    WCHAR title[MAX_PATH] = u"unchanged";
    OggDecoder.GetFileInfo(&source_, path, title, nullptr);
    EXPECT_EQ(std::u16string(title), std::u16string(path + 1, std::u16string_view(path).size() - 5));
  }
}

TEST_F(OggTagsTest, AnEmptyPathAsksThePlayingFile) {
  const std::u16string path = PutOggFixture(device_, "tagged");
  BoundDecoder bound(OggDecoder, &source_);
  bound.output().room = 0;
  ASSERT_EQ(OggDecoder.Play(path.c_str()), 0);
  WCHAR title[MAX_PATH] = u"unchanged";
  int length = -1;
  OggDecoder.GetFileInfo(nullptr, u"", title, &length);
  EXPECT_EQ(std::u16string(title), u"Zoë & the Ångströms - Über den Wolken ☁");
  EXPECT_EQ(length, 1000);
  OggDecoder.Stop();
  length = -1;
  OggDecoder.GetFileInfo(nullptr, nullptr, title, &length);
  EXPECT_EQ(length, -1) << "nothing plays";
}

TEST_F(OggTagsTest, TheReaderRefusesWhatItCannotReadAndSkipsStreams) {
  const std::u16string path = PutOggFixture(device_, "tagged");
  PutOggFixture(device_, "no_vorbis");
  WriteHostFile(device_.Host("empty.ogg"), {});
  ItemHolder item;
  const LONG kFail = static_cast<LONG>(E_FAIL);
  EXPECT_EQ(ReadVorbisComments(nullptr, path.c_str(), item), kFail);
  EXPECT_EQ(ReadVorbisComments(&source_, nullptr, item), kFail);
  EXPECT_EQ(ReadVorbisComments(&source_, u"", item), kFail);
  EXPECT_EQ(ReadVorbisComments(&source_, path.c_str(), nullptr), kFail);
  for (const char16_t* bad : {u"\\missing.ogg", u"\\empty.ogg", u"\\no_vorbis.ogg"})
    EXPECT_EQ(ReadVorbisComments(&source_, bad, item), kFail) << Narrow(bad);
  InputSource stream = NotSeekable(source_);
  EXPECT_EQ(ReadVorbisComments(&stream, path.c_str(), item), 0);
  DWORD count = 99;
  item->GetTagCount(&count);
  EXPECT_EQ(count, 0u) << "nothing read of a stream";
}

TEST_F(OggTagsTest, TheNamedCommentsLandInTheirTagsInTheTablesOrder) {
  const std::u16string path = PutOggFixture(device_, "tagged");
  ItemHolder item;
  EXPECT_EQ(ReadVorbisComments(&source_, path.c_str(), item), 0);
  EXPECT_EQ(StringTag(item, TAG_ALBUM_ARTIST_ID), u"The Orchestra") << "the later name in the table wins";
  EXPECT_EQ(IntTag(item, TAG_TRACK_ID), 7);
  float gain = 0;
  EXPECT_EQ(item->GetFloat(TAG_TRACK_GAIN_ID, &gain), S_OK);
  EXPECT_FLOAT_EQ(gain, -6.48f);
  EXPECT_EQ(IntTag(item, TAG_LENGTH_ID), 1000);
  EXPECT_EQ(IntTag(item, TAG_SAMPLE_RATE_ID), 44100);
  EXPECT_EQ(IntTag(item, TAG_CHANNELS_ID), 2);
  EXPECT_EQ(IntTag(item, TAG_BITS_ID), 16);
  EXPECT_GT(IntTag(item, TAG_BIT_RATE_ID), 50000);
  EXPECT_EQ(IntTag(item, TAG_IS_VBR_ID), 1);
  EXPECT_EQ(Instance(item, TAG_UNHANDLED_NAME_ID, 0).size(), 0u) << "unhandled tags are off by default";
}

TEST_F(OggTagsTest, CoverArtIsStoredAsExactlyTheBytesDecoded) {
  const std::u16string path = PutOggFixture(device_, "two_covers");
  ItemHolder item;
  EXPECT_EQ(ReadVorbisComments(&source_, path.c_str(), item), 0);
  EXPECT_EQ(IntInstances(item, TAG_ARTWORK_TYPE_ID), (std::vector<DWORD>{3, 4}));
  EXPECT_EQ(InstanceText(item, TAG_ARTWORK_MIME_ID, 0), u"image/png");
  EXPECT_EQ(InstanceText(item, TAG_ARTWORK_MIME_ID, 1), u"image/jpeg");
  const std::vector<BYTE> png = Instance(item, TAG_ARTWORK_DATA, 0), jpeg = Instance(item, TAG_ARTWORK_DATA, 1);
  ASSERT_EQ(png.size(), 70u) << "the decoded picture, not Base64's size bound";
  EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0);
  const std::string tiny = "\xff\xd8\xff\xe0tiny";
  EXPECT_EQ(std::string(jpeg.begin(), jpeg.end()), tiny);
}

TEST_F(OggTagsTest, AFileWithoutCommentsGivesItsStreamInformationAndOne) {
  const std::u16string path = PutOggFixture(device_, "no_comments");
  ItemHolder item;
  EXPECT_EQ(ReadVorbisComments(&source_, path.c_str(), item), 1);
  EXPECT_EQ(IntTag(item, TAG_LENGTH_ID), 500);
  EXPECT_EQ(IntTag(item, TAG_CHANNELS_ID), 1);
  EXPECT_EQ(IntTag(item, TAG_SAMPLE_RATE_ID), 44100);
  EXPECT_EQ(IntTag(item, TAG_BITS_ID), 16);
  EXPECT_NE(IntTag(item, TAG_BIT_RATE_ID), -99999);
  EXPECT_EQ(IntTag(item, TAG_IS_VBR_ID), -99999);
}

TEST_F(OggTagsTest, OtherCommentsBecomeUnhandledTagsWhenTheSettingAsks) {
  Settings().processUnhandledTags = 1;
  const std::u16string path = PutOggFixture(device_, "tagged");
  ItemHolder item;
  EXPECT_EQ(ReadVorbisComments(&source_, path.c_str(), item), 0);
  std::vector<std::u16string> names;
  for (DWORD i = 0; InstanceText(item, TAG_UNHANDLED_NAME_ID, i) != u"<none>"; ++i)
    names.push_back(InstanceText(item, TAG_UNHANDLED_NAME_ID, i));
  EXPECT_EQ(names, (std::vector<std::u16string>{u"METADATA_BLOCK_PICTURE", u"MOOD"}));
  const std::vector<BYTE> mood = Instance(item, TAG_UNHANDLED_DATA_ID, 1);
  EXPECT_EQ(std::string(mood.begin(), mood.end()), std::string("calm", 5)) << "the bytes with their zero";
  EXPECT_EQ(IntInstances(item, TAG_ARTWORK_TYPE_ID), (std::vector<DWORD>{3})) << "COVERART is handled, not kept";
}

// A hostile stream of thousands of comments: each kind keeps a bounded share, in order, and the
// read costs what the list holds, not its square.
TEST_F(OggTagsTest, ThousandsOfOtherCommentsAndPicturesKeepABoundedShareInOrder) {
  Settings().processUnhandledTags = 1;
  std::vector<std::string> lines;
  for (int i = 0; i < 5000; ++i) {
    lines.push_back("MOOD=" + std::to_string(i));
    lines.push_back("COVERARTMIME=image/png");
    lines.push_back("COVERART=AAEC");
  }
  std::vector<char*> texts;
  std::vector<int> lengths;
  for (std::string& line : lines) {
    texts.push_back(line.data());
    lengths.push_back(static_cast<int>(line.size()));
  }
  vorbis_comment comments{texts.data(), lengths.data(), static_cast<int>(lines.size()), nullptr};
  ItemHolder item;
  ReadVorbisCommentList(&comments, item);
  EXPECT_EQ(InstanceText(item, TAG_UNHANDLED_NAME_ID, 0), u"MOOD");
  const std::vector<BYTE> last = Instance(item, TAG_UNHANDLED_DATA_ID, 1023);
  EXPECT_EQ(std::string(last.begin(), last.end()), std::string("1023", 5));
  EXPECT_EQ(InstanceText(item, TAG_UNHANDLED_NAME_ID, 1024), u"<none>");
  EXPECT_EQ(IntInstances(item, TAG_ARTWORK_TYPE_ID).size(), 1024u);
  EXPECT_EQ(InstanceText(item, TAG_ARTWORK_MIME_ID, 1023), u"image/png");
  EXPECT_EQ(InstanceText(item, TAG_ARTWORK_MIME_ID, 1024), u"<none>");
  EXPECT_EQ(Instance(item, TAG_ARTWORK_DATA, 1023), (std::vector<BYTE>{0, 1, 2}));
}

}  // namespace
