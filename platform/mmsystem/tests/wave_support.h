// Shared by the waveOut tests: formats, tones, buffers the tests own, and a callback that records
// the messages it gets and lets a test wait (a bounded while) for them.
#pragma once
#include <gtest/gtest.h>
#include <mmsystem.h>
#include <windows.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "formats.h"
#include "testing/env_scope.h"

namespace zb::mm::testing {


// A sine tone, different in each channel, as the format's bytes.
inline std::vector<uint8_t> Tone(const WAVEFORMATEX& f, size_t frames, size_t firstFrame = 0) {
  std::vector<uint8_t> bytes;
  for (size_t i = firstFrame; i < firstFrame + frames; ++i) {
    for (WORD c = 0; c < f.nChannels; ++c) {
      double v = std::sin(2 * M_PI * (440.0 + 110 * c) * i / f.nSamplesPerSec);
      if (f.wBitsPerSample == 8) {
        bytes.push_back(static_cast<uint8_t>(128 + std::lround(100 * v)));
      } else {
        int16_t s = static_cast<int16_t>(std::lround(30000 * v));
        bytes.push_back(static_cast<uint8_t>(s & 0xFF));
        bytes.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
      }
    }
  }
  return bytes;
}

// A buffer and its header, owned by the test as a program owns them.
struct Buffer {
  explicit Buffer(std::vector<uint8_t> bytes) : data(std::move(bytes)) {
    header.lpData = reinterpret_cast<LPSTR>(data.data());
    header.dwBufferLength = static_cast<DWORD>(data.size());
  }
  std::vector<uint8_t> data;
  WAVEHDR header{};
  DWORD flags() const { return std::atomic_ref(const_cast<DWORD&>(header.dwFlags)).load(); }
};

class Messages {
 public:
  static void CALLBACK Callback(HWAVEOUT wave, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR) {
    auto* self = reinterpret_cast<Messages*>(instance);
    std::lock_guard guard(self->lock_);
    self->seen_.push_back({wave, message, param1});
    self->changed_.notify_all();
  }
  struct Seen {
    HWAVEOUT wave;
    UINT message;
    DWORD_PTR param;
  };
  // Waits up to five seconds of host time for `count` messages.
  bool WaitFor(size_t count) {
    std::unique_lock guard(lock_);
    return changed_.wait_for(guard, std::chrono::seconds(5), [&] { return seen_.size() >= count; });
  }
  std::vector<Seen> seen() {
    std::lock_guard guard(lock_);
    return seen_;
  }
  DWORD_PTR instance() { return reinterpret_cast<DWORD_PTR>(this); }

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  std::vector<Seen> seen_;
};

inline MMRESULT Prepare(HWAVEOUT wave, Buffer& b) { return waveOutPrepareHeader(wave, &b.header, sizeof(WAVEHDR)); }
inline MMRESULT Write(HWAVEOUT wave, Buffer& b) { return waveOutWrite(wave, &b.header, sizeof(WAVEHDR)); }

inline DWORD PositionIn(HWAVEOUT wave, UINT type) {
  MMTIME t{};
  t.wType = type;
  EXPECT_EQ(waveOutGetPosition(wave, &t, sizeof(t)), MMSYSERR_NOERROR);
  EXPECT_EQ(t.wType, type);
  return t.u.cb;
}

using zb::testing::EnvScope;

}  // namespace zb::mm::testing
