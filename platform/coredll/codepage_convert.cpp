// Picks the codec for a page, and gives the C runtime its narrow text in the ANSI page.
#include "coredll/codepage.h"
#include "device/text.h"

namespace zb {

Conversion Decode(const CodePage& page, std::string_view bytes, std::u16string& out) {
  switch (page.kind) {
    case CodePageKind::kWindows1252:
      return Decode1252(bytes, out);
    case CodePageKind::kUtf8: {
      bool illFormed = false;
      out += FromUtf8(bytes, &illFormed);
      return illFormed ? Conversion::kReplaced : Conversion::kExact;
    }
    case CodePageKind::kIconv:
      return DecodeIconv(page, bytes, out);
  }
  return Conversion::kUnavailable;
}

Conversion Encode(const CodePage& page, std::u16string_view text, std::string_view defaultChar, std::string& out) {
  switch (page.kind) {
    case CodePageKind::kWindows1252:
      return Encode1252(text, defaultChar, out);
    case CodePageKind::kUtf8:
      out += ToUtf8(text);
      return Conversion::kExact;
    case CodePageKind::kIconv:
      return EncodeIconv(page, text, defaultChar, out);
  }
  return Conversion::kUnavailable;
}

namespace {

// Should the device name a page this host cannot convert, narrow text still goes through 1252.
const CodePage& AnsiPage() {
  static const CodePage kFallback{1252, CodePageKind::kWindows1252, nullptr, {}};
  const CodePage* page = FindCodePage(CP_ACP);
  return page ? *page : kFallback;
}

}  // namespace

std::u16string AnsiToWide(std::string_view bytes) {
  std::u16string out;
  if (Decode(AnsiPage(), bytes, out) == Conversion::kUnavailable) Decode1252(bytes, out);
  return out;
}

bool WideToAnsi(std::u16string_view text, std::string& out) {
  out.clear();
  Conversion result = Encode(AnsiPage(), text, "?", out);
  if (result == Conversion::kUnavailable) result = Encode1252(text, "?", out);
  return result == Conversion::kExact;
}

}  // namespace zb
