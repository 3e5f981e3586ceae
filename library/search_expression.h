// The free-text search expression behind operator 9 ("beat* -live", "^the", "rock or jazz"),
// read once into its terms and then tested against any number of texts.
#pragma once
#include <string>
#include <string_view>
#include <vector>

class CSearchExpression {
 public:
  explicit CSearchExpression(std::u16string_view pattern);
  bool Matches(std::u16string_view text) const;

 private:
  struct Term {
    enum Kind { kRequired, kExcluded, kOr } kind = kRequired;
    std::vector<std::u16string> pieces;  // the parts between its '*'
    bool orBefore = false, orAfter = false;
    bool mayBeMissing = false;  // one of several alternatives
    bool atStart = false, atEnd = false;
  };

  bool empty_;
  int alternatives_ = 0;
  std::vector<Term> terms_;
};

bool MatchesSearchExpression(std::u16string_view text, std::u16string_view pattern);
