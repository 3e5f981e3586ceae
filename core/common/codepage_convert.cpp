// Code-page front ends. The device's own conversion functions do not all know UTF-8, and tag
// readers and text files need a raw UTF-16 copy, so both are done here, bounded by the output.
#include "core/common/codepage_convert.h"

#include <cstring>

#include "skin/utf8_codec.h"

namespace {

// Stores one code point as one or two UTF-16 units when it fits; false when it does not.
bool PutUnit(DWORD c, WCHAR* out, int outSize, int* written) {
  const int units = c >= 0x10000 ? 2 : 1;
  if (out && outSize > 0) {
    if (*written + units > outSize) return false;
    if (units == 2) {
      out[*written] = static_cast<WCHAR>(0xD800 + ((c - 0x10000) >> 10));
      out[*written + 1] = static_cast<WCHAR>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out[*written] = static_cast<WCHAR>(c);
    }
  }
  *written += units;
  return true;
}

int FromUtf8(const BYTE* in, size_t size, WCHAR* out, int outSize) {
  int written = 0;
  size_t at = 0;
  while (at < size) {
    int length = 0, missing = 0;
    const int left = size - at > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size - at);
    DWORD c = DecodeUtf8Char(in + at, left, &length, &missing);
    if (length == 0) break;  // a sequence cut short by the end of the input
    if (!PutUnit(c, out, outSize, &written)) break;
    at += length;
  }
  return written;
}

int FromRawUtf16(const BYTE* in, size_t size, WCHAR* out, int outSize) {
  int written = 0;
  for (size_t at = 0; at + 1 < size; at += 2) {
    if (!PutUnit(static_cast<WCHAR>(in[at] | in[at + 1] << 8), out, outSize, &written)) break;
  }
  return written;
}

}  // namespace

int WideToMultiByte(UINT codePage, DWORD flags, const WCHAR* text, int length, char* out, int outSize,
                    const char* defaultChar, BOOL* usedDefault) {
  if (codePage != CP_UTF8) {
    return WideCharToMultiByte(codePage, flags, text, length, out, outSize, defaultChar, usedDefault);
  }
  if (!text || length < -1) return 0;
  const WCHAR* in = text;
  const WCHAR* end = text + (length == -1 ? wcslen(text) + 1 : static_cast<size_t>(length));
  if (!out || outSize <= 0) return EncodeUtf8(&in, end, nullptr, nullptr, TRUE);
  BYTE* dest = reinterpret_cast<BYTE*>(out);
  return EncodeUtf8(&in, end, &dest, dest + outSize, TRUE);
}

int MultiByteToWide(UINT codePage, DWORD flags, const char* text, int length, WCHAR* out, int outSize) {
  if (codePage != CP_UTF8 && codePage != kRawUtf16CodePage) {
    return MultiByteToWideChar(codePage, flags, text, length, out, outSize);
  }
  if (!text || length < -1) return 0;
  const BYTE* in = reinterpret_cast<const BYTE*>(text);
  if (codePage == CP_UTF8) {
    return FromUtf8(in, length == -1 ? std::strlen(text) + 1 : static_cast<size_t>(length), out, outSize);
  }
  // With -1 the input ends after the first zero byte, as for narrow text; an odd last byte is
  // half a character and is left out.
  return FromRawUtf16(in, length == -1 ? std::strlen(text) + 1 : static_cast<size_t>(length), out, outSize);
}
