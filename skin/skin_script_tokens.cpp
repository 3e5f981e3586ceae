// The skin script's small grammar: tokens cut at separators, numbers by their leading digits,
// regions written RECT[l;t;r;b] or POLY[x;y;...], and colours as RRGGBB.
#include <algorithm>

#include "skin/skin_script.h"
#include "skin/skin_settings.h"
#include "skin/bitmap_helpers.h"

int SkinTokenNumber(LPCWSTR token) {
  if (!token) return 0;
  int i = 0;
  bool negative = false;
  if (token[i] == u'-' || token[i] == u'+') negative = token[i++] == u'-';
  int64_t value = 0;
  for (; token[i] >= u'0' && token[i] <= u'9'; ++i) value = std::min<int64_t>(value * 10 + (token[i] - u'0'), INT32_MAX + int64_t{1});
  value = negative ? -value : value;
  return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

int SkinTokens::Number(int i) const { return SkinTokenNumber(Text(i)); }

void SetSkinError(SkinParseContext* context, LPCWSTR text, LPCWSTR more) {
  std::u16string s = text;
  if (more) s += more;
  s.resize(std::min<size_t>(s.size(), 259));
  std::copy(s.begin(), s.end(), context->error);
  context->error[s.size()] = 0;
}

void AddSkinLineSuffix(SkinParseContext* context, int line) {
  WCHAR suffix[64];
  wsprintfW(suffix, u", line %d.  Continue processing script?", line);
  SetSkinError(context, context->error, suffix);
}

int SplitSkinTokens(SkinParseContext*, SkinTokens* tokens, LPCWSTR text, int* count, int maxLength, LPCWSTR separators) {
  const int slots = std::min(*count, tokens->Slots());
  auto separator = [separators](WCHAR c) { return c && wcschr(separators, c) != nullptr; };
  int found = 0, ok = 1;
  const WCHAR* p = text ? text : u"";
  while (found < slots) {
    while (separator(*p)) ++p;
    if (!*p) break;
    const WCHAR* start = p;
    while (*p && !separator(*p)) ++p;
    std::u16string token(start, p);
    if (static_cast<int>(token.size()) >= maxLength) {
      token.resize(static_cast<size_t>(std::max(maxLength - 1, 0)));
      ok = 0;
    }
    (*tokens)[found++] = token;
  }
  *count = found;
  return ok;
}

int ParseSkinRegion(SkinParseContext* context, LPCWSTR token, SkinRegionSpec* region) {
  const WCHAR* open = token ? wcschr(token, u'[') : nullptr;
  const WCHAR* close = token ? wcschr(token, u']') : nullptr;
  if (!open || !close || close < open) {
    SetSkinError(context, u"error parsing REGION");
    return 0;
  }
  const std::u16string type(token, open), inside(open + 1, close);
  if (type == u"RECT") {
    SkinTokens numbers(4, 5);
    int n = 4;
    const int split = SplitSkinTokens(context, &numbers, inside.c_str(), &n, 5, u"; ");
    region->kind = SKIN_REGION_RECT;
    region->count = 0;
    region->rect = RECT{numbers.Number(0), numbers.Number(1), numbers.Number(2), numbers.Number(3)};
    if (!split) SetSkinError(context, u"error parsing tokens for RECT REGION");
    if (n != 4) SetSkinError(context, u"wrong amount of tokens for RECT REGION");
    return split && n == 4;
  }
  if (type == u"POLY") {
    const int points = static_cast<int>((std::count(inside.begin(), inside.end(), u';') + 1) / 2);
    if (points == 0) {
      SetSkinError(context, u"wrong amount of tokens for POLY REGION");
      return 0;
    }
    const int kept = std::min(points, kSkinMaxPolygonPoints);
    SkinTokens numbers(2 * kept, 5);
    int n = 2 * kept;
    const int split = SplitSkinTokens(context, &numbers, inside.c_str(), &n, 5, u"; ");
    region->kind = SKIN_REGION_POLYGON;
    region->count = kept;
    for (int i = 0; i < kept; ++i) region->points[i] = POINT{numbers.Number(2 * i), numbers.Number(2 * i + 1)};
    if (!split) SetSkinError(context, u"error parsing tokens for POLY REGION");
    if (n != 2 * kept) SetSkinError(context, u"wrong amount of tokens for POLY REGION");
    return split && n == 2 * kept;
  }
  SetSkinError(context, u"unknown REGION type");
  return 0;
}

COLORREF ParseSkinColor(LPCWSTR token) {
  if (!token || !*token || !wcscmp(token, u"-1") || !_wcsicmp(token, u"FFFFFFFF")) return static_cast<COLORREF>(-1);
  if (*token == u'#') ++token;
  if (wcslen(token) != 6) return 0;
  DWORD rgb = 0;
  for (int i = 0; i < 6; ++i) {
    const WCHAR c = static_cast<WCHAR>(towupper(token[i]));
    const int digit = c >= u'0' && c <= u'9' ? c - u'0' : c >= u'A' && c <= u'F' ? c - u'A' + 10 : -1;
    if (digit < 0) return 0;
    rgb = rgb << 4 | static_cast<DWORD>(digit);
  }
  const COLORREF colour = RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF);
  const SkinSettings& s = CurrentSkinSettings();
  return SkinColoursAdjusted(s) ? AdjustColour(colour, s.adjustColorsHue, s.adjustColorsSat) : colour;
}
