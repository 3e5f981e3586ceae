// Gapless playback on the test device: the next stream of the same format fades into the queued
// tail of the last on the open device; a crossfade that comes too late is dropped and the
// padding grows; with nothing queued the next stream simply follows; any other open waits for
// the queued audio to play out before it closes the device.
#include "wave_writer_support.h"

namespace zb::testing {
namespace {

constexpr int kGaplessBuffer = 15 * 65536;  // 44100 Hz stereo with the buffer stretched to 5.1 s

class GaplessTest : public WaveWriterTest {
 protected:
  void SetUp() override {
    WaveWriterTest::SetUp();
    settings->gaplessPlayback = 1;
    settings->gaplessTransitions = 1;
    settings->gaplessAdjustment = 100;
    settings->gaplessPadding = 4000;
  }

  // The first stream goes out whole (the device is short of blocks at the second look, so the
  // part-filled last one goes too), `ms` of it play, it ends, and the next one opens.
  void FirstStreamThenTheNext(const std::vector<BYTE>& first, uint64_t ms) {
    ASSERT_EQ(WaveWriterOpen(44100, 2, 16), kGaplessBuffer);
    ASSERT_EQ(WriteAll(first), static_cast<int>(first.size()));
    WaveWriterCanWrite();
    WaveWriterCanWrite();
    Play(ms);
    WaveWriterClose();  // the device stays open for the next stream
    ASSERT_EQ(WaveWriterOpen(44100, 2, 16), kGaplessBuffer);
  }

