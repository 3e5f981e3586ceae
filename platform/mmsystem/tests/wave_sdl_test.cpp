// Real sound through SDL2 (its dummy driver where there is no sound card, which consumes in real
// time as a card would): ten seconds of tone, kept fed from the WOM_DONE callback, play to the
// end without one underrun, and the position ends at everything written.
#include <atomic>
#include <chrono>

#include "mmsystem/wave_recording.h"
#include "testing/test_device.h"
#include "wave_support.h"

namespace zb::mm::testing {
namespace {

struct Feeder {
  WAVEFORMATEX format = Pcm(2, 44100, 16);
  std::vector<std::unique_ptr<Buffer>> buffers;
  size_t totalFrames = 10 * 44100;
  size_t nextFrame = 0;
  std::atomic<int> inFlight{0};
  std::atomic<int> writeErrors{0};

  // Fills a buffer with the next 100 ms of tone and writes it; false when the tone is all out.
  bool Refill(HWAVEOUT wave, Buffer& b) {
    if (nextFrame >= totalFrames) return false;
    size_t frames = std::min<size_t>(4410, totalFrames - nextFrame);
    b.data = Tone(format, frames, nextFrame);
    b.header.lpData = reinterpret_cast<LPSTR>(b.data.data());
    b.header.dwBufferLength = static_cast<DWORD>(b.data.size());
    nextFrame += frames;
    ++inFlight;
    if (Write(wave, b) != MMSYSERR_NOERROR) ++writeErrors;
    return true;
  }

  static void CALLBACK Done(HWAVEOUT wave, UINT message, DWORD_PTR instance, DWORD_PTR param, DWORD_PTR) {
    if (message != WOM_DONE) return;
    auto* self = reinterpret_cast<Feeder*>(instance);
    --self->inFlight;
    for (auto& b : self->buffers)
      if (&b->header == reinterpret_cast<WAVEHDR*>(param)) self->Refill(wave, *b);
  }
};

TEST(WaveSdlTest, TenSecondsPlayWithoutAnUnderrun) {
  zb::testing::TestDevice device;
  EnvScope driver("SDL_AUDIODRIVER", std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "dummy");
  EnvScope audio("ZONBREL_AUDIO", "sdl");
  Feeder feeder;
  HWAVEOUT wave = nullptr;
  ASSERT_EQ(waveOutOpen(&wave, WAVE_MAPPER, &feeder.format, reinterpret_cast<DWORD_PTR>(&Feeder::Done),
                        reinterpret_cast<DWORD_PTR>(&feeder), CALLBACK_FUNCTION),
            MMSYSERR_NOERROR);
  const uint64_t before = Underruns();
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(waveOutPause(wave), MMSYSERR_NOERROR);  // fill first, then play
  for (int i = 0; i < 4; ++i) {
    feeder.buffers.push_back(std::make_unique<Buffer>(std::vector<uint8_t>(4)));
    ASSERT_EQ(Prepare(wave, *feeder.buffers.back()), MMSYSERR_NOERROR);
    feeder.Refill(wave, *feeder.buffers.back());
  }
  ASSERT_EQ(waveOutRestart(wave), MMSYSERR_NOERROR);
  // Bounded: the tone lasts ten seconds; give the device twice that.
  while (feeder.inFlight > 0 && std::chrono::steady_clock::now() - start < std::chrono::seconds(20))
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_EQ(feeder.inFlight, 0) << "the device stopped consuming";
  EXPECT_EQ(feeder.writeErrors, 0);
  EXPECT_EQ(Underruns(), before) << "the device ran dry while the program kept it fed";
  EXPECT_EQ(PositionIn(wave, TIME_SAMPLES), feeder.totalFrames);
  EXPECT_GE(took, std::chrono::milliseconds(9500)) << "played in real time, not faster";
  for (auto& b : feeder.buffers) EXPECT_EQ(waveOutUnprepareHeader(wave, &b->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
  EXPECT_EQ(waveOutClose(wave), MMSYSERR_NOERROR);
}

}  // namespace
}  // namespace zb::mm::testing
