// What the WAVE decoder tests build and bind: RIFF files chunk by chunk (odd sizes, sizes that
// lie, chunks after "data"), ".snd" files, tone samples, and an output module that keeps every
// byte it is given so a play can be compared with the samples it should have made.
#pragma once
#include <mmreg.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "core/interface/output_module.h"

namespace zbtest {

using Bytes = std::vector<uint8_t>;

void PutLe(Bytes* out, uint32_t value, int bytes);
void PutBe(Bytes* out, uint32_t value, int bytes);

// A "fmt " chunk's body; block align and byte rate follow from the rest unless given.
Bytes FormatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, int blockAlign = -1,
                 int64_t bytesPerSecond = -1);

class RiffBuilder {
 public:
  // A chunk with its pad byte; `statedSize` (when not -1) is written instead of the body's size.
  RiffBuilder& Chunk(const std::string& id, const Bytes& body, int64_t statedSize = -1);
  RiffBuilder& Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    return Chunk("fmt ", FormatBody(tag, channels, rate, bits));
  }
  RiffBuilder& Data(const Bytes& samples, int64_t statedSize = -1) { return Chunk("data", samples, statedSize); }
  // "LIST" of a type with sub-chunks of text (each zero-terminated, padded).
  RiffBuilder& List(const std::string& type, const std::vector<std::pair<std::string, std::string>>& texts);
  RiffBuilder& Raw(const Bytes& bytes);
  // "RIFF", the size of what follows, "WAVE", then the chunks.
  Bytes Build() const;
  const Bytes& Chunks() const { return chunks_; }

 private:
  Bytes chunks_;
};

// A ".snd" file: the 24-byte header and the samples.
Bytes SndFile(uint32_t encoding, uint32_t rate, uint32_t channels, const Bytes& samples, uint32_t statedSize = 0,
              uint32_t dataOffset = 24);

// Seeded 16-bit stereo-or-mono samples, little-endian.
Bytes Samples16(int frames, int channels, uint32_t seed);

// An output module that keeps what it is written; its CanWrite answers `room`.
struct CapturedOutput {
  std::atomic<int> room{1 << 20};
  std::atomic<int> opens{0}, closes{0}, canWriteCalls{0};
  int rate = 0, channels = 0, bits = 0;
  std::mutex lock;
  Bytes written;
  std::vector<int> flushedAt;
  std::vector<int> pauses;  // each Pause call's argument
  Bytes Written() {
    std::lock_guard<std::mutex> hold(lock);
    return written;
  }
};

// Binds the capture as the record's output for the object's life (one at a time).
class CaptureOutput {
 public:
  explicit CaptureOutput(OutputModule** slot);
  ~CaptureOutput();
  CapturedOutput& operator*() { return *captured_; }
  CapturedOutput* operator->() { return captured_; }

 private:
  OutputModule** slot_;
  OutputModule* saved_;
  CapturedOutput* captured_;
};

}  // namespace zbtest
