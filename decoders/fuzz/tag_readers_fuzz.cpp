// Fuzz target: any bytes as a whole file for the ID3, APE and ASF readers, and as a tag body for
// their parsers. Lengths in the input must never lead a reader outside it.
#include <cstddef>
#include <cstdint>

#include "ape_tag.h"
#include "asf_reader.h"
#include "id3_reader.h"
#include "media_item.h"
#include "memory_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CMediaItem* item = CreateMediaItem();
  InputSource source = MakeMemorySource(data, size);
  ReadId3Tags(&source, u"\\fuzz.mp3", item);
  source = MakeMemorySource(data, size);
  ReadApeTag(&source, u"\\fuzz.mp3", item);
  source = MakeMemorySource(data, size);
  ReadAsfAttributes(&source, u"\\fuzz.wma", item);
  ParseId3v2Frames(data, static_cast<int>(size), 0, item);
  if (size > 4) ReadApeItems(data + 4, size - 4, data[0] | data[1] << 8, 0, item);
  if (size > 4) ReadAsfHeaderObjects(data + 4, size - 4, data[0], item);
  item->Release();
  return 0;
}
