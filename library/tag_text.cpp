// Text forms of tag values: ToText for every type and the GUID forms (registry form with braces,
// and the bare 36-character form that some tag formats write).
#include <cstdio>
#include <cstring>

#include "tag_value.h"
#include "wide_text.h"

namespace {

std::u16string Format(const char* format, auto... args) {
  char buffer[64];
  int n = std::snprintf(buffer, sizeof(buffer), format, args...);
  return zblib::Widen(std::string_view(buffer, n > 0 ? static_cast<size_t>(n) : 0));
}

int HexDigit(WCHAR c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

bool ReadHex(std::u16string_view text, size_t pos, size_t digits, uint32_t* value) {
  *value = 0;
  for (size_t i = 0; i < digits; ++i) {
    int d = HexDigit(text[pos + i]);
    if (d < 0) return false;
    *value = (*value << 4) | static_cast<uint32_t>(d);
  }
  return true;
}

}  // namespace

std::u16string GuidToText(REFGUID g) {
  char buffer[40];
  std::snprintf(buffer, sizeof(buffer), "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2],
                g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return zblib::Widen(buffer);
}

bool TextToGuid(std::u16string_view text, GUID* guid) {
  std::u16string braced;
  if (text.size() == 36 && text[0] != u'{') {
    braced = u"{" + std::u16string(text) + u"}";
    text = braced;
  }
  // Every field with its full count of hex digits: a short or padded field is not a GUID.
  if (text.size() != 38 || text[0] != u'{' || text[37] != u'}') return false;
  for (size_t dash : {9, 14, 19, 24})
    if (text[dash] != u'-') return false;
  uint32_t d1, d2, d3, b;
  if (!ReadHex(text, 1, 8, &d1) || !ReadHex(text, 10, 4, &d2) || !ReadHex(text, 15, 4, &d3)) return false;
  GUID result;
  result.Data1 = d1;
  result.Data2 = static_cast<uint16_t>(d2);
  result.Data3 = static_cast<uint16_t>(d3);
  static constexpr size_t kBytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (size_t i = 0; i < 8; ++i) {
    if (!ReadHex(text, kBytePos[i], 2, &b)) return false;
    result.Data4[i] = static_cast<uint8_t>(b);
  }
  *guid = result;
  return true;
}

HRESULT CTagValue::ToText(std::u16string* out) const {
  if (!out) return E_POINTER;
  out->clear();
  switch (Type()) {
    case TAG_TYPE_STR:
      *out = text;
      return S_OK;
    case TAG_TYPE_INT:
      *out = Format("%d", static_cast<int>(integer));
      return S_OK;
    case TAG_TYPE_REAL: {
      // "%f" of a large float runs to 40-odd digits; size the buffer for the widest.
      char buffer[64];
      std::snprintf(buffer, sizeof(buffer), "%f", static_cast<double>(real));
      *out = zblib::Widen(buffer);
      return S_OK;
    }
    case TAG_TYPE_DATE:
      if (date.wYear != 0) *out += Format("%04d", date.wYear);
      if (date.wMonth != 0) *out += Format("-%02d", date.wMonth);
      if (date.wDay != 0)
        *out += Format("-%02d %02d:%02d:%02d", date.wDay, date.wHour, date.wMinute, date.wSecond);
      return S_OK;
    case TAG_TYPE_BLOB:
      *out = Format("(Binary data, %u bytes)", static_cast<unsigned>(GetBlobSize()));
      return S_OK;
    case TAG_TYPE_GUID:
      *out = GuidToText(guid);
      return S_OK;
    default:
      return E_FAIL;
  }
}

HRESULT CTagValue::ToGuid(GUID* value) const {
  if (!value) return E_POINTER;
  *value = GUID{};
  switch (Type()) {
    case TAG_TYPE_GUID:
      *value = guid;
      return S_OK;
    case TAG_TYPE_STR:
      return TextToGuid(text, value) ? S_OK : E_FAIL;
    case TAG_TYPE_BLOB: {
      if (GetBlobSize() != sizeof(GUID)) return E_FAIL;
      GUID g;
      if (FAILED(Blob()->Read(&g, sizeof(g)))) return E_FAIL;
      *value = g;
      return S_OK;
    }
    default:
      return E_FAIL;
  }
}
