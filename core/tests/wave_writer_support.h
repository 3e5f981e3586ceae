// Test support for the waveOut writer: a device with the test sound device and the test clock,
// the settings the writer reads, a player callback that records what the writer offers to the
// event hooks (and can change the device format or keep the device handle), and PCM helpers.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <mmsystem.h>
#include <vector>

#include "core/player_messages.h"
#include "core/settings.h"
#include "core/wave_writer.h"
#include "product_device.h"
#include "testing/test_audio.h"
#include "testing/test_clock.h"

namespace zb::testing {

struct HookLog {
  std::vector<WAVEFORMATEX> offered;  // the device format before each open attempt
  HWAVEOUT opened = nullptr;          // the handle after the last successful open
  int closes = 0;
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
    log.offered.push_back(*device);
  } else if (!in && outSize == 4) {
    log.opened = reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(*static_cast<DWORD*>(out)));
  } else if (!out && inSize == 4) {
    ++log.closes;
  }
  return 0;
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
    WaveWriterInit(0);
  }
  void TearDown() override {
    WaveWriterCloseDevice(TRUE);
    SetWaveWriterPlayerCallback(nullptr);
    DestroySettings();
    ReleaseClock();
  }

  // Moves the clock on in steps, giving the device's worker each step to play.
  void Play(uint64_t ms, uint64_t step = 10) {
    for (uint64_t done = 0; done < ms; done += step) AdvanceClock(step);
  }

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
