// Names from directory documents that become part of a URL's query: percent-encoded as UTF-8, so
// that a blank, '&', '#' or a line break in a genre or station name cannot cut or extend the
// request; and decoded again where such a name is shown as a title.
#include <string>

#include "feed_parsers.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool IsUnreserved(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

int HexValue(WCHAR c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

std::u16string PercentEncode(std::u16string_view text) {
  std::string bytes;
  if (!text.empty()) {
    const int count = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), count, nullptr, 0, nullptr, nullptr);
    if (needed > 0) {
      bytes.resize(static_cast<size_t>(needed));
      WideCharToMultiByte(CP_UTF8, 0, text.data(), count, bytes.data(), needed, nullptr, nullptr);
    }
  }
  std::u16string encoded;
  for (unsigned char c : bytes) {
    if (IsUnreserved(c)) {
      encoded += static_cast<char16_t>(c);
    } else {
      encoded += u'%';
      encoded += static_cast<char16_t>(kHex[c >> 4]);
      encoded += static_cast<char16_t>(kHex[c & 15]);
    }
  }
  return encoded;
}

std::u16string PercentDecode(std::u16string_view text) {
  std::u16string decoded;
  std::string run;  // the bytes of consecutive escapes, one UTF-8 sequence or more
  auto flush = [&] {
    if (run.empty()) return;
    const int count = static_cast<int>(run.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, run.data(), count, nullptr, 0);
    if (needed > 0) {
      const size_t at = decoded.size();
      decoded.resize(at + static_cast<size_t>(needed));
      MultiByteToWideChar(CP_UTF8, 0, run.data(), count, decoded.data() + at, needed);
    }
    run.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const int high = text[i] == u'%' && i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
    const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
    if (low >= 0) {
      run += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      flush();
      decoded += text[i];
    }
  }
  flush();
  return decoded;
}
