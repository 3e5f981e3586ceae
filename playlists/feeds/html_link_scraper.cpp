// The links in the HTML of a feed description, for items that name their audio only there. The
// pull tokenizer takes whatever markup publishers write; only "a" elements matter.
#include <iterator>

#include "feed_parsers.h"
#include "xml_pull_tokenizer.h"

namespace {

constexpr char16_t kHttp[] = u"http://";

void AppendText(std::u16string& to, const WCHAR* text) { to += text; }

// Tag and attribute names are narrow; HTML writes them in either case.
bool NameIs(const char* name, const char* wanted) {
  for (; *name && *wanted; ++name, ++wanted) {
    const char a = *name >= 'A' && *name <= 'Z' ? static_cast<char>(*name + 32) : *name;
    if (a != *wanted) return false;
  }
  return !*name && !*wanted;
}

// Link texts arrive as runs of words and blanks; one blank between words is enough.
std::u16string Tidy(const std::u16string& text) {
  std::u16string tidy;
  bool blank = false;
  for (WCHAR c : text) {
    const bool space = c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0xA0;
    if (space) {
      blank = !tidy.empty();
      continue;
    }
    if (blank) tidy += u' ';
    blank = false;
    tidy += c;
  }
  return tidy;
}

}  // namespace

std::vector<FeedItem> ScanHtmlLinks(std::u16string_view html) {
  std::vector<FeedItem> links;
  CXmlTextSource source(html);
  CXmlPullTokenizer tokenizer(&source);
  bool anchor = false;
  std::u16string url, text;
  for (int token = tokenizer.Next(); token != XML_END; token = tokenizer.Next()) {
    switch (token) {
      case XML_START_TAG:
        if (NameIs(tokenizer.GetTagName(), "a")) {
          anchor = true;
          url.clear();
          text.clear();
        }
        break;
      case XML_ATTRIBUTE:
        if (anchor && NameIs(tokenizer.GetAttributeName(), "href")) AppendText(url, tokenizer.GetText());
        break;
      case XML_TEXT:
      case XML_WHITESPACE:
        if (anchor) AppendText(text, tokenizer.GetText());
        break;
      case XML_END_TAG:
        if (!anchor || !NameIs(tokenizer.GetTagName(), "a")) break;
        anchor = false;
        if (_wcsnicmp(url.c_str(), kHttp, std::size(kHttp) - 1) == 0) links.push_back({url, Tidy(text), u"", -1, 0});
        break;
      default:
        break;
    }
  }
  return links;
}
