// Reading RIFF WAVE and Sun/NeXT ".snd" files: the chunk walk that the WAVE decoder's Play,
// its file information and the tag reader share, bounded by the file so that no stated size
// can send a reader past its end, and the ".snd" header's formats and sample order.
#pragma once
#include <mmreg.h>
#include <windows.h>

#include <vector>

#include "core/interface/input_source.h"

struct RiffChunk {
  char id[4];
  DWORD size;       // as the file states it
  DWORD dataStart;  // file offset of its first data byte
};

class CRiffWalk {
 public:
  // `fileLength` 0 or 0xFFFFFFFF: not known, and only reads bound the walk.
  CRiffWalk(InputSource* source, DWORD fileLength);
  // The chunk header at the current position; false when none can be read.
  bool Next(RiffChunk* chunk);
  // To the chunk's end and its pad byte; false when that lies past the file's end or the seek fails.
  bool Skip(const RiffChunk& chunk);
  // Of the chunk's stated data, the bytes the file holds.
  DWORD Held(const RiffChunk& chunk) const;
  // Right after Next: up to `most` bytes of the chunk's data, never more than the file holds;
  // false when fewer than that came.
  bool Read(const RiffChunk& chunk, DWORD most, std::vector<BYTE>* data);
  bool LengthKnown() const { return fileLength_ != 0 && fileLength_ != 0xFFFFFFFF; }

 private:
  InputSource* source_;
  DWORD fileLength_;
};

bool ChunkIs(const RiffChunk& chunk, const char id[4]);
// A file's 32-bit words: RIFF is little-endian, ".snd" big-endian.
DWORD LittleEndian32(const BYTE* p);
DWORD BigEndian32(const BYTE* p);

// A "fmt " chunk as a whole WAVEFORMATEX with its extra bytes: at least 18 bytes, zero-filled
// where the chunk is shorter, the extra size cut to the bytes present. False when the chunk's
// stated size did not come whole.
bool ReadFormatChunk(CRiffWalk& walk, const RiffChunk& chunk, std::vector<BYTE>* format);
// The header copy a format buffer begins with.
WAVEFORMATEX FormatOf(const std::vector<BYTE>& format);
void StoreFormat(const WAVEFORMATEX& header, std::vector<BYTE>* format);
// PCM's block align and bytes per second follow from rate, bits and channels, whatever the file says.
void RecomputePcmFormat(WAVEFORMATEX* format);

// The ".snd" header's encoding as a WAVE format: 1 when the encoding is known. Channels, rate and
// an extra size of 0 are always written.
int SndToWaveFormat(WAVEFORMATEX* format, DWORD encoding, DWORD sampleRate, DWORD channels);
// ".snd" linear samples are big-endian and 8-bit ones signed; WAVE's are little-endian and
// unsigned. Turns whole samples of a block into WAVE's order in place.
void SndSamplesToWave(BYTE* data, DWORD bytes, const WAVEFORMATEX& format);

#define SND_MAGIC 0x2E736E64  // ".snd"
#define SND_HEADER_BYTES 24
