// The WAVE decoder's record as the core binds it: its fixed slots, plays to the end with the
// output format it chooses, the end-of-data cut, seeks, Stop (which drops a seek not yet taken),
// titles and lengths, ".snd" files, and files that must fail cleanly instead of playing.
#include <gtest/gtest.h>

#include "decoder_test_support.h"
#include "file_source.h"
#include "mp3_test_support.h"
#include "wave_decoder.h"
#include "wave_test_support.h"

namespace {

using namespace zbtest;

class WaveModuleTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    source_ = MakeFileSource();
    WaveDecoder.Init();
  }
  void TearDown() override {
    WaveDecoder.Quit();
    DeviceTest::TearDown();
  }
  std::u16string Write(const std::string& name, const Bytes& bytes) {
    WriteHostFile(device_.Host(name), bytes);
    return DevicePath(name);
  }
  // A file of 16-bit stereo at 44.1 kHz holding `samples`.
  std::u16string WriteStereo(const std::string& name, const Bytes& samples) {
    return Write(name, RiffBuilder().Format(WAVE_FORMAT_PCM, 2, 44100, 16).Data(samples).Build());
  }
  // Plays into an output that takes nothing, until the thread waits for room (bounded).
  bool PlayHeld(const std::u16string& path, CaptureOutput& out) {
    out->room = 0;
    if (WaveDecoder.Play(path.c_str()) != 0) return false;
    for (int i = 0; i < 3000 && out->canWriteCalls == 0; ++i) Sleep(5);
    return out->canWriteCalls > 0;
  }
  // Plays a file to its end into the captured output; false when Play refused it.
  bool PlayToEnd(const std::u16string& path, CapturedOutput* out = nullptr) {
    BoundDecoder bound(WaveDecoder, &source_);
    CaptureOutput capture(&WaveDecoder.outModule);
    if (WaveDecoder.Play(path.c_str()) != 0) {
      EXPECT_EQ(capture->opens, 0);
      return false;
    }
    EXPECT_EQ(bound.WaitForEndOfStream(), 0);
    WaveDecoder.Stop();
    if (out) {
      out->rate = capture->rate, out->channels = capture->channels, out->bits = capture->bits;
      out->written = capture->Written();
      out->flushedAt = capture->flushedAt;
    }
    return true;
  }
  InputSource source_;
};

TEST_F(WaveModuleTest, TheRecordAnswersItsFixedSlots) {
  DecModule& m = WaveDecoder;
  EXPECT_EQ(m.version, 1);
  EXPECT_EQ(std::u16string(m.description), u"Kestrane WAVE Decoder");
  EXPECT_EQ(std::u16string(m.fileExtensions), u"*.WAV");
  EXPECT_EQ(m.IsOurFile(u"\\Music\\a.wav"), 0);
  EXPECT_EQ(m.SetEqualizer, nullptr) << "the host's equaliser works on its output";
  EXPECT_EQ(m.GetContentType, nullptr);
  EXPECT_EQ(m.GetMimeType, nullptr);
  EXPECT_EQ(m.Command(1, nullptr, 0, nullptr, 0), -1);
  EXPECT_EQ(static_cast<DWORD>(m.Slot19()), 0x80004005u);
  EXPECT_EQ(m.ReadStreamInfo, &ReadWaveInfo);
}

