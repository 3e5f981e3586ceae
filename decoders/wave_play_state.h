// WaveDecoderState: the one WAVE file that plays. The transport's thread writes the stop, pause
// and seek words and the decode thread reads them, so those are atomic; the rest is set by Play
// before the thread starts.
#pragma once
#include <mmreg.h>
#include <windows.h>

#include <atomic>

#include "wave_converter.h"

struct WaveDecoderState {
  int driverCount;            // ACM codecs that know the file's tag (or PCM), from Play's check
  CWaveConverter* converter;  // in use from Play to the thread's end
  DWORD blockBytes;           // source bytes read and converted per step
  DWORD outBlockBytes;        // what the converter makes of them
  std::atomic<bool> stopFlag;
  HANDLE thread;
  WAVEFORMATEX outFormat;
  WAVEFORMATEX sourceFormat;
  bool snd;  // a ".snd" file: samples turned into WAVE's order before converting
  std::atomic<bool> paused;
  DWORD dataStart;
  DWORD trailingBytes;  // file length - data length - data start
  DWORD dataLength;
  ULONGLONG readPos;  // file offset of the next byte to read
  std::atomic<bool> seekPending;
  std::atomic<int> seekTargetMs;
  std::atomic<int> decodedMs;  // position of the PCM handed out so far
  WCHAR path[MAX_PATH];
};

WaveDecoderState& WaveState();
// Clears everything; only Init does, since a seek asked for before Play stays pending.
void ResetWaveState();

DWORD WINAPI WaveDecodeThread(LPVOID);
// Play's choice of the PCM format the output gets for a source format.
// `source` is the whole format, extra bytes included, as ACM reads it.
WAVEFORMATEX ChooseWaveOutputFormat(const WAVEFORMATEX* source);
