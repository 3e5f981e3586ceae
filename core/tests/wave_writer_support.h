// Test support for the waveOut writer: a device with the test sound device and the test clock,
// the settings the writer reads, a player callback that records what the writer offers to the
// event hooks (and can change the device format), a clock that runs while a call waits on it,
// and PCM helpers.
#pragma once
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <mmsystem.h>
#include <ostream>
#include <thread>
#include <vector>

#include "core/interface/player_messages.h"
#include "core/settings/settings.h"
#include "core/output/wave_writer.h"
#include "product_device.h"
#include "testing/test_audio.h"
#include "testing/test_clock.h"

namespace zb::testing {

// The three numbers of a PCM format, read out of the packed record.
struct Shape {
  int channels, rate, bits;
  bool operator==(const Shape&) const = default;
};
inline Shape ShapeOf(const WAVEFORMATEX& f) { return {f.nChannels, static_cast<int>(f.nSamplesPerSec), f.wBitsPerSample}; }
inline void PrintTo(const Shape& s, std::ostream* out) { *out << s.channels << " ch " << s.rate << " Hz " << s.bits << " bits"; }

struct HookLog {
  std::vector<Shape> offered;  // the device format before each open attempt
  std::vector<DWORD> deviceIds;
  HWAVEOUT opened = nullptr;   // the handle after the last successful open
  int opens = 0, closes = 0;
  std::function<void(WAVEFORMATEX*)> change;  // what a hook does to the device format
};

inline HookLog& Hooks() {
  static HookLog log;
  return log;
}

inline int RecordHooks(UINT id, void* in, UINT inSize, void* out, UINT outSize) {
  if (id != PLAYER_MSG_HOOK_2301) return -1;
  HookLog& log = Hooks();
  if (inSize == sizeof(WAVEFORMATEX) && outSize == sizeof(WAVEFORMATEX)) {
    WAVEFORMATEX* device = static_cast<WAVEFORMATEX*>(out);
    if (log.change) log.change(device);
    log.offered.push_back(ShapeOf(*device));
  } else if (in && out && inSize == 4 && outSize == 4) {
    DWORD id;
    std::memcpy(&id, in, 4);
    log.deviceIds.push_back(id);
  } else if (!in && outSize == 4) {
    DWORD handle;
    std::memcpy(&handle, out, 4);
    log.opened = reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(handle));
    ++log.opens;
  } else if (!out && inSize == 4) {
    ++log.closes;
  }
  return 0;
}

// Runs `work` while another thread moves the device clock on in 10 ms steps, for calls that
// sleep on the clock (waits for room, for the drain). The clock stops by itself after an hour
// of device time, so a call that never returns cannot keep it going for ever.
template <class Work>
auto WhileClockRuns(Work&& work) {
  std::atomic<bool> done{false};
  std::thread driver([&done] {
    for (int step = 0; step < 360000 && !done; ++step) {
      AdvanceClock(10);
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
  });
  struct Stop {
    std::atomic<bool>& done;
    std::thread& driver;
    ~Stop() {
      done = true;
      driver.join();
    }
  } stop{done, driver};
  return work();
}

class WaveWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TakeOverClock(0);
    Hooks() = HookLog{};
    SetWaveWriterPlayerCallback(RecordHooks);
    settings = GetSettings();
    ASSERT_NE(settings, nullptr);
    settings->audioBuffer = 2000;
    settings->gaplessPlayback = 0;
    settings->panning = 0;
    settings->ourVolume = 255;
    settings->useSystemVolume = 0;
    WaveWriterInit(0);
  }
  void TearDown() override {
    WaveWriterCloseDevice(TRUE);
    SetWaveWriterPlayerCallback(nullptr);
    waveOutSetVolume(nullptr, 0xFFFFFFFF);  // the device volume outlives the test otherwise
    DestroySettings();
    ReleaseClock();
  }

  void SetRates(const std::string& rates) {
    device.WriteProfile("[program]\nhost = /nonexistent/zonbrel-test-program\n[audio]\nrates = " + rates + "\n");
  }

  // Moves the clock on, then reads the output time, which brings the test device up to the clock
  // at once (its worker would only get there on its own next tick).
  void Play(uint64_t ms) {
    AdvanceClock(ms);
    WaveWriterOutputTime();
  }

  // Writes all of `pcm` that fits now; the bytes taken.
  int WriteAll(std::vector<BYTE> pcm) { return WaveWriterWrite(pcm.data(), static_cast<int>(pcm.size())); }

  ProductDevice device;
  TestAudio audio;
  CSettings* settings = nullptr;
};

// Stereo 16-bit frames whose samples all differ from their neighbours: frame i is
// (i * 7 - 30000, -(i * 13) + 20000), wrapped into 16 bits.
inline std::vector<BYTE> Ramp(int frames, int start = 0) {
  std::vector<BYTE> out(size_t(frames) * 4);
  for (int i = 0; i < frames; ++i) {
    const SHORT l = static_cast<SHORT>((start + i) * 7 - 30000), r = static_cast<SHORT>(-(start + i) * 13 + 20000);
    std::memcpy(&out[size_t(i) * 4], &l, 2);
    std::memcpy(&out[size_t(i) * 4 + 2], &r, 2);
  }
  return out;
}

inline std::vector<BYTE> Constant(int frames, SHORT left, SHORT right) {
  std::vector<BYTE> out(size_t(frames) * 4);
  for (int i = 0; i < frames; ++i) {
    std::memcpy(&out[size_t(i) * 4], &left, 2);
    std::memcpy(&out[size_t(i) * 4 + 2], &right, 2);
  }
  return out;
}

inline SHORT SampleAt(const std::vector<uint8_t>& pcm, size_t index) {
  SHORT s;
  std::memcpy(&s, &pcm[index * 2], 2);
  return s;
}

}  // namespace zb::testing