TEST_F(WaveModuleTest, SixteenBitStereoPlaysUnchangedThroughTheHostCallbacks) {
  const Bytes samples = Samples16(44100, 2, 1);
  const std::u16string path = WriteStereo("play.wav", samples);
  BoundDecoder bound(WaveDecoder, &source_);
  CaptureOutput out(&WaveDecoder.outModule);
  ASSERT_EQ(WaveDecoder.Play(path.c_str()), 0);
  EXPECT_EQ(WaveDecoder.GetLength(), 1000);
  EXPECT_EQ(WaveDecoder.flags, DEC_FLAG_SEEKABLE);
  ASSERT_EQ(bound.WaitForEndOfStream(), 0);
  WaveDecoder.Stop();
  EXPECT_EQ((std::vector<int>{out->rate, out->channels, out->bits}), (std::vector<int>{44100, 2, 16}));
  EXPECT_TRUE(out->Written() == samples) << "every sample, nothing else";
  EXPECT_EQ(out->closes, 1);
  RecordedHost& host = bound.host();
  EXPECT_EQ(host.priorityCalls, 1);
  EXPECT_EQ(host.visDeinitCalls, 1);
  EXPECT_EQ(host.visRate, 44100);
  EXPECT_EQ(host.visLatency, 1000) << "the output's buffer holds more than a second";
  EXPECT_EQ((std::vector<int>{host.infoRate, host.infoChannels}), (std::vector<int>{44100, 2}));
  EXPECT_EQ(host.statusKbps, std::vector<int>{1411});
  ASSERT_FALSE(host.pcmTimestamps.empty());
  EXPECT_EQ(host.pcmTimestamps.front(), 0);
  EXPECT_EQ(WaveDecoder.GetOutputTime(), 0) << "Stop starts the position again";
}

TEST_F(WaveModuleTest, OutputFormatsFollowTheSourceFormat) {
  const struct {
    WORD tag, channels;
    DWORD rate;
    WORD bits;
    int outRate, outChannels, outBits;
  } kCases[] = {
      {WAVE_FORMAT_PCM, 2, 48000, 16, 44100, 2, 16},  {WAVE_FORMAT_PCM, 2, 32000, 16, 22050, 2, 16},
      {WAVE_FORMAT_PCM, 1, 16000, 16, 11025, 1, 16},  {WAVE_FORMAT_PCM, 1, 8000, 16, 8000, 1, 16},
      {WAVE_FORMAT_PCM, 1, 6000, 16, 8000, 1, 16},    {WAVE_FORMAT_PCM, 2, 96000, 24, 44100, 2, 16},
      {WAVE_FORMAT_PCM, 2, 44100, 24, 44100, 2, 16},  {WAVE_FORMAT_PCM, 1, 32000, 8, 22050, 1, 16},
      {WAVE_FORMAT_PCM, 1, 22050, 8, 22050, 1, 8},    {WAVE_FORMAT_ALAW, 1, 8000, 8, 8000, 1, 16},
      {WAVE_FORMAT_MULAW, 2, 22050, 8, 22050, 2, 16},
  };
  for (const auto& c : kCases) {
    const int frames = static_cast<int>(c.rate / 10);
    const Bytes samples(static_cast<size_t>(frames) * c.channels * c.bits / 8, 0x40);
    const std::u16string path =
        Write("format.wav", RiffBuilder().Format(c.tag, c.channels, c.rate, c.bits).Data(samples).Build());
    CapturedOutput out;
    ASSERT_TRUE(PlayToEnd(path, &out)) << c.rate;
    EXPECT_EQ((std::vector<int>{out.rate, out.channels, out.bits}),
              (std::vector<int>{c.outRate, c.outChannels, c.outBits}))
        << "tag " << c.tag << ", " << c.rate << " Hz " << c.bits << " bits";
    const size_t outFrames = (static_cast<size_t>(frames) * c.outRate + c.rate - 1) / c.rate;
    EXPECT_EQ(out.written.size(), outFrames * c.outChannels * c.outBits / 8) << c.rate << " Hz " << c.bits << " bits";
  }
}

TEST_F(WaveModuleTest, OnlyTheDataChunksBytesArePlayed) {
  const Bytes samples = Samples16(4410, 1, 2);
  const struct {
    const char* name;
    Bytes file;
  } kFiles[] = {
      {"list_after.wav",
       RiffBuilder().Format(WAVE_FORMAT_PCM, 1, 44100, 16).Data(samples).List("INFO", {{"INAM", "Not audio"}}).Build()},
      {"odd_before.wav", RiffBuilder()
                             .Chunk("junk", Bytes(7, 0x55))
                             .Format(WAVE_FORMAT_PCM, 1, 44100, 16)
                             .Chunk("odd ", Bytes(3, 0x77))
                             .Data(samples)
                             .Build()},
      {"trailing.wav", RiffBuilder().Format(WAVE_FORMAT_PCM, 1, 44100, 16).Data(samples).Raw(Bytes(999, 0x66)).Build()},
      {"two_formats.wav",
       RiffBuilder().Format(WAVE_FORMAT_PCM, 2, 8000, 8).Format(WAVE_FORMAT_PCM, 1, 44100, 16).Data(samples).Build()},
  };
  for (const auto& f : kFiles) {
    CapturedOutput out;
    ASSERT_TRUE(PlayToEnd(Write(f.name, f.file), &out)) << f.name;
    EXPECT_EQ(out.rate, 44100) << f.name;
    EXPECT_TRUE(out.written == samples) << f.name << ": " << out.written.size() << " bytes";
  }
}

