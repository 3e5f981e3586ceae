// Fuzz target: any bytes as an MP3 file for the first-frame scan and the title and length
// query, which read tags, Xing headers and frames from it.
#include <cstddef>
#include <cstdint>

#include "mp3_decoder.h"
#include "memory_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  InputSource source = MakeMemorySource(data, size);
  mad_header header;
  XingInfo xing;
  DWORD id3 = 0;
  if (ScanMp3Stream(&source, &header, &xing, &id3, false)) {
    if (Mp3LengthMs(header, xing, static_cast<DWORD>(size)) < 0 && xing.frames == 0) __builtin_trap();
  }
  return 0;
}
