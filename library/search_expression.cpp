// The free-text search expression of operator 9: terms split at spaces (quoted phrases stay
// whole), '-' terms that must not occur, "or" between alternatives, '^' and '$' anchors, and
// '*' standing for a run of characters within one word. Case is ignored throughout.
#include <algorithm>
#include <string>
#include <vector>

#include "string_tokenizer.h"
#include "tag_compare.h"
#include "wide_text.h"

namespace {

constexpr size_t npos = std::u16string_view::npos;

struct Found {
  size_t begin = npos;
  size_t end = npos;
  explicit operator bool() const { return begin != npos; }
};

// The pieces of a term between its '*'; a lone '*' at either end just widens the search.
std::vector<std::u16string_view> Pieces(std::u16string_view term) {
  const size_t stars = static_cast<size_t>(std::count(term.begin(), term.end(), u'*'));
  if (stars == 1 && (term.front() == u'*' || term.back() == u'*'))
    return {term.front() == u'*' ? term.substr(1) : term.substr(0, term.size() - 1)};
  std::vector<std::u16string_view> pieces;
  size_t start = 0;
  for (;;) {
    size_t star = term.find(u'*', start);
    std::u16string_view piece = term.substr(start, star == npos ? npos : star - start);
    if (!piece.empty()) pieces.push_back(piece);
    if (star == npos) break;
    start = star + 1;
  }
  return pieces;
}

// The pieces in order, the first at `begin`, the later ones within the same word: middle pieces
// are best taken leftmost; with `toEnd` the last one must end the text.
Found MatchAt(std::u16string_view text, const std::vector<std::u16string_view>& pieces, size_t begin, bool toEnd) {
  if (pieces.empty()) return {begin, begin};
  const std::u16string_view first = pieces[0];
  if (begin + first.size() > text.size() || !zblib::EqualNoCase(text.substr(begin, first.size()), first)) return {};
  size_t end = begin + first.size();
  for (size_t i = 1; i < pieces.size(); ++i) {
    const bool last = i + 1 == pieces.size();
    size_t at = last && toEnd ? (text.size() >= pieces[i].size() ? text.size() - pieces[i].size() : npos)
                              : zblib::FindNoCase(text, pieces[i], end);
    if (at == npos || at < end || !zblib::EqualNoCase(text.substr(at, pieces[i].size()), pieces[i]) ||
        text.substr(end, at - end).find(u' ') != npos)
      return {};
    end = at + pieces[i].size();
  }
  if (toEnd && end != text.size()) return {};
  return {begin, end};
}

// The first occurrence of the term, trying each start of its first piece.
Found SearchTerm(std::u16string_view text, const std::vector<std::u16string_view>& pieces, bool toEnd) {
  for (size_t begin = 0; begin <= text.size(); ++begin)
    if (Found found = MatchAt(text, pieces, begin, toEnd)) return found;
  return {};
}

bool IsOr(std::u16string_view term) { return zblib::EqualNoCase(term, u"or"); }

}  // namespace

bool MatchesSearchExpression(std::u16string_view text, std::u16string_view pattern) {
  if (pattern.empty()) return text.empty();
  const bool startAnchor = pattern.front() == u'^';
  if (startAnchor) pattern.remove_prefix(1);
  const bool endAnchor = !pattern.empty() && pattern.back() == u'$';
  if (endAnchor) pattern.remove_suffix(1);

  CStringTokenizer tokenizer(pattern, u' ', u'"');
  std::vector<std::u16string> terms;
  for (int i = 1; i <= tokenizer.GetCount(); ++i) {
    std::u16string term = tokenizer.GetToken(i, TRUE);
    if (!term.empty()) terms.push_back(std::move(term));
  }

  int alternatives = 0, satisfied = 0;
  const size_t n = terms.size();
  for (size_t i = 0; i < n; ++i) {
    const std::u16string_view term = terms[i];
    const bool orBefore = i > 0 && IsOr(terms[i - 1]);
    const bool orAfter = i + 1 < n && IsOr(terms[i + 1]);
    if (IsOr(term)) {
      ++alternatives;
      continue;
    }
    if (term.front() == u'-') {
      const auto pieces = Pieces(term.substr(1));
      if (!pieces.empty() && SearchTerm(text, pieces, false)) return false;
      continue;
    }
    const auto pieces = Pieces(term);
    if (!SearchTerm(text, pieces, false)) {
      if ((orAfter && n - i - 1 >= 2) || orBefore) continue;
      return false;
    }
    const bool needStart = i == 0 && startAnchor, needEnd = i + 1 == n && endAnchor;
    bool anchored = true;
    if (needStart) anchored = static_cast<bool>(MatchAt(text, pieces, 0, needEnd));
    else if (needEnd) anchored = static_cast<bool>(SearchTerm(text, pieces, true));
    if (!anchored) {
      if (!orBefore && !orAfter) return false;
      continue;
    }
    if (orBefore || orAfter) ++satisfied;
  }
  return alternatives == 0 || satisfied >= alternatives;
}
