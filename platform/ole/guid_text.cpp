// GUIDs as registry text: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case when written,
// either case when read. Anything else is refused rather than half read.
#include <objbase.h>

namespace {

constexpr int kGuidChars = 38;
constexpr int kDashes[] = {9, 14, 19, 24};

int HexValue(OLECHAR c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// The value of `digits` hex digits at text[at] (already checked to be hex).
uint32_t Hex(LPCOLESTR text, int at, int digits) {
  uint32_t v = 0;
  for (int i = 0; i < digits; ++i) v = v << 4 | static_cast<uint32_t>(HexValue(text[at + i]));
  return v;
}

bool WellFormed(LPCOLESTR text) {
  for (int i = 0; i < kGuidChars; ++i) {
    if (text[i] == 0) return false;
    bool dash = false;
    for (int d : kDashes) dash = dash || d == i;
    if (i == 0 ? text[i] != u'{' : i == kGuidChars - 1 ? text[i] != u'}' : dash ? text[i] != u'-' : HexValue(text[i]) < 0)
      return false;
  }
  return text[kGuidChars] == 0;
}

}  // namespace

extern "C" int StringFromGUID2(REFGUID guid, LPOLESTR text, int size) {
  if (!text || size < kGuidChars + 1) return 0;
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  OLECHAR* out = text;
  auto put = [&out](uint32_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) *out++ = kDigits[(value >> shift) & 0xF];
  };
  *out++ = u'{';
  put(guid.Data1, 8);
  *out++ = u'-';
  put(guid.Data2, 4);
  *out++ = u'-';
  put(guid.Data3, 4);
  *out++ = u'-';
  put(guid.Data4[0], 2);
  put(guid.Data4[1], 2);
  *out++ = u'-';
  for (int i = 2; i < 8; ++i) put(guid.Data4[i], 2);
  *out++ = u'}';
  *out = 0;
  return kGuidChars + 1;
}

extern "C" HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid) {
  if (!clsid) return E_INVALIDARG;
  *clsid = CLSID_NULL;
  if (!text) return S_OK;
  if (!WellFormed(text)) return CO_E_CLASSSTRING;
  GUID g{};
  g.Data1 = Hex(text, 1, 8);
  g.Data2 = static_cast<uint16_t>(Hex(text, 10, 4));
  g.Data3 = static_cast<uint16_t>(Hex(text, 15, 4));
  g.Data4[0] = static_cast<uint8_t>(Hex(text, 20, 2));
  g.Data4[1] = static_cast<uint8_t>(Hex(text, 22, 2));
  for (int i = 0; i < 6; ++i) g.Data4[2 + i] = static_cast<uint8_t>(Hex(text, 25 + 2 * i, 2));
  *clsid = g;
  return S_OK;
}
