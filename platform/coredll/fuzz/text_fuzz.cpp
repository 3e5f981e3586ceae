// Arbitrary bytes against the text parsers of the wide runtime: code-page conversions (sizes
// must agree, 1252 and well-formed UTF-8 must come back byte for byte), swscanf with every
// format the player reads, wcstol, and bounded formatting of whatever text came in.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <windows.h>

namespace {

void Require(bool ok) {
  if (!ok) std::abort();
}

constexpr UINT kPages[] = {1252, CP_UTF8, 932, 936, 949, 950, 1251, 437};

void CodePage(UINT page, const char* bytes, int length) {
  if (length == 0) return;
  int needed = MultiByteToWideChar(page, 0, bytes, length, nullptr, 0);
  Require(needed > 0);
  std::u16string wide(needed, u'\0');
  Require(MultiByteToWideChar(page, 0, bytes, length, wide.data(), needed) == needed);
  bool wellFormed = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes, length, nullptr, 0) > 0;

  BOOL usedDefault = FALSE;
  BOOL* used = page == CP_UTF8 ? nullptr : &usedDefault;
  int back = WideCharToMultiByte(page, 0, wide.data(), needed, nullptr, 0, nullptr, used);
  Require(back > 0);
  std::string narrow(back, '\0');
  Require(WideCharToMultiByte(page, 0, wide.data(), needed, narrow.data(), back, nullptr, used) == back);
  if (page == 1252 || (page == CP_UTF8 && wellFormed)) Require(narrow == std::string(bytes, length));
  if (back > 1) {
    Require(WideCharToMultiByte(page, 0, wide.data(), needed, narrow.data(), back - 1, nullptr, used) == 0);
    Require(GetLastError() == ERROR_INSUFFICIENT_BUFFER);
  }
}

void Scanning(const char16_t* text, size_t length) {
  // Every text field is at most as long as the input.
  std::u16string a(length + 1, u'\0'), b(length + 1, u'\0');
  std::string narrow(2 * length + 2, '\0');
  int i[11] = {};
  float f = 0;
  double d = 0;
  int64_t big = 0;
  auto in = [&](int result, int fields) { Require(result >= EOF && result <= fields); };
  in(swscanf(text, u"/VOLUME=%d ", &i[0]), 1);
  in(swscanf(text, u"zb-%d", &i[0]), 1);
  in(swscanf(text, u"-%d-%d.group", &i[0], &i[1]), 2);
  in(swscanf(text, u"%d.%d.%d.%d", &i[0], &i[1], &i[2], &i[3]), 4);
  in(swscanf(text, u"#%X", &i[0]), 1);
  in(swscanf(text, u"%[^,]", a.data()), 1);
  in(swscanf(text, u"%s%c", a.data(), &b[0]), 2);
  in(swscanf(text, u"%[^=]=%[^\n\r]", a.data(), b.data()), 2);
  in(swscanf(text, u"%3s, %d %3s %d %d:%d:%d GMT", a.data(), &i[0], b.data(), &i[1], &i[2], &i[3], &i[4]), 7);
  in(swscanf(text, u"%d#%s", &i[0], a.data()), 2);
  in(swscanf(text, u"%I64d %lf %f %*d %n", &big, &d, &f, &i[0]), 3);
  in(swscanf(text, u"%S %hc", narrow.data(), &narrow[0]), 2);
  in(swscanf(text, u"{%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}", &i[0], &i[1], &i[2], &i[3], &i[4], &i[5],
             &i[6], &i[7], &i[8], &i[9], &i[10]),
     11);

  char16_t* end = nullptr;
  wcstol(text, &end, 0);
  Require(end >= text && end <= text + length);

  char16_t out[64];
  int n = _snwprintf(out, std::size(out), u"%s|%.5s|%-10s|%c", text, text, text, text[0]);
  Require(n >= -1 && n <= static_cast<int>(std::size(out)));
  Require(wsprintfW(a.data(), u"%.*s", static_cast<int>(length), text) == static_cast<int>(length < 1024 ? length : 1024));
}

}  // namespace

// The first byte picks the code page (or, past the last one, the scanner); the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > (1u << 16)) return 0;
  size_t pick = data[0] % (std::size(kPages) + 1);
  const char* bytes = reinterpret_cast<const char*>(data + 1);
  if (pick < std::size(kPages)) {
    CodePage(kPages[pick], bytes, static_cast<int>(size - 1));
  } else {
    std::u16string text((size - 1) / 2, u'\0');
    std::memcpy(text.data(), bytes, text.size() * 2);
    Scanning(text.c_str(), wcslen(text.c_str()));
  }
  return 0;
}
