// CStringTokenizer: splitting with and without quotes, token access and removal.
#include <gtest/gtest.h>

#include <vector>

#include "string_tokenizer.h"

namespace {

std::vector<std::u16string> Tokens(const CStringTokenizer& t, BOOL strip = FALSE) {
  std::vector<std::u16string> out;
  for (int i = 1; i <= t.GetCount(); ++i) out.push_back(t.GetToken(i, strip));
  return out;
}

struct SplitCase {
  const char16_t* text;
  WCHAR separator;
  WCHAR quote;
  std::vector<std::u16string> tokens;
};

const SplitCase kSplitCases[] = {
    {u"a,b,c", u',', 0, {u"a", u"b", u"c"}},
    {u"a,b,", u',', 0, {u"a", u"b", u""}},
    {u"", u',', 0, {u""}},
    {u",", u',', 0, {u"", u""}},
    {u",a", u',', 0, {u"", u"a"}},
    {u"a,,b", u',', 0, {u"a", u"", u"b"}},
    {u"abc", u',', 0, {u"abc"}},
    {u"a,b", 0, 0, {u"a,b"}},
    {u"", 0, 0, {u""}},
    {u"\"x,y\",z", u',', u'"', {u"\"x,y\"", u"z"}},
    {u"\"x,y\"tail,z", u',', u'"', {u"\"x,y\"tail", u"z"}},
    {u"a\"b,c\",d", u',', u'"', {u"a\"b", u"c\"", u"d"}},  // a quote inside a token does not open a run
    {u"\"x,y\"", u',', u'"', {u"\"x,y\""}},                 // closed quote at the very end
    {u"a,\"x,y", u',', u'"', {u"a", u"\"x,y"}},             // unterminated: runs to the end
    {u"\"x,", u',', u'"', {u"\"x,"}},                       // the ',' belongs to the open quote
    {u"beat* \"the end\" -live", u' ', u'"', {u"beat*", u"\"the end\"", u"-live"}},
};

TEST(StringTokenizerSplit, TableOfTexts) {
  for (const SplitCase& c : kSplitCases) {
    CStringTokenizer t(c.text, c.separator, c.quote);
    SCOPED_TRACE(std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text)));
    EXPECT_EQ(Tokens(t), c.tokens);
    EXPECT_EQ(t.GetCount(), static_cast<int>(c.tokens.size()));
    EXPECT_EQ(t.GetToken(0), c.text);
  }
}

TEST(StringTokenizerSplit, StripQuotesRemovesEveryQuoteCharacter) {
  CStringTokenizer t(u"\"x,y\",z", u',', u'"');
  EXPECT_EQ(t.GetToken(1, TRUE), u"x,y");
  EXPECT_EQ(t.GetToken(1, FALSE), u"\"x,y\"");
  CStringTokenizer unterminated(u"\"open, still", u',', u'"');
  EXPECT_EQ(Tokens(unterminated, TRUE), std::vector<std::u16string>{u"open, still"});
}

TEST(StringTokenizerSplit, SetReplacesEarlierTokens) {
  CStringTokenizer t(u"a,b,c", u',');
  t.Set(u"x;y", u';');
  EXPECT_EQ(Tokens(t), (std::vector<std::u16string>{u"x", u"y"}));
}

TEST(StringTokenizerAccess, OutOfRangeIndexesGiveTheErrorText) {
  CStringTokenizer t(u"a,b", u',');
  for (int index : {-1, 3, 100}) EXPECT_EQ(t.GetToken(index), u"ERROR: Array index out of range.");
  t.Clear();
  EXPECT_EQ(t.GetCount(), 0);
  EXPECT_EQ(t.GetToken(0), u"ERROR: Array index out of range.");
}

TEST(StringTokenizerRemove, RebuildsTheWholeText) {
  CStringTokenizer t(u"a;b;c", u';');
  t.RemoveToken(2);
  EXPECT_EQ(t.GetToken(0), u"a;c");
  EXPECT_EQ(Tokens(t), (std::vector<std::u16string>{u"a", u"c"}));
  t.RemoveToken(0);  // ignored: not a token
  t.RemoveToken(3);
  EXPECT_EQ(t.GetCount(), 2);
  t.RemoveToken(1);
  t.RemoveToken(1);
  EXPECT_EQ(t.GetCount(), 0);
  EXPECT_EQ(t.GetToken(0), u"");
}

}  // namespace
