// The WAVE decoder's record and its slots other than Play: start-up with the converter factories
// and codec plug-ins, stop, pause, seek requests, length and position, and titles with lengths
// for files that do not play. All playback state is module-global: one WAVE file plays at a time.
#include <cstring>
#include <new>

#include "source_reading.h"
#include "wave_chunks.h"
#include "wave_decoder.h"
#include "wave_play_state.h"
#include "wave_plugin.h"

int WavePlay(LPCWSTR path);

namespace {

constexpr UINT kSourcePausedControl = 0x80000;
WaveDecoderState* g_state = new (std::nothrow) WaveDecoderState();  // lives as long as the program

void NothingWithWindow(HWND) {}
int IsOurFile(LPCWSTR) { return 0; }  // the extension filter decides

void Init() {
  ResetWaveState();
  WaveState().blockBytes = 4096;
  // The factory list lives for the program's run: a second start-up adds nothing to it.
  static bool registered = false;
  if (!registered) RegisterWaveConverterFactory(CreateG711Converter);
  LoadWavePlugins();
  if (!registered) RegisterWaveConverterFactory(CreatePluginConverter);
  registered = true;
}

void Quit() { UnloadWavePlugins(); }

void PauseSource(DWORD paused) {
  InputSource* source = WaveDecoder.source;
  if (source && source->Control) source->Control(source, kSourcePausedControl, &paused, sizeof paused, nullptr, 0);
}

void Pause() {
  WaveState().paused = true;
  if (WaveDecoder.outModule) WaveDecoder.outModule->Pause(1);
  PauseSource(1);
}

void UnPause() {
  WaveState().paused = false;
  if (WaveDecoder.outModule) WaveDecoder.outModule->Pause(0);
  PauseSource(0);
}

int IsPaused() { return WaveState().paused ? 1 : 0; }

// The thread closes the stream object when it ends; a seek asked for now must not reach the
// next file.
void Stop() {
  WaveDecoderState& s = WaveState();
  s.stopFlag = true;
  if (s.thread) {
    WaitForSingleObject(s.thread, INFINITE);
    CloseHandle(s.thread);
    s.thread = nullptr;
  }
  s.seekPending = false;
  s.paused = false;
  s.decodedMs = 0;
  if (WaveDecoder.outModule) WaveDecoder.outModule->Close();
  delete s.converter;
  s.converter = nullptr;
  if (WaveDecoder.HostVisDeinit) WaveDecoder.HostVisDeinit();
}

int GetLength() {
  const WaveDecoderState& s = WaveState();
  const WAVEFORMATEX& out = s.outFormat;
  if (!s.blockBytes || !s.outBlockBytes || !out.nBlockAlign || !out.nSamplesPerSec) return 0;
  const ULONGLONG sourceBytesPerSecond =
      static_cast<ULONGLONG>(out.nBlockAlign) * out.nSamplesPerSec * s.blockBytes / s.outBlockBytes;
  if (!sourceBytesPerSecond) return 0;
  return static_cast<int>(static_cast<ULONGLONG>(s.dataLength) * 1000 / sourceBytesPerSecond);
}

int GetOutputTime() {
  const WaveDecoderState& s = WaveState();
  if (s.seekPending) return s.seekTargetMs;
  OutputModule* out = WaveDecoder.outModule;
  if (!out) return s.decodedMs;
  return out->GetOutputTime() - out->GetWrittenTime() + s.decodedMs;
}

void SetOutputTime(int ms) {
  WaveState().seekTargetMs = ms;
  WaveState().seekPending = true;
}

void SetVolume(int volume) {
  if (WaveDecoder.outModule) WaveDecoder.outModule->SetVolume(volume);
}

void SetPan(int pan) {
  if (WaveDecoder.outModule) WaveDecoder.outModule->SetPan(pan);
}

int Command(UINT, void*, UINT, void*, UINT) { return -1; }
LONG Slot19() { return static_cast<LONG>(E_FAIL); }

// The length of a file from its last "fmt " before "data": the whole file at the format's byte rate.
int FileLengthMs(InputSource* source, DWORD fileLength) {
  BYTE head[12];
  if (source->Read(source, head, 1, 12) != 12 || std::memcmp(head, "RIFF", 4) != 0 ||
      std::memcmp(head + 8, "WAVE", 4) != 0)
    return -1;
  CRiffWalk walk(source, fileLength);
  RiffChunk chunk;
  while (walk.Next(&chunk) && !ChunkIs(chunk, "data")) {
    if (ChunkIs(chunk, "fmt ")) {
      std::vector<BYTE> bytes;
      ReadFormatChunk(walk, chunk, &bytes);
      WAVEFORMATEX format = FormatOf(bytes);
      RecomputePcmFormat(&format);
      if (!format.nAvgBytesPerSec) return -1;
      return static_cast<int>(static_cast<long long>(fileLength) * 1000 / format.nAvgBytesPerSec);
    }
    if (!walk.Skip(chunk)) return -1;
  }
  return -1;
}

// The title is always the file's name; only the length comes from the file.
void GetFileInfo(InputSource* source, LPCWSTR path, LPWSTR title, int* lengthMs) {
  if (!source || !path || !path[0]) {
    if (lengthMs) *lengthMs = GetLength();
    InputSource* playing = WaveDecoder.source;
    if (title && playing && playing->GetTitle) playing->GetTitle(playing, WaveState().path, title);
    return;
  }
  if (title && source->GetTitle) source->GetTitle(source, path, title);
  if (!source->IsSeekable(source)) return;
  SingleShotOpen open(source, path);
  if (!open.ok()) return;
  const int length = FileLengthMs(source, open.length());
  if (length >= 0 && lengthMs) *lengthMs = length;
}

}  // namespace

WaveDecoderState& WaveState() { return *g_state; }

void ResetWaveState() {
  WaveDecoderState& s = *g_state;
  s.driverCount = 0;
  s.converter = nullptr;
  s.blockBytes = s.outBlockBytes = 0;
  s.stopFlag = false;
  s.thread = nullptr;
  s.outFormat = s.sourceFormat = WAVEFORMATEX{};
  s.snd = false;
  s.paused = false;
  s.dataStart = s.trailingBytes = s.dataLength = 0;
  s.readPos = 0;
  s.seekPending = false;
  s.seekTargetMs = 0;
  s.decodedMs = 0;
  s.path[0] = 0;
}

// clang-format off
DecModule WaveDecoder = {
    DEC_MODULE_VERSION, u"Kestrane WAVE Decoder", nullptr, nullptr, u"*.WAV", DEC_FLAG_SEEKABLE,
    NothingWithWindow, NothingWithWindow, Init, Quit, IsOurFile, GetFileInfo, WavePlay, Pause, UnPause, IsPaused,
    Stop, GetLength, GetOutputTime, SetOutputTime, SetVolume, SetPan, nullptr, Command, ReadWaveInfo, Slot19,
    nullptr, nullptr, {}, nullptr, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
// clang-format on