// The data chunk's size is only a claim: one of 0 or 0xFFFFFFFF (a stream's header), or one past
// the file's end, plays what the file holds after the header.
TEST_F(WaveModuleTest, DataSizesAreBoundedByTheFile) {
  const Bytes samples = Samples16(2205, 2, 4);
  for (int64_t stated : {int64_t{0}, int64_t{0xFFFFFFFF}, static_cast<int64_t>(samples.size() + 1000)}) {
    CapturedOutput out;
    const Bytes file = RiffBuilder().Format(WAVE_FORMAT_PCM, 2, 44100, 16).Data(samples, stated).Build();
    ASSERT_TRUE(PlayToEnd(Write("sized.wav", file), &out)) << stated;
    EXPECT_TRUE(out.written == samples) << stated << ": " << out.written.size();
  }
}

TEST_F(WaveModuleTest, SndFilesPlayInWaveOrder) {
  const Bytes le = Samples16(8000, 1, 5);
  Bytes be(le.size());
  for (size_t i = 0; i < le.size(); i += 2) be[i] = le[i + 1], be[i + 1] = le[i];
  const Bytes signed8 = {0x00, 0x7F, 0x80, 0xFF};
  const struct {
    const char* name;
    Bytes file;
    Bytes want;
    int bits;
  } kFiles[] = {
      {"be16.snd", SndFile(3, 44100, 1, be), le, 16},
      {"to_end.au", SndFile(3, 44100, 1, be, 0xFFFFFFFF), le, 16},
      {"offset.snd", SndFile(3, 44100, 1, be, 0, 40), le, 16},
      {"signed8.snd", SndFile(2, 22050, 1, signed8), {0x80, 0xFF, 0x00, 0x7F}, 8},
  };
  for (const auto& f : kFiles) {
    CapturedOutput out;
    ASSERT_TRUE(PlayToEnd(Write(f.name, f.file), &out)) << f.name;
    EXPECT_EQ(out.bits, f.bits) << f.name;
    EXPECT_TRUE(out.written == f.want) << f.name << ": " << out.written.size() << " bytes";
  }
  CapturedOutput mulaw;
  ASSERT_TRUE(PlayToEnd(Write("mulaw.au", SndFile(1, 8000, 1, {0x00, 0x80, 0xFF})), &mulaw));
  EXPECT_EQ(mulaw.written, (Bytes{0x84, 0x82, 0x7C, 0x7D, 0x00, 0x00}));
}

TEST_F(WaveModuleTest, ASeekRestartsAtItsBlockAndReportsItsTargetUntilTaken) {
  const Bytes samples = Samples16(44100, 2, 6);
  BoundDecoder bound(WaveDecoder, &source_);
  CaptureOutput out(&WaveDecoder.outModule);
  ASSERT_TRUE(PlayHeld(WriteStereo("seek.wav", samples), out));  // nothing is written before the seek
  WaveDecoder.SetOutputTime(250);
  EXPECT_EQ(WaveDecoder.GetOutputTime(), 250);
  out->room = 1 << 20;
  ASSERT_EQ(bound.WaitForEndOfStream(), 0);
  WaveDecoder.Stop();
  EXPECT_EQ(out->flushedAt, std::vector<int>{250});
  const size_t from = 176400 * 250 / 1000;  // bytes per second x 0.25 s, whole frames
  EXPECT_TRUE(out->Written() == Bytes(samples.begin() + static_cast<long>(from), samples.end()))
      << out->Written().size() << " bytes after the seek";
}

