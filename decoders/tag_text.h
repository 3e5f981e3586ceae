// The text forms tags come in (8-bit in the tag code page, UTF-16 with or without a byte-order
// mark, UTF-8), turned into UTF-16. A failed decode gives no text, never a guess.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

enum Id3Encoding : int {
  ID3_LATIN1 = 0,
  ID3_UTF16_BOM = 1,
  ID3_UTF16_BE = 2,
  ID3_UTF8 = 3,
  ID3_UTF16_LE = 17,  // already-decoded data of our own
};

// The whole byte range decoded (a value that holds several zero-separated strings keeps its
// zeros); nullopt when the encoding's rules refuse the bytes.
std::optional<std::u16string> DecodeTagBytes(int encoding, const BYTE* data, size_t length);
// The text up to its first terminator.
std::optional<std::u16string> DecodeId3Text(int encoding, const BYTE* data, size_t length);
// Zero-separated values joined with ";", empty values dropped.
std::optional<std::u16string> DecodeId3TextValues(int encoding, const BYTE* data, size_t length);
// 8-bit text in the code page of the setting "tagDefEncoding", else the device's ANSI page.
std::u16string AnsiToWide(const BYTE* data, size_t length);
std::u16string Utf8ToWide(const BYTE* data, size_t length);
// Bytes of one terminator in an encoding: 2 for the UTF-16 forms.
size_t TerminatorSize(int encoding);
// Offset of the terminator at or after `from` (its bytes aligned to its size), or `length`.
size_t FindTerminator(int encoding, const BYTE* data, size_t length, size_t from = 0);
// Copies text into a fixed buffer of `chars` characters, cut to fit and always terminated.
void CopyCut(LPWSTR out, size_t chars, const std::u16string& text);
// Trailing blanks and zeros cut off (the fixed fields of ID3v1).
std::u16string TrimFixedField(const BYTE* data, size_t length);
