// The test sound device: while a TestAudio lives, waveOutOpen plays on a device that consumes at
// the pace of the device clock (zb::testing::TakeOverClock moves it) and records every buffer
// written and every byte consumed.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

namespace zb::mm {
struct Recording;
}

namespace zb::testing {

class TestAudio {
 public:
  TestAudio();
  ~TestAudio();
  TestAudio(const TestAudio&) = delete;
  TestAudio& operator=(const TestAudio&) = delete;

  // Each buffer given to waveOutWrite, as given.
  std::vector<std::vector<uint8_t>> Written() const;
  // Every byte the device consumed, in order.
  std::vector<uint8_t> Played() const;

 private:
  std::shared_ptr<mm::Recording> recording_;
};

}  // namespace zb::testing
