// The sound devices a waveOut stream can play on, chosen by ZONBREL_AUDIO: "sdl" (real sound
// through SDL2; the default when the machine has a sound device), "null" (consumes in real time,
// plays nothing), "wav:FILE" (writes a WAVE file of what was played, as fast as it is written);
// and, for tests, a device paced by the device clock that records what it gets.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mmsystem.h>

namespace zb::mm {

class WaveDevice {
 public:
  // How the device takes the stream's bytes: at the pace of the device clock, all at once, or
  // pulled from its own thread (SDL's audio callback).
  enum class Pacing { Clock, Immediate, Pull };
  using PullFunction = std::function<size_t(uint8_t* out, size_t size)>;

  virtual ~WaveDevice() = default;
  virtual Pacing pacing() const = 0;
  // Pull devices start asking for bytes here; the others are handed what they consume.
  virtual bool Start(PullFunction pull) { return true; }
  virtual void Played(const uint8_t* data, size_t size) {}
  // A buffer the program wrote, as it wrote it.
  virtual void Written(const uint8_t* data, size_t size) {}
  // Called before the stream goes, without its lock held: no pull happens after it returns.
  virtual void Stop() {}
};

// Opens the device the environment (or a test) chose, for a format already accepted; null with
// *error set when it cannot be opened.
std::unique_ptr<WaveDevice> OpenWaveDevice(const WAVEFORMATEX& format, MMRESULT* error);

std::unique_ptr<WaveDevice> OpenPacedDevice(const WAVEFORMATEX& format, bool record);
std::unique_ptr<WaveDevice> OpenWavFileDevice(const std::string& path, const WAVEFORMATEX& format, MMRESULT* error);
std::unique_ptr<WaveDevice> OpenSdlDevice(const WAVEFORMATEX& format, MMRESULT* error);
// Whether SDL finds a real sound device on this machine (not its dummy or disk drivers).
bool MachineHasSoundDevice();

}  // namespace zb::mm
