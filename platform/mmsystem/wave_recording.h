// What the test device records, for zb::testing::TestAudio: every buffer written and every byte
// consumed, in order. While a recording is set, waveOutOpen uses the test device.
#pragma once
#include <memory>
#include <mmreg.h>
#include <mutex>
#include <vector>

namespace zb::mm {

struct Recording {
  struct Buffer {
    WAVEFORMATEX format;
    std::vector<uint8_t> bytes;
  };
  std::mutex lock;
  std::vector<Buffer> written;
  std::vector<uint8_t> played;
};

void RecordInto(std::shared_ptr<Recording> recording);
std::shared_ptr<Recording> CurrentRecording();

// Times a stream ran dry while playing and was written to again (a gap in the sound), over
// every stream of the process.
uint64_t Underruns();

}  // namespace zb::mm
