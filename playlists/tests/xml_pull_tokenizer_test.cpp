// CXmlPullTokenizer: token streams for markup, entities, sections and the forgiving cases.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xml_pull_tokenizer.h"

namespace {

std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

// Renders each token as "code:payload" (payload: name, name=value or text), up to the end.
std::vector<std::string> Tokenize(std::u16string_view input, XmlEntityResolver resolver = nullptr,
                                  void* context = nullptr) {
  CXmlTextSource source(input);
  CXmlPullTokenizer tokenizer(&source, resolver, context);
  std::vector<std::string> out;
  for (int guard = 0; guard < 10000; ++guard) {
    int token = tokenizer.Next();
    if (token == XML_END) break;
    std::string entry = std::to_string(token);
    switch (token) {
      case XML_START_TAG:
      case XML_END_TAG:
        entry += std::string(":") + tokenizer.GetTagName();
        break;
      case XML_ATTRIBUTE:
        entry += std::string(":") + tokenizer.GetAttributeName() + "=" + Narrow(tokenizer.GetText());
        break;
      case XML_TEXT:
      case XML_WHITESPACE:
      case XML_SECTION_TEXT:
        entry += ":" + Narrow(tokenizer.GetText());
        break;
      default:
        break;
    }
    out.push_back(entry);
  }
  return out;
}

struct TokenCase {
  const char16_t* input;
  std::vector<std::string> tokens;
};

const TokenCase kTokenCases[] = {
    {u"<a href=x>link</a>", {"1:a", "3:href=x", "4:link", "2:a"}},
    {u"<a href=\"x y\" b='1'>", {"1:a", "3:href=x y", "3:b=1"}},
    {u"<br/>", {"1:br", "2:br"}},
    {u"<input checked>", {"1:input", "3:checked="}},
    {u"<input checked/>", {"1:input", "3:checked=", "2:input"}},
    {u"<a href = 'v' >t", {"1:a", "3:href=v", "4:t"}},
    {u"<a href=http://x.org/p/>", {"1:a", "3:href=http://x.org/p", "2:a"}},
    {u"</b >", {"2:b"}},
    {u"</ b>", {"-1", "4:b>"}},  // no name after "</"
    {u"hello world", {"4:hello", "5: ", "4:world"}},
    {u"a \t\r\nb", {"4:a", "5: \t\r\n", "4:b"}},
    {u"&lt;b&gt;", {"4:<b", "4:>"}},
    {u"&amp;&apos;&quot;&;", {"4:&", "4:'", "4:\"", "4:&"}},
    {u"&nbsp;x", {"4:&nbspx"}},
    {u"&nbsp x", {"4:&nbsp", "5: ", "4:x"}},
    {u"AT&T<br>", {"4:AT", "4:&T", "1:br"}},
    {u"&#38;&#x26;&#X41;", {"4:&", "4:&", "4:A"}},
    {u"&#;&#x;&#0;&#xD800;&#12a;", {"4:&#", "4:&#x", "4:&#0", "4:&#xD800", "4:&#12a"}},
    {u"<a t=\"&lt;&#60;&bogus;\">", {"1:a", "3:t=<<&bogus"}},
    {u"<a t=x&amp;y>", {"1:a", "3:t=x&y"}},
    {u"<!-- c -->", {"7", "6: c ", "8"}},
    {u"<!---->x", {"7", "6:", "8", "4:x"}},
    {u"<!-- a->b --->", {"7", "6: a->b -", "8"}},
    {u"<![CDATA[<x>]]]>", {"9", "6:<x>]", "10"}},
    {u"<?xml version=\"1.0\"?><r/>", {"11", "3:version=1.0", "12", "1:r", "2:r"}},
    {u"<!ENTITY e \"a>b\">t", {"13", "6: e \"a>b\"", "14", "4:t"}},
    {u"<a", {"-1"}},
    {u"</a x>", {"-1", "4:x>"}},
    {u"<a b=\"open", {"1:a", "-1"}},
    {u"<a ?x>", {"1:a", "-1", "3:x="}},
    {u"<a b <c>", {"1:a", "3:b=", "-1", "1:c"}},
    {u"<!-- never closed", {"7"}},
};

TEST(XmlPullTokenizerTokens, TableOfInputs) {
  for (const TokenCase& c : kTokenCases) {
    SCOPED_TRACE(Narrow(c.input));
    EXPECT_EQ(Tokenize(c.input), c.tokens);
  }
}

WCHAR ResolveNbsp(const char* name, int length, void* context) {
  auto* seen = static_cast<std::vector<std::string>*>(context);
  seen->emplace_back(name, static_cast<size_t>(length));
  return std::string_view(name, static_cast<size_t>(length)) == "nbsp" ? u'\u00A0' : 0;
}

TEST(XmlPullTokenizerEntities, ResolverAnswersUnknownNamesOnly) {
  std::vector<std::string> seen;
  CXmlTextSource source(u"&nbsp;&lt;&unknown;");
  CXmlPullTokenizer tokenizer(&source, ResolveNbsp, &seen);
  ASSERT_EQ(tokenizer.Next(), XML_TEXT);
  EXPECT_EQ(std::u16string(tokenizer.GetText()), u"\u00A0");
  ASSERT_EQ(tokenizer.Next(), XML_TEXT);
  EXPECT_EQ(std::u16string(tokenizer.GetText()), u"<");
  ASSERT_EQ(tokenizer.Next(), XML_TEXT);
  EXPECT_EQ(std::u16string(tokenizer.GetText()), u"&unknown");
  EXPECT_EQ(seen, (std::vector<std::string>{"nbsp", "unknown"}));
}

TEST(XmlPullTokenizerEntities, NameOfThirtyOneCharactersIsLookedUpWhole) {
  const std::string name31(31, 'e');
  std::vector<std::string> seen;
  std::u16string input = u"&" + std::u16string(31, u'e') + u";after";
  CXmlTextSource source(input);
  CXmlPullTokenizer tokenizer(&source, ResolveNbsp, &seen);
  ASSERT_EQ(tokenizer.Next(), XML_TEXT);
  EXPECT_EQ(std::u16string(tokenizer.GetText()), u"&" + std::u16string(31, u'e') + u"after");
  EXPECT_EQ(seen, std::vector<std::string>{name31});
}

TEST(XmlPullTokenizerEntities, LongerNameIsCutAtThirtyOneAndTheRestIsText) {
  std::vector<std::string> seen;
  std::u16string input = u"&" + std::u16string(40, u'f') + u";";
  CXmlTextSource source(input);
  CXmlPullTokenizer tokenizer(&source, ResolveNbsp, &seen);
  ASSERT_EQ(tokenizer.Next(), XML_TEXT);
  EXPECT_EQ(std::u16string(tokenizer.GetText()), u"&" + std::u16string(40, u'f') + u";");
  EXPECT_EQ(seen, std::vector<std::string>{std::string(31, 'f')});
}

TEST(XmlPullTokenizerEntities, CharacterBeyondTheBmpBecomesASurrogatePair) {
  CXmlTextSource source(u"&#x1F600;");
  CXmlPullTokenizer tokenizer(&source);
  ASSERT_EQ(tokenizer.Next(), XML_TEXT);
  EXPECT_EQ(std::u16string(tokenizer.GetText()), u"\U0001F600");
}

TEST(XmlPullTokenizerLimits, TextIsCutAt1023Characters) {
  std::u16string input(3000, u'x');
  CXmlTextSource source(input);
  CXmlPullTokenizer tokenizer(&source);
  ASSERT_EQ(tokenizer.Next(), XML_TEXT);
  EXPECT_EQ(std::u16string(tokenizer.GetText()).size(), 1023u);
  EXPECT_EQ(tokenizer.Next(), XML_END);
}

TEST(XmlPullTokenizerLimits, NamesAreCutAt127Bytes) {
  std::u16string input = u"<" + std::u16string(300, u'n') + u" " + std::u16string(200, u'a') + u"=1>";
  CXmlTextSource source(input);
  CXmlPullTokenizer tokenizer(&source);
  ASSERT_EQ(tokenizer.Next(), XML_START_TAG);
  EXPECT_EQ(std::string(tokenizer.GetTagName()), std::string(127, 'n'));
  ASSERT_EQ(tokenizer.Next(), XML_ATTRIBUTE);
  EXPECT_EQ(std::string(tokenizer.GetAttributeName()), std::string(127, 'a'));
}

TEST(XmlPullTokenizerLimits, LongCommentComesInPiecesAndKeepsASplitMark) {
  // 1022 characters and then "-->" : the mark straddles the first 1023-character piece.
  std::u16string content(1022, u'c');
  std::u16string input = u"<!--" + content + u"-->";
  CXmlTextSource source(input);
  CXmlPullTokenizer tokenizer(&source);
  ASSERT_EQ(tokenizer.Next(), XML_COMMENT_START);
  std::u16string collected;
  int token;
  while ((token = tokenizer.Next()) == XML_SECTION_TEXT) collected += tokenizer.GetText();
  EXPECT_EQ(token, XML_COMMENT_END);
  EXPECT_EQ(collected, content);

  std::u16string big(2500, u'd');
  std::u16string input2 = u"<![CDATA[" + big + u"]]>";
  CXmlTextSource source2(input2);
  CXmlPullTokenizer tokenizer2(&source2);
  ASSERT_EQ(tokenizer2.Next(), XML_CDATA_START);
  std::vector<size_t> pieces;
  collected.clear();
  while ((token = tokenizer2.Next()) == XML_SECTION_TEXT) {
    pieces.push_back(std::u16string(tokenizer2.GetText()).size());
    collected += tokenizer2.GetText();
  }
  EXPECT_EQ(token, XML_CDATA_END);
  EXPECT_EQ(collected, big);
  EXPECT_EQ(pieces.front(), 1023u);
}

TEST(XmlPullTokenizerLimits, NonLatinNamesAreKeptOneByteEach) {
  CXmlTextSource source(u"<\u4E2D\u00E9>");
  CXmlPullTokenizer tokenizer(&source);
  ASSERT_EQ(tokenizer.Next(), XML_START_TAG);
  EXPECT_EQ(std::string(tokenizer.GetTagName()), std::string("?\xE9"));
}

}  // namespace
