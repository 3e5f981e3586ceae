// The code pages the layer converts: what each one is, and how its bytes become UTF-16 and back.
// The API entry points (codepage_api.cpp) check arguments; the codecs here only convert.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace zb {

enum class CodePageKind { kWindows1252, kUtf8, kIconv };

struct CodePage {
  UINT number;
  CodePageKind kind;
  const char* iconvName;          // the host's name for the page (kIconv only)
  BYTE leadBytes[MAX_LEADBYTES];  // inclusive lead-byte ranges in pairs, 0-terminated (DBCS only)
};

// Resolves CP_ACP, CP_THREAD_ACP, CP_OEMCP and CP_MACCP first; nullptr for a page the layer
// does not convert (also when the host lacks the converter for it).
const CodePage* FindCodePage(UINT codePage);
bool IsLeadByte(const CodePage& page, BYTE b);

enum class Conversion {
  kExact,
  kReplaced,     // ill-formed bytes became U+FFFD, or missing characters the default char
  kUnavailable,  // the host could not open a converter for the page
};

Conversion Decode(const CodePage& page, std::string_view bytes, std::u16string& out);
// defaultChar stands in for each character the page lacks (a surrogate pair is one character).
Conversion Encode(const CodePage& page, std::u16string_view text, std::string_view defaultChar, std::string& out);

// The two codecs beside UTF-8.
Conversion Decode1252(std::string_view bytes, std::u16string& out);
Conversion Encode1252(std::u16string_view text, std::string_view defaultChar, std::string& out);
Conversion DecodeIconv(const CodePage& page, std::string_view bytes, std::u16string& out);
Conversion EncodeIconv(const CodePage& page, std::u16string_view text, std::string_view defaultChar, std::string& out);
bool IconvAvailable(const CodePage& page);

// Narrow text in the ANSI code page, as the C runtime's narrow arguments carry it. WideToAnsi
// returns false when a character had no byte form and became '?'.
std::u16string AnsiToWide(std::string_view bytes);
bool WideToAnsi(std::u16string_view text, std::string& out);

}  // namespace zb
