// Windows Media attribute names and values as tags: the name table, one attribute's value by its
// ASF type, and the text merging that keeps every genre.
#pragma once
#include <windows.h>

#include <string>

#include "mediaitem.h"

#define ASF_IGNORED_TAG 0x50000

enum AsfValueType : WORD {
  ASF_STRING = 0,
  ASF_BYTES = 1,
  ASF_BOOL = 2,
  ASF_DWORD = 3,
  ASF_QWORD = 4,
  ASF_WORD = 5,
  ASF_GUID = 6,
};

// The tag of an attribute name (compared without regard to case); 0 for none, ASF_IGNORED_TAG for
// attributes that are dropped.
DWORD GetAsfAttributeName(LPCWSTR name);
HRESULT SetAsfAttribute(IMediaItem* item, LPCWSTR name, const BYTE* value, DWORD type, DWORD length);
// Appends text to a text tag with a separator; Genre also keeps each value in the genre collection.
HRESULT AppendTagText(IMediaItem* item, DWORD tag, const std::u16string& text, const std::u16string& separator);
// Unknown attributes and frames, when the settings keep them: name, type and data at the next
// free instance.
HRESULT StoreUnhandledTag(IMediaItem* item, const std::u16string& name, DWORD type, const BYTE* data, size_t size);
