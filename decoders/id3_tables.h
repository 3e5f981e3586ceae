// The ID3 vocabulary: the frame ids that map straight to library tags, and the ID3v1 genres.
#pragma once
#include <windows.h>

#include <string>

struct Id3FrameTag {
  const char* id;       // ID3v2.3/2.4
  const char* shortId;  // ID3v2.2, or null
  DWORD tag;
};

// The first row whose id (4 characters) or short id (3 characters, version 2) matches.
const Id3FrameTag* FindId3Frame(const char* id, bool version2);
// The name of an ID3v1 genre number; empty for numbers outside the list.
std::u16string GetId3v1GenreName(int index);
