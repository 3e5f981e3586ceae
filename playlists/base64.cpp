// Base64 decoding, four characters at a time. Line breaks and blanks between groups are stepped
// over, as encoders that wrap their lines put them; anything else outside the alphabet is an error.
#include "base64.h"

#include <cstring>

namespace {

int Digit(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

int Base64Decode(const char* text, BYTE* output, DWORD* decoded) {
  if (!text) return output ? -1 : 4;
  const size_t length = std::strlen(text);
  if (!output) return static_cast<int>(length * 3 / 4 + 4);
  size_t made = 0;
  unsigned group = 0;
  int digits = 0;
  bool padded = false;
  for (size_t i = 0; i < length; ++i) {
    const char c = text[i];
    if (Blank(c)) continue;
    if (c == '=') {
      padded = true;
      continue;
    }
    const int d = Digit(c);
    if (d < 0 || padded) return -1;  // nothing follows the padding
    group = group << 6 | static_cast<unsigned>(d);
    if (++digits == 4) {
      output[made++] = static_cast<BYTE>(group >> 16);
      output[made++] = static_cast<BYTE>(group >> 8);
      output[made++] = static_cast<BYTE>(group);
      group = 0;
      digits = 0;
    }
  }
  // A last group of two or three characters carries one or two bytes; one alone carries none.
  if (digits == 1) return -1;
  if (digits >= 2) output[made++] = static_cast<BYTE>(group >> (digits == 2 ? 4 : 10));
  if (digits == 3) output[made++] = static_cast<BYTE>(group >> 2);
  output[made] = 0;
  if (decoded) *decoded = static_cast<DWORD>(made);
  return 0;
}
