// ReadWaveInfo: stream properties of WAVE and ".snd" files, the INFO, DISP and replay-gain chunks
// wherever they stand, and chunks whose stated sizes do not fit the file or the list around them.
#include <gtest/gtest.h>

#include "decoder_test_support.h"
#include "file_source.h"
#include "item_text.h"
#include "wave_decoder.h"
#include "wave_test_support.h"

namespace {

using namespace zbtest;

constexpr DWORD kLength = 0x000203EC, kBitRate = 0x000203ED, kSampleRate = 0x000203F0, kChannels = 0x000203F1;
constexpr DWORD kBits = 0x000203F2, kLossless = 0x000203F4, kFormatTag = 0x000203F6;
constexpr DWORD kArtist = 0x00010005, kSongTitle = 0x00010007, kDisplayTitle = 0x00010009, kGenre = 0x0001000B;
constexpr DWORD kCreationDate = 0x000407D2;
constexpr DWORD kTrackGain = 0x00032712, kAlbumGain = 0x00032713, kTrackPeak = 0x00032714, kReference = 0x00032716;
constexpr DWORD kOriginators = 0x80022711;

float FloatTag(IMediaItem* item, DWORD id) {
  float value = 0;
  return SUCCEEDED(item->GetFloat(id, &value)) ? value : -999;
}

// A "fmt " chunk of 16-bit stereo at 44.1 kHz and a "data" chunk of 441 frames, for more to follow.
RiffBuilder Pcm() {
  RiffBuilder builder;
  builder.Format(WAVE_FORMAT_PCM, 2, 44100, 16).Data(Samples16(441, 2, 1));
  return builder;
}

class WaveInfoTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    source_ = MakeFileSource();
  }
  LONG Read(const std::string& name, const Bytes& file) {
    WriteHostFile(device_.Host(name), file);
    return ReadWaveInfo(&source_, DevicePath(name).c_str(), item_);
  }

  InputSource source_;
  ItemHolder item_;
};

TEST_F(WaveInfoTest, InfoChunksAfterTheDataGiveTheirTags) {
  const struct {
    const char* id;
    DWORD tag;
  } kIds[] = {{"ICMT", 0x00010021}, {"ICOP", 0x0001000F}, {"IART", kArtist},    {"IGNR", kGenre},
              {"IKEY", 0x0001001E}, {"IMED", 0x0001000D}, {"INAM", kSongTitle}, {"IENG", 0x000100CC},
              {"ISFT", 0x00010010}, {"ITCH", 0x00010014}, {"ISBJ", 0x0001000C}, {"ISRF", 0x0001001F},
              {"ISRC", 0x00010013}};
  std::vector<std::pair<std::string, std::string>> texts;
  for (const auto& k : kIds) texts.emplace_back(k.id, std::string("text of ") + k.id);
  texts.emplace_back("ICRD", "2019-04-01");
  texts.emplace_back("IXYZ", "not ours");
  const Bytes file =
      RiffBuilder().Format(WAVE_FORMAT_PCM, 1, 8000, 16).Data(Samples16(8, 1, 2)).List("INFO", texts).Build();
  EXPECT_EQ(Read("after.wav", file), 0);
  for (const auto& k : kIds) EXPECT_EQ(Narrow(StringTag(item_, k.tag)), std::string("text of ") + k.id) << k.id;
  EXPECT_EQ(IntTag(item_, kCreationDate), 2019) << "read as a date";
  EXPECT_EQ(Narrow(StringTag(item_, kDisplayTitle)), "after") << "the file name, with no DISP chunk";
}

