// Windows-1252, the device's ANSI page, by our own table: the host's converter refuses the five
// bytes the page leaves undefined, where the device maps them to U+0081 and friends both ways,
// so every byte survives a round trip.
#include <array>

#include "coredll/codepage.h"
#include "device/text.h"

namespace zb {
namespace {

// 0x80-0x9F; everything else is Latin-1.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

}  // namespace

Conversion Decode1252(std::string_view bytes, std::u16string& out) {
  out.reserve(out.size() + bytes.size());
  for (char ch : bytes) {
    auto b = static_cast<unsigned char>(ch);
    out += (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : static_cast<char16_t>(b);
  }
  return Conversion::kExact;
}

Conversion Encode1252(std::u16string_view text, std::string_view defaultChar, std::string& out) {
  Conversion result = Conversion::kExact;
  out.reserve(out.size() + text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out += static_cast<char>(c);
      continue;
    }
    size_t k = 0;
    while (k < kHigh.size() && kHigh[k] != c) ++k;
    if (k < kHigh.size()) {
      out += static_cast<char>(0x80 + k);
      continue;
    }
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
    out += defaultChar;
    result = Conversion::kReplaced;
  }
  return result;
}

}  // namespace zb
