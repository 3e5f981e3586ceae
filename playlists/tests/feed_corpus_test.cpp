// Feeds and directories as publishers write them, each parsed from its file in the corpus and
// compared entry by entry: RSS with enclosures, durations, links and HTML descriptions, OPML
// exports and nested directories, the radio directory's lists and ASX.
#include "feed_test_support.h"

namespace {

using namespace feedtest;

struct CorpusCase {
  const char* file;
  const char16_t* source;
  int result;
  const char* listing;
};

const CorpusCase kCases[] = {
    {"podcast_itunes.rss", u"http://harbour.example/feed.rss", 1,
     "title Harbour Talk\n"
     "http://cdn.harbour.example/ep3.mp3 | Episode 3: Tides | harbour-3 | 3723000 | 0\n"
     "https://cdn.harbour.example/ep2.mp3 | Episode 2: Gulls | harbour-2 | 123000 | 0\n"
     "http://cdn.harbour.example/ep1.m4v | (May not play) Episode 1: Ropes (video) |  | 45000 | 0\n"
     "http://harbour.example/notes | Show notes only |  | -1 | 1\n"},
    {"blog_descriptions.rss", u"http://field.example/feed.rss", 1,
     "title Field Recordings & Notes\n"
     "http://field.example/audio/rain.ogg | listen to the rain |  | -2 | 0\n"
     "http://field.example/audio/train.mp3 | Night train (mp3) |  | -2 | 0\n"
     "http://field.example/only-a-page | Only a page |  | -1 | 1\n"},
    {"podcasts_export.opml", u"\\My Documents\\podcasts.opml", 1,
     "title My Podcasts\n"
     "http://harbour.example/feed.rss | Harbour Talk |  | -1 | 1\n"
     "http://field.example/feed.rss | Field Recordings |  | -1 | 1\n"
     "http://search.example/find\\r\\nX-Zonbrel-Search: jazz piano\\r\\n | Library Search |  | -1 | 1\n"},
    {"directory.opml", u"http://guide.example/radio.opml", 1,
     "title Radio Guide\n"
     "http://guide.example/radio.opml\\r\\nX-OPML-Branch: Music\\r\\n | Music |  | -1 | 1\n"
     "http://guide.example/radio.opml\\r\\nX-OPML-Branch: Talk\\r\\n | Talk |  | -1 | 1\n"
     "http://guide.example/about.html | About this guide |  | -1 | 1\n"},
    {"directory.opml", u"http://guide.example/radio.opml\r\nX-OPML-Branch: Music\\Jazz\r\n", 1,
     "title Jazz\n"
     "http://stream.example/smooth.mp3 | Smooth Jazz Stream |  | 0 | 0\n"
     "http://guide.example/jazz.opml\\r\\nX-OPML-Branch: Music\\Jazz\\Archive\\r\\n | Jazz Archive |  | -1 | 1\n"
     "http://stream.example/live.mp3 | Live show |  | 300000 | 0\n"},
    // "Rock\Pop" has both text and id: the id names its branch, the text titles its entry.
    {"directory.opml", u"http://guide.example/radio.opml\r\nX-OPML-Branch: Music\r\n", 1,
     "title Music\n"
     "http://guide.example/radio.opml\\r\\nX-OPML-Branch: Music\\Jazz\\r\\n | Jazz |  | -1 | 1\n"
     "http://guide.example/radio.opml\\r\\nX-OPML-Branch: Music\\rockpop\\r\\n | Rock\\Pop |  | -1 | 1\n"},
    {"directory.opml", u"http://guide.example/radio.opml\r\nX-OPML-Branch: Music\\rockpop\r\n", 1,
     "title Rock\\Pop\n"
     "http://stream.example/top40.mp3 | Top 40 |  | -2 | 0\n"},
    {"genres.xml", u"http://dir.example/sbin/newxml.phtml", 1,
     "title Radio Directory\n"
     "http://dir.example/sbin/newxml.phtml?genre=Jazz | Jazz |  | -1 | 1\n"
     "http://dir.example/sbin/newxml.phtml?genre=Rock%20%26%20Roll | Rock & Roll |  | -1 | 1\n"
     "http://dir.example/sbin/newxml.phtml?genre=Drum%20n%20Bass | Drum n Bass |  | -1 | 1\n"
     "http://dir.example/sbin/newxml.phtml?genre=%C3%89lectro | Électro |  | -1 | 1\n"},
    {"stations.xml", u"http://dir.example/sbin/newxml.phtml?genre=Rock%20%26%20Roll", 1,
     "title Rock & Roll\n"
     "http://dir.example/sbin/tunein-station.pls?id=1234 | Smooth FM |  | -1 | 1\n"
     "http://dir.example/sbin/tunein-station.pls?id=4567 | Plain Radio |  | -1 | 1\n"
     "http://dir.example/sbin/tunein-station.pls?id=5%206%26x%3D1 | Odd Id |  | -1 | 1\n"},
    {"list.asx", u"http://lists.example/evening/list.asx", 1,
     "title \n"
     "http://media.example/blue.wma | Quiet Quartet - Blue Hour |  | -2 | 0\n"
     "mms://media.example/blue | Quiet Quartet - Blue Hour |  | -2 | 0\n"
     "\\Storage Card\\missing.mp3 | Solo Voice |  | -2 | 0\n"
     "http://lists.example/evening/songs/relative.mp3 |  |  | -2 | 0\n"},
};

TEST(FeedCorpus, EachDocumentYieldsItsEntries) {
  CallbackScope decoders(DecoderCallback);
  for (const CorpusCase& c : kCases) {
    SCOPED_TRACE(std::string(c.file) + " from " + Shown(c.source));
    const std::string bytes = CorpusBytes(c.file);
    ASSERT_FALSE(bytes.empty());
    Parsed parsed = ParseBytes(bytes, c.source);
    ASSERT_TRUE(parsed.parser);
    EXPECT_EQ(parsed.result, c.result);
    EXPECT_EQ(Listing(*parsed.parser), c.listing);
    EXPECT_EQ(parsed.parser->GetError(), u"");
  }
}

TEST(FeedCorpus, WithoutAPlayerAnswerNothingIsMarkedOrLeftOut) {
  // The core gives no answer: enclosures are not marked, stations not dropped, and no link in a
  // description counts as playable.
  Parsed podcast = ParseBytes(CorpusBytes("podcast_itunes.rss"), u"http://harbour.example/feed.rss");
  ASSERT_TRUE(podcast.parser);
  EXPECT_EQ(podcast.parser->GetItem(2)->title, u"Episode 1: Ropes (video)");
  Parsed stations = ParseBytes(CorpusBytes("stations.xml"), u"http://dir.example/x");
  ASSERT_TRUE(stations.parser);
  EXPECT_EQ(stations.parser->GetItemCount(), 5);
  Parsed blog = ParseBytes(CorpusBytes("blog_descriptions.rss"), u"http://field.example/feed.rss");
  ASSERT_TRUE(blog.parser);
  EXPECT_EQ(blog.parser->GetItem(0)->url, u"");
}

}  // namespace
