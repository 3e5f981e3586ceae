// The Ogg decoder's record as the core binds it: its fixed slots, plays to the end that hand the
// output exactly Tremor's PCM, chained files, the read budget, refused files, seeks that land or
// fail, a source that cannot seek, Stop and a second Play, and the equaliser's stored settings.
#include <algorithm>

#include "decoder_test_support.h"
#include "file_source.h"
#include "item_text.h"
#include "mp3_test_support.h"
#include "ogg_decoder.h"
#include "ogg_play_state.h"
#include "ogg_test_support.h"

namespace {

using namespace zbtest;

class OggModuleTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    source_ = MakeFileSource();
    OggDecoder.Init();
  }
  // Plays a device path to its end with the output keeping what it gets; the end's wParam.
  int PlayToEnd(BoundDecoder& bound, const std::u16string& path) {
    bound.output().keep = true;
    EXPECT_EQ(OggDecoder.Play(path.c_str()), 0) << Narrow(path);
    const int end = bound.WaitForEndOfStream();
    OggDecoder.Stop();
    return end;
  }
  // Waits (bounded) until the decode thread has asked the output for room.
  static bool ThreadWaits(BoundDecoder& bound) {
    const int before = bound.output().canWriteCalls;
    for (int i = 0; i < 3000 && bound.output().canWriteCalls <= before + 1; ++i) Sleep(2);
    return bound.output().canWriteCalls > before + 1;
  }
  InputSource source_;
};

TEST_F(OggModuleTest, TheRecordAnswersItsFixedSlots) {
  DecModule& m = OggDecoder;
  EXPECT_EQ(m.version, 1);
  EXPECT_EQ(std::u16string(m.description), u"Kestrane Tremor OGG Decoder");
  EXPECT_EQ(std::u16string(m.fileExtensions), u"*.OGG");
  EXPECT_EQ(m.IsOurFile(u"\\Music\\a.ogg"), 0) << "files come by the extension filter alone";
  EXPECT_EQ(m.Command(1, nullptr, 0, nullptr, 0), -1);
  EXPECT_EQ(static_cast<DWORD>(m.Slot19()), 0x8C0F1004u);
  EXPECT_EQ(m.GetContentType, nullptr);
  EXPECT_EQ(m.GetMimeType, nullptr);
  EXPECT_EQ(m.ReadStreamInfo, &ReadVorbisComments);
  const signed char flat[11] = {31, 31, 31, 31, 31, 31, 31, 31, 31, 31, 31};
  EXPECT_EQ(m.SetEqualizer(1, 11, flat, 0, 0), 1) << "it equalises by itself";
  EXPECT_EQ(m.SetEqualizer(2, 11, flat, 0, 0), 1);
  EXPECT_EQ(m.SetEqualizer(0, 11, flat, 0, 0), 0);
  EXPECT_EQ(m.SetEqualizer(3, 11, flat, 0, 0), 0);
  EXPECT_EQ(m.SetEqualizer(1, 11, nullptr, 0, 0), 0);
}

TEST_F(OggModuleTest, PlaysToTheEndHandingTheOutputExactlyTremorsPcm) {
  const struct {
    const char* name;
    int rate, channels, lengthMs;
  } kCases[] = {{"s44k_q3", 44100, 2, 4000}, {"m8k_q0", 8000, 1, 2000}, {"s48k_q8", 48000, 2, 2000},
                {"m16k_qm1", 16000, 1, 1500}, {"chain_alike", 44100, 2, 2500}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::u16string path = PutOggFixture(device_, c.name);
    BoundDecoder bound(OggDecoder, &source_);
    bound.output().keep = true;
    ASSERT_EQ(OggDecoder.Play(path.c_str()), 0);
    EXPECT_EQ(OggDecoder.GetLength(), c.lengthMs);
    EXPECT_EQ(OggDecoder.flags & DEC_FLAG_SEEKABLE, DEC_FLAG_SEEKABLE);
    ASSERT_EQ(bound.WaitForEndOfStream(), 0);
    const int position = OggDecoder.GetOutputTime();
    OggDecoder.Stop();

    RecordedOutput& out = bound.output();
    RecordedHost& host = bound.host();
    const Pcm want = PlainDecode(OggFixturePath(c.name));
    ASSERT_FALSE(want.empty());
    EXPECT_TRUE(out.pcm == want) << "got " << out.pcm.size() << " bytes for Tremor's " << want.size();
    EXPECT_EQ(out.opens, 1);
    EXPECT_EQ(out.closes, 1);
    EXPECT_EQ((std::vector<int>{out.rate, out.channels, out.bits}), (std::vector<int>{c.rate, c.channels, 16}));
    EXPECT_EQ(out.volume, OUTPUT_STORED_VALUE);
    EXPECT_EQ(out.pan, OUTPUT_STORED_VALUE);
    EXPECT_EQ(host.priorityCalls, 1);
    EXPECT_EQ(host.visDeinitCalls, 1);
    EXPECT_EQ(host.visLatency, static_cast<int>((1LL << 20) * 1000 / (2 * c.channels * c.rate)));
    EXPECT_EQ((std::vector<int>{host.visRate, host.infoRate, host.infoChannels}),
              (std::vector<int>{c.rate, c.rate, c.channels}));
    ASSERT_EQ(host.statusKbps.size(), 1u);
    // The position the module reached is the samples it handed out, to the millisecond.
    EXPECT_EQ(position, static_cast<int>(want.size() / (2 * c.channels) * 1000 / c.rate));
    ASSERT_FALSE(host.pcmTimestamps.empty());
    EXPECT_EQ(host.pcmTimestamps.front(), 0);
    EXPECT_TRUE(std::is_sorted(host.pcmTimestamps.begin(), host.pcmTimestamps.end()));
  }
}