// A seek asked for while the output was full, then Stop before the thread took it: the next file
// starts at its beginning.
TEST_F(WaveModuleTest, StopDropsASeekThatWasNotTaken) {
  const Bytes first = Samples16(44100, 2, 7), second = Samples16(22050, 2, 8);
  BoundDecoder bound(WaveDecoder, &source_);
  CaptureOutput out(&WaveDecoder.outModule);
  ASSERT_TRUE(PlayHeld(WriteStereo("a.wav", first), out));
  WaveDecoder.SetOutputTime(500);
  WaveDecoder.Stop();
  EXPECT_FALSE(bound.EndOfStreamPosted());
  EXPECT_EQ(WaveDecoder.GetOutputTime(), 0);
  const size_t flushes = out->flushedAt.size();  // the old file's thread may have taken it
  out->room = 1 << 20;
  ASSERT_EQ(WaveDecoder.Play(WriteStereo("b.wav", second).c_str()), 0);
  ASSERT_EQ(bound.WaitForEndOfStream(), 0);
  WaveDecoder.Stop();
  EXPECT_EQ(out->flushedAt.size(), flushes) << "the old seek reached the new file";
  EXPECT_TRUE(out->Written() == second) << out->Written().size() << " bytes of " << second.size();
}

TEST_F(WaveModuleTest, PauseReachesTheOutputAndIsReported) {
  BoundDecoder bound(WaveDecoder, &source_);
  CaptureOutput out(&WaveDecoder.outModule);
  ASSERT_TRUE(PlayHeld(WriteStereo("pause.wav", Samples16(8000, 2, 9)), out));
  WaveDecoder.Pause();
  EXPECT_EQ(WaveDecoder.IsPaused(), 1);
  WaveDecoder.UnPause();
  EXPECT_EQ(WaveDecoder.IsPaused(), 0);
  WaveDecoder.Pause();
  WaveDecoder.Stop();
  EXPECT_EQ(WaveDecoder.IsPaused(), 0) << "Stop ends the pause";
  EXPECT_EQ(out->pauses, (std::vector<int>{1, 0, 1}));
  EXPECT_EQ(out->closes, 1);
}

TEST_F(WaveModuleTest, TitlesAreFileNamesAndLengthsComeFromTheFormat) {
  const std::u16string wav =
      Write("Song Name.wav", RiffBuilder().Format(WAVE_FORMAT_PCM, 2, 22050, 16).Data(Samples16(11025, 2, 1)).Build());
  const std::u16string snd = Write("Other.snd", SndFile(3, 8000, 1, Bytes(16000, 0)));
  const std::u16string late =
      Write("late.wav", RiffBuilder().Data(Bytes(100, 0)).Format(WAVE_FORMAT_PCM, 1, 8000, 8).Build());
  const struct {
    std::u16string path;
    const char16_t* title;
    int length;
  } kCases[] = {
      {wav, u"Song Name", static_cast<int>((44100LL + 44) * 1000 / 88200)},  // the whole file at the byte rate
      {snd, u"Other", -1},                                                   // ".snd" files get no length here
      {late, u"late", -1},                                                   // "data" before "fmt "
      {u"\\missing.wav", u"missing", -1},
  };
  for (const auto& c : kCases) {
    WCHAR title[MAX_PATH] = u"unchanged";
    int length = -1;
    WaveDecoder.GetFileInfo(&source_, c.path.c_str(), title, &length);
    EXPECT_EQ(std::u16string(title), c.title);
    EXPECT_EQ(length, c.length) << Narrow(c.path);
  }
}

