// A notification bubble's HTML (see bubble_html.h).
#include "aygshell/bubble_html.h"

#include <algorithm>

#include "device/text.h"

namespace zb::shell {
namespace {

bool Space(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::u16string Lower(std::u16string_view s) {
  std::u16string out(s);
  for (char16_t& c : out) c = ToLower(c);
  return out;
}

// "&lt;" and the rest at `at` (just after the '&'); the character and how far it reached.
char16_t Entity(std::u16string_view html, size_t* at) {
  const size_t end = html.find(u';', *at);
  if (end == std::u16string_view::npos || end - *at > 8) return u'&';
  const std::u16string name = Lower(html.substr(*at, end - *at));
  char16_t c = 0;
  if (name == u"lt") c = u'<';
  else if (name == u"gt") c = u'>';
  else if (name == u"amp") c = u'&';
  else if (name == u"quot") c = u'"';
  else if (name == u"apos") c = u'\'';
  else if (name == u"nbsp") c = u' ';
  else if (name.size() > 1 && name[0] == u'#') {
    unsigned value = 0;
    for (size_t i = 1; i < name.size() && name[i] >= u'0' && name[i] <= u'9'; ++i) value = value * 10 + (name[i] - u'0');
    c = static_cast<char16_t>(value);
  }
  if (!c) return u'&';
  *at = end + 1;
  return c;
}

struct Tag {
  std::u16string name;  // lower case, "/b" for a closing tag
  std::vector<std::pair<std::u16string, std::u16string>> attributes;
  std::u16string Attribute(std::u16string_view key) const {
    for (const auto& [k, v] : attributes)
      if (k == key) return v;
    return u"";
  }
};

Tag ReadTag(std::u16string_view body) {
  Tag tag;
  size_t i = 0;
  while (i < body.size() && Space(body[i])) ++i;
  const size_t nameStart = i;
  while (i < body.size() && !Space(body[i]) && body[i] != u'/' ) ++i;
  if (i == nameStart && i < body.size() && body[i] == u'/') {  // "</b>"
    ++i;
    while (i < body.size() && !Space(body[i])) ++i;
  }
  tag.name = Lower(body.substr(nameStart, i - nameStart));
  while (i < body.size()) {
    while (i < body.size() && (Space(body[i]) || body[i] == u'/')) ++i;
    const size_t keyStart = i;
    while (i < body.size() && !Space(body[i]) && body[i] != u'=') ++i;
    std::u16string key = Lower(body.substr(keyStart, i - keyStart));
    std::u16string value;
    if (i < body.size() && body[i] == u'=') {
      ++i;
      if (i < body.size() && (body[i] == u'"' || body[i] == u'\'')) {
        const char16_t quote = body[i++];
        const size_t end = body.find(quote, i);
        value = std::u16string(body.substr(i, end == std::u16string_view::npos ? body.size() - i : end - i));
        i = end == std::u16string_view::npos ? body.size() : end + 1;
      } else {
        const size_t start = i;
        while (i < body.size() && !Space(body[i])) ++i;
        value = std::u16string(body.substr(start, i - start));
      }
    }
    if (!key.empty()) tag.attributes.emplace_back(std::move(key), std::move(value));
  }
  return tag;
}

// Spaces collapse to one, and none is kept at the start or end of a line or beside a button.
class Builder {
 public:
  void Char(char16_t c) {
    if (Space(c)) {
      if (!lineStart_) pendingSpace_ = true;
      return;
    }
    if (pendingSpace_) text_ += u' ';
    pendingSpace_ = false;
    lineStart_ = false;
    text_ += c;
  }
  void Flush() {
    if (text_.empty()) return;
    if (inLink_) {
      linkText_ += text_;
    } else if (!out_.empty() && out_.back().kind == HtmlPiece::Text && out_.back().bold == bold_) {
      out_.back().text += text_;
    } else {
      HtmlPiece piece;
      piece.text = text_;
      piece.bold = bold_;
      out_.push_back(piece);
    }
    text_.clear();
  }
  // A space waiting before a link belongs to the text before it.
  void KeepSpaceInText() {
    if (pendingSpace_ && !text_.empty()) text_ += u' ';
    pendingSpace_ = false;
  }
  void Break(HtmlPiece::Kind kind) {
    pendingSpace_ = false;
    Flush();
    lineStart_ = true;
    // No empty lines: a break after nothing, a break or a rule adds nothing.
    const bool afterText = !out_.empty() && out_.back().kind != HtmlPiece::Break && out_.back().kind != HtmlPiece::Rule;
    if (kind == HtmlPiece::Break && !afterText) return;
    HtmlPiece piece;
    piece.kind = kind;
    out_.push_back(piece);
  }
  void Tag(const struct Tag& tag) {
    const std::u16string& n = tag.name;
    if (n == u"b" || n == u"strong" || n == u"/b" || n == u"/strong") {
      KeepSpaceInText();
      Flush();
      bold_ = n[0] != u'/';
    } else if (n == u"br" || n == u"p" || n == u"/p" || n == u"/tr" || n == u"/table" || n == u"div" || n == u"/div") {
      Break(HtmlPiece::Break);
    } else if (n == u"hr") {
      Break(HtmlPiece::Rule);
    } else if (n == u"td" || n == u"/td") {
      Char(u' ');
    } else if (n == u"a") {
      KeepSpaceInText();
      Flush();
      inLink_ = true;
      linkText_.clear();
      linkTarget_ = tag.Attribute(u"href");
    } else if (n == u"/a" && inLink_) {
      Flush();
      inLink_ = false;
      HtmlPiece piece;
      piece.kind = HtmlPiece::Link;
      piece.text = linkText_;
      piece.target = linkTarget_;
      piece.bold = bold_;
      out_.push_back(piece);
      lineStart_ = false;
    } else if (n == u"input" && Lower(tag.Attribute(u"type")) == u"button") {
      pendingSpace_ = false;
      Flush();
      HtmlPiece piece;
      piece.kind = HtmlPiece::Button;
      piece.text = tag.Attribute(u"value");
      piece.target = tag.Attribute(u"name");
      out_.push_back(piece);
      lineStart_ = false;
    }
  }
  std::vector<HtmlPiece> Take() {
    pendingSpace_ = false;
    Flush();
    while (!out_.empty() && out_.back().kind == HtmlPiece::Break) out_.pop_back();
    return std::move(out_);
  }

 private:
  std::vector<HtmlPiece> out_;
  std::u16string text_, linkText_, linkTarget_;
  bool bold_ = false, inLink_ = false, pendingSpace_ = false, lineStart_ = true;
};

}  // namespace

std::vector<HtmlPiece> ParseBubbleHtml(std::u16string_view html) {
  Builder b;
  size_t i = 0;
  while (i < html.size()) {
    const char16_t c = html[i];
    if (c == u'<') {
      size_t end = i + 1;
      char16_t quote = 0;
      while (end < html.size() && (quote || html[end] != u'>')) {
        if (quote && html[end] == quote) quote = 0;
        else if (!quote && (html[end] == u'"' || html[end] == u'\'')) quote = html[end];
        ++end;
      }
      b.Tag(ReadTag(html.substr(i + 1, std::min(end, html.size()) - i - 1)));
      i = end + 1;
    } else if (c == u'&') {
      ++i;
      b.Char(Entity(html, &i));
    } else {
      b.Char(c);
      ++i;
    }
  }
  return b.Take();
}

std::vector<HtmlBox> LayOutBubbleHtml(HDC dc, HFONT font, HFONT bold, const std::vector<HtmlPiece>& pieces, int width,
                                      int* height) {
  std::vector<HtmlBox> boxes;
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  const int line = tm.tmHeight + 2;
  const int pad = 4;
  int x = 0, y = 0, lineHeight = line;
  auto measure = [&](const std::u16string& text, bool isBold) {
    SelectObject(dc, isBold ? bold : font);
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
  };
  auto newLine = [&] {
    y += lineHeight;
    x = 0;
    lineHeight = line;
  };
  auto place = [&](size_t piece, int w, int h, size_t start, size_t length) {
    if (x > 0 && x + w > width) newLine();
    boxes.push_back({piece, RECT{x, y, x + w, y + h}, start, length});
    x += w;
    lineHeight = std::max(lineHeight, h);
  };
  for (size_t i = 0; i < pieces.size(); ++i) {
    const HtmlPiece& p = pieces[i];
    switch (p.kind) {
      case HtmlPiece::Text: {
        // Word by word, each with the space after it.
        size_t at = 0;
        while (at < p.text.size()) {
          size_t end = p.text.find(u' ', at);
          end = end == std::u16string::npos ? p.text.size() : end + 1;
          const std::u16string word = p.text.substr(at, end - at);
          if (!(x == 0 && word == u" ")) place(i, measure(word, p.bold), line, at, end - at);
          at = end;
        }
        break;
      }
      case HtmlPiece::Link:
        place(i, measure(p.text, p.bold), line, 0, p.text.size());
        x += measure(u" ", false);
        break;
      case HtmlPiece::Button:
        place(i, measure(p.text, false) + 2 * pad, line + pad, 0, p.text.size());
        x += pad;
        break;
      case HtmlPiece::Break:
        newLine();
        break;
      case HtmlPiece::Rule:
        if (x > 0) newLine();
        boxes.push_back({i, RECT{0, y + pad / 2, width, y + pad / 2 + 1}});
        y += pad;
        break;
    }
  }
  if (x > 0) y += lineHeight;
  SelectObject(dc, old);
  *height = y;
  return boxes;
}

}  // namespace zb::shell