TEST_F(OggModuleTest, AChainedLinkInAnotherFormatOpensTheOutputAgainForIt) {
  const std::u16string path = PutOggFixture(device_, "chain_formats");
  BoundDecoder bound(OggDecoder, &source_);
  EXPECT_EQ(PlayToEnd(bound, path), 0);
  std::vector<size_t> links;
  const Pcm want = PlainDecode(OggFixturePath("chain_formats"), &links);
  ASSERT_EQ(links.size(), 2u);
  EXPECT_TRUE(bound.output().pcm == want);
  EXPECT_EQ(bound.output().opens, 2);
  EXPECT_EQ(bound.output().closes, 2);
  EXPECT_EQ((std::vector<int>{bound.output().rate, bound.output().channels}), (std::vector<int>{22050, 1}));
  EXPECT_EQ((std::vector<int>{bound.host().infoRate, bound.host().infoChannels}), (std::vector<int>{22050, 1}));
}

// A 64-channel link after a mono one: each read stays within the bytes asked for, whatever the
// link's channels (ASan sees any write past the buffer), and the stream ends at that link.
TEST_F(OggModuleTest, TheReadBudgetHoldsWhenALaterLinkHasManyChannels) {
  const std::u16string path = PutOggFixture(device_, "chain_wide");
  std::vector<size_t> links;
  const Pcm all = PlainDecode(OggFixturePath("chain_wide"), &links);
  ASSERT_EQ(links.size(), 2u);
  const Pcm first(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(links[0]));
  InputSource stream = NotSeekable(source_);
  for (InputSource* source : {&source_, &stream}) {
    SCOPED_TRACE(source == &stream ? "as a stream" : "as a file");
    BoundDecoder bound(OggDecoder, source);
    EXPECT_EQ(PlayToEnd(bound, path), 1) << "ended early, at the link it cannot play";
    EXPECT_TRUE(bound.output().pcm == first) << bound.output().pcm.size() << " bytes for " << first.size();
    EXPECT_EQ(bound.output().opens, 1);
  }
}

TEST(OggBuffer, TheBufferGrowsWithTheBitRateInStepsOfTwoKilobytesPerChannel) {
  const struct {
    long bitrate;
    int channels, bytes;
  } kCases[] = {{-1, 1, 49152},    {0, 2, 98304},      {1, 2, 65536},      {98304, 2, 65536},
                {98305, 2, 69632}, {128000, 2, 77824}, {200000, 1, 49152}, {327679, 2, 131072},
                {327680, 1, 65536}, {999999, 2, 131072}};
  for (const auto& c : kCases) EXPECT_EQ(OggBufferBytes(c.bitrate, c.channels), c.bytes) << c.bitrate << " " << c.channels;
}

