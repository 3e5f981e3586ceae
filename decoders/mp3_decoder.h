// The MP3 decoder module on libmad: one static record, registered by the player core like every
// decoder, plus the first-frame scan and the Xing/LAME header that title, length and stream
// information requests use without playing.
#pragma once
#include <mad.h>
#include <windows.h>

#include "core/interface/dec_module.h"

extern DecModule Mp3Decoder;

struct XingInfo {
  DWORD isXing;  // 1 for "Xing", 0 for "Info"
  DWORD flags;   // bit 0 frames, bit 1 bytes, bit 2 table of contents, bit 3 quality
  DWORD frames;
  DWORD bytes;
  BYTE toc[100];
  DWORD quality;
  DWORD replayGainPresent;
  BYTE replayGain[8];  // peak (float when the LAME version allows), radio and audiophile gains
  float referenceOffset;
};

#define XING_FRAMES 0x1
#define XING_BYTES 0x2
#define XING_TOC 0x4

BOOL ParseXingHeader(XingInfo* info, struct mad_bitptr bits, unsigned bitCount);
// Finds the first trusted audio frame. `playSource`: the record's own source, whose decoding then
// starts from the bytes already read. `audioStart` (may be null): where that frame lies behind the
// ID3v2 tag, so that junk and a Xing/Info frame before it count as no audio.
BOOL ScanMp3Stream(InputSource* source, struct mad_header* header, XingInfo* xing, DWORD* id3Size, bool playSource,
                   DWORD* audioStart = nullptr);
// Length in ms from the frame count of a Xing header, else from the audio's bytes and bit rate.
int Mp3LengthMs(const struct mad_header& header, const XingInfo& xing, DWORD audioBytes);
void FillMp3StreamInfo(const struct mad_header& header, const XingInfo& xing, IMediaItem* item, DWORD audioBytes);
int GetContentTypeFromRegistry(InputSource* source, LPCWSTR path, GUID* type, GUID* subtype);
