// The stream engine. Every entry point first brings a paced device up to the device clock, so a
// position read right after the clock moves is exact; the worker does the same on its own
// ticks (10 ms of device time while something plays) and reports finished buffers outside the
// lock, so a callback may write the next buffer at once.
#include "mmsystem/wave_stream.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "device/device.h"
#include "device/kernel_objects.h"
#include "mmsystem/wave_recording.h"

namespace zb::mm {
namespace {

std::atomic<DWORD> deviceVolume{0xFFFFFFFF};
std::atomic<uint64_t> underruns{0};

constexpr DWORD kTickMs = 10;

void MarkDone(WAVEHDR* h) {
  std::atomic_ref<DWORD> flags(h->dwFlags);
  flags.store((flags.load() & ~WHDR_INQUEUE) | WHDR_DONE);
}

// Scales the samples of `data` (which starts `position` bytes into the stream) by the two
// channel levels (0..0xFFFF); a sample cut by the start of `data` is left as it is.
void ApplyVolume(uint8_t* data, size_t size, uint64_t position, const WAVEFORMATEX& f, uint32_t left, uint32_t right) {
  const unsigned sampleBytes = f.wBitsPerSample / 8;
  size_t i = (sampleBytes - position % sampleBytes) % sampleBytes;
  for (; i + sampleBytes <= size; i += sampleBytes) {
    const uint64_t sample = (position + i) / sampleBytes;
    const uint32_t level = f.nChannels == 2 && sample % 2 ? right : left;
    if (sampleBytes == 1) {
      data[i] = static_cast<uint8_t>((static_cast<int>(data[i]) - 128) * static_cast<int>(level) / 0xFFFF + 128);
    } else {
      int16_t s = static_cast<int16_t>(data[i] | data[i + 1] << 8);
      s = static_cast<int16_t>(s * static_cast<int32_t>(level) / 0xFFFF);
      data[i] = static_cast<uint8_t>(s & 0xFF);
      data[i + 1] = static_cast<uint8_t>((s >> 8) & 0xFF);
    }
  }
}

}  // namespace

DWORD DeviceVolume() { return deviceVolume; }
void SetDeviceVolume(DWORD volume) { deviceVolume = volume; }
uint64_t Underruns() { return underruns; }

WaveStream::WaveStream(const WAVEFORMATEX& format, DWORD_PTR callback, DWORD_PTR instance, DWORD callbackType)
    : format_(format), callback_(callback), instance_(instance), callbackType_(callbackType) {}

WaveStream::~WaveStream() {
  if (worker_.joinable()) Close();
  if (wake_) CloseHandle(wake_);
}

bool WaveStream::Start(HWAVEOUT handle, std::unique_ptr<WaveDevice> device) {
  handle_ = handle;
  device_ = std::move(device);
  pacing_ = device_->pacing();
  wake_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!wake_) return false;
  segmentStart_ = kernel::NowMs();
  worker_ = std::thread([this] { Work(); });
  if (pacing_ == WaveDevice::Pacing::Pull && !device_->Start([this](uint8_t* out, size_t size) { return Pull(out, size); })) {
    Close();
    return false;
  }
  return true;
}

MMRESULT WaveStream::Close() {
  if (!device_) return MMSYSERR_NOERROR;
  {
    std::lock_guard guard(lock_);
    CatchUp();
    if (!queue_.empty()) return WAVERR_STILLPLAYING;
    closing_ = true;
  }
  if (wake_) SetEvent(wake_);
  if (worker_.joinable()) worker_.join();
  device_->Stop();
  return MMSYSERR_NOERROR;
}

MMRESULT WaveStream::Write(WAVEHDR* h) {
  std::lock_guard guard(lock_);
  CatchUp();
  std::atomic_ref<DWORD> flags(h->dwFlags);
  flags.store((flags.load() & ~WHDR_DONE) | WHDR_INQUEUE);
  h->lpNext = nullptr;
  device_->Written(reinterpret_cast<const uint8_t*>(h->lpData), h->dwBufferLength);
  if (starved_ && !paused_) {
    ++underruns;
    device::DebugLog("waveOut: the device ran dry before this buffer came (an underrun)\n");
  }
  starved_ = false;
  if (queue_.empty()) {
    segmentStart_ = kernel::NowMs();  // a paced device starts on the new buffer now
    segmentTaken_ = 0;
  }
  if (h->dwBufferLength == 0) {
    MarkDone(h);
    done_.push_back(h);
  } else {
    queue_.push_back(h);
  }
  SetEvent(wake_);
  return MMSYSERR_NOERROR;
}

