// Reading integers out of wide text, shared by wcstol/wcstoul and the scanner: one place decides
// what a sign, a base prefix and a run of digits are.
#pragma once
#include <cstddef>
#include <cstdint>

namespace zb {

struct ParsedInteger {
  size_t length = 0;       // units taken; 0 when there is no number
  uint64_t magnitude = 0;  // saturated at UINT64_MAX when overflow is set
  bool negative = false;
  bool overflow = false;
};

// Reads an optional sign, then for base 16 an optional "0x", for base 0 the base from the prefix
// ("0x" hexadecimal, "0" octal, else decimal), then digits; at most limit units. Leading white
// space is the caller's business.
ParsedInteger ParseInteger(const char16_t* text, size_t limit, int base);

}  // namespace zb
