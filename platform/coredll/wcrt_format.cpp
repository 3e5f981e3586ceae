// The device's printf rules for wide functions: %s and %c are wide, %S %hs %C %hc narrow (in the
// ANSI page), %ls %ws wide; l is 32-bit as on the device, ll and I64 64-bit; a NULL string
// prints "(null)"; %p is the pointer in upper-case hex, zero-filled to the pointer's width.
#include "coredll/wcrt_format.h"

#include <windows.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "coredll/codepage.h"
#include "coredll/wcrt_args.h"

namespace zb {

void WideSink::Put(char16_t c, size_t count) {
  for (size_t i = length; i < capacity && i - length < count; ++i) buffer[i] = c;
  length += count;
}

void WideSink::Put(std::u16string_view text) {
  for (size_t i = 0; i < text.size() && length + i < capacity; ++i) buffer[length + i] = text[i];
  length += text.size();
}

namespace {

struct Field {
  bool left = false, plus = false, space = false, alt = false, zero = false;
  size_t width = 0;
  int precision = -1;
  ArgSize size = ArgSize::kDefault;
};

// Widths and precisions saturate rather than overflow; the sink only counts what it cannot keep.
int ReadCount(const char16_t*& p) {
  int n = 0;
  for (; *p >= u'0' && *p <= u'9'; ++p) n = n > (INT_MAX - 9) / 10 ? INT_MAX : n * 10 + (*p - u'0');
  return n;
}

const char16_t* ParseField(const char16_t* p, Field& field, Args& args) {
  for (;; ++p) {
    bool* flag = *p == u'-'   ? &field.left
                 : *p == u'+' ? &field.plus
                 : *p == u' ' ? &field.space
                 : *p == u'#' ? &field.alt
                 : *p == u'0' ? &field.zero
                              : nullptr;
    if (!flag) break;
    *flag = true;
  }
  if (*p == u'*') {
    ++p;
    int w = args.Next<int>();
    if (w < 0) field.left = true;
    field.width = w < 0 ? 0 - static_cast<size_t>(static_cast<int64_t>(w)) : static_cast<size_t>(w);
  } else {
    field.width = static_cast<size_t>(ReadCount(p));
  }
  if (*p == u'.') {
    ++p;
    if (*p == u'*') {
      ++p;
      int n = args.Next<int>();
      field.precision = n < 0 ? -1 : n;
    } else {
      field.precision = ReadCount(p);
    }
  }
  return ReadArgSize(p, field.size);
}

// prefix (sign, "0x"), zeros, body, with the field padded to its width by blanks or zeros.
void Emit(WideSink& sink, const Field& field, std::u16string_view prefix, size_t zeros, std::u16string_view body,
          bool zeroPad) {
  size_t used = prefix.size() + zeros + body.size();
  size_t pad = field.width > used ? field.width - used : 0;
  if (!field.left && !zeroPad) sink.Put(u' ', pad);
  sink.Put(prefix);
  sink.Put(u'0', zeros + (!field.left && zeroPad ? pad : 0));
  sink.Put(body);
  if (field.left) sink.Put(u' ', pad);
}

void FormatInteger(WideSink& sink, const Field& field, uint64_t magnitude, bool negative, bool isSigned, int base,
                   bool upper) {
  constexpr size_t kDigits = 24;
  char16_t digits[kDigits];
  size_t n = kDigits;
  const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  uint64_t v = magnitude;
  do {
    digits[--n] = static_cast<char16_t>(set[v % base]);
    v /= base;
  } while (v);
  if (magnitude == 0 && field.precision == 0) n = kDigits;  // "%.0d" of 0 prints no digits
  std::u16string_view body(digits + n, kDigits - n);
  std::u16string_view prefix;
  if (isSigned) {
    prefix = negative ? u"-" : field.plus ? u"+" : field.space ? u" " : u"";
  } else if (field.alt && base == 16 && magnitude) {
    prefix = upper ? u"0X" : u"0x";
  }
  size_t wanted = field.precision < 0 ? 0 : static_cast<size_t>(field.precision);
  size_t zeros = wanted > body.size() ? wanted - body.size() : 0;
  if (field.alt && base == 8 && zeros == 0 && (body.empty() || body[0] != u'0')) zeros = 1;
  Emit(sink, field, prefix, zeros, body, field.zero && field.precision < 0);
}

void FormatSigned(WideSink& sink, const Field& field, Args& args) {
  int64_t v = field.size == ArgSize::kLongLong ? args.Next<long long>()
              : field.size == ArgSize::kShort  ? static_cast<short>(args.Next<int>())
                                              : args.Next<int>();
  uint64_t magnitude = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  FormatInteger(sink, field, magnitude, v < 0, true, 10, false);
}

void FormatUnsigned(WideSink& sink, const Field& field, Args& args, int base, bool upper) {
  uint64_t v = field.size == ArgSize::kLongLong ? args.Next<unsigned long long>()
               : field.size == ArgSize::kShort  ? static_cast<unsigned short>(args.Next<unsigned>())
                                               : args.Next<unsigned>();
  FormatInteger(sink, field, v, false, false, base, upper);
}

void FormatPointer(WideSink& sink, Field field, Args& args) {
  field.precision = 2 * sizeof(void*);
  field.alt = false;
  FormatInteger(sink, field, reinterpret_cast<uintptr_t>(args.Next<void*>()), false, false, 16, true);
}

void FormatText(WideSink& sink, const Field& field, std::u16string_view text) {
  Emit(sink, field, {}, 0, text, field.zero);
}

// Narrow text is read no further than the precision allows, so it need not be terminated.
void FormatString(WideSink& sink, const Field& field, bool wide, Args& args) {
  const void* p = args.Next<const void*>();
  size_t max = field.precision < 0 ? SIZE_MAX : static_cast<size_t>(field.precision);
  if (!p) {
    FormatText(sink, field, std::u16string_view(u"(null)").substr(0, max));
  } else if (wide) {
    auto* s = static_cast<const char16_t*>(p);
    FormatText(sink, field, {s, wcsnlen(s, max)});
  } else {
    auto* s = static_cast<const char*>(p);
    FormatText(sink, field, AnsiToWide({s, max == SIZE_MAX ? std::strlen(s) : strnlen(s, max)}));
  }
}

void FormatChar(WideSink& sink, Field field, bool wide, Args& args) {
  int v = args.Next<int>();
  field.precision = -1;
  if (wide) {
    char16_t c = static_cast<char16_t>(v);
    FormatText(sink, field, {&c, 1});
  } else {
    char c = static_cast<char>(v);
    FormatText(sink, field, AnsiToWide({&c, 1}));
  }
}

bool FormatFloat(WideSink& sink, const Field& field, char16_t conv, Args& args) {
  double v = args.Next<double>();
  char format[32];
  char* f = format;
  *f++ = '%';
  if (field.plus) *f++ = '+';
  if (field.space) *f++ = ' ';
  if (field.alt) *f++ = '#';
  std::snprintf(f, sizeof format - (f - format), field.precision < 0 ? "%c" : ".%d%c",
                field.precision < 0 ? static_cast<int>(conv) : field.precision, static_cast<int>(conv));
  int n = std::snprintf(nullptr, 0, format, v);
  if (n < 0) return false;
  std::string digits(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(digits.data(), digits.size(), format, v);
  digits.resize(static_cast<size_t>(n));
  std::u16string wide(digits.begin(), digits.end());
  size_t signLength = !wide.empty() && (wide[0] == u'-' || wide[0] == u'+' || wide[0] == u' ') ? 1 : 0;
  std::u16string_view text(wide);
  Emit(sink, field, text.substr(0, signLength), 0, text.substr(signLength), field.zero && std::isfinite(v));
  return true;
}

}  // namespace

bool FormatWide(WideSink& sink, const char16_t* format, va_list args, Floats floats) {
  if (!format) return false;
  Args a(args);
  for (const char16_t* p = format; *p;) {
    if (*p != u'%') {
      sink.Put(*p++);
      continue;
    }
    Field field;
    p = ParseField(p + 1, field, a);
    char16_t conv = *p;
    if (!conv) break;  // a '%' at the very end prints nothing
    ++p;
    switch (conv) {
      case u'd':
      case u'i':
        FormatSigned(sink, field, a);
        break;
      case u'u':
        FormatUnsigned(sink, field, a, 10, false);
        break;
      case u'o':
        FormatUnsigned(sink, field, a, 8, false);
        break;
      case u'x':
      case u'X':
        FormatUnsigned(sink, field, a, 16, conv == u'X');
        break;
      case u'p':
        FormatPointer(sink, field, a);
        break;
      case u's':
      case u'S':
        FormatString(sink, field, IsWideConversion(conv, field.size), a);
        break;
      case u'c':
      case u'C':
        FormatChar(sink, field, IsWideConversion(conv, field.size), a);
        break;
      case u'e':
      case u'E':
      case u'f':
      case u'g':
      case u'G':
        if (floats == Floats::kNone) {
          a.Next<double>();
          sink.Put(conv);
        } else if (!FormatFloat(sink, field, conv, a)) {
          return false;
        }
        break;
      case u'n':
        return false;
      default:
        sink.Put(conv);  // "%%", and any letter the device does not know, print themselves
        break;
    }
  }
  return true;
}

}  // namespace zb