TEST_F(WaveInfoTest, AListOfAnotherTypeEndsTheWalk) {
  const Bytes file = RiffBuilder()
                         .Format(WAVE_FORMAT_PCM, 1, 8000, 16)
                         .List("adtl", {{"labl", "cue"}})
                         .List("INFO", {{"IART", "Nobody"}})
                         .Data(Samples16(8, 1, 2))
                         .Build();
  EXPECT_EQ(Read("adtl.wav", file), 0);
  EXPECT_EQ(StringTag(item_, kArtist), u"<none>");
  EXPECT_EQ(IntTag(item_, kSampleRate), 8000) << "what came before it stays";
}

TEST_F(WaveInfoTest, DisplayChunks) {
  Bytes text;
  PutLe(&text, 1, 4);
  for (char c : std::string("Shown Title")) text.push_back(static_cast<uint8_t>(c));
  text.push_back(0);
  Bytes picture;
  PutLe(&picture, 8, 4);  // a bitmap: not ours
  picture.insert(picture.end(), 20, 0x33);
  const struct {
    const char* name;
    Bytes file;
    const char* shown;
    const char* artist;
  } kFiles[] = {
      {"disp.wav", RiffBuilder().Chunk("DISP", text).Raw(Pcm().Chunks()).Build(), "Shown Title", "<none>"},
      {"picture.wav", RiffBuilder().Chunk("DISP", picture).List("INFO", {{"IART", "A"}}).Build(), "picture", "A"},
      // Shorter than its type word: nothing in it, and the walk goes on.
      {"tiny.wav", RiffBuilder().Chunk("DISP", {1, 0}).List("INFO", {{"IART", "B"}}).Build(), "tiny", "B"},
      {"empty.wav", RiffBuilder().Chunk("DISP", {}).List("INFO", {{"IART", "C"}}).Build(), "empty", "C"},
      // Stated longer than the file: the walk ends there, the file name stands in.
      {"long.wav", RiffBuilder().List("INFO", {{"IART", "D"}}).Chunk("DISP", text, 0x7FFFFFFF).Build(), "long", "D"},
  };
  for (const auto& f : kFiles) {
    ItemHolder item;
    WriteHostFile(device_.Host(f.name), f.file);
    EXPECT_EQ(ReadWaveInfo(&source_, DevicePath(f.name).c_str(), item), 0) << f.name;
    EXPECT_EQ(Narrow(StringTag(item, kDisplayTitle)), f.shown) << f.name;
    EXPECT_EQ(Narrow(StringTag(item, kArtist)), f.artist) << f.name;
  }
}

// The "rgad" chunk is little-endian like the rest of RIFF: peak 0.75, radio (track) gain -6.5 dB
// set by originator 3, audiophile (album) gain +1.2 dB by originator 1.
TEST_F(WaveInfoTest, TheReplayGainChunkIsReadInTheFilesByteOrder) {
  Bytes body;
  const float peak = 0.75f;
  uint32_t bits;
  std::memcpy(&bits, &peak, 4);
  PutLe(&body, bits, 4);
  PutLe(&body, 1u << 13 | 3u << 10 | 1u << 9 | 65, 2);
  PutLe(&body, 2u << 13 | 1u << 10 | 12, 2);
  EXPECT_EQ(Read("gain.wav", Pcm().Chunk("rgad", body).Build()), 0);
  EXPECT_FLOAT_EQ(FloatTag(item_, kTrackPeak), 0.75f);
  EXPECT_FLOAT_EQ(FloatTag(item_, kTrackGain), -6.5f);
  EXPECT_FLOAT_EQ(FloatTag(item_, kAlbumGain), 1.2f);
  EXPECT_FLOAT_EQ(FloatTag(item_, kReference), 83.0f);
  for (DWORD instance : {1u, 2u}) {
    DWORD originator = 0, size = sizeof originator;
    ASSERT_TRUE(SUCCEEDED(item_->GetInstance(kOriginators, instance, &originator, &size))) << instance;
    EXPECT_EQ(originator, instance == 1 ? 3u : 1u);
  }
  ItemHolder small;
  WriteHostFile(device_.Host("small.wav"), Pcm().Chunk("rgad", Bytes(body.begin(), body.begin() + 6)).Build());
  EXPECT_EQ(ReadWaveInfo(&source_, u"\\small.wav", small), 0);
  BOOL present = TRUE;
  ASSERT_TRUE(SUCCEEDED(small->HasTag(kTrackGain, &present)));
  EXPECT_FALSE(present) << "fewer than 8 bytes are not a gain record";
}

