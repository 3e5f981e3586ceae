// UTF-16 <-> UTF-8 and simple case mapping for the layer's own use: host paths are UTF-8,
// device text is UTF-16, and lookups on the device ignore case the way the platform does.
#pragma once
#include <string>
#include <string_view>

namespace zb {

// Ill-formed input (lone surrogates, bad UTF-8) becomes U+FFFD; nothing is dropped silently.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

// Simple one-to-one case mapping over the BMP (no expansions such as U+00DF to "SS").
char16_t ToUpper(char16_t c);
char16_t ToLower(char16_t c);

// Ordinal compare after upper-casing both sides: <0, 0, >0.
int CompareNoCase(std::u16string_view a, std::u16string_view b);
inline bool EqualNoCase(std::u16string_view a, std::u16string_view b) { return CompareNoCase(a, b) == 0; }

}  // namespace zb
