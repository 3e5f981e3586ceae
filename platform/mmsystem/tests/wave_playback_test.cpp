// Playing on the test device, paced by the test clock: the position follows what the device
// consumed in samples, milliseconds and bytes; buffers are done exactly when consumed; pause
// stops the device and restart goes on; reset returns every buffer at once and starts the
// position again; the device gets exactly the bytes written, scaled by the volumes.
#include "mmsystem/wave_recording.h"
#include "testing/test_audio.h"
#include "testing/test_clock.h"
#include "testing/test_device.h"
#include "wave_support.h"

namespace zb::mm::testing {
namespace {

class WavePlaybackTest : public ::testing::Test {
 protected:
  void SetUp() override { zb::testing::TakeOverClock(1000); }
  void TearDown() override {
    if (wave_) {
      waveOutReset(wave_);
      waveOutClose(wave_);
    }
    zb::testing::ReleaseClock();
  }
  void Open(const WAVEFORMATEX& f) {
    format_ = f;
    ASSERT_EQ(waveOutOpen(&wave_, WAVE_MAPPER, &format_, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  }
  // A buffer of `ms` milliseconds of tone, prepared and written.
  Buffer& Queue(uint32_t ms) {
    size_t frames = format_.nSamplesPerSec * ms / 1000;
    buffers_.push_back(std::make_unique<Buffer>(Tone(format_, frames, written_)));
    written_ += frames;
    Buffer& b = *buffers_.back();
    EXPECT_EQ(Prepare(wave_, b), MMSYSERR_NOERROR);
    EXPECT_EQ(Write(wave_, b), MMSYSERR_NOERROR);
    return b;
  }

  zb::testing::TestDevice device_;
  zb::testing::TestAudio audio_;
  WAVEFORMATEX format_{};
  HWAVEOUT wave_ = nullptr;
  std::vector<std::unique_ptr<Buffer>> buffers_;
  size_t written_ = 0;
};

TEST_F(WavePlaybackTest, PositionFollowsWhatTheDeviceConsumed) {
  Open(Pcm(2, 44100, 16));
  Buffer& second = (Queue(600), Queue(600));
  EXPECT_EQ(PositionIn(wave_, TIME_SAMPLES), 0u);
  struct Step {
    uint32_t advance;
    DWORD samples;
  } const kSteps[] = {{250, 11025}, {1, 11025 + 44}, {749, 44100}, {400, 52920}, {500, 52920}};
  for (const Step& s : kSteps) {
    zb::testing::AdvanceClock(s.advance);
    EXPECT_EQ(PositionIn(wave_, TIME_SAMPLES), s.samples) << "after " << s.advance;
    EXPECT_EQ(PositionIn(wave_, TIME_BYTES), s.samples * 4u);
    EXPECT_EQ(PositionIn(wave_, TIME_MS), s.samples * 1000u / 44100);
  }
  EXPECT_TRUE(second.flags() & WHDR_DONE);
  EXPECT_EQ(audio_.Played(), Tone(format_, 52920)) << "sample-exact, in order";
  MMTIME smpte{};
  smpte.wType = TIME_SMPTE;
  ASSERT_EQ(waveOutGetPosition(wave_, &smpte, sizeof(smpte)), MMSYSERR_NOERROR);
  EXPECT_EQ(smpte.wType, static_cast<UINT>(TIME_BYTES)) << "a kind not kept is answered in bytes";
  EXPECT_EQ(smpte.u.cb, 52920u * 4);
}

TEST_F(WavePlaybackTest, BufferIsInQueueUntilConsumedThenDone) {
  Open(Pcm(1, 22050, 8));
  Buffer& a = Queue(100);
  Buffer& b = Queue(100);
  EXPECT_EQ(a.flags() & (WHDR_INQUEUE | WHDR_DONE | WHDR_PREPARED), static_cast<DWORD>(WHDR_INQUEUE | WHDR_PREPARED));
  EXPECT_EQ(waveOutUnprepareHeader(wave_, &a.header, sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
  EXPECT_EQ(Write(wave_, a), WAVERR_STILLPLAYING);
  EXPECT_EQ(waveOutClose(wave_), WAVERR_STILLPLAYING);
  zb::testing::AdvanceClock(99);
  PositionIn(wave_, TIME_BYTES);
  EXPECT_FALSE(a.flags() & WHDR_DONE);
  zb::testing::AdvanceClock(1);
  PositionIn(wave_, TIME_BYTES);
  EXPECT_EQ(a.flags() & (WHDR_INQUEUE | WHDR_DONE), static_cast<DWORD>(WHDR_DONE));
  EXPECT_TRUE(b.flags() & WHDR_INQUEUE);
  EXPECT_EQ(waveOutUnprepareHeader(wave_, &a.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
  EXPECT_FALSE(a.flags() & WHDR_PREPARED);
  EXPECT_EQ(Write(wave_, a), WAVERR_UNPREPARED);
}

TEST_F(WavePlaybackTest, PauseStopsTheDeviceAndRestartGoesOn) {
  Open(Pcm(1, 8000, 16));
  Queue(1000);
  zb::testing::AdvanceClock(250);
  ASSERT_EQ(waveOutPause(wave_), MMSYSERR_NOERROR);
  EXPECT_EQ(PositionIn(wave_, TIME_MS), 250u);
  zb::testing::AdvanceClock(500);
  EXPECT_EQ(PositionIn(wave_, TIME_MS), 250u) << "nothing is consumed while paused";
  ASSERT_EQ(waveOutPause(wave_), MMSYSERR_NOERROR);  // pausing twice changes nothing
  Queue(200);  // written while paused: queued, not played
  zb::testing::AdvanceClock(100);
  EXPECT_EQ(PositionIn(wave_, TIME_MS), 250u);
  ASSERT_EQ(waveOutRestart(wave_), MMSYSERR_NOERROR);
  zb::testing::AdvanceClock(300);
  EXPECT_EQ(PositionIn(wave_, TIME_MS), 550u);
  EXPECT_EQ(Underruns(), 0u) << "a pause is no underrun";
}

TEST_F(WavePlaybackTest, ResetReturnsEveryBufferAndStartsThePositionAgain) {
  Open(Pcm(2, 22050, 16));
  Buffer& a = Queue(200);
  Buffer& b = Queue(200);
  zb::testing::AdvanceClock(100);
  EXPECT_EQ(PositionIn(wave_, TIME_MS), 100u);
  ASSERT_EQ(waveOutReset(wave_), MMSYSERR_NOERROR);
  for (Buffer* buffer : {&a, &b}) {
    EXPECT_EQ(buffer->flags() & (WHDR_INQUEUE | WHDR_DONE), static_cast<DWORD>(WHDR_DONE));
    EXPECT_EQ(waveOutUnprepareHeader(wave_, &buffer->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
  }
  EXPECT_EQ(PositionIn(wave_, TIME_BYTES), 0u);
  zb::testing::AdvanceClock(100);
  EXPECT_EQ(PositionIn(wave_, TIME_BYTES), 0u) << "nothing queued, nothing consumed";
  Queue(50);
  zb::testing::AdvanceClock(20);
  EXPECT_EQ(PositionIn(wave_, TIME_MS), 20u);
  EXPECT_EQ(waveOutClose(wave_), WAVERR_STILLPLAYING);
}

TEST_F(WavePlaybackTest, RunningDryBetweenBuffersIsAnUnderrun) {
  Open(Pcm(1, 16000, 16));
  const uint64_t before = Underruns();
  Queue(100);
  zb::testing::AdvanceClock(150);  // the device wanted 50 ms more than it had
  EXPECT_EQ(PositionIn(wave_, TIME_MS), 100u);
  Queue(100);
  EXPECT_EQ(Underruns(), before + 1);
  zb::testing::AdvanceClock(100);
  EXPECT_EQ(PositionIn(wave_, TIME_MS), 200u) << "the new buffer plays from when it came";
  zb::testing::AdvanceClock(100);
  PositionIn(wave_, TIME_MS);
  EXPECT_EQ(Underruns(), before + 1) << "the end of the sound is no underrun";
}

TEST_F(WavePlaybackTest, VolumesOfTheStreamAndTheDeviceScaleWhatIsPlayed) {
  Open(Pcm(2, 8000, 16));
  DWORD volume = 0;
  ASSERT_EQ(waveOutGetVolume(wave_, &volume), MMSYSERR_NOERROR);
  EXPECT_EQ(volume, 0xFFFFFFFFu);
  ASSERT_EQ(waveOutGetVolume(nullptr, &volume), MMSYSERR_NOERROR);
  EXPECT_EQ(volume, 0xFFFFFFFFu);
  ASSERT_EQ(waveOutSetVolume(wave_, 0x4000FFFF), MMSYSERR_NOERROR);  // right low, left full
  ASSERT_EQ(waveOutGetVolume(wave_, &volume), MMSYSERR_NOERROR);
  EXPECT_EQ(volume, 0x4000FFFFu);
  ASSERT_EQ(waveOutSetVolume(nullptr, 0x80008000), MMSYSERR_NOERROR);  // the device at half
  Buffer& b = Queue(10);
  zb::testing::AdvanceClock(10);
  PositionIn(wave_, TIME_BYTES);
  std::vector<uint8_t> played = audio_.Played();
  ASSERT_EQ(played.size(), b.data.size());
  for (size_t i = 0; i + 1 < played.size(); i += 2) {
    int16_t given = static_cast<int16_t>(b.data[i] | b.data[i + 1] << 8);
    int16_t heard = static_cast<int16_t>(played[i] | played[i + 1] << 8);
    uint32_t level = (i / 2) % 2 ? 0x4000u * 0x8000 / 0xFFFF : 0xFFFFu * 0x8000 / 0xFFFF;
    ASSERT_EQ(heard, static_cast<int16_t>(given * static_cast<int32_t>(level) / 0xFFFF)) << "sample " << i / 2;
  }
  EXPECT_EQ(audio_.Written().at(0), b.data) << "the buffer as written";
  ASSERT_EQ(waveOutSetVolume(nullptr, 0xFFFFFFFF), MMSYSERR_NOERROR);
  EXPECT_EQ(waveOutSetVolume(reinterpret_cast<HWAVEOUT>(0x5555), 0), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(waveOutGetVolume(wave_, nullptr), MMSYSERR_INVALPARAM);
}

TEST_F(WavePlaybackTest, ClosedAndUnknownHandlesAreRefused) {
  Open(Pcm(1, 8000, 8));
  HWAVEOUT closed = wave_;
  ASSERT_EQ(waveOutClose(wave_), MMSYSERR_NOERROR);
  wave_ = nullptr;
  Buffer b(Tone(format_, 10));
  MMTIME t{};
  t.wType = TIME_BYTES;
  for (HWAVEOUT bad : {closed, static_cast<HWAVEOUT>(nullptr), reinterpret_cast<HWAVEOUT>(0x1234)}) {
    EXPECT_EQ(Prepare(bad, b), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(Write(bad, b), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutPause(bad), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutRestart(bad), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutReset(bad), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutGetPosition(bad, &t, sizeof(t)), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutClose(bad), MMSYSERR_INVALHANDLE);
  }
  Open(Pcm(1, 8000, 8));
  EXPECT_EQ(waveOutGetPosition(wave_, &t, 4), MMSYSERR_INVALPARAM);
  EXPECT_EQ(waveOutPrepareHeader(wave_, &b.header, 8), MMSYSERR_INVALPARAM);
  EXPECT_EQ(waveOutPrepareHeader(wave_, nullptr, sizeof(WAVEHDR)), MMSYSERR_INVALPARAM);
}

}  // namespace
}  // namespace zb::mm::testing
