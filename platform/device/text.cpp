// Text helpers shared by every room. Case mapping follows the host C library's Unicode tables
// in the C.UTF-8 locale, which agree with the platform's simple mappings for the BMP.
#include "device/text.h"

#include <cerrno>
#include <clocale>
#include <cwctype>
#include <locale.h>

namespace zb {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

locale_t UnicodeLocale() {
  static locale_t loc = [] {
    int saved = errno;  // a first call must not leave errno changed under a caller (wcstol ...)
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (!l) l = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
    errno = saved;
    return l;
  }();
  return loc;
}

}  // namespace

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::u16string FromUtf8(std::string_view text, bool* illFormed) {
  if (illFormed) *illFormed = false;
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++i;
      continue;
    }
    int extra = b >= 0xF0 && b <= 0xF4 ? 3 : b >= 0xE0 ? (b <= 0xEF ? 2 : -1) : b >= 0xC2 ? 1 : -1;
    char32_t c = extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    size_t j = i + 1;
    bool ok = extra > 0;
    for (int k = 0; ok && k < extra; ++k, ++j) {
      if (j >= text.size() || (static_cast<unsigned char>(text[j]) & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      c = (c << 6) | (static_cast<unsigned char>(text[j]) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are ill-formed.
    if (ok && ((extra == 2 && c < 0x800) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF)) ||
               (c >= 0xD800 && c <= 0xDFFF))) {
      ok = false;
    }
    if (!ok) {
      if (illFormed) *illFormed = true;
      out += static_cast<char16_t>(kReplacement);
      i = (j > i + 1) ? j : i + 1;  // skip the lead byte and any continuation bytes it had
      continue;
    }
    AppendUtf16(out, c);
    i = j;
  }
  return out;
}

char16_t ToUpper(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
  if (c >= 0xD800 && c <= 0xDFFF) return c;
  wint_t u = towupper_l(static_cast<wint_t>(c), UnicodeLocale());
  return u < 0x10000 ? static_cast<char16_t>(u) : c;
}

char16_t ToLower(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
  if (c >= 0xD800 && c <= 0xDFFF) return c;
  wint_t l = towlower_l(static_cast<wint_t>(c), UnicodeLocale());
  return l < 0x10000 ? static_cast<char16_t>(l) : c;
}

unsigned CharClass(char16_t c) {
  if (c >= 0xD800 && c <= 0xDFFF) return 0;
  static constexpr struct {
    unsigned bit;
    int (*test)(wint_t, locale_t);
  } kClasses[] = {
      {kClassUpper, iswupper_l}, {kClassLower, iswlower_l}, {kClassDigit, iswdigit_l},
      {kClassSpace, iswspace_l}, {kClassPunct, iswpunct_l}, {kClassControl, iswcntrl_l},
      {kClassBlank, iswblank_l}, {kClassHexDigit, iswxdigit_l}, {kClassAlpha, iswalpha_l},
  };
  unsigned bits = 0;
  for (const auto& k : kClasses) {
    if (k.test(static_cast<wint_t>(c), UnicodeLocale())) bits |= k.bit;
  }
  return bits;
}

int CompareNoCase(std::u16string_view a, std::u16string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    char16_t x = ToUpper(a[i]), y = ToUpper(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace zb
