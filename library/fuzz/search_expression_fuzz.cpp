// Fuzz target: a search expression and a text, split at the first newline, through operator 9
// and the expression matcher directly. Nothing may fault, whatever the pattern.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tag_compare.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string input(data, data + size);
  size_t split = input.find(u'\n');
  std::u16string pattern = input.substr(0, split);
  std::u16string text = split == std::u16string::npos ? u"Beatles Anthology" : input.substr(split + 1);
  (void)MatchesSearchExpression(text, pattern);
  CTagValue v = CTagValue::ForText(TAG_ARTIST, text);
  CTagValue p = CTagValue::ForText(TAG_ARTIST, pattern);
  if (v.id == TAG_ARTIST && p.id == TAG_ARTIST) (void)EvaluateOperator(TAGOP_STR_SEARCH, v, p);
  return 0;
}
