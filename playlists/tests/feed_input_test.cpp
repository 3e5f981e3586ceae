// Feed documents as they arrive: in the encodings publishers declare or mark, chosen by their
// root element alone, and broken or hostile ones, which end with an error and the entries read
// before the fault, never a crash or memory out of bounds.
#include "feed_test_support.h"

namespace {

using namespace feedtest;

constexpr char kUtf8Feed[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel><title>Caf\xC3\xA9 "
    "\xD0\xA0\xD0\xB0\xD0\xB4\xD0\xB8\xD0\xBE \xF0\x9F\x8E\xB5</title><item><title>\xC3\x89t\xC3\xA9</title>"
    "<enclosure url=\"http://x.example/a.mp3\" type=\"audio/mpeg\"/></item></channel></rss>";
constexpr char16_t kUtf8Title[] = u"Café Радио \U0001F3B5";

std::string Utf16(const std::u16string& text, bool bigEndian, bool mark) {
  std::string bytes = mark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
  for (char16_t c : text) {
    const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

std::u16string Wide(const std::string& utf8) {
  std::u16string text;
  EXPECT_TRUE(DecodeFeedDocument(utf8, -2, text));
  return text;
}

TEST(FeedEncodings, EachDocumentIsReadInItsOwnEncoding) {
  std::u16string utf16Text = Wide(kUtf8Feed);
  utf16Text.replace(utf16Text.find(u"UTF-8"), 5, u"UTF-16");
  const struct {
    const char* name;
    std::string bytes;
    int fallback;  // the reader's code page, which none of these needs
    std::u16string title;
    std::u16string itemTitle;
  } cases[] = {
      {"UTF-8 without a mark", kUtf8Feed, -1, kUtf8Title, u"Été"},
      {"UTF-8 with a mark", std::string("\xEF\xBB\xBF") + kUtf8Feed, 1251, kUtf8Title, u"Été"},
      {"UTF-16 little-endian with a mark", Utf16(utf16Text, false, true), -1, kUtf8Title, u"Été"},
      {"UTF-16 big-endian with a mark", Utf16(utf16Text, true, true), -1, kUtf8Title, u"Été"},
      {"UTF-16 without a mark", Utf16(utf16Text, false, false), -1, kUtf8Title, u"Été"},
      {"ISO-8859-1 declared", CorpusBytes("latin1.rss"), -2, u"Café Crème", u"Noël à la plage"},
      {"windows-1251 declared", CorpusBytes("cp1251.rss"), -1, u"Радио", u"Новости"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Parsed parsed = ParseBytes(c.bytes, u"http://x.example/feed", c.fallback);
    ASSERT_TRUE(parsed.parser);
    EXPECT_EQ(parsed.result, 1) << Shown(parsed.parser->GetError());
    EXPECT_EQ(parsed.parser->GetTitle(), c.title);
    ASSERT_EQ(parsed.parser->GetItemCount(), 1);
    EXPECT_EQ(parsed.parser->GetItem(0)->title, c.itemTitle);
  }
}

TEST(FeedEncodings, AnUndeclaredDocumentThatIsNotUtf8FallsBackToTheReadersCodePage) {
  std::u16string text;
  ASSERT_TRUE(DecodeFeedDocument("<rss><channel><title>\xC0\xE1</title></channel></rss>", 1251, text));
  EXPECT_NE(text.find(u"Аб"), std::u16string::npos);
  ASSERT_TRUE(DecodeFeedDocument("<rss><channel><title>\xE9</title></channel></rss>", -1, text));
  EXPECT_NE(text.find(u"é"), std::u16string::npos);
}

TEST(FeedChoice, TheRootElementChoosesTheParser) {
  const struct {
    const char16_t* text;
    bool found;
  } cases[] = {
      // "<rss" in an outline's URL and a comment must not make an OPML outline an RSS feed.
      {u"<?xml version='1.0'?><!-- <rss> --><opml><body><outline text='a' type='audio' url='http://x/?q=&lt;rss'/>"
       u"</body></opml>",
       true},
      {u"\uFEFF  <!DOCTYPE rss PUBLIC \"-//x//DTD RSS 0.91//EN\" \"http://x/rss.dtd\"><rss><channel/></rss>", true},
      {u"<!DOCTYPE x [<!ENTITY e \"<rss>\">]><html><rss/></html>", false},
      {u"<html><body><opml/></body></html>", false},
      {u"<Asx version='3'><Entry><Ref href='http://x/a.mp3'/></Entry></Asx>", true},
      {u"<RSS/>", false},
      {u"plain text <rss>", false},
      {u"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Shown(c.text));
    std::unique_ptr<CFeedParser> parser(CreateFeedParser(c.text));
    EXPECT_EQ(parser != nullptr, c.found);
  }
  Parsed outline = Parse(cases[0].text, u"\\x.opml");
  ASSERT_TRUE(outline.parser);
  EXPECT_EQ(Listing(*outline.parser), "title \nhttp://x/?q=<rss | a |  | -2 | 0\n");
}

TEST(FeedBadInput, AnUnterminatedDocumentKeepsTheEntriesBeforeTheFault) {
  const std::u16string text =
      u"<rss><channel><item><title>one</title><link>http://x/1</link></item>"
      u"<item><title>two</title><link>http://x/2</link></item><item><title>thr";
  Parsed parsed = Parse(text, u"http://x/feed");
  ASSERT_TRUE(parsed.parser);
  EXPECT_EQ(parsed.result, 0);
  EXPECT_NE(parsed.parser->GetError().find(u"line 1"), std::u16string::npos) << Shown(parsed.parser->GetError());
  ASSERT_GE(parsed.parser->GetItemCount(), 2);
  EXPECT_EQ(parsed.parser->GetItem(1)->url, u"http://x/2");
}

TEST(FeedBadInput, TenMegabytesOfNestedElementsEndWithAnError) {
  std::u16string text = u"<rss><channel><item><title>kept</title><link>http://x/k</link></item><item><description>";
  const size_t levels = 10u << 20 >> 3;
  text.reserve(text.size() + levels * 3);
  for (size_t i = 0; i < levels; ++i) text += u"<a>";
  Parsed parsed = Parse(text, u"http://x/feed");
  ASSERT_TRUE(parsed.parser);
  EXPECT_EQ(parsed.result, 0);
  ASSERT_GE(parsed.parser->GetItemCount(), 1);
  EXPECT_EQ(parsed.parser->GetItem(0)->url, u"http://x/k");
}

TEST(FeedBadInput, EntitiesThatExpandAreStopped) {
  std::u16string text = u"<?xml version='1.0'?><!DOCTYPE rss [<!ENTITY a0 'laughs laughs laughs laughs'>";
  for (int i = 1; i < 12; ++i) {
    std::u16string name = u"a" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) + std::u16string(i / 10, u'x');
    std::u16string previous = u"a" + std::u16string(1, static_cast<char16_t>(u'0' + (i - 1) % 10)) +
                              std::u16string((i - 1) / 10, u'x');
    text += u"<!ENTITY " + name + u" '";
    for (int n = 0; n < 10; ++n) text += u"&" + previous + u";";
    text += u"'>";
  }
  text += u"]><rss><channel><title>&a1x;</title><item><title>t</title><description>&a1x;</description></item></channel></rss>";
  Parsed parsed = Parse(text, u"http://x/feed");
  ASSERT_TRUE(parsed.parser);
  EXPECT_EQ(parsed.result, 0);
  EXPECT_NE(parsed.parser->GetError().find(u"amplification"), std::u16string::npos) << Shown(parsed.parser->GetError());
}

TEST(FeedBadInput, AsxThatIsNotXmlIsLeftToTheLineReader) {
  Parsed parsed = Parse(u"<asx version=3.0><entry><ref href=\"http://x/a.mp3\"></entry></asx>", u"\\a.asx");
  ASSERT_TRUE(parsed.parser);
  EXPECT_EQ(parsed.result, 0);
}

}  // namespace