TEST_F(OggModuleTest, FilesItCannotPlayAreRefusedAndLeaveNothingOpen) {
  WriteHostFile(device_.Host("empty.ogg"), {});
  for (const char* name : {"three_channels", "no_vorbis"}) PutOggFixture(device_, name);
  BoundDecoder bound(OggDecoder, &source_);
  for (const char16_t* path : {u"\\three_channels.ogg", u"\\no_vorbis.ogg", u"\\empty.ogg", u"\\missing.ogg"}) {
    EXPECT_EQ(OggDecoder.Play(path), -1) << Narrow(path);
    EXPECT_EQ(bound.output().opens, 0);
  }
  EXPECT_EQ(OggDecoder.Play(nullptr), -1);
  // Nothing was left behind: the next file plays.
  const std::u16string good = PutOggFixture(device_, "m8k_q0");
  EXPECT_EQ(PlayToEnd(bound, good), 0);
  EXPECT_TRUE(bound.output().pcm == PlainDecode(OggFixturePath("m8k_q0")));
}

TEST_F(OggModuleTest, StopWhileTheOutputIsFullLetsTheThreadEndByItself) {
  const std::u16string path = PutOggFixture(device_, "s44k_q3");
  BoundDecoder bound(OggDecoder, &source_);
  bound.output().room = 0;
  ASSERT_EQ(OggDecoder.Play(path.c_str()), 0);
  ASSERT_TRUE(ThreadWaits(bound));
  OggDecoder.Stop();
  EXPECT_EQ(bound.output().written, 0);
  EXPECT_EQ(bound.output().closes, 1);
  EXPECT_FALSE(bound.EndOfStreamPosted()) << "a stopped play reports no end of stream";
  const int calls = bound.output().canWriteCalls;
  OggDecoder.Stop();
  EXPECT_EQ(bound.output().canWriteCalls, calls) << "a second Stop finds no thread";
}

TEST_F(OggModuleTest, PlayWhileAStreamPlaysStopsThatStreamFirst) {
  const std::u16string first = PutOggFixture(device_, "s44k_q3"), second = PutOggFixture(device_, "m8k_q0");
  BoundDecoder bound(OggDecoder, &source_);
  bound.output().keep = true;
  bound.output().room = 0;
  ASSERT_EQ(OggDecoder.Play(first.c_str()), 0);
  ASSERT_TRUE(ThreadWaits(bound));
  ASSERT_EQ(OggDecoder.Play(second.c_str()), 0);
  EXPECT_EQ(bound.output().closes, 1) << "the first stream's output was closed";
  EXPECT_EQ(bound.host().visDeinitCalls, 1);
  bound.output().room = 1 << 20;
  EXPECT_EQ(bound.WaitForEndOfStream(), 0);
  OggDecoder.Stop();
  EXPECT_TRUE(bound.output().pcm == PlainDecode(OggFixturePath("m8k_q0")));
  EXPECT_EQ((std::vector<int>{bound.output().opens, bound.output().closes}), (std::vector<int>{2, 2}));
}

TEST_F(OggModuleTest, SeeksLandWhereTremorsOwnSeekDoes) {
  for (int target : {0, 1234, 3999}) {
    SCOPED_TRACE(target);
    const std::u16string path = PutOggFixture(device_, "s44k_q3");
    BoundDecoder bound(OggDecoder, &source_);
    bound.output().keep = true;
    bound.output().room = 0;
    ASSERT_EQ(OggDecoder.Play(path.c_str()), 0);
    OggDecoder.SetOutputTime(target);
    bound.output().room = 1 << 20;
    ASSERT_EQ(bound.WaitForEndOfStream(), 0);
    OggDecoder.Stop();
    EXPECT_EQ(bound.output().flushedAt, std::vector<int>{target});
    EXPECT_TRUE(bound.output().pcm == PlainDecode(OggFixturePath("s44k_q3"), nullptr, target));
  }
}

TEST_F(OggModuleTest, ASeekAfterTheLastBlockPlaysOnFromTheTarget) {
  const std::u16string path = PutOggFixture(device_, "m8k_q0");
  const Pcm whole = PlainDecode(OggFixturePath("m8k_q0"));
  BoundDecoder bound(OggDecoder, &source_);
  bound.output().keep = true;
  bound.output().playing = 1;  // the device still plays what it holds: the thread waits at the end
  ASSERT_EQ(OggDecoder.Play(path.c_str()), 0);
  for (int i = 0; i < 3000 && bound.output().written < static_cast<long long>(whole.size()); ++i) Sleep(2);
  ASSERT_EQ(bound.output().written, static_cast<long long>(whole.size()));
  ASSERT_TRUE(ThreadWaits(bound));
  EXPECT_FALSE(bound.EndOfStreamPosted());
  OggDecoder.SetOutputTime(700);
  const Pcm rest = PlainDecode(OggFixturePath("m8k_q0"), nullptr, 700);
  for (int i = 0; i < 3000 && bound.output().pcm.size() < whole.size() + rest.size(); ++i) Sleep(2);
  bound.output().playing = 0;
  ASSERT_EQ(bound.WaitForEndOfStream(), 0);
  OggDecoder.Stop();
  Pcm want = whole;
  want.insert(want.end(), rest.begin(), rest.end());
  EXPECT_TRUE(bound.output().pcm == want);
}

