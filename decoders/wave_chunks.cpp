// The RIFF chunk walk and the "fmt " chunk. Every size a file states is held against the file's
// length before anything is read, allocated or skipped by it.
#include "wave_chunks.h"

#include <algorithm>
#include <cstring>

namespace {

// A format's extra size is 16 bits: no real "fmt " chunk is longer than this.
constexpr DWORD kMostFormatBytes = sizeof(WAVEFORMATEX) + 0xFFFF;

}  // namespace

CRiffWalk::CRiffWalk(InputSource* source, DWORD fileLength) : source_(source), fileLength_(fileLength) {}

bool CRiffWalk::Next(RiffChunk* chunk) {
  BYTE header[8];
  const int at = source_->Tell(source_);
  if (source_->Read(source_, header, 1, 8) != 8) return false;
  std::memcpy(chunk->id, header, 4);
  chunk->size = LittleEndian32(header + 4);
  chunk->dataStart = static_cast<DWORD>(at) + 8;
  return true;
}

bool CRiffWalk::Skip(const RiffChunk& chunk) {
  const ULONGLONG end = static_cast<ULONGLONG>(chunk.dataStart) + chunk.size + (chunk.size & 1);
  if (end > 0xFFFFFFFFull || (LengthKnown() && end > fileLength_)) return false;
  return source_->Seek(source_, INPUT_SEEK_SET, static_cast<int>(static_cast<DWORD>(end))) == 0;
}

DWORD CRiffWalk::Held(const RiffChunk& chunk) const {
  if (!LengthKnown()) return chunk.size;
  if (chunk.dataStart >= fileLength_) return 0;
  return std::min(chunk.size, fileLength_ - chunk.dataStart);
}

bool CRiffWalk::Read(const RiffChunk& chunk, DWORD most, std::vector<BYTE>* data) {
  const DWORD want = std::min(most, chunk.size);
  const DWORD held = std::min(want, Held(chunk));
  data->assign(held, 0);
  if (held == 0) return want == 0;
  const int got = source_->Read(source_, data->data(), 1, static_cast<int>(held));
  data->resize(got > 0 ? static_cast<size_t>(got) : 0);
  return data->size() == want;
}

bool ChunkIs(const RiffChunk& chunk, const char id[4]) { return std::memcmp(chunk.id, id, 4) == 0; }

DWORD LittleEndian32(const BYTE* p) {
  return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 |
         static_cast<DWORD>(p[3]) << 24;
}

DWORD BigEndian32(const BYTE* p) {
  return static_cast<DWORD>(p[3]) | static_cast<DWORD>(p[2]) << 8 | static_cast<DWORD>(p[1]) << 16 |
         static_cast<DWORD>(p[0]) << 24;
}

bool ReadFormatChunk(CRiffWalk& walk, const RiffChunk& chunk, std::vector<BYTE>* format) {
  const bool whole = walk.Read(chunk, kMostFormatBytes, format) && chunk.size <= kMostFormatBytes;
  const size_t present = format->size();
  if (format->size() < sizeof(WAVEFORMATEX)) format->resize(sizeof(WAVEFORMATEX), 0);
  WAVEFORMATEX header = FormatOf(*format);
  const size_t extra = present > sizeof(WAVEFORMATEX) ? present - sizeof(WAVEFORMATEX) : 0;
  if (header.cbSize > extra) header.cbSize = static_cast<WORD>(extra);
  StoreFormat(header, format);
  format->resize(sizeof(WAVEFORMATEX) + header.cbSize);
  return whole;
}

WAVEFORMATEX FormatOf(const std::vector<BYTE>& format) {
  WAVEFORMATEX header{};
  std::memcpy(&header, format.data(), std::min(format.size(), sizeof header));
  return header;
}

void StoreFormat(const WAVEFORMATEX& header, std::vector<BYTE>* format) {
  if (format->size() < sizeof header) format->resize(sizeof header, 0);
  std::memcpy(format->data(), &header, sizeof header);
}

void RecomputePcmFormat(WAVEFORMATEX* format) {
  if (format->wFormatTag != WAVE_FORMAT_PCM) return;
  format->nBlockAlign = static_cast<WORD>(static_cast<DWORD>(format->wBitsPerSample) * format->nChannels / 8);
  format->nAvgBytesPerSec = static_cast<DWORD>(static_cast<ULONGLONG>(format->nSamplesPerSec) * format->wBitsPerSample *
                                               format->nChannels / 8);
}
