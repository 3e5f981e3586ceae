// ID3v2 structure: the header, sizes, unsynchronisation and the split of a tag body into
// frames. Every length comes from the tag and is checked against the bytes really there.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#define ID3_MAX_TAG 2096128  // tags read whole into memory stay below this

struct Id3Frame {
  char id[5] = {};
  std::vector<BYTE> data;  // the frame's payload: encoding byte first for text frames
  long long filePos = -1;  // file position of data[0], -1 when unknown
  bool embed = false;      // a picture in it may be recorded by file position
};

struct Id3Header {
  size_t offset = 0;  // of "ID3" in the buffer
  int version = 4;
  BYTE flags = 0;
  DWORD size = 0;  // of the body, from the header
};

DWORD SyncsafeToInt(const BYTE* b);
DWORD BigEndianToInt(const BYTE* b, int count);
bool IsId3FrameId(const BYTE* b, int version);
// A valid header at `at`: "ID3", version up to 4, revision not 0xFF, size bytes below 0x80.
bool ReadId3Header(const BYTE* buffer, size_t length, size_t at, Id3Header* header);
// The first valid header in the buffer.
bool FindId3Header(const BYTE* buffer, size_t length, Id3Header* header);
// Removes the 0x00 that follows each 0xFF.
std::vector<BYTE> UndoUnsynchronisation(const BYTE* data, size_t length);

// The frames of a tag whose header starts the buffer; `filePos` is the file position of the
// buffer (-1 when unknown). Frames inside CHAP and CTOC are split with SplitId3v2Frames.
std::vector<Id3Frame> ReadId3v2Frames(const BYTE* buffer, size_t length, const Id3Header& header, long long filePos);
std::vector<Id3Frame> SplitId3v2Frames(const BYTE* body, size_t length, int version, long long bodyPos, bool embed,
                                       bool tagUnsync);
// 128 for "TAG", the whole tag size for an ID3v2 header (negated for a footer), else 0.
int GetId3v2Size(const BYTE* buffer, int length);
