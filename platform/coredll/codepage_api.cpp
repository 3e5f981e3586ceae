// MultiByteToWideChar and WideCharToMultiByte: the platform's argument checks, length rules
// (-1 = through the terminator, 0 output = size query) and error codes around the codecs.
#include <climits>
#include <cstring>
#include <string>

#include "coredll/codepage.h"
#include "device/text.h"

namespace {

int Fail(DWORD error) {
  SetLastError(error);
  return 0;
}

// The whole result or nothing: a too-small buffer gets no partial text.
template <class C>
int CopyOut(const std::basic_string<C>& text, C* out, int outLength) {
  if (text.size() > static_cast<size_t>(INT_MAX)) return Fail(ERROR_ARITHMETIC_OVERFLOW);
  int needed = static_cast<int>(text.size());
  if (outLength == 0) return needed;
  if (needed > outLength) return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(out, text.data(), text.size() * sizeof(C));
  return needed;
}

bool BadLengths(const void* in, int inLength, const void* out, int outLength) {
  return !in || inLength == 0 || inLength < -1 || outLength < 0 || (!out && outLength != 0) ||
         (outLength != 0 && in == out);
}

constexpr DWORD kMbFlags = MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS;
constexpr DWORD kWcFlags = WC_DISCARDNS | WC_SEPCHARS | WC_DEFAULTCHAR | WC_COMPOSITECHECK | WC_NO_BEST_FIT_CHARS;

}  // namespace

extern "C" int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int multiByteLength,
                                          LPWSTR wide, int wideLength) {
  if (BadLengths(multiByte, multiByteLength, wide, wideLength)) return Fail(ERROR_INVALID_PARAMETER);
  const zb::CodePage* page = zb::FindCodePage(codePage);
  if (!page) return Fail(ERROR_INVALID_PARAMETER);
  DWORD allowed = page->kind == zb::CodePageKind::kUtf8 ? MB_ERR_INVALID_CHARS : kMbFlags;
  if ((flags & ~allowed) || (flags & (MB_PRECOMPOSED | MB_COMPOSITE)) == (MB_PRECOMPOSED | MB_COMPOSITE)) {
    return Fail(ERROR_INVALID_FLAGS);
  }
  size_t length = multiByteLength == -1 ? std::strlen(multiByte) + 1 : static_cast<size_t>(multiByteLength);
  std::u16string text;
  zb::Conversion result = zb::Decode(*page, {multiByte, length}, text);
  if (result == zb::Conversion::kUnavailable) return Fail(ERROR_INVALID_PARAMETER);
  if (result == zb::Conversion::kReplaced && (flags & MB_ERR_INVALID_CHARS)) {
    return Fail(ERROR_NO_UNICODE_TRANSLATION);
  }
  return CopyOut(text, wide, wideLength);
}

extern "C" int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR multiByte,
                                          int multiByteLength, LPCSTR defaultChar, LPBOOL usedDefaultChar) {
  if (BadLengths(wide, wideLength, multiByte, multiByteLength)) return Fail(ERROR_INVALID_PARAMETER);
  const zb::CodePage* page = zb::FindCodePage(codePage);
  if (!page) return Fail(ERROR_INVALID_PARAMETER);
  std::string standIn = "?";
  if (page->kind == zb::CodePageKind::kUtf8) {
    // UTF-8 has every character, so asking about stand-ins is a caller error.
    if (defaultChar || usedDefaultChar) return Fail(ERROR_INVALID_PARAMETER);
    if (flags) return Fail(ERROR_INVALID_FLAGS);
  } else {
    if (flags & ~kWcFlags) return Fail(ERROR_INVALID_FLAGS);
    if (defaultChar) {
      standIn.assign(1, defaultChar[0]);
      if (zb::IsLeadByte(*page, static_cast<BYTE>(defaultChar[0])) && defaultChar[1]) standIn += defaultChar[1];
    }
  }
  size_t length = wideLength == -1 ? wcslen(wide) + 1 : static_cast<size_t>(wideLength);
  std::string bytes;
  zb::Conversion result = zb::Encode(*page, {wide, length}, standIn, bytes);
  if (result == zb::Conversion::kUnavailable) return Fail(ERROR_INVALID_PARAMETER);
  if (usedDefaultChar) *usedDefaultChar = result == zb::Conversion::kReplaced;
  return CopyOut(bytes, multiByte, multiByteLength);
}
