// Integer text conversions of the C runtime (wcstol, wcstoul, _wtoi, _itow ...) in the device's
// 32-bit long: out-of-range text clamps and sets ERANGE rather than wrapping.
#include "coredll/wcrt_number.h"

#include <windows.h>

#include <cerrno>
#include <climits>

namespace zb {
namespace {

int DigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'z') return c - u'a' + 10;
  if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
  return 99;
}

}  // namespace

ParsedInteger ParseInteger(const char16_t* text, size_t limit, int base) {
  ParsedInteger r;
  size_t i = 0;
  if (i < limit && (text[i] == u'+' || text[i] == u'-')) r.negative = text[i++] == u'-';
  bool hasPrefix = i + 1 < limit && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X');
  bool prefixHasDigit = hasPrefix && i + 2 < limit && DigitValue(text[i + 2]) < 16;
  if (base == 0) base = hasPrefix && prefixHasDigit ? 16 : (i < limit && text[i] == u'0') ? 8 : 10;
  if (base == 16 && prefixHasDigit) i += 2;
  if (base < 2 || base > 36) return {};
  size_t first = i;
  for (; i < limit && DigitValue(text[i]) < base; ++i) {
    uint64_t d = static_cast<uint64_t>(DigitValue(text[i]));
    if (r.magnitude > (UINT64_MAX - d) / static_cast<uint64_t>(base)) {
      r.overflow = true;
      r.magnitude = UINT64_MAX;
    } else if (!r.overflow) {
      r.magnitude = r.magnitude * base + d;
    }
  }
  if (i == first) return {};
  r.length = i;
  return r;
}

}  // namespace zb

namespace {

const char16_t* SkipSpace(const char16_t* s) {
  while (iswspace(*s)) ++s;
  return s;
}

// The number at s after white space, with end set past it (or to s when there is none).
zb::ParsedInteger ReadNumber(const char16_t* s, char16_t** end, int base) {
  zb::ParsedInteger n;
  if (base == 1 || base < 0 || base > 36) {
    errno = EINVAL;
  } else {
    const char16_t* start = SkipSpace(s);
    n = zb::ParseInteger(start, SIZE_MAX, base);
    if (n.length) s = start + n.length;
  }
  if (end) *end = const_cast<char16_t*>(s);
  return n;
}

char16_t* Digits(uint64_t magnitude, bool negative, char16_t* buffer, int radix) {
  if (radix < 2 || radix > 36) {
    buffer[0] = 0;
    return buffer;
  }
  char16_t reversed[72];
  size_t n = 0;
  do {
    int d = static_cast<int>(magnitude % radix);
    reversed[n++] = static_cast<char16_t>(d < 10 ? u'0' + d : u'a' + d - 10);
    magnitude /= radix;
  } while (magnitude);
  char16_t* p = buffer;
  if (negative) *p++ = u'-';
  while (n) *p++ = reversed[--n];
  *p = 0;
  return buffer;
}

}  // namespace

LONG wcstol(const char16_t* s, char16_t** end, int base) {
  zb::ParsedInteger n = ReadNumber(s, end, base);
  uint64_t limit = n.negative ? uint64_t{1} << 31 : INT32_MAX;
  if (n.overflow || n.magnitude > limit) {
    errno = ERANGE;
    return n.negative ? INT32_MIN : INT32_MAX;
  }
  return n.negative ? static_cast<LONG>(0 - n.magnitude) : static_cast<LONG>(n.magnitude);
}

ULONG wcstoul(const char16_t* s, char16_t** end, int base) {
  zb::ParsedInteger n = ReadNumber(s, end, base);
  if (n.overflow || n.magnitude > UINT32_MAX) {
    errno = ERANGE;
    return UINT32_MAX;
  }
  // As in C, "-1" is the negation in the unsigned type.
  return static_cast<ULONG>(n.negative ? 0 - n.magnitude : n.magnitude);
}

int _wtoi(const char16_t* s) { return wcstol(s, nullptr, 10); }
LONG _wtol(const char16_t* s) { return wcstol(s, nullptr, 10); }

// Only base 10 shows a sign; other radixes show the value's two's-complement bits.
char16_t* _itow(int value, char16_t* buffer, int radix) {
  bool negative = radix == 10 && value < 0;
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(static_cast<int64_t>(value)) : static_cast<uint32_t>(value);
  return Digits(magnitude, negative, buffer, radix);
}

char16_t* _ltow(LONG value, char16_t* buffer, int radix) { return _itow(value, buffer, radix); }

char16_t* _ultow(ULONG value, char16_t* buffer, int radix) { return Digits(value, false, buffer, radix); }
