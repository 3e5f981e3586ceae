// Filling a media item from its file through the decoder that claims the file. The decoder
// records and the tag readers belong to the decoders; this is the narrow view of them that tag
// reading uses, filled by the player core from the claiming decoder's record.
#pragma once
#include <windows.h>

#include "mediaitem.h"

struct InputSource;  // the decoders' stream object

using TagReaderFn = LONG (*)(InputSource* stream, LPCWSTR path, IMediaItem* item);

struct TagReadSource {
  InputSource* stream;  // the record's stream object in use, or null
  WORD streamVersion;   // the stream object's information reader exists from version 2
  WORD streamFlags;     // bit 0: a network source
  // The decoder's stream-information reader (null when it has none): TAGREAD_CODE plus reader
  // flags on success, a value with bit 31 set when the file cannot be read.
  TagReaderFn ReadStreamInfo;
  // The decoder's content-type query, if any: non-zero when it filled both GUIDs.
  LONG (*GetContentType)(InputSource* stream, LPCWSTR path, GUID* type, GUID* subtype);
  // The stream object's title query (a buffer of TAGREAD_TITLE_CHARS) and information reader.
  void (*GetTitle)(InputSource* stream, LPCWSTR path, LPWSTR title);
  TagReaderFn ReadInfo;
};

#define TAGREAD_CODE 0x0C0F1000
#define TAGREAD_ID3 0x01
#define TAGREAD_ASF 0x02
#define TAGREAD_VORBIS 0x04
#define TAGREAD_WAVE 0x08
#define TAGREAD_APE 0x10
#define TAGREAD_TITLE_CHARS 4096

// The decoders' generic tag readers and path test, installed by the decoders at start-up.
struct TagReaders {
  TagReaderFn ReadId3Tags;
  TagReaderFn ReadApeTag;
  TagReaderFn ReadAsfAttributes;
  TagReaderFn ReadVorbisComments;
  TagReaderFn ReadWaveInfo;
  // 1 for a network path; *notConnected (may be null) then tells whether its share is offline.
  BOOL (*IsNetworkPath)(LPCWSTR path, BOOL* notConnected);
};

// Copies the table; null removes every reader.
void SetTagReaders(const TagReaders* readers);
