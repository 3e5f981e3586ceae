// The writer's clocks and waits on the test device: written and output time through pause and
// flush, times past 2^32 frame-milliseconds, the drain at the end, writes larger than the whole
// buffer, interface calls that never wait behind a waiting write, and the stall watch.
#include <atomic>
#include <chrono>
#include <thread>

#include "wave_writer_support.h"

namespace zb::testing {
namespace {

constexpr int kBuffer = 7 * 65536;  // 44100 Hz stereo 16-bit with audioBuffer 2000

TEST_F(WaveWriterTest, OutputTimeFollowsTheDeviceAndWrittenTimeTheStream) {
  ASSERT_EQ(WaveWriterOpen(44100, 2, 16), kBuffer);
  EXPECT_EQ(WaveWriterIsPlaying(), 0);
  EXPECT_EQ(WriteAll(Ramp(44100)), 44100 * 4);
  EXPECT_EQ(WaveWriterWrittenTime(), 1000);
  EXPECT_EQ(WaveWriterOutputTime(), 0);
  EXPECT_EQ(WaveWriterIsPlaying(), 1);
  Play(250);
  EXPECT_EQ(WaveWriterOutputTime(), 250);

  EXPECT_EQ(WaveWriterPause(1), 0);
  Play(500);
  EXPECT_EQ(WaveWriterOutputTime(), 250);  // paused: the device stands still
  EXPECT_EQ(WaveWriterPause(0), 0);
  Play(250);
  EXPECT_EQ(WaveWriterOutputTime(), 500);
  EXPECT_EQ(WaveWriterWrittenTime(), 1000);
  EXPECT_EQ(audio.Played().size(), 22050u * 4);

  WaveWriterFlush(30000);  // a seek: the queued audio goes, the times start at the new place
  EXPECT_EQ(WaveWriterWrittenTime(), 30000);
  EXPECT_EQ(WaveWriterOutputTime(), 30000);
  EXPECT_EQ(WaveWriterCanWrite(), kBuffer);
  EXPECT_EQ(WriteAll(Ramp(22050, 1323000)), 22050 * 4);
  Play(100);
  EXPECT_EQ(WaveWriterOutputTime(), 30100);
  EXPECT_EQ(WaveWriterWrittenTime(), 30500);
  const std::vector<uint8_t> played = audio.Played();
  ASSERT_EQ(played.size(), (22050u + 4410u) * 4);
  EXPECT_EQ(SampleAt(played, 2 * 22050), static_cast<SHORT>(1323000 * 7 - 30000));  // right after the seek
}

// 8 minutes at 11025 Hz: frames x 1000 passes 2^32 after 6.5 minutes, and both times go on
// counting exactly.
TEST_F(WaveWriterTest, TimesStayExactPastTwoToTheThirtyTwoFrameMilliseconds) {
  settings->audioBuffer = 60000;
  ASSERT_EQ(WaveWriterOpen(11025, 1, 8), 12 * 65536);
  constexpr int kChunk = 110250;  // ten seconds
  const std::vector<BYTE> chunk(kChunk, 0x80);
  uint64_t clock = 0;
  for (int written = 0; written < 48; ++written) {
    while (WaveWriterCanWrite() < kChunk) {
      Play(10000);
      clock += 10000;
    }
    ASSERT_EQ(WriteAll(chunk), kChunk);
  }
  EXPECT_EQ(WaveWriterWrittenTime(), 480000);
  EXPECT_GT(clock, 400000u);
  EXPECT_EQ(WaveWriterOutputTime(), static_cast<int>(clock));
  WhileClockRuns([] { EXPECT_EQ(WaveOutWaitDrain(200000), 0); });
  EXPECT_EQ(audio.Played().size(), 48u * kChunk);
}

TEST_F(WaveWriterTest, TheDrainWaitsForTheQueuedAudioAndThenCloses) {
  EXPECT_EQ(WaveOutWaitDrain(1000), 0);  // nothing open
  ASSERT_EQ(WaveWriterOpen(44100, 2, 16), kBuffer);
  const std::vector<BYTE> stream = Ramp(22050);
  EXPECT_EQ(WriteAll(stream), 22050 * 4);
  EXPECT_EQ(WaveOutWaitDrain(0), 1);  // one look: audio is queued

  // A paused writer keeps its audio: the wait runs out.
  WaveWriterPause(1);
  WhileClockRuns([] { EXPECT_EQ(WaveOutWaitDrain(300), 1); });
  EXPECT_EQ(audio.Played().size(), 0u);
  WaveWriterPause(0);

  WhileClockRuns([] { EXPECT_EQ(WaveOutWaitDrain(10000), 0); });
  EXPECT_EQ(audio.Played(), stream);
  EXPECT_EQ(Hooks().closes, 1);
  EXPECT_EQ(WaveWriterCanWrite(), 0);
  EXPECT_EQ(WaveWriterIsPlaying(), 0);
}

TEST_F(WaveWriterTest, AWriteLargerThanTheBufferIsTakenInPieces) {
  ASSERT_EQ(WaveWriterOpen(44100, 2, 16), kBuffer);
  const std::vector<BYTE> stream = Ramp(220500);  // five seconds, almost twice the buffer
  ASSERT_GT(stream.size(), 1.9 * kBuffer);
  EXPECT_EQ(WhileClockRuns([&] { return WriteAll(stream); }), static_cast<int>(stream.size()));
  EXPECT_EQ(WaveWriterWrittenTime(), 5000);
  WhileClockRuns([] { EXPECT_EQ(WaveOutWaitDrain(10000), 0); });
  EXPECT_EQ(audio.Played(), stream);
}

// Waits (a bounded while) until `count` threads of the device sleep on the clock.
bool WaitForSleepers(uint32_t count) {
  for (int i = 0; i < 10000; ++i) {
    if (TimedWaiters() >= count) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

// A decoder thread waits in Write for room that only comes as the clock moves; the clock stands
// still, and pause, volume, flush and close from this thread must still return. Should they
// block, a watchdog moves the clock after ten seconds so that the test ends, and fails.
TEST_F(WaveWriterTest, InterfaceCallsNeverWaitBehindAWaitingWrite) {
  ASSERT_EQ(WaveWriterOpen(44100, 2, 16), kBuffer);
  ASSERT_EQ(WriteAll(std::vector<BYTE>(kBuffer, 1)), kBuffer);
  ASSERT_EQ(WaveWriterCanWrite(), 0);
  std::atomic<int> result{-1};
  std::thread decoder([&] { result = WriteAll(Ramp(4410)); });
  ASSERT_TRUE(WaitForSleepers(2));  // the device's worker (it has buffers to play) and the decoder

  std::atomic<bool> finished{false}, rescued{false};
  std::thread watchdog([&] {
    for (int i = 0; i < 1000 && !finished; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    for (int step = 0; !finished && step < 100000; ++step) {
      rescued = true;
      AdvanceClock(10);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  WaveWriterPause(1);
  WaveWriterSetVolume(100);
  WaveWriterPause(0);
  WaveWriterFlush(0);
  WaveWriterClose();
  finished = true;
  watchdog.join();
  EXPECT_FALSE(rescued) << "an interface call waited for the writing thread";

  AdvanceClock(10);  // the write wakes to a closed device and gives up
  decoder.join();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Hooks().closes, 1);
}

// The device is paused behind the writer's back and returns no block: after the length of 32
// blocks (11.9 s at 44100 Hz stereo) the writer flushes it at the output time and plays on.
TEST_F(WaveWriterTest, AStalledDeviceIsFlushedAndPlaysAgain) {
  ASSERT_EQ(WaveWriterOpen(44100, 2, 16), kBuffer);
  EXPECT_EQ(WriteAll(Ramp(88200)), 88200 * 4);
  ASSERT_EQ(waveOutPause(Hooks().opened), MMSYSERR_NOERROR);
  const int room = WaveWriterCanWrite();  // the watch starts
  Play(11800);
  EXPECT_EQ(WaveWriterCanWrite(), room);
  EXPECT_EQ(WaveWriterWrittenTime(), 2000);
  Play(100);
  const int outputTime = WaveWriterOutputTime();
  EXPECT_EQ(WaveWriterCanWrite(), kBuffer);  // flushed: every block free
  EXPECT_EQ(WaveWriterWrittenTime(), outputTime);
  EXPECT_EQ(WaveWriterOutputTime(), outputTime);

  const std::vector<BYTE> after = Ramp(22050, 88200);
  EXPECT_EQ(WriteAll(after), 22050 * 4);
  WhileClockRuns([] { EXPECT_EQ(WaveOutWaitDrain(10000), 0); });
  EXPECT_EQ(audio.Played(), after);  // the stuck audio is gone, the new plays
}

// A device that plays on is never taken for stalled, however long the decoder keeps the buffer
// full: the output time follows the clock for a minute.
TEST_F(WaveWriterTest, ADeviceThatPlaysIsNeverTakenForStalled) {
  ASSERT_EQ(WaveWriterOpen(44100, 2, 16), kBuffer);
  int frame = 0;
  for (int ms = 0; ms < 60000; ms += 100) {
    while (WaveWriterCanWrite() >= 4608) {
      ASSERT_EQ(WriteAll(Ramp(1152, frame)), 4608);
      frame += 1152;
    }
    EXPECT_EQ(WaveWriterOutputTime(), ms);
    Play(100);
  }
  EXPECT_EQ(WaveWriterOutputTime(), 60000);
  EXPECT_EQ(audio.Played(), Ramp(44100 * 60));
}

}  // namespace
}  // namespace zb::testing