TEST_F(WaveInfoTest, PcmPropertiesAreComputedAndTheLengthIsTheWholeFiles) {
  // Block align and byte rate as stored are wrong; the trailing LIST counts in the length.
  const Bytes file = RiffBuilder()
                         .Chunk("fmt ", FormatBody(WAVE_FORMAT_PCM, 2, 22050, 16, 3, 1000))
                         .Data(Samples16(22050, 2, 3))
                         .List("INFO", {{"INAM", "x"}})
                         .Build();
  EXPECT_EQ(Read("props.wav", file), 0);
  EXPECT_EQ(IntTag(item_, kFormatTag), 1);
  EXPECT_EQ(IntTag(item_, kBits), 16);
  EXPECT_EQ(IntTag(item_, kChannels), 2);
  EXPECT_EQ(IntTag(item_, kSampleRate), 22050);
  EXPECT_EQ(IntTag(item_, kBitRate), 88200 * 8);
  EXPECT_EQ(IntTag(item_, kLossless), 1);
  EXPECT_EQ(IntTag(item_, kLength), static_cast<long>(file.size() * 1000 / 88200));
}

TEST_F(WaveInfoTest, SndHeadersGiveTheirFormats) {
  const struct {
    uint32_t encoding, rate, channels;
    long tag, bits, bitRate, lossless;
  } kCases[] = {
      {3, 44100, 2, 1, 16, 1411200, 1}, {2, 8000, 1, 1, 8, 64000, 1},        {1, 8000, 1, 7, 8, 64000, -99999},
      {6, 48000, 1, 3, 32, 1536000, 1}, {23, 8000, 1, 64, 4, 32000, -99999},  // G.721: 4 bits a sample
  };
  for (const auto& c : kCases) {
    ItemHolder item;
    const Bytes file = SndFile(c.encoding, c.rate, c.channels, Bytes(1000, 0));
    WriteHostFile(device_.Host("s.snd"), file);
    EXPECT_EQ(ReadWaveInfo(&source_, u"\\s.snd", item), 0);
    EXPECT_EQ(IntTag(item, kFormatTag), c.tag) << c.encoding;
    EXPECT_EQ(IntTag(item, kBits), c.bits) << c.encoding;
    EXPECT_EQ(IntTag(item, kBitRate), c.bitRate) << c.encoding;
    EXPECT_EQ(IntTag(item, kLossless), c.lossless) << c.encoding;
    EXPECT_EQ(IntTag(item, kLength), static_cast<long>(file.size() * 8000 / c.bitRate)) << c.encoding;
  }
  EXPECT_EQ(Read("unknown.snd", SndFile(27, 8000, 1, Bytes(100, 0))), 0);
  EXPECT_EQ(IntTag(item_, kFormatTag), -99999);
  EXPECT_EQ(IntTag(item_, kSampleRate), -99999);
  EXPECT_EQ(Narrow(StringTag(item_, kDisplayTitle)), "unknown");
}

