// The MP3 decoder's record as the core binds it: the fixed answers of its slots, a play to the end
// with the callbacks the host sees, a Stop while the output is full, titles and stream
// information of files that do not play, and a stream's tags merged into the playing item.
#include <thread>

#include "decoder_test_support.h"
#include "file_source.h"
#include "item_text.h"
#include "mp3_decoder.h"
#include "mp3_test_support.h"

namespace {

using namespace zbtest;

#define TAG_LENGTH_ID TAG_ID(1004, TAG_TYPE_INT)
#define TAG_BIT_RATE_ID TAG_ID(1005, TAG_TYPE_INT)
#define TAG_SAMPLE_RATE_ID TAG_ID(1008, TAG_TYPE_INT)
#define TAG_CHANNELS_ID TAG_ID(1009, TAG_TYPE_INT)
#define TAG_TITLE_ID 0x00010007u
#define TAG_ARTIST_ID 0x00010005u

class Mp3ModuleTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    source_ = MakeFileSource();
  }
  // One second of 44.1 kHz stereo at 128 kb/s (with lame's Info frame): 40 frames of audio.
  std::u16string MakeFile(const std::string& name, const std::string& options = "-b 128", int frames = 44100) {
    EXPECT_TRUE(EncodeMp3(device_.Host(name), options, 44100, 2, frames));
    return DevicePath(name);
  }
  void AppendBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> all = ReadHostFile(device_.Host(name));
    all.insert(all.end(), bytes.begin(), bytes.end());
    WriteHostFile(device_.Host(name), all);
  }
  InputSource source_;
};

std::vector<uint8_t> Id3v1(const std::string& title, const std::string& artist) {
  std::vector<uint8_t> block(128, 0);
  block[0] = 'T', block[1] = 'A', block[2] = 'G';
  std::copy(title.begin(), title.end(), block.begin() + 3);
  std::copy(artist.begin(), artist.end(), block.begin() + 33);
  block[127] = 255;
  return block;
}

TEST_F(Mp3ModuleTest, TheRecordAnswersItsFixedSlots) {
  DecModule& m = Mp3Decoder;
  EXPECT_EQ(m.version, 1);
  EXPECT_EQ(std::u16string(m.description), u"Kestrane LIBMAD MP3 Decoder");
  EXPECT_EQ(std::u16string(m.fileExtensions), u"*.MP3;*.MP2;*.MP1;*.MPA");
  const struct {
    const char16_t* path;
    int claimed;
  } kClaims[] = {{u"http://radio.example/stream", 1}, {u"daap://host/1.mp3", 1}, {u"HTTP://radio.example/", 0},
                 {u"Daap://host/", 0},   {u"rtsp://host/a", 0},   {u"\\Music\\a.mp3", 0}, {u"", 0}};
  for (const auto& c : kClaims) EXPECT_EQ(m.IsOurFile(c.path), c.claimed) << Narrow(c.path);
  const char16_t* kMime[] = {u"audio/mpeg", u"audio/x-mpeg", u"audio/mpeg3", u"audio/x-mpeg-3"};
  WCHAR buffer[64];
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(m.GetMimeType(i, buffer, 64), 1);
    EXPECT_EQ(std::u16string(buffer), kMime[i]);
  }
  WCHAR small[6] = {u'x', u'x', u'x', u'x', u'x', u'x'};
  ASSERT_EQ(m.GetMimeType(3, small, 6), 1);
  EXPECT_EQ(std::u16string(small), u"audio") << "cut to the buffer, with its terminator";
  EXPECT_EQ(m.GetMimeType(4, buffer, 64), 0);
  EXPECT_EQ(m.GetMimeType(-1, buffer, 64), 0);
  EXPECT_EQ(m.Command(1, nullptr, 0, nullptr, 0), -1);
  EXPECT_EQ(static_cast<DWORD>(m.Slot19()), 0x8C0F1001u);
  const signed char flat[11] = {31, 31, 31, 31, 31, 31, 31, 31, 31, 31, 31};
  EXPECT_EQ(m.SetEqualizer(0, 11, flat, 0, 0), 0);
  EXPECT_EQ(m.SetEqualizer(3, 11, flat, 0, 0), 0);
  EXPECT_EQ(m.SetEqualizer(1, 11, flat, 0, 0), 1);
  EXPECT_EQ(m.SetEqualizer(2, 11, flat, 0, 0), 1);
}

