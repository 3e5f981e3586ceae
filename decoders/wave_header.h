// What the WAVE decoder learns from a file's header before it plays: the source format and
// where its samples lie. Shared by Play and the fuzz target over the header walk.
#pragma once
#include <windows.h>

#include <vector>

#include "core/interface/input_source.h"

struct WaveHeader {
  std::vector<BYTE> format;  // WAVEFORMATEX and its extra bytes, repaired for playing
  DWORD dataStart = 0;
  DWORD dataLength = 0;  // never past the file's end when its length is known
  bool snd = false;      // Sun/NeXT: samples in that file's order (SndSamplesToWave)
};

// Reads the header of an open source from its start and leaves the source at the first sample.
// False for a file that cannot play: an unreadable or unknown header, no "WAVE" form, a short
// "fmt " chunk, no format, no "data" chunk, a data offset past the end.
bool ReadWaveHeader(InputSource* source, DWORD fileLength, WaveHeader* header);
