// Decoding feed documents as publishers write them: UTF-8 with or without a mark, UTF-16 either
// way round, and single-byte pages named in the declaration (ISO-8859-1, windows-1251...). A
// document that names nothing and is not UTF-8 falls back to the reader's code page, so a
// mislabelled feed still reads instead of failing on its first accented letter.
#include "feed_document.h"

#include <algorithm>
#include <string>
#include <vector>

#include "file_bytes.h"
#include "settingsui/text_file.h"

namespace {

// Names that are not "windows-N", "cpN" or "iso-8859-N".
constexpr struct {
  const char* name;
  UINT codePage;
} kNames[] = {
    {"utf-8", CP_UTF8},     {"utf8", CP_UTF8},      {"us-ascii", CP_UTF8},  {"ascii", CP_UTF8},
    {"latin1", 28591},      {"koi8-r", 20866},      {"koi8-u", 21866},      {"shift_jis", 932},
    {"sjis", 932},          {"gb2312", 936},        {"gbk", 936},           {"big5", 950},
    {"euc-kr", 949},        {"ks_c_5601-1987", 949}, {"macintosh", 10000},
};

constexpr UINT kUtf16 = 1200;
constexpr UINT kUtf16BigEndian = 1201;
constexpr size_t kDeclarationMax = 512;

bool StartsWith(std::string_view bytes, std::string_view prefix) { return bytes.substr(0, prefix.size()) == prefix; }

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
  return lower;
}

UINT NumberAfter(const std::string& name, std::string_view prefix, UINT add = 0) {
  if (!StartsWith(name, prefix) || name.size() == prefix.size()) return 0;
  UINT number = 0;
  for (char c : name.substr(prefix.size())) {
    if (c < '0' || c > '9' || number > 100000) return 0;
    number = number * 10 + static_cast<UINT>(c - '0');
  }
  return number + add;
}

// The code page of a declared encoding name; 0 when the name is not known.
UINT CodePageOfName(std::string_view declared) {
  const std::string name = Lower(declared);
  for (const auto& entry : kNames) {
    if (name == entry.name) return entry.codePage;
  }
  if (name == "utf-16" || name == "utf-16le") return kUtf16;
  if (name == "utf-16be") return kUtf16BigEndian;
  if (UINT page = NumberAfter(name, "windows-")) return page;
  if (UINT page = NumberAfter(name, "cp")) return page;
  if (UINT page = NumberAfter(name, "iso-8859-", 28590)) return page;
  if (UINT page = NumberAfter(name, "iso8859-", 28590)) return page;
  return 0;
}

// The encoding="..." of an XML declaration at the start of 8-bit bytes, or empty.
std::string_view DeclaredEncoding(std::string_view bytes) {
  if (!StartsWith(bytes, "<?xml")) return {};
  const std::string_view head = bytes.substr(0, std::min(bytes.size(), kDeclarationMax));
  const size_t end = head.find("?>");
  const std::string_view declaration = head.substr(0, end);
  size_t at = declaration.find("encoding");
  if (at == std::string_view::npos) return {};
  at = declaration.find_first_not_of(" \t\r\n", at + 8);
  if (at == std::string_view::npos || declaration[at] != '=') return {};
  at = declaration.find_first_not_of(" \t\r\n", at + 1);
  if (at == std::string_view::npos || (declaration[at] != '"' && declaration[at] != '\'')) return {};
  const size_t close = declaration.find(declaration[at], at + 1);
  if (close == std::string_view::npos) return {};
  return declaration.substr(at + 1, close - at - 1);
}

bool Decode(std::string_view bytes, UINT codePage, DWORD flags, std::u16string& text) {
  text.clear();
  if (bytes.empty()) return true;
  const int count = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(codePage, flags, bytes.data(), count, nullptr, 0);
  if (needed <= 0) return false;
  text.resize(static_cast<size_t>(needed));
  return MultiByteToWideChar(codePage, flags, bytes.data(), count, text.data(), needed) == needed;
}

bool DecodeUtf16(std::string_view bytes, bool bigEndian, std::u16string& text) {
  text.clear();
  text.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
    text += static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
  }
  return true;
}

}  // namespace

bool DecodeFeedDocument(std::string_view bytes, int fallbackEncoding, std::u16string& text) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return Decode(bytes.substr(3), CP_UTF8, 0, text);
  if (StartsWith(bytes, "\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false, text);
  if (StartsWith(bytes, "\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true, text);
  // UTF-16 without a mark shows itself by the zero byte beside the first '<'.
  if (StartsWith(bytes, std::string_view("<\0", 2))) return DecodeUtf16(bytes, false, text);
  if (StartsWith(bytes, std::string_view("\0<", 2))) return DecodeUtf16(bytes, true, text);

  const UINT declared = CodePageOfName(DeclaredEncoding(bytes));
  // A declaration of UTF-16 on 8-bit bytes is wrong about itself; the bytes decide.
  if (declared && declared != kUtf16 && declared != kUtf16BigEndian && declared != CP_UTF8 &&
      Decode(bytes, declared, 0, text))
    return true;
  if (Decode(bytes, CP_UTF8, MB_ERR_INVALID_CHARS, text)) return true;
  return Decode(bytes, CodePageFromId(fallbackEncoding), 0, text);
}

bool ReadFeedDocument(LPCWSTR path, int fallbackEncoding, std::u16string& text) {
  std::vector<BYTE> bytes;
  if (!ReadFileBytes(path, bytes)) return false;
  return DecodeFeedDocument(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), fallbackEncoding,
                            text);
}
