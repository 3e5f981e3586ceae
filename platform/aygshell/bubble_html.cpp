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
    } else if (!out_.empty() && out_.back().kind == HtmlPiece::Text && out_.back().bold == bold_ && SameCell(out_.back())) {
      out_.back().text += text_;
    } else {
      HtmlPiece piece;
      piece.text = text_;
      piece.bold = bold_;
      Add(piece);
    }
    text_.clear();
  }
  bool SameCell(const HtmlPiece& p) const { return p.table == table_ && p.row == row_ && p.cell == cell_; }
  void Add(HtmlPiece piece) {
    piece.table = table_;
    piece.row = row_;
    piece.cell = cell_;
    piece.align = align_;
    piece.widthPercent = width_;
    out_.push_back(std::move(piece));
  }
  // A space waiting before a link stays, at the end of the text before it.
  void KeepSpaceInText() {
    if (pendingSpace_) text_ += u' ';
    pendingSpace_ = false;
  }
  void Break(HtmlPiece::Kind kind) {
    pendingSpace_ = false;
    Flush();
    lineStart_ = true;
    // No empty lines: a break after nothing, a break or a rule adds nothing.
    const bool afterText = !out_.empty() && SameCell(out_.back()) && out_.back().kind != HtmlPiece::Break &&
                           out_.back().kind != HtmlPiece::Rule;
    if (kind == HtmlPiece::Break && !afterText) return;
    HtmlPiece piece;
    piece.kind = kind;
    Add(piece);
  }
  void Tag(const struct Tag& tag) {
    const std::u16string& n = tag.name;
    if (n == u"b" || n == u"strong" || n == u"/b" || n == u"/strong") {
      KeepSpaceInText();
      Flush();
      bold_ = n[0] != u'/';
    } else if (n == u"br" || n == u"p" || n == u"/p" || n == u"div" || n == u"/div") {
      Break(HtmlPiece::Break);
    } else if (n == u"hr") {
      Break(HtmlPiece::Rule);
    } else if (n == u"table") {
      EndCell();
      table_ = tables_++;
      row_ = -1;
      cell_ = 0;
    } else if (n == u"/table") {
      EndCell();
      table_ = -1;
      row_ = cell_ = 0;
      align_ = 'l';
      width_ = 0;
    } else if (n == u"tr" && table_ >= 0) {
      EndCell();
      ++row_;
      cell_ = -1;
    } else if (n == u"td" && table_ >= 0) {
      EndCell();
      if (row_ < 0) row_ = 0;
      ++cell_;
      const std::u16string align = Lower(tag.Attribute(u"align"));
      align_ = align == u"center" ? 'c' : align == u"right" ? 'r' : 'l';
      const std::u16string width = tag.Attribute(u"width");
      width_ = 0;
      for (char16_t c : width) {
        if (c < u'0' || c > u'9') break;
        width_ = width_ * 10 + (c - u'0');
      }
      if (width.find(u'%') == std::u16string::npos) width_ = 0;  // pixels are not kept
    } else if (n == u"/td" || n == u"/tr") {
      EndCell();
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
      Add(piece);
      lineStart_ = false;
    } else if (n == u"input" && Lower(tag.Attribute(u"type")) == u"button") {
      pendingSpace_ = false;
      Flush();
      HtmlPiece piece;
      piece.kind = HtmlPiece::Button;
      piece.text = tag.Attribute(u"value");
      piece.target = tag.Attribute(u"name");
      Add(piece);
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
  // A cell's text ends with the cell; the next cell starts a line of its own.
  void EndCell() {
    pendingSpace_ = false;
    Flush();
    lineStart_ = true;
  }

  std::vector<HtmlPiece> out_;
  std::u16string text_, linkText_, linkTarget_;
  bool bold_ = false, inLink_ = false, pendingSpace_ = false, lineStart_ = true;
  int tables_ = 0, table_ = -1, row_ = 0, cell_ = 0, width_ = 0;
  char align_ = 'l';
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

namespace {

constexpr int kCellPad = 2;  // pixels inside each side of a table cell

// Lays pieces [first, last) out in lines `width` wide from (x0, y0), each line aligned as the
// pieces ask; answers the height used.
int LayFlow(HDC dc, HFONT font, HFONT bold, const std::vector<HtmlPiece>& pieces, size_t first, size_t last, int x0,
            int y0, int width, std::vector<HtmlBox>* boxes) {
  SelectObject(dc, font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  const int line = tm.tmHeight + 2;
  const int pad = 4;
  int x = 0, y = 0, lineHeight = line;
  size_t lineStart = boxes->size();
  auto measure = [&](const std::u16string& text, bool isBold) {
    SelectObject(dc, isBold ? bold : font);
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
  };
  // Moves the finished line's boxes to their alignment.
  auto alignLine = [&] {
    if (lineStart >= boxes->size()) return;
    const char align = pieces[(*boxes)[lineStart].piece].align;
    int used = 0;
    for (size_t b = lineStart; b < boxes->size(); ++b) used = std::max<int>(used, (*boxes)[b].rect.right - x0);
    const int shift = align == 'r' ? width - used : align == 'c' ? (width - used) / 2 : 0;
    if (shift > 0)
      for (size_t b = lineStart; b < boxes->size(); ++b) OffsetRect(&(*boxes)[b].rect, shift, 0);
    lineStart = boxes->size();
  };
  auto newLine = [&] {
    alignLine();
    y += lineHeight;
    x = 0;
    lineHeight = line;
  };
  auto place = [&](size_t piece, int w, int h, size_t start, size_t length) {
    if (x > 0 && x + w > width) newLine();
    boxes->push_back({piece, RECT{x0 + x, y0 + y, x0 + x + w, y0 + y + h}, start, length});
    x += w;
    lineHeight = std::max(lineHeight, h);
  };
  for (size_t i = first; i < last; ++i) {
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
        boxes->push_back({i, RECT{x0, y0 + y + pad / 2, x0 + width, y0 + y + pad / 2 + 1}, 0, 0});
        y += pad;
        lineStart = boxes->size();
        break;
    }
  }
  alignLine();
  if (x > 0) y += lineHeight;
  return y;
}

}  // namespace

std::vector<HtmlBox> LayOutBubbleHtml(HDC dc, HFONT font, HFONT bold, const std::vector<HtmlPiece>& pieces, int width,
                                      int* height) {
  std::vector<HtmlBox> boxes;
  HGDIOBJ old = SelectObject(dc, font);
  int y = 0;
  size_t i = 0;
  while (i < pieces.size()) {
    size_t end = i;
    if (pieces[i].table < 0) {
      while (end < pieces.size() && pieces[end].table < 0) ++end;
      y += LayFlow(dc, font, bold, pieces, i, end, 0, y, width, &boxes);
      i = end;
      continue;
    }
    // One table row: its cells side by side, widths by their per cents (scaled down when they
    // ask for more than the whole), the cells without one sharing what is left.
    while (end < pieces.size() && pieces[end].table == pieces[i].table && pieces[end].row == pieces[i].row) ++end;
    std::vector<std::pair<size_t, size_t>> cells;  // piece ranges
    for (size_t k = i; k < end; ++k) {
      if (cells.empty() || pieces[k].cell != pieces[cells.back().first].cell) cells.push_back({k, k});
      cells.back().second = k + 1;
    }
    int asked = 0, unsized = 0;
    for (const auto& c : cells) {
      asked += pieces[c.first].widthPercent;
      if (!pieces[c.first].widthPercent) ++unsized;
    }
    const int total = std::max(asked, 100);
    const int spare = std::max(100 - asked, 0);
    std::vector<int> widths, natural;
    for (size_t c = 0; c < cells.size(); ++c) {
      const int percent = pieces[cells[c].first].widthPercent;
      widths.push_back(percent ? width * percent / total : (unsized ? width * spare / 100 / unsized : 0));
      // What the cell needs to keep each of its lines whole.
      std::vector<HtmlBox> trial;
      LayFlow(dc, font, bold, pieces, cells[c].first, cells[c].second, 0, 0, width * 4, &trial);
      int need = 0;
      for (const HtmlBox& b : trial)
        if (pieces[b.piece].kind != HtmlPiece::Rule) need = std::max<int>(need, b.rect.right + 2 * kCellPad);
      natural.push_back(need);
    }
    // A cell too narrow for its lines takes room from cells that have more than they need.
    for (size_t c = 0; c < cells.size(); ++c) {
      for (size_t d = 0; d < cells.size() && widths[c] < natural[c]; ++d) {
        const int slack = widths[d] - natural[d];
        if (d == c || slack <= 0) continue;
        const int take = std::min(slack, natural[c] - widths[c]);
        widths[d] -= take;
        widths[c] += take;
      }
    }
    int x = 0, rowHeight = 0;
    for (size_t c = 0; c < cells.size(); ++c) {
      const int w = c + 1 == cells.size() ? width - x : widths[c];  // the last cell takes the rounding
      rowHeight = std::max(rowHeight, LayFlow(dc, font, bold, pieces, cells[c].first, cells[c].second, x + kCellPad, y,
                                              std::max(w - 2 * kCellPad, 1), &boxes));
      x += w;
    }
    y += rowHeight;
    i = end;
  }
  SelectObject(dc, old);
  *height = y;
  return boxes;
}

}  // namespace zb::shell