TEST_F(Mp3ModuleTest, PlaysToTheEndThroughTheHostCallbacksAndPostsEndOfStream) {
  const std::u16string path = MakeFile("play.mp3");
  BoundDecoder bound(Mp3Decoder, &source_);
  ASSERT_EQ(Mp3Decoder.Play(path.c_str()), 0);
  EXPECT_EQ(Mp3Decoder.GetLength(), 40 * 1152 * 1000 / 44100);
  ASSERT_EQ(bound.WaitForEndOfStream(), 0);
  Mp3Decoder.Stop();

  RecordedOutput& out = bound.output();
  RecordedHost& host = bound.host();
  EXPECT_EQ(out.opens, 1);
  EXPECT_EQ(out.closes, 1);
  EXPECT_EQ((std::vector<int>{out.rate, out.channels, out.bits}), (std::vector<int>{44100, 2, 16}));
  EXPECT_EQ(out.written, 40 * 1152 * 4);  // every frame behind the Info frame, nothing else
  EXPECT_EQ(out.volume, OUTPUT_STORED_VALUE);
  EXPECT_EQ(out.pan, OUTPUT_STORED_VALUE);
  EXPECT_EQ(host.priorityCalls, 1);
  EXPECT_EQ(host.visDeinitCalls, 1);
  EXPECT_EQ(host.visLatency, (1 << 20) * 1000 / (44100 * 2 * 2));
  EXPECT_EQ(host.visRate, 44100);
  EXPECT_EQ((std::vector<int>{host.infoRate, host.infoChannels}), (std::vector<int>{44100, 2}));
  ASSERT_FALSE(host.statusKbps.empty());
  EXPECT_EQ(host.statusKbps.front(), 128);
  // Blocks of ten frames; each carries the position reached before it.
  const std::vector<int> wantStamps = {0, 261, 522, 783};  // and 4 frames at the end
  EXPECT_EQ(host.pcmTimestamps, wantStamps);
}

TEST_F(Mp3ModuleTest, StopWhileTheOutputIsFullLetsTheThreadEndByItself) {
  const std::u16string path = MakeFile("held.mp3");
  BoundDecoder bound(Mp3Decoder, &source_);
  bound.output().room = 0;
  ASSERT_EQ(Mp3Decoder.Play(path.c_str()), 0);
  // Bounded: the thread reaches its wait for the output.
  for (int i = 0; i < 3000 && bound.output().canWriteCalls == 0; ++i) Sleep(5);
  ASSERT_GT(bound.output().canWriteCalls, 0);
  Mp3Decoder.Stop();  // returns only once the thread has seen the flag and ended
  EXPECT_EQ(bound.output().written, 0);
  EXPECT_EQ(bound.output().closes, 1);
  EXPECT_FALSE(bound.EndOfStreamPosted()) << "a stopped play reports no end of stream";
  const int calls = bound.output().canWriteCalls;
  Mp3Decoder.Stop();  // a second Stop finds no thread
  EXPECT_EQ(bound.output().canWriteCalls, calls);
}

TEST_F(Mp3ModuleTest, SeekToZeroFlushesAtOnceAndPlaysFromTheFirstFrame) {
  const std::u16string path = MakeFile("zero.mp3");
  BoundDecoder bound(Mp3Decoder, &source_);
  bound.output().room = 0;
  ASSERT_EQ(Mp3Decoder.Play(path.c_str()), 0);
  Mp3Decoder.SetOutputTime(0);
  bound.output().room = 1 << 20;
  ASSERT_EQ(bound.WaitForEndOfStream(), 0);
  Mp3Decoder.Stop();
  EXPECT_EQ(bound.output().flushedAt, std::vector<int>{0});
  EXPECT_EQ(bound.output().written, 40 * 1152 * 4);
}

