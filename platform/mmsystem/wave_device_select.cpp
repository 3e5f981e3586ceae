// Choosing the device: a test's recording first, then ZONBREL_AUDIO, then SDL when the machine
// has a sound device and the null device when it has none. An unknown choice is reported in
// the debug log and plays on the null device, so a typo never silences a test run's errors.
#include <cstdlib>
#include <mutex>
#include <string>

#include "device/device.h"
#include "mmsystem/wave_device.h"
#include "mmsystem/wave_recording.h"

namespace zb::mm {
namespace {

struct RecordingSlot {
  std::mutex lock;
  std::shared_ptr<Recording> recording;
};

RecordingSlot& Slot() {
  static auto* slot = new RecordingSlot;
  return *slot;
}

}  // namespace

void RecordInto(std::shared_ptr<Recording> recording) {
  std::lock_guard guard(Slot().lock);
  Slot().recording = std::move(recording);
}

std::shared_ptr<Recording> CurrentRecording() {
  std::lock_guard guard(Slot().lock);
  return Slot().recording;
}

std::unique_ptr<WaveDevice> OpenWaveDevice(const WAVEFORMATEX& format, MMRESULT* error) {
  *error = MMSYSERR_NOERROR;
  if (CurrentRecording()) return OpenPacedDevice(format, true);
  const char* env = std::getenv("ZONBREL_AUDIO");
  std::string choice = env ? env : "";
  if (choice.empty()) choice = MachineHasSoundDevice() ? "sdl" : "null";
  if (choice == "sdl") return OpenSdlDevice(format, error);
  if (choice == "null") return OpenPacedDevice(format, false);
  if (choice.rfind("wav:", 0) == 0 && choice.size() > 4) return OpenWavFileDevice(choice.substr(4), format, error);
  device::DebugLog("waveOut: ZONBREL_AUDIO=" + choice + " is not sdl, null or wav:FILE; playing on the null device\n");
  return OpenPacedDevice(format, false);
}

}  // namespace zb::mm
