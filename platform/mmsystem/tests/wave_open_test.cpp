// Opening the device: the formats it takes (the profile's rates; a profile without 48000 makes
// the writer fall back), query opens that open nothing, the refusals with the platform's codes,
// the one device and the mapper's preferred device, and the open/done/close callbacks in order.
#include "testing/test_audio.h"
#include "testing/test_clock.h"
#include "testing/test_device.h"
#include "wave_support.h"

#include <atomic>
#include <thread>

namespace zb::mm::testing {
namespace {

class WaveOpenTest : public ::testing::Test {
 protected:
  zb::testing::TestDevice device_;
  zb::testing::TestAudio audio_;
};

struct FormatCase {
  WAVEFORMATEX format;
  MMRESULT result;
};

WAVEFORMATEX Broken(WAVEFORMATEX f, void (*change)(WAVEFORMATEX&)) {
  change(f);
  return f;
}

TEST_F(WaveOpenTest, FormatsTheDeviceTakesAndRefuses) {
  const FormatCase kFormats[] = {
      {Pcm(1, 8000, 8), MMSYSERR_NOERROR},
      {Pcm(2, 11025, 8), MMSYSERR_NOERROR},
      {Pcm(1, 22050, 16), MMSYSERR_NOERROR},
      {Pcm(2, 44100, 16), MMSYSERR_NOERROR},
      {Pcm(2, 48000, 16), MMSYSERR_NOERROR},
      {Pcm(2, 44100, 24), WAVERR_BADFORMAT},
      {Pcm(3, 44100, 16), WAVERR_BADFORMAT},
      {Pcm(2, 12345, 16), WAVERR_BADFORMAT},
      {Broken(Pcm(2, 44100, 16), [](WAVEFORMATEX& f) { f.wFormatTag = WAVE_FORMAT_ALAW; }), WAVERR_BADFORMAT},
      {Broken(Pcm(2, 44100, 16), [](WAVEFORMATEX& f) { f.nBlockAlign = 2; }), WAVERR_BADFORMAT},
      {Broken(Pcm(2, 44100, 16), [](WAVEFORMATEX& f) { f.nAvgBytesPerSec = 1000; }), WAVERR_BADFORMAT},
  };
  for (const FormatCase& c : kFormats) {
    EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, &c.format, 0, 0, WAVE_FORMAT_QUERY), c.result) << c.format.nSamplesPerSec;
    HWAVEOUT wave = nullptr;
    EXPECT_EQ(waveOutOpen(&wave, 0, &c.format, 0, 0, CALLBACK_NULL), c.result) << c.format.nSamplesPerSec;
    EXPECT_EQ(wave != nullptr, c.result == MMSYSERR_NOERROR);
    if (wave) {
      EXPECT_EQ(waveOutClose(wave), MMSYSERR_NOERROR);
    }
  }
}

