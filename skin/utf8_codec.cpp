// The UTF-8 core. Reading stays lenient (a byte outside a well-formed sequence is taken as a
// character of its own, as older files hold them) but only real continuation bytes continue a
// sequence, so no ASCII character is ever swallowed; writing emits well-formed UTF-8 only.
#include "skin/utf8_codec.h"

namespace {

constexpr DWORD kReplacement = 0xFFFD;
constexpr DWORD kBullet = 0x2022;  // older files hold it as the single byte 0x95
constexpr BYTE kLegacyBullet = 0x95;

bool IsHighSurrogate(DWORD c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(DWORD c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsContinuation(BYTE b) { return (b & 0xC0) == 0x80; }

int Utf8Size(DWORD c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

void PutUtf8(DWORD c, BYTE* out) {
  switch (Utf8Size(c)) {
    case 1:
      out[0] = static_cast<BYTE>(c);
      break;
    case 2:
      out[0] = static_cast<BYTE>(0xC0 | (c >> 6));
      out[1] = static_cast<BYTE>(0x80 | (c & 0x3F));
      break;
    case 3:
      out[0] = static_cast<BYTE>(0xE0 | (c >> 12));
      out[1] = static_cast<BYTE>(0x80 | ((c >> 6) & 0x3F));
      out[2] = static_cast<BYTE>(0x80 | (c & 0x3F));
      break;
    default:
      out[0] = static_cast<BYTE>(0xF0 | (c >> 18));
      out[1] = static_cast<BYTE>(0x80 | ((c >> 12) & 0x3F));
      out[2] = static_cast<BYTE>(0x80 | ((c >> 6) & 0x3F));
      out[3] = static_cast<BYTE>(0x80 | (c & 0x3F));
      break;
  }
}

// Shape of a multi-byte sequence by its lead byte: its size, the bits the lead keeps, and the
// smallest code point it may carry (anything below is an over-long form and not accepted).
struct Lead {
  BYTE mask;
  BYTE value;
  int size;
  DWORD minimum;
};

constexpr Lead kLeads[] = {
    {0xE0, 0xC0, 2, 0x80},
    {0xF0, 0xE0, 3, 0x800},
    {0xF8, 0xF0, 4, 0x10000},
};

DWORD SingleByte(BYTE b, int* length) {
  *length = 1;
  return b == kLegacyBullet ? kBullet : b;
}

}  // namespace

int EncodeUtf8(const WCHAR** source, const WCHAR* sourceEnd, BYTE** destination, const BYTE* destinationEnd,
               BOOL lenient) {
  const WCHAR* in = *source;
  BYTE* out = destination ? *destination : nullptr;
  int produced = 0;
  while (in < sourceEnd) {
    DWORD c = *in;
    int used = 1;
    if (IsHighSurrogate(c) && in + 1 < sourceEnd && IsLowSurrogate(in[1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (in[1] - 0xDC00);
      used = 2;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      if (!lenient) break;
      c = kReplacement;
    }
    int size = Utf8Size(c);
    if (out) {
      if (destinationEnd - out < size) break;
      PutUtf8(c, out);
      out += size;
    }
    produced += size;
    in += used;
  }
  *source = in;
  if (destination) *destination = out;
  return produced;
}

DWORD DecodeUtf8Char(const BYTE* bytes, int left, int* length, int* missing) {
  *missing = 0;
  if (left <= 0) {
    *length = 0;
    return 0;
  }
  const BYTE lead = bytes[0];
  for (const Lead& shape : kLeads) {
    if ((lead & shape.mask) != shape.value) continue;
    const int have = left < shape.size ? left : shape.size;
    for (int i = 1; i < have; ++i) {
      if (!IsContinuation(bytes[i])) return SingleByte(lead, length);
    }
    if (left < shape.size) {
      *length = 0;
      *missing = left;
      return 0;
    }
    DWORD c = lead & static_cast<BYTE>(~shape.mask);
    for (int i = 1; i < shape.size; ++i) c = (c << 6) | (bytes[i] & 0x3F);
    if (c < shape.minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return SingleByte(lead, length);
    *length = shape.size;
    return c;
  }
  return SingleByte(lead, length);
}
