// Opening the writer: the device id, the format negotiation with the event hooks and the
// fallback ladder, the blocks sized from the buffer setting, and the gapless continuation that
// keeps an open device for the next stream and crossfades into its queued tail.
#include <algorithm>

#include "core/settings/settings.h"
#include "core/output/wave_writer_state.h"

namespace {

constexpr int kMinBlocks = 4, kMaxBlocks = 31;
constexpr int kMaxOpenAttempts = 64;  // the ladder is short; hooks must not keep it going
constexpr DWORD kWaitStepMs = 10;

bool SameFormat(const WAVEFORMATEX& a, const WAVEFORMATEX& b) {
  return a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec && a.wBitsPerSample == b.wBitsPerSample;
}

// What a hook may turn the device format into: a PCM format the conversion can reach.
bool Reachable(const WAVEFORMATEX& f, const WAVEFORMATEX& source) {
  return f.wFormatTag == WAVE_FORMAT_PCM && f.nChannels >= 1 && f.nChannels <= source.nChannels &&
         (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.wBitsPerSample <= source.wBitsPerSample &&
         f.nSamplesPerSec > 0 && f.nSamplesPerSec <= source.nSamplesPerSec;
}

bool DeviceTakes(UINT id, const WAVEFORMATEX& f, const CSettings& s) {
  if (f.wBitsPerSample < 8 || f.wBitsPerSample > 16 || f.nChannels < 1 || f.nChannels > 2) return false;
  if (f.nSamplesPerSec > s.maxSampleRate) return false;
  return waveOutOpen(nullptr, id, &f, 0, 0, WAVE_FORMAT_QUERY) == MMSYSERR_NOERROR;
}

UINT ChooseDeviceId(const CSettings& s) {
  UINT id = 0;
  if (s.waveOutDevice2 == 0) {
    DWORD preferred = 0, flags = 0;
    if (waveOutMessage(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(WAVE_MAPPER)), DRVM_MAPPER_PREFERRED_GET,
                       reinterpret_cast<DWORD_PTR>(&preferred), reinterpret_cast<DWORD_PTR>(&flags)) == MMSYSERR_NOERROR)
      id = preferred;
  } else {
    id = s.waveOutDevice2 - 1;
  }
  DWORD word = id;
  NotifyHooks(&word, sizeof word, &word, sizeof word);
  return word;
}

// Negotiates and opens; the device format is left in w.deviceFormat. False when no format is
// taken, not even by the wave mapper.
bool OpenDevice(WaveWriterState& w, const CSettings& s) {
  const WAVEFORMATEX source = w.sourceFormat;
  WAVEFORMATEX device = source;
  UINT id = ChooseDeviceId(s);
  if (source.nChannels > 2) id = WAVE_MAPPER;
  for (int attempt = 0; attempt < kMaxOpenAttempts; ++attempt) {
    WAVEFORMATEX in = source, offered = device;
    NotifyHooks(&in, sizeof in, &offered, sizeof offered);
    if (Reachable(offered, source)) device = MakePcmFormat(offered.nChannels, offered.nSamplesPerSec, offered.wBitsPerSample);
    HWAVEOUT handle = nullptr;
    if (DeviceTakes(id, device, s) && waveOutOpen(&handle, id, &device, 0, 0, CALLBACK_NULL) == MMSYSERR_NOERROR) {
      w.device = handle;
      w.deviceFormat = device;
      DWORD word = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(handle));  // the device's handles are 32-bit
      NotifyHooks(nullptr, 0, &word, sizeof word);
      return true;
    }
    if (!WaveWriterFallbackFormat(&device, source)) {
      if (id == WAVE_MAPPER) return false;
      id = WAVE_MAPPER;
      device = source;
    }
  }
  return false;
}

DWORD PaddingMs(DWORD setting) {
  if (setting == 0) return 4000;
  return std::clamp<DWORD>(setting, 1000, 10000);
}

int BlockCount(const WAVEFORMATEX& f, const CSettings& s, DWORD paddingMs) {
  uint64_t bufferMs = s.audioBuffer;
  if (s.gaplessPlayback && bufferMs < uint64_t{paddingMs} + s.gaplessAdjustment)
    bufferMs = uint64_t{paddingMs} + s.gaplessAdjustment + 1000;
  const uint64_t framesPerBlock = kWaveBlockBytes / f.nBlockAlign;
  const uint64_t count = uint64_t{f.nSamplesPerSec} * bufferMs / (framesPerBlock * 1000) + 2;
  return static_cast<int>(std::clamp<uint64_t>(count, kMinBlocks, kMaxBlocks));
}

