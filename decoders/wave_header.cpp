// The header walk of Play: a ".snd" header, or the RIFF chunks up to "data" with the last
// "fmt " before it; then the format's repairs, so that a zero in the header cannot stall or
// divide the decoding.
#include "wave_header.h"

#include <algorithm>
#include <cstring>

#include "wave_chunks.h"

namespace {

bool LengthKnown(DWORD fileLength) { return fileLength != 0 && fileLength != 0xFFFFFFFF; }

bool ReadSnd(InputSource* source, DWORD fileLength, const BYTE first[8], WaveHeader* header) {
  BYTE rest[16];
  if (source->Read(source, rest, 1, 16) != 16) return false;
  const DWORD offset = BigEndian32(first + 4);
  DWORD size = BigEndian32(rest);
  WAVEFORMATEX format{};
  SndToWaveFormat(&format, BigEndian32(rest + 4), BigEndian32(rest + 8), BigEndian32(rest + 12));
  StoreFormat(format, &header->format);
  if (LengthKnown(fileLength)) {
    if (offset > fileLength) return false;
    size = std::min(size, fileLength - offset);  // 0xFFFFFFFF, "to the end", among them
  }
  if (source->Seek(source, INPUT_SEEK_SET, static_cast<int>(offset)) != 0) return false;
  header->snd = true;
  header->dataStart = offset;
  header->dataLength = size;
  return true;
}

bool ReadRiff(InputSource* source, DWORD fileLength, WaveHeader* header) {
  BYTE form[4];
  if (source->Read(source, form, 1, 4) != 4 || std::memcmp(form, "WAVE", 4) != 0) return false;
  CRiffWalk walk(source, fileLength);
  RiffChunk chunk;
  for (;;) {
    if (!walk.Next(&chunk)) return false;
    if (ChunkIs(chunk, "fmt ")) {
      if (!ReadFormatChunk(walk, chunk, &header->format)) return false;
      WAVEFORMATEX format = FormatOf(header->format);
      RecomputePcmFormat(&format);
      StoreFormat(format, &header->format);
    } else if (ChunkIs(chunk, "data")) {
      header->dataStart = chunk.dataStart;
      header->dataLength = walk.Held(chunk);
      return source->Seek(source, INPUT_SEEK_SET, static_cast<int>(chunk.dataStart)) == 0;
    }
    if (!walk.Skip(chunk)) return false;  // no "data" before the file ends
  }
}

// Channels and rate first, so that PCM's block align and byte rate follow from the repaired ones.
void Repair(std::vector<BYTE>* bytes) {
  WAVEFORMATEX f = FormatOf(*bytes);
  if (f.nChannels == 0) f.nChannels = 1;
  if (f.nSamplesPerSec == 0) f.nSamplesPerSec = 8000;
  RecomputePcmFormat(&f);
  if (f.nBlockAlign == 0) f.nBlockAlign = 1;
  if (f.nAvgBytesPerSec == 0)
    f.nAvgBytesPerSec =
        static_cast<DWORD>(static_cast<ULONGLONG>(f.wBitsPerSample) * f.nChannels * f.nSamplesPerSec / 8);
  StoreFormat(f, bytes);
}

}  // namespace

bool ReadWaveHeader(InputSource* source, DWORD fileLength, WaveHeader* header) {
  *header = WaveHeader{};
  BYTE first[8];
  if (source->Read(source, first, 1, 8) != 8) return false;
  bool read = false;
  if (BigEndian32(first) == SND_MAGIC)
    read = ReadSnd(source, fileLength, first, header);
  else if (std::memcmp(first, "RIFF", 4) == 0)
    read = ReadRiff(source, fileLength, header);
  if (!read || header->format.empty()) return false;
  // A stated size of 0 means the samples run to the end of the file, or of a stream.
  if (header->dataLength == 0) {
    const DWORD end = LengthKnown(fileLength) ? fileLength : 0xFFFFFFFF;
    header->dataLength = end > header->dataStart ? end - header->dataStart : 0;
  }
  Repair(&header->format);
  return true;
}
