// Tag text decoding: every encoding of ID3v2, the 8-bit page of ID3v1 and plain UTF-8 of APE.
#include "tag_text.h"

#include <algorithm>
#include <vector>

#include "core/common/codepage_convert.h"
#include "core/settings/settings.h"

namespace {

std::u16string Convert(UINT codePage, const BYTE* data, size_t length) {
  if (length == 0) return {};
  const int in = static_cast<int>(std::min<size_t>(length, 0x7FFFFFF0));
  const char* text = reinterpret_cast<const char*>(data);
  const int needed = MultiByteToWide(codePage, 0, text, in, nullptr, 0);
  if (needed <= 0) return {};
  std::u16string out(static_cast<size_t>(needed), u'\0');
  const int made = MultiByteToWide(codePage, 0, text, in, out.data(), needed);
  out.resize(made > 0 ? static_cast<size_t>(made) : 0);
  return out;
}

std::u16string Utf16(const BYTE* data, size_t length, bool bigEndian) {
  std::u16string out(length / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = bigEndian ? static_cast<char16_t>(data[2 * i] << 8 | data[2 * i + 1])
                       : static_cast<char16_t>(data[2 * i + 1] << 8 | data[2 * i]);
  return out;
}

std::u16string UpToZero(std::u16string text) {
  const size_t zero = text.find(u'\0');
  if (zero != std::u16string::npos) text.resize(zero);
  return text;
}

}  // namespace

std::u16string AnsiToWide(const BYTE* data, size_t length) {
  const CSettings* settings = GetSettings();
  const LONG page = settings ? settings->tagDefEncoding : -1;
  return Convert(page >= 0 ? static_cast<UINT>(page) : CP_ACP, data, length);
}

std::u16string Utf8ToWide(const BYTE* data, size_t length) { return Convert(CP_UTF8, data, length); }

size_t TerminatorSize(int encoding) {
  return encoding == ID3_UTF16_BOM || encoding == ID3_UTF16_BE || encoding == ID3_UTF16_LE ? 2 : 1;
}

size_t FindTerminator(int encoding, const BYTE* data, size_t length, size_t from) {
  const size_t step = TerminatorSize(encoding);
  for (size_t i = from; i + step <= length; i += step) {
    if (data[i] == 0 && (step == 1 || data[i + 1] == 0)) return i;
  }
  return length;
}

std::optional<std::u16string> DecodeTagBytes(int encoding, const BYTE* data, size_t length) {
  if (!data) return std::nullopt;
  switch (encoding) {
    case ID3_UTF16_BOM: {
      if (length < 3) return std::nullopt;
      length &= ~size_t{1};
      if (data[0] == 0xFF && data[1] == 0xFE) return Utf16(data + 2, length - 2, false);
      if (data[0] == 0xFE && data[1] == 0xFF) return Utf16(data + 2, length - 2, true);
      return std::nullopt;
    }
    case ID3_UTF16_BE:
    case ID3_UTF16_LE:
      if (length < 2) return std::nullopt;
      return Utf16(data, length & ~size_t{1}, encoding == ID3_UTF16_BE);
    case ID3_UTF8: return Utf8ToWide(data, length);
    default: return AnsiToWide(data, length);
  }
}

std::optional<std::u16string> DecodeId3Text(int encoding, const BYTE* data, size_t length) {
  auto text = DecodeTagBytes(encoding, data, length);
  if (!text) return text;
  return UpToZero(std::move(*text));
}

std::optional<std::u16string> DecodeId3TextValues(int encoding, const BYTE* data, size_t length) {
  if (!data) return std::nullopt;
  std::u16string joined;
  bool any = false;
  const size_t step = TerminatorSize(encoding);
  for (size_t from = 0; from < length;) {
    const size_t end = FindTerminator(encoding, data, length, from);
    // A byte-order mark belongs to each value of its own.
    auto value = DecodeId3Text(encoding, data + from, end - from);
    if (!value) {
      if (!any) return std::nullopt;
      break;
    }
    any = true;
    if (!value->empty()) {
      if (!joined.empty()) joined += u';';
      joined += *value;
    }
    from = end + step;
  }
  if (!any) return DecodeId3Text(encoding, data, length);
  return joined;
}

void CopyCut(LPWSTR out, size_t chars, const std::u16string& text) {
  if (!out || chars == 0) return;
  const size_t n = std::min(text.size(), chars - 1);
  std::copy_n(text.data(), n, out);
  out[n] = 0;
}

std::u16string TrimFixedField(const BYTE* data, size_t length) {
  size_t end = 0;
  while (end < length && data[end] != 0) ++end;
  while (end > 0 && (data[end - 1] == ' ' || data[end - 1] == 0)) --end;
  return AnsiToWide(data, end);
}