TEST_F(WaveInfoTest, SizesThatDoNotFitEndTheWalkWithoutHarm) {
  Bytes overrun = {'I', 'N', 'F', 'O', 'I', 'A', 'R', 'T',  4,    0, 0, 0,  'O',
                   'n', 'e', 0,   'I', 'N', 'A', 'M', 0xFF, 0xFF, 0, 0, 'x'};
  const struct {
    const char* name;
    Bytes file;
    const char* artist;
    long rate;
  } kFiles[] = {
      // A LIST stated past the file's end: what it holds is read, then the walk ends.
      {"list_long.wav",
       Pcm().Chunk("LIST", {'I', 'N', 'F', 'O', 'I', 'A', 'R', 'T', 2, 0, 0, 0, 'Z', 0}, 0x40000000).Build(), "Z",
       44100},
      // A sub-chunk stated past its list: the ones before it count.
      {"sub_long.wav", RiffBuilder().Chunk("LIST", overrun).Raw(Pcm().Chunks()).Build(), "One", -99999},
      // Odd text sizes with their pad bytes, then the format behind them.
      {"odd.wav", RiffBuilder().List("INFO", {{"INAM", "ab"}, {"IART", "odd"}}).Raw(Pcm().Chunks()).Build(), "odd",
       44100},
      {"huge_fmt.wav", RiffBuilder().Chunk("fmt ", FormatBody(1, 2, 44100, 16), 0x7FFFFFF0).Build(), "<none>", 44100},
      {"junk.wav", RiffBuilder().Chunk("junk", Bytes(4, 0), 0xFFFFFFF0).List("INFO", {{"IART", "late"}}).Build(),
       "<none>", -99999},
      // A text cut off by the file's end is not read.
      {"cut.wav",
       [&] {
         Bytes b = RiffBuilder().List("INFO", {{"IART", "Cut Off"}}).Build();
         b.erase(b.end() - 6, b.end());
         return b;
       }(),
       "<none>", -99999},
  };
  for (const auto& f : kFiles) {
    ItemHolder item;
    WriteHostFile(device_.Host(f.name), f.file);
    EXPECT_EQ(ReadWaveInfo(&source_, DevicePath(f.name).c_str(), item), 0) << f.name;
    EXPECT_EQ(Narrow(StringTag(item, kArtist)), f.artist) << f.name;
    EXPECT_EQ(IntTag(item, kSampleRate), f.rate) << f.name;
  }
}

int NotSeekable(InputSource*) { return 0; }

TEST_F(WaveInfoTest, ResultsForFilesThatAreNotWaveAndForBadArguments) {
  WriteHostFile(device_.Host("a.wav"), Pcm().Build());
  WriteHostFile(device_.Host("text.wav"), Bytes(100, 'x'));
  Bytes riff = Pcm().Build();
  riff[9] = 'X';
  WriteHostFile(device_.Host("avi.wav"), riff);
  EXPECT_EQ(ReadWaveInfo(nullptr, u"\\a.wav", item_), static_cast<LONG>(E_FAIL));
  EXPECT_EQ(ReadWaveInfo(&source_, nullptr, item_), static_cast<LONG>(E_FAIL));
  EXPECT_EQ(ReadWaveInfo(&source_, u"", item_), static_cast<LONG>(E_FAIL));
  EXPECT_EQ(ReadWaveInfo(&source_, u"\\a.wav", nullptr), static_cast<LONG>(E_FAIL));
  EXPECT_EQ(ReadWaveInfo(&source_, u"\\missing.wav", item_), static_cast<LONG>(E_FAIL));
  EXPECT_EQ(ReadWaveInfo(&source_, u"\\text.wav", item_), 1);
  EXPECT_EQ(Narrow(StringTag(item_, kDisplayTitle)), "text");
  ItemHolder avi;
  EXPECT_EQ(ReadWaveInfo(&source_, u"\\avi.wav", avi), 0) << "RIFF, though not WAVE";
  EXPECT_EQ(IntTag(avi, kSampleRate), -99999);
  InputSource stream = MakeFileSource();
  stream.IsSeekable = NotSeekable;
  ItemHolder none;
  EXPECT_EQ(ReadWaveInfo(&stream, u"\\a.wav", none), 1);
  EXPECT_EQ(IntTag(none, kSampleRate), -99999);
  EXPECT_EQ(stream.state, nullptr) << "not opened";
}

}  // namespace
