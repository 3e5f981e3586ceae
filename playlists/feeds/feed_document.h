// The text of a feed or directory document from its bytes, in the encoding the document itself
// says: a byte-order mark, else the XML declaration's encoding, else UTF-8 when the bytes are
// UTF-8, else the code page the reader would use for a text file.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

// `fallbackEncoding` is an encoding code of the text-file routine (-1 code page 1252, -2 UTF-8,
// a code page number...). False when the bytes cannot be decoded at all.
bool DecodeFeedDocument(std::string_view bytes, int fallbackEncoding, std::u16string& text);
// The whole file decoded as above; false when it cannot be read.
bool ReadFeedDocument(LPCWSTR path, int fallbackEncoding, std::u16string& text);
