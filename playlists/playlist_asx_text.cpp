// ASX texts before they are read: the encoding they name, the one-line form split into lines for
// the line reader, and bare ampersands (common in the URLs of hand-written lists) escaped so the
// XML parser takes them.
#include <string>

#include "playlist_file_format.h"
#include "settingsui/tag_attribute.h"

namespace {

// A line feed is put in only when the text has at most this many and more than kSplitTags tags.
constexpr size_t kSplitLineFeeds = 4;
constexpr size_t kSplitTags = 5;

bool IsAsciiAlnum(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

// "&name;", "&#123;" or "&#x1F;" at `at`.
bool IsReference(std::u16string_view text, size_t at) {
  size_t i = at + 1;
  if (i < text.size() && text[i] == u'#') ++i;
  const size_t start = i;
  while (i < text.size() && IsAsciiAlnum(text[i])) ++i;
  return i > start && i < text.size() && text[i] == u';';
}

}  // namespace

bool AsxDeclaresUtf8(LPCWSTR text) {
  const TagCondition encoding[] = {{u"Name", u"Encoding"}};
  const WCHAR* value = ReadTagAttribute(text, u"Param", encoding, 1, u"Value");
  if (!value) return false;
  if (*value == u'"' || *value == u'\'') ++value;
  return _wcsnicmp(value, u"UTF-8", 5) == 0;
}

void SplitOneLineAsx(std::u16string& text) {
  size_t lineFeeds = 0, tags = 0;
  for (char16_t c : text) {
    lineFeeds += c == u'\n' ? 1 : 0;
    tags += c == u'<' ? 1 : 0;
  }
  if (lineFeeds > kSplitLineFeeds || tags <= kSplitTags) return;
  std::u16string split;
  split.reserve(text.size() + tags);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'<' && (i + 1 >= text.size() || text[i + 1] != u'/')) split += u'\n';
    split += text[i];
  }
  text = std::move(split);
}

std::u16string EscapeBareAmpersands(std::u16string_view text) {
  std::u16string escaped;
  escaped.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    escaped += text[i];
    if (text[i] == u'&' && !IsReference(text, i)) escaped += u"amp;";
  }
  return escaped;
}
