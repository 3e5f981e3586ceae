// The search-expression language of operator 9, as a table of pattern, text and outcome.
#include <gtest/gtest.h>

#include "helpers.h"
#include "tag_compare.h"

using namespace testing_helpers;

namespace {

struct SearchCase {
  const char16_t* pattern;
  const char16_t* text;
  bool matches;
};

const SearchCase kCases[] = {
    // The examples: wildcard with a negative term, anchors, alternatives.
    {u"beat* -live", u"Beatles Anthology", true},
    {u"beat* -live", u"Beatles live", false},
    {u"^the", u"The End", true},
    {u"^the", u"Into the Night", false},
    {u"rock or jazz", u"smooth jazz", true},
    {u"rock or jazz", u"Rock music", true},
    {u"rock or jazz", u"Rock and jazz", true},
    {u"rock or jazz", u"pop", false},
    // Plain terms must all be found.
    {u"abba gold", u"ABBA Gold: Greatest Hits", true},
    {u"abba gold", u"ABBA Arrival", false},
    {u"", u"", true},
    {u"", u"x", false},
    // End anchor, on any occurrence.
    {u"live$", u"Alive and live", true},
    {u"live$", u"Live at Wembley", false},
    {u"la$", u"lala", true},
    {u"^abc$", u"abc", true},
    {u"^abc$", u"abcabc", false},
    // Quoted phrases stay one term.
    {u"\"the end\"", u"This is the end", true},
    {u"\"the end\"", u"The end is near", true},
    {u"\"the end\"", u"The other end", false},
    {u"\"the end\" -\"live\"", u"The end (live)", false},
    // '*' stands for characters within one word.
    {u"b*s", u"Beatles", true},
    {u"b*s", u"bob beats", true},
    {u"b*s", u"bob and dogs", false},
    {u"*tles", u"Beatles", true},
    {u"w*r*o", u"Waterloo", true},
    {u"^b*s$", u"Beatles", true},
    {u"^a*b$", u"abab", true},
    {u"^a*b$", u"ab ab", false},
    {u"*", u"anything", true},
    // Negative terms.
    {u"-live", u"Studio", true},
    {u"-live", u"Live", false},
    {u"- x", u"x", true},  // a bare '-' excludes nothing
    // More alternatives.
    // Each "or" needs one satisfied alternative beside it.
    {u"a or b or c", u"a c", true},
    {u"a or b or c", u"c", false},
    {u"a or b or c", u"d", false},
    {u"queen rock or jazz", u"Queen jazz", true},
    {u"queen rock or jazz", u"jazz", false},
    {u"^the or live", u"Live at the Roxy", true},
    {u"OR", u"anything", false},
};

TEST(SearchExpression, TableOfPatterns) {
  for (const SearchCase& c : kCases)
    EXPECT_EQ(MatchesSearchExpression(c.text, c.pattern), c.matches)
        << "'" << Narrow(c.pattern) << "' on '" << Narrow(c.text) << "'";
}

TEST(SearchExpression, OperatorNineRoutesPlainWordsAndEmptyTexts) {
  // Through the operator: an empty stored text matches only an empty pattern, and a plain word
  // is a contains test (so a word that happens to be "or" is just text).
  CTagValue empty;
  empty.id = TAG_ARTIST;
  CTagValue emptyPattern;
  emptyPattern.id = TAG_ARTIST;
  EXPECT_TRUE(EvaluateOperator(9, empty, emptyPattern));
  EXPECT_FALSE(EvaluateOperator(9, empty, CTagValue::ForText(TAG_ARTIST, u"x")));
  EXPECT_TRUE(EvaluateOperator(9, CTagValue::ForText(TAG_ARTIST, u"Doors"), CTagValue::ForText(TAG_ARTIST, u"or")));
  EXPECT_FALSE(EvaluateOperator(9, CTagValue::ForText(TAG_ARTIST, u"Doors"), CTagValue::ForText(TAG_ARTIST, u"-or")));
}

}  // namespace
