// The free-text search expression of operator 9: terms split at spaces (quoted phrases stay
// whole), '-' terms that must not occur, "or" between alternatives, '^' and '$' anchors, and
// '*' standing for a run of characters within one word. Case is ignored throughout. A pattern is
// read once into its terms, so a query that tests every entry against it does not read it again.
#include <algorithm>
#include <string>
#include <vector>

#include "search_expression.h"
#include "string_tokenizer.h"
#include "wide_text.h"

namespace {

constexpr size_t npos = std::u16string_view::npos;

struct Found {
  size_t begin = npos;
  size_t end = npos;
  explicit operator bool() const { return begin != npos; }
};

// The pieces of a term between its '*'; a lone '*' at either end just widens the search.
std::vector<std::u16string> Pieces(std::u16string_view term) {
  const size_t stars = static_cast<size_t>(std::count(term.begin(), term.end(), u'*'));
  if (stars == 1 && (term.front() == u'*' || term.back() == u'*'))
    return {std::u16string(term.front() == u'*' ? term.substr(1) : term.substr(0, term.size() - 1))};
  std::vector<std::u16string> pieces;
  size_t start = 0;
  for (;;) {
    size_t star = term.find(u'*', start);
    std::u16string_view piece = term.substr(start, star == npos ? npos : star - start);
    if (!piece.empty()) pieces.emplace_back(piece);
    if (star == npos) break;
    start = star + 1;
  }
  return pieces;
}

// The pieces in order, the first at `begin`, the later ones within the same word: middle pieces
// are best taken leftmost; with `toEnd` the last one must end the text.
Found MatchAt(std::u16string_view text, const std::vector<std::u16string>& pieces, size_t begin, bool toEnd) {
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

// The first occurrence of the term, trying each place where its first piece occurs.
Found SearchTerm(std::u16string_view text, const std::vector<std::u16string>& pieces, bool toEnd) {
  if (pieces.empty()) return MatchAt(text, pieces, 0, toEnd);
  for (size_t begin = zblib::FindNoCase(text, pieces[0]); begin != npos; begin = zblib::FindNoCase(text, pieces[0], begin + 1))
    if (Found found = MatchAt(text, pieces, begin, toEnd)) return found;
  return {};
}

bool IsOr(std::u16string_view term) { return zblib::EqualNoCase(term, u"or"); }

}  // namespace

CSearchExpression::CSearchExpression(std::u16string_view pattern) : empty_(pattern.empty()) {
  if (empty_) return;
  const bool startAnchor = pattern.front() == u'^';
  if (startAnchor) pattern.remove_prefix(1);
  const bool endAnchor = !pattern.empty() && pattern.back() == u'$';
  if (endAnchor) pattern.remove_suffix(1);

  CStringTokenizer tokenizer(pattern, u' ', u'"');
  std::vector<std::u16string> words;
  for (int i = 1; i <= tokenizer.GetCount(); ++i) {
    std::u16string word = tokenizer.GetToken(i, TRUE);
    if (!word.empty()) words.push_back(std::move(word));
  }
  const size_t n = words.size();
  for (size_t i = 0; i < n; ++i) {
    const std::u16string_view word = words[i];
    Term term;
    term.orBefore = i > 0 && IsOr(words[i - 1]);
    term.orAfter = i + 1 < n && IsOr(words[i + 1]);
    if (IsOr(word)) {
      term.kind = Term::kOr;
      ++alternatives_;
    } else if (word.front() == u'-') {
      term.kind = Term::kExcluded;
      term.pieces = Pieces(word.substr(1));
    } else {
      term.pieces = Pieces(word);
      term.mayBeMissing = (term.orAfter && n - i - 1 >= 2) || term.orBefore;
      term.atStart = i == 0 && startAnchor;
      term.atEnd = i + 1 == n && endAnchor;
    }
    terms_.push_back(std::move(term));
  }
}

bool CSearchExpression::Matches(std::u16string_view text) const {
  if (empty_) return text.empty();
  int satisfied = 0;
  for (const Term& term : terms_) {
    if (term.kind == Term::kOr) continue;
    if (term.kind == Term::kExcluded) {
      if (!term.pieces.empty() && SearchTerm(text, term.pieces, false)) return false;
      continue;
    }
    if (!SearchTerm(text, term.pieces, false)) {
      if (term.mayBeMissing) continue;
      return false;
    }
    bool anchored = true;
    if (term.atStart) anchored = static_cast<bool>(MatchAt(text, term.pieces, 0, term.atEnd));
    else if (term.atEnd) anchored = static_cast<bool>(SearchTerm(text, term.pieces, true));
    if (!anchored) {
      if (!term.orBefore && !term.orAfter) return false;
      continue;
    }
    if (term.orBefore || term.orAfter) ++satisfied;
  }
  return alternatives_ == 0 || satisfied >= alternatives_;
}

bool MatchesSearchExpression(std::u16string_view text, std::u16string_view pattern) {
  return CSearchExpression(pattern).Matches(text);
}
