// How one Vorbis stream's comment list lands in a media item: the named comments, cover art and,
// when the setting asks for them, the others as unhandled tags. Apart from the file reading so that
// any list, however it came, goes the same way (the comment fuzz target feeds it directly).
#pragma once
#include <tremor/ivorbiscodec.h>

struct IMediaItem;

void ReadVorbisCommentList(vorbis_comment* comments, IMediaItem* item);