BYTE* AllocatePages(int* count) {
  for (; *count > 0; --*count) {
    const SIZE_T size = SIZE_T(*count) * kWaveBlockBytes;
    void* reserved = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS);
    if (!reserved) continue;
    if (void* committed = VirtualAlloc(reserved, size, MEM_COMMIT, PAGE_READWRITE)) return static_cast<BYTE*>(committed);
    VirtualFree(reserved, 0, MEM_RELEASE);
  }
  return nullptr;
}

void ResetCounters(WaveWriterState& w) {
  w.seekBaseMs = 0;
  w.framesWritten = w.framesQueued = w.streamStart = 0;
  w.pendingCrossfade = w.crossfadeLength = 0;
  w.crossfadeMark = 0;
  w.mixingStarted = false;
  w.queuedBytes = 0;
  w.lowServices = 0;
  w.stallWatch = false;
  w.timeBase = GetTickCount();
}

// The next stream plays on the open device. What is still queued of the last one (at most
// gaplessAdjustment ms of it) is where the new stream fades in.
void ContinueGapless(WaveWriterState& w, const CSettings& s) {
  ServiceLocked(w, false);
  SendFilledBlocksLocked(w);  // the whole tail must be in the history to mix into
  const DWORD rate = w.deviceFormat.nSamplesPerSec;
  const uint64_t played = PlayedFramesLocked(w);
  const uint64_t unplayed = w.framesQueued > played ? w.framesQueued - played : 0;
  const uint64_t fade = std::min<uint64_t>(unplayed, MsToFrames(s.gaplessAdjustment, rate));
  w.seekBaseMs = 0;
  w.framesWritten = 0;
  w.pendingCrossfade = w.crossfadeLength = static_cast<DWORD>(fade * w.frameSize);
  w.crossfadeMark = w.streamStart = w.framesQueued - fade;
  w.mixingStarted = false;
  w.stallWatch = false;
}

// Waits, without the lock, for the queued audio of the last stream to play out; paused or
// closed by someone else, it stops waiting.
void WaitForQueuedAudio(WaveWriterState& w) {
  for (;;) {
    {
      CSectionLock held(w.lock);
      if (!w.device || w.paused) return;
      ServiceLocked(w, false);
      if (w.queuedBytes <= 0) return;
    }
    Sleep(kWaitStepMs);
  }
}

}  // namespace

int OpenLocked(WaveWriterState& w, int rate, int channels, int bits) {
  const CSettings* s = GetSettings();
  if (!s) return -1;
  w.sourceFormat = MakePcmFormat(channels, rate, bits);
  if (!OpenDevice(w, *s)) return -1;
  w.frameSize = w.deviceFormat.nBlockAlign;
  w.paddingMs = PaddingMs(s->gaplessPadding);
  int count = BlockCount(w.deviceFormat, *s, w.paddingMs);
  w.pages = AllocatePages(&count);
  if (!w.pages) {
    waveOutClose(w.device);
    w.device = nullptr;
    return -1;
  }
  w.blockCount = count;
  std::fill(w.pages, w.pages + SIZE_T(count) * kWaveBlockBytes, BYTE{0});
  w.blocks.assign(count, WaveBlock{});
  for (int i = 0; i < count; ++i) w.blocks[i].header.lpData = reinterpret_cast<LPSTR>(w.pages + SIZE_T(i) * kWaveBlockBytes);
  w.history.clear();
  ResetCounters(w);
  w.freeBytes = DWORD(count) * kWaveBlockBytes;
  w.paused = false;
  w.gaplessAdjustmentAtOpen = s->gaplessAdjustment;
  waveOutRestart(w.device);
  ApplyVolumeLocked(w);
  return count * kWaveBlockBytes;
}

int WaveWriterOpen(int sampleRate, int channels, int bitsPerSample) {
  if (sampleRate <= 0 || channels <= 0 || bitsPerSample < 8) return -1;
  if (channels > 2) return -1;  // no device takes more, and the conversion makes mono of two only
  if (bitsPerSample % 8 || bitsPerSample > 32) return -1;  // the conversion takes whole bytes up to 4
  const CSettings* s = GetSettings();
  if (!s) return -1;
  WaveWriterState& w = Writer();
  const WAVEFORMATEX wanted = MakePcmFormat(channels, sampleRate, bitsPerSample);
  {
    CSectionLock held(w.lock);
    if (w.device && s->gaplessPlayback && s->gaplessAdjustment == w.gaplessAdjustmentAtOpen &&
        SameFormat(wanted, w.sourceFormat)) {
      ContinueGapless(w, *s);
      return w.blockCount * kWaveBlockBytes;
    }
  }
  WaitForQueuedAudio(w);
  CSectionLock held(w.lock);
  CloseDeviceLocked(w, true);
  return OpenLocked(w, sampleRate, channels, bitsPerSample);
}
