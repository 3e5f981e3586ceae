// The null device and the test device: they take bytes at the pace of the device clock (the
// stream works out how many), play nothing, and the test device records what it gets.
#include "mmsystem/wave_device.h"
#include "mmsystem/wave_recording.h"

namespace zb::mm {
namespace {

class PacedDevice : public WaveDevice {
 public:
  PacedDevice(const WAVEFORMATEX& format, std::shared_ptr<Recording> recording)
      : format_(format), recording_(std::move(recording)) {}
  Pacing pacing() const override { return Pacing::Clock; }
  void Played(const uint8_t* data, size_t size) override {
    if (!recording_) return;
    std::lock_guard guard(recording_->lock);
    recording_->played.insert(recording_->played.end(), data, data + size);
  }
  void Written(const uint8_t* data, size_t size) override {
    if (!recording_) return;
    std::lock_guard guard(recording_->lock);
    recording_->written.push_back({format_, std::vector<uint8_t>(data, data + size)});
  }

 private:
  WAVEFORMATEX format_;
  std::shared_ptr<Recording> recording_;
};

}  // namespace

std::unique_ptr<WaveDevice> OpenPacedDevice(const WAVEFORMATEX& format, bool record) {
  return std::make_unique<PacedDevice>(format, record ? CurrentRecording() : nullptr);
}

}  // namespace zb::mm
