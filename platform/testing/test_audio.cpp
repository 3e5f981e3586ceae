// TestAudio over the recording the sound library keeps for it.
#include "testing/test_audio.h"

#include "mmsystem/wave_recording.h"

namespace zb::testing {

TestAudio::TestAudio() : recording_(std::make_shared<mm::Recording>()) { mm::RecordInto(recording_); }

TestAudio::~TestAudio() { mm::RecordInto(nullptr); }

std::vector<std::vector<uint8_t>> TestAudio::Written() const {
  std::lock_guard guard(recording_->lock);
  std::vector<std::vector<uint8_t>> out;
  for (const auto& b : recording_->written) out.push_back(b.bytes);
  return out;
}

std::vector<uint8_t> TestAudio::Played() const {
  std::lock_guard guard(recording_->lock);
  return recording_->played;
}

}  // namespace zb::testing
