// The ID3 tag reader: ID3v1 and ID3v2 (2.2, 2.3, 2.4) into a media item, quick titles for the
// MP3 decoder, and the picture, lyrics and replay-gain routines other readers share.
#pragma once
#include <windows.h>

#include "core/interface/input_source.h"
#include "item_writer.h"
#include "mediaitem.h"

#define ID3_TITLE_CHARS 128

// The generic reader with TAGREAD_ID3: 0 when a tag was read (or the source cannot seek),
// 1 when there is none, E_FAIL for bad arguments or a failed open.
LONG ReadId3Tags(InputSource* source, LPCWSTR path, IMediaItem* item);
// Title and artist of an open source for display (ID3_TITLE_CHARS each); the source is left at
// its start.
void ReadId3v1Tag(InputSource* source, LPWSTR title, LPWSTR artist);
// Title and artist from an ID3v2 tag somewhere in the buffer; the number of frames used.
int ReadId3v2Quick(const BYTE* buffer, int length, LPWSTR title, LPWSTR artist);
// All frames of the first ID3v2 tag in the buffer into the item; `filePos` is the buffer's
// position in the file, or -1 (pictures are then stored whole). Non-zero when frames were found.
BOOL ParseId3v2Frames(const BYTE* buffer, int length, long long filePos, IMediaItem* item);

// One picture into the first artwork instance at or after *instance (set to the one used).
// `type` is the text encoding, or the picture type in the Windows Media form.
HRESULT ReadPictureFrame(int type, const BYTE* data, size_t length, ItemWriter& out, bool shortForm, bool asfForm,
                         DWORD* instance, bool embed, long long filePos);
// A picture left in the file: offset, size, CRC-32 and its first 16 bytes.
void RecordEmbeddedPicture(IMediaItem* item, DWORD instance, const BYTE* data, size_t size, long long filePos);
DWORD PictureCrc32(const BYTE* data, size_t size);
HRESULT ReadSyncedLyrics(ItemWriter& out, DWORD tag, const BYTE* data, size_t length, int encoding, bool asfForm);
// The two 16-bit gain fields of a LAME or RGAD record (MSB first) and its peak.
void ReadLameReplayGain(float peak, const BYTE gainFields[4], IMediaItem* item);
