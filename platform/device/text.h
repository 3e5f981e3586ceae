// UTF-16 <-> UTF-8 and simple case mapping for the layer's own use: host paths are UTF-8,
// device text is UTF-16, and lookups on the device ignore case the way the platform does.
#pragma once
#include <string>
#include <string_view>

namespace zb {

// Ill-formed input (lone surrogates, bad UTF-8) becomes U+FFFD; nothing is dropped silently.
// illFormed, when given, tells whether any byte of the input had to be replaced.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text, bool* illFormed = nullptr);

inline bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Simple one-to-one case mapping over the BMP (no expansions such as U+00DF to "SS").
char16_t ToUpper(char16_t c);
char16_t ToLower(char16_t c);

// Character classes as bit masks valued like the platform's ctype masks, so they pass straight
// through iswctype; surrogate halves belong to no class.
enum CharClassBits : unsigned {
  kClassUpper = 0x1,
  kClassLower = 0x2,
  kClassDigit = 0x4,
  kClassSpace = 0x8,
  kClassPunct = 0x10,
  kClassControl = 0x20,
  kClassBlank = 0x40,
  kClassHexDigit = 0x80,
  kClassAlpha = 0x100,
};
unsigned CharClass(char16_t c);

// Ordinal compare after upper-casing both sides: <0, 0, >0.
int CompareNoCase(std::u16string_view a, std::u16string_view b);
inline bool EqualNoCase(std::u16string_view a, std::u16string_view b) { return CompareNoCase(a, b) == 0; }

}  // namespace zb
