// Fuzz target: any bytes as an MP3 file for the first-frame scan, as a file and as a stream whose
// leading tag goes to the playing item, and for the seek map built from what the scan found.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "memory_source.h"
#include "mp3_decoder.h"
#include "mp3_seek_map.h"

namespace {

int NotSeekable(InputSource*) { return 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  InputSource source = MakeMemorySource(data, size);
  mad_header header;
  XingInfo xing;
  DWORD id3 = 0, audioStart = 0;
  if (ScanMp3Stream(&source, &header, &xing, &id3, false, &audioStart)) {
    const DWORD dataSize = id3 < size ? static_cast<DWORD>(size) - id3 : 0;
    if (audioStart > dataSize) __builtin_trap();
    const int length = Mp3LengthMs(header, xing, dataSize - audioStart);
    const double frameMs = header.samplerate ? 32.0 * MAD_NSBSAMPLES(&header) * 1000 / header.samplerate : 0;
    const Mp3SeekMap map(xing, dataSize, audioStart, length, frameMs);
    for (int step = 0; step <= 10; ++step) {
      const double byte = map.ByteOf(length / 10.0 * step);
      if (std::isnan(byte) || std::isnan(map.TimeOf(byte))) __builtin_trap();
    }
  }
  source = MakeMemorySource(data, size);
  source.IsSeekable = NotSeekable;
  ScanMp3Stream(&source, &header, &xing, &id3, true, &audioStart);
  return 0;
}