// A source that claims it can seek but fails every seek: Tremor is told so (not "done"), reads it
// as a stream, and a seek asked of the module then fails without moving the position.
TEST_F(OggModuleTest, SeeksTheSourceFailsAreFailuresAndPlaybackGoesOn) {
  const std::u16string path = PutOggFixture(device_, "s44k_q3");
  InputSource failing = SeeksFail(source_);
  BoundDecoder bound(OggDecoder, &failing);
  bound.output().keep = true;
  bound.output().room = 0;
  ASSERT_EQ(OggDecoder.Play(path.c_str()), 0);
  EXPECT_EQ(OggDecoder.GetLength(), 0) << "no length is known of what cannot be sought";
  OggDecoder.SetOutputTime(2000);
  bound.output().room = 1 << 20;
  ASSERT_EQ(bound.WaitForEndOfStream(), 0);
  OggDecoder.Stop();
  EXPECT_TRUE(bound.output().flushedAt.empty()) << "nothing flushed for a seek that did not happen";
  EXPECT_TRUE(bound.output().pcm == PlainDecode(OggFixturePath("s44k_q3")));
}

TEST_F(OggModuleTest, ASourceThatCannotSeekPlaysWithoutALengthAndKeepsItsFlagsWord) {
  const std::u16string path = PutOggFixture(device_, "s44k_q3"), other = PutOggFixture(device_, "tagged");
  InputSource stream = NotSeekable(source_);
  BoundDecoder bound(OggDecoder, &stream);
  bound.output().keep = true;
  bound.output().room = 0;
  ASSERT_EQ(OggDecoder.Play(path.c_str()), 0);
  EXPECT_EQ(OggDecoder.GetLength(), 0) << "unknown, not Tremor's error code";
  EXPECT_EQ(OggDecoder.flags & DEC_FLAG_SEEKABLE, 0);
  // Titles and tags of another file, through a source that can seek, leave the word alone.
  InputSource reader = MakeFileSource();
  WCHAR title[MAX_PATH];
  int length = 0;
  OggDecoder.GetFileInfo(&reader, other.c_str(), title, &length);
  ItemHolder item;
  EXPECT_EQ(ReadVorbisComments(&reader, other.c_str(), item), 0);
  EXPECT_EQ(OggDecoder.flags & DEC_FLAG_SEEKABLE, 0) << "the word belongs to the file that plays";
  reader.Release(&reader);
  bound.output().room = 1 << 20;
  ASSERT_EQ(bound.WaitForEndOfStream(), 0);
  OggDecoder.Stop();
  EXPECT_TRUE(bound.output().pcm == PlainDecode(OggFixturePath("s44k_q3")));
}

// What the stream object hears of pauses (control 0x80000, a 4-byte flag).
std::vector<DWORD> g_sourcePauses;
int RecordPause(InputSource*, UINT id, void* in, UINT size, void*, UINT) {
  if (id == 0x80000 && in && size == sizeof(DWORD)) g_sourcePauses.push_back(*static_cast<DWORD*>(in));
  return 0;
}

TEST_F(OggModuleTest, PausesAreReportedAndReachTheSourceAndStopClearsThem) {
  const std::u16string path = PutOggFixture(device_, "s44k_q3");
  InputSource told = source_;
  told.Control = RecordPause;
  g_sourcePauses.clear();
  BoundDecoder bound(OggDecoder, &told);
  bound.output().room = 0;
  ASSERT_EQ(OggDecoder.Play(path.c_str()), 0);
  EXPECT_EQ(OggDecoder.IsPaused(), 0);
  OggDecoder.Pause();
  EXPECT_EQ(OggDecoder.IsPaused(), 1);
  OggDecoder.UnPause();
  EXPECT_EQ(OggDecoder.IsPaused(), 0);
  OggDecoder.Pause();
  OggDecoder.Stop();
  EXPECT_EQ(OggDecoder.IsPaused(), 0);
  EXPECT_EQ(g_sourcePauses, (std::vector<DWORD>{1, 0, 1}));
}

}  // namespace