TEST_F(Mp3ModuleTest, FilesThatHoldNoAudioFailToPlay) {
  WriteHostFile(device_.Host("zeros.mp3"), std::vector<uint8_t>(100000, 0));
  WriteHostFile(device_.Host("empty.mp3"), {});
  BoundDecoder bound(Mp3Decoder, &source_);
  for (const char16_t* path : {u"\\zeros.mp3", u"\\empty.mp3", u"\\missing.mp3"}) {
    EXPECT_EQ(Mp3Decoder.Play(path), -1) << Narrow(path);
    EXPECT_EQ(bound.output().opens, 0);
  }
  EXPECT_EQ(Mp3Decoder.Play(nullptr), -1);
}

// The length of the 128 kb/s, 44.1 kHz layer III frame that starts `at`, by its padding bit.
size_t FrameLength(const std::vector<uint8_t>& file, size_t at) { return 144 * 128000 / 44100 + ((file[at + 2] >> 1) & 1); }

TEST_F(Mp3ModuleTest, ALastFrameEndingTheFilePlaysThoughNoFrameFollowsIt) {
  // Cut after the frames given: lame's Info frame and one audio frame, and two bare frames.
  const struct {
    const char* name;
    const char* options;
    int frames;  // kept, the Info frame counting
    long long written;
  } kCases[] = {{"info_one.mp3", "-b 128", 2, 1152 * 4}, {"bare_two.mp3", "-b 128 -t", 2, 2 * 1152 * 4}};
  for (const auto& c : kCases) {
    const std::u16string path = MakeFile(c.name, c.options);
    std::vector<uint8_t> file = ReadHostFile(device_.Host(c.name));
    size_t end = 0;
    for (int k = 0; k < c.frames; ++k) end += FrameLength(file, end);
    ASSERT_LT(end, file.size());
    file.resize(end);
    WriteHostFile(device_.Host(c.name), file);
    BoundDecoder bound(Mp3Decoder, &source_);
    ASSERT_EQ(Mp3Decoder.Play(path.c_str()), 0) << c.name;
    ASSERT_EQ(bound.WaitForEndOfStream(), 0) << c.name;
    Mp3Decoder.Stop();
    EXPECT_EQ(bound.output().written, c.written) << c.name;
  }
}

TEST_F(Mp3ModuleTest, TitlesComeFromTheId3v1TagOrTheFileName) {
  const struct {
    const char* name;
    const char* title;
    const char* artist;
    const char16_t* shown;
  } kCases[] = {
      {"both.mp3", "Song", "Band", u"Band - Song"},
      {"title.mp3", "Song", "", u"Unknown Artist - Song"},
      {"artist.mp3", "", "Band", u"Band - Untitled"},
      {"neither.mp3", nullptr, nullptr, u"neither"},
  };
  BoundDecoder bound(Mp3Decoder, &source_);
  for (const auto& c : kCases) {
    const std::u16string path = MakeFile(c.name);
    if (c.title) AppendBytes(c.name, Id3v1(c.title, c.artist));
    WCHAR title[MAX_PATH] = u"unchanged";
    int length = -1;
    Mp3Decoder.GetFileInfo(&source_, path.c_str(), title, &length);
    EXPECT_EQ(std::u16string(title), c.shown) << c.name;
    if (!c.title) {
      EXPECT_EQ(length, 40 * 1152 * 1000 / 44100) << c.name;
    }
  }
}

