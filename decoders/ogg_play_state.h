// OggDecoderState: the module-global state of the one Ogg file that plays. The transport's thread
// and the decode thread share it; the words they hand each other are atomic, and the file object
// is touched by the decode thread alone, except under fileLock.
#pragma once
#include <windows.h>

#include <atomic>

#include "core/common/critical_section.h"
#include "ogg_vorbis_file.h"

constexpr int kOggEqBands = 10;

struct OggDecoderState {
  std::atomic<bool> paused;
  int lengthMs;
  OggVorbisFile file;
  CCriticalSection fileLock;  // the decode thread's reads against a title asked of the playing file
  int rate, channels;         // of the link the output is open for
  std::atomic<int> stopFlag;
  HANDLE thread;              // null when none runs
  std::atomic<int> seekTargetMs;  // -1 when no seek is pending
  std::atomic<int> decodedMs;     // the position of the data handed to the output so far
  BYTE* pcmBuffer;
  int bufferBytes;  // usable; the allocation is twice this
  int readStep;     // bytes asked of each ov_read
  int maxLatency;
  int currentSection;
  std::atomic<bool> streamOpen;  // from Play to Stop: equaliser changes go straight into the decoding
  int eqMode;
  signed char eqBands[kOggEqBands];
  signed char eqPreamp;
};

OggDecoderState& OggState();

// The decode thread's body; its parameter is the state's stopFlag.
DWORD WINAPI OggDecodeThread(LPVOID stopFlag);
// The buffer size in bytes for a bit rate (bits per second) and channel count.
int OggBufferBytes(long bitrate, int channels);
// The module's GetFileInfo slot: a display title and length for a path, or for the playing file
// when the path is empty.
void OggGetFileInfo(InputSource* source, LPCWSTR path, LPWSTR title, int* lengthMs);
