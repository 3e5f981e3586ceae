// The media library runs the generic tag readers that a decoder's stream information names;
// this hands it ours.
#include "tag_readers.h"

#include "ape_tag.h"
#include "asf_attributes.h"
#include "asf_reader.h"
#include "file_source.h"
#include "id3_reader.h"
#include "ogg_decoder.h"
#include "tag_reading.h"
#include "tagnames.h"
#include "wave_decoder.h"

void InstallTagReaders() {
  TagReaders readers{};
  readers.ReadId3Tags = ReadId3Tags;
  readers.ReadApeTag = ReadApeTag;
  readers.ReadAsfAttributes = ReadAsfAttributes;
  readers.ReadVorbisComments = ReadVorbisComments;
  readers.ReadWaveInfo = ReadWaveInfo;
  readers.IsNetworkPath = IsNetworkPath;
  SetTagReaders(&readers);
  SetAttributeNameLookup(GetAsfAttributeName);
}