TEST_F(WaveOpenTest, ProfileWithout48000MakesTheWriterFallBack) {
  device_.WriteProfile("[audio]\nrates = 8000, 11025, 22050, 44100\n");
  // The writer's ladder: query the source's rate, then the first lower standard rate.
  WAVEFORMATEX f = Pcm(2, 48000, 16);
  EXPECT_EQ(waveOutOpen(nullptr, 0, &f, 0, 0, WAVE_FORMAT_QUERY), WAVERR_BADFORMAT);
  HWAVEOUT wave = nullptr;
  EXPECT_EQ(waveOutOpen(&wave, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), WAVERR_BADFORMAT);
  f = Pcm(2, 44100, 16);
  EXPECT_EQ(waveOutOpen(nullptr, 0, &f, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutOpen(&wave, 0, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  EXPECT_EQ(waveOutClose(wave), MMSYSERR_NOERROR);
}

TEST_F(WaveOpenTest, RefusalsWithThePlatformsCodes) {
  WAVEFORMATEX f = Pcm(2, 44100, 16);
  HWAVEOUT wave = reinterpret_cast<HWAVEOUT>(1);
  EXPECT_EQ(waveOutOpen(&wave, 1, &f, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(wave, nullptr);
  EXPECT_EQ(waveOutOpen(&wave, 0, nullptr, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
  EXPECT_EQ(waveOutOpen(nullptr, 0, &f, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
  EXPECT_EQ(waveOutOpen(&wave, 0, &f, 0, 0, CALLBACK_FUNCTION), MMSYSERR_INVALPARAM);
  EXPECT_EQ(waveOutOpen(&wave, 0, &f, 1, 0, CALLBACK_WINDOW), MMSYSERR_NOTSUPPORTED);
  EXPECT_EQ(waveOutOpen(&wave, 0, &f, 0, 0, 0x100), MMSYSERR_INVALFLAG);
  EXPECT_TRUE(audio_.Written().empty());

  EXPECT_EQ(waveOutGetNumDevs(), 1u);
  DWORD id = 99, flags = 99;
  EXPECT_EQ(waveOutMessage(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(WAVE_MAPPER)), DRVM_MAPPER_PREFERRED_GET,
                           reinterpret_cast<DWORD_PTR>(&id), reinterpret_cast<DWORD_PTR>(&flags)),
            MMSYSERR_NOERROR);
  EXPECT_EQ(id, 0u);
  EXPECT_EQ(flags, 0u);
  EXPECT_EQ(waveOutMessage(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(WAVE_MAPPER)), DRVM_MAPPER, 0, 0),
            MMSYSERR_NOTSUPPORTED);
}

TEST_F(WaveOpenTest, CallbackGetsOpenDoneAndCloseInOrder) {
  zb::testing::TakeOverClock(0);
  Messages messages;
  WAVEFORMATEX f = Pcm(1, 8000, 16);
  HWAVEOUT wave = nullptr;
  ASSERT_EQ(waveOutOpen(&wave, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(&Messages::Callback), messages.instance(),
                        CALLBACK_FUNCTION),
            MMSYSERR_NOERROR);
  Buffer a(Tone(f, 800)), b(Tone(f, 800, 800));  // 100 ms each
  ASSERT_EQ(Prepare(wave, a), MMSYSERR_NOERROR);
  ASSERT_EQ(Prepare(wave, b), MMSYSERR_NOERROR);
  ASSERT_EQ(Write(wave, a), MMSYSERR_NOERROR);
  ASSERT_EQ(Write(wave, b), MMSYSERR_NOERROR);
  zb::testing::AdvanceClock(250);
  EXPECT_EQ(PositionIn(wave, TIME_SAMPLES), 1600u) << "both buffers consumed, no more";
  ASSERT_TRUE(messages.WaitFor(3));
  EXPECT_EQ(waveOutUnprepareHeader(wave, &a.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
  EXPECT_EQ(waveOutUnprepareHeader(wave, &b.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutClose(wave), MMSYSERR_NOERROR);
  zb::testing::ReleaseClock();

  std::vector<Messages::Seen> seen = messages.seen();
  ASSERT_EQ(seen.size(), 4u);
  const UINT kOrder[] = {WOM_OPEN, WOM_DONE, WOM_DONE, WOM_CLOSE};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(seen[i].message, kOrder[i]) << i;
    EXPECT_EQ(seen[i].wave, wave) << i;
  }
  EXPECT_EQ(seen[1].param, reinterpret_cast<DWORD_PTR>(&a.header));
  EXPECT_EQ(seen[2].param, reinterpret_cast<DWORD_PTR>(&b.header));
}

// A callback that tries to close its own device: the device cannot wait for the thread that
// runs the callback, so the close is refused instead of hanging.
struct SelfCloser {
  std::atomic<MMRESULT> result{12345};
  static void CALLBACK Callback(HWAVEOUT wave, UINT message, DWORD_PTR instance, DWORD_PTR, DWORD_PTR) {
    if (message == WOM_DONE) reinterpret_cast<SelfCloser*>(instance)->result = waveOutClose(wave);
  }
};

TEST_F(WaveOpenTest, ClosingFromItsOwnCallbackIsRefusedNotHung) {
  zb::testing::TakeOverClock(0);
  SelfCloser closer;
  WAVEFORMATEX f = Pcm(1, 8000, 8);
  HWAVEOUT wave = nullptr;
  ASSERT_EQ(waveOutOpen(&wave, 0, &f, reinterpret_cast<DWORD_PTR>(&SelfCloser::Callback),
                        reinterpret_cast<DWORD_PTR>(&closer), CALLBACK_FUNCTION),
            MMSYSERR_NOERROR);
  Buffer b(Tone(f, 80));
  ASSERT_EQ(Prepare(wave, b), MMSYSERR_NOERROR);
  ASSERT_EQ(Write(wave, b), MMSYSERR_NOERROR);
  zb::testing::AdvanceClock(10);
  PositionIn(wave, TIME_BYTES);
  for (int i = 0; i < 500 && closer.result == 12345u; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(closer.result, static_cast<MMRESULT>(MMSYSERR_HANDLEBUSY));
  EXPECT_EQ(waveOutClose(wave), MMSYSERR_NOERROR);
  zb::testing::ReleaseClock();
}

}  // namespace
}  // namespace zb::mm::testing