// None of these plays, and none opens the output or leaves the file open.
TEST_F(WaveModuleTest, BadFilesFailCleanly) {
  const Bytes samples = Samples16(100, 1, 1);
  const struct {
    const char* name;
    Bytes file;
  } kFiles[] = {
      {"empty.wav", {}},
      {"short.wav", {'R', 'I', 'F', 'F', 0, 0}},
      {"not_riff.wav", Bytes(100, 0x20)},
      {"not_wave.wav",
       [] {
         Bytes b = RiffBuilder().Format(1, 1, 8000, 16).Build();
         b[8] = 'A';
         return b;
       }()},
      {"no_data.wav", RiffBuilder().Format(WAVE_FORMAT_PCM, 1, 8000, 16).Build()},
      {"no_format.wav", RiffBuilder().Data(samples).Build()},
      {"data_first.wav", RiffBuilder().Data(samples).Format(WAVE_FORMAT_PCM, 1, 8000, 16).Build()},
      {"short_fmt.wav", RiffBuilder().Chunk("fmt ", FormatBody(1, 1, 8000, 16), 40).Build()},
      {"huge_fmt.wav", RiffBuilder().Chunk("fmt ", FormatBody(1, 1, 8000, 16), 0x7FFFFFF0).Data(samples).Build()},
      {"chunk_past_end.wav",
       RiffBuilder().Format(WAVE_FORMAT_PCM, 1, 8000, 16).Chunk("junk", Bytes(8, 0), 0x10000000).Data(samples).Build()},
      {"pcm32.wav", RiffBuilder().Format(WAVE_FORMAT_PCM, 1, 8000, 32).Data(samples).Build()},
      {"float.wav", RiffBuilder().Format(WAVE_FORMAT_IEEE_FLOAT, 1, 8000, 32).Data(samples).Build()},
      {"gsm.wav", RiffBuilder().Format(WAVE_FORMAT_GSM610, 1, 8000, 0).Data(samples).Build()},
      {"six.wav", RiffBuilder().Format(WAVE_FORMAT_PCM, 6, 44100, 16).Data(samples).Build()},
      {"g721.snd", SndFile(23, 8000, 1, samples)},
      {"unknown.snd", SndFile(27, 8000, 1, samples)},
      {"offset_past_end.snd",
       [&] {
         Bytes b = SndFile(3, 8000, 1, samples);
         b[5] = 0x10;
         return b;
       }()},
      {"short.snd", Bytes{'.', 's', 'n', 'd', 0, 0, 0, 24, 0, 0}},
  };
  BoundDecoder bound(WaveDecoder, &source_);
  CaptureOutput out(&WaveDecoder.outModule);
  for (const auto& f : kFiles) {
    EXPECT_EQ(WaveDecoder.Play(Write(f.name, f.file).c_str()), -1) << f.name;
    EXPECT_EQ(out->opens, 0) << f.name;
    EXPECT_EQ(source_.state, nullptr) << f.name << " was left open";
  }
  EXPECT_EQ(WaveDecoder.Play(u"\\missing.wav"), -1);
  EXPECT_EQ(WaveDecoder.Play(nullptr), -1);
}

// A zero in the format is repaired, so the file plays as mono or at 8000 Hz instead of stalling.
TEST_F(WaveModuleTest, ZeroChannelsOrRatePlayRepaired) {
  const Bytes samples = Samples16(800, 1, 3);
  const struct {
    const char* name;
    Bytes body;
    int rate, channels;
  } kFiles[] = {
      {"no_channels.wav", FormatBody(WAVE_FORMAT_PCM, 0, 22050, 16, 0, 0), 22050, 1},
      {"no_rate.wav", FormatBody(WAVE_FORMAT_PCM, 1, 0, 16, 2, 0), 8000, 1},
  };
  for (const auto& f : kFiles) {
    CapturedOutput out;
    ASSERT_TRUE(PlayToEnd(Write(f.name, RiffBuilder().Chunk("fmt ", f.body).Data(samples).Build()), &out)) << f.name;
    EXPECT_EQ((std::vector<int>{out.rate, out.channels, out.bits}), (std::vector<int>{f.rate, f.channels, 16}))
        << f.name;
    EXPECT_TRUE(out.written == samples) << f.name;
  }
}

TEST_F(WaveModuleTest, StopWhileTheOutputIsFullLetsTheThreadEndByItself) {
  BoundDecoder bound(WaveDecoder, &source_);
  CaptureOutput out(&WaveDecoder.outModule);
  ASSERT_TRUE(PlayHeld(WriteStereo("held.wav", Samples16(44100, 2, 2)), out));
  WaveDecoder.Stop();
  EXPECT_TRUE(out->Written().empty());
  EXPECT_FALSE(bound.EndOfStreamPosted());
  WaveDecoder.Stop();  // a second Stop finds nothing to do
  EXPECT_EQ(out->closes, 2);
}

}  // namespace
