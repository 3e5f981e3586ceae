// The Ogg Vorbis decoder module on Tremor: one static record that the player core registers with
// its built-in decoders and binds to "*.OGG" files, and the Vorbis-comment tag reader that the
// media library also runs for any file whose decoder asks for it.
#pragma once
#include <windows.h>

#include "core/interface/dec_module.h"

struct IMediaItem;

extern DecModule OggDecoder;

// The module's stream-information slot: length, format and the Vorbis comments into the item.
// 0 when the file has comments (or the source cannot seek), 1 when it has none, E_FAIL when it
// cannot be read.
LONG ReadVorbisComments(InputSource* source, LPCWSTR path, IMediaItem* item);
