// One open waveOut device: the queue of the program's buffers, the sound device that consumes
// them, and a worker thread that delivers WOM_DONE and paces the devices that need pacing.
// The program's WAVEHDR records belong to it; the stream only flips their flags (WHDR_INQUEUE
// while queued, WHDR_DONE when consumed or returned by a reset) and keeps pointers to them
// while they are queued, as the platform does.
#pragma once
#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>
#include <windows.h>

#include "mmsystem/wave_device.h"

namespace zb::mm {

class WaveStream {
 public:
  WaveStream(const WAVEFORMATEX& format, DWORD_PTR callback, DWORD_PTR instance, DWORD callbackType);
  ~WaveStream();
  WaveStream(const WaveStream&) = delete;
  WaveStream& operator=(const WaveStream&) = delete;

  // Starts the device and the worker for the stream's handle; false when the device will not.
  bool Start(HWAVEOUT handle, std::unique_ptr<WaveDevice> device);
  // Waits for the worker and stops the device; the queue must be empty.
  MMRESULT Close();

  MMRESULT Write(WAVEHDR* header);
  bool Queued(const WAVEHDR* header);
  void Pause();
  void Restart();
  void Reset();
  // Bytes the device has consumed since the open or the last reset.
  uint64_t Position();
  DWORD volume() const { return volume_; }
  void SetVolume(DWORD volume) { volume_ = volume; }
  const WAVEFORMATEX& format() const { return format_; }

  // Calls the program's callback, if it gave one.
  void Notify(UINT message, DWORD_PTR param);
  bool OnWorkerThread() const { return std::this_thread::get_id() == worker_.get_id(); }

 private:
  size_t Pull(uint8_t* out, size_t size);
  // Brings a paced device up to the device clock (or an immediate one up to the queue).
  void CatchUp();
  // Takes up to `size` queued bytes into `out`, with the volume applied; buffers used up are
  // marked done for the worker to report.
  size_t Take(uint8_t* out, size_t size);
  void Work();

  const WAVEFORMATEX format_;
  const DWORD_PTR callback_;
  const DWORD_PTR instance_;
  const DWORD callbackType_;
  HWAVEOUT handle_ = nullptr;
  std::unique_ptr<WaveDevice> device_;
  WaveDevice::Pacing pacing_ = WaveDevice::Pacing::Clock;
  HANDLE wake_ = nullptr;
  std::thread worker_;
  std::atomic<DWORD> volume_{0xFFFFFFFF};

  std::mutex lock_;  // everything below
  std::deque<WAVEHDR*> queue_;
  size_t frontOffset_ = 0;  // bytes of the first queued buffer already taken
  std::vector<WAVEHDR*> done_;  // done, not yet reported
  uint64_t position_ = 0;
  bool paused_ = false;
  bool closing_ = false;
  bool starved_ = false;  // ran dry while playing; the next write is a gap in the sound
  uint64_t segmentStart_ = 0;  // device-clock time since which a paced device consumes
  uint64_t segmentTaken_ = 0;  // bytes it took since then
};

// The device's own volume (waveOutSetVolume on device 0), which scales every stream.
DWORD DeviceVolume();
void SetDeviceVolume(DWORD volume);

}  // namespace zb::mm
