// Fuzz target: any bytes as an Ogg file through the Ogg module's open and first packets: Tremor's
// open over the stream callbacks, length and bit rate, a few reads with the equaliser at its most,
// and the title and Vorbis-comment reader over the same bytes.
#include <cstddef>
#include <cstdint>

#include "media_item.h"
#include "memory_source.h"
#include "ogg_decoder.h"
#include "ogg_vorbis_file.h"

namespace {

constexpr int kFirstReads = 6;

}  // namespace

// Debian's Tremor loses its list of stream serial numbers when the headers of a link fail to read
// (a few bytes, inside ov_open_callbacks, out of reach of the caller): not a fault of ours to report.
extern "C" const char* __lsan_default_suppressions() { return "leak:_fetch_headers\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  InputSource source = MakeMemorySource(data, size);
  OggVorbisFile file;
  if (OpenVorbisFile(&file, &source) == 0) {
    VorbisFileLengthMs(&file);
    VorbisFileBitrate(&file);
    const signed char loud[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    VorbisEqSet(&file.eq, 1, 10, loud, 0);
    static char pcm[2 * 8192 * 2];
    int section = 0;
    for (int i = 0; i < kFirstReads; ++i) {
      EqualizedDecode equalized(&file);
      if (ov_read(&file.vf, pcm, sizeof pcm / 2, &section) == 0) break;
    }
    ClearVorbisFile(&file);
  }
  CMediaItem* item = CreateMediaItem();
  source = MakeMemorySource(data, size);
  ReadVorbisComments(&source, u"\\fuzz.ogg", item);
  item->Release();
  source = MakeMemorySource(data, size);
  WCHAR title[MAX_PATH];
  int length = 0;
  OggDecoder.GetFileInfo(&source, u"\\fuzz.ogg", title, &length);
  return 0;
}
