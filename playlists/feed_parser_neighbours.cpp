// Stand-ins for the feed parsers until they are built: no document finds a parser, so XML
// playlists read as nothing and ASX texts fall back to their lines. Each says so in the debug
// output when it is reached.
#include "feed_parser.h"

CFeedParser* CreateFeedParser(LPCWSTR text) {
  OutputDebugStringW(u"CreateFeedParser: there are no feed parsers yet\r\n");
  return nullptr;
}

int CFeedParser::Parse(LPCWSTR text, LPCWSTR source) {
  OutputDebugStringW(u"CFeedParser::Parse: there are no feed parsers yet\r\n");
  return 0;
}
