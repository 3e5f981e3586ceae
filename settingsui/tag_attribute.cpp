// Tag-attribute reading. Names are compared whole ("<entryref" is no "<entry", "hrefx" no
// "href"), and every scan stops at the text's end, so broken lines cannot run the reader off.
#include "settingsui/tag_attribute.h"

namespace {

bool IsBlank(WCHAR c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
bool IsQuote(WCHAR c) { return c == u'"' || c == u'\''; }

const WCHAR* SkipBlanks(const WCHAR* p) {
  while (IsBlank(*p)) ++p;
  return p;
}

// Whether `p` starts with `name` (no case) and the name ends there.
bool NameAt(const WCHAR* p, const WCHAR* name, bool (*ends)(WCHAR)) {
  const size_t n = wcslen(name);
  return n > 0 && _wcsnicmp(p, name, n) == 0 && ends(p[n]);
}

bool EndsTagName(WCHAR c) { return c == 0 || IsBlank(c) || c == u'>' || c == u'/'; }
bool EndsAttributeName(WCHAR c) { return IsBlank(c) || c == u'='; }

bool ValueStartsWith(const WCHAR* value, const WCHAR* prefix) {
  if (IsQuote(*value)) ++value;
  return _wcsnicmp(value, prefix, wcslen(prefix)) == 0;
}

}  // namespace

const WCHAR* SkipToAttributeValue(const WCHAR* p) {
  p = SkipBlanks(p);
  while (*p && *p != u'=' && *p != u'>') ++p;
  if (*p != u'=') return nullptr;
  p = SkipBlanks(p + 1);
  return *p && *p != u'>' ? p : nullptr;
}

const WCHAR* SkipQuotedValue(const WCHAR* p) {
  if (!*p) return p;
  if (!IsQuote(*p)) {
    while (*p && !IsBlank(*p) && *p != u'>') ++p;
    return p;
  }
  const WCHAR quote = *p++;
  for (; *p; ++p) {
    if (*p == u'\\' && p[1] == quote) {
      ++p;
    } else if (*p == quote) {
      return p + 1;
    }
  }
  return p;
}

const WCHAR* ReadTagAttribute(const WCHAR* text, const WCHAR* tagName, const TagCondition* conditions,
                              int conditionCount, const WCHAR* attributeName) {
  if (!text || !tagName || !attributeName || conditionCount < 0 || (conditionCount > 0 && !conditions)) return nullptr;
  for (const WCHAR* open = wcschr(text, u'<'); open; open = wcschr(open + 1, u'<')) {
    if (!NameAt(open + 1, tagName, EndsTagName)) continue;
    const WCHAR* p = open + 1 + wcslen(tagName);
    const WCHAR* candidate = nullptr;
    int matches = 0;
    for (;;) {
      p = SkipBlanks(p);
      if (!*p || *p == u'>') break;
      const WCHAR* name = p;
      const WCHAR* value = SkipToAttributeValue(p);
      if (!value) break;
      if (NameAt(name, attributeName, EndsAttributeName)) candidate = value;
      for (int i = 0; i < conditionCount; ++i) {
        if (NameAt(name, conditions[i].name, EndsAttributeName) && ValueStartsWith(value, conditions[i].prefix)) {
          ++matches;
        }
      }
      p = SkipQuotedValue(value);
    }
    if (candidate && matches == conditionCount) return candidate;
  }
  return nullptr;
}