bool WaveStream::Queued(const WAVEHDR* h) {
  std::lock_guard guard(lock_);
  return std::find(queue_.begin(), queue_.end(), h) != queue_.end();
}

void WaveStream::Pause() {
  std::lock_guard guard(lock_);
  CatchUp();
  paused_ = true;
  starved_ = false;
}

void WaveStream::Restart() {
  std::lock_guard guard(lock_);
  if (paused_) {
    paused_ = false;
    segmentStart_ = kernel::NowMs();
    segmentTaken_ = 0;
  }
  SetEvent(wake_);
}

void WaveStream::Reset() {
  std::lock_guard guard(lock_);
  for (WAVEHDR* h : queue_) {
    MarkDone(h);
    done_.push_back(h);
  }
  queue_.clear();
  frontOffset_ = 0;
  position_ = 0;
  starved_ = false;
  segmentStart_ = kernel::NowMs();
  segmentTaken_ = 0;
  SetEvent(wake_);
}

uint64_t WaveStream::Position() {
  std::lock_guard guard(lock_);
  CatchUp();
  return position_;
}

void WaveStream::Notify(UINT message, DWORD_PTR param) {
  if (callbackType_ == CALLBACK_FUNCTION && callback_)
    reinterpret_cast<LPWAVECALLBACK>(callback_)(handle_, message, instance_, param, 0);
}

size_t WaveStream::Take(uint8_t* out, size_t size) {
  size_t taken = 0;
  const uint64_t start = position_;
  while (taken < size && !queue_.empty()) {
    WAVEHDR* h = queue_.front();
    size_t n = std::min<size_t>(size - taken, h->dwBufferLength - frontOffset_);
    std::memcpy(out + taken, h->lpData + frontOffset_, n);
    taken += n;
    frontOffset_ += n;
    if (frontOffset_ == h->dwBufferLength) {
      queue_.pop_front();
      frontOffset_ = 0;
      MarkDone(h);
      done_.push_back(h);
    }
  }
  position_ += taken;
  const DWORD own = volume_, device = deviceVolume;
  const uint32_t left = (own & 0xFFFF) * (device & 0xFFFF) / 0xFFFF, right = (own >> 16) * (device >> 16) / 0xFFFF;
  if (left != 0xFFFF || right != 0xFFFF) ApplyVolume(out, taken, start, format_, left, format_.nChannels == 2 ? right : left);
  if (!done_.empty()) SetEvent(wake_);
  return taken;
}

size_t WaveStream::Pull(uint8_t* out, size_t size) {
  std::lock_guard guard(lock_);
  if (paused_ || closing_) return 0;
  size_t got = Take(out, size);
  if (got < size && position_ > 0) starved_ = true;
  return got;
}

void WaveStream::CatchUp() {
  if (pacing_ == WaveDevice::Pacing::Pull || paused_) return;
  uint8_t buffer[16384];
  if (pacing_ == WaveDevice::Pacing::Immediate) {
    while (!queue_.empty()) {
      size_t got = Take(buffer, sizeof(buffer));
      device_->Played(buffer, got);
    }
    return;
  }
  const uint64_t now = kernel::NowMs();
  if (queue_.empty()) {
    segmentStart_ = now;
    segmentTaken_ = 0;
    return;
  }
  uint64_t due = (now - segmentStart_) * format_.nAvgBytesPerSec / 1000;
  due -= due % format_.nBlockAlign;
  while (segmentTaken_ < due) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(due - segmentTaken_, sizeof(buffer) - sizeof(buffer) % format_.nBlockAlign));
    size_t got = Take(buffer, want);
    device_->Played(buffer, got);
    segmentTaken_ += got;
    if (got < want) {  // ran dry: the device played silence from here on
      starved_ = true;
      segmentStart_ = now;
      segmentTaken_ = 0;
      break;
    }
  }
}

void WaveStream::Work() {
  for (;;) {
    DWORD wait = INFINITE;
    {
      std::lock_guard guard(lock_);
      if (pacing_ == WaveDevice::Pacing::Clock && !paused_ && !queue_.empty()) wait = kTickMs;
    }
    WaitForSingleObject(wake_, wait);
    std::vector<WAVEHDR*> done;
    bool stop;
    {
      std::lock_guard guard(lock_);
      CatchUp();
      done.swap(done_);
      stop = closing_;
    }
    for (WAVEHDR* h : done) Notify(WOM_DONE, reinterpret_cast<DWORD_PTR>(h));
    if (stop) return;
  }
}

}  // namespace zb::mm
