// The APE tag reader (versions 1 and 2): a tag at the end of the file, also one in front of an
// ID3v1 block, into the item's tags and its front cover.
#pragma once
#include <windows.h>

#include "core/interface/input_source.h"
#include "mediaitem.h"

#define APE_MAX_TAG (16 << 20)  // larger tags are refused before anything is read

// 0 when a tag was read or the source cannot seek; E_FAIL for a missing source, a failed open or
// no tag.
LONG ReadApeTag(InputSource* source, LPCWSTR path, IMediaItem* item);
// The items of a tag body (`count` at most) into the item; `filePos` is the body's file position.
void ReadApeItems(const BYTE* data, size_t size, DWORD count, long long filePos, IMediaItem* item);
