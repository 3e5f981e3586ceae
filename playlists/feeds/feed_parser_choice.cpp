// CreateFeedParser: the document's root element names its parser. The prolog (declaration,
// comments, processing instructions, the document type) is stepped over, so a marker such as
// "<rss" inside an outline's URL or a comment never decides.
#include <string_view>

#include "feed_parsers.h"

namespace {

bool IsBlank(WCHAR c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0xFEFF; }

bool StartsWith(std::u16string_view text, size_t at, std::u16string_view prefix, bool noCase = false) {
  if (text.size() - at < prefix.size()) return false;
  const std::u16string_view part = text.substr(at, prefix.size());
  return noCase ? _wcsnicmp(part.data(), prefix.data(), prefix.size()) == 0 : part == prefix;
}

// Past the end of a document type declaration that starts at `at`: its internal subset in
// brackets and its quoted literals may hold '>'.
size_t SkipDoctype(std::u16string_view text, size_t at) {
  WCHAR quote = 0;
  int brackets = 0;
  for (size_t i = at; i < text.size(); ++i) {
    const WCHAR c = text[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u'[') {
      ++brackets;
    } else if (c == u']') {
      --brackets;
    } else if (c == u'>' && brackets <= 0) {
      return i + 1;
    }
  }
  return std::u16string_view::npos;
}

size_t SkipPast(std::u16string_view text, size_t at, std::u16string_view mark) {
  const size_t found = text.find(mark, at);
  return found == std::u16string_view::npos ? found : found + mark.size();
}

// The name of the first element, or empty when the prolog does not end in one.
std::u16string RootElementName(std::u16string_view text) {
  size_t at = 0;
  while (at != std::u16string_view::npos && at < text.size()) {
    if (IsBlank(text[at])) {
      ++at;
    } else if (StartsWith(text, at, u"<?")) {
      at = SkipPast(text, at, u"?>");
    } else if (StartsWith(text, at, u"<!--")) {
      at = SkipPast(text, at + 4, u"-->");
    } else if (StartsWith(text, at, u"<!DOCTYPE", true)) {
      at = SkipDoctype(text, at);
    } else if (text[at] == u'<') {
      size_t end = at + 1;
      while (end < text.size() && !IsBlank(text[end]) && text[end] != u'>' && text[end] != u'/') ++end;
      return std::u16string(text.substr(at + 1, end - at - 1));
    } else {
      return {};
    }
  }
  return {};
}

template <class Parser>
CFeedParser* Make() {
  return new Parser();
}

constexpr struct {
  const char16_t* root;
  bool noCase;
  CFeedParser* (*make)();
} kParsers[] = {
    {u"opml", false, Make<COpmlParser>},
    {u"rss", false, Make<CRssParser>},
    {u"pspl", false, Make<CPsplParser>},
    {u"genrelist", false, Make<CGenreListParser>},
    {u"stationlist", false, Make<CStationListParser>},
    {u"asx", true, Make<CAsxParser>},
};

}  // namespace

CFeedParser* CreateFeedParser(LPCWSTR text) {
  if (!text) return nullptr;
  const std::u16string root = RootElementName(text);
  for (const auto& parser : kParsers) {
    if (parser.noCase ? _wcsicmp(root.c_str(), parser.root) == 0 : root == parser.root) return parser.make();
  }
  return nullptr;
}
