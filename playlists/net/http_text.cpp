// URL, date and Base64 texts of the HTTP client (see http_text.h).
#include "http_text.h"

#include "core/common/text_search.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr char kHttp[] = "http://";
constexpr size_t kHttpLength = sizeof kHttp - 1;
constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool KeptAsIs(unsigned char c) { return std::isalnum(c) || std::strchr("-_.*", c) != nullptr; }

}  // namespace

int UrlEncode(char* output, const char* url) {
  const size_t length = std::strlen(url);
  const char* slash = length > kHttpLength ? std::strchr(url + kHttpLength, '/') : nullptr;
  if (!slash) {
    if (output) std::memcpy(output, url, length + 1);
    return static_cast<int>(length + 1);
  }
  static constexpr char kDigits[] = "0123456789ABCDEF";
  int size = static_cast<int>(slash - url);
  if (output) std::memcpy(output, url, static_cast<size_t>(size));
  // The '/' that opens the path is the first byte of the part that is encoded.
  for (const char* p = slash; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (KeptAsIs(c) || (c == '%' && HexValue(p[1]) >= 0 && HexValue(p[2]) >= 0)) {
      if (output) output[size] = static_cast<char>(c);
      ++size;
    } else if (c == ' ') {
      if (output) output[size] = '+';
      ++size;
    } else {
      if (output) {
        output[size] = '%';
        output[size + 1] = kDigits[c >> 4];
        output[size + 2] = kDigits[c & 15];
      }
      size += 3;
    }
  }
  if (output) output[size] = 0;
  return size + 1;
}

void UrlDecode(char* output, const char* input) {
  char* out = output;
  for (const char* p = input; *p; ++p) {
    if (*p == '+') {
      *out++ = ' ';
    } else if (*p == '%' && HexValue(p[1]) >= 0 && HexValue(p[2]) >= 0) {
      *out++ = static_cast<char>(HexValue(p[1]) * 16 + HexValue(p[2]));
      p += 2;
    } else {
      *out++ = *p;
    }
  }
  *out = 0;
}

int ParseHttpDate(const char* text, int length, FILETIME* out) {
  if (!text || !out || length < 29) return 0;
  char copy[64] = {};
  std::memcpy(copy, text, static_cast<size_t>(length < 63 ? length : 63));
  char weekday[4] = {}, month[4] = {};
  int day = 0, year = 0, hour = 0, minute = 0, second = 0;
  if (std::sscanf(copy, "%3s, %d %3s %d %d:%d:%d GMT", weekday, &day, month, &year, &hour, &minute, &second) != 7)
    return 0;
  int monthNumber = 0;
  for (int m = 0; m < 12; ++m)
    if (StrFindNoCase(month, kMonths[m]) == month) monthNumber = m + 1;
  if (!monthNumber) return 0;
  SYSTEMTIME time = {static_cast<WORD>(year), static_cast<WORD>(monthNumber), 0, static_cast<WORD>(day),
                     static_cast<WORD>(hour), static_cast<WORD>(minute), static_cast<WORD>(second), 0};
  return SystemTimeToFileTime(&time, out) ? 1 : 0;
}

int Base64Encode(const char* input, char* output) {
  const size_t length = std::strlen(input);
  if (!output) return static_cast<int>(length * 4 / 3 + 4);
  const unsigned char* in = reinterpret_cast<const unsigned char*>(input);
  char* out = output;
  for (size_t i = 0; i < length; i += 3) {
    const unsigned a = in[i], b = i + 1 < length ? in[i + 1] : 0, c = i + 2 < length ? in[i + 2] : 0;
    *out++ = kBase64[a >> 2];
    *out++ = kBase64[((a & 3) << 4) | (b >> 4)];
    *out++ = i + 1 < length ? kBase64[((b & 15) << 2) | (c >> 6)] : kBase64[64];
    *out++ = i + 2 < length ? kBase64[c & 63] : kBase64[64];
  }
  *out = 0;
  return 0;
}

void CopyStringBounded(LPWSTR destination, int capacity, LPCWSTR source) {
  if (!destination || capacity < 1) return;
  int n = 0;
  for (; source && source[n] && n < capacity - 1; ++n) destination[n] = source[n];
  destination[n] = 0;
}

bool HasControlBytes(const char* text) {
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
    if (*p < 0x20 || *p == 0x7F) return true;
  return false;
}

bool ResolveLocation(const char* base, const char* location, char* out, int size) {
  if (!location || !*location || HasControlBytes(location)) return false;
  std::string_view where(location);
  std::string resolved;
  const char* scheme = std::strstr(location, "://");
  if (scheme && scheme - location < 10) {
    resolved = where;  // absolute: "https" and the like are refused by the request itself
  } else if (where.substr(0, 2) == "//") {
    resolved = std::string("http:") + location;
  } else {
    std::string_view from(base);
    const size_t hostStart = from.find("://") == std::string_view::npos ? 0 : from.find("://") + 3;
    const size_t pathStart = from.find('/', hostStart);
    const std::string_view origin = from.substr(0, pathStart);
    if (where[0] == '/') {
      resolved = std::string(origin) + location;
    } else {
      const std::string_view path = pathStart == std::string_view::npos ? "/" : from.substr(pathStart);
      // The query is no part of the folder the location is beside.
      const std::string_view folder = path.substr(0, path.substr(0, path.find('?')).rfind('/') + 1);
      resolved = std::string(origin) + std::string(folder) + location;
    }
  }
  if (resolved.size() + 1 > static_cast<size_t>(size)) return false;
  std::memcpy(out, resolved.c_str(), resolved.size() + 1);
  return true;
}

void CopyTextBounded(char* destination, const char* source, size_t size) {
  if (!destination || !size) return;
  size_t n = 0;
  for (; source && source[n] && n + 1 < size; ++n) destination[n] = source[n];
  destination[n] = 0;
}
