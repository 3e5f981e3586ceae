// The SDL2 device: real sound. SDL's audio thread pulls the stream's bytes in its callback and
// plays silence for what the stream does not have (paused, or run dry). The audio subsystem is
// started once and kept, since other parts of the layer may use SDL too.
#include <SDL.h>

#include <mutex>
#include <string>

#include "device/device.h"
#include "mmsystem/wave_device.h"

namespace zb::mm {
namespace {

bool StartSdlAudio() {
  static std::once_flag once;
  static bool started = false;
  std::call_once(once, [] {
    started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (!started) device::DebugLog(std::string("waveOut: SDL audio does not start: ") + SDL_GetError() + "\n");
  });
  return started;
}

class SdlDevice : public WaveDevice {
 public:
  explicit SdlDevice(const WAVEFORMATEX& format) : format_(format) {}
  ~SdlDevice() override { Stop(); }
  Pacing pacing() const override { return Pacing::Pull; }

  bool Start(PullFunction pull) override {
    pull_ = std::move(pull);
    SDL_AudioSpec want{}, have{};
    want.freq = static_cast<int>(format_.nSamplesPerSec);
    want.format = format_.wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    want.channels = static_cast<Uint8>(format_.nChannels);
    want.samples = 256;
    while (want.samples < format_.nSamplesPerSec / 40) want.samples *= 2;  // about 25 ms
    want.callback = &SdlDevice::Callback;
    want.userdata = this;
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);  // SDL converts to what it has
    if (device_ == 0) {
      device::DebugLog(std::string("waveOut: SDL cannot open a sound device: ") + SDL_GetError() + "\n");
      return false;
    }
    silence_ = have.silence;
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }

  void Stop() override {
    if (device_ != 0) SDL_CloseAudioDevice(device_);  // waits for a callback under way
    device_ = 0;
  }

 private:
  static void Callback(void* self, Uint8* out, int size) {
    auto* device = static_cast<SdlDevice*>(self);
    size_t got = device->pull_(out, static_cast<size_t>(size));
    if (got < static_cast<size_t>(size)) SDL_memset(out + got, device->silence_, static_cast<size_t>(size) - got);
  }

  WAVEFORMATEX format_;
  PullFunction pull_;
  SDL_AudioDeviceID device_ = 0;
  Uint8 silence_ = 0;
};

}  // namespace

std::unique_ptr<WaveDevice> OpenSdlDevice(const WAVEFORMATEX& format, MMRESULT* error) {
  if (!StartSdlAudio()) {
    *error = MMSYSERR_NODRIVER;
    return nullptr;
  }
  return std::make_unique<SdlDevice>(format);
}

bool MachineHasSoundDevice() {
  static std::once_flag once;
  static bool has = false;
  std::call_once(once, [] {
    if (!StartSdlAudio()) return;
    const char* driver = SDL_GetCurrentAudioDriver();
    std::string name = driver ? driver : "";
    has = !name.empty() && name != "dummy" && name != "disk" && SDL_GetNumAudioDevices(0) != 0;
  });
  return has;
}

}  // namespace zb::mm
