// The waveOut output: a ring of headers that each block is copied into, in order, so the buffers
// come back in the order they went. Written and played times count from the last flush.
#include "wave_output.h"

#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

namespace {

constexpr int kSlots = 8;
constexpr DWORD kSlotBytes = 65536;

struct Output {
  HWAVEOUT wave = nullptr;
  WAVEHDR headers[kSlots] = {};
  std::vector<char> data = std::vector<char>(kSlots * kSlotBytes);
  int next = 0;  // the slot the next write fills
  int rate = 0, channels = 0;
  long long written = 0;  // bytes since the last flush
  int flushedMs = 0;
  bool paused = false;
};

Output g_out;
std::atomic<bool> g_held{false};

bool Queued(WAVEHDR& h) { return (std::atomic_ref<DWORD>(h.dwFlags).load() & WHDR_INQUEUE) != 0; }

int Milliseconds(long long bytes) {
  const long long perSecond = static_cast<long long>(g_out.rate) * g_out.channels * 2;
  return perSecond ? static_cast<int>(bytes * 1000 / perSecond) : 0;
}

void Nothing(HWND) {}
int Pass(int previous) { return previous; }

void Close() {
  if (!g_out.wave) return;
  waveOutReset(g_out.wave);
  for (WAVEHDR& h : g_out.headers)
    if (h.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(g_out.wave, &h, sizeof h);
  waveOutClose(g_out.wave);
  g_out.wave = nullptr;
}

int Open(int rate, int channels, int bits) {
  Close();
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = static_cast<WORD>(channels);
  format.nSamplesPerSec = static_cast<DWORD>(rate);
  format.wBitsPerSample = static_cast<WORD>(bits);
  format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  if (waveOutOpen(&g_out.wave, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return -1;
  for (int i = 0; i < kSlots; ++i) {
    WAVEHDR& h = g_out.headers[i];
    h = WAVEHDR{};
    h.lpData = g_out.data.data() + static_cast<size_t>(i) * kSlotBytes;
    h.dwBufferLength = kSlotBytes;
    waveOutPrepareHeader(g_out.wave, &h, sizeof h);
  }
  g_out.next = 0;
  g_out.rate = rate;
  g_out.channels = channels;
  g_out.written = 0;
  g_out.flushedMs = 0;
  g_out.paused = false;
  return kSlots * static_cast<int>(kSlotBytes);
}

int CanWrite() {
  if (!g_out.wave || g_held) return 0;
  int free = 0;
  for (int i = 0; i < kSlots && !Queued(g_out.headers[(g_out.next + i) % kSlots]); ++i) ++free;
  return free * static_cast<int>(kSlotBytes);
}

int Write(void* data, int bytes) {
  if (!g_out.wave || bytes <= 0) return 0;
  const char* from = static_cast<const char*>(data);
  for (int done = 0; done < bytes;) {
    WAVEHDR& h = g_out.headers[g_out.next];
    // The decoder asked CanWrite first; a sample chain that grew the block waits for a slot.
    while (Queued(h)) Sleep(5);
    const DWORD n = std::min<DWORD>(kSlotBytes, static_cast<DWORD>(bytes - done));
    std::memcpy(h.lpData, from + done, n);
    h.dwBufferLength = n;
    if (waveOutWrite(g_out.wave, &h, sizeof h) != MMSYSERR_NOERROR) return done;
    g_out.next = (g_out.next + 1) % kSlots;
    done += static_cast<int>(n);
  }
  g_out.written += bytes;
  return bytes;
}

int IsPlaying() {
  return std::any_of(std::begin(g_out.headers), std::end(g_out.headers), [](WAVEHDR& h) { return Queued(h); });
}

int Pause(int pause) {
  const int was = g_out.paused;
  if (g_out.wave) pause ? waveOutPause(g_out.wave) : waveOutRestart(g_out.wave);
  g_out.paused = pause != 0;
  return was;
}

void SetVolume(int volume) {
  if (!g_out.wave || volume == OUTPUT_STORED_VALUE) return;
  const DWORD level = static_cast<DWORD>(std::clamp(volume, 0, 255)) * 0xFFFF / 255;
  waveOutSetVolume(g_out.wave, level | level << 16);
}

void SetPan(int) {}

void Flush(int positionMs) {
  if (g_out.wave) waveOutReset(g_out.wave);
  g_out.next = 0;
  g_out.written = 0;
  g_out.flushedMs = positionMs;
}

int PlayedTime() {
  MMTIME time{};
  time.wType = TIME_BYTES;
  if (!g_out.wave || waveOutGetPosition(g_out.wave, &time, sizeof time) != MMSYSERR_NOERROR) return g_out.flushedMs;
  return g_out.flushedMs + Milliseconds(time.u.cb);
}

int WrittenTime() { return g_out.flushedMs + Milliseconds(g_out.written); }

}  // namespace

OutputModule WaveOutput = {OUTPUT_MODULE_VERSION, u"waveOut", nullptr, nullptr, Nothing, Nothing, Pass, Pass,
                           Open, Close, Write, CanWrite, IsPlaying, Pause, SetVolume, SetPan, Flush, PlayedTime,
                           WrittenTime};

void HoldOutput(bool held) { g_held = held; }
int OutputRate() { return g_out.rate; }
int OutputChannels() { return g_out.channels; }
long long OutputFrames() { return g_out.channels ? g_out.written / (g_out.channels * 2) : 0; }
