// Picking attribute values out of tag-shaped lines (<tag name="value" ...>), as the playlist
// reader does for the entries of XML-like playlists.
#pragma once
#include <windows.h>

// A condition: the tag must have attribute `name` whose value starts with `prefix` (no case).
struct TagCondition {
  const WCHAR* name;
  const WCHAR* prefix;
};

// The first tag named `tagName` (no case) that meets every condition and has `attributeName`:
// returns a pointer into text at the opening quote of that attribute's value, or null.
const WCHAR* ReadTagAttribute(const WCHAR* text, const WCHAR* tagName, const TagCondition* conditions,
                              int conditionCount, const WCHAR* attributeName);

// From an attribute's name: past the "=" and the white space behind it, at the value; null at
// the end of the text or of the tag.
const WCHAR* SkipToAttributeValue(const WCHAR* p);

// From a value's opening quote: behind its closing quote (a backslash escapes a quote), or at
// the end of the text. An unquoted value ends at white space or the end of the tag.
const WCHAR* SkipQuotedValue(const WCHAR* p);
