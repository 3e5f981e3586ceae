// The WAVE decoder module: RIFF WAVE and Sun/NeXT ".snd" files through a converter to PCM (the
// platform's ACM codecs, PCM, A-law and mu-law, codec plug-ins), and the stream information and
// text tags those files carry.
#pragma once
#include <windows.h>

#include "core/interface/dec_module.h"
#include "mediaitem.h"

extern DecModule WaveDecoder;

// Stream properties and INFO, DISP and replay-gain chunks into the item: 0 for a WAVE or ".snd"
// file, 1 for any other file or a source that cannot seek, E_FAIL for bad arguments or a failed
// open. Never with the generic readers' base: nothing else reads the file after it.
LONG ReadWaveInfo(InputSource* source, LPCWSTR path, IMediaItem* item);
