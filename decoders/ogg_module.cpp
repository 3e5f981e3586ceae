// The Ogg decoder's record and its transport slots: play and stop, pause, seek requests, volume,
// pan and the equaliser, which lives inside the decoding rather than in the host's sample chain.
// All playback state is module-global: one Ogg file plays at a time.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#include "ogg_decoder.h"
#include "ogg_play_state.h"

namespace {

constexpr UINT kSourcePausedControl = 0x80000;
constexpr int kEqOn = 1, kEqOff = 2;
OggDecoderState* g_state = new (std::nothrow) OggDecoderState();  // lives as long as the program

void Nothing() {}
void NothingWithWindow(HWND) {}

void PauseSource(InputSource* source, DWORD paused) {
  if (source && source->Control) source->Control(source, kSourcePausedControl, &paused, sizeof paused, nullptr, 0);
}

void Init() {
  if (!g_state) return;
  OggDecoderState& s = OggState();
  s.paused = false;
  s.lengthMs = 0;
  std::memset(&s.file, 0, sizeof s.file);
  s.rate = s.channels = 0;
  s.stopFlag = 0;
  s.thread = nullptr;
  s.seekTargetMs = -1;
  s.decodedMs = 0;
  s.pcmBuffer = nullptr;
  s.bufferBytes = s.readStep = s.maxLatency = 0;
  s.currentSection = -1;
  s.streamOpen = false;
  s.eqMode = 0;
  std::memset(s.eqBands, 0, sizeof s.eqBands);
  s.eqPreamp = 0;
}

int IsOurFile(LPCWSTR) { return 0; }

void Pause() {
  OggState().paused = true;
  if (OggDecoder.outModule) OggDecoder.outModule->Pause(1);
  PauseSource(OggDecoder.source, 1);
}

void UnPause() {
  PauseSource(OggDecoder.source, 0);
  OggState().paused = false;
  if (OggDecoder.outModule) OggDecoder.outModule->Pause(0);
}

int IsPaused() { return OggState().paused ? 1 : 0; }

int GetLength() { return OggState().lengthMs; }

int GetOutputTime() {
  OutputModule* out = OggDecoder.outModule;
  const int decoded = OggState().decodedMs;
  if (!out) return decoded;
  return out->GetOutputTime() - out->GetWrittenTime() + decoded;
}

void SetOutputTime(int ms) { OggState().seekTargetMs = ms; }

void SetVolume(int volume) {
  if (OggDecoder.outModule) OggDecoder.outModule->SetVolume(volume);
}

void SetPan(int pan) {
  if (OggDecoder.outModule) OggDecoder.outModule->SetPan(pan);
}

// Kept for the next Play as well, so that a change made while a file plays outlives it.
void ApplyEqualizer(int enable, const signed char* bands, signed char preamp) {
  OggDecoderState& s = OggState();
  s.eqMode = enable;
  std::memcpy(s.eqBands, bands, sizeof s.eqBands);
  s.eqPreamp = preamp;
  if (s.streamOpen) VorbisEqSet(&s.file.eq, enable, kOggEqBands, bands, preamp);
}

int SetEqualizer(int mode, int, const signed char* values, int, int) {
  if ((mode != kEqOn && mode != kEqOff) || !values) return 0;
  ApplyEqualizer(mode == kEqOn ? 1 : 0, values, values[kOggEqBands]);
  return 1;
}

int Command(UINT, void*, UINT, void*, UINT) { return -1; }

// The thread sees the stop flag between reads and in its output waits; the wait has no bound.
void Stop() {
  OggDecoderState& s = OggState();
  InputSource* source = OggDecoder.source;
  if (s.thread) {
    s.stopFlag = 1;
    WaitForSingleObject(s.thread, INFINITE);
    CloseHandle(s.thread);
    s.thread = nullptr;
    {
      CSectionLock hold(s.fileLock);  // a title asked of the playing file meanwhile sees none
      s.streamOpen = false;
      ClearVorbisFile(&s.file);
    }
    if (source) source->Close(source);
  }
  std::free(s.pcmBuffer);
  s.pcmBuffer = nullptr;
  s.paused = false;
  if (OggDecoder.outModule) OggDecoder.outModule->Close();
  if (OggDecoder.HostVisDeinit) OggDecoder.HostVisDeinit();
}

int Fail(LPCWSTR message) {
  if (message) OutputDebugStringW(message);
  return -1;
}

int Play(LPCWSTR path) {
  InputSource* source = OggDecoder.source;
  OutputModule* out = OggDecoder.outModule;
  if (!path || !source || !out || !g_state) return -1;
  OggDecoderState& s = OggState();
  if (s.thread) Stop();  // the transport normally stops first; a second Play must not leak the first
  if (source->Open(source, path) != 0) return Fail(u"Input Open error\r\n");
  // The word tells the transport about the file that plays; titles and tags read of other files
  // meanwhile leave it alone.
  OggDecoder.flags = (source->IsSeekable(source) ? DEC_FLAG_SEEKABLE : 0) |
                     ((source->flags & INPUT_SOURCE_FLAG_LIVE) ? DEC_FLAG_LIVE : 0);
  auto undo = [&](LPCWSTR message) {
    ClearVorbisFile(&s.file);
    std::free(s.pcmBuffer);
    s.pcmBuffer = nullptr;
    source->Close(source);
    return Fail(message);
  };
  if (OpenVorbisFile(&s.file, source) != 0) {
    source->Close(source);
    return Fail(u"ov_open_callbacks error\r\n");
  }
  // A source that cannot seek has no known length: 0, as for every decoder, never Tremor's error.
  const long long length = VorbisFileLengthMs(&s.file);
  s.lengthMs = length < 0 ? 0 : length == 0 ? 1000 : static_cast<int>(std::min<long long>(length, INT_MAX));
  s.paused = false;
  s.decodedMs = 0;
  s.seekTargetMs = -1;
  const vorbis_info* info = ov_info(&s.file.vf, -1);
  if (!info) return undo(nullptr);
  s.rate = static_cast<int>(info->rate);
  s.channels = info->channels;
  const long bitrate = VorbisFileBitrate(&s.file);
  if (s.channels < 1 || s.channels > 2) return undo(nullptr);
  s.readStep = s.channels * 8192;
  s.bufferBytes = OggBufferBytes(bitrate, s.channels);
  s.currentSection = -1;
  s.pcmBuffer = static_cast<BYTE*>(std::malloc(2 * static_cast<size_t>(s.bufferBytes)));
  if (!s.pcmBuffer) return undo(u"pcmout == NULL\r\n");
  s.maxLatency = out->Open(s.rate, s.channels, 16);
  if (s.maxLatency < 0) return undo(u"iMaxLatency < 0\r\n");
  out->SetVolume(OUTPUT_STORED_VALUE);
  out->SetPan(OUTPUT_STORED_VALUE);
  s.streamOpen = true;
  VorbisEqSet(&s.file.eq, s.eqMode, kOggEqBands, s.eqBands, s.eqPreamp);
  if (OggDecoder.HostStatusUpdate) OggDecoder.HostStatusUpdate(static_cast<int>(bitrate / 1000), s.rate / 1000, s.channels);
  if (OggDecoder.HostVisInit)
    OggDecoder.HostVisInit(static_cast<int>(s.maxLatency * 1000ULL / (2ULL * s.channels * static_cast<unsigned>(s.rate))),
                           s.rate);
  if (OggDecoder.HostVisSetInfo) OggDecoder.HostVisSetInfo(s.rate, s.channels);
  s.stopFlag = 0;
  s.thread = CreateThread(nullptr, 0, OggDecodeThread, &s.stopFlag, 0, nullptr);
  if (!s.thread) {
    s.streamOpen = false;
    out->Close();
    return undo(nullptr);
  }
  return 0;
}

LONG Slot19() { return static_cast<LONG>(0x8C0F1004); }

}  // namespace

OggDecoderState& OggState() { return *g_state; }

int OggBufferBytes(long bitrate, int channels) {
  const long long c = channels;
  if (bitrate <= 0) return static_cast<int>(c * 49152);
  if (bitrate <= 98304) return static_cast<int>(c * 32768);
  if (bitrate >= 327680) return static_cast<int>(c * 65536);
  const long long k = bitrate / 1024;
  const long long s = c * 32768 + ((k - 96) * c * 32768) / 224;
  const long long step = c * 2048;
  return static_cast<int>(s - s % step + step);
}

DecModule OggDecoder = {
    DEC_MODULE_VERSION, u"Kestrane Tremor OGG Decoder", nullptr, nullptr, u"*.OGG", DEC_FLAG_SEEKABLE,
    NothingWithWindow, NothingWithWindow, Init, Nothing, IsOurFile, OggGetFileInfo, Play, Pause, UnPause, IsPaused,
    Stop, GetLength, GetOutputTime, SetOutputTime, SetVolume, SetPan, SetEqualizer, Command, ReadVorbisComments,
    Slot19, nullptr, nullptr, {}, nullptr, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