TEST_F(Mp3ModuleTest, StreamInformationAndItsFailures) {
  const std::u16string path = MakeFile("info.mp3");
  ItemHolder item;
  EXPECT_EQ(Mp3Decoder.ReadStreamInfo(nullptr, path.c_str(), item), static_cast<LONG>(E_FAIL));
  EXPECT_EQ(Mp3Decoder.ReadStreamInfo(&source_, nullptr, item), static_cast<LONG>(E_FAIL));
  EXPECT_EQ(Mp3Decoder.ReadStreamInfo(&source_, u"", item), static_cast<LONG>(E_FAIL));
  EXPECT_EQ(Mp3Decoder.ReadStreamInfo(&source_, path.c_str(), nullptr), static_cast<LONG>(E_FAIL));
  EXPECT_EQ(static_cast<DWORD>(Mp3Decoder.ReadStreamInfo(&source_, u"\\missing.mp3", item)), 0x8C0F1011u);
  EXPECT_EQ(static_cast<DWORD>(Mp3Decoder.ReadStreamInfo(&source_, path.c_str(), item)), 0x0C0F1011u);
  EXPECT_EQ(IntTag(item, TAG_LENGTH_ID), 40 * 1152 * 1000 / 44100);
  EXPECT_EQ(IntTag(item, TAG_BIT_RATE_ID), 128000);
  EXPECT_EQ(IntTag(item, TAG_SAMPLE_RATE_ID), 44100);
  EXPECT_EQ(IntTag(item, TAG_CHANNELS_ID), 2);
}

// A copy of the file source that says it cannot seek, as a network stream does.
int NotSeekable(InputSource*) { return 0; }

TEST_F(Mp3ModuleTest, AStreamMergesItsTagAndStreamInformationIntoThePlayingItem) {
  const std::u16string path = MakeFile("stream.mp3");
  // An ID3v2.3 tag in front: a title and an artist frame.
  auto frame = [](const char* id, const std::string& text) {
    std::vector<uint8_t> f(id, id + 4);
    const size_t size = text.size() + 1;
    f.insert(f.end(), {0, 0, 0, static_cast<uint8_t>(size), 0, 0, 0});
    f.insert(f.end(), text.begin(), text.end());
    return f;
  };
  std::vector<uint8_t> body = frame("TIT2", "Live Title");
  const std::vector<uint8_t> artist = frame("TPE1", "Live Artist");
  body.insert(body.end(), artist.begin(), artist.end());
  std::vector<uint8_t> file = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, static_cast<uint8_t>(body.size())};
  file.insert(file.end(), body.begin(), body.end());
  const std::vector<uint8_t> audio = ReadHostFile(device_.Host("stream.mp3"));
  file.insert(file.end(), audio.begin(), audio.end());
  WriteHostFile(device_.Host("stream.mp3"), file);

  source_.IsSeekable = NotSeekable;
  ItemHolder info;
  EXPECT_EQ(static_cast<DWORD>(Mp3Decoder.ReadStreamInfo(&source_, path.c_str(), info)), 0x0C0F1011u);
  EXPECT_EQ(IntTag(info, TAG_LENGTH_ID), -99999) << "a stream is not read for its information";

  BoundDecoder bound(Mp3Decoder, &source_);
  ASSERT_EQ(Mp3Decoder.Play(path.c_str()), 0);
  EXPECT_EQ(Mp3Decoder.flags & DEC_FLAG_SEEKABLE, 0);
  ASSERT_EQ(bound.WaitForEndOfStream(), 0);
  Mp3Decoder.Stop();
  EXPECT_EQ(bound.host().newItems, 2);
  EXPECT_EQ(bound.host().merges, 2);
  IMediaItem* merged = bound.host().merged;
  EXPECT_EQ(StringTag(merged, TAG_TITLE_ID), u"Live Title");
  EXPECT_EQ(StringTag(merged, TAG_ARTIST_ID), u"Live Artist");
  EXPECT_EQ(IntTag(merged, TAG_SAMPLE_RATE_ID), 44100);
  EXPECT_EQ(IntTag(merged, TAG_BIT_RATE_ID), 128000);
  EXPECT_EQ(bound.output().written, 40 * 1152 * 4);
}

}  // namespace
