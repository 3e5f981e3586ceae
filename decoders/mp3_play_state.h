// Mp3PlayState: the module-global state of the one MP3 file that plays. The main thread and the
// decode thread share it; the words they hand each other (stop, pause, seek target, position)
// are atomic.
#pragma once
#include <mad.h>
#include <windows.h>

#include <atomic>

#include "id3_reader.h"
#include "mp3_decoder.h"

constexpr int kMp3InputSize = 4096;
constexpr int kMp3PcmArea = 92160;
constexpr int kMp3PcmSize = 8 * kMp3PcmArea;

struct Mp3PlayState {
  HANDLE thread;
  std::atomic<bool> stop;
  WCHAR path[262];
  DWORD dataSize;
  int lengthMs;
  int bitrate;
  int channels;
  int sampleRate;
  int frameSamples;  // per channel in each frame: 384, 576 or 1152
  std::atomic<int> positionMs;
  std::atomic<bool> paused;
  std::atomic<int> seekTarget;  // ms, -1 for none
  DWORD id3Size;
  DWORD audioStart;  // the first audio frame, from the end of the ID3v2 tag
  XingInfo xing;
  BYTE input[kMp3InputSize + MAD_BUFFER_GUARD];
  int inputFill;
  BYTE pcm[kMp3PcmSize];
  int pcmFill;
  WCHAR title[ID3_TITLE_CHARS];
  WCHAR artist[ID3_TITLE_CHARS];
};

Mp3PlayState& PlayState();
// Resets everything but what is kept across plays.
void ResetPlayState();

// The decode thread's body.
DWORD WINAPI Mp3DecodeThread(LPVOID);
// The equaliser's subband gains from the kept bands (28 fraction bits), and whether it is on.
const LONG* EqualizerGains();
bool EqualizerOn();
void ComputeEqGains(bool enable, const signed char* bands, signed char preamp);
void RecomputeEqGains();
