// The ASF header reader: a quick scan for title, author, bit rate and duration, and the full
// reader (TAGREAD_ASF) that turns the header's objects and attributes into tags.
#pragma once
#include <windows.h>

#include "asf_objects.h"
#include "core/interface/input_source.h"
#include "mediaitem.h"

// 0 when the file has an ASF header, 1 when not (or the source cannot seek), E_FAIL for bad
// arguments or a failed open.
LONG ReadAsfAttributes(InputSource* source, LPCWSTR path, IMediaItem* item);
// The objects of a header (`data` holds the header after its 30-byte head) into the item.
void ReadAsfHeaderObjects(const BYTE* data, size_t size, DWORD objects, IMediaItem* item);
// Title and author (chars each, may be null), maximum bit rate and duration in ms; 1 when a
// title or author was found.
int ScanAsfHeader(InputSource* source, LPCWSTR path, LPWSTR title, LPWSTR author, size_t chars, DWORD* bitrate,
                  DWORD* durationMs);
