// zbfeed given a URL: the feed comes over HTTP from the scripted server, through redirects, and
// yields its entries; a server that answers with an error gives status 1 and no entries.
#include <gtest/gtest.h>

#include "product_device.h"
#include "scripted_server.h"

namespace zb::testing {
namespace {

constexpr char kFeed[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<rss version=\"2.0\"><channel><title>Loopback Cast</title>\n"
    "<item><title>Episode 1</title><enclosure url=\"http://127.0.0.1/e1.mp3\" type=\"audio/mpeg\" length=\"9\"/></item>\n"
    "<item><title>Episode 2</title><enclosure url=\"http://127.0.0.1/e2.mp3\" type=\"audio/mpeg\" length=\"9\"/></item>\n"
    "</channel></rss>\n";

TEST(ZbfeedUrl, FetchesTheFeedThroughARedirectAndPrintsItsEntries) {
  ProductDevice device;
  ScriptedServer server([&](ServerConnection& c, int) {
    const std::string head = c.ReadHead();
    if (head.find("GET /old") == 0) return (void)c.Send("HTTP/1.1 302 Found\r\nLocation: /feed.xml\r\nContent-Length: 0\r\n\r\n");
    if (head.find("GET /feed.xml") == 0) {
      const std::string body = kFeed;
      return (void)c.Send("HTTP/1.1 200 OK\r\nContent-Type: application/rss+xml\r\nContent-Length: " +
                          std::to_string(body.size()) + "\r\n\r\n" + body);
    }
    c.Send("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
  });
  const ToolRun run = RunTool({ZBFEED_PATH, server.Url("/old")});
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("title Loopback Cast\n"), std::string::npos) << run.out;
  const size_t first = run.out.find("http://127.0.0.1/e1.mp3 | Episode 1 |");
  const size_t second = run.out.find("http://127.0.0.1/e2.mp3 | Episode 2 |");
  EXPECT_NE(first, std::string::npos) << run.out;
  EXPECT_NE(second, std::string::npos) << run.out;
  EXPECT_LT(first, second);

  const ToolRun gone = RunTool({ZBFEED_PATH, server.Url("/missing.xml")});
  EXPECT_EQ(gone.status, 1);
  EXPECT_EQ(gone.out, "");  // the reason goes to standard error; no entries are made up
}

}  // namespace
}  // namespace zb::testing
