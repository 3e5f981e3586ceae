// The Windows code pages beyond 1252 and UTF-8 (DBCS pages such as 932, the other Western and
// OEM pages), through the host's iconv. Whatever the host cannot convert is replaced one
// character at a time, so a bad byte never takes the rest of the text with it.
#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>

#include "coredll/codepage.h"
#include "device/text.h"

namespace zb {
namespace {

static_assert(std::endian::native == std::endian::little, "UTF-16LE is copied as char16_t");
constexpr const char* kUtf16 = "UTF-16LE";

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of in into out. At each spot the host refuses, skip(rest) appends a stand-in
  // to out and says how many input bytes it stands for.
  template <class Skip>
  Conversion Run(std::string_view in, std::string& out, Skip skip) {
    Conversion result = Conversion::kExact;
    char chunk[1024];
    while (!in.empty()) {
      char* src = const_cast<char*>(in.data());
      size_t srcLeft = in.size();
      char* dst = chunk;
      size_t dstLeft = sizeof chunk;
      size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      int error = errno;
      out.append(chunk, dst - chunk);
      in.remove_prefix(in.size() - srcLeft);
      if (r != static_cast<size_t>(-1) || error == E2BIG) continue;
      size_t n = skip(in, out);
      in.remove_prefix(n < in.size() ? n : in.size());
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      result = Conversion::kReplaced;
    }
    return result;
  }

 private:
  iconv_t cd_;
};

}  // namespace

bool IconvAvailable(const CodePage& page) { return Converter(kUtf16, page.iconvName).ok(); }

Conversion DecodeIconv(const CodePage& page, std::string_view bytes, std::u16string& out) {
  Converter cv(kUtf16, page.iconvName);
  if (!cv.ok()) return Conversion::kUnavailable;
  std::string utf16;
  Conversion result = cv.Run(bytes, utf16, [&page](std::string_view rest, std::string& o) -> size_t {
    o.append("\xFD\xFF", 2);  // U+FFFD
    // A lead byte with a plausible trail byte is one unknown character; anything else is one byte,
    // so an ASCII byte after a broken lead byte still comes through.
    bool pair =
        rest.size() >= 2 && IsLeadByte(page, static_cast<BYTE>(rest[0])) && static_cast<unsigned char>(rest[1]) >= 0x40;
    return pair ? 2 : 1;
  });
  size_t start = out.size();
  out.resize(start + utf16.size() / 2);
  std::memcpy(out.data() + start, utf16.data(), utf16.size() / 2 * 2);
  return result;
}

Conversion EncodeIconv(const CodePage& page, std::u16string_view text, std::string_view defaultChar, std::string& out) {
  Converter cv(page.iconvName, kUtf16);
  if (!cv.ok()) return Conversion::kUnavailable;
  std::string_view in(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  return cv.Run(in, out, [defaultChar](std::string_view rest, std::string& o) -> size_t {
    o += defaultChar;
    char16_t units[2] = {0, 0};
    std::memcpy(units, rest.data(), rest.size() >= 4 ? 4 : 2);
    return IsHighSurrogate(units[0]) && IsLowSurrogate(units[1]) ? 4 : 2;
  });
}

}  // namespace zb