  // The second stream as a decoder writes it, 1152 frames at a time.
  void WriteInBlocks(const std::vector<BYTE>& stream) {
    for (size_t at = 0; at < stream.size(); at += 4608) {
      const size_t n = std::min<size_t>(4608, stream.size() - at);
      ASSERT_EQ(WriteAll(std::vector<BYTE>(stream.begin() + at, stream.begin() + at + n)), static_cast<int>(n));
    }
  }
};

// The last `fade` bytes of `old` mixed with the first of `fresh`: each sample at byte d of the
// overlap is ((256 - w) x new) / 256 + (w x old) / 256 with w = (fade - d) x 256 / fade.
std::vector<BYTE> Crossfaded(const std::vector<BYTE>& old, const std::vector<BYTE>& fresh, size_t fade) {
  std::vector<BYTE> out(old.begin(), old.end() - fade);
  for (size_t d = 0; d < fade; d += 2) {
    const int w = static_cast<int>((fade - d) * 256 / fade);
    const int o = SampleAt(old, (old.size() - fade + d) / 2), n = SampleAt(fresh, d / 2);
    const SHORT mixed = static_cast<SHORT>((256 - w) * n / 256 + w * o / 256);
    out.push_back(static_cast<BYTE>(mixed & 0xFF));
    out.push_back(static_cast<BYTE>((mixed >> 8) & 0xFF));
  }
  out.insert(out.end(), fresh.begin() + fade, fresh.end());
  return out;
}

std::vector<BYTE> Joined(std::vector<BYTE> a, const std::vector<BYTE>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(GaplessTest, TheNextStreamFadesIntoTheQueuedTail) {
  const std::vector<BYTE> first = Ramp(44100), second = Ramp(44100, 500000);
  FirstStreamThenTheNext(first, 200);
  EXPECT_EQ(Hooks().opens, 1);
  EXPECT_EQ(Hooks().closes, 0);
  WriteInBlocks(second);
  EXPECT_EQ(WaveWriterWrittenTime(), 1000);
  EXPECT_EQ(WaveWriterOutputTime(), 0);  // the first stream still plays
  Play(800);
  EXPECT_EQ(WaveWriterOutputTime(), 100);  // 100 ms of the second were mixed into the first's end
  WhileClockRuns([] { EXPECT_EQ(WaveOutWaitDrain(10000), 0); });
  // gaplessAdjustment 100 ms: the last 4410 frames of the first stream carry the fade.
  EXPECT_EQ(audio.Played(), Crossfaded(first, second, 4410 * 4));
}

// The device played 50 ms past the point where the fade should have begun: the overrun counts as
// 250 ms, the padding becomes 250 x 3 + 4000 + 250, and what is left of the fade (less than the
// overrun plus half a second) is dropped, so the second stream follows the first whole.
TEST_F(GaplessTest, ACrossfadeThatComesTooLateIsDroppedAndThePaddingGrows) {
  const std::vector<BYTE> first = Ramp(44100), second = Ramp(44100, 500000);
  FirstStreamThenTheNext(first, 800);
  Play(150);
  WriteInBlocks(second);
  EXPECT_EQ(settings->gaplessPadding, 5000u);
  WhileClockRuns([] { EXPECT_EQ(WaveOutWaitDrain(10000), 0); });
  EXPECT_EQ(audio.Played(), Joined(first, second));
  EXPECT_EQ(Hooks().opens, 1);
}

TEST_F(GaplessTest, WithNothingQueuedTheNextStreamFollowsOnTheOpenDevice) {
  settings->gaplessTransitions = 0;  // the device stays open only because nothing is queued
  const std::vector<BYTE> first = Ramp(22050), second = Ramp(22050, 500000);
  FirstStreamThenTheNext(first, 600);
  EXPECT_EQ(Hooks().closes, 0);
  EXPECT_EQ(WaveWriterWrittenTime(), 0);
  WriteInBlocks(second);
  EXPECT_EQ(WaveWriterWrittenTime(), 500);
  WhileClockRuns([] { EXPECT_EQ(WaveOutWaitDrain(10000), 0); });
  EXPECT_EQ(audio.Played(), Joined(first, second));
  EXPECT_EQ(Hooks().opens, 1);
}

TEST_F(GaplessTest, WithoutTransitionsAStreamStillQueuedClosesTheDevice) {
  settings->gaplessTransitions = 0;
  ASSERT_EQ(WaveWriterOpen(44100, 2, 16), kGaplessBuffer);
  ASSERT_EQ(WriteAll(Ramp(22050)), 22050 * 4);
  WaveWriterClose();
  EXPECT_EQ(Hooks().closes, 1);
  EXPECT_EQ(WaveWriterCanWrite(), 0);
}

struct ReopenCase {
  const char* what;
  DWORD gapless, adjustmentAtSecondOpen;
  int rate;
};

// Any open that is not a gapless continuation lets the queued audio play out first.
TEST_F(GaplessTest, AnyOtherOpenWaitsForTheQueuedAudioAndOpensAnew) {
  constexpr ReopenCase kCases[] = {
      {"gapless playback off", 0, 100, 44100},
      {"another rate", 1, 100, 22050},
      {"another gaplessAdjustment", 1, 200, 44100},
  };
  for (const ReopenCase& c : kCases) {
    TestAudio recording;  // a fresh record of what is played
    Hooks() = HookLog{};
    settings->gaplessPlayback = c.gapless;
    settings->gaplessAdjustment = 100;
    ASSERT_GT(WaveWriterOpen(44100, 2, 16), 0) << c.what;
    const std::vector<BYTE> first = Ramp(22050);
    ASSERT_EQ(WriteAll(first), 22050 * 4) << c.what;
    settings->gaplessAdjustment = c.adjustmentAtSecondOpen;
    EXPECT_GT(WhileClockRuns([&] { return WaveWriterOpen(c.rate, 2, 16); }), 0) << c.what;
    EXPECT_EQ(recording.Played(), first) << c.what;
    EXPECT_EQ(Hooks().opens, 2) << c.what;
    EXPECT_EQ(Hooks().closes, 1) << c.what;
    WaveWriterCloseDevice(TRUE);
  }
}

}  // namespace
}  // namespace zb::testing
