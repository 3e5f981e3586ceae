// Windows Media attribute names and values as tags: the name table, and one attribute's value by
// its ASF type, text values appended to what the tag holds.
#pragma once
#include <windows.h>

#include <string>

#include "item_writer.h"
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
HRESULT SetAsfAttribute(ItemWriter& out, LPCWSTR name, const BYTE* value, DWORD type, DWORD length);
// Unknown attributes and frames, when the settings keep them: name, type and data at the next
// free instance.
HRESULT StoreUnhandledTag(ItemWriter& out, const std::u16string& name, DWORD type, const BYTE* data, size_t size);
