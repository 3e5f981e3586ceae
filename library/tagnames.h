// The tag-name table: the library's vocabulary of 170 fixed rows {tag id, name}, and the three
// lookups items answer with (name of an id, id of a name, id of a tag number).
#pragma once
#include <windows.h>

#include <span>
#include <string>
#include <string_view>

struct TagNameRow {
  DWORD id;
  const char16_t* name;  // null for rows without a name
};

std::span<const TagNameRow> TagNameTable();

// Name of the first row with this id; E_FAIL when none, or when that row has no name.
HRESULT LookupTagName(DWORD id, std::u16string* name);
// Id of the first row whose name matches, case ignored, then the decoders' attribute names;
// E_FAIL when neither knows it.
HRESULT LookupTagId(std::u16string_view name, DWORD* id);
// Id of the first row with this tag number; E_FAIL for none (and so for number 0).
HRESULT LookupTagIdByNumber(DWORD number, DWORD* id);

// The decoders' lookup of Windows Media attribute names, installed with the tag readers.
using AttributeNameLookup = DWORD (*)(LPCWSTR name);
void SetAttributeNameLookup(AttributeNameLookup lookup);
