// Reconfiguring the writer after a device change: the device is opened again for the same
// stream; when it takes the same format the audio still queued plays on from where it stood, and
// when it does not the times go on from the output time; a paused writer stays paused.
#include "wave_writer_support.h"

namespace zb::testing {
namespace {

TEST_F(WaveWriterTest, ReconfiguringWithTheSameFormatKeepsEverySample) {
  ASSERT_EQ(WaveWriterOpen(44100, 2, 16), 7 * 65536);
  ASSERT_EQ(WriteAll(Ramp(44100)), 44100 * 4);
  Play(300);
  EXPECT_EQ(WaveWriterReconfigure(), 1);
  EXPECT_EQ(Hooks().opens, 2);
  EXPECT_EQ(Hooks().closes, 1);
  EXPECT_EQ(WaveWriterOutputTime(), 300);
  EXPECT_EQ(WaveWriterWrittenTime(), 1000);
  ASSERT_EQ(WriteAll(Ramp(44100, 44100)), 44100 * 4);
  EXPECT_EQ(WaveWriterWrittenTime(), 2000);
  WhileClockRuns([] { EXPECT_EQ(WaveOutWaitDrain(10000), 0); });
  EXPECT_EQ(audio.Played(), Ramp(88200));
}

// The device no longer takes 44100 Hz: it opens at 22050, the queued audio (in the old format)
// is dropped and the stream goes on from the output time.
TEST_F(WaveWriterTest, ReconfiguringToAnotherFormatGoesOnFromTheOutputTime) {
  ASSERT_EQ(WaveWriterOpen(44100, 2, 16), 7 * 65536);
  ASSERT_EQ(WriteAll(Ramp(44100)), 44100 * 4);
  Play(300);
  SetRates("8000, 22050");
  EXPECT_EQ(WaveWriterReconfigure(), 1);
  EXPECT_EQ(Hooks().offered.back(), (Shape{2, 22050, 16}));
  EXPECT_EQ(WaveWriterOutputTime(), 300);
  EXPECT_EQ(WaveWriterWrittenTime(), 300);
  ASSERT_EQ(WriteAll(Ramp(44100, 13230)), 44100 * 4);
  EXPECT_EQ(WaveWriterWrittenTime(), 1300);
  WhileClockRuns([] { EXPECT_EQ(WaveOutWaitDrain(10000), 0); });
  const std::vector<uint8_t> played = audio.Played();
  ASSERT_EQ(played.size(), (13230u + 22050u) * 4);
  EXPECT_EQ(std::vector<uint8_t>(played.begin(), played.begin() + 13230 * 4), Ramp(13230));
  EXPECT_EQ(SampleAt(played, 2 * 13230), static_cast<SHORT>(13230 * 7 - 30000));  // on from 300 ms
}

TEST_F(WaveWriterTest, APausedWriterStaysPausedThroughAReconfigure) {
  ASSERT_EQ(WaveWriterOpen(44100, 2, 16), 7 * 65536);
  ASSERT_EQ(WriteAll(Ramp(44100)), 44100 * 4);
  Play(100);
  WaveWriterPause(1);
  EXPECT_EQ(WaveWriterReconfigure(), 1);
  Play(500);
  EXPECT_EQ(audio.Played().size(), 4410u * 4);
  EXPECT_EQ(WaveWriterOutputTime(), 100);
  WaveWriterPause(0);
  WhileClockRuns([] { EXPECT_EQ(WaveOutWaitDrain(10000), 0); });
  EXPECT_EQ(audio.Played(), Ramp(44100));
}

TEST_F(WaveWriterTest, ReconfigureWithNothingOpenIsDoneAndAFailedReopenSaysSo) {
  EXPECT_EQ(WaveWriterReconfigure(), 1);
  EXPECT_EQ(Hooks().opens, 0);
  ASSERT_GT(WaveWriterOpen(44100, 2, 16), 0);
  ASSERT_EQ(WriteAll(Ramp(4410)), 4410 * 4);
  settings->maxSampleRate = 1000;  // no format is taken any more
  EXPECT_EQ(WaveWriterReconfigure(), 0);
  EXPECT_EQ(Hooks().closes, 1);
  EXPECT_EQ(WaveWriterCanWrite(), 0);
  EXPECT_EQ(WriteAll(Ramp(4410)), 0);
}

}  // namespace
}  // namespace zb::testing
